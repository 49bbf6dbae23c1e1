/*
===============================================================================

	Instance descriptor of a hierarchical animation node: over a
	DTAnimDescriptor, it makes an EFHAnimNode (class 74).

===============================================================================
*/
#ifndef EF_ANIM_I_DESCRIPTOR_H
#define EF_ANIM_I_DESCRIPTOR_H

#include "datatypes/descriptor/DTAnimDescriptor.h"
#include "framework/core/level/EFBaseIDescriptor.h"

class EFAnimIDescriptor : public EFBaseIDescriptor {
public:
							EFAnimIDescriptor();
	virtual					~EFAnimIDescriptor();

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	s32						GetInstanceCLSID() const override;
	DTBaseInstanceDescriptor *	GetDescriptor() override;

	DTAnimDescriptor	moDescriptor;
};

#endif
