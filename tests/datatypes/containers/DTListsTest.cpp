#include "datatypes/containers/DTSingleLList.h"
#include "datatypes/containers/MLIST.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

typedef DTSingleLList<u32> U32List;

std::vector<u32> Contents( const U32List & list ) {
	std::vector<u32> out;
	for ( const U32List::Node * node = list.GetHead(); node != nullptr; node = node->mpNext ) {
		out.push_back( node->mValue );
	}
	return out;
}

U32List * MakeList( const std::vector<u32> & values ) {
	U32List * list = new U32List;
	for ( const u32 v : values ) {
		list->PushBack( v );
	}
	return list;
}

} // namespace

TEST( DTSingleLList, PushesAtTheTailAndPopsFromTheFront ) {
	U32List list;
	EXPECT_EQ( list.GetCount(), 0u );
	list.PopFront();	// nothing on an empty list
	EXPECT_EQ( list.GetHead(), nullptr );
	EXPECT_EQ( list.GetTail(), nullptr );

	list.PushBack( 1 );
	list.PushBack( 2 );
	list.PushBack( 3 );
	EXPECT_EQ( Contents( list ), ( std::vector<u32>{ 1, 2, 3 } ) );
	EXPECT_EQ( list.GetTail()->mValue, 3u );
	EXPECT_EQ( list.GetCount(), 3u );

	list.PopFront();
	list.PopFront();
	EXPECT_EQ( Contents( list ), ( std::vector<u32>{ 3 } ) );
	EXPECT_EQ( list.GetHead(), list.GetTail() );
	list.PopFront();
	EXPECT_EQ( list.GetHead(), nullptr );
	EXPECT_EQ( list.GetTail(), nullptr );
	EXPECT_EQ( list.GetCount(), 0u );

	list.PushBack( 4 );
	EXPECT_EQ( list.GetHead(), list.GetTail() );
	list.PushBack( 5 );
	list.Clear();
	EXPECT_EQ( list.GetCount(), 0u );
	EXPECT_EQ( list.GetHead(), nullptr );
	EXPECT_EQ( list.GetTail(), nullptr );
}

TEST( DTSingleLList, FindReportsTheFirstMatchAndItsPredecessor ) {
	struct Case {
		u32		value;
		bool	found;
		s32		prevValue;	// -1: no predecessor
	};
	const Case cases[] = {
		{ 10, true, -1 },
		{ 20, true, 10 },
		{ 30, true, 20 },	// the first 30, not the later one
		{ 40, true, 30 },
		{ 99, false, -1 },
	};
	U32List list;
	for ( const u32 v : { 10u, 20u, 30u, 40u, 30u } ) {
		list.PushBack( v );
	}
	for ( const Case & c : cases ) {
		SCOPED_TRACE( c.value );
		U32List::Node * prev = reinterpret_cast<U32List::Node *>( 1 );
		const U32List::Node * node = list.Find( prev, c.value );
		EXPECT_EQ( node != nullptr, c.found );
		if ( c.prevValue < 0 ) {
			EXPECT_EQ( prev, nullptr );
		} else {
			ASSERT_NE( prev, nullptr );
			EXPECT_EQ( prev->mValue, static_cast<u32>( c.prevValue ) );
			EXPECT_EQ( prev->mpNext, node );
		}
	}
}

TEST( DTSingleLList, RemoveKeepsTailAndCountRightAndLeavesTheFollowingNode ) {
	struct Case {
		u32					remove;
		std::vector<u32>	expect;
		u32					expectTail;
		s32					expectFollowing;	// -1: none
	};
	const Case cases[] = {
		{ 1, { 2, 3 }, 3, 2 },
		{ 2, { 1, 3 }, 3, 3 },
		{ 3, { 1, 2 }, 2, -1 },
	};
	for ( const Case & c : cases ) {
		SCOPED_TRACE( c.remove );
		U32List * list = MakeList( { 1, 2, 3 } );
		U32List::Node * prev = nullptr;
		U32List::Node * node = list->Find( prev, c.remove );
		ASSERT_NE( node, nullptr );
		EXPECT_TRUE( list->Remove( prev, node ) );
		EXPECT_EQ( Contents( *list ), c.expect );
		EXPECT_EQ( list->GetCount(), 2u );
		EXPECT_EQ( list->GetTail()->mValue, c.expectTail );
		if ( c.expectFollowing < 0 ) {
			EXPECT_EQ( node, nullptr );
		} else {
			ASSERT_NE( node, nullptr );
			EXPECT_EQ( node->mValue, static_cast<u32>( c.expectFollowing ) );
		}
		// New nodes go after the right tail.
		list->PushBack( 9 );
		EXPECT_EQ( Contents( *list ).back(), 9u );
		delete list;
	}
}

