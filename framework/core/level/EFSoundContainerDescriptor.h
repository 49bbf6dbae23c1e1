/*
===============================================================================

	Instance descriptor of a sound container: over a
	DTSoundContainerDescriptor, it makes a sound container handler
	(instance class 89).

===============================================================================
*/
#ifndef EF_SOUND_CONTAINER_DESCRIPTOR_H
#define EF_SOUND_CONTAINER_DESCRIPTOR_H

#include "datatypes/descriptor/DTSoundContainerDescriptor.h"
#include "framework/core/level/EFBaseIDescriptor.h"

class EFSoundContainerDescriptor : public EFBaseIDescriptor {
public:
							EFSoundContainerDescriptor();
	virtual					~EFSoundContainerDescriptor();

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	s32						GetInstanceCLSID() const override;
	DTBaseInstanceDescriptor *	GetDescriptor() override;

	DTSoundContainerDescriptor	moDescriptor;
};

#endif
