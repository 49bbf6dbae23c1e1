#include "datatypes/streamfile/DTStreamFAT.h"

#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/property/DTProperty.h"

namespace {

// Least bytes of one record in the text form: four numbers of one digit,
// each followed by a separator.
constexpr u32 TEXT_RECORD_MIN	= 8;
constexpr u32 WORDS_PER_RECORD	= 4;

} // namespace

DTStreamFAT::DTStreamFAT()
	: mui32Count( DT_STREAM_FAT_NOT_LOADED ), mui32LeadingWord( 0 ) {
	moRecords.Reserve( 2 );
	moObjects.Reserve( 2 );
}

DTStreamFAT::~DTStreamFAT() {
}

DTStreamable * DTStreamFAT::GetObject( const u32 index ) const {
	return index < moObjects.GetSize() ? moObjects[index] : nullptr;
}

void DTStreamFAT::SetObject( const u32 index, DTStreamable * object ) {
	if ( index < moObjects.GetSize() ) {
		moObjects[index] = object;
	}
}

void DTStreamFAT::Empty() {
	moRecords.Resize( 0 );
	moObjects.Resize( 0 );
	mui32Count = DT_STREAM_FAT_NOT_LOADED;
}

s32 DTStreamFAT::LoadHeader( DTBasePersistStream & stream, const u32 recordBytes ) {
	Empty();
	u32 leadingWord = 0;
	s32 result = stream.LoadData( leadingWord );
	if ( result != DT_PERSIST_OK ) {
		return result;
	}
	mui32LeadingWord = leadingWord;
	u32 count = 0;
	result = stream.LoadData( count );
	if ( result != DT_PERSIST_OK ) {
		return result;
	}
	if ( static_cast<u64>( count ) * recordBytes > stream.GetBytesLeft() ) {
		return DT_PERSIST_READ_PAST_END;
	}
	if ( !moRecords.Resize( count ) || !moObjects.Resize( count ) ) {
		Empty();
		return DT_PERSIST_READ_PAST_END;
	}
	for ( u32 i = 0; i < count; i++ ) {
		moRecords[i].mui32FirstWord = 0;
		moRecords[i].mui32ObjectSize = 0;
		moRecords[i].mui32ThirdWord = 0;
		moRecords[i].miClassID = 0;
		moObjects[i] = nullptr;
	}
	mui32Count = count;
	return DT_PERSIST_OK;
}

s32 DTStreamFAT::LoadPropertiesBinary( DTBasePersistStream & stream ) {
	s32 result = LoadHeader( stream, DT_FAT_RECORD_BYTES );
	for ( u32 i = 0; i < moRecords.GetSize() && result == DT_PERSIST_OK; i++ ) {
		u8 bytes[DT_FAT_RECORD_BYTES] = {};
		result = stream.LoadBinaryData( reinterpret_cast<char *>( bytes ), DT_FAT_RECORD_BYTES );
		moRecords[i].Decode( bytes );
	}
	return result;
}

s32 DTStreamFAT::LoadPropertiesText( char *, DTBasePersistStream & stream ) {
	const s32 result = LoadHeader( stream, TEXT_RECORD_MIN );
	if ( result != DT_PERSIST_OK ) {
		return result;
	}
	DTVector<s32> words;
	DTProperty array( "FAT", DTVariant( &words ), false, 0 );
	const s32 arrayResult = array.LoadFromStream( stream );
	// The array carries its own count: take no more words than the table
	// has records for, and leave the rest zero.
	const u32 available = words.GetSize() / WORDS_PER_RECORD;
	const u32 filled = available < moRecords.GetSize() ? available : moRecords.GetSize();
	for ( u32 i = 0; i < filled; i++ ) {
		const u32 first = i * WORDS_PER_RECORD;
		moRecords[i].mui32FirstWord = static_cast<u32>( words[first] );
		moRecords[i].mui32ObjectSize = static_cast<u32>( words[first + 1] );
		moRecords[i].mui32ThirdWord = static_cast<u32>( words[first + 2] );
		moRecords[i].miClassID = words[first + 3];
	}
	// A table whose records did not load is no table: nothing of it stays.
	if ( arrayResult != DT_PERSIST_OK ) {
		Empty();
	}
	return result | arrayResult;
}

s32 DTStreamFAT::SavePropertiesText( DTBasePersistStream & ) {
	return DT_PERSIST_OK;
}

s32 DTStreamFAT::SavePropertiesBinary( DTBasePersistStream & ) {
	return DT_PERSIST_OK;
}
