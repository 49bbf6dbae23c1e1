/*
===============================================================================

	A latent template kept by the game logic manager: a loaded game object
	that is neither initialised nor in the world, and the level record it
	was loaded from, from which its copies are initialised.

===============================================================================
*/
#ifndef EF_LATANT_H
#define EF_LATANT_H

class DTGlo;
class EFGameObject;

struct _EFLatant {
	EFGameObject *			mpoGameObject;
	DTGlo *					mpoGlo;
};

#endif
