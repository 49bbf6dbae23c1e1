/*
===============================================================================

	Light of the 3D library, as far as world membership goes: its object
	header (whose flags byte the light API reads and writes whole) and
	the world it is in.

	Colour, radius and cone come with the lights' own work.

===============================================================================
*/
#ifndef RP_LIGHT_H
#define RP_LIGHT_H

#include "graphics3d/core/RwObject.h"

struct RpWorld;

// Object type of lights.
constexpr u8 rpLIGHT = 3;

struct RpLight {
	RwObjectHasFrame		object;
	RpWorld*				world;
	RpLight*				nextInWorld;
};

// A new light in no world; null without memory.
RpLight*		RpLightCreate();
// Leaves its world and is freed. True.
bool			RpLightDestroy( RpLight* light );
// The world the light is in, or null.
RpWorld*		RpLightGetWorld( const RpLight* light );

#endif
