/*
	Camera spline animation: a camera spline (id 5) of four segments along
	+x from the origin, an ordinary spline on top of it that the camera
	never takes, and a square camera loop far away. The target's animation
	manager holds track blocks made by the block and curve writers. The
	spline found and followed, its ends, the drift when the target turns
	back, the track's channels (far clip and field of view on camera 0),
	the curve time per segment, and broken curves, zero-length segments
	and a missing camera 0.
*/
#include "framework/behaviour/BehaviourTestBench.h"

#include "framework/behaviour/EFDMCameraFlex.h"
#include "framework/behaviour/EFDMCameraTrack.h"
#include "framework/core/spline/SplineReference.h"
#include "framework/graphics/animation/EFAnimNode.h"
#include "framework/graphics/animation/EFAnimRes.h"
#include "datatypes/base/DTByteOrder.h"
#include "graphics3d/core/RwMatrixCombine.h"
#include "tools/lib/level/ToolAnimCurveWriter.h"

#include <cmath>
#include <cstring>

namespace {

constexpr u32 CAMERA = 0x2A000B00;
constexpr u32 TARGET = 0x2A000B01;
constexpr u16 SPLINE = 5;
constexpr u16 PLAIN = 6;
constexpr u16 LOOP = 9;
constexpr f32 DT = 0.1f;

using Channel = std::pair<u32, ToolCurve>;

// A block with one track per (spline id, channels).
std::vector<u8> Block( const std::vector<std::pair<u32, std::vector<Channel>>>& tracks ) {
	return ToolAnimCurveWriter::SplineBlock( tracks );
}

class EFDMCameraSplineTest : public BehaviourTestBench {
protected:
	void SetUp() override {
		BehaviourTestBench::SetUp();
		ToolSplineInput plain = RefStraightSpline( 4, false );
		plain.id = PLAIN;
		ToolSplineInput camera = plain;
		camera.id = SPLINE;
		camera.flags = TOOL_SPLINE_FLAG_ROPE;
		ToolSplineInput loop;
		loop.id = LOOP;
		loop.flags = TOOL_SPLINE_FLAG_ROPE | TOOL_SPLINE_FLAG_LOOP;
		for ( const RefVec& p : std::vector<RefVec>{ { 50, 0, 50 }, { 50, 0, 52 }, { 50, 0, 54 }, { 52, 0, 54 },
													 { 54, 0, 54 }, { 54, 0, 52 }, { 54, 0, 50 }, { 52, 0, 50 } } ) {
			loop.points.push_back( p );
		}
		ASSERT_TRUE( RefLoad( splines, { plain, camera, loop } ) );
		gpoSplineMgr = &splines;
		target = MakeObject( TARGET, 1.5f, 0.0f, 0.5f );
		body = MakeModuleBody( CAMERA, 0.0f, 1.0f, -3.0f );
		handle = Add( CAMERA, EF_DM_CAMERA_FLEX );
		module = Module<EFDMCameraFlex>( handle );
		DMGetParams( handle, &params );
		params.ui32TargetId = TARGET;
		params.ui32AnimObjectId = TARGET;
		params.i32Mode = EF_DM_CAMERA_SPLINE;
		params.fHorizontalSmoothing = 0.0f;
		params.fVerticalSmoothing = 0.7f;
		params.fMaxAcceleration = 1e9f;
		params.oOffset = DTVector3d();
		DMSetParams( handle, &params );
	}

	void TearDown() override {
		gpoSplineMgr = nullptr;
		BehaviourTestBench::TearDown();
	}

	// The blocks become the target's animation nodes, in order.
	void GiveNodes( const std::vector<std::vector<u8>>& blocks ) {
		EFAnimationMgr& manager = target->moAnimationMgr;
		manager.Terminate();
		ASSERT_TRUE( manager.CreateTable( static_cast<u32>( blocks.size() ) ) );
		for ( u32 i = 0; i < blocks.size(); i++ ) {
			EFAnimRes* const res = new EFAnimRes;
			res->mpAnimData = static_cast<u8*>( MMVMalloc( static_cast<u32>( blocks[i].size() ) ) );
			std::memcpy( res->mpAnimData, blocks[i].data(), blocks[i].size() );
			resources.emplace_back( res );
			EFAnimNode* const node = new EFAnimNode( OP_Camera );
			node->mpAnimRes = res;
			manager.AddAnim( node, i );
		}
	}

	// The goal of one pass (smoothing 0: where the camera is sent).
	DTVector3d Pass() {
		EFDynamicPhysic record = RecordOf( body );
		module->PreColUpdate( record, DT );
		return WorldPos( *OwnerOf( body ) ) + body->moVelocity * DT;
	}

	// The target's forward axis turned by degrees about the vertical.
	void Face( const f32 degrees ) {
		RwFrame* const frame = target->GetFrame()->GetRwFrame();
		const RwV3d pos = frame->modelling.pos;
		const RwV3d up = { 0.0f, 1.0f, 0.0f };
		RwMatrixRotate( &frame->modelling, &up, degrees, rwCOMBINEREPLACE );
		frame->modelling.pos = pos;
		RwFrameUpdateObjects( frame );
	}

