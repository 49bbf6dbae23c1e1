#include "RwTestFrames.h"

#include <cstring>

namespace {

// root -> parent -> { leaf, sibling }, each a translation of its own, and
// an object attached to every frame.
class RwFrameSyncTest : public RwStartedTestCase {
protected:
	void SetUp() override {
		RwStartedTestCase::SetUp();
		root = RwFrameCreate();
		parent = RwFrameCreate();
		leaf = RwFrameCreate();
		sibling = RwFrameCreate();
		RwFrameAddChild( root, parent );
		RwFrameAddChild( parent, sibling );
		RwFrameAddChild( parent, leaf );
		RwTestPlace( root, 100, 0, 0 );
		RwTestPlace( parent, 0, 10, 0 );
		RwTestPlace( leaf, 0, 0, 1 );
		RwTestPlace( sibling, 0, 0, 2 );
		RwFrame* const frames[4] = { root, parent, leaf, sibling };
		for ( s32 i = 0; i < 4; i++ ) {
			RwTestObjectInit( &objects[i], &log );
			_rwObjectHasFrameSetFrame( &objects[i].header, frames[i] );
		}
		_rwFrameSyncDirty();
		log.clear();
	}

	void TearDown() override {
		RwFrameDestroyHierarchy( root );
		RwStartedTestCase::TearDown();
	}

