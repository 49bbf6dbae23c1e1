#include "graphics3d/gamecube/RxGCAllInOne.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwResources.h"
#include "graphics3d/gamecube/RpGameCubeVtxFmt.h"
#include "graphics3d/gamecube/RwGameCube.h"
#include "platform/os/OS.h"
#include "graphics3d/gamecube/RxGCDefaults.h"
#include "graphics3d/gamecube/RxGCPipelines.h"
#include "graphics3d/world/RpMesh.h"

// Vertices below this count are indexed with 8 bits.
static const s32 INDEX8_VERTEX_LIMIT	= 255;
static const uintptr_t LIST_ALIGNMENT	= 32;
// Positions are always instanced.
static const u32 FLAG_POSITIONS			= 0x02;

namespace {

u8* Align32( u8* pointer ) {
	return reinterpret_cast<u8*>( ( reinterpret_cast<uintptr_t>( pointer ) + LIST_ALIGNMENT - 1 ) & ~( LIST_ALIGNMENT - 1 ) );
}

RxNodeDefinition atomicAllInOne = {
	"GameCubeAtomicAllInOne.csl", _rxGCAtomicAllInOneNode, nullptr, nullptr, _rxGCAtomicAllInOnePipelineInit, nullptr, nullptr,
	nullptr, 0, nullptr, nullptr, 0, nullptr, static_cast<u32>( sizeof( RxGCAtomicNodeData ) ), rxNODEDEFCONST, 0, 0
};

RxGCAtomicNodeData* Data( RxPipelineNode* node ) {
	return static_cast<RxGCAtomicNodeData*>( node->privateData );
}

}	// namespace

RxGCInstanceHeader* _rxGCInstanceHeader( RwResEntry* entry ) {
	return reinterpret_cast<RxGCInstanceHeader*>( entry + 1 );
}

RxGCDisplayListRecord* _rxGCDisplayListRecords( RwResEntry* entry ) {
	return reinterpret_cast<RxGCDisplayListRecord*>( _rxGCInstanceHeader( entry ) + 1 );
}

RxNodeDefinition* RxNodeDefinitionGetGameCubeAtomicAllInOne() {
	return &atomicAllInOne;
}

RxPipelineNode* _rxGameCubeAllInOneSetInstanceCallBack( RxPipelineNode* node, const RxGCInstanceCallBack callBack ) {
	Data( node )->instanceCallBack = callBack;
	return node;
}

RxPipelineNode* _rxGameCubeAllInOneSetReinstanceCallBack( RxPipelineNode* node, const RxGCInstanceCallBack callBack ) {
	Data( node )->reinstanceCallBack = callBack;
	return node;
}

RxGCInstanceCallBack _rxGameCubeAllInOneGetReinstanceCallBack( RxPipelineNode* node ) {
	return Data( node )->reinstanceCallBack;
}

RxPipelineNode* RxGameCubeAllInOneSetRenderCallBack( RxPipelineNode* node, const RxGCInstanceCallBack callBack ) {
	Data( node )->renderCallBack = callBack;
	return node;
}

RwResEntry* _rxGCInstanceBuild( const RxGCInstanceSource& source, RxGCInstanceContext* context ) {
	const u32 excluded = context->privateData != nullptr ? context->privateData->excludedMask : 0;
	const u32 flags = ( context->flags | FLAG_POSITIONS ) & ~excluded;
	const u32 indexSize = source.numVertices < INDEX8_VERTEX_LIMIT ? 1 : 2;
	const u32 meshes = context->mesh->numMeshes;
	const u32 listBytes = _rwDlMeshHeaderGetDisplayListSize( context->mesh, source.numTexCoordSets, indexSize, flags,
																	 source.matrices != nullptr );
	const u32 vertexBytes = _rpDlVtxFmtGetSize( source.format, flags, source.numVertices, source.numTexCoordSets );
	// Room for the header, the records and both 32-byte alignments.
	const u64 size = sizeof( RxGCInstanceHeader ) + u64{ meshes } * sizeof( RxGCDisplayListRecord ) + listBytes +
					 vertexBytes + 2 * ( LIST_ALIGNMENT - 1 );
	if ( size > 0x7FFFFFFFu ) {
		return nullptr;
	}
	RwResEntry* entry = nullptr;
	if ( source.heap ) {
		entry = static_cast<RwResEntry*>( RwEngineInstance->memoryFunctions.rwmalloc(
			static_cast<u32>( sizeof( RwResEntry ) + size ) ) );
		if ( entry != nullptr ) {
			*entry = { { nullptr, nullptr }, static_cast<s32>( size ), source.owner, source.ownerRef, _rxGCResEntryWaitDone };
			if ( source.ownerRef != nullptr ) {
				*source.ownerRef = entry;
			}
		}
	} else {
		entry = RwResourcesAllocateResEntry( source.owner, source.ownerRef, static_cast<s32>( size ), _rxGCResEntryWaitDone );
	}
	if ( entry == nullptr ) {
		return nullptr;
	}
	RxGCInstanceHeader* const header = _rxGCInstanceHeader( entry );
	*header = {};
	header->serialNum = context->mesh->serialNum;
	header->indexType = indexSize == 1 ? RXGC_INDEX8 : RXGC_INDEX16;
	header->drawToken = _RwDlTokenLastSeen;
	header->excludedMask = excluded;
	RxGCDisplayListRecord* const records = _rxGCDisplayListRecords( entry );
	u8* const lists = Align32( reinterpret_cast<u8*>( records + meshes ) );
	_rwDlDisplayListsCreate( records, lists, context->mesh, source.numTexCoordSets, indexSize, flags, source.matrices );
	u8* const arrays = Align32( lists + listBytes );
	if ( source.geometry != nullptr ) {
		_rpDlGeometryVtxFmtInst( source.geometry, header, source.format, flags, source.numTexCoordSets, arrays );
	} else if ( source.sector != nullptr ) {
		_rpDlWorldSectorVtxFmtInst( source.sector, header, source.format, flags, source.numTexCoordSets, arrays );
	}
	DCFlushRange( entry, static_cast<u32>( sizeof( RwResEntry ) + size ) );
	context->entry = entry;
	return entry;
}
