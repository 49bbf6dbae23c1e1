/*
	Behaviour modules through their handles: creation by type id,
	activation and run-once phases, order within a phase, state bits and
	their notification, invalid handles, lookup by type, the stored
	object id and the frame-gap rule.
*/
#include "framework/behaviour/BehaviourTestBench.h"

#include "framework/behaviour/EFDMAcceleration.h"
#include "framework/behaviour/EFDMGroundGrip.h"
#include "framework/behaviour/EFDMHelpers.h"
#include "framework/behaviour/EFDMRopeSlide.h"
#include "framework/behaviour/EFDMRotate.h"
#include "framework/physics/EFCollisionData.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr u32 OBJECT = 0x2A000100;

class EFDMInterfaceTest : public BehaviourTestBench {
protected:
	// A counting module of type word type on body, linked, its handle.
	CountingModule* Counting( EFPhysic* body, const u32 type, const std::string& name ) {
		CountingModule* const module = new CountingModule( type, body, &log, name );
		body->LinkModule( module );
		return module;
	}

	// One collision of the body inside a frame, so that the collision
	// phase runs too.
	void RunPhases( EFPhysic* body ) {
		EFDynamicPhysic record = RecordOf( body );
		body->PreCollisionUpdate( 0.1f, record );
		EFCollisionData data = {};
		data.oNorm = DTVector3d( 0.0f, 0.0f, 1.0f );
		body->CollisionUpdate( nullptr, data, 0.1f );
		body->PostCollisionUpdate( 0.1f, nullptr, record );
	}

	std::vector<std::string> log;
};

TEST_F( EFDMInterfaceTest, ActivationRunsModulesByMaskOrOnceInEachOfTheirPhases ) {
	struct Row {
		const char*					name;
		u32							mask;
		u32							active;	 // DMSetActive value, 2 for none
		u32							isActive;
		std::vector<std::string>	first;
		std::vector<std::string>	second;
	};
	const std::vector<Row> rows = {
		{ "no mask", 0, 2, 0, {}, {} },
		{ "mask meets context", 1, 2, 1, { "m:pre", "m:col", "m:post" }, { "m:pre", "m:col", "m:post" } },
		{ "mask misses context", 2, 2, 0, {}, {} },
		{ "run once", 0, 0xFFFFFFFF, 1, { "m:pre", "m:col", "m:post" }, {} },
		{ "run once over a mask", 1, 0xFFFFFFFF, 1, { "m:pre", "m:col", "m:post" }, {} },
		{ "once, then active again", 1, 1, 1, { "m:pre", "m:col", "m:post" }, { "m:pre", "m:col", "m:post" } },
		{ "switched off", 1, 0, 0, {}, {} },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFPhysic* const body = MakeModuleBody( OBJECT );
		CountingModule* const module = Counting( body, 0x70000005, "m" );
		DMSetContextMask( module->mui32Handle, row.mask );
		if ( row.active == 1 ) {
			DMSetActive( module->mui32Handle, 0xFFFFFFFF );
		}
		if ( row.active != 2 ) {
			DMSetActive( module->mui32Handle, row.active );
		}
		EXPECT_EQ( DMIsActive( module->mui32Handle ), row.isActive );
		log.clear();
		RunPhases( body );
		EXPECT_EQ( log, row.first );
		log.clear();
		RunPhases( body );
		EXPECT_EQ( log, row.second );
		EXPECT_EQ( module->mui32Flags & 0x70, 0u );
		gpoWorldMgr->Terminate();
	}
}

