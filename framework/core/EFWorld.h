/*
===============================================================================

	The world (gpoWorldMgr): the game objects of the level and their
	per-frame update. It owns the light manager, which it creates into
	gpoEFLightMgr and deletes with itself.

	Placeholder body: Update and Terminate do no work yet. What the game
	objects need already exists: the object registry (a map by id and the
	object list, newest first), the level's static 3D object, the special
	object's id, and putting 3D objects into the level's library world
	(recorded in the call trace).

===============================================================================
*/
#ifndef EF_WORLD_H
#define EF_WORLD_H

#include "datatypes/DTMap.h"
#include "datatypes/DTTypes.h"
#include "datatypes/MLIST.h"

class EF3dObj;
class EFGameObject;
class EFStatic3dObj;

class EFWorld {
public:
							EFWorld();
							~EFWorld();

	void					Update( f32 dt );
	void					Terminate();

	// --- Game-object registry ---

	// Puts the object into the map under its id (replacing an entry) and
	// in front of the object list.
	void					AddGameObject( EFGameObject* object );
	// Takes the object of id off the list and out of the map; nothing is
	// deleted.
	void					RemoveGameObject( u32 id );
	// The object of id in the map, or null.
	EFGameObject*			FindGameObject( u32 id ) const;
	// The first object of the list, newest first.
	EFGameObject*			GetFirstGameObject() const;

	// Id of the object drawn as the sky dome; 0 for none.
	u32						muiSpecialObjectId;

	// --- Level's library world ---

	// Put the 3D object's clump into / take it out of the level's world.
	void					Add3dObj( EF3dObj* object );
	void					Remove3dObj( EF3dObj* object );
	// The level's static 3D object, or null.
	EFStatic3dObj*			GetStatic3dObj() const { return mpoStatic3dObj; }
	// Keeps object as the level's static 3D object; the caller owns it.
	void					SetStatic3dObj( EFStatic3dObj* object ) { mpoStatic3dObj = object; }

private:
	DTMap<u32, EFGameObject*>	moObjectMap;
	MLIST					moObjectList;
	EFStatic3dObj*			mpoStatic3dObj;
};

extern EFWorld*	gpoWorldMgr;

#endif
