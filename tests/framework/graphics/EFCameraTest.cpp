#include "EFGraphicsTestBench.h"

#include "datatypes/maths/DTColor.h"
#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTMatrix.h"
#include "framework/graphics/EFCamera.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/testdevice/TestDeviceRasters.h"
#include "support/TestRunCommand.h"

#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtx/intersect.hpp>

#include <cmath>
#include <cstring>

namespace {

constexpr s32 RASTER_CREATE = 4;
constexpr s32 RASTER_DESTROY = 5;
constexpr s32 RASTER_SUB = 12;

class EFCameraTest : public EFGraphicsTestBench {};

void ExpectArea( const CRect& area, const f32 x, const f32 y, const f32 w, const f32 h ) {
	EXPECT_EQ( area.x, x );
	EXPECT_EQ( area.y, y );
	EXPECT_EQ( area.w, w );
	EXPECT_EQ( area.h, h );
}

// The matrix whose rows are the columns of a rigid glm transform.
DTMatrix FromGlm( const glm::mat4& g ) {
	DTMatrix m{};
	DTVector3d* const rows[] = { m.GetRight(), m.GetUp(), m.GetAt(), m.GetPos() };
	for ( u32 c = 0; c < 4; c++ ) {
		*rows[c] = DTVector3d( g[c].x, g[c].y, g[c].z );
	}
	return m;
}

glm::vec3 ToGlm( const DTVector3d& v ) {
	return { v.x, v.y, v.z };
}

TEST_F( EFCameraTest, ANewCameraCoversTheScreenAndItsAreaIsAWindowOfTheMainRasters ) {
	EFGraphicsMgr* const manager = Make( "" );
	ASSERT_EQ( manager->GetScreenWidth(), 640u );
	ASSERT_EQ( manager->GetScreenHeight(), 480u );
	EFCamera* const camera = manager->GetCamera( manager->CreateCamera( nullptr ) );
	ASSERT_NE( camera, nullptr );
	f32 width = 0.0f;
	f32 height = 0.0f;
	camera->GetViewWindow( width, height );
	EXPECT_EQ( width, 0.5f );
	EXPECT_EQ( height, 0.375f );
	CRect area{};
	camera->GetDisplayArea( &area );
	ExpectArea( area, 0.0f, 0.0f, 640.0f, 480.0f );
	// The library camera hangs on the instance's frame.
	EXPECT_EQ( camera->mpoRwCamera->object.object.parent, camera->GetFrame()->GetRwFrame() );
	EXPECT_EQ( camera->mpoRwCamera->frameBuffer->parent, manager->GetCameraRaster() );
	EXPECT_EQ( camera->mpoRwCamera->zBuffer->parent, manager->GetDepthRaster() );

	camera->SetFOV( 3.14159265f / 2.0f );
	camera->GetViewWindow( width, height );
	EXPECT_NEAR( width, 1.0f, 1e-6f );
	EXPECT_NEAR( height, 0.75f, 1e-6f );

	struct Row {
		CRect	fraction;
		s32		x, y, w, h;
	};
	// x0 and y0 truncate; the size rounds the far edge.
	const Row rows[] = {
		{ { 0.5f, 0.0f, 0.5f, 1.0f }, 320, 0, 320, 480 },
		{ { 1.0f / 3.0f, 0.25f, 1.0f / 3.0f, 0.5f }, 213, 120, 214, 240 },
		{ { 0.0f, 0.0f, 1.0f, 1.0f }, 0, 0, 640, 480 },
	};
	for ( const Row& row : rows ) {
		CRect fraction = row.fraction;
		camera->SetDisplayArea( &fraction );
		const RwRaster* const raster = camera->mpoRwCamera->frameBuffer;
		EXPECT_EQ( raster->nOffsetX, row.x );
		EXPECT_EQ( raster->nOffsetY, row.y );
		camera->GetDisplayArea( &area );
		ExpectArea( area, 0.0f, 0.0f, static_cast<f32>( row.w ), static_cast<f32>( row.h ) );
		EXPECT_EQ( camera->mpoRwCamera->zBuffer->width, row.w );
	}

	// Clear colour channels saturate into bytes.
	DTColor colour( 1.0f, 0.5f, 2.0f, -1.0f );
	camera->SetClearColor( colour );
	EXPECT_EQ( camera->moClearColor.red, 255 );
	EXPECT_EQ( camera->moClearColor.green, 127 );
	EXPECT_EQ( camera->moClearColor.blue, 255 );
	EXPECT_EQ( camera->moClearColor.alpha, 0 );
}

TEST_F( EFCameraTest, EveryRasterIsDestroyedOnceWhateverTheOwnerDid ) {
	enum Owner { NOTHING, OWN_LEFT_ON, OWN_BY_PROTOCOL, DROPPED_BY_NULLS, OWN_THEN_AREA };
	const Owner owners[] = { NOTHING, OWN_LEFT_ON, OWN_BY_PROTOCOL, DROPPED_BY_NULLS, OWN_THEN_AREA };
	ASSERT_NE( Make( "" ), nullptr );
	for ( const Owner owner : owners ) {
		SCOPED_TRACE( static_cast<int>( owner ) );
		const u32 created = TestDeviceStandardCount( RASTER_CREATE );
		const u32 destroyed = TestDeviceStandardCount( RASTER_DESTROY );
		EFCamera* const camera = new EFCamera( nullptr );
		RwRaster* frame = nullptr;
		RwRaster* depth = nullptr;
		if ( owner != NOTHING && owner != DROPPED_BY_NULLS ) {
			frame = RwRasterCreate( 64, 64, 0, rwRASTERTYPECAMERA );
			depth = RwRasterCreate( 64, 64, 0, rwRASTERTYPEZBUFFER );
			camera->SetRasters( frame, depth );
			EXPECT_EQ( camera->mpoRwCamera->frameBuffer, frame );
		}
		if ( owner == DROPPED_BY_NULLS ) {
			camera->SetRasters( nullptr, nullptr );
		}
		if ( owner == OWN_THEN_AREA ) {
			// Own rasters freeze the display area.
			CRect half = { 0.5f, 0.0f, 0.5f, 1.0f };
			camera->SetDisplayArea( &half );
			EXPECT_EQ( camera->mpoRwCamera->frameBuffer, frame );
			EXPECT_EQ( frame->width, 64 );
		}
		if ( owner == OWN_BY_PROTOCOL ) {
			camera->mpoRwCamera->frameBuffer = nullptr;
			camera->mpoRwCamera->zBuffer = nullptr;
			camera->SetRasters( nullptr, nullptr );
			camera->Terminate();
			RwRasterDestroy( frame );
			RwRasterDestroy( depth );
		}
		delete camera;
		EXPECT_EQ( TestDeviceStandardCount( RASTER_DESTROY ) - destroyed,
				   TestDeviceStandardCount( RASTER_CREATE ) - created );
	}
}

TEST_F( EFCameraTest, WithoutMainRastersCamerasGetNoWindowAndAFrameStillRenders ) {
	TestDeviceRefuseStandard( RASTER_CREATE, true );
	EFGraphicsMgr* const manager = Make( "" );
	TestDeviceRefuseStandard( RASTER_CREATE, false );
	ASSERT_EQ( manager->GetCameraRaster(), nullptr );
	ASSERT_EQ( manager->Initialize(), 1u );
	const u32 subRasters = TestDeviceStandardCount( RASTER_SUB );
	for ( u32 slot = 0; slot < 2; slot++ ) {
		EFCamera* const camera = manager->GetCamera( manager->CreateCamera( nullptr ) );
		ASSERT_NE( camera, nullptr );
		EXPECT_EQ( camera->mpoRwCamera->frameBuffer, nullptr );
		CRect area = { 1.0f, 1.0f, 1.0f, 1.0f };
		camera->GetDisplayArea( &area );
		ExpectArea( area, 0.0f, 0.0f, 0.0f, 0.0f );
	}
	manager->Render();
	manager->Render();
	EXPECT_EQ( TestDeviceStandardCount( RASTER_SUB ), subRasters );
	EXPECT_EQ( manager->GetCamera( 0 )->GetFrameCount(), 2u );
}

TEST_F( EFCameraTest, PointsOutsideTheSidesMoveBackAlongTheCameraAxesNearFirst ) {
	// A perspective volume 1 wide and high at unit distance, from 1 to 10.
	EFFrustum local;
	local.SetFromCameraParams( 1.0f, 1.0f, 1.0f, 10.0f, EF_CAMERA_PERSPECTIVE );
	struct Row {
		DTVector3d				point;
		EFFrustumProjection_e	code;
		DTVector3d				moved;
	};
	const Row rows[] = {
		{ { 5.0f, 0.0f, 0.5f }, EF_FRUSTUM_OUTSIDE_NEAR, { 5.0f, 0.0f, 0.5f } },
		{ { 0.0f, 0.0f, 20.0f }, EF_FRUSTUM_OUTSIDE_FAR, { 0.0f, 0.0f, 20.0f } },
		{ { 3.0f, 0.0f, 2.0f }, EF_FRUSTUM_OUTSIDE_RIGHT, { 2.0f, 0.0f, 2.0f } },
		{ { 3.0f, 3.0f, 2.0f }, EF_FRUSTUM_OUTSIDE_RIGHT_TOP, { 2.0f, 2.0f, 2.0f } },
		{ { 3.0f, -4.0f, 2.0f }, EF_FRUSTUM_OUTSIDE_RIGHT_BOTTOM, { 2.0f, -2.0f, 2.0f } },
		{ { -3.0f, 0.5f, 2.0f }, EF_FRUSTUM_OUTSIDE_LEFT, { -2.0f, 0.5f, 2.0f } },
		{ { -3.0f, 3.0f, 2.0f }, EF_FRUSTUM_OUTSIDE_LEFT_TOP, { -2.0f, 2.0f, 2.0f } },
		{ { -3.0f, -3.0f, 2.0f }, EF_FRUSTUM_OUTSIDE_LEFT_BOTTOM, { -2.0f, -2.0f, 2.0f } },
		{ { 1.0f, 3.0f, 2.0f }, EF_FRUSTUM_OUTSIDE_TOP, { 1.0f, 2.0f, 2.0f } },
		{ { -1.0f, -3.0f, 2.0f }, EF_FRUSTUM_OUTSIDE_BOTTOM, { -1.0f, -2.0f, 2.0f } },
		{ { 1.0f, 1.0f, 2.0f }, EF_FRUSTUM_INSIDE, { 1.0f, 1.0f, 2.0f } },
	};
	// The same in camera space and with the camera turned and moved: the
	// moves follow the camera's own axes.
	const glm::mat4 poses[] = {
		glm::mat4( 1.0f ),
		glm::rotate( glm::translate( glm::mat4( 1.0f ), glm::vec3( 4.0f, -2.0f, 7.0f ) ), 0.7f,
					 glm::normalize( glm::vec3( 1.0f, 2.0f, -0.5f ) ) ),
	};
	for ( const glm::mat4& pose : poses ) {
		const DTMatrix matrix = FromGlm( pose );
		EFFrustum world;
		local.TransformPlanes( matrix, world );
		for ( const Row& row : rows ) {
			SCOPED_TRACE( static_cast<int>( row.code ) );
			const glm::vec3 point = glm::vec3( pose * glm::vec4( ToGlm( row.point ), 1.0f ) );
			const glm::vec3 moved = glm::vec3( pose * glm::vec4( ToGlm( row.moved ), 1.0f ) );
			DTVector3d out;
			EXPECT_EQ( world.ProjectOntoFrustum( matrix, DTVector3d( point.x, point.y, point.z ), &out ), row.code );
			EXPECT_NEAR( out.x, moved.x, 1e-4f );
			EXPECT_NEAR( out.y, moved.y, 1e-4f );
			EXPECT_NEAR( out.z, moved.z, 1e-4f );
		}
	}
}

TEST_F( EFCameraTest, RaysMeetPlanesAsGlmSaysAndTheThresholdIsTwoToTheMinusSeven ) {
	const EFPlane floor( DTVector3d( 0.0f, 0.0f, 1.0f ), 2.0f );
	struct Row {
		DTVector3d					origin;
		DTVector3d					direction;
		EFPlaneRayIntersectResult_e	result;
	};
	const Row rows[] = {
		{ { 0.0f, 0.0f, 0.0f }, { 1.0f, 0.0f, 0.0078125f }, EFPLANE_RAY_POINT },
		{ { 0.0f, 0.0f, 2.0f }, { 1.0f, 0.0f, 0.0078124f }, EFPLANE_RAY_IN_PLANE },
		{ { 0.0f, 0.0f, 2.0078f }, { 1.0f, 0.0f, -0.0078f }, EFPLANE_RAY_IN_PLANE },
		{ { 0.0f, 0.0f, 2.0079f }, { 1.0f, 0.0f, 0.0f }, EFPLANE_RAY_PARALLEL },
		{ { 0.0f, 0.0f, -5.0f }, { 0.0f, 1.0f, 0.0f }, EFPLANE_RAY_PARALLEL },
	};
	for ( const Row& row : rows ) {
		DTVector3d hit( 9.0f, 9.0f, 9.0f );
		EXPECT_EQ( floor.IntersectRay( row.origin, row.direction, &hit ), row.result );
		if ( row.result != EFPLANE_RAY_POINT ) {
			EXPECT_EQ( hit.x, 9.0f );
		} else {
			EXPECT_NEAR( hit.z, 2.0f, 1e-5f );
			EXPECT_NEAR( hit.x, 256.0f, 1e-2f );
		}
	}

	// Planes carried by rigid transforms and rays through them, against GLM.
	u32 seed = 12345;
	auto next = [&seed]() {
		seed = seed * 1664525u + 1013904223u;
		return static_cast<f32>( seed >> 8 ) / static_cast<f32>( 1u << 24 ) * 2.0f - 1.0f;
	};
	for ( u32 i = 0; i < 200; i++ ) {
		const glm::vec3 normal = glm::normalize( glm::vec3( next(), next(), next() ) + glm::vec3( 0.0f, 0.0f, 1.5f ) );
		const f32 d = next() * 5.0f;
		const glm::mat4 pose = glm::rotate( glm::translate( glm::mat4( 1.0f ), glm::vec3( next(), next(), next() ) * 10.0f ),
											next() * 3.0f, glm::normalize( glm::vec3( next(), next(), next() + 2.0f ) ) );
		EFPlane moved;
		EFPlane( DTVector3d( normal.x, normal.y, normal.z ), d ).Transform( FromGlm( pose ), &moved );
		const glm::vec3 onPlane = glm::vec3( pose * glm::vec4( normal * d, 1.0f ) );
		const glm::vec3 movedNormal = glm::mat3( pose ) * normal;
		EXPECT_NEAR( glm::distance( ToGlm( moved.moNormal ), movedNormal ), 0.0f, 1e-5f );
		EXPECT_NEAR( moved.mfD, glm::dot( movedNormal, onPlane ), 1e-3f );

		const glm::vec3 origin( next() * 20.0f, next() * 20.0f, next() * 20.0f );
		const glm::vec3 direction = glm::normalize( glm::vec3( next(), next(), next() ) );
		f32 distance = 0.0f;
		DTVector3d hit;
		const EFPlaneRayIntersectResult_e result = moved.IntersectRay(
			DTVector3d( origin.x, origin.y, origin.z ), DTVector3d( direction.x, direction.y, direction.z ), &hit );
		if ( std::fabs( glm::dot( movedNormal, direction ) ) < 0.0078125f ) {
			EXPECT_NE( result, EFPLANE_RAY_POINT );
			continue;
		}
		ASSERT_EQ( result, EFPLANE_RAY_POINT );
		// GLM finds hits ahead of the origin only; look both ways.
		const bool ahead = glm::intersectRayPlane( origin, direction, onPlane, movedNormal, distance );
		if ( !ahead ) {
			ASSERT_TRUE( glm::intersectRayPlane( origin, -direction, onPlane, movedNormal, distance ) );
			distance = -distance;
		}
		const glm::vec3 expected = origin + direction * distance;
		EXPECT_NEAR( glm::distance( ToGlm( hit ), expected ), 0.0f, 2e-3f ) << i;
	}
}

}

