#include "framework/core/world/EFAllRetriever.h"

#include "framework/core/world/EFGameObject.h"

EFAllRetriever::EFAllRetriever( ObjectRetrieverParams * params, const ObjectMap & map )
	: EFObjectRetriever( params, map ) {
}

EFGameObject * EFAllRetriever::GetObject() {
	u32 & cursor = mpParams->all.uiLastRetrieved;
	if ( cursor == EF_RETRIEVER_DONE ) {
		return nullptr;
	}
	const Node * const node = ResumeWalk( cursor );
	if ( node == nullptr ) {
		cursor = EF_RETRIEVER_DONE;
		return nullptr;
	}
	cursor = CursorAfter( node, EF_RETRIEVER_DONE );
	return node->mValue;
}
