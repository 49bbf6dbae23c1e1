/*
===============================================================================

	Hand-written collision maps (hex, read with HexBytes) that pin the
	stored layout independently of the writer: one leaf with one triangle;
	an inner node split on x only over two leaves; two leaves sharing a
	polygon. The map tests compare the writer's output with them and load
	them; the collision-map fuzz target starts from them.

	All three hold big-endian words: the header (size, a free word, first
	polygon and root offsets from the data base at 16), attribute records
	(flags, detected by, user-defined detect, friction, rebound, tag and
	surface type as two u16, hardness, acoustic opacity), nodes in
	pre-order (flags, centre, half size, then eight child offsets from the
	root or a count and entries from the data base), then polygon records
	(attribute index, edge grab and vertex count as two u16, mark, plane,
	vertices, edge planes).

===============================================================================
*/
#ifndef COLLISION_MAP_FIXTURES_H
#define COLLISION_MAP_FIXTURES_H

// The triangle (0, 0, 0) (0, 0, 1) (1, 0, 0) facing up, in one leaf.
inline constexpr const char* kOneTriangleMapHex =
	// size, free word, first polygon, root (from the data base)
	"000000C4 00000000 00000044 00000020\n"
	// attributes: rebound 0.25, tag 0x0102, surface 0x0304, opacity 0.75
	"00000000 00000001 00000000 3F000000 3E800000 0102 0304 3F800000 3F400000\n"
	// leaf: flags, centre, half size, count, entry
	"00000001 3F000000 00000000 3F000000 3F028F5C 3C23D70A 3F028F5C 00000001 00000044\n"
	// triangle: attribute index, edge grab, count, mark, plane
	"00000000 0000 0003 00000000 00000000 3F800000 00000000 00000000\n"
	"00000000 00000000 00000000 00000000 00000000 3F800000 3F800000 00000000 00000000\n"
	"BF800000 00000000 00000000 00000000 3F3504F3 00000000 3F3504F3 BF3504F3\n"
	"00000000 00000000 BF800000 00000000\n";

// The same triangle and (3, 0, 0) (3, 0, 1) (4, 0, 0), under a root split
// on x only (flags 0x2, children 0 and 1 at 0x3C and 0x60 from the root).
inline constexpr const char* kSplitOnXMapHex =
	"00000194 00000000 000000A4 00000020\n"
	// default attributes: detected by 0x1, friction 0.5, hardness and opacity 1
	"00000000 00000001 00000000 3F000000 00000000 0000 0000 3F800000 3F800000\n"
	// root: flags, centre (2, 0, 0.5), half (2.01, 0.01, 0.51), children
	"00000002 40000000 00000000 3F000000 4000A3D7 3C23D70A 3F028F5C\n"
	"0000003C 00000060 00000000 00000000 00000000 00000000 00000000 00000000\n"
	// leaf 0: centre x 0.995, half x 1.006; one entry
	"00000001 3F7EB852 00000000 3F000000 3F80C49C 3C23D70A 3F028F5C 00000001 000000A4\n"
	// leaf 1: centre x 3.005
	"00000001 404051EC 00000000 3F000000 3F80C49C 3C23D70A 3F028F5C 00000001 00000114\n"
	"00000000 0000 0003 00000000 00000000 3F800000 00000000 00000000\n"
	"00000000 00000000 00000000 00000000 00000000 3F800000 3F800000 00000000 00000000\n"
	"BF800000 00000000 00000000 00000000 3F3504F3 00000000 3F3504F3 BF3504F3\n"
	"00000000 00000000 BF800000 00000000\n"
	// the second triangle: edge planes d 3 and -2 sqrt 2
	"00000000 0000 0003 00000000 00000000 3F800000 00000000 00000000\n"
	"40400000 00000000 00000000 40400000 00000000 3F800000 40800000 00000000 00000000\n"
	"BF800000 00000000 00000000 40400000 3F3504F3 00000000 3F3504F3 C03504F3\n"
	"00000000 00000000 BF800000 00000000\n";

// The quad (0, 0, 0) (0, 0, 1) (4, 0, 1) (4, 0, 0), listed by both leaves
// of a root split on x, and a triangle at y = 0.5 over x 3 to 4.
inline constexpr const char* kSharedPolygonMapHex =
	"000001B4 00000000 000000A8 00000020\n"
	"00000000 00000001 00000000 3F000000 00000000 0000 0000 3F800000 3F800000\n"
	"00000002 40000000 3E800000 3F000000 4000A3D7 3E851EB8 3F028F5C\n"
	"0000003C 00000060 00000000 00000000 00000000 00000000 00000000 00000000\n"
	"00000001 3F7EB852 3E800000 3F000000 3F80C49C 3E851EB8 3F028F5C 00000001 000000A8\n"
	// leaf 1 lists the quad (the same record) and the triangle
	"00000001 404051EC 3E800000 3F000000 3F80C49C 3E851EB8 3F028F5C 00000002 000000A8 00000134\n"
	"00000000 0000 0004 00000000 00000000 3F800000 00000000 00000000\n"
	"00000000 00000000 00000000 00000000 00000000 3F800000 40800000 00000000 3F800000\n"
	"40800000 00000000 00000000\n"
	"BF800000 00000000 00000000 00000000 00000000 00000000 3F800000 BF800000\n"
	"3F800000 00000000 00000000 C0800000 00000000 00000000 BF800000 00000000\n"
	"00000000 0000 0003 00000000 00000000 3F800000 00000000 BF000000\n"
	"40400000 3F000000 00000000 40400000 3F000000 3F800000 40800000 3F000000 00000000\n"
	"BF800000 00000000 00000000 40400000 3F3504F3 00000000 3F3504F3 C03504F3\n"
	"00000000 00000000 BF800000 00000000\n";

#endif
