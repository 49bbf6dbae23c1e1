/*
	Logic module images, ELF32 big-endian PowerPC and ELF64 little-endian
	x86-64, through the linker's inspection and link into a scratch block.
	Nothing linked is ever run: native code is trusted as it is on the
	console, and only the image's structure (headers, section table,
	symbols, relocations, string tables) is the fuzzer's to change. Its
	mutation puts the code section's bytes back after every change.

	The first byte of an input picks the module's object name, which the
	entry points are named after, and whether undefined names other than
	memcpy refuse the module; the rest is the image.
*/
#include "FuzzTarget.h"

#include "framework/logic/EFElfFormat.h"
#include "framework/logic/EFLogicLinker.h"
#include "tools/lib/logic/ToolElfBuilder.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const char* const objectNames[] = { "MOD", "COPIES", "SWITCHES", "ENEMY", "MEMCPYREFS", "TYPE5", "TWOTEXT", "TENUNDEF" };
constexpr u32 OBJECT_NAME_COUNT = sizeof( objectNames ) / sizeof( objectNames[0] );
constexpr u32 PPC_BASE = 0x80100000;
constexpr u32 PPC_MEMCPY = 0x80003000;
constexpr u8 ELF_CLASS_32 = 1;
constexpr u32 ELF_CLASS_AT = 4;

const char* ObjectName( const u8 choice ) {
	return objectNames[( choice >> 1 ) % OBJECT_NAME_COUNT];
}

// Entry points found by a link lie inside the code.
void CheckEntries( const EFLinkResult& result, const u64 base, const u64 textBytes ) {
	for ( const u64 entry : { result.constructor, result.destructor, result.registerLib } ) {
		FuzzCheck( entry == 0 || ( entry >= base && entry < base + textBytes ), "an entry point outside the code" );
	}
	FuzzCheck( result.nullSymbolsCount <= EF_LINK_MAX_NULL_SYMBOLS, "more undefined names than there is room for" );
	for ( u32 i = 0; i < result.nullSymbolsCount; i++ ) {
		FuzzCheck( std::memchr( result.nullSymbols[i], '\0', EF_LINK_NULL_SYMBOL_CHARS ) != nullptr,
				   "an undefined name without its terminator" );
	}
}

void LinkModule( const u8* data, const size_t size ) {
	if ( size == 0 ) {
		return;
	}
	const char* const name = ObjectName( data[0] );
	const bool refuseUnresolved = ( data[0] & 1 ) != 0;
	// The image in a block of its own size, so that any read past it is seen.
	const size_t imageBytes = size - 1;
	u8* const image = static_cast<u8*>( std::malloc( imageBytes != 0 ? imageBytes : 1 ) );
	std::memcpy( image, data + 1, imageBytes );
	EFElfImage sections = {};
	const s32 inspected = EFLogicLinker::Inspect( image, imageBytes, name, refuseUnresolved, sections );
	if ( inspected == EF_LINK_OK ) {
		FuzzCheck( sections.text >= image && sections.text + sections.textBytes <= image + imageBytes,
				   "the code section lies outside the image" );
		u8* const block = static_cast<u8*>( std::malloc( sections.textBytes != 0 ? sections.textBytes : 1 ) );
		EFLinkResult result = {};
		const bool narrow = imageBytes > ELF_CLASS_AT && image[ELF_CLASS_AT] == ELF_CLASS_32;
		const u64 base = narrow ? PPC_BASE : reinterpret_cast<u64>( block );
		const u64 memcpyAddress = narrow ? PPC_MEMCPY : reinterpret_cast<u64>( &std::memcpy );
		EFLogicLinker::Link( sections, name, block, base, memcpyAddress, result );
		CheckEntries( result, base, sections.textBytes );
		std::free( block );
	}
	// The console's own path for PowerPC images, into a block of a fixed size.
	std::vector<u8> console( 0x10000 );
	EFLinkResult consoleResult = {};
	if ( EFLogicLinker::LinkPowerPC( image, imageBytes, name, console.data(), console.size(), PPC_BASE, PPC_MEMCPY,
									 consoleResult ) == EF_LINK_OK ) {
		CheckEntries( consoleResult, PPC_BASE, console.size() );
	}
	std::free( image );
}

std::vector<u8> WithChoice( const u8 choice, const std::vector<u8>& image ) {
	std::vector<u8> input( image.size() + 1 );
	input[0] = choice;
	std::copy( image.begin(), image.end(), input.begin() + 1 );
	return input;
}

u8 ChoiceOf( const char* name, const bool refuseUnresolved ) {
	for ( u32 i = 0; i < OBJECT_NAME_COUNT; i++ ) {
		if ( std::strcmp( objectNames[i], name ) == 0 ) {
			return static_cast<u8>( i << 1 | ( refuseUnresolved ? 1 : 0 ) );
		}
	}
	return 0;
}

} // namespace

FUZZ_TARGET( logic_module ) {
	LinkModule( data, size );
}

FUZZ_MUTATOR( logic_module )

// Mutates the whole input, then puts the code back where it was, so that
// the fuzzer's effort goes to the structure around it.
static size_t FuzzMutator_logic_module( u8* data, const size_t size, const size_t max, FuzzMutate mutate ) {
	EFElfImage sections = {};
	std::vector<u8> code;
	size_t codeAt = 0;
	if ( size > 1 && EFLogicLinker::Inspect( data + 1, size - 1, ObjectName( data[0] ), false, sections ) == EF_LINK_OK ) {
		codeAt = static_cast<size_t>( sections.text - data );
		code.assign( sections.text, sections.text + sections.textBytes );
	}
	const size_t mutated = mutate( data, size, max );
	if ( !code.empty() && codeAt + code.size() <= mutated ) {
		std::memcpy( data + codeAt, code.data(), code.size() );
	}
	return mutated;
}

static void FuzzSeeds_logic_module( std::vector<FuzzSeed>& seeds ) {
	for ( const ToolElfMachine machine : { ToolElfMachine::PowerPC, ToolElfMachine::X86_64 } ) {
		ToolElfBuilder builder( machine );
		builder.text.assign( 64, 0 );
		builder.symbols = { { "MODConstructor", 0 }, { "MODDestructor", 16 }, { "MODRegister", 32 },
							{ "memcpy", 0, 0 }, { "data", 40 }, { "other", 0, 0 } };
		builder.relocations = { { 48, 1, 5, 4 }, { 56, 1, 4, 0 } };
		const std::string machineName = machine == ToolElfMachine::PowerPC ? "ppc" : "x86-64";
		seeds.push_back( { "small-" + machineName, WithChoice( ChoiceOf( "MOD", false ), builder.Build() ) } );
		seeds.push_back( { "small-strict-" + machineName, WithChoice( ChoiceOf( "MOD", true ), builder.Build() ) } );
	}
	// The PowerPC fixtures compiled and assembled by the cross toolchain.
	for ( u32 i = 1; i < OBJECT_NAME_COUNT; i++ ) {
		const std::filesystem::path path = std::filesystem::path( ENGINE_TEST_DATA_DIR ) / "logic" / ( std::string( objectNames[i] ) + ".o" );
		std::ifstream in( path, std::ios::binary );
		if ( !in ) {
			continue;
		}
		const std::vector<u8> image( ( std::istreambuf_iterator<char>( in ) ), std::istreambuf_iterator<char>() );
		seeds.push_back( { std::string( objectNames[i] ) + ".o", WithChoice( ChoiceOf( objectNames[i], false ), image ) } );
	}
}
