/* Test module FEATURE: reaches static data, float constants, a switch
   table, a lookup table and a large struct copy (a memcpy call) through
   the functions its constructor registers. */
#include "framework/logic/api/LogicModuleAPI.h"

#define BIG_WORDS 4096

typedef struct {
	u32 words[BIG_WORDS];
} Big;

static Big gSource = { { 1, 2, 3, 4, 5, 6, 7, 8 } };
static s32 gCounter = 5;
static s32 gInstances;
static void * gShared;
static const s32 gTable[8] = { 11, 22, 33, 44, 55, 66, 77, 88 };

static s32 Count( void * data ) {
	(void)data;
	gCounter++;
	return gCounter;
}

static s32 Scale( void * data ) {
	f32 * value = (f32 *)data;
	*value = *value * 1.75f + 0.5f;
	return 0;
}

static s32 Classify( void * data ) {
	switch ( *(s32 *)data ) {
		case 0: return 10;
		case 1: return 23;
		case 2: return 37;
		case 3: return 41;
		case 4: return 59;
		case 5: return 61;
		case 6: return 73;
		case 7: return 89;
		default: return -1;
	}
}

static s32 Lookup( void * data ) {
	return gTable[*(u32 *)data & 7];
}

static s32 CopyBig( void * data ) {
	gSource.words[BIG_WORDS - 1] += 1;
	*(Big *)data = gSource;
	return (s32)gSource.words[BIG_WORDS - 1];
}

static s32 Instances( void * data ) {
	(void)data;
	return gInstances;
}

static s32 Message( u32 message, u32 parameter, void * data ) {
	(void)data;
	return (s32)( message + parameter );
}

void FEATUREConstructor( struct _api_cons * api, s32 count ) {
	gInstances = count;
	api->SetExternalFunction( 0, Count );
	api->SetExternalFunction( 1, Scale );
	api->SetExternalFunction( 2, Classify );
	api->SetExternalFunction( 3, Lookup );
	api->SetExternalFunction( 4, CopyBig );
	api->SetExternalFunction( 5, Instances );
	api->SetMessageFunction( Message );
	api->GetGlobalData( &gShared, 64 );
	api->SetInitialState( 0 );
}

void FEATUREDestructor( s32 count ) {
	gInstances = count;
}
