/*
===============================================================================

	Base of the in-range queries: the present objects of a group within
	range of a point (given in the frame of a source object, or in world
	space), from the nearest outwards, one per call.

	Each call looks for the object nearest to the point beyond the one
	returned last (its id is the cursor) by at least the record's
	threshold, in squared-distance units; of several objects within one
	threshold of each other only one is returned. A threshold of 0 or
	below is written into the record as the smallest positive normal
	float. The cursor ends at EF_RETRIEVER_END.

===============================================================================
*/
#ifndef EF_IN_RANGE_RETRIEVER_H
#define EF_IN_RANGE_RETRIEVER_H

#include "framework/core/world/EFObjectRetriever.h"

// Threshold of a record that gives none.
constexpr f32 EF_IN_RANGE_MIN_THRESHOLD = 1.17549435e-38f;

class EFInRangeRetriever : public EFObjectRetriever {
public:
							EFInRangeRetriever( ObjectRetrieverParams * params, const ObjectMap & map );

protected:
	// The walk, with the group test by id (mask false) or by mask.
	EFGameObject *			FindInRange( bool mask );

	// Squared distance bound of the walk (a 32-bit value, like the
	// acknowledged id of the nearest queries in the same place).
	f32						mfBound;
	// Lowest squared distance a candidate may have.
	f32						mfLowDistance;
	DTVector3d				moCentre;
	EFGameObject *			mpoCandidate;
};

#endif
