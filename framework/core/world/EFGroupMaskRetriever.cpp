#include "framework/core/world/EFGroupMaskRetriever.h"

#include "framework/core/world/EFGameObject.h"

EFGroupMaskRetriever::EFGroupMaskRetriever( ObjectRetrieverParams * params, const ObjectMap & map )
	: EFObjectRetriever( params, map ) {
}

EFGameObject * EFGroupMaskRetriever::GetObject() {
	u32 & cursor = mpParams->groupMask.uiLastRetrieved;
	if ( cursor == EF_RETRIEVER_END ) {
		return nullptr;
	}
	for ( const Node * node = ResumeWalk( cursor ); node != nullptr; node = mpObjectMap->GetNext( node ) ) {
		const EFGameObject & object = *node->mValue;
		if ( InGroup( object, mpParams->groupMask.uiGroupMask, true ) && IsPresent( object ) ) {
			cursor = CursorAfter( node, EF_RETRIEVER_END );
			return node->mValue;
		}
	}
	cursor = EF_RETRIEVER_END;
	return nullptr;
}
