#include "graphics3d/core/RwImageRead.h"
#include "graphics3d/core/RwImageRaster.h"
#include "graphics3d/testdevice/TestDeviceRasters.h"
#include "RwImageTestImages.h"
#include "support/TestScratchFolder.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace {

// Reader of the test format: a one-line file whose first byte becomes the
// red of a 2 x 1 image and whose second byte its alpha; files starting
// with '!' are refused.
struct TestReader {
	static inline std::vector<std::string> names;
	static RwImage* Read( const char* name ) {
		names.push_back( name );
		std::ifstream in( name, std::ios::binary );
		const int red = in.get();
		const int alpha = in.get();
		if ( red == '!' ) {
			return nullptr;
		}
		return RwTestImage32( 2, 1, [&]( s32, s32 ) {
			return RwRGBA{ static_cast<u8>( red ), 0, 0, static_cast<u8>( alpha < 0 ? 255 : alpha ) };
		} );
	}
};

class RwImageReadTest : public RwStartedTestCase {
protected:
	void SetUp() override {
		RwStartedTestCase::SetUp();
		TestReader::names.clear();
		ASSERT_TRUE( scratch.Make( "rwimageread-" ) );
		std::filesystem::create_directories( scratch / "a" );
		std::filesystem::create_directories( scratch / "b" );
		ASSERT_TRUE( RwImageRegisterImageFormat( ".tst", ".TST", TestReader::Read, nullptr ) );
		ASSERT_TRUE( RwImageRegisterImageFormat( ".raw", ".RAW", nullptr, nullptr ) );
	}
	std::string Path( const std::string& relative ) const { return ( scratch / relative ).string(); }
	void Write( const std::string& relative, const std::string& contents ) const {
		std::ofstream( Path( relative ), std::ios::binary ) << contents;
	}
	// The search path of the two folders, each with its separator.
	void UseBothFolders() const { ASSERT_NE( RwImageSetPath( ( Path( "a/" ) + ";" + Path( "b/" ) ).c_str() ), nullptr ); }

	TestScratchFolder scratch;
};

TEST_F( RwImageReadTest, FindsTheExtensionAfterTheLastSeparator ) {
	struct Case {
		const char*	name;
		const char*	extension;	// null: none
	};
	const Case cases[] = {
		{ "pic.tst", ".tst" }, { "dir.x/pic", nullptr }, { "dir.x\\pic", nullptr }, { "c:pic", nullptr },
		{ "a.b/c.d.tst", ".tst" }, { "pic.", "." }, { "pic", nullptr },
	};
	for ( const Case& c : cases ) {
		const char* const found = _rwImageFindExtension( c.name );
		if ( c.extension == nullptr ) {
			EXPECT_EQ( found, nullptr ) << c.name;
		} else {
			ASSERT_NE( found, nullptr ) << c.name;
			EXPECT_STREQ( found, c.extension ) << c.name;
		}
	}
}

TEST_F( RwImageReadTest, ReadsThroughTheFormatOfEitherExtensionExactlyMatched ) {
	Write( "a/pic.tst", "x" );
	Write( "a/pic.TST", "y" );
	Write( "a/pic.Tst", "z" );
	Write( "a/pic.raw", "w" );
	struct Case {
		const char*	name;
		int			red;	// -1: no image
	};
	const Case cases[] = { { "a/pic.tst", 'x' }, { "a/pic.TST", 'y' }, { "a/pic.Tst", -1 }, { "a/pic.raw", -1 },
						   { "a/none.tst", -1 }, { "a.tst/pic", -1 } };
	for ( const Case& c : cases ) {
		RwImage* const image = RwImageRead( Path( c.name ).c_str() );
		EXPECT_EQ( image != nullptr, c.red >= 0 ) << c.name;
		if ( image != nullptr ) {
			EXPECT_EQ( RwTestPixel( image, 0, 0 )->red, c.red );
			RwImageDestroy( image );
		}
		EXPECT_EQ( RwTestReadError().errorCode, RWERR_NONE ) << c.name;
	}
	EXPECT_EQ( TestReader::names.size(), 2u );
}

