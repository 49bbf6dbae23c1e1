/*
===============================================================================

	Base of the animation nodes a game object's animation manager runs:
	an operator with the node's id, its index in the owner's descriptor
	list, its animation group, the owning game object, the animated 3D
	object, the shared animation resource and the play state (state word,
	time, duration, speed).

	The state word holds the flags Play was given, whole, so its low bits
	are the caller's play flags; the high bits are the node's own (AS_*).
	Every animated node advances its time by AdvanceTime and ends its
	frame with EndTest; the manager's hierarchy-clipped evaluation uses the
	same two rules.

	Notifications go out deferred through one notification manager shared
	by every node; the stop and last-frame notifications carry the node's
	index as the data word's value, so the queue frees nothing for them.

	The base node owns one reference to its resource, released by the
	destructor. Stop leaves the node's links alone and returns false: the
	manager owns animated nodes and never deletes them on a stop.

===============================================================================
*/
#ifndef EF_ANIM_NODE_H
#define EF_ANIM_NODE_H

#include "datatypes/descriptor/DTCreationParameters.h"
#include "datatypes/node/DTOperator.h"
#include "framework/core/world/EFNotifyType_e.h"

class DTWorkMemory;
class EF3dObj;
class EFAnimCollPrim;
class EFGameObject;
class EFNotificationMgr;
class EFObjCollisionPrim;
class EFPosData;
class EFRessource;

// muiAnimState bits.
constexpr u32 AS_CLAMP					= 0x00000001;	// play once
constexpr u32 AS_LOOP					= 0x00000002;	// wrap around at both ends
constexpr u32 AS_HOLD					= 0x00000004;	// held while blending in
constexpr u32 AS_BLEND_FROM_POSE		= 0x00000008;	// blend in from the frozen current pose
constexpr u32 AS_CROSSFADE				= 0x00000010;	// cross-fade with the running animation
constexpr u32 AS_REFRESH				= 0x01000000;	// a pose is due although time stands
constexpr u32 AS_LAST_FRAME				= 0x02000000;	// last frame reached or wrapped this frame
constexpr u32 AS_STOPPED				= 0x08000000;	// the whole word after Stop
constexpr u32 AS_AT_END					= 0x20000000;	// a play-once animation reached its end
constexpr u32 AS_WRAPPED				= 0x40000000;	// the time wrapped this frame
// The transition bits of a play request.
constexpr u32 AS_TRANSITION_MASK		= AS_HOLD | AS_BLEND_FROM_POSE | AS_CROSSFADE;

// Names kept for the logic table.
constexpr u32 EF_ANIM_STATE_STOPPED		= AS_STOPPED;
constexpr u32 EF_ANIM_STATE_AT_END		= AS_AT_END;

// Output attribute muiState values.
constexpr u32 EF_ATTRIB_OBJECT_ARRAY	= 0x2;	// the block is the 3D object's joint array
constexpr u32 EF_ATTRIB_SKELETAL		= 0x8;	// written by a skeletal node
constexpr u32 EF_ATTRIB_PRIVATE_COPY	= 0x3;	// a private copy, owned

// DTTransfo::muiState bits.
constexpr u32 EF_TRANSFO_QUAT_VALID		= 0x02;
constexpr u32 EF_TRANSFO_ROOT			= 0x08;

// Animation data block bytes the nodes read.
constexpr u32 EF_ANIM_DATA_DURATION		= 8;
constexpr u32 EF_ANIM_DATA_GROUP		= 13;
constexpr u32 EF_ANIM_DATA_BLEND_KIND	= 14;
constexpr u32 EF_ANIM_DATA_ROOT			= 15;
constexpr u32 EF_ANIM_DATA_HEADER		= 16;
// Blend kind of an additive layer.
constexpr u8 EF_ANIM_BLEND_ADDITIVE		= 2;

enum EFChangeType_e : u32 {
	CT_SET		= 0,
	CT_RESET	= 1,
	CT_REPLACE	= 2
};

class EFAnimNode : public DTOperator {
public:
	explicit				EFAnimNode( OPNodeType_e type );
	// Releases the resource (deleted with its last user).
	virtual					~EFAnimNode();

	using DTOperator::Update;

	// The node that replaces this expired node in the tree, or null.
	EFAnimNode *			TimeOut( f32 * dt ) override;
	// A node of the same class over the same resource, id and index; the
	// base has none.
	virtual EFAnimNode *	ShallowCopy();
	// The 3D object from the creation record, the group from the data;
	// false for a node without animation data.
	virtual bool			Initialize( DTCreationParameters * params );
	// The state word becomes flags.
	virtual void			Play( u32 flags, f32 time );
	// The node's work of one frame; the base does nothing.
	virtual f32				Update( f32 dt, DTWorkMemory & workMemory );
	// True when the caller must delete the node (blend nodes only).
	virtual bool			Stop();
	// Binds the animation to a positioned thing; the base node has none.
	virtual void			Connect( EFPosData * target );
	// Moves the play position to time (seconds).
	virtual void			SetTime( f32 time );

	static void				SetNotificationMgr( EFNotificationMgr * manager );
	// Queues type for the owner: the second id is the owner's for
	// NO_ANIM_CB, the node's index for every other type.
	void					Notify( EFNotifyType_e type, void * data );
	void					ChangeAnimState( u32 mask, EFChangeType_e change, bool recursive );

	// The time step of a running node with a duration.
	void					AdvanceTime( f32 dt );
	// AS_AT_END at a clamped end, then the pending last-frame notification.
	void					EndTest();

	// The animation data block of the resource, null without one; its
	// size in bytes.
	const u8 *				GetAnimData() const;
	u32						GetAnimDataSize() const;

	// The outputs by type (null when the node has none).
	DTAttrib *				GetOutput( DTAttribType type ) const;
	// Hands the collision-primitive records of the output to the 3D
	// object and the owner's body.
	void					SetCollPrimData();
	static void				SetCollPrimData( EFObjCollisionPrim & primitive, const EFAnimCollPrim & record );

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

	static EFNotificationMgr *	mpNotificationMgr;

protected:
	// Copies id, index and resource (one more reference) into copy; copy,
	// or null.
	EFAnimNode *			CopyInto( EFAnimNode * copy ) const;
};

#endif
