/*
===============================================================================

	Instance descriptor of a light, over a DTLightDescriptor. Its instance
	class 18 is made by no creator, so its place in the object stays
	empty.

===============================================================================
*/
#ifndef EF_LIGHT_I_DESCRIPTOR_H
#define EF_LIGHT_I_DESCRIPTOR_H

#include "datatypes/descriptor/DTLightDescriptor.h"
#include "framework/core/level/EFBaseIDescriptor.h"

class EFLightIDescriptor : public EFBaseIDescriptor {
public:
							EFLightIDescriptor();
	virtual					~EFLightIDescriptor();

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	s32						GetInstanceCLSID() const override;
	DTBaseInstanceDescriptor *	GetDescriptor() override;

	DTLightDescriptor	moDescriptor;
};

#endif
