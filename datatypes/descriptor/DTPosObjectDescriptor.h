/*
===============================================================================

	Stored description of a placed object: its position and frame.

	Stored after the descriptor members: "POS", "LOOK_AT", "LOOK_UP", "LOOK_RIGHT".

===============================================================================
*/
#ifndef DT_POS_OBJECT_DESCRIPTOR_H
#define DT_POS_OBJECT_DESCRIPTOR_H

#include "datatypes/descriptor/DTBaseInstanceDescriptor.h"
#include "datatypes/property/DTDummyVector3.h"

class DTPosObjectDescriptor : public DTBaseInstanceDescriptor {
public:
							DTPosObjectDescriptor();
	virtual					~DTPosObjectDescriptor();

	DTDummyVector3				moPosition;
	DTDummyVector3				moLookAt;
	DTDummyVector3				moLookUp;
	DTDummyVector3				moLookRight;
};

#endif
