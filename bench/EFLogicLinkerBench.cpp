// Linking a large host module: about 256 KB of code carrying about 20,000
// absolute relocations, checked and linked into a plain buffer.
#include "framework/logic/EFLogicLinker.h"
#include "tools/lib/logic/ToolElfBuilder.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr u32 CODE_BYTES = 256 * 1024;
constexpr u32 RELOCATIONS = 20000;
constexpr u32 SYMBOLS = 512;

std::vector<u8> LargeModule() {
	ToolElfBuilder builder( ToolElfMachine::X86_64 );
	builder.text.assign( CODE_BYTES, 0x90 );
	builder.symbols.push_back( { "BIGConstructor", 0 } );
	for ( u32 i = 1; i < SYMBOLS; i++ ) {
		builder.symbols.push_back( { "function" + std::to_string( i ), ( i * 509 ) % CODE_BYTES } );
	}
	builder.symbols.push_back( { "memcpy", 0, 0 } );
	const u32 stride = ( CODE_BYTES - 8 ) / RELOCATIONS;
	for ( u32 i = 0; i < RELOCATIONS; i++ ) {
		builder.relocations.push_back( { static_cast<u64>( i ) * stride, 1, 1 + i % ( SYMBOLS + 1 ), i } );
	}
	return builder.Build();
}

void BM_LinkLargeHostModule( benchmark::State& state ) {
	const std::vector<u8> image = LargeModule();
	std::vector<u8> block( CODE_BYTES );
	for ( auto _ : state ) {
		EFElfImage sections;
		EFLinkResult result;
		s32 status = EFLogicLinker::Inspect( image.data(), image.size(), "BIG", true, sections );
		if ( status == EF_LINK_OK ) {
			status = EFLogicLinker::Link( sections, "BIG", block.data(), 0x7F0000000000ull, 0x1234, result );
		}
		benchmark::DoNotOptimize( status );
		benchmark::DoNotOptimize( block.data() );
	}
	state.SetBytesProcessed( static_cast<s64>( state.iterations() ) * CODE_BYTES );
	state.counters["relocations"] = RELOCATIONS;
}

} // namespace

BENCHMARK( BM_LinkLargeHostModule );
