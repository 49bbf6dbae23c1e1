/*
===============================================================================

	Base of the nearest queries: the present object of a group nearest to
	a point (given in the frame of a source object, or in world space)
	within a starting distance.

	One call walks the whole map from the cursor and ends it at
	EF_RETRIEVER_DONE, so a second call on the same record gives null.
	The retriever remembers the object it last acknowledged: a new nearest
	object replaces it only when their distances to the point differ by
	more than the record's switch distance, so a retriever kept from frame
	to frame does not flicker between two objects at about the same
	distance. A new retriever always takes the nearest object.

===============================================================================
*/
#ifndef EF_NEAREST_RETRIEVER_H
#define EF_NEAREST_RETRIEVER_H

#include "framework/core/world/EFObjectRetriever.h"

class EFNearestRetriever : public EFObjectRetriever {
public:
							EFNearestRetriever( ObjectRetrieverParams * params, const ObjectMap & map );

protected:
	// The walk, with the group test by id (mask false) or by mask.
	EFGameObject *			FindNearest( bool mask );
	// The candidate, or the object acknowledged before while the two are
	// within switchDistance of each other.
	EFGameObject *			AcknowledgeNearest( f32 switchDistance );

	// Id of the object acknowledged last; 0 for none.
	u32						muiNearestId;
	// Squared distance of the candidate.
	f32						mfBestDistance;
	DTVector3d				moCentre;
	EFGameObject *			mpoCandidate;
};

#endif
