#include "datatypes/descriptor/DTTextsDescriptor.h"

#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/streamable/DTDataBlock.h"
#include "datatypes/property/DTVariant.h"

#include <new>

namespace {

// Least stored bytes of one language besides its index entries: the two
// block counts, the size and the character.
constexpr u64 LANGUAGE_FIXED_BYTES	= 13;
// The same in the text form: four items of at least one character.
constexpr u64 TEXT_LANGUAGE_MIN		= 4;

} // namespace

DTTextsDescriptor::DTTextsDescriptor()
	: mui32NbLangues( 0 ), mui32NbTextes( 0 ), mpLanguages( nullptr ), muiLanguageCount( 0 ) {
	ReserveMembers( 2 );
	RegisterMember( DTVariant( &mui32NbLangues ), "NB_LANGUES" );
	RegisterMember( DTVariant( &mui32NbTextes ), "NB_TEXTES" );
}

DTTextsDescriptor::~DTTextsDescriptor() {
	FreeTables();
}

const u8 * DTTextsDescriptor::GetTextIndex( const u32 language ) const {
	return language < muiLanguageCount ? mpLanguages[language].mpIndex : nullptr;
}

u32 DTTextsDescriptor::GetTextIndexBytes( const u32 language ) const {
	return language < muiLanguageCount ? mpLanguages[language].muiIndexBytes : 0;
}

const u8 * DTTextsDescriptor::GetTexts( const u32 language ) const {
	return language < muiLanguageCount ? mpLanguages[language].mpTexts : nullptr;
}

u32 DTTextsDescriptor::GetTextsBytes( const u32 language ) const {
	return language < muiLanguageCount ? mpLanguages[language].muiTextsBytes : 0;
}

void DTTextsDescriptor::FreeTables() {
	for ( u32 i = 0; i < muiLanguageCount; i++ ) {
		delete[] mpLanguages[i].mpIndex;
		delete[] mpLanguages[i].mpTexts;
	}
	delete[] mpLanguages;
	mpLanguages = nullptr;
	muiLanguageCount = 0;
}

s32 DTTextsDescriptor::LoadFromStream( DTBasePersistStream & stream ) {
	s32 result = DTBaseInstanceDescriptor::LoadFromStream( stream );
	if ( mui32NbLangues == 0 || mui32NbTextes == 0 ) {
		return result;
	}
	FreeTables();
	const u64 perLanguage = stream.IsText() ? TEXT_LANGUAGE_MIN
		: LANGUAGE_FIXED_BYTES + static_cast<u64>( mui32NbTextes ) * DT_TEXTS_INDEX_ENTRY_BYTES;
	if ( static_cast<u64>( mui32NbLangues ) * perLanguage > stream.GetBytesLeft() ) {
		return result + DT_PERSIST_READ_PAST_END;
	}
	mpLanguages = new ( std::nothrow ) _sLanguage[mui32NbLangues]();
	if ( mpLanguages == nullptr ) {
		return result + DT_PERSIST_READ_PAST_END;
	}
	muiLanguageCount = mui32NbLangues;
	for ( u32 i = 0; i < muiLanguageCount; i++ ) {
		result += LoadLanguage( stream, mpLanguages[i] );
	}
	return result;
}

s32 DTTextsDescriptor::LoadLanguage( DTBasePersistStream & stream, _sLanguage & language ) {
	const u64 indexBytes = static_cast<u64>( mui32NbTextes ) * DT_TEXTS_INDEX_ENTRY_BYTES;
	s32 result = DTDataBlock::LoadNew( stream, "TEXTS_TABLE", indexBytes, language.mpIndex );
	language.muiIndexBytes = language.mpIndex != nullptr ? static_cast<u32>( indexBytes ) : 0;

	u32 textsBytes = 0;
	stream.LoadData( textsBytes );
	char separator = 0;
	stream.LoadData( separator );

	result += DTDataBlock::LoadNew( stream, "TEXTS", textsBytes, language.mpTexts );
	language.muiTextsBytes = language.mpTexts != nullptr ? textsBytes : 0;
	return result;
}
