// damagedisc: copies a disc folder and damages some of its files.
//
//   damagedisc SEED FILES SOURCE DESTINATION NAME...
//
// Replaces DESTINATION with a copy of SOURCE, then damages FILES of the
// disc files NAME... (paths below the disc, '/' separated), chosen and
// damaged by SEED: cut short, bytes flipped, or both; logic modules in
// level resource files stay whole. Prints one line per damaged file.
// Exits 1, touching nothing, when SOURCE is not a folder or DESTINATION is
// empty, is SOURCE, holds it or lies inside it; 1 when the copy or a file
// fails, 2 on a bad command line.
#include "tools/lib/ToolDiscDamage.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool ParseNumber( const char* text, u64& value ) {
	char* end = nullptr;
	value = std::strtoull( text, &end, 10 );
	return end != text && *end == '\0';
}

}	// namespace

int main( int argc, char** argv ) {
	u64 seed = 0;
	u64 files = 0;
	if ( argc < 6 || !ParseNumber( argv[1], seed ) || !ParseNumber( argv[2], files ) || files == 0 ) {
		std::fprintf( stderr, "usage: damagedisc SEED FILES SOURCE DESTINATION NAME...\n" );
		return 2;
	}
	const std::vector<std::string> names( argv + 5, argv + argc );
	std::vector<ToolFileDamage> damage;
	std::string error;
	if ( !ToolDiscDamage::DamageCopy( argv[3], argv[4], names, static_cast<u32>( files ), seed, damage, error ) ) {
		std::fprintf( stderr, "damagedisc: %s\n", error.c_str() );
		return 1;
	}
	std::fputs( ToolDiscDamage::Describe( damage ).c_str(), stdout );
	return 0;
}
