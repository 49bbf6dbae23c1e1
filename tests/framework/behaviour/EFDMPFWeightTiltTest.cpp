/*
	Platform weight tilt: who counts as a rider, a rider's weight tilting
	the platform down on its side, riders of older frames counting for
	nothing (the platform swings back), axes with equal limits, the
	damping factor's bounds, and rows a rounding step past unit length.
	The module runs outside the frame (no context); frames advance
	through the manager.
*/
#include "framework/behaviour/BehaviourTestBench.h"

#include "framework/behaviour/EFDMPFWeightTilt.h"
#include "datatypes/maths/DTFrame.h"

#include <cmath>

namespace {

constexpr u32 PLATFORM = 0x2A000350;
constexpr u32 RIDER = 0x2A000360;

class EFDMPFWeightTiltTest : public BehaviourTestBench {
protected:
	void SetUp() override {
		BehaviourTestBench::SetUp();
		platform = MakeModuleBody( PLATFORM );
		platform->mfMinFloorNormalY = 0.7f;
		frame = OwnerOf( platform )->GetFrame()->GetRwFrame();
		handle = DMAdd( PLATFORM, EF_DM_PF_WEIGHT_TILT );
		tilt = Module<EFDMPFWeightTilt>( handle );
		for ( u32 i = 0; i < 7; i++ ) {
			riders.push_back( MakeBody( RIDER + i, EF_PHYSIC_DYNAMIC, 0, 2.0f, 1.0f, 0.0f ) );
			riders.back()->mfWeight = 1.0f;
		}
	}

	void Limits( const f32 pitch, const f32 roll, const f32 damping = 1.0f ) {
		DMPFWeightTiltParams params = { -pitch, pitch, -roll, roll, 1.0f, 1.0f, damping, 1.0f, 1.0f, damping };
		DMSetParams( handle, &params );
	}

	void Touch( EFPhysic* rider, const f32 normalY ) {
		EFColDMData data = Collision( DTVector3d( 0.0f, normalY, std::sqrt( 1.0f - normalY * normalY ) ), rider );
		tilt->ColUpdate( nullptr, data, 0.1f );
	}

	void NextFrame() { manager.Update( 0.1f ); }

	void Pre( const f32 dt = 0.1f ) {
		EFDynamicPhysic record = RecordOf( platform );
		tilt->PreColUpdate( record, dt );
	}

	f32 Pitch() { return -std::asin( RwFrameGetLTM( frame )->at.y ); }
	f32 Roll() { return std::asin( RwFrameGetLTM( frame )->right.y ); }

