/*
	Two-joint limbs: the solver checked by forward kinematics over the
	chain's modelling matrices (reach, stretch, straightening, a straight
	chain bending, degenerate chains left alone), four feet settling on a
	step, a limb count above four, and primitives that are gone (for
	every module of this family that names primitives by tag).
*/
#include "framework/behaviour/LedgeTestBench.h"

#include "framework/behaviour/EF2D2JointsIK.h"
#include "framework/behaviour/EFDMIKTwoJoints.h"
#include "framework/behaviour/EFDMRopeSlide.h"
#include "framework/core/spline/SplineReference.h"
#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTMatrix.h"
#include "graphics3d/core/RwMatrix.h"

namespace {

// A root at the origin, a middle joint at mid from it and an end at end
// from the middle, all in the root's axes (no rotation).
struct Chain {
	Chain( const DTVector3d& mid, const DTVector3d& end ) {
		RwFrameAddChild( &root->moFrame, &middle->moFrame );
		RwFrameAddChild( &middle->moFrame, &tip->moFrame );
		RwFrameTranslate( &middle->moFrame, DTAsRwV3d( &mid ), rwCOMBINEREPLACE );
		RwFrameTranslate( &tip->moFrame, DTAsRwV3d( &end ), rwCOMBINEREPLACE );
	}
	~Chain() { RwFrameDestroyHierarchy( &root->moFrame ); }

	// The tip's world position from the modelling matrices alone.
	DTVector3d Tip() const {
		RwMatrix upper;
		RwMatrix world;
		RwMatrixMultiply( &upper, &tip->moFrame.modelling, &middle->moFrame.modelling );
		RwMatrixMultiply( &world, &upper, &root->moFrame.modelling );
		return DMRow( world.pos );
	}
	DTVector3d Middle() const {
		RwMatrix world;
		RwMatrixMultiply( &world, &middle->moFrame.modelling, &root->moFrame.modelling );
		return DMRow( world.pos );
	}

	DTFrame* root = new DTFrame;
	DTFrame* middle = new DTFrame;
	DTFrame* tip = new DTFrame;
};

f32 Length( const DTVector3d& v ) {
	return std::sqrt( v * v );
}

class EFDMIKTwoJointsTest : public LedgeTestBench {};

TEST_F( EFDMIKTwoJointsTest, TheSolverReachesStretchesAndStraightens ) {
	struct Row {
		const char*	name;
		DTVector3d	mid;
		DTVector3d	end;
		DTVector3d	target;
		f32			reach;	  // distance root to tip afterwards; 0: the target itself
	};
	const Row rows[] = {
		{ "reachable", { 1, 0, 0 }, { 0.8f, 0.6f, 0 }, { 1.2f, 0.8f, 0.3f }, 0.0f },
		{ "reachable behind", { 1, 0, 0 }, { 0.8f, 0.6f, 0 }, { -0.5f, 0.9f, -0.4f }, 0.0f },
		{ "beyond reach", { 1, 0, 0 }, { 0.8f, 0.6f, 0 }, { 5, 1, 0 }, 1.9999f },
		{ "closer than |a - b|: straight", { 1, 0, 0 }, { 0.4f, 0.3f, 0 }, { 0.2f, 0.1f, 0 }, 1.5f },
		{ "a straight chain bends about z", { 1, 0, 0 }, { 1, 0, 0 }, { 1, 1, 0 }, 0.0f },
	};
	EF2D2JointsIK solver;
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		Chain chain( row.mid, row.end );
		solver.Solve( *chain.tip, row.target );
		const DTVector3d tip = chain.Tip();
		const DTVector3d mid = chain.Middle();
		// Bones keep their lengths.
		EXPECT_NEAR( Length( mid ), Length( row.mid ), 1e-5f );
		EXPECT_NEAR( Length( tip - mid ), Length( row.end ), 1e-5f );
		if ( row.reach == 0.0f ) {
			ExpectNear( tip, row.target, 1e-4f );
		} else {
			EXPECT_NEAR( Length( tip ), row.reach, 1e-4f );
			const DTVector3d along = row.target * ( 1.0f / Length( row.target ) );
			ExpectNear( tip * ( 1.0f / Length( tip ) ), along, 1e-4f );
		}
	}
	// The straight chain bent in its plane z = 0.
	Chain straight( { 1, 0, 0 }, { 1, 0, 0 } );
	solver.Solve( *straight.tip, DTVector3d( 1, 1, 0 ) );
	EXPECT_NEAR( straight.Middle().z, 0.0f, 1e-5f );
}

