/*
===============================================================================

	In-range query over the objects whose group id equals the record's.

===============================================================================
*/
#ifndef EF_IN_RANGE_ID_RETRIEVER_H
#define EF_IN_RANGE_ID_RETRIEVER_H

#include "framework/core/world/EFInRangeRetriever.h"

class EFInRangeIdRetriever : public EFInRangeRetriever {
public:
							EFInRangeIdRetriever( ObjectRetrieverParams * params, const ObjectMap & map );

	using EFObjectRetriever::GetObject;
	EFGameObject *			GetObject() override { return FindInRange( false ); }
};

#endif
