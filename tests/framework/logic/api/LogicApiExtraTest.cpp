/*
	The extra table's timers: owned by the object whose logic made them,
	stopped with it, notifying with their id; unknown ids, and
	registrations that another object made and that outlive it.
*/
#include "framework/logic/LogicWorldFixture.h"

#include "datatypes/persist/DTMemoryPersistStream.h"
#include "datatypes/waypoint/DTWaypointGrp.h"
#include "datatypes/waypoint/DTWpGrpMgr.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFGameObjectFlags.h"
#include "framework/core/world/EFNotificationMgr.h"
#include "framework/core/world/EFObjClipping.h"
#include "framework/core/world/EFWorld.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFGameTimer.h"
#include "framework/logic/EFLogicCallbackRecord.h"
#include "framework/logic/api/LogicApiTables.h"
#include "tools/lib/level/ToolWaypointWriter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

constexpr u32 OWNER		= 0x2A000041;
constexpr u32 OTHER		= 0x2A000042;
constexpr u32 UNKNOWN	= 0x2A000099;
constexpr u32 FN_MAKE	= 1;
constexpr u32 FN_HEARD	= 2;

u32					gMade = 0;
std::vector<u32>	gHeard;

s32 MakesATimer( void* ) {
	gMade = APIextra.TimerCreate();
	return 0;
}

s32 Heard( void* data ) {
	gHeard.push_back( static_cast<u32>( reinterpret_cast<uintptr_t>( data ) ) );
	return 0;
}

class LogicApiExtraTest : public LogicWorldFixture {
protected:
	void SetUp() override {
		LogicWorldFixture::SetUp();
		Init_extra();
		LogicFakeModule& module = Module();
		module.SetFunctions( { { FN_MAKE, MakesATimer }, { FN_HEARD, Heard } } );
		owner = AddObject( OWNER, &module );
		other = AddObject( OTHER, &module );
		gHeard.clear();
		// Made by the owner's logic.
		EFLogicCallbackRecord record = EFLogicCallbackRecordOf( owner, FN_MAKE );
		EFGameLogicMgr::ExecLogicCallback( &record, nullptr );
		timer = gMade;
		APIextra.TimerSetFrequency( timer, 1.0f );
	}

	void Run( const f32 seconds ) { manager->Update( seconds ); }

	EFGameObject* owner = nullptr;
	EFGameObject* other = nullptr;
	u32			  timer = 0;
};

TEST_F( LogicApiExtraTest, ATimerBelongsToTheLogicThatMadeItAndStopsWithIt ) {
	ASSERT_NE( timer, 0u );
	EXPECT_EQ( manager->GetTimer( static_cast<s32>( timer ) )->mpGameObjectOwner, owner );
	EXPECT_EQ( giTimerCount, 1 );
	APIextra.TimerRegisterNotify( OWNER, timer, FN_HEARD );
	Run( 1.0f );
	EXPECT_EQ( gHeard, std::vector<u32>{ timer } );	// the id as data

	struct Row {
		const char* name;
		u32			logicFlags;
		u32			clipOps;
	};
	const Row rows[] = {
		{ "the owner's logic paused", EF_LF_PAUSED, 0 },
		{ "the owner clipped with its timers", 0, EF_CLIPOP_NO_TIMERS },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		APIextra.TimerReset( timer );
		owner->muiLogicFlags |= row.logicFlags;
		owner->moClipping.uiClipOps |= row.clipOps;
		Run( 0.5f );
		EXPECT_EQ( APIextra.TimerGetTime( timer ), 0.0f );
		owner->muiLogicFlags &= ~row.logicFlags;
		owner->moClipping.uiClipOps &= ~row.clipOps;
	}
}

