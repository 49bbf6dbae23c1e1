#include "video/m4/M4MemOp.h"

#include "platform/os/OS.h"
#include "video/m4/M4MacroBlock.h"

#include <emmintrin.h>

namespace {

constexpr u32 M4_BLOCK_COEFFICIENTS = 64;
constexpr u32 M4_TILE_ROWS = 4;

// The three planes of a macroblock: origin, stride and width in pixels.
struct M4MBPlanes {
	u8*		origin[3];
	u32		stride[3];
	u32		size[3];
};

M4MBPlanes M4GetMBPlanes( const M4Image* picture, const u32 mbX, const u32 mbY ) {
	const u32 stride = picture->mPaddedWidth;
	const u32 chromaStride = stride / 2u;
	M4MBPlanes planes;
	planes.origin[0] = picture->mY + 64u * mbX + 16u * stride * mbY;
	planes.origin[1] = picture->mU + 32u * mbX + 8u * chromaStride * mbY;
	planes.origin[2] = picture->mV + 32u * mbX + 8u * chromaStride * mbY;
	planes.stride[0] = stride;
	planes.stride[1] = planes.stride[2] = chromaStride;
	planes.size[0] = 16;
	planes.size[1] = planes.size[2] = 8;
	return planes;
}

// Address of row r of block b within its macroblock; the row's 8 pixels
// are contiguous because blocks start on tile columns.
u8* M4BlockRow( const M4MBPlanes& planes, const u32 block, const u32 r, const bool field ) {
	if ( block >= 4 ) {
		const u32 plane = block - 3;
		return planes.origin[plane] + M4TiledOffset( 0, r, planes.stride[plane] );
	}
	const u32 column = 8 * ( block & 1 );
	const u32 row = field ? 2 * r + ( block >> 1 ) : 8 * ( block >> 1 ) + r;
	return planes.origin[0] + M4TiledOffset( column, row, planes.stride[0] );
}

u8 M4SaturatePixel( const s32 v ) {
	return static_cast<u8>( v < 0 ? 0 : ( v > 255 ? 255 : v ) );
}

// Calls rowOp( pixel row, its 8 coefficients ) for every row of every
// block coded in pattern.
template<typename RowOp>
void M4ForEachBlockRow( M4Image* picture, const u32 mbX, const u32 mbY, const s16* blocks, const u32 pattern, const bool field, RowOp rowOp ) {
	const M4MBPlanes planes = M4GetMBPlanes( picture, mbX, mbY );
	for ( u32 b = 0; b < M4_MB_BLOCKS; b++ ) {
		if ( ( pattern & ( 1u << ( 5 - b ) ) ) == 0 ) {
			continue;
		}
		const s16* const block = blocks + b * M4_BLOCK_COEFFICIENTS;
		for ( u32 r = 0; r < 8; r++ ) {
			rowOp( M4BlockRow( planes, b, r, field ), block + 8 * r );
		}
	}
}

constexpr u32 M4_ALL_BLOCKS = 0x3F;

void M4StoreBlocksReference( M4Image* picture, const u32 mbX, const u32 mbY, const s16* blocks, const bool field ) {
	M4ForEachBlockRow( picture, mbX, mbY, blocks, M4_ALL_BLOCKS, field, []( u8* row, const s16* coefficients ) {
		for ( u32 c = 0; c < 8; c++ ) {
			row[c] = M4SaturatePixel( coefficients[c] );
		}
	} );
}

void M4AddBlocksReference( M4Image* picture, const u32 mbX, const u32 mbY, const s16* blocks, const u32 pattern, const bool field ) {
	M4ForEachBlockRow( picture, mbX, mbY, blocks, pattern, field, []( u8* row, const s16* coefficients ) {
		for ( u32 c = 0; c < 8; c++ ) {
			row[c] = M4SaturatePixel( row[c] + coefficients[c] );
		}
	} );
}

// In frame order two rows of a block are one 16-byte line: rows 2k and
// 2k + 1 of its tile. Calls pairOp( 16 pixel bytes, the rows' 16
// coefficients ) for every such pair of every block coded in pattern.
template<typename PairOp>
void M4ForEachBlockRowPair( M4Image* picture, const u32 mbX, const u32 mbY, const s16* blocks, const u32 pattern, PairOp pairOp ) {
	const M4MBPlanes planes = M4GetMBPlanes( picture, mbX, mbY );
	for ( u32 b = 0; b < M4_MB_BLOCKS; b++ ) {
		if ( ( pattern & ( 1u << ( 5 - b ) ) ) == 0 ) {
			continue;
		}
		u8* const			origin = M4BlockRow( planes, b, 0, false );
		const u32			stride = planes.stride[b < 4 ? 0 : b - 3];
		const s16* const	block = blocks + b * M4_BLOCK_COEFFICIENTS;
		#pragma GCC unroll 8
		for ( u32 pair = 0; pair < 4; pair++ ) {
			pairOp( origin + ( pair >> 1 ) * M4_TILE_ROWS * stride + ( pair & 1 ) * 16, block + 16 * pair );
		}
	}
}

// Eight s16 of a block row, saturated to pixels by the pack.
void M4StoreBlocks( M4Image* picture, const u32 mbX, const u32 mbY, const s16* blocks, const bool field ) {
	if ( !field ) {
		M4ForEachBlockRowPair( picture, mbX, mbY, blocks, M4_ALL_BLOCKS, []( u8* pixels, const s16* coefficients ) {
			const __m128i first = _mm_loadu_si128( reinterpret_cast<const __m128i*>( coefficients ) );
			const __m128i second = _mm_loadu_si128( reinterpret_cast<const __m128i*>( coefficients + 8 ) );
			_mm_storeu_si128( reinterpret_cast<__m128i*>( pixels ), _mm_packus_epi16( first, second ) );
		} );
		return;
	}
	M4ForEachBlockRow( picture, mbX, mbY, blocks, M4_ALL_BLOCKS, field, []( u8* row, const s16* coefficients ) {
		const __m128i values = _mm_loadu_si128( reinterpret_cast<const __m128i*>( coefficients ) );
		_mm_storel_epi64( reinterpret_cast<__m128i*>( row ), _mm_packus_epi16( values, values ) );
	} );
}

// A pixel plus a residual cannot leave s16 except by saturating at its
// end, where the pack to pixels saturates the same way.
void M4AddBlocks( M4Image* picture, const u32 mbX, const u32 mbY, const s16* blocks, const u32 pattern, const bool field ) {
	if ( !field ) {
		M4ForEachBlockRowPair( picture, mbX, mbY, blocks, pattern, []( u8* pixels, const s16* coefficients ) {
			const __m128i held = _mm_loadu_si128( reinterpret_cast<const __m128i*>( pixels ) );
			const __m128i zero = _mm_setzero_si128();
			const __m128i first = _mm_adds_epi16( _mm_unpacklo_epi8( held, zero ), _mm_loadu_si128( reinterpret_cast<const __m128i*>( coefficients ) ) );
			const __m128i second = _mm_adds_epi16( _mm_unpackhi_epi8( held, zero ), _mm_loadu_si128( reinterpret_cast<const __m128i*>( coefficients + 8 ) ) );
			_mm_storeu_si128( reinterpret_cast<__m128i*>( pixels ), _mm_packus_epi16( first, second ) );
		} );
		return;
	}
	M4ForEachBlockRow( picture, mbX, mbY, blocks, pattern, field, []( u8* row, const s16* coefficients ) {
		const __m128i pixels = _mm_unpacklo_epi8( _mm_loadl_epi64( reinterpret_cast<const __m128i*>( row ) ), _mm_setzero_si128() );
		const __m128i sum = _mm_adds_epi16( pixels, _mm_loadu_si128( reinterpret_cast<const __m128i*>( coefficients ) ) );
		_mm_storel_epi64( reinterpret_cast<__m128i*>( row ), _mm_packus_epi16( sum, sum ) );
	} );
}

// A macroblock's plane is whole tile rows: each group of 4 pixel rows is
// SIZE x 4 contiguous bytes, 16 at a time. (These short loops are unrolled
// by pragma, as the normal build would not unroll them.)
template<u32 SIZE, typename Combine>
inline void M4CombinePlane( u8* to, const u32 toStride, const u8* from, const u32 fromStride, Combine combine ) {
	#pragma GCC unroll 8
	for ( u32 group = 0; group < SIZE / M4_TILE_ROWS; group++ ) {
		__m128i* const			a = reinterpret_cast<__m128i*>( to + group * M4_TILE_ROWS * toStride );
		const __m128i* const	b = reinterpret_cast<const __m128i*>( from + group * M4_TILE_ROWS * fromStride );
		#pragma GCC unroll 8
		for ( u32 i = 0; i < SIZE * M4_TILE_ROWS / 16; i++ ) {
			_mm_storeu_si128( a + i, combine( _mm_loadu_si128( a + i ), _mm_loadu_si128( b + i ) ) );
		}
	}
}

template<typename Combine>
void M4CombineMB( M4Image* picture, const u32 mbX, const u32 mbY, const M4Image* other, Combine combine ) {
	const M4MBPlanes to = M4GetMBPlanes( picture, mbX, mbY );
	const M4MBPlanes from = M4GetMBPlanes( other, mbX, mbY );
	M4CombinePlane<16>( to.origin[0], to.stride[0], from.origin[0], from.stride[0], combine );
	M4CombinePlane<8>( to.origin[1], to.stride[1], from.origin[1], from.stride[1], combine );
	M4CombinePlane<8>( to.origin[2], to.stride[2], from.origin[2], from.stride[2], combine );
}

} // namespace

