// makedisc [--movie FILE.vid]... FOLDER: writes the sample disc that the
// engine boots into FOLDER. Each --movie is copied under MOVIES\ with its
// file name, so MOVIES\NAME plays it (the player appends ".vid").
#include "tools/lib/ToolDiscBuilder.h"
#include "tools/lib/ToolDiscLayout.h"
#include "tools/lib/ToolSampleDisc.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int main( int argc, char** argv ) {
	std::vector<std::filesystem::path> movies;
	const char* folder = nullptr;
	for ( int i = 1; i < argc; i++ ) {
		if ( std::strcmp( argv[i], "--movie" ) == 0 && i + 1 < argc ) {
			movies.push_back( argv[++i] );
		} else if ( folder == nullptr && argv[i][0] != '\0' && argv[i][0] != '-' ) {
			folder = argv[i];
		} else {
			folder = nullptr;
			break;
		}
	}
	if ( folder == nullptr ) {
		std::fprintf( stderr, "usage: makedisc [--movie FILE.vid]... FOLDER\n" );
		return 2;
	}
	std::string error;
	if ( !ToolWriteSampleDisc( folder, error ) ) {
		std::fprintf( stderr, "makedisc: %s\n", error.c_str() );
		return 1;
	}
	ToolDiscBuilder disc( folder );
	for ( const std::filesystem::path& movie : movies ) {
		std::ifstream input( movie, std::ios::binary );
		const std::vector<u8> bytes( ( std::istreambuf_iterator<char>( input ) ), std::istreambuf_iterator<char>() );
		if ( !input.is_open() || bytes.empty() ) {
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
