/*
===============================================================================

	Portable half of the game object: a positioned instance with a body
	that runs a logic module through its logic instance.

===============================================================================
*/
#ifndef EF_GAME_OBJECT_BC_H
#define EF_GAME_OBJECT_BC_H

#include "framework/core/world/EFPhysicData.h"
#include "framework/logic/EFLogicInstance.h"

class EFGameObject_BC : public EFPhysicData {
public:
							EFGameObject_BC();
	virtual					~EFGameObject_BC();

	EFLogicInstance			moLogicInstance;
};

#endif
