/*
===============================================================================

	Instance descriptor of a morph animation: over a
	DTMorphAnimationDescriptor, it makes a morph animation node (class
	81).

===============================================================================
*/
#ifndef EF_MORPH_ANIMATION_I_DESCRIPTOR_H
#define EF_MORPH_ANIMATION_I_DESCRIPTOR_H

#include "datatypes/descriptor/DTMorphAnimationDescriptor.h"
#include "framework/core/level/EFBaseIDescriptor.h"

class EFMorphAnimationIDescriptor : public EFBaseIDescriptor {
public:
							EFMorphAnimationIDescriptor();
	virtual					~EFMorphAnimationIDescriptor();

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	s32						GetInstanceCLSID() const override;
	DTBaseInstanceDescriptor *	GetDescriptor() override;

	DTMorphAnimationDescriptor	moDescriptor;
};

#endif
