#include "graphics3d/core/RxPipelineModule.h"

#include "graphics3d/core/RwDevice.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwFreeList.h"
#include "graphics3d/core/RxHeap.h"

#include <cstring>

static_assert( sizeof( RxPipelineGlobals ) <= static_cast<size_t>( RWPIPELINE_GLOBALS_SIZE ),
			   "the pipeline globals must fit the space the core reserves" );

s32			_rxPipelineGlobalsOffset = 0;
bool		RxPipelineInstanced = false;
RxHeap*		_rxHeapGlobal = nullptr;

// Record of the pipeline free list while the module is open.
static RwFreeList pipesFreeListRecord;

static const u32 RSV_ALL_FLAGS			= 7;
static const u32 RSV_SHADE_GOURAUD		= 2;
static const u32 RSV_BLEND_SRC_ALPHA	= 5;
static const u32 RSV_BLEND_INV_SRC_ALPHA	= 6;
static const u32 RSV_ADDRESS_WRAP		= 1;
static const u32 RSV_FILTER_LINEAR		= 2;
static const u32 RSV_OPAQUE_WHITE		= 0xFFFFFFFF;
static const u32 RSV_FOG_NONE			= 0;

static const RxRenderStateVector defaultRenderStateVector = {
	RSV_ALL_FLAGS,		RSV_SHADE_GOURAUD,	RSV_BLEND_SRC_ALPHA,	RSV_BLEND_INV_SRC_ALPHA,
	nullptr,			RSV_ADDRESS_WRAP,	RSV_ADDRESS_WRAP,		RSV_FILTER_LINEAR,
	RSV_OPAQUE_WHITE,	RSV_FOG_NONE,		RSV_OPAQUE_WHITE,
};

void _rxPipelineError( const u32 code ) {
	RwError error = { RXPLUGIN_PIPELINE, _rwerror( code ) };
	RwErrorSet( &error );
}

RxPipelineGlobals* _rxPipelineGlobals() {
	RwGlobals* const instance = RwEngineInstance;
	if ( !RxPipelineInstanced || instance == nullptr || instance == &staticGlobals ) {
		return nullptr;
	}
	return RwPluginData<RxPipelineGlobals>( instance, _rxPipelineGlobalsOffset );
}

u32 _rxPipelineMaxNodesInForce() {
	const RxPipelineGlobals* const globals = _rxPipelineGlobals();
	return globals != nullptr ? globals->maxNodesPerPipeline : _rxPipelineMaxNodes;
}

RxPipeline* _rxPipelineGetDefaultAtomicPipeline() {
	const RxPipelineGlobals* const globals = _rxPipelineGlobals();
	return globals != nullptr ? globals->currentAtomicPipeline : nullptr;
}

void _rxPipelineSetDefaultAtomicPipeline( RxPipeline* pipeline ) {
	if ( RxPipelineGlobals* const globals = _rxPipelineGlobals() ) {
		globals->currentAtomicPipeline = pipeline;
	}
}

RxPipeline* _rxPipelineGetDefaultWorldSectorPipeline() {
	const RxPipelineGlobals* const globals = _rxPipelineGlobals();
	return globals != nullptr ? globals->currentWorldSectorPipeline : nullptr;
}

void _rxPipelineSetDefaultWorldSectorPipeline( RxPipeline* pipeline ) {
	if ( RxPipelineGlobals* const globals = _rxPipelineGlobals() ) {
		globals->currentWorldSectorPipeline = pipeline;
	}
}

RxPipeline* _rxPipelineGetPlatformAtomicPipeline() {
	const RxPipelineGlobals* const globals = _rxPipelineGlobals();
	return globals != nullptr ? globals->platformAtomicPipeline : nullptr;
}

void _rxPipelineSetPlatformAtomicPipeline( RxPipeline* pipeline ) {
	if ( RxPipelineGlobals* const globals = _rxPipelineGlobals() ) {
		globals->platformAtomicPipeline = pipeline;
	}
}

