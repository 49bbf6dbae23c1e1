/*
===============================================================================

	Shadow manager (global object goShadowMgr): the game objects that cast
	shadows, each with the 3D object that casts them, newest first. Only
	the caster list exists so far; drawing comes with the shadows' own
	work.

===============================================================================
*/
#ifndef EF_SHADOW_MGR_H
#define EF_SHADOW_MGR_H

#include "datatypes/base/DTTypes.h"

class EF3dObj;

class EFGameObject;

class EFLightMgr;

class EFShadowMgr {
public:
	struct Caster {
		EFGameObject *		mpoObject;
		EF3dObj *			mpo3dObj;
		Caster *			mpNext;
	};

							EFShadowMgr();
							~EFShadowMgr();

							EFShadowMgr( const EFShadowMgr & ) = delete;
	EFShadowMgr &			operator=( const EFShadowMgr & ) = delete;

	// Adds a caster record in front: 1, or 0 without memory.
	u32						AddCaster( EFGameObject * object, EF3dObj * model );
	// Removes the first record of object: 1 found, 0 not.
	u32						RemoveCaster( EFGameObject * object );
	// Removes every record.
	void					Terminate();

	const Caster *			GetFirstCaster() const { return mpCasters; }

	// Prepares shadow drawing; placeholder until shadows are drawn.
	void					Initialize();
	// Shadow passes around one camera's objects.
	void					Begin( EFLightMgr* lights, u32 camera );
	void					End( EFLightMgr* lights );

private:
	Caster *				mpCasters;
};

extern EFShadowMgr	goShadowMgr;

#endif
