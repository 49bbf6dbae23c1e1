// Each vector kernel against the plain kernel it replaces, on seeded
// random input: the two must agree bit for bit, the edge cases included
// (sparse and saturating transform blocks, every quantiser class, vectors
// that leave the padded planes, borders of every picture size).
#include "video/m4/M4Bitstream.h"
#include "video/m4/M4BitstreamParser.h"
#include "video/m4/M4BlockDecoder.h"
#include "video/m4/M4Idct.h"
#include "video/m4/M4ImagePadding.h"
#include "video/m4/M4InvQuant.h"
#include "video/m4/M4MemHalfPel.h"
#include "video/m4/M4MemOp.h"
#include "video/m4/M4Prediction.h"

#include "M4TestHooks.h"
#include "M4TestPicture.h"
#include "tools/lib/movie/ToolBitWriter.h"
#include "tools/lib/video/ToolM4CodeWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace {

class M4FastKernels : public ::testing::Test {
protected:
	void TearDown() override { M4TestHooksReset(); }
	std::mt19937 random { 1234 };

	s32 Uniform( const s32 low, const s32 high ) { return std::uniform_int_distribution<s32>( low, high )( random ); }
};

// Blocks of the kinds the transform's fast paths tell apart.
enum BlockKind : u32 { kDense, kSmall, kDCOnly, kFirstRow, kFirstColumn, kTopLeft, kUpperRows, kLeftColumns, kOneCoefficient, kExtreme, kBlockKinds };

std::vector<u8> Planes( const M4Image& picture ) {
	const u32 luma = static_cast<u32>( picture.mPaddedWidth ) * picture.mPaddedHeight;
	std::vector<u8> bytes( picture.mPlaneY, picture.mPlaneY + luma );
	bytes.insert( bytes.end(), picture.mPlaneU, picture.mPlaneU + luma / 4 );
	bytes.insert( bytes.end(), picture.mPlaneV, picture.mPlaneV + luma / 4 );
	return bytes;
}

// A frame of coefficient blocks as an encoder would write them (plain
// codes, every escape mode, runs past the block's end), some broken off
// by bits that start no code, the frame cut at a random length.
std::vector<u8> CoefficientFrame( std::mt19937& random, const bool intra ) {
	auto uniform = [&]( const s32 low, const s32 high ) { return std::uniform_int_distribution<s32>( low, high )( random ); };
	ToolBitWriter writer;
	writer.Write( static_cast<u32>( uniform( 0, 127 ) ), static_cast<u32>( uniform( 0, 7 ) ) );
	for ( u32 block = 0; block < 40; block++ ) {
		const s32 count = uniform( 1, block % 5 == 0 ? 40 : 8 );
		for ( s32 i = 0; i < count; i++ ) {
			const u32 last = i + 1 == count ? 1 : 0;
			const u32 run = static_cast<u32>( uniform( 0, 3 ) == 0 ? uniform( 0, 63 ) : uniform( 0, 4 ) );
			const s32 pick = uniform( 0, 9 );
			s32 level = pick < 6 ? uniform( 1, 3 ) : ( pick < 9 ? uniform( 1, 40 ) : uniform( 1, 2047 ) );
			level = uniform( 0, 1 ) != 0 ? -level : level;
			if ( !ToolM4CodeWriter::WriteCoefficient( writer, intra, last, run, level ) ) {
				ToolM4CodeWriter::WriteCoefficient( writer, intra, last, 0, 1 );
			}
		}
		if ( uniform( 0, 15 ) == 0 ) {
			writer.Write( 0, static_cast<u32>( uniform( 4, 16 ) ) );
		}
	}
	std::vector<u8> bytes = writer.Finish();
	bytes.resize( static_cast<size_t>( uniform( static_cast<s32>( bytes.size() ) / 2, static_cast<s32>( bytes.size() ) ) ) );
	return bytes;
}

} // namespace

