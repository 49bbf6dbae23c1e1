#include "graphics3d/world/RpMesh.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwFreeList.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/world/RpMaterial.h"
#include "graphics3d/world/RpTriStrip.h"

#include <cstring>

RwModuleInfo meshModule;

// The build-mesh free list, from the first open of the module to the last
// close.
static RwFreeList* buildMeshFreeList = nullptr;

// The header every build mesh without triangles yields, and the strip
// generator with its data word.
struct RpTriStripGenerator {
	RpMeshHeader			emptyHeader;
	RpTriStripMeshCallBack	callBack;
	void*					data;
};
static RpTriStripGenerator stripGenerator = { { 0, 0, 0, 0, 0 }, RpBuildMeshGenerateDefaultTriStrip, nullptr };

// Header blocks keep their meshes' pointers aligned.
static const u64 HEADER_BLOCK_ALIGNMENT = 8;

// Pixel formats (cFormat & 0x0F) of rasters with alpha: 1555, 4444, 8888.
static const u8 RASTER_PIXEL_FORMAT_MASK	= 0x0F;
static const u8 PIXEL_FORMAT_1555			= 1;
static const u8 PIXEL_FORMAT_4444			= 3;
static const u8 PIXEL_FORMAT_8888			= 5;
static const u8 OPAQUE_ALPHA				= 255;

// Key bits of the mesh order, most significant first.
static const s32 KEY_TRANSPARENT	= 16;
static const s32 KEY_RASTER			= 8;
static const s32 KEY_PIPELINE		= 4;
static const s32 KEY_TEXTURE		= 2;
static const s32 KEY_MATERIAL		= 1;

RpMeshGlobals* _rpMeshGlobals() {
	RwGlobals* const instance = RwEngineInstance;
	if ( meshModule.numInstances <= 0 || instance == nullptr || instance == &staticGlobals ) {
		return nullptr;
	}
	return RwPluginData<RpMeshGlobals>( instance, meshModule.globalsOffset );
}

u16 _rpMeshGetNextSerialNumber() {
	RpMeshGlobals* const globals = _rpMeshGlobals();
	if ( globals == nullptr ) {
		return 0;
	}
	return globals->nextSerialNum++;
}

u32 _rpMeshHeaderBlockSize( const u32 numMeshes, const u32 numIndices ) {
	const u64 bytes = sizeof( RpMeshHeader ) + static_cast<u64>( numMeshes ) * sizeof( RpMesh ) +
					  static_cast<u64>( numIndices ) * sizeof( u16 );
	const u64 aligned = ( bytes + HEADER_BLOCK_ALIGNMENT - 1 ) & ~( HEADER_BLOCK_ALIGNMENT - 1 );
	return aligned > 0xFFFFFFFFu ? 0 : static_cast<u32>( aligned );
}

RpBuildMesh* _rpBuildMeshCreate( const u32 triangleCount ) {
	if ( buildMeshFreeList == nullptr ) {
		return nullptr;
	}
	RpBuildMesh* const buildMesh = static_cast<RpBuildMesh*>( RwEngineInstance->freeListAllocHook( buildMeshFreeList ) );
	if ( buildMesh == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, static_cast<u32>( sizeof( RpBuildMesh ) ) ) );
		return nullptr;
	}
	buildMesh->triangleStorage = 0;
	buildMesh->numTriangles = 0;
	buildMesh->meshTriangles = nullptr;
	if ( triangleCount > 0 ) {
		const u64 bytes = static_cast<u64>( triangleCount ) * sizeof( RpBuildMeshTriangle );
		void* const triangles = bytes <= 0xFFFFFFFFu
									? RwEngineInstance->memoryFunctions.rwmalloc( static_cast<u32>( bytes ) )
									: nullptr;
		if ( triangles == nullptr ) {
			_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, static_cast<u32>( bytes ) ) );
			RwEngineInstance->freeListFreeHook( buildMeshFreeList, buildMesh );
			return nullptr;
		}
		buildMesh->meshTriangles = static_cast<RpBuildMeshTriangle*>( triangles );
		buildMesh->triangleStorage = triangleCount;
	}
	return buildMesh;
}

