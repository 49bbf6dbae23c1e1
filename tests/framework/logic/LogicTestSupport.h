/*
===============================================================================

	Shared helpers of the logic tests: a small module image built for
	either format, reading files the build made, and capturing the debug
	text the linker prints.

===============================================================================
*/
#ifndef LOGIC_TEST_SUPPORT_H
#define LOGIC_TEST_SUPPORT_H

#include "framework/logic/EFLogicLinker.h"
#include "tools/lib/logic/ToolElfBuilder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Symbol indices of SmallModule (index 0 is the null symbol).
constexpr u32 SMALL_CONSTRUCTOR	= 1;
constexpr u32 SMALL_MEMCPY		= 4;
constexpr u32 SMALL_DATA		= 5;
// Offset of the one absolute relocation in SmallModule's code.
constexpr u64 SMALL_ABSOLUTE_AT	= 48;

// Module MOD: 64 bytes of code, the three entries at 0, 16 and 32, memcpy
// undefined, "data" at 40, one absolute relocation of data + 4 at 48.
inline ToolElfBuilder SmallModule( const ToolElfMachine machine ) {
	ToolElfBuilder builder( machine );
	builder.text.assign( 64, 0 );
	builder.symbols = { { "MODConstructor", 0 }, { "MODDestructor", 16 }, { "MODRegister", 32 },
						{ "memcpy", 0, 0 }, { "data", 40 } };
	builder.relocations = { { SMALL_ABSOLUTE_AT, 1, SMALL_DATA, 4 } };
	return builder;
}

inline s32 InspectImage( const std::vector<u8>& image, const char* name, EFElfImage& sections,
						 const bool refuseUnresolved = true ) {
	return EFLogicLinker::Inspect( image.data(), image.size(), name, refuseUnresolved, sections );
}

inline std::vector<u8> ReadFileBytes( const std::string& path ) {
	std::ifstream input( path, std::ios::binary );
	return std::vector<u8>( std::istreambuf_iterator<char>( input ), std::istreambuf_iterator<char>() );
}

inline std::string HostModulePath( const std::string& name ) {
	return std::string( ENGINE_LOGIC_MODULE_DIR ) + "/" + name + ".o";
}

#endif
