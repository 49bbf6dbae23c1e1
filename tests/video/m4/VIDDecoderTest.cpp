#include "video/m4/VIDDecoder.h"
#include "video/m4/M4Decoder.h"
#include "video/m4/M4Image.h"
#include "video/m4/M4MotionVectorMgr.h"

#include "M4TestHooks.h"
#include "tools/lib/movie/ToolCompactFrameWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <type_traits>
#include <vector>

namespace {

// A copy would share the pictures and buffers and free them twice.
static_assert( !std::is_copy_constructible_v<M4Decoder> && !std::is_copy_assignable_v<M4Decoder>,
			   "the decoder owns its buffers and must not be copied" );

u32 PictureBytes( const u32 width, const u32 height ) {
	const u32 pw = ( ( width + 15 ) & ~15u ) + 64;
	const u32 ph = ( ( height + 15 ) & ~15u ) + 64;
	return pw * ph * 3 / 2 + 288;
}

std::vector<u8> Frame( const u32 type ) {
	ToolM4vVol vol;
	std::memset( &vol, 0, sizeof( vol ) );
	ToolM4vVop vop;
	std::memset( &vop, 0, sizeof( vop ) );
	vop.codingType = type;
	vop.quantiser = 4;
	vop.forwardFCode = 1;
	vop.backwardFCode = 1;
	// Macroblock bits of 1s: P and B macroblocks not coded or skipped.
	const u8 ones[16] = { 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF };
	return ToolCompactFrameWriter::Build( vol, vop, true, 0, ones, 0, 8 * sizeof( ones ) ).bytes;
}

bool AllBytes( const u8* p, const u32 count, const u8 value ) {
	for ( u32 i = 0; i < count; i++ ) {
		if ( p[i] != value ) {
			return false;
		}
	}
	return true;
}

class VIDDecoder : public ::testing::Test {
protected:
	void SetUp() override { M4TestInstallHooks( true ); }
	void TearDown() override { M4TestHooksReset(); }
};

} // namespace

TEST_F( VIDDecoder, CreatesTwoOrFiveBlackPicturesAtTheStatedSizes ) {
	const struct {
		u16 width;
		u16 height;
		u32 flags;
		u32 pictures;
	} cases[] = { { 176, 144, 0, 2 }, { 176, 144, 1, 5 }, { 100, 50, 1, 5 }, { 16, 16, 0, 2 } };
	for ( const auto& c : cases ) {
		M4TestInstallHooks( true );
		const VIDDecoderSetup setup = M4TestDecoderSetup( c.width, c.height, c.flags, true );
		M4Decoder* const decoder = VIDCreateDecoder( &setup );
		ASSERT_NE( decoder, nullptr );
		EXPECT_EQ( decoder->mMBWidth, ( c.width + 15 ) / 16 );
		EXPECT_EQ( decoder->mMBHeight, ( c.height + 15 ) / 16 );
		M4Image* const pictures[] = { decoder->mCurrent, decoder->mForward, decoder->mBackward, decoder->mSpare, decoder->mBFrame };
		u32 present = 0;
		for ( const M4Image* picture : pictures ) {
			if ( picture == nullptr ) {
				continue;
			}
			present++;
			const u32 pw = picture->mPaddedWidth;
			const u32 ph = picture->mPaddedHeight;
			EXPECT_EQ( pw, ( ( c.width + 15u ) & ~15u ) + 64 );
			EXPECT_EQ( ph, ( ( c.height + 15u ) & ~15u ) + 64 );
			EXPECT_EQ( picture->mPlaneU, picture->mPlaneY + pw * ph + 96 );
			EXPECT_EQ( picture->mPlaneV, picture->mPlaneU + pw * ph / 4 + 96 );
			EXPECT_EQ( picture->mY, picture->mPlaneY + 32 * pw + 128 );
			EXPECT_EQ( picture->mU, picture->mPlaneU + 8 * pw + 64 );
			EXPECT_EQ( picture->mV, picture->mPlaneV + 8 * pw + 64 );
			EXPECT_TRUE( AllBytes( picture->mPlaneY, pw * ph, 16 ) );
			EXPECT_TRUE( AllBytes( picture->mPlaneU, pw * ph / 4, 128 ) );
			EXPECT_TRUE( AllBytes( picture->mPlaneV, pw * ph / 4, 128 ) );
		}
		EXPECT_EQ( present, c.pictures );
		EXPECT_EQ( decoder->mBMBs != nullptr, c.flags != 0 );
		// The decoder, two matrices, one or two record arrays, the vector
		// manager and the pool.
		EXPECT_EQ( M4TestHooksState().live.size(), c.flags != 0 ? 7u : 6u );
		// One pool block holds every picture in request order.
		bool poolFound = false;
		for ( const void* block : M4TestHooksState().live ) {
			poolFound = poolFound || block == decoder->mCurrent->mPlaneY;
		}
		EXPECT_TRUE( poolFound );
		EXPECT_EQ( pictures[c.pictures - 1]->mPlaneY, decoder->mCurrent->mPlaneY + ( c.pictures - 1 ) * PictureBytes( c.width, c.height ) );
		VIDDestroyDecoder( decoder );
		EXPECT_TRUE( M4TestHooksState().live.empty() );
	}
}