	EFSplineMgr							splines;
	EFGameObject*						target = nullptr;
	EFPhysic*							body = nullptr;
	u32									handle = 0;
	EFDMCameraFlex*						module = nullptr;
	DMCameraFlexParams					params = {};
	std::vector<std::unique_ptr<EFAnimRes>>	resources;
};

TEST_F( EFDMCameraSplineTest, TheCameraRunsAlongTheNearestCameraSplineWithItsTrack ) {
	EFCamera* const camera0 = MakeCamera();
	camera0->muiPlanesDirty = 0;
	// Node 0 has no track for the spline; node 1 has; node 2's is ignored.
	const std::vector<Channel> channels = {
		{ 3, ToolAnimCurveWriter::Linear( 0.0f, 1.0f, 0.0f, 4.0f ) },
		{ 4, ToolAnimCurveWriter::Constant( 2.0f ) },
		{ 5, ToolAnimCurveWriter::Constant( -3.0f ) },
		{ 16, ToolAnimCurveWriter::Constant( 0.0f ) },
		{ 19, ToolAnimCurveWriter::Constant( 250.0f ) },
		{ 20, ToolAnimCurveWriter::Constant( 12.44712f ) },
		{ 99, ToolAnimCurveWriter::Constant( 7.0f ) },
	};
	GiveNodes( { Block( { { 7, { { 4, ToolAnimCurveWriter::Constant( 9.0f ) } } } } ), Block( { { SPLINE, channels } } ),
				 Block( { { SPLINE, { { 4, ToolAnimCurveWriter::Constant( 9.0f ) } } } } ) } );
	DMSetStateChangeNotifyBits( handle, EF_DM_CAMERA_SPLINE_FINISHED );
	const DTVector3d goal = Pass();
	EXPECT_EQ( module->mi32SplineId, SPLINE );
	EXPECT_EQ( module->mbSplineFinished, 0u );
	EXPECT_EQ( DMGetState( handle ), 0u );
	// x runs over the spline's length share: 1.5 of 4.
	EXPECT_NEAR( ( goal - DTVector3d( 1.5f, 2.0f, -3.0f ) ).LengthSquare(), 0.0f, 1e-6f );
	// No vertical smoothing channel: it follows the horizontal one.
	EXPECT_EQ( module->mfVerticalSmoothing, 0.0f );
	f32 nearPlane = 0.0f;
	f32 farPlane = 0.0f;
	camera0->GetClipPlanes( nearPlane, farPlane );
	EXPECT_EQ( farPlane, 250.0f );
	EXPECT_EQ( camera0->muiPlanesDirty, 1u );
	// A focal length of the half height is a quarter-turn field of view.
	f32 width = 0.0f;
	f32 height = 0.0f;
	camera0->GetViewWindow( width, height );
	EXPECT_NEAR( width, 1.0f, 1e-5f );

	// The target walks off the end: the spline finishes and is searched
	// for again the next frame.
	MoveTo( *target, 4.5f, 0.0f, 0.0f );
	Pass();
	EXPECT_EQ( module->mbSplineFinished, 1u );
	EXPECT_EQ( DMGetState( handle ), EF_DM_CAMERA_SPLINE_FINISHED );
	MoveTo( *target, -0.5f, 0.0f, 0.0f );
	Pass();
	EXPECT_EQ( module->mbSplineFinished, 1u );
	EXPECT_EQ( module->moCursor.mfU, 0.0f );
	MoveTo( *target, 2.0f, 0.0f, 1.0f );
	Pass();
	EXPECT_EQ( module->mbSplineFinished, 0u );
	ASSERT_EQ( gDMStateNotes.size(), 2u );
	// Far from every camera spline: finished, the spline id kept.
	MoveTo( *target, 20.0f, 0.0f, 20.0f );
	Pass();
	EXPECT_EQ( module->mbSplineFinished, 1u );
	EXPECT_EQ( module->mi32SplineId, SPLINE );
	// The loop is found when the target comes near it.
	MoveTo( *target, 50.5f, 0.0f, 51.0f );
	Pass();
	EXPECT_EQ( module->mi32SplineId, LOOP );
}

// Camera splines and rope detection read a touch alike.
TEST_F( EFDMCameraSplineTest, TouchPositionsOnLoopsWrapAndOnOpenSplinesClamp ) {
	const struct {
		f32 u;
		bool loop;
		f32 expected;
	} rows[] = { { 1.25f, true, 0.25f }, { 1.5f, true, 0.5f },	 { 1.0f, true, 0.0f },
				 { 0.75f, true, 0.75f }, { 1.25f, false, 1.0f }, { -0.5f, false, 0.0f } };
	for ( const auto& row : rows ) {
		EXPECT_EQ( EFDMCameraTrack::TouchPosition( row.u, row.loop ), row.expected ) << row.u << row.loop;
	}
}

TEST_F( EFDMCameraSplineTest, TurningBackDriftsTheCursorAndFacingOnLetsTheDriftDie ) {
	GiveNodes( { Block( { { SPLINE, { { 3, ToolAnimCurveWriter::Linear( 0.0f, 1.0f, 0.0f, 4.0f ) } } } } ) } );
	params.fMaxDriftSpeed = 0.25f;
	params.fDriftAcceleration = 1.0f;
	DMSetParams( handle, &params );
	MoveTo( *target, 2.0f, 0.0f, 0.5f );
	Face( -90.0f );
	const f32 drifts[] = { -0.1f, -0.2f, -0.25f, -0.25f };
	for ( const f32 drift : drifts ) {
		const DTVector3d goal = Pass();
		EXPECT_FLOAT_EQ( module->mfDrift, drift );
		EXPECT_NEAR( goal.x, 2.0f + drift, 1e-3f );
	}
	Face( 90.0f );
	const DTVector3d goal = Pass();
	EXPECT_FLOAT_EQ( module->mfDrift, -0.25f / 1.1f );
	EXPECT_NEAR( goal.x, 2.0f - 0.25f / 1.1f, 1e-3f );
}

TEST_F( EFDMCameraSplineTest, OneKeyPerSegmentRunsTheTimeThroughTheCursorsSegmentFromZero ) {
	// Four keys for four segments; the value is the time itself. The first
	// segment's time starts at 0, not at the curve's start 0.5 (times
	// before the start hold the start's value).
	ToolCurve time;
	time.start = 0.5f;
	time.end = 4.0f;
	time.keys = { { 1.0f, 0.0f, 0.0f, 0.5f, 0.5f },
				  { 2.0f, 0.0f, 0.0f, 1.0f, 1.0f },
				  { 3.0f, 0.0f, 0.0f, 1.0f, 2.0f },
				  { 4.0f, 0.0f, 0.0f, 1.0f, 3.0f } };
	ToolCurve packed = time;
	packed.kind = TOOL_CURVE_COMPRESSED;
	GiveNodes( { Block( { { SPLINE, { { 3, time }, { 5, packed } } } } ) } );
	const struct {
		f32 x, expected;
	} rows[] = { { 0.25f, 0.5f }, { 0.75f, 0.75f }, { 2.5f, 2.5f }, { 3.75f, 3.75f } };
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.x );
		MoveTo( *target, row.x, 0.0f, 0.5f );
		const DTVector3d goal = Pass();
		EXPECT_NEAR( goal.x, row.expected, 1e-4f );
		EXPECT_NEAR( goal.z, row.expected, 2e-3f );
	}
}

