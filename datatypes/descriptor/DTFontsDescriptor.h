/*
===============================================================================

	Stored description of a font: its metrics, texture names and tables.

	After the members "NB_CHARS", "POSITION_0", "SPACE_SIZE", "LINE_HEIGHT",
	"INTER_SPACE", "FONT_TEXTURE_NAMES" and "SIZE_TEXT_INDEX_TABLE" come
	three blocks: "TEXT_INDEX_TABLE" of 4 x "SIZE_TEXT_INDEX_TABLE" bytes
	and "CHAR_TABLE" of 44 x "NB_CHARS" bytes (each only when its count is
	not 0), then always "ASCII_TABLE" of 256 bytes. The tables are kept as
	the stored big-endian bytes; the font code decodes them.

===============================================================================
*/
#ifndef DT_FONTS_DESCRIPTOR_H
#define DT_FONTS_DESCRIPTOR_H

#include "datatypes/descriptor/DTBaseInstanceDescriptor.h"
#include "datatypes/containers/DTString.h"
#include "datatypes/containers/DTVector.h"

// Bytes of one text index entry, of one character record, and of the
// character-to-record table.
constexpr u32 DT_FONTS_INDEX_ENTRY_BYTES	= 4;
constexpr u32 DT_FONTS_CHAR_RECORD_BYTES	= 44;
constexpr u32 DT_FONTS_ASCII_TABLE_BYTES	= 256;

class DTFontsDescriptor : public DTBaseInstanceDescriptor {
public:
							DTFontsDescriptor();
	// Frees the tables.
	virtual					~DTFontsDescriptor();

	// Members, then the blocks; the results added.
	s32						LoadFromStream( DTBasePersistStream & stream ) override;

	const u8 *				GetTextIndexTable() const { return mpTextIndexTable; }
	u32						GetTextIndexTableBytes() const { return muiTextIndexTableBytes; }
	const u8 *				GetCharTable() const { return mpCharTable; }
	u32						GetCharTableBytes() const { return muiCharTableBytes; }
	const u8 *				GetAsciiTable() const { return maAsciiTable; }
	u32						GetAsciiTableBytes() const { return DT_FONTS_ASCII_TABLE_BYTES; }

	u32						mui32NbChars;
	u32						mui32Position0;
	f32						mfSpaceSize;
	f32						mfLineHeight;
	f32						mfInterSpace;
	DTVector<DTString>		moFontTextureNames;
	u32						mui32SizeTextIndexTable;

private:
	u8 *					mpTextIndexTable;
	u32						muiTextIndexTableBytes;
	u8 *					mpCharTable;
	u32						muiCharTableBytes;
	u8						maAsciiTable[DT_FONTS_ASCII_TABLE_BYTES];

	void					FreeTables();
};

#endif
