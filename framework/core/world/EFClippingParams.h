/*
===============================================================================

	A game object's distance bands, as logic sets them: a hysteresis
	margin and five bands, each with a bound (negative: no bound) and the
	clip operations for out of every view and in a view.

	Logic modules pass this record by address, so its layout is fixed:
	32-bit fields, 64 bytes.

===============================================================================
*/
#ifndef EF_CLIPPING_PARAMS_H
#define EF_CLIPPING_PARAMS_H

#include "datatypes/base/DTTypes.h"
#include "framework/logic/api/LogicApiRecords.h"

constexpr u32 EF_CLIP_DISTANCE_COUNT	= LOGIC_API_CLIP_DISTANCES;

static_assert( sizeof( EFClippingDistance ) == 12, "a clipping distance is three 32-bit words" );
static_assert( sizeof( EFClippingParams ) == 64, "logic passes clipping parameters as 64 bytes" );

#endif
