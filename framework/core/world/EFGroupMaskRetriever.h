/*
===============================================================================

	Query of every present game object whose group mask meets the
	record's, in map order. The cursor ends at EF_RETRIEVER_END.

===============================================================================
*/
#ifndef EF_GROUP_MASK_RETRIEVER_H
#define EF_GROUP_MASK_RETRIEVER_H

#include "framework/core/world/EFObjectRetriever.h"

class EFGroupMaskRetriever : public EFObjectRetriever {
public:
							EFGroupMaskRetriever( ObjectRetrieverParams * params, const ObjectMap & map );

	using EFObjectRetriever::GetObject;
	EFGameObject *			GetObject() override;
};

#endif
