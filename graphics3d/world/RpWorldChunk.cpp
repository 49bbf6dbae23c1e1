// Reading a world chunk into one block: the world, its plane sectors,
// its atomic sectors with their plug-in data and, unless native, every
// sector's arrays.
#include "graphics3d/world/RpWorld.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/world/RpMesh.h"
#include "graphics3d/world/RpStructChunk.h"
#include "graphics3d/world/RpWorldObj.h"

#include "datatypes/base/DTByteOrder.h"

#include <cstring>

// The struct from 0x34001 (with the bounding box) and before it (with
// three unused surface floats and no box).
static const u32 WORLD_STRUCT_BYTES			= 64;
static const u32 WORLD_STRUCT_OLD_BYTES		= 52;
static const u32 WORLD_STRUCT_COUNTS_VERSION	= 0x34001;
static const u32 WORLD_STRUCT_BOX_VERSION	= 0x34003;
static const u32 PLANE_STRUCT_BYTES			= 24;
static const u32 SECTOR_STRUCT_BYTES		= 44;
// Sector triangles are four u16 from this chunk version, four u8 before.
static const u32 SECTOR_WIDE_TRIANGLES_VERSION = 0x30400;
static const u32 WIDE_TRIANGLE_BYTES		= 8;
static const u32 NARROW_TRIANGLE_BYTES		= 4;
static const u32 PACKED_BYTES				= 4;
static const u64 BLOCK_ALIGNMENT			= 8;
static const u32 MAX_U16_COUNT				= 0xFFFF;
// The least a stored sector takes: chunk and struct headers and the
// struct (atomic), or the same for a plane sector.
static const u64 MIN_ATOMIC_SECTOR_BYTES	= 12 + 12 + SECTOR_STRUCT_BYTES;
static const u64 MIN_PLANE_SECTOR_BYTES		= 12 + 12 + PLANE_STRUCT_BYTES;
// Arrays a sector may hold: positions, normals, pre-lit colours, the
// sets and the triangles.
static const u64 ARRAYS_PER_SECTOR			= 4 + RPGEOMETRY_MAX_TEXCOORD_SETS;
static const u32 READ_GROUP_BYTES			= 4096;

