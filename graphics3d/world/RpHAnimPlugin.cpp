#include "graphics3d/world/RpHAnim.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwFreeList.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/core/RwStreamData.h"
#include "graphics3d/world/RtAnim.h"

// Bytes of the frame stream data: version, id and node count; then flags
// and key-frame size; then a triple per node.
static const s32 STREAM_HEAD_BYTES		= 12;
static const s32 STREAM_HIERARCHY_BYTES	= 20;
static const s32 STREAM_NODE_BYTES		= 12;
static const s32 HIERARCHY_ALIGNMENT	= 4;

// For the plug-in's own callbacks, which run only while it is attached.
static RpHAnimFrameExtension* Extension( void* frame ) {
	return RwPluginData<RpHAnimFrameExtension>( frame, RpHAnimAtomicGlobals.frameOffset.Get() );
}


namespace {

const RtAnimInterpolatorInfo standardKeyFrame = {
	rpHANIMSTDKEYFRAMETYPEID,		static_cast<s32>( sizeof( RpHAnimKeyFrame ) ),
	RpHAnimKeyFrameApply,			RpHAnimKeyFrameBlend,
	RpHAnimKeyFrameInterpolate,		RpHAnimKeyFrameAdd,
	RpHAnimKeyFrameMulRecip,		RpHAnimKeyFrameStreamRead,
	RpHAnimKeyFrameStreamWrite,		RpHAnimKeyFrameStreamGetSize,
};

void* HAnimOpen( void* instance, s32, s32 ) {
	RpHAnimAtomicGlobals.hierarchyFreeList = RwFreeListCreateAndPreallocateSpace(
		static_cast<s32>( sizeof( RpHAnimHierarchy ) ), RPHANIM_HIERARCHIES_PER_BLOCK, HIERARCHY_ALIGNMENT, 1, nullptr );
	if ( RpHAnimAtomicGlobals.hierarchyFreeList == nullptr ) {
		return nullptr;
	}
	// Refused on every open after the first (the scheme stays registered).
	RtAnimRegisterInterpolationScheme( &standardKeyFrame );
	return instance;
}

void* HAnimClose( void* instance, s32, s32 ) {
	if ( RpHAnimAtomicGlobals.hierarchyFreeList != nullptr ) {
		RwFreeListDestroy( RpHAnimAtomicGlobals.hierarchyFreeList );
		RpHAnimAtomicGlobals.hierarchyFreeList = nullptr;
	}
	return instance;
}

void* HAnimConstructor( void* frame, s32, s32 ) {
	*Extension( frame ) = { -1, nullptr };
	return frame;
}

void* HAnimDestructor( void* frame, s32, s32 ) {
	RpHAnimFrameExtension* const extension = Extension( frame );
	RpHAnimHierarchy* const hierarchy = extension->hierarchy;
	if ( hierarchy != nullptr ) {
		for ( s32 i = 0; i < hierarchy->numNodes && hierarchy->pNodeInfo != nullptr; i++ ) {
			hierarchy->pNodeInfo[i].pFrame = nullptr;
		}
		if ( hierarchy->parentFrame == frame ) {
			RpHAnimHierarchyDestroy( hierarchy );
		}
	}
	*Extension( frame ) = { -1, nullptr };
	return frame;
}

void* HAnimCopy( void* destination, const void* source, s32, s32 ) {
	const RpHAnimFrameExtension* const from = Extension( const_cast<void*>( source ) );
	RpHAnimFrameExtension* const to = Extension( destination );
	to->id = from->id;
	to->hierarchy = nullptr;
	const RpHAnimHierarchy* const original = from->hierarchy;
	if ( original == nullptr || ( original->flags & rpHANIMHIERARCHYSUBHIERARCHY ) ) {
		return destination;
	}
	RpHAnimHierarchy* const copy = RpHAnimHierarchyCreate( original->numNodes, nullptr, nullptr, original->flags,
															original->currentAnim->maxKeyFrameSize );
	if ( copy == nullptr ) {
		return destination;
	}
	for ( s32 i = 0; i < original->numNodes; i++ ) {
		copy->pNodeInfo[i] = original->pNodeInfo[i];
		copy->pNodeInfo[i].pFrame = nullptr;
	}
	copy->parentFrame = static_cast<RwFrame*>( destination );
	to->hierarchy = copy;
	return destination;
}

bool ReadWords( RwStream* stream, s32* words, const u32 count ) {
	return RwStreamReadInt32( stream, words, count * sizeof( s32 ) ) != nullptr;
}

RwStream* Skip( RwStream* stream, const s32 bytes ) {
	return bytes > 0 ? RwStreamSkip( stream, static_cast<u32>( bytes ) ) : stream;
}

RwStream* Malformed() {
	_rwErrorSetCore( _rwerror( RWERR_READ ) );
	return nullptr;
}

// Reads the node table into a filled record; false destroys nothing.
bool ReadNodes( RwStream* stream, RpHAnimHierarchy* hierarchy ) {
	for ( s32 i = 0; i < hierarchy->numNodes; i++ ) {
		s32 triple[3];
		if ( !ReadWords( stream, triple, 3 ) ) {
			return false;
		}
		hierarchy->pNodeInfo[i] = { triple[0], triple[1], triple[2], nullptr };
	}
	return true;
}

RwStream* HAnimRead( RwStream* stream, const s32 length, void* frame, s32, s32 ) {
	s32 head[3];
	if ( length < STREAM_HEAD_BYTES ) {
		return Malformed();
	}
	if ( !ReadWords( stream, head, 3 ) ) {
		return nullptr;
	}
	if ( head[0] != rpHANIMSTREAMCURRENTVERSION ) {
		return Malformed();
	}
	Extension( frame )->id = head[1];
	const s32 numNodes = head[2];
	if ( numNodes < 1 ) {
		return Skip( stream, length - STREAM_HEAD_BYTES );
	}
	// The node table must fit the sub-chunk before anything is allocated.
	const s64 needed = STREAM_HIERARCHY_BYTES + static_cast<s64>( STREAM_NODE_BYTES ) * numNodes;
	if ( needed > length ) {
		return Malformed();
	}
	s32 hierarchyWords[2];
	if ( !ReadWords( stream, hierarchyWords, 2 ) ) {
		return nullptr;
	}
	// A hierarchy read from a stream owns its arrays: a stored sub-hierarchy
	// mark would keep its destruction from freeing them.
	const s32 flags = hierarchyWords[0] & ~rpHANIMHIERARCHYSUBHIERARCHY;
	const s32 keyFrameSize = hierarchyWords[1];
	if ( keyFrameSize < 1 || keyFrameSize > RPHANIM_MAX_STREAM_KEYFRAME_SIZE ) {
		return Malformed();
	}
	RpHAnimHierarchy* const hierarchy = RpHAnimHierarchyCreate( numNodes, nullptr, nullptr, flags, keyFrameSize );
	if ( hierarchy == nullptr ) {
		// No record to hold it: the frame goes without, the stream stays in
		// step.
		return Skip( stream, length - STREAM_HIERARCHY_BYTES );
	}
	hierarchy->parentFrame = static_cast<RwFrame*>( frame );
	if ( !ReadNodes( stream, hierarchy ) ) {
		RpHAnimHierarchyDestroy( hierarchy );
		return nullptr;
	}
	if ( Skip( stream, length - static_cast<s32>( needed ) ) == nullptr ) {
		RpHAnimHierarchyDestroy( hierarchy );
		return nullptr;
	}
	// A frame holds one hierarchy: a second stored one replaces the first,
	// which this frame owns and would otherwise be lost.
	RpHAnimHierarchy* const earlier = Extension( frame )->hierarchy;
	if ( earlier != nullptr && earlier->parentFrame == frame ) {
		RpHAnimHierarchyDestroy( earlier );
	}
	Extension( frame )->hierarchy = hierarchy;
	return stream;
}

// The hierarchy a frame writes: its own, not a sub-hierarchy.
const RpHAnimHierarchy* Streamed( const void* frame ) {
	const RpHAnimHierarchy* const hierarchy = Extension( const_cast<void*>( frame ) )->hierarchy;
	return hierarchy != nullptr && !( hierarchy->flags & rpHANIMHIERARCHYSUBHIERARCHY ) ? hierarchy : nullptr;
}

RwStream* HAnimWrite( RwStream* stream, s32, const void* frame, s32, s32 ) {
	const RpHAnimHierarchy* const hierarchy = Streamed( frame );
	const s32 head[3] = { rpHANIMSTREAMCURRENTVERSION, Extension( const_cast<void*>( frame ) )->id,
						  hierarchy != nullptr ? hierarchy->numNodes : 0 };
	if ( RwStreamWriteInt32( stream, head, sizeof( head ) ) == nullptr ) {
		return nullptr;
	}
	if ( hierarchy == nullptr ) {
		return stream;
	}
	const s32 words[2] = { hierarchy->flags, hierarchy->currentAnim->maxKeyFrameSize };
	if ( RwStreamWriteInt32( stream, words, sizeof( words ) ) == nullptr ) {
		return nullptr;
	}
	for ( s32 i = 0; i < hierarchy->numNodes; i++ ) {
		const RpHAnimNodeInfo& node = hierarchy->pNodeInfo[i];
		const s32 triple[3] = { node.nodeID, node.nodeIndex, node.flags };
		if ( RwStreamWriteInt32( stream, triple, sizeof( triple ) ) == nullptr ) {
			return nullptr;
		}
	}
	return stream;
}

s32 HAnimSize( const void* frame, s32, s32 ) {
	const RpHAnimHierarchy* const hierarchy = Streamed( frame );
	return hierarchy != nullptr ? STREAM_HIERARCHY_BYTES + STREAM_NODE_BYTES * hierarchy->numNodes : STREAM_HEAD_BYTES;
}

}	// namespace

bool RpHAnimPluginAttach() {
	RpHAnimAtomicGlobals.engineOffset.Set( RwEngineRegisterPlugin( 0, rpHANIMPLUGINID, HAnimOpen, HAnimClose ) );
	if ( RpHAnimAtomicGlobals.engineOffset.Get() < 0 ) {
		return false;
	}
	RpHAnimAtomicGlobals.frameOffset.Set( RwFrameRegisterPlugin( static_cast<s32>( sizeof( RpHAnimFrameExtension ) ),
																 rpHANIMPLUGINID, HAnimConstructor, HAnimDestructor,
																 HAnimCopy ) );
	if ( RwFrameRegisterPluginStream( rpHANIMPLUGINID, HAnimRead, HAnimWrite, HAnimSize ) < 0 ) {
		return false;
	}
	return RpHAnimAtomicGlobals.frameOffset.Get() >= 0;
}