namespace {

u32 CountReports( const std::string& text ) {
	u32 count = 0;
	for ( const std::string& report : EFCoreTestSeen().reports ) {
		count += report == text ? 1 : 0;
	}
	return count;
}

TEST_F( EFCameraTest, SnapshotsNumberTheirFilesAndHoldTheFrameBufferAsImageMagickReadsIt ) {
	EFGraphicsMgr* const manager = Make( "" );
	EFCamera* const camera = manager->GetCamera( manager->CreateCamera( nullptr ) );
	ASSERT_NE( camera, nullptr );
	GXHostReset();
	// Two rectangles inside the 512 rows read, one band below them; the
	// rest of the buffer is 0.
	GXHostFillEfb( 0, 0, 640, 100, 0xFF102030 );
	GXHostFillEfb( 600, 500, 40, 12, 0x80C0B0A0 );
	GXHostFillEfb( 0, 512, 640, 16, 0xFFFFFFFF );

	EFCamera_SP::smui32ShotCounter = 0;
	const std::string pattern = ( root / "snap%03d.bmp" ).native();
	camera->TakeSnapShot( pattern.c_str() );
	camera->TakeSnapShot( pattern.c_str() );
	EXPECT_EQ( CountReports( "Screen grab succeeded :)\n" ), 2u );
	const std::string names[] = { ( root / "snap000.bmp" ).native(), ( root / "snap001.bmp" ).native() };
	for ( const std::string& name : names ) {
		int status = 0;
		const std::string identified = RunCommand( "identify -format \"%w %h\" '" + name + "' 2>&1", &status );
		EXPECT_EQ( status, 0 ) << identified;
		EXPECT_EQ( identified, "640 512" );
	}
	int status = 0;
	const std::string rgb = RunCommand( "convert '" + names[1] + "' -depth 8 rgb:-", &status );
	ASSERT_EQ( status, 0 );
	ASSERT_EQ( rgb.size(), 640u * 512u * 3u );
	auto pixel = [&rgb]( const u32 x, const u32 y ) {
		const u8* const p = reinterpret_cast<const u8*>( rgb.data() ) + ( y * 640 + x ) * 3;
		return static_cast<u32>( p[0] ) << 16 | static_cast<u32>( p[1] ) << 8 | p[2];
	};
	u32 wrong = 0;
	for ( u32 y = 0; y < 512; y++ ) {
		for ( u32 x = 0; x < 640; x++ ) {
			const u32 expected = y < 100 ? 0x102030u : ( x >= 600 && y >= 500 ? 0xC0B0A0u : 0u );
			wrong += pixel( x, y ) != expected ? 1 : 0;
		}
	}
	EXPECT_EQ( wrong, 0u );

	// Patterns that are not one integer conversion in a bounded name are
	// refused before anything is made; the counter stays.
	const std::string refused[] = { "%s", std::string( 600, 'a' ) + "%d", "shot%d%d", "shot%.3d", "shot%ld", "shot%1234d" };
	for ( const std::string& bad : refused ) {
		camera->TakeSnapShot( ( root / bad ).native().c_str() );
	}
	camera->TakeSnapShot( nullptr );
	EXPECT_EQ( EFCamera_SP::smui32ShotCounter, 2u );
	EXPECT_EQ( CountReports( "Screen grab succeeded :)\n" ), 2u );
	EXPECT_EQ( CountReports( "Screen failed :(\n" ), 0u );
	// A literal percent is fine.
	camera->TakeSnapShot( ( root / "100%%_%-4u.bmp" ).native().c_str() );
	EXPECT_TRUE( std::filesystem::exists( root / "100%_2   .bmp" ) );
	// A folder that does not exist fails the write.
	camera->TakeSnapShot( ( root / "missing" / "x%d.bmp" ).native().c_str() );
	EXPECT_EQ( CountReports( "Screen failed :(\n" ), 1u );
}

}
