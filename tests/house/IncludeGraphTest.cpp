#include "house/IncludeGraph.h"
#include "support/TestScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace {

std::string Describe( const std::vector<IncludeViolation>& violations ) {
	std::string text;
	for ( const IncludeViolation& v : violations ) {
		text += v.file + ":" + std::to_string( v.line ) + " includes " + v.included + " (" + v.reason + ")\n";
	}
	return text;
}

TEST( IncludeGraphTest, EveryIncludeOfTheTreeFollowsTheGraph ) {
	const std::vector<IncludeViolation> violations = CheckIncludeGraph( ENGINE_SOURCE_DIR );
	EXPECT_TRUE( violations.empty() ) << Describe( violations );
}

TEST( IncludeGraphTest, AllowsOnlyEdgesThatRunDown ) {
	struct Case {
		const char*	from;
		const char*	to;
		bool		allowed;
	};
	const Case cases[] = {
		{ "platform", "datatypes/base", false },
		{ "platform", "platform", true },
		{ "datatypes/base", "platform", true },
		{ "datatypes/base", "datatypes", false },
		{ "graphics3d", "datatypes/base", true },
		{ "graphics3d", "datatypes", false },
		{ "datatypes", "graphics3d", true },
		{ "datatypes", "video", false },
		{ "datatypes", "Engine", false },
		{ "video", "datatypes", true },
		{ "video", "graphics3d", false },
		{ "video", "framework", false },
		{ "framework", "video", true },
		{ "framework", "Engine", false },
		{ "Engine", "framework", true },
	};
	for ( const Case& c : cases ) {
		EXPECT_EQ( BodyMayInclude( c.from, c.to ), c.allowed ) << c.from << " -> " << c.to;
	}
	EXPECT_EQ( BodyOfPath( "datatypes/base/DTTypes.h" ), "datatypes/base" );
	EXPECT_EQ( BodyOfPath( "datatypes/maths/DTMatrix.h" ), "datatypes" );
	EXPECT_EQ( BodyOfPath( "tests/support/HostTestDisc.h" ), "" );
}

// A small tree with one file per kind of violation, and allowed lines that
// must pass.
TEST( IncludeGraphTest, FindsEachKindOfViolationInAFixtureTree ) {
	TestScratchFolder scratch;
	ASSERT_TRUE( scratch.Make( "include-graph-" ) );
	const std::filesystem::path& root = scratch.Path();
	const auto write = [&]( const std::string& path, const std::string& text ) {
		std::filesystem::create_directories( ( root / path ).parent_path() );
		std::ofstream( root / path ) << text;
	};
	write( "platform/os/OS.h", "#include \"platform/types/PlatformTypes.h\"\n#include \"datatypes/base/DTTypes.h\"\n" );
	write( "graphics3d/core/RwV3d.h", "#include \"datatypes/base/DTTypes.h\"\n#include \"datatypes/maths/DTMatrix.h\"\n" );
	write( "datatypes/file/DTFile.cpp", "#include \"platform/dvd/DVD.h\"\n  #  include \"Engine/implementation/GC/EIStartup.h\"\n" );
	write( "framework/core/X.cpp", "#include \"video/m4/M4Decoder.h\"\n#include \"platform/dvd/DVDHost.h\"\n" );
	write( "datatypes/memory/MMMemory.cpp", "#include \"datatypes/memory/MMHost.h\"\n" );
	write( "Engine/implementation/GC/EIStartup.cpp", "#include \"platform/vm/VMHost.h\"\n#include \"framework/core/X.h\"\n" );
	write( "tests/anything.cpp", "#include \"Engine/implementation/GC/EIStartup.h\"\n" );

	std::vector<std::string> found;
	for ( const IncludeViolation& v : CheckIncludeGraph( root ) ) {
		found.push_back( v.file + ":" + std::to_string( v.line ) );
	}
	std::sort( found.begin(), found.end() );
	const std::vector<std::string> expected = {
		"datatypes/file/DTFile.cpp:2",
		"framework/core/X.cpp:2",
		"graphics3d/core/RwV3d.h:2",
		"platform/os/OS.h:2",
	};
	EXPECT_EQ( found, expected );
}

}
