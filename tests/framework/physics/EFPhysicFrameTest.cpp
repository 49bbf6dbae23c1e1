#include "framework/physics/PhysicsTestBench.h"

#include "framework/core/world/EFGameObjectFlags.h"
#include "framework/core/world/EFInstanceFlags.h"
#include "framework/physics/EFCollisionData.h"
#include "framework/physics/EFCollisionModel.h"
#include "framework/physics/EFPhysicMgr.h"
#include "platform/os/OSHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr f32 DT = 1.0f / 60.0f;
constexpr u32 ALL_PHASES = EF_DM_PHASE_PRE | EF_DM_PHASE_COL | EF_DM_PHASE_POST;

class EFPhysicFrameTest : public PhysicsTestBench {};

TEST_F( EFPhysicFrameTest, ADeletedBodyIsSkippedByFramesAndRaysThenGoes ) {
	EFPhysic* const body = MakeBody( 0x2A000001, EF_PHYSIC_DYNAMIC, 1 );
	std::vector<std::string> log;
	CountingModule* const module = new CountingModule( EF_DM_PHASE_PRE | EF_DM_PHASE_POST | 4, body, &log, "m" );
	module->mui32ContextMask = 1;
	body->mui32CurrentContext = 1;
	body->LinkModule( module );
	ScriptedPrim* const prim = GivePrim( body, 0, { 0, 1 } );
	prim->rayHit = 0.5f;
	body->moCollisionModel.moPhysicBSphere.mfRadius = 1.0f;
	const RayIntersectIn ray = { DTVector3d( -5.0f, 0.0f, 0.0f ), DTVector3d( 10.0f, 0.0f, 0.0f ), 1, 0, 0, 0, 0 };
	EFRayIntersectOut out = {};

	manager.Update( DT );
	EXPECT_EQ( log, ( std::vector<std::string>{ "m:pre", "m:post" } ) );
	EXPECT_EQ( manager.RayIntersect( ray, out ), PS_RAY_OBJ );
	EXPECT_EQ( out.poObjCollider, body );
	EXPECT_EQ( out.oIntersectionPoint.x, 0.0f );

	log.clear();
	const u32 rayTests = prim->rayTests;
	manager.DeletePhysic( body );
	manager.Update( DT );
	EXPECT_TRUE( log.empty() );
	EXPECT_EQ( manager.RayIntersect( ray, out ), PS_RAY_NONE );
	EXPECT_EQ( prim->rayTests, rayTests );

	EFGameObject* const owner = OwnerOf( body );
	manager.UpdateDeletedPhysic();
	EXPECT_EQ( owner->mpoPhysic, nullptr );
	EXPECT_EQ( manager.GetFirstPhysic( 0 ), nullptr );
}

TEST_F( EFPhysicFrameTest, AModuleRunsWhenActiveInContextOrOnceInEachPhase ) {
	struct Row {
		u32			flags;
		u32			mask;
		u32			context;
		const char*	first;		// phases run in the first round
		const char*	second;
	} rows[] = {
		// A new module (mask 0) waits for logic.
		{ EF_DM_ACTIVE, 0, 1, "", "" },
		{ EF_DM_ACTIVE, 2, 2, "pre col post", "pre col post" },
		{ EF_DM_ACTIVE, 2, 1, "", "" },
		{ 0, 2, 2, "", "" },
		{ EF_DM_ONCE_PRE | EF_DM_ONCE_COL | EF_DM_ONCE_POST, 0, 0, "pre col post", "" },
		{ EF_DM_ACTIVE | EF_DM_ONCE_COL, 0, 1, "col", "" },
		{ EF_DM_ONCE_POST, 2, 2, "post", "" },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.first );
		EFPhysic body( nullptr, 0 );
		body.mui32PhysicFlags = EF_PHYSIC_DYNAMIC;
		body.NormalizeFlags();
		body.mui32CurrentContext = row.context;
		std::vector<std::string> log;
		CountingModule* const module = new CountingModule( ALL_PHASES | 5, &body, &log, "m" );
		module->mui32Flags = row.flags;
		module->mui32ContextMask = row.mask;
		body.LinkModule( module );
		// The pre phase clears its run-once flag before the call, the
		// others after it.
		std::vector<u32> seen;
		module->onPre = [&] { seen.push_back( module->mui32Flags & EF_DM_ONCE_PRE ); };
		module->onCol = [&] { seen.push_back( module->mui32Flags & EF_DM_ONCE_COL ); };
		module->onPost = [&] { seen.push_back( module->mui32Flags & EF_DM_ONCE_POST ); };
		for ( const char* expected : { row.first, row.second } ) {
			log.clear();
			EFDynamicPhysic record = RecordOf( &body );
			body.PreCollisionUpdate( DT, record );
			EFCollisionData data = {};
			body.CollisionUpdate( nullptr, data, DT );
			body.PostCollisionUpdate( DT, nullptr, record );
			std::string phases;
			for ( const std::string& call : log ) {
				phases += ( phases.empty() ? "" : " " ) + call.substr( 2 );
			}
			EXPECT_EQ( phases, expected );
		}
		if ( ( row.flags & EF_DM_ONCE_PRE ) != 0 && ( row.flags & EF_DM_ONCE_COL ) != 0 ) {
			EXPECT_EQ( seen, ( std::vector<u32>{ 0, EF_DM_ONCE_COL, EF_DM_ONCE_POST } ) );
		}
		EXPECT_EQ( module->mui32Flags & ( EF_DM_ONCE_PRE | EF_DM_ONCE_COL | EF_DM_ONCE_POST ), 0u );
	}
}

