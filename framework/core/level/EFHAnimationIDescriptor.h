/*
===============================================================================

	Instance descriptor of a hierarchical animation, over a
	DTHAnimationDescriptor. Its instance class 57 is made by no creator,
	so its place in the object stays empty.

===============================================================================
*/
#ifndef EF_HANIMATION_I_DESCRIPTOR_H
#define EF_HANIMATION_I_DESCRIPTOR_H

#include "datatypes/descriptor/DTHAnimationDescriptor.h"
#include "framework/core/level/EFBaseIDescriptor.h"

class EFHAnimationIDescriptor : public EFBaseIDescriptor {
public:
							EFHAnimationIDescriptor();
	virtual					~EFHAnimationIDescriptor();

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	s32						GetInstanceCLSID() const override;
	DTBaseInstanceDescriptor *	GetDescriptor() override;

	DTHAnimationDescriptor	moDescriptor;
};

#endif
