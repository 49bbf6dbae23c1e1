/*
===============================================================================

	Game memory: the id-keyed game buffers of logic. Placeholder body: no
	buffer exists, so killing them all has nothing to free.

===============================================================================
*/
#ifndef EF_GAME_MEMORY_MGR_H
#define EF_GAME_MEMORY_MGR_H

#include "datatypes/DTTypes.h"

class EFGameMemoryMgr {
public:
	void					KillAllGameBuffers();
};

#endif
