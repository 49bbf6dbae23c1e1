/*
===============================================================================

	Plain records of the engine's stored level objects, as the level
	writers take them.

	Each record holds what one stored object carries, in the engine's
	field order; the writers turn them into bytes. Records that name
	blocks hold the block bytes as they are to be stored (big-endian data
	is the caller's business: the writer copies blocks untouched).

===============================================================================
*/
#ifndef TOOL_LEVEL_RECORDS_H
#define TOOL_LEVEL_RECORDS_H

#include "datatypes/base/DTTypes.h"

#include <array>
#include <string>
#include <vector>

typedef std::array<f32, 2> ToolVec2;
typedef std::array<f32, 3> ToolVec3;
typedef std::array<f32, 4> ToolVec4;

// UID of an object whose id is not set.
constexpr u32 TOOL_NO_UID = 0xFFFFFFFF;

// The members every instance descriptor starts with.
struct ToolDescriptorHeader {
	u32							uid = TOOL_NO_UID;
	s32							puid = 0;
	s32							refPuid = -1;
};

// An opaque block with the size its owner declares; the stored count is
// the byte count unless count overrides it.
struct ToolMagicBlock {
	u32							size = 0;
	std::vector<u8>				bytes;
};

struct ToolHotSpot {
	ToolDescriptorHeader		header;
	ToolVec3					scale = { 1.0f, 1.0f, 1.0f };
	s32							instanceFlag = 0;
	u32							primType = 0;
	u32							primitiveTag = 0;
	u32							boneID = 0;
	ToolVec3					translation = { 0.0f, 0.0f, 0.0f };
	f32							hardness = 0.0f;
	f32							rebound = 0.0f;
	// DetectionMode, Type, DetectType, UDType, UDDetectType, EnvDetectType,
	// UDEnvDetectType, NotifyType, Arg1, Arg2, Arg3.
	std::array<u32, 11>			words = {};
	// As many as primType stores (1, 4 or 3).
	std::vector<f32>			sizes;
};

struct ToolLevelLight {
	ToolDescriptorHeader		header;
	s32							lightType = 0;
	ToolVec4					color = { 0.0f, 0.0f, 0.0f, 0.0f };
	u32							flags = 0;
	f32							radius = 0.0f;
	f32							coneAngle = 0.0f;
	ToolVec3					position = {};
	ToolVec3					at = {};
	ToolVec3					up = {};
	ToolVec3					right = {};
};

struct ToolFonts {
	ToolDescriptorHeader		header;
	u32							nbChars = 0;
	u32							position0 = 0;
	f32							spaceSize = 0.0f;
	f32							lineHeight = 0.0f;
	f32							interSpace = 0.0f;
	std::vector<std::string>	textureNames;
	u32							sizeTextIndexTable = 0;
	// 4 x sizeTextIndexTable bytes, 44 x nbChars bytes, 256 bytes.
	std::vector<u8>				textIndexTable;
	std::vector<u8>				charTable;
	std::vector<u8>				asciiTable = std::vector<u8>( 256, 0 );
};

struct ToolFontsPalette {
	ToolDescriptorHeader		header;
	u32							nbColors = 0;
	// 16 x nbColors bytes.
	std::vector<u8>				colorTable;
};

// The loading screen's description: its background and bar pictures.
struct ToolLoadingScreen {
	ToolDescriptorHeader		header;
	std::string					background;
	std::string					bar;
};

struct ToolTextLanguage {
	// 4 x the text count bytes.
	std::vector<u8>				index;
	char						separator = '\n';
	std::vector<u8>				texts;
};

struct ToolTexts {
	ToolDescriptorHeader		header;
	u32							nbTextes = 0;
	std::vector<ToolTextLanguage>	languages;
};

struct ToolPaletteEntry {
	std::string					name;
	char						separator = '\n';
	std::vector<s32>			offsets;
};

struct ToolPaletteDictionary {
	ToolDescriptorHeader		header;
	u32							nbStates = 0;
	// Stored under "PAL_BUF_SIZE" as its byte count (4 x palette words).
	std::vector<u8>				paletteBuffer;
	std::vector<ToolPaletteEntry>	entries;
};

struct ToolParticleContainer {
	ToolDescriptorHeader		header;
	s32							nb = 0;
	ToolMagicBlock				types;
};

struct ToolEmitter {
	u32							uid = TOOL_NO_UID;
	s32							boneId = 0;
	ToolVec3					position = {};
	ToolVec3					lookAt = {};
	ToolVec3					lookUp = {};
	ToolVec3					lookRight = {};
	ToolMagicBlock				block;
};

struct ToolEmitterContainer {
	ToolDescriptorHeader		header;
	std::vector<ToolEmitter>	emitters;
};

// One entry of a class-tagged object list: the class id and the object's
// stored bytes.
struct ToolContainerEntry {
	s32							classId = 0;
	std::vector<u8>				object;
};

struct ToolGloRecord {
	u32							uid = TOOL_NO_UID;
	u32							gloId = 0xFFFFFFFF;
	u32							enableBitPos = 0xFFFFFFFF;
	ToolVec3					position = { 0.0f, 0.0f, 0.0f };
	ToolVec3					lookAt = { 0.0f, 0.0f, 1.0f };
	ToolVec3					lookUp = { 0.0f, 1.0f, 0.0f };
	ToolVec3					lookRight = { 1.0f, 0.0f, 0.0f };
	u32							objectFlags = 0;
	u32							shadowsFlags = 0;
	std::vector<ToolContainerEntry>	descriptors;
	ToolMagicBlock				magic;
};

#endif
