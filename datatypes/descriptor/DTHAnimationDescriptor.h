/*
===============================================================================

	Stored description of a hierarchical animation: the descriptor members only.

===============================================================================
*/
#ifndef DT_HANIMATION_DESCRIPTOR_H
#define DT_HANIMATION_DESCRIPTOR_H

#include "datatypes/descriptor/DTBaseInstanceDescriptor.h"

class DTHAnimationDescriptor : public DTBaseInstanceDescriptor {
public:
							DTHAnimationDescriptor();
	virtual					~DTHAnimationDescriptor();
};

#endif
