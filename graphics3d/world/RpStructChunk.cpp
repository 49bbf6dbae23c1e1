#include "graphics3d/world/RpStructChunk.h"

#include "graphics3d/core/RwStream.h"

#include <cstring>

bool _rpStructChunkRead( RwStream* stream, u8* buffer, const u32 capacity, u32* versionOut ) {
	std::memset( buffer, 0, capacity );
	u32 length = 0;
	u32 version = 0;
	if ( !RwStreamFindChunk( stream, rwID_STRUCT, &length, &version ) ) {
		return false;
	}
	const u32 kept = length < capacity ? length : capacity;
	if ( RwStreamRead( stream, buffer, kept ) != kept ) {
		return false;
	}
	if ( length > kept && RwStreamSkip( stream, length - kept ) == nullptr ) {
		return false;
	}
	if ( versionOut != nullptr ) {
		*versionOut = version;
	}
	return true;
}
