#include "framework/core/engine/EFCommandLine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST( EFCommandLineTest, ParsesEachOptionIntoTheContext ) {
	struct Row {
		std::string	command;
		const char*	resFilename;
		const char*	levelPath;
		const char*	baseDirectory;
		u32			directInput;
	};
	const Row rows[] = {
		{ "/c -", "", "KEEP", "", 1 },
		{ "/c -LEVEL1 /w-PATH", "LEVEL1", "PATH", "", 1 },
		{ "/c -/w-X", "", "X", "", 1 },
		{ "/c -L /w", "L", "KEEP", "", 1 },
		{ "/c -L /p", "L", "KEEP", "", 1 },
		{ "/l", "", "KEEP", "", 1 },
		{ "/c -A /p-BASE /d /x-IGNORED /z-OUTSIDE", "A", "KEEP", "BASE", 0 },
		{ "/c -A.GCR /w-W1 /w-W2", "A.GCR", "W2", "", 1 },
		{ "/c", "", "KEEP", "", 1 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.command );
		EFAppContext context;
		std::memset( &context, 0, sizeof( context ) );
		std::strcpy( context.szLevelPath, "KEEP" );
		context.bDirectInputEnable = 1;
		EFCommandLine( row.command.c_str(), context );
		EXPECT_STREQ( context.szResFilename, row.resFilename );
		EXPECT_STREQ( context.szLevelPath, row.levelPath );
		EXPECT_STREQ( context.szBaseDirectory, row.baseDirectory );
		EXPECT_EQ( context.bDirectInputEnable, row.directInput );
	}
}

TEST( EFCommandLineTest, CutsOverlongValuesToTheirFields ) {
	struct Row {
		const char*	name;
		std::string	command;
		size_t		resLength;
		size_t		pathLength;
		size_t		baseLength;
	};
	const std::string longText( 1000, 'V' );
	const Row rows[] = {
		{ "600-character value before another option", "/c -" + longText.substr( 0, 600 ) + " /w-P",
		  EF_COMMAND_VALUE_MAX, 1, 0 },
		{ "1000-character value at the end", "/c -A /w-" + longText, 1, EF_LEVEL_PATH_SIZE - 1, 0 },
		{ "base directory", "/p-" + longText.substr( 0, 200 ) + " /c -A", 1, 0, EF_BASE_DIRECTORY_SIZE - 1 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFAppContext context;
		std::memset( &context, 0, sizeof( context ) );
		EFCommandLine( row.command.c_str(), context );
		EXPECT_EQ( strnlen( context.szResFilename, sizeof( context.szResFilename ) ), row.resLength );
		EXPECT_EQ( strnlen( context.szLevelPath, sizeof( context.szLevelPath ) ), row.pathLength );
		EXPECT_EQ( strnlen( context.szBaseDirectory, sizeof( context.szBaseDirectory ) ), row.baseLength );
	}
}

}