TEST_F( EFPhysicFrameTest, APreModuleReturningZeroIsGoneBeforeTheNextRuns ) {
	EFPhysic body( nullptr, 0 );
	body.mui32CurrentContext = 1;
	std::vector<std::string> log;
	CountingModule* const first = new CountingModule( EF_DM_PHASE_PRE | 4, &body, &log, "a" );
	CountingModule* const second = new CountingModule( EF_DM_PHASE_PRE | 4, &body, &log, "b" );
	for ( CountingModule* module : { first, second } ) {
		module->mui32ContextMask = 1;
		body.LinkModule( module );
	}
	const u32 handle = first->mui32Handle;
	first->keep = 0;
	EFPhysicModule* seenBySecond = reinterpret_cast<EFPhysicModule*>( 1 );
	second->onPre = [&] { seenBySecond = manager.GetModule( handle ); };
	EFDynamicPhysic record = RecordOf( &body );
	body.PreCollisionUpdate( DT, record );
	EXPECT_EQ( log, ( std::vector<std::string>{ "a:pre", "b:pre" } ) );
	EXPECT_EQ( seenBySecond, nullptr );
	EXPECT_EQ( body.mpoPreColDM, second );
	EXPECT_EQ( body.FindModule( 4, nullptr ), second );
}

TEST_F( EFPhysicFrameTest, AModuleMayDeleteItsSuccessorOrItselfDuringTheWalk ) {
	struct Row {
		const char*	name;
		u32			victim;		// index deleted by a's pre update
		u32			keepOfA;
		const char*	expected;
	} rows[] = {
		{ "a deletes b", 1, 1, "a:pre c:pre" },
		{ "a deletes itself", 0, 0, "a:pre b:pre c:pre" },
		{ "a deletes c", 2, 1, "a:pre b:pre" },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFPhysic body( nullptr, 0 );
		body.mui32CurrentContext = 1;
		std::vector<std::string> log;
		CountingModule* modules[3];
		const char* names[3] = { "a", "b", "c" };
		for ( u32 i = 0; i < 3; i++ ) {
			modules[i] = new CountingModule( EF_DM_PHASE_PRE | EF_DM_PHASE_POST | 7, &body, &log, names[i] );
			modules[i]->mui32ContextMask = 1;
			body.LinkModule( modules[i] );
		}
		modules[0]->keep = row.keepOfA;
		modules[0]->onPre = [&] { delete modules[row.victim]; };
		EFDynamicPhysic record = RecordOf( &body );
		body.PreCollisionUpdate( DT, record );
		std::string calls;
		for ( const std::string& call : log ) {
			calls += ( calls.empty() ? "" : " " ) + call;
		}
		EXPECT_EQ( calls, row.expected );
		EXPECT_EQ( manager.GetModuleCount(), 2u );
	}
}

