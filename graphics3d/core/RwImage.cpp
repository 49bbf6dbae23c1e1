#include "graphics3d/core/RwImage.h"

RwModuleInfo imageModule;

void* _rwImageOpen( void* instance, const s32 offset, s32 ) {
	imageModule.globalsOffset = offset;
	imageModule.numInstances++;
	return instance;
}

void* _rwImageClose( void* instance, s32, s32 ) {
	imageModule.numInstances--;
	return instance;
}

bool RwImageSetGamma( f32 ) {
	return true;
}