	EFPhysic*				platform = nullptr;
	RwFrame*				frame = nullptr;
	u32						handle = 0;
	EFDMPFWeightTilt*		tilt = nullptr;
	std::vector<EFPhysic*>	riders;
};

TEST_F( EFDMPFWeightTiltTest, OnlyBodiesOnTopCountOnceAndAtMostFive ) {
	Limits( 0.5f, 0.5f );
	Touch( riders[0], -0.6f );  // a side: not below -0.7
	Touch( riders[0], -0.7f );  // exactly -0.7: not greater, a rider
	Touch( riders[0], -1.0f );  // already one
	EFColDMData wall = Collision( DTVector3d( 0.0f, -1.0f, 0.0f ) );  // no body
	tilt->ColUpdate( nullptr, wall, 0.1f );
	EXPECT_EQ( tilt->mui32RiderCount, 1u );
	for ( u32 i = 1; i < 7; i++ ) {
		Touch( riders[i], -1.0f );
	}
	EXPECT_EQ( tilt->mui32RiderCount, 5u );
	EXPECT_EQ( tilt->mapoRider[4], riders[4] );
	// A new frame empties them at the first contact.
	NextFrame();
	Touch( riders[6], -1.0f );
	EXPECT_EQ( tilt->mui32RiderCount, 1u );
	EXPECT_EQ( tilt->mapoRider[0], riders[6] );
}

TEST_F( EFDMPFWeightTiltTest, ARiderTiltsItsSideDownAndOlderRidersLetThePlatformSwingBack ) {
	struct Case {
		const char*	name;
		DTVector3d	rider;
		f32			pitchLimit;
		f32			rollLimit;
		f32			pitchSign;
		f32			rollSign;
	};
	const Case cases[] = {
		{ "on +z, pitch free", { 0.0f, 1.0f, 2.0f }, 0.5f, 0.5f, 1.0f, 0.0f },
		{ "on +x, roll free", { 2.0f, 1.0f, 0.0f }, 0.5f, 0.5f, 0.0f, -1.0f },
		{ "on +x, roll fixed by equal limits", { 2.0f, 1.0f, 0.0f }, 0.5f, 0.0f, 0.0f, 0.0f },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		_rwMatrixSetIdentity( &frame->modelling );
		RwFrameUpdateObjects( frame );
		tilt->mfPitchSpeed = tilt->mfRollSpeed = 0.0f;
		Limits( c.pitchLimit, c.rollLimit );
		RwFrame* const riderFrame = OwnerOf( riders[0] )->GetFrame()->GetRwFrame();
		riderFrame->modelling.pos = { c.rider.x, c.rider.y, c.rider.z };
		RwFrameUpdateObjects( riderFrame );
		for ( int pass = 0; pass < 5; pass++ ) {
			NextFrame();
			Pre();
			Touch( riders[0], -1.0f );
		}
		const f32 pitch = Pitch();
		const f32 roll = Roll();
		EXPECT_EQ( pitch > 0.001f ? 1.0f : ( pitch < -0.001f ? -1.0f : 0.0f ), c.pitchSign );
		EXPECT_EQ( roll > 0.001f ? 1.0f : ( roll < -0.001f ? -1.0f : 0.0f ), c.rollSign );
		EXPECT_LE( std::fabs( pitch ), c.pitchLimit + 1e-5f );
		// Two frames on, the rider no longer counts: it swings back.
		NextFrame();
		NextFrame();
		const f32 tilted = std::fabs( pitch ) + std::fabs( roll );
		for ( int pass = 0; pass < 40; pass++ ) {
			Pre();
		}
		if ( tilted > 0.0f ) {
			EXPECT_LT( std::fabs( Pitch() ) + std::fabs( Roll() ), tilted );
		}
	}
}

TEST_F( EFDMPFWeightTiltTest, DampingIsBoundedAndRowsPastUnitLengthStayFinite ) {
	struct Case {
		f32	damping;
		f32	factor;
	};
	// The platform pitched by 0.1: the spring's push is -0.1 per second.
	for ( const Case& c : { Case{ 0.0f, 0.999f }, Case{ 5.0f, 0.5f }, Case{ 1000.0f, 0.001f } } ) {
		_rwMatrixSetIdentity( &frame->modelling );
		const RwV3d xAxis = { 1.0f, 0.0f, 0.0f };
		RwFrameRotate( frame, &xAxis, 0.1f * 57.29578f, rwCOMBINEREPLACE );
		RwFrameUpdateObjects( frame );
		tilt->mfPitchSpeed = 0.0f;
		Limits( 0.5f, 0.0f, c.damping );
		Pre();
		EXPECT_NEAR( tilt->mfPitchSpeed, -0.1f * 0.1f * c.factor, 1e-6f ) << c.damping;
	}
	for ( const f32 y : { 1.0000001f, -1.0000001f } ) {
		Limits( 0.5f, 0.5f );
		frame->modelling.right = { 0.0f, y, 0.0f };
		frame->modelling.up = { -y, 0.0f, 0.0f };
		frame->modelling.at = { 0.0f, 0.0f, 1.0f };
		RwFrameUpdateObjects( frame );
		Pre();
		frame->modelling.right = { 1.0f, 0.0f, 0.0f };
		frame->modelling.up = { 0.0f, 0.0f, -y };
		frame->modelling.at = { 0.0f, y, 0.0f };
		RwFrameUpdateObjects( frame );
		Pre();
		EXPECT_TRUE( std::isfinite( tilt->mfPitchSpeed ) && std::isfinite( tilt->mfRollSpeed ) );
		const RwMatrix& m = *RwFrameGetLTM( frame );
		for ( const f32 v : { m.right.x, m.right.y, m.up.y, m.at.x, m.at.y, m.at.z } ) {
			EXPECT_TRUE( std::isfinite( v ) ) << y;
		}
	}
}

}