TEST_F( EFPhysicFrameTest, DynamicBodiesMoveByVelocityAndFlagOnlyTheirOwner ) {
	struct Row {
		u32			flags;
		DTVector3d	velocity;
		bool		moves;
		bool		flagged;
	} rows[] = {
		{ EF_PHYSIC_DYNAMIC, DTVector3d( 60.0f, -120.0f, 30.0f ), true, true },
		// Below 2^-23 a frame step moves nothing, yet the body counts as
		// moved.
		{ EF_PHYSIC_DYNAMIC, DTVector3d( 1e-7f * 60.0f, 0.0f, -1e-7f * 60.0f ), false, true },
		{ EF_PHYSIC_DYNAMIC, DTVector3d( 0.0f, 2e-7f * 60.0f, 0.0f ), true, true },
		{ 0, DTVector3d( 60.0f, 0.0f, 0.0f ), false, false },
		{ EF_PHYSIC_DYNAMIC | EF_PHYSIC_PAUSED, DTVector3d( 60.0f, 0.0f, 0.0f ), false, false },
	};
	u32 id = 0x2A000100;
	for ( const Row& row : rows ) {
		SCOPED_TRACE( id );
		EFPhysic* const body = MakeBody( id++, row.flags, 0, 10.0f, 0.0f, 0.0f );
		EFGameObject* const bystander = MakeObject( id++ );
		body->moVelocity = row.velocity;
		OwnerOf( body )->muiFlags |= EF_INSTANCE_MOVED;
		const DTVector3d before = WorldPos( *OwnerOf( body ) );
		manager.Update( DT );
		const DTVector3d after = WorldPos( *OwnerOf( body ) );
		const DTVector3d expected = row.moves ? before + row.velocity * DT : before;
		EXPECT_FLOAT_EQ( after.x, expected.x );
		EXPECT_FLOAT_EQ( after.y, expected.y );
		EXPECT_FLOAT_EQ( after.z, expected.z );
		EXPECT_EQ( ( OwnerOf( body )->muiFlags & EF_INSTANCE_MOVED ) != 0, row.flagged );
		EXPECT_EQ( bystander->muiFlags & EF_INSTANCE_MOVED, 0u );
		manager.DeletePhysic( body );
		manager.UpdateDeletedPhysic();
	}
}

TEST_F( EFPhysicFrameTest, ModelTranslationMovesTheFrameAndFlagsEveryDescendant ) {
	EFPhysic* const body = MakeBody( 0x2A000001, 0, 1 );
	EFGameObject* const parent = OwnerOf( body );
	EFGameObject* const child = MakeObject( 0x2A000002 );
	EFGameObject* const grandchild = MakeObject( 0x2A000003 );
	EFGameObject* const sibling = MakeObject( 0x2A000004 );
	EFGameObject* const stranger = MakeObject( 0x2A000005 );
	parent->AddChild( child, 0 );
	parent->AddChild( sibling, 0 );
	child->AddChild( grandchild, 0 );
	ScriptedPrim* const prim = GivePrim( body, 0, {} );
	prim->moPrimPos = DTVector3d();
	EFCollisionModel& model = body->moCollisionModel;
	model.moPhysicBSphereWPos = DTVector3d();
	const struct {
		DTVector3d	move;
		bool		framed;
	} steps[] = {
		{ DTVector3d( 1.0f, 2.0f, 3.0f ), true },
		{ DTVector3d( 1e-7f, -1e-7f, 0.0f ), false },
	};
	DTVector3d expected;
	for ( const auto& step : steps ) {
		for ( EFGameObject* object : { parent, child, grandchild, sibling, stranger } ) {
			object->muiFlags &= ~EF_INSTANCE_MOVED;
		}
		const DTVector3d before = WorldPos( *parent );
		model.Translate( step.move );
		expected += step.move;
		const DTVector3d after = WorldPos( *parent );
		EXPECT_EQ( after.x, step.framed ? before.x + step.move.x : before.x );
		EXPECT_EQ( model.moPhysicBSphereWPos.x, expected.x );
		EXPECT_EQ( prim->moPrimPos.y, expected.y );
		for ( EFGameObject* object : { parent, child, grandchild, sibling } ) {
			EXPECT_NE( object->muiFlags & EF_INSTANCE_MOVED, 0u ) << object->GetUID();
		}
		EXPECT_EQ( stranger->muiFlags & EF_INSTANCE_MOVED, 0u );
	}
}

