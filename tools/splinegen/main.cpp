// splinegen: turns control points into the spline manager's data.
//
//   splinegen <points.txt> <out.bin> [--record]
//
// The text holds one spline per block: a line "spline <id> [loop] [rope]",
// then one "x y z" line per control point (Q0 ... Q2n for an open spline,
// Q0 ... Q2n-1 for a loop). '#' starts a comment. Without --record the
// output is the manager's payload; with it, the generic-data record that a
// level's resource file carries.

#include "tools/lib/level/ToolSplineWriter.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

bool ParseSplines( std::istream& in, std::vector<ToolSplineInput>& splines, std::string& error ) {
	std::string line;
	u32 number = 0;
	while ( std::getline( in, line ) ) {
		number++;
		const size_t hash = line.find( '#' );
		if ( hash != std::string::npos ) {
			line.resize( hash );
		}
		std::istringstream words( line );
		std::string first;
		if ( !( words >> first ) ) {
			continue;
		}
		if ( first == "spline" ) {
			u32 id = 0;
			if ( !( words >> id ) || id > 0xFFFF ) {
				error = "line " + std::to_string( number ) + ": spline needs an id from 0 to 65535";
				return false;
			}
			ToolSplineInput spline;
			spline.id = static_cast<u16>( id );
			for ( std::string flag; words >> flag; ) {
				if ( flag == "loop" ) {
					spline.flags |= TOOL_SPLINE_FLAG_LOOP;
				} else if ( flag == "rope" ) {
					spline.flags |= TOOL_SPLINE_FLAG_ROPE;
				} else {
					error = "line " + std::to_string( number ) + ": unknown flag " + flag;
					return false;
				}
			}
			splines.push_back( spline );
			continue;
		}
		ToolSplinePoint point = {};
		std::istringstream coordinates( line );
		std::string rest;
		if ( splines.empty() || !( coordinates >> point[0] >> point[1] >> point[2] ) || ( coordinates >> rest ) ) {
			error = "line " + std::to_string( number ) + ": expected \"x y z\" after a spline line";
			return false;
		}
		splines.back().points.push_back( point );
	}
	return true;
}

} // namespace

int main( int argc, char** argv ) {
	if ( argc < 3 || argc > 4 || ( argc == 4 && std::string( argv[3] ) != "--record" ) ) {
		std::fprintf( stderr, "usage: splinegen <points.txt> <out.bin> [--record]\n" );
		return 2;
	}
	std::ifstream in( argv[1] );
	if ( !in ) {
		std::fprintf( stderr, "splinegen: cannot read %s\n", argv[1] );
		return 1;
	}
	std::vector<ToolSplineInput> splines;
	std::string error;
	if ( !ParseSplines( in, splines, error ) ) {
		std::fprintf( stderr, "splinegen: %s\n", error.c_str() );
		return 1;
	}
	std::vector<u8> bytes;
	if ( argc == 4 ) {
		ToolResourceRecord record;
		if ( !ToolSplineWriter::WriteRecord( splines, record, error ) ) {
			std::fprintf( stderr, "splinegen: %s\n", error.c_str() );
			return 1;
		}
		bytes = record.object;
	} else if ( !ToolSplineWriter::WritePayload( splines, bytes, error ) ) {
		std::fprintf( stderr, "splinegen: %s\n", error.c_str() );
		return 1;
	}
	std::ofstream out( argv[2], std::ios::binary );
	out.write( reinterpret_cast<const char*>( bytes.data() ), static_cast<std::streamsize>( bytes.size() ) );
	if ( !out ) {
		std::fprintf( stderr, "splinegen: cannot write %s\n", argv[2] );
		return 1;
	}
	return 0;
}
