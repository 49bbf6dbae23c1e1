/*
===============================================================================

	The world (gpoWorldMgr): the game objects of the level and their
	per-frame update. It owns the light manager, which it creates into
	gpoEFLightMgr and deletes with itself. Placeholder body: the world is
	empty.

===============================================================================
*/
#ifndef EF_WORLD_H
#define EF_WORLD_H

#include "datatypes/DTTypes.h"

class EFWorld {
public:
							EFWorld();
							~EFWorld();

	void					Update( f32 dt );
	void					Terminate();
};

extern EFWorld*	gpoWorldMgr;

#endif
