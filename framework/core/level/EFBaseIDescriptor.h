/*
===============================================================================

	Base of the instance descriptors a game object's level record lists.

	Each subclass embeds one data descriptor by value and knows which
	class of instance (or animation node) to make from it. Its stored form
	is exactly the data descriptor's: loading and saving are forwarded to
	it. Creating asks the class registry for the instance class, which
	must be registered for the matching creator (instance type 1 for
	instances, 2 for animation nodes); otherwise nothing is made and no
	resource is requested. A made object gets the shared resource of the
	descriptor's PUID (none for -1) and the descriptor's id.

	Virtual operations after those of DTStreamable, in slot order:
	CreateObjectInstance, InitializeObjectInstance, GetInstanceCLSID,
	GetDescriptor.

===============================================================================
*/
#ifndef EF_BASE_I_DESCRIPTOR_H
#define EF_BASE_I_DESCRIPTOR_H

#include "datatypes/descriptor/DTBaseInstanceDescriptor.h"
#include "datatypes/streamable/DTStreamable.h"

class EFAnimNode;
class EFInstance;

// PUID of a descriptor that uses no shared resource.
constexpr s32 EF_NO_PUID = -1;

class EFBaseIDescriptor : public DTStreamable {
public:
							EFBaseIDescriptor();
	virtual					~EFBaseIDescriptor();

	// The instance, its resource and id set; null when the class cannot
	// be made as an instance.
	virtual EFInstance *	CreateObjectInstance();
	// Initialises instance from the data descriptor and extra; true for a
	// null instance.
	virtual bool			InitializeObjectInstance( EFInstance * instance, void * extra );
	virtual s32				GetInstanceCLSID() const = 0;
	virtual DTBaseInstanceDescriptor *	GetDescriptor() = 0;

	// The data descriptor's.
	s32						LoadFromStream( DTBasePersistStream & stream ) override;
	s32						SaveToStream( DTBasePersistStream & stream ) override;

	// The animation node, its resource and id set; null when the class
	// cannot be made as a node.
	EFAnimNode *			CreateNode();
	// Initialises node from the data descriptor and the instance it
	// refers to.
	void					InitialiseNode( EFAnimNode * node, void * reference );

private:
	// The resource of the data descriptor's PUID, or null for none.
	class EFRessource *		GetSharedRessource();
};

#endif