TEST_F( EFDMInterfaceTest, SwitchingOffClearsTheStateSilentlyAndSettingBitsNotifiesOnlyChangedNotifyBits ) {
	MakeModuleBody( OBJECT );
	const u32 handle = Add( OBJECT, EF_DM_ROTATE );
	DMSetStateChangeNotifyBits( handle, 0x6 );
	DMSetStateChangeNotifyBits( handle, 0x10 );
	DMResetStateChangeNotifyBits( handle, 0x10 );
	DMSetStateBits( handle, 0x1 );	 // not a notify bit
	EXPECT_TRUE( gDMStateNotes.empty() );
	DMSetStateBits( handle, 0x3 );
	DMSetStateBits( handle, 0x3 );	 // nothing changes
	DMResetStateBits( handle, 0x2 );
	ASSERT_EQ( gDMStateNotes.size(), 2u );
	const DMStateChangeRecord set = gDMStateNotes[0].record;
	EXPECT_EQ( gDMStateNotes[0].target, OBJECT );
	EXPECT_EQ( std::vector<u32>( { set.ui32Handle, set.ui32Type, set.ui32State, set.ui32Changed } ),
			   std::vector<u32>( { handle, EFDMRotate::TYPE_WORD, 0x3u, 0x2u } ) );
	EXPECT_EQ( gDMStateNotes[1].record.ui32State, 0x1u );
	EXPECT_EQ( gDMStateNotes[1].record.ui32Changed, 0x2u );
	DMSetStateBits( handle, 0x4 );
	DMSetActive( handle, 0 );
	EXPECT_EQ( DMGetState( handle ), 0u );
	EXPECT_EQ( gDMStateNotes.size(), 3u );
	// The exclusive form carries the value twice.
	DMNotifyExclusiveState( *manager.GetModule( handle ), 0x4 );
	ASSERT_EQ( gDMStateNotes.size(), 4u );
	EXPECT_EQ( gDMStateNotes[3].record.ui32State, 0x4u );
	EXPECT_EQ( gDMStateNotes[3].record.ui32Changed, 0x4u );
}

TEST_F( EFDMInterfaceTest, PhasesRunByTypeIdThenCreationOrder ) {
	EFPhysic* const body = MakeModuleBody( OBJECT );
	for ( const auto& [type, name] : std::vector<std::pair<u32, std::string>>{
			  { 0x70000009, "9a" }, { 0x70000002, "2a" }, { 0x70000009, "9b" }, { 0x70000002, "2b" } } ) {
		Counting( body, type, name )->mui32ContextMask = 1;
	}
	RunPhases( body );
	EXPECT_EQ( log, ( std::vector<std::string>{ "2a:pre", "2b:pre", "9a:pre", "9b:pre", "2a:col", "2b:col", "9a:col",
												  "9b:col", "2a:post", "2b:post", "9a:post", "9b:post" } ) );
}

TEST_F( EFDMInterfaceTest, DMAddMakesTheFilledTypesAndNothingElse ) {
	EFPhysic* const body = MakeModuleBody( OBJECT );
	MakeObject( OBJECT + 1 );  // no body
	for ( u32 type = 0; type < 38; type++ ) {
		if ( type == 15 ) {
			continue;
		}
		SCOPED_TRACE( type );
		const u32 handle = DMAdd( OBJECT, type );
		ASSERT_NE( handle, 0u );
		EXPECT_EQ( manager.GetModule( handle )->GetTypeId(), type );
		EXPECT_EQ( manager.GetModule( handle )->mpoOwner, body );
	}
	// The rope slide starts with its cursor on no rope, still, and its
	// defaults.
	const u32 slide = DMAdd( OBJECT, 17 );
	const EFDMRopeSlide& made = *static_cast<const EFDMRopeSlide*>( manager.GetModule( slide ) );
	EXPECT_EQ( made.moCursor.mpoSpline, nullptr );
	EXPECT_EQ( made.moCursor.mui32State, 0u );
	EXPECT_EQ( made.moCursor.mi32Segment, -1 );
	EXPECT_EQ( made.moCursor.mfU, 0.0f );
	EXPECT_EQ( made.moCursor.mfT, 0.0f );
	EXPECT_EQ( made.mfSlideSpeed, 0.0f );
	EXPECT_EQ( made.mfSwingAngle, 0.0f );
	EXPECT_EQ( made.mfSwingRate, 0.0f );
	DMRopeSlideParams params = {};
	DMGetParams( slide, &params );
	const DMRopeSlideParams defaults = { 0xFFFFFFFF, 0xFFFFFFFF, 5.0f, 4.0f, 0.045f, 0.8f, 5.0f, 24.0f, 0, 4.0f, 8.0f,
										 6.0f, 7.0f, 10.0f, 5.0f, 0xFFFFFFFF, 0.7853982f };
	EXPECT_EQ( std::memcmp( &params, &defaults, sizeof( params ) ), 0 );
	const u32 modules = manager.GetModuleCount();
	for ( const u32 type : { 15u, 38u, 0xFFFFFFFFu } ) {
		EXPECT_EQ( DMAdd( OBJECT, type ), 0u ) << type;
	}
	EXPECT_EQ( DMAdd( OBJECT + 1, 0 ), 0u );
	EXPECT_EQ( DMAdd( 0x2A0009FF, 0 ), 0u );
	EXPECT_EQ( manager.GetModuleCount(), modules );
	EXPECT_EQ( DMTypeRow( 29 )->mui32TypeWord, 0x5000001Du );
	EXPECT_EQ( DMTypeRow( 38 ), nullptr );
}

