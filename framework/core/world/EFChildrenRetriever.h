/*
===============================================================================

	Query of the children of the record's object, in list order (the most
	recently attached first), each as the game object owning it. Absent
	children are passed over.

	The cursor is 2 + the place of the next child in the object's child
	list, or EF_RETRIEVER_DONE; the object is looked up again on every
	call, so a child or parent that goes between two calls ends or
	shortens the walk without leaving anything dangling.

===============================================================================
*/
#ifndef EF_CHILDREN_RETRIEVER_H
#define EF_CHILDREN_RETRIEVER_H

#include "framework/core/world/EFObjectRetriever.h"

// Cursor of the first child.
constexpr u32 EF_CHILDREN_FIRST = 2;

class EFChildrenRetriever : public EFObjectRetriever {
public:
							EFChildrenRetriever( ObjectRetrieverParams * params, const ObjectMap & map );

	// Places the cursor on the object's first child (done without one).
	void					Reset() override;
	using EFObjectRetriever::GetObject;
	EFGameObject *			GetObject() override;
};

#endif
