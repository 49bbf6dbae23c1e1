/*
===============================================================================

	Stored description of a light animation: the descriptor members only.

===============================================================================
*/
#ifndef DT_LIGHT_ANIM_DESCRIPTOR_H
#define DT_LIGHT_ANIM_DESCRIPTOR_H

#include "datatypes/descriptor/DTBaseInstanceDescriptor.h"

class DTLightAnimDescriptor : public DTBaseInstanceDescriptor {
public:
							DTLightAnimDescriptor();
	virtual					~DTLightAnimDescriptor();
};

#endif
