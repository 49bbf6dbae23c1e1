#include "LogicTestSupport.h"

#include "datatypes/base/DTByteOrder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

const ToolElfMachine MACHINES[] = { ToolElfMachine::PowerPC, ToolElfMachine::X86_64 };

std::string MachineName( const ToolElfMachine machine ) {
	return machine == ToolElfMachine::PowerPC ? "PowerPC" : "x86-64";
}

u64 AllOnes( const ToolElfLayout& layout ) {
	return layout.wide ? ~0ull : 0xFFFFFFFFull;
}

struct LinkOutcome {
	s32				status;
	std::vector<u8>	code;
	EFLinkResult	result;
};

LinkOutcome LinkAt( const std::vector<u8>& image, const char* name, const u64 base, const u64 memcpyAddress,
					const bool refuseUnresolved = true ) {
	LinkOutcome outcome{};
	EFElfImage sections;
	outcome.status = InspectImage( image, name, sections, refuseUnresolved );
	if ( outcome.status != EF_LINK_OK ) {
		return outcome;
	}
	outcome.code.assign( sections.textBytes, 0xCC );
	outcome.status = EFLogicLinker::Link( sections, name, outcome.code.data(), base, memcpyAddress, outcome.result );
	return outcome;
}

} // namespace

TEST( EFLogicLinker, LinksEntriesUndefinedNamesAndAbsoluteAddressesInBothFormats ) {
	for ( const ToolElfMachine machine : MACHINES ) {
		SCOPED_TRACE( MachineName( machine ) );
		ToolElfLayout layout;
		const std::vector<u8> image = SmallModule( machine ).Build( layout );
		const u64 base = machine == ToolElfMachine::PowerPC ? 0x80100000ull : 0x7F0012340000ull;
		const LinkOutcome linked = LinkAt( image, "MOD", base, 0x5000 );
		ASSERT_EQ( linked.status, EF_LINK_OK );
		EXPECT_EQ( linked.result.constructor, base );
		EXPECT_EQ( linked.result.destructor, base + 16 );
		EXPECT_EQ( linked.result.registerLib, base + 32 );
		ASSERT_EQ( linked.result.nullSymbolsCount, 1u );
		EXPECT_STREQ( linked.result.nullSymbols[0], "memcpy" );
		const u8* field = linked.code.data() + SMALL_ABSOLUTE_AT;
		if ( layout.wide ) {
			EXPECT_EQ( DTReadLE64( field ), base + 44 );
		} else {
			EXPECT_EQ( DTReadBE32( field ), static_cast<u32>( base + 44 ) );
		}
		// Bytes no relocation names are copied as they are.
		EXPECT_EQ( linked.code[0], 0 );
	}
}