TEST_F( M4FastKernels, CoefficientDecodingMatchesThePlainReaderPredictionAndDequantisersToTheLastBit ) {
	M4TestInstallHooks( false );
	M4Bitstream			unused;
	M4BitstreamParser	parser;
	ASSERT_TRUE( parser.init( &unused, 16, 16 ) );
	// 1 to 31 are dequantised as they are decoded; the others after.
	const u32 quantisers[] = { 1, 2, 7, 30, 31, 0, 32, 1000 };
	for ( u32 n = 0; n < 600; n++ ) {
		const bool				intra = n % 3 == 0;
		const std::vector<u8>	frame = CoefficientFrame( random, intra );
		const u8* const			scan = parser.mScan[n % M4_SCAN_COUNT];
		const M4CoefficientTables& tables = intra ? parser.mVlc.intraTables() : parser.mVlc.interTables();
		u8 matrix[64];
		for ( u8& weight : matrix ) {
			weight = static_cast<u8>( Uniform( 1, 255 ) );
		}
		const M4Dequantiser dequantiser = { n % 2 == 0, quantisers[n / 2 % 8], matrix };
		M4Bitstream fast;
		M4Bitstream plain;
		M4BitstreamInit( &fast, frame.data(), static_cast<u32>( frame.size() ) );
		M4BitstreamInit( &plain, frame.data(), static_cast<u32>( frame.size() ) );
		for ( u32 block = 0; block < 48; block++ ) {
			// A block of levels, or a macroblock's coded blocks dequantised;
			// blocks not coded keep what they held.
			std::vector<s16> fastBlocks( 6 * 64, 99 );
			std::vector<s16> plainBlocks( 6 * 64, 99 );
			if ( intra && block % 3 == 0 ) {
				const u32 first = block % 2;
				std::fill_n( fastBlocks.begin(), 64, 0 );
				std::fill_n( plainBlocks.begin(), 64, 0 );
				M4DecodeIntraBlock( &fast, fastBlocks.data(), first, tables, scan );
				M4DecodeIntraBlockReference( &plain, plainBlocks.data(), first, tables, scan );
			} else if ( intra ) {
				// Dequantised as decoded, then predicted from the left, from
				// above or not at all, against decoding, prediction and the
				// plain dequantiser in turn.
				const u32 first = block % 2;
				const u32 direction = block % 3;
				const u32 dcScaler = static_cast<u32>( Uniform( 8, 46 ) );
				M4ACDCPredictor predictor = { direction, Uniform( -300, 300 ), {} };
				for ( s32& value : predictor.mAC ) {
					value = Uniform( -60, 60 );
				}
				M4_MB fastMb{};
				M4_MB plainMb{};
				fastMb.mACPredDirection[0] = plainMb.mACPredDirection[0] = static_cast<u8>( direction );
				s16 fastLevels[64] = {};
				s16 plainLevels[64] = {};
				fastLevels[0] = plainLevels[0] = static_cast<s16>( first != 0 ? Uniform( -255, 255 ) : 0 );
				std::fill_n( fastBlocks.begin(), 64, 0 );
				M4DecodeIntraBlockDequantised( &fast, fastLevels, fastBlocks.data(), first, tables, scan, dequantiser );
				M4Prediction::addACDC( predictor, &fastMb, fastLevels, 0, dcScaler );
				M4InvQuantIntraEdges( fastBlocks.data(), fastLevels, dequantiser.mQuantiser, dcScaler, dequantiser.mMpeg ? matrix : nullptr, direction == 1, direction == 2 );
				M4DecodeIntraBlockReference( &plain, plainLevels, first, tables, scan );
				M4Prediction::addACDC( predictor, &plainMb, plainLevels, 0, dcScaler );
				if ( dequantiser.mMpeg ) {
					M4InvQuantType1Intra( plainBlocks.data(), plainLevels, dequantiser.mQuantiser, dcScaler, matrix );
				} else {
					M4InvQuantType0IntraReference( plainBlocks.data(), plainLevels, dequantiser.mQuantiser, dcScaler );
				}
			} else if ( block % 3 == 0 ) {
				std::fill_n( fastBlocks.begin(), 64, 0 );
				std::fill_n( plainBlocks.begin(), 64, 0 );
				M4DecodeInterBlock( &fast, fastBlocks.data(), tables, scan );
				M4DecodeInterBlockReference( &plain, plainBlocks.data(), tables, scan );
			} else {
				const u32 pattern = static_cast<u32>( Uniform( 1, 63 ) );
				M4DecodeInterMacroBlockDequantised( &fast, fastBlocks.data(), pattern, tables, scan, dequantiser );
				for ( u32 b = 0; b < 6; b++ ) {
					if ( ( pattern & ( 32u >> b ) ) == 0 ) {
						continue;
					}
					s16 levels[64] = {};
					M4DecodeInterBlockReference( &plain, levels, tables, scan );
					if ( dequantiser.mMpeg ) {
						M4InvQuantType1Inter( &plainBlocks[64 * b], levels, dequantiser.mQuantiser, matrix );
					} else {
						M4InvQuantType0InterReference( &plainBlocks[64 * b], levels, dequantiser.mQuantiser );
					}
				}
			}
			ASSERT_EQ( fastBlocks, plainBlocks ) << "frame " << n << " block " << block;
			ASSERT_EQ( M4BitstreamPosition( &fast ), M4BitstreamPosition( &plain ) ) << "frame " << n << " block " << block;
		}
	}
	parser.destroy();
}

