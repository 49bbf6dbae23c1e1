#include "tools/lib/ToolFile.h"

#include <cstdio>
#include <system_error>

bool ToolMakeFolders( const std::filesystem::path& folder, std::string& error ) {
	std::error_code code;
	std::filesystem::create_directories( folder, code );
	if ( code || !std::filesystem::is_directory( folder, code ) ) {
		error = "cannot create folder " + folder.string() + ( code ? ": " + code.message() : "" );
		return false;
	}
	return true;
}

bool ToolWriteFile( const std::filesystem::path& path, const std::span<const u8> bytes, std::string& error ) {
	if ( path.has_parent_path() && !ToolMakeFolders( path.parent_path(), error ) ) {
		return false;
	}
	std::FILE* file = std::fopen( path.c_str(), "wb" );
	if ( file == nullptr ) {
		error = "cannot open " + path.string() + " for writing";
		return false;
	}
	const bool written = bytes.empty() || std::fwrite( bytes.data(), 1, bytes.size(), file ) == bytes.size();
	// A full disc may only show when the buffered bytes are flushed.
	const bool closed = std::fclose( file ) == 0;
	if ( !written || !closed ) {
		error = "cannot write " + path.string();
		return false;
	}
	return true;
}

bool ToolWriteTextFile( const std::filesystem::path& path, const std::string_view text, std::string& error ) {
	return ToolWriteFile( path, std::span<const u8>( reinterpret_cast<const u8*>( text.data() ), text.size() ), error );
}

bool ToolReadFile( const std::filesystem::path& path, std::vector<u8>& bytes, std::string& error ) {
	bytes.clear();
	std::FILE* file = std::fopen( path.c_str(), "rb" );
	if ( file == nullptr ) {
		error = "cannot open " + path.string();
		return false;
	}
	u8 piece[4096];
	for ( size_t got = std::fread( piece, 1, sizeof( piece ), file ); got > 0; got = std::fread( piece, 1, sizeof( piece ), file ) ) {
		bytes.insert( bytes.end(), piece, piece + got );
	}
	const bool failed = std::ferror( file ) != 0;
	std::fclose( file );
	if ( failed ) {
		error = "cannot read " + path.string();
		return false;
	}
	return true;
}
