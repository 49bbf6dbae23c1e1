#include "graphics3d/core/RwIm2D.h"

#include "graphics3d/core/RwEngine.h"

static RwDevice* CurrentDevice() {
	return RwEngineInstance != nullptr ? &RwEngineInstance->device : &staticGlobals.device;
}

f32 RwIm2DGetNearScreenZ() {
	return CurrentDevice()->zBufferNear;
}

f32 RwIm2DGetFarScreenZ() {
	return CurrentDevice()->zBufferFar;
}

bool RwIm2DRenderPrimitive( const RwPrimitiveType primType, RwIm2DVertex* vertices, const s32 numVertices ) {
	RwDevice* const device = CurrentDevice();
	if ( device->fpIm2DRenderPrimitive == nullptr ) {
		return false;
	}
	return device->fpIm2DRenderPrimitive( primType, vertices, numVertices );
}

bool RwIm2DRenderIndexedPrimitive( const RwPrimitiveType primType, RwIm2DVertex* vertices, const s32 numVertices,
								   RwImVertexIndex* indices, const s32 numIndices ) {
	RwDevice* const device = CurrentDevice();
	if ( device->fpIm2DRenderIndexedPrimitive == nullptr ) {
		return false;
	}
	return device->fpIm2DRenderIndexedPrimitive( primType, vertices, numVertices, indices, numIndices );
}
