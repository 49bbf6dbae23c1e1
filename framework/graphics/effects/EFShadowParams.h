/*
===============================================================================

	A game object's shadow settings, read by the shadow manager: the
	shadow kinds, the level of detail, and the drop-down and cast shadows'
	alpha, reach, size, resolution and the joint the drop-down shadow
	follows (0x7FFFFFFF: the object's own frame).

===============================================================================
*/
#ifndef EF_SHADOW_PARAMS_H
#define EF_SHADOW_PARAMS_H

#include "datatypes/base/DTTypes.h"
#include "framework/logic/api/LogicApiRecords.h"

static_assert( sizeof( _ShadowParams ) == 44, "logic passes shadow parameters as 44 bytes" );

#endif
