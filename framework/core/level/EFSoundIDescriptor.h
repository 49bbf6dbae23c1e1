/*
===============================================================================

	Instance descriptor of a sound: over a DTSoundDescriptor, it makes a
	sound event handler (instance class 23).

===============================================================================
*/
#ifndef EF_SOUND_I_DESCRIPTOR_H
#define EF_SOUND_I_DESCRIPTOR_H

#include "datatypes/descriptor/DTSoundDescriptor.h"
#include "framework/core/level/EFBaseIDescriptor.h"

class EFSoundIDescriptor : public EFBaseIDescriptor {
public:
							EFSoundIDescriptor();
	virtual					~EFSoundIDescriptor();

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	s32						GetInstanceCLSID() const override;
	DTBaseInstanceDescriptor *	GetDescriptor() override;

	DTSoundDescriptor	moDescriptor;
};

#endif