TEST( EFLogicLinker, AppliesEveryPowerPCRelocationTypeAndMarksMemcpyReferences ) {
	constexpr u32 BASE = 0x80100000;
	constexpr u32 MEMCPY = 0x80003000;
	struct Row {
		const char*	name;
		u32			type;
		bool		againstMemcpy;
		s64			addend;
		u32			initial;	// the word at the place before linking
		u32			expected;	// the word after
		s32			status;
		const char*	message;
	};
	// The place is 8 and "target" sits at 0x20.
	const Row rows[] = {
		{ "Addr32", 1, false, 4, 0, 0x80100024, EF_LINK_OK, nullptr },
		{ "Addr16Lo", 4, false, 4, 0x1111FFFF, 0x0024FFFF, EF_LINK_OK, nullptr },
		{ "Addr16Ha", 6, false, 0x7FE0, 0, 0x80110000, EF_LINK_OK, nullptr },
		{ "Rel24", 10, false, 0, 0x48000001, 0x48000019, EF_LINK_OK, nullptr },
		{ "Rel32", 26, false, 4, 0, 0x0000001C, EF_LINK_OK, nullptr },
		{ "SkippedType5", 5, false, 0, 0xA1B2C3D4, 0xA1B2C3D4, EF_LINK_OK, nullptr },
		{ "SkippedType0", 0, false, 0, 0xA1B2C3D4, 0xA1B2C3D4, EF_LINK_OK, nullptr },
		{ "Addr32Memcpy", 1, true, 0, 0, 0xDEADFEED, EF_LINK_MARKER_STORED,
		  "FATAL ERROR: unimplemented relocation of memcpy (R_PPC_ADDR32)\n" },
		{ "Addr16LoMemcpy", 4, true, 0, 0x00001111, 0xFEED1111, EF_LINK_MARKER_STORED,
		  "FATAL ERROR: unimplemented relocation of memcpy (R_PPC_ADDR16_LO)\n" },
		{ "Addr16HaMemcpy", 6, true, 0, 0x00001111, 0xDEAE1111, EF_LINK_MARKER_STORED,
		  "FATAL ERROR: unimplemented relocation of memcpy (R_PPC_ADDR16_HA)\n" },
		{ "Rel24MemcpyIgnoresTheAddend", 10, true, 64, 0x48000001,
		  0x48000001 | ( ( MEMCPY - ( BASE + 8 ) ) & 0x03FFFFFC ), EF_LINK_OK, "" },
		{ "Rel32Memcpy", 26, true, 0, 0, 0xDEADFEED, EF_LINK_MARKER_STORED, "" },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		ToolElfBuilder builder( ToolElfMachine::PowerPC );
		builder.text.assign( 0x40, 0 );
		DTWriteBE32( builder.text.data() + 8, row.initial );
		builder.symbols = { { "target", 0x20 }, { "memcpy", 0, 0 } };
		builder.relocations = { { 8, row.type, row.againstMemcpy ? 2u : 1u, row.addend } };
		testing::internal::CaptureStdout();
		const LinkOutcome linked = LinkAt( builder.Build(), "MOD", BASE, MEMCPY );
		const std::string printed = testing::internal::GetCapturedStdout();
		EXPECT_EQ( linked.status, row.status );
		ASSERT_EQ( linked.code.size(), 0x40u );
		EXPECT_EQ( DTReadBE32( linked.code.data() + 8 ), row.expected );
		if ( row.message != nullptr ) {
			EXPECT_EQ( printed, row.message );
		}
	}
}

TEST( EFLogicLinker, BindsHostMemcpyAsAnAbsoluteAddressAndRefusesOtherHostTypesByNumber ) {
	ToolElfBuilder builder = SmallModule( ToolElfMachine::X86_64 );
	builder.relocations.push_back( { 8, 1, SMALL_MEMCPY, 16 } );
	const LinkOutcome linked = LinkAt( builder.Build(), "MOD", 0x10000, 0xABCDEF00 );
	ASSERT_EQ( linked.status, EF_LINK_OK );
	EXPECT_EQ( DTReadLE64( linked.code.data() + 8 ), 0xABCDEF10u );

	for ( const u32 type : { 0u, 2u, 4u, 10u, 11u } ) {
		ToolElfBuilder refused = SmallModule( ToolElfMachine::X86_64 );
		refused.relocations.push_back( { 8, type, SMALL_DATA, 0 } );
		testing::internal::CaptureStdout();
		EFElfImage sections;
		EXPECT_NE( InspectImage( refused.Build(), "MOD", sections ), EF_LINK_OK ) << type;
		EXPECT_NE( testing::internal::GetCapturedStdout().find( "relocation type " + std::to_string( type ) ),
				   std::string::npos );
	}
}

