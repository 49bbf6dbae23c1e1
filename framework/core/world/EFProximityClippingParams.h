/*
===============================================================================

	A game object's proximity test, as logic sets it: the other object,
	the distance and hysteresis margin that make it near, and the clip
	operations added while it is not near.

	Logic modules pass this record by address: 32-bit fields, 16 bytes.

===============================================================================
*/
#ifndef EF_PROXIMITY_CLIPPING_PARAMS_H
#define EF_PROXIMITY_CLIPPING_PARAMS_H

#include "datatypes/base/DTTypes.h"
#include "framework/logic/api/LogicApiRecords.h"

static_assert( sizeof( EFProximityClippingParams ) == 16, "logic passes proximity parameters as 16 bytes" );

#endif
