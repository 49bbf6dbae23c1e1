/*
===============================================================================

	Nearest query over the objects whose group id equals the record's.

===============================================================================
*/
#ifndef EF_NEAREST_ID_RETRIEVER_H
#define EF_NEAREST_ID_RETRIEVER_H

#include "framework/core/world/EFNearestRetriever.h"

class EFNearestIDRetriever : public EFNearestRetriever {
public:
							EFNearestIDRetriever( ObjectRetrieverParams * params, const ObjectMap & map );

	using EFObjectRetriever::GetObject;
	EFGameObject *			GetObject() override { return FindNearest( false ); }
};

#endif
