/*
===============================================================================

	Instance descriptor of a water grid: stored and created exactly as a
	3D object's (a DT3dObjectDescriptor naming the quad model that gives
	the grid its rectangle), but it makes an EFWaterGrid (instance class
	65), which the water simulation module of its game object feeds.

===============================================================================
*/
#ifndef EF_WATER_GRID_I_DESCRIPTOR_H
#define EF_WATER_GRID_I_DESCRIPTOR_H

#include "framework/core/level/EF3dObjectIDescriptor.h"

class EFWaterGridIDescriptor : public EF3dObjectIDescriptor {
public:
							EFWaterGridIDescriptor();
							~EFWaterGridIDescriptor() override;

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	s32						GetInstanceCLSID() const override;
};

#endif