TEST( EFLogicLinker, RefusesReferencesToUndefinedNamesOtherThanMemcpyNamingThem ) {
	for ( const ToolElfMachine machine : MACHINES ) {
		SCOPED_TRACE( MachineName( machine ) );
		ToolElfBuilder builder = SmallModule( machine );
		builder.symbols.push_back( { "helper", 0, 0 } );
		builder.relocations.push_back( { 8, 1, 6, 12 } );
		const std::vector<u8> image = builder.Build();
		testing::internal::CaptureStdout();
		EFElfImage sections;
		EXPECT_EQ( InspectImage( image, "MOD", sections ), EF_LINK_UNRESOLVED );
		const std::string printed = testing::internal::GetCapturedStdout();
		EXPECT_NE( printed.find( "helper" ), std::string::npos );
		EXPECT_NE( printed.find( "memcpy" ), std::string::npos );

		// Without the refusal the name resolves to the block's start.
		const LinkOutcome linked = LinkAt( image, "MOD", 0x80100000, 0x3000, false );
		ASSERT_EQ( linked.status, EF_LINK_OK );
		if ( machine == ToolElfMachine::PowerPC ) {
			EXPECT_EQ( DTReadBE32( linked.code.data() + 8 ), 0x8010000Cu );
		} else {
			EXPECT_EQ( DTReadLE64( linked.code.data() + 8 ), 0x8010000Cu );
		}
		EXPECT_EQ( linked.result.nullSymbolsCount, 2u );
	}
}

TEST( EFLogicLinker, KeepsTheLastOfRepeatedEntryNamesAndFindsEntriesOfLongObjectNames ) {
	const std::string longName( 2048, 'N' );
	for ( const ToolElfMachine machine : MACHINES ) {
		SCOPED_TRACE( MachineName( machine ) );
		ToolElfBuilder builder( machine );
		builder.text.assign( 32, 0 );
		builder.symbols = { { "MODConstructor", 4 }, { "MODConstructor", 12 }, { longName + "Register", 20 },
							{ "MODConstructorX", 24 } };
		const std::vector<u8> image = builder.Build();
		const LinkOutcome first = LinkAt( image, "MOD", 0x1000, 0 );
		ASSERT_EQ( first.status, EF_LINK_OK );
		EXPECT_EQ( first.result.constructor, 0x100Cu );
		EXPECT_EQ( first.result.destructor, 0u );
		EXPECT_EQ( first.result.registerLib, 0u );
		const LinkOutcome second = LinkAt( image, longName.c_str(), 0x1000, 0 );
		ASSERT_EQ( second.status, EF_LINK_OK );
		EXPECT_EQ( second.result.registerLib, 0x1014u );
		EXPECT_EQ( second.result.constructor, 0u );
	}
}

TEST( EFLogicLinker, RecordsAtMostEightUndefinedNamesOfAtMostSixtyThreeCharacters ) {
	const std::string seventy( 70, 'u' );
	for ( const ToolElfMachine machine : MACHINES ) {
		SCOPED_TRACE( MachineName( machine ) );
		ToolElfBuilder builder( machine );
		builder.text.assign( 8, 0 );
		builder.symbols.push_back( { seventy, 0, 0 } );
		for ( int i = 0; i < 9; i++ ) {
			builder.symbols.push_back( { "name" + std::to_string( i ), 0, 0 } );
		}
		const LinkOutcome linked = LinkAt( builder.Build(), "MOD", 0, 0 );
		ASSERT_EQ( linked.status, EF_LINK_OK );
		ASSERT_EQ( linked.result.nullSymbolsCount, 8u );
		EXPECT_EQ( std::string( linked.result.nullSymbols[0] ), seventy.substr( 0, 63 ) );
		EXPECT_STREQ( linked.result.nullSymbols[7], "name6" );
	}
}

TEST( EFLogicLinker, LinksAnImageWithoutRelocationsOrSymbols ) {
	for ( const ToolElfMachine machine : MACHINES ) {
		ToolElfBuilder builder( machine );
		builder.text = { 1, 2, 3, 4 };
		builder.withRelocationSection = false;
		builder.withSymbolSection = false;
		builder.withStringSection = false;
		const LinkOutcome linked = LinkAt( builder.Build(), "MOD", 0x100, 0 );
		ASSERT_EQ( linked.status, EF_LINK_OK ) << MachineName( machine );
		EXPECT_EQ( linked.code, builder.text );
		EXPECT_EQ( linked.result.constructor, 0u );
		EXPECT_EQ( linked.result.nullSymbolsCount, 0u );
	}
}

