#include "datatypes/persist/DTBasePersistStream.h"
#include "WaypointTestSupport.h"

namespace {

typedef WaypointTestCase DTWpGrpMgrTest;

TEST_F( DTWpGrpMgrTest, LoadedGroupsAreFoundByTheirIds ) {
	s32 result = -1;
	DTWaypointGrp * const five = LoadGroup( StoredGroup( { 5, 1, { 1, 2, 3 } } ), result );
	DTWaypointGrp * const fortyTwo = LoadGroup( StoredGroup( { 42, 1, { 4, 5, 6 } } ), result );
	DTWpGrpMgr & manager = DTWpGrpMgr::moWpGrpMgr;
	EXPECT_EQ( manager.GetWaypointGrp( 5 ), five );
	EXPECT_EQ( manager.GetWaypointGrp( 42 ), fortyTwo );
	EXPECT_EQ( manager.GetWaypointGrp( 7 ), nullptr );
	// 42 and 5 share a bucket of 37: both are found.
	EXPECT_EQ( manager.GetTableSize(), 37u );
	EXPECT_EQ( manager.GetCount(), 2u );
}

TEST_F( DTWpGrpMgrTest, RemoveAllEmptiesTheManagerForTheNextLevel ) {
	DTWpGrpMgr & manager = DTWpGrpMgr::moWpGrpMgr;
	s32 result = -1;
	for ( const u32 id : { 5u, 42u, 79u } ) {
		LoadGroup( StoredGroup( { id, 1, { 0, 0, 0 } } ), result );
	}
	manager.RemoveAllWaypointGrp();
	EXPECT_EQ( manager.GetCount(), 0u );
	EXPECT_EQ( manager.GetTableSize(), 37u );
	for ( const u32 id : { 5u, 42u, 79u } ) {
		EXPECT_EQ( manager.GetWaypointGrp( id ), nullptr );
	}
	DTWaypointGrp * const again = LoadGroup( StoredGroup( { 42, 2, { 1, 1, 1, 2, 2, 2 } } ), result );
	EXPECT_EQ( manager.GetWaypointGrp( 42 ), again );
	EXPECT_EQ( manager.GetCount(), 1u );
}

// The groups replaced under an id stay the manager's: RemoveAll (the
// fixture's) deletes each exactly once, which the address sanitizer checks.
TEST_F( DTWpGrpMgrTest, ALaterGroupTakesTheIdAndTheOnesItReplacedEndWithIt ) {
	DTWpGrpMgr & manager = DTWpGrpMgr::moWpGrpMgr;
	DTWaypointGrp * const first = new DTWaypointGrp;
	DTWaypointGrp * const second = new DTWaypointGrp;
	DTWaypointGrp * const third = new DTWaypointGrp;
	EXPECT_TRUE( manager.AddWaypointGrp( first, 9 ) );
	EXPECT_TRUE( manager.AddWaypointGrp( second, 9 ) );
	EXPECT_TRUE( manager.AddWaypointGrp( second, 9 ) );
	EXPECT_TRUE( manager.AddWaypointGrp( third, 9 ) );
	EXPECT_FALSE( manager.AddWaypointGrp( nullptr, 9 ) );
	EXPECT_EQ( manager.GetWaypointGrp( 9 ), third );
	// A replaced group registered again takes the id back and leaves the
	// chain of the replaced ones, which never closes on itself.
	EXPECT_TRUE( manager.AddWaypointGrp( first, 9 ) );
	EXPECT_TRUE( manager.AddWaypointGrp( second, 9 ) );
	EXPECT_EQ( manager.GetWaypointGrp( 9 ), second );
	EXPECT_EQ( manager.GetCount(), 1u );
}

TEST_F( DTWpGrpMgrTest, DestroyingAGroupLeavesItRegistered ) {
	DTWpGrpMgr & manager = DTWpGrpMgr::moWpGrpMgr;
	DTWaypointGrp * const group = new DTWaypointGrp;
	manager.AddWaypointGrp( group, 3 );
	delete group;
	EXPECT_EQ( manager.GetWaypointGrp( 3 ), group );
	manager.RemoveAll();
}

} // namespace
