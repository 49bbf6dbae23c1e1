/*
===============================================================================

	One record of a sound-container table (.TSC), decoded from its 24
	stored bytes, with its name and its list of sound-event ids. The first
	two words are kept as they were stored; nothing reads them.

===============================================================================
*/
#ifndef EF_SOUND_CONTAINER_DATA_H
#define EF_SOUND_CONTAINER_DATA_H

#include "datatypes/base/DTTypes.h"

// Stored bytes of a record before its name length.
constexpr u32 EF_SOUND_CONTAINER_FIXED_BYTES = 24;

// Play modes.
constexpr u32 EF_CONTAINER_RANDOM		= 0;
constexpr u32 EF_CONTAINER_SEQUENCE		= 1;
constexpr u32 EF_CONTAINER_SHUFFLE		= 2;
constexpr u32 EF_CONTAINER_STEP			= 3;
constexpr u32 EF_CONTAINER_ALL			= 4;
constexpr u32 EF_CONTAINER_BODY_STATE	= 5;

struct EFSoundContainerData {
	u32						mui32Unused0;
	u32						mui32Unused4;
	u32						mui32PlayMode;
	u32						mui32NbElements;
	u32						mui32Instances;
	u32						mui32Loop;
	// Terminated; null only in a record being built.
	char *					mpszName;
	// Sound-event ids (0xFFFFFFFF: a hole), null when the count is 0.
	u32 *					mpui32Elements;
};

#endif
