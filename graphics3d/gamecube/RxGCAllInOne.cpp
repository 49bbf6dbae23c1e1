#include "graphics3d/gamecube/RxGCAllInOne.h"

#include "graphics3d/core/RwResources.h"
#include "graphics3d/gamecube/RxGCDefaults.h"
#include "graphics3d/world/RpMesh.h"

namespace {

void* ReturnObject( void* object, RxGCInstanceContext* ) {
	return object;
}

void* ReturnLitObject( void* object, RxGCLightingState* ) {
	return object;
}

bool AtomicAllInOneNode( RxPipelineNode*, const RxPipelineNodeParam* ) {
	return true;
}

bool AtomicAllInOnePipelineInit( RxPipelineNode* node ) {
	RxGCAtomicNodeData* const data = static_cast<RxGCAtomicNodeData*>( node->privateData );
	data->instanceCallBack = ReturnObject;
	data->reinstanceCallBack = ReturnObject;
	data->lightingCallBack = ReturnLitObject;
	data->renderCallBack = _rxGCDefaultRenderCallback;
	data->excludedMask = 0;
	return true;
}

RxNodeDefinition atomicAllInOne = {
	"GameCubeAtomicAllInOne.csl", AtomicAllInOneNode, nullptr, nullptr, AtomicAllInOnePipelineInit, nullptr, nullptr,
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

u32 _rwDlMeshHeaderGetDisplayListSize( const RpMeshHeader*, u32, u32, s32 ) {
	return 0;
}

void _rwDlDisplayListsCreate( const RpMeshHeader* mesh, RxGCDisplayListRecord* records, u8* base, s32, u32, u32 ) {
	for ( u32 i = 0; i < mesh->numMeshes; i++ ) {
		records[i] = { 0, base };
	}
}
