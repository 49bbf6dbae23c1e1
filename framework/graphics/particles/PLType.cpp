#include "framework/graphics/particles/PLType.h"

#include "datatypes/memory/MMMemory.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/world/RpMaterial.h"

#include <new>

RpMaterial * PLType::mpDefaultMaterial = nullptr;

s32 PLType_trigger = DTDynamicInstanciator::GetInstance().RegisterDynamicClass(
	&PLType::Instanciate, "PL_TYPE", PL_TYPE_CLASS_ID, IT_OBJECT );

namespace {

// Materials need a started library.
bool LibraryRuns() {
	return RwEngineInstance != nullptr && RwEngineInstance->engineState == RWENGINE_STATE_STARTED;
}

} // namespace

PLType::PLType() {
	if ( mpDefaultMaterial == nullptr && LibraryRuns() ) {
		MMChangeHeap( 0 );
		mpDefaultMaterial = RpMaterialCreate();
		MMReplaceHeap();
	}
}

void * PLType::Instanciate() {
	return new ( std::nothrow ) PLType;
}

s32 PLType::GetClassID() const {
	return PL_TYPE_CLASS_ID;
}

const char * PLType::GetClassName() const {
	return "PL_TYPE";
}

s32 PLType::SetTexture( const char * name ) {
	if ( !LibraryRuns() ) {
		return PL_TYPE_BAD_KEY;
	}
	RwTexDictionary * const dictionary = RwTexDictionaryGetCurrent();
	if ( dictionary == nullptr ) {
		return PL_TYPE_BAD_KEY;
	}
	RwTexture * const texture = RwTexDictionaryFindNamedTexture( dictionary, name );
	if ( texture == nullptr ) {
		return PL_TYPE_BAD_KEY;
	}
	if ( mpoMaterial == nullptr ) {
		mpoMaterial = RpMaterialCreate();
		if ( mpoMaterial == nullptr ) {
			return PL_TYPE_BAD_KEY;
		}
	}
	RpMaterialSetTexture( mpoMaterial, texture );
	mpoTexture = texture;
	return PL_TYPE_OK;
}

void PLType::DestroyDefaultMaterial() {
	if ( mpDefaultMaterial != nullptr ) {
		if ( LibraryRuns() ) {
			RpMaterialDestroy( mpDefaultMaterial );
		}
		mpDefaultMaterial = nullptr;
	}
}