RxPipeline* _rxPipelineGetPlatformWorldSectorPipeline() {
	const RxPipelineGlobals* const globals = _rxPipelineGlobals();
	return globals != nullptr ? globals->platformWorldSectorPipeline : nullptr;
}

void _rxPipelineSetPlatformWorldSectorPipeline( RxPipeline* pipeline ) {
	if ( RxPipelineGlobals* const globals = _rxPipelineGlobals() ) {
		globals->platformWorldSectorPipeline = pipeline;
	}
}

RxHeap* RxHeapGetGlobalHeap() {
	return _rxHeapGlobal;
}

RxRenderStateVector* RxRenderStateVectorSetDefaultRenderStateVector( RxRenderStateVector* rsvp ) {
	if ( rsvp == nullptr ) {
		_rxPipelineError( RWERR_NULL_ARGUMENT );
		return nullptr;
	}
	RxPipelineGlobals* const globals = _rxPipelineGlobals();
	if ( globals == nullptr ) {
		_rxPipelineError( RXERR_UNUSABLE_ARGUMENT );
		return nullptr;
	}
	if ( RwEngineInstance->engineState == RWENGINE_STATE_STARTED ) {
		*rsvp = globals->defaultRenderStateVector;
		return rsvp;
	}
	if ( rsvp != &globals->defaultRenderStateVector ) {
		_rxPipelineError( RXERR_UNUSABLE_ARGUMENT );
		return nullptr;
	}
	*rsvp = defaultRenderStateVector;
	return rsvp;
}

bool _rxPipelineOpen() {
	if ( RxPipelineInstanced ) {
		return false;
	}
	RxPipelineGlobals* const globals = RwPluginData<RxPipelineGlobals>( RwEngineInstance, _rxPipelineGlobalsOffset );
	std::memset( globals, 0, sizeof( RxPipelineGlobals ) );
	_rxHeapGlobal = RxHeapCreate( _rxHeapInitialSize );
	if ( _rxHeapGlobal == nullptr ) {
		return false;
	}
	globals->pipesFreeList = RwFreeListCreateAndPreallocateSpace( static_cast<s32>( sizeof( RxPipeline ) ),
																  _rxPipesFreeListBlockSize, 4,
																  _rxPipesFreeListPreallocBlocks, &pipesFreeListRecord );
	if ( globals->pipesFreeList == nullptr ) {
		RxHeapDestroy( _rxHeapGlobal );
		_rxHeapGlobal = nullptr;
		return false;
	}
	globals->maxNodesPerPipeline = _rxPipelineMaxNodes;
	// The vector is filled while the module opens, so the setter must see
	// the module's globals already.
	RxPipelineInstanced = true;
	RxRenderStateVectorSetDefaultRenderStateVector( &globals->defaultRenderStateVector );
	globals->clearedAtOpen[0] = 0;
	globals->clearedAtOpen[1] = 0;
	return true;
}

bool _rxPipelineClose() {
	if ( RxPipelineGlobals* const globals = _rxPipelineGlobals() ) {
		if ( globals->pipesFreeList != nullptr ) {
			RwFreeListDestroy( globals->pipesFreeList );
			globals->pipesFreeList = nullptr;
		}
	}
	RxHeapDestroy( _rxHeapGlobal );
	_rxHeapGlobal = nullptr;
	RxPipelineInstanced = false;
	return true;
}

void* _rwRenderPipelineOpen( void* instance, const s32 offset, s32 ) {
	// A refused second open must not move the open module's globals.
	if ( RxPipelineInstanced ) {
		return nullptr;
	}
	_rxPipelineGlobalsOffset = offset;
	return _rxPipelineOpen() ? instance : nullptr;
}

void* _rwRenderPipelineClose( void* instance, s32, s32 ) {
	_rxPipelineClose();
	return instance;
}

bool _rwPipeAttach() {
	return true;
}

void _rwPipeInitForCamera( const RwCamera* ) {
}
