/*
===============================================================================

	Image files for the texture tests.

	A test image format (".tex") whose files hold one image chunk, read
	through a file-name stream and the image chunk reader; files are
	written with the library's chunk writer into a scratch folder of their
	own that is the image search path. The fixture starts the library with
	counting memory functions, so that a test can tell that a failed read
	left nothing allocated, and registers the format.

===============================================================================
*/
#ifndef RW_TEXTURE_TEST_FILES_H
#define RW_TEXTURE_TEST_FILES_H

#include "graphics3d/core/RwImageChunk.h"
#include "graphics3d/core/RwImageRead.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/testdevice/TestDeviceRasters.h"
#include "tools/lib/ToolChunkWriter.h"
#include "tools/lib/graphics3d/ToolImageChunkWriter.h"
#include "RwImageTestImages.h"
#include "support/TestScratchFolder.h"

#include <filesystem>
#include <fstream>
#include <string>

// Every file name the test reader was asked for, without its folder.
struct RwTestTextureReader {
	static inline std::vector<std::string> names;

	static RwImage* Read( const char* name ) {
		names.push_back( std::filesystem::path( name ).filename().string() );
		RwStream* const stream = RwStreamOpen( rwSTREAMFILENAME, rwSTREAMREAD, name );
		if ( stream == nullptr ) {
			return nullptr;
		}
		RwImage* image = nullptr;
		if ( RwStreamFindChunk( stream, rwID_IMAGE, nullptr, nullptr ) ) {
			image = RwImageStreamRead( stream );
		}
		RwStreamClose( stream, nullptr );
		return image;
	}
};

// The bytes of an image chunk holding the image.
inline std::vector<u8> RwTestImageChunk( const RwImage* image ) {
	ToolImage tool;
	tool.width = image->width;
	tool.height = image->height;
	tool.depth = image->depth;
	tool.stride = image->stride;
	tool.pixels.assign( image->cpPixels, image->cpPixels + static_cast<size_t>( image->stride ) * image->height );
	if ( image->depth != 32 ) {
		for ( s32 i = 0; i < ( 1 << image->depth ); i++ ) {
			const RwRGBA& entry = image->palette[i];
			tool.palette.push_back( { entry.red, entry.green, entry.blue, entry.alpha } );
		}
	}
	std::vector<u8> bytes;
	EXPECT_TRUE( ToolWriteImageChunk( tool, bytes ) );
	return bytes;
}

// A solid 32-bit colour.
inline RwImage* RwTestSolid( const s32 width, const s32 height, const RwRGBA colour ) {
	return RwTestImage32( width, height, [colour]( s32, s32 ) { return colour; } );
}

class RwTextureFileTestCase : public RwTestCase {
protected:
	void SetUp() override {
		RwTestCase::SetUp();
		ASSERT_TRUE( RwTestBringUp( &rwTestCountingMemory, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
		RwTestReadError();
		RwTestTextureReader::names.clear();
		ASSERT_TRUE( scratch.Make( "rwtexture-" ) );
		ASSERT_TRUE( RwImageRegisterImageFormat( ".tex", ".TEX", RwTestTextureReader::Read, nullptr ) );
		ASSERT_NE( RwImageSetPath( ( scratch.Path().string() + "/" ).c_str() ), nullptr );
	}
	// Writes the image as name.tex and destroys it.
	void WriteImage( const std::string& name, RwImage* image ) const {
		const std::vector<u8> bytes = RwTestImageChunk( image );
		std::ofstream( scratch / ( name + ".tex" ), std::ios::binary )
			.write( reinterpret_cast<const char*>( bytes.data() ), static_cast<std::streamsize>( bytes.size() ) );
		RwImageDestroy( image );
	}
	// Allocations not yet freed.
	static s64 Outstanding() {
		return static_cast<s64>( RwTestCountingMemory::mallocCalls ) - static_cast<s64>( RwTestCountingMemory::freeCalls );
	}

	TestScratchFolder scratch;
};

// The texel at (x, y) of a level of a 32-bit test-device raster.
inline RwRGBA RwTestTexel( RwRaster* raster, const s32 level, const s32 x, const s32 y ) {
	u8* const pixels = RwRasterLock( raster, static_cast<u8>( level ), rwRASTERLOCKREAD );
	RwRGBA texel = { 0, 0, 0, 0 };
	if ( pixels != nullptr ) {
		texel = reinterpret_cast<const RwRGBA*>( pixels + y * raster->stride )[x];
		RwRasterUnlock( raster );
	}
	return texel;
}

#endif
