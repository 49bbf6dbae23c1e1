#include "framework/graphics/EFTextureDict.h"

#include "datatypes/registry/DTDynamicInstanciator.h"

u32 EFTextureDict::mui32BinaryLoads = 0;

EFTextureDict EFTextureDict::mTextureDict;

s32 EFTextureDict_trigger = DTDynamicInstanciator::GetInstance().RegisterDynamicClass(
	&EFTextureDict::Instanciate, "TEXTURE_DICTIONARY", EF_TEXTURE_DICT_CLASS_ID, IT_OBJECT );

EFTextureDict::EFTextureDict() {
}

EFTextureDict::~EFTextureDict() {
}

EFTextureDict * EFTextureDict::GetInstance() {
	return &mTextureDict;
}

void * EFTextureDict::Instanciate() {
	return &mTextureDict;
}

s32 EFTextureDict::GetClassID() const {
	return EF_TEXTURE_DICT_CLASS_ID;
}

const char * EFTextureDict::GetClassName() const {
	return "TEXTURE_DICTIONARY";
}

bool EFTextureDict::IsOwnedElsewhere() const {
	return this == &mTextureDict;
}

s32 EFTextureDict::LoadPropertiesBinary( DTBasePersistStream & ) {
	mui32BinaryLoads++;
	return 0;
}

void EFTextureDict::Clear() {
}

RwTexture * EFTextureDict::GetTexture( const char * ) const {
	return nullptr;
}
