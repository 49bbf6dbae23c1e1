/*
===============================================================================

	Writer of the instance descriptors a game-object record lists, and of
	the level's audio-environment record.

	An instance descriptor is stored exactly as its data descriptor:
	UID, "PUID", "REFPUID", then the members of its kind (below). A
	game-object record lists them as class-tagged entries; Entry builds
	such an entry from a descriptor. The audio-environment record is three
	u32 values the engine ignores, then four strings of at most 256
	characters.

===============================================================================
*/
#ifndef TOOL_INSTANCE_WRITER_H
#define TOOL_INSTANCE_WRITER_H

#include "tools/lib/ToolBigEndianWriter.h"
#include "tools/lib/level/ToolLevelRecords.h"

#include <string>
#include <vector>

// Class ids of the instance descriptors and the audio-environment record.
enum ToolInstanceClass : s32 {
	TOOL_CLASS_STATIC_3D_OBJECT_DESCR	= 2,
	TOOL_CLASS_3D_OBJECT_DESCR			= 3,
	TOOL_CLASS_LIGHT_DESCR				= 6,
	TOOL_CLASS_SOUND_DESCR				= 7,
	TOOL_CLASS_MORPH_ANIM_DESCR			= 8,
	TOOL_CLASS_TEXTURE_ANIM_DESCR		= 11,
	TOOL_CLASS_CAMERA_DESCR				= 12,
	TOOL_CLASS_INVISIBLE_DESCR			= 51,
	TOOL_CLASS_HANIMATION_DESCR			= 55,
	TOOL_CLASS_AUDIO_ENV				= 60,
	TOOL_CLASS_ANIM_NODE_DESCR			= 75,
	TOOL_CLASS_LIGHT_ANIM_DESCR			= 77,
	TOOL_CLASS_CAMERA_ANIM_DESCR		= 85,
	TOOL_CLASS_SOUND_CONTAINER_DESCR	= 88,
	// Stored as a 3D object's; they make a water or a ground-fog grid.
	TOOL_CLASS_WATER_GRID_DESCR			= 92,
	TOOL_CLASS_GROUND_FOG_GRID_DESCR	= 93,
};

// Characters of an audio-environment string, terminator excluded.
constexpr size_t TOOL_AUDIO_ENV_NAME_MAX = 256;

// One instance descriptor: its class and the members of that class.
struct ToolInstanceDescriptor {
	s32							classId = TOOL_CLASS_3D_OBJECT_DESCR;
	ToolDescriptorHeader		header;
	// 3D object and grids: "SCALE", "INSTANCE_FLAG".
	ToolVec3					scale = { 1.0f, 1.0f, 1.0f };
	s32							instanceFlag = 0;
	// Sound: "INDEX"; sound container: "SoundEventID".
	s32							index = 0;
	// Animation node: "SOUND_EVENT_IDS".
	std::vector<s32>			soundEventIds;
	// Texture animation: "TEXTURE_FILE_NAME".
	std::string					textureFileName;
	// Camera and invisible object: "POS", "LOOK_AT", "LOOK_UP", "LOOK_RIGHT".
	ToolVec3					position = {};
	ToolVec3					lookAt = { 0.0f, 0.0f, 1.0f };
	ToolVec3					lookUp = { 0.0f, 1.0f, 0.0f };
	ToolVec3					lookRight = { 1.0f, 0.0f, 0.0f };
	// Light: the whole light record (its header is the one above).
	ToolLevelLight				light;
};

struct ToolAudioEnv {
	u32							values[3] = { TOOL_NO_UID, 0, 0 };
	// A (environment name), B, C, D.
	std::string					names[4];
};

class ToolInstanceWriter {
public:
	// The descriptor's stored form; false for an unknown class or a text
	// the engine could not read back.
	static bool				WriteDescriptor( ToolBigEndianWriter& out, const ToolInstanceDescriptor& descriptor );
	// The descriptor as an entry of a game object's descriptor list.
	static ToolContainerEntry	Entry( const ToolInstanceDescriptor& descriptor );
	// A hot spot as an entry of a game object's descriptor list.
	static ToolContainerEntry	Entry( const ToolHotSpot& hotSpot );
	// False when a name is longer than TOOL_AUDIO_ENV_NAME_MAX.
	static bool				WriteAudioEnv( ToolBigEndianWriter& out, const ToolAudioEnv& record );
};

#endif
