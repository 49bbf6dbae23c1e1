/* SAMPLEOBJ: the sample level's object logic. Its one state moves a
   position all its instances share by the library's speed, through the
   maths and standard-library tables. Through the game-object and
   animation tables the model object plays its first animation and turns
   and moves for a while, and the spawner makes one copy of the latent
   template and kills it some frames later; it also makes a simple-input
   configuration whose A button it counts, and a timer that loads the
   level again once. */
#include "framework/logic/api/LogicModuleAPI.h"

#include "tools/logic/sample/sampletuning.h"

static char gTuningName[] = SAMPLE_TUNING_NAME;

static SampleShared * gShared;
static SampleTuning * gTuning;
static struct _api_math * gMath;
static struct _api_stdlib * gStdlib;
static struct _api_gameobj * gGameObj;
static struct _api_anim * gAnim;
static struct _api_simpleinput * gSimpleInput;
static struct _api_extra * gExtra;
static struct _api_game * gGame;
static char gResourceFile[] = SAMPLE_RESOURCE_FILE;
static char gSameLevelPath[] = "";

static s32 OnButtonA( void * data ) {
	(void)data;
	if ( gShared != 0 ) {
		gShared->buttonPresses++;
	}
	return 0;
}

/* The timer's id comes as the data. */
static s32 OnTimer( void * data ) {
	SampleReload * const reload = (SampleReload *)gGameObj->GetGameBuffer( SAMPLE_RELOAD_BUFFER, sizeof( SampleReload ), 1 );
	gExtra->TimerPause( (u32)(uintptr_t)data, 1 );
	if ( reload != 0 && reload->reloaded == 0 ) {
		reload->reloaded = 1;
		gGame->LoadLevel( gSameLevelPath, gResourceFile, 0 );
	}
	return 0;
}

static void StartControls( void ) {
	const SampleReload * const reload = (const SampleReload *)gGameObj->GetGameBuffer( SAMPLE_RELOAD_BUFFER, sizeof( SampleReload ), 1 );
	gShared->inputConfig = gSimpleInput->ConfigCreate();
	gShared->buttonAction = gSimpleInput->AddButtonDownCallback( SAMPLE_FN_BUTTON_A, SAMPLE_BUTTON_A );
	gSimpleInput->ConfigEnable( (u32)gShared->inputConfig );
	if ( reload != 0 && reload->reloaded == 0 ) {
		gShared->reloadTimer = gExtra->TimerCreate();
		gExtra->TimerSetFrequency( gShared->reloadTimer, SAMPLE_RELOAD_SECONDS );
		gExtra->TimerRegisterNotify( SAMPLE_SELF_ID, gShared->reloadTimer, SAMPLE_FN_TIMER );
	}
}

static void StepModel( void ) {
	DTVector3d axis;
	DTVector3d step;
	if ( gShared->modelSteps == 0 ) {
		gAnim->Play( SAMPLE_SELF_ID, SAMPLE_MODEL_FIRST_ANIM, 0, 0.0f );
	}
	if ( gShared->modelSteps >= SAMPLE_MODEL_STEPS ) {
		return;
	}
	gShared->modelSteps++;
	gMath->CVectorSet( &axis, 0.0f, 1.0f, 0.0f );
	gMath->CVectorSet( &step, SAMPLE_MODEL_STEP_X, 0.0f, SAMPLE_MODEL_STEP_Z );
	gGameObj->Rotate( SAMPLE_SELF_ID, &axis, SAMPLE_MODEL_TURN );
	gGameObj->Translate( SAMPLE_SELF_ID, &step );
}

static void StepSpawner( void ) {
	if ( gShared->spawnerSteps == 0 ) {
		StartControls();
		gShared->copyId = gGameObj->LaunchLatant( SAMPLE_TEMPLATE_ID );
	} else if ( gShared->spawnerSteps == SAMPLE_COPY_LIFE && gShared->copyId != 0 ) {
		gGameObj->KillObject( gShared->copyId );
		gShared->copyKilled = 1;
	}
	gShared->spawnerSteps++;
}

static s32 Idle( void * data ) {
	DTVector3d step;
	u32 self;
	(void)data;
	if ( gShared == 0 ) {
		return 0;
	}
	self = gGameObj->GetID( SAMPLE_SELF_ID, 0 );
	if ( ( self & SAMPLE_SPAWNED_BIT ) != 0 ) {
		gShared->copySteps++;
		return 0;
	}
	if ( self == SAMPLE_MODEL_ID ) {
		StepModel();
	} else if ( self == SAMPLE_SPAWNER_ID ) {
		StepSpawner();
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
	gGameObj = api->GetApiGameObj();
	gAnim = api->GetApiAnim();
	gSimpleInput = api->GetApiSimpleInput();
	gExtra = api->GetApiExtra();
	gGame = api->GetApiGame();
	gTuning = (SampleTuning *)api->GetApiCustom( gTuningName );
	api->SetExternalFunction( 0, Idle );
	api->SetExternalFunction( SAMPLE_FN_BUTTON_A, OnButtonA );
	api->SetExternalFunction( SAMPLE_FN_TIMER, OnTimer );
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
