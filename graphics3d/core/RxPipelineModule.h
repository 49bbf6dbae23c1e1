/*
===============================================================================

	Pipeline module of the 3D library.

	An engine plug-in (id 0x409) whose globals hold the pipeline free list,
	the default render-state vector, the maximum node count and the default
	and platform pipelines of atomics and world sectors. Opening it creates
	the global scratch heap and the free list; a second open is refused
	while the first is in force. The module needs no device.

===============================================================================
*/
#ifndef RX_PIPELINE_MODULE_H
#define RX_PIPELINE_MODULE_H

#include "graphics3d/core/RxPipelineTypes.h"

struct RwCamera;
struct RwFreeList;

// The module's globals in the engine instance, in the library's order of
// words; words the system never names are left out.
struct RxPipelineGlobals {
	RwFreeList*				pipesFreeList;
	RxRenderStateVector		defaultRenderStateVector;
	u32						clearedAtOpen[2];		// nothing reads them
	u32						maxNodesPerPipeline;
	RxPipeline*				currentAtomicPipeline;	// default of atomics without their own
	RxPipeline*				currentWorldSectorPipeline;
	RxPipeline*				platformAtomicPipeline;
	RxPipeline*				platformWorldSectorPipeline;
};

constexpr u32 _rxPipelineMaxNodes				= 64;
constexpr u32 _rxHeapInitialSize				= 4096;
constexpr s32 _rxPipesFreeListBlockSize			= 64;
constexpr s32 _rxPipesFreeListPreallocBlocks	= 1;

// Error codes of the pipeline framework (plug-in 1).
enum RxPipelineErrorCode : u32 {
	RXERR_UNSORTED_NODES		= 28,	// nodes left unsorted: a cycle
	RXERR_REQUIRED_INVALIDATED	= 29,	// a required cluster is invalidated upstream
	RXERR_DUPLICATE_CLUSTER		= 30,	// a cluster of interest listed twice
	RXERR_NULL_CLUSTER			= 31,	// a null cluster of interest
	RXERR_DEPENDENCY_MEMORY		= 32,	// out of dependency memory or slots
	RXERR_NODE_WITHOUT_INPUT	= 34,	// a node other than the entry has no input
	RXERR_BAD_ENTRY_POINT		= 36,
	RXERR_TOO_MANY_CLUSTERS		= 40,	// more than 32 clusters of interest
	RXERR_TOO_MANY_OUTPUTS		= 41,	// more than 32 outputs
	RXERR_TOO_MANY_NODES		= 42,	// fragment too long, or outputs not below the node maximum
	RXERR_NOT_LOCKED			= 52,
	RXERR_UNUSABLE_ARGUMENT		= 0x80000018,
};

// The pipeline framework's plug-in id in error records.
constexpr u32 RXPLUGIN_PIPELINE = 1;

extern s32			_rxPipelineGlobalsOffset;
extern bool			RxPipelineInstanced;
extern RxHeap*		_rxHeapGlobal;

// The globals, or null while the module is not open.
RxPipelineGlobals*	_rxPipelineGlobals();
// 64 while open.
u32					_rxPipelineMaxNodesInForce();

// The four pipeline words; setters do nothing while the module is closed.
RxPipeline*			_rxPipelineGetDefaultAtomicPipeline();
void				_rxPipelineSetDefaultAtomicPipeline( RxPipeline* pipeline );
RxPipeline*			_rxPipelineGetDefaultWorldSectorPipeline();
void				_rxPipelineSetDefaultWorldSectorPipeline( RxPipeline* pipeline );
RxPipeline*			_rxPipelineGetPlatformAtomicPipeline();
void				_rxPipelineSetPlatformAtomicPipeline( RxPipeline* pipeline );
RxPipeline*			_rxPipelineGetPlatformWorldSectorPipeline();
void				_rxPipelineSetPlatformWorldSectorPipeline( RxPipeline* pipeline );

// Engine plug-in open and close (registered by the core attach).
void*		_rwRenderPipelineOpen( void* instance, s32 offset, s32 size );
void*		_rwRenderPipelineClose( void* instance, s32 offset, s32 size );
// The attach step between the pipeline and immediate-3D modules: nothing to do.
bool		_rwPipeAttach();
// Called at every camera begin update: nothing to do.
void		_rwPipeInitForCamera( const RwCamera* camera );

// 0 while already open; on a failure nothing stays created.
bool		_rxPipelineOpen();
// Always true, also when not open.
bool		_rxPipelineClose();

RxHeap*		RxHeapGetGlobalHeap();

// Null: error 0x80000016. Started engine: the vector receives the module's
// default. Before that only the module's own vector is accepted and
// filled with the defaults; anything else is error 0x80000018.
RxRenderStateVector*	RxRenderStateVectorSetDefaultRenderStateVector( RxRenderStateVector* rsvp );

// Records {1, code} (or {0, code} for a common code).
void		_rxPipelineError( u32 code );

#endif
