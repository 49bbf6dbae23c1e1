/*
===============================================================================

	Stored description of a sound: its index in the sound tables.

	Stored after the descriptor members: "INDEX".

===============================================================================
*/
#ifndef DT_SOUND_DESCRIPTOR_H
#define DT_SOUND_DESCRIPTOR_H

#include "datatypes/descriptor/DTBaseInstanceDescriptor.h"

class DTSoundDescriptor : public DTBaseInstanceDescriptor {
public:
							DTSoundDescriptor();
	virtual					~DTSoundDescriptor();

	s32							miIndex;
};

#endif
