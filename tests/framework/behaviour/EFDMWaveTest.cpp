/*
	Wave motion against the trapezoid's closed form, driven pass by pass
	with the body carried by the velocity the module sets: constant speed
	and the raised speed in period mode, ramps in speed mode, a step
	longer than the cycle, the leave and reach marks, placement, and
	cycles that are no positive time.
*/
#include "framework/behaviour/BehaviourTestBench.h"

#include "framework/behaviour/EFDMWave.h"
#include "datatypes/maths/DTFrame.h"

#include <cmath>

namespace {

constexpr u32 OBJECT = 0x2A000330;

f32 Len( const DTVector3d& v ) {
	return std::sqrt( v * v );
}

class EFDMWaveTest : public BehaviourTestBench {
protected:
	void SetUp() override {
		BehaviourTestBench::SetUp();
		body = MakeModuleBody( OBJECT );
		frame = OwnerOf( body )->GetFrame()->GetRwFrame();
		handle = Add( OBJECT, EF_DM_WAVE );
		DMSetStateChangeNotifyBits( handle, EF_DM_WAVE_LEAVES_A | EF_DM_WAVE_REACHES_B );
	}

	void Set( const DTVector3d& a, const DTVector3d& b, const f32 speed, const f32 ramp, const f32 period,
			  const u32 flags ) {
		DMWaveParams params = { a, b, speed, ramp, period, flags | EF_DM_WAVE_PLACE_AT_A };
		DMSetParams( handle, &params );
	}

	// One pass; the body then moves by its velocity. Returns where it is.
	DTVector3d Pass( const f32 dt ) {
		EFDynamicPhysic record = RecordOf( body );
		record.oInitPos = Position();
		Module<EFDMWave>( handle )->PreColUpdate( record, dt );
		const DTVector3d next = record.oInitPos + body->moVelocity * dt;
		frame->modelling.pos = { next.x, next.y, next.z };
		RwFrameUpdateObjects( frame );
		return next;
	}

	DTVector3d Position() {
		const RwMatrix* const ltm = RwFrameGetLTM( frame );
		return DTVector3d( ltm->pos.x, ltm->pos.y, ltm->pos.z );
	}

	DMWaveParams Params() {
		DMWaveParams params = {};
		DMGetParams( handle, &params );
		return params;
	}

	// Distance along a leg at time tau of it: ramp, cruise, ramp.
	static f32 Trapezoid( const f32 tau, const f32 v, const f32 tr, const f32 half, const f32 length ) {
		if ( tau < tr ) {
			return 0.5f * v * tau * tau / tr;
		}
		if ( tau > half - tr ) {
			return length - 0.5f * v * ( half - tau ) * ( half - tau ) / tr;
		}
		return v * ( tau - tr ) + 0.5f * v * tr;
	}

	EFPhysic*	body = nullptr;
	RwFrame*	frame = nullptr;
	u32			handle = 0;
};

TEST_F( EFDMWaveTest, LegsFollowTheTrapezoidsClosedForm ) {
	struct Row {
		const char*	name;
		f32			speed;
		f32			ramp;
		f32			period;
		u32			flags;
		f32			v;		// cruise speed it runs at
		f32			tr;		// ramp time it runs with
		f32			T;		// cycle
	};
	const Row rows[] = {
		{ "period 4, leg 2, speed 1: constant speed 1", 1.0f, 0.0f, 4.0f, EF_DM_WAVE_PERIOD_MODE, 1.0f, 0.0f, 4.0f },
		{ "too slow: raised to 2L / T", 0.25f, 0.0f, 4.0f, EF_DM_WAVE_PERIOD_MODE, 1.0f, 0.0f, 4.0f },
		{ "too fast: ramps only", 4.0f, 0.0f, 4.0f, EF_DM_WAVE_PERIOD_MODE, 2.0f, 1.0f, 4.0f },
		{ "period with a cruise", 1.5f, 0.0f, 4.0f, EF_DM_WAVE_PERIOD_MODE, 1.5f, 2.0f / 3.0f, 4.0f },
		{ "speed mode with ramps", 2.0f, 0.25f, 0.0f, 0, 2.0f, 0.25f, 2.5f },
		// a = 1 ramps 2 past half the leg: ramp time sqrt 2, peak speed sqrt 2.
		{ "speed mode, ramps meeting", 2.0f, 2.0f, 0.0f, 0, 1.4142135f, 1.4142135f, 5.656854f },
		{ "speed mode without ramps", 0.5f, 0.0f, 0.0f, 0, 0.5f, 0.0f, 8.0f },
	};
	const DTVector3d a( 1.0f, 2.0f, 3.0f );
	const DTVector3d u( 0.0f, 0.6f, 0.8f );
	const f32 length = 2.0f;
	const f32 dt = 0.125f;
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		Set( a, a + u * length, row.speed, row.ramp, row.period, row.flags );
		EXPECT_NEAR( Params().fPeriod, row.T, 1e-5f );
		EXPECT_NEAR( Params().fSpeed, row.v, 1e-5f );
		EXPECT_NEAR( Params().fRampTime, row.tr, 1e-5f );
		const f32 half = row.T / 2.0f;
		for ( f32 t = dt; t <= 2.0f * row.T; t += dt ) {
			const DTVector3d at = Pass( dt );
			const f32 time = std::fmod( t, row.T ) == 0.0f ? row.T : std::fmod( t, row.T );
			const f32 s = Trapezoid( time > half ? time - half : time, row.v, row.tr, half, length );
			const DTVector3d expected = time <= half ? a + u * s : a + u * ( length - s );
			ASSERT_NEAR( Len( at - expected ), 0.0f, 1e-4f ) << t;
			EXPECT_LE( Len( body->moVelocity ), row.v + 1e-3f );
		}
	}
}

