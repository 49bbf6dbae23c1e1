/*
===============================================================================

	Query of the parent of the record's object: the game object owning the
	instance it is attached to, once. The cursor ends at
	EF_RETRIEVER_DONE.

===============================================================================
*/
#ifndef EF_PARENT_RETRIEVER_H
#define EF_PARENT_RETRIEVER_H

#include "framework/core/world/EFObjectRetriever.h"

class EFParentRetriever : public EFObjectRetriever {
public:
							EFParentRetriever( ObjectRetrieverParams * params, const ObjectMap & map );

	using EFObjectRetriever::GetObject;
	EFGameObject *			GetObject() override;
};

#endif
