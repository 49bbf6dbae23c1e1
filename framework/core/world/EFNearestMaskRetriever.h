/*
===============================================================================

	Nearest query over the objects whose group mask meets the record's.

===============================================================================
*/
#ifndef EF_NEAREST_MASK_RETRIEVER_H
#define EF_NEAREST_MASK_RETRIEVER_H

#include "framework/core/world/EFNearestRetriever.h"

class EFNearestMaskRetriever : public EFNearestRetriever {
public:
							EFNearestMaskRetriever( ObjectRetrieverParams * params, const ObjectMap & map );

	using EFObjectRetriever::GetObject;
	EFGameObject *			GetObject() override { return FindNearest( true ); }
};

#endif
