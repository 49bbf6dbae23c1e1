/*
===============================================================================

	The level's static 3D object: the positioned instance that holds the
	level's library world, which it owns. Only its registration, its world
	and Terminate exist so far; loading the world comes with the static
	world's own work.

===============================================================================
*/
#ifndef EF_STATIC_3D_OBJ_H
#define EF_STATIC_3D_OBJ_H

#include "framework/core/world/EFPosData.h"

struct RpWorld;

constexpr s32 EF_STATIC_3D_OBJ_CLASS_ID = 24;

class EFStatic3dObj : public EFPosData {
public:
							EFStatic3dObj();
	virtual					~EFStatic3dObj();

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	// Destroys the world (recorded in the call trace).
	void					Terminate() override;

	RpWorld *				GetWorld() const { return mpWorld; }
	// Keeps world as the object's own.
	void					SetWorld( RpWorld * world ) { mpWorld = world; }

private:
	RpWorld *				mpWorld;
};

#endif
