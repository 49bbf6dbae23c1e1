/*
===============================================================================

	Table of contents at the head of a stream file.

	Stored form (big-endian): a leading word, kept and not interpreted; a
	u32 record count N; N records of 16 bytes (DTFatRecord); then the
	records' objects one after the other. The table's own UID is not
	stored. The text form gives the leading word, the count and an array
	of 4 x N longs.

	The count is checked before anything is sized: a count whose records
	cannot be in the bytes the stream still holds gives
	DT_PERSIST_READ_PAST_END, and a failed read of the leading word or the
	count gives that read's code. In every failure both lists stay empty.

	Beside each record the table keeps a slot for the object its loader
	creates.

===============================================================================
*/
#ifndef DT_STREAM_FAT_H
#define DT_STREAM_FAT_H

#include "datatypes/streamfile/DTFatRecord.h"
#include "datatypes/streamable/DTStreamable.h"

// Count of a table that has not been loaded.
constexpr u32 DT_STREAM_FAT_NOT_LOADED	= 0xFFFFFFFF;

class DTStreamFAT : public DTStreamable {
public:
							DTStreamFAT();
	virtual					~DTStreamFAT();

	s32						LoadPropertiesText( char * word, DTBasePersistStream & stream ) override;
	s32						LoadPropertiesBinary( DTBasePersistStream & stream ) override;
	// Write nothing; 0.
	s32						SavePropertiesText( DTBasePersistStream & stream ) override;
	s32						SavePropertiesBinary( DTBasePersistStream & stream ) override;

	// DT_STREAM_FAT_NOT_LOADED until a load succeeds.
	u32						GetCount() const { return mui32Count; }
	u32						GetLeadingWord() const { return mui32LeadingWord; }
	u32						GetRecordCount() const { return moRecords.GetSize(); }
	const DTFatRecord &		GetRecord( const u32 index ) const { return moRecords[index]; }

	// The object created for record index; null until set.
	DTStreamable *			GetObject( const u32 index ) const;
	void					SetObject( const u32 index, DTStreamable * object );

private:
	DTVector<DTFatRecord>	moRecords;
	DTVector<DTStreamable *>	moObjects;
	u32						mui32Count;
	u32						mui32LeadingWord;

	// Reads the leading word and the count, checks the count against the
	// bytes left (recordBytes per record) and sizes both lists.
	s32						LoadHeader( DTBasePersistStream & stream, const u32 recordBytes );
	void					Empty();
};

#endif
