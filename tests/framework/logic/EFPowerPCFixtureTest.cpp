/*
	PowerPC modules made by the cross toolchain. The compiled ones must
	link to exactly the bytes the cross linker gives at the same base; the
	assembled ones pin what compilers never emit. Both the committed
	fixtures and, when the toolchain is present, fresh ones are checked.
*/
#include "LogicTestSupport.h"

#include "datatypes/base/DTByteOrder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr u32 MEMCPY = 0x80003000;
const u32 BASES[] = { 0x80100000, 0x80108000 };

std::vector<std::string> FixtureFolders() {
	std::vector<std::string> folders = { ENGINE_PPC_FIXTURES_COMMITTED };
	if ( std::string( ENGINE_PPC_FIXTURES_BUILT ).size() > 0 ) {
		folders.push_back( ENGINE_PPC_FIXTURES_BUILT );
	}
	return folders;
}

struct Linked {
	s32				status;
	std::vector<u8>	code;
	EFLinkResult	result;
	std::string		printed;
};

Linked LinkFixture( const std::string& folder, const std::string& name, const u32 base ) {
	Linked linked{};
	const std::vector<u8> image = ReadFileBytes( folder + "/" + name + ".o" );
	linked.code.assign( 0x10000, 0 );
	testing::internal::CaptureStdout();
	linked.status = EFLogicLinker::LinkPowerPC( image.data(), image.size(), name.c_str(), linked.code.data(),
												linked.code.size(), base, MEMCPY, linked.result );
	linked.printed = testing::internal::GetCapturedStdout();
	EFElfImage sections;
	if ( EFLogicLinker::Inspect( image.data(), image.size(), name.c_str(), false, sections ) == EF_LINK_OK ) {
		linked.code.resize( sections.textBytes );
	}
	return linked;
}

// "value type name" lines of the committed symbol list.
u64 SymbolValue( const std::string& folder, const std::string& module, const std::string& symbol ) {
	std::ifstream list( folder + "/" + module + ".nm" );
	std::string value, type, name;
	while ( list >> value >> type >> name ) {
		if ( name == symbol ) {
			return std::stoull( value, nullptr, 16 );
		}
	}
	ADD_FAILURE() << symbol << " not listed";
	return 0;
}

std::vector<std::string> UndefinedNames( const std::string& folder, const std::string& module ) {
	std::ifstream list( folder + "/" + module + ".undefined" );
	std::vector<std::string> names;
	std::string name;
	while ( list >> name ) {
		names.push_back( name );
	}
	return names;
}

std::string Hex( const u32 value ) {
	char text[16];
	std::snprintf( text, sizeof( text ), "0x%08x", value );
	return text;
}

} // namespace

TEST( EFPowerPCFixtures, CompiledModulesLinkToTheCrossLinkersBytesAtBothBases ) {
	struct Row {
		const char*	module;
		const char*	constructor;
		const char*	destructor;
		const char*	registerLib;
	};
	const Row rows[] = {
		{ "SWITCHES", "SWITCHESConstructor", "SWITCHESDestructor", nullptr },
		{ "COPIES", "COPIESConstructor", nullptr, "COPIESRegister" },
	};
	for ( const std::string& folder : FixtureFolders() ) {
		for ( const Row& row : rows ) {
			for ( const u32 base : BASES ) {
				SCOPED_TRACE( folder + " " + row.module + " at " + Hex( base ) );
				const Linked linked = LinkFixture( folder, row.module, base );
				ASSERT_EQ( linked.status, EF_LINK_OK );
				EXPECT_EQ( linked.code, ReadFileBytes( folder + "/" + row.module + "." + Hex( base ) + ".bin" ) );
				auto entry = [&]( const char* symbol ) -> u64 {
					return symbol != nullptr ? base + SymbolValue( folder, row.module, symbol ) : 0;
				};
				EXPECT_EQ( linked.result.constructor, entry( row.constructor ) );
				EXPECT_EQ( linked.result.destructor, entry( row.destructor ) );
				EXPECT_EQ( linked.result.registerLib, entry( row.registerLib ) );
				const std::vector<std::string> undefined = UndefinedNames( folder, row.module );
				ASSERT_EQ( linked.result.nullSymbolsCount, undefined.size() );
				for ( size_t i = 0; i < undefined.size(); i++ ) {
					// Symbol-table order is not nm's sorted order; each name is there once.
					bool found = false;
					for ( u32 j = 0; j < linked.result.nullSymbolsCount; j++ ) {
						found = found || undefined[i] == linked.result.nullSymbols[j];
					}
					EXPECT_TRUE( found ) << undefined[i];
				}
			}
		}
	}
}