TEST_F( M4FastKernels, TransformMatchesThePlainTransformOnEveryKindOfBlock ) {
	for ( u32 n = 0; n < 40000; n++ ) {
		const u32 kind = n % kBlockKinds;
		s16 block[64] = {};
		for ( u32 i = 0; i < 64; i++ ) {
			const u32 row = i / 8;
			const u32 column = i % 8;
			switch ( kind ) {
			case kDense: block[i] = static_cast<s16>( Uniform( -2048, 2047 ) ); break;
			case kSmall: block[i] = static_cast<s16>( Uniform( 0, 3 ) == 0 ? Uniform( -6, 6 ) : 0 ); break;
			case kDCOnly: block[i] = static_cast<s16>( i == 0 ? Uniform( -2048, 2047 ) : 0 ); break;
			case kFirstRow: block[i] = static_cast<s16>( row == 0 && Uniform( 0, 2 ) != 0 ? Uniform( -2048, 2047 ) : 0 ); break;
			case kFirstColumn: block[i] = static_cast<s16>( column == 0 && Uniform( 0, 2 ) != 0 ? Uniform( -2048, 2047 ) : 0 ); break;
			case kTopLeft: block[i] = static_cast<s16>( row < 4 && column < 4 ? Uniform( -300, 300 ) : 0 ); break;
			case kUpperRows: block[i] = static_cast<s16>( row < 4 ? Uniform( -300, 300 ) : 0 ); break;
			case kLeftColumns: block[i] = static_cast<s16>( column < 4 ? Uniform( -300, 300 ) : 0 ); break;
			case kOneCoefficient: block[i] = static_cast<s16>( i == n / kBlockKinds % 64 ? Uniform( -2048, 2047 ) : 0 ); break;
			default: block[i] = static_cast<s16>( Uniform( 0, 1 ) != 0 ? 32767 : -32768 ); break;
			}
		}
		s16 plain[64];
		std::memcpy( plain, block, sizeof( block ) );
		M4idctReference( plain );
		for ( const auto kernel : { M4idct, M4idctSSE2, M4idctAVX2 } ) {
			if ( kernel == M4idctAVX2 && !M4CpuHasAVX2() ) {
				continue;
			}
			s16 fast[64];
			std::memcpy( fast, block, sizeof( block ) );
			kernel( fast );
			ASSERT_EQ( 0, std::memcmp( fast, plain, sizeof( fast ) ) ) << "block " << n << " of kind " << kind;
		}
	}
}

TEST_F( M4FastKernels, H263DequantisationMatchesThePlainRuleForEveryQuantiserClass ) {
	const u32 quantisers[] = { 0, 1, 2, 3, 17, 30, 31, 32767, 65535, 65536, 0xFFFFFFFFu };
	for ( const u32 quantiser : quantisers ) {
		for ( u32 n = 0; n < 500; n++ ) {
			s16 in[64];
			for ( s16& value : in ) {
				const u32 pick = static_cast<u32>( Uniform( 0, 9 ) );
				value = static_cast<s16>( pick < 4 ? 0 : ( pick < 8 ? Uniform( -40, 40 ) : ( pick == 8 ? Uniform( -2100, 2100 ) : Uniform( -32768, 32767 ) ) ) );
			}
			in[n % 64] = n % 3 == 0 ? -32768 : 32767;
			const u32 dcScaler = static_cast<u32>( Uniform( 0, 46 ) );
			s16 fast[64];
			s16 plain[64];
			M4InvQuantType0Inter( fast, in, quantiser );
			M4InvQuantType0InterReference( plain, in, quantiser );
			ASSERT_EQ( 0, std::memcmp( fast, plain, sizeof( fast ) ) ) << "inter, quantiser " << quantiser;
			M4InvQuantType0Intra( fast, in, quantiser, dcScaler );
			M4InvQuantType0IntraReference( plain, in, quantiser, dcScaler );
			ASSERT_EQ( 0, std::memcmp( fast, plain, sizeof( fast ) ) ) << "intra, quantiser " << quantiser;
		}
	}
}

