/*
	Constraint rotation: which targets count as given, the snaps (rate,
	opposite up, up along the current at, up not across the at), the
	turn about a pivot at the feet and the met mark, and an at axis
	exactly opposite its target.
*/
#include "framework/behaviour/BehaviourTestBench.h"

#include "framework/behaviour/EFDMConstraintRotation.h"
#include "datatypes/maths/DTFrame.h"

#include <cmath>

namespace {

constexpr u32 OBJECT = 0x2A000340;

DTVector3d Row( const RwV3d& v ) {
	return DTVector3d( v.x, v.y, v.z );
}

class EFDMConstraintRotationTest : public BehaviourTestBench {
protected:
	void SetUp() override {
		BehaviourTestBench::SetUp();
		body = MakeModuleBody( OBJECT, 0.0f, 1.0f, 0.0f );
		frame = OwnerOf( body )->GetFrame();
		handle = Add( OBJECT, EF_DM_CONSTRAINT_ROTATION );
		DMSetStateChangeNotifyBits( handle, 1 );
	}

	void Set( const DTVector3d& up, const DTVector3d& at, const f32 rate, const DTVector3d& pivot = {} ) {
		DMConstraintRotationParams params = { up, at, pivot, rate };
		DMSetParams( handle, &params );
	}

	void Pre( const f32 dt ) {
		EFDynamicPhysic record = RecordOf( body );
		Module<EFDMConstraintRotation>( handle )->PreColUpdate( record, dt );
	}

	const RwMatrix& World() { return *RwFrameGetLTM( frame->GetRwFrame() ); }

	void Turn( const DTVector3d& axis, const f32 angle ) {
		frame->SetRotation( axis, angle );
		RwFrameUpdateObjects( frame->GetRwFrame() );
	}

	// Unit rows, at right angles, right-handed.
	void ExpectOrthonormal() {
		const DTVector3d r = Row( World().right ), u = Row( World().up ), a = Row( World().at );
		for ( const f32 v : { r * r, u * u, a * a } ) {
			EXPECT_NEAR( v, 1.0f, 1e-5f );
		}
		for ( const f32 v : { r * u, u * a, a * r } ) {
			EXPECT_NEAR( v, 0.0f, 1e-5f );
		}
		const DTVector3d c( r.y * u.z - r.z * u.y, r.z * u.x - r.x * u.z, r.x * u.y - r.y * u.x );
		EXPECT_NEAR( c * a, 1.0f, 1e-5f );
	}

	static void ExpectNear( const DTVector3d& v, const DTVector3d& expected, const f32 tolerance = 1e-5f ) {
		EXPECT_NEAR( v.x, expected.x, tolerance );
		EXPECT_NEAR( v.y, expected.y, tolerance );
		EXPECT_NEAR( v.z, expected.z, tolerance );
	}