TEST_F( VIDDecoder, RefusesPictureSizesWhosePaddedSizesWouldWrap ) {
	const struct {
		u16		width;
		u16		height;
		bool	created;
	} cases[] = {
		{ 0, 16, false },		{ 16, 0, false },		{ 4097, 16, false },	{ 16, 4097, false },
		{ 65472, 16, false },	{ 65535, 65535, false },	{ 4096, 16, true },		{ 16, 4096, true },
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( testing::Message() << c.width << " x " << c.height );
		for ( const u32 flags : { 0u, 1u } ) {
			M4TestInstallHooks( true );
			const VIDDecoderSetup setup = M4TestDecoderSetup( c.width, c.height, flags, true );
			M4Decoder* const decoder = VIDCreateDecoder( &setup );
			ASSERT_EQ( decoder != nullptr, c.created );
			if ( decoder != nullptr ) {
				EXPECT_EQ( decoder->mCurrent->mPaddedWidth, ( ( c.width + 15u ) & ~15u ) + 64 );
				EXPECT_EQ( decoder->mCurrent->mPaddedHeight, ( ( c.height + 15u ) & ~15u ) + 64 );
			}
			// Without reordering the first picture shows at once.
			if ( decoder != nullptr && flags == 0 ) {
				VIDImage* image = nullptr;
				const std::vector<u8> frame = Frame( VID_FRAME_I );
				VIDVideoDecode( decoder, frame.data(), static_cast<u32>( frame.size() ), &image );
				ASSERT_NE( image, nullptr );
				EXPECT_EQ( image->width, c.width );
			}
			VIDDestroyDecoder( decoder );
			EXPECT_TRUE( M4TestHooksState().live.empty() );
		}
	}
}

