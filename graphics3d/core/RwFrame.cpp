#include "graphics3d/core/RwFrame.h"

RwModuleInfo frameModule;

void* _rwFrameOpen( void* instance, const s32 offset, s32 ) {
	frameModule.globalsOffset = offset;
	frameModule.numInstances++;
	return instance;
}

void* _rwFrameClose( void* instance, s32, s32 ) {
	frameModule.numInstances--;
	return instance;
}
