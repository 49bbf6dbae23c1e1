// demodump: prints a demo file.
//
//   demodump <file>
//
// Lists the header, every frame's block with its action records, and the
// save image's size and level name. Exits 1 when the file cannot be read
// or is malformed.

#include "tools/lib/ToolFile.h"
#include "tools/lib/demo/ToolDemoFile.h"

#include <cstdio>
#include <string>
#include <vector>

int main( int argc, char** argv ) {
	if ( argc != 2 ) {
		std::fprintf( stderr, "usage: demodump <file>\n" );
		return 1;
	}
	std::vector<u8> bytes;
	std::string error;
	if ( !ToolReadFile( argv[1], bytes, error ) ) {
		std::fprintf( stderr, "demodump: %s\n", error.c_str() );
		return 1;
	}
	ToolDemoFile demo;
	if ( !ToolReadDemoFile( bytes, demo, error ) ) {
		std::fprintf( stderr, "demodump: %s: %s\n", argv[1], error.c_str() );
		return 1;
	}
	std::fputs( ToolDumpDemoFile( demo ).c_str(), stdout );
	return 0;
}
