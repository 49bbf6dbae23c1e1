/*
===============================================================================

	Argument of a ray query: the ray start + t x displacement for t in
	[0, 1], the object and environment detect masks (plain and
	user-defined) and an object id that is never hit (0 for none).

===============================================================================
*/
#ifndef RAY_INTERSECT_IN_H
#define RAY_INTERSECT_IN_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTVector3d.h"
#include "framework/logic/api/LogicApiRecords.h"

static_assert( sizeof( RayIntersectIn ) == 44, "logic passes a ray query as 44 bytes" );

#endif
