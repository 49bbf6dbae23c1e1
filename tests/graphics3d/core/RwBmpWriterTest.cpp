#include "graphics3d/core/RwBmpWriter.h"
#include "graphics3d/core/RwStream.h"
#include "RwImageTestImages.h"
#include "support/TestRunCommand.h"
#include "support/TestScratchFolder.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

typedef std::vector<u8> Bytes;

Bytes ReadFile( const std::string& name ) {
	std::ifstream in( name, std::ios::binary );
	return Bytes( std::istreambuf_iterator<char>( in ), std::istreambuf_iterator<char>() );
}

u32 LE32( const Bytes& b, const size_t at ) {
	return b[at] | ( b[at + 1] << 8 ) | ( b[at + 2] << 16 ) | ( static_cast<u32>( b[at + 3] ) << 24 );
}

u16 LE16( const Bytes& b, const size_t at ) {
	return static_cast<u16>( b[at] | ( b[at + 1] << 8 ) );
}

// A reader of our own that knows only what the format says, to compare a
// written file with the picture meant: red, green, blue bytes, top row
// first. Empty when the file is not a 24-bit uncompressed BMP.
Bytes DecodeBmp( const Bytes& file, s32* width, s32* height ) {
	if ( file.size() < 54 || file[0] != 'B' || file[1] != 'M' || LE32( file, 2 ) != file.size() ) {
		return {};
	}
	const u32 dataOffset = LE32( file, 10 );
	*width = static_cast<s32>( LE32( file, 18 ) );
	*height = static_cast<s32>( LE32( file, 22 ) );
	if ( LE32( file, 14 ) != 40 || LE16( file, 26 ) != 1 || LE16( file, 28 ) != 24 || LE32( file, 30 ) != 0 ) {
		return {};
	}
	const size_t rowBytes = ( static_cast<size_t>( *width ) * 3 + 3 ) / 4 * 4;
	if ( dataOffset + rowBytes * static_cast<size_t>( *height ) != file.size() ) {
		return {};
	}
	Bytes rgb;
	for ( s32 y = 0; y < *height; y++ ) {
		const size_t row = dataOffset + rowBytes * static_cast<size_t>( *height - 1 - y );
		for ( s32 x = 0; x < *width; x++ ) {
			rgb.push_back( file[row + x * 3 + 2] );
			rgb.push_back( file[row + x * 3 + 1] );
			rgb.push_back( file[row + x * 3] );
		}
		for ( size_t pad = static_cast<size_t>( *width ) * 3; pad < rowBytes; pad++ ) {
			if ( file[row + pad] != 0 ) {
				return {};
			}
		}
	}
	return rgb;
}

// What an image should look like as top-down RGB.
Bytes ExpectedRgb( const RwImage* image ) {
	Bytes rgb;
	for ( s32 y = 0; y < image->height; y++ ) {
		for ( s32 x = 0; x < image->width; x++ ) {
			const RwRGBA colour = image->depth == 32 ? *RwTestPixel( image, x, y )
													 : image->palette[*RwTestIndex( image, x, y ) & ( image->depth == 4 ? 0x0F : 0xFF )];
			rgb.insert( rgb.end(), { colour.red, colour.green, colour.blue } );
		}
	}
	return rgb;
}

RwRGBA Colour( const s32 x, const s32 y ) {
	return { static_cast<u8>( x * 7 + 1 ), static_cast<u8>( y * 13 + 2 ), static_cast<u8>( x ^ y ), static_cast<u8>( x + y ) };
}

RwRGBA PaletteColour( const s32 i ) {
	return { static_cast<u8>( 255 - i ), static_cast<u8>( i * 3 ), static_cast<u8>( i / 2 ), 0x77 };
}

struct ImageCase {
	const char*	name;
	s32			width;
	s32			height;
	s32			depth;
};

const ImageCase imageCases[] = {
	{ "1x1", 1, 1, 32 }, { "3x2", 3, 2, 32 }, { "4x2", 4, 2, 32 }, { "pal8", 5, 3, 8 }, { "pal4", 3, 3, 4 }, { "640x512", 640, 512, 32 },
};

RwImage* MakeImage( const ImageCase& c ) {
	if ( c.depth == 32 ) {
		return RwTestImage32( c.width, c.height, Colour );
	}
	// 4-bit indices above 15 (as a file may hold) go through the low nibble.
	const s32 mask = ( 1 << c.depth ) - 1;
	return RwTestImagePal( c.width, c.height, c.depth,
						   [=]( s32 x, s32 y ) { return static_cast<u8>( ( x * 5 + y * 3 ) & ( c.depth == 4 ? 0x1F : mask ) ); },
						   PaletteColour );
}

