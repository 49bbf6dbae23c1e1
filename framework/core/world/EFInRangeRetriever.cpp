#include "framework/core/world/EFInRangeRetriever.h"

#include "framework/core/world/EFGameObject.h"

EFInRangeRetriever::EFInRangeRetriever( ObjectRetrieverParams * params, const ObjectMap & map )
	: EFObjectRetriever( params, map ), mfBound( 0.0f ), mfLowDistance( 0.0f ), mpoCandidate( nullptr ) {
}

EFGameObject * EFInRangeRetriever::FindInRange( const bool mask ) {
	InRangeIDRetrieverParams & record = mpParams->inRangeID;
	if ( record.uiLastRetrieved == EF_RETRIEVER_END ) {
		return nullptr;
	}
	if ( record.fThreshold <= 0.0f ) {
		record.fThreshold = EF_IN_RANGE_MIN_THRESHOLD;
	}
	moCentre = Centre( record.uiSourceID, record.fDeltaX, record.fDeltaY, record.fDeltaZ );
	mfBound = record.fRange * record.fRange;
	mfLowDistance = 0.0f;
	if ( record.uiLastRetrieved != EF_RETRIEVER_START ) {
		EFGameObject * const last = GetObject( record.uiLastRetrieved );
		if ( last != nullptr ) {
			mfLowDistance = record.fThreshold + ( WorldPosition( *last ) - moCentre ).LengthSquare();
		}
	}
	mpoCandidate = nullptr;
	for ( const Node * node = mpObjectMap->GetFirst(); node != nullptr; node = mpObjectMap->GetNext( node ) ) {
		EFGameObject & object = *node->mValue;
		if ( !InGroup( object, record.uiGroupID, mask ) || !IsPresent( object ) ) {
			continue;
		}
		const f32 distance = ( WorldPosition( object ) - moCentre ).LengthSquare();
		if ( mfLowDistance <= distance && distance <= mfBound ) {
			mpoCandidate = &object;
			mfBound = distance > record.fThreshold ? distance - record.fThreshold : 0.0f;
		}
	}
	if ( mpoCandidate != nullptr && mpoCandidate->GetUID() != record.uiLastRetrieved ) {
		record.uiLastRetrieved = mpoCandidate->GetUID();
		return mpoCandidate;
	}
	record.uiLastRetrieved = EF_RETRIEVER_END;
	return nullptr;
}
