/*
===============================================================================

	One record of a sound-event table (.TSE), decoded from its 60 stored
	bytes, with its name and its list of playback indexes. The first two
	words and the byte after the stop-out-of-range flag are kept as they
	were stored; nothing reads them.

===============================================================================
*/
#ifndef EF_SOUND_EVENT_DATA_H
#define EF_SOUND_EVENT_DATA_H

#include "datatypes/base/DTTypes.h"

// Stored bytes of a record before its name length.
constexpr u32 EF_SOUND_EVENT_FIXED_BYTES = 60;

// Spatial modes.
constexpr u32 EF_SPATIAL_2D					= 0;
constexpr u32 EF_SPATIAL_3D_SAMPLE_PAN		= 1;
constexpr u32 EF_SPATIAL_3D					= 2;
constexpr u32 EF_SPATIAL_3D_INVERTED		= 3;

struct EFSoundEventData {
	u32						mui32Unused0;
	u32						mui32Unused4;
	u32						mui32SpatialMode;
	u32						mui32SelectionMode;
	f32						mfNearDistance;
	f32						mfNearVolume;
	f32						mfFarDistance;
	f32						mfFarVolume;
	f32						mfCutOffDistance;
	u32						mui32NbElements;
	u32						mui32GroupMask;
	u32						mui32Instances;
	u8						mui8Loop;
	u8						mui8Killable;
	u8						mui8StopOutOfRange;
	u8						mui8Unused51;
	u32						mui32SetMask;
	u32						mui32DSPEffect;
	// Terminated; null only in a record being built.
	char *					mpszName;
	// Playback indexes, null when the count is 0.
	u32 *					mpui32Elements;
};

#endif
