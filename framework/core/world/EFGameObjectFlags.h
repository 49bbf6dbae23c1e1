/*
===============================================================================

	Constants of the game object: its class, the bits of its logic flags
	word (muiLogicFlags), the kinds of ids it handles, and the world's
	per-frame lists an object is linked into.

===============================================================================
*/
#ifndef EF_GAME_OBJECT_FLAGS_H
#define EF_GAME_OBJECT_FLAGS_H

#include "datatypes/base/DTTypes.h"

constexpr s32 EF_GAME_OBJECT_CLASS_ID		= 32;

// muiLogicFlags.
constexpr u32 EF_LF_PAUSE_MESSAGE			= 0x1;
constexpr u32 EF_LF_PAUSE_SETS_BITS			= 0x2;
constexpr u32 EF_LF_ANIMATION_PAUSED		= 0x8;
constexpr u32 EF_LF_PHYSICS_PAUSED			= 0x10;
constexpr u32 EF_LF_LOGIC_PAUSED			= 0x20;
constexpr u32 EF_LF_PAUSED					= 0x40;
constexpr u32 EF_LF_LIT						= 0x100;
constexpr u32 EF_LF_PROJECTOR_RECEIVER		= 0x200;
constexpr u32 EF_LF_SHADOW_DROP_DOWN		= 0x400;
constexpr u32 EF_LF_SHADOW_CAST				= 0x800;
constexpr u32 EF_LF_SHADOWS					= EF_LF_SHADOW_DROP_DOWN | EF_LF_SHADOW_CAST;
constexpr u32 EF_LF_NOT_DRAWN				= 0x1000;
constexpr u32 EF_LF_SKY_DOME				= 0x2000;
constexpr u32 EF_LF_LOGIC_FIRST				= 0x4000;
// Value at construction.
constexpr u32 EF_LF_DEFAULT					= EF_LF_PAUSE_SETS_BITS;

// Id kinds (top byte).
constexpr u32 EF_KIND_STATIC_3D_OBJECT		= 0x18;
constexpr u32 EF_KIND_GAME_OBJECT			= 0x2a;
constexpr u32 EF_KIND_HOT_SPOT				= 0x3f;
// An object id with this bit is a latent template.
constexpr u32 EF_ID_LATENT					= 0x800000;

// GetObjectFrame's joint that names the object's own frame.
constexpr u32 EF_OWN_FRAME_JOINT			= 0x7FFFFFFF;
// Joints from this value on are bone ids.
constexpr u32 EF_FIRST_BONE_ID				= 0x10000;

// muiUtilFlag: the 3D objects' clumps are in the library world.
constexpr u32 EF_UTIL_CLUMPS_IN_WORLD		= 0x1;

// The world's per-frame lists, places of mpGameObjectPipeLineList.
constexpr u32 EF_WORLD_LOGIC_LIST			= 0;
constexpr u32 EF_WORLD_RENDER_LIST			= 1;
constexpr u32 EF_WORLD_PHYSICS_LIST			= 2;
constexpr u32 EF_WORLD_ANIMATION_LIST		= 3;
constexpr u32 EF_WORLD_DELETION_LIST		= 4;
constexpr u32 EF_WORLD_LIST_COUNT			= 5;

#endif