TEST_F( VIDDecoder, TakesTablesAndBuffersFromFastMemoryWhenItIsGiven ) {
	const struct {
		bool	hook;
		bool	refuses;
		bool	fast;
	} cases[] = { { true, false, true }, { false, false, false }, { true, true, false } };
	for ( const auto& c : cases ) {
		M4TestInstallHooks( c.hook );
		M4TestHooksState().fastRefuses = c.refuses;
		const VIDDecoderSetup setup = M4TestDecoderSetup( 64, 48, 1, c.hook );
		M4Decoder* const decoder = VIDCreateDecoder( &setup );
		ASSERT_NE( decoder, nullptr );
		EXPECT_EQ( M4TestIsFast( decoder->mCoefficients ), c.fast );
		EXPECT_EQ( M4TestIsFast( decoder->mDequantised ), c.fast );
		EXPECT_TRUE( AllBytes( reinterpret_cast<const u8*>( decoder->mCoefficients ), M4_COEFFICIENT_BUFFER_SIZE, 0 ) );
		EXPECT_TRUE( AllBytes( reinterpret_cast<const u8*>( decoder->mDequantised ), M4_COEFFICIENT_BUFFER_SIZE, 0 ) );
		const M4CoefficientTables& intra = decoder->mParser.mVlc.intraTables();
		const M4CoefficientTables& inter = decoder->mParser.mVlc.interTables();
		EXPECT_EQ( M4TestIsFast( intra.mWindow[0] ), c.fast );
		EXPECT_EQ( M4TestIsFast( inter.mWindow[2] ), c.fast );
		EXPECT_EQ( M4TestIsFast( decoder->mParser.mScan[M4_SCAN_ALTERNATE_VERTICAL] ), c.fast );
		EXPECT_EQ( std::memcmp( intra.mWindow[1], M4VlcDecoder::mTabDCT3D1.mEntry, sizeof( M4VlcDecoder::mTabDCT3D1 ) ), 0 );
		EXPECT_EQ( std::memcmp( inter.mWindow[0], M4VlcDecoder::mTabDCT3D3.mEntry, sizeof( M4VlcDecoder::mTabDCT3D3 ) ), 0 );
		if ( !c.fast ) {
			EXPECT_EQ( intra.mWindow[0], M4VlcDecoder::mTabDCT3D0.mEntry );
		}
		VIDDestroyDecoder( decoder );
		EXPECT_TRUE( M4TestHooksState().live.empty() );
		EXPECT_EQ( M4TestHooksState().allocations, M4TestHooksState().frees );
	}
	// Tables, scans and the two buffers of one decoder fit the player's
	// 16 KB of fast memory.
	M4TestInstallHooks( true );
	const VIDDecoderSetup setup = M4TestDecoderSetup( 64, 48, 1, true );
	VIDDestroyDecoder( VIDCreateDecoder( &setup ) );
	EXPECT_EQ( M4TestHooksState().fastUsed, 2 * ( 448 + 384 + 480 ) + 3 * 64 + 2 * 768u );
}

TEST_F( VIDDecoder, GivesEverythingBackWhenAnyAllocationFails ) {
	for ( const u32 flags : { 0u, 1u } ) {
		for ( const bool fast : { true, false } ) {
			M4TestInstallHooks( fast );
			const VIDDecoderSetup setup = M4TestDecoderSetup( 48, 32, flags, fast );
			VIDDestroyDecoder( VIDCreateDecoder( &setup ) );
			const u32 needed = M4TestHooksState().allocations;
			ASSERT_GE( needed, 5u );
			for ( u32 failAt = 1; failAt <= needed; failAt++ ) {
				M4TestInstallHooks( fast );
				M4TestHooksState().failAt = failAt;
				EXPECT_EQ( VIDCreateDecoder( &setup ), nullptr ) << "allocation " << failAt;
				EXPECT_TRUE( M4TestHooksState().live.empty() ) << "allocation " << failAt;
				EXPECT_EQ( M4TestHooksState().frees, M4TestHooksState().allocations - 1 ) << "allocation " << failAt;
			}
		}
	}
	M4TestInstallHooks( true );
	EXPECT_EQ( VIDCreateDecoder( nullptr ), nullptr );
	VIDImage  kept = {};
	VIDImage* image = &kept;
	const u8  frame[4] = {};
	EXPECT_EQ( VIDVideoDecode( nullptr, frame, sizeof( frame ), &image ), 1 );
	EXPECT_EQ( image, &kept );
	VIDDestroyDecoder( nullptr );
	EXPECT_EQ( M4TestHooksState().frees, 0u );
}

