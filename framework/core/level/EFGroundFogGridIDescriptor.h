/*
===============================================================================

	Instance descriptor of a ground-fog grid: stored and created exactly
	as a 3D object's (a DT3dObjectDescriptor naming the quad model that
	gives the grid its rectangle), but it makes an EFGroundFogGrid
	(instance class 86), which the ground-fog simulation module of its
	game object feeds.

===============================================================================
*/
#ifndef EF_GROUND_FOG_GRID_I_DESCRIPTOR_H
#define EF_GROUND_FOG_GRID_I_DESCRIPTOR_H

#include "framework/core/level/EF3dObjectIDescriptor.h"

class EFGroundFogGridIDescriptor : public EF3dObjectIDescriptor {
public:
							EFGroundFogGridIDescriptor();
							~EFGroundFogGridIDescriptor() override;

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	s32						GetInstanceCLSID() const override;
};

#endif