TEST_F( LogicApiExtraTest, UnknownTimersAndObjectsChangeNothing ) {
	constexpr u32 NO_TIMER_ID = 0x90FFFFFF;
	APIextra.TimerSetFrequency( NO_TIMER_ID, 3.0f );
	APIextra.TimerPause( NO_TIMER_ID, 1 );
	APIextra.TimerReset( NO_TIMER_ID );
	EXPECT_EQ( APIextra.TimerGetTime( NO_TIMER_ID ), 0.0f );
	EXPECT_EQ( APIextra.TimerGetFrequency( NO_TIMER_ID ), 0.0f );
	APIextra.TimerDestroy( NO_TIMER_ID );
	EXPECT_EQ( giTimerCount, 1 );
	// Nothing registers for an unknown timer or object, nor for a timer
	// without an owner (made outside logic).
	const u32 ownerless = APIextra.TimerCreate();
	EXPECT_EQ( manager->GetTimer( static_cast<s32>( ownerless ) )->mpGameObjectOwner, nullptr );
	APIextra.TimerRegisterNotify( OWNER, NO_TIMER_ID, FN_HEARD );
	APIextra.TimerRegisterNotify( UNKNOWN, timer, FN_HEARD );
	APIextra.TimerRegisterNotify( OWNER, ownerless, FN_HEARD );
	EXPECT_EQ( manager->GetNotificationMgr().GetTargetCount( NO_TIMER ), 0u );
	APIextra.TimerDestroy( ownerless );
	APIextra.TimerDestroy( timer );
	EXPECT_EQ( giTimerCount, 0 );
}

TEST_F( LogicApiExtraTest, OnlyTheObjectThatRegisteredCanStopHearingAndADeadOneHearsNothing ) {
	EFNotificationMgr& notifications = manager->GetNotificationMgr();
	// Another object registers: the registration is keyed on the owner.
	APIextra.TimerRegisterNotify( OTHER, timer, FN_HEARD );
	// The owner asking to stop removes it (its own key).
	APIextra.TimerUnregisterNotify( OWNER, timer );
	EXPECT_EQ( notifications.GetCallerData( NO_TIMER, OWNER, timer ), nullptr );

	// The registrant stops it; an unrelated object does not.
	APIextra.TimerRegisterNotify( OTHER, timer, FN_HEARD );
	EFGameObject* const third = AddObject( 0x2A000043, nullptr );
	APIextra.TimerUnregisterNotify( third->GetUID(), timer );
	EXPECT_NE( notifications.GetCallerData( NO_TIMER, OWNER, timer ), nullptr );
	APIextra.TimerUnregisterNotify( OTHER, timer );
	EXPECT_EQ( notifications.GetCallerData( NO_TIMER, OWNER, timer ), nullptr );

	// The registrant dies: the owner's timer fires into nothing.
	APIextra.TimerRegisterNotify( OTHER, timer, FN_HEARD );
	gpoWorldMgr->RemoveGameObject( OTHER );
	other->Terminate();
	delete other;
	other = nullptr;
	Run( 1.0f );
	EXPECT_TRUE( gHeard.empty() );
	EXPECT_EQ( notifications.GetCallerData( NO_TIMER, OWNER, timer ), nullptr );
}

// A stored group of three points: the index equal to the count is past
// the end, so reading leaves out as it was and writing changes nothing.
TEST_F( LogicApiExtraTest, WaypointsStopAtTheirCount ) {
	constexpr u32 GROUP = 0x5A000007;
	ToolBigEndianWriter bytes;
	ToolWaypointWriter::WriteGroup( bytes, { GROUP, 3, { 1, 2, 3, 4, 5, 6, 7, 8, 9 } } );
	std::vector<char> stored;
	for ( const u8 byte : bytes.Take() ) {
		stored.push_back( static_cast<char>( byte ) );
	}
	DTMemoryPersistStream stream( stored.data(), static_cast<s32>( stored.size() ) );
	DTWaypointGrp* const group = new DTWaypointGrp;
	ASSERT_GE( group->Load( stream ), 0 );
	ASSERT_TRUE( DTWpGrpMgr::moWpGrpMgr.AddWaypointGrp( group, GROUP ) );

	EXPECT_EQ( APIextra.WaypointGetNb( GROUP ), 3u );
	DTVector3d out( -1, -1, -1 );
	EXPECT_EQ( APIextra.WaypointGetPos( GROUP, 2, &out ), &out );
	EXPECT_EQ( out.x, 7.0f );
	EXPECT_EQ( out.z, 9.0f );
	out = DTVector3d( -1, -1, -1 );
	EXPECT_EQ( APIextra.WaypointGetPos( GROUP, 3, &out ), &out );
	EXPECT_EQ( out.x, -1.0f );
	EXPECT_EQ( out.z, -1.0f );
	DTVector3d in( 50, 50, 50 );
	EXPECT_EQ( APIextra.WaypointSetPos( GROUP, 3, &in ), &in );
	EXPECT_EQ( group->GetPointCount(), 3u );
	EXPECT_EQ( APIextra.WaypointGetNb( GROUP + 1 ), 0u );
	DTWpGrpMgr::moWpGrpMgr.RemoveAllWaypointGrp();
}

}
