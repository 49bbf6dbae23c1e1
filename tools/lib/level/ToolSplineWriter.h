/*
===============================================================================

	Writer of the level's spline data: turns control points into the
	stored block the engine's spline manager (generic-data manager 1)
	decodes.

	A spline of n segments is given by its points Q0 ... Q2n; segment i is
	the quadratic through Q2i, Q2i+1, Q2i+2 (start, control, end). An open
	spline lists 2n + 1 points; a loop lists 2n and ends where it starts.

	Everything the engine reads ready-made is derived here in double and
	stored as float: B = 2 (Q1 - Q0), C = Q0 - 2 Q1 + Q2, the speed
	polynomial a = C.C, b = B.C, c = B.B / 4, r = sqrt(a), the constant K
	that makes the closed-form length 0 at t = 0, C.C, 2 B.C and B.B, the
	control triangle's plane and the outward planes of its sides (four zero
	planes for a degenerate triangle), the lengths by adaptive quadrature,
	the distances from the start, the total length and a box around the
	curve.

	Payload: u32 block size S, u32 word (0), u32 spline count, u32 offset
	(0), u32 header offset (0), then the block: the 48-byte headers, then
	each spline's 164-byte segment records. All big-endian.

===============================================================================
*/
#ifndef TOOL_SPLINE_WRITER_H
#define TOOL_SPLINE_WRITER_H

#include "datatypes/base/DTTypes.h"
#include "tools/lib/level/ToolResourceFileWriter.h"

#include <array>
#include <string>
#include <vector>

constexpr u16 TOOL_SPLINE_FLAG_ROPE		= 0x4;
constexpr u16 TOOL_SPLINE_FLAG_LOOP		= 0x8;
constexpr u32 TOOL_SPLINE_MANAGER_ID	= 1;

typedef std::array<f64, 3> ToolSplinePoint;

struct ToolSplineInput {
	u16							id = 0;
	u16							flags = 0;
	std::vector<ToolSplinePoint>	points;
};

// Byte offsets of the stored fields, for tests that corrupt them.
constexpr u32 TOOL_SPLINE_PAYLOAD_HEAD		= 20;
constexpr u32 TOOL_SPLINE_HEADER_BYTES		= 48;
constexpr u32 TOOL_SPLINE_SEGMENT_BYTES		= 164;
constexpr u32 TOOL_SPLINE_HEADER_NB_SEGMENTS	= 40;
constexpr u32 TOOL_SPLINE_HEADER_SEGMENTS	= 44;
constexpr u32 TOOL_SPLINE_SEGMENT_LENGTH	= 36;

class ToolSplineWriter {
public:
	// The manager's payload; false with a message for a spline whose
	// point count does not make whole segments or holds a non-finite value.
	static bool				WritePayload( const std::vector<ToolSplineInput>& splines, std::vector<u8>& payload,
										  std::string& error );
	// The generic-data record (class 72) that carries the payload.
	static bool				WriteRecord( const std::vector<ToolSplineInput>& splines, ToolResourceRecord& record,
										 std::string& error );
	// Segment count of a spline, 0 when its points make none.
	static u32				SegmentCount( const ToolSplineInput& spline );
	// Arc length of one quadratic between two parameters, by adaptive
	// quadrature.
	static f64				ArcLength( const ToolSplinePoint& q0, const ToolSplinePoint& q1, const ToolSplinePoint& q2,
									   f64 t0, f64 t1 );
};

#endif
