/*
===============================================================================

	Writer of collision maps: a level's static collision geometry as the
	engine loads it.

	From convex polygons (vertices in order around the front face, an
	attribute index) and attribute records, the writer computes each
	polygon's unit plane from its winding and its outward unit edge planes
	(a point inside gives <= 0 for every edge), sorts the polygons into an
	octree and encodes the big-endian blob: a 16-byte header (size, a free
	word, first polygon and root offsets from the data base at 16), the
	attribute records, the nodes in pre-order, then the polygon records.

	A node is split only along axes where its box is not thin (at least
	half its largest extent), and each polygon is listed by every leaf
	whose box its area touches (extra leaves are harmless to the queries,
	a missing one is not).

===============================================================================
*/
#ifndef TOOL_COLLISION_MAP_WRITER_H
#define TOOL_COLLISION_MAP_WRITER_H

#include "tools/lib/level/ToolLevelRecords.h"

#include <string>
#include <vector>

// Class id of a collision-map record.
constexpr s32 TOOL_CLASS_COLLISION_MAP		= 36;

struct ToolColAttribs {
	u32						flags = 0;
	u32						detectedBy = 0x1;
	u32						udDetectedBy = 0;
	f32						friction = 0.5f;
	f32						rebound = 0.0f;
	u16						tag = 0;
	u16						surfaceType = 0;
	f32						hardness = 1.0f;
	f32						acousticOpacity = 1.0f;
};

struct ToolColPolygon {
	std::vector<ToolVec3>	vertices;
	u32						attrib = 0;
	u16						edgeGrab = 0;
};

struct ToolColMap {
	std::vector<ToolColAttribs>	attribs;
	std::vector<ToolColPolygon>	polygons;
	// Octree limits.
	u32						maxDepth = 10;
	u32						leafSize = 8;
};

// Byte layout of the encoded blob.
struct ToolColMapLayout {
	u32						size = 0;
	u32						rootOffset = 0;		// from the data base
	u32						primOffset = 0;		// from the data base
	// Data-base offsets of each polygon record, in polygon order.
	std::vector<u32>		polygonOffsets;
	u32						nodeCount = 0;
	u32						leafCount = 0;
	// Data-base offsets of the nodes in stored (pre-order) order.
	std::vector<u32>		nodeOffsets;
	std::vector<bool>		nodeIsLeaf;
};

// A damaged image and what is wrong with it.
struct ToolColMapVariant {
	std::string				name;
	std::vector<u8>			blob;
};

// A check of an encoded blob: false with one line naming the problem.
typedef bool ( *ToolColMapImageCheck )( const std::vector<u8>& blob, std::string& message );

class ToolCollisionMapWriter {
public:
	// The blob; false with a message when a polygon is not a convex
	// polygon of 3 to 32 distinct vertices, names no attribute record, or
	// the installed image check refuses the result.
	static bool				Encode( const ToolColMap& map, std::vector<u8>& blob, std::string& error,
									ToolColMapLayout* layout = nullptr );
	// Damaged copies of a well-formed blob (with an inner node below the
	// root and at least one polygon): every kind of fault the engine's
	// load-time check must refuse.
	static std::vector<ToolColMapVariant>	Malformed( const std::vector<u8>& blob, const ToolColMapLayout& layout );
	// The binary record: two free words, then the blob (its first word is
	// the size the loader reads).
	static std::vector<u8>	BinaryRecord( const std::vector<u8>& blob );
	// The record that names a file holding the blob as it is: two free
	// words and the stored name, read by the map's text-form loader.
	static std::vector<u8>	FileRecord( const std::string& fileName );
	// A polygon's unit plane (normal, d) then its outward edge planes, four
	// floats each, as Encode stores them; false with a message for a
	// polygon Encode refuses.
	static bool				PolygonPlanes( const ToolColPolygon& polygon, std::vector<f32>& planes,
										   std::string& error );
	// Runs on every blob Encode writes from now on (null for none): a tool
	// that links the engine's load-time check installs it, so that no map
	// the level loader would refuse leaves the tool.
	static void				SetImageCheck( ToolColMapImageCheck check );
};

#endif
