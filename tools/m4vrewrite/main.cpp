// m4vrewrite [--not-coded-as-p] [--layer] INPUT.m4v [LIST.txt]
//
// Rewrites an MPEG-4 Part 2 elementary stream into compact frames and
// prints each frame's type, f-codes and time in file order (to LIST when
// given). With --layer it prints the layer's settings and a summary of the
// planes instead, for scripts that check how an encoder was driven.
// Refused streams give a message naming the field and exit 1.
#include "tools/lib/ToolFile.h"
#include "tools/lib/movie/ToolM4vRewriter.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string LayerSummary( const ToolM4vRewriteResult& result ) {
	const ToolM4vVol& vol = result.vol;
	u32 topFieldFirst = 0;
	u32 alternateScan = 0;
	u32 maxFCode = 0;
	for ( const ToolRewrittenFrame& frame : result.frames ) {
		topFieldFirst += frame.topFieldFirst ? 1u : 0u;
		alternateScan += frame.alternateVerticalScan ? 1u : 0u;
		maxFCode = frame.forwardFCode > maxFCode ? frame.forwardFCode : maxFCode;
		maxFCode = frame.backwardFCode > maxFCode ? frame.backwardFCode : maxFCode;
	}
	char text[1024];
	std::snprintf( text, sizeof( text ),
				   "width %u\nheight %u\ntime_resolution %u\nverid %u\ninterlaced %u\nsprite_enable %u\n"
				   "warping_points %u\nwarping_accuracy %u\nquant_type %u\nload_intra_quant_mat %u\n"
				   "load_nonintra_quant_mat %u\nplanes %zu\ntop_field_first_planes %u\n"
				   "alternate_vertical_scan_planes %u\nlargest_fcode %u\n",
				   vol.width, vol.height, vol.timeResolution, vol.verid, vol.interlaced ? 1u : 0u, vol.sprite,
				   vol.warpingPoints, vol.warpingAccuracy, vol.mpegQuant ? 1u : 0u, vol.intraMatrix.loaded ? 1u : 0u,
				   vol.interMatrix.loaded ? 1u : 0u, result.frames.size(), topFieldFirst, alternateScan, maxFCode );
	return text;
}

}

int main( int argc, char** argv ) {
	ToolM4vRewriteOptions options = {};
	bool layer = false;
	std::vector<const char*> paths;
	for ( int i = 1; i < argc; i++ ) {
		if ( std::strcmp( argv[i], "--not-coded-as-p" ) == 0 ) {
			options.notCodedAsP = true;
		} else if ( std::strcmp( argv[i], "--layer" ) == 0 ) {
			layer = true;
		} else {
			paths.push_back( argv[i] );
		}
	}
	if ( paths.empty() || paths.size() > 2 ) {
		std::fprintf( stderr, "usage: m4vrewrite [--not-coded-as-p] [--layer] INPUT.m4v [LIST.txt]\n" );
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
	const std::string list = layer ? LayerSummary( result ) : ToolM4vRewriter::FrameList( result );
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
