/*
===============================================================================

	Base of the animation nodes a game object's animation manager runs:
	an operator with the node's id, its index in the owner's descriptor
	list, the owning game object and the shared animation resource.

	Only creation, initialisation, the shallow copy, the play state that
	logic reads and sets (group, state bits, time, duration, speed) and
	the two hooks SetTime and Connect exist so far; playing comes with the
	animation nodes' own work. Initialize records itself in the call trace
	and succeeds.

===============================================================================
*/
#ifndef EF_ANIM_NODE_H
#define EF_ANIM_NODE_H

#include "datatypes/descriptor/DTCreationParameters.h"
#include "datatypes/node/DTOperator.h"

class EF3dObj;
class EFGameObject;
class EFPosData;
class EFRessource;

// muiAnimState bits.
constexpr u32 EF_ANIM_STATE_STOPPED		= 0x08000000;	// not playing
constexpr u32 EF_ANIM_STATE_AT_END		= 0x20000000;

class EFAnimNode : public DTOperator {
public:
	explicit				EFAnimNode( OPNodeType_e type );
	virtual					~EFAnimNode();

	// A node of the same class over the same resource, id and index.
	virtual EFAnimNode *	ShallowCopy() = 0;
	virtual bool			Initialize( DTCreationParameters * params );
	// Moves the play position to time (seconds).
	virtual void			SetTime( f32 time );
	// Binds the animation to a positioned thing; the base node has none.
	virtual void			Connect( EFPosData * target );

	u32						muiUID;
	u32						muiIndex;
	u32						muiGroup;
	EFGameObject *			mpGameObjectOwner;
	EF3dObj *				mp3dObj;
	EFRessource *			mpAnimRes;
	u32						muiAnimState;
	f32						mfCurrentTime;
	f32						mfDuration;
	f32						mfSpeed;

protected:
	// Copies id, index and resource into copy; copy, or null.
	EFAnimNode *			CopyInto( EFAnimNode * copy ) const;
};

#endif
