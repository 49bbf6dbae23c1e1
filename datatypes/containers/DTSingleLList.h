/*
===============================================================================

	Singly linked list of values.

	Each value sits in its own node, allocated one by one with operator
	new; the list keeps its head, its tail and its count, so appending and
	taking the front are constant time. Find and Remove let a walk drop
	nodes as it goes: Find reports the predecessor of the node it finds,
	and Remove leaves the caller's node pointer on the node that followed.

===============================================================================
*/
#ifndef DT_SINGLE_L_LIST_H
#define DT_SINGLE_L_LIST_H

#include "datatypes/base/DTTypes.h"

#include <new>

template< class T >
class DTSingleLList {
public:
	struct Node {
		T					mValue;
		Node *				mpNext;
	};

							DTSingleLList() : mpHead( nullptr ), mpTail( nullptr ), muiCount( 0 ) {}
	virtual					~DTSingleLList() { Clear(); }

							DTSingleLList( const DTSingleLList & ) = delete;
	DTSingleLList &			operator=( const DTSingleLList & ) = delete;

	// Appends a copy of value at the tail; false when no node could be allocated.
	bool					PushBack( const T & value );

	// Frees the head node; nothing on an empty list.
	void					PopFront();

	// Frees every node.
	void					Clear();

	// The first node holding value, or null. prev receives its predecessor
	// (null when the node is the head, or when nothing was found).
	Node *					Find( Node *& prev, const T & value ) const;

	// Unlinks and frees node, whose predecessor is prev (null for the head),
	// then sets node to the node that followed so a walk can go on. A pair
	// that does not describe a link of this list changes nothing and gives
	// false.
	bool					Remove( Node *& prev, Node *& node );

	Node *					GetHead() const { return mpHead; }
	Node *					GetTail() const { return mpTail; }
	u32						GetCount() const { return muiCount; }

private:
	Node *					mpHead;
	Node *					mpTail;
	u32						muiCount;
};

template< class T >
bool DTSingleLList<T>::PushBack( const T & value ) {
	Node * node = new ( std::nothrow ) Node{ value, nullptr };
	if ( node == nullptr ) {
		return false;
	}
	if ( mpTail != nullptr ) {
		mpTail->mpNext = node;
	} else {
		mpHead = node;
	}
	mpTail = node;
	muiCount++;
	return true;
}

template< class T >
void DTSingleLList<T>::PopFront() {
	if ( mpHead == nullptr ) {
		return;
	}
	Node * node = mpHead;
	mpHead = node->mpNext;
	if ( mpHead == nullptr ) {
		mpTail = nullptr;
	}
	delete node;
	muiCount--;
}

template< class T >
void DTSingleLList<T>::Clear() {
	while ( mpHead != nullptr ) {
		PopFront();
	}
	mpHead = nullptr;
	mpTail = nullptr;
}

template< class T >
typename DTSingleLList<T>::Node * DTSingleLList<T>::Find( Node *& prev, const T & value ) const {
	prev = nullptr;
	for ( Node * node = mpHead; node != nullptr; node = node->mpNext ) {
		if ( node->mValue == value ) {
			return node;
		}
		prev = node;
	}
	prev = nullptr;
	return nullptr;
}

template< class T >
bool DTSingleLList<T>::Remove( Node *& prev, Node *& node ) {
	if ( node == nullptr ) {
		return false;
	}
	Node *& link = prev != nullptr ? prev->mpNext : mpHead;
	if ( link != node ) {
		return false;
	}
	Node * next = node->mpNext;
	link = next;
	if ( mpTail == node ) {
		mpTail = prev;
	}
	delete node;
	muiCount--;
	node = next;
	return true;
}

#endif
