/*
===============================================================================

	Stored description of a 3D object: its scale and instance flags.

	Stored after the descriptor members: "SCALE", "INSTANCE_FLAG".

===============================================================================
*/
#ifndef DT_3D_OBJECT_DESCRIPTOR_H
#define DT_3D_OBJECT_DESCRIPTOR_H

#include "datatypes/descriptor/DT3dStaticObjectDescriptor.h"
#include "datatypes/property/DTDummyVector3.h"

class DT3dObjectDescriptor : public DT3dStaticObjectDescriptor {
public:
							DT3dObjectDescriptor();
	virtual					~DT3dObjectDescriptor();

	DTDummyVector3				moScale;
	s32							miInstanceFlag;
};

#endif
