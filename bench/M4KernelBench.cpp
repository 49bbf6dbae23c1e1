// Speed of the video decoder's per-block kernels, in blocks (or
// macroblocks, or pictures) per second: the inverse transform, the four
// dequantisers, half-sample prediction for each case, intra store and
// residual add per macroblock, global motion per block and border
// extension of a 640 x 448 picture.
#include "video/m4/M4BitstreamParser.h"
#include "video/m4/M4Idct.h"
#include "video/m4/M4Image.h"
#include "video/m4/M4ImagePadding.h"
#include "video/m4/M4InvQuant.h"
#include "video/m4/M4MemGMC.h"
#include "video/m4/M4MemHalfPel.h"
#include "video/m4/M4MemOp.h"
#include "video/m4/M4Memory.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

void* KernelAlloc( u32 size ) { return std::malloc( size ); }
void KernelFree( void* block ) { std::free( block ); }

// One pooled picture, noise-filled, freed with the object.
struct BenchPicture {
	BenchPicture( const u16 width, const u16 height ) {
		M4initMemory( KernelAlloc, KernelFree, nullptr );
		M4Image::initMallocPool();
		image.init( width, height );
		pool = M4Image::mallocPool();
		u32 state = 7;
		const u32 bytes = image.byteSize();
		for ( u32 i = 0; i < bytes; i++ ) {
			state = state * 1664525u + 1013904223u;
			image.mPlaneY[i] = static_cast<u8>( state >> 24 );
		}
	}
	~BenchPicture() { M4Image::freePool( pool ); }
	M4Image	image;
	void*	pool = nullptr;
};

void FillCoefficients( s16* block, const u32 count, const s32 span ) {
	u32 state = 3;
	for ( u32 i = 0; i < count; i++ ) {
		state = state * 1664525u + 1013904223u;
		block[i] = static_cast<s16>( static_cast<s32>( ( state >> 16 ) % ( 2 * span + 1 ) ) - span );
	}
}

} // namespace

static void BM_M4idct( benchmark::State& state ) {
	s16 source[64];
	FillCoefficients( source, 64, 300 );
	s16 block[64];
	for ( auto _ : state ) {
		for ( u32 i = 0; i < 64; i++ ) {
			block[i] = source[i];
		}
		M4idct( block );
		benchmark::DoNotOptimize( block );
	}
	state.SetItemsProcessed( state.iterations() );
}
BENCHMARK( BM_M4idct );

static void BM_M4InvQuant( benchmark::State& state ) {
	s16 in[64];
	s16 out[64];
	FillCoefficients( in, 64, 20 );
	const u8* const intra = M4BitstreamParser::mDefaultIntraMatrix;
	const u8* const inter = M4BitstreamParser::mDefaultInterMatrix;
	for ( auto _ : state ) {
		switch ( state.range( 0 ) ) {
		case 0: M4InvQuantType0Intra( out, in, 7, 14 ); break;
		case 1: M4InvQuantType0Inter( out, in, 7 ); break;
		case 2: M4InvQuantType1Intra( out, in, 7, 14, intra ); break;
		default: M4InvQuantType1Inter( out, in, 7, inter ); break;
		}
		benchmark::DoNotOptimize( out );
	}
	state.SetItemsProcessed( state.iterations() );
}
BENCHMARK( BM_M4InvQuant )->DenseRange( 0, 3 );

// Argument: 0 full, 1 horizontal, 2 vertical, 3 diagonal half sample.
static void BM_M4MemHalfPelInterpolate( benchmark::State& state ) {
	BenchPicture picture( 640, 448 );
	const M4Plane plane = M4ImagePlane( &picture.image, M4_PLANE_Y );
	const M4_VECTOR v = { 6 + static_cast<s32>( state.range( 0 ) & 1 ), -4 + static_cast<s32>( state.range( 0 ) >> 1 ) };
	u8 out[64];
	for ( auto _ : state ) {
		M4MemHalfPelInterpolate( out, 8, plane, 320, 224, v, 0 );
		benchmark::DoNotOptimize( out );
	}
	state.SetItemsProcessed( state.iterations() );
}
BENCHMARK( BM_M4MemHalfPelInterpolate )->DenseRange( 0, 3 );

static void BM_M4MemOpIntraMBAll( benchmark::State& state ) {
	BenchPicture picture( 640, 448 );
	s16 blocks[6 * 64];
	FillCoefficients( blocks, 6 * 64, 300 );
	for ( auto _ : state ) {
		M4MemOpIntraMBAll( &picture.image, 20, 14, blocks );
		benchmark::ClobberMemory();
	}
	state.SetItemsProcessed( state.iterations() );
}
BENCHMARK( BM_M4MemOpIntraMBAll );

static void BM_M4MemOpInterMBAdd( benchmark::State& state ) {
	BenchPicture picture( 640, 448 );
	s16 blocks[6 * 64];
	FillCoefficients( blocks, 6 * 64, 30 );
	for ( auto _ : state ) {
		M4MemOpInterMBAdd( &picture.image, 20, 14, blocks, 0x3f );
		benchmark::ClobberMemory();
	}
	state.SetItemsProcessed( state.iterations() );
}
BENCHMARK( BM_M4MemOpInterMBAdd );

static void BM_M4MemGMCInterpolate( benchmark::State& state ) {
	BenchPicture picture( 640, 448 );
	const M4Plane plane = M4ImagePlane( &picture.image, M4_PLANE_Y );
	M4SpriteWarp warp = {};
	warp.mPointCount = 3;
	warp.mAccuracy = 3;
	warp.mDu[0] = 5;
	warp.mDv[0] = -3;
	warp.mDu[1] = 20;
	warp.mDv[2] = -12;
	M4SpriteWarpDerive( &warp, 640, 448 );
	u8 out[64];
	for ( auto _ : state ) {
		M4MemGMCInterpolate( out, 8, plane, warp, 320, 224, false, 0 );
		benchmark::DoNotOptimize( out );
	}
	state.SetItemsProcessed( state.iterations() );
}
BENCHMARK( BM_M4MemGMCInterpolate );

static void BM_M4ImageCreatePadding( benchmark::State& state ) {
	BenchPicture picture( 640, 448 );
	for ( auto _ : state ) {
		M4ImageCreatePadding( &picture.image );
		benchmark::ClobberMemory();
	}
	state.SetItemsProcessed( state.iterations() );
}
BENCHMARK( BM_M4ImageCreatePadding );
