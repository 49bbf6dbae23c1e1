#include "graphics3d/world/RpClump.h"

#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwCameraChunk.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwFrameList.h"
#include "graphics3d/core/RwFrameSync.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpLight.h"
#include "graphics3d/world/RpStructChunk.h"

#include "datatypes/base/DTByteOrder.h"

// The clump struct: atomic, light and camera counts; up to this version
// the atomic count alone.
static const u32 RPCLUMP_COUNTS_ONLY_VERSION	= 0x33000;
static const u32 STRUCT_ALL_COUNTS_BYTES		= 12;
static const u32 STRUCT_ATOMIC_COUNT_BYTES		= 4;
// The atomic struct: frame index, geometry index, flags, a reserved word.
static const u32 ATOMIC_STRUCT_BYTES			= 16;
static const u32 ATOMIC_FLAGS_MASK				= 0xFF;
// Bytes of the smallest chunk: its header.
static const u32 CHUNK_HEADER_BYTES				= 12;

namespace {

// What a clump read holds until it ends.
struct ClumpRead {
	RpClump*		clump;
	RwFrameList		frameList;
	RpGeometry**	geometries;
	s32				numGeometries;		// references held
};

bool Malformed() {
	_rwErrorSetCore( _rwerror( RWERR_READ ) );
	return false;
}

bool IndexIn( const s32 index, const s32 count ) {
	return index >= 0 && index < count;
}

// Drops the geometry list's references and frees both arrays.
void ReleaseLists( ClumpRead& read ) {
	for ( s32 i = 0; i < read.numGeometries; i++ ) {
		RpGeometryDestroy( read.geometries[i] );
	}
	if ( read.geometries != nullptr ) {
		RwEngineInstance->memoryFunctions.rwfree( read.geometries );
	}
	read.geometries = nullptr;
	read.numGeometries = 0;
	_rwFrameListDeinitialize( &read.frameList );
	read.frameList = { nullptr, 0 };
}

// A stored frame list may hold roots besides the clump's. One that no
// atomic, light or camera of the clump hangs from belongs to nobody once
// the list is released, so it goes now rather than leak; the clump keeps
// the others and frees them when it is destroyed. The roots are gathered
// at the front, the held ones first (destroying a root frees frames that
// later entries name), and the list then names them alone, so that a
// failure to keep them leaves Abandon each root once.
bool SettleOtherRoots( ClumpRead& read ) {
	RwFrame* const clumpFrame = RpClumpGetFrame( read.clump );
	RwFrame** const frames = read.frameList.frames;
	s32 roots = 0;
	s32 held = 0;
	for ( s32 i = 0; i < read.frameList.numFrames; i++ ) {
		RwFrame* const frame = frames[i];
		if ( frame == clumpFrame || frame->object.parent != nullptr ) {
			continue;
		}
		frames[roots++] = frame;
		if ( _rpClumpFramesHoldObjects( frame ) ) {
			frames[roots - 1] = frames[held];
			frames[held++] = frame;
		}
	}
	read.frameList.numFrames = roots;
	if ( !_rpClumpKeepStoredRoots( read.clump, frames, held ) ) {
		return false;
	}
	for ( s32 i = held; i < roots; i++ ) {
		RwFrameDestroyHierarchy( frames[i] );
	}
	return true;
}

// Destroys everything read: the clump with its members and hierarchy,
// frame roots the clump does not hold, and the lists.
RpClump* Abandon( ClumpRead& read ) {
	Malformed();
	RwFrame* const clumpFrame = read.clump != nullptr ? RpClumpGetFrame( read.clump ) : nullptr;
	// The other roots are gathered at the front of the array first: the
	// clump's destroy frees its own hierarchy.
	s32 roots = 0;
	for ( s32 i = 0; i < read.frameList.numFrames; i++ ) {
		RwFrame* const frame = read.frameList.frames[i];
		if ( frame != clumpFrame && frame->object.parent == nullptr ) {
			read.frameList.frames[roots++] = frame;
		}
	}
	RpClumpDestroy( read.clump );
	for ( s32 i = 0; i < roots; i++ ) {
		RwFrameDestroyHierarchy( read.frameList.frames[i] );
	}
	ReleaseLists( read );
	return nullptr;
}

bool ReadGeometryList( RwStream* stream, ClumpRead& read ) {
	u32 listLength = 0;
	u32 length = 0;
	if ( !RwStreamFindChunk( stream, rwID_GEOMETRYLIST, &listLength, nullptr ) ||
		 !RwStreamFindChunk( stream, rwID_STRUCT, &length, nullptr ) ) {
		return false;
	}
	u8 bytes[4];
	if ( length < sizeof( bytes ) || static_cast<u64>( length ) + CHUNK_HEADER_BYTES > listLength ||
		 RwStreamRead( stream, bytes, sizeof( bytes ) ) != sizeof( bytes ) ||
		 ( length > sizeof( bytes ) && RwStreamSkip( stream, length - sizeof( bytes ) ) == nullptr ) ) {
		return Malformed();
	}
	const u32 count = DTReadLE32( bytes );
	if ( count == 0 ) {
		return true;
	}
	// Each geometry takes at least a chunk header of the list's payload
	// (and of the stream, when it can tell).
	u32 listLeft = listLength - CHUNK_HEADER_BYTES - length;
	u32 left = 0;
	if ( static_cast<u64>( count ) * CHUNK_HEADER_BYTES > listLeft ||
		 ( _rwStreamBytesLeft( stream, &left ) && static_cast<u64>( count ) * CHUNK_HEADER_BYTES > left ) ) {
		return Malformed();
	}
	const u64 bytesNeeded = static_cast<u64>( count ) * sizeof( RpGeometry* );
	read.geometries = static_cast<RpGeometry**>( RwEngineInstance->memoryFunctions.rwmalloc( static_cast<u32>( bytesNeeded ) ) );
	if ( read.geometries == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, static_cast<u32>( bytesNeeded ) ) );
		return false;
	}
	for ( u32 i = 0; i < count; i++ ) {
		u32 geometryLength = 0;
		if ( !RwStreamFindChunk( stream, rwID_GEOMETRY, &geometryLength, nullptr ) ) {
			return false;
		}
		// No geometry claims more than the list has left.
		if ( static_cast<u64>( geometryLength ) + CHUNK_HEADER_BYTES > listLeft ) {
			return Malformed();
		}
		listLeft -= CHUNK_HEADER_BYTES + geometryLength;
		RpGeometry* const geometry = _rpGeometryStreamReadIn( stream, geometryLength );
		if ( geometry == nullptr ) {
			return false;
		}
		read.geometries[read.numGeometries++] = geometry;
	}
	return true;
}

