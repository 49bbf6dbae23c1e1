#include "graphics3d/world/RpWorld.h"

#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpLight.h"

#include <new>

namespace {

RpWorld* gWorlds = nullptr;

}

RpWorld* RpWorldCreate() {
	RpWorld* const world = new ( std::nothrow ) RpWorld{};
	if ( world == nullptr ) {
		return nullptr;
	}
	world->object.type = rpWORLD;
	world->nextWorld = gWorlds;
	gWorlds = world;
	return world;
}

bool RpWorldDestroy( RpWorld* world ) {
	if ( world == nullptr ) {
		return true;
	}
	while ( world->clumpList != nullptr ) {
		RpWorldRemoveClump( world, world->clumpList );
	}
	while ( world->lightList != nullptr ) {
		RpWorldRemoveLight( world, world->lightList );
	}
	for ( RpWorld** link = &gWorlds; *link != nullptr; link = &( *link )->nextWorld ) {
		if ( *link == world ) {
			*link = world->nextWorld;
			break;
		}
	}
	delete world;
	return true;
}

RpWorld* RpWorldAddClump( RpWorld* world, RpClump* clump ) {
	if ( world == nullptr || clump == nullptr || clump->world != nullptr ) {
		return nullptr;
	}
	clump->nextInWorld = world->clumpList;
	clump->world = world;
	world->clumpList = clump;
	return world;
}

RpWorld* RpWorldRemoveClump( RpWorld* world, RpClump* clump ) {
	if ( world == nullptr || clump == nullptr || clump->world != world ) {
		return nullptr;
	}
	for ( RpClump** link = &world->clumpList; *link != nullptr; link = &( *link )->nextInWorld ) {
		if ( *link == clump ) {
			*link = clump->nextInWorld;
			break;
		}
	}
	clump->nextInWorld = nullptr;
	clump->world = nullptr;
	return world;
}

RpWorld* RpWorldAddLight( RpWorld* world, RpLight* light ) {
	if ( world == nullptr || light == nullptr || light->world != nullptr ) {
		return nullptr;
	}
	light->nextInWorld = world->lightList;
	light->world = world;
	world->lightList = light;
	return world;
}

RpWorld* RpWorldRemoveLight( RpWorld* world, RpLight* light ) {
	if ( world == nullptr || light == nullptr || light->world != world ) {
		return nullptr;
	}
	for ( RpLight** link = &world->lightList; *link != nullptr; link = &( *link )->nextInWorld ) {
		if ( *link == light ) {
			*link = light->nextInWorld;
			break;
		}
	}
	light->nextInWorld = nullptr;
	light->world = nullptr;
	return world;
}

RpWorld* RpWorldAddCamera( RpWorld* world, RwCamera* camera ) {
	if ( world == nullptr || camera == nullptr || RwCameraGetWorld( camera ) != nullptr ||
		 world->numCameras >= RPWORLD_MAX_CAMERAS ) {
		return nullptr;
	}
	world->cameras[world->numCameras++] = camera;
	return world;
}

RpWorld* RpWorldRemoveCamera( RpWorld* world, RwCamera* camera ) {
	if ( world == nullptr ) {
		return nullptr;
	}
	for ( u32 i = 0; i < world->numCameras; i++ ) {
		if ( world->cameras[i] == camera ) {
			world->cameras[i] = world->cameras[--world->numCameras];
			world->cameras[world->numCameras] = nullptr;
			return world;
		}
	}
	return nullptr;
}

RpWorld* RwCameraGetWorld( const RwCamera* camera ) {
	for ( RpWorld* world = gWorlds; world != nullptr; world = world->nextWorld ) {
		for ( u32 i = 0; i < world->numCameras; i++ ) {
			if ( world->cameras[i] == camera ) {
				return world;
			}
		}
	}
	return nullptr;
}

u32 RpWorldGetNumClumps( const RpWorld* world ) {
	u32 count = 0;
	for ( const RpClump* clump = world->clumpList; clump != nullptr; clump = clump->nextInWorld ) {
		count++;
	}
	return count;
}

RpWorld* RpWorldRender( RpWorld* world ) {
	return world;
}
