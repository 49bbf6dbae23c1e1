#include "framework/logic/api/LogicApiTables.h"

#include "datatypes/waypoint/DTWaypointGrp.h"
#include "datatypes/waypoint/DTWpGrpMgr.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/core/input/EFDemoLoop.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFNotificationMgr.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFSlideShow.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFGameTimer.h"
#include "framework/logic/EFLogicCallbackRecord.h"
#include "framework/logic/EFLogicStack.h"
#include "framework/logic/api/EFApiTrace.h"
#include "framework/logic/api/LogicApiTable.h"

namespace {

bool bDone = false;

// Demo-loop states in which a demo plays, records or counts down to either.
constexpr u32 DEMO_BUSY_FIRST	= 1;
constexpr u32 DEMO_BUSY_LAST	= 4;

EFGameObject * Object( const u32 id ) {
	return gpoWorldMgr != nullptr ? gpoWorldMgr->GetGameObject( id, nullptr ) : nullptr;
}

EFGameTimer * Timer( const u32 id ) {
	return gpoGameLogicMgr != nullptr ? gpoGameLogicMgr->GetTimer( static_cast<s32>( id ) ) : nullptr;
}

EFDemoLoop * Demo() {
	return gpoEngineController != nullptr ? &gpoEngineController->GetDemoLoop() : nullptr;
}

DTWaypointGrp * Waypoints( const u32 group ) {
	return DTWpGrpMgr::moWpGrpMgr.GetWaypointGrp( group );
}

// --- Debugging entries: nothing in this build ---

s32 NullPrintf( char *, ... ) {
	return 0;
}

s32 NullSprintf( char *, char *, ... ) {
	return 0;
}

void DebuggerBreakHook( u32 ) {
	EFApiTrace::mFuncName = "DebuggerBreakHook";
	EFApiTrace::mFuncName = nullptr;
}

void SwitchInfoTopic() {
}

void SwitchInfoPage() {
}

void DebugLine( DTVector3d *, DTVector3d *, CColor * ) {
}

void DebugPoint( DTVector3d *, f32, CColor * ) {
}

void Assert( u32, char * ) {
}

void PrintClippingStats() {
}

// --- Timers ---

void TimerReset( const u32 timer ) {
	EFApiTrace::mFuncName = "TimerReset";
	if ( EFGameTimer * const found = Timer( timer ) ) {
		found->mfElapsed = 0.0f;
	}
	EFApiTrace::mFuncName = nullptr;
}

f32 TimerGetTime( const u32 timer ) {
	EFApiTrace::mFuncName = "TimerGetTime";
	const EFGameTimer * const found = Timer( timer );
	const f32 time = found != nullptr ? found->mfElapsed : 0.0f;
	EFApiTrace::mFuncName = nullptr;
	return time;
}

// The running object owns the timer: its pause and clipping stop it.
u32 TimerCreate() {
	EFApiTrace::mFuncName = "TimerCreate";
	u32 id = 0;
	if ( gpoGameLogicMgr != nullptr ) {
		id = gpoGameLogicMgr->CreateTimer();
		if ( EFGameTimer * const timer = Timer( id ) ) {
			giTimerCount++;
			timer->mpGameObjectOwner = EFLogicStack::GetRunningGameObject();
		}
	}
	EFApiTrace::mFuncName = nullptr;
	return id;
}

void TimerDestroy( const u32 timer ) {
	EFApiTrace::mFuncName = "TimerDestroy";
	if ( Timer( timer ) != nullptr ) {
		giTimerCount--;
		gpoGameLogicMgr->DestroyTimer( static_cast<s32>( timer ) );
	}
	EFApiTrace::mFuncName = nullptr;
}

// The timer notifies its owner: the registration is keyed on the owner
// and names the object whose function runs, which may be another one.
void TimerRegisterNotify( const u32 object, const u32 timer, const u32 function ) {
	EFApiTrace::mFuncName = "TimerRegisterNotify";
	const EFGameTimer * const found = Timer( timer );
	EFGameObject * const registrant = Object( object );
	if ( found != nullptr && found->mpGameObjectOwner != nullptr && registrant != nullptr ) {
		gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( NO_TIMER, found->mpGameObjectOwner->GetUID(), timer,
															  EFGameLogicMgr::ExecLogicCallback,
															  EFNewLogicCallbackRecord( registrant, function ) );
	}
	EFApiTrace::mFuncName = nullptr;
}

// Only the registration this object made is removed: the owner's, or one
// whose record names the object.
void TimerUnregisterNotify( const u32 object, const u32 timer ) {
	EFApiTrace::mFuncName = "TimerUnregisterNotify";
	const EFGameTimer * const found = Timer( timer );
	const EFGameObject * const registrant = Object( object );
	if ( found != nullptr && found->mpGameObjectOwner != nullptr && registrant != nullptr ) {
		EFNotificationMgr & notifications = gpoGameLogicMgr->GetNotificationMgr();
		const u32 owner = found->mpGameObjectOwner->GetUID();
		const EFLogicCallbackRecord * const record =
			static_cast<const EFLogicCallbackRecord *>( notifications.GetCallerData( NO_TIMER, owner, timer ) );
		const bool named = record != nullptr && record->mpoGameObject == registrant &&
						   record->muiObjectId == registrant->GetUID();
		if ( found->mpGameObjectOwner == registrant || named ) {
			notifications.UnregisterNotify( NO_TIMER, owner, timer );
		}
	}
	EFApiTrace::mFuncName = nullptr;
}

void TimerPause( const u32 timer, const u32 pause ) {
	EFApiTrace::mFuncName = "TimerPause";
	if ( EFGameTimer * const found = Timer( timer ) ) {
		found->muiPaused = pause != 0 ? 1 : 0;
	}
	EFApiTrace::mFuncName = nullptr;
}

void TimerSetFrequency( const u32 timer, const f32 seconds ) {
	EFApiTrace::mFuncName = "TimerSetFrequency";
	if ( EFGameTimer * const found = Timer( timer ) ) {
		found->mfPeriod = seconds;
	}
	EFApiTrace::mFuncName = nullptr;
}

f32 TimerGetFrequency( const u32 timer ) {
	EFApiTrace::mFuncName = "TimerGetFrequency";
	const EFGameTimer * const found = Timer( timer );
	const f32 period = found != nullptr ? found->mfPeriod : 0.0f;
	EFApiTrace::mFuncName = nullptr;
	return period;
}

// --- Waypoints: the group refuses an index past its points ---

DTVector3d * WaypointGetPos( const u32 group, const u32 index, DTVector3d * const out ) {
	const DTWaypointGrp * const found = Waypoints( group );
	if ( found != nullptr && out != nullptr ) {
		found->GetPoint( index, *out );
	}
	return out;
}

DTVector3d * WaypointSetPos( const u32 group, const u32 index, DTVector3d * const in ) {
	DTWaypointGrp * const found = Waypoints( group );
	if ( found != nullptr && in != nullptr ) {
		found->SetPoint( index, *in );
	}
	return in;
}

u32 WaypointGetNb( const u32 group ) {
	const DTWaypointGrp * const found = Waypoints( group );
	return found != nullptr ? found->GetPointCount() : 0;
}

// --- Demo loop ---

u32 DemoLoopIsPlaying() {
	EFApiTrace::mFuncName = "DemoLoopIsPlaying";
	const EFDemoLoop * const demo = Demo();
	const u32 state = demo != nullptr ? demo->GetState() : 0;
	EFApiTrace::mFuncName = nullptr;
	return state >= DEMO_BUSY_FIRST && state <= DEMO_BUSY_LAST ? 1 : 0;
}

// The demo loop keeps the object by id (the running object's own id).
void DemoLoopRegisterNotify( const u32 object, const u32 function ) {
	EFApiTrace::mFuncName = "DemoLoopRegisterNotify";
	if ( EFDemoLoop * const demo = Demo() ) {
		demo->InitializeCallback( object, function );
	}
	EFApiTrace::mFuncName = nullptr;
}

void DemoLoopPlay( char * path, char * level, char * abortLevel ) {
	EFApiTrace::mFuncName = "DemoLoopPlay";
	if ( EFDemoLoop * const demo = Demo() ) {
		demo->SetAbortLevel( abortLevel );
		demo->Play( path, level );
	}
	EFApiTrace::mFuncName = nullptr;
}

void DemoLoopRecord( char * path ) {
	EFApiTrace::mFuncName = "DemoLoopRecord";
	if ( EFDemoLoop * const demo = Demo() ) {
		demo->Record( path );
	}
	EFApiTrace::mFuncName = nullptr;
}

void DemoLoopStop() {
	EFApiTrace::mFuncName = "DemoLoopIsPlaying";
	if ( EFDemoLoop * const demo = Demo() ) {
		demo->Stop();
	}
	EFApiTrace::mFuncName = nullptr;
}

// --- Slide show ---

void CreateSlideShow( const u32 id ) {
	EFSlideShow::Create( id );
}

void SlideNext() {
	if ( EFSlideShow::poSlideShow != nullptr ) {
		EFSlideShow::Next();
	}
}

void SlidePrev() {
	if ( EFSlideShow::poSlideShow != nullptr ) {
		EFSlideShow::Prev();
	}
}

void SlideReadyRegisterNotify( const u32 object, const u32 function ) {
	EFApiTrace::mFuncName = "SlideReadyRegisterNotify";
	EFGameObject * const found = Object( object );
	if ( found != nullptr && gpoGameLogicMgr != nullptr ) {
		EFSlideShow::SetGameObj( found );
		gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( NO_SLIDE, found->GetUID(), found->GetUID(),
															  EFGameLogicMgr::ExecLogicCallback,
															  EFNewLogicCallbackRecord( found, function ) );
	}
	EFApiTrace::mFuncName = nullptr;
}

}

