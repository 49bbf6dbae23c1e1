/*
	Rope detection and rope sliding over straight ropes written by the
	spline writer: the nearest touching primitive, slide speeds on slopes
	within their bounds, the swing only while hanging close, the end of
	the ropes, the hand-over to the best-scored following rope of an
	installed table, and a hang range of 0.
*/
#include "framework/behaviour/BehaviourTestBench.h"

#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/behaviour/EFDMRopeDetect.h"
#include "framework/behaviour/EFDMRopeSlide.h"
#include "framework/core/spline/EFQuadraticSpline.h"
#include "framework/core/spline/SplineReference.h"
#include "framework/physics/EFObjCollisionPrim.h"
#include "graphics3d/core/RwFrame.h"

#include <cmath>

namespace {

constexpr u32 HERO = 0x2A000900;
constexpr u32 CONFIG = 3;
constexpr u32 STICK = 4;
constexpr f32 DT = 1.0f / 60.0f;

// A straight rope of segments unit pieces from a along direction d.
ToolSplineInput Rope( const u16 id, const RefVec& a, const RefVec& d, const u32 segments,
					  const u16 flags = TOOL_SPLINE_FLAG_ROPE ) {
	ToolSplineInput rope;
	rope.id = id;
	rope.flags = flags;
	for ( u32 i = 0; i <= 2 * segments; i++ ) {
		const f64 s = 0.5 * i;
		rope.points.push_back( { a[0] + d[0] * s, a[1] + d[1] * s, a[2] + d[2] * s } );
	}
	return rope;
}

class EFDMRopeTest : public BehaviourTestBench {
protected:
	void Load( const std::vector<ToolSplineInput>& ropes ) {
		ASSERT_TRUE( RefLoad( splines, ropes ) );
		gpoSplineMgr = &splines;
	}

	void TearDown() override {
		gpoSplineMgr = nullptr;
		BehaviourTestBench::TearDown();
	}

	// The hero at pos with sphere primitives of radius 0.1 at offsets,
	// tags 0x10, 0x11, ...
	void Hero( const DTVector3d& pos, const std::vector<DTVector3d>& offsets ) {
		body = MakeModuleBody( HERO, pos.x, pos.y, pos.z, static_cast<u32>( offsets.size() ) );
		for ( u32 i = 0; i < offsets.size(); i++ ) {
			EFObjCollisionPrim* const prim = body->moCollisionModel.AddPrimitive( i, 0x10 + i, EF_PRIM_SPHERE,
																				  OwnerOf( body )->GetFrame() );
			prim->mfMaxRadius = 0.1f;
			prim->moTrans = offsets[i];
		}
		body->moCollisionModel.PrecalcData();
		frame = OwnerOf( body )->GetFrame()->GetRwFrame();
	}

	DTVector3d Position() const { return DMRow( RwFrameGetLTM( frame )->pos ); }

	EFSplineMgr		splines;
	EFPhysic*		body = nullptr;
	RwFrame*		frame = nullptr;
	EFDynamicPhysic	record = {};
};

TEST_F( EFDMRopeTest, TheNearestTouchingPrimitiveWinsTheEarlierOnTies ) {
	// Two parallel ropes along +z at x = 0 and x = 1.
	Load( { Rope( 1, { 0, 0, 0 }, { 0, 0, 1 }, 4 ), Rope( 2, { 1, 0, 0 }, { 0, 0, 1 }, 4, 0 ) } );
	struct Row {
		const char*				name;
		std::vector<DTVector3d>	offsets;
		u32						spline;
		u32						tag;
	};
	const Row rows[] = {
		{ "one touching", { { 0.05f, 0, 1 } }, 0, 0x10 },
		{ "the closer primitive (any spline counts)", { { 0.08f, 0, 1 }, { 0.95f, 0, 2 } }, 1, 0x11 },
		{ "equal distances: the earlier slot", { { 0.05f, 0, 1 }, { -0.05f, 0, 2 } }, 0, 0x10 },
		{ "nothing touching", { { 0.5f, 0, 1 } }, 0xFFFFFFFF, 0xFFFFFFFF },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		Hero( {}, row.offsets );
		const u32 handle = Add( HERO, EF_DM_ROPE_DETECT );
		DMSetStateChangeNotifyBits( handle, 2 );
		DMRopeDetectParams params = { { 0x10, 0x11, 0x12, 0xFFFFFFFF, 0xFFFFFFFF } };
		DMSetParams( handle, &params );
		Module<EFDMRopeDetect>( handle )->PostColUpdate( nullptr, DT );
		DMRopeDetectData data;
		std::memset( &data, 0xAB, sizeof( data ) );
		DMGetData( handle, &data );
		EXPECT_EQ( data.ui32SplineIndex, row.spline );
		EXPECT_EQ( data.ui32PrimTag, row.tag );
		if ( row.spline != 0xFFFFFFFF ) {
			EXPECT_EQ( data.ui32SplineFlags, row.spline == 0 ? 4u : 0u );
		}
		EXPECT_EQ( DMGetState( handle ), row.spline != 0xFFFFFFFF ? 2u : 0u );
		// Slot 2's tag is unknown: it reads back as empty.
		DMRopeDetectParams back = {};
		DMGetParams( handle, &back );
		EXPECT_EQ( back.aui32PrimTag[2], row.offsets.size() > 2 ? 0x12u : 0xFFFFFFFFu );
		// Emptied slots clear the result and the bit.
		DMSetParams( handle, nullptr );
		Module<EFDMRopeDetect>( handle )->PostColUpdate( nullptr, DT );
		DMGetData( handle, &data );
		EXPECT_EQ( data.ui32SplineIndex, 0xFFFFFFFFu );
		EXPECT_EQ( DMGetState( handle ), 0u );
		Drop( HERO );
	}
	EXPECT_EQ( gDMStateNotes.size(), 6u );
}

class EFDMRopeSlideTest : public EFDMRopeTest {
protected:
	// The hero attached at the start of rope id (placement 1).
	EFDMRopeSlide* Attach( const u16 id, const DMRopeSlideParams* params = nullptr ) {
		Hero( {}, { { 0, 0, 0 } } );
		handle = Add( HERO, EF_DM_ROPE_SLIDE );
		DMSetStateChangeNotifyBits( handle, 3 );
		if ( params != nullptr ) {
			DMSetParams( handle, const_cast<DMRopeSlideParams*>( params ) );
		}
		DMRopeSlideAttach attach = { id, 1 };
		DMDoAction( handle, DM_ROPE_SLIDE_ATTACH, &attach );
		return Module<EFDMRopeSlide>( handle );
	}

