/*
===============================================================================

	A level spline: n quadratic segments (at least 1) with its id, its flags
	(0x8 loop, 0x4 rope or camera spline), its length and a box around it.

	Positions are given as (segment, t) with t in 0..1 on the segment, or as
	a normalised position u in 0..1 over the whole spline, uniform per
	segment (u = (segment + t) / n): by parameter, not by length.

	Every query clamps its segment: below 0 reads as segment 0 at t = 0, n
	or more as segment n - 1 at t = 1 (a query that takes no t keeps only
	the segment). t itself is not clamped.

===============================================================================
*/
#ifndef EF_QUADRATIC_SPLINE_H
#define EF_QUADRATIC_SPLINE_H

#include "datatypes/maths/DTSphere.h"
#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTVector3d.h"
#include "framework/core/spline/EFSplineSegment.h"

constexpr u16 EF_SPLINE_FLAG_ROPE		= 0x4;
constexpr u16 EF_SPLINE_FLAG_LOOP		= 0x8;

// Sample count limit of GetCurveLength.
constexpr s32 EF_SPLINE_MAX_SAMPLES		= 11;
// Samples of the fallback when the closed-form length cannot be used.
constexpr s32 EF_SPLINE_FALLBACK_SAMPLES	= 9;

class EFQuadraticSpline {
public:
	u16						mui16ID;
	u16						mui16Flags;
	u32						maui32Unused[2];
	f32						mfLength;
	DTVector3d				moBoxCentre;
	DTVector3d				moBoxHalfExtents;
	u32						mui32NbSegments;
	EFSplineSegment *		mpoSegments;

	bool					IsLoop() const { return ( mui16Flags & EF_SPLINE_FLAG_LOOP ) != 0; }
	u32						GetNbSegments() const { return mui32NbSegments; }
	const EFSplineSegment &	GetSegment( s32 segment ) const { return mpoSegments[ClampSegment( segment )]; }

	// P0 + B t + C t^2, and the tangent B + 2 C t (not normalised).
	void					GetPoint( s32 segment, f32 t, DTVector3d & out ) const;
	void					GetTangent( s32 segment, f32 t, DTVector3d & out ) const;

	// The stored length of a segment.
	f32						GetSegmentLength( s32 segment ) const;
	// Arc length from the segment's start to t.
	f32						GetSegmentLength( s32 segment, f32 t ) const;
	// Numerical arc length between two parameters with an odd sample count
	// of 3 to 11 (others are brought into that range).
	f64						GetCurveLength( s32 segment, f64 t0, f64 t1, s32 samples ) const;
	// Adaptive length of the section through three points.
	f64						GetSectionLength( s32 segment, f64 ta, f64 tm, f64 tb, const DTVector3d & pa,
											  const DTVector3d & pm, const DTVector3d & pb, s32 depth ) const;

	// Normalised position of the point of one segment nearest to x, with
	// its squared distance when asked.
	f32						GetNearestOnSegment( s32 segment, const DTVector3d & x, f32 * distanceSquared ) const;
	// Normalised position of the nearest point of the whole spline.
	f32						GetNearest( const DTVector3d & x ) const;
	// Normalised position of a nearby minimum found by walking from a
	// segment towards x; the walk does not wrap around a loop.
	f32						GetNearest( s32 segment, const DTVector3d & x, f32 * distanceSquared ) const;
	// 1 with position = the normalised position of the nearest point when
	// the sphere touches the spline; else 0 and position is untouched.
	u32						CheckSphereIntersection( const DTSphere & sphere, f32 & position ) const;

private:
	u32						ClampSegment( s32 segment ) const;
	// Segment and t brought onto the spline as every query does.
	void					ClampPosition( s32 & segment, f32 & t ) const;
	// The best clamped root of the nearest-point cubic; g is the squared
	// distance minus |P0 - x|^2.
	f32						SolveNearest( u32 segment, const DTVector3d & x, f32 * bestG, f32 * distanceSquared ) const;
	// True when the triangle and side planes prove no point of the segment
	// lies within the squared distance limit of x.
	bool					IsCulled( u32 segment, const DTVector3d & x, f32 limit ) const;
};

#endif
