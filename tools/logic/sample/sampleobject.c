/* SAMPLEOBJ: the sample level's object logic. Its one state moves a
   position all its instances share by the library's speed, through the
   maths and standard-library tables. */
#include "framework/logic/api/LogicModuleAPI.h"

#include "tools/logic/sample/sampletuning.h"

static char gTuningName[] = SAMPLE_TUNING_NAME;

static SampleShared * gShared;
static SampleTuning * gTuning;
static struct _api_math * gMath;
static struct _api_stdlib * gStdlib;

static s32 Idle( void * data ) {
	DTVector3d step;
	(void)data;
	if ( gShared == 0 ) {
		return 0;
	}
	gShared->frames++;
	if ( gTuning == 0 ) {
		return 0;
	}
	gMath->CVectorSet( &step, gTuning->speed, 0.0f, 0.0f );
	gMath->CVectorAdd( &gShared->position, &gShared->position, &step );
	gShared->distance = gMath->CVectorLength( &gShared->position );
	gShared->laps = gStdlib->div( (s32)gShared->frames, (s32)gTuning->lives ).quot;
	return 0;
}

void SAMPLEOBJConstructor( struct _api_cons * api, s32 count ) {
	gMath = api->GetApiMath();
	gStdlib = api->GetApiStdlib();
	gTuning = (SampleTuning *)api->GetApiCustom( gTuningName );
	api->SetExternalFunction( 0, Idle );
	api->GetGlobalData( (void **)&gShared, sizeof( SampleShared ) );
	if ( gShared != 0 ) {
		gShared->instances = (u32)count;
	}
	api->SetInitialState( 0 );
}

void SAMPLEOBJDestructor( s32 count ) {
	if ( gShared != 0 ) {
		gShared->instances = (u32)count;
	}
}
