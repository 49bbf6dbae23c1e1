// Skin streams: the portable, older and native geometry forms and the
// legacy atomic form, each checked before anything is trusted.
#include "graphics3d/world/RpSkin.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwFreeList.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/core/RwStreamData.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpGeometry.h"

#include "datatypes/base/DTByteOrder.h"

#include <cstring>

static const u32 MATRIX_WORDS			= 16;
static const u64 MATRIX_BYTES			= 64;
static const u64 SPLIT_HEADER_BYTES		= 12;
// The older form keeps 4 bytes before each matrix, the legacy atomic 12.
static const u64 OLDER_BONE_SKIP		= 4;
static const u64 LEGACY_BONE_SKIP		= 12;
static const u32 NATIVE_VERSION_LOW		= 0x34002;
static const u32 NATIVE_VERSION_HIGH	= 0x34003;
static const u32 NATIVE_BUILD			= 0xFFFF;
static const u32 STRUCT_CHUNK			= 0x01;
static const u32 BYTE_MASK				= 0xFF;

namespace {

bool Malformed() {
	_rwErrorSetCore( _rwerror( RWERR_READ ) );
	return false;
}

bool ReadBytes( RwStream* stream, void* out, const u64 bytes ) {
	return bytes == 0 || ( bytes <= 0xFFFFFFFFu && RwStreamRead( stream, out, static_cast<u32>( bytes ) ) == bytes );
}

bool ReadWords( RwStream* stream, void* out, const u64 count ) {
	return count == 0 || ( count * 4 <= 0xFFFFFFFFu && RwStreamReadInt32( stream, out, static_cast<u32>( count * 4 ) ) != nullptr );
}

bool Skip( RwStream* stream, const u64 bytes ) {
	return bytes == 0 || ( bytes <= 0xFFFFFFFFu && RwStreamSkip( stream, static_cast<u32>( bytes ) ) != nullptr );
}

// A matrix as sixteen words, little-endian or in the console's order.
bool ReadMatrix( RwStream* stream, RwMatrix* matrix, const bool bigEndian ) {
	u8 bytes[MATRIX_BYTES];
	if ( !ReadBytes( stream, bytes, MATRIX_BYTES ) ) {
		return false;
	}
	u32 words[MATRIX_WORDS];
	for ( u32 i = 0; i < MATRIX_WORDS; i++ ) {
		words[i] = bigEndian ? DTReadBE32( bytes + 4 * i ) : DTReadLE32( bytes + 4 * i );
	}
	static_assert( sizeof( RwMatrix ) == sizeof( words ), "a matrix is sixteen words" );
	std::memcpy( matrix, words, sizeof( words ) );
	return true;
}

RwStream* WriteMatrix( RwStream* stream, const RwMatrix* matrix, const bool bigEndian ) {
	u32 words[MATRIX_WORDS];
	std::memcpy( words, matrix, sizeof( words ) );
	u8 bytes[MATRIX_BYTES];
	for ( u32 i = 0; i < MATRIX_WORDS; i++ ) {
		if ( bigEndian ) {
			DTWriteBE32( bytes + 4 * i, words[i] );
		} else {
			DTWriteLE32( bytes + 4 * i, words[i] );
		}
	}
	return RwStreamWrite( stream, bytes, sizeof( bytes ) );
}

u64 SplitBlockBytes( const RpSkin* skin ) {
	return skin->numMeshes > 0 ? u64{ skin->numBones } + 2 * u64{ skin->numMeshes } + 2 * u64{ skin->numRuns } : 0;
}

// Runs inside the run array and the bones, at most 10 bones a mesh.
bool SplitValid( const RpSkin* skin ) {
	const u8* const meshes = skin->splitData + skin->numBones;
	const u8* const runs = meshes + 2 * skin->numMeshes;
	for ( u32 mesh = 0; mesh < skin->numMeshes; mesh++ ) {
		const u32 firstRun = meshes[2 * mesh];
		const u32 runCount = meshes[2 * mesh + 1];
		if ( firstRun + runCount > skin->numRuns ) {
			return false;
		}
		u32 bones = 0;
		for ( u32 run = firstRun; run < firstRun + runCount; run++ ) {
			const u32 firstBone = runs[2 * run];
			const u32 boneCount = runs[2 * run + 1];
			if ( firstBone + boneCount > skin->numBones ) {
				return false;
			}
			bones += boneCount;
		}
		if ( bones > RPSKIN_MAX_MESH_BONES ) {
			return false;
		}
	}
	return true;
}

// The split header and block; the block must fill what is left.
bool ReadSplit( RwStream* stream, RpSkin* skin, const u64 left ) {
	u32 header[3];
	if ( left < SPLIT_HEADER_BYTES || !ReadWords( stream, header, 3 ) ) {
		return left < SPLIT_HEADER_BYTES ? Malformed() : false;
	}
	skin->boneLimit = header[0];
	skin->numMeshes = header[1];
	skin->numRuns = header[2];
	const u64 block = SplitBlockBytes( skin );
	if ( left - SPLIT_HEADER_BYTES != block ) {
		skin->numMeshes = 0;
		skin->numRuns = 0;
		return Malformed();
	}
	if ( block == 0 ) {
		return true;
	}
	skin->splitData = static_cast<u8*>( RwEngineInstance->memoryFunctions.rwmalloc( static_cast<u32>( block ) ) );
	if ( skin->splitData == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, static_cast<u32>( block ) ) );
		return false;
	}
	return ReadBytes( stream, skin->splitData, block ) && ( SplitValid( skin ) || Malformed() );
}