	RwFrame*			root = nullptr;
	RwFrame*			parent = nullptr;
	RwFrame*			leaf = nullptr;
	RwFrame*			sibling = nullptr;
	RwTestObject		objects[4];
	std::vector<void*>	log;
};

void ExpectPos( const RwFrame* frame, const f32 x, const f32 y, const f32 z, const char* what ) {
	EXPECT_FLOAT_EQ( frame->ltm.pos.x, x ) << what;
	EXPECT_FLOAT_EQ( frame->ltm.pos.y, y ) << what;
	EXPECT_FLOAT_EQ( frame->ltm.pos.z, z ) << what;
}

TEST_F( RwFrameSyncTest, AFullSyncComputesEveryLtmVisitsObjectsDepthFirstAndEmptiesTheList ) {
	ExpectPos( root, 100, 0, 0, "root" );
	ExpectPos( parent, 100, 10, 0, "parent" );
	ExpectPos( leaf, 100, 10, 1, "leaf" );
	ExpectPos( sibling, 100, 10, 2, "sibling" );
	EXPECT_TRUE( RwTestDirtyRoots().empty() );
	for ( RwFrame* f : { root, parent, leaf, sibling } ) {
		EXPECT_EQ( f->object.privateFlags & 0x0F, 0 );
	}
	RwFrameUpdateObjects( root );
	EXPECT_TRUE( _rwFrameSyncDirty() );
	// Parents before children; the leaf, added last, comes first.
	EXPECT_EQ( log, ( std::vector<void*>{ &objects[0], &objects[1], &objects[2], &objects[3] } ) );
}

TEST_F( RwFrameSyncTest, MovingALeafRecomputesItFromItsParentAndLeavesTheSiblingAlone ) {
	const RwMatrix siblingBefore = sibling->ltm;
	std::memset( &sibling->ltm.pad3, 0x5A, sizeof( sibling->ltm.pad3 ) );
	RwTestPlace( leaf, 0, 0, 5 );
	_rwFrameSyncDirty();
	ExpectPos( leaf, 100, 10, 5, "leaf" );
	ExpectPos( sibling, siblingBefore.pos.x, siblingBefore.pos.y, siblingBefore.pos.z, "sibling" );
	EXPECT_EQ( sibling->ltm.pad3, 0x5A5A5A5Au );
}

TEST_F( RwFrameSyncTest, MovingAParentRecomputesAllItsDescendants ) {
	RwTestPlace( parent, 0, -10, 0 );
	EXPECT_EQ( leaf->object.privateFlags & 0x0C, 0 );
	_rwFrameSyncDirty();
	ExpectPos( parent, 100, -10, 0, "parent" );
	ExpectPos( leaf, 100, -10, 1, "leaf" );
	ExpectPos( sibling, 100, -10, 2, "sibling" );
	EXPECT_EQ( log.size(), 4u );
}

TEST_F( RwFrameSyncTest, AnLtmQueryRefreshesMatricesAndLeavesTheObjectsForTheNextSync ) {
	RwTestPlace( parent, 0, 20, 0 );
	const RwMatrix* const ltm = RwFrameGetLTM( leaf );
	EXPECT_EQ( ltm, &leaf->ltm );
	ExpectPos( leaf, 100, 20, 1, "queried leaf" );
	EXPECT_TRUE( log.empty() );
	EXPECT_EQ( RwTestDirtyRoots(), std::vector<RwFrame*>{ root } );
	EXPECT_EQ( root->object.privateFlags & 0x0F, 0x02 );
	EXPECT_EQ( parent->object.privateFlags & 0x0F, 0x08 );
	EXPECT_NE( RwFrameDirty( leaf ), 0u );

	// The full sync runs the objects only: an LTM changed behind its back
	// is not recomputed.
	leaf->ltm.pos.z = 77.0f;
	_rwFrameSyncDirty();
	EXPECT_FLOAT_EQ( leaf->ltm.pos.z, 77.0f );
	EXPECT_EQ( log.size(), 4u );
	EXPECT_EQ( parent->object.privateFlags & 0x0F, 0 );
	EXPECT_EQ( RwFrameDirty( leaf ), 0u );
	EXPECT_TRUE( RwTestDirtyRoots().empty() );
}

TEST_F( RwFrameSyncTest, AnLtmQueryOfACleanHierarchyChangesNothing ) {
	leaf->ltm.pos.x = -1.0f;
	RwFrameGetLTM( leaf );
	EXPECT_FLOAT_EQ( leaf->ltm.pos.x, -1.0f );
}

TEST_F( RwFrameSyncTest, AttachingListsTheRootAndReattachingLeavesTheFirstFrame ) {
	std::vector<void*> ownLog;
	RwTestObject object;
	RwTestObjectInit( &object, &ownLog );
	EXPECT_EQ( _rwObjectHasFrameSetFrame( &object.header, leaf ), &object.header );
	EXPECT_EQ( RwTestDirtyRoots(), std::vector<RwFrame*>{ root } );
	EXPECT_EQ( object.header.object.parent, leaf );
	_rwFrameSyncDirty();
	EXPECT_EQ( ownLog.size(), 1u );

	// Objects of a whole dirty hierarchy are synced, so the second frame
	// is the root of another one.
	RwFrame* const other = RwFrameCreate();
	_rwObjectHasFrameSetFrame( &object.header, other );
	EXPECT_EQ( RwTestDirtyRoots(), std::vector<RwFrame*>{ other } );
	_rwFrameSyncDirty();
	ownLog.clear();
	RwFrameUpdateObjects( leaf );
	_rwFrameSyncDirty();
	EXPECT_TRUE( ownLog.empty() );
	RwFrameUpdateObjects( other );
	_rwFrameSyncDirty();
	EXPECT_EQ( ownLog.size(), 1u );

	// Releasing keeps the parent pointer but leaves the list.
	_rwObjectHasFrameReleaseFrame( &object.header );
	EXPECT_EQ( object.header.object.parent, other );
	ownLog.clear();
	RwFrameUpdateObjects( other );
	_rwFrameSyncDirty();
	EXPECT_TRUE( ownLog.empty() );
	RwFrameDestroy( other );
	// A released object can be attached again.
	_rwObjectHasFrameSetFrame( &object.header, leaf );
	_rwObjectHasFrameSetFrame( &object.header, nullptr );
	EXPECT_EQ( object.header.object.parent, nullptr );
}

TEST_F( RwFrameSyncTest, ObjectsAttachedToOneFrameAreSyncedNewestFirst ) {
	RwTestObject extra;
	RwTestObjectInit( &extra, &log );
	_rwObjectHasFrameSetFrame( &extra.header, leaf );
	_rwFrameSyncDirty();
	ASSERT_EQ( log.size(), 5u );
	EXPECT_EQ( log[2], &extra );
	EXPECT_EQ( log[3], &objects[2] );
	_rwObjectHasFrameReleaseFrame( &extra.header );
}

TEST_F( RwFrameSyncTest, EveryDirtyHierarchyIsSynchronisedOnce ) {
	RwFrame* const other = RwFrameCreate();
	RwTestPlace( other, 3, 0, 0 );
	RwTestPlace( leaf, 0, 0, 9 );
	EXPECT_EQ( RwTestDirtyRoots(), ( std::vector<RwFrame*>{ root, other } ) );
	_rwFrameSyncDirty();
	ExpectPos( other, 3, 0, 0, "other" );
	ExpectPos( leaf, 100, 10, 9, "leaf" );
	RwFrameDestroy( other );
}

}	// namespace
