#include "framework/graphics/EFTextureDict.h"

EFTextureDict EFTextureDict::mTextureDict;

EFTextureDict * EFTextureDict::GetInstance() {
	return &mTextureDict;
}

RwTexture * EFTextureDict::GetTexture( const char * ) const {
	return nullptr;
}