RpBuildMesh* _rpBuildMeshAddTriangle( RpBuildMesh* buildMesh, RpMaterial* material, const s32 vert1, const s32 vert2,
									  const s32 vert3 ) {
	if ( buildMesh->numTriangles >= buildMesh->triangleStorage ) {
		const u64 bytes = static_cast<u64>( buildMesh->triangleStorage + 1 ) * sizeof( RpBuildMeshTriangle );
		if ( bytes > 0xFFFFFFFFu ) {
			return nullptr;
		}
		const RwMemoryFunctions& memory = RwEngineInstance->memoryFunctions;
		void* const triangles = buildMesh->meshTriangles != nullptr
									? memory.rwrealloc( buildMesh->meshTriangles, static_cast<u32>( bytes ) )
									: memory.rwmalloc( static_cast<u32>( bytes ) );
		if ( triangles == nullptr ) {
			_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, static_cast<u32>( bytes ) ) );
			return nullptr;
		}
		buildMesh->meshTriangles = static_cast<RpBuildMeshTriangle*>( triangles );
		buildMesh->triangleStorage++;
	}
	RpBuildMeshTriangle& triangle = buildMesh->meshTriangles[buildMesh->numTriangles++];
	triangle.vertIndex[0] = static_cast<u16>( vert1 );
	triangle.vertIndex[1] = static_cast<u16>( vert2 );
	triangle.vertIndex[2] = static_cast<u16>( vert3 );
	triangle.material = material;
	return buildMesh;
}

bool _rpBuildMeshDestroy( RpBuildMesh* buildMesh ) {
	if ( buildMesh->meshTriangles != nullptr ) {
		RwEngineInstance->memoryFunctions.rwfree( buildMesh->meshTriangles );
	}
	if ( buildMeshFreeList != nullptr ) {
		RwEngineInstance->freeListFreeHook( buildMeshFreeList, buildMesh );
	}
	return true;
}

RpMeshHeader* _rpMeshOptimise( RpBuildMesh* buildMesh, const u32 flags ) {
	if ( buildMesh == nullptr ) {
		return nullptr;
	}
	RpMeshHeader* result = nullptr;
	if ( buildMesh->numTriangles == 0 ) {
		result = &stripGenerator.emptyHeader;
	} else if ( flags & rpMESHOPTIMISETRISTRIP ) {
		result = stripGenerator.callBack( buildMesh, stripGenerator.data );
	} else {
		result = _rpTriListMeshGenerate( buildMesh, nullptr );
	}
	if ( result != nullptr ) {
		_rpBuildMeshDestroy( buildMesh );
	}
	return result;
}

RpMeshHeader* _rpMeshHeaderCreate( const u32 size ) {
	RpMeshHeader* const header = static_cast<RpMeshHeader*>( RwEngineInstance->memoryFunctions.rwmalloc( size ) );
	if ( header == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, size ) );
	}
	return header;
}

bool _rpMeshDestroy( RpMeshHeader* header ) {
	if ( header != nullptr && header != &stripGenerator.emptyHeader ) {
		RwEngineInstance->memoryFunctions.rwfree( header );
	}
	return true;
}

RpMeshHeader* _rpMeshHeaderForAllMeshes( RpMeshHeader* header, const RpMeshCallBack callBack, void* data ) {
	RpMesh* const meshes = RpMeshHeaderGetMeshes( header );
	for ( u32 i = 0; i < header->numMeshes; i++ ) {
		if ( callBack( &meshes[i], header, data ) == nullptr ) {
			break;
		}
	}
	return header;
}

namespace {

// What the mesh order reads of one side's material; all null without one.
struct SortSide {
	bool		transparent;
	uintptr_t	raster;
	uintptr_t	pipeline;
	uintptr_t	texture;
	uintptr_t	material;
};

SortSide SideOf( const RpMaterial* material ) {
	SortSide side = { false, 0, 0, 0, 0 };
	if ( material == nullptr ) {
		return side;
	}
	const RwRaster* const raster = material->texture != nullptr ? material->texture->raster : nullptr;
	bool alphaRaster = false;
	if ( raster != nullptr ) {
		const u8 pixelFormat = raster->cFormat & RASTER_PIXEL_FORMAT_MASK;
		alphaRaster = pixelFormat == PIXEL_FORMAT_1555 || pixelFormat == PIXEL_FORMAT_4444 || pixelFormat == PIXEL_FORMAT_8888;
	}
	side.transparent = material->color.alpha < OPAQUE_ALPHA || alphaRaster;
	side.raster = reinterpret_cast<uintptr_t>( raster );
	side.pipeline = reinterpret_cast<uintptr_t>( material->pipeline );
	side.texture = reinterpret_cast<uintptr_t>( material->texture );
	side.material = reinterpret_cast<uintptr_t>( material );
	return side;
}

s32 SortKey( const SortSide& self, const SortSide& other ) {
	return ( self.transparent ? KEY_TRANSPARENT : 0 ) + ( self.raster > other.raster ? KEY_RASTER : 0 ) +
		   ( self.pipeline > other.pipeline ? KEY_PIPELINE : 0 ) + ( self.texture > other.texture ? KEY_TEXTURE : 0 ) +
		   ( self.material > other.material ? KEY_MATERIAL : 0 );
}

}	// namespace

