/*
===============================================================================

	Head and tail of an intrusive singly linked list.

	The elements carry their own next link, under whatever name their class
	gives it, so the owner of the list links and unlinks them itself; this
	class only holds the two ends. It owns nothing: Reset forgets both ends
	and never touches an element.

===============================================================================
*/
#ifndef DT_SIMPLE_LINK_LIST_H
#define DT_SIMPLE_LINK_LIST_H

template< class T >
class DTSimpleLinkList {
public:
							DTSimpleLinkList() { Reset(); }
	virtual					~DTSimpleLinkList() { Reset(); }

							DTSimpleLinkList( const DTSimpleLinkList & ) = delete;
	DTSimpleLinkList &		operator=( const DTSimpleLinkList & ) = delete;

	// Forgets both ends without touching the elements.
	void					Reset() { mpFirst = nullptr; mpLast = nullptr; }

	bool					IsEmpty() const { return mpFirst == nullptr; }

	T *						mpFirst;
	T *						mpLast;
};

#endif
