/*
===============================================================================

	Hierarchical animation plug-in: skeletons of frames.

	Every frame carries a node id (-1 for none) and, on the root frame of a
	skeleton, a hierarchy: the table of nodes (id, index, flags and the
	frame bound to each), a 16-byte aligned array of node matrices (none
	with rpHANIMHIERARCHYNOMATRICES) and an interpolator of the animation
	toolkit. A sub-hierarchy shares another's arrays: it is never streamed
	or copied, and destroying it frees neither array. Hierarchies come from
	a free list (128 per block, one block preallocated) made when the
	engine opens, which also registers the standard key frame (type 1)
	with the toolkit.

	The standard key frame is a rotation quaternion and a translation after
	two words the toolkit owns (the previous key frame of the node and the
	time); the key-frame functions read and write q and t only. They never
	normalise quaternions; interpolation and blending negate the second
	key frame's quaternion in place when the two point away from each
	other, blend linearly from a cosine of 0.999 up and otherwise slerp in
	single precision. Equal key times interpolate to the first key frame.

	Frame stream data (sub-chunk 0x11E of a frame's extension): version
	0x100, the node id, the node count (0 without a hierarchy of its own),
	then the hierarchy flags, the interpolator's key-frame size and a
	(nodeID, nodeIndex, flags) triple per node. The node table must fit
	the sub-chunk and the key-frame size lie in 1..4096; a failed read
	leaves no hierarchy behind, and every read consumes exactly the
	sub-chunk, also when no hierarchy record is free (the frame then has
	none and the read succeeds).

	Key-frame stream data: per key frame the time, q (x, y, z, w) and t as
	reals and the byte offset of its previous key frame in the array,
	which must name a key frame of the array; key frames are 36 bytes in
	streams whatever their size in memory.

===============================================================================
*/
#ifndef RP_HANIM_H
#define RP_HANIM_H

#include "graphics3d/core/RwPlugin.h"
#include "graphics3d/core/RwV3d.h"

struct RwFrame;
struct RwMatrix;
struct RwStream;
struct RwFreeList;
struct RtAnimAnimation;
struct RtAnimInterpolator;

// Plug-in id of the hierarchical animation plug-in; its key-frame type.
constexpr u32 rpHANIMPLUGINID			= 0x11E;
constexpr s32 rpHANIMSTDKEYFRAMETYPEID	= 1;

// Hierarchy flags.
constexpr s32 rpHANIMHIERARCHYSUBHIERARCHY		= 0x1;
constexpr s32 rpHANIMHIERARCHYNOMATRICES		= 0x2;

// Frame stream version; key-frame bytes in streams; largest key-frame
// size a stream may ask an interpolator for.
constexpr s32 rpHANIMSTREAMCURRENTVERSION		= 0x100;
constexpr u32 rpHANIMSTREAMKEYFRAMEBYTES		= 36;
constexpr s32 RPHANIM_MAX_STREAM_KEYFRAME_SIZE	= 4096;

// Hierarchy records per block of their free list.
constexpr s32 RPHANIM_HIERARCHIES_PER_BLOCK		= 128;

// Cosine from which interpolation blends linearly.
constexpr f32 RPHANIM_LINEAR_COSINE				= 0.999f;

struct RpHAnimNodeInfo {
	s32					nodeID;
	s32					nodeIndex;
	s32					flags;
	RwFrame*			pFrame;
};

struct RpHAnimHierarchy {
	s32					flags;
	s32					numNodes;
	RwMatrix*			pMatrixArray;
	void*				pMatrixArrayUnaligned;
	RpHAnimNodeInfo*	pNodeInfo;
	RwFrame*			parentFrame;
	RpHAnimHierarchy*	parentHierarchy;
	s32					rootParentOffset;
	RtAnimInterpolator*	currentAnim;
};

// A quaternion: imaginary part x, y, z, then the real part w.
struct RtQuat {
	RwV3d	imag;
	f32		real;
};

struct RpHAnimKeyFrame {
	RpHAnimKeyFrame*	prevFrame;
	f32					time;		// seconds
	RtQuat				q;
	RwV3d				t;
};

// The plug-in's globals: where frames keep their extension, and the
// hierarchy free list while the engine is open.
struct RpHAnimFrameExtension {
	s32					id;			// -1: none
	RpHAnimHierarchy*	hierarchy;	// on the frame that owns it only
};

// The offsets read -1 once the registries have closed, until the plug-in
// attaches again.
struct RpHAnimAtomicGlobalVars {
	RwPluginOffset	engineOffset;
	RwPluginOffset	frameOffset;
	RwFreeList*		hierarchyFreeList;
};
extern RpHAnimAtomicGlobalVars RpHAnimAtomicGlobals;

// Between RwEngineInit and RwEngineOpen; true when every registration
// held.
bool				RpHAnimPluginAttach();

// nodeFlags and nodeIDs may be null. Null when no record or memory.
RpHAnimHierarchy*	RpHAnimHierarchyCreate( s32 numNodes, const s32* nodeFlags, const s32* nodeIDs, s32 flags,
											s32 maxKeyFrameSize );
// Null.
RpHAnimHierarchy*	RpHAnimHierarchyDestroy( RpHAnimHierarchy* hierarchy );
// Binds every node to the last frame below parentFrame (parents first)
// that carries its id.
RpHAnimHierarchy*	RpHAnimHierarchyAttach( RpHAnimHierarchy* hierarchy );
// Null and -1 (no id) while the plug-in is not attached to the running
// library.
RpHAnimHierarchy*	RpHAnimFrameGetHierarchy( RwFrame* frame );
s32					RpHAnimFrameGetID( RwFrame* frame );
// Index of the first node whose id is id, scanning from 0; -1 when none
// matches or the hierarchy has no nodes.
s32					RpHAnimIDGetIndex( const RpHAnimHierarchy* hierarchy, s32 id );

// The standard key frame's functions.
void				RpHAnimKeyFrameApply( void* matrix, void* voidIFrame );
void				RpHAnimKeyFrameInterpolate( void* voidOut, void* voidIn1, void* voidIn2, f32 time );
void				RpHAnimKeyFrameBlend( void* voidOut, void* voidIn1, void* voidIn2, f32 alpha );
void				RpHAnimKeyFrameAdd( void* voidOut, void* voidIn1, void* voidIn2 );
void				RpHAnimKeyFrameMulRecip( void* voidFrame, void* voidStart );
RtAnimAnimation*	RpHAnimKeyFrameStreamRead( RwStream* stream, RtAnimAnimation* animation );
bool				RpHAnimKeyFrameStreamWrite( const RtAnimAnimation* animation, RwStream* stream );
s32					RpHAnimKeyFrameStreamGetSize( const RtAnimAnimation* animation );

#endif
