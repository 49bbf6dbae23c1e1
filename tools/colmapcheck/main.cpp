// colmapcheck FILE: runs the engine's load-time check on a collision map
// stored as a file (the blob a class-36 record names: its big-endian size
// first). Prints "FILE: ok" and exits 0 when a level would load it;
// otherwise prints the one line naming the first problem and exits 1.
#include "tools/lib/level/ToolEngineCollisionMapCheck.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int main( int argc, char** argv ) {
	if ( argc != 2 || argv[1][0] == '-' ) {
		std::fprintf( stderr, "usage: colmapcheck FILE\n" );
		return 2;
	}
	std::ifstream input( argv[1], std::ios::binary );
	if ( !input.is_open() ) {
		std::fprintf( stderr, "colmapcheck: cannot read %s\n", argv[1] );
		return 2;
	}
	const std::vector<u8> blob( ( std::istreambuf_iterator<char>( input ) ), std::istreambuf_iterator<char>() );
	std::string message;
	if ( !ToolEngineCollisionMapCheck( blob, message ) ) {
		std::printf( "%s: %s\n", argv[1], message.c_str() );
		return 1;
	}
	std::printf( "%s: ok\n", argv[1] );
	return 0;
}