TEST_F( EFDMInterfaceTest, TheModuleBeyondAFullHandleTableGetsHandleZeroAndStillRuns ) {
	EFPhysic* const body = MakeModuleBody( OBJECT );
	const u32 before = manager.GetModuleCount();
	std::vector<u32> handles;
	for ( u32 i = before; i < EF_MODULE_HANDLE_SLOTS; i++ ) {
		handles.push_back( DMAdd( OBJECT, EF_DM_MOVE ) );
	}
	EXPECT_EQ( std::count( handles.begin(), handles.end(), 0u ), 0 );
	EXPECT_EQ( DMAdd( OBJECT, EF_DM_ACCELERATION ), 0u );
	EFPhysicModule* const last = body->FindModule( EF_DM_ACCELERATION, nullptr );
	ASSERT_NE( last, nullptr );
	EXPECT_EQ( last->mui32Handle, 0u );
	last->mui32ContextMask = 1;
	static_cast<EFDMAcceleration*>( last )->moAcceleration = DTVector3d( 0.0f, 0.0f, 1.0f );
	EFDynamicPhysic record = RecordOf( body );
	body->PreCollisionUpdate( 1.0f, record );
	EXPECT_FLOAT_EQ( body->moVelocity.z, 1.0f );
	// Handle 0 is never valid.
	DMSetContextMask( 0, 0 );
	EXPECT_EQ( last->mui32ContextMask, 1u );
}

TEST_F( EFDMInterfaceTest, StaleHandlesAreRefusedByEveryOperation ) {
	EFPhysic* const body = MakeModuleBody( OBJECT );
	CountingModule* const dying = Counting( body, 0x10000005, "d" );
	dying->mui32ContextMask = 1;
	dying->keep = 0;
	const u32 deleted = dying->mui32Handle;
	RunPhases( body );
	// A slot taken again: fill the table, free one slot, take it again.
	std::vector<u32> handles;
	while ( manager.GetModuleCount() < EF_MODULE_HANDLE_SLOTS ) {
		handles.push_back( DMAdd( OBJECT, EF_DM_ROTATE ) );
	}
	const u32 old = handles[10];
	delete manager.GetModule( old );
	const u32 reused = DMAdd( OBJECT, EF_DM_GROUND_GRIP );
	ASSERT_EQ( reused >> 16, old >> 16 );
	ASSERT_NE( reused, old );
	DMSetStateChangeNotifyBits( reused, 0xFFFFFFFF );
	DMSetContextMask( reused, 1 );
	const u32 stale[] = { deleted, old, 0, ( EF_MODULE_HANDLE_SLOTS << 16 ) | ( old & 0xFFFF ), reused ^ 0x1 };
	for ( const u32 handle : stale ) {
		SCOPED_TRACE( handle );
		DMGroundGripParams params = { 7.0f, 7.0f };
		DMSetParams( handle, &params );
		DMGetParams( handle, &params );
		DMDoAction( handle, 1, nullptr );
		DMSetContextMask( handle, 0 );
		DMSetActive( handle, 0 );
		DMSetStateBits( handle, 0x1 );
		DMResetStateBits( handle, 0x1 );
		DMResetStateChangeNotifyBits( handle, 0xFFFFFFFF );
		EXPECT_EQ( DMIsActive( handle ), 0u );
		EXPECT_EQ( DMGetState( handle ), 0u );
		EXPECT_EQ( params.fGrip, 7.0f );
	}
	const EFDMGroundGrip* const grip = Module<EFDMGroundGrip>( reused );
	EXPECT_EQ( grip->mfGrip, 1.0f );
	EXPECT_EQ( grip->mui32ContextMask, 1u );
	EXPECT_EQ( grip->mui32StateChangeNotifyBits, 0xFFFFFFFFu );
	EXPECT_EQ( DMIsActive( reused ), 1u );
	EXPECT_TRUE( gDMStateNotes.empty() );
}

