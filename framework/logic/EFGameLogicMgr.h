/*
===============================================================================

	Game logic manager (gpoGameLogicMgr): the logic step of the frame and
	the owner of the level's logic: its modules, its latent templates,
	its game timers, the game memory and the notification manager that
	carries engine events to logic.

	Update, once per frame: the pre-logic notification; the timers in map
	order; every object's logic (the world's logic list, or all objects,
	those with logic flag 0x4000 first, on the first frame after
	construction or Terminate and whenever the list is empty); the
	post-logic notification. Logic may re-enter the manager from any of
	these: send messages, spawn objects, make and destroy timers.

	A withdrawn object reached by the logic step is handed to the world's
	deletion list (unless it has a body) and ends in the same frame's
	world update, never inside the logic walk. A timer whose owner is
	deleted loses its owner: it keeps counting and notifies nobody.

	Ids handed out: spawned objects from 0x2A800000, timers from
	0x90000000; neither is reset between levels, but for a demo's restart.
	Timer 0x90000000, made by the constructor without an owner, lives as
	long as the manager.

===============================================================================
*/
#ifndef EF_GAME_LOGIC_MGR_H
#define EF_GAME_LOGIC_MGR_H

#include "datatypes/containers/DTMap.h"
#include "datatypes/base/DTTypes.h"
#include "datatypes/containers/DTVector.h"
#include "framework/core/world/EFNotificationMgr.h"
#include "framework/logic/EFGameMemoryMgr.h"
#include "framework/logic/EFLatant.h"
#include "framework/logic/EFLogicCodeMap.h"

class EFGameObject;
class EFGameTimer;
class EFLogicCode;
union ObjectRetrieverParams;

// First spawned object id and first timer id.
constexpr u32 EF_FIRST_SPAWN_ID		= 0x2A800000;
constexpr u32 EF_FIRST_TIMER_ID		= 0x90000000;

// Observer of SendLogicMessageTo calls, for debugging.
typedef void ( *EFLogicMessageHook )( u32 target, u32 message, u32 parameter, void * data );

class EFGameLogicMgr {
public:
	// Makes timer 0x90000000, publishes gpoGameLogicMgr and fills the
	// API tables.
							EFGameLogicMgr();
	// Clears gpoGameLogicMgr and deletes every timer.
	virtual					~EFGameLogicMgr();

							EFGameLogicMgr( const EFGameLogicMgr & ) = delete;
	EFGameLogicMgr &		operator=( const EFGameLogicMgr & ) = delete;

	// 1.
	u32						Initialize();
	// The logic step, dt in seconds.
	void					Update( f32 dt );
	// End of a level: templates, timers but the first, modules and
	// non-persistent game buffers go; the next Update runs every object.
	void					Terminate();

	// Runs one object's logic, or hands a withdrawn one to deletion; 0.
	s32						UpdateLogic( EFGameObject * object, void * unused );
	// Puts a withdrawn object without a body on the world's deletion list.
	void					DestroyObject( EFGameObject * object );

	// The message function's result for one target (0 when there is
	// none); for a group query id (top byte 0xFF) the number of objects
	// messaged. Null params make a group query walk from its start.
	s32						SendLogicMessageTo( u32 target, u32 message, u32 parameter, void * data,
												ObjectRetrieverParams * params );
	// The callback of an EFLogicCallbackRecord: its object's function run
	// with data; 0 without a record; 1, running nothing, when the object of
	// the record's id is not the recorded one (gone or replaced).
	static s32				ExecLogicCallback( void * record, void * data );
	// Runs the object's logic constructor now.
	void					LaunchLogicNow( EFGameObject * object );
	// A copy of the template, initialised, in the world and constructed;
	// its id, or 0 without such a template (or world, or memory).
	u32						LaunchLatant( u32 latentId );

	// The level's modules by code id; a module added under a taken id
	// replaces the entry.
	void					AddLogicCode( EFLogicCode * code ) { moCodeMap.Add( code ); }
	EFLogicCode *			GetLogicCode( u32 id ) const { return moCodeMap.Get( id ); }
	EFLogicCodeMap &		GetCodeMap() { return moCodeMap; }

	// Latent templates by id. An entry added under a taken id takes it; the
	// template and record it replaced are kept until Terminate deletes
	// them with the rest. False, changing nothing, without memory.
	bool					AddLatent( u32 id, EFGameObject * object, DTGlo * record );
	DTMap<u32, _EFLatant> &	GetLatentMap() { return moLatentMap; }

	// A new running timer with period and elapsed 0; its id, 0 without
	// memory.
	u32						CreateTimer();
	// Nothing for an unknown id.
	void					DestroyTimer( s32 id );
	// Null for an unknown id.
	EFGameTimer *			GetTimer( s32 id ) const;
	u32						GetTimerCount() const { return moTimerMap.GetCount(); }
	// Spawned objects and timers get their ids from the start again, as
	// from a new manager. Only between levels, when no spawned object and
	// no timer but the first is left: a demo's restart does it, so that
	// its recording and its replay hand logic the same ids.
	void					RestartIds();
	// Every timer owned by owner loses its owner; the game object's
	// destructor calls it.
	void					ForgetTimerOwner( const EFGameObject * owner );

	EFGameMemoryMgr &		GetGameMemoryMgr() { return moGameMemoryMgr; }
	EFNotificationMgr &		GetNotificationMgr() { return moNotificationMgr; }
	// The step of the current Update.
	f32						GetDeltaTime() const { return mfDeltaTime; }

	// Sees every SendLogicMessageTo call first.
	EFLogicMessageHook		mpfnMessageHook;

private:
	typedef DTMap<u32, EFGameTimer *>	TimerMap;

	void					UpdateTimers( f32 dt );
	void					UpdateObjects();
	// Every object of the world once: with the flag (first) or without.
	void					UpdateAllObjects( bool logicFirst );
	// Writes the owner into the logic stack and sends it the message.
	static s32				DeliverMessage( EFGameObject * object, u32 message, u32 parameter, void * data );
	void					DeleteAllTimers( bool keepFirst );

	DTMap<u32, _EFLatant>	moLatentMap;
	EFNotificationMgr		moNotificationMgr;
	EFGameMemoryMgr			moGameMemoryMgr;
	EFLogicCodeMap			moCodeMap;
	TimerMap				moTimerMap;
	f32						mfDeltaTime;
	u32						muiNextSpawnID;
	u32						muiNextTimerID;
	u32						muiFirstPass;
	// Timer ids of the walk in progress, so that logic may make or
	// destroy timers while they fire.
	DTVector<u32>			moTimerWalk;
	// Templates and records a later template of their id replaced in the
	// map: a record the load walks afterwards may still list the template,
	// so they wait for Terminate.
	DTVector<_EFLatant>		moReplacedLatents;
};

extern EFGameLogicMgr *	gpoGameLogicMgr;
// Timers created through the API; Terminate resets it.
extern s32				giTimerCount;

#endif
