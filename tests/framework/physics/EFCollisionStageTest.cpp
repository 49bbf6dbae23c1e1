/*
	EFCollisionStage: pushes, sliding along several contacts, translation
	checks against polygons and the primitives a stage holds.
*/
#include "framework/physics/CollisionScenarioBench.h"

#include "framework/physics/EFCollisionReport.h"
#include "framework/physics/EFCollisionStage.h"
#include "framework/physics/EFContactReport.h"
#include "framework/physics/EFPushRecord.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr u32 PLAIN = 0x2A000200;

class EFCollisionStageTest : public CollisionScenarioBench {
protected:
	static EFCollisionStage StageOf( EFDynamicPhysic& record ) {
		EFCollisionStage stage = {};
		stage.mpoRecord = &record;
		return stage;
	}
};

DTVector3d Unit( const f32 x, const f32 y, const f32 z ) {
	const f32 length = std::sqrt( x * x + y * y + z * z );
	return DTVector3d( x / length, y / length, z / length );
}

TEST_F( EFCollisionStageTest, PushesMoveByPriorityAndNeverPutNaNIntoThePosition ) {
	struct Push {
		DTVector3d	normal;
		f32			size;
		u32			priority;
		f32			weight;
	};
	struct Row {
		const char*			name;
		std::vector<Push>	pushes;
		DTVector3d			moved;
	} rows[] = {
		{ "a lone push of 0.0001 moves nothing", { { DTVector3d( 0, 1, 0 ), 0.0001f, 0, 1.0f } }, DTVector3d() },
		{ "a lone push above it moves", { { DTVector3d( 0, 1, 0 ), 0.25f, 0, 1.0f } }, DTVector3d( 0, 0.25f, 0 ) },
		// The environment's 100 decides the first pass; the smaller body
		// push is then already covered by what moved.
		{ "the environment first",
		  { { DTVector3d( 1, 0, 0 ), 0.2f, 0, 1.0f }, { DTVector3d( 0, 1, 0 ), 0.3f, EF_ENV_PUSH_PRIORITY, 1.0f } },
		  DTVector3d( 0, 0.3f, 0 ) },
		// A priority above 0x7FFFFFFF is negative: the body's 0 wins.
		{ "priorities compare signed",
		  { { DTVector3d( 1, 0, 0 ), 0.2f, 0, 1.0f }, { DTVector3d( 0, 1, 0 ), 0.1f, 0x80000000u, 1.0f } },
		  DTVector3d( 0.2f, 0, 0 ) },
		{ "equal opposite pushes cancel",
		  { { DTVector3d( 1, 0, 0 ), 0.2f, 3, 1.0f }, { DTVector3d( -1, 0, 0 ), 0.2f, 3, 1.0f } }, DTVector3d() },
		{ "weightless pushers",
		  { { DTVector3d( 1, 0, 0 ), 0.2f, 3, 0.0f }, { DTVector3d( 0, 1, 0 ), 0.2f, 3, 0.0f } }, DTVector3d() },
		// The sum is not zero but its square underflows: no mean to take out.
		{ "a sum too small to square",
		  { { Unit( 1.0f, 1e-20f, 0 ), 0.001f, 3, 1.0f }, { DTVector3d( -1, 0, 0 ), 0.001f, 3, 1.0f } }, DTVector3d() },
	};
	EFPhysic* const body = MakeBody( PLAIN, EF_PHYSIC_DYNAMIC | EF_PHYSIC_COLLIDING, 0, 1.0f, 2.0f, 3.0f );
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		const DTVector3d before = WorldPos( *OwnerOf( body ) );
		RunInFrame( [&]() {
			EFDynamicPhysic record = RecordOf( body );
			EFCollisionStage stage = StageOf( record );
			for ( const Push& push : row.pushes ) {
				EFPushRecord* const taken = manager.TakePush();
				*taken = { push.normal, push.size, push.priority, push.weight, stage.mpoPushList };
				stage.mpoPushList = taken;
				stage.mui32NbPush++;
			}
			stage.CheckPush();
			EXPECT_EQ( stage.mpoPushList, nullptr );
			EXPECT_EQ( stage.mui32NbPush, 0u );
			// The stage's translation sums what the pushes moved.
			EXPECT_NEAR( stage.moTranslation.x, row.moved.x, 1e-6f );
			EXPECT_NEAR( stage.moTranslation.y, row.moved.y, 1e-6f );
			EXPECT_NEAR( stage.moTranslation.z, row.moved.z, 1e-6f );
		} );
		const DTVector3d after = WorldPos( *OwnerOf( body ) );
		ASSERT_TRUE( std::isfinite( after.x ) && std::isfinite( after.y ) && std::isfinite( after.z ) );
		EXPECT_NEAR( after.x - before.x, row.moved.x, 1e-6f );
		EXPECT_NEAR( after.y - before.y, row.moved.y, 1e-6f );
		EXPECT_NEAR( after.z - before.z, row.moved.z, 1e-6f );
	}
}

