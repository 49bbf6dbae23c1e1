/*
	Edge detection, ledge snap and edge down: notified edge sets and their
	slots, polygon-primitive edges in world axes, rims and ledges against
	floor beyond them and slopes, the snap, the half-turn tip through
	physics frames and the frame-gap rules.
*/
#include "framework/behaviour/LedgeTestBench.h"

#include "framework/behaviour/EFDMEdge.h"
#include "framework/behaviour/EFDMEdgeDetect.h"
#include "framework/behaviour/EFDMEdgeDown.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/physics/EFObjCollisionPolygon.h"

namespace {

constexpr f32 PI = 3.14159265f;

// Notification 24 as the owner's logic callback receives it.
struct EdgeNote {
	u32						tag;
	std::vector<DMEdgeData>	edges;
};
std::vector<EdgeNote> gEdgeNotes;

s32 RecordEdges( void*, void* data ) {
	const DMEdgeDetectRecord& record = *static_cast<const DMEdgeDetectRecord*>( data );
	gEdgeNotes.push_back( { record.ui32PrimTag, { record.poEdges, record.poEdges + record.ui32Count } } );
	return 0;
}

class EFDMEdgeTest : public LedgeTestBench {
protected:
	void SetUp() override {
		LedgeTestBench::SetUp();
		gEdgeNotes.clear();
	}

	// Edge detection on the hero at pos with radius and flags.
	EFDMEdgeDetect* Detector( const DTVector3d& pos, const f32 radius, const u32 flags = 0x4 ) {
		const u32 handle = Hero( EF_DM_EDGE_DETECT, pos, 0.05f );
		DMEdgeDetectParams params = { 9, TAG, radius, flags };
		DMSetParams( handle, &params );
		gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( NO_DM_EDGEDETECT, HERO, HERO, &RecordEdges, nullptr );
		return Module<EFDMEdgeDetect>( handle );
	}