TEST_F( M4FastKernels, MacroBlockWritesMatchThePlainWritesInEveryPlaneAndOrder ) {
	M4TestPictures pictures( 48, 32, 4 );
	for ( u32 n = 0; n < 400; n++ ) {
		M4TestFillPicture( &pictures[0], n );
		M4TestFillPicture( &pictures[1], n );
		M4TestFillPicture( &pictures[2], 1000 + n );
		const u32 mbX = static_cast<u32>( Uniform( 0, 2 ) );
		const u32 mbY = static_cast<u32>( Uniform( 0, 1 ) );
		const bool field = Uniform( 0, 1 ) != 0;
		const u32 pattern = static_cast<u32>( Uniform( 0, 63 ) );
		s16 blocks[6 * 64];
		for ( s16& value : blocks ) {
			value = static_cast<s16>( Uniform( 0, 7 ) == 0 ? Uniform( -32768, 32767 ) : Uniform( -300, 300 ) );
		}
		switch ( n % 4 ) {
		case 0:
			( field ? M4MemOpIntraMBAllField : M4MemOpIntraMBAll )( &pictures[0], mbX, mbY, blocks );
			M4MemOpIntraMBAllReference( &pictures[1], mbX, mbY, blocks, field );
			break;
		case 1:
			( field ? M4MemOpInterMBAddField : M4MemOpInterMBAdd )( &pictures[0], mbX, mbY, blocks, pattern );
			M4MemOpInterMBAddReference( &pictures[1], mbX, mbY, blocks, pattern, field );
			break;
		case 2:
			M4MemOpInterMBCopyAll( &pictures[0], mbX, mbY, &pictures[2] );
			M4MemOpInterMBCopyAllReference( &pictures[1], mbX, mbY, &pictures[2] );
			break;
		default:
			M4MemOpInterpolateAll( &pictures[0], mbX, mbY, &pictures[2] );
			M4MemOpInterpolateAllReference( &pictures[1], mbX, mbY, &pictures[2] );
			break;
		}
		ASSERT_EQ( Planes( pictures[0] ), Planes( pictures[1] ) ) << "case " << n;
	}
}

