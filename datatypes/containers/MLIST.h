/*
===============================================================================

	Doubly linked list link.

	A link is embedded in the object it lists and names that object in
	pData, so the link may sit anywhere inside the object. pNext is the
	next link; pLast is the address of the word that points to this link:
	the previous link's pNext, or the head's pNext for the first link. A
	head is a link whose pNext is the first link of the list; its other
	fields are unused. Unlinking needs neither the head nor a walk.

===============================================================================
*/
#ifndef MLIST_H
#define MLIST_H

struct MLIST {
	MLIST *					pNext;
	MLIST **				pLast;
	void *					pData;

	// The listed object as the type its owner put in.
	template< class T >
	T *						GetData() const { return static_cast<T *>( pData ); }
};

// Takes link off its list: the word at pLast takes pNext, the next link's
// pLast takes this pLast, then both are cleared. A link on no list is left
// alone.
inline void MLISTUnlink( MLIST & link ) {
	if ( link.pLast == nullptr ) {
		return;
	}
	*link.pLast = link.pNext;
	if ( link.pNext != nullptr ) {
		link.pNext->pLast = link.pLast;
	}
	link.pNext = nullptr;
	link.pLast = nullptr;
}

// Puts link in front of the list of head. A link still on a list leaves
// it first, so neither list is ever corrupted.
inline void MLISTPushFront( MLIST & head, MLIST & link ) {
	MLISTUnlink( link );
	link.pNext = head.pNext;
	link.pLast = &head.pNext;
	if ( head.pNext != nullptr ) {
		head.pNext->pLast = &link.pNext;
	}
	head.pNext = &link;
}

#endif
