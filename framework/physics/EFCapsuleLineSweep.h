/*
===============================================================================

	The edge sweep the capsule runs against a polygon's edges and a box's
	edges: each edge line in turn is swept against the capsule's moving
	axis line; a line that cannot be approached ends the whole test, an
	overlap of the lines is a candidate while no hit is, and of the hits
	the last edge in order is kept. The kept edge's segment against the
	capsule's axis segment then decides.

	Positions are in the space of the party the edges belong to.

===============================================================================
*/
#ifndef EF_CAPSULE_LINE_SWEEP_H
#define EF_CAPSULE_LINE_SWEEP_H

#include "datatypes/maths/DTVector3d.h"

class EFCapsuleLineSweep {
public:
	// The capsule: centre, half axis, velocity, radius and maximum time.
							EFCapsuleLineSweep( const DTVector3d & centre, const DTVector3d & halfAxis,
												const DTVector3d & velocity, f32 radius, f32 maxTime );

	// The edge from start along edge. False when the whole test ends
	// without a contact.
	bool					Add( const DTVector3d & start, const DTVector3d & edge );
	// The contact on the kept edge: true with its time and normal.
	bool					Finish( f32 & time, DTVector3d & normal ) const;

private:
	DTVector3d				moCentre;
	DTVector3d				moHalfAxis;
	DTVector3d				moVelocity;
	f32						mfRadius;
	f32						mfMaxTime;

	bool					mbTaken;
	bool					mbHit;
	u32						mui32Flags;
	f32						mfTime;
	DTVector3d				moNormal;
	DTVector3d				moStart;
	DTVector3d				moEdge;
};

#endif
