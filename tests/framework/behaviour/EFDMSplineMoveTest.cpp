/*
	Spline move on a straight open spline of four unit segments along +z
	(id 7) and a square loop (id 8), camera 0 at the origin looking along
	+z: putting the module on a spline, the speeds from the stick and the
	second action, the offset and its shortening by an obstacle, leans,
	the end bit, a spline index past the array, the end of an open spline
	and no camera.
*/
#include "framework/behaviour/BehaviourTestBench.h"

#include "framework/behaviour/EFDMSplineMove.h"
#include "framework/core/spline/SplineReference.h"
#include "datatypes/maths/DTFrame.h"

#include <cmath>

namespace {

constexpr u32 OBJECT = 0x2A000800;
constexpr s32 CONFIG = 2;
constexpr s32 STICK = 5;
constexpr s32 BUTTON = 6;
constexpr f32 DT = 0.1f;
constexpr u32 STRAIGHT = 7;
constexpr u32 LOOP = 8;

class EFDMSplineMoveTest : public BehaviourTestBench {
protected:
	void SetUp() override {
		BehaviourTestBench::SetUp();
		ToolSplineInput straight;
		straight.id = STRAIGHT;
		for ( u32 i = 0; i <= 8; i++ ) {
			straight.points.push_back( { 0.0, 0.0, 0.5 * i } );
		}
		ToolSplineInput loop;
		loop.id = LOOP;
		loop.flags = TOOL_SPLINE_FLAG_LOOP;
		const RefVec corners[4] = { { 0, 0, 0 }, { 0, 0, 4 }, { 4, 0, 4 }, { 4, 0, 0 } };
		for ( u32 i = 0; i < 4; i++ ) {
			const RefVec& a = corners[i];
			const RefVec& b = corners[( i + 1 ) % 4];
			loop.points.push_back( a );
			loop.points.push_back( { 0.5 * ( a[0] + b[0] ), 0.0, 0.5 * ( a[2] + b[2] ) } );
		}
		ASSERT_TRUE( RefLoad( splines, { straight, loop } ) );
		gpoSplineMgr = &splines;
		body = MakeModuleBody( OBJECT );
		frame = OwnerOf( body )->GetFrame();
		handle = Add( OBJECT, EF_DM_SPLINE_MOVE );
		move = Module<EFDMSplineMove>( handle );
		DMSetStateChangeNotifyBits( handle, EF_DM_SPLINE_AT_END );
	}

	void TearDown() override {
		gpoSplineMgr = nullptr;
		BehaviourTestBench::TearDown();
	}

	// Mode 0 on the straight spline from its start, not following the
	// object (it does not move here).
	void Configure( const f32 base, const f32 max, const u32 options = EF_DM_SPLINE_NO_NEAREST, const u32 mode = 0,
					const u32 button = BUTTON ) {
		params = { CONFIG, STICK, button, 2.0f, base, max, 2.0f, 0.3f, 1.0f, 0, options, mode, 1.0f, 1.0f, 1.0f };
		DMSetParams( handle, &params );
		u32 data[2] = { STRAIGHT, 1 };
		DMDoAction( handle, DM_SPLINE_MOVE_BY_ID, data );
	}

	void Pass() {
		record = RecordOf( body );
		EXPECT_EQ( move->PreColUpdate( record, DT ), 1u );
	}

	// Distance the cursor travelled on the straight spline (length 4).
	f32 Travelled() const { return move->moCursor.mfU * 4.0f; }

