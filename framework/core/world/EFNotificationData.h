/*
===============================================================================

	One registration of the notification manager: the sender it listens
	to, the callback with its caller data, the next registration for the
	same type and target, and the pool's free-list link.

	The caller data belongs to the manager once registered; it is a raw
	block that the manager frees with ::operator delete( void* ).

===============================================================================
*/
#ifndef EF_NOTIFICATION_DATA_H
#define EF_NOTIFICATION_DATA_H

#include "datatypes/base/DTTypes.h"

// (caller data, event data) -> a result of 1 or more unregisters the
// callback.
typedef s32 ( *EFNotifyCallback )( void * callerData, void * eventData );

struct EFNotificationData {
	u32						uiSenderID;
	EFNotifyCallback		pNotifyCallback;
	void *					pCallerData;
	EFNotificationData *	pNext;
	EFNotificationData *	mpoNext;
};

#endif