void M4MemOpIntraMBAll( M4Image* picture, const u32 mbX, const u32 mbY, const s16* blocks ) {
	M4StoreBlocks( picture, mbX, mbY, blocks, false );
}

void M4MemOpIntraMBAllField( M4Image* picture, const u32 mbX, const u32 mbY, const s16* blocks ) {
	M4StoreBlocks( picture, mbX, mbY, blocks, true );
}

void M4MemOpInterMBAdd( M4Image* picture, const u32 mbX, const u32 mbY, const s16* blocks, const u32 pattern ) {
	M4AddBlocks( picture, mbX, mbY, blocks, pattern, false );
}

void M4MemOpInterMBAddField( M4Image* picture, const u32 mbX, const u32 mbY, const s16* blocks, const u32 pattern ) {
	M4AddBlocks( picture, mbX, mbY, blocks, pattern, true );
}

void M4MemOpInterMBCopyAll( M4Image* picture, const u32 mbX, const u32 mbY, const M4Image* reference ) {
	M4CombineMB( picture, mbX, mbY, reference, []( __m128i, const __m128i b ) { return b; } );
}

void M4MemOpInterpolateAll( M4Image* picture, const u32 mbX, const u32 mbY, const M4Image* backward ) {
	M4CombineMB( picture, mbX, mbY, backward, []( const __m128i a, const __m128i b ) { return _mm_avg_epu8( a, b ); } );
}

