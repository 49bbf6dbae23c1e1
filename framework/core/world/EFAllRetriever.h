/*
===============================================================================

	Query of every game object of the world, withdrawn ones included, in
	map order. The cursor ends at EF_RETRIEVER_DONE.

===============================================================================
*/
#ifndef EF_ALL_RETRIEVER_H
#define EF_ALL_RETRIEVER_H

#include "framework/core/world/EFObjectRetriever.h"

class EFAllRetriever : public EFObjectRetriever {
public:
							EFAllRetriever( ObjectRetrieverParams * params, const ObjectMap & map );

	using EFObjectRetriever::GetObject;
	EFGameObject *			GetObject() override;
};

#endif
