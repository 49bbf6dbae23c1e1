/*
===============================================================================

	Planar two-joint solver over a chain of three frames: the end's parent
	is the middle joint, its parent the root. The middle joint bends and
	the root turns (law of cosines, in the plane of the chain) so that the
	end lies at the target's distance from the root, then the root swings
	the chain onto the target. A target beyond reach stretches the chain
	to a + b - 0.0001; one the chain cannot fold to straightens it.

	A chain with a zero-length bone, or whose end lies on its root, has no
	plane or angles to work from: it is left as it is.

===============================================================================
*/
#ifndef EF_2D_2JOINTS_IK_H
#define EF_2D_2JOINTS_IK_H

#include "datatypes/maths/DTVector3d.h"

class DTFrame;
class DTMatrix;

class EF2D2JointsIK {
public:
	virtual					~EF2D2JointsIK() = default;

	// Moves the chain's root and middle frames so that end reaches target.
	void					Solve( DTFrame & end, const DTVector3d & target );
	// The same for the target's position, then end's world matrix becomes
	// the target.
	void					Solve( DTFrame & end, DTMatrix & target );
};

#endif
