#include "framework/core/world/EFChildrenRetriever.h"

#include "framework/core/world/EFGameObject.h"

EFChildrenRetriever::EFChildrenRetriever( ObjectRetrieverParams * params, const ObjectMap & map )
	: EFObjectRetriever( params, map ) {
}

void EFChildrenRetriever::Reset() {
	const EFGameObject * const object = GetObject( mpParams->children.uiObjectID );
	const bool hasChild = object != nullptr && object->mpChild != nullptr;
	mpParams->children.uiLastRetrieved = hasChild ? EF_CHILDREN_FIRST : EF_RETRIEVER_DONE;
}

EFGameObject * EFChildrenRetriever::GetObject() {
	u32 & cursor = mpParams->children.uiLastRetrieved;
	if ( cursor == EF_RETRIEVER_START ) {
		Reset();
	}
	if ( cursor < EF_CHILDREN_FIRST ) {
		cursor = EF_RETRIEVER_DONE;
		return nullptr;
	}
	const EFGameObject * const object = GetObject( mpParams->children.uiObjectID );
	const EFPosData * child = object != nullptr ? object->mpChild : nullptr;
	u32 place = 0;
	for ( ; child != nullptr && place < cursor - EF_CHILDREN_FIRST; place++ ) {
		child = child->mpNext;
	}
	for ( ; child != nullptr; child = child->mpNext, place++ ) {
		EFGameObject * const owner = child->mpGameObjectOwner;
		if ( owner != nullptr && IsPresent( *owner ) ) {
			cursor = child->mpNext != nullptr ? EF_CHILDREN_FIRST + place + 1 : EF_RETRIEVER_DONE;
			return owner;
		}
	}
	cursor = EF_RETRIEVER_DONE;
	return nullptr;
}
