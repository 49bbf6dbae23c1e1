/*
	A clump read by the 3D library (started by the caller) from its chunk
	as stored; null when the bytes hold none.
*/
#ifndef CLUMP_FROM_BYTES_H
#define CLUMP_FROM_BYTES_H

#include "graphics3d/core/RwStream.h"
#include "graphics3d/world/RpClump.h"

#include <vector>

inline RpClump* ClumpFromBytes( const std::vector<u8>& bytes ) {
	RwMemory memory = { const_cast<u8*>( bytes.data() ), static_cast<u32>( bytes.size() ) };
	RwStream* const stream = RwStreamOpen( rwSTREAMMEMORY, rwSTREAMREAD, &memory );
	if ( stream == nullptr ) {
		return nullptr;
	}
	RpClump* const clump = RwStreamFindChunk( stream, rwID_CLUMP, nullptr, nullptr ) ? RpClumpStreamRead( stream )
																					 : nullptr;
	RwStreamClose( stream, nullptr );
	return clump;
}

#endif
