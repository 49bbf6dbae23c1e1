/*
===============================================================================

	The sample level's scene records: its lit static world (a ground with
	a point and a spot light) and its particle types (textured with the
	level dictionary's palettised texture), which come before the
	objects that use them.

===============================================================================
*/
#ifndef TOOL_SAMPLE_SCENE_H
#define TOOL_SAMPLE_SCENE_H

#include "tools/lib/level/ToolResourceFileWriter.h"

ToolResourceRecord	ToolSampleStaticWorldRecord();
ToolResourceRecord	ToolSampleParticleTypesRecord();

#endif
