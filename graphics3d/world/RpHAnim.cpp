#include "graphics3d/world/RpHAnim.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwFreeList.h"
#include "graphics3d/core/RwMatrix.h"
#include "graphics3d/world/RtAnim.h"

#include <cstring>

RpHAnimAtomicGlobalVars RpHAnimAtomicGlobals = { {}, {}, nullptr };

// Matrices are 16-byte aligned inside their allocation.
static const u64 MATRIX_ALIGNMENT = 16;

// Null while the plug-in is not attached to the running library.
static RpHAnimFrameExtension* Extension( RwFrame* frame ) {
	const s32 offset = RpHAnimAtomicGlobals.frameOffset.Get();
	return offset < 0 ? nullptr : RwPluginData<RpHAnimFrameExtension>( frame, offset );
}

// Fills a record taken from the free list: interpolator, arrays and node
// table; false (everything undone but the record) when memory fails.
static bool FillHierarchy( RpHAnimHierarchy* hierarchy, const s32 numNodes, const s32 flags, const s32 maxKeyFrameSize ) {
	std::memset( hierarchy, 0, sizeof( RpHAnimHierarchy ) );
	hierarchy->flags = flags;
	hierarchy->numNodes = numNodes;
	hierarchy->parentHierarchy = hierarchy;
	const RwMemoryFunctions& memory = RwEngineInstance->memoryFunctions;
	const u64 nodes = numNodes > 0 ? static_cast<u64>( numNodes ) : 0;
	hierarchy->currentAnim = RtAnimInterpolatorCreate( numNodes, maxKeyFrameSize );
	if ( hierarchy->currentAnim == nullptr ) {
		return false;
	}
	if ( !( flags & rpHANIMHIERARCHYNOMATRICES ) ) {
		const u64 bytes = nodes * sizeof( RwMatrix ) + MATRIX_ALIGNMENT - 1;
		hierarchy->pMatrixArrayUnaligned = bytes <= 0xFFFFFFFFu ? memory.rwmalloc( static_cast<u32>( bytes ) ) : nullptr;
		if ( hierarchy->pMatrixArrayUnaligned == nullptr ) {
			RtAnimInterpolatorDestroy( hierarchy->currentAnim );
			return false;
		}
		const uintptr_t address = reinterpret_cast<uintptr_t>( hierarchy->pMatrixArrayUnaligned );
		hierarchy->pMatrixArray = reinterpret_cast<RwMatrix*>( ( address + MATRIX_ALIGNMENT - 1 ) & ~( MATRIX_ALIGNMENT - 1 ) );
	}
	const u64 tableBytes = nodes * sizeof( RpHAnimNodeInfo );
	hierarchy->pNodeInfo = static_cast<RpHAnimNodeInfo*>( tableBytes <= 0xFFFFFFFFu
															  ? memory.rwmalloc( static_cast<u32>( tableBytes ? tableBytes : 1 ) )
															  : nullptr );
	if ( hierarchy->pNodeInfo == nullptr ) {
		if ( hierarchy->pMatrixArrayUnaligned != nullptr ) {
			memory.rwfree( hierarchy->pMatrixArrayUnaligned );
		}
		RtAnimInterpolatorDestroy( hierarchy->currentAnim );
		return false;
	}
	for ( s32 i = 0; i < numNodes; i++ ) {
		hierarchy->pNodeInfo[i] = { 0, i, 0, nullptr };
	}
	return true;
}

static RpHAnimHierarchy* TakeRecord() {
	if ( RpHAnimAtomicGlobals.hierarchyFreeList == nullptr ) {
		return nullptr;
	}
	return static_cast<RpHAnimHierarchy*>( RwEngineInstance->freeListAllocHook( RpHAnimAtomicGlobals.hierarchyFreeList ) );
}

static void ReturnRecord( RpHAnimHierarchy* hierarchy ) {
	if ( RpHAnimAtomicGlobals.hierarchyFreeList != nullptr ) {
		RwEngineInstance->freeListFreeHook( RpHAnimAtomicGlobals.hierarchyFreeList, hierarchy );
	}
}

