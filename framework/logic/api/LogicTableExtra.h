/*
===============================================================================

	Layout of the table `_api_extra` that a module gets from the root table:
	game timers, waypoints, the demo loop, slide shows and debugging
	entries.

	Slot order is the interface with the engine; every slot is one
	function pointer wide. Slots the engine does not fill hold a stub that
	returns zero.

===============================================================================
*/
#ifndef LOGIC_TABLE_EXTRA_H
#define LOGIC_TABLE_EXTRA_H

#include "framework/logic/api/LogicApiRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LOGIC_API_EXTRA_SLOTS		46
#define LOGIC_API_EXTRA_PAD_SLOTS	16

struct _api_extra {
	s32								( *printf )( char * format, ... );
	s32								( *sprintf )( char * buffer, char * format, ... );
	void							( *TimerReset )( u32 timer );
	f32								( *TimerGetTime )( u32 timer );
	u32								( *TimerCreate )( void );
	void							( *TimerDestroy )( u32 timer );
	void							( *TimerRegisterNotify )( u32 object, u32 timer, u32 function );
	void							( *TimerUnregisterNotify )( u32 object, u32 timer );
	void							( *TimerPause )( u32 timer, u32 pause );
	void							( *TimerSetFrequency )( u32 timer, f32 seconds );
	f32								( *TimerGetFrequency )( u32 timer );
	DTVector3d *					( *WaypointGetPos )( u32 group, u32 index, DTVector3d * out );
	DTVector3d *					( *WaypointSetPos )( u32 group, u32 index, DTVector3d * in );
	u32								( *WaypointGetNb )( u32 group );
	void							( *DebuggerBreakHook )( u32 );
	void							( *SwitchInfoTopic )( void );
	void							( *SwitchInfoPage )( void );
	u32								( *DemoLoopIsPlaying )( void );
	void							( *DemoLoopRegisterNotify )( u32 object, u32 function );
	void							( *DemoLoopPlay )( char * path, char * level, char * abortLevel );
	void							( *DemoLoopRecord )( char * path );
	void							( *DemoLoopStop )( void );
	void							( *CreateSlideShow )( u32 id );
	void							( *SlideNext )( void );
	void							( *SlidePrev )( void );
	void							( *SlideReadyRegisterNotify )( u32 object, u32 function );
	void							( *DebugLine )( DTVector3d *, DTVector3d *, CColor * );
	void							( *DebugPoint )( DTVector3d *, f32, CColor * );
	void							( *Assert )( u32, char * );
	void							( *PrintClippingStats )( void );
	void							( *Pad[LOGIC_API_EXTRA_PAD_SLOTS] )( void );
};

LOGIC_API_SLOT( _api_extra, printf, 0 );
LOGIC_API_SLOT( _api_extra, sprintf, 1 );
LOGIC_API_SLOT( _api_extra, TimerReset, 2 );
LOGIC_API_SLOT( _api_extra, TimerGetTime, 3 );
LOGIC_API_SLOT( _api_extra, TimerCreate, 4 );
LOGIC_API_SLOT( _api_extra, TimerDestroy, 5 );
LOGIC_API_SLOT( _api_extra, TimerRegisterNotify, 6 );
LOGIC_API_SLOT( _api_extra, TimerUnregisterNotify, 7 );
LOGIC_API_SLOT( _api_extra, TimerPause, 8 );
LOGIC_API_SLOT( _api_extra, TimerSetFrequency, 9 );
LOGIC_API_SLOT( _api_extra, TimerGetFrequency, 10 );
LOGIC_API_SLOT( _api_extra, WaypointGetPos, 11 );
LOGIC_API_SLOT( _api_extra, WaypointSetPos, 12 );
LOGIC_API_SLOT( _api_extra, WaypointGetNb, 13 );
LOGIC_API_SLOT( _api_extra, DebuggerBreakHook, 14 );
LOGIC_API_SLOT( _api_extra, SwitchInfoTopic, 15 );
LOGIC_API_SLOT( _api_extra, SwitchInfoPage, 16 );
LOGIC_API_SLOT( _api_extra, DemoLoopIsPlaying, 17 );
LOGIC_API_SLOT( _api_extra, DemoLoopRegisterNotify, 18 );
LOGIC_API_SLOT( _api_extra, DemoLoopPlay, 19 );
LOGIC_API_SLOT( _api_extra, DemoLoopRecord, 20 );
LOGIC_API_SLOT( _api_extra, DemoLoopStop, 21 );
LOGIC_API_SLOT( _api_extra, CreateSlideShow, 22 );
LOGIC_API_SLOT( _api_extra, SlideNext, 23 );
LOGIC_API_SLOT( _api_extra, SlidePrev, 24 );
LOGIC_API_SLOT( _api_extra, SlideReadyRegisterNotify, 25 );
LOGIC_API_SLOT( _api_extra, DebugLine, 26 );
LOGIC_API_SLOT( _api_extra, DebugPoint, 27 );
LOGIC_API_SLOT( _api_extra, Assert, 28 );
LOGIC_API_SLOT( _api_extra, PrintClippingStats, 29 );
LOGIC_API_SLOT( _api_extra, Pad, 30 );
LOGIC_API_TABLE_SIZE( _api_extra, LOGIC_API_EXTRA_SLOTS );

#ifdef __cplusplus
}
#endif

#endif
