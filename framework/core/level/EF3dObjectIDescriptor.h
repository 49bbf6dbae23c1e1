/*
===============================================================================

	Instance descriptor of a 3D object: over a DT3dObjectDescriptor, it
	makes an EF3dObj (instance class 15).

===============================================================================
*/
#ifndef EF_3D_OBJECT_I_DESCRIPTOR_H
#define EF_3D_OBJECT_I_DESCRIPTOR_H

#include "datatypes/descriptor/DT3dObjectDescriptor.h"
#include "framework/core/level/EFBaseIDescriptor.h"

class EF3dObjectIDescriptor : public EFBaseIDescriptor {
public:
							EF3dObjectIDescriptor();
	virtual					~EF3dObjectIDescriptor();

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	s32						GetInstanceCLSID() const override;
	DTBaseInstanceDescriptor *	GetDescriptor() override;

	DT3dObjectDescriptor	moDescriptor;
};

#endif
