/*
===============================================================================

	One reference between stored objects: the field to fill, the object
	that holds it, and the link id that names the object it refers to.

	Two records are equal when their link ids are equal, whatever fields
	they name. The default record is all zero.

===============================================================================
*/
#ifndef DT_LINK_RECORD_H
#define DT_LINK_RECORD_H

#include "datatypes/base/DTTypes.h"

class DTStreamable;

class DTLinkRecord {
public:
							DTLinkRecord();
							DTLinkRecord( DTStreamable ** member, DTStreamable * parent, const s32 linkID );

	bool					operator==( const DTLinkRecord & other ) const { return miLinkID == other.miLinkID; }
	bool					operator!=( const DTLinkRecord & other ) const { return miLinkID != other.miLinkID; }

	DTStreamable **			mppoMemberPointer;
	DTStreamable *			mpoParentPointer;
	s32						miLinkID;
};

#endif
