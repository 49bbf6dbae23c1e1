#include "graphics3d/core/RwCamera.h"

#include "graphics3d/core/RwCameraSync.h"
#include "graphics3d/core/RwDeviceLink.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwFrameSync.h"
#include "graphics3d/core/RwFreeList.h"

RwModuleInfo		cameraModule;
RwPluginRegistry	cameraTKList = { static_cast<s32>( sizeof( RwCamera ) ), static_cast<s32>( sizeof( RwCamera ) ), 0, 0,
									 nullptr, nullptr };

// Record of the camera free list while the module is open.
static RwFreeList cameraFreeListRecord;

// Share of the device's screen Z range kept free at each end.
static const f32 Z_RANGE_MARGIN = 0.0001f;

static RwCameraGlobals* Globals() {
	RwGlobals* const instance = RwEngineInstance;
	if ( cameraModule.numInstances <= 0 || instance == nullptr || instance == &staticGlobals ) {
		return nullptr;
	}
	return RwPluginData<RwCameraGlobals>( instance, cameraModule.globalsOffset );
}

static bool Standard( const s32 standard, void* out, void* inOut, const s32 inInt ) {
	const RwStandardFunc function = RwEngineInstance->standards[standard];
	return function != nullptr && function( out, inOut, inInt );
}

static RwFrame* FrameOf( const RwCamera* camera ) {
	return static_cast<RwFrame*>( camera->object.object.parent );
}

static void MarkFrameDirty( RwCamera* camera ) {
	RwFrame* const frame = FrameOf( camera );
	if ( frame != nullptr ) {
		RwFrameUpdateObjects( frame );
	}
}

static void ComputeZShiftScale( RwCamera* camera ) {
	const f32 zNear = RwEngineInstance->device.zBufferNear;
	const f32 zFar = RwEngineInstance->device.zBufferFar;
	const f32 margin = Z_RANGE_MARGIN * ( zFar - zNear );
	const f32 farZ = zFar - margin;
	const f32 nearZ = zNear + margin;
	f32 a = 0.0f;
	f32 b = 0.0f;
	if ( camera->projectionType == rwPARALLEL ) {
		a = camera->farPlane;
		b = camera->nearPlane;
	} else {
		a = 1.0f / camera->farPlane;
		b = 1.0f / camera->nearPlane;
	}
	camera->zScale = ( farZ - nearZ ) / ( a - b );
	camera->zShift = 0.5f * ( ( farZ + nearZ ) - camera->zScale * ( a + b ) );
}

static RwCamera* CameraBeginUpdate( RwCamera* camera ) {
	RwEngineInstance->currentCamera = camera;
	_rwFrameSyncDirty();
	if ( !Standard( rwSTANDARDCAMERABEGINUPDATE, nullptr, camera, 0 ) ) {
		return nullptr;
	}
	if ( _rwPipeInitForCamera != nullptr ) {
		_rwPipeInitForCamera( camera );
	}
	return camera;
}

static RwCamera* CameraEndUpdate( RwCamera* camera ) {
	if ( !Standard( rwSTANDARDCAMERAENDUPDATE, nullptr, camera, 0 ) ) {
		return nullptr;
	}
	RwEngineInstance->currentCamera = nullptr;
	return camera;
}

RwCamera* RwCameraCreate() {
	RwCameraGlobals* const globals = Globals();
	if ( globals == nullptr ) {
		return nullptr;
	}
	RwCamera* const camera = static_cast<RwCamera*>( RwEngineInstance->freeListAllocHook( globals->cameraFreeList ) );
	if ( camera == nullptr ) {
		return nullptr;
	}
	camera->object.object.type = rwCAMERA;
	camera->object.object.subType = 0;
	camera->object.object.flags = 0;
	camera->object.object.privateFlags = 0;
	camera->object.object.parent = nullptr;
	camera->object.lFrame.next = nullptr;
	camera->object.lFrame.prev = nullptr;
	camera->object.sync = _rwCameraSync;
	camera->projectionType = rwPERSPECTIVE;
	camera->beginUpdate = CameraBeginUpdate;
	camera->endUpdate = CameraEndUpdate;
	camera->viewWindow = { 1.0f, 1.0f };
	camera->recipViewWindow = { 1.0f, 1.0f };
	camera->viewOffset = { 0.0f, 0.0f };
	camera->nearPlane = RWCAMERA_DEFAULT_NEAR;
	camera->farPlane = RWCAMERA_DEFAULT_FAR;
	camera->fogPlane = RWCAMERA_DEFAULT_FOG;
	camera->frameBuffer = nullptr;
	camera->zBuffer = nullptr;
	ComputeZShiftScale( camera );
	camera->viewMatrix.flags = 0;
	if ( _rwPluginRegistryInitObject( &cameraTKList, camera ) == nullptr ) {
		RwEngineInstance->freeListFreeHook( globals->cameraFreeList, camera );
		return nullptr;
	}
	return camera;
}