TEST( EFPowerPCFixtures, AssembledModulesPinWhatCompilersNeverEmit ) {
	for ( const std::string& folder : FixtureFolders() ) {
		SCOPED_TRACE( folder );
		// memcpy by branch, by halves, by address and by difference.
		const Linked refs = LinkFixture( folder, "MEMCPYREFS", 0x80100000 );
		EXPECT_EQ( refs.status, EF_LINK_MARKER_STORED );
		ASSERT_GE( refs.code.size(), 24u );
		EXPECT_EQ( DTReadBE32( refs.code.data() ), 0x48000001u | ( ( MEMCPY - 0x80100000u ) & 0x03FFFFFCu ) );
		EXPECT_EQ( DTReadBE16( refs.code.data() + 6 ), 0xDEAEu );
		EXPECT_EQ( DTReadBE16( refs.code.data() + 10 ), 0xFEEDu );
		EXPECT_EQ( DTReadBE32( refs.code.data() + 16 ), 0xDEADFEEDu );
		EXPECT_EQ( DTReadBE32( refs.code.data() + 20 ), 0xDEADFEEDu );
		EXPECT_EQ( refs.printed, "FATAL ERROR: unimplemented relocation of memcpy (R_PPC_ADDR16_HA)\n"
								 "FATAL ERROR: unimplemented relocation of memcpy (R_PPC_ADDR16_LO)\n"
								 "FATAL ERROR: unimplemented relocation of memcpy (R_PPC_ADDR32)\n" );

		const Linked type5 = LinkFixture( folder, "TYPE5", 0x80100000 );
		EXPECT_EQ( type5.status, EF_LINK_OK );
		EXPECT_EQ( DTReadBE32( type5.code.data() ), 0xA1B2C3D4u );

		const Linked two = LinkFixture( folder, "TWOTEXT", 0x80100000 );
		EXPECT_EQ( two.status, EF_LINK_OK );
		ASSERT_EQ( two.code.size(), 8u );
		EXPECT_EQ( DTReadBE32( two.code.data() ), 0x11111111u );

		const Linked ten = LinkFixture( folder, "TENUNDEF", 0x80100000 );
		EXPECT_EQ( ten.status, EF_LINK_OK );
		ASSERT_EQ( ten.result.nullSymbolsCount, 8u );
		const char* const expected[] = { "first", "second", "third", "fourth", "fifth", "sixth", "seventh", "eighth" };
		for ( u32 i = 0; i < 8; i++ ) {
			EXPECT_STREQ( ten.result.nullSymbols[i], expected[i] );
		}
		// Each undefined call branches to the block's start.
		EXPECT_EQ( DTReadBE32( ten.code.data() + 4 ), 0x4BFFFFFDu );

		// ENEMY at 0x12340000: its + 0x8000 half is 0x12348000, stored high-adjusted.
		const Linked enemy = LinkFixture( folder, "ENEMY", 0x12340000 );
		EXPECT_EQ( enemy.status, EF_LINK_OK );
		EXPECT_EQ( enemy.result.constructor, 0x12340000u );
		EXPECT_EQ( enemy.result.destructor, 0u );
		EXPECT_EQ( enemy.result.registerLib, 0x1234000Cu );
		EXPECT_EQ( DTReadBE16( enemy.code.data() + 2 ), 0x1235u );
		EXPECT_EQ( DTReadBE16( enemy.code.data() + 6 ), 0x8000u );
	}
}
