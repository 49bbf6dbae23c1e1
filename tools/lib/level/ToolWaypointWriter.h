/*
===============================================================================

	Writer of stored waypoint groups.

	A waypoint group is its UID, the u32 waypoint count and a counted float
	array (three floats per waypoint), big-endian. The count and the array
	are written as given, so that tests can store a count that disagrees
	with the array.

===============================================================================
*/
#ifndef TOOL_WAYPOINT_WRITER_H
#define TOOL_WAYPOINT_WRITER_H

#include "tools/lib/ToolBigEndianWriter.h"

#include <vector>

// Class id the engine's registry gives waypoint groups.
constexpr s32 TOOL_CLASS_WAYPOINT_GROUP = 48;

struct ToolWaypointGroup {
	u32						uid = 0xFFFFFFFF;
	u32						count = 0;
	std::vector<f32>		points;
};

class ToolWaypointWriter {
public:
	static void				WriteGroup( ToolBigEndianWriter& out, const ToolWaypointGroup& group );
};

#endif