RpAtomic* ReadAtomic( RwStream* stream, ClumpRead& read ) {
	u8 record[ATOMIC_STRUCT_BYTES];
	if ( !RwStreamFindChunk( stream, rwID_ATOMIC, nullptr, nullptr ) ||
		 !_rpStructChunkRead( stream, record, sizeof( record ), nullptr ) ) {
		return nullptr;
	}
	const s32 frameIndex = DTReadLES32( record );
	const s32 geometryIndex = DTReadLES32( record + 4 );
	// An index must name an entry of a list read before it.
	if ( ( read.frameList.numFrames > 0 && !IndexIn( frameIndex, read.frameList.numFrames ) ) ||
		 ( read.numGeometries > 0 && !IndexIn( geometryIndex, read.numGeometries ) ) ) {
		Malformed();
		return nullptr;
	}
	RpAtomic* const atomic = RpAtomicCreate();
	if ( atomic == nullptr ) {
		return nullptr;
	}
	atomic->object.object.flags = static_cast<u8>( DTReadLE32( record + 8 ) & ATOMIC_FLAGS_MASK );
	if ( read.frameList.numFrames > 0 ) {
		RpAtomicSetFrame( atomic, read.frameList.frames[frameIndex] );
	}
	if ( read.numGeometries > 0 ) {
		RpAtomicSetGeometry( atomic, read.geometries[geometryIndex], 0 );
	} else {
		u32 geometryLength = 0;
		RpGeometry* const geometry = RwStreamFindChunk( stream, rwID_GEOMETRY, &geometryLength, nullptr )
									 ? _rpGeometryStreamReadIn( stream, geometryLength )
									 : nullptr;
		if ( geometry == nullptr ) {
			RpAtomicDestroy( atomic );
			return nullptr;
		}
		RpAtomicSetGeometry( atomic, geometry, 0 );
		RpGeometryDestroy( geometry );
	}
	_rpAtomicRightsState = {};
	if ( _rwPluginRegistryReadDataChunks( &atomicTKList, stream, atomic ) == nullptr ) {
		RpAtomicDestroy( atomic );
		return nullptr;
	}
	if ( _rpAtomicRightsState.pluginID != 0 ) {
		_rwPluginRegistryInvokeRights( &atomicTKList, _rpAtomicRightsState.pluginID, atomic,
									   _rpAtomicRightsState.extraData );
	}
	return atomic;
}

