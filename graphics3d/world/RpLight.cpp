#include "graphics3d/world/RpLight.h"

#include "graphics3d/world/RpWorld.h"

#include <new>

RpLight* RpLightCreate() {
	RpLight* const light = new ( std::nothrow ) RpLight{};
	if ( light == nullptr ) {
		return nullptr;
	}
	light->object.object.type = rpLIGHT;
	return light;
}

bool RpLightDestroy( RpLight* light ) {
	if ( light == nullptr ) {
		return true;
	}
	if ( light->world != nullptr ) {
		RpWorldRemoveLight( light->world, light );
	}
	delete light;
	return true;
}

RpWorld* RpLightGetWorld( const RpLight* light ) {
	return light->world;
}
