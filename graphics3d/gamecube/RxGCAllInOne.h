/*
===============================================================================

	The console's all-in-one atomic rendering node: one node that
	instances an atomic's geometry, lights it and draws it through the
	callbacks of its private data (its body and defaults live with the
	pipelines), and the instancing routine atomics, sectors and skins
	share.

===============================================================================
*/
#ifndef RX_GC_ALL_IN_ONE_H
#define RX_GC_ALL_IN_ONE_H

#include "graphics3d/core/RxPipelineTypes.h"
#include "graphics3d/gamecube/RwDlDisplayList.h"
#include "graphics3d/gamecube/RxGCInstance.h"

// The atomic node's definition ("GameCubeAtomicAllInOne.csl").
RxNodeDefinition*		RxNodeDefinitionGetGameCubeAtomicAllInOne();

// The entries of a node's callback record.
RxPipelineNode*			_rxGameCubeAllInOneSetInstanceCallBack( RxPipelineNode* node, RxGCInstanceCallBack callBack );
RxPipelineNode*			_rxGameCubeAllInOneSetReinstanceCallBack( RxPipelineNode* node, RxGCInstanceCallBack callBack );
RxGCInstanceCallBack	_rxGameCubeAllInOneGetReinstanceCallBack( RxPipelineNode* node );
RxPipelineNode*			RxGameCubeAllInOneSetRenderCallBack( RxPipelineNode* node, RxGCInstanceCallBack callBack );

struct RpGameCubeVtxFmt;
struct RpGeometry;
struct RpWorldSector;

// What an instance is built from: its owner and the owner's reference,
// the vertex format, the geometry or sector whose arrays it holds, its
// vertex and texture-set counts, and whether it lives on the heap
// instead of the resource arena.
struct RxGCInstanceSource {
	void*					owner;
	RwResEntry**			ownerRef;
	const RpGameCubeVtxFmt*	format;
	const RpGeometry*		geometry;
	const RpWorldSector*	sector;
	s32						numVertices;
	s32						numTexCoordSets;
	bool					heap;
	const RwDlMatrixIndices*	matrices;	// skinned lists only, else null
};

// Instance flag of geometries whose instance lives on the heap.
constexpr u32 rpGEOMETRYHEAPINSTANCE = 0x02000000;

// Builds an instance: header (mesh serial, index type, last token seen,
// excluded mask), display lists after the records, vertex arrays after
// the lists, each 32-byte aligned; flushed from the data cache. The
// entry (also stored in the context), or null without memory.
RwResEntry*				_rxGCInstanceBuild( const RxGCInstanceSource& source, RxGCInstanceContext* context );

#endif
