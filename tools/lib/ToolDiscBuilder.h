/*
===============================================================================

	Disc builder.

	Writes a disc image as a host folder: the folder layout of a level,
	ENGINE.INI at the root and any other file at a path relative to the
	root. Everything is written in place and replaced whole, so building
	the same disc twice gives the same tree. Files the builder did not
	write are left alone.

	File paths must stay inside the disc: absolute paths and paths with
	"." or ".." parts are refused.

===============================================================================
*/
#ifndef TOOL_DISC_BUILDER_H
#define TOOL_DISC_BUILDER_H

#include "datatypes/base/DTTypes.h"

#include <filesystem>
#include <span>
#include <string>

class ToolDiscLayout;
class ToolIniWriter;

// The configuration file the engine reads from the disc's root.
constexpr const char* TOOL_ENGINE_INI_NAME = "ENGINE.INI";

class ToolDiscBuilder {
public:
	explicit						ToolDiscBuilder( std::filesystem::path root );

	const std::filesystem::path&	Root() const { return root; }

	// Creates the root and every folder of the layout.
	bool							CreateLayout( const ToolDiscLayout& layout, std::string& error );

	// Writes bytes to a file at a path relative to the root.
	bool							WriteFile( const std::filesystem::path& relative, std::span<const u8> bytes,
											   std::string& error );

	// Writes ENGINE.INI at the root.
	bool							WriteEngineIni( const ToolIniWriter& ini, std::string& error );

private:
	std::filesystem::path			root;
};

#endif
