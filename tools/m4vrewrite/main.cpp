// m4vrewrite [--not-coded-as-p] INPUT.m4v [LIST.txt]
//
// Rewrites an MPEG-4 Part 2 elementary stream into compact frames and
// prints each frame's type, f-codes and time in file order (to LIST when
// given). Refused streams give a message naming the field and exit 1.
#include "tools/lib/ToolFile.h"
#include "tools/lib/movie/ToolM4vRewriter.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int main( int argc, char** argv ) {
	ToolM4vRewriteOptions options = {};
	std::vector<const char*> paths;
	for ( int i = 1; i < argc; i++ ) {
		if ( std::strcmp( argv[i], "--not-coded-as-p" ) == 0 ) {
			options.notCodedAsP = true;
		} else {
			paths.push_back( argv[i] );
		}
	}
	if ( paths.empty() || paths.size() > 2 ) {
		std::fprintf( stderr, "usage: m4vrewrite [--not-coded-as-p] INPUT.m4v [LIST.txt]\n" );
		return 2;
	}
	std::ifstream input( paths[0], std::ios::binary );
	if ( !input ) {
		std::fprintf( stderr, "m4vrewrite: cannot read %s\n", paths[0] );
		return 1;
	}
	const std::vector<u8> stream( ( std::istreambuf_iterator<char>( input ) ), std::istreambuf_iterator<char>() );

	ToolM4vRewriteResult result;
	std::string error;
	if ( !ToolM4vRewriter::Rewrite( stream.data(), stream.size(), options, &result, &error ) ) {
		std::fprintf( stderr, "m4vrewrite: %s: %s\n", paths[0], error.c_str() );
		return 1;
	}
	const std::string list = ToolM4vRewriter::FrameList( result );
	if ( paths.size() == 1 ) {
		std::fputs( list.c_str(), stdout );
		return 0;
	}
	if ( !ToolWriteTextFile( paths[1], list, error ) ) {
		std::fprintf( stderr, "m4vrewrite: %s\n", error.c_str() );
		return 1;
	}
	return 0;
}
