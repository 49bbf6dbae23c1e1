/*
===============================================================================

	Platform half of the world, over the 3D library: the level's static 3D
	object, whose library world is the level's current world, and the
	level's environment maps, both owned; and the moves of clumps,
	cameras and lights into and out of library worlds.

	A clump, camera or light is only ever added when it is in no world and
	only ever removed from the world it is in, so that a clump kept in the
	HUD's world is never taken for one of the level's.

===============================================================================
*/
#ifndef EF_WORLD_RW_H
#define EF_WORLD_RW_H

#include "datatypes/containers/DTSimpleLinkList.h"
#include "datatypes/base/DTTypes.h"
#include "framework/graphics/EFEnvMap.h"

class EF3dObj;
class EFCamera;
class EFLight;
class EFStatic3dObj;
struct RpWorld;

class EFWorld_SP {
public:
							EFWorld_SP();
	// Terminate.
	virtual					~EFWorld_SP();

	EFStatic3dObj *			GetStatic3dObj() const { return mpoStatic3dObj; }
	// Terminates what the world holds, then keeps object (owned).
	void					SetStatic3dObj( EFStatic3dObj * object );
	// The static object's library world; null without a static object.
	RpWorld *				GetCurrentWorld() const;
	// Puts map in front of the list (owned).
	void					AddEnvMap( EFEnvMap * map );
	EFEnvMap *				GetFirstEnvMap() const { return moEnvMaps.mpFirst; }
	// Deletes every environment map, then terminates and deletes the
	// static object.
	void					Terminate();

	// The 3D object's clump into the current world when it is in none /
	// out of the world it is in.
	void					Add3dObj( EF3dObj * object );
	void					Remove3dObj( EF3dObj * object );
	// The camera's library camera into the current world / out of the
	// world it is in.
	void					AddCameraInstance( EFCamera * camera );
	void					RemoveCameraInstance( EFCamera * camera );
	// The light's library light into the current world when it is in
	// none / out of the world it is in.
	void					AddLightInstance( EFLight * light );
	void					RemoveLightInstance( EFLight * light );
	void					SetVisible( EFLight * light, u32 visible );

private:
	EFStatic3dObj *			mpoStatic3dObj;
	DTSimpleLinkList<EFEnvMap>	moEnvMaps;
};

#endif