s32 SortPolygons( const RpBuildMeshTriangle* a, const RpBuildMeshTriangle* b ) {
	const SortSide sideA = SideOf( a->material );
	const SortSide sideB = SideOf( b->material );
	return SortKey( sideA, sideB ) - SortKey( sideB, sideA );
}

bool _rpMeshSortTriangles( RpBuildMeshTriangle** triangles, const u32 count ) {
	if ( count < 2 ) {
		return true;
	}
	const u32 bytes = count * static_cast<u32>( sizeof( RpBuildMeshTriangle* ) );
	RpBuildMeshTriangle** scratch = static_cast<RpBuildMeshTriangle**>( RwEngineInstance->memoryFunctions.rwmalloc( bytes ) );
	if ( scratch == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, bytes ) );
		return false;
	}
	// Bottom-up merge sort: stable, so equal triangles keep their order.
	RpBuildMeshTriangle** from = triangles;
	RpBuildMeshTriangle** to = scratch;
	for ( u32 width = 1; width < count; width *= 2 ) {
		for ( u32 start = 0; start < count; start += 2 * width ) {
			const u32 middle = start + width < count ? start + width : count;
			const u32 end = start + 2 * width < count ? start + 2 * width : count;
			u32 left = start;
			u32 right = middle;
			u32 out = start;
			while ( left < middle && right < end ) {
				to[out++] = SortPolygons( from[right], from[left] ) < 0 ? from[right++] : from[left++];
			}
			while ( left < middle ) {
				to[out++] = from[left++];
			}
			while ( right < end ) {
				to[out++] = from[right++];
			}
		}
		RpBuildMeshTriangle** const swap = from;
		from = to;
		to = swap;
	}
	if ( from != triangles ) {
		std::memcpy( triangles, from, bytes );
	}
	RwEngineInstance->memoryFunctions.rwfree( scratch );
	return true;
}

// Reorders a list mesh in passes: each pass places, in order, every
// triangle not yet placed that shares no vertex with one placed in the same
// pass, so each pass emits a group of vertex-disjoint triangles.
static bool SortPolygonsInTriListMesh( RpMesh* mesh ) {
	const u32 count = mesh->numIndices / 3;
	if ( count < 2 ) {
		return true;
	}
	u16 largest = 0;
	for ( u32 i = 0; i < mesh->numIndices; i++ ) {
		largest = mesh->indices[i] > largest ? mesh->indices[i] : largest;
	}
	const u32 markBytes = ( static_cast<u32>( largest ) + 8 ) / 8;
	const u32 waitingBytes = count * static_cast<u32>( sizeof( u32 ) );
	const u32 sourceBytes = mesh->numIndices * static_cast<u32>( sizeof( u16 ) );
	const RwMemoryFunctions& memory = RwEngineInstance->memoryFunctions;
	u8* const block = static_cast<u8*>( memory.rwmalloc( waitingBytes + sourceBytes + markBytes ) );
	if ( block == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, waitingBytes + sourceBytes + markBytes ) );
		return false;
	}
	u32* const waiting = reinterpret_cast<u32*>( block );
	u16* const source = reinterpret_cast<u16*>( block + waitingBytes );
	u8* const marks = block + waitingBytes + sourceBytes;
	std::memcpy( source, mesh->indices, sourceBytes );
	for ( u32 i = 0; i < count; i++ ) {
		waiting[i] = i;
	}
	u32 numWaiting = count;
	u32 out = 0;
	while ( numWaiting > 0 ) {
		std::memset( marks, 0, markBytes );
		u32 kept = 0;
		for ( u32 w = 0; w < numWaiting; w++ ) {
			const u16* const vertices = &source[waiting[w] * 3];
			bool free = true;
			for ( u32 k = 0; k < 3; k++ ) {
				free &= ( marks[vertices[k] >> 3] & ( 1u << ( vertices[k] & 7 ) ) ) == 0;
			}
			if ( !free ) {
				waiting[kept++] = waiting[w];
				continue;
			}
			for ( u32 k = 0; k < 3; k++ ) {
				marks[vertices[k] >> 3] |= static_cast<u8>( 1u << ( vertices[k] & 7 ) );
				mesh->indices[out++] = vertices[k];
			}
		}
		numWaiting = kept;
	}
	memory.rwfree( block );
	return true;
}