namespace {

u64 Align( const u64 bytes ) {
	return ( bytes + BLOCK_ALIGNMENT - 1 ) & ~( BLOCK_ALIGNMENT - 1 );
}

bool Malformed() {
	_rwErrorSetCore( _rwerror( RWERR_READ ) );
	return false;
}

bool ReadExactly( RwStream* stream, void* buffer, const u64 bytes ) {
	return bytes <= 0xFFFFFFFFu && RwStreamRead( stream, buffer, static_cast<u32>( bytes ) ) == bytes;
}

bool ReadFloats( RwStream* stream, f32* out, const u64 count ) {
	u8 bytes[READ_GROUP_BYTES];
	for ( u64 i = 0; i < count; ) {
		const u64 group = count - i < READ_GROUP_BYTES / 4 ? count - i : READ_GROUP_BYTES / 4;
		if ( !ReadExactly( stream, bytes, group * 4 ) ) {
			return false;
		}
		for ( u64 k = 0; k < group; k++ ) {
			out[i + k] = DTReadLEF32( bytes + k * 4 );
		}
		i += group;
	}
	return true;
}

RwV3d ReadV3d( const u8* bytes ) {
	return { DTReadLEF32( bytes ), DTReadLEF32( bytes + 4 ), DTReadLEF32( bytes + 8 ) };
}

// The world chunk's struct, decoded.
struct WorldStruct {
	bool		rootIsAtomic;
	RwV3d		inverseOrigin;
	s32			numTriangles;
	s32			numVertices;
	s32			numPlaneSectors;
	s32			numAtomicSectors;
	s32			collSectorSize;
	u32			format;
	RwBBox		box;
	u32			version;
};

// State of one read: where the next record goes and what is used.
struct WorldReader {
	RwStream*		stream;
	RpWorld*		world;
	u8*				block;
	u64				blockSize;
	u64				planeCursor;
	u64				sectorCursor;
	u64				arrayCursor;
	u64				sectorStride;
	s32				planesLeft;
	s32				sectorsLeft;
	s64				verticesLeft;
	s64				trianglesLeft;
	s32				constructedSectors;
	RpWorldSector*	firstSector;
};

bool ReadWorldStruct( RwStream* stream, WorldStruct* out ) {
	u8 bytes[WORLD_STRUCT_BYTES];
	if ( !_rpStructChunkRead( stream, bytes, WORLD_STRUCT_BYTES, &out->version ) ) {
		return false;
	}
	// Old structs hold three surface floats before the counts.
	const u32 counts = out->version >= WORLD_STRUCT_COUNTS_VERSION ? 16 : 28;
	out->rootIsAtomic = DTReadLES32( bytes ) != 0;
	out->inverseOrigin = ReadV3d( bytes + 4 );
	out->numTriangles = DTReadLES32( bytes + counts );
	out->numVertices = DTReadLES32( bytes + counts + 4 );
	out->numPlaneSectors = DTReadLES32( bytes + counts + 8 );
	out->numAtomicSectors = DTReadLES32( bytes + counts + 12 );
	out->collSectorSize = DTReadLES32( bytes + counts + 16 );
	out->format = DTReadLE32( bytes + counts + 20 );
	out->box = { ReadV3d( bytes + 40 ), ReadV3d( bytes + 52 ) };
	static_assert( WORLD_STRUCT_OLD_BYTES == 28 + 24, "old struct ends after the format" );
	return true;
}

// Frees what a failed read built before the world's own constructors ran.
void FreeBlock( WorldReader& reader ) {
	for ( s32 i = 0; i < reader.constructedSectors; i++ ) {
		RpWorldSector* const sector =
			reinterpret_cast<RpWorldSector*>( reinterpret_cast<u8*>( reader.firstSector ) + reader.sectorStride * i );
		if ( sector->mesh != nullptr ) {
			_rpMeshDestroy( sector->mesh );
			sector->mesh = nullptr;
		}
		_rpWorldSectorRelease( sector );
	}
	_rpMaterialListDeinitialize( &reader.world->matList );
	_rpWorldUnregisterWorld( reader.world );
	RwEngineInstance->memoryFunctions.rwfree( reader.block );
}

void* TakeArray( WorldReader& reader, const u64 bytes ) {
	void* const array = reader.block + reader.arrayCursor;
	reader.arrayCursor += Align( bytes );
	return array;
}

bool ReadSectorArrays( WorldReader& reader, RpWorldSector* sector, const u32 version ) {
	const u32 flags = reader.world->flags;
	const u64 vertices = sector->numVertices;
	if ( vertices != 0 ) {
		sector->vertices = static_cast<RwV3d*>( TakeArray( reader, vertices * sizeof( RwV3d ) ) );
		if ( !ReadFloats( reader.stream, &sector->vertices->x, vertices * 3 ) ) {
			return false;
		}
		if ( flags & rpGEOMETRYNORMALS ) {
			sector->normals = static_cast<RpVertexNormal*>( TakeArray( reader, vertices * PACKED_BYTES ) );
			if ( !ReadExactly( reader.stream, sector->normals, vertices * PACKED_BYTES ) ) {
				return false;
			}
		}
		if ( flags & rpGEOMETRYPRELIT ) {
			sector->preLitLum = static_cast<RwRGBA*>( TakeArray( reader, vertices * PACKED_BYTES ) );
			if ( !ReadExactly( reader.stream, sector->preLitLum, vertices * PACKED_BYTES ) ) {
				return false;
			}
		}
		for ( s32 set = 0; set < reader.world->numTexCoordSets; set++ ) {
			sector->texCoords[set] = static_cast<RwTexCoords*>( TakeArray( reader, vertices * sizeof( RwTexCoords ) ) );
			if ( !ReadFloats( reader.stream, &sector->texCoords[set]->u, vertices * 2 ) ) {
				return false;
			}
		}
	}
	if ( sector->numTriangles != 0 ) {
		sector->triangles =
			static_cast<RpSectorTriangle*>( TakeArray( reader, u64{ sector->numTriangles } * sizeof( RpSectorTriangle ) ) );
		if ( !_rpWorldSectorReadTriangles( reader.stream, sector, version ) ) {
			return false;
		}
		const u32 materials = static_cast<u32>( reader.world->matList.numMaterials );
		for ( u32 i = 0; i < sector->numTriangles; i++ ) {
			const RpSectorTriangle& triangle = sector->triangles[i];
			if ( u32{ sector->matListWindowBase } + triangle.matIndex >= materials ) {
				return Malformed();
			}
			for ( const u16 v : triangle.vertIndex ) {
				if ( v >= sector->numVertices ) {
					return Malformed();
				}
			}
		}
	}
	return true;
}

RpSector* ReadSector( WorldReader& reader, bool atomic, s32 depth );

RpSector* ReadAtomicSector( WorldReader& reader ) {
	u32 version = 0;
	if ( !RwStreamFindChunk( reader.stream, rwID_ATOMICSECT, nullptr, &version ) ) {
		return nullptr;
	}
	u8 bytes[SECTOR_STRUCT_BYTES];
	if ( !_rpStructChunkRead( reader.stream, bytes, SECTOR_STRUCT_BYTES, nullptr ) ) {
		return nullptr;
	}
	const s32 windowBase = DTReadLES32( bytes );
	const s32 numTriangles = DTReadLES32( bytes + 4 );
	const s32 numVertices = DTReadLES32( bytes + 8 );
	if ( reader.sectorsLeft <= 0 || windowBase < 0 || static_cast<u32>( windowBase ) > MAX_U16_COUNT ||
		 numTriangles < 0 || static_cast<u32>( numTriangles ) > MAX_U16_COUNT || numVertices < 0 ||
		 static_cast<u32>( numVertices ) > MAX_U16_COUNT || numTriangles > reader.trianglesLeft ||
		 numVertices > reader.verticesLeft ) {
		Malformed();
		return nullptr;
	}
	reader.sectorsLeft--;
	reader.trianglesLeft -= numTriangles;
	reader.verticesLeft -= numVertices;
	RpWorldSector* const sector = reinterpret_cast<RpWorldSector*>( reader.block + reader.sectorCursor );
	reader.sectorCursor += reader.sectorStride;
	sector->type = rpWORLDSECTOR_ATOMIC;
	rwLinkListInitialize( &sector->collAtomicsInWorldSector );
	rwLinkListInitialize( &sector->noCollAtomicsInWorldSector );
	rwLinkListInitialize( &sector->lightsInWorldSector );
	sector->tightBoundingBox = { ReadV3d( bytes + 24 ), ReadV3d( bytes + 12 ) };
	sector->matListWindowBase = static_cast<u16>( windowBase );
	sector->numTriangles = static_cast<u16>( numTriangles );
	sector->numVertices = static_cast<u16>( numVertices );
	if ( ( reader.world->flags & rpGEOMETRYNATIVE ) == 0 && !ReadSectorArrays( reader, sector, version ) ) {
		return nullptr;
	}
	if ( _rwPluginRegistryInitObject( &sectorTKList, sector ) == nullptr ) {
		return nullptr;
	}
	reader.constructedSectors++;
	_rpSectorRightsState = { 0, 0 };
	if ( _rwPluginRegistryReadDataChunks( &sectorTKList, reader.stream, sector ) == nullptr ) {
		return nullptr;
	}
	if ( _rpSectorRightsState.pluginID != 0 ) {
		_rwPluginRegistryInvokeRights( &sectorTKList, _rpSectorRightsState.pluginID, sector,
									   _rpSectorRightsState.extraData );
	}
	return reinterpret_cast<RpSector*>( sector );
}

RpSector* ReadPlaneSector( WorldReader& reader, const s32 depth ) {
	if ( !RwStreamFindChunk( reader.stream, rwID_PLANESECT, nullptr, nullptr ) ) {
		return nullptr;
	}
	u8 bytes[PLANE_STRUCT_BYTES];
	if ( !_rpStructChunkRead( reader.stream, bytes, PLANE_STRUCT_BYTES, nullptr ) ) {
		return nullptr;
	}
	const s32 type = DTReadLES32( bytes );
	// The type is a byte offset into a vector, and the walks' stacks hold
	// RPWORLD_MAX_TREE_DEPTH plane sectors.
	if ( ( type != 0 && type != 4 && type != 8 ) || reader.planesLeft <= 0 || depth >= RPWORLD_MAX_TREE_DEPTH ) {
		Malformed();
		return nullptr;
	}
	reader.planesLeft--;
	RpPlaneSector* const plane = reinterpret_cast<RpPlaneSector*>( reader.block + reader.planeCursor );
	reader.planeCursor += sizeof( RpPlaneSector );
	plane->type = type;
	plane->value = DTReadLEF32( bytes + 4 );
	plane->leftValue = DTReadLEF32( bytes + 16 );
	plane->rightValue = DTReadLEF32( bytes + 20 );
	if ( ( reader.world->flags & rpWORLDSECTORSOVERLAP ) == 0 ) {
		plane->leftValue = plane->value;
		plane->rightValue = plane->value;
	}
	plane->leftSubTree = ReadSector( reader, DTReadLES32( bytes + 8 ) != 0, depth + 1 );
	if ( plane->leftSubTree == nullptr ) {
		return nullptr;
	}
	plane->rightSubTree = ReadSector( reader, DTReadLES32( bytes + 12 ) != 0, depth + 1 );
	if ( plane->rightSubTree == nullptr ) {
		return nullptr;
	}
	return reinterpret_cast<RpSector*>( plane );
}

RpSector* ReadSector( WorldReader& reader, const bool atomic, const s32 depth ) {
	return atomic ? ReadAtomicSector( reader ) : ReadPlaneSector( reader, depth );
}

// Checks the counts and sizes the block; false on counts no stream of
// this length can hold.
bool SizeBlock( RwStream* stream, const WorldStruct& info, const u32 sets, u64* size ) {
	if ( info.numTriangles < 0 || info.numVertices < 0 || info.numPlaneSectors < 0 || info.numAtomicSectors < 0 ||
		 sets > static_cast<u32>( RPGEOMETRY_MAX_TEXCOORD_SETS ) ) {
		return Malformed();
	}
	const bool native = ( info.format & rpGEOMETRYNATIVE ) != 0;
	const u64 vertices = static_cast<u64>( info.numVertices );
	const u64 triangles = static_cast<u64>( info.numTriangles );
	u32 left = 0;
	if ( _rwStreamBytesLeft( stream, &left ) ) {
		u64 least = MIN_ATOMIC_SECTOR_BYTES * static_cast<u64>( info.numAtomicSectors ) +
					MIN_PLANE_SECTOR_BYTES * static_cast<u64>( info.numPlaneSectors );
		// Positions and the narrowest triangles are stored for each.
		least += native ? 0 : vertices * sizeof( RwV3d ) + triangles * NARROW_TRIANGLE_BYTES;
		if ( least > left ) {
			return Malformed();
		}
	}
	u64 bytes = Align( static_cast<u64>( worldTKList.sizeOfStruct ) ) +
				sizeof( RpPlaneSector ) * static_cast<u64>( info.numPlaneSectors ) +
				Align( static_cast<u64>( sectorTKList.sizeOfStruct ) ) * static_cast<u64>( info.numAtomicSectors );
	bytes = Align( bytes );
	if ( !native ) {
		u64 perVertex = sizeof( RwV3d ) + sizeof( RwTexCoords ) * sets;
		perVertex += ( info.format & rpGEOMETRYNORMALS ) ? PACKED_BYTES : 0;
		perVertex += ( info.format & rpGEOMETRYPRELIT ) ? PACKED_BYTES : 0;
		bytes += vertices * perVertex + triangles * sizeof( RpSectorTriangle );
		// Every array of every sector starts aligned.
		bytes += ARRAYS_PER_SECTOR * BLOCK_ALIGNMENT * static_cast<u64>( info.numAtomicSectors );
	}
	*size = bytes;
	return true;
}

}	// namespace

