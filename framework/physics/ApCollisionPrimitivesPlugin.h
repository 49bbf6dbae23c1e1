/*
===============================================================================

	Collision primitives on library clumps (plug-in 0x01BAD003).

	A model carries the primitives that bodies built from it get: spheres,
	capsules, boxes and sets of convex polygons, each with its joint,
	offset and attributes, plus one bounding sphere for the whole model.
	They ride in the clump's extension chunk, are copied with the clump and
	are read by the 3D objects through the accessors below.

	Chunk (little-endian 32-bit words): total size S, count N; when N is
	not 0 the sphere (4 reals, zeros without one) and N records of 76
	common bytes (shape, tag, joint, 5 reals, 11 attributes) plus the
	shape's payload (1, 4 or 3 reals, or polygon count and byte offset);
	the rest up to S is polygon data, records laid out as the collision
	map's polygons (28 + 28 n bytes).

	Reading checks everything: counts against the chunk's length, whole
	polygon records (3 to 32 vertices, finite, no zero-length edge) and
	each polygon set's offset and count. The word at offset 4 of each
	polygon record (edge-grab in its low half, vertex count in its high
	half) is decoded into the record's native halfwords once, there; no
	later user exchanges them. Any failure leaves the extension empty.

	Blocks are made and freed through the library's memory functions (the
	engine's allocator once the graphics manager opened the library).

===============================================================================
*/
#ifndef AP_COLLISION_PRIMITIVES_PLUGIN_H
#define AP_COLLISION_PRIMITIVES_PLUGIN_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTSphere.h"

struct RpClump;
struct RwStream;
class EFEnvCollisionPrim;

constexpr u32 AP_COLLISION_PRIMITIVES_PLUGIN_ID	= 0x01BAD003;
// A record's joint for the model's own frame.
constexpr s32 AP_COLLISION_PRIMITIVE_MODEL_FRAME	= -1;
// Attribute words of a record.
constexpr u32 AP_COLLISION_PRIMITIVE_ATTRIBS		= 11;

// One primitive as the model stores it (23 words, no pointers).
struct ApCollisionPrimitive {
	u32		mui32Shape;			// EFColPrimShape_e
	u32		mui32Tag;
	s32		mi32Joint;			// hierarchy node, or AP_COLLISION_PRIMITIVE_MODEL_FRAME
	f32		mafOffset[3];
	f32		mafUnused[2];		// carried, never read
	u32		maui32Attribs[AP_COLLISION_PRIMITIVE_ATTRIBS];
	union {
		// Sphere: radius. Capsule: radius, half axis. Box: half extents.
		f32		mafSize[4];
		// Polygon set: polygon count and byte offset in the polygon data.
		struct {
			u32		mui32NbPolygons;
			u32		mui32Offset;
			u32		maui32Unused[2];
		} moPolygons;
	};
};

static_assert( sizeof( ApCollisionPrimitive ) == 92, "a collision primitive record is 23 words" );

// 1 on success: both registrations were made at one offset.
s32							ApCollisionPrimitivesPluginAttach();

s32							ApClumpGetNbCollisionPrimitives( const RpClump * clump );
// Record index, or null at or beyond the count.
const ApCollisionPrimitive *	ApClumpGetCollisionPrimitive( const RpClump * clump, u32 index );
// The first polygon of record index (a polygon set) and its polygon
// count; count 0xFFFFFFFF and null at or beyond the record count, count
// 0 and null for a record of another shape.
EFEnvCollisionPrim *		ApClumpGetCollisionPolygonData( const RpClump * clump, u32 index, u32 & count );
// The model's bounding sphere; false when it has none.
bool						ApClumpGetBoundingSphere( const RpClump * clump, DTSphere & sphere );
// The clump registry's callbacks: the chunk's reader (null, the
// extension left empty, on any failure), writer and size, and the copy
// (null, the destination left empty, when memory fails).
RwStream *					ApCollisionPrimitivesStreamRead( RwStream * stream, s32 length, void * clump, s32 offset,
															 s32 size );
RwStream *					ApCollisionPrimitivesStreamWrite( RwStream * stream, s32 length, const void * clump,
															  s32 offset, s32 size );
s32							ApCollisionPrimitivesStreamSize( const void * clump, s32 offset, s32 size );
void *						ApCollisionPrimitivesCopy( void * destination, const void * source, s32 offset,
													   s32 size );
// The offset of the extension in a clump, -1 before the attach.
s32							ApCollisionPrimitivesOffset();
// Copies all 23 words.
void						ApCollisionPrimitiveCopy( ApCollisionPrimitive & destination,
													  const ApCollisionPrimitive & source );

#endif
