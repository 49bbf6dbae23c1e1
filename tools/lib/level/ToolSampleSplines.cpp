#include "tools/lib/level/ToolSampleSplines.h"

#include <string>

std::vector<ToolSplineInput> ToolSampleSplines() {
	ToolSplineInput open;
	open.id = TOOL_SAMPLE_OPEN_SPLINE_ID;
	open.points = {
		{ 0.0, 0.0, 0.0 }, { 2.0, 0.0, 1.0 }, { 4.0, 0.0, 0.0 }, { 6.0, 1.0, -1.0 },
		{ 8.0, 1.0, 0.0 }, { 9.0, 2.0, 2.0 }, { 10.0, 2.0, 4.0 },
	};
	ToolSplineInput loop;
	loop.id = TOOL_SAMPLE_LOOP_SPLINE_ID;
	loop.flags = TOOL_SPLINE_FLAG_LOOP;
	// A rounded square of side 8 around (0, 2, 10): corners as control
	// points, side middles on the curve.
	loop.points = {
		{ 4.0, 2.0, 10.0 }, { 4.0, 2.0, 14.0 }, { 0.0, 2.0, 14.0 }, { -4.0, 2.0, 14.0 },
		{ -4.0, 2.0, 10.0 }, { -4.0, 2.0, 6.0 }, { 0.0, 2.0, 6.0 }, { 4.0, 2.0, 6.0 },
	};
	return { open, loop };
}

ToolResourceRecord ToolSampleSplineRecord() {
	ToolResourceRecord record;
	std::string error;
	// The sample points always make whole segments.
	ToolSplineWriter::WriteRecord( ToolSampleSplines(), record, error );
	return record;
}