TEST( EFLogicLinker, RefusesEveryUnsoundImageBeforeWritingAnything ) {
	typedef std::function<void( ToolElfBuilder& )> Shape;
	typedef std::function<void( std::vector<u8>&, const ToolElfLayout& )> Damage;
	struct Row {
		const char*	name;
		Shape		shape;
		Damage		damage;
	};
	const Shape asBuilt = []( ToolElfBuilder& ) {};
	const Damage intact = []( std::vector<u8>&, const ToolElfLayout& ) {};
	auto sectionField = []( const u32 ToolElfLayout::*section, const u32 ToolElfLayout::*field, const bool address,
							std::function<u64( const std::vector<u8>&, const ToolElfLayout& )> value ) -> Damage {
		return [=]( std::vector<u8>& image, const ToolElfLayout& layout ) {
			const u64 v = value( image, layout );
			ToolElfBuilder::Put( image, layout, layout.SectionHeader( layout.*section ) + layout.*field, v,
								 address ? layout.AddressBytes() : 4 );
		};
	};
	auto pastEnd = []( const std::vector<u8>& image, const ToolElfLayout& ) { return static_cast<u64>( image.size() ); };
	auto wraps = []( const std::vector<u8>&, const ToolElfLayout& layout ) { return AllOnes( layout ) - 7; };
	const Row rows[] = {
		{ "ShortHeader", asBuilt, []( std::vector<u8>& image, const ToolElfLayout& layout ) { image.resize( layout.headerBytes - 1 ); } },
		{ "NotElf", asBuilt, []( std::vector<u8>& image, const ToolElfLayout& ) { image[1] = 'X'; } },
		{ "OtherMachine", asBuilt, []( std::vector<u8>& image, const ToolElfLayout& layout ) {
			ToolElfBuilder::Put( image, layout, layout.machineAt, 3, 2 ); } },
		{ "OtherByteOrder", asBuilt, []( std::vector<u8>& image, const ToolElfLayout& ) { image[5] ^= 3; } },
		{ "SectionTablePastTheEnd", asBuilt, []( std::vector<u8>& image, const ToolElfLayout& layout ) {
			ToolElfBuilder::Put( image, layout, layout.shoffAt, image.size() - 8, layout.AddressBytes() ); } },
		{ "SectionTableOffsetWraps", asBuilt, []( std::vector<u8>& image, const ToolElfLayout& layout ) {
			ToolElfBuilder::Put( image, layout, layout.shoffAt, AllOnes( layout ) - 7, layout.AddressBytes() ); } },
		{ "NameTableIndexOutOfRange", asBuilt, []( std::vector<u8>& image, const ToolElfLayout& layout ) {
			ToolElfBuilder::Put( image, layout, layout.shstrndxAt, layout.sectionCount, 2 ); } },
		{ "NameTablePastTheEnd", asBuilt, sectionField( &ToolElfLayout::shstrtab, &ToolElfLayout::shOffsetAt, true, pastEnd ) },
		{ "CodePastTheEnd", asBuilt, sectionField( &ToolElfLayout::text, &ToolElfLayout::shOffsetAt, true, pastEnd ) },
		{ "CodeSizeWraps", asBuilt, sectionField( &ToolElfLayout::text, &ToolElfLayout::shSizeAt, true, wraps ) },
		{ "SymbolsPastTheEnd", asBuilt, sectionField( &ToolElfLayout::symtab, &ToolElfLayout::shSizeAt, true, pastEnd ) },
		{ "StringsPastTheEnd", asBuilt, sectionField( &ToolElfLayout::strtab, &ToolElfLayout::shOffsetAt, true, pastEnd ) },
		{ "RelocationsPastTheEnd", asBuilt, sectionField( &ToolElfLayout::rela, &ToolElfLayout::shOffsetAt, true, wraps ) },
		{ "SectionNameOutsideItsTable", asBuilt, sectionField( &ToolElfLayout::text, &ToolElfLayout::shNameAt, false,
			[]( const std::vector<u8>&, const ToolElfLayout& ) { return u64( 0xFFFFFF ); } ) },
		{ "SectionNameUnterminated", asBuilt, []( std::vector<u8>& image, const ToolElfLayout& layout ) {
			const u64 size = ToolElfBuilder::Get( image, layout, layout.SectionHeader( layout.shstrtab ) + layout.shSizeAt, layout.AddressBytes() );
			image[layout.dataAt[layout.shstrtab] + size - 1] = 'x'; } },
		{ "NoCodeSection", asBuilt, []( std::vector<u8>& image, const ToolElfLayout& layout ) {
			const u64 name = ToolElfBuilder::Get( image, layout, layout.SectionHeader( layout.text ) + layout.shNameAt, 4 );
			image[layout.dataAt[layout.shstrtab] + name + 1] = 'T'; } },
		{ "RelocationsWithoutSymbols", []( ToolElfBuilder& b ) { b.withSymbolSection = false; }, intact },
		{ "RelocationsWithoutStrings", []( ToolElfBuilder& b ) { b.withStringSection = false; }, intact },
		{ "SymbolEntrySize", asBuilt, sectionField( &ToolElfLayout::symtab, &ToolElfLayout::shEntsizeAt, true,
			[]( const std::vector<u8>&, const ToolElfLayout& layout ) { return u64( layout.symBytes + 4 ); } ) },
		{ "RelocationEntrySize", asBuilt, sectionField( &ToolElfLayout::rela, &ToolElfLayout::shEntsizeAt, true,
			[]( const std::vector<u8>&, const ToolElfLayout& ) { return u64( 0 ); } ) },
		{ "SymbolIndexPastTheTable", []( ToolElfBuilder& b ) { b.relocations[0].symbol = 99; }, intact },
		{ "RelocationFieldPastTheCode", []( ToolElfBuilder& b ) { b.relocations[0].offset = 62; }, intact },
		{ "RelocationPlaceWraps", []( ToolElfBuilder& b ) { b.relocations[0].offset = ~0ull; }, intact },
		{ "EntryPastTheCode", []( ToolElfBuilder& b ) { b.symbols[0].value = 64; }, intact },
		{ "EntryUndefined", []( ToolElfBuilder& b ) { b.symbols[1].section = 0; }, intact },
		{ "SymbolNameOutsideItsTable", asBuilt, []( std::vector<u8>& image, const ToolElfLayout& layout ) {
			ToolElfBuilder::Put( image, layout, layout.dataAt[layout.symtab] + layout.symBytes * SMALL_DATA, 0xFFFFFF, 4 ); } },
	};
	for ( const ToolElfMachine machine : MACHINES ) {
		for ( const Row& row : rows ) {
			SCOPED_TRACE( MachineName( machine ) + " " + row.name );
			ToolElfBuilder builder = SmallModule( machine );
			row.shape( builder );
			ToolElfLayout layout;
			std::vector<u8> image = builder.Build( layout );
			row.damage( image, layout );
			// A tight copy, so that a read past the image's end is caught.
			std::vector<u8> exact( image );
			testing::internal::CaptureStdout();
			EFElfImage sections;
			const s32 status = EFLogicLinker::Inspect( exact.data(), exact.size(), "MOD", true, sections );
			const std::string printed = testing::internal::GetCapturedStdout();
			EXPECT_NE( status, EF_LINK_OK );
			EXPECT_NE( printed.find( "MOD" ), std::string::npos );
		}
	}
}
