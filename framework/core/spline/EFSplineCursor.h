/*
===============================================================================

	A position on a level spline, owned by its user (rope slides, spline
	moves, cameras). Holds the spline, the normalised position u, the
	segment and its local t, and a cached point and tangent that belong to
	the user; every move sets the state word to 0.

	A fresh cursor has no spline, segment -1 and everything else 0. Without
	a spline only MoveTo (segment, t) does anything (the segment and t are
	clamped and u stays 0); the other moves leave the cursor as it is.

===============================================================================
*/
#ifndef EF_SPLINE_CURSOR_H
#define EF_SPLINE_CURSOR_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTVector3d.h"

class EFQuadraticSpline;

// False-position search of MoveDistance.
constexpr u32 EF_SPLINE_CURSOR_MAX_ITERATIONS	= 10;
constexpr f32 EF_SPLINE_CURSOR_TOLERANCE		= 0.001f;

class EFSplineCursor {
public:
	u32						mui32State;
	EFQuadraticSpline *		mpoSpline;
	f32						mfU;
	s32						mi32Segment;
	f32						mfT;
	DTVector3d				moCachedPoint;
	DTVector3d				moCachedTangent;

							EFSplineCursor();

	// Puts the cursor at the start of a spline, before its first move.
	void					SetSpline( EFQuadraticSpline * spline );

	// The segment is clamped to the spline and t to 0..1.
	void					MoveTo( s32 segment, f32 t );
	// On a loop u keeps its fractional part (a negative one counts from
	// the end); otherwise it is clamped to 0..1.
	void					MoveTo( f32 u );
	// Moves along the spline by a signed arc length. Past the end the walk
	// goes on onto next (once), else around a loop, else stops at the end.
	void					MoveDistance( f32 distance, EFQuadraticSpline * next );
	// The nearest point of the whole spline.
	void					SetToNearest( const DTVector3d & x );
	// A nearby minimum, walking from the current segment.
	void					MoveToNearest( const DTVector3d & x );
	// Arc length travelled over the spline's length; 0 without a spline or
	// for a zero length.
	f32						GetLengthFactor() const;

private:
	// Segment lengths of the current spline, summed.
	f32						SumOfLengths() const;
	// The t of a segment at which its arc length is d.
	f32						FindParameter( s32 segment, f32 d ) const;
};

#endif
