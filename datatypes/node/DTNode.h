/*
===============================================================================

	Intrusive tree node: parent, first child and next sibling.

	A node with a parent is in that parent's child chain exactly once; a
	node without one has no sibling. Adding a child puts it first in the
	chain, so children run newest first. The destructor touches no link:
	whoever deletes a node detaches it (and its children) first.

===============================================================================
*/
#ifndef DT_NODE_H
#define DT_NODE_H

#include "datatypes/base/DTTypes.h"

class DTNode {
public:
							DTNode();
	virtual					~DTNode();

							DTNode( const DTNode & ) = delete;
	DTNode &				operator=( const DTNode & ) = delete;

	// Makes child the first child of this node, taking it from its former
	// parent first. A null child does nothing. The second argument is not
	// used.
	void					AddChild( DTNode * child, const u32 unused = 0 );
	// Unlinks this node from its parent's chain; its own children stay
	// with it. Nothing happens without a parent. The argument is not used.
	void					LeaveParent( const u32 unused = 0 );

	DTNode *				mpParent;
	DTNode *				mpChild;
	DTNode *				mpNext;
};

#endif