TEST_F( EFCollisionStageTest, AVelocityPressedIntoSeveralPlanesSlidesAlongThem ) {
	const DTVector3d floor( 0, 1, 0 );
	const DTVector3d wall( -1, 0, 0 );
	// Two slopes of a valley running along z: their normals are more than
	// 90 degrees apart.
	const DTVector3d left = Unit( 0.8f, 0.6f, 0 );
	const DTVector3d right = Unit( -0.8f, 0.6f, 0 );
	struct Row {
		const char*				name;
		std::vector<DTVector3d>	normals;
		DTVector3d				velocity;
		DTVector3d				slid;
	} rows[] = {
		{ "one contact changes nothing", { floor }, DTVector3d( 3, -1, 2 ), DTVector3d( 3, -1, 2 ) },
		{ "floor and wall take both normal parts", { floor, wall }, DTVector3d( 3, -1, 2 ), DTVector3d( 0, 0, 2 ) },
		{ "moving off the wall keeps that part", { floor, wall }, DTVector3d( -3, -1, 2 ), DTVector3d( -3, 0, 2 ) },
		{ "a wedge keeps the crease motion", { left, right }, DTVector3d( 0.5f, -1, 2 ), DTVector3d( 0, 0, 2 ) },
		{ "a third plane stops the crease", { left, right, DTVector3d( 0, 0, -1 ) }, DTVector3d( 0.5f, -1, 2 ),
		  DTVector3d() },
		{ "a tiny press is no press", { floor, wall }, DTVector3d( 0.00005f, -0.00005f, 1 ), DTVector3d( 0.00005f, -0.00005f, 1 ) },
	};
	EFPhysic* const body = MakeBody( PLAIN, EF_PHYSIC_DYNAMIC | EF_PHYSIC_COLLIDING );
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFDynamicPhysic record = RecordOf( body );
		EFCollisionStage stage = StageOf( record );
		std::vector<EFContactReport> contacts( row.normals.size() );
		for ( size_t i = contacts.size(); i-- > 0; ) {
			contacts[i] = { row.normals[i], nullptr, nullptr, nullptr, stage.mpoContactList };
			stage.mpoContactList = &contacts[i];
		}
		DTVector3d v = row.velocity;
		stage.SolveMultipleCollisions( v );
		EXPECT_NEAR( v.x, row.slid.x, 1e-5f );
		EXPECT_NEAR( v.y, row.slid.y, 1e-5f );
		EXPECT_NEAR( v.z, row.slid.z, 1e-5f );
	}
}

TEST_F( EFCollisionStageTest, ARetreatingBodyCarriesItsShareAndOneOutrunningTheVelocityIsSkipped ) {
	EFPhysic* const body = MakeBody( PLAIN, EF_PHYSIC_DYNAMIC | EF_PHYSIC_COLLIDING );
	EFPhysic* const other = MakeBody( PLAIN + 1, EF_PHYSIC_DYNAMIC | EF_PHYSIC_COLLIDING );
	EFDynamicPhysic record = RecordOf( body );
	EFCollisionStage stage = StageOf( record );
	EFContactReport wall = { DTVector3d( -1, 0, 0 ), nullptr, nullptr, nullptr, nullptr };
	EFContactReport pusher = { DTVector3d( 0, 1, 0 ), other, nullptr, nullptr, &wall };
	stage.mpoContactList = &pusher;
	// The body below moves away at -1 along its normal: of the press of -2
	// half goes with it.
	other->moVelocity = DTVector3d( 0, -1, 0 );
	DTVector3d v( 1, -2, 0 );
	stage.SolveMultipleCollisions( v );
	EXPECT_NEAR( v.x, 0.0f, 1e-6f );
	EXPECT_NEAR( v.y, -1.0f, 1e-6f );
	// Retreating faster than the press: that contact does not hold.
	other->moVelocity = DTVector3d( 0, -3, 0 );
	v = DTVector3d( 1, -2, 0 );
	stage.SolveMultipleCollisions( v );
	EXPECT_NEAR( v.x, 0.0f, 1e-6f );
	EXPECT_NEAR( v.y, -2.0f, 1e-6f );
}

