#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwCameraChunk.h"
#include "graphics3d/core/RwRenderState.h"
#include "graphics3d/testdevice/TestDeviceRasters.h"
#include "RwTestFrames.h"

#include <cmath>
#include <functional>

namespace {

// Normals pass through the table inverse square root, good to about one
// part in 4096.
constexpr f32 PLANE_TOLERANCE = 2e-3f;

class RwCameraTest : public RwStartedTestCase {
protected:
	RwCamera* Create() {
		RwCamera* const camera = RwCameraCreate();
		EXPECT_NE( camera, nullptr );
		return camera;
	}
	// A camera on a rotated, moved frame, synchronised.
	RwFrame* Place( RwCamera* camera ) {
		RwFrame* const frame = RwFrameCreate();
		const RwV3d axis = { 0.3f, 1.0f, 0.2f };
		const RwV3d position = { 4.0f, -2.0f, 7.0f };
		RwFrameRotate( frame, &axis, 35.0f, rwCOMBINEREPLACE );
		RwFrameTranslate( frame, &position, rwCOMBINEPOSTCONCAT );
		_rwObjectHasFrameSetFrame( &camera->object, frame );
		_rwFrameSyncDirty();
		return frame;
	}
	void Remove( RwCamera* camera, RwFrame* frame ) {
		RwCameraDestroy( camera );
		RwFrameDestroy( frame );
	}
};

f32 PlaneDistance( const RwFrustumPlane& plane, const RwV3d& point ) {
	return point.x * plane.plane.normal.x + point.y * plane.plane.normal.y + point.z * plane.plane.normal.z -
		   plane.plane.distance;
}

TEST_F( RwCameraTest, ANewCameraHasTheDefaults ) {
	RwCamera* const camera = Create();
	EXPECT_EQ( camera->object.object.type, rwCAMERA );
	EXPECT_EQ( camera->object.object.parent, nullptr );
	EXPECT_EQ( camera->projectionType, rwPERSPECTIVE );
	EXPECT_EQ( camera->viewWindow.x, 1.0f );
	EXPECT_EQ( camera->viewWindow.y, 1.0f );
	EXPECT_EQ( camera->recipViewWindow.x, 1.0f );
	EXPECT_EQ( camera->recipViewWindow.y, 1.0f );
	EXPECT_EQ( camera->viewOffset.x, 0.0f );
	EXPECT_EQ( camera->nearPlane, 0.05f );
	EXPECT_EQ( camera->farPlane, 10.0f );
	EXPECT_EQ( camera->fogPlane, 5.0f );
	EXPECT_EQ( camera->viewMatrix.flags, 0u );
	EXPECT_EQ( camera->frameBuffer, nullptr );
	EXPECT_EQ( camera->zBuffer, nullptr );
	EXPECT_TRUE( RwCameraDestroy( camera ) );
}

TEST_F( RwCameraTest, StoresTheViewWindowWithItsReciprocals ) {
	RwCamera* const camera = Create();
	const RwV2d window = { 2.0f, 0.5f };
	EXPECT_EQ( RwCameraSetViewWindow( camera, &window ), camera );
	EXPECT_EQ( camera->recipViewWindow.x, 0.5f );
	EXPECT_EQ( camera->recipViewWindow.y, 2.0f );
	RwCameraDestroy( camera );
}

TEST_F( RwCameraTest, RefusesProjectionsOtherThanPerspectiveAndParallel ) {
	RwCamera* const camera = Create();
	const f32 zScale = camera->zScale;
	EXPECT_EQ( RwCameraSetProjection( camera, static_cast<RwCameraProjection>( 3 ) ), nullptr );
	const RwError error = RwTestReadError();
	EXPECT_EQ( error.pluginID, 0u );
	EXPECT_EQ( error.errorCode, RWERR_BAD_PARAMETER );
	EXPECT_EQ( camera->projectionType, rwPERSPECTIVE );
	EXPECT_EQ( camera->zScale, zScale );
	EXPECT_EQ( RwCameraSetProjection( camera, rwPARALLEL ), camera );
	EXPECT_EQ( camera->projectionType, rwPARALLEL );
	RwCameraDestroy( camera );
}

TEST_F( RwCameraTest, SettersMarkTheFrameDirtyOnlyWhenThereIsOne ) {
	const RwV2d value = { 0.5f, 0.25f };
	const std::function<RwCamera*( RwCamera* )> setters[] = {
		[&]( RwCamera* c ) { return RwCameraSetViewWindow( c, &value ); },
		[&]( RwCamera* c ) { return RwCameraSetViewOffset( c, &value ); },
		[]( RwCamera* c ) { return RwCameraSetNearClipPlane( c, 0.5f ); },
		[]( RwCamera* c ) { return RwCameraSetFarClipPlane( c, 50.0f ); },
		[]( RwCamera* c ) { return RwCameraSetProjection( c, rwPARALLEL ); },
	};
	RwCamera* const camera = Create();
	RwFrame* const frame = RwFrameCreate();
	for ( const auto& set : setters ) {
		EXPECT_EQ( set( camera ), camera );
		EXPECT_TRUE( RwTestDirtyRoots().empty() );
		_rwObjectHasFrameSetFrame( &camera->object, frame );
		_rwFrameSyncDirty();
		EXPECT_EQ( set( camera ), camera );
		EXPECT_EQ( RwTestDirtyRoots(), std::vector<RwFrame*>{ frame } );
		_rwFrameSyncDirty();
		_rwObjectHasFrameReleaseFrame( &camera->object );
		camera->object.object.parent = nullptr;
	}
	RwCameraDestroy( camera );
	RwFrameDestroy( frame );
}

TEST_F( RwCameraTest, ZScaleAndShiftMapTheClipPlanesOntoTheDevicesScreenRange ) {
	const f32 zNear = RwEngineInstance->device.zBufferNear;
	const f32 zFar = RwEngineInstance->device.zBufferFar;
	const f32 margin = 0.0001f * ( zFar - zNear );
	struct Case {
		RwCameraProjection	projection;
		f32					nearPlane;
		f32					farPlane;
	};
	const Case cases[] = {
		{ rwPERSPECTIVE, 0.05f, 10.0f }, { rwPERSPECTIVE, 1.0f, 500.0f }, { rwPARALLEL, 0.05f, 10.0f }, { rwPARALLEL, 2.0f, 80.0f },
	};
	for ( const Case& c : cases ) {
		RwCamera* const camera = Create();
		RwCameraSetProjection( camera, c.projection );
		RwCameraSetNearClipPlane( camera, c.nearPlane );
		RwCameraSetFarClipPlane( camera, c.farPlane );
		const bool parallel = c.projection == rwPARALLEL;
		const f32 atNear = camera->zScale * ( parallel ? c.nearPlane : 1.0f / c.nearPlane ) + camera->zShift;
		const f32 atFar = camera->zScale * ( parallel ? c.farPlane : 1.0f / c.farPlane ) + camera->zShift;
		EXPECT_NEAR( atNear, zNear + margin, 1e-4f ) << c.projection << " " << c.farPlane;
		EXPECT_NEAR( atFar, zFar - margin, 1e-4f ) << c.projection << " " << c.farPlane;
		// The view window does not touch them.
		const f32 zScale = camera->zScale;
		const RwV2d window = { 3.0f, 3.0f };
		RwCameraSetViewWindow( camera, &window );
		EXPECT_EQ( camera->zScale, zScale );
		RwCameraDestroy( camera );
	}
}

struct FrustumCase {
	const char*			name;
	RwCameraProjection	projection;
	RwV2d				window;
	RwV2d				offset;
};

const FrustumCase frustumCases[] = {
	{ "perspective", rwPERSPECTIVE, { 1.0f, 0.75f }, { 0.0f, 0.0f } },
	{ "perspective offset", rwPERSPECTIVE, { 0.5f, 0.375f }, { 0.2f, -0.1f } },
	{ "parallel", rwPARALLEL, { 3.0f, 2.0f }, { 0.0f, 0.0f } },
	{ "parallel offset", rwPARALLEL, { 3.0f, 2.0f }, { 0.5f, 0.25f } },
};

TEST_F( RwCameraTest, SyncPutsEachCornerOnItsPlanesAndTheCentreInside ) {
	// Planes far, near, left, top, right, bottom and the corners on each.
	const std::vector<s32> cornersOnPlane[RWCAMERA_FRUSTUM_PLANES] = {
		{ 4, 5, 6, 7 }, { 0, 1, 2, 3 }, { 1, 2, 5, 6 }, { 0, 1, 4, 5 }, { 0, 3, 4, 7 }, { 2, 3, 6, 7 },
	};
	for ( const FrustumCase& c : frustumCases ) {
		SCOPED_TRACE( c.name );
		RwCamera* const camera = Create();
		RwCameraSetProjection( camera, c.projection );
		RwCameraSetViewWindow( camera, &c.window );
		RwCameraSetViewOffset( camera, &c.offset );
		RwCameraSetNearClipPlane( camera, 1.0f );
		RwCameraSetFarClipPlane( camera, 20.0f );
		RwFrame* const frame = Place( camera );
		RwV3d centre = { 0.0f, 0.0f, 0.0f };
		for ( const RwV3d& corner : camera->frustumCorners ) {
			centre = { centre.x + corner.x / 8, centre.y + corner.y / 8, centre.z + corner.z / 8 };
		}
		for ( s32 p = 0; p < RWCAMERA_FRUSTUM_PLANES; p++ ) {
			const RwFrustumPlane& plane = camera->frustumPlanes[p];
			EXPECT_NEAR( RwV3dLength( &plane.plane.normal ), 1.0f, PLANE_TOLERANCE ) << p;
			EXPECT_EQ( plane.closestX, plane.plane.normal.x >= 0.0f ? 1 : 0 );
			EXPECT_EQ( plane.closestZ, plane.plane.normal.z >= 0.0f ? 1 : 0 );
			for ( const s32 corner : cornersOnPlane[p] ) {
				EXPECT_NEAR( PlaneDistance( plane, camera->frustumCorners[corner] ), 0.0f, 0.05f ) << p << " " << corner;
			}
			EXPECT_LT( PlaneDistance( plane, centre ), 0.0f ) << p;
		}
		const RwSphere inside = { centre, 0.1f };
		EXPECT_EQ( RwCameraFrustumTestSphere( camera, &inside ), rwSPHEREINSIDE );
		const RwBBox& box = camera->frustumBoundBox;
		for ( const RwV3d& corner : camera->frustumCorners ) {
			EXPECT_LE( corner.x, box.sup.x );
			EXPECT_GE( corner.y, box.inf.y );
		}
		Remove( camera, frame );
	}
}

TEST_F( RwCameraTest, ViewMatrixMapsTheCornersToTheScreensEdges ) {
	for ( const FrustumCase& c : frustumCases ) {
		if ( c.offset.x != 0.0f ) {
			continue;
		}
		SCOPED_TRACE( c.name );
		RwCamera* const camera = Create();
		RwCameraSetProjection( camera, c.projection );
		RwCameraSetViewWindow( camera, &c.window );
		RwFrame* const frame = Place( camera );
		// Corner order (+x, +y), (-x, +y), (-x, -y), (+x, -y): x maps to
		// 0 on the right, y to 0 at the top.
		const f32 screenX[4] = { 0.0f, 1.0f, 1.0f, 0.0f };
		const f32 screenY[4] = { 0.0f, 0.0f, 1.0f, 1.0f };
		for ( s32 i = 0; i < RWCAMERA_FRUSTUM_CORNERS; i++ ) {
			RwV3d screen;
			RwV3dTransformPoints( &screen, &camera->frustumCorners[i], 1, &camera->viewMatrix );
			const f32 divisor = c.projection == rwPERSPECTIVE ? screen.z : 1.0f;
			EXPECT_NEAR( screen.x / divisor, screenX[i % 4], 1e-3f ) << i;
			EXPECT_NEAR( screen.y / divisor, screenY[i % 4], 1e-3f ) << i;
			EXPECT_NEAR( screen.z, i < 4 ? camera->nearPlane : camera->farPlane, 1e-3f ) << i;
		}
		Remove( camera, frame );
	}
}

TEST_F( RwCameraTest, SpheresAreInsideCrossingOrOutsideByTheirDistanceToEachPlane ) {
	RwCamera* const camera = Create();
	RwFrame* const frame = RwFrameCreate();
	_rwObjectHasFrameSetFrame( &camera->object, frame );
	_rwFrameSyncDirty();
	// An unmoved camera looks along +z: the far plane is z = 10.
	struct Case {
		f32						z;
		f32						radius;
		RwFrustumTestResult		expected;
	};
	const Case cases[] = {
		{ 5.0f, 1.0f, rwSPHEREINSIDE },
		{ 9.5f, 1.0f, rwSPHEREBOUNDARY },
		{ 11.0f, 1.0f, rwSPHEREBOUNDARY },	// exactly its radius beyond
		{ 11.001f, 1.0f, rwSPHEREOUTSIDE },
		{ 0.05f, 0.01f, rwSPHEREBOUNDARY },
		{ -1.0f, 0.5f, rwSPHEREOUTSIDE },
	};
	for ( const Case& c : cases ) {
		const RwSphere sphere = { { 0.0f, 0.0f, c.z }, c.radius };
		EXPECT_EQ( RwCameraFrustumTestSphere( camera, &sphere ), c.expected ) << c.z;
	}
	Remove( camera, frame );
}

TEST_F( RwCameraTest, UpdatesSynchroniseDirtyFramesAndBracketRenderStates ) {
	RwCamera* const camera = Create();
	RwFrame* const frame = RwFrameCreate();
	_rwObjectHasFrameSetFrame( &camera->object, frame );
	RwTestPlace( frame, 1.0f, 2.0f, 3.0f );
	EXPECT_FALSE( RwRenderStateSet( 1, nullptr ) );
	EXPECT_EQ( RwCameraBeginUpdate( camera ), camera );
	EXPECT_TRUE( RwTestDirtyRoots().empty() );
	EXPECT_NEAR( camera->viewMatrix.pos.z, -3.0f, 1e-5f );
	EXPECT_EQ( RwEngineInstance->currentCamera, camera );
	const TestDeviceStandardCall begin = TestDeviceStandardCalls().back();
	EXPECT_EQ( begin.standard, rwSTANDARDCAMERABEGINUPDATE );
	EXPECT_EQ( begin.out, nullptr );
	EXPECT_EQ( begin.inOut, camera );
	EXPECT_TRUE( RwRenderStateSet( 1, nullptr ) );
	RwRGBA colour = { 1, 2, 3, 4 };
	EXPECT_EQ( RwCameraClear( camera, &colour, rwCAMERACLEARIMAGE | rwCAMERACLEARZ ), camera );
	const TestDeviceStandardCall clear = TestDeviceStandardCalls().back();
	EXPECT_EQ( clear.out, camera );
	EXPECT_EQ( clear.inOut, &colour );
	EXPECT_EQ( clear.inInt, 3 );
	EXPECT_EQ( RwCameraEndUpdate( camera ), camera );
	EXPECT_EQ( RwEngineInstance->currentCamera, nullptr );
	EXPECT_FALSE( RwRenderStateSet( 1, nullptr ) );
	Remove( camera, frame );
}

TEST_F( RwCameraTest, RefusedUpdatesLeaveTheCameraCurrent ) {
	RwCamera* const camera = Create();
	struct Case {
		s32		refused;
		bool	beginSucceeds;
	};
	for ( const Case c : { Case{ rwSTANDARDCAMERABEGINUPDATE, false }, Case{ rwSTANDARDCAMERAENDUPDATE, true } } ) {
		RwEngineInstance->currentCamera = nullptr;
		TestDeviceRefuseStandard( c.refused, true );
		EXPECT_EQ( RwCameraBeginUpdate( camera ) != nullptr, c.beginSucceeds );
		EXPECT_EQ( RwEngineInstance->currentCamera, camera );
		EXPECT_EQ( RwCameraEndUpdate( camera ) != nullptr, !c.beginSucceeds );
		EXPECT_EQ( RwEngineInstance->currentCamera, c.beginSucceeds ? camera : nullptr );
		TestDeviceRefuseStandard( c.refused, false );
	}
	TestDeviceRefuseStandard( rwSTANDARDCAMERACLEAR, true );
	RwRGBA colour = {};
	EXPECT_EQ( RwCameraClear( camera, &colour, 1 ), nullptr );
	RwCameraDestroy( camera );
	EXPECT_EQ( RwEngineInstance->currentCamera, nullptr );
}

}	// namespace
