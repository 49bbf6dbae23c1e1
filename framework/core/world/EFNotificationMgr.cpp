#include "framework/core/world/EFNotificationMgr.h"

#include <new>

namespace {

// The walk buffer's smallest size, so that small maps do not make it grow
// one target at a time.
constexpr u32 WALK_TARGETS_MIN = 64;

}

EFNotificationMgr::EFNotificationMgr()
	: mpDelayedNotList( nullptr ), mpLastDelayed( nullptr ), mpuiWalkTargets( nullptr ), muiWalkCapacity( 0 ),
	  muiWalkTop( 0 ) {
	mNotificationDataPool.Init( EF_NOTIFY_MAX_REGISTRATIONS, EF_NOTIFY_REGISTRATIONS_PER_CHUNK );
	mNotificationPool.Init( EF_NOTIFY_MAX_QUEUED, EF_NOTIFY_QUEUED_PER_CHUNK );
}

EFNotificationMgr::~EFNotificationMgr() {
	ClearAllNotification();
	// Queued events were handed to the manager; nobody else can free them.
	for ( EFNotification * entry = mpDelayedNotList; entry != nullptr; entry = entry->pNext ) {
		if ( !SenderKeepsData( entry->eEventType ) ) {
			FreeBlock( entry->pEventSpecificData );
		}
	}
	mpDelayedNotList = nullptr;
	mpLastDelayed = nullptr;
	mNotificationDataPool.Release();
	mNotificationPool.Release();
	delete[] mpuiWalkTargets;
	mpuiWalkTargets = nullptr;
	muiWalkCapacity = 0;
}

bool EFNotificationMgr::SenderKeepsData( const EFNotifyType_e type ) {
	return type == NO_ANIMATION_STOP || type == NO_ANIMATION_LAST_FRAME;
}

void EFNotificationMgr::FreeBlock( void * block ) {
	::operator delete( block );
}

EFNotificationData * EFNotificationMgr::RegisterNotify( const EFNotifyType_e type, const u32 target, const u32 sender,
														const EFNotifyCallback callback, void * callerData ) {
	if ( !IsValidType( type ) ) {
		FreeBlock( callerData );
		return nullptr;
	}
	TargetMap & map = moNotify[type];
	TargetMap::Node * const node = map.Find( target );
	if ( node != nullptr ) {
		for ( EFNotificationData * registration = node->mValue; registration != nullptr;
			  registration = registration->pNext ) {
			if ( registration->uiSenderID == sender ) {
				if ( registration->pCallerData != callerData ) {
					FreeBlock( registration->pCallerData );
				}
				registration->pNotifyCallback = callback;
				registration->pCallerData = callerData;
				return registration;
			}
		}
	}
	EFNotificationData * const registration = mNotificationDataPool.Allocate();
	if ( registration == nullptr ) {
		FreeBlock( callerData );
		return nullptr;
	}
	registration->uiSenderID = sender;
	registration->pNotifyCallback = callback;
	registration->pCallerData = callerData;
	registration->mpoNext = nullptr;
	if ( node != nullptr ) {
		registration->pNext = node->mValue;
		node->mValue = registration;
		return registration;
	}
	registration->pNext = nullptr;
	if ( !map.Set( target, registration ) ) {
		mNotificationDataPool.Free( registration );
		FreeBlock( callerData );
		return nullptr;
	}
	return registration;
}

void EFNotificationMgr::UnregisterNotify( const EFNotifyType_e type, const u32 target, const u32 sender ) {
	if ( !IsValidType( type ) ) {
		return;
	}
	TargetMap & map = moNotify[type];
	TargetMap::Node * const node = map.Find( target );
	if ( node == nullptr ) {
		return;
	}
	EFNotificationData ** link = &node->mValue;
	for ( EFNotificationData * registration = *link; registration != nullptr;
		  link = &registration->pNext, registration = *link ) {
		if ( registration->uiSenderID == sender ) {
			*link = registration->pNext;
			FreeBlock( registration->pCallerData );
			mNotificationDataPool.Free( registration );
			break;
		}
	}
	if ( node->mValue == nullptr ) {
		map.Remove( target );
	}
}

const void * EFNotificationMgr::GetCallerData( const EFNotifyType_e type, const u32 target, const u32 sender ) const {
	if ( !IsValidType( type ) ) {
		return nullptr;
	}
	const TargetMap::Node * const node = moNotify[type].Find( target );
	for ( const EFNotificationData * registration = node != nullptr ? node->mValue : nullptr; registration != nullptr;
		  registration = registration->pNext ) {
		if ( registration->uiSenderID == sender ) {
			return registration->pCallerData;
		}
	}
	return nullptr;
}

void EFNotificationMgr::FreeChain( EFNotificationData * head ) {
	while ( head != nullptr ) {
		EFNotificationData * const next = head->pNext;
		FreeBlock( head->pCallerData );
		mNotificationDataPool.Free( head );
		head = next;
	}
}

