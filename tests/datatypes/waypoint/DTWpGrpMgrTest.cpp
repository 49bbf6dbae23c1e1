#include "datatypes/persist/DTBasePersistStream.h"
#include "WaypointTestSupport.h"

#include <sstream>
#include <string>

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

// A group that counts its deletions, so that one freed twice shows even
// without the address sanitizer.
class CountedGroup : public DTWaypointGrp {
public:
	CountedGroup( const char name, u32 & deletions ) : mName( name ), mDeletions( deletions ) {}
	~CountedGroup() override { mDeletions++; }
	const char	mName;
	u32 &		mDeletions;
};

// The chain of every id, head first ("9:BA 10:C"): what each id finds and
// the groups it replaced, which end with it.
std::string Chains( const DTWpGrpMgr & manager, const u32 (&ids)[3] ) {
	std::string text;
	for ( const u32 id : ids ) {
		text += ( text.empty() ? "" : " " ) + std::to_string( id ) + ":";
		for ( const DTWaypointGrp * group = manager.GetWaypointGrp( id ); group != nullptr && text.size() < 64;
			  group = group->mpoReplaced ) {
			text += static_cast<const CountedGroup *>( group )->mName;
		}
	}
	return text;
}

// A group registered again moves: it leaves the id or the chain it was in
// (the group it replaced takes that id back) and takes the new id, the
// group it replaces hanging from it. Every group ends once, with the level.
TEST_F( DTWpGrpMgrTest, AGroupRegisteredAgainMovesAndEveryGroupIsFreedOnce ) {
	const struct {
		const char *	what;
		const char *	registrations;		// group letter and id, in order
		const char *	chains;
	} rows[] = {
		{ "a later group takes the id", "A9 B9 B9 C9", "9:CBA 10: 11:" },
		{ "a replaced group takes its id back", "A9 B9 C9 A9 B9", "9:BAC 10: 11:" },
		{ "one group under two ids", "A9 A10", "9: 10:A 11:" },
		{ "replace then move", "A9 B9 A10", "9:B 10:A 11:" },
		{ "move then replace", "A9 A10 B10", "9: 10:BA 11:" },
		{ "the head of a chain of three moved", "A9 B9 C9 C10", "9:BA 10:C 11:" },
		{ "the middle of a chain of three moved", "A9 B9 C9 B10", "9:CA 10:B 11:" },
		{ "the tail of a chain of three moved", "A9 B9 C9 A10", "9:CB 10:A 11:" },
		{ "two chains swapping heads", "A9 B9 C10 D10 D9 B10", "9:DA 10:BC 11:" },
		{ "moved back to its first id", "A9 B9 A10 A9", "9:AB 10: 11:" },
		{ "moved along three ids", "A9 B9 A10 C10 A11 B11", "9: 10:C 11:BA" },
	};
	const u32 ids[] = { 9, 10, 11 };
	DTWpGrpMgr & manager = DTWpGrpMgr::moWpGrpMgr;
	for ( const auto & row : rows ) {
		SCOPED_TRACE( row.what );
		u32 deletions[4] = {};
		CountedGroup * groups[4];
		for ( u32 i = 0; i < 4; i++ ) {
			groups[i] = new CountedGroup( static_cast<char>( 'A' + i ), deletions[i] );
		}
		bool held[4] = {};
		std::istringstream steps( row.registrations );
		std::string step;
		while ( steps >> step ) {
			const u32 group = static_cast<u32>( step[0] - 'A' );
			EXPECT_TRUE( manager.AddWaypointGrp( groups[group], static_cast<u32>( std::stoul( step.substr( 1 ) ) ) ) ) << step;
			held[group] = true;
		}
		EXPECT_FALSE( manager.AddWaypointGrp( nullptr, 9 ) );
		EXPECT_EQ( Chains( manager, ids ), row.chains );
		u32 idsHeld = 0;
		for ( const u32 id : ids ) {
			idsHeld += manager.GetWaypointGrp( id ) != nullptr ? 1 : 0;
		}
		EXPECT_EQ( manager.GetCount(), idsHeld );
		manager.RemoveAllWaypointGrp();
		for ( u32 i = 0; i < 4; i++ ) {
			EXPECT_EQ( deletions[i], held[i] ? 1u : 0u ) << static_cast<char>( 'A' + i );
			if ( !held[i] ) {
				delete groups[i];
			}
		}
	}
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