class RwBmpWriterTest : public RwStartedTestCase {
protected:
	// The files go to a folder made afresh for this test alone, removed
	// with the fixture: two runs of the suite at once, or processes of two
	// pid namespaces, must not clear each other's files.
	void SetUp() override {
		RwStartedTestCase::SetUp();
		ASSERT_TRUE( scratch.Make( "rwbmp-" ) );
	}
	std::string Path( const std::string& name ) const { return ( scratch / name ).string(); }

	TestScratchFolder scratch;
};

TEST_F( RwBmpWriterTest, WritesTheHeadersAndPaddedBottomUpRows ) {
	RwImage* const image = RwTestImage32( 1, 1, []( s32, s32 ) { return RwRGBA{ 0x11, 0x22, 0x33, 0x44 }; } );
	ASSERT_EQ( RtBMPImageWrite( image, Path( "one.bmp" ).c_str() ), image );
	const Bytes expected = {
		'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,						// file header
		40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0,					// size, width, height, planes, depth
		0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,	// compression .. important colours
		0x33, 0x22, 0x11, 0,												// blue, green, red, padding
	};
	EXPECT_EQ( ReadFile( Path( "one.bmp" ) ), expected );
	RwImageDestroy( image );
}

TEST_F( RwBmpWriterTest, WritesEveryDepthSoThatAReaderSeesThePicture ) {
	struct Case {
		ImageCase	image;
		u32			rowBytes;
	};
	const Case cases[] = { { imageCases[1], 12 }, { imageCases[2], 12 }, { imageCases[3], 16 }, { imageCases[4], 12 },
						   { imageCases[5], 1920 } };
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.image.name );
		RwImage* const image = MakeImage( c.image );
		const std::string name = Path( std::string( c.image.name ) + ".bmp" );
		ASSERT_EQ( RtBMPImageWrite( image, name.c_str() ), image );
		const Bytes file = ReadFile( name );
		ASSERT_EQ( file.size(), 54 + c.rowBytes * static_cast<u32>( c.image.height ) );
		s32 width = 0, height = 0;
		EXPECT_EQ( DecodeBmp( file, &width, &height ), ExpectedRgb( image ) );
		EXPECT_EQ( width, c.image.width );
		EXPECT_EQ( height, c.image.height );
		RwImageDestroy( image );
	}
}

TEST_F( RwBmpWriterTest, RefusesImagesItCannotWriteBeforeOpeningAFile ) {
	RwImage* const deep = RwImageCreate( 2, 2, 16 );
	RwImageAllocatePixels( deep );
	RwImage* const empty = RwImageCreate( 2, 2, 32 );
	RwImage* const noPalette = RwImageCreate( 2, 2, 8 );
	noPalette->cpPixels = deep->cpPixels;
	for ( RwImage* image : { deep, empty, noPalette } ) {
		EXPECT_EQ( RtBMPImageWrite( image, Path( "refused.bmp" ).c_str() ), nullptr ) << image->depth;
		EXPECT_FALSE( std::filesystem::exists( Path( "refused.bmp" ) ) );
	}
	noPalette->cpPixels = nullptr;
	RwImage* const fine = RwTestImage32( 1, 1, Colour );
	EXPECT_EQ( RtBMPImageWrite( fine, Path( "no/such/folder.bmp" ).c_str() ), nullptr );
	RwImageDestroy( fine );
	RwImageDestroy( noPalette );
	RwImageDestroy( empty );
	RwImageDestroy( deep );
}

// A file table whose writes fail once a number of bytes went through.
struct FailingFiles {
	static inline u32 allowed = 0;
	static inline u32 closes = 0;
	static inline u32 ( *realWrite )( const void*, u32, u32, void* ) = nullptr;
	static inline s32 ( *realClose )( void* ) = nullptr;
	static u32 Write( const void* buffer, const u32 size, const u32 count, void* file ) {
		const u32 bytes = size * count;
		const u32 passed = bytes <= allowed ? bytes : allowed;
		allowed -= passed;
		realWrite( buffer, 1, passed, file );
		return size != 0 ? passed / size : 0;
	}
	static s32 Close( void* file ) {
		closes++;
		return realClose( file );
	}
};

