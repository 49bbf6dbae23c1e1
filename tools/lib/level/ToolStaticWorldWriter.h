/*
===============================================================================

	Static world records (class 24): the object's id and an unused word
	(big-endian, as the persist stream reads them), then little-endian
	library data: the world chunk, the light count, each light's chunk
	followed by its frame (right, up, at, position: twelve reals), and a
	trailing word.

	Malformed records leave the world out or store a light count other
	than the lights written.

===============================================================================
*/
#ifndef TOOL_STATIC_WORLD_WRITER_H
#define TOOL_STATIC_WORLD_WRITER_H

#include "tools/lib/graphics3d/ToolLightWriter.h"
#include "tools/lib/graphics3d/ToolWorldWriter.h"

#include <array>
#include <optional>
#include <vector>

constexpr s32 TOOL_CLASS_STATIC_WORLD = 24;

struct ToolStaticLight {
	ToolLight				light;
	// Right, up, at, position.
	std::array<f32, 12>		frame = { 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f };
};

struct ToolStaticWorld {
	u32								id = 0x18000001;
	std::optional<ToolWorld>		world;
	std::vector<ToolStaticLight>	lights;
	std::optional<u32>				storedLightCount;
	u32								trailer = 0;
};

class ToolStaticWorldWriter {
public:
	// The library data after the two words.
	static std::vector<u8>		Stream( const ToolStaticWorld& world );
	// The whole record.
	static std::vector<u8>		Record( const ToolStaticWorld& world );
	// A ground of two triangles, side wide around the origin at height 0,
	// pre-lit grey with alpha 128, in one sector.
	static ToolWorld			Ground( f32 side );
	// The sample level's world: the ground with a point light above it and
	// a spot light looking down.
	static ToolStaticWorld		Sample();
};

#endif
