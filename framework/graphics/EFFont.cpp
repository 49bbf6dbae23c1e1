#include "framework/graphics/EFFont.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "framework/graphics/hud/EFHudMgr.h"
#include "framework/graphics/EFTextureDict.h"

#include <new>

DT_IMPLEMENT_DYNAMIC_CLASS( EFFont, "EF_FONTS", EF_FONT_CLASS_ID, IT_OBJECT );

EFFont::EFFont()
	: mppoTextures( nullptr ), mui32Reserved( 0 ), mfScreenLineHeight( 0.0f ), mfScreenSpaceSize( 0.0f ),
	  mfScreenInterSpace( 0.0f ), muiTextureCount( 0 ), mpfCharRecords( nullptr ), muiCharCount( 0 ),
	  maAsciiGlyphs() {
}

EFFont::~EFFont() {
	FreeTables();
}

s32 EFFont::GetClassID() const {
	return EF_FONT_CLASS_ID;
}

const char * EFFont::GetClassName() const {
	return "EF_FONTS";
}

void EFFont::FreeTables() {
	delete[] mppoTextures;
	mppoTextures = nullptr;
	muiTextureCount = 0;
	delete[] mpfCharRecords;
	mpfCharRecords = nullptr;
	muiCharCount = 0;
}

bool EFFont::DecodeTables() {
	const u8 * const ascii = GetAsciiTable();
	for ( u32 i = 0; i < EF_FONT_ASCII_ENTRIES; i++ ) {
		maAsciiGlyphs[i] = DTReadBE16( ascii + 2 * i );
	}
	// The count follows the bytes actually held, not the stored NB_CHARS.
	const u32 count = GetCharTableBytes() / DT_FONTS_CHAR_RECORD_BYTES;
	if ( count == 0 || GetCharTable() == nullptr ) {
		return true;
	}
	mpfCharRecords = new ( std::nothrow ) f32[static_cast<size_t>( count ) * EF_FONT_CHAR_FIELDS];
	if ( mpfCharRecords == nullptr ) {
		return false;
	}
	const u8 * stored = GetCharTable();
	for ( u32 i = 0; i < count * EF_FONT_CHAR_FIELDS; i++, stored += sizeof( u32 ) ) {
		mpfCharRecords[i] = DTReadBEF32( stored );
	}
	muiCharCount = count;
	return true;
}

bool EFFont::BindTextures() {
	const u32 count = moFontTextureNames.GetSize();
	if ( count == 0 ) {
		return true;
	}
	mppoTextures = new ( std::nothrow ) RwTexture *[count];
	if ( mppoTextures == nullptr ) {
		return false;
	}
	const EFTextureDict * const dictionary = EFTextureDict::GetInstance();
	for ( u32 i = 0; i < count; i++ ) {
		const char * const name = moFontTextureNames[i].GetStr();
		mppoTextures[i] = name != nullptr ? dictionary->GetTexture( name ) : nullptr;
	}
	muiTextureCount = count;
	return true;
}

s32 EFFont::LoadFromStream( DTBasePersistStream & stream ) {
	FreeTables();
	const s32 result = DTFontsDescriptor::LoadFromStream( stream );
	if ( result != 0 ) {
		return result;
	}
	DecodeTables();
	BindTextures();
	if ( uiInstancePUID == EF_FONT_NOT_INSTALLED || gpoHudMgr == nullptr ) {
		return result;
	}
	gpoHudMgr->AddFont( this, static_cast<u32>( uiInstancePUID ) );
	return result;
}

bool EFFont::IsOwnedElsewhere() const {
	return gpoHudMgr != nullptr && uiInstancePUID >= 0 && gpoHudMgr->GetFont( static_cast<u32>( uiInstancePUID ) ) == this;
}

void EFFont::ComputeScreenDims( const f32 sx, const f32 sy ) {
	for ( u32 i = 0; i < muiCharCount; i++ ) {
		f32 * const record = mpfCharRecords + static_cast<size_t>( i ) * EF_FONT_CHAR_FIELDS;
		record[EF_FONT_CHAR_SCREEN_WIDTH] = record[EF_FONT_CHAR_WIDTH] * sx;
		record[EF_FONT_CHAR_SCREEN_HEIGHT] = record[EF_FONT_CHAR_HEIGHT] * sy;
		record[EF_FONT_CHAR_SCREEN_Y_OFFSET] = record[EF_FONT_CHAR_Y_OFFSET] * sy;
	}
	mfScreenLineHeight = mfLineHeight * sy;
	mfScreenSpaceSize = mfSpaceSize * sx;
	mfScreenInterSpace = mfInterSpace * sx;
}

const f32 * EFFont::GetCharRecord( const u32 index ) const {
	if ( index >= muiCharCount ) {
		return nullptr;
	}
	return mpfCharRecords + static_cast<size_t>( index ) * EF_FONT_CHAR_FIELDS;
}

u16 EFFont::GetGlyphOfAscii( const u32 code ) const {
	return code < EF_FONT_ASCII_ENTRIES ? maAsciiGlyphs[code] : 0;
}

RwTexture * EFFont::GetTexture( const u32 index ) const {
	return index < muiTextureCount ? mppoTextures[index] : nullptr;
}
