/*
===============================================================================

	The sample level's game objects.

	Six game-object records that use what the engine builds from a
	level today: an object that is a collision shape through its hot
	spot; an object listing a 3D object, an animation node, a sound and a
	second animation node, with a few bytes of magic data; a latent
	template (id bit 0x800000) holding one 3D object, which the engine
	keeps in its template map instead of the world; a box of one unit
	standing on the floor at (0, 0, -4), a hot-spot body that stays where
	it is until logic moves it; a water surface and a ground-fog layer,
	each a grid over a quad model of its own, which logic gives their
	simulation modules.

	The model object's and the template's 3D objects share the sample
	model, whose resource record (class 91) comes before the objects,
	followed by the looping skeletal animation (class 79) the model
	object's first animation node names, then the two grids' quads; no
	other descriptor names a shared resource (PUID -1). The records
	depend on nothing but the logic code id they are given, so the same
	call gives the same bytes.

===============================================================================
*/
#ifndef TOOL_SAMPLE_OBJECTS_H
#define TOOL_SAMPLE_OBJECTS_H

#include "tools/lib/level/ToolInstanceWriter.h"
#include "tools/lib/level/ToolLevelRecords.h"
#include "tools/lib/level/ToolResourceFileWriter.h"

#include <vector>

// Bit of a game-object id that marks a latent template.
constexpr u32 TOOL_LATENT_TEMPLATE_BIT		= 0x00800000;

// Ids of the sample objects (game-object kind 0x2a).
constexpr u32 TOOL_SAMPLE_HOT_SPOT_OBJECT_ID	= 0x2A000010;
constexpr u32 TOOL_SAMPLE_MODEL_OBJECT_ID		= 0x2A000011;
// Its logic flags: a drop-down shadow.
constexpr u32 TOOL_SAMPLE_MODEL_LOGIC_FLAGS		= 0x400;
constexpr u32 TOOL_SAMPLE_TEMPLATE_ID			= 0x2A000012 | TOOL_LATENT_TEMPLATE_BIT;
// The template's 3D object, which its copies keep.
constexpr u32 TOOL_SAMPLE_TEMPLATE_MODEL_ID		= 0x0F000002;
constexpr u32 TOOL_SAMPLE_BOX_OBJECT_ID			= 0x2A000013;

// Resource id of the sample model.
constexpr u32 TOOL_SAMPLE_MODEL_RESOURCE_ID		= 0x5B000001;

// A grid object: its record's first (only) descriptor makes the grid from
// a quad model of its own, whose corner is the object's origin, width
// along x, depth along z; the material colour (the water's authored for
// the shading's exchange of red and blue, so that it shows blue).
struct ToolSampleSurface {
	u32							objectId;
	u32							gridId;
	u32							resourceId;
	s32							descriptorClass;
	ToolVec3					corner;
	f32							width;
	f32							depth;
	u8							colour[4];
};
// The water lies just above the floor under the hot spot and where the
// model makes its moves, and reaches far ahead of the camera's loop; the
// fog hangs half a unit above the loop, so that the model carrying the
// camera stirs it.
constexpr ToolSampleSurface TOOL_SAMPLE_WATER	= { 0x2A000014, 0x0F000003, 0x5B000002, TOOL_CLASS_WATER_GRID_DESCR,
													{ -6.0f, 0.05f, 0.0f }, 12.0f, 24.0f, { 160, 110, 40, 255 } };
constexpr ToolSampleSurface TOOL_SAMPLE_FOG		= { 0x2A000015, 0x0F000004, 0x5B000003, TOOL_CLASS_GROUND_FOG_GRID_DESCR,
													{ -8.0f, 2.5f, 4.0f }, 14.0f, 18.0f, { 255, 255, 255, 255 } };

// The sample animation: 2 s over the model's three joints (a turn of
// the root, a bounce of the second joint, a pulse of the third's
// scaling, every curve repeating), and one notification (type
// TOOL_SAMPLE_ANIMATION_COMMAND) half-way.
constexpr u32 TOOL_SAMPLE_ANIMATION_RESOURCE_ID	= 0x4F000001;
constexpr f32 TOOL_SAMPLE_ANIMATION_DURATION	= 2.0f;
constexpr u32 TOOL_SAMPLE_ANIMATION_COMMAND		= 1;
constexpr u32 TOOL_SAMPLE_ANIMATION_PARAMETER	= 0x51;
struct ToolHAnimRes;
ToolHAnimRes	ToolSampleAnimation();

// The records as the level writer takes them, each naming code as its
// logic.
ToolGloRecord	ToolSampleHotSpotObject( u32 code );
ToolGloRecord	ToolSampleModelObject( u32 code );
ToolGloRecord	ToolSampleTemplate( u32 code );
ToolGloRecord	ToolSampleBoxObject( u32 code );
ToolGloRecord	ToolSampleSurfaceObject( const ToolSampleSurface& surface, u32 code );

// The model resource (class 91), the animation (class 79), the water's and
// the fog's quads (class 91), then the six objects in level order (hot
// spot, model, template, box, water, fog), each of class 32.
std::vector<ToolResourceRecord>	ToolSampleObjectRecords( u32 code );

#endif
