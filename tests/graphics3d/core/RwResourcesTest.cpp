#include "graphics3d/core/RwResources.h"
#include "graphics3d/core/RwTestEngine.h"

#include <deque>

namespace {

constexpr u32 ARENA_BYTES = 4096;
// With its header an entry of this size takes 256 bytes of payload.
constexpr s32 ENTRY_BYTES = 256 - static_cast<s32>( sizeof( RwResEntry ) );

// Owners whose entries went away, in order.
std::vector<void*> notified;

void Notify( RwResEntry* entry ) {
	notified.push_back( entry->owner );
}

// One owner of an arena entry.
struct Owner {
	RwResEntry*	entry = nullptr;
};

class RwResourcesTest : public RwTestCase {
protected:
	void SetUp() override {
		RwTestCase::SetUp();
		notified.clear();
		ASSERT_TRUE( RwTestBringUp( &rwTestCountingMemory, RWENGINE_INIT_NO_FREE_LISTS, ARENA_BYTES ) );
	}

	RwResourcesGlobals* Globals() {
		return RwPluginData<RwResourcesGlobals>( RwEngineInstance, resourcesModule.globalsOffset );
	}

	// Owners outlive the test body: the arena still refers to them until
	// the library is taken down.
	std::vector<Owner>& Owners( const size_t n ) {
		store.emplace_back( n );
		return store.back();
	}

	RwResEntry* Allocate( Owner& owner, const s32 size = ENTRY_BYTES ) {
		return RwResourcesAllocateResEntry( &owner, &owner.entry, size, Notify );
	}

	// Allocates in the current frame until n entries have been evicted.
	void AllocateUntilEvicted( const size_t n ) {
		std::vector<Owner>& fresh = Owners( 64 );
		for ( size_t i = 0; notified.size() < n && i < fresh.size(); i++ ) {
			EXPECT_NE( Allocate( fresh[i] ), nullptr );
		}
	}