void M4MemOpIntraMBAllReference( M4Image* picture, const u32 mbX, const u32 mbY, const s16* blocks, const bool field ) {
	M4StoreBlocksReference( picture, mbX, mbY, blocks, field );
}

void M4MemOpInterMBAddReference( M4Image* picture, const u32 mbX, const u32 mbY, const s16* blocks, const u32 pattern, const bool field ) {
	M4AddBlocksReference( picture, mbX, mbY, blocks, pattern, field );
}

void M4MemOpInterMBCopyAllReference( M4Image* picture, const u32 mbX, const u32 mbY, const M4Image* reference ) {
	const M4MBPlanes to = M4GetMBPlanes( picture, mbX, mbY );
	const M4MBPlanes from = M4GetMBPlanes( reference, mbX, mbY );
	for ( u32 p = 0; p < 3; p++ ) {
		for ( u32 group = 0; group < to.size[p]; group += M4_TILE_ROWS ) {
			const u32 offset = group * to.stride[p];
			for ( u32 i = 0; i < to.size[p] * M4_TILE_ROWS; i++ ) {
				to.origin[p][offset + i] = from.origin[p][offset + i];
			}
		}
	}
}

void M4MemOpInterpolateAllReference( M4Image* picture, const u32 mbX, const u32 mbY, const M4Image* backward ) {
	const M4MBPlanes to = M4GetMBPlanes( picture, mbX, mbY );
	const M4MBPlanes from = M4GetMBPlanes( backward, mbX, mbY );
	for ( u32 p = 0; p < 3; p++ ) {
		for ( u32 group = 0; group < to.size[p]; group += M4_TILE_ROWS ) {
			const u32 offset = group * to.stride[p];
			for ( u32 i = 0; i < to.size[p] * M4_TILE_ROWS; i++ ) {
				u8& a = to.origin[p][offset + i];
				a = static_cast<u8>( ( a + from.origin[p][offset + i] + 1 ) >> 1 );
			}
		}
	}
}

void M4MemMBFlush( M4Image* picture, const u32 mbX, const u32 mbY ) {
	const M4MBPlanes planes = M4GetMBPlanes( picture, mbX, mbY );
	for ( u32 p = 0; p < 3; p++ ) {
		for ( u32 group = 0; group < planes.size[p]; group += M4_TILE_ROWS ) {
			DCStoreRange( planes.origin[p] + group * planes.stride[p], planes.size[p] * M4_TILE_ROWS );
		}
	}
}

void M4MemMBRowFlush( M4Image* picture, const u32 mbY ) {
	const M4MBPlanes planes = M4GetMBPlanes( picture, 0, mbY );
	for ( u32 p = 0; p < 3; p++ ) {
		// From the row's first tile line to the end of its last, borders
		// included: size pixel rows of the plane's stride.
		u8* const first = planes.origin[p] - ( p == 0 ? M4_IMAGE_BORDER : M4_IMAGE_BORDER / 2 ) * 4;
		DCStoreRange( first, planes.size[p] * planes.stride[p] );
	}
}