TEST_F( EFDMCameraSplineTest, BrokenCurvesAndAMissingCamera0ChangeNothing ) {
	// A curve claiming more keys than its block holds does nothing.
	std::vector<u8> block = Block( { { SPLINE, { { 3, ToolAnimCurveWriter::Linear( 0.0f, 1.0f, 0.0f, 4.0f ) },
												 { 4, ToolAnimCurveWriter::Constant( 2.0f ) },
												 { 19, ToolAnimCurveWriter::Constant( 250.0f ) },
												 { 20, ToolAnimCurveWriter::Constant( 30.0f ) } } } } );
	const u32 curve = DTReadBE32( block.data() + 16 + 8 + 4 );
	DTWriteBE16( block.data() + curve + 10, 50 );
	GiveNodes( { block } );
	const DTVector3d goal = Pass();
	EXPECT_EQ( goal.x, 0.0f );
	EXPECT_EQ( goal.y, 2.0f );
	// Without camera 0 the far clip and field of view go nowhere.
	EXPECT_EQ( gpoGraphicsMgr->GetCamera( 0 ), nullptr );

	// A spline whose first segment has no length: the curve time is 0.
	EFSplineMgr zero;
	ToolSplineInput spline;
	spline.id = SPLINE;
	spline.flags = TOOL_SPLINE_FLAG_ROPE;
	spline.points = { { 0, 0, 0 }, { 0, 0, 0 }, { 0, 0, 0 }, { 1, 0, 0 }, { 2, 0, 0 } };
	ASSERT_TRUE( RefLoad( zero, { spline } ) );
	gpoSplineMgr = &zero;
	ToolCurve time;
	time.keys = { { 1.0f, 0.0f, 0.0f, 1.0f, 5.0f }, { 2.0f, 0.0f, 0.0f, 1.0f, 6.0f } };
	time.end = 2.0f;
	GiveNodes( { Block( { { SPLINE, { { 3, time } } } } ) } );
	module->moCursor.SetSpline( zero.GetSpline( 0 ) );
	module->moCursor.MoveTo( 0, 0.5f );
	module->mi32SplineId = SPLINE;
	DTVector3d at;
	EXPECT_EQ( module->UpdateAnimation( at ), 0 );
	EXPECT_EQ( at.x, 5.0f );
	gpoSplineMgr = &splines;
}

}
