/*
	The camera table on cameras of the 3D library: creation on an object
	(slots, the object's first clip band), the clip planes, the colour
	conversions, visibility of spheres against planes built here in double
	precision, snapshots, unknown cameras, and a camera that outlives the
	object whose frame it borrowed.
*/
#include "framework/core/world/WorldTestBench.h"

#include "framework/logic/api/LogicApiClearColor.h"
#include "framework/logic/api/LogicApiTables.h"
#include "graphics3d/core/RwCamera.h"
#include "support/TestScratchFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>
#include <random>

namespace {

constexpr u32 OBJECT = 0x2A000041;
constexpr u32 OTHER = 0x2A000042;
constexpr u32 NO_CAMERA = 0xFFFFFFFF;

class LogicApiCameraTest : public WorldTestBench {
protected:
	void SetUp() override {
		WorldTestBench::SetUp();
		Init_camera();
		object = MakeObject( OBJECT, 1.0f, 2.0f, 3.0f );
	}

	EFGameObject* object = nullptr;
};

TEST_F( LogicApiCameraTest, CreateTakesTheTwoSlotsAndClearsTheObjectsFirstClipBand ) {
	EFClippingParams params{};
	params.oDists[0] = { 10.0f, 0x12, 0x34 };
	params.oDists[1] = { 20.0f, 0x56, 0x78 };
	object->SetClippingParams( &params, 1 );
	MakeObject( OTHER );

	EXPECT_EQ( APIcamera.Create( 0x2A000099 ), NO_CAMERA );
	EXPECT_EQ( APIcamera.Create( OBJECT ), 0x10000000u );
	EXPECT_EQ( APIcamera.Create( OTHER ), 0x10000001u );
	EXPECT_EQ( APIcamera.Create( OTHER ), NO_CAMERA );

	object->GetClippingParams( &params );
	EXPECT_EQ( params.oDists[0].uiOutFrustClipOps, 0u );
	EXPECT_EQ( params.oDists[0].uiInFrustClipOps, 0u );
	EXPECT_EQ( params.oDists[1].uiOutFrustClipOps, 0x56u );
	EXPECT_EQ( moGraphics->GetCamera( 0 )->GetFrame(), object->GetFrame() );
}

TEST_F( LogicApiCameraTest, NearPlaneIsHeldAtATenthAndTheNewFarPlaneIsUsed ) {
	const u32 id = APIcamera.Create( OBJECT );
	const RwCamera* const library = moGraphics->GetCamera( id )->mpoRwCamera;
	const struct {
		f32 asked;
		f32 set;
	} rows[] = { { 0.0f, 0.1f }, { -3.0f, 0.1f }, { 0.5f, 0.5f } };
	for ( const auto& row : rows ) {
		APIcamera.SetNearClipPlane( id, row.asked );
		EXPECT_FLOAT_EQ( library->nearPlane, row.set ) << row.asked;
	}

	// A sphere ahead of the camera, between the old far plane and the new.
	DTVector3d ahead( 1.0f, 2.0f, 3.0f + 60.0f );
	APIcamera.SetFarClipPlane( id, 50.0f );
	EXPECT_EQ( APIcamera.IsSphereInFrustrum( id, &ahead, 1.0f ), 0u );
	APIcamera.SetFarClipPlane( id, 100.0f );
	EXPECT_EQ( APIcamera.IsSphereInFrustrum( id, &ahead, 1.0f ), 1u );
	EXPECT_EQ( APIcamera.GetPriority( id ), -1.0f );
}

TEST_F( LogicApiCameraTest, ColoursBecomeBytesHeldToTheirChannel ) {
	const u32 id = APIcamera.Create( OBJECT );
	const EFCamera* const camera = moGraphics->GetCamera( id );
	const f32 nan = std::numeric_limits<f32>::quiet_NaN();
	const struct {
		CColor	colour;
		u32		fog;
		u8		clear[4];
	} rows[] = {
		{ { 255.0f, 128.0f, 0.0f, 255.0f }, 0xFFFF8000, { 255, 255, 0, 255 } },
		{ { 1.0f, 0.5f, 0.0f, 1.0f }, 0x01010000, { 255, 127, 0, 255 } },
		{ { 300.0f, -5.0f, nan, 255.0f }, 0xFFFF0000, { 255, 0, 0, 255 } },
		{ { 0.1f, 0.2f, 0.3f, -1e30f }, 0x00000000, { 25, 51, 76, 0 } },
	};
	for ( const auto& row : rows ) {
		CColor colour = row.colour;
		APIcamera.SetFogColor( id, &colour );
		EXPECT_EQ( camera->mui32FogColor, row.fog );
		APIcamera.SetClearColor( id, &colour );
		const u8 bytes[4] = { sFloatClearColor.r, sFloatClearColor.g, sFloatClearColor.b, sFloatClearColor.a };
		for ( u32 channel = 0; channel < 4; channel++ ) {
			EXPECT_EQ( bytes[channel], row.clear[channel] ) << row.colour.red << " channel " << channel;
		}
	}
}

TEST_F( LogicApiCameraTest, SpheresAreClassifiedAsPlanesBuiltInDoublePrecisionClassifyThem ) {
	// The camera turned about y and moved, with its own view.
	RwFrame* const frame = object->GetFrame()->GetRwFrame();
	const RwV3d up = { 0.0f, 1.0f, 0.0f };
	RwFrameRotate( frame, &up, 30.0f, rwCOMBINEREPLACE );
	frame->modelling.pos = { 1.0f, 2.0f, 3.0f };
	RwFrameUpdateObjects( frame );
	const u32 id = APIcamera.Create( OBJECT );
	APIcamera.SetViewWindow( id, 0.6f, 0.45f );
	APIcamera.SetNearClipPlane( id, 1.0f );
	APIcamera.SetFarClipPlane( id, 40.0f );

	// The six planes in camera space (looking along +z), built apart from
	// the engine's volumes: outward normals, d = n . q - dist.
	const double w = 0.6;
	const double h = 0.45;
	const double lw = std::sqrt( 1.0 + w * w );
	const double lh = std::sqrt( 1.0 + h * h );
	const double planes[6][4] = { { 0, 0, -1, -1 }, { 0, 0, 1, 40 }, { 1 / lw, 0, -w / lw, 0 },
								  { -1 / lw, 0, -w / lw, 0 }, { 0, 1 / lh, -h / lh, 0 }, { 0, -1 / lh, -h / lh, 0 } };
	const RwMatrix* const m = RwFrameGetLTM( frame );
	const RwV3d* const axes[4] = { &m->right, &m->up, &m->at, &m->pos };
	// A camera-space point in the world, and its class (none near a
	// boundary: nullopt).
	auto world = [&]( const double* q ) {
		double v[3];
		for ( u32 a = 0; a < 3; a++ ) {
			const f32 RwV3d::* const c = a == 0 ? &RwV3d::x : a == 1 ? &RwV3d::y : &RwV3d::z;
			v[a] = axes[3]->*c + q[0] * axes[0]->*c + q[1] * axes[1]->*c + q[2] * axes[2]->*c;
		}
		return DTVector3d( static_cast<f32>( v[0] ), static_cast<f32>( v[1] ), static_cast<f32>( v[2] ) );
	};
	auto classify = [&]( const double* q, const double r ) -> std::optional<u32> {
		u32 result = 1;
		for ( const auto& p : planes ) {
			const double d = p[0] * q[0] + p[1] * q[1] + p[2] * q[2] - p[3];
			if ( std::fabs( d - r ) < 1e-2 || std::fabs( d + r ) < 1e-2 ) {
				return std::nullopt;
			}
			if ( d > r ) {
				return 0u;
			}
			result = d >= -r ? 2 : result;
		}
		return result;
	};

	// A centre on the right plane crosses it; beyond the radius outside it
	// is out.
	const double onRight[3] = { 20.0 * w, 0.0, 20.0 };
	const double outRight[3] = { 20.0 * w + 2.5 * lw, 0.0, 20.0 };
	DTVector3d centre = world( onRight );
	EXPECT_EQ( APIcamera.IsSphereInFrustrum( id, &centre, 1.0f ), 2u );
	centre = world( outRight );
	EXPECT_EQ( APIcamera.IsSphereInFrustrum( id, &centre, 1.0f ), 0u );

	std::mt19937 random( 1234 );
	std::uniform_real_distribution<double> coordinate( -30.0, 30.0 );
	std::uniform_real_distribution<double> size( 0.0, 5.0 );
	u32 seen[3] = { 0, 0, 0 };
	for ( u32 i = 0; i < 2000; i++ ) {
		const double q[3] = { coordinate( random ), coordinate( random ), coordinate( random ) + 20.0 };
		const double r = static_cast<f32>( size( random ) );
		const std::optional<u32> expected = classify( q, r );
		if ( expected ) {
			centre = world( q );
			EXPECT_EQ( APIcamera.IsSphereInFrustrum( id, &centre, static_cast<f32>( r ) ), *expected ) << i;
			seen[*expected]++;
		}
	}
	EXPECT_GT( seen[0] + seen[1] + seen[2], 1900u );
	EXPECT_GT( seen[1], 10u );
	EXPECT_GT( seen[2], 10u );
}

TEST_F( LogicApiCameraTest, TwoSnapshotsAreNumberedOneAfterTheOther ) {
	TestScratchFolder scratch;
	ASSERT_TRUE( scratch.Make( "logic-camera-" ) );
	const std::filesystem::path& folder = scratch.Path();
	const u32 id = APIcamera.Create( OBJECT );
	EFCamera_SP::smui32ShotCounter = 0;
	std::string pattern = ( folder / "shot%02d.bmp" ).string();
	APIcamera.TakeSnapShot( id, pattern.data() );
	APIcamera.TakeSnapShot( id, pattern.data() );
	APIcamera.TakeSnapShot( NO_CAMERA, pattern.data() );
	EXPECT_TRUE( std::filesystem::exists( folder / "shot00.bmp" ) );
	EXPECT_TRUE( std::filesystem::exists( folder / "shot01.bmp" ) );
	EXPECT_FALSE( std::filesystem::exists( folder / "shot02.bmp" ) );
}

TEST_F( LogicApiCameraTest, UnknownCamerasChangeNothingAndAnswerZero ) {
	APIcamera.Create( OBJECT );
	const u32 unknown[] = { NO_CAMERA, 0x10000001, 0x10000002, 2 };
	for ( const u32 id : unknown ) {
		DTVector3d point( 1.0f, 2.0f, 3.0f );
		DTVector3d result( 7.0f, 8.0f, 9.0f );
		EXPECT_EQ( APIcamera.ProjectOntoFrustum( id, &result, &point ), 0u );
		EXPECT_EQ( result.x, 7.0f );
		EXPECT_EQ( APIcamera.IsSphereInFrustrum( id, &point, 1.0f ), 0u );
		f32 width = 5.0f;
		f32 height = 6.0f;
		APIcamera.GetViewWindow( id, &width, &height );
		EXPECT_EQ( width, 5.0f );
		EXPECT_EQ( APIcamera.GetFogDistance( id ), 0.0f );
		APIcamera.Destroy( id );
	}
	EXPECT_EQ( moGraphics->GetCameraCount(), 1u );
}

TEST_F( LogicApiCameraTest, ACameraOutlivesTheObjectWhoseFrameItBorrowed ) {
	RwFrame* const frame = object->GetFrame()->GetRwFrame();
	const RwV3d up = { 0.0f, 1.0f, 0.0f };
	RwFrameRotate( frame, &up, 45.0f, rwCOMBINEPOSTCONCAT );
	RwFrameUpdateObjects( frame );
	const u32 id = APIcamera.Create( OBJECT );
	const RwMatrix last = *RwFrameGetLTM( frame );
	DTVector3d ahead( last.pos.x + 5.0f * last.at.x, last.pos.y + 5.0f * last.at.y, last.pos.z + 5.0f * last.at.z );
	ASSERT_EQ( APIcamera.IsSphereInFrustrum( id, &ahead, 0.5f ), 1u );

	object->Terminate();
	gpoWorldMgr->RemoveGameObject( OBJECT );
	delete object;
	object = nullptr;

	// Its own frame now, where the object last was; the view is as before.
	EFCamera* const camera = moGraphics->GetCamera( id );
	ASSERT_NE( camera->GetFrame(), nullptr );
	const RwMatrix* const now = RwFrameGetLTM( camera->GetFrame()->GetRwFrame() );
	EXPECT_EQ( std::memcmp( &now->pos, &last.pos, sizeof( RwV3d ) ), 0 );
	EXPECT_EQ( std::memcmp( &now->at, &last.at, sizeof( RwV3d ) ), 0 );
	EXPECT_EQ( APIcamera.IsSphereInFrustrum( id, &ahead, 0.5f ), 1u );
	gpoWorldMgr->PrepareRender();
	APIcamera.Destroy( id );
	EXPECT_EQ( moGraphics->GetCamera( id ), nullptr );
}

}