void ApiExtraNotInit() {
	bDone = true;
}

bool ApiExtraNotInitDone() {
	return bDone;
}

constexpr _api_extra APIextraStubs = MakeLogicApiStubs<_api_extra, ApiExtraNotInit>();
constinit _api_extra APIextra = MakeLogicApiStubs<_api_extra, ApiExtraNotInit>();

void Init_extra() {
	InitAPI( &APIextra, LOGIC_API_EXTRA_SLOTS, &APIextraStubs );
	giTimerCount = 0;
	APIextra.printf = NullPrintf;
	APIextra.sprintf = NullSprintf;
	APIextra.TimerReset = TimerReset;
	APIextra.TimerGetTime = TimerGetTime;
	APIextra.TimerCreate = TimerCreate;
	APIextra.TimerDestroy = TimerDestroy;
	APIextra.TimerRegisterNotify = TimerRegisterNotify;
	APIextra.TimerUnregisterNotify = TimerUnregisterNotify;
	APIextra.TimerPause = TimerPause;
	APIextra.TimerSetFrequency = TimerSetFrequency;
	APIextra.TimerGetFrequency = TimerGetFrequency;
	APIextra.WaypointGetPos = WaypointGetPos;
	APIextra.WaypointSetPos = WaypointSetPos;
	APIextra.WaypointGetNb = WaypointGetNb;
	APIextra.DebuggerBreakHook = DebuggerBreakHook;
	APIextra.SwitchInfoTopic = SwitchInfoTopic;
	APIextra.SwitchInfoPage = SwitchInfoPage;
	APIextra.DemoLoopIsPlaying = DemoLoopIsPlaying;
	APIextra.DemoLoopRegisterNotify = DemoLoopRegisterNotify;
	APIextra.DemoLoopPlay = DemoLoopPlay;
	APIextra.DemoLoopRecord = DemoLoopRecord;
	APIextra.DemoLoopStop = DemoLoopStop;
	APIextra.CreateSlideShow = CreateSlideShow;
	APIextra.SlideNext = SlideNext;
	APIextra.SlidePrev = SlidePrev;
	APIextra.SlideReadyRegisterNotify = SlideReadyRegisterNotify;
	APIextra.DebugLine = DebugLine;
	APIextra.DebugPoint = DebugPoint;
	APIextra.Assert = Assert;
	APIextra.PrintClippingStats = PrintClippingStats;
}