void EFNotificationMgr::UnregisterAllOwnerNotify( const u32 target ) {
	for ( TargetMap & map : moNotify ) {
		TargetMap::Node * const node = map.Find( target );
		if ( node == nullptr ) {
			continue;
		}
		EFNotificationData * const head = node->mValue;
		map.Remove( target );
		FreeChain( head );
	}
}

void EFNotificationMgr::Notify( const EFNotifyType_e type, const u32 target, const u32 sender, void * data,
								const bool deferred ) {
	if ( !IsValidType( type ) ) {
		if ( deferred ) {
			FreeBlock( data );
		}
		return;
	}
	if ( deferred ) {
		EFNotification * const entry = mNotificationPool.Allocate();
		if ( entry == nullptr ) {
			if ( !SenderKeepsData( type ) ) {
				FreeBlock( data );
			}
			return;
		}
		entry->eEventType = type;
		entry->uiOwnerID = target;
		entry->uiSenderID = sender;
		entry->pEventSpecificData = data;
		entry->pNext = nullptr;
		entry->mpoNext = nullptr;
		if ( mpLastDelayed != nullptr ) {
			mpLastDelayed->pNext = entry;
		} else {
			mpDelayedNotList = entry;
		}
		mpLastDelayed = entry;
		return;
	}
	const TargetMap::Node * const node = moNotify[type].Find( target );
	if ( node == nullptr ) {
		return;
	}
	for ( const EFNotificationData * registration = node->mValue; registration != nullptr;
		  registration = registration->pNext ) {
		if ( registration->uiSenderID == sender ) {
			// The callback may free the registration; nothing of it is read
			// after the call.
			if ( registration->pNotifyCallback( registration->pCallerData, data ) >= 1 ) {
				UnregisterNotify( type, target, sender );
			}
			return;
		}
	}
}

bool EFNotificationMgr::ReserveWalkTargets( const u32 count ) {
	const u32 needed = muiWalkTop + count;
	if ( needed <= muiWalkCapacity ) {
		return true;
	}
	u32 capacity = muiWalkCapacity > WALK_TARGETS_MIN ? muiWalkCapacity : WALK_TARGETS_MIN;
	while ( capacity < needed ) {
		capacity *= 2;
	}
	u32 * const targets = new ( std::nothrow ) u32[capacity];
	if ( targets == nullptr ) {
		return false;
	}
	for ( u32 i = 0; i < muiWalkTop; i++ ) {
		targets[i] = mpuiWalkTargets[i];
	}
	delete[] mpuiWalkTargets;
	mpuiWalkTargets = targets;
	muiWalkCapacity = capacity;
	return true;
}

void EFNotificationMgr::NotifyAll( const EFNotifyType_e type, void * data ) {
	if ( !IsValidType( type ) ) {
		return;
	}
	TargetMap & map = moNotify[type];
	const u32 count = map.GetCount();
	if ( count == 0 || !ReserveWalkTargets( count ) ) {
		return;
	}
	const u32 base = muiWalkTop;
	u32 taken = 0;
	for ( const TargetMap::Node * node = map.GetFirst(); node != nullptr && taken < count; node = map.GetNext( node ) ) {
		mpuiWalkTargets[base + taken++] = node->mKey;
	}
	muiWalkTop = base + taken;
	for ( u32 i = 0; i < taken; i++ ) {
		const u32 target = mpuiWalkTargets[base + i];
		const TargetMap::Node * const node = map.Find( target );
		if ( node == nullptr || node->mValue == nullptr ) {
			continue;
		}
		const EFNotificationData * const newest = node->mValue;
		const u32 sender = newest->uiSenderID;
		if ( newest->pNotifyCallback( newest->pCallerData, data ) >= 1 ) {
			UnregisterNotify( type, target, sender );
		}
	}
	muiWalkTop = base;
}

void EFNotificationMgr::FlushNotification() {
	EFNotification * entry = mpDelayedNotList;
	mpDelayedNotList = nullptr;
	mpLastDelayed = nullptr;
	while ( entry != nullptr ) {
		EFNotification * const next = entry->pNext;
		Notify( entry->eEventType, entry->uiOwnerID, entry->uiSenderID, entry->pEventSpecificData, false );
		if ( !SenderKeepsData( entry->eEventType ) ) {
			FreeBlock( entry->pEventSpecificData );
		}
		mNotificationPool.Free( entry );
		entry = next;
	}
}

void EFNotificationMgr::ClearAllNotification() {
	for ( TargetMap & map : moNotify ) {
		for ( const TargetMap::Node * node = map.GetFirst(); node != nullptr; node = map.GetNext( node ) ) {
			for ( const EFNotificationData * registration = node->mValue; registration != nullptr;
				  registration = registration->pNext ) {
				FreeBlock( registration->pCallerData );
			}
		}
		map.RemoveAll();
	}
	mNotificationDataPool.ResetAll();
}

u32 EFNotificationMgr::GetTargetCount( const EFNotifyType_e type ) const {
	return IsValidType( type ) ? moNotify[type].GetCount() : 0;
}
