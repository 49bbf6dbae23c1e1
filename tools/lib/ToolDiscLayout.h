/*
===============================================================================

	Folder layout of the game disc.

	Names the folders the engine opens, relative to the disc's root, for
	one level and one language:

	  LEVEL/<level>/<language>   the level's files for that language
	  LEVEL/<level>/GEN          the level's language-neutral files, and
	                             the fallback for the language folder
	  GLOBAL/<language>, GLOBAL/GEN
	  STREAM, MOVIES, SLIDE

	The engine builds these paths upper-case with back-slashes; on the host
	they are folders under the disc folder, so they are kept here as host
	paths with upper-case names. A level or language name must be one plain
	folder name that also survives ENGINE.INI as a single token; any other
	name makes the layout invalid and yields no paths.

===============================================================================
*/
#ifndef TOOL_DISC_LAYOUT_H
#define TOOL_DISC_LAYOUT_H

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The language the engine starts in and its language-neutral fallback.
constexpr std::string_view TOOL_DISC_LANGUAGE = "FR";
constexpr std::string_view TOOL_DISC_NEUTRAL  = "GEN";

class ToolDiscLayout {
public:
	// True for a name that is one folder and one ENGINE.INI token.
	static bool						IsFolderName( std::string_view name );

	// Names are upper-cased.
									ToolDiscLayout( std::string_view level, std::string_view language = TOOL_DISC_LANGUAGE );

	bool							IsValid() const { return valid; }
	const std::string&				Level() const { return level; }
	const std::string&				Language() const { return language; }

	std::filesystem::path			LevelFolder() const;
	std::filesystem::path			LevelLanguageFolder() const;
	std::filesystem::path			LevelNeutralFolder() const;
	std::filesystem::path			GlobalLanguageFolder() const;
	std::filesystem::path			GlobalNeutralFolder() const;
	std::filesystem::path			StreamFolder() const;
	std::filesystem::path			MoviesFolder() const;
	std::filesystem::path			SlideFolder() const;

	// Every folder of the layout, parents first; empty when invalid.
	std::vector<std::filesystem::path>	Folders() const;

private:
	std::string						level;
	std::string						language;
	bool							valid;
};

#endif
