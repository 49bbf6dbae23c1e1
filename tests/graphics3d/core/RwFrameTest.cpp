#include "graphics3d/core/RwFrameClone.h"
#include "RwTestFrames.h"

namespace {

typedef RwStartedTestCase RwFrameTest;

TEST_F( RwFrameTest, ANewFrameIsACleanIdentityRoot ) {
	RwFrame* const frame = RwFrameCreate();
	ASSERT_NE( frame, nullptr );
	EXPECT_EQ( frame->root, frame );
	EXPECT_EQ( frame->object.parent, nullptr );
	EXPECT_EQ( frame->modelling.flags, 0x20003u );
	EXPECT_EQ( frame->ltm.flags, 0x20003u );
	EXPECT_EQ( RwFrameDirty( frame ), 0u );
	EXPECT_TRUE( RwTestDirtyRoots().empty() );
	RwFrameDestroy( frame );
}

TEST_F( RwFrameTest, ChangingFramesListsTheirRootOnceAndFlagsTheChangedFrame ) {
	RwFrame* const root = RwFrameCreate();
	RwFrame* const a = RwFrameCreate();
	RwFrame* const b = RwFrameCreate();
	RwFrameAddChild( root, a );
	RwFrameAddChild( a, b );
	_rwFrameSyncDirty();
	const RwV3d axis = { 0, 1, 0 };
	RwFrameRotate( b, &axis, 30.0f, rwCOMBINEPOSTCONCAT );
	RwTestPlace( a, 1, 2, 3 );
	RwFrameSetIdentity( b );
	EXPECT_EQ( RwTestDirtyRoots(), std::vector<RwFrame*>{ root } );
	EXPECT_EQ( root->object.privateFlags & 0x0F, 0x03 );
	EXPECT_EQ( a->object.privateFlags & 0x0F, 0x0C );
	EXPECT_EQ( b->object.privateFlags & 0x0F, 0x0C );
	EXPECT_EQ( RwFrameDirty( b ), 3u );
	RwFrameDestroyHierarchy( root );
	EXPECT_TRUE( RwTestDirtyRoots().empty() );
}

// Rows a caller writes and then announces: the identity mark must not
// outlive a change, or the inverse copies the moved world matrix.
TEST_F( RwFrameTest, AnAnnouncedRowWriteKeepsTheIdentityMarkTrue ) {
	const struct {
		RwV3d	pos;
		RwV3d	at;
		u32		flags;
	} cases[] = { { { 1, 2, 3 }, { 0, 0, 1 }, 0x3 }, { { 0, 0, 0 }, { 0, 0, -1 }, 0x0 }, { { -0.0f, 0, 0 }, { 0, 0, 1 }, 0x20003 } };
	for ( const auto& c : cases ) {
		RwFrame* const root = RwFrameCreate();
		RwFrame* const frame = RwFrameCreate();
		RwFrameAddChild( root, frame );
		frame->modelling.pos = c.pos;
		frame->modelling.at = c.at;
		RwFrameUpdateObjects( frame );
		EXPECT_EQ( frame->modelling.flags, c.flags );
		RwMatrix inverse;
		RwMatrixInvert( &inverse, RwFrameGetLTM( frame ) );
		EXPECT_EQ( inverse.pos.y, -c.pos.y );
		RwFrameDestroyHierarchy( root );
	}
}

TEST_F( RwFrameTest, AddingADirtyRootAsAChildListsTheNewRootInstead ) {
	RwFrame* const parent = RwFrameCreate();
	RwFrame* const child = RwFrameCreate();
	RwFrame* const grandChild = RwFrameCreate();
	RwFrameAddChild( child, grandChild );
	EXPECT_EQ( RwTestDirtyRoots(), std::vector<RwFrame*>{ child } );
	RwFrameAddChild( parent, child );
	EXPECT_EQ( RwTestDirtyRoots(), std::vector<RwFrame*>{ parent } );
	EXPECT_EQ( child->object.privateFlags & 0x03, 0 );
	EXPECT_EQ( child->root, parent );
	EXPECT_EQ( grandChild->root, parent );
	EXPECT_EQ( child->object.parent, parent );
	RwFrameDestroyHierarchy( parent );
}

TEST_F( RwFrameTest, ChildrenAreKeptNewestFirstAndMoveBetweenParents ) {
	RwFrame* const first = RwFrameCreate();
	RwFrame* const second = RwFrameCreate();
	RwFrame* const children[3] = { RwFrameCreate(), RwFrameCreate(), RwFrameCreate() };
	for ( RwFrame* child : children ) {
		RwFrameAddChild( first, child );
	}
	EXPECT_EQ( RwTestChildren( first ), ( std::vector<RwFrame*>{ children[2], children[1], children[0] } ) );
	RwFrameAddChild( second, children[1] );
	EXPECT_EQ( RwTestChildren( first ), ( std::vector<RwFrame*>{ children[2], children[0] } ) );
	EXPECT_EQ( children[1]->root, second );
	EXPECT_EQ( RwFrameRemoveChild( children[0] ), children[0] );
	EXPECT_EQ( RwTestChildren( first ), std::vector<RwFrame*>{ children[2] } );
	EXPECT_EQ( children[0]->root, children[0] );
	EXPECT_EQ( children[0]->next, nullptr );
	const std::vector<RwFrame*> dirty = RwTestDirtyRoots();
	EXPECT_EQ( dirty.front(), children[0] );
	RwFrameDestroyHierarchy( first );
	RwFrameDestroyHierarchy( second );
	RwFrameDestroy( children[0] );
}

TEST_F( RwFrameTest, ForAllChildrenLetsTheCallbackDetachAndStopsOnNull ) {
	RwFrame* const parent = RwFrameCreate();
	for ( s32 i = 0; i < 4; i++ ) {
		RwFrameAddChild( parent, RwFrameCreate() );
	}
	std::vector<RwFrame*> seen;
	RwFrameForAllChildren( parent, []( RwFrame* child, void* data ) -> RwFrame* {
		static_cast<std::vector<RwFrame*>*>( data )->push_back( child );
		RwFrameRemoveChild( child );
		RwFrameDestroy( child );
		return child;
	}, &seen );
	EXPECT_EQ( seen.size(), 4u );
	EXPECT_EQ( parent->child, nullptr );
	for ( s32 i = 0; i < 3; i++ ) {
		RwFrameAddChild( parent, RwFrameCreate() );
	}
	u32 calls = 0;
	RwFrameForAllChildren( parent, []( RwFrame*, void* data ) -> RwFrame* {
		++*static_cast<u32*>( data );
		return nullptr;
	}, &calls );
	EXPECT_EQ( calls, 1u );
	RwFrameDestroyHierarchy( parent );
}

TEST_F( RwFrameTest, DestroyingAMiddleFrameMakesItsChildrenRoots ) {
	RwFrame* const top = RwFrameCreate();
	RwFrame* const middle = RwFrameCreate();
	RwFrame* const leaves[2] = { RwFrameCreate(), RwFrameCreate() };
	RwFrameAddChild( top, middle );
	RwFrameAddChild( middle, leaves[0] );
	RwFrameAddChild( middle, leaves[1] );
	RwTestPlace( top, 5, 0, 0 );
	RwTestPlace( leaves[0], 0, 1, 0 );
	_rwFrameSyncDirty();
	EXPECT_TRUE( RwFrameDestroy( middle ) );
	EXPECT_EQ( top->child, nullptr );
	for ( RwFrame* leaf : leaves ) {
		EXPECT_EQ( leaf->root, leaf );
		EXPECT_EQ( leaf->object.parent, nullptr );
		EXPECT_EQ( leaf->next, nullptr );
	}
	// The leaf's world is now its own modelling matrix.
	const RwMatrix* const ltm = RwFrameGetLTM( leaves[0] );
	EXPECT_FLOAT_EQ( ltm->pos.x, 0.0f );
	EXPECT_FLOAT_EQ( ltm->pos.y, 1.0f );
	_rwFrameSyncDirty();
	RwFrameDestroy( top );
	RwFrameDestroy( leaves[0] );
	RwFrameDestroy( leaves[1] );
	EXPECT_TRUE( RwTestDirtyRoots().empty() );
}

TEST_F( RwFrameTest, DestroyingASubtreeDetachesItFromItsParent ) {
	RwFrame* const top = RwFrameCreate();
	RwFrame* const kept = RwFrameCreate();
	RwFrame* const subtree = RwFrameCreate();
	RwFrameAddChild( top, kept );
	RwFrameAddChild( top, subtree );
	for ( s32 i = 0; i < 3; i++ ) {
		RwFrame* const child = RwFrameCreate();
		RwFrameAddChild( subtree, child );
		RwFrameAddChild( child, RwFrameCreate() );
	}
	EXPECT_TRUE( RwFrameDestroyHierarchy( subtree ) );
	EXPECT_EQ( RwTestChildren( top ), std::vector<RwFrame*>{ kept } );
	RwFrameDestroyHierarchy( top );
}

TEST_F( RwFrameTest, DestroyingAFrameDetachesItsObjects ) {
	std::vector<void*> log;
	RwTestObject object;
	RwTestObjectInit( &object, &log );
	RwFrame* const frame = RwFrameCreate();
	_rwObjectHasFrameSetFrame( &object.header, frame );
	RwFrameDestroy( frame );
	EXPECT_EQ( object.header.object.parent, nullptr );
	RwFrame* const other = RwFrameCreate();
	_rwObjectHasFrameSetFrame( &object.header, other );
	_rwObjectHasFrameReleaseFrame( &object.header );
	RwFrameDestroy( other );
}

// A frame plug-in that counts constructions, destructions and copies and
// can be told to refuse a construction.
struct CountingPlugin {
	static inline s32 constructed = 0;
	static inline s32 destroyed = 0;
	static inline s32 copied = 0;
	static inline s32 refuseAt = -1;	// construction number to refuse
	static inline s32 offset = -1;