TEST_F( EFCollisionStageTest, ATranslationStopsInFrontOfTheFirstBlockingPolygon ) {
	ToolColAttribs oneSided;
	ToolColAttribs twoSided;
	twoSided.flags = 0x1;
	ToolColMap scene;
	scene.attribs = { oneSided, twoSided };
	// A one-sided wall at x = 1 facing -x and a two-sided one at z = 1.
	scene.polygons = { WallFacingMinusX( 1.0f, 2.0f, 0 ), WallFacingMinusZ( 1.0f, 2.0f, 1 ) };
	AddWorld( scene );
	EFPhysic* const body = MakeBody( PLAIN, EF_PHYSIC_DYNAMIC | EF_PHYSIC_COLLIDING );
	EFEnvCollisionPrim* found[8] = {};
	EFGetPrimitivesInSphereData query = { DTSphere( DTVector3d(), 10.0f ), 0x1, 0, found, 8 };
	const u32 count = manager.GetPrimitivesInSphere( &query );
	ASSERT_EQ( count, 2u );
	struct Row {
		const char*	name;
		DTVector3d	start;
		DTVector3d	move;
		u32			detect;
		u32			stopped;
		DTVector3d	kept;
	} rows[] = {
		{ "stops 0.01 before the wall", DTVector3d(), DTVector3d( 2, 0, 0 ), 1, 1, DTVector3d( 0.99f, 0, 0 ) },
		{ "a start within 0.01 stops at once", DTVector3d( 0.995f, 0, 0 ), DTVector3d( 2, 0, 0 ), 1, 1, DTVector3d() },
		{ "a start on the plane stops at once", DTVector3d( 1, 0, 0 ), DTVector3d( 2, 0, 0 ), 1, 1, DTVector3d() },
		{ "leaving the plane forward passes", DTVector3d( 1, 0, 0 ), DTVector3d( -2, 0, 0 ), 1, 0, DTVector3d( -2, 0, 0 ) },
		{ "a move short of the wall is kept", DTVector3d(), DTVector3d( 0.5f, 0, 0 ), 1, 0, DTVector3d( 0.5f, 0, 0 ) },
		{ "the back of a one-sided wall passes", DTVector3d( 2, 0, 0 ), DTVector3d( -2, 0, 0 ), 1, 0,
		  DTVector3d( -2, 0, 0 ) },
		{ "the back of a two-sided wall blocks", DTVector3d( 0, 0, 2 ), DTVector3d( 0, 0, -2 ), 1, 1,
		  DTVector3d( 0, 0, -0.99f ) },
		{ "beside the wall passes", DTVector3d( 0, 3, 0 ), DTVector3d( 2, 0, 0 ), 1, 0, DTVector3d( 2, 0, 0 ) },
		{ "undetected walls pass", DTVector3d(), DTVector3d( 2, 0, 0 ), 2, 0, DTVector3d( 2, 0, 0 ) },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFDynamicPhysic record = RecordOf( body );
		EFCollisionStage stage = StageOf( record );
		stage.mppoEnvPrims = found;
		stage.mui32NbEnvPrims = count;
		DTVector3d move = row.move;
		EXPECT_EQ( stage.ValidateTranslation( row.start, move, row.detect, 0 ), row.stopped );
		EXPECT_NEAR( move.x, row.kept.x, 1e-6f );
		EXPECT_NEAR( move.y, row.kept.y, 1e-6f );
		EXPECT_NEAR( move.z, row.kept.z, 1e-6f );
	}
}