TEST_F( EFDMIKTwoJointsTest, DegenerateChainsAreLeftAlone ) {
	struct Row {
		const char*	name;
		DTVector3d	mid;
		DTVector3d	end;
	};
	const Row rows[] = {
		{ "zero upper bone", { 0, 0, 0 }, { 1, 0, 0 } },
		{ "zero lower bone", { 1, 0, 0 }, { 0, 0, 0 } },
		{ "end on the root", { 1, 0, 0 }, { -1, 0, 0 } },
	};
	EF2D2JointsIK solver;
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		Chain chain( row.mid, row.end );
		const RwMatrix before = chain.root->moFrame.modelling;
		DTMatrix target;
		target.oMat = before;
		*target.GetPos() = DTVector3d( 0.5f, 0.5f, 0.0f );
		solver.Solve( *chain.tip, DTVector3d( 0.5f, 0.5f, 0.0f ) );
		ExpectNear( DMRow( chain.root->moFrame.modelling.at ), DMRow( before.at ) );
		ExpectNear( chain.Middle(), row.mid );
		const DTVector3d tip = chain.Tip();
		EXPECT_TRUE( std::isfinite( tip.x ) && std::isfinite( tip.y ) && std::isfinite( tip.z ) );
	}
}

TEST_F( EFDMIKTwoJointsTest, FourFeetSettleOnAStep ) {
	// The hero at (0, 1, 0); four legs hanging from it, feet 0.1 above
	// the ground: two over the floor (y = 0, x < 0), two over a step
	// (y = 0.3, x > 0) that the feet reach 0.2 below it.
	body = MakeModuleBody( HERO, 0.0f, 1.0f, 0.0f, 4 );
	body->mui32CurrentContext = 0;
	DTFrame* const hero = OwnerOf( body )->GetFrame();
	std::vector<DTFrame*> feet;
	const f32 xs[4] = { -0.5f, -0.3f, 0.3f, 0.5f };
	const f32 heights[4] = { 0.1f, 0.1f, 0.4f, 0.4f };
	for ( u32 i = 0; i < 4; i++ ) {
		DTFrame* const hip = new DTFrame;
		DTFrame* const knee = new DTFrame;
		DTFrame* const foot = new DTFrame;
		RwFrameAddChild( hero->GetRwFrame(), &hip->moFrame );
		RwFrameAddChild( &hip->moFrame, &knee->moFrame );
		RwFrameAddChild( &knee->moFrame, &foot->moFrame );
		const DTVector3d hipAt( xs[i], 0.0f, 0.0f );
		const f32 drop = 1.0f - heights[i];
		const DTVector3d kneeAt( 0.0f, -drop * 0.5f, 0.3f );
		const DTVector3d footAt( 0.0f, -drop * 0.5f, -0.3f );
		RwFrameTranslate( &hip->moFrame, DTAsRwV3d( &hipAt ), rwCOMBINEREPLACE );
		RwFrameTranslate( &knee->moFrame, DTAsRwV3d( &kneeAt ), rwCOMBINEREPLACE );
		RwFrameTranslate( &foot->moFrame, DTAsRwV3d( &footAt ), rwCOMBINEREPLACE );
		EFObjCollisionPrim* const prim = body->moCollisionModel.AddPrimitive( i, 0x20 + i, EF_PRIM_SPHERE, foot );
		prim->mfMaxRadius = 0.05f;
		prim->moBaseAttrib.IntArray[EF_ATTR_UD_TYPE] = 0x1;
		prim->UpdateCurrentAttribs();
		feet.push_back( foot );
	}
	body->moCollisionModel.PrecalcData();
	const u32 handle = Add( HERO, EF_DM_IK_TWO_JOINTS );
	body->mui32CurrentContext = 0;
	// Seven limbs asked for: four taken.
	DMIKTwoJointsParams params = { 7, { 0x20, 0x21, 0x22, 0x23 }, 0, 0x1, 0x1 };
	DMSetParams( handle, &params );
	DMIKTwoJointsParams back = {};
	DMGetParams( handle, &back );
	EXPECT_EQ( back.ui32Count, 4u );
	EXPECT_EQ( back.aui32PrimTag[3], 0x23u );
	SurfacePolygon floor( { { -2, 0, 1 }, { 0, 0, 1 }, { 0, 0, -1 }, { -2, 0, -1 } }, 0, 0, 0x1 );
	SurfacePolygon step( { { 0, 0.3f, 1 }, { 2, 0.3f, 1 }, { 2, 0.3f, -1 }, { 0, 0.3f, -1 } }, 0, 0, 0x1 );
	std::vector<EFEnvCollisionPrim*> list = { &floor.Prim(), &step.Prim() };
	EFCollisionStage stage = Stage( list );
	Module<EFDMIKTwoJoints>( handle )->PostColUpdate( &stage, DT );
	const f32 expected[4] = { 0.0f, 0.0f, 0.3f, 0.3f };
	for ( u32 i = 0; i < 4; i++ ) {
		SCOPED_TRACE( i );
		const DTVector3d foot = DMRow( RwFrameGetLTM( feet[i]->GetRwFrame() )->pos );
		EXPECT_NEAR( foot.y, expected[i], 1e-4f );
		EXPECT_NEAR( foot.x, xs[i], 1e-4f );
		EXPECT_NEAR( foot.z, 0.0f, 1e-4f );
	}
}

