/*
===============================================================================

	A shareable level resource: loaded once, handed to each of its users
	by the resource factory and counted by the instances that hold it.

	The count starts at 0; the factory adds one per user it hands the
	resource to, and each user releases it when it lets go. Copy gives the
	object for one more user: the base shares itself, subclasses return a
	new object over the same heavy data.

===============================================================================
*/
#ifndef EF_RESSOURCE_H
#define EF_RESSOURCE_H

#include "datatypes/streamable/DTStreamable.h"

class EFRessource : public DTStreamable {
public:
							EFRessource();
	virtual					~EFRessource();

	// The object to hand to one more user; the base returns itself.
	virtual EFRessource *	Copy();

	// One user less: 1 when the count reached 0 (the caller then destroys
	// the resource), else 0. Releasing at 0 wraps the count.
	u32						Release();

	u32						muiRefCount;
};

#endif
