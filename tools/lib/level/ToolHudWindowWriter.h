/*
===============================================================================

	Writer of the level's HUD window tree (class 67, "EF_HUD_CONFIG").

	The record is two unused u32 words, then the root window's tree: a
	window's record (u32 id, u32 background colour group, f32 border x, y,
	f32 design x, y, width, height, then its type's own fields), a u32
	child count, and per child u32 flags, priority and type followed by
	the child's tree. Text windows add four f32 margins, u32 colour, font
	and text id and 20 u32 arguments; 2D windows f32 u and v tiling, u32
	colour group and the texture name as a stored string; 3D windows the
	owner's game-object id and the object's index.

	storedChildCount, when set, replaces the written child count so that
	tests and fuzz seeds can promise children that are not there.

===============================================================================
*/
#ifndef TOOL_HUD_WINDOW_WRITER_H
#define TOOL_HUD_WINDOW_WRITER_H

#include "datatypes/base/DTTypes.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

class ToolBigEndianWriter;

constexpr s32 TOOL_CLASS_HUD_CONFIG = 67;

struct ToolHudWindow {
	// How the parent makes it (unused for the root).
	u32								flags = 0;
	u32								priority = 0;
	u32								type = 0;
	u32								id = 0;
	u32								colorGroup = 0;
	f32								border[2] = {};
	f32								design[4] = { 0.0f, 0.0f, 1.0f, 1.0f };
	// Text windows.
	f32								margins[4] = {};
	u32								color = 0;
	u32								font = 0;
	u32								textId = 0;
	std::array<u32, 20>				arguments = {};
	// 2D windows.
	f32								tiling[2] = { 1.0f, 1.0f };
	u32								colorGroup2D = 0;
	std::string						texture;
	// 3D windows.
	u32								ownerId = 0;
	u32								objectIndex = 0;
	std::vector<ToolHudWindow>		children;
	std::optional<u32>				storedChildCount;
};

class ToolHudWindowWriter {
public:
	// The whole class-67 record with root as the root window's tree.
	static std::vector<u8>			Encode( const ToolHudWindow& root );
	// One window's tree.
	static void						WriteTree( ToolBigEndianWriter& out, const ToolHudWindow& window );
};

#endif
