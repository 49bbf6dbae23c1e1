/*
===============================================================================

	Removal from the projector manager's receiver list and the shadow
	manager's caster list: a game object registers one record per 3D
	object, so removing the object removes all of them (a record left
	behind would keep a destroyed object for the next frame).

===============================================================================
*/
#ifndef EF_OBJECT_ENTRY_LIST_H
#define EF_OBJECT_ENTRY_LIST_H

#include "datatypes/base/DTTypes.h"

class EFGameObject;

// Unlinks every record of object (onRemove sees each before it is
// freed): 1 when there was one, else 0.
template< class Entry, class OnRemove >
u32 EFRemoveEveryEntryOf( Entry *& head, const EFGameObject * object, OnRemove onRemove ) {
	u32 found = 0;
	Entry ** link = &head;
	while ( *link != nullptr ) {
		Entry * const entry = *link;
		if ( entry->mpoObject != object ) {
			link = &entry->mpNext;
			continue;
		}
		*link = entry->mpNext;
		onRemove( entry );
		delete entry;
		found = 1;
	}
	return found;
}

#endif