TEST_F( VIDDecoder, ShowsPicturesInDisplayOrder ) {
	// Frames decoded in stream order and, for each, which picture is shown:
	// 'C' the one decoded by this frame, 'F' the previous reference.
	const struct {
		u32			flags;
		const char*	types;
		const char*	shown;
	} cases[] = {
		{ 1, "IPBBPB", "FFCCFC" },
		// Without reordering a B-frame is skipped and the last picture stays.
		{ 0, "IPPBP", "CCCFC" },
	};
	for ( const auto& c : cases ) {
		M4TestInstallHooks( true );
		const VIDDecoderSetup setup = M4TestDecoderSetup( 32, 32, c.flags, true );
		M4Decoder* const decoder = VIDCreateDecoder( &setup );
		ASSERT_NE( decoder, nullptr );
		const u8* const initialForward = decoder->mForward->mY;
		const u8* previousReference = initialForward;
		for ( u32 k = 0; c.types[k] != '\0'; k++ ) {
			const char type = c.types[k];
			const std::vector<u8> frame = Frame( type == 'I' ? 0 : ( type == 'P' ? 1 : 2 ) );
			const u8* const decodedInto = decoder->mCurrent->mY;
			VIDImage* image = nullptr;
			EXPECT_EQ( VIDVideoDecode( decoder, frame.data(), static_cast<u32>( frame.size() ), &image ), 1 );
			ASSERT_NE( image, nullptr );
			ASSERT_NE( decoder->mCurrent, nullptr );
			const u8* const expected = c.shown[k] == 'C' ? decodedInto : previousReference;
			EXPECT_EQ( image->y, expected ) << "frame " << k << " of " << c.types;
			if ( k == 0 && c.flags != 0 ) {
				EXPECT_EQ( image->y, initialForward ) << "the black reference comes first";
			}
			if ( type != 'B' ) {
				previousReference = decodedInto;
			}
			EXPECT_EQ( decoder->mFrameCount, k + 1 );
		}
		VIDDestroyDecoder( decoder );
	}
}

TEST_F( VIDDecoder, DescribesTheShownPictureAsTextures ) {
	const VIDDecoderSetup setup = M4TestDecoderSetup( 100, 50, 1, true );
	M4Decoder* const decoder = VIDCreateDecoder( &setup );
	ASSERT_NE( decoder, nullptr );
	const std::vector<u8> frame = Frame( 0 );
	VIDImage* image = nullptr;
	VIDVideoDecode( decoder, frame.data(), static_cast<u32>( frame.size() ), &image );
	ASSERT_NE( image, nullptr );
	EXPECT_EQ( image->width, 100 );
	EXPECT_EQ( image->height, 50 );
	EXPECT_EQ( image->texWidth, 112 + 64 );
	EXPECT_EQ( image->texHeight, 64 );
	EXPECT_EQ( image->y[0], 16 );
	EXPECT_EQ( image->u[0], 128 );
	EXPECT_EQ( image->v[0], 128 );
	VIDDestroyDecoder( decoder );
}

TEST_F( VIDDecoder, ReadsTheFrameTypeAfterSixteenBits ) {
	const struct {
		std::vector<u8>	bytes;
		u32				type;
	} cases[] = {
		{ { 0x00, 0x00, 0x00 }, 0 },
		{ { 0xFF, 0xFF, 0x40 }, 1 },
		{ { 0x00, 0x00, 0x80 }, 2 },
		{ { 0x12, 0x34, 0xDF }, 3 },
		{ { 0x00, 0x00 }, 0 },
		{ {}, 0 },
	};
	for ( const auto& c : cases ) {
		EXPECT_EQ( VIDGetFrameType( c.bytes.data(), static_cast<u32>( c.bytes.size() ) ), c.type );
	}
}

TEST_F( VIDDecoder, PoolRefusesAnEighthPicture ) {
	M4Image images[8];
	M4Image::initMallocPool();
	for ( u32 i = 0; i < 7; i++ ) {
		EXPECT_TRUE( images[i].init( 16, 16 ) );
	}
	EXPECT_FALSE( images[7].init( 16, 16 ) );
	void* const pool = M4Image::mallocPool();
	ASSERT_NE( pool, nullptr );
	EXPECT_EQ( images[6].mPlaneY, static_cast<u8*>( pool ) + 6 * PictureBytes( 16, 16 ) );
	M4Image::freePool( pool );
	M4Image::initMallocPool();
}

TEST_F( VIDDecoder, TiledOffsetsFollowTheIntensityEightLayout ) {
	const struct {
		u32 x;
		u32 y;
		u32 stride;
		u32 offset;
	} cases[] = {
		{ 0, 0, 64, 0 }, { 7, 0, 64, 7 }, { 8, 0, 64, 32 }, { 0, 1, 64, 8 }, { 0, 3, 64, 24 },
		{ 0, 4, 64, 256 }, { 9, 5, 64, 256 + 8 + 32 + 1 }, { 32, 32, 240, 32 * 240 + 128 },
	};
	for ( const auto& c : cases ) {
		EXPECT_EQ( M4TiledOffset( c.x, c.y, c.stride ), c.offset ) << c.x << "," << c.y;
	}
}