TEST_F( EFDMWaveTest, AStepLongerThanTheCycleStaysInItAndTheMarksComeOnLeavingAndReaching ) {
	Set( {}, { 0.0f, 0.0f, 2.0f }, 1.0f, 0.0f, 4.0f, EF_DM_WAVE_PERIOD_MODE );
	Pass( 9.0f );  // time 1: a quarter along
	EXPECT_NEAR( Position().z, 1.0f, 1e-5f );
	EXPECT_NEAR( Module<EFDMWave>( handle )->mfTime, 1.0f, 1e-6f );
	Pass( 8.0f );  // back to 1, the cycle's multiple
	EXPECT_NEAR( Position().z, 1.0f, 1e-5f );

	// From A in steps of 0.5: the first pass marks nothing; leaving A is
	// marked in the pass whose start lies within a step of it, reaching B
	// in the pass that crosses half the cycle.
	Set( {}, { 0.0f, 0.0f, 2.0f }, 1.0f, 0.0f, 4.0f, EF_DM_WAVE_PERIOD_MODE );
	DMResetStateBits( handle, 0x60 );
	gDMStateNotes.clear();
	std::vector<u32> states;
	for ( int pass = 0; pass < 11; pass++ ) {
		Pass( 0.5f );
		states.push_back( DMGetState( handle ) );
	}
	// Times before each pass: 0 (skipped), 0.5, 1, 1.5, 2, 2.5, 3, 3.5, 4, 0.5, 1.
	const std::vector<u32> expected = { 0, 0x20, 0, 0x40, 0x40, 0, 0, 0, 0, 0x20, 0 };
	EXPECT_EQ( states, expected );
	EXPECT_EQ( gDMStateNotes.size(), 6u );
}

TEST_F( EFDMWaveTest, PlacementStopAndTheNullSetUp ) {
	body->moVelocity = DTVector3d( 3.0f, 0.0f, 0.0f );
	body->mfFallingDelay = 0.7f;
	DMWaveParams params = { { 1, 0, 0 }, { 1, 0, 4 }, 1.0f, 0.0f, 8.0f,
							EF_DM_WAVE_PERIOD_MODE | EF_DM_WAVE_PLACE_AT_B | EF_DM_WAVE_STOP };
	DMSetParams( handle, &params );
	EXPECT_NEAR( Len( Position() - DTVector3d( 1, 0, 4 ) ), 0.0f, 1e-6f );
	EXPECT_EQ( Len( body->moVelocity ), 0.0f );
	EXPECT_EQ( body->mfFallingTimer, 0.7f );
	Pass( 1.0f );  // coming back from B
	EXPECT_NEAR( Position().z, 3.0f, 1e-5f );

	DMSetParams( handle, nullptr );
	params = Params();
	EXPECT_NEAR( Len( params.oPointA - DTVector3d( 1, 0, 3 ) ), 0.0f, 1e-5f );
	EXPECT_NEAR( Len( params.oPointB - DTVector3d( 1, 0, 4 ) ), 0.0f, 1e-5f );
	EXPECT_EQ( params.fPeriod, 2.0f );
	EXPECT_EQ( params.ui32Flags, static_cast<u32>( EF_DM_WAVE_PERIOD_MODE ) );
	Pass( 0.5f );  // starts where it stands
	EXPECT_NEAR( Position().z, 3.5f, 1e-5f );
}

TEST_F( EFDMWaveTest, ACycleThatIsNoPositiveTimeHoldsTheBodyAtA ) {
	struct Row {
		const char*	name;
		DTVector3d	b;
		f32			speed;
		f32			ramp;
		f32			period;
		u32			flags;
	};
	const DTVector3d a( 1.0f, 1.0f, 1.0f );
	const Row rows[] = {
		{ "period 0", { 1, 1, 3 }, 1.0f, 0.0f, 0.0f, EF_DM_WAVE_PERIOD_MODE },
		{ "period -1", { 1, 1, 3 }, 1.0f, 0.0f, -1.0f, EF_DM_WAVE_PERIOD_MODE },
		{ "A = B, speed mode", a, 1.0f, 0.0f, 0.0f, 0 },
		{ "A = B, speed mode with a ramp", a, 1.0f, 0.5f, 0.0f, 0 },
		{ "speed 0", { 1, 1, 3 }, 0.0f, 0.0f, 0.0f, 0 },
		{ "speed 0 with a ramp", { 1, 1, 3 }, 0.0f, 0.5f, 0.0f, 0 },
		{ "A = B, period mode, speed 0", a, 0.0f, 0.0f, 4.0f, EF_DM_WAVE_PERIOD_MODE },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		Set( a, row.b, row.speed, row.ramp, row.period, row.flags );
		frame->modelling.pos = { 5.0f, 5.0f, 5.0f };
		RwFrameUpdateObjects( frame );
		for ( int pass = 0; pass < 3; pass++ ) {
			Pass( 0.5f );
			EXPECT_NEAR( Len( Position() - a ), 0.0f, 1e-5f );
			EXPECT_TRUE( std::isfinite( Len( body->moVelocity ) ) );
		}
	}
}

}
