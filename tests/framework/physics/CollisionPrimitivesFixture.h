/*
===============================================================================

	Collision primitives of a model for the plug-in's tests and fuzz
	seeds: the hand-written chunk that pins the layout, and writer models
	of every shape.

===============================================================================
*/
#ifndef COLLISION_PRIMITIVES_FIXTURE_H
#define COLLISION_PRIMITIVES_FIXTURE_H

#include "tools/lib/graphics3d/ToolCollisionPrimWriter.h"

namespace collision_primitives_fixture {

// Sphere, capsule, box and a polygon set of two triangles (edge-grab 5),
// little-endian words grouped by field.
inline const char* const COLLISION_PRIMITIVES_FIXTURE =
	"50020000 04000000"
	// the model's sphere: (0, 1, 0), radius 2
	"00000000 0000803f 00000000 00000040"
	// sphere: tag 0x11, the model's frame, offset (1, 0, 0), attributes 1-11, radius 0.5
	"00000000 11000000 ffffffff 0000803f 00000000 00000000 00000000 00000000"
	"01000000 02000000 03000000 04000000 05000000 06000000 07000000 08000000 09000000 0a000000 0b000000"
	"0000003f"
	// capsule: tag 0x12, joint 0, the carried floats 2 and -1, flags 1, radius 0.5, half axis (0, 1, 0)
	"01000000 12000000 00000000 00000000 00000000 00000000 00000040 000080bf"
	"01000000 00000000 00000000 00000000 00000000 00000000 00000000 00000000 00000000 00000000 00000000"
	"0000003f 00000000 0000803f 00000000"
	// box: tag 0x13, joint 1, offset (0, 2, 0), half extents (1, 2, 0.5)
	"02000000 13000000 01000000 00000000 00000040 00000000 00000000 00000000"
	"00000000 00000000 00000000 00000000 00000000 00000000 00000000 00000000 00000000 00000000 00000000"
	"0000803f 00000040 0000003f"
	// polygon set: tag 0x14, joint 1, two polygons from byte 0
	"03000000 14000000 01000000 00000000 00000000 00000000 00000000 00000000"
	"00000000 00000000 00000000 00000000 00000000 00000000 00000000 00000000 00000000 00000000 00000000"
	"02000000 00000000"
	// triangle at y = 0: attribute, edge-grab 5 and 3 vertices, check, plane, vertices, edge planes
	"00000000 05000300 00000000 00000000 0000803f 00000000 00000000"
	"00000000 00000000 00000000 00000000 00000000 0000803f 0000803f 00000000 00000000"
	"000080bf 00000000 00000000 00000000 00000000 00000000 0000803f 000080bf 8104353f 00000000 810435bf 00000000"
	// triangle at y = 1
	"00000000 05000300 00000000 00000000 0000803f 00000000 000080bf"
	"00000000 0000803f 00000000 00000000 0000803f 0000803f 0000803f 0000803f 00000000"
	"000080bf 00000000 00000000 00000000 00000000 00000000 0000803f 000080bf 8104353f 00000000 810435bf 00000000";

inline ToolCollisionPolygon Triangle( const f32 y, const u16 edgeGrab = 0 ) {
	return { { { 0, y, 0 }, { 0, y, 1 }, { 1, y, 0 } }, 0, edgeGrab };
}

inline ToolCollisionPrim Prim( const u32 shape, const u32 tag, const s32 joint, std::array<f32, 4> size ) {
	ToolCollisionPrim prim;
	prim.shape = shape;
	prim.tag = tag;
	prim.joint = joint;
	prim.size = size;
	prim.unused = { 3.0f, -4.0f };
	for ( u32 i = 0; i < 11; i++ ) {
		prim.attribs[i] = 0x100 * tag + i;
	}
	return prim;
}

// One of each shape, the polygon set over two triangles and a square.
inline ToolCollisionPrims AllShapes() {
	ToolCollisionPrims prims;
	prims.sphere = std::array<f32, 4>{ 0.5f, 1.0f, -0.5f, 3.0f };
	prims.prims = { Prim( 0, 1, -1, { 0.5f } ), Prim( 1, 2, 0, { 0.25f, 0, 1, 0 } ), Prim( 2, 3, 1, { 1, 2, 3 } ) };
	prims.polygons = { Triangle( 0.0f, 0x0005 ), Triangle( 1.0f ),
					   { { { 0, 2, 0 }, { 0, 2, 1 }, { 1, 2, 1 }, { 1, 2, 0 } }, 7, 0x1234 } };
	ToolCollisionPrim set = Prim( 3, 4, 1, {} );
	set.polygonCount = 2;
	set.polygonOffset = ToolCollisionPrimWriter::PolygonBytes( prims.polygons, 1 );
	prims.prims.push_back( set );
	return prims;
}

}	// namespace collision_primitives_fixture

#endif
