#include "graphics3d/core/RwV3d.h"

RwModuleInfo vectorModule;

void* _rwVectorOpen( void* instance, const s32 offset, s32 ) {
	vectorModule.globalsOffset = offset;
	vectorModule.numInstances++;
	return instance;
}

void* _rwVectorClose( void* instance, s32, s32 ) {
	vectorModule.numInstances--;
	return instance;
}