TEST_F( EFPhysicFrameTest, BookkeepingCountsPausedFramesAndTheFrameNumberNeverResets ) {
	EFPhysic* const body = MakeBody( 0x2A000001, EF_PHYSIC_DYNAMIC );
	// An object that keeps running while the world is paused.
	OwnerOf( body )->muiLogicFlags &= ~EF_LF_PAUSE_SETS_BITS;
	CountingModule* const module = new CountingModule( EF_DM_PHASE_PRE | 4, body, nullptr, "m" );
	module->mui32ContextMask = 1;
	body->mui32CurrentContext = 1;
	body->LinkModule( module );
	u32 inFrame[3] = {};
	module->onPre = [&] {
		inFrame[0] = manager.GetFlaggedFrameCount();
		inFrame[1] = manager.GetFrameFlag();
		inFrame[2] = manager.GetPreviousFrameFlag();
	};
	const struct {
		bool	paused;
		u32		flagged;	// during the frame
		u32		flag;
		u32		previous;
		u32		flaggedAfter;
	} frames[] = {
		{ false, 0, 0, 0, 0 }, { true, 1, 1, 0, 1 }, { true, 2, 1, 1, 2 }, { false, 2, 0, 1, 0 }, { true, 1, 1, 0, 1 },
	};
	const u32 start = manager.GetCurrentSaveCount();
	u32 number = start;
	for ( const auto& frame : frames ) {
		gpoWorldMgr->Pause( frame.paused );
		manager.Update( DT );
		EXPECT_EQ( manager.GetCurrentSaveCount(), ++number );
		EXPECT_EQ( inFrame[0], frame.flagged ) << number - start;
		EXPECT_EQ( inFrame[1], frame.flag ) << number - start;
		EXPECT_EQ( inFrame[2], frame.previous ) << number - start;
		EXPECT_EQ( manager.GetFlaggedFrameCount(), frame.flaggedAfter ) << number - start;
		EXPECT_EQ( manager.GetPreviousFrameFlag(), frame.flag );
	}
	gpoWorldMgr->Pause( false );
	manager.Terminate();
	EXPECT_EQ( manager.GetCurrentSaveCount(), number );
	EXPECT_EQ( manager.GetFlaggedFrameCount() + manager.GetFrameFlag() + manager.GetPreviousFrameFlag(), 0u );
}

TEST_F( EFPhysicFrameTest, ABodyFallsOnItsFirstFrameAndTellsOnlyTheBitsAskedFor ) {
	struct Row {
		f32		vy;
		u32		notify;
		u32		state;
		bool	told;
	} rows[] = {
		{ -1.6f, EF_STATE_FALLING, EF_STATE_FALLING, true },
		{ -1.5f, EF_STATE_FALLING, 0, false },
		{ -1.6f, EF_STATE_ON_FLOOR, EF_STATE_FALLING, false },
		{ -1.6f, 0, EF_STATE_FALLING, false },
	};
	u32 id = 0x2A000200;
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.vy );
		gPhysicsNotes.clear();
		EFPhysic* const body = MakeBody( id, EF_PHYSIC_DYNAMIC );
		body->moVelocity = DTVector3d( 0.0f, row.vy, 0.0f );
		body->mui32StateChangeNotifyBits = row.notify;
		manager.Update( DT );
		EXPECT_EQ( body->mui32PhysicState, row.state );
		const std::vector<PhysicsNote> notes = Notes( NO_PHYSIC_STATECHANGE );
		ASSERT_EQ( notes.size(), row.told ? 1u : 0u );
		if ( row.told ) {
			EXPECT_EQ( notes[0].target, id );
			EXPECT_EQ( notes[0].words, ( std::vector<u32>{ row.state, row.state } ) );
		}
		// Landing ends the fall: the change is told again.
		body->moVelocity = DTVector3d();
		gPhysicsNotes.clear();
		manager.Update( DT );
		EXPECT_EQ( body->mui32PhysicState, 0u );
		EXPECT_EQ( Notes( NO_PHYSIC_STATECHANGE ).size(), row.told ? 1u : 0u );
		manager.DeletePhysic( body );
		manager.UpdateDeletedPhysic();
		id++;
	}
}

