/*
===============================================================================

	Stored description of an animation node: the sound events it may play.

	Stored after the descriptor members: "SOUND_EVENT_IDS".

===============================================================================
*/
#ifndef DT_ANIM_DESCRIPTOR_H
#define DT_ANIM_DESCRIPTOR_H

#include "datatypes/descriptor/DTBaseInstanceDescriptor.h"
#include "datatypes/containers/DTVector.h"

class DTAnimDescriptor : public DTBaseInstanceDescriptor {
public:
							DTAnimDescriptor();
	virtual					~DTAnimDescriptor();

	DTVector<s32>				moSoundEventIDs;
};

#endif