	EFSplineMgr				splines;
	EFPhysic*				body = nullptr;
	DTFrame*				frame = nullptr;
	u32						handle = 0;
	EFDMSplineMove*			move = nullptr;
	DMSplineMoveParams		params = {};
	EFDynamicPhysic			record = {};
};

TEST_F( EFDMSplineMoveTest, ActionsPutTheObjectOnASplineByIdOrIndex ) {
	MoveTo( *OwnerOf( body ), 1.0f, 0.0f, 2.2f );
	u32 missing[2] = { 99, 1 };
	DMDoAction( handle, DM_SPLINE_MOVE_BY_ID, missing );
	u32 past[2] = { 2, 1 };
	DMDoAction( handle, DM_SPLINE_MOVE_BY_INDEX, past );
	u32 huge[2] = { 0xFFFFFFFF, 1 };
	DMDoAction( handle, DM_SPLINE_MOVE_BY_INDEX, huge );
	EXPECT_EQ( move->moCursor.mpoSpline, nullptr );
	Pass();
	EXPECT_EQ( record.oTargetVelocity.LengthSquare(), 0.0f );

	// Nearest point: (0, 0, 2.2), facing +z.
	u32 nearest[2] = { 0, 0 };
	DMDoAction( handle, DM_SPLINE_MOVE_BY_INDEX, nearest );
	ASSERT_EQ( move->moCursor.mpoSpline, splines.GetSpline( 0 ) );
	const RwMatrix& m = frame->GetRwFrame()->modelling;
	EXPECT_NEAR( m.pos.x, 0.0f, 1e-4f );
	EXPECT_NEAR( m.pos.z, 2.2f, 1e-3f );
	EXPECT_NEAR( m.at.z, 1.0f, 1e-5f );
	EXPECT_NEAR( m.up.y, 1.0f, 1e-5f );
	EXPECT_NEAR( m.right.x, 1.0f, 1e-5f );

	// From the start of the loop, by id.
	u32 start[2] = { LOOP, 1 };
	DMDoAction( handle, DM_SPLINE_MOVE_BY_ID, start );
	EXPECT_EQ( move->moCursor.mpoSpline, splines.GetSpline( 1 ) );
	EXPECT_EQ( move->moCursor.mfU, 0.0f );
	EXPECT_NEAR( m.pos.z, 0.0f, 1e-5f );
}

TEST_F( EFDMSplineMoveTest, SpeedsFollowTheStickAndTheSecondAction ) {
	MakeCamera();
	EFInputAction* const stick = InstallStick( CONFIG, STICK );
	EFInputAction* const button = InstallStick( CONFIG, BUTTON );
	const struct {
		const char*	name;
		bool		withStick;
		f32			y;
		bool		withButton;
		u32			buttonFlags;
		f32			buttonX;
		f32			sideLean;
		f32			speed;
	} rows[] = {
		{ "no input", false, 0.0f, false, 0, 0.0f, 0.0f, 1.0f },
		{ "centred stick", true, 0.0f, false, 0, 0.0f, 0.0f, 2.0f },
		{ "full forward", true, 1.0f, false, 0, 0.0f, 0.0f, 3.0f },
		{ "half forward: |y| times the projection", true, 0.5f, false, 0, 0.0f, 0.0f, 2.25f },
		{ "full back", true, -1.0f, false, 0, 0.0f, 0.0f, 1.0f },
		{ "button at full", false, 0.0f, true, EF_DM_SPLINE_FULL_SPEED, 0.0f, 0.0f, 3.0f },
		{ "button sideways", true, -1.0f, true, 0, 1.0f, 0.0f, 2.0f },
		{ "slowed by a lean", false, 0.0f, false, 0, 0.0f, 0.7853982f, 0.5f },
	};
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.name );
		Configure( 1.0f, 3.0f, EF_DM_SPLINE_NO_NEAREST | EF_DM_SPLINE_LEAN_SLOWS, 0,
				   row.withButton ? BUTTON : 0xFFFFFFFF );
		// Without the stick action the module is given another one.
		move->mui32ActionId = row.withStick ? STICK : 0xFFFFFFFF;
		move->mfSideLean = row.sideLean;
		stick->GetState() = { 0.0f, row.y, 0 };
		button->GetState() = { row.buttonX, 0.0f, row.buttonFlags };
		Pass();
		EXPECT_NEAR( Travelled(), row.speed * DT, 1e-4f );
	}
}

TEST_F( EFDMSplineMoveTest, OffsetIsCappedAndShrinksWhenHeldBack ) {
	MakeCamera();
	EFInputAction* const stick = InstallStick( CONFIG, STICK, 1.0f, 0.0f );
	Configure( 0.0f, 0.0f );
	f32 largest = 0.0f;
	for ( u32 pass = 0; pass < 30; pass++ ) {
		Pass();
		largest = std::max( largest, std::sqrt( move->moOffset.LengthSquare() ) );
	}
	EXPECT_NEAR( largest, 2.0f, 1e-5f );
	EXPECT_NEAR( std::fabs( move->moOffset.x ), 2.0f, 1e-5f );
	EXPECT_EQ( move->moOffset.y, 0.0f );

	// The object stands 0.5 off the spline with a polygon near: the offset
	// shrinks to where it stands and the target to the spline point.
	stick->GetState().x = 0.0f;
	const DTVector3d point = move->moCursor.moCachedPoint;
	MoveTo( *OwnerOf( body ), point.x + 0.5f, point.y, point.z );
	Polygon wall = MakePolygon( DTVector3d( -1.0f, 0.0f, 0.0f ), 0.5f );
	std::vector<EFEnvCollisionPrim*> polygons = { &wall.prim };
	EFCollisionStage stage = StageOf( record, polygons );
	move->PostColUpdate( &stage, DT );
	EXPECT_NEAR( std::sqrt( move->moOffset.LengthSquare() ), 0.5f, 1e-5f );
	EXPECT_NEAR( move->moTargetPoint.x, point.x, 1e-6f );

	// Without polygons nothing changes.
	polygons.clear();
	stage = StageOf( record, polygons );
	move->PostColUpdate( &stage, DT );
	EXPECT_NEAR( std::sqrt( move->moOffset.LengthSquare() ), 0.5f, 1e-5f );
}