// Used bones and the bones of weighted vertex slots name bones of the
// skin; a one-weight skin's vertices use bones of the used list.
bool BonesValid( const RpSkin* skin, const u32 vertices ) {
	for ( u32 i = 0; i < skin->numUsedBones; i++ ) {
		if ( skin->usedBones[i] >= skin->numBones ) {
			return false;
		}
	}
	for ( u32 v = 0; v < vertices && skin->vertexBoneIndices != nullptr; v++ ) {
		for ( u32 k = 0; k < RPSKIN_MAX_WEIGHTS; k++ ) {
			const u32 bone = ( skin->vertexBoneIndices[v] >> ( 8 * k ) ) & BYTE_MASK;
			if ( skin->vertexBoneWeights[v * RPSKIN_MAX_WEIGHTS + k] != 0.0f && bone >= skin->numBones ) {
				return false;
			}
		}
		if ( skin->maxNumWeights == 1 ) {
			const u8 bone = static_cast<u8>( skin->vertexBoneIndices[v] );
			bool used = false;
			for ( u32 i = 0; i < skin->numUsedBones && !used; i++ ) {
				used = skin->usedBones[i] == bone;
			}
			if ( !used ) {
				return false;
			}
		}
	}
	return true;
}

RwStream* Failed( RpSkin* skin ) {
	RpSkinDestroy( skin );
	return nullptr;
}

// A skin read whole: checked, then set on the geometry; destroyed when
// either fails.
RwStream* SetChecked( RwStream* stream, RpGeometry* geometry, RpSkin* skin, const u32 vertices ) {
	if ( !BonesValid( skin, vertices ) ) {
		Malformed();
		return Failed( skin );
	}
	return RpSkinGeometrySetSkin( geometry, skin ) != nullptr ? stream : Failed( skin );
}

// Indices, weights and matrices with skipBeforeMatrix bytes before each;
// the used bones and maxNumWeights are computed.
RpSkin* ReadComputedSkin( RwStream* stream, const u32 numBones, const u32 vertices, const u64 skipBeforeMatrix ) {
	RpSkin* const skin = SkinCreateSkinData( numBones, numBones, vertices, nullptr, nullptr, nullptr, nullptr );
	if ( skin == nullptr ) {
		return nullptr;
	}
	if ( !ReadWords( stream, skin->vertexBoneIndices, vertices ) ||
		 !ReadWords( stream, skin->vertexBoneWeights, u64{ vertices } * RPSKIN_MAX_WEIGHTS ) ) {
		RpSkinDestroy( skin );
		return nullptr;
	}
	for ( u32 b = 0; b < numBones; b++ ) {
		if ( !Skip( stream, skipBeforeMatrix ) || !ReadMatrix( stream, &skin->skinToBoneMatrices[b], false ) ) {
			RpSkinDestroy( skin );
			return nullptr;
		}
	}
	skin->maxNumWeights = SkinFindMaxWeights( skin, vertices );
	SkinFindNumUsedBones( skin, vertices );
	return skin;
}

