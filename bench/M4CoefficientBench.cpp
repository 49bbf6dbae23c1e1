// Speed of the video decoder's syntax reading: every macroblock of the
// benchmark movie's first I-frame, with its coefficient codes, in bits of
// compressed picture per second. Each code costs one table look-up.
#include "datatypes/base/DTByteOrder.h"
#include "video/m4/M4Bitstream.h"
#include "video/m4/M4BitstreamParser.h"
#include "video/m4/M4BlockDecoder.h"
#include "video/m4/M4Memory.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

// The first compressed picture of the corpus's benchmark movie: its first
// frame chunk follows the header chunk, and its first sub-chunk, 32 bytes
// in, is the picture.
bool LoadFirstPicture( std::vector<u8>* picture, u32* width, u32* height ) {
	const std::filesystem::path path = std::filesystem::path( ENGINE_TEST_DATA_DIR ) / "movie" / "bench.vid";
	std::ifstream file( path, std::ios::binary );
	const std::vector<u8> bytes( ( std::istreambuf_iterator<char>( file ) ), std::istreambuf_iterator<char>() );
	if ( bytes.size() < 64 ) {
		return false;
	}
	const u32 headSize = DTReadBE32( &bytes[36] );
	// The video header sub-chunk leads the header chunk.
	*width = DTReadBE16( &bytes[44 + 12] );
	*height = DTReadBE16( &bytes[44 + 14] );
	const u64 frame = 32u + headSize;
	if ( frame + 64 > bytes.size() ) {
		return false;
	}
	const u32 subSize = DTReadBE32( &bytes[frame + 32 + 4] );
	if ( subSize < 12 || frame + 32 + subSize > bytes.size() ) {
		return false;
	}
	picture->assign( bytes.begin() + static_cast<std::ptrdiff_t>( frame + 32 + 12 ), bytes.begin() + static_cast<std::ptrdiff_t>( frame + 32 + subSize ) );
	return true;
}

void* BenchAlloc( u32 size ) { return std::malloc( size ); }
void BenchFree( void* block ) { std::free( block ); }

} // namespace

static void BM_M4IntraFrameSyntax( benchmark::State& state ) {
	std::vector<u8> picture;
	u32 width = 0;
	u32 height = 0;
	if ( !LoadFirstPicture( &picture, &width, &height ) ) {
		state.SkipWithError( "benchmark movie not found" );
		return;
	}
	M4initMemory( BenchAlloc, BenchFree, nullptr );
	M4Bitstream bs;
	M4BitstreamParser parser;
	parser.init( &bs, width, height );
	const u32 mbCount = ( ( width + 15 ) / 16 ) * ( ( height + 15 ) / 16 );
	s16 block[64];
	for ( auto _ : state ) {
		M4BitstreamInit( &bs, picture.data(), static_cast<u32>( picture.size() ) );
		parser.parseHeader();
		for ( u32 mb = 0; mb < mbCount; mb++ ) {
			const u32 mcbpc = parser.getCbpCIntra();
			const u32 scan = M4BitstreamGet( &bs, 1 ) != 0 ? M4_SCAN_ALTERNATE_HORIZONTAL : M4_SCAN_ZIGZAG;
			const u32 cbp = ( parser.getCbpy( true ) << 2 ) | ( ( mcbpc >> M4_MCBPC_CBPC_SHIFT ) & 3 );
			if ( ( mcbpc & M4_MCBPC_TYPE_MASK ) == 4 ) {
				M4BitstreamSkip( &bs, 2 );
			}
			if ( parser.mInterlaced != 0 ) {
				M4BitstreamSkip( &bs, 1 );
			}
			for ( u32 b = 0; b < 6; b++ ) {
				const u32 size = parser.getDCSize( b < 4 );
				parser.getDCDiff( size );
				if ( size > 8 ) {
					M4BitstreamSkip( &bs, 1 );
				}
				if ( ( cbp & ( 32u >> b ) ) != 0 ) {
					M4DecodeIntraBlock( &bs, block, 1, parser.mVlc.intraTables(), parser.mScan[scan] );
				}
			}
		}
		benchmark::DoNotOptimize( block );
	}
	state.counters["bits/s"] = benchmark::Counter( static_cast<double>( state.iterations() ) * static_cast<double>( picture.size() * 8 ), benchmark::Counter::kIsRate );
	parser.destroy();
}
BENCHMARK( BM_M4IntraFrameSyntax );