	std::deque<std::vector<Owner>>	store;
};

TEST_F( RwResourcesTest, AllocatesAtTheHeadOfTheCurrentFrameAndFreesWithNotification ) {
	Owner& a = Owners( 1 )[0];
	Owner& b = Owners( 1 )[0];
	RwResEntry* const ea = Allocate( a, 100 );
	RwResEntry* const eb = Allocate( b, 28 );
	ASSERT_NE( ea, nullptr );
	EXPECT_EQ( a.entry, ea );
	EXPECT_EQ( ea->owner, &a );
	EXPECT_EQ( ea->size, 100 );
	EXPECT_EQ( rwLinkListGetFirst( Globals()->currentFrame ), &eb->link );
	EXPECT_EQ( Globals()->resArenaUsed, 128u );

	EXPECT_TRUE( RwResourcesFreeResEntry( ea ) );
	EXPECT_EQ( a.entry, nullptr );
	EXPECT_EQ( notified, std::vector<void*>{ &a } );
	EXPECT_EQ( Globals()->resArenaUsed, 28u );
	EXPECT_EQ( b.entry, eb );
}

TEST_F( RwResourcesTest, EvictsEarlierFramesOldestFirstThenTheCurrentFrame ) {
	std::vector<Owner>& earlier = Owners( 6 );
	std::vector<Owner>& current = Owners( 6 );
	for ( Owner& o : earlier ) {
		ASSERT_NE( Allocate( o ), nullptr );
	}
	_rwResourcesPurge();
	for ( Owner& o : current ) {
		ASSERT_NE( Allocate( o ), nullptr );
	}
	AllocateUntilEvicted( 7 );
	ASSERT_EQ( notified.size(), 7u );
	for ( size_t i = 0; i < 6; i++ ) {
		EXPECT_EQ( notified[i], &earlier[i] ) << i;
		EXPECT_EQ( earlier[i].entry, nullptr ) << i;
	}
	EXPECT_EQ( notified[6], &current[0] );
	EXPECT_EQ( current[0].entry, nullptr );
	EXPECT_NE( current[1].entry, nullptr );
	EXPECT_EQ( Globals()->resArenaEvicted, static_cast<u32>( ENTRY_BYTES ) );

	_rwResourcesPurge();
	EXPECT_EQ( Globals()->resArenaEvicted, 0u );
}

TEST_F( RwResourcesTest, AnEntryUsedThisFrameIsEvictedAfterTheEarlierOnes ) {
	std::vector<Owner>& earlier = Owners( 4 );
	for ( Owner& o : earlier ) {
		ASSERT_NE( Allocate( o ), nullptr );
	}
	_rwResourcesPurge();
	EXPECT_EQ( RwResourcesUseResEntry( earlier[0].entry ), earlier[0].entry );
	EXPECT_EQ( rwLinkListGetFirst( Globals()->currentFrame ), &earlier[0].entry->link );

	AllocateUntilEvicted( 4 );
	EXPECT_EQ( notified, ( std::vector<void*>{ &earlier[1], &earlier[2], &earlier[3], &earlier[0] } ) );

	// An entry outside the arena has no list to move in.
	RwResEntry outside = {};
	EXPECT_EQ( RwResourcesUseResEntry( &outside ), &outside );
	EXPECT_EQ( outside.link.next, nullptr );
}

TEST_F( RwResourcesTest, FailsWithError12AndAClearedReferenceWhenNothingIsLeftToEvict ) {
	std::vector<Owner>& owners = Owners( 5 );
	for ( Owner& o : owners ) {
		ASSERT_NE( Allocate( o ), nullptr );
	}
	Owner& big = Owners( 1 )[0];
	big.entry = reinterpret_cast<RwResEntry*>( &big );
	const s32 sizes[] = { static_cast<s32>( ARENA_BYTES ), 0x7FFFFFFF, -1 };
	for ( const s32 size : sizes ) {
		SCOPED_TRACE( size );
		EXPECT_EQ( Allocate( big, size ), nullptr );
		EXPECT_EQ( big.entry, nullptr );
		const RwError error = RwTestReadError();
		EXPECT_EQ( error.pluginID, RWPLUGIN_CORE );
		EXPECT_EQ( error.errorCode, RWERR_RESOURCES );
		big.entry = reinterpret_cast<RwResEntry*>( &big );
	}
	EXPECT_EQ( notified.size(), 5u );
	for ( const Owner& o : owners ) {
		EXPECT_EQ( o.entry, nullptr );
	}
	EXPECT_EQ( Globals()->resArenaUsed, 0u );
	Owner& small = Owners( 1 )[0];
	EXPECT_NE( Allocate( small ), nullptr );
}

TEST_F( RwResourcesTest, EmptyingTheArenaEvictsEveryEntry ) {
	std::vector<Owner>& owners = Owners( 6 );
	for ( size_t i = 0; i < owners.size(); i++ ) {
		ASSERT_NE( Allocate( owners[i] ), nullptr );
		if ( i == 2 ) {
			_rwResourcesPurge();
		}
	}
	RwResourcesEmptyArena();
	EXPECT_EQ( notified.size(), 6u );
	EXPECT_EQ( Globals()->resArenaUsed, 0u );
	EXPECT_TRUE( rwLinkListEmpty( Globals()->currentFrame ) );
	EXPECT_TRUE( rwLinkListEmpty( Globals()->earlierFrames ) );
	// The whole arena is one free block again.
	Owner& whole = Owners( 1 )[0];
	EXPECT_NE( Allocate( whole, ARENA_BYTES - 128 ), nullptr );
}

TEST_F( RwResourcesTest, AnEntryOutsideTheArenaGoesToTheFreeFunction ) {
	RwResEntry* const outside = static_cast<RwResEntry*>( RwEngineInstance->memoryFunctions.rwmalloc( sizeof( RwResEntry ) ) );
	Owner owner;
	outside->link.next = nullptr;
	outside->link.prev = nullptr;
	outside->size = 64;
	outside->owner = &owner;
	outside->ownerRef = &owner.entry;
	outside->destroyNotify = Notify;
	owner.entry = outside;
	const u32 freesBefore = RwTestCountingMemory::freeCalls;
	EXPECT_TRUE( RwResourcesFreeResEntry( outside ) );
	EXPECT_EQ( RwTestCountingMemory::freeCalls, freesBefore + 1 );
	EXPECT_EQ( owner.entry, nullptr );
	EXPECT_EQ( notified, std::vector<void*>{ &owner } );
	EXPECT_EQ( Globals()->resArenaUsed, 0u );
}

class RwResourcesModuleTest : public RwTestCase {};

TEST_F( RwResourcesModuleTest, StartFailsWhenTheArenaCannotBeSetUp ) {
	struct Case {
		u32		arenaBytes;
		bool	refuseArena;
		u32		pluginID;
		u32		code;
	};
	const Case cases[] = {
		{ ARENA_BYTES, true, 0, RWERR_NO_MEMORY },
		{ 40, false, RWPLUGIN_CORE, RWERR_RESOURCES },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.arenaBytes );
		RwTestCountingMemory::refusedSize = c.refuseArena ? c.arenaBytes : 0;
		ASSERT_TRUE( RwEngineInit( &rwTestCountingMemory, RWENGINE_INIT_NO_FREE_LISTS, c.arenaBytes ) );
		ASSERT_TRUE( RwEngineOpen( &rwTestDeviceConfig ) );
		RwTestReadError();
		EXPECT_FALSE( RwEngineStart() );
		EXPECT_EQ( RwTestEngineState(), RWENGINE_STATE_OPENED );
		EXPECT_EQ( resourcesModule.numInstances, 0 );
		const RwError error = RwTestReadError();
		EXPECT_EQ( error.pluginID, c.pluginID );
		EXPECT_EQ( error.errorCode, c.code );
		RwTestShutDown();
		RwTestCountingMemory::Reset();
	}
}

TEST_F( RwResourcesModuleTest, WithoutAnArenaEveryAllocationFailsWithError12 ) {
	ASSERT_TRUE( RwTestBringUp( nullptr, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
	Owner owner;
	owner.entry = reinterpret_cast<RwResEntry*>( &owner );
	EXPECT_EQ( RwResourcesAllocateResEntry( &owner, &owner.entry, 16, nullptr ), nullptr );
	EXPECT_EQ( owner.entry, nullptr );
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_RESOURCES );
	RwResourcesEmptyArena();
	_rwResourcesPurge();
	ASSERT_TRUE( RwEngineStop() );
	// Closed, the module hands out nothing either.
	EXPECT_EQ( RwResourcesAllocateResEntry( &owner, nullptr, 16, nullptr ), nullptr );
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_RESOURCES );
}

}	// namespace