RwStream* ReadPortable( RwStream* stream, const u64 length, RpGeometry* geometry, const u32 first ) {
	const u32 vertices = static_cast<u32>( geometry->numVertices );
	const u32 numBones = first & BYTE_MASK;
	const u32 numUsed = ( first >> 8 ) & BYTE_MASK;
	const u32 m = ( first >> 16 ) & BYTE_MASK;
	if ( m == 0 ) {
		// The older form: no used-bone list, no split data.
		if ( length != 4 + 20 * u64{ vertices } + ( OLDER_BONE_SKIP + MATRIX_BYTES ) * numBones ) {
			Malformed();
			return nullptr;
		}
		RpSkin* const skin = ReadComputedSkin( stream, numBones, vertices, OLDER_BONE_SKIP );
		return skin != nullptr ? SetChecked( stream, geometry, skin, vertices ) : nullptr;
	}
	const u64 fixed = 4 + u64{ numUsed } + 20 * u64{ vertices } + MATRIX_BYTES * numBones;
	if ( numUsed > numBones || m > RPSKIN_MAX_WEIGHTS || length < fixed + SPLIT_HEADER_BYTES ) {
		Malformed();
		return nullptr;
	}
	RpSkin* const skin = SkinCreateSkinData( numBones, numUsed, vertices, nullptr, nullptr, nullptr, nullptr );
	if ( skin == nullptr ) {
		return nullptr;
	}
	skin->maxNumWeights = m;
	if ( !ReadBytes( stream, skin->usedBones, numUsed ) || !ReadWords( stream, skin->vertexBoneIndices, vertices ) ||
		 !ReadWords( stream, skin->vertexBoneWeights, u64{ vertices } * RPSKIN_MAX_WEIGHTS ) ) {
		return Failed( skin );
	}
	for ( u32 b = 0; b < numBones; b++ ) {
		if ( !ReadMatrix( stream, &skin->skinToBoneMatrices[b], false ) ) {
			return Failed( skin );
		}
	}
	if ( !ReadSplit( stream, skin, length - fixed ) ) {
		return Failed( skin );
	}
	return SetChecked( stream, geometry, skin, vertices );
}

// The native form: one struct chunk with the platform word, the counts,
// the used bones, the quantised arrays, big-endian matrices and the split.
RwStream* ReadNative( RwStream* stream, const u64 length, RpGeometry* geometry ) {
	u32 type = 0;
	u32 chunkLength = 0;
	u32 version = 0;
	if ( !_rwStreamReadChunkHeader( stream, &type, &chunkLength, &version, nullptr ) ) {
		return nullptr;
	}
	if ( type != STRUCT_CHUNK || length != 12 + u64{ chunkLength } ) {
		Malformed();
		return nullptr;
	}
	if ( version != NATIVE_VERSION_LOW && version != NATIVE_VERSION_HIGH ) {
		_rwErrorSetCore( _rwerror( RWERR_BAD_VERSION, version ) );
		return nullptr;
	}
	u32 words[2];
	if ( !ReadWords( stream, words, 2 ) ) {
		return nullptr;
	}
	// Another platform's data is refused without an error.
	if ( words[0] != RPSKIN_NATIVE_PLATFORM ) {
		return nullptr;
	}
	const u32 vertices = static_cast<u32>( geometry->numVertices );
	const u32 numBones = words[1] & BYTE_MASK;
	const u32 numUsed = ( words[1] >> 8 ) & BYTE_MASK;
	const u32 m = ( words[1] >> 16 ) & BYTE_MASK;
	const u64 quantised = m > 1 ? 2 * u64{ vertices } * m : 0;
	const u64 fixed = 8 + u64{ numUsed } + quantised + MATRIX_BYTES * numBones;
	if ( numUsed > numBones || m < 1 || m > RPSKIN_MAX_WEIGHTS || chunkLength < fixed + SPLIT_HEADER_BYTES ) {
		Malformed();
		return nullptr;
	}
	RpSkinGlobals& g = _rpSkinGlobals;
	RpSkin* const skin = g.freeList != nullptr ? static_cast<RpSkin*>( RwEngineInstance->freeListAllocHook( g.freeList ) ) : nullptr;
	if ( skin == nullptr ) {
		return nullptr;
	}
	std::memset( skin, 0, sizeof( RpSkin ) );
	const u64 bytes = numUsed + 15 + MATRIX_BYTES * numBones + quantised;
	u8* const block = static_cast<u8*>( RwEngineInstance->memoryFunctions.rwmalloc( static_cast<u32>( bytes ) ) );
	if ( block == nullptr ) {
		RwEngineInstance->freeListFreeHook( g.freeList, skin );
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, static_cast<u32>( bytes ) ) );
		return nullptr;
	}
	std::memset( block, 0, static_cast<size_t>( bytes ) );
	skin->data = block;
	skin->numBones = numBones;
	skin->numUsedBones = numUsed;
	skin->maxNumWeights = m;
	skin->usedBones = block;
	skin->skinToBoneMatrices =
		reinterpret_cast<RwMatrix*>( ( reinterpret_cast<uintptr_t>( block + numUsed ) + 15 ) & ~uintptr_t{ 15 } );
	u8* const quantisedBase = reinterpret_cast<u8*>( skin->skinToBoneMatrices + numBones );
	if ( m > 1 ) {
		skin->quantisedIndices = quantisedBase;
		skin->quantisedWeights = quantisedBase + u64{ vertices } * m;
	}
	if ( !ReadBytes( stream, skin->usedBones, numUsed ) ||
		 ( m > 1 && ( !ReadBytes( stream, skin->quantisedIndices, u64{ vertices } * m ) ||
					  !ReadBytes( stream, skin->quantisedWeights, u64{ vertices } * m ) ) ) ) {
		return Failed( skin );
	}
	for ( u32 b = 0; b < numBones; b++ ) {
		if ( !ReadMatrix( stream, &skin->skinToBoneMatrices[b], true ) ) {
			return Failed( skin );
		}
	}
	if ( !ReadSplit( stream, skin, chunkLength - fixed ) ) {
		return Failed( skin );
	}
	bool valid = BonesValid( skin, 0 );
	for ( u64 i = 0; valid && i < u64{ vertices } * ( m > 1 ? m : 0 ); i++ ) {
		valid = skin->quantisedIndices[i] < numBones;
	}
	if ( !valid ) {
		Malformed();
		return Failed( skin );
	}
	return RpSkinGeometrySetSkin( geometry, skin ) != nullptr ? stream : Failed( skin );
}