	static void* Construct( void* object, s32 offset, s32 ) {
		if ( constructed == refuseAt ) {
			return nullptr;
		}
		constructed++;
		*RwPluginData<s32>( object, offset ) = 0;
		return object;
	}
	static void* Destruct( void* object, s32, s32 ) {
		destroyed++;
		return object;
	}
	static void* Copy( void* dst, const void* src, s32 offset, s32 ) {
		copied++;
		*RwPluginData<s32>( dst, offset ) = *RwPluginData<s32>( const_cast<void*>( src ), offset ) + 100;
		return dst;
	}
};

class RwFrameCloneTest : public RwTestCase {
protected:
	void SetUp() override {
		RwTestCase::SetUp();
		CountingPlugin::constructed = 0;
		CountingPlugin::destroyed = 0;
		CountingPlugin::copied = 0;
		CountingPlugin::refuseAt = -1;
		ASSERT_TRUE( RwEngineInit( &rwTestCountingMemory, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
		CountingPlugin::offset = RwFrameRegisterPlugin( sizeof( s32 ), 0xF00, CountingPlugin::Construct,
														CountingPlugin::Destruct, CountingPlugin::Copy );
		ASSERT_GE( CountingPlugin::offset, 0 );
		ASSERT_TRUE( RwEngineOpen( &rwTestDeviceConfig ) && RwEngineStart() );
	}

	// root with children a (with grand-child) and b, created in that order.
	void Build() {
		root = RwFrameCreate();
		a = RwFrameCreate();
		b = RwFrameCreate();
		grand = RwFrameCreate();
		RwFrameAddChild( root, a );
		RwFrameAddChild( root, b );
		RwFrameAddChild( a, grand );
		*RwPluginData<s32>( a, CountingPlugin::offset ) = 7;
		RwTestPlace( a, 1, 0, 0 );
		_rwFrameSyncDirty();
	}

	RwFrame* root = nullptr;
	RwFrame* a = nullptr;
	RwFrame* b = nullptr;
	RwFrame* grand = nullptr;
};

TEST_F( RwFrameCloneTest, ClonesComeOutReversedLinkedToTheSourceUntilPurged ) {
	Build();
	RwFrame* const clone = _rwFrameCloneAndLinkClones( root );
	ASSERT_NE( clone, nullptr );
	// The source's children are b, a; the clone's are their clones a', b'.
	const std::vector<RwFrame*> children = RwTestChildren( clone );
	ASSERT_EQ( children.size(), 2u );
	EXPECT_EQ( children[0], a->root );
	EXPECT_EQ( children[1], b->root );
	EXPECT_EQ( root->root, clone );
	EXPECT_EQ( grand->root, RwTestChildren( children[0] ).at( 0 ) );
	EXPECT_EQ( *RwPluginData<s32>( children[0], CountingPlugin::offset ), 107 );
	EXPECT_FLOAT_EQ( children[0]->modelling.pos.x, 1.0f );
	for ( RwFrame* c : { clone, children[0], children[1] } ) {
		EXPECT_EQ( c->root, clone );
	}
	EXPECT_EQ( RwTestDirtyRoots(), std::vector<RwFrame*>{ clone } );
	EXPECT_EQ( clone->object.privateFlags & 0x0F, 0x0F );

	EXPECT_EQ( _rwFramePurgeClone( root ), root );
	for ( RwFrame* f : { root, a, b, grand } ) {
		EXPECT_EQ( f->root, root );
	}
	EXPECT_FLOAT_EQ( RwFrameGetLTM( RwTestChildren( children[0] ).at( 0 ) )->pos.x, 1.0f );
	RwFrameDestroyHierarchy( clone );
	RwFrameDestroyHierarchy( root );
	EXPECT_EQ( CountingPlugin::constructed, CountingPlugin::destroyed );
}

TEST_F( RwFrameCloneTest, AFailedCloneIsTakenDownAndTheSourceRootsRestored ) {
	Build();
	const u32 freesBefore = RwTestCountingMemory::freeCalls;
	const u32 mallocsBefore = RwTestCountingMemory::mallocCalls;
	// The third construction (a's clone) is refused after b's and the
	// grand-child's clones were finished.
	CountingPlugin::refuseAt = CountingPlugin::constructed + 2;
	const s32 destroyedBefore = CountingPlugin::destroyed;
	EXPECT_EQ( _rwFrameCloneAndLinkClones( root ), nullptr );
	EXPECT_EQ( RwTestCountingMemory::mallocCalls - mallocsBefore, RwTestCountingMemory::freeCalls - freesBefore );
	EXPECT_EQ( CountingPlugin::destroyed - destroyedBefore, 2 );
	for ( RwFrame* f : { root, a, b, grand } ) {
		EXPECT_EQ( f->root, root );
	}
	EXPECT_TRUE( RwTestDirtyRoots().empty() );
	RwFrameDestroyHierarchy( root );
}

}	// namespace
