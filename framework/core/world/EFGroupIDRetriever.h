/*
===============================================================================

	Query of every present game object whose group id equals the
	record's, in map order. The cursor ends at EF_RETRIEVER_END.

===============================================================================
*/
#ifndef EF_GROUP_ID_RETRIEVER_H
#define EF_GROUP_ID_RETRIEVER_H

#include "framework/core/world/EFObjectRetriever.h"

class EFGroupIDRetriever : public EFObjectRetriever {
public:
							EFGroupIDRetriever( ObjectRetrieverParams * params, const ObjectMap & map );

	using EFObjectRetriever::GetObject;
	EFGameObject *			GetObject() override;
};

#endif