bool _rpWorldSectorReadTriangles( RwStream* stream, RpWorldSector* sector, const u32 version ) {
	const bool wide = version >= SECTOR_WIDE_TRIANGLES_VERSION;
	const u32 recordBytes = wide ? WIDE_TRIANGLE_BYTES : NARROW_TRIANGLE_BYTES;
	u8 bytes[WIDE_TRIANGLE_BYTES];
	for ( u32 i = 0; i < sector->numTriangles; i++ ) {
		if ( !ReadExactly( stream, bytes, recordBytes ) ) {
			return false;
		}
		RpSectorTriangle& triangle = sector->triangles[i];
		if ( wide ) {
			triangle.matIndex = DTReadLE16( bytes );
			for ( u32 k = 0; k < 3; k++ ) {
				triangle.vertIndex[k] = DTReadLE16( bytes + 2 + 2 * k );
			}
		} else {
			triangle.matIndex = bytes[0];
			for ( u32 k = 0; k < 3; k++ ) {
				triangle.vertIndex[k] = bytes[1 + k];
			}
		}
	}
	return true;
}

RpWorld* RpWorldStreamRead( RwStream* stream ) {
	WorldStruct info = {};
	if ( !ReadWorldStruct( stream, &info ) ) {
		return nullptr;
	}
	if ( info.collSectorSize > 0 ) {
		_rwErrorSetCore( _rwerror( RWERR_BAD_VERSION, info.collSectorSize ) );
		return nullptr;
	}
	const u32 sets = static_cast<u32>( _rpGeometryTexCoordSets( info.format ) );
	u64 size = 0;
	if ( !SizeBlock( stream, info, sets, &size ) ) {
		return nullptr;
	}
	u8* const block = size <= 0xFFFFFFFFu ? static_cast<u8*>( RwEngineInstance->memoryFunctions.rwmalloc( static_cast<u32>( size ) ) )
										  : nullptr;
	if ( block == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, static_cast<u32>( size ) ) );
		return nullptr;
	}
	std::memset( block, 0, static_cast<size_t>( size ) );
	RpWorld* const world = reinterpret_cast<RpWorld*>( block );
	world->object = { rpWORLD, 0, 0, rpWORLDSINGLEMALLOC, nullptr };
	world->flags = info.format;
	world->renderOrder = rpWORLDRENDERBACK2FRONT;
	_rpMaterialListInitialize( &world->matList );
	world->numTexCoordSets = static_cast<s32>( sets );
	rwLinkListInitialize( &world->clumpList );
	rwLinkListInitialize( &world->lightList );
	rwLinkListInitialize( &world->directionalLightList );
	world->worldOrigin = { -info.inverseOrigin.x, -info.inverseOrigin.y, -info.inverseOrigin.z };
	if ( !_rpWorldRegisterWorld( world, static_cast<u32>( size ) ) ) {
		RwEngineInstance->memoryFunctions.rwfree( block );
		return nullptr;
	}
	WorldReader reader = {};
	reader.stream = stream;
	reader.world = world;
	reader.block = block;
	reader.blockSize = size;
	reader.planeCursor = Align( static_cast<u64>( worldTKList.sizeOfStruct ) );
	reader.sectorCursor = Align( reader.planeCursor + sizeof( RpPlaneSector ) * static_cast<u64>( info.numPlaneSectors ) );
	reader.sectorStride = Align( static_cast<u64>( sectorTKList.sizeOfStruct ) );
	reader.arrayCursor = Align( reader.sectorCursor + reader.sectorStride * static_cast<u64>( info.numAtomicSectors ) );
	reader.firstSector = reinterpret_cast<RpWorldSector*>( block + reader.sectorCursor );
	reader.planesLeft = info.numPlaneSectors;
	reader.sectorsLeft = info.numAtomicSectors;
	reader.verticesLeft = info.numVertices;
	reader.trianglesLeft = info.numTriangles;
	if ( !RwStreamFindChunk( stream, rwID_MATLIST, nullptr, nullptr ) ||
		 _rpMaterialListStreamRead( stream, &world->matList ) == nullptr ) {
		FreeBlock( reader );
		return nullptr;
	}
	world->rootSector = ReadSector( reader, info.rootIsAtomic, 0 );
	if ( world->rootSector == nullptr ) {
		FreeBlock( reader );
		return nullptr;
	}
	if ( info.version >= WORLD_STRUCT_BOX_VERSION ) {
		world->boundingBox = info.box;
	} else {
		_rpWorldFindBBox( world, &world->boundingBox );
	}
	_rpWorldSetupSectorBoundingBoxes( world );
	world->renderCallBack = _rpWorldSectorDefaultRenderCallBack;
	if ( _rwPluginRegistryInitObject( &worldTKList, world ) == nullptr ) {
		FreeBlock( reader );
		return nullptr;
	}
	_rpWorldRightsState = { 0, 0 };
	if ( _rwPluginRegistryReadDataChunks( &worldTKList, stream, world ) == nullptr ) {
		RpWorldDestroy( world );
		return nullptr;
	}
	if ( _rpWorldRightsState.pluginID != 0 ) {
		_rwPluginRegistryInvokeRights( &worldTKList, _rpWorldRightsState.pluginID, world, _rpWorldRightsState.extraData );
	}
	if ( RpWorldUnlock( world ) == nullptr ) {
		RpWorldDestroy( world );
		return nullptr;
	}
	return world;
}
