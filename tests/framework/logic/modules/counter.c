/* Test module COUNTER: each instance counts the frames its state ran in
   its own data, and all instances count them together in the shared
   data, which also holds the number of instances. The message function
   answers the counters. */
#include "framework/logic/api/LogicModuleAPI.h"

#define MESSAGE_OWN_FRAMES		1
#define MESSAGE_SHARED_FRAMES	2
#define MESSAGE_INSTANCES		3
#define MESSAGE_SET_OWN			4

typedef struct {
	u32 frames;
} Own;

typedef struct {
	u32 frames;
	u32 instances;
} Shared;

static Own * gOwn;
static Shared * gShared;

static s32 Count( void * data ) {
	(void)data;
	gOwn->frames++;
	gShared->frames++;
	return 0;
}

static s32 Answer( u32 message, u32 parameter, void * data ) {
	(void)data;
	switch ( message ) {
		case MESSAGE_OWN_FRAMES: return (s32)gOwn->frames;
		case MESSAGE_SHARED_FRAMES: return (s32)gShared->frames;
		case MESSAGE_INSTANCES: return (s32)gShared->instances;
		case MESSAGE_SET_OWN: gOwn->frames = parameter; return 0;
		default: return -1;
	}
}

void COUNTERConstructor( struct _api_cons * api, s32 count ) {
	api->GetGlobalData( (void **)&gShared, sizeof( Shared ) );
	api->GetLocalData( (void **)&gOwn, sizeof( Own ) );
	gShared->instances = (u32)count;
	api->SetExternalFunction( 0, Count );
	api->SetInitialState( 0 );
	api->SetMessageFunction( Answer );
}

void COUNTERDestructor( s32 count ) {
	gShared->instances = (u32)count;
}
