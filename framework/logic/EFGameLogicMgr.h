/*
===============================================================================

	Game logic manager (gpoGameLogicMgr): runs every object's logic each
	frame and owns the game memory. Placeholder body: there is no logic to
	run; Initialize succeeds unless a test asked it to fail.

===============================================================================
*/
#ifndef EF_GAME_LOGIC_MGR_H
#define EF_GAME_LOGIC_MGR_H

#include "datatypes/DTTypes.h"
#include "framework/core/EFNotificationMgr.h"
#include "framework/logic/EFGameMemoryMgr.h"
#include "framework/logic/EFLogicCodeMap.h"

class EFLogicCode;

class EFGameLogicMgr {
public:
							EFGameLogicMgr();
							~EFGameLogicMgr();

	u32						Initialize();
	void					Update( f32 dt );
	void					Terminate();

	EFGameMemoryMgr&		GetGameMemoryMgr() { return moGameMemoryMgr; }
	// Engine events to logic.
	EFNotificationMgr&		GetNotificationMgr() { return moNotificationMgr; }

	// The level's logic modules by code id. A module added under a taken
	// id replaces the entry; Terminate deletes every module.
	void					AddLogicCode( EFLogicCode* code ) { moCodeMap.Add( code ); }
	EFLogicCode*			GetLogicCode( u32 id ) const { return moCodeMap.Get( id ); }
	EFLogicCodeMap&			GetCodeMap() { return moCodeMap; }

	// Test hook of the placeholder: the next Initialize fails.
	u8						mbFailInitialize;

private:
	EFNotificationMgr		moNotificationMgr;
	EFGameMemoryMgr			moGameMemoryMgr;
	EFLogicCodeMap			moCodeMap;
};

extern EFGameLogicMgr*	gpoGameLogicMgr;

#endif
