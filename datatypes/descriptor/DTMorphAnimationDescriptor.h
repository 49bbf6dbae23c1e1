/*
===============================================================================

	Stored description of a morph animation: the descriptor members only.

===============================================================================
*/
#ifndef DT_MORPH_ANIMATION_DESCRIPTOR_H
#define DT_MORPH_ANIMATION_DESCRIPTOR_H

#include "datatypes/descriptor/DTBaseInstanceDescriptor.h"

class DTMorphAnimationDescriptor : public DTBaseInstanceDescriptor {
public:
							DTMorphAnimationDescriptor();
	virtual					~DTMorphAnimationDescriptor();
};

#endif
