#include "graphics3d/core/RwTexture.h"

RwModuleInfo textureModule;

void* _rwTextureOpen( void* instance, const s32 offset, s32 ) {
	textureModule.globalsOffset = offset;
	textureModule.numInstances++;
	return instance;
}

void* _rwTextureClose( void* instance, s32, s32 ) {
	textureModule.numInstances--;
	return instance;
}
