#include "graphics3d/core/RwCamera.h"

RwModuleInfo cameraModule;

void* _rwCameraOpen( void* instance, const s32 offset, s32 ) {
	cameraModule.globalsOffset = offset;
	cameraModule.numInstances++;
	return instance;
}

void* _rwCameraClose( void* instance, s32, s32 ) {
	cameraModule.numInstances--;
	return instance;
}
