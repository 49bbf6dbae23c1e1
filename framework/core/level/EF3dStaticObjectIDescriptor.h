/*
===============================================================================

	Instance descriptor of the static 3D object: over a
	DT3dStaticObjectDescriptor, it makes an EFStatic3dObj (instance class
	24).

===============================================================================
*/
#ifndef EF_3D_STATIC_OBJECT_I_DESCRIPTOR_H
#define EF_3D_STATIC_OBJECT_I_DESCRIPTOR_H

#include "datatypes/descriptor/DT3dStaticObjectDescriptor.h"
#include "framework/core/level/EFBaseIDescriptor.h"

class EF3dStaticObjectIDescriptor : public EFBaseIDescriptor {
public:
							EF3dStaticObjectIDescriptor();
	virtual					~EF3dStaticObjectIDescriptor();

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	s32						GetInstanceCLSID() const override;
	DTBaseInstanceDescriptor *	GetDescriptor() override;

	DT3dStaticObjectDescriptor	moDescriptor;
};

#endif
