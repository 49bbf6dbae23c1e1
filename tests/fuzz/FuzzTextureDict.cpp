/*
	Texture dictionaries: the bytes of a TEXDIC_<n>.TXD file (or of a
	loading-screen dictionary) on a memory persist stream, as the level
	loader and the loading screen hand them over. The first byte picks the
	reader: even, the whole dictionary; odd, one texture. Every texture
	loaded goes with the dictionary, and the stream never stands past its
	end.
*/
#include "FuzzTarget.h"

#include "datatypes/persist/DTMemoryPersistStream.h"
#include "framework/graphics/EFTextureDict.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "tools/lib/level/ToolTextureDictWriter.h"

namespace {

void Load( const u8* data, const size_t size ) {
	if ( size == 0 ) {
		return;
	}
	FuzzRwStart( false );
	RwTexDictionary* const dictionary = RwTexDictionaryCreate();
	FuzzCheck( dictionary != nullptr, "no dictionary" );
	RwTexDictionarySetCurrent( dictionary );
	std::vector<char> copy( data + 1, data + size );
	DTMemoryPersistStream stream( copy.empty() ? nullptr : copy.data(), static_cast<s32>( copy.size() ) );
	EFTextureDict* const textures = EFTextureDict::GetInstance();
	const s32 result = ( data[0] & 1 ) == 0 ? textures->LoadTextureDictionary( stream, 0 ) : textures->LoadTexture( stream );
	FuzzCheck( result == 0 || result == EF_TEXTURE_DICT_FAILED, "an unknown result" );
	FuzzCheck( stream.GetPosition() >= 0 && stream.GetPosition() <= static_cast<s32>( copy.size() ),
			   "the stream stands outside its bytes" );
	RwTexDictionaryDestroy( dictionary );
	RwTexDictionarySetCurrent( nullptr );
}

std::vector<u8> Seed( const u8 reader, const std::vector<ToolTextureRecord>& records ) {
	std::vector<u8> bytes;
	ToolWriteTextureDictionary( records, bytes );
	bytes.insert( bytes.begin(), reader );
	return bytes;
}

} // namespace

FUZZ_TARGET( texture_dict ) {
	Load( data, size );
}

static void FuzzSeeds_texture_dict( std::vector<FuzzSeed>& seeds ) {
	const std::vector<std::array<u8, 4>> palette = { { 0, 0, 0, 255 }, { 255, 0, 0, 128 } };
	seeds.push_back( { "dictionary", Seed( 0, { { "FONT0", ToolSolidImage( 16, 8, { 255, 255, 255, 255 } ) },
												  { "fog", ToolPalettisedImage( 8, 8, 8, palette ) },
												  { "odd", ToolPalettisedImage( 12, 6, 4, palette ) } } ) } );
	seeds.push_back( { "single", Seed( 1, { { "LOADBACK", ToolSolidImage( 64, 32, { 10, 20, 30, 255 } ) } } ) } );
}
