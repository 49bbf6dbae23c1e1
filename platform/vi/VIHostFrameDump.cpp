#include "platform/vi/VIHostFrameDump.h"

#include <cstdio>
#include <cstdlib>

bool VIHostDumpLumaPgm( const void* frameBuffer, const u32 width, const u32 height, const u32 stride,
						const char* path ) {
	if ( frameBuffer == nullptr || path == nullptr || width == 0 || height == 0 ||
		 static_cast<u64>( width ) * 2 > stride ) {
		return false;
	}
	FILE* file = std::fopen( path, "wb" );
	if ( file == nullptr ) {
		return false;
	}
	u8* row = static_cast<u8*>( std::malloc( width ) );
	bool ok = row != nullptr && std::fprintf( file, "P5\n%u %u\n255\n", width, height ) > 0;
	const u8* source = static_cast<const u8*>( frameBuffer );
	for ( u32 y = 0; ok && y < height; y++ ) {
		const u8* line = source + static_cast<u64>( y ) * stride;
		for ( u32 x = 0; x < width; x++ ) {
			row[x] = line[x * 2];
		}
		ok = std::fwrite( row, 1, width, file ) == width;
	}
	std::free( row );
	return std::fclose( file ) == 0 && ok;
}
