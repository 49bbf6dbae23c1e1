/*
===============================================================================

	One deferred notification of the notification manager: the event, its
	target and sender, the event data, the queue link and the pool's
	free-list link.

	The event data is a raw block that the manager frees with
	::operator delete( void* ) once delivered, unless the type says that
	the sender keeps it.

===============================================================================
*/
#ifndef EF_NOTIFICATION_H
#define EF_NOTIFICATION_H

#include "framework/core/world/EFNotifyType_e.h"

struct EFNotification {
	EFNotifyType_e			eEventType;
	u32						uiOwnerID;
	u32						uiSenderID;
	void *					pEventSpecificData;
	EFNotification *		pNext;
	EFNotification *		mpoNext;
};

#endif
