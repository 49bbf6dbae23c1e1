#include "graphics3d/core/RwMatrix.h"

RwModuleInfo matrixModule;

void* _rwMatrixOpen( void* instance, const s32 offset, s32 ) {
	matrixModule.globalsOffset = offset;
	matrixModule.numInstances++;
	return instance;
}

void* _rwMatrixClose( void* instance, s32, s32 ) {
	matrixModule.numInstances--;
	return instance;
}