	void MoveHero( const DTVector3d& pos ) {
		frame->modelling.pos = { pos.x, pos.y, pos.z };
		RwFrameUpdateObjects( frame );
		prim->PrecalcPrimData();
	}
};

TEST_F( EFDMEdgeTest, TheEdgeSetIsNotifiedOnlyWhenItChanges ) {
	// Edges of the unit square: 0 along z = 1, 1 along x = 1, 2 along
	// z = -1, 3 along x = -1; edge 3 is not grabbable.
	SurfacePolygon ledge( SquareAt( 0.0f ), 0x1, 0x7 );
	std::vector<EFEnvCollisionPrim*> list = { &ledge.Prim() };
	EFCollisionStage stage = Stage( list );
	EFDMEdgeDetect* const detect = Detector( { 1.2f, 0.1f, 0.0f }, 0.3f );
	detect->PostColUpdate( &stage, DT );
	ASSERT_EQ( gEdgeNotes.size(), 1u );
	EXPECT_EQ( gEdgeNotes[0].tag, TAG );
	ASSERT_EQ( gEdgeNotes[0].edges.size(), 1u );
	ExpectNear( gEdgeNotes[0].edges[0].oStart, { 1, 0, 1 } );
	ExpectNear( gEdgeNotes[0].edges[0].oEnd, { 1, 0, -1 } );
	ExpectNear( gEdgeNotes[0].edges[0].oNormal, { 0, 1, 0 } );
	// The same ledge again, and a step along it: nothing.
	detect->PostColUpdate( &stage, DT );
	MoveHero( { 1.2f, 0.1f, 0.5f } );
	detect->PostColUpdate( &stage, DT );
	EXPECT_EQ( gEdgeNotes.size(), 1u );
	// Near the corner: edges 0 and 1 (by their ends).
	MoveHero( { 1.1f, 0.0f, 1.1f } );
	detect->PostColUpdate( &stage, DT );
	ASSERT_EQ( gEdgeNotes.size(), 2u );
	EXPECT_EQ( gEdgeNotes[1].edges.size(), 2u );
	// Beside edge 3 only: its bit is clear, so nothing is near.
	MoveHero( { -1.1f, 0.0f, 0.0f } );
	detect->PostColUpdate( &stage, DT );
	ASSERT_EQ( gEdgeNotes.size(), 3u );
	EXPECT_TRUE( gEdgeNotes[2].edges.empty() );
	// No stage: nothing at all.
	MoveHero( { 1.2f, 0.1f, 0.0f } );
	detect->PostColUpdate( nullptr, DT );
	EXPECT_EQ( gEdgeNotes.size(), 3u );
}

TEST_F( EFDMEdgeTest, RadiusRulesAndTheEleventhEdge ) {
	struct Row {
		const char*	name;
		f32			radius;
		u32			flags;
		f32			kept;
	};
	const Row rows[] = {
		{ "record radius", 0.3f, 0x4, 0.3f },
		{ "negative radius", -2.0f, 0x4, 0.1f },
		{ "the primitive's radius", 0.3f, 0x5, 0.05f },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		Detector( {}, row.radius, row.flags );
		DMEdgeDetectParams back = {};
		DMGetParams( GetDM( HERO, EF_DM_EDGE_DETECT, 0 ), &back );
		EXPECT_EQ( back.fRadius, row.kept );
		EXPECT_EQ( back.ui32Flags, row.flags );
		EXPECT_EQ( back.ui32CallbackIndex, 9u );
		Drop( HERO );
	}
	// Twelve triangles around the hero, each with one grabbable edge
	// passing 0.1 from it: ten are held.
	std::vector<SurfacePolygon> fan;
	std::vector<EFEnvCollisionPrim*> list;
	for ( u32 i = 0; i < 12; i++ ) {
		const f32 x = 0.1f + 0.01f * static_cast<f32>( i );
		fan.emplace_back( std::vector<DTVector3d>{ { x, 0, -1 }, { x, 0, 1 }, { x + 1, 0, 0 } }, 0x1, 0x1 );
	}
	for ( SurfacePolygon& polygon : fan ) {
		list.push_back( &polygon.Prim() );
	}
	EFCollisionStage stage = Stage( list );
	Detector( {}, 0.3f )->PostColUpdate( &stage, DT );
	ASSERT_EQ( gEdgeNotes.size(), 1u );
	ASSERT_EQ( gEdgeNotes[0].edges.size(), 10u );
	EXPECT_NEAR( gEdgeNotes[0].edges[9].oStart.x, 0.19f, 1e-6f );
}

TEST_F( EFDMEdgeTest, PolygonPrimitiveEdgesComeBackInWorldAxes ) {
	EFDMEdgeDetect* const detect = Detector( { 3.0f, 1.1f, 0.0f }, 0.3f, 0x8 );
	prim->moBaseAttrib.IntArray[EF_ATTR_DETECT] = 0x200;
	prim->UpdateCurrentAttribs();
	// A crate at (2, 1, 0) turned a quarter about y: its top square's
	// local edge 1 (x = 1) lies along world z = -1 ... in world axes the
	// edge nearest the hero is the one at world x = 3.
	EFPhysic* const crate = MakeBody( HERO + 1, 0, 1, 2.0f, 1.0f, 0.0f );
	DMRotateInPlace( OwnerOf( crate )->GetFrame()->GetRwFrame(), DTVector3d( 0, 1, 0 ), PI / 2.0f );
	SurfacePolygon top( SquareAt( 0.0f ), 0x1, 0xF );
	EFObjCollisionPolygon* const polygons = static_cast<EFObjCollisionPolygon*>(
		crate->moCollisionModel.AddPrimitive( 0, 0x40, EF_PRIM_POLYGON, OwnerOf( crate )->GetFrame() ) );
	polygons->SetPolygons( 1, &top.Prim() );
	polygons->moBaseAttrib.IntArray[EF_ATTR_TYPE] = 0x200;
	polygons->UpdateCurrentAttribs();
	polygons->PrecalcPrimData();
	EFDynamicPhysic crateRecord = RecordOf( crate );
	EFDynamicPhysic* records[] = { &crateRecord };
	std::vector<EFEnvCollisionPrim*> none;
	EFCollisionStage stage = Stage( none );
	stage.maCollidables[0] = { records, 1 };
	detect->PostColUpdate( &stage, DT );
	ASSERT_EQ( gEdgeNotes.size(), 1u );
	ASSERT_EQ( gEdgeNotes[0].edges.size(), 1u );
	const DMEdgeData& edge = gEdgeNotes[0].edges[0];
	EXPECT_NEAR( edge.oStart.x, 3.0f, 1e-5f );
	EXPECT_NEAR( edge.oEnd.x, 3.0f, 1e-5f );
	EXPECT_NEAR( edge.oStart.y, 1.0f, 1e-5f );
	EXPECT_NEAR( std::fabs( edge.oStart.z - edge.oEnd.z ), 2.0f, 1e-5f );
	ExpectNear( edge.oNormal, { 0, 1, 0 } );
	// Without the primitive's grab bit nothing is searched.
	polygons->moBaseAttrib.IntArray[EF_ATTR_TYPE] = 0;
	polygons->UpdateCurrentAttribs();
	detect->PostColUpdate( &stage, DT );
	ASSERT_EQ( gEdgeNotes.size(), 2u );
	EXPECT_TRUE( gEdgeNotes[1].edges.empty() );
}

// The ledge modules over a unit-square floor at y = 0 with, beyond its
// edge x = 1, a lower floor at y = -drop.
struct Scene {
	explicit Scene( const f32 drop, const f32 floorUp = 1.0f )
		: floor( Tilted( floorUp ) ), lower( { { 1, -drop, 1 }, { 3, -drop, 1 }, { 3, -drop, -1 }, { 1, -drop, -1 } } ) {
		list = { &floor.Prim(), &lower.Prim() };
	}
	// The square turned about z so that its normal's y is up.
	static std::vector<DTVector3d> Tilted( const f32 up ) {
		const f32 s = std::sqrt( 1.0f - up * up );
		std::vector<DTVector3d> v = SquareAt( 0.0f );
		for ( DTVector3d& p : v ) {
			p = DTVector3d( p.x * up, p.x * -s, p.z );
		}
		return v;
	}
	SurfacePolygon						floor;
	SurfacePolygon						lower;
	std::vector<EFEnvCollisionPrim*>	list;
};

TEST_F( EFDMEdgeTest, ARimIsOnlyWhereNoFloorLiesWithinReachAndTheFloorIsWalkable ) {
	struct Row {
		const char*	name;
		f32			drop;
		f32			up;
		u32			edge;	   // bit 0 of the ledge snap / the edge down
		u32			down;
	};
	// Probe reach 1.1 r = 0.22 below the rim point less 0.05.
	const Row rows[] = {
		{ "a step of 0.15 is floor", 0.15f, 1.0f, 0, 1 },
		{ "a drop of 0.5 is a rim", 0.5f, 1.0f, 1, 1 },
		{ "up 0.6 is walkable", 0.5f, 0.6f, 1, 1 },
		{ "up 0.59 is not", 0.5f, 0.59f, 0, 1 },
		{ "up 0.26 is floor for the edge down", 0.5f, 0.26f, 0, 1 },
		{ "up 0.25 is not", 0.5f, 0.25f, 0, 0 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		Scene scene( row.drop, row.up );
		EFCollisionStage stage = Stage( scene.list );
		// Just past the rim and over the floor's plane.
		const f32 s = std::sqrt( 1.0f - row.up * row.up );
		const DTVector3d rim( row.up, -s, 0.0f );
		const DTVector3d out( row.up, -s, 0.0f );
		const DTVector3d n( s, row.up, 0.0f );
		for ( const u32 type : { EF_DM_EDGE, EF_DM_EDGE_DOWN } ) {
			const u32 handle = Hero( type, rim + out * 0.05f + n * 0.1f, 0.2f );
			DMEdgeParams params = { TAG, 0, 0 };
			DMSetParams( handle, &params );
			Frame( [&] {
				EFPhysicModule* const module = Module<EFPhysicModule>( handle );
				EFDynamicPhysic unused = {};
				if ( type == EF_DM_EDGE_DOWN ) {
					module->PreColUpdate( unused, DT );
				}
				module->PostColUpdate( &stage, DT );
			} );
			EXPECT_EQ( DMGetState( handle ), type == EF_DM_EDGE ? row.edge : row.down ) << type;
			Drop( HERO );
		}
	}
}

TEST_F( EFDMEdgeTest, TheSnapCentresThePrimitiveOnTheRimFacingIt ) {
	// Facing +x, the primitive 0.2 ahead of the frame, past the rim.
	const u32 handle = Hero( EF_DM_EDGE, { 1.05f, 0.1f, 0.3f }, 0.3f, { 0.0f, 0.0f, 0.2f }, PI / 2.0f );
	DMSetStateChangeNotifyBits( handle, 1 );
	DMEdgeParams params = { TAG, 0, 0 };
	DMSetParams( handle, &params );
	Scene scene( 2.0f );
	EFCollisionStage stage = Stage( scene.list );
	EFDMEdge* const edge = Module<EFDMEdge>( handle );
	f32 timer = 0.0f;
	Frame( [&] {
		edge->PostColUpdate( &stage, DT );
		timer = body->mfFallingTimer;
	} );
	EXPECT_EQ( DMGetState( handle ), 1u );
	ExpectNear( prim->moPrimPos, { 1.0f, 0.0f, 0.3f } );
	ExpectNear( At(), { -1, 0, 0 } );
	ExpectNear( Up(), { 0, 1, 0 } );
	ExpectNear( body->moVelocity, {} );
	EXPECT_EQ( timer, 0.25f );
	DMEdgeParams back = {};
	DMGetParams( handle, &back );
	EXPECT_EQ( back.ui32PrimTag, TAG );
	EXPECT_EQ( back.ui32MatchedBits, 1u );
	// On the rim the forward offset stays: the next frame snaps in place.
	Frame( [&] { edge->PostColUpdate( &stage, DT ); } );
	ExpectNear( prim->moPrimPos, { 1.0f, 0.0f, 0.3f } );
	EXPECT_NEAR( edge->mfForwardOffset, -0.2f, 1e-6f );
	ASSERT_EQ( gDMStateNotes.size(), 1u );
	// A frame without the module: the state restarts from 0 silently,
	// then the rim sets it again.
	Frame( [] {} );
	std::vector<EFEnvCollisionPrim*> none;
	EFCollisionStage empty = Stage( none );
	Frame( [&] { edge->PostColUpdate( &empty, DT ); } );
	EXPECT_EQ( DMGetState( handle ), 0u );
	EXPECT_EQ( gDMStateNotes.size(), 1u );
}

class EFDMEdgeDownTest : public LedgeTestBench {
protected:
	// The hero just past the rim of the scene's floor, facing +z.
	u32 Tipper( const f32 duration ) {
		const u32 handle = Hero( EF_DM_EDGE_DOWN, { 1.1f, 0.1f, 0.0f }, 0.3f );
		DMSetStateChangeNotifyBits( handle, 1 );
		DMEdgeDownParams params = { TAG, duration, 0 };
		DMSetParams( handle, &params );
		module = Module<EFDMEdgeDown>( handle );
		return handle;
	}

	// One frame: the pre phase, then the post phase over the stage.
	void Pass( EFCollisionStage* stage ) {
		Frame( [&] {
			EFDynamicPhysic unused = {};
			module->PreColUpdate( unused, DT );
			module->PostColUpdate( stage, DT );
		} );
	}

	Scene				scene{ 2.0f };
	std::vector<EFEnvCollisionPrim*> none;
	EFDMEdgeDown*		module = nullptr;
};

TEST_F( EFDMEdgeDownTest, TheTipTurnsExactlyPiAndHoldsBitZeroThroughout ) {
	const u32 handle = Tipper( 0.5f );
	EFCollisionStage stage = Stage( scene.list );
	EFCollisionStage empty = Stage( none );
	Pass( &stage );
	// Turned to face across the edge, the primitive on it, stopped.
	ExpectNear( At(), { 1, 0, 0 } );
	ExpectNear( prim->moPrimPos, { 1.0f, 0.0f, 0.0f } );
	ExpectNear( module->moTipAxis, { 0, 0, -1 } );
	ExpectNear( body->moVelocity, {} );
	u32 frames = 0;
	while ( DMGetState( handle ) == 1u && frames < 60 ) {
		Pass( &empty );
		frames++;
	}
	EXPECT_EQ( frames, 30u );
	ExpectNear( At(), { -1, 0, 0 }, 1e-4f );
	ExpectNear( Up(), { 0, -1, 0 }, 1e-4f );
	ASSERT_EQ( gDMStateNotes.size(), 2u );
	EXPECT_EQ( gDMStateNotes[0].record.ui32State, 1u );
	EXPECT_EQ( gDMStateNotes[1].record.ui32State, 0u );
	EXPECT_EQ( module->mfTippedAngle, 0.0f );
}

TEST_F( EFDMEdgeDownTest, DurationZeroNeverTurnsAndASkippedFrameClearsTheStateSilently ) {
	const u32 handle = Tipper( 0.0f );
	EFCollisionStage stage = Stage( scene.list );
	EFCollisionStage empty = Stage( none );
	Pass( &stage );
	for ( u32 i = 0; i < 5; i++ ) {
		Pass( &empty );
	}
	EXPECT_EQ( DMGetState( handle ), 1u );
	ExpectNear( At(), { 1, 0, 0 } );
	// A tip under way, then a frame without the module.
	DMEdgeDownParams params = { TAG, 0.5f, 0 };
	DMSetParams( handle, &params );
	Pass( &empty );
	EXPECT_GT( module->mfTippedAngle, 0.0f );
	Frame( [] {} );
	Pass( &empty );
	EXPECT_NEAR( module->mfTippedAngle, PI / 30.0f, 1e-6f );  // restarted, then one step
	EXPECT_EQ( DMGetState( handle ), 0u );
	EXPECT_EQ( gDMStateNotes.size(), 1u );
}

}