u64 PortableBytes( const RpSkin* skin, const u32 vertices ) {
	return 4 + u64{ skin->numUsedBones } + 20 * u64{ vertices } + MATRIX_BYTES * skin->numBones + SPLIT_HEADER_BYTES +
		   SplitBlockBytes( skin );
}

u64 NativeStructBytes( const RpSkin* skin, const u32 vertices ) {
	const u64 quantised = skin->maxNumWeights > 1 ? 2 * u64{ vertices } * skin->maxNumWeights : 0;
	return 8 + u64{ skin->numUsedBones } + quantised + MATRIX_BYTES * skin->numBones + SPLIT_HEADER_BYTES +
		   SplitBlockBytes( skin );
}

RwStream* WriteSplit( RwStream* stream, const RpSkin* skin ) {
	const u32 header[3] = { skin->boneLimit, skin->numMeshes, skin->numRuns };
	if ( RwStreamWriteInt32( stream, header, sizeof( header ) ) == nullptr ) {
		return nullptr;
	}
	const u64 block = SplitBlockBytes( skin );
	return block == 0 ? stream : RwStreamWrite( stream, skin->splitData, static_cast<u32>( block ) );
}

u32 CountsWord( const RpSkin* skin ) {
	return ( skin->numBones & BYTE_MASK ) | ( skin->numUsedBones & BYTE_MASK ) << 8 | ( skin->maxNumWeights & BYTE_MASK ) << 16;
}

}	// namespace

RwStream* SkinGeometryRead( RwStream* stream, const s32 length, void* object, s32, s32 ) {
	RpGeometry* const geometry = static_cast<RpGeometry*>( object );
	// One skin a geometry: a second skin chunk would orphan the first.
	if ( length < 4 || RpSkinGeometryGetSkin( geometry ) != nullptr ) {
		Malformed();
		return nullptr;
	}
	if ( geometry->flags & rpGEOMETRYNATIVE ) {
		return ReadNative( stream, static_cast<u64>( length ), geometry );
	}
	u32 first = 0;
	if ( !ReadWords( stream, &first, 1 ) ) {
		return nullptr;
	}
	return ReadPortable( stream, static_cast<u64>( length ), geometry, first );
}

