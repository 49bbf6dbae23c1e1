/*
===============================================================================

	Instance descriptor of a texture animation: over a
	DTTextureAnimationDescriptor, it makes a texture animation node (class
	84).

===============================================================================
*/
#ifndef EF_TEXTURE_ANIMATION_I_DESCRIPTOR_H
#define EF_TEXTURE_ANIMATION_I_DESCRIPTOR_H

#include "datatypes/descriptor/DTTextureAnimationDescriptor.h"
#include "framework/core/level/EFBaseIDescriptor.h"

class EFTextureAnimationIDescriptor : public EFBaseIDescriptor {
public:
							EFTextureAnimationIDescriptor();
	virtual					~EFTextureAnimationIDescriptor();

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	s32						GetInstanceCLSID() const override;
	DTBaseInstanceDescriptor *	GetDescriptor() override;

	DTTextureAnimationDescriptor	moDescriptor;
};

#endif
