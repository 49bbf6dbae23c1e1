#include "datatypes/node/DTNode.h"

DTNode::DTNode() : mpParent( nullptr ), mpChild( nullptr ), mpNext( nullptr ) {
}

DTNode::~DTNode() {
}

void DTNode::AddChild( DTNode * child, const u32 ) {
	if ( child == nullptr ) {
		return;
	}
	if ( child->mpParent != nullptr ) {
		child->LeaveParent();
	}
	child->mpNext = mpChild;
	child->mpParent = this;
	mpChild = child;
}

void DTNode::LeaveParent( const u32 ) {
	if ( mpParent == nullptr ) {
		return;
	}
	DTNode ** link = &mpParent->mpChild;
	while ( *link != nullptr && *link != this ) {
		link = &( *link )->mpNext;
	}
	if ( *link == this ) {
		*link = mpNext;
	}
	mpParent = nullptr;
	mpNext = nullptr;
}