// The frame index struct before a light or camera; the frame it names.
RwFrame* ReadFrameIndex( RwStream* stream, const ClumpRead& read ) {
	u8 record[4];
	if ( !_rpStructChunkRead( stream, record, sizeof( record ), nullptr ) ) {
		return nullptr;
	}
	const s32 index = DTReadLES32( record );
	if ( !IndexIn( index, read.frameList.numFrames ) ) {
		Malformed();
		return nullptr;
	}
	return read.frameList.frames[index];
}

bool ReadLight( RwStream* stream, ClumpRead& read ) {
	RwFrame* const frame = ReadFrameIndex( stream, read );
	if ( frame == nullptr || !RwStreamFindChunk( stream, rwID_LIGHT, nullptr, nullptr ) ) {
		return false;
	}
	RpLight* const light = RpLightStreamRead( stream );
	if ( light == nullptr ) {
		return false;
	}
	_rwObjectHasFrameSetFrame( &light->object, frame );
	if ( RpClumpAddLight( read.clump, light ) == nullptr ) {
		RpLightDestroy( light );
		return false;
	}
	return true;
}

bool ReadCamera( RwStream* stream, ClumpRead& read ) {
	RwFrame* const frame = ReadFrameIndex( stream, read );
	if ( frame == nullptr || !RwStreamFindChunk( stream, rwID_CAMERA, nullptr, nullptr ) ) {
		return false;
	}
	RwCamera* const camera = RwCameraStreamRead( stream );
	if ( camera == nullptr ) {
		return false;
	}
	_rwObjectHasFrameSetFrame( &camera->object, frame );
	if ( RpClumpAddCamera( read.clump, camera ) == nullptr ) {
		RwCameraDestroy( camera );
		return false;
	}
	return true;
}

}	// namespace

RpClump* RpClumpStreamRead( RwStream* stream ) {
	u32 length = 0;
	u32 version = 0;
	if ( !RwStreamFindChunk( stream, rwID_STRUCT, &length, &version ) ) {
		return nullptr;
	}
	const u32 defined = version > RPCLUMP_COUNTS_ONLY_VERSION ? STRUCT_ALL_COUNTS_BYTES : STRUCT_ATOMIC_COUNT_BYTES;
	u8 counts[STRUCT_ALL_COUNTS_BYTES] = {};
	if ( length < defined || RwStreamRead( stream, counts, defined ) != defined ||
		 ( length > defined && RwStreamSkip( stream, length - defined ) == nullptr ) ) {
		Malformed();
		return nullptr;
	}
	const s32 numAtomics = DTReadLES32( counts );
	const s32 numLights = DTReadLES32( counts + 4 );
	const s32 numCameras = DTReadLES32( counts + 8 );
	ClumpRead read = { RpClumpCreate(), { nullptr, 0 }, nullptr, 0 };
	if ( read.clump == nullptr || numAtomics < 0 || numLights < 0 || numCameras < 0 ) {
		return Abandon( read );
	}
	if ( !RwStreamFindChunk( stream, rwID_FRAMELIST, nullptr, nullptr ) ||
		 _rwFrameListStreamRead( stream, &read.frameList ) == nullptr ) {
		return Abandon( read );
	}
	// Without frames the clump has none.
	if ( read.frameList.numFrames > 0 ) {
		RpClumpSetFrame( read.clump, read.frameList.frames[0] );
	}
	if ( !ReadGeometryList( stream, read ) ) {
		return Abandon( read );
	}
	for ( s32 i = 0; i < numAtomics; i++ ) {
		RpAtomic* const atomic = ReadAtomic( stream, read );
		if ( atomic == nullptr ) {
			return Abandon( read );
		}
		RpClumpAddAtomic( read.clump, atomic );
	}
	for ( s32 i = 0; i < numLights; i++ ) {
		if ( !ReadLight( stream, read ) ) {
			return Abandon( read );
		}
	}
	for ( s32 i = 0; i < numCameras; i++ ) {
		if ( !ReadCamera( stream, read ) ) {
			return Abandon( read );
		}
	}
	if ( !SettleOtherRoots( read ) ) {
		return Abandon( read );
	}
	ReleaseLists( read );
	if ( _rwPluginRegistryReadDataChunks( &clumpTKList, stream, read.clump ) == nullptr ) {
		return Abandon( read );
	}
	return read.clump;
}