TEST_F( RwImageReadTest, TriesThePathElementsInOrderUntilAReaderGivesAnImage ) {
	UseBothFolders();
	struct Case {
		const char*	inA;	// contents, or null for no file
		const char*	inB;
		int			red;
		size_t		reads;
	};
	const Case cases[] = {
		{ nullptr, "b", 'b', 1 }, { "a", "b", 'a', 1 }, { "!", "b", 'b', 2 }, { "!", nullptr, -1, 1 }, { nullptr, nullptr, -1, 0 },
	};
	for ( const Case& c : cases ) {
		std::filesystem::remove( scratch / "a/pic.tst" );
		std::filesystem::remove( scratch / "b/pic.tst" );
		if ( c.inA != nullptr ) {
			Write( "a/pic.tst", c.inA );
		}
		if ( c.inB != nullptr ) {
			Write( "b/pic.tst", c.inB );
		}
		TestReader::names.clear();
		RwImage* const image = RwImageRead( "pic.tst" );
		EXPECT_EQ( image != nullptr, c.red >= 0 );
		if ( image != nullptr ) {
			EXPECT_EQ( RwTestPixel( image, 0, 0 )->red, c.red );
			RwImageDestroy( image );
		}
		EXPECT_EQ( TestReader::names.size(), c.reads );
		if ( !TestReader::names.empty() ) {
			EXPECT_EQ( TestReader::names[0], Path( c.inA != nullptr ? "a/pic.tst" : "b/pic.tst" ) );
		}
	}
}

TEST_F( RwImageReadTest, GrowsTheFullNameBufferForLongNames ) {
	std::string longName;
	for ( s32 i = 0; i < 30; i++ ) {
		longName += "folder-name-" + std::to_string( i ) + "/";
	}
	longName += "pic";
	std::filesystem::create_directories( ( scratch / "b" / longName ).parent_path() );
	Write( "b/" + longName + ".tst", "L" );
	UseBothFolders();
	RwImage* const image = RwImageRead( ( longName + ".tst" ).c_str() );
	ASSERT_NE( image, nullptr );
	EXPECT_EQ( RwTestPixel( image, 0, 0 )->red, 'L' );
	RwImageDestroy( image );
}

TEST_F( RwImageReadTest, FindsTheFirstExtensionThatExistsAlongThePath ) {
	UseBothFolders();
	Write( "b/pic.RAW", "r" );
	Write( "b/pic.tst", "t" );
	const char* const found = RwImageFindFileType( "pic" );
	ASSERT_NE( found, nullptr );
	EXPECT_STREQ( found, ".tst" );
	Write( "a/pic.RAW", "r" );
	EXPECT_STREQ( RwImageFindFileType( "pic" ), ".RAW" );
	EXPECT_EQ( RwImageFindFileType( "nothing" ), nullptr );
}

TEST_F( RwImageReadTest, ReadsAMaskedImageAndDestroysWhatAFailureLeaves ) {
	UseBothFolders();
	Write( "a/pic.tst", "p" );
	Write( "b/mask.tst", std::string( 1, '\x50' ) + "\x01" );
	RwImage* const image = RwImageReadMaskedImage( "pic.tst", "mask.tst" );
	ASSERT_NE( image, nullptr );
	EXPECT_EQ( RwTestPixel( image, 1, 0 )->red, 'p' );
	EXPECT_EQ( RwTestPixel( image, 1, 0 )->alpha, 0x50 );
	RwImageDestroy( image );
	RwImage* const plain = RwImageReadMaskedImage( "pic.tst", "" );
	ASSERT_NE( plain, nullptr );
	EXPECT_EQ( RwTestPixel( plain, 0, 0 )->alpha, 255 );
	RwImageDestroy( plain );
	EXPECT_EQ( RwImageReadMaskedImage( "pic.tst", "missing.tst" ), nullptr );
}

class RwImageRasterTest : public RwStartedTestCase {};