// Positions and vectors that keep the read window inside the plane, put
// it across the padded border, or far outside it; every other case
// averages the prediction into the pixels already there.
TEST_F( M4FastKernels, HalfSamplePredictionMatchesThePlainKernelsInsideAndOutsideThePlanes ) {
	M4TestPictures pictures( 48, 32, 3 );
	M4TestFillPicture( &pictures[0], 77 );
	const u32 limits[] = { 8, 40, 70, 4000 };
	for ( u32 n = 0; n < 6000; n++ ) {
		const u32			component = n % 3;
		const bool			average = n / 12 % 2 != 0;
		const M4Plane		reference = M4ImagePlane( &pictures[0], component );
		const u32			chroma = component == 0 ? 1 : 2;
		const s32			limit = static_cast<s32>( limits[n / 3 % 4] );
		// Every fifth vector moves by whole tiles.
		const M4_VECTOR		vector = n % 5 == 0 ? M4_VECTOR { 16 * Uniform( -4, 4 ), 8 * Uniform( -4, 4 ) } : M4_VECTOR { Uniform( -limit, limit ), Uniform( -limit, limit ) };
		const u32			rounding = static_cast<u32>( Uniform( 0, 1 ) );
		const s32			x = 8 * Uniform( 0, static_cast<s32>( 6 / chroma - 1 ) );
		const s32			y = 8 * Uniform( 0, static_cast<s32>( 4 / chroma - 1 ) );
		u8					fast[64];
		u8					plain[64];
		u8					fastFields[128];
		u8					plainFields[128];
		for ( u32 i = 0; i < 128; i++ ) {
			fastFields[i] = plainFields[i] = static_cast<u8>( Uniform( 0, 255 ) );
			if ( i < 64 ) {
				fast[i] = plain[i] = fastFields[i];
			}
		}
		( average ? M4MemHalfPelInterpolateAverage : M4MemHalfPelInterpolate )( fast, 8, reference, x, y, vector, rounding );
		M4MemHalfPelInterpolateReference( plain, 8, reference, x, y, vector, rounding, average );
		ASSERT_EQ( 0, std::memcmp( fast, plain, sizeof( fast ) ) ) << "frame " << vector.x << "," << vector.y << " at " << x << "," << y;

		const u32 select = static_cast<u32>( Uniform( 0, 1 ) );
		const u32 destination = static_cast<u32>( Uniform( 0, 1 ) );
		const u32 rows = static_cast<u32>( Uniform( 1, 8 ) );
		( average ? M4MemHalfPelFieldsAverage : M4MemHalfPelFields )( fastFields, 8, destination, reference, x, y / 2, vector, select, rows, rounding );
		M4MemHalfPelFieldsReference( plainFields, 8, destination, reference, x, y / 2, vector, select, rows, rounding, average );
		ASSERT_EQ( 0, std::memcmp( fastFields, plainFields, sizeof( fastFields ) ) ) << "field " << vector.x << "," << vector.y;

		if ( component == 1 ) {
			// Both chroma blocks at once against each on its own.
			const M4Plane other = M4ImagePlane( &pictures[0], M4_PLANE_V );
			u8 fastPair[2][128];
			u8 plainPair[2][128];
			for ( u32 i = 0; i < 128; i++ ) {
				fastPair[0][i] = plainPair[0][i] = static_cast<u8>( Uniform( 0, 255 ) );
				fastPair[1][i] = plainPair[1][i] = static_cast<u8>( Uniform( 0, 255 ) );
			}
			( average ? M4MemHalfPelInterpolateChromaAverage : M4MemHalfPelInterpolateChroma )( fastPair[0], fastPair[1], 16, reference, other, x, y, vector, rounding );
			M4MemHalfPelInterpolateReference( plainPair[0], 16, reference, x, y, vector, rounding, average );
			M4MemHalfPelInterpolateReference( plainPair[1], 16, other, x, y, vector, rounding, average );
			ASSERT_EQ( 0, std::memcmp( fastPair, plainPair, sizeof( fastPair ) ) ) << "chroma " << vector.x << "," << vector.y << " at " << x << "," << y;
		}
		if ( component == 0 ) {
			// A whole luma macroblock at once against its four blocks.
			const s32 mbX = 16 * Uniform( 0, 2 );
			const s32 mbY = 16 * Uniform( 0, 1 );
			M4TestFillPicture( &pictures[1], n );
			M4TestFillPicture( &pictures[2], n );
			const M4Plane wide = M4ImagePlane( &pictures[1], M4_PLANE_Y );
			const M4Plane quarters = M4ImagePlane( &pictures[2], M4_PLANE_Y );
			( average ? M4MemHalfPelInterpolate16Average : M4MemHalfPelInterpolate16 )( &M4TestPixel( wide, mbX, mbY ), wide.mStride, reference, mbX, mbY, vector, rounding );
			for ( u32 b = 0; b < 4; b++ ) {
				const s32 bx = mbX + 8 * static_cast<s32>( b & 1 );
				const s32 by = mbY + 8 * static_cast<s32>( b >> 1 );
				M4MemHalfPelInterpolateReference( &M4TestPixel( quarters, bx, by ), quarters.mStride, reference, bx, by, vector, rounding, average );
			}
			for ( s32 j = 0; j < 16; j++ ) {
				for ( s32 i = 0; i < 16; i++ ) {
					ASSERT_EQ( M4TestPixel( wide, mbX + i, mbY + j ), M4TestPixel( quarters, mbX + i, mbY + j ) )
						<< "macroblock " << vector.x << "," << vector.y << " pixel " << i << "," << j;
				}
			}
		}
	}
}

TEST_F( M4FastKernels, BorderExtensionMatchesThePlainKernelForEveryPictureSize ) {
	const u16 sizes[][2] = { { 16, 16 }, { 48, 32 }, { 120, 72 }, { 96, 64 }, { 8, 8 }, { 200, 24 } };
	for ( const auto& size : sizes ) {
		M4TestPictures pictures( size[0], size[1], 2 );
		M4TestFillPicture( &pictures[0], size[0] );
		M4TestFillPicture( &pictures[1], size[0] );
		M4ImageCreatePadding( &pictures[0] );
		M4ImageCreatePaddingReference( &pictures[1] );
		EXPECT_EQ( Planes( pictures[0] ), Planes( pictures[1] ) ) << size[0] << "x" << size[1];
	}
}
