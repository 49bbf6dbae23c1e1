#include "datatypes/node/DTNode.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<const DTNode *> Children( const DTNode & parent ) {
	std::vector<const DTNode *> chain;
	for ( const DTNode * child = parent.mpChild; child != nullptr; child = child->mpNext ) {
		chain.push_back( child );
	}
	return chain;
}

TEST( DTNode, ChildrenRunNewestFirst ) {
	DTNode parent;
	DTNode a;
	DTNode b;
	DTNode c;
	parent.AddChild( &a, 7 );
	parent.AddChild( &b );
	parent.AddChild( &c );
	parent.AddChild( nullptr );
	EXPECT_EQ( Children( parent ), ( std::vector<const DTNode *>{ &c, &b, &a } ) );
	for ( const DTNode * child : { &a, &b, &c } ) {
		EXPECT_EQ( child->mpParent, &parent );
	}
	// The owner detaches before the nodes go.
	c.LeaveParent();
	b.LeaveParent();
	a.LeaveParent();
}

TEST( DTNode, LeavingRelinksTheChainWhereverTheNodeWas ) {
	const struct {
		const char *	name;
		s32				leaving;	// index in the chain c, b, a
		std::vector<s32>	rest;
	} rows[] = {
		{ "first", 0, { 1, 2 } },
		{ "middle", 1, { 0, 2 } },
		{ "last", 2, { 0, 1 } },
	};
	for ( const auto & row : rows ) {
		DTNode parent;
		DTNode nodes[3];
		for ( s32 i = 2; i >= 0; i-- ) {
			parent.AddChild( &nodes[i] );
		}
		DTNode grandChild;
		nodes[row.leaving].AddChild( &grandChild );
		nodes[row.leaving].LeaveParent( 3 );
		std::vector<const DTNode *> expected;
		for ( const s32 i : row.rest ) {
			expected.push_back( &nodes[i] );
		}
		EXPECT_EQ( Children( parent ), expected ) << row.name;
		EXPECT_EQ( nodes[row.leaving].mpParent, nullptr ) << row.name;
		EXPECT_EQ( nodes[row.leaving].mpNext, nullptr ) << row.name;
		// Its own children stay with it.
		EXPECT_EQ( nodes[row.leaving].mpChild, &grandChild ) << row.name;
		EXPECT_EQ( grandChild.mpParent, &nodes[row.leaving] ) << row.name;
		grandChild.LeaveParent();
		for ( const s32 i : row.rest ) {
			nodes[i].LeaveParent();
		}
	}
}

TEST( DTNode, AddingMovesAChildFromItsFormerParent ) {
	DTNode first;
	DTNode second;
	DTNode a;
	DTNode b;
	first.AddChild( &a );
	first.AddChild( &b );
	second.AddChild( &a );
	EXPECT_EQ( Children( first ), std::vector<const DTNode *>{ &b } );
	EXPECT_EQ( Children( second ), std::vector<const DTNode *>{ &a } );
	EXPECT_EQ( a.mpParent, &second );
	EXPECT_EQ( a.mpNext, nullptr );
	// Adding again to the same parent keeps it there once.
	second.AddChild( &a );
	EXPECT_EQ( Children( second ), std::vector<const DTNode *>{ &a } );
	DTNode orphan;
	orphan.LeaveParent();
	EXPECT_EQ( orphan.mpParent, nullptr );
	a.LeaveParent();
	b.LeaveParent();
}

TEST( DTNode, DestroyingANodeLeavesItsLinksAlone ) {
	DTNode parent;
	DTNode * const child = new DTNode;
	parent.AddChild( child );
	delete child;
	// The parent still names the deleted child: detaching is the owner's job.
	EXPECT_EQ( parent.mpChild, child );
	parent.mpChild = nullptr;
}

} // namespace
