/*
===============================================================================

	Stored description of a level's particle types: "NB" types whose data
	is one opaque block, stored as "PARTYPE_SIZE" (the block's size) and
	"PARTTYPES" (the block: an i32 count, then the bytes). The particle
	code interprets the block.

===============================================================================
*/
#ifndef DT_PARTICLE_CONTAINER_DESCRIPTOR_H
#define DT_PARTICLE_CONTAINER_DESCRIPTOR_H

#include "datatypes/descriptor/DTBaseInstanceDescriptor.h"
#include "datatypes/streamable/DTMagicData.h"

class DTParticleContainerDescriptor : public DTBaseInstanceDescriptor {
public:
							DTParticleContainerDescriptor();
	virtual					~DTParticleContainerDescriptor();

	s32						miNbTypes;
	DTMagicData				moTypes;
};

#endif
