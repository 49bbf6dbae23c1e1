/*
===============================================================================

	Bitmap font of the HUD ("EF_FONTS", class 58), loaded from FONT<n>.FT.

	Loading reads the font descriptor, decodes its stored big-endian tables
	into the font's own native ones, binds one texture per texture name of
	the descriptor (null for a name the texture set does not hold) and
	installs the font in the HUD manager under its instance id. A font
	whose instance id is all ones loads but is not installed. A failed
	descriptor load binds and installs nothing and returns its code, so
	the loader may destroy the font.

	Character records: NB_CHARS records of 11 floats each, in this order:
	u, v, u size, v size (texture coordinates of the glyph), pixel width,
	pixel height, y offset, texture page, then the three screen values
	that ComputeScreenDims fills: screen width, screen height and screen
	y offset. The character map holds 128 glyph indices, one per ASCII
	code.

===============================================================================
*/
#ifndef EF_FONT_H
#define EF_FONT_H

#include "datatypes/descriptor/DTFontsDescriptor.h"

struct RwTexture;

constexpr s32 EF_FONT_CLASS_ID			= 58;
// Instance id of a font that is not installed.
constexpr s32 EF_FONT_NOT_INSTALLED		= -1;

// Fields of one character record.
enum EFFontCharField_e : u32 {
	EF_FONT_CHAR_U				= 0,
	EF_FONT_CHAR_V				= 1,
	EF_FONT_CHAR_U_SIZE			= 2,
	EF_FONT_CHAR_V_SIZE			= 3,
	EF_FONT_CHAR_WIDTH			= 4,
	EF_FONT_CHAR_HEIGHT			= 5,
	EF_FONT_CHAR_Y_OFFSET		= 6,
	EF_FONT_CHAR_PAGE			= 7,
	EF_FONT_CHAR_SCREEN_WIDTH	= 8,
	EF_FONT_CHAR_SCREEN_HEIGHT	= 9,
	EF_FONT_CHAR_SCREEN_Y_OFFSET	= 10,
	EF_FONT_CHAR_FIELDS			= 11
};

constexpr u32 EF_FONT_ASCII_ENTRIES		= 128;

class EFFont : public DTFontsDescriptor {
public:
							EFFont();
							~EFFont() override;

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;

	// Descriptor load, tables, textures, then installation (see above).
	s32						LoadFromStream( DTBasePersistStream & stream ) override;
	// True while the HUD manager holds it in its slot (it deletes it).
	bool					IsOwnedElsewhere() const override;

	// Screen sizes for the horizontal factor sx and the vertical factor sy:
	// per character, screen width = pixel width x sx, screen height and
	// screen y offset = pixel height and y offset x sy; then line height
	// x sy, space and inter-character space x sx.
	void					ComputeScreenDims( f32 sx, f32 sy );

	// Decoded tables: character records (GetCharCount() of them, null for
	// none) and the ASCII map.
	u32						GetCharCount() const { return muiCharCount; }
	const f32 *				GetCharRecord( u32 index ) const;
	u16						GetGlyphOfAscii( u32 code ) const;

	u32						GetTextureCount() const { return muiTextureCount; }
	RwTexture *				GetTexture( u32 index ) const;

	RwTexture **			mppoTextures;
	u32						mui32Reserved;
	f32						mfScreenLineHeight;
	f32						mfScreenSpaceSize;
	f32						mfScreenInterSpace;

private:
	u32						muiTextureCount;
	f32 *					mpfCharRecords;
	u32						muiCharCount;
	u16						maAsciiGlyphs[EF_FONT_ASCII_ENTRIES];

	void					FreeTables();
	bool					DecodeTables();
	bool					BindTextures();
};

#endif
