// Speed of the notification manager in its steady state: 800 registrations
// spread over the notify types and targets, then per frame 400 deferred
// notifications and one flush that delivers them, as the world update
// does; and a notify-all over a type with many targets.
#include "framework/core/world/EFNotificationMgr.h"

#include <benchmark/benchmark.h>

#include <new>

namespace {

u32 gDelivered = 0;

s32 CountDelivery( void *, void * ) {
	gDelivered++;
	return 0;
}

// 800 registrations: targets 0-399 with two senders each, all of one type.
void RegisterAll( EFNotificationMgr & manager, const EFNotifyType_e type ) {
	for ( u32 target = 0; target < 400; target++ ) {
		for ( u32 sender = 0; sender < 2; sender++ ) {
			manager.RegisterNotify( type, target, sender, CountDelivery, ::operator new( 8 ) );
		}
	}
}

}

static void BM_EFNotificationDeferredFlush( benchmark::State & state ) {
	EFNotificationMgr manager;
	RegisterAll( manager, NO_CLIPCHANGE );
	for ( auto _ : state ) {
		for ( u32 i = 0; i < EF_NOTIFY_MAX_QUEUED; i++ ) {
			// Event data of a type whose sender keeps it: nothing to free.
			manager.Notify( NO_ANIMATION_STOP, i, i & 1, nullptr, true );
		}
		manager.FlushNotification();
	}
	benchmark::DoNotOptimize( gDelivered );
	state.SetItemsProcessed( state.iterations() * EF_NOTIFY_MAX_QUEUED );
}
BENCHMARK( BM_EFNotificationDeferredFlush );

static void BM_EFNotificationDeferredFlushDelivered( benchmark::State & state ) {
	EFNotificationMgr manager;
	RegisterAll( manager, NO_ANIMATION_LAST_FRAME );
	for ( auto _ : state ) {
		for ( u32 i = 0; i < EF_NOTIFY_MAX_QUEUED; i++ ) {
			manager.Notify( NO_ANIMATION_LAST_FRAME, i, i & 1, nullptr, true );
		}
		manager.FlushNotification();
	}
	benchmark::DoNotOptimize( gDelivered );
	state.SetItemsProcessed( state.iterations() * EF_NOTIFY_MAX_QUEUED );
}
BENCHMARK( BM_EFNotificationDeferredFlushDelivered );

static void BM_EFNotificationNotifyAll( benchmark::State & state ) {
	EFNotificationMgr manager;
	RegisterAll( manager, NO_PRELOGIC );
	for ( auto _ : state ) {
		manager.NotifyAll( NO_PRELOGIC, nullptr );
	}
	benchmark::DoNotOptimize( gDelivered );
	state.SetItemsProcessed( state.iterations() * 400 );
}
BENCHMARK( BM_EFNotificationNotifyAll );
