/*
===============================================================================

	The placed stand-in of one sound container of a game object: a bare
	positioned instance made from the object's sound descriptor, whose
	initialisation adds the descriptor's sound id to the owner's sound
	manager.

===============================================================================
*/
#ifndef EF_SOUND_CONTAINER_DESCRIPTOR_HANDLER_H
#define EF_SOUND_CONTAINER_DESCRIPTOR_HANDLER_H

#include "framework/core/world/EFPosData.h"

class EFSoundContainerDescriptorHandler : public EFPosData {
public:
							EFSoundContainerDescriptorHandler();
	virtual					~EFSoundContainerDescriptorHandler();

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	bool					Initialize( const DTCreationParameters & params ) override;
	// Another bare handler with the same id.
	EFInstance *			ShallowCopy() override;
};

#endif
