/*
===============================================================================

	Physics manager: the one object (EFPhysicMgr::moPhysicMgr, published
	in gpoPhysicMgr by its constructor) that owns the bodies of every
	positioned instance.

	Bodies live in two lists (the creator picks 0 or 1; 0 for game
	objects), newest first. Deletion is either at once (DestroyPhysic) or
	requested (DeletePhysic: the body is marked and goes at the next
	UpdateDeletedPhysic). Destroying a body clears its owner's mpoPhysic,
	but only while the body still names an owner: an owner that goes away
	first clears the body's owner reference.

	Behaviour modules get a handle from a table of 1024 slots: slot << 16
	| the slot's 16-bit serial, which runs from 1 to 65535 and wraps to 1,
	so 0 is never a handle. A slot is searched from the one after the
	last taken, wrapping to 0; a handle kept after its module died never
	matches again until the serial wraps.

	The frame number counts physics frames; bodies copy it when their
	saved primary position is reset.

	The physics frame, the collision maps and the ray query are not built
	yet: Update does nothing and RayIntersect hits nothing.

===============================================================================
*/
#ifndef EF_PHYSIC_MGR_H
#define EF_PHYSIC_MGR_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/containers/MLIST.h"
#include "framework/physics/EFRayIntersectOut.h"
#include "framework/physics/RayIntersectIn.h"

class EFCollisionMap;
class EFPhysic;
class EFPhysicData;
class EFPhysicModule;

constexpr u32 EF_PHYSIC_LIST_COUNT		= 2;
constexpr u32 EF_MODULE_HANDLE_SLOTS	= 1024;

class EFPhysicMgr {
public:
	struct ModuleSlot {
		u32					mui32Serial;
		EFPhysicModule *	mpoModule;
	};

	// The one manager of the process.
	static EFPhysicMgr		moPhysicMgr;

							EFPhysicMgr();
							~EFPhysicMgr();

							EFPhysicMgr( const EFPhysicMgr & ) = delete;
	EFPhysicMgr &			operator=( const EFPhysicMgr & ) = delete;

	// A new body for the owner at the front of body list 0 or 1; null for
	// another list or without memory.
	EFPhysic *				CreatePhysic( EFPhysicData * owner, u32 list );
	// Marks the body disabled and deleted; it goes at the next
	// UpdateDeletedPhysic. Null is ignored.
	void					DeletePhysic( EFPhysic * body );
	// Unlinks the body, clears its owner's mpoPhysic and deletes it. Null
	// is ignored.
	void					DestroyPhysic( EFPhysic * body );
	// Destroys every body of both lists that is marked deleted.
	void					UpdateDeletedPhysic();
	// Deletes every body of both lists (owners are not touched) and
	// resets the frame bookkeeping except the frame number.
	void					Terminate();

	// The physics frame.
	void					Update( f32 dt );
	// The nearest hit of the ray over maps and bodies.
	RayIntersectResult		RayIntersect( const RayIntersectIn & in, EFRayIntersectOut & out );

	// A handle for the module, 0 when every slot is taken.
	u32						TakeModuleHandle( EFPhysicModule * module );
	// Frees the handle's slot when the handle is still the module's.
	void					ReleaseModuleHandle( u32 handle, const EFPhysicModule * module );
	// The module of a live handle, or null.
	EFPhysicModule *		GetModule( u32 handle ) const;
	u32						GetModuleCount() const { return mui32ModuleCount; }

	// First body of a list (null for none or another list).
	EFPhysic *				GetFirstPhysic( u32 list ) const;
	u32						GetCurrentSaveCount() const { return mui32FrameNumber; }

private:
	ModuleSlot				maModuleSlots[EF_MODULE_HANDLE_SLOTS];
	u32						mui32ModuleCursor;
	u32						mui32ModuleCount;
	EFCollisionMap *		mpoMapList;
	MLIST					maPhysicList[EF_PHYSIC_LIST_COUNT];
	u32						mui32FrameNumber;
	u32						mui32FlaggedFrames;
	u32						mui32PreviousFrameFlag;
	u32						mui32FrameFlag;
	u32						mui32Reserved;
};

extern EFPhysicMgr *	gpoPhysicMgr;

#endif
