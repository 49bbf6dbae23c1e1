/*
===============================================================================

	The value of one input action for one frame: two analog values and a
	flags word. The demo recorder compares and stores it byte for byte, so
	it is a plain 12-byte record with no padding.

===============================================================================
*/
#ifndef ACTION_STATE_H
#define ACTION_STATE_H

#include "datatypes/base/DTTypes.h"

struct ActionState {
	f32 x;
	f32 y;
	u32 flags;
};

static_assert( sizeof( ActionState ) == 12, "ActionState is stored byte for byte" );

// The action has a digital binding.
constexpr u32 EF_ACTION_DIGITAL = 0x1;
// The action has an analog binding on x, on y.
constexpr u32 EF_ACTION_ANALOG_X = 0x2;
constexpr u32 EF_ACTION_ANALOG_Y = 0x4;
// Down now and not last frame; down last frame and not now.
constexpr u32 EF_ACTION_PRESSED	 = 0x8;
constexpr u32 EF_ACTION_RELEASED = 0x10;
// Every input of some digital slot is down; every input of some digital
// slot is up.
constexpr u32 EF_ACTION_DOWN = 0x20;
constexpr u32 EF_ACTION_UP	 = 0x40;
// No bound analog axis beyond the dead zone; some bound axis beyond it.
constexpr u32 EF_ACTION_ANALOG_REST	  = 0x10000;
constexpr u32 EF_ACTION_ANALOG_ACTIVE = 0x20000;
// An axis crossed 0.8 (or -0.8) this frame and dominates the other one.
constexpr u32 EF_ACTION_FLICK_UP	= 0x100000;
constexpr u32 EF_ACTION_FLICK_DOWN	= 0x200000;
constexpr u32 EF_ACTION_FLICK_LEFT	= 0x400000;
constexpr u32 EF_ACTION_FLICK_RIGHT = 0x800000;
constexpr u32 EF_ACTION_FLICKS		= 0xF00000;

#endif
