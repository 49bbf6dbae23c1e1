/* SAMPLEOBJ: the sample level's object logic. Its one state counts the
   frames it has run in data all its instances share. */
#include "framework/logic/api/LogicModuleAPI.h"

typedef struct {
	u32 frames;
	u32 instances;
} SharedData;

static SharedData * gShared;

static s32 Idle( void * data ) {
	(void)data;
	if ( gShared != 0 ) {
		gShared->frames++;
	}
	return 0;
}

void SAMPLEOBJConstructor( struct _api_cons * api, s32 count ) {
	if ( api->SetExternalFunction != 0 ) {
		api->SetExternalFunction( 0, Idle );
	}
	if ( api->GetGlobalData != 0 ) {
		api->GetGlobalData( (void **)&gShared, sizeof( SharedData ) );
	}
	if ( gShared != 0 ) {
		gShared->instances = (u32)count;
	}
	if ( api->SetInitialState != 0 ) {
		api->SetInitialState( 0 );
	}
}

void SAMPLEOBJDestructor( s32 count ) {
	if ( gShared != 0 ) {
		gShared->instances = (u32)count;
	}
}
