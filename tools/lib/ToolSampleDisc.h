/*
===============================================================================

	The sample disc.

	The disc the engine boots when it is run from the build: ENGINE.INI
	names the sample level's resource file and folder, and the folder
	layout for that level and the start-up language is in place. Writing
	it again over an existing sample disc gives the same tree.

===============================================================================
*/
#ifndef TOOL_SAMPLE_DISC_H
#define TOOL_SAMPLE_DISC_H

#include <filesystem>
#include <string>
#include <string_view>

// The sample level's folder under LEVEL and its resource file, which the
// engine looks for in the level's language-neutral folder.
constexpr std::string_view TOOL_SAMPLE_LEVEL         = "SAMPLE";
constexpr std::string_view TOOL_SAMPLE_RESOURCE_FILE = "SAMPLE.GCR";

// Writes the sample disc into root; false with a message on failure.
bool	ToolWriteSampleDisc( const std::filesystem::path& root, std::string& error );

#endif