bool RwCameraDestroy( RwCamera* camera ) {
	_rwPluginRegistryDeInitObject( &cameraTKList, camera );
	_rwObjectHasFrameReleaseFrame( &camera->object );
	if ( RwEngineInstance->currentCamera == camera ) {
		RwEngineInstance->currentCamera = nullptr;
	}
	RwCameraGlobals* const globals = Globals();
	if ( globals != nullptr ) {
		RwEngineInstance->freeListFreeHook( globals->cameraFreeList, camera );
	}
	return true;
}

RwCamera* RwCameraSetProjection( RwCamera* camera, const RwCameraProjection projection ) {
	if ( projection != rwPERSPECTIVE && projection != rwPARALLEL ) {
		_rwErrorSetCore( _rwerror( RWERR_BAD_PARAMETER, "Invalid projection type specified" ) );
		return nullptr;
	}
	camera->projectionType = projection;
	ComputeZShiftScale( camera );
	MarkFrameDirty( camera );
	return camera;
}

RwCamera* RwCameraSetViewWindow( RwCamera* camera, const RwV2d* viewWindow ) {
	camera->viewWindow = *viewWindow;
	camera->recipViewWindow.x = 1.0f / viewWindow->x;
	camera->recipViewWindow.y = 1.0f / viewWindow->y;
	MarkFrameDirty( camera );
	return camera;
}

RwCamera* RwCameraSetViewOffset( RwCamera* camera, const RwV2d* offset ) {
	camera->viewOffset = *offset;
	MarkFrameDirty( camera );
	return camera;
}

RwCamera* RwCameraSetNearClipPlane( RwCamera* camera, const f32 nearPlane ) {
	camera->nearPlane = nearPlane;
	ComputeZShiftScale( camera );
	MarkFrameDirty( camera );
	return camera;
}

RwCamera* RwCameraSetFarClipPlane( RwCamera* camera, const f32 farPlane ) {
	camera->farPlane = farPlane;
	ComputeZShiftScale( camera );
	MarkFrameDirty( camera );
	return camera;
}

RwCamera* RwCameraBeginUpdate( RwCamera* camera ) {
	return camera->beginUpdate( camera );
}

RwCamera* RwCameraEndUpdate( RwCamera* camera ) {
	return camera->endUpdate( camera );
}

RwCamera* RwCameraClear( RwCamera* camera, RwRGBA* colour, const s32 clearMode ) {
	if ( !Standard( rwSTANDARDCAMERACLEAR, camera, colour, clearMode ) ) {
		return nullptr;
	}
	return camera;
}

RwFrustumTestResult RwCameraFrustumTestSphere( const RwCamera* camera, const RwSphere* sphere ) {
	RwFrustumTestResult result = rwSPHEREINSIDE;
	for ( const RwFrustumPlane& frustumPlane : camera->frustumPlanes ) {
		const f32 distance = RwV3dDotProduct( &sphere->center, &frustumPlane.plane.normal ) - frustumPlane.plane.distance;
		if ( distance > sphere->radius ) {
			return rwSPHEREOUTSIDE;
		}
		if ( distance > -sphere->radius ) {
			result = rwSPHEREBOUNDARY;
		}
	}
	return result;
}

s32 RwCameraRegisterPlugin( const s32 size, const u32 pluginID, const RwPluginObjectConstructor constructCB,
							const RwPluginObjectDestructor destructCB, const RwPluginObjectCopy copyCB ) {
	return _rwPluginRegistryAddPlugin( &cameraTKList, size, pluginID, constructCB, destructCB, copyCB );
}

s32 RwCameraRegisterPluginStream( const u32 pluginID, const RwPluginDataChunkReadCallBack readCB,
								  const RwPluginDataChunkWriteCallBack writeCB,
								  const RwPluginDataChunkGetSizeCallBack getSizeCB ) {
	return _rwPluginRegistryAddPluginStream( &cameraTKList, pluginID, readCB, writeCB, getSizeCB );
}

s32 RwCameraGetPluginOffset( const u32 pluginID ) {
	return _rwPluginRegistryGetPluginOffset( &cameraTKList, pluginID );
}

void* _rwCameraOpen( void* instance, const s32 offset, s32 ) {
	RwCameraGlobals* const globals = RwPluginData<RwCameraGlobals>( instance, offset );
	globals->cameraFreeList = RwFreeListCreateAndPreallocateSpace( cameraTKList.sizeOfStruct, RWCAMERA_ENTRIES_PER_BLOCK,
																   4, 1, &cameraFreeListRecord );
	if ( globals->cameraFreeList == nullptr ) {
		return nullptr;
	}
	cameraModule.globalsOffset = offset;
	cameraModule.numInstances++;
	return instance;
}

void* _rwCameraClose( void* instance, const s32 offset, s32 ) {
	if ( cameraModule.numInstances <= 0 ) {
		return instance;
	}
	RwCameraGlobals* const globals = RwPluginData<RwCameraGlobals>( instance, offset );
	RwFreeListDestroy( globals->cameraFreeList );
	globals->cameraFreeList = nullptr;
	cameraModule.numInstances--;
	return instance;
}
