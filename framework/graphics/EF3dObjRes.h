/*
===============================================================================

	A model resource ("EF_3DOBJ_RES", class 91): what 3D objects share.
	A copy for one more user holds a clone of the clump and its own copy
	of the emitters.

===============================================================================
*/
#ifndef EF_3D_OBJ_RES_H
#define EF_3D_OBJ_RES_H

#include "framework/graphics/EF3dObjResData.h"

constexpr s32 EF_3D_OBJ_RES_CLASS_ID = 91;

class EF3dObjRes : public EF3dObjResData {
public:
							EF3dObjRes();
	virtual					~EF3dObjRes();

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	// A new resource over a clone of the clump and a copy of the emitters;
	// null when either cannot be made.
	EFRessource *			Copy() override;
};

#endif
