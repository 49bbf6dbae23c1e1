/*
===============================================================================

	Stored description of a light: type, colour, flags, reach and frame.

	Stored after the descriptor members: "LIGHT_TYPE", "COLOR", "FLAGS", "RADIUS", "CONE_ANGLE", "LIGHT_POS", "LIGHT_AT", "LIGHT_UP", "LIGHT_RIGHT".

===============================================================================
*/
#ifndef DT_LIGHT_DESCRIPTOR_H
#define DT_LIGHT_DESCRIPTOR_H

#include "datatypes/descriptor/DTBaseInstanceDescriptor.h"
#include "datatypes/property/DTDummyVector3.h"
#include "datatypes/property/DTDummyVector4.h"

class DTLightDescriptor : public DTBaseInstanceDescriptor {
public:
							DTLightDescriptor();
	virtual					~DTLightDescriptor();

	s32							miLightType;
	DTDummyVector4				moColor;
	u32							mui32Flags;
	f32							mfRadius;
	f32							mfConeAngle;
	DTDummyVector3				moPosition;
	DTDummyVector3				moLookAt;
	DTDummyVector3				moLookUp;
	DTDummyVector3				moLookRight;
};

#endif
