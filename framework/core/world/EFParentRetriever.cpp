#include "framework/core/world/EFParentRetriever.h"

#include "framework/core/world/EFGameObject.h"

EFParentRetriever::EFParentRetriever( ObjectRetrieverParams * params, const ObjectMap & map )
	: EFObjectRetriever( params, map ) {
}

EFGameObject * EFParentRetriever::GetObject() {
	u32 & cursor = mpParams->parent.uiLastRetrieved;
	const bool asks = cursor == EF_RETRIEVER_START ? mpObjectMap->GetCount() != 0 : cursor != EF_RETRIEVER_DONE;
	EFGameObject * parent = nullptr;
	if ( asks ) {
		const EFGameObject * const child = GetObject( mpParams->parent.uiObjectID );
		if ( child != nullptr && child->mpParent != nullptr ) {
			parent = child->mpParent->mpGameObjectOwner;
		}
	}
	cursor = EF_RETRIEVER_DONE;
	return parent != nullptr && IsPresent( *parent ) ? parent : nullptr;
}