	EFPhysic*	body = nullptr;
	DTFrame*	frame = nullptr;
	u32			handle = 0;
};

TEST_F( EFDMConstraintRotationTest, TargetsAreGivenFromAComponentOfAQuarterAndReadBackWithoutThePivot ) {
	struct Case {
		DTVector3d	target;
		bool		given;
		DTVector3d	kept;
	};
	const Case cases[] = {
		{ { 0.2f, 0.2f, 0.2f }, false, {} },
		{ { 0.3f, 0.0f, 0.0f }, true, { 1.0f, 0.0f, 0.0f } },
		{ { 0.0f, -0.25f, 0.0f }, true, { 0.0f, -1.0f, 0.0f } },
		{ { 0.0f, 0.0f, 0.24999999f }, false, {} },
	};
	for ( const Case& c : cases ) {
		Set( c.target, c.target, 0.5f );
		const EFDMConstraintRotation& module = *Module<EFDMConstraintRotation>( handle );
		EXPECT_EQ( module.mbUpGiven, c.given ? 1 : 0 );
		EXPECT_EQ( module.mbAtGiven, c.given ? 1 : 0 );
		if ( c.given ) {
			ExpectNear( module.moUpTarget, c.kept );
		}
	}
	DMConstraintRotationParams out = { {}, {}, { 7.0f, 8.0f, 9.0f }, 0.0f };
	DMGetParams( handle, &out );
	ExpectNear( out.oPivot, { 7.0f, 8.0f, 9.0f } );
	EXPECT_EQ( out.fRate, 0.5f );

	// Created with the defaults: nothing given, nothing turns, nothing met
	// is claimed beyond "nothing to do".
	const u32 fresh = Add( OBJECT, EF_DM_CONSTRAINT_ROTATION );
	EXPECT_EQ( Module<EFDMConstraintRotation>( fresh )->mbUpGiven, 0 );
	EXPECT_EQ( Module<EFDMConstraintRotation>( fresh )->mbAtGiven, 0 );
}

TEST_F( EFDMConstraintRotationTest, SnapsLeaveAnOrthonormalFrameWithUpOnTheTarget ) {
	struct Case {
		const char*	name;
		DTVector3d	axis;
		f32			angle;	// the frame's start
		DTVector3d	up;
		f32			rate;
	};
	const Case cases[] = {
		{ "up exactly opposite: d = -1 snaps", { 0, 0, 1 }, 3.1415927f, { 0, 1, 0 }, 0.1f },
		{ "rate x dt of 1 snaps", { 0, 0, 1 }, 0.7f, { 0, 1, 0 }, 10.0f },
		{ "up target along the current at", { 0, 1, 0 }, 0.0f, { 0, 0, 1 }, 10.0f },
		{ "up target not across the at", { 0, 1, 0 }, 0.0f, { 0, 0.7071068f, 0.7071068f }, 10.0f },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		Turn( c.axis, c.angle );
		DMResetStateBits( handle, 1 );
		Set( c.up, {}, c.rate );
		Pre( 0.1f );
		ExpectNear( Row( World().up ), c.up );
		ExpectOrthonormal();
		ExpectNear( Row( World().pos ), { 0.0f, 1.0f, 0.0f } );
		EXPECT_EQ( DMGetState( handle ), 1u );
	}
}

TEST_F( EFDMConstraintRotationTest, APivotAtTheFeetStaysWhileTheBodyTiltsAndBitZeroStaysOnceMet ) {
	const DTVector3d target = DTVector3d( 1.0f, 1.0f, 0.0f ) * 0.70710677f;
	Set( target, { 0.0f, 0.0f, 1.0f }, 2.0f, { 0.0f, -1.0f, 0.0f } );
	f32 previous = 4.0f;
	int metAt = -1;
	for ( int pass = 0; pass < 30; pass++ ) {
		Pre( 0.1f );
		// The feet: the pivot carried by the world matrix.
		DTVector3d feet;
		const DTVector3d pivot( 0.0f, -1.0f, 0.0f );
		RwV3dTransformPoints( DTAsRwV3d( &feet ), DTAsRwV3d( &pivot ), 1, &World() );
		ExpectNear( feet, {}, 1e-5f );
		const f32 angle = std::acos( std::fmin( Row( World().up ) * target, 1.0f ) );
		EXPECT_LT( angle, previous );
		previous = angle;
		if ( metAt < 0 && DMGetState( handle ) == 1u ) {
			metAt = pass;
			EXPECT_LT( angle, 0.125f / 0.8f );  // below 0.125 before this pass's fifth
		}
	}
	EXPECT_GT( metAt, 0 );
	EXPECT_EQ( gDMStateNotes.size(), 1u );
	// The met mark stays when the constraint is broken again.
	Turn( { 1.0f, 0.0f, 0.0f }, 1.0f );
	Pre( 0.1f );
	EXPECT_EQ( DMGetState( handle ), 1u );
}

TEST_F( EFDMConstraintRotationTest, AnAtAxisExactlyOppositeItsTargetTurnsAboutUp ) {
	Set( {}, { 0.0f, 0.0f, -1.0f }, 5.0f );
	Pre( 0.1f );  // half of pi
	ExpectOrthonormal();
	ExpectNear( Row( World().up ), { 0.0f, 1.0f, 0.0f } );
	EXPECT_NEAR( std::fabs( World().at.x ), 1.0f, 1e-5f );
	for ( int pass = 0; pass < 20; pass++ ) {
		Pre( 0.1f );
	}
	ExpectNear( Row( World().at ), { 0.0f, 0.0f, -1.0f }, 1e-2f );
	ExpectOrthonormal();
}

}
