/*
===============================================================================

	File output for the tools.

	Writes a finished byte image to a host path, creating the folders on
	the way. An existing file is replaced whole, so writing the same image
	twice leaves the same file. Failures come back as false with a message
	that names the path.

===============================================================================
*/
#ifndef TOOL_FILE_H
#define TOOL_FILE_H

#include "datatypes/base/DTTypes.h"

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Creates the folder and its parents; true when it exists afterwards.
bool	ToolMakeFolders( const std::filesystem::path& folder, std::string& error );

// Writes bytes to path, creating the parent folders.
bool	ToolWriteFile( const std::filesystem::path& path, std::span<const u8> bytes, std::string& error );

// Reads the whole file at path into bytes.
bool	ToolReadFile( const std::filesystem::path& path, std::vector<u8>& bytes, std::string& error );

// Writes text to path byte for byte (no line-end translation).
bool	ToolWriteTextFile( const std::filesystem::path& path, std::string_view text, std::string& error );

#endif
