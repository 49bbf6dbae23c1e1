/*
===============================================================================

	Rendering pipelines: creation, editing and execution.

	A pipeline is created unlocked and empty. It is locked to be edited:
	fragments append chains of new nodes and paths join an output to a
	node. Unlocking (RxPipelineUnlock.h) resolves the graph; only an
	unlocked pipeline with nodes is executed. Executing calls the first
	node's body with the caller's object and the global heap; nodes hand on
	to later nodes themselves.

	Node definitions are initialised when their first pipeline node is
	initialised and terminated when their last initialised node goes. An
	editable definition is freed when no node record refers to it any more
	in any pipeline, locked or not, and none is initialised.

	Failures record {1, code} (common codes with plug-in 0) and return null.

===============================================================================
*/
#ifndef RX_PIPELINE_H
#define RX_PIPELINE_H

#include "graphics3d/core/RxPipelineTypes.h"

// A zeroed pipeline from the module's free list; null with error
// 0x80000013 when none can be had.
RxPipeline*		RxPipelineCreate();
// Destroys every node, frees the super block and returns the record. Null
// is ignored.
void			_rxPipelineDestroy( RxPipeline* pipeline );

// Locks for editing; a locked pipeline is returned as it is. Null: error
// 0x80000016.
RxPipeline*		RxPipelineLock( RxPipeline* pipeline );

// Appends the null-terminated definitions as a chain of new nodes, output
// 0 of each joined to the next. The index of the first new node goes to
// firstIndex when given. On failure the pipeline is left as it was.
RxPipeline*		_rxLockedPipeAddFragmentList( RxPipeline* pipeline, u32* firstIndex, RxNodeDefinition* const* definitions );

template< typename... Definitions >
RxPipeline*		RxLockedPipeAddFragment( RxPipeline* pipeline, u32* firstIndex, Definitions*... definitions ) {
	RxNodeDefinition* const list[] = { definitions..., nullptr };
	return _rxLockedPipeAddFragmentList( pipeline, firstIndex, list );
}

// Joins an unconnected output of a node of this locked pipeline to one of
// its node records; null on any refusal.
RxPipeline*		RxLockedPipeAddPath( RxPipeline* pipeline, u32* outputSlot, RxPipelineNode* dest );

// Searches after start (or from the first node) for a node whose
// definition has this name. countOut gets the number of nodes from the
// found one to the end of the array, or 0xFFFFFFFF.
RxPipelineNode*	RxPipelineFindNodeByName( RxPipeline* pipeline, const char* name, RxPipelineNode* start, u32* countOut );

// Calls the first node's body with (node 0, {data, global heap}); resets
// a dirty heap first when asked. Null pipeline: 0x80000016; locked or
// without nodes: 0x80000018; a failing body: null.
RxPipeline*		RxPipelineExecute( RxPipeline* pipeline, void* data, bool heapReset );

// Hands the packet's heap-owned cluster data back and empties its slots.
void			_rxPacketDestroy( RxPacket* packet );

// The context of the execution in progress.
extern RxExecutionContext	_rxExecCtxGlobal;

#endif
