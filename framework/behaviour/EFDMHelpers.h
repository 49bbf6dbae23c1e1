/*
===============================================================================

	Rules every behaviour module shares.

	State bits: after a change from old to new, the bits that changed and
	that the module's notify bits name send notification 6 at once to the
	instance owning the body, with {handle, type word, new, old ^ new}.
	Modules holding one exclusive state value send {handle, type word,
	value, value} under their own condition. Without an owning instance
	nothing is sent.

	Object ids that logic hands a module: 0x2A000000 names the object whose
	logic is running, so a module stores that object's own id (kept as
	given outside a logic call) and reports what it stored.

	Frame gaps: a module ran in the previous physics frame when the frame
	number is its last frame + 1, or when the previous frame was paused and
	every frame since its last one was a paused frame.

===============================================================================
*/
#ifndef EF_DM_HELPERS_H
#define EF_DM_HELPERS_H

#include "datatypes/base/DTTypes.h"

struct ActionState;
class DTFrame;
class DTVector3d;
class EFGameObject;
class EFPhysicModule;
struct RwMatrix;

// The id logic uses for the object whose logic is running.
constexpr u32 EF_DM_RUNNING_OBJECT_ID = 0x2A000000;

// Sets the module's state bits to state, notifying the changes.
void			DMChangeState( EFPhysicModule & module, u32 state );
// Sends the exclusive form of the state notification for value.
void			DMNotifyExclusiveState( const EFPhysicModule & module, u32 value );
// The id a module keeps for an id given by logic.
u32				DMStoredObjectId( u32 id );
// Whether a module that last ran in frame last ran in the previous one.
bool			DMRanInPreviousFrame( u32 last );
// The frame of the instance owning the module's body; null without one.
DTFrame *		DMOwnerFrame( const EFPhysicModule & module );
// That frame's world matrix; null without a frame.
const RwMatrix *	DMOwnerLTM( const EFPhysicModule & module );
// The world position of an object's frame; (0, 0, 0) without one.
DTVector3d		DMObjectPosition( const EFGameObject & object );
// The game object owning the module's body; null without one.
EFGameObject *	DMOwnerObject( const EFPhysicModule & module );
// The object an id names in the world; null for none.
EFGameObject *	DMFindObject( u32 id );
// Camera 0's world matrix; null without the camera or its frame.
const RwMatrix *	DMCameraLTM();
// The state of the input action (config, action); null without it.
const ActionState *	DMActionState( u32 config, u32 action );
// v turned by the rotation part of matrix (unchanged for null).
DTVector3d		DMTransformVector( const DTVector3d & v, const RwMatrix * matrix );
// The id of the instance owning the module's body; 0 without one.
u32				DMOwnerId( const EFPhysicModule & module );
// Registers the owner's logic callback for notification type (target and
// sender the owner's id), replacing an earlier one of the same type.
void			DMRegisterLogicCallback( const EFPhysicModule & module, u32 type, u32 callback );

#endif
