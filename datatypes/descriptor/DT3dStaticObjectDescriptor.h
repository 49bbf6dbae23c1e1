/*
===============================================================================

	Stored description of a static 3D object: the descriptor members only.

===============================================================================
*/
#ifndef DT_3D_STATIC_OBJECT_DESCRIPTOR_H
#define DT_3D_STATIC_OBJECT_DESCRIPTOR_H

#include "datatypes/descriptor/DTBaseInstanceDescriptor.h"

class DT3dStaticObjectDescriptor : public DTBaseInstanceDescriptor {
public:
							DT3dStaticObjectDescriptor();
	virtual					~DT3dStaticObjectDescriptor();
};

#endif
