#include "graphics3d/core/RwImageChunk.h"
#include "RwImageTestImages.h"

namespace {

class RwImageChunkTest : public RwStartedTestCase {
protected:
	// An image chunk: header words, then the given bytes.
	static RwTestBytes Chunk( const s32 width, const s32 height, const s32 depth, const s32 stride, const RwTestBytes& data,
							  const u32 claimedLength = 0 ) {
		const RwTestBytes payload = RwTestConcat(
			{ RwTestWords( { static_cast<u32>( width ), static_cast<u32>( height ), static_cast<u32>( depth ),
							 static_cast<u32>( stride ) } ),
			  data } );
		const u32 length = claimedLength != 0 ? claimedLength : static_cast<u32>( payload.size() );
		return RwTestChunk( rwID_IMAGE, RwTestConcat( { RwTestHeader( rwID_STRUCT, length ), payload } ) );
	}
	static RwImage* Read( const RwTestBytes& bytes ) {
		RwStream* const stream = RwTestOpenRead( bytes );
		RwImage* image = nullptr;
		if ( RwStreamFindChunk( stream, rwID_IMAGE, nullptr, nullptr ) ) {
			image = RwImageStreamRead( stream );
		}
		RwStreamClose( stream, nullptr );
		return image;
	}
	static RwTestBytes Sequence( const size_t count, const u8 first = 1 ) {
		RwTestBytes bytes( count );
		for ( size_t i = 0; i < count; i++ ) {
			bytes[i] = static_cast<u8>( first + i );
		}
		return bytes;
	}
};

TEST_F( RwImageChunkTest, ReadsRowsOfTheStoredStrideIntoItsOwn ) {
	// Width 2 at 32 bits: own stride 8, stored stride 12.
	RwImage* const image = Read( Chunk( 2, 2, 32, 12, Sequence( 24 ) ) );
	ASSERT_NE( image, nullptr );
	EXPECT_EQ( image->stride, 8 );
	EXPECT_EQ( RwTestPixel( image, 0, 0 )->red, 1 );
	EXPECT_EQ( RwTestPixel( image, 1, 0 )->alpha, 8 );
	EXPECT_EQ( RwTestPixel( image, 0, 1 )->red, 13 );
	RwImageDestroy( image );
	// A shorter stored stride leaves the rest of each row zero.
	RwImage* const narrow = Read( Chunk( 2, 2, 32, 4, Sequence( 8 ) ) );
	ASSERT_NE( narrow, nullptr );
	EXPECT_EQ( RwTestPixel( narrow, 0, 1 )->red, 5 );
	EXPECT_EQ( RwTestPixel( narrow, 1, 1 )->red, 0 );
	RwImageDestroy( narrow );
}

TEST_F( RwImageChunkTest, ReadsThePaletteOfPalettisedImages ) {
	RwTestBytes palette = Sequence( 16 * 4, 100 );
	RwImage* const image = Read( Chunk( 3, 1, 4, 4, RwTestConcat( { { 0, 1, 15, 0 }, palette } ) ) );
	ASSERT_NE( image, nullptr );
	EXPECT_EQ( *RwTestIndex( image, 2, 0 ), 15 );
	EXPECT_EQ( image->palette[15], ( RwRGBA{ 160, 161, 162, 163 } ) );
	RwImageDestroy( image );
}

TEST_F( RwImageChunkTest, RefusesHeadersThatCannotBeTrue ) {
	struct Case {
		const char*	name;
		s32			width;
		s32			height;
		s32			depth;
		s32			stride;
		size_t		dataBytes;
		u32			error;
		u32			claimedLength = 0;
	};
	const Case cases[] = {
		{ "depth 16", 2, 2, 16, 4, 8, RWERR_IMAGE_FORMAT },
		{ "depth 0", 2, 2, 0, 4, 8, RWERR_IMAGE_FORMAT },
		{ "depth 2", 2, 2, 2, 4, 8 + 16, RWERR_IMAGE_FORMAT },
		{ "width -1", -1, 2, 32, 4, 8, RWERR_READ },
		{ "height 0", 2, 0, 32, 8, 0, RWERR_READ },
		{ "stride 2^31", 2, 2, 32, static_cast<s32>( 0x80000000u ), 16, RWERR_READ },
		{ "rows beyond the payload", 2, 0x40000000, 32, 8, 16, RWERR_READ },
		{ "product beyond 32 bits", 0x10000, 0x10000, 32, 0x40000, 16, RWERR_READ },
		{ "palette missing", 2, 2, 8, 4, 8, RWERR_READ },
		// A 40-byte payload whose empty rows would size a 256 MB picture.
		{ "picture larger than its payload", 8192, 8192, 32, 0, 24, RWERR_READ },
		{ "payload longer than the stream", 4096, 4096, 32, 0, 24, RWERR_READ, 0x4000000 },
	};
	for ( const Case& c : cases ) {
		EXPECT_EQ( Read( Chunk( c.width, c.height, c.depth, c.stride, RwTestBytes( c.dataBytes, 7 ), c.claimedLength ) ), nullptr )
			<< c.name;
		EXPECT_EQ( RwTestReadError().errorCode, c.error ) << c.name;
	}
}

TEST_F( RwImageChunkTest, ShortReadsDestroyTheImage ) {
	// Lengths that claim the rows and palette, over streams that end early;
	// the sanitizer build finds an image left behind.
	const RwTestBytes rows = Chunk( 2, 2, 32, 8, Sequence( 10 ), 16 + 16 );
	const RwTestBytes unevenRows = Chunk( 2, 2, 32, 12, Sequence( 14 ), 16 + 24 );
	const RwTestBytes palette = Chunk( 1, 1, 8, 4, Sequence( 4 + 100 ), 16 + 4 + 1024 );
	for ( const RwTestBytes* bytes : { &rows, &unevenRows, &palette } ) {
		EXPECT_EQ( Read( *bytes ), nullptr );
		RwTestReadError();
	}
}

}	// namespace