RpHAnimHierarchy* RpHAnimHierarchyCreate( const s32 numNodes, const s32* nodeFlags, const s32* nodeIDs, const s32 flags,
										  const s32 maxKeyFrameSize ) {
	RpHAnimHierarchy* const hierarchy = TakeRecord();
	if ( hierarchy == nullptr ) {
		return nullptr;
	}
	if ( !FillHierarchy( hierarchy, numNodes, flags, maxKeyFrameSize ) ) {
		ReturnRecord( hierarchy );
		return nullptr;
	}
	for ( s32 i = 0; i < numNodes; i++ ) {
		hierarchy->pNodeInfo[i].nodeID = nodeIDs != nullptr ? nodeIDs[i] : 0;
		hierarchy->pNodeInfo[i].flags = nodeFlags != nullptr ? nodeFlags[i] : 0;
	}
	return hierarchy;
}

RpHAnimHierarchy* RpHAnimHierarchyDestroy( RpHAnimHierarchy* hierarchy ) {
	const RwMemoryFunctions& memory = RwEngineInstance->memoryFunctions;
	if ( !( hierarchy->flags & rpHANIMHIERARCHYSUBHIERARCHY ) ) {
		if ( !( hierarchy->flags & rpHANIMHIERARCHYNOMATRICES ) && hierarchy->pMatrixArrayUnaligned != nullptr ) {
			memory.rwfree( hierarchy->pMatrixArrayUnaligned );
		}
		if ( hierarchy->pNodeInfo != nullptr ) {
			memory.rwfree( hierarchy->pNodeInfo );
		}
	}
	hierarchy->pMatrixArray = nullptr;
	hierarchy->pMatrixArrayUnaligned = nullptr;
	hierarchy->pNodeInfo = nullptr;
	RtAnimInterpolatorDestroy( hierarchy->currentAnim );
	hierarchy->currentAnim = nullptr;
	RwFrame* const owner = hierarchy->parentFrame;
	ReturnRecord( hierarchy );
	RpHAnimFrameExtension* const extension = owner != nullptr ? Extension( owner ) : nullptr;
	if ( extension != nullptr && extension->hierarchy == hierarchy ) {
		extension->hierarchy = nullptr;
	}
	return nullptr;
}

static RwFrame* AttachFrame( RwFrame* frame, void* data ) {
	RpHAnimHierarchy* const hierarchy = static_cast<RpHAnimHierarchy*>( data );
	const RpHAnimFrameExtension* const extension = Extension( frame );
	const s32 id = extension != nullptr ? extension->id : -1;
	for ( s32 i = 0; i < hierarchy->numNodes; i++ ) {
		if ( hierarchy->pNodeInfo[i].nodeID == id ) {
			hierarchy->pNodeInfo[i].pFrame = frame;
		}
	}
	RwFrameUpdateObjects( frame );
	RwFrameForAllChildren( frame, AttachFrame, hierarchy );
	return frame;
}

RpHAnimHierarchy* RpHAnimHierarchyAttach( RpHAnimHierarchy* hierarchy ) {
	if ( hierarchy->parentFrame != nullptr ) {
		AttachFrame( hierarchy->parentFrame, hierarchy );
	}
	return hierarchy;
}

RpHAnimHierarchy* RpHAnimFrameGetHierarchy( RwFrame* frame ) {
	const RpHAnimFrameExtension* const extension = Extension( frame );
	return extension != nullptr ? extension->hierarchy : nullptr;
}

s32 RpHAnimFrameGetID( RwFrame* frame ) {
	const RpHAnimFrameExtension* const extension = Extension( frame );
	return extension != nullptr ? extension->id : -1;
}

s32 RpHAnimIDGetIndex( const RpHAnimHierarchy* hierarchy, const s32 id ) {
	if ( hierarchy == nullptr || hierarchy->pNodeInfo == nullptr ) {
		return -1;
	}
	for ( s32 i = 0; i < hierarchy->numNodes; i++ ) {
		if ( hierarchy->pNodeInfo[i].nodeID == id ) {
			return i;
		}
	}
	return -1;
}
