// Writes the sample disc folder that the engine boots.
#include <cstdio>
#include <filesystem>
#include <fstream>

int main( int argc, char** argv ) {
	if ( argc != 2 ) {
		std::fprintf( stderr, "usage: makedisc FOLDER\n" );
		return 2;
	}
	const std::filesystem::path root = argv[1];
	std::filesystem::create_directories( root );
	std::ofstream ini( root / "ENGINE.INI" );
	ini << "StartingLevelToLoad = SAMPLE\n";
	return ini ? 0 : 1;
}
