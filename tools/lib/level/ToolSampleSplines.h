/*
===============================================================================

	The sample level's splines: one open spline of three segments (id 1)
	and one closed loop of four segments (id 2, flagged as a loop), carried
	by one generic-data record for the spline manager.

===============================================================================
*/
#ifndef TOOL_SAMPLE_SPLINES_H
#define TOOL_SAMPLE_SPLINES_H

#include "tools/lib/level/ToolResourceFileWriter.h"
#include "tools/lib/level/ToolSplineWriter.h"

#include <vector>

constexpr u16 TOOL_SAMPLE_OPEN_SPLINE_ID	= 1;
constexpr u16 TOOL_SAMPLE_LOOP_SPLINE_ID	= 2;

// The control points of the two splines.
std::vector<ToolSplineInput>	ToolSampleSplines();

// The resource record that loads them.
ToolResourceRecord				ToolSampleSplineRecord();

#endif
