/*
===============================================================================

	Stored description of a camera animation: the descriptor members only.

===============================================================================
*/
#ifndef DT_CAMERA_ANIM_DESCRIPTOR_H
#define DT_CAMERA_ANIM_DESCRIPTOR_H

#include "datatypes/descriptor/DTBaseInstanceDescriptor.h"

class DTCameraAnimDescriptor : public DTBaseInstanceDescriptor {
public:
							DTCameraAnimDescriptor();
	virtual					~DTCameraAnimDescriptor();
};

#endif