TEST_F( RwBmpWriterTest, AFailedWriteClosesTheFileAndReturnsNull ) {
	RwFileFunctions* const files = &RwEngineInstance->fileFunctions;
	FailingFiles::realWrite = files->rwfwrite;
	FailingFiles::realClose = files->rwfclose;
	files->rwfwrite = FailingFiles::Write;
	files->rwfclose = FailingFiles::Close;
	RwImage* const image = RwTestImage32( 5, 4, Colour );
	for ( const u32 allowed : { 0u, 10u, 60u, 80u } ) {
		FailingFiles::allowed = allowed;
		FailingFiles::closes = 0;
		EXPECT_EQ( RtBMPImageWrite( image, Path( "short.bmp" ).c_str() ), nullptr ) << allowed;
		EXPECT_EQ( FailingFiles::closes, 1u ) << allowed;
		RwTestReadError();
	}
	FailingFiles::allowed = 1000;
	EXPECT_EQ( RtBMPImageWrite( image, Path( "whole.bmp" ).c_str() ), image );
	files->rwfwrite = FailingFiles::realWrite;
	files->rwfclose = FailingFiles::realClose;
	RwImageDestroy( image );
}

TEST_F( RwBmpWriterTest, TheShortInfoHeaderCarriesSixteenBitSizesBehindOffset26 ) {
	RwImage* const image = RwTestImage32( 2, 1, Colour );
	const std::string name = Path( "core.bmp" );
	RwStream* const stream = RwStreamOpen( rwSTREAMFILENAME, rwSTREAMWRITE, name.c_str() );
	ASSERT_NE( stream, nullptr );
	EXPECT_TRUE( BMPEncode( stream, RTBMP_CORE_HEADER, 2, 1, image ) );
	RwStreamClose( stream, nullptr );
	const Bytes file = ReadFile( name );
	ASSERT_EQ( file.size(), 14u + 12 + 8 );
	EXPECT_EQ( LE32( file, 10 ), 26u );
	EXPECT_EQ( LE32( file, 14 ), 12u );
	EXPECT_EQ( LE16( file, 18 ), 2 );
	EXPECT_EQ( LE16( file, 20 ), 1 );
	EXPECT_EQ( LE16( file, 22 ), 1 );
	EXPECT_EQ( LE16( file, 24 ), 24 );
	EXPECT_EQ( file[26], Colour( 0, 0 ).blue );
	RwImageDestroy( image );
}

class RwBmpWriterNoBufferTest : public RwTestCase {};

TEST_F( RwBmpWriterNoBufferTest, WithoutARowBufferWritesTheSameFile ) {
	ASSERT_TRUE( RwTestBringUp( &rwTestCountingMemory, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
	TestScratchFolder scratch;
	ASSERT_TRUE( scratch.Make( "rwbmp-" ) );
	const std::string first = ( scratch / "buffered.bmp" ).string();
	const std::string second = ( scratch / "direct.bmp" ).string();
	RwImage* const image = RwTestImage32( 5, 3, Colour );
	ASSERT_EQ( RtBMPImageWrite( image, first.c_str() ), image );
	RwTestCountingMemory::refusedSize = 5 * 3;
	ASSERT_EQ( RtBMPImageWrite( image, second.c_str() ), image );
	RwTestCountingMemory::refusedSize = 0;
	EXPECT_EQ( ReadFile( first ), ReadFile( second ) );
	RwImageDestroy( image );
}

// ImageMagick reads every file the writer makes. CI installs it; without
// it this test fails rather than skips.
TEST_F( RwBmpWriterTest, ImageMagickReadsEveryFileAsThePictureMeant ) {
	for ( const ImageCase& c : imageCases ) {
		SCOPED_TRACE( c.name );
		RwImage* const image = MakeImage( c );
		const std::string name = Path( std::string( c.name ) + ".bmp" );
		ASSERT_EQ( RtBMPImageWrite( image, name.c_str() ), image );
		int status = 0;
		const std::string identified = RunCommand( "identify -format \"%m %w %h\" '" + name + "' 2>&1", &status );
		EXPECT_EQ( status, 0 ) << identified;
		// ImageMagick names the format of the 40-byte info header BMP3.
		EXPECT_EQ( identified, "BMP3 " + std::to_string( c.width ) + " " + std::to_string( c.height ) );
		const std::string rgb = RunCommand( "convert '" + name + "' -depth 8 rgb:-", &status );
		EXPECT_EQ( status, 0 );
		const Bytes expected = ExpectedRgb( image );
		EXPECT_TRUE( Bytes( rgb.begin(), rgb.end() ) == expected ) << "convert gave " << rgb.size() << " bytes";
		RwImageDestroy( image );
	}
}

}	// namespace
