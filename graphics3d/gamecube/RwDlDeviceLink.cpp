// The console driver as the program's device: the core finds the device
// record and the driver's extensions through these two functions. Only
// programs that use the console driver link this file; the unit tests of
// the core link the host test device instead.

#include "graphics3d/gamecube/RwDlDriver.h"
#include "graphics3d/gamecube/RwDlRaster.h"
#include "graphics3d/gamecube/RwDlIm3D.h"
#include "graphics3d/gamecube/RxGCPipelines.h"
#include "graphics3d/world/RpWorldObj.h"

RwDevice* _rwDeviceGetHandle() {
	return &rwDlDriverDevice;
}

bool _rwDeviceRegisterPlugin() {
	const bool rasters = _rwDlRasterPluginAttach();
	const bool textures = _rwDlTexturePluginAttach();
	return rasters && textures;
}

// The world plug-in's default atomic and sector pipelines.
bool _rpCreatePlatformAtomicPipelines() {
	return _rxGCCreateAtomicPipeline();
}

bool _rpCreatePlatformWorldSectorPipelines() {
	return _rxGCCreateWorldSectorPipeline();
}

void _rpDestroyPlatformAtomicPipelines() {
	_rxGCDestroyAtomicPipeline();
}

void _rpDestroyPlatformWorldSectorPipelines() {
	_rxGCDestroyWorldSectorPipeline();
}

// The immediate-3D module.
void* _rwIm3DOpen( void* instance, const s32 offset, const s32 size ) {
	return _rwDlIm3DOpen( instance, offset, size );
}

void* _rwIm3DClose( void* instance, const s32 offset, const s32 size ) {
	return _rwDlIm3DClose( instance, offset, size );
}
