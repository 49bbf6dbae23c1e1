/*
===============================================================================

	Resource factory: hands each loaded resource to as many users as the
	level data announced for it.

	Each resource class registers itself under its id with its user count
	while it loads. Every user but the last gets a Copy; the last gets the
	registered object itself, and the id leaves the factory. Each object
	handed out has its reference count raised by one.

	A resource registered with 0 users wraps the count to all ones and
	hands out copies until Clear. Registering an id again replaces the
	entry: look-ups use the later resource, and the earlier one stays
	alive, owned by whoever holds it. Clear destroys the resources still
	registered.

===============================================================================
*/
#ifndef EF_RESSOURCE_FACTORY_H
#define EF_RESSOURCE_FACTORY_H

#include "datatypes/containers/DTMap.h"
#include "datatypes/base/DTTypes.h"

class EFRessource;

class EFRessourceFactory {
public:
	struct EFRessourceEntry {
		u32					muiUsersLeft;
		EFRessource *		mpoRessource;
	};

							EFRessourceFactory();
	// Clear, then the map goes.
							~EFRessourceFactory();

							EFRessourceFactory( const EFRessourceFactory & ) = delete;
	EFRessourceFactory &	operator=( const EFRessourceFactory & ) = delete;

	// Stores {users, resource} under id, replacing an existing entry.
	void					RegisterRessource( u32 id, u32 users, EFRessource * ressource );

	// The resource for one more user, or null when id is not registered.
	EFRessource *			GetRessource( u32 id );

	// Destroys every registered resource and every entry.
	void					Clear();

	u32						GetCount() const { return moRessources.GetCount(); }

private:
	DTMap<u32, EFRessourceEntry *>	moRessources;
};

#endif
