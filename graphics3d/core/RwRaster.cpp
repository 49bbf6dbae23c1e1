#include "graphics3d/core/RwRaster.h"

RwModuleInfo rasterModule;

void* _rwRasterOpen( void* instance, const s32 offset, s32 ) {
	rasterModule.globalsOffset = offset;
	rasterModule.numInstances++;
	return instance;
}

void* _rwRasterClose( void* instance, s32, s32 ) {
	rasterModule.numInstances--;
	return instance;
}
