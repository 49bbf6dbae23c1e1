#include "tools/lib/level/ToolSampleTextures.h"

#include "tools/lib/ToolBigEndianWriter.h"
#include "tools/lib/level/ToolLevelWriter.h"
#include "tools/lib/level/ToolTextureDictWriter.h"

namespace {

constexpr u32 LAMP_ENTRIES = 16;

// A 4-bit picture of horizontal bands through a grey ramp.
ToolImage Bands( const s32 width, const s32 height ) {
	std::vector<std::array<u8, 4>> palette;
	for ( u32 i = 0; i < 16; i++ ) {
		const u8 level = static_cast<u8>( 0x20 + i * 0x0C );
		palette.push_back( { level, level, static_cast<u8>( level / 2 + 0x60 ), 0xFF } );
	}
	ToolImage image = ToolPalettisedImage( width, height, 4, palette );
	const s32 stride = image.Stride();
	for ( s32 y = 0; y < height; y++ ) {
		const u8 index = static_cast<u8>( ( y * 16 / height ) & 0xF );
		for ( s32 x = 0; x < stride; x++ ) {
			image.pixels[static_cast<size_t>( y * stride + x )] = static_cast<u8>( index | index << 4 );
		}
	}
	return image;
}

void AddPalette( std::vector<u8>& buffer, const u32 colour ) {
	for ( u32 i = 0; i < LAMP_ENTRIES; i++ ) {
		for ( s32 shift = 24; shift >= 0; shift -= 8 ) {
			buffer.push_back( static_cast<u8>( colour >> shift ) );
		}
	}
}

}

std::vector<u8> ToolSampleTextureDictionary() {
	const std::vector<std::array<u8, 4>> lamp = { { 0xFF, 0xC0, 0x40, 0xC0 }, { 0, 0, 0, 0xFF } };
	std::vector<u8> bytes;
	// The drop-down shadow darkens by its colour: a grey blob.
	ToolWriteTextureDictionary( { { "FONT0", ToolSolidImage( 16, 16, { 0xFF, 0xFF, 0xFF, 0xFF } ) },
								  { TOOL_SAMPLE_PALETTISED_TEXTURE, ToolPalettisedImage( 8, 8, 4, lamp ) },
								  { "DefaultDropShadow", ToolSolidImage( 16, 16, { 0x80, 0x80, 0x80, 0xFF } ) },
								  { "LensFlareTex1", ToolSolidImage( 16, 16, { 0xFF, 0xF0, 0xC0, 0xFF } ) },
								  { "LensFlareTex2", ToolSolidImage( 16, 16, { 0x80, 0xC0, 0xFF, 0xFF } ) },
								  { "LensFlareTex3", ToolSolidImage( 16, 16, { 0xC0, 0x80, 0xFF, 0xFF } ) },
								  { TOOL_SAMPLE_SPRITE_TEXTURE, ToolSolidImage( 8, 8, { 0xFF, 0x40, 0x40, 0xFF } ) } },
								bytes );
	return bytes;
}

std::vector<u8> ToolSampleLoadingDictionary( const bool pal ) {
	std::vector<u8> bytes;
	ToolWriteTextureDictionary( { { "LOADBACK", Bands( 640, pal ? 512 : 448 ) },
								  { "LOADBAR", ToolSolidImage( 64, 16, { 0x40, 0xC0, 0x40, 0xFF } ) } },
								bytes );
	return bytes;
}

ToolResourceRecord ToolSamplePaletteRecord() {
	ToolPaletteDictionary dictionary;
	dictionary.nbStates = 2;
	AddPalette( dictionary.paletteBuffer, 0xFFC040C0 );
	AddPalette( dictionary.paletteBuffer, 0x4080FFFF );
	dictionary.entries = { { TOOL_SAMPLE_PALETTISED_TEXTURE, '\n', { 0, static_cast<s32>( LAMP_ENTRIES * 4 ) } } };
	ToolBigEndianWriter out;
	ToolLevelWriter::WritePaletteDictionary( out, dictionary );
	ToolResourceRecord record;
	record.classId = TOOL_CLASS_PALETTE_DICTIONARY;
	record.object = out.Take();
	return record;
}