TEST_F( EFDMIKTwoJointsTest, UnknownTagsAndShrunkSlotArraysMeanNoPrimitive ) {
	// Each module given tags of the sphere in slot 2 or an unknown tag:
	// its updates touch nothing, GetParams reports no tag (edge detection
	// its stored tag), all under ASan.
	struct Row {
		const char*	name;
		u32			type;
		u32			tagWord;	// where the record holds the tag
		u32			extra;		// another word set to 1 (0: none)
		bool		stored;
	};
	const Row rows[] = {
		{ "ledge snap", EF_DM_EDGE, 0, 0, false },
		{ "edge detection", EF_DM_EDGE_DETECT, 1, 0, true },
		{ "edge down", EF_DM_EDGE_DOWN, 0, 0, false },
		{ "rope detection", EF_DM_ROPE_DETECT, 0, 0, false },
		{ "rope sliding", EF_DM_ROPE_SLIDE, 15, 8, false },
		{ "two-joint limbs", EF_DM_IK_TWO_JOINTS, 1, 0, false },
	};
	EFSplineMgr splines;
	ToolSplineInput rope;
	rope.id = 1;
	rope.flags = TOOL_SPLINE_FLAG_ROPE;
	rope.points = { { 1, 0, -1 }, { 1, 0, 0 }, { 1, 0, 1 } };
	ASSERT_TRUE( RefLoad( splines, { rope } ) );
	gpoSplineMgr = &splines;
	SurfacePolygon floor( SquareAt( 0.0f ), 0x1, 0xF, 0x1 );
	std::vector<EFEnvCollisionPrim*> list = { &floor.Prim() };
	EFCollisionStage stage = Stage( list );
	for ( const Row& row : rows ) {
		for ( const bool shrink : { false, true } ) {
			SCOPED_TRACE( std::string( row.name ) + ( shrink ? ", slots shrunk" : ", unknown tag" ) );
			const u32 handle = Hero( row.type, { 1.05f, 0.1f, 0.0f }, 0.3f );
			EFObjCollisionPrim* const sphere =
				body->moCollisionModel.AddPrimitive( 2, 0x77, EF_PRIM_SPHERE, OwnerOf( body )->GetFrame() );
			sphere->mfMaxRadius = 0.3f;
			body->moCollisionModel.PrecalcData();
			u32 words[32];
			std::fill( words, words + 32, 0xFFFFFFFFu );
			words[0] = row.type == EF_DM_IK_TWO_JOINTS ? 1 : words[0];
			if ( row.type == EF_DM_EDGE_DETECT ) {
				words[0] = 0;
				words[3] = 0x4;
			}
			words[row.tagWord] = shrink ? 0x77 : 0x99;
			if ( row.extra != 0 ) {
				words[row.extra] = 1;
			}
			if ( row.type == EF_DM_EDGE || row.type == EF_DM_EDGE_DOWN ) {
				words[1] = 0;
				words[2] = 0;
			}
			DMSetParams( handle, words );
			if ( row.type == EF_DM_ROPE_SLIDE ) {
				DMRopeSlideAttach attach = { 1, 0 };
				DMDoAction( handle, DM_ROPE_SLIDE_ATTACH, &attach );
			}
			if ( shrink ) {
				body->moCollisionModel.SetMaxPrims( 1 );
			}
			const DTVector3d before = DMRow( RwFrameGetLTM( frame )->pos );
			Frame( [&] {
				EFPhysicModule* const module = Module<EFPhysicModule>( handle );
				EFDynamicPhysic unused = {};
				module->PreColUpdate( unused, DT );
				module->PostColUpdate( &stage, DT );
			} );
			EXPECT_EQ( DMGetState( handle ) & 1u, 0u );
			if ( row.type != EF_DM_ROPE_SLIDE ) {
				ExpectNear( DMRow( RwFrameGetLTM( frame )->pos ), before );
			}
			u32 back[32] = {};
			DMGetParams( handle, back );
			EXPECT_EQ( back[row.tagWord], row.stored ? words[row.tagWord] : 0xFFFFFFFFu );
			Drop( HERO );
		}
	}
	gpoSplineMgr = nullptr;
}

}
