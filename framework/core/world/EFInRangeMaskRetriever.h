/*
===============================================================================

	In-range query over the objects whose group mask meets the record's.

===============================================================================
*/
#ifndef EF_IN_RANGE_MASK_RETRIEVER_H
#define EF_IN_RANGE_MASK_RETRIEVER_H

#include "framework/core/world/EFInRangeRetriever.h"

class EFInRangeMaskRetriever : public EFInRangeRetriever {
public:
							EFInRangeMaskRetriever( ObjectRetrieverParams * params, const ObjectMap & map );

	using EFObjectRetriever::GetObject;
	EFGameObject *			GetObject() override { return FindInRange( true ); }
};

#endif
