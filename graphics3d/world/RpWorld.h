/*
===============================================================================

	Static world of the 3D library, as far as membership goes: the clumps,
	lights and cameras that are in it.

	A clump, light or camera is in at most one world. Adding one that is
	already in a world refuses (null) and changes nothing; removing one
	from a world it is not in refuses as well, so that no world's lists are
	ever corrupted by a caller that picked the wrong world.

	Sectors, streaming and drawing come with the worlds' own work:
	RpWorldRender has nothing to draw yet. Each world holds at most
	RPWORLD_MAX_CAMERAS cameras.

===============================================================================
*/
#ifndef RP_WORLD_H
#define RP_WORLD_H

#include "graphics3d/core/RwObject.h"

struct RpClump;
struct RpLight;
struct RwCamera;

// Object type of worlds.
constexpr u8 rpWORLD = 7;

constexpr u32 RPWORLD_MAX_CAMERAS = 8;

struct RpWorld {
	RwObject				object;
	RpClump*				clumpList;
	RpLight*				lightList;
	RwCamera*				cameras[RPWORLD_MAX_CAMERAS];
	u32						numCameras;
	RpWorld*				nextWorld;		// among the worlds that exist
};

// A new empty world; null without memory.
RpWorld*		RpWorldCreate();
// Lets go of its clumps, lights and cameras (they stay alive) and is
// freed. True.
bool			RpWorldDestroy( RpWorld* world );

RpWorld*		RpWorldAddClump( RpWorld* world, RpClump* clump );
RpWorld*		RpWorldRemoveClump( RpWorld* world, RpClump* clump );
RpWorld*		RpWorldAddLight( RpWorld* world, RpLight* light );
RpWorld*		RpWorldRemoveLight( RpWorld* world, RpLight* light );
// Null also when the world holds RPWORLD_MAX_CAMERAS cameras.
RpWorld*		RpWorldAddCamera( RpWorld* world, RwCamera* camera );
RpWorld*		RpWorldRemoveCamera( RpWorld* world, RwCamera* camera );
// The world the camera is in, or null.
RpWorld*		RwCameraGetWorld( const RwCamera* camera );
u32				RpWorldGetNumClumps( const RpWorld* world );
// Draws the world's sectors.
RpWorld*		RpWorldRender( RpWorld* world );

#endif
