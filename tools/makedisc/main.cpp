// makedisc [--logic OBJECT.o LIBRARY.o] [--movie FILE.vid]... FOLDER: writes
// the sample disc that the engine boots into FOLDER, the whole disc in one
// go. The sample level's logic modules are the ones this build made unless
// --logic names others. Each --movie is copied under MOVIES\ with its file
// name, so MOVIES\NAME plays it (the player appends ".vid"). Every
// collision map it writes passes the engine's load-time check first.
#include "tools/lib/ToolDiscBuilder.h"
#include "tools/lib/ToolDiscLayout.h"
#include "tools/lib/ToolSampleDisc.h"
#include "tools/lib/level/ToolCollisionMapWriter.h"
#include "tools/lib/level/ToolEngineCollisionMapCheck.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifndef ENGINE_SAMPLE_OBJECT_MODULE
#define ENGINE_SAMPLE_OBJECT_MODULE ""
#endif
#ifndef ENGINE_SAMPLE_LIBRARY_MODULE
#define ENGINE_SAMPLE_LIBRARY_MODULE ""
#endif

namespace {

bool ReadWhole( const std::filesystem::path& path, std::vector<u8>& bytes ) {
	std::ifstream input( path, std::ios::binary );
	if ( !input.is_open() ) {
		return false;
	}
	bytes.assign( std::istreambuf_iterator<char>( input ), std::istreambuf_iterator<char>() );
	return !bytes.empty();
}

} // namespace

int main( int argc, char** argv ) {
	std::vector<std::filesystem::path> movies;
	std::filesystem::path objectModule = ENGINE_SAMPLE_OBJECT_MODULE;
	std::filesystem::path libraryModule = ENGINE_SAMPLE_LIBRARY_MODULE;
	const char* folder = nullptr;
	bool usage = false;
	for ( int i = 1; i < argc && !usage; i++ ) {
		if ( std::strcmp( argv[i], "--movie" ) == 0 && i + 1 < argc ) {
			movies.push_back( argv[++i] );
		} else if ( std::strcmp( argv[i], "--logic" ) == 0 && i + 2 < argc ) {
			objectModule = argv[++i];
			libraryModule = argv[++i];
		} else if ( folder == nullptr && argv[i][0] != '\0' && argv[i][0] != '-' ) {
			folder = argv[i];
		} else {
			usage = true;
		}
	}
	if ( usage || folder == nullptr ) {
		std::fprintf( stderr, "usage: makedisc [--logic OBJECT.o LIBRARY.o] [--movie FILE.vid]... FOLDER\n" );
		return 2;
	}
	ToolSampleModules modules;
	if ( !ReadWhole( objectModule, modules.objectModule ) || !ReadWhole( libraryModule, modules.libraryModule ) ) {
		std::fprintf( stderr, "makedisc: cannot read the logic modules %s and %s\n", objectModule.string().c_str(),
					  libraryModule.string().c_str() );
		return 1;
	}
	ToolCollisionMapWriter::SetImageCheck( ToolEngineCollisionMapCheck );
	std::string error;
	if ( !ToolWriteSampleDisc( folder, modules, error ) ) {
		std::fprintf( stderr, "makedisc: %s\n", error.c_str() );
		return 1;
	}
	ToolDiscBuilder disc( folder );
	for ( const std::filesystem::path& movie : movies ) {
		std::vector<u8> bytes;
		if ( !ReadWhole( movie, bytes ) ) {
			std::fprintf( stderr, "makedisc: cannot read %s\n", movie.string().c_str() );
			return 1;
		}
		const ToolDiscLayout layout( TOOL_SAMPLE_LEVEL );
		if ( !disc.WriteFile( layout.MoviesFolder() / movie.filename(), bytes, error ) ) {
			std::fprintf( stderr, "makedisc: %s\n", error.c_str() );
			return 1;
		}
	}
	return 0;
}
