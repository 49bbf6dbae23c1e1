/*
===============================================================================

	Writer of the engine's stored level objects.

	Appends the big-endian stored form of each object to a
	ToolBigEndianWriter: plain records member by member with the UID first,
	class-tagged object lists ended by a zero id, opaque blocks, game-object
	records, each data descriptor with the blocks that follow its members,
	and the emitter sets of 3D object resources, whose words are
	little-endian.

	The writer encodes from the records alone; it never calls the engine's
	loaders, so that the loaders can be tested against it.

===============================================================================
*/
#ifndef TOOL_LEVEL_WRITER_H
#define TOOL_LEVEL_WRITER_H

#include "tools/lib/ToolBigEndianWriter.h"
#include "tools/lib/level/ToolLevelRecords.h"

#include <span>

// Class ids the engine's registry gives the objects written here.
constexpr s32 TOOL_CLASS_STREAMABLE		= 1;
constexpr s32 TOOL_CLASS_CONTAINER		= 31;
constexpr s32 TOOL_CLASS_HOT_SPOT		= 63;
// A class registered for the animation-node creator only.
constexpr s32 TOOL_CLASS_ANIM_NODE		= 74;

class ToolLevelWriter {
public:
	static void				WriteVec2( ToolBigEndianWriter& out, const ToolVec2& v );
	static void				WriteVec3( ToolBigEndianWriter& out, const ToolVec3& v );
	static void				WriteVec4( ToolBigEndianWriter& out, const ToolVec4& v );

	// UID, "PUID", "REFPUID".
	static void				WriteDescriptorHeader( ToolBigEndianWriter& out, const ToolDescriptorHeader& header );

	// Class-tagged entries, then the zero id that ends the list.
	static void				WriteContainer( ToolBigEndianWriter& out, std::span<const ToolContainerEntry> entries );
	// The block loaded after its size: i32 count, then the bytes.
	static void				WriteMagicBlock( ToolBigEndianWriter& out, const ToolMagicBlock& block );

	static void				WriteGlo( ToolBigEndianWriter& out, const ToolGloRecord& record );

	static void				WriteHotSpot( ToolBigEndianWriter& out, const ToolHotSpot& hotSpot );
	static void				WriteLight( ToolBigEndianWriter& out, const ToolLevelLight& light );
	// Refused when a name does not fit the reader's string buffer.
	static bool				WriteLoadingScreen( ToolBigEndianWriter& out, const ToolLoadingScreen& screen );
	static bool				WriteFonts( ToolBigEndianWriter& out, const ToolFonts& fonts );
	static void				WriteFontsPalette( ToolBigEndianWriter& out, const ToolFontsPalette& palette );
	static void				WriteTexts( ToolBigEndianWriter& out, const ToolTexts& texts );
	static bool				WritePaletteDictionary( ToolBigEndianWriter& out, const ToolPaletteDictionary& dictionary );
	static void				WriteParticleContainer( ToolBigEndianWriter& out, const ToolParticleContainer& container );

	// One emitter, big-endian.
	static void				WriteEmitter( ToolBigEndianWriter& out, const ToolEmitter& emitter );
	// A container of emitters, big-endian.
	static void				WriteEmitterContainer( ToolBigEndianWriter& out, const ToolEmitterContainer& container );
	// The little-endian set of 3D object resources: the header big-endian,
	// the emitter count and every emitter word little-endian.
	static void				WriteEmitterContainerSwapped( ToolBigEndianWriter& out, const ToolEmitterContainer& container );

private:
	static void				WriteLittleU32( ToolBigEndianWriter& out, u32 value );
	static void				WriteLittleF32( ToolBigEndianWriter& out, f32 value );
};

#endif
