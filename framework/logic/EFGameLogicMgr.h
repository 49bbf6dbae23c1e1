/*
===============================================================================

	Game logic manager (gpoGameLogicMgr): runs every object's logic each
	frame and owns the game memory. Placeholder body: there is no logic to
	run; Initialize succeeds unless a test asked it to fail.

	It keeps the level's latent templates by id. Logic messages are not
	delivered yet: SendLogicMessageTo hands each call to a hook a test may
	install, and returns 0.

===============================================================================
*/
#ifndef EF_GAME_LOGIC_MGR_H
#define EF_GAME_LOGIC_MGR_H

#include "datatypes/DTMap.h"
#include "datatypes/DTTypes.h"
#include "framework/core/EFNotificationMgr.h"
#include "framework/logic/EFGameMemoryMgr.h"
#include "framework/logic/EFLatant.h"
#include "framework/logic/EFLogicCodeMap.h"

class EFLogicCode;
union ObjectRetrieverParams;

// Observer of SendLogicMessageTo calls.
typedef void ( *EFLogicMessageHook )( u32 target, u32 message, u32 parameter, void* data );

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

	// Sends message to the logic of the target object or group.
	s32						SendLogicMessageTo( u32 target, u32 message, u32 parameter, void* data,
												ObjectRetrieverParams* params );

	// Latent templates by id; an entry added under a taken id replaces it
	// and the earlier object and record are left as they are.
	void					AddLatent( u32 id, EFGameObject* object, DTGlo* record );
	DTMap<u32, _EFLatant>&	GetLatentMap() { return moLatentMap; }

	// Test hook of the placeholder: the next Initialize fails.
	u8						mbFailInitialize;
	// Test hook: sees every SendLogicMessageTo call.
	EFLogicMessageHook		mpfnMessageHook;

private:
	DTMap<u32, _EFLatant>	moLatentMap;
	EFNotificationMgr		moNotificationMgr;
	EFGameMemoryMgr			moGameMemoryMgr;
	EFLogicCodeMap			moCodeMap;
};

extern EFGameLogicMgr*	gpoGameLogicMgr;

#endif
