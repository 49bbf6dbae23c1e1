/*
===============================================================================

	Projected-texture manager (global object goProjectorMgr): projectors
	and the objects that receive them. Placeholder body: nothing is made
	or recorded.

===============================================================================
*/
#ifndef EF_PROJECTOR_MGR_BC_H
#define EF_PROJECTOR_MGR_BC_H

#include "datatypes/DTTypes.h"

class EF3dObj;
class EFGameObject;
class EFProjector_BC;

class EFProjectorMgr_BC {
public:
	EFProjector_BC*			CreateProjector();
	EFProjector_BC*			GetProjector( u32 handle );
	void					DestroyProjector( u32 handle );
	// 1 when recorded, 0 without memory.
	u32						AddReceiver( EFGameObject* object, EF3dObj* model );
	// 1 when a record of the object was removed.
	u32						RemoveReceiver( EFGameObject* object );
	void					Terminate();
};

extern EFProjectorMgr_BC	goProjectorMgr;

#endif