TEST_F( EFPhysicFrameTest, OnlyBodiesOfWorldObjectsAreSimulatedWhicheverListHoldsThem ) {
	// A world object whose body its creator put in list 1.
	EFGameObject* const object = MakeObject( 0x2A000001, 4.0f, 1.0f, 2.0f );
	object->mpoPhysic = manager.CreatePhysic( object, 1 );
	EFPhysic* const listed = object->mpoPhysic;
	listed->moCollisionModel.SetMaxPrims( 1 );
	GivePrim( listed, 0, { 0, 0x10, 0x20, 0, 0, 0x1 } );
	listed->moCollisionModel.moPhysicBSphere = { DTVector3d( 0.0f, 0.5f, 0.0f ), 1.0f };
	// A body of an instance that is no world object (a camera, say).
	EFPhysicData loner;
	loner.CreateFrame( nullptr );
	loner.CreatePhysic( 1 );
	loner.mpoPhysic->moCollisionModel.SetMaxPrims( 1 );
	GivePrim( loner.mpoPhysic, 0, { 0, 0x10, 0x20 } );
	for ( u32 frame = 0; frame < 2; frame++ ) {
		manager.Update( DT );
	}
	const EFCollisionModel& model = listed->moCollisionModel;
	EXPECT_EQ( model.muiCollisionType, 0x10u );
	EXPECT_EQ( model.muiCollisionDetectType, 0x20u );
	EXPECT_EQ( model.muiEnvDetectType, 0x1u );
	EXPECT_FLOAT_EQ( model.moPhysicBSphereWPos.x, 4.0f );
	EXPECT_FLOAT_EQ( model.moPhysicBSphereWPos.y, 1.5f );
	EXPECT_FLOAT_EQ( model.moPhysicBSphereWPos.z, 2.0f );
	EXPECT_EQ( loner.mpoPhysic->moCollisionModel.muiCollisionType, 0u );
	// The ray meets no model whose masks were never gathered.
	const RayIntersectIn ray = { DTVector3d( 0.0f, 0.0f, -5.0f ), DTVector3d( 0.0f, 0.0f, 10.0f ), 0x10, 0, 0, 0, 0 };
	EFRayIntersectOut out = {};
	EXPECT_EQ( manager.RayIntersect( ray, out ), PS_RAY_NONE );
	manager.DestroyPhysic( loner.mpoPhysic );
}

TEST_F( EFPhysicFrameTest, AShortWorkMemoryNeverOverrunsAndThePoolsFallBackOnTheHeap ) {
	MakeBody( 0x2A000001, 0 );
	const u32 record = sizeof( EFDynamicPhysic );
	const u32 header = DTQuickPool<EFCollisionReport>::ChunkHeaderSize();
	struct Row {
		u32		bytes;			// of work memory, beyond the two records
		u32		reports;		// reports a frame can take
	} rows[] = {
		// Less than a block header left: the heap alone.
		{ 0, EF_POOL_HEAP_RECORDS },
		{ 8, EF_POOL_HEAP_RECORDS },
		// A header and three reports, then the heap.
		{ 16 + 3 * sizeof( EFCollisionReport ), 3 + EF_POOL_HEAP_RECORDS },
		{ WORK_BYTES / 2, EF_POOL_WORK_RECORDS + EF_POOL_HEAP_RECORDS },
	};
	ASSERT_EQ( header, 16u );
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.bytes );
		// Two records (this body and the frame helper), rounded to the
		// alignment of every carving.
		const u32 records = ( 2 * record + 15 ) / 16 * 16;
		UseWorkMemory( ( records + row.bytes + 15 ) / 16 * 16 );
		u32 taken = 0;
		RunInFrame( [&] {
			while ( manager.TakeReport() != nullptr ) {
				taken++;
			}
		} );
		EXPECT_EQ( taken, row.reports );
		EXPECT_LE( manager.GetWorkMemoryHighWater(), records + row.bytes + 15 );
	}
	EXPECT_EQ( manager.TakeReport(), nullptr );
}

std::vector<std::string> gReports;

void RecordReport( const char* text ) {
	gReports.emplace_back( text );
}

TEST_F( EFPhysicFrameTest, TakersPastThePoolsLimitGetNothingAndAreToldOnceAFrame ) {
	const OSHostReportHook previous = OSHostSetReportHook( &RecordReport );
	gReports.clear();
	for ( u32 frame = 0; frame < 2; frame++ ) {
		u32 contacts = 0;
		u32 pushes = 0;
		RunInFrame( [&] {
			for ( u32 i = 0; i < 400; i++ ) {
				contacts += manager.TakeContact() != nullptr ? 1 : 0;
				pushes += manager.TakePush() != nullptr ? 1 : 0;
			}
		} );
		EXPECT_EQ( contacts, EF_POOL_WORK_RECORDS + EF_POOL_HEAP_RECORDS );
		EXPECT_EQ( pushes, EF_POOL_WORK_RECORDS + EF_POOL_HEAP_RECORDS );
	}
	OSHostSetReportHook( previous );
	EXPECT_EQ( gReports.size(), 2u );
}

}
