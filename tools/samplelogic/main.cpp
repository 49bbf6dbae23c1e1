// samplelogic DISC OBJECT.o LIBRARY.o: writes the sample level's resource
// file, with the two logic modules and a game object using the first, into
// the sample disc at DISC.
#include "tools/lib/logic/ToolSampleLogic.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

bool ReadWhole( const char* path, std::vector<u8>& bytes ) {
	std::ifstream input( path, std::ios::binary );
	if ( !input.is_open() ) {
		return false;
	}
	bytes.assign( std::istreambuf_iterator<char>( input ), std::istreambuf_iterator<char>() );
	return !bytes.empty();
}

} // namespace

int main( int argc, char** argv ) {
	if ( argc != 4 ) {
		std::fprintf( stderr, "usage: samplelogic DISC OBJECT.o LIBRARY.o\n" );
		return 2;
	}
	std::vector<u8> object;
	std::vector<u8> library;
	if ( !ReadWhole( argv[2], object ) || !ReadWhole( argv[3], library ) ) {
		std::fprintf( stderr, "samplelogic: cannot read the modules\n" );
		return 1;
	}
	std::string error;
	if ( !ToolWriteSampleLogicLevel( argv[1], object, library, error ) ) {
		std::fprintf( stderr, "samplelogic: %s\n", error.c_str() );
		return 1;
	}
	return 0;
}
