/*
===============================================================================

	Surface attributes of environment polygons, shared by every polygon
	that names the record: surface flags (0x1 two-sided, 0x2 a mover
	along the normal passes through), the detect masks a query must meet
	to see the polygon, friction, rebound, a tag and surface type for
	logic, hardness and acoustic opacity. Logic reads the same record, so
	its one definition is the one modules share.

===============================================================================
*/
#ifndef ENV_PRIM_ATTRIBS_H
#define ENV_PRIM_ATTRIBS_H

#include "datatypes/base/DTTypes.h"
#include "framework/logic/api/LogicApiRecords.h"

static_assert( sizeof( EnvPrimAttribs ) == 32, "an attribute record is 32 bytes" );

#endif
