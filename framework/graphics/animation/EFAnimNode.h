/*
===============================================================================

	Base of the animation nodes a game object's animation manager runs:
	an operator with the node's id, its index in the owner's descriptor
	list, the owning game object and the shared animation resource.

	Only creation, initialisation and the shallow copy exist so far;
	playing comes with the animation nodes' own work. Initialize records
	itself in the call trace and succeeds.

===============================================================================
*/
#ifndef EF_ANIM_NODE_H
#define EF_ANIM_NODE_H

#include "datatypes/descriptor/DTCreationParameters.h"
#include "datatypes/node/DTOperator.h"

class EFGameObject;
class EFRessource;

class EFAnimNode : public DTOperator {
public:
	explicit				EFAnimNode( OPNodeType_e type );
	virtual					~EFAnimNode();

	// A node of the same class over the same resource, id and index.
	virtual EFAnimNode *	ShallowCopy() = 0;
	virtual bool			Initialize( DTCreationParameters * params );

	u32						muiUID;
	u32						muiIndex;
	EFGameObject *			mpGameObjectOwner;
	EFRessource *			mpAnimRes;

protected:
	// Copies id, index and resource into copy; copy, or null.
	EFAnimNode *			CopyInto( EFAnimNode * copy ) const;
};

#endif
