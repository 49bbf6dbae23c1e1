/*
===============================================================================

	The sample level's collision map: a 40 x 40 floor at y = 0 and four
	walls 4 units high around it, all facing inward, one-sided and
	detected by 0x1.

===============================================================================
*/
#ifndef TOOL_SAMPLE_COLLISION_MAP_H
#define TOOL_SAMPLE_COLLISION_MAP_H

#include "tools/lib/level/ToolCollisionMapWriter.h"
#include "tools/lib/level/ToolResourceFileWriter.h"

ToolColMap				ToolSampleCollisionMap();
// The map as a binary class-36 record of the level's resource file;
// false when the writer (or its installed image check) refuses it.
bool					ToolSampleCollisionMapRecord( ToolResourceRecord& record, std::string& error );

#endif
