/*
===============================================================================

	Intrusive circular doubly linked lists of the 3D library.

	A list is a sentinel link whose next and previous point back at itself
	when the list is empty. Objects embed an RwLLLink and are found again from
	it with the owner's offset. A link whose next is null belongs to no list;
	the library uses that to tell objects that were never listed.

===============================================================================
*/
#ifndef RW_LINK_LIST_H
#define RW_LINK_LIST_H

#include "datatypes/base/DTTypes.h"

#include <cstddef>

struct RwLLLink {
	RwLLLink*	next;
	RwLLLink*	prev;
};

struct RwLinkList {
	RwLLLink	link;
};

inline void rwLinkListInitialize( RwLinkList* list ) {
	list->link.next = &list->link;
	list->link.prev = &list->link;
}

inline bool rwLinkListEmpty( const RwLinkList* list ) {
	return list->link.next == &list->link;
}

inline RwLLLink* rwLinkListGetFirst( RwLinkList* list ) { return list->link.next; }
inline RwLLLink* rwLinkListGetLast( RwLinkList* list ) { return list->link.prev; }
inline RwLLLink* rwLinkListGetTerminator( RwLinkList* list ) { return &list->link; }

// Inserts the link right after the sentinel.
inline void rwLinkListAddLLLink( RwLinkList* list, RwLLLink* link ) {
	link->next = list->link.next;
	link->prev = &list->link;
	list->link.next->prev = link;
	list->link.next = link;
}

// Unlinks the link and leaves it pointing at nothing.
inline void rwLinkListRemoveLLLink( RwLLLink* link ) {
	link->prev->next = link->next;
	link->next->prev = link->prev;
	link->next = nullptr;
	link->prev = nullptr;
}

// The record that holds link at linkOffset (offsetof the member).
template< typename T >
inline T* rwLLLinkGetData( RwLLLink* link, const size_t linkOffset ) {
	return reinterpret_cast<T*>( reinterpret_cast<u8*>( link ) - linkOffset );
}

#endif
