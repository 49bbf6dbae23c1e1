/*
===============================================================================

	The level's static 3D object: the positioned instance that holds the
	level's library world. Only its registration exists so far; loading
	the world comes with the static world's own work.

===============================================================================
*/
#ifndef EF_STATIC_3D_OBJ_H
#define EF_STATIC_3D_OBJ_H

#include "framework/core/EFPosData.h"

constexpr s32 EF_STATIC_3D_OBJ_CLASS_ID = 24;

class EFStatic3dObj : public EFPosData {
public:
							EFStatic3dObj();
	virtual					~EFStatic3dObj();

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
};

#endif