TEST_F( EFDMInterfaceTest, GetDMWalksTheModulesOfATypeThenGivesZero ) {
	MakeModuleBody( OBJECT );
	MakeModuleBody( OBJECT + 1 );
	const u32 first = DMAdd( OBJECT, EF_DM_GROUND_GRIP );
	DMAdd( OBJECT, EF_DM_ROTATE );
	const u32 second = DMAdd( OBJECT, EF_DM_GROUND_GRIP );
	const u32 elsewhere = DMAdd( OBJECT + 1, EF_DM_GROUND_GRIP );
	EXPECT_EQ( GetDM( OBJECT, EF_DM_GROUND_GRIP, 0 ), first );
	EXPECT_EQ( GetDM( OBJECT, EF_DM_GROUND_GRIP, first ), second );
	EXPECT_EQ( GetDM( OBJECT, EF_DM_GROUND_GRIP, second ), 0u );
	// Another body's module: the walk goes on through that body's list.
	EXPECT_EQ( GetDM( OBJECT, EF_DM_GROUND_GRIP, elsewhere ), 0u );
	const u32 elsewhereToo = DMAdd( OBJECT + 1, EF_DM_GROUND_GRIP );
	EXPECT_EQ( GetDM( OBJECT, EF_DM_GROUND_GRIP, elsewhere ), elsewhereToo );
	EXPECT_EQ( GetDM( OBJECT, EF_DM_MOVE, 0 ), 0u );
	EXPECT_EQ( GetDM( OBJECT + 2, EF_DM_GROUND_GRIP, 0 ), 0u );
}

TEST_F( EFDMInterfaceTest, AStoredRunningObjectIdIsThatObjectsOwn ) {
	EFGameObject* const object = MakeObject( OBJECT );
	EXPECT_EQ( DMStoredObjectId( EF_DM_RUNNING_OBJECT_ID ), EF_DM_RUNNING_OBJECT_ID );
	SetRunning( object );
	EXPECT_EQ( DMStoredObjectId( EF_DM_RUNNING_OBJECT_ID ), OBJECT );
	EXPECT_EQ( DMStoredObjectId( 0x2A000005 ), 0x2A000005u );
	SetRunning( nullptr );
}

TEST_F( EFDMInterfaceTest, AModuleRanInThePreviousFrameUnlessAnUnpausedFrameWasMissed ) {
	struct Row {
		const char*			name;
		std::vector<bool>	missed;	 // paused flag of each frame missed
		bool				ran;
	};
	const std::vector<Row> rows = {
		{ "consecutive", {}, true },
		{ "one missed", { false }, false },
		{ "only paused frames missed", { true, true, true }, true },
		{ "paused then unpaused", { true, false }, false },
		{ "unpaused then paused", { false, true }, false },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		u32 last = 0;
		RunInFrame( [&] { last = manager.GetCurrentSaveCount(); } );
		for ( const bool paused : row.missed ) {
			gpoWorldMgr->Pause( paused );
			manager.Update( 0.1f );
		}
		gpoWorldMgr->Pause( false );
		bool ran = false;
		RunInFrame( [&] { ran = DMRanInPreviousFrame( last ); } );
		EXPECT_EQ( ran, row.ran );
	}
}

}
