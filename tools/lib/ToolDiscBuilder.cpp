#include "tools/lib/ToolDiscBuilder.h"

#include "tools/lib/ToolDiscLayout.h"
#include "tools/lib/ToolFile.h"
#include "tools/lib/ToolIniWriter.h"

#include <utility>

static bool StaysInside( const std::filesystem::path& relative ) {
	if ( relative.empty() || relative.has_root_path() ) {
		return false;
	}
	for ( const std::filesystem::path& part : relative ) {
		if ( part == "." || part == ".." ) {
			return false;
		}
	}
	return relative.has_filename();
}

ToolDiscBuilder::ToolDiscBuilder( std::filesystem::path rootFolder ) : root( std::move( rootFolder ) ) {
}

bool ToolDiscBuilder::CreateLayout( const ToolDiscLayout& layout, std::string& error ) {
	if ( !layout.IsValid() ) {
		error = "invalid level or language name: '" + layout.Level() + "', '" + layout.Language() + "'";
		return false;
	}
	if ( !ToolMakeFolders( root, error ) ) {
		return false;
	}
	for ( const std::filesystem::path& folder : layout.Folders() ) {
		if ( !ToolMakeFolders( root / folder, error ) ) {
			return false;
		}
	}
	return true;
}

bool ToolDiscBuilder::WriteFile( const std::filesystem::path& relative, const std::span<const u8> bytes,
								 std::string& error ) {
	if ( !StaysInside( relative ) ) {
		error = "file path leaves the disc: '" + relative.string() + "'";
		return false;
	}
	return ToolWriteFile( root / relative, bytes, error );
}

bool ToolDiscBuilder::WriteEngineIni( const ToolIniWriter& ini, std::string& error ) {
	const std::string text = ini.Text();
	return WriteFile( TOOL_ENGINE_INI_NAME,
					  std::span<const u8>( reinterpret_cast<const u8*>( text.data() ), text.size() ), error );
}
