/*
===============================================================================

	Projected-texture manager (global object goProjectorMgr): projectors
	and the objects that receive them. Placeholder body: no projector is
	made; the receivers, each with the 3D object that receives, are kept
	newest first.

===============================================================================
*/
#ifndef EF_PROJECTOR_MGR_BC_H
#define EF_PROJECTOR_MGR_BC_H

#include "datatypes/base/DTTypes.h"

class EF3dObj;

class EFGameObject;
class EFProjector_BC;

class EFProjectorMgr_BC {
public:
	struct Receiver {
		EFGameObject*		mpoObject;
		EF3dObj*			mpo3dObj;
		Receiver*			mpNext;
	};

							EFProjectorMgr_BC() = default;
							~EFProjectorMgr_BC();
							EFProjectorMgr_BC( const EFProjectorMgr_BC& ) = delete;
	EFProjectorMgr_BC&		operator=( const EFProjectorMgr_BC& ) = delete;

	EFProjector_BC*			CreateProjector();
	EFProjector_BC*			GetProjector( u32 handle );
	void					DestroyProjector( u32 handle );
	// 1 when recorded, 0 without memory.
	u32						AddReceiver( EFGameObject* object, EF3dObj* model );
	// 1 when a record of the object was removed.
	u32						RemoveReceiver( EFGameObject* object );
	// Empties the manager for a level change.
	void					Terminate();

	const Receiver*			GetFirstReceiver() const { return mpReceivers; }

	// Projection passes around one camera's objects.
	void					Begin( u32 camera );
	void					End();

private:
	Receiver*				mpReceivers = nullptr;

	void					RemoveAllReceivers();
};

extern EFProjectorMgr_BC	goProjectorMgr;

#endif
