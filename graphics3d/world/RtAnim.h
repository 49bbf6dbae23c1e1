/*
===============================================================================

	Animation toolkit core: interpolation schemes and interpolators.

	A process-wide registry holds up to 16 interpolation schemes, one per
	key-frame type, each copied whole on registration; schemes are never
	removed. An interpolator is one block: its head, then one interpolated
	key frame per node. Key frames start at the head's size rounded up to 8
	so that they may hold pointers.

===============================================================================
*/
#ifndef RT_ANIM_H
#define RT_ANIM_H

#include "datatypes/base/DTTypes.h"

struct RwStream;
struct RtAnimAnimation;
struct RtAnimInterpolator;

typedef void				( *RtAnimKeyFrameApplyCallBack )( void* result, void* voidIFrame );
typedef void				( *RtAnimKeyFrameBlendCallBack )( void* voidOut, void* voidIn1, void* voidIn2, f32 alpha );
typedef void				( *RtAnimKeyFrameInterpolateCallBack )( void* voidOut, void* voidIn1, void* voidIn2, f32 time );
typedef void				( *RtAnimKeyFrameAddCallBack )( void* voidOut, void* voidIn1, void* voidIn2 );
typedef void				( *RtAnimKeyFrameMulRecipCallBack )( void* voidFrame, void* voidStart );
typedef RtAnimAnimation*	( *RtAnimKeyFrameStreamReadCallBack )( RwStream* stream, RtAnimAnimation* animation );
typedef bool				( *RtAnimKeyFrameStreamWriteCallBack )( const RtAnimAnimation* animation, RwStream* stream );
typedef s32					( *RtAnimKeyFrameStreamGetSizeCallBack )( const RtAnimAnimation* animation );
typedef RtAnimInterpolator*	( *RtAnimCallBack )( RtAnimInterpolator* interpolator, void* data );

// An animation as the key-frame stream functions read and write it: its
// scheme's type id and its key frames, one array of the scheme's size.
struct RtAnimAnimation {
	s32			typeID;
	s32			numFrames;
	void*		pFrames;
};

// One interpolation scheme.
struct RtAnimInterpolatorInfo {
	s32										typeID;			// unique key
	s32										keyFrameSize;	// bytes
	RtAnimKeyFrameApplyCallBack				keyFrameApplyCB;
	RtAnimKeyFrameBlendCallBack				keyFrameBlendCB;
	RtAnimKeyFrameInterpolateCallBack		keyFrameInterpolateCB;
	RtAnimKeyFrameAddCallBack				keyFrameAddCB;
	RtAnimKeyFrameMulRecipCallBack			keyFrameMulRecipCB;
	RtAnimKeyFrameStreamReadCallBack		keyFrameStreamReadCB;
	RtAnimKeyFrameStreamWriteCallBack		keyFrameStreamWriteCB;
	RtAnimKeyFrameStreamGetSizeCallBack		keyFrameStreamGetSizeCB;
};

// Head of an interpolator; the key frames follow.
struct RtAnimInterpolator {
	RtAnimAnimation*					pCurrentAnim;
	f32									currentTime;
	void*								pNextFrame;
	RtAnimCallBack						pAnimCallBack;
	void*								pAnimCallBackData;
	f32									animCallBackTime;		// -1: no callback
	RtAnimCallBack						pAnimLoopCallBack;
	void*								pAnimLoopCallBackData;
	s32									maxKeyFrameSize;
	s32									currentKeyFrameSize;
	s32									numNodes;
	s32									isSubInterpolator;
	s32									offsetInParent;
	RtAnimInterpolator*					parentAnimation;		// itself
	RtAnimKeyFrameApplyCallBack			keyFrameApplyCB;
	RtAnimKeyFrameBlendCallBack			keyFrameBlendCB;
	RtAnimKeyFrameInterpolateCallBack	keyFrameInterpolateCB;
	RtAnimKeyFrameAddCallBack			keyFrameAddCB;
};

// Schemes the registry holds, and the error codes of its plug-in id.
constexpr s32 RTANIM_MAX_SCHEMES			= 16;
constexpr u32 RTANIM_PLUGIN_ID				= 0x1B7;
constexpr u32 RTANIM_ERR_DUPLICATE_TYPE		= 0;
constexpr u32 RTANIM_ERR_REGISTRY_FULL		= 1;

// Where the key frames start.
constexpr u32 RTANIM_KEYFRAMES_OFFSET = ( sizeof( RtAnimInterpolator ) + 7 ) & ~7u;

extern RtAnimInterpolatorInfo	RtAnimInterpolatorInfoBlock[RTANIM_MAX_SCHEMES];
extern s32						RtAnimInterpolatorInfoBlockNumEntries;

// Copies the scheme into the next entry. False with {0x1B7, 1} when all
// 16 entries are used and {0x1B7, 0} when its type id is present; a null
// scheme is refused with 0x80000016.
bool					RtAnimRegisterInterpolationScheme( const RtAnimInterpolatorInfo* interpolatorInfo );

// One block from the engine's malloc hook; key frames are left as
// allocated. Null when the allocation fails or a count is negative or too
// large.
RtAnimInterpolator*		RtAnimInterpolatorCreate( s32 numNodes, s32 keyFrameSize );
// Frees through the engine's free hook; null is ignored.
void					RtAnimInterpolatorDestroy( RtAnimInterpolator* interpolator );

// Key frame n of an interpolator.
inline void* RtAnimInterpolatorGetKeyFrame( RtAnimInterpolator* interpolator, const s32 n ) {
	return reinterpret_cast<u8*>( interpolator ) + RTANIM_KEYFRAMES_OFFSET +
		   static_cast<u64>( n ) * static_cast<u64>( interpolator->currentKeyFrameSize );
}

#endif
