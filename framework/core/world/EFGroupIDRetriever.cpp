#include "framework/core/world/EFGroupIDRetriever.h"

#include "framework/core/world/EFGameObject.h"

EFGroupIDRetriever::EFGroupIDRetriever( ObjectRetrieverParams * params, const ObjectMap & map )
	: EFObjectRetriever( params, map ) {
}

EFGameObject * EFGroupIDRetriever::GetObject() {
	u32 & cursor = mpParams->groupID.uiLastRetrieved;
	if ( cursor == EF_RETRIEVER_END ) {
		return nullptr;
	}
	for ( const Node * node = ResumeWalk( cursor ); node != nullptr; node = mpObjectMap->GetNext( node ) ) {
		const EFGameObject & object = *node->mValue;
		if ( InGroup( object, mpParams->groupID.uiGroupID, false ) && IsPresent( object ) ) {
			cursor = CursorAfter( node, EF_RETRIEVER_END );
			return node->mValue;
		}
	}
	cursor = EF_RETRIEVER_END;
	return nullptr;
}
