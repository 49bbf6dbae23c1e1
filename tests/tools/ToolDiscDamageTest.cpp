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

// Every entry below a folder, relative to it, in order.
std::vector<std::string> FolderEntries( const std::filesystem::path& folder ) {
	std::vector<std::string> entries;
	for ( const auto& entry : std::filesystem::recursive_directory_iterator( folder ) ) {
		entries.push_back( entry.path().lexically_relative( folder ).string() );
	}
	std::sort( entries.begin(), entries.end() );
	return entries;
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
	const std::vector<std::string> entries = FolderEntries( source );

	// Relative paths are taken from the working folder (the source, when
	// none is given), as a user running the tool inside a disc gives them.
	const struct {
		const char*	what;
		fs::path	working;
		fs::path	source;
		fs::path	destination;
		bool		refused;
	} rows[] = {
		{ "empty", {}, source, fs::path(), true },
		{ "the source", {}, source, source, true },
		{ "the source spelt otherwise", {}, source, source / ".." / "disc" / ".", true },
		{ "a link to the source", {}, source, scratch / "link", true },
		{ "the folder that holds it", {}, source, scratch.Path(), true },
		{ "a folder inside it", {}, source, source / "LEVEL", true },
		{ "., into a folder whose parents do not exist", {}, ".", "new/copy", true },
		{ "./, into ./", {}, "./", "./new", true },
		{ "., into the folder that holds it", {}, ".", "..", true },
		{ "../name of itself, into a relative folder", {}, "../disc", "missing/copy", true },
		{ "absolute source, relative destination", {}, source, "new/copy", true },
		{ "relative source, absolute destination", scratch.Path(), "disc", source / "new" / "copy", true },
		{ "relative source, relative folder inside it", scratch.Path(), "disc", "disc/new/copy", true },
		{ "a folder beside it", {}, source, scratch / "copy", false },
		{ "., into a folder beside it", {}, ".", "../beside/copy", false },
	};
	const fs::path previous = fs::current_path();
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.what );
		// Each row starts from a whole source, whatever the row before did.
		fs::remove_all( source );
		ASSERT_TRUE( ToolWriteFile( source / "LEVEL" / "A.GCR", bytes, error ) ) << error;
		fs::current_path( row.working.empty() ? source : row.working );
		std::vector<ToolFileDamage> damage;
		error.clear();
		const bool copied = ToolDiscDamage::DamageCopy( row.source, row.destination, { "LEVEL/A.GCR" }, 1, 7, damage, error );
		fs::current_path( previous );
		EXPECT_EQ( copied, !row.refused );
		EXPECT_EQ( error.empty(), !row.refused ) << error;
		EXPECT_EQ( FolderEntries( source ), entries ) << "nothing is added to or taken from the source";
		std::vector<u8> kept;
		ASSERT_TRUE( ToolReadFile( source / "LEVEL" / "A.GCR", kept, error ) ) << error;
		EXPECT_EQ( kept, bytes ) << "the source stays as it was";
	}
	EXPECT_TRUE( fs::exists( scratch / "beside" / "copy" / "LEVEL" / "A.GCR" ) );
}

TEST( ToolDiscDamageTest, ASourceThatIsNoFolderIsRefusedAndTheDestinationKept ) {
	namespace fs = std::filesystem;
	TestScratchFolder scratch;
	ASSERT_TRUE( scratch.Make( "disc_damage_source_" ) );
	const fs::path destination = scratch / "out";
	const std::vector<u8> kept( 16, 0x6B );
	std::string error;
	ASSERT_TRUE( ToolWriteFile( destination / "important.txt", kept, error ) ) << error;
	ASSERT_TRUE( ToolWriteFile( scratch / "disc.iso", kept, error ) ) << error;
	const std::vector<std::string> entries = FolderEntries( destination );

	const struct {
		const char*	what;
		fs::path	source;
		const char*	said;
	} rows[] = {
		{ "a missing source", scratch / "no" / "such" / "disc", "does not exist" },
		{ "a file given as the source", scratch / "disc.iso", "is not a folder" },
	};
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.what );
		std::vector<ToolFileDamage> damage;
		error.clear();
		EXPECT_FALSE( ToolDiscDamage::DamageCopy( row.source, destination, { "ENGINE.INI" }, 1, 7, damage, error ) );
		EXPECT_NE( error.find( row.source.string() ), std::string::npos ) << error;
		EXPECT_NE( error.find( row.said ), std::string::npos ) << error;
		EXPECT_EQ( FolderEntries( destination ), entries );
		std::vector<u8> bytes;
		ASSERT_TRUE( ToolReadFile( destination / "important.txt", bytes, error ) ) << error;
		EXPECT_EQ( bytes, kept );
	}
}
