#include "datatypes/descriptor/DTFontsDescriptor.h"

#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/streamable/DTDataBlock.h"
#include "datatypes/property/DTVariant.h"

#include <cstring>

namespace {

constexpr u32 OWN_MEMBER_COUNT = 7;

} // namespace

DTFontsDescriptor::DTFontsDescriptor()
	: mui32NbChars( 0 ), mui32Position0( 0 ), mfSpaceSize( 0.0f ), mfLineHeight( 0.0f ), mfInterSpace( 0.0f ),
	  mui32SizeTextIndexTable( 0 ), mpTextIndexTable( nullptr ), muiTextIndexTableBytes( 0 ), mpCharTable( nullptr ),
	  muiCharTableBytes( 0 ) {
	std::memset( maAsciiTable, 0, sizeof( maAsciiTable ) );
	ReserveMembers( OWN_MEMBER_COUNT );
	RegisterMember( DTVariant( &mui32NbChars ), "NB_CHARS" );
	RegisterMember( DTVariant( &mui32Position0 ), "POSITION_0" );
	RegisterMember( DTVariant( &mfSpaceSize ), "SPACE_SIZE" );
	RegisterMember( DTVariant( &mfLineHeight ), "LINE_HEIGHT" );
	RegisterMember( DTVariant( &mfInterSpace ), "INTER_SPACE" );
	RegisterMember( DTVariant( &moFontTextureNames ), "FONT_TEXTURE_NAMES" );
	RegisterMember( DTVariant( &mui32SizeTextIndexTable ), "SIZE_TEXT_INDEX_TABLE" );
}

DTFontsDescriptor::~DTFontsDescriptor() {
	FreeTables();
}

void DTFontsDescriptor::FreeTables() {
	delete[] mpTextIndexTable;
	mpTextIndexTable = nullptr;
	muiTextIndexTableBytes = 0;
	delete[] mpCharTable;
	mpCharTable = nullptr;
	muiCharTableBytes = 0;
}

s32 DTFontsDescriptor::LoadFromStream( DTBasePersistStream & stream ) {
	s32 result = DTBaseInstanceDescriptor::LoadFromStream( stream );
	FreeTables();
	if ( mui32SizeTextIndexTable != 0 ) {
		const u64 bytes = static_cast<u64>( mui32SizeTextIndexTable ) * DT_FONTS_INDEX_ENTRY_BYTES;
		result += DTDataBlock::LoadNew( stream, "TEXT_INDEX_TABLE", bytes, mpTextIndexTable );
		muiTextIndexTableBytes = mpTextIndexTable != nullptr ? static_cast<u32>( bytes ) : 0;
	}
	if ( mui32NbChars != 0 ) {
		const u64 bytes = static_cast<u64>( mui32NbChars ) * DT_FONTS_CHAR_RECORD_BYTES;
		result += DTDataBlock::LoadNew( stream, "CHAR_TABLE", bytes, mpCharTable );
		muiCharTableBytes = mpCharTable != nullptr ? static_cast<u32>( bytes ) : 0;
	}
	result += DTDataBlock::LoadInto( stream, "ASCII_TABLE", maAsciiTable, DT_FONTS_ASCII_TABLE_BYTES );
	return result;
}
