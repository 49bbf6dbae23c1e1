#include "tools/lib/ToolDiscDamage.h"
#include "tools/lib/level/ToolResourceFileWriter.h"
#include "tools/lib/logic/ToolLogicRecordWriter.h"
#include "tools/lib/ToolFile.h"

#include "support/TestScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace {

ToolResourceRecord Record( const s32 classId, const size_t bytes, const u8 fill ) {
	ToolResourceRecord record;
	record.classId = classId;
	record.object.assign( bytes, fill );
	return record;
}

}	// namespace

TEST( ToolDiscDamageTest, DamageIsSeededAndNeverTouchesLogicModulesOrTheTableThatPlacesThem ) {
	ToolResourceFile file;
	file.records = { Record( 32, 100, 0x11 ), Record( TOOL_CLASS_LIBRARY_FILE, 300, 0x22 ), Record( 24, 50, 0x33 ),
					 Record( TOOL_CLASS_LOGIC_CODE, 500, 0x44 ), Record( 41, 80, 0x55 ) };
	const std::vector<u8> image = ToolResourceFileWriter::Encode( file );
	const size_t table = ToolResourceFileWriter::ObjectsOffset( file );
	const std::vector<std::pair<size_t, size_t>> code = { { table + 100, table + 400 }, { table + 450, table + 950 } };
	ASSERT_EQ( ToolDiscDamage::CodeRanges( image ), code );
	// An image whose table does not fit is all code.
	EXPECT_EQ( ToolDiscDamage::CodeRanges( std::vector<u8>( image.begin(), image.begin() + 20 ) ),
			   ( std::vector<std::pair<size_t, size_t>>{ { 0, 20 } } ) );

	u32 cuts = 0;
	u32 flips = 0;
	for ( u64 seed = 1; seed <= 500; seed++ ) {
		SCOPED_TRACE( seed );
		std::vector<u8> damaged = image;
		const ToolFileDamage damage = ToolDiscDamage::DamageFile( damaged, true, seed );
		ASSERT_EQ( damaged.size(), damage.keptBytes );
		EXPECT_NE( damaged, image ) << "every file is damaged";
		for ( const auto& range : code ) {
			EXPECT_FALSE( damaged.size() > range.first && damaged.size() < range.second ) << "no cut inside code";
			const size_t end = std::min( range.second, damaged.size() );
			for ( size_t at = range.first; at < end; at++ ) {
				ASSERT_EQ( damaged[at], image[at] ) << at;
			}
		}
		const size_t tableKept = std::min( table, damaged.size() );
		EXPECT_TRUE( std::equal( damaged.begin(), damaged.begin() + static_cast<std::ptrdiff_t>( tableKept ), image.begin() ) );
		std::vector<u8> again = image;
		ToolDiscDamage::DamageFile( again, true, seed );
		EXPECT_EQ( again, damaged );
		cuts += damage.keptBytes < image.size() ? 1 : 0;
		flips += damage.flipped.empty() ? 0 : 1;
	}
	// Both kinds of damage come up often.
	EXPECT_GT( cuts, 250u );
	EXPECT_GT( flips, 250u );
}

TEST( ToolDiscDamageTest, ACopyThatWouldClearTheSourceIsRefusedAndTheSourceKept ) {
	namespace fs = std::filesystem;
	TestScratchFolder scratch;
	ASSERT_TRUE( scratch.Make( "disc_damage_" ) );
	const fs::path source = scratch / "disc";
	const std::vector<u8> bytes( 64, 0x5A );
	std::string error;
	ASSERT_TRUE( ToolWriteFile( source / "LEVEL" / "A.GCR", bytes, error ) ) << error;
	fs::create_directory_symlink( source, scratch / "link" );

	const struct {
		const char*	what;
		fs::path	destination;
		bool		refused;
	} rows[] = {
		{ "empty", fs::path(), true },
		{ "the source", source, true },
		{ "the source spelt otherwise", source / ".." / "disc" / ".", true },
		{ "a link to the source", scratch / "link", true },
		{ "the folder that holds it", scratch.Path(), true },
		{ "a folder inside it", source / "LEVEL", true },
		{ "a folder beside it", scratch / "copy", false },
	};
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.what );
		std::vector<ToolFileDamage> damage;
		error.clear();
		EXPECT_EQ( ToolDiscDamage::DamageCopy( source, row.destination, { "LEVEL/A.GCR" }, 1, 7, damage, error ),
				   !row.refused );
		EXPECT_EQ( error.empty(), !row.refused ) << error;
		std::vector<u8> kept;
		ASSERT_TRUE( ToolReadFile( source / "LEVEL" / "A.GCR", kept, error ) ) << error;
		EXPECT_EQ( kept, bytes ) << "the source stays as it was";
	}
}
