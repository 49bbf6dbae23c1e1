/*
===============================================================================

	Singly linked list of particles, emitters or particle types, threaded
	through the element's own mpoNext, with head, tail and count. The list
	owns nothing: removing or resetting deletes no element.

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
	// The head taken off the list, or null when empty.
	T *						RemoveFirst();
	// Finds element and unlinks it; false when it is not on the list.
	bool					Remove( T * element );
	// Unlinks element, which follows prev (null: element is the head).
	void					Remove( T * prev, T * element );
	T *						GetFirst() const { return mpoHead; }
	u32						GetCount() const { return mui32Count; }
	// Forgets every element; nothing is deleted.
	void					Reset() { mpoHead = mpoTail = nullptr; mui32Count = 0; }
	// The list becomes the count elements of array, stride bytes apart, in
	// array order.
	void					ResetFreeList( T * array, s32 count, s32 stride );

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

template< class T >
T * PLLinkList<T>::RemoveFirst() {
	T * const head = mpoHead;
	if ( head == nullptr ) {
		return nullptr;
	}
	Remove( nullptr, head );
	return head;
}

template< class T >
bool PLLinkList<T>::Remove( T * element ) {
	T * prev = nullptr;
	for ( T * it = mpoHead; it != nullptr; prev = it, it = it->mpoNext ) {
		if ( it == element ) {
			Remove( prev, element );
			return true;
		}
	}
	return false;
}

template< class T >
void PLLinkList<T>::Remove( T * prev, T * element ) {
	if ( prev == nullptr ) {
		mpoHead = element->mpoNext;
	} else {
		prev->mpoNext = element->mpoNext;
	}
	if ( mpoTail == element ) {
		mpoTail = prev;
	}
	element->mpoNext = nullptr;
	mui32Count--;
}

template< class T >
void PLLinkList<T>::ResetFreeList( T * array, const s32 count, const s32 stride ) {
	Reset();
	u8 * bytes = reinterpret_cast<u8 *>( array );
	for ( s32 i = 0; i < count; i++ ) {
		AddLast( reinterpret_cast<T *>( bytes ) );
		bytes += stride;
	}
}

#endif
