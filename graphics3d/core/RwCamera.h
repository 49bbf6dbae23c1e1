/*
===============================================================================

	Cameras of the 3D library.

	A camera hangs on a frame whose LTM places it. It keeps a projection
	(1 perspective, 2 parallel), a view window (half-width and half-height
	at unit distance) with its reciprocals, a view offset, near, far and
	fog distances, the world-to-screen view matrix, six frustum planes
	(far, near, then four sides, normals pointing out of the volume) and
	the frustum's eight corners (near four, then far four) and bounding
	box. The view matrix and frustum are rebuilt by the camera's sync
	function (RwCameraSync.h) whenever its frame hierarchy is synchronised;
	every setter marks the frame dirty when the camera has one.

	Z scale and shift map 1/z (perspective) or z (parallel) between the
	near and far planes onto the device's 2D screen Z range, pulled in by
	a ten-thousandth of it at both ends. They are recomputed by creation,
	the projection setter and the two clip-plane setters only.

	Rendering happens between RwCameraBeginUpdate and RwCameraEndUpdate.
	Begin update makes the camera the engine's current camera before it
	asks the device, and leaves it current when the device refuses; a
	failed end update leaves it current as well.

	Cameras come from the camera free list (4 a block); plug-ins extend
	them through cameraTKList.

===============================================================================
*/
#ifndef RW_CAMERA_H
#define RW_CAMERA_H

#include "graphics3d/core/RwBBox.h"
#include "graphics3d/core/RwMatrix.h"
#include "graphics3d/core/RwObject.h"
#include "graphics3d/core/RwRGBA.h"
#include "graphics3d/core/RwV2d.h"

struct RwCamera;
struct RwFreeList;
struct RwRaster;

enum RwCameraProjection : u32 {
	rwNACAMERAPROJECTION	= 0,
	rwPERSPECTIVE			= 1,
	rwPARALLEL				= 2,
};

// Clear modes handed to the device unread.
constexpr s32 rwCAMERACLEARIMAGE	= 0x1;
constexpr s32 rwCAMERACLEARZ		= 0x2;
constexpr s32 rwCAMERACLEARSTENCIL	= 0x4;

// Results of RwCameraFrustumTestSphere.
enum RwFrustumTestResult : s32 {
	rwSPHEREOUTSIDE		= 0,
	rwSPHEREBOUNDARY	= 1,
	rwSPHEREINSIDE		= 2,
};

struct RwPlane {
	RwV3d	normal;
	f32		distance;
};

// A frustum plane with one byte per normal component: 1 when it is not
// negative.
struct RwFrustumPlane {
	RwPlane	plane;
	u8		closestX;
	u8		closestY;
	u8		closestZ;
	u8		pad;
};

struct RwSphere {
	RwV3d	center;
	f32		radius;
};

typedef RwCamera* ( *RwCameraBeginUpdateFunc )( RwCamera* camera );
typedef RwCamera* ( *RwCameraEndUpdateFunc )( RwCamera* camera );

// Frustum planes and corners.
constexpr s32 RWCAMERA_FRUSTUM_PLANES	= 6;
constexpr s32 RWCAMERA_FRUSTUM_CORNERS	= 8;

struct RwCamera {
	RwObjectHasFrame		object;				// type 4
	RwCameraProjection		projectionType;
	RwCameraBeginUpdateFunc	beginUpdate;
	RwCameraEndUpdateFunc	endUpdate;
	RwMatrix				viewMatrix;			// world to screen
	RwRaster*				frameBuffer;
	RwRaster*				zBuffer;
	RwV2d					viewWindow;
	RwV2d					recipViewWindow;
	RwV2d					viewOffset;
	f32						nearPlane;
	f32						farPlane;
	f32						fogPlane;
	f32						zScale;
	f32						zShift;
	RwFrustumPlane			frustumPlanes[RWCAMERA_FRUSTUM_PLANES];	// far, near, four sides
	RwBBox					frustumBoundBox;
	RwV3d					frustumCorners[RWCAMERA_FRUSTUM_CORNERS];	// near four, far four
};

// Object type of cameras.
constexpr u8 rwCAMERA = 4;

// Standard ids the camera module calls.
enum RwCameraStandard : s32 {
	rwSTANDARDCAMERABEGINUPDATE	= 1,
	rwSTANDARDCAMERAENDUPDATE	= 10,
	rwSTANDARDCAMERACLEAR		= 21,
};

// Defaults of a new camera.
constexpr f32 RWCAMERA_DEFAULT_NEAR		= 0.05f;
constexpr f32 RWCAMERA_DEFAULT_FAR		= 10.0f;
constexpr f32 RWCAMERA_DEFAULT_FOG		= 5.0f;

// Entries per block of the camera free list.
constexpr s32 RWCAMERA_ENTRIES_PER_BLOCK = 4;

// The module's globals in the engine instance.
struct RwCameraGlobals {
	RwFreeList*	cameraFreeList;
};

extern RwModuleInfo		cameraModule;
extern RwPluginRegistry	cameraTKList;

// A perspective camera without frame or rasters, or null.
RwCamera*	RwCameraCreate();
// Plug-in destructors, off its frame, back to the free list. True.
bool		RwCameraDestroy( RwCamera* camera );

// Setters return the camera; the projection setter refuses anything but
// 1 and 2 with 0x80000003, null and nothing changed.
RwCamera*	RwCameraSetProjection( RwCamera* camera, RwCameraProjection projection );
RwCamera*	RwCameraSetViewWindow( RwCamera* camera, const RwV2d* viewWindow );
RwCamera*	RwCameraSetViewOffset( RwCamera* camera, const RwV2d* offset );
RwCamera*	RwCameraSetNearClipPlane( RwCamera* camera, f32 nearPlane );
RwCamera*	RwCameraSetFarClipPlane( RwCamera* camera, f32 farPlane );

// Null when the device refuses.
RwCamera*	RwCameraBeginUpdate( RwCamera* camera );
RwCamera*	RwCameraEndUpdate( RwCamera* camera );
RwCamera*	RwCameraClear( RwCamera* camera, RwRGBA* colour, s32 clearMode );

// 0 outside a plane, 1 crossing one, 2 inside all; a sphere exactly its
// radius beyond a plane counts as crossing.
RwFrustumTestResult	RwCameraFrustumTestSphere( const RwCamera* camera, const RwSphere* sphere );

s32			RwCameraRegisterPlugin( s32 size, u32 pluginID, RwPluginObjectConstructor constructCB,
									RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB );
s32			RwCameraRegisterPluginStream( u32 pluginID, RwPluginDataChunkReadCallBack readCB,
										  RwPluginDataChunkWriteCallBack writeCB,
										  RwPluginDataChunkGetSizeCallBack getSizeCB );
s32			RwCameraGetPluginOffset( u32 pluginID );

// Engine plug-in open and close.
void*		_rwCameraOpen( void* instance, s32 offset, s32 size );
void*		_rwCameraClose( void* instance, s32 offset, s32 size );

#endif
