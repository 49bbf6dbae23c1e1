#include "framework/core/world/EFNearestRetriever.h"

#include "framework/core/world/EFGameObject.h"

#include <cfloat>
#include <cmath>

EFNearestRetriever::EFNearestRetriever( ObjectRetrieverParams * params, const ObjectMap & map )
	: EFObjectRetriever( params, map ), muiNearestId( 0 ), mfBestDistance( 0.0f ), mpoCandidate( nullptr ) {
}

EFGameObject * EFNearestRetriever::FindNearest( const bool mask ) {
	const NearestIDRetrieverParams & record = mpParams->nearestID;
	mfBestDistance = record.fStartDist * record.fStartDist;
	mpoCandidate = nullptr;
	moCentre = Centre( record.uiObjectID, record.fDeltaX, record.fDeltaY, record.fDeltaZ );
	const u32 cursor = record.uiLastRetrieved;
	const Node * node = cursor != EF_RETRIEVER_DONE ? ResumeWalk( cursor ) : nullptr;
	for ( ; node != nullptr; node = mpObjectMap->GetNext( node ) ) {
		EFGameObject & object = *node->mValue;
		if ( !InGroup( object, record.uiGroupID, mask ) || !IsPresent( object ) ) {
			continue;
		}
		const f32 distance = ( WorldPosition( object ) - moCentre ).LengthSquare();
		if ( distance < mfBestDistance ) {
			mpoCandidate = &object;
			mfBestDistance = distance;
		}
	}
	mpParams->nearestID.uiLastRetrieved = EF_RETRIEVER_DONE;
	return AcknowledgeNearest( record.fDeltaDistForSwitch );
}

EFGameObject * EFNearestRetriever::AcknowledgeNearest( const f32 switchDistance ) {
	if ( mpoCandidate == nullptr ) {
		return nullptr;
	}
	EFGameObject * const previous = muiNearestId != 0 ? GetObject( muiNearestId ) : nullptr;
	if ( previous == mpoCandidate ) {
		return previous;
	}
	const f32 best = std::sqrt( mfBestDistance );
	const f32 gap = previous != nullptr ? std::fabs( std::sqrt( ( WorldPosition( *previous ) - moCentre ).LengthSquare() ) - best )
										: FLT_MAX - 0.0f;
	if ( gap > switchDistance ) {
		muiNearestId = mpoCandidate->GetUID();
		return mpoCandidate;
	}
	return previous;
}
