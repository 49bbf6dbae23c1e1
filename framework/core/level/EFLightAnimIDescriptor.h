/*
===============================================================================

	Instance descriptor of a light animation, over a
	DTLightAnimDescriptor. Its instance class 78 is made by no creator, so
	its place in the object stays empty.

===============================================================================
*/
#ifndef EF_LIGHT_ANIM_I_DESCRIPTOR_H
#define EF_LIGHT_ANIM_I_DESCRIPTOR_H

#include "datatypes/descriptor/DTLightAnimDescriptor.h"
#include "framework/core/level/EFBaseIDescriptor.h"

class EFLightAnimIDescriptor : public EFBaseIDescriptor {
public:
							EFLightAnimIDescriptor();
	virtual					~EFLightAnimIDescriptor();

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	s32						GetInstanceCLSID() const override;
	DTBaseInstanceDescriptor *	GetDescriptor() override;

	DTLightAnimDescriptor	moDescriptor;
};

#endif
