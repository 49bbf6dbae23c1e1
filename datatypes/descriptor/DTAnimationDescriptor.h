/*
===============================================================================

	Stored description of an animation: the descriptor members only. It
	also holds a float list for its users, which is not a member and is
	never loaded.

===============================================================================
*/
#ifndef DT_ANIMATION_DESCRIPTOR_H
#define DT_ANIMATION_DESCRIPTOR_H

#include "datatypes/descriptor/DTBaseInstanceDescriptor.h"
#include "datatypes/containers/DTVector.h"

class DTAnimationDescriptor : public DTBaseInstanceDescriptor {
public:
							DTAnimationDescriptor();
	virtual					~DTAnimationDescriptor();

	DTVector<f32>				moFloats;
};

#endif
