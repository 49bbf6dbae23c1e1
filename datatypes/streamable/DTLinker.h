/*
===============================================================================

	Collects the references between the objects of one stream file.

	The first record handed in for a link id is kept. A later record with
	the same id is not kept: it is answered with the object the first
	record's field holds at that moment (null while that field is still
	empty), which its caller writes into its own field.

===============================================================================
*/
#ifndef DT_LINKER_H
#define DT_LINKER_H

#include "datatypes/streamable/DTLinkRecord.h"
#include "datatypes/base/DTTypes.h"
#include "datatypes/containers/DTVector.h"

// Records the linker has room for before it grows.
constexpr u32 DT_LINKER_RESERVED_RECORDS	= 20;

class DTLinker {
public:
							DTLinker();
	virtual					~DTLinker();

							DTLinker( const DTLinker & ) = delete;
	DTLinker &				operator=( const DTLinker & ) = delete;

	// The object already known for the record's id, or null (the record is
	// then kept).
	DTStreamable *			AddObjectToResolve( const DTLinkRecord & record );

	u32						GetRecordCount() const { return mvLinkDB.GetSize(); }
	const DTLinkRecord &	GetRecord( const u32 index ) const { return mvLinkDB[index]; }

private:
	DTVector<DTLinkRecord>	mvLinkDB;
};

#endif