// Sorted pointers to the build mesh's triangles, or null (recorded).
RpBuildMeshTriangle** _rpMeshSortedTriangles( const RpBuildMesh* buildMesh ) {
	const u32 count = buildMesh->numTriangles;
	const u32 bytes = count * static_cast<u32>( sizeof( RpBuildMeshTriangle* ) );
	RpBuildMeshTriangle** const sorted = static_cast<RpBuildMeshTriangle**>( RwEngineInstance->memoryFunctions.rwmalloc( bytes ) );
	if ( sorted == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, bytes ) );
		return nullptr;
	}
	for ( u32 i = 0; i < count; i++ ) {
		sorted[i] = &buildMesh->meshTriangles[i];
	}
	if ( !_rpMeshSortTriangles( sorted, count ) ) {
		RwEngineInstance->memoryFunctions.rwfree( sorted );
		return nullptr;
	}
	return sorted;
}

u32 _rpMeshCountRuns( RpBuildMeshTriangle* const* sorted, const u32 count ) {
	u32 runs = count > 0 ? 1 : 0;
	for ( u32 i = 1; i < count; i++ ) {
		runs += sorted[i]->material != sorted[i - 1]->material ? 1 : 0;
	}
	return runs;
}

RpMeshHeader* _rpTriListMeshGenerate( RpBuildMesh* buildMesh, void* ) {
	const u32 count = buildMesh->numTriangles;
	RpBuildMeshTriangle** const sorted = _rpMeshSortedTriangles( buildMesh );
	if ( sorted == nullptr ) {
		return nullptr;
	}
	const u32 runs = _rpMeshCountRuns( sorted, count );
	const u32 size = runs <= 0xFFFF ? _rpMeshHeaderBlockSize( runs, count * 3 ) : 0;
	RpMeshHeader* const header = size != 0 ? _rpMeshHeaderCreate( size ) : nullptr;
	if ( header == nullptr ) {
		RwEngineInstance->memoryFunctions.rwfree( sorted );
		return nullptr;
	}
	header->flags = 0;
	header->numMeshes = static_cast<u16>( runs );
	header->serialNum = _rpMeshGetNextSerialNumber();
	header->totalIndicesInMesh = count * 3;
	header->firstMeshOffset = 0;
	RpMesh* const meshes = RpMeshHeaderGetMeshes( header );
	u16* cursor = reinterpret_cast<u16*>( meshes + runs );
	RpMesh* mesh = nullptr;
	for ( u32 i = 0; i < count; i++ ) {
		if ( mesh == nullptr || sorted[i]->material != mesh->material ) {
			mesh = mesh == nullptr ? meshes : mesh + 1;
			mesh->indices = cursor;
			mesh->numIndices = 0;
			mesh->material = sorted[i]->material;
		}
		for ( u32 k = 0; k < 3; k++ ) {
			*cursor++ = sorted[i]->vertIndex[k];
		}
		mesh->numIndices += 3;
	}
	RwEngineInstance->memoryFunctions.rwfree( sorted );
	for ( u32 m = 0; m < runs; m++ ) {
		if ( !SortPolygonsInTriListMesh( &meshes[m] ) ) {
			_rpMeshDestroy( header );
			return nullptr;
		}
	}
	return header;
}

void* _rpMeshOpen( void* instance, const s32 offset, s32 ) {
	RpMeshGlobals* const globals = RwPluginData<RpMeshGlobals>( instance, offset );
	globals->stripFreeList = nullptr;
	globals->nextSerialNum = 1;
	if ( buildMeshFreeList == nullptr ) {
		buildMeshFreeList = RwFreeListCreate( static_cast<s32>( sizeof( RpBuildMesh ) ), RPBUILDMESH_ENTRIES_PER_BLOCK, 0 );
		if ( buildMeshFreeList == nullptr ) {
			return nullptr;
		}
	}
	globals->stripFreeList = RwFreeListCreate( static_cast<s32>( sizeof( RpTriStripStrip ) ), RPTRISTRIP_ENTRIES_PER_BLOCK, 0 );
	if ( globals->stripFreeList == nullptr ) {
		if ( meshModule.numInstances == 0 ) {
			RwFreeListDestroy( buildMeshFreeList );
			buildMeshFreeList = nullptr;
		}
		return nullptr;
	}
	meshModule.globalsOffset = offset;
	meshModule.numInstances++;
	return instance;
}

void* _rpMeshClose( void* instance, const s32 offset, s32 ) {
	RpMeshGlobals* const globals = RwPluginData<RpMeshGlobals>( instance, offset );
	if ( globals->stripFreeList != nullptr ) {
		RwFreeListDestroy( globals->stripFreeList );
		globals->stripFreeList = nullptr;
	}
	if ( meshModule.numInstances > 0 ) {
		meshModule.numInstances--;
	}
	if ( meshModule.numInstances == 0 && buildMeshFreeList != nullptr ) {
		RwFreeListDestroy( buildMeshFreeList );
		buildMeshFreeList = nullptr;
	}
	return instance;
}
