/*
===============================================================================

	Stored description of a sound container: the sound event it plays.

	Stored after the descriptor members: "SoundEventID".

===============================================================================
*/
#ifndef DT_SOUND_CONTAINER_DESCRIPTOR_H
#define DT_SOUND_CONTAINER_DESCRIPTOR_H

#include "datatypes/descriptor/DTBaseInstanceDescriptor.h"

class DTSoundContainerDescriptor : public DTBaseInstanceDescriptor {
public:
							DTSoundContainerDescriptor();
	virtual					~DTSoundContainerDescriptor();

	u32							mui32SoundEventID;
};

#endif
