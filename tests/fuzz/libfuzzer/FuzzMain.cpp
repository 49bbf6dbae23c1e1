/*
	libFuzzer's side of a fuzz program: the program is built for the
	target that ENGINE_FUZZ_TARGET_NAME names, from the file that defines
	it (a file may define several). When ENGINE_FUZZ_SEEDS names a folder, the target's seeds are
	written there before the fuzzer reads its corpus folders, so that the
	run script can hand that folder over as one of them.
*/
#include "FuzzTarget.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

FuzzTargetInfo* target = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize( int*, char*** ) {
	target = FuzzFindTarget( ENGINE_FUZZ_TARGET_NAME );
	FuzzCheck( target != nullptr, "the program's target is not linked" );
	const char* const folder = std::getenv( "ENGINE_FUZZ_SEEDS" );
	if ( folder == nullptr || folder[0] == '\0' ) {
		return 0;
	}
	std::vector<FuzzSeed> seeds;
	target->seeds( seeds );
	std::error_code error;
	std::filesystem::create_directories( folder, error );
	for ( const FuzzSeed& seed : seeds ) {
		std::ofstream out( std::filesystem::path( folder ) / seed.name, std::ios::binary | std::ios::trunc );
		out.write( reinterpret_cast<const char*>( seed.bytes.data() ), static_cast<std::streamsize>( seed.bytes.size() ) );
		FuzzCheck( out.good(), "cannot write a seed" );
	}
	return 0;
}

extern "C" size_t LLVMFuzzerMutate( uint8_t* data, size_t size, size_t max );

namespace {

size_t FuzzerMutate( u8* data, const size_t size, const size_t max ) {
	return LLVMFuzzerMutate( data, size, max );
}

} // namespace

extern "C" size_t LLVMFuzzerCustomMutator( uint8_t* data, size_t size, size_t max, unsigned int ) {
	if ( target->mutator == nullptr ) {
		return LLVMFuzzerMutate( data, size, max );
	}
	return target->mutator( data, size, max, FuzzerMutate );
}

extern "C" int LLVMFuzzerTestOneInput( const uint8_t* data, size_t size ) {
	target->entry( data, size );
	return 0;
}