TEST_F( EFDMSplineMoveTest, LeansAreCappedAndDecayToExactlyZero ) {
	MakeCamera();
	EFInputAction* const stick = InstallStick( CONFIG, STICK, 1.0f, 1.0f );
	Configure( 0.0f, 0.0f, EF_DM_SPLINE_NO_NEAREST | EF_DM_SPLINE_ROLL_LEAN, 0 );
	params.fLeanGain = 20.0f;
	DMSetParams( handle, &params );
	for ( u32 pass = 0; pass < 20; pass++ ) {
		Pass();
		EXPECT_LE( std::fabs( move->mfSideLean ), 0.3f );
		EXPECT_LE( std::fabs( move->mfForwardLean ), 0.3f );
	}
	EXPECT_GT( std::fabs( move->mfSideLean ), 0.05f );
	stick->GetState().x = 0.0f;
	stick->GetState().y = 0.0f;
	u32 passes = 0;
	while ( ( move->mfSideLean != 0.0f || move->mfForwardLean != 0.0f ) && passes < 100 ) {
		Pass();
		passes++;
	}
	EXPECT_LT( passes, 100u );
	EXPECT_EQ( move->mfSideLean, 0.0f );
	EXPECT_EQ( move->mfForwardLean, 0.0f );
}

TEST_F( EFDMSplineMoveTest, TheEndBitFollowsTheCursor ) {
	Configure( 10.0f, 10.0f, EF_DM_SPLINE_NO_NEAREST | EF_DM_SPLINE_ROLL_BANK );
	u32 passes = 0;
	while ( move->mui32State == 0 && passes < 10 ) {
		Pass();
		passes++;
	}
	EXPECT_EQ( passes, 4u );
	EXPECT_EQ( move->moCursor.mfU, 1.0f );
	ASSERT_EQ( gDMStateNotes.size(), 1u );
	EXPECT_EQ( gDMStateNotes[0].record.ui32State, EF_DM_SPLINE_AT_END );

	// At the end of the open spline the look-ahead is the cursor's own
	// point: no bank turn.
	EXPECT_EQ( move->GetTangentAngle(), 0.0f );
	const RwMatrix before = frame->GetRwFrame()->modelling;
	Pass();
	EXPECT_EQ( frame->GetRwFrame()->modelling.right.x, before.right.x );
	EXPECT_EQ( frame->GetRwFrame()->modelling.up.y, before.up.y );

	params.fBaseSpeed = -10.0f;
	DMSetParams( handle, &params );
	Pass();
	EXPECT_EQ( move->mui32State, 0u );
	EXPECT_EQ( gDMStateNotes.size(), 2u );
}

TEST_F( EFDMSplineMoveTest, TheLoopTurnsAtItsCornersAndTheStickNeedsACamera ) {
	EFInputAction* const stick = InstallStick( CONFIG, STICK, 1.0f, 1.0f );
	Configure( 0.0f, 3.0f );
	// No camera 0: the stick neither moves nor leans.
	for ( u32 pass = 0; pass < 3; pass++ ) {
		Pass();
	}
	EXPECT_EQ( move->moCursor.mfU, 0.0f );
	EXPECT_EQ( move->moOffset.LengthSquare(), 0.0f );
	EXPECT_EQ( move->mfSideLean, 0.0f );
	stick->GetState().x = 0.0f;

	// Just before the loop's second corner the spline turns right (toward
	// +x from +z): a negative angle about y.
	u32 loop[2] = { LOOP, 1 };
	DMDoAction( handle, DM_SPLINE_MOVE_BY_ID, loop );
	move->moCursor.MoveTo( 0.245f );
	EXPECT_LT( move->GetTangentAngle(), -0.01f );
	move->moCursor.MoveTo( 0.1f );
	EXPECT_NEAR( move->GetTangentAngle(), 0.0f, 1e-4f );
	// The look-ahead wraps past the loop's end.
	move->moCursor.MoveTo( 0.995f );
	EXPECT_LT( move->GetTangentAngle(), -0.01f );
}

}
