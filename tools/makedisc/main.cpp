// makedisc FOLDER: writes the sample disc that the engine boots into FOLDER.
#include "tools/lib/ToolSampleDisc.h"

#include <cstdio>
#include <string>

int main( int argc, char** argv ) {
	if ( argc != 2 || argv[1][0] == '\0' ) {
		std::fprintf( stderr, "usage: makedisc FOLDER\n" );
		return 2;
	}
	std::string error;
	if ( !ToolWriteSampleDisc( argv[1], error ) ) {
		std::fprintf( stderr, "makedisc: %s\n", error.c_str() );
		return 1;
	}
	return 0;
}
