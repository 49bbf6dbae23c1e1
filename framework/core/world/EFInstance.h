/*
===============================================================================

	Base of every placed thing of a level: an id (the streamable UID, whose
	top byte names the kind), a flags word (EFInstanceFlags.h) and the game
	object that owns it. A game object is its own owner.

	The virtual operations after those of DTStreamable keep this slot
	order: Initialize, SetRessource, Terminate, ShallowCopy. The base
	versions do nothing (Initialize succeeds, ShallowCopy gives null: only
	classes that can be duplicated make a copy sharing their resources).

===============================================================================
*/
#ifndef EF_INSTANCE_H
#define EF_INSTANCE_H

#include "datatypes/descriptor/DTCreationParameters.h"
#include "datatypes/streamable/DTStreamable.h"
#include "framework/core/world/EFNotifyType_e.h"

class EFGameObject;
class EFRessource;

// Top byte of an id: the kind of instance.
constexpr u32 EF_ID_KIND_SHIFT		= 24;

inline u32 EFIdKind( const u32 id ) {
	return id >> EF_ID_KIND_SHIFT;
}

class EFInstance : public DTStreamable {
public:
							EFInstance();
	virtual					~EFInstance();

	// True.
	virtual bool			Initialize( const DTCreationParameters & params );
	virtual void			SetRessource( EFRessource * ressource );
	virtual void			Terminate();
	// Null.
	virtual EFInstance *	ShallowCopy();

	// Hands the event to the game logic's notification manager with the
	// owner's id as target and this instance's id as sender. Without an
	// owner nothing is sent; deferred data, which the manager would have
	// owned, is freed as the manager frees it.
	void					Notify( EFNotifyType_e type, void * data, bool deferred );

	u32						muiFlags;
	EFGameObject *			mpGameObjectOwner;
};

#endif
