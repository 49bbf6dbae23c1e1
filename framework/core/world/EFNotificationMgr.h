/*
===============================================================================

	Notification manager: delivers engine events to the code that asked
	for them.

	A callback registers for a notify type, a target id and a sender id;
	each type keeps a map from target id to a chain of registrations,
	newest first. An event is delivered at once or queued and delivered by
	the next FlushNotification, in queue order. Registrations and queued
	events come from two fixed pools (800 and 400 records, grown in chunks
	of 200 and 100), so the steady state allocates nothing; past a pool's
	limit a registration or a queued event is dropped.

	Ownership of the untyped blocks: caller data passed to RegisterNotify
	and event data passed to a deferred Notify belong to the manager from
	that call on, dropped or not. Both must be allocated with
	::operator new( size ); the manager frees them with
	::operator delete( void* ) (caller data when its registration goes,
	event data after delivery unless the type is NO_ANIMATION_STOP or
	NO_ANIMATION_LAST_FRAME, whose senders keep their data). Event data
	of an immediate Notify stays the caller's.

	Callbacks may register, unregister, notify and notify all again from
	inside a delivery. NotifyAll takes the list of targets before the
	first call and looks each one up again before calling it, so targets
	that a callback removes are skipped and targets it adds wait for the
	next walk.

===============================================================================
*/
#ifndef EF_NOTIFICATION_MGR_H
#define EF_NOTIFICATION_MGR_H

#include "datatypes/containers/DTMap.h"
#include "datatypes/containers/DTQuickPool.h"
#include "datatypes/base/DTTypes.h"
#include "framework/core/world/EFNotification.h"
#include "framework/core/world/EFNotificationData.h"
#include "framework/core/world/EFNotifyType_e.h"

// Pool limits and chunk sizes.
constexpr u32 EF_NOTIFY_MAX_REGISTRATIONS		= 800;
constexpr u32 EF_NOTIFY_REGISTRATIONS_PER_CHUNK	= 200;
constexpr u32 EF_NOTIFY_MAX_QUEUED				= 400;
constexpr u32 EF_NOTIFY_QUEUED_PER_CHUNK		= 100;

class EFNotificationMgr {
public:
	typedef DTMap<u32, EFNotificationData *>	TargetMap;

							EFNotificationMgr();
	// Drops every registration and every queued event, then frees the
	// pools' chunks.
							~EFNotificationMgr();

							EFNotificationMgr( const EFNotificationMgr & ) = delete;
	EFNotificationMgr &		operator=( const EFNotificationMgr & ) = delete;

	// Adds a registration, or replaces the callback and caller data of the
	// target's registration with that sender (the old caller data is
	// freed). A new sender goes to the front of the target's chain. Null
	// when the registration pool is exhausted or the type is out of range;
	// the caller data is freed then.
	EFNotificationData *	RegisterNotify( EFNotifyType_e type, u32 target, u32 sender, EFNotifyCallback callback,
											void * callerData );

	// Removes the target's registration with that sender and frees its
	// caller data.
	void					UnregisterNotify( EFNotifyType_e type, u32 target, u32 sender );

	// The caller data of the target's registration with that sender, null
	// when there is none (it stays the manager's).
	const void *			GetCallerData( EFNotifyType_e type, u32 target, u32 sender ) const;

	// Removes every registration of every type whose target is this id.
	void					UnregisterAllOwnerNotify( u32 target );

	// Deferred: queues the event for the next flush (dropped, its data
	// freed, when the queue pool is exhausted). Immediate: calls the first
	// registration of the target whose sender matches; a result of 1 or
	// more unregisters it.
	void					Notify( EFNotifyType_e type, u32 target, u32 sender, void * data, bool deferred );

	// Calls the newest registration of every target of the type, in
	// bucket order; a result of 1 or more unregisters it.
	void					NotifyAll( EFNotifyType_e type, void * data );

	// Delivers the queue as it stands; events queued meanwhile wait for
	// the next flush.
	void					FlushNotification();

	// Drops every registration and makes the whole registration pool free
	// again; the queue is left alone.
	void					ClearAllNotification();

	// Targets registered for a type (0 out of range), and the pools, for
	// the owner's checks.
	u32						GetTargetCount( EFNotifyType_e type ) const;
	const DTQuickPool<EFNotificationData> &	GetRegistrationPool() const { return mNotificationDataPool; }
	const DTQuickPool<EFNotification> &		GetQueuePool() const { return mNotificationPool; }

private:
	TargetMap				moNotify[NO_MAX];
	DTQuickPool<EFNotificationData>	mNotificationDataPool;
	DTQuickPool<EFNotification>		mNotificationPool;
	EFNotification *		mpDelayedNotList;
	EFNotification *		mpLastDelayed;

	// Target ids taken by the NotifyAll walks in progress: each walk owns
	// the slots from its base to its end and a nested walk stacks above
	// it. Walks address their slots by index, so the buffer may grow
	// under an outer walk; it is kept from call to call.
	u32 *					mpuiWalkTargets;
	u32						muiWalkCapacity;
	u32						muiWalkTop;

	static bool				IsValidType( EFNotifyType_e type ) { return static_cast<u32>( type ) < NO_MAX; }
	static bool				SenderKeepsData( EFNotifyType_e type );
	static void				FreeBlock( void * block );

	void					FreeChain( EFNotificationData * head );
	bool					ReserveWalkTargets( u32 count );
};

#endif