TEST_F( EFCollisionStageTest, AStageHoldsFifteenPrimitivesOwnSlotsFirstThenAttachedChildren ) {
	EFPhysic* const parent = MakeBody( PLAIN, EF_PHYSIC_DYNAMIC | EF_PHYSIC_COLLIDING, 10 );
	GivePrim( parent, 3, { 0 } );
	EFPhysic* const first = MakeBody( PLAIN + 1, EF_PHYSIC_DYNAMIC, 4 );
	EFPhysic* const second = MakeBody( PLAIN + 2, EF_PHYSIC_DYNAMIC, 4 );
	EFPhysic* const loose = MakeBody( PLAIN + 3, EF_PHYSIC_DYNAMIC, 4 );
	OwnerOf( parent )->AddChild( OwnerOf( first ), EF_ATTACH_SET_POS_FLAG );
	OwnerOf( parent )->AddChild( OwnerOf( second ), EF_ATTACH_SET_POS_FLAG );
	// Attached without the flag: not part of the parent's stage.
	OwnerOf( parent )->AddChild( OwnerOf( loose ), 0 );
	EFDynamicPhysic record = RecordOf( parent );
	EFCollisionStage stage = StageOf( record );
	stage.InitColPrims();
	ASSERT_EQ( stage.mui32NbPrims, 15u );
	// Slot indices are the model's, nulls included.
	EXPECT_EQ( stage.mapoPrims[3], parent->moCollisionModel.mppoPrimArray[3] );
	EXPECT_EQ( stage.mapoPrims[0], nullptr );
	std::vector<EFPhysic*> owners( stage.mapoPrimOwners, stage.mapoPrimOwners + 15 );
	// Children come newest first: the second attached, then one slot of
	// the first.
	const std::vector<EFPhysic*> expected = { parent, parent, parent, parent, parent, parent, parent, parent,
											  parent, parent, second, second, second, second, first };
	EXPECT_EQ( owners, expected );

	EFPhysic* const large = MakeBody( PLAIN + 4, EF_PHYSIC_DYNAMIC | EF_PHYSIC_COLLIDING, 20 );
	EFDynamicPhysic largeRecord = RecordOf( large );
	EFCollisionStage largeStage = StageOf( largeRecord );
	largeStage.InitColPrims();
	EXPECT_EQ( largeStage.mui32NbPrims, 15u );
	EXPECT_EQ( largeStage.mapoPrimOwners[14], large );
}

TEST_F( EFCollisionStageTest, AnEnvironmentRecordLostIsNotedUnlessOneOfItsKindHoldsTheMemberAlike ) {
	// The stage holds one record (of a kind, against a polygon or a body,
	// with a normal) when a record of a kind with normal (0, 1, 0) is lost.
	const DTVector3d up( 0, 1, 0 );
	struct Row {
		const char*	name;
		u32			heldKind;		// 0: nothing held
		bool		heldAgainstPolygon;
		DTVector3d	heldNormal;
		u32			lostKind;
		bool		noted;
	} rows[] = {
		{ "nothing held", 0, true, up, EF_STAGE_LOST_CONTACT, true },
		{ "a contact alike", EF_STAGE_LOST_CONTACT, true, Unit( 0.1f, 1, 0 ), EF_STAGE_LOST_CONTACT, false },
		{ "a contact with a wall", EF_STAGE_LOST_CONTACT, true, DTVector3d( 1, 0, 0 ), EF_STAGE_LOST_CONTACT, true },
		{ "a contact with a body", EF_STAGE_LOST_CONTACT, false, up, EF_STAGE_LOST_CONTACT, true },
		{ "a push alike", EF_STAGE_LOST_PUSH, true, up, EF_STAGE_LOST_PUSH, false },
		{ "a report alike", EF_STAGE_LOST_REPORT, true, up, EF_STAGE_LOST_REPORT, false },
		{ "a report from a body", EF_STAGE_LOST_REPORT, false, up, EF_STAGE_LOST_REPORT, true },
		{ "a push for a lost report", EF_STAGE_LOST_PUSH, true, up, EF_STAGE_LOST_REPORT, true },
	};
	EFPhysic* const body = MakeBody( PLAIN, EF_PHYSIC_DYNAMIC | EF_PHYSIC_COLLIDING );
	EFEnvCollisionPrim polygon = {};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFDynamicPhysic record = RecordOf( body );
		EFCollisionStage stage = StageOf( record );
		EFEnvCollisionPrim* const against = row.heldAgainstPolygon ? &polygon : nullptr;
		EFContactReport contact = { row.heldNormal, row.heldAgainstPolygon ? nullptr : body, nullptr, against,
									nullptr };
		EFPushRecord push = { row.heldNormal, 0.1f, EF_ENV_PUSH_PRIORITY, 1.0f, nullptr };
		EFCollisionReport report = {};
		report.moNormal = row.heldNormal;
		report.mpoEnvPrim = against;
		stage.mpoContactList = row.heldKind == EF_STAGE_LOST_CONTACT ? &contact : nullptr;
		stage.mpoPushList = row.heldKind == EF_STAGE_LOST_PUSH ? &push : nullptr;
		stage.mpoNewReports = row.heldKind == EF_STAGE_LOST_REPORT ? &report : nullptr;
		stage.LoseEnvRecord( row.lostKind, up );
		EXPECT_EQ( stage.mui32LostRecords, row.noted ? row.lostKind : 0u );
	}
}

}