	// One pass: the pre phase, the body moved by its velocity as the
	// physics frame would, the post phase.
	void Pass( EFDMRopeSlide* slide ) {
		EXPECT_EQ( slide->PreColUpdate( record, DT ), 1u );
		const DTVector3d step = body->moVelocity * DT;
		frame->modelling.pos.x += step.x;
		frame->modelling.pos.y += step.y;
		frame->modelling.pos.z += step.z;
		RwFrameUpdateObjects( frame );
		slide->PostColUpdate( nullptr, DT );
	}

	u32 handle = 0;
};

TEST_F( EFDMRopeSlideTest, SlopesSpeedTheSlideUpOrDownWithinItsBounds ) {
	Load( { Rope( 1, { 0, 0, 0 }, { 0, -0.6, 0.8 }, 40 ), Rope( 2, { 0, 0, 0 }, { 0, 0.6, 0.8 }, 40 ),
			Rope( 3, { 0, 0, 0 }, { 0, 0, 1 }, 40 ) } );
	struct Row {
		const char*	name;
		u16			rope;
		f32			stick;
		f32			low;
		f32			high;
	};
	const Row rows[] = {
		{ "downhill: faster than nominal", 1, 0.0f, 6.5f, 7.1f },
		{ "uphill: slower", 2, 0.0f, 4.9f, 5.5f },
		{ "flat: nominal", 3, 0.0f, 5.99f, 6.01f },
		{ "stick forward: capped at the forward factor", 1, 1.0f, 8.0f, 8.0f },
		{ "stick back: held at the backward factor", 2, -1.0f, 4.0f, 4.0f },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		InstallStick( CONFIG, STICK, 0.0f, row.stick );
		DMRopeSlideParams params = {};
		EFDMRopeSlide* const slide = Attach( row.rope );
		DMGetParams( handle, &params );
		params.ui32InputConfigId = CONFIG;
		params.ui32InputActionId = STICK;
		DMSetParams( handle, &params );
		for ( u32 i = 0; i < 120; i++ ) {
			Pass( slide );
			ASSERT_GE( slide->mfSlideSpeed, 4.0f );
			ASSERT_LE( slide->mfSlideSpeed, 8.0f );
		}
		EXPECT_GE( slide->mfSlideSpeed, row.low );
		EXPECT_LE( slide->mfSlideSpeed, row.high );
		EXPECT_GT( slide->moCursor.mfU, 0.0f );
		Drop( HERO );
	}
}

TEST_F( EFDMRopeSlideTest, TheStickSwingsOnlyWhileHangingClose ) {
	Load( { Rope( 1, { 0, 0, 0 }, { 0, 0, 1 }, 200 ) } );
	InstallStick( CONFIG, STICK, 1.0f, 0.0f );
	EFDMRopeSlide* const slide = Attach( 1 );
	DMRopeSlideParams params = {};
	DMGetParams( handle, &params );
	params.ui32InputConfigId = CONFIG;
	params.ui32InputActionId = STICK;
	DMSetParams( handle, &params );
	// Hanging far below: the post phase clears bit 1, the stick does
	// nothing.
	slide->mfSwingRate = 0.0f;
	frame->modelling.pos.y -= 0.5f;
	RwFrameUpdateObjects( frame );
	slide->PostColUpdate( nullptr, DT );
	EXPECT_EQ( DMGetState( handle ) & 1u, 0u );
	EXPECT_EQ( slide->PreColUpdate( record, DT ), 1u );
	EXPECT_EQ( slide->mfSwingAngle, 0.0f );
	// Close: the swing grows to its limit and the body rolls about the
	// rope.
	DMSetStateBits( handle, 1 );
	for ( u32 i = 0; i < 60; i++ ) {
		slide->PreColUpdate( record, DT );
		ASSERT_LE( std::fabs( slide->mfSwingAngle ), 0.7853982f );
	}
	EXPECT_NEAR( slide->mfSwingAngle, 0.7853982f, 1e-6f );
	const DTVector3d up = DMRow( RwFrameGetLTM( frame )->up );
	EXPECT_NEAR( up.y, std::cos( 0.7853982f ), 1e-4f );
	EXPECT_NEAR( up.z, 0.0f, 1e-4f );
}

TEST_F( EFDMRopeSlideTest, AtTheEndItStopsOrHandsOverToTheBestScoredRope ) {
	// Rope 1 along +z to (0, 0, 2); then one to the right, one straight
	// on, one rising.
	Load( { Rope( 1, { 0, 0, 0 }, { 0, 0, 1 }, 2 ), Rope( 2, { 0, 0, 2 }, { 1, 0, 0 }, 4 ),
			Rope( 3, { 0, 0, 2 }, { 0, 0, 1 }, 4 ), Rope( 4, { 0, 0, 2 }, { 0, 0.6, 0.8 }, 4 ) } );
	struct Row {
		const char*			name;
		std::vector<u32>	following;
		s32					winner;	   // -1: the end
	};
	const Row rows[] = {
		{ "no table", {}, -1 },
		{ "right or straight on: straight on", { 1, 2 }, 2 },
		{ "rising beats straight on", { 1, 2, 3 }, 3 },
		{ "an index past the splines is skipped", { 9, 1 }, 1 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		gDMStateNotes.clear();
		EFFollowingRopes table[1] = { { static_cast<u32>( row.following.size() ), row.following.data() } };
		splines.SetFollowingRopeTable( row.following.empty() ? nullptr : table, 1 );
		EFDMRopeSlide* const slide = Attach( 1 );
		for ( u32 i = 0; i < 40; i++ ) {
			Pass( slide );
		}
		if ( row.winner < 0 ) {
			EXPECT_EQ( slide->moCursor.mpoSpline, splines.GetSpline( 0 ) );
			EXPECT_EQ( DMGetState( handle ) & 2u, 2u );
			EXPECT_NEAR( slide->moCursor.mfU, 1.0f, 0.05f );
			ASSERT_FALSE( gDMStateNotes.empty() );
		} else {
			EXPECT_EQ( slide->moCursor.mpoSpline, splines.GetSpline( static_cast<u32>( row.winner ) ) );
			EXPECT_EQ( DMGetState( handle ) & 2u, 0u );
		}
		const DTVector3d p = Position();
		EXPECT_TRUE( std::isfinite( p.x ) && std::isfinite( p.y ) && std::isfinite( p.z ) );
		Drop( HERO );
	}
	splines.SetFollowingRopeTable( nullptr, 0 );
}

TEST_F( EFDMRopeSlideTest, AHangRangeOfZeroKeepsEverythingFinite ) {
	Load( { Rope( 1, { 0, 0, 0 }, { 0, -0.6, 0.8 }, 40 ) } );
	DMRopeSlideParams params = { 0xFFFFFFFF, 0xFFFFFFFF, 5.0f, 4.0f, 0.045f, 0.0f, 5.0f, 24.0f, 1, 4.0f, 8.0f,
								 6.0f, -7.0f, 10.0f, 5.0f, 0x10, 0.7f };
	EFDMRopeSlide* const slide = Attach( 1, &params );
	DMRopeSlideParams back = {};
	DMGetParams( handle, &back );
	EXPECT_EQ( back.fRopeGravity, 7.0f );
	EXPECT_EQ( back.ui32ArmPose, 1u );
	EXPECT_EQ( back.ui32HandTag, 0x10u );
	frame->modelling.pos.y -= 0.3f;
	RwFrameUpdateObjects( frame );
	for ( u32 i = 0; i < 30; i++ ) {
		Pass( slide );
		const DTVector3d v = body->moVelocity;
		const DTVector3d p = Position();
		ASSERT_TRUE( std::isfinite( v.x ) && std::isfinite( v.y ) && std::isfinite( v.z ) ) << i;
		ASSERT_TRUE( std::isfinite( p.x ) && std::isfinite( p.y ) && std::isfinite( p.z ) ) << i;
	}
}

}