RwStream* SkinGeometryWrite( RwStream* stream, s32, const void* object, s32, s32 ) {
	const RpGeometry* const geometry = static_cast<const RpGeometry*>( object );
	const RpSkin* const skin = RpSkinGeometryGetSkin( geometry );
	if ( skin == nullptr ) {
		return stream;
	}
	const u32 vertices = static_cast<u32>( geometry->numVertices );
	const u32 counts = CountsWord( skin );
	const bool native = ( geometry->flags & rpGEOMETRYNATIVE ) != 0;
	if ( native ) {
		const u32 header[2] = { RPSKIN_NATIVE_PLATFORM, counts };
		if ( _rwStreamWriteVersionedChunkHeader( stream, STRUCT_CHUNK, static_cast<u32>( NativeStructBytes( skin, vertices ) ),
												 NATIVE_VERSION_HIGH, NATIVE_BUILD ) == nullptr ||
			 RwStreamWriteInt32( stream, header, sizeof( header ) ) == nullptr ||
			 RwStreamWrite( stream, skin->usedBones, skin->numUsedBones ) == nullptr ) {
			return nullptr;
		}
		const u32 quantised = vertices * skin->maxNumWeights;
		if ( skin->maxNumWeights > 1 && ( RwStreamWrite( stream, skin->quantisedIndices, quantised ) == nullptr ||
										  RwStreamWrite( stream, skin->quantisedWeights, quantised ) == nullptr ) ) {
			return nullptr;
		}
	} else if ( RwStreamWriteInt32( stream, &counts, sizeof( counts ) ) == nullptr ||
				RwStreamWrite( stream, skin->usedBones, skin->numUsedBones ) == nullptr ||
				RwStreamWriteInt32( stream, skin->vertexBoneIndices, vertices * 4 ) == nullptr ||
				RwStreamWriteInt32( stream, skin->vertexBoneWeights, vertices * 16 ) == nullptr ) {
		return nullptr;
	}
	for ( u32 b = 0; b < skin->numBones; b++ ) {
		if ( WriteMatrix( stream, &skin->skinToBoneMatrices[b], native ) == nullptr ) {
			return nullptr;
		}
	}
	return WriteSplit( stream, skin );
}

s32 SkinGeometrySize( const void* object, s32, s32 ) {
	const RpGeometry* const geometry = static_cast<const RpGeometry*>( object );
	const RpSkin* const skin = RpSkinGeometryGetSkin( geometry );
	if ( skin == nullptr ) {
		return 0;
	}
	const u32 vertices = static_cast<u32>( geometry->numVertices );
	if ( geometry->flags & rpGEOMETRYNATIVE ) {
		// The native data written after the skin must be the geometry's own
		// arrays, not a blend.
		_rpSkinGiveBackSources( const_cast<RpSkin*>( skin ), geometry->repEntry );
		return static_cast<s32>( 12 + NativeStructBytes( skin, vertices ) );
	}
	return static_cast<s32>( PortableBytes( skin, vertices ) );
}

RwStream* SkinAtomicRead( RwStream* stream, const s32 length, void* object, s32, s32 ) {
	const RpAtomic* const atomic = static_cast<const RpAtomic*>( object );
	RpGeometry* const geometry = atomic->geometry;
	// A geometry that has its skin already keeps it.
	if ( geometry == nullptr || RpSkinGeometryGetSkin( geometry ) != nullptr ) {
		return Skip( stream, static_cast<u64>( length > 0 ? length : 0 ) ) ? stream : nullptr;
	}
	u32 words[2];
	if ( length < 8 || !ReadWords( stream, words, 2 ) ) {
		return length < 8 ? ( Malformed(), nullptr ) : nullptr;
	}
	const u32 vertices = static_cast<u32>( geometry->numVertices );
	const u32 numBones = words[0];
	if ( numBones > RPSKIN_MAX_BONES ||
		 static_cast<u64>( length ) != 8 + 20 * u64{ vertices } + ( LEGACY_BONE_SKIP + MATRIX_BYTES ) * numBones ) {
		Malformed();
		return nullptr;
	}
	RpSkin* const skin = ReadComputedSkin( stream, numBones, vertices, LEGACY_BONE_SKIP );
	return skin != nullptr ? SetChecked( stream, geometry, skin, vertices ) : nullptr;
}

RwStream* SkinAtomicWrite( RwStream* stream, s32, const void*, s32, s32 ) {
	return stream;
}

s32 SkinAtomicGetSize( const void*, s32, s32 ) {
	return 0;
}
