/*
===============================================================================

	Singly linked list of particles, emitters or particle types, threaded
	through the element's own mpoNext, with head, tail and count.

	Only what the physics reads and its tests need exists so far: adding
	in front or at the back, and the first element.

===============================================================================
*/
#ifndef PL_LINK_LIST_H
#define PL_LINK_LIST_H

#include "datatypes/base/DTTypes.h"

template< class T >
class PLLinkList {
public:
							PLLinkList() : mpoHead( nullptr ), mpoTail( nullptr ), mui32Count( 0 ) {}

	void					AddFirst( T * element );
	void					AddLast( T * element );
	T *						GetFirst() const { return mpoHead; }
	u32						GetCount() const { return mui32Count; }
	// Forgets every element; nothing is deleted.
	void					Reset() { mpoHead = mpoTail = nullptr; mui32Count = 0; }

private:
	T *						mpoHead;
	T *						mpoTail;
	u32						mui32Count;
};

template< class T >
void PLLinkList<T>::AddFirst( T * element ) {
	element->mpoNext = mpoHead;
	mpoHead = element;
	if ( mpoTail == nullptr ) {
		mpoTail = element;
	}
	mui32Count++;
}

template< class T >
void PLLinkList<T>::AddLast( T * element ) {
	element->mpoNext = nullptr;
	if ( mpoTail != nullptr ) {
		mpoTail->mpoNext = element;
	} else {
		mpoHead = element;
	}
	mpoTail = element;
	mui32Count++;
}

#endif
