/*
===============================================================================

	Environment map of the level, drawn by the world after the game
	objects. Maps are kept in the world's list through mpNext.

	Placeholder body: Render is recorded in the call trace; loading and
	drawing come with the environment maps' own work.

===============================================================================
*/
#ifndef EF_ENV_MAP_H
#define EF_ENV_MAP_H

#include "datatypes/base/DTTypes.h"

class EFEnvMap {
public:
							EFEnvMap() : mpNext( nullptr ) {}
	virtual					~EFEnvMap() {}

	// Draws the map.
	virtual void			Render();

	EFEnvMap*				mpNext;
};

#endif