TEST_F( RwImageRasterTest, ExchangesPixelsWithRastersAndCarriesTheGammaState ) {
	RwImage* const image = RwTestImage32( 3, 2, []( s32 x, s32 y ) { return RwRGBA{ static_cast<u8>( x ), static_cast<u8>( y ), 9, 200 }; } );
	image->flags |= rwIMAGEGAMMACORRECTED;
	RwRaster* const raster = RwRasterCreate( 3, 2, 32, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888 );
	ASSERT_NE( raster, nullptr );
	ASSERT_EQ( RwRasterSetFromImage( raster, image ), raster );
	EXPECT_EQ( raster->privateFlags & rwRASTERGAMMACORRECTED, rwRASTERGAMMACORRECTED );
	const TestDeviceStandardCall set = TestDeviceStandardCalls().back();
	EXPECT_EQ( set.standard, rwSTANDARDRASTERSETIMAGE );
	EXPECT_EQ( set.out, raster );
	EXPECT_EQ( set.inOut, image );
	RwImage* const back = RwImageCreate( 3, 2, 32 );
	RwImageAllocatePixels( back );
	ASSERT_EQ( RwImageSetFromRaster( back, raster ), back );
	EXPECT_EQ( back->flags & rwIMAGEGAMMACORRECTED, rwIMAGEGAMMACORRECTED );
	EXPECT_EQ( *RwTestPixel( back, 2, 1 ), ( RwRGBA{ 2, 1, 9, 200 } ) );
	TestDeviceRefuseStandard( rwSTANDARDIMAGEGETRASTER, true );
	back->flags = rwIMAGEALLOCATED;
	EXPECT_EQ( RwImageSetFromRaster( back, raster ), nullptr );
	EXPECT_EQ( back->flags, rwIMAGEALLOCATED );
	RwImageDestroy( back );
	RwRasterDestroy( raster );
	RwImageDestroy( image );
}

TEST_F( RwImageRasterTest, ReportsTheRasterFormatTheDeviceWouldChoose ) {
	struct Case {
		s32		width;
		s32		height;
		s32		depth;
		s32		rasterType;
		s32		format;
		s32		expectedWidth;
		s32		expectedHeight;
		s32		expectedDepth;
		s32		expectedFormat;
	};
	const Case cases[] = {
		{ 1500, 700, 32, rwRASTERTYPETEXTURE | static_cast<s32>( rwRASTERFORMATMIPMAP ), -1, 1024, 512, 32, 0x8504 },
		{ 20, 10, 8, rwRASTERTYPETEXTURE, -1, 20, 10, 8, 0x2504 },
		{ 20, 10, 32, rwRASTERTYPECAMERA, -1, 20, 10, 32, 0x0002 },
		{ 20, 10, 32, rwRASTERTYPETEXTURE, 0x4500, 20, 10, 4, 0x4504 },
	};
	for ( const Case& c : cases ) {
		TestDeviceSetImageRasterFormat( c.format );
		RwImage* const image = RwImageCreate( c.width, c.height, c.depth );
		s32 width = 0, height = 0, depth = 0, format = 0;
		ASSERT_EQ( RwImageFindRasterFormat( image, c.rasterType, &width, &height, &depth, &format ), image );
		EXPECT_EQ( width, c.expectedWidth );
		EXPECT_EQ( height, c.expectedHeight );
		EXPECT_EQ( depth, c.expectedDepth );
		EXPECT_EQ( format, c.expectedFormat ) << std::hex << c.expectedFormat;
		RwImageDestroy( image );
	}
	TestDeviceRefuseStandard( rwSTANDARDIMAGEFINDRASTERFORMAT, true );
	RwImage* const image = RwImageCreate( 4, 4, 32 );
	s32 width = -5, height = 0, depth = 0, format = 0;
	EXPECT_EQ( RwImageFindRasterFormat( image, rwRASTERTYPETEXTURE, &width, &height, &depth, &format ), nullptr );
	EXPECT_EQ( width, -5 );
	RwImageDestroy( image );
}

TEST_F( RwImageRasterTest, UnpacksPixelsThroughTheDevice ) {
	RwRGBA colour = {};
	ASSERT_EQ( RwRGBASetFromPixel( &colour, 0x80112233u, static_cast<s32>( rwRASTERFORMAT8888 ) ), &colour );
	EXPECT_EQ( colour, ( RwRGBA{ 0x11, 0x22, 0x33, 0x80 } ) );
	EXPECT_EQ( TestDeviceStandardCalls().back().inInt, static_cast<s32>( rwRASTERFORMAT8888 ) );
	EXPECT_EQ( RwRGBASetFromPixel( &colour, 0, 0x0400 ), nullptr );
}

}	// namespace
