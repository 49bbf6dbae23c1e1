/*
===============================================================================

	A game object's clipping state between two clipping passes: its
	parameters, the state of each of the five camera slots, the clip
	operations word in force and the frustum and band results of the last
	pass; and the same for its proximity test.

	Clip operation bits, and the object's muiClipTests bits, are named
	here.

===============================================================================
*/
#ifndef EF_OBJ_CLIPPING_H
#define EF_OBJ_CLIPPING_H

#include "framework/core/world/EFClippingParams.h"
#include "framework/core/world/EFProximityClippingParams.h"

constexpr u32 EF_CLIP_CAMERA_SLOTS		= 5;

// Clip operations.
constexpr u32 EF_CLIPOP_NO_RENDER		= 0x4;
constexpr u32 EF_CLIPOP_NO_ANIMATION	= 0x20;
constexpr u32 EF_CLIPOP_NO_HIERARCHY	= 0x40;
constexpr u32 EF_CLIPOP_NO_PHYSICS		= 0x80;
constexpr u32 EF_CLIPOP_PHYSICS_SUSPEND	= 0x100;
constexpr u32 EF_CLIPOP_NO_TIMERS		= 0x200;
constexpr u32 EF_CLIPOP_NO_LOGIC		= 0x400;
constexpr u32 EF_CLIPOP_NOTIFY			= 0x10000000;
// Out-of-view word of a new object's bands.
constexpr u32 EF_CLIPOP_DEFAULT_OUT		= 0x6A0;

// muiClipTests.
constexpr u32 EF_CLIPTEST_DISTANCE		= 0x1;
constexpr u32 EF_CLIPTEST_PROXIMITY		= 0x2;
constexpr u32 EF_CLIPTEST_FORCE_NOTIFY	= 0x4;
constexpr u32 EF_CLIPTEST_FORCE_PROX	= 0x8;

struct EFCamClipState {
	u32						uiCamClipOps;
	u16						ui16CamInFrustum;
	u16						ui16CamDistLevel;
};

struct EFObjClipping {
	EFClippingParams		clipParams;
	EFCamClipState			camClipState[EF_CLIP_CAMERA_SLOTS];
	u32						uiClipOps;
	u16						ui16InFrustum;
	u16						ui16DistLevel;
};

struct EFObjProximityClipping {
	EFProximityClippingParams	proxClipParams;
	u32						bInProxDist;
};

#endif