TEST( DTSingleLList, RemovingTheOnlyNodeEmptiesTheList ) {
	U32List list;
	list.PushBack( 5 );
	U32List::Node * prev = nullptr;
	U32List::Node * node = list.Find( prev, 5 );
	EXPECT_TRUE( list.Remove( prev, node ) );
	EXPECT_EQ( node, nullptr );
	EXPECT_EQ( list.GetHead(), nullptr );
	EXPECT_EQ( list.GetTail(), nullptr );
	EXPECT_EQ( list.GetCount(), 0u );
}

TEST( DTSingleLList, AWalkCanRemoveEveryMatchAsItGoes ) {
	U32List list;
	for ( const u32 v : { 7u, 1u, 7u, 7u, 2u, 7u } ) {
		list.PushBack( v );
	}
	U32List::Node * prev = nullptr;
	U32List::Node * node = list.GetHead();
	while ( node != nullptr ) {
		if ( node->mValue == 7 ) {
			list.Remove( prev, node );
		} else {
			prev = node;
			node = node->mpNext;
		}
	}
	EXPECT_EQ( Contents( list ), ( std::vector<u32>{ 1, 2 } ) );
	EXPECT_EQ( list.GetTail()->mValue, 2u );
	EXPECT_EQ( list.GetCount(), 2u );
}

TEST( DTSingleLList, RemoveRefusesAPairThatIsNotALinkOfTheList ) {
	U32List list;
	for ( const u32 v : { 1u, 2u, 3u } ) {
		list.PushBack( v );
	}
	U32List::Node * first = list.GetHead();
	U32List::Node * third = list.GetTail();
	U32List::Node * prev = first;
	U32List::Node * node = third;	// first is not third's predecessor
	EXPECT_FALSE( list.Remove( prev, node ) );
	prev = nullptr;
	node = third;					// third is not the head
	EXPECT_FALSE( list.Remove( prev, node ) );
	node = nullptr;
	EXPECT_FALSE( list.Remove( prev, node ) );
	EXPECT_EQ( node, nullptr );
	EXPECT_EQ( Contents( list ), ( std::vector<u32>{ 1, 2, 3 } ) );
	EXPECT_EQ( list.GetCount(), 3u );
}

namespace {

struct Listed {
	int		id;
	MLIST	link;	// deliberately not the first member
};

std::vector<int> Walk( const MLIST & head ) {
	std::vector<int> ids;
	const MLIST * const * expectLast = &head.pNext;
	for ( const MLIST * link = head.pNext; link != nullptr; link = link->pNext ) {
		// Every link's pLast names the word that points to it.
		EXPECT_EQ( link->pLast, expectLast );
		ids.push_back( link->GetData<Listed>()->id );
		expectLast = &link->pNext;
	}
	return ids;
}

} // namespace

TEST( MLIST, PushesInFrontAndUnlinksFirstMiddleOrLast ) {
	struct Case {
		int					unlink;	// index into objects
		std::vector<int>	expect;
	};
	// Pushed 0, 1, 2 in front: the list reads 2, 1, 0.
	const Case cases[] = {
		{ 2, { 1, 0 } },
		{ 1, { 2, 0 } },
		{ 0, { 2, 1 } },
	};
	for ( const Case & c : cases ) {
		SCOPED_TRACE( c.unlink );
		MLIST head = { nullptr, nullptr, nullptr };
		Listed objects[3];
		for ( int i = 0; i < 3; i++ ) {
			objects[i].id = i;
			objects[i].link = { nullptr, nullptr, &objects[i] };
			MLISTPushFront( head, objects[i].link );
		}
		EXPECT_EQ( Walk( head ), ( std::vector<int>{ 2, 1, 0 } ) );
		MLISTUnlink( objects[c.unlink].link );
		EXPECT_EQ( objects[c.unlink].link.pNext, nullptr );
		EXPECT_EQ( objects[c.unlink].link.pLast, nullptr );
		EXPECT_EQ( Walk( head ), c.expect );
		// Unlinking again, or a link on no list, changes nothing.
		MLISTUnlink( objects[c.unlink].link );
		EXPECT_EQ( Walk( head ), c.expect );
	}
}

TEST( MLIST, PushingALinkedLinkMovesItWithoutBreakingEitherList ) {
	MLIST headA = { nullptr, nullptr, nullptr };
	MLIST headB = { nullptr, nullptr, nullptr };
	Listed objects[3];
	for ( int i = 0; i < 3; i++ ) {
		objects[i].id = i;
		objects[i].link = { nullptr, nullptr, &objects[i] };
		MLISTPushFront( headA, objects[i].link );
	}
	MLISTPushFront( headB, objects[1].link );
	EXPECT_EQ( Walk( headA ), ( std::vector<int>{ 2, 0 } ) );
	EXPECT_EQ( Walk( headB ), ( std::vector<int>{ 1 } ) );
	MLISTPushFront( headB, objects[0].link );
	MLISTPushFront( headB, objects[0].link );
	EXPECT_EQ( Walk( headA ), ( std::vector<int>{ 2 } ) );
	EXPECT_EQ( Walk( headB ), ( std::vector<int>{ 0, 1 } ) );
}
