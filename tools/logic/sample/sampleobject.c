/* SAMPLEOBJ: the sample level's object logic. Its one state moves a
   position all its instances share by the library's speed, through the
   maths and standard-library tables. Through the game-object and
   animation tables the model object plays its first animation and turns
   and moves for a while, and the spawner makes one copy of the latent
   template and kills it some frames later; it also makes a simple-input
   configuration whose A button it counts, steers itself with the
   sticks, the triggers and two buttons of the first controller, makes a
   timer that loads the level again once, after the movie MOVIES\IP, and
   records, stops or replays a demo when a demo command waits in the
   persistent buffer. The box object jumps onto the
   hot spot (a platform) through the physics table and casts a ray down
   when it lands; its plug-in module runs the state function once more in
   each of its physics frames, where it only counts. After its moves the
   model carries the level's camera along the loop spline and takes one
   snapshot; with the camera it starts a projector, a sprite, a second
   emitter and the lens flare's sun, all kept ahead of it, and a trail
   along its joints. The water receives projections. The spawner opens the
   HUD (the level's first text and an image) and makes a particle type
   and an emitter at run time; the copy hangs the emitter on its own 3D
   object, where the emitter stays when the copy is killed. Half-way through its moves the model starts one
   texture fade on itself through the graphics table. The water surface
   and the ground-fog layer give themselves their simulation modules,
   which the model stirs; on a test's request the copy makes a short
   slide show and asks to hear when it is ready. */
#include "framework/logic/api/LogicModuleAPI.h"

#include "tools/logic/sample/sampletuning.h"

/* The level change's flag that plays its movie first. */
#define SAMPLE_TRANSITION_MOVIE 0x2u

static char gTuningName[] = SAMPLE_TUNING_NAME;

static SampleShared * gShared;
static SampleTuning * gTuning;
static struct _api_math * gMath;
static struct _api_stdlib * gStdlib;
static struct _api_gameobj * gGameObj;
static struct _api_anim * gAnim;
static struct _api_simpleinput * gSimpleInput;
static struct _api_input * gInput;
static struct _api_extra * gExtra;
static struct _api_game * gGame;
static struct api_physic * gPhysic;
static struct _api_camera * gCamera;
static struct _api_spline * gSpline;
static struct _api_newSound * gSound;
static struct _api_hud * gHud;
static struct _api_particle * gParticle;
static char gHudTexture[] = SAMPLE_HUD_TEXTURE;
static char gParticleName[] = SAMPLE_PARTICLE_NAME;
static char gParticleTexture[] = SAMPLE_PARTICLE_TEXTURE;
static struct _api_graphics * gGraphics;
static struct _api_projector * gProjector;
static char gProjectorTexture[] = SAMPLE_PROJECTOR_TEXTURE;
static char gSpriteTexture[] = SAMPLE_SPRITE_TEXTURE;
static char gFadeFrom[] = SAMPLE_FADE_FROM;
static char gFadeTo[] = SAMPLE_FADE_TO;
static char gSnapshotName[] = SAMPLE_SNAPSHOT_NAME;
static char gResourceFile[] = SAMPLE_RESOURCE_FILE;
static char gSameLevelPath[] = "";
static char gDemoFile[] = SAMPLE_DEMO_FILE;
static char gNoLevel[] = "";
static char gReloadMovie[] = "\\MOVIES\\IP";
static stleveltransitionparams gReloadTransition;
static char gRayLine[] = "SAMPLEOBJ: the box landed; the ray down hits 0x%08X\n";
static u32 gStirring[] = { SAMPLE_MODEL_ID, SAMPLE_HOT_SPOT_ID };
static f32 gWaterCells[] = { SAMPLE_WATER_CELLS };
static f32 gFogCells[] = { SAMPLE_FOG_CELLS };

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
		gReloadTransition.muiTransitionFlags = SAMPLE_TRANSITION_MOVIE;
		gReloadTransition.mszVideoName = gReloadMovie;
		gGame->LoadLevel( gSameLevelPath, gResourceFile, &gReloadTransition );
	}
	return 0;
}

static s32 OnSlideReady( void * data ) {
	(void)data;
	if ( gShared != 0 ) {
		gShared->slidesReady++;
	}
	return 0;
}

/* A replay ended (the data is 1 when the player stopped it). */
static s32 OnDemoEnd( void * data ) {
	SampleReload * const kept = (SampleReload *)gGameObj->GetGameBuffer( SAMPLE_RELOAD_BUFFER, sizeof( SampleReload ), 1 );
	(void)data;
	if ( kept != 0 ) {
		kept->demoEnds++;
	}
	return 0;
}

/* A demo command left in the persistent buffer: taken before it acts, so
   that the image a recording keeps holds none. The replay goes back to
   the level it started from when it ends. */
static void RunDemoCommand( void ) {
	SampleReload * const kept = (SampleReload *)gGameObj->GetGameBuffer( SAMPLE_RELOAD_BUFFER, sizeof( SampleReload ), 1 );
	u32 command;
	if ( kept == 0 || kept->demoCommand == SAMPLE_DEMO_NONE ) {
		return;
	}
	command = kept->demoCommand;
	kept->demoCommand = SAMPLE_DEMO_NONE;
	if ( command == SAMPLE_DEMO_RECORD ) {
		gExtra->DemoLoopRecord( gDemoFile );
	} else if ( command == SAMPLE_DEMO_STOP ) {
		gExtra->DemoLoopStop();
	} else if ( command == SAMPLE_DEMO_PLAY ) {
		gExtra->DemoLoopRegisterNotify( SAMPLE_SELF_ID, SAMPLE_FN_DEMO_END );
		gExtra->DemoLoopPlay( gDemoFile, gNoLevel, gNoLevel );
	}
}

static void Bind( s32 action, s32 binding, s32 kind, s32 input ) {
	gInput->InputDeviceAdd( SAMPLE_INPUT_CONFIG, action, binding, SAMPLE_PAD_DEVICE, 0, kind, 100, input );
}

/* The spawner's own steering actions on the first controller. */
static void StartSteering( void ) {
	gInput->InputConfigAdd( SAMPLE_INPUT_CONFIG );
	gInput->InputActionAdd( SAMPLE_INPUT_CONFIG, SAMPLE_ACTION_MOVE, 0 );
	gInput->InputActionAdd( SAMPLE_INPUT_CONFIG, SAMPLE_ACTION_TURN, 0 );
	gInput->InputActionAdd( SAMPLE_INPUT_CONFIG, SAMPLE_ACTION_LIFT, 0 );
	gInput->InputActionAdd( SAMPLE_INPUT_CONFIG, SAMPLE_ACTION_RUN, 0 );
	gInput->InputActionAdd( SAMPLE_INPUT_CONFIG, SAMPLE_ACTION_HOLD, 0 );
	Bind( SAMPLE_ACTION_MOVE, 0, SAMPLE_KIND_X, SAMPLE_INPUT_ANALOG | SAMPLE_MAIN_STICK_X );
	Bind( SAMPLE_ACTION_MOVE, 1, SAMPLE_KIND_Y, SAMPLE_INPUT_ANALOG | SAMPLE_MAIN_STICK_Y );
	Bind( SAMPLE_ACTION_TURN, 0, SAMPLE_KIND_X, SAMPLE_INPUT_ANALOG | SAMPLE_C_STICK_X );
	Bind( SAMPLE_ACTION_TURN, 1, SAMPLE_KIND_Y, SAMPLE_INPUT_ANALOG | SAMPLE_C_STICK_Y );
	Bind( SAMPLE_ACTION_LIFT, 0, SAMPLE_KIND_X, SAMPLE_INPUT_ANALOG | SAMPLE_TRIGGER_R );
	Bind( SAMPLE_ACTION_LIFT, 1, SAMPLE_KIND_Y, SAMPLE_INPUT_ANALOG | SAMPLE_TRIGGER_L );
	Bind( SAMPLE_ACTION_RUN, 0, SAMPLE_KIND_DIGITAL, SAMPLE_BUTTON_B );
	Bind( SAMPLE_ACTION_HOLD, 0, SAMPLE_KIND_DIGITAL, SAMPLE_BUTTON_Y );
}

/* Moves and turns by the sticks and the triggers for the frame's step,
   faster while B is down, and only while Y is up. */
static void Steer( void ) {
	DTVector3d step;
	DTVector3d axis;
	const f32 dt = gGame->GetFrameDeltaTime();
	f32 speed = SAMPLE_STEER_SPEED * dt;
	if ( gInput->InputActionIsRelease( SAMPLE_INPUT_CONFIG, SAMPLE_ACTION_HOLD ) == 0 ) {
		return;
	}
	if ( gInput->InputActionIsPush( SAMPLE_INPUT_CONFIG, SAMPLE_ACTION_RUN ) != 0 ) {
		speed *= SAMPLE_STEER_RUN;
	}
	gMath->CVectorSet( &step, gInput->InputActionGetAnalogX( SAMPLE_INPUT_CONFIG, SAMPLE_ACTION_MOVE ) * speed,
					   ( gInput->InputActionGetAnalogX( SAMPLE_INPUT_CONFIG, SAMPLE_ACTION_LIFT ) -
						 gInput->InputActionGetAnalogY( SAMPLE_INPUT_CONFIG, SAMPLE_ACTION_LIFT ) ) * SAMPLE_STEER_SPEED * dt,
					   gInput->InputActionGetAnalogY( SAMPLE_INPUT_CONFIG, SAMPLE_ACTION_MOVE ) * speed );
	gGameObj->Translate( SAMPLE_SELF_ID, &step );
	gMath->CVectorSet( &axis, 0.0f, 1.0f, 0.0f );
	gGameObj->Rotate( SAMPLE_SELF_ID, &axis,
					  gInput->InputActionGetAnalogX( SAMPLE_INPUT_CONFIG, SAMPLE_ACTION_TURN ) * SAMPLE_STEER_TURN * dt );
	gMath->CVectorSet( &axis, 1.0f, 0.0f, 0.0f );
	gGameObj->Rotate( SAMPLE_SELF_ID, &axis,
					  gInput->InputActionGetAnalogY( SAMPLE_INPUT_CONFIG, SAMPLE_ACTION_TURN ) * SAMPLE_STEER_TURN * dt );
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

/* The level's other objects go on with their logic and physics where the
   camera does not see them. */
static void KeepRunningOffScreen( u32 id ) {
	EFClippingParams clip;
	u32 band;
	gGameObj->GetClippingParams( id, &clip );
	for ( band = 0; band < LOGIC_API_CLIP_DISTANCES; band++ ) {
		clip.oDists[band].uiOutFrustClipOps = clip.oDists[band].uiInFrustClipOps;
	}
	gGameObj->SetClippingParams( id, &clip, 1 );
}

/* The projector (and what rides on it) and the lens flare's sun, ahead of
   the model along its view and a little above it. */
static void PlaceAhead( void ) {
	DTVector3d at;
	DTVector3d look;
	DTVector3d ahead;
	gGameObj->GetPosition( SAMPLE_SELF_ID, SAMPLE_OWN_FRAME, &at );
	gGameObj->GetLookAt( SAMPLE_SELF_ID, SAMPLE_OWN_FRAME, &look );
	gMath->CVectorSet( &ahead, at.x + SAMPLE_AHEAD * look.x, at.y + SAMPLE_AHEAD * look.y + SAMPLE_AHEAD_RISE,
					   at.z + SAMPLE_AHEAD * look.z );
	gGameObj->SetTranslation( gShared->projector, &ahead );
	gGraphics->LensFlareSetSunPosition( &ahead );
}

/* The effects the camera shows: the projector looking down with a sprite
   and an emitter on it, the lens flare, and a trail along the model's
   first joints (sampled every update). */
static void StartEffects( void ) {
	DTVector3d axis;
	u32 point;
	gShared->projector = gProjector->CreateProjector();
	gProjector->SetTexture( gShared->projector, gProjectorTexture );
	gMath->CVectorSet( &axis, 1.0f, 0.0f, 0.0f );
	gGameObj->Rotate( gShared->projector, &axis, SAMPLE_PROJECTOR_TURN );
	gShared->spriteGroup = gGraphics->SpriteAddGroup();
	gGraphics->SpriteSetGroupTexture( gShared->spriteGroup, gSpriteTexture );
	gGraphics->SpriteSetGroupBlendMode( gShared->spriteGroup, SAMPLE_SPRITE_BLEND );
	gShared->sprite = gGraphics->SpriteGroupAddSprite( gShared->spriteGroup, gShared->projector, SAMPLE_OWN_FRAME,
													   SAMPLE_SPRITE_SIZE );
	gShared->aheadEmitter = gParticle->EmitterCreate( gShared->particleType );
	gParticle->EmitterSetJoint( gShared->aheadEmitter, gShared->projector, SAMPLE_EMITTER_JOINT );
	gParticle->EmitterStart( gShared->aheadEmitter, SAMPLE_EMITTER_REPEAT );
	gGraphics->LensFlareActivate( 1 );
	PlaceAhead();
	gShared->trail = gGraphics->MTCreateSystem( SAMPLE_TRAIL_POINTS, SAMPLE_TRAIL_SEGMENTS, 0 );
	for ( point = 0; point < SAMPLE_TRAIL_POINTS; point++ ) {
		gGraphics->MTSetJoint( gShared->trail, point, SAMPLE_SELF_ID, point );
		gGraphics->MTSetLifeSpan( gShared->trail, point, SAMPLE_TRAIL_SECONDS );
		gGraphics->MTSetRGB( gShared->trail, point, SAMPLE_TRAIL_RGB );
	}
	gGraphics->MTStart( gShared->trail );
	gGraphics->MTSetFrequency( gShared->trail, 0.0f );
}

/* The model's camera: made with its clear colour and fog on the first
   call, then the model follows the loop spline. The camera goes with the
   model. */
static void StepCamera( void ) {
	const u32 step = gShared->cameraSteps++;
	if ( step == 0 ) {
		CColor clear;
		CColor fog;
		gShared->cameraId = gCamera->Create( SAMPLE_SELF_ID );
		clear.red = SAMPLE_CLEAR_RED;
		clear.green = SAMPLE_CLEAR_GREEN;
		clear.blue = SAMPLE_CLEAR_BLUE;
		clear.alpha = 1.0f;
		gCamera->SetClearColor( gShared->cameraId, &clear );
		fog.red = SAMPLE_FOG_RED;
		fog.green = SAMPLE_FOG_GREEN;
		fog.blue = SAMPLE_FOG_BLUE;
		fog.alpha = 255.0f;
		gCamera->SetFogColor( gShared->cameraId, &fog );
		gCamera->SetFogDistance( gShared->cameraId, SAMPLE_FOG_DISTANCE );
		gCamera->EnableFog( gShared->cameraId, 1 );
		KeepRunningOffScreen( SAMPLE_SPAWNER_ID );
		KeepRunningOffScreen( SAMPLE_BOX_ID );
		KeepRunningOffScreen( SAMPLE_HOT_SPOT_ID );
		gShared->loopSpline = gSpline->GetIndex( SAMPLE_LOOP_SPLINE_ID );
		gSound->SetListener( SAMPLE_SELF_ID );
	}
	if ( gShared->loopSpline >= 0 ) {
		gShared->splineU = (f32)step * SAMPLE_SPLINE_STEP;
		gSpline->GetPosition( (u32)gShared->loopSpline, gShared->splineU, &gShared->splineAt );
		gGameObj->SetTranslation( SAMPLE_SELF_ID, &gShared->splineAt );
	}
	if ( step == 0 ) {
		StartEffects();
	} else {
		PlaceAhead();
	}
	if ( step == SAMPLE_SNAPSHOT_CALL ) {
		gCamera->TakeSnapShot( gShared->cameraId, gSnapshotName );
	}
}

/* The model's fade, on every level of detail, from its own texture to
   another of the level's, which stays when the fade ends. */
static void StartFade( void ) {
	_sTexFaderParams fade;
	u32 level;
	fade.uiFlags = SAMPLE_FADE_FLAGS;
	fade.fTime = SAMPLE_FADE_SECONDS;
	for ( level = 0; level < LOGIC_API_FADER_TEXTURES; level++ ) {
		fade.pSrcTexture[level] = gFadeFrom;
		fade.pDestTexture[level] = gFadeTo;
	}
	fade.fSrcStartRatio = 1.0f;
	fade.fSrcEndRatio = 0.0f;
	fade.fDestStartRatio = 0.0f;
	fade.fDestEndRatio = 1.0f;
	fade.pNotifyData = 0;
	gGraphics->TexFaderPlay( SAMPLE_SELF_ID, &fade );
}

static void StepModel( void ) {
	DTVector3d axis;
	DTVector3d step;
	if ( gShared->modelSteps == 0 ) {
		gAnim->Play( SAMPLE_SELF_ID, SAMPLE_MODEL_FIRST_ANIM, 0, 0.0f );
	}
	if ( gShared->modelSteps == SAMPLE_FADE_STEP ) {
		StartFade();
	}
	if ( gShared->modelSteps >= SAMPLE_MODEL_STEPS ) {
		StepCamera();
		return;
	}
	gShared->modelSteps++;
	gMath->CVectorSet( &axis, 0.0f, 1.0f, 0.0f );
	gMath->CVectorSet( &step, SAMPLE_MODEL_STEP_X, 0.0f, SAMPLE_MODEL_STEP_Z );
	gGameObj->Rotate( SAMPLE_SELF_ID, &axis, SAMPLE_MODEL_TURN );
	gGameObj->Translate( SAMPLE_SELF_ID, &step );
}

/* The level's first text in its font across the top, lines centred, and
   the palettised texture at the right. */
static void OpenHud( void ) {
	const u32 text = gHud->WindowAdd( SAMPLE_HUD_TEXT_TYPE, SAMPLE_HUD_ROOT, SAMPLE_HUD_TEXT_FLAGS, 2 );
	const u32 image = gHud->WindowAdd( SAMPLE_HUD_2D_TYPE, SAMPLE_HUD_ROOT, 0, 1 );
	gHud->WindowSetID( text, SAMPLE_HUD_TEXT_ID );
	gHud->WindowSetPos( text, SAMPLE_HUD_TEXT_X, SAMPLE_HUD_TEXT_Y );
	gHud->WindowSetDims( text, SAMPLE_HUD_TEXT_W, SAMPLE_HUD_TEXT_H );
	gHud->TextWindowSetFont( text, SAMPLE_HUD_FONT );
	gHud->TextWindowSetText( text, SAMPLE_HUD_FIRST_TEXT );
	gHud->WindowSetID( image, SAMPLE_HUD_IMAGE_ID );
	gHud->WindowSetPos( image, SAMPLE_HUD_IMAGE_X, SAMPLE_HUD_IMAGE_Y );
	gHud->WindowSetDims( image, SAMPLE_HUD_IMAGE_SIZE, SAMPLE_HUD_IMAGE_SIZE );
	gHud->Window2DSetTexture( image, gHudTexture );
	gShared->hudText = text;
	gShared->hudImage = image;
}

/* A particle type made at run time and an emitter of it the spawner owns;
   the copy gives the emitter a place and starts it. */
static void MakeParticles( void ) {
	const s32 type = gParticle->TypeCreate();
	gParticle->TypeSetName( type, gParticleName );
	gParticle->TypeSetTexture( type, gParticleTexture );
	gParticle->TypeSetInt( type, SAMPLE_PL_INT_PER_LAUNCH, SAMPLE_PARTICLE_PER_LAUNCH );
	gParticle->TypeSetFloat( type, SAMPLE_PL_REAL_LIFESPAN, SAMPLE_PARTICLE_LIFESPAN );
	gParticle->TypeSetFloat( type, SAMPLE_PL_REAL_PERIOD, SAMPLE_PARTICLE_PERIOD );
	gParticle->TypeSetFloat( type, SAMPLE_PL_REAL_SPEED, SAMPLE_PARTICLE_SPEED );
	gParticle->TypeSetVec( type, SAMPLE_PL_VEC_GRAVITY, 0.0f, SAMPLE_PARTICLE_GRAVITY_Y, 0.0f );
	gShared->particleType = type;
	gShared->emitter = gParticle->EmitterCreate( type );
}

/* A slide show a test asked for, which the copy is to hear of when it is
   ready. */
static void MakeSlideShow( void ) {
	SampleReload * const kept = (SampleReload *)gGameObj->GetGameBuffer( SAMPLE_RELOAD_BUFFER, sizeof( SampleReload ), 1 );
	if ( kept == 0 || kept->slideShow == 0 ) {
		return;
	}
	gExtra->CreateSlideShow( kept->slideShow );
	gExtra->SlideReadyRegisterNotify( SAMPLE_SELF_ID, SAMPLE_FN_SLIDE_READY );
	kept->slideShow = 0;
	gShared->slideShows++;
}

/* The copy rises a little each call. On its first, the spawner's emitter
   starts riding on the copy's own 3D object and launching every period. */
static void StepCopy( void ) {
	DTVector3d rise;
	MakeSlideShow();
	if ( gShared->copySteps++ == 0 ) {
		gShared->emitterAttached = gParticle->EmitterSetJoint( gShared->emitter, SAMPLE_TEMPLATE_MODEL_ID, SAMPLE_EMITTER_JOINT );
		gParticle->EmitterStart( gShared->emitter, SAMPLE_EMITTER_REPEAT );
	}
	gMath->CVectorSet( &rise, 0.0f, SAMPLE_COPY_RISE, 0.0f );
	gGameObj->Translate( SAMPLE_SELF_ID, &rise );
}

static void StepSpawner( void ) {
	if ( gShared->spawnerSteps == 0 ) {
		StartControls();
		StartSteering();
		OpenHud();
		MakeParticles();
		gShared->copyId = gGameObj->LaunchLatant( SAMPLE_TEMPLATE_ID );
	} else if ( gShared->spawnerSteps == SAMPLE_COPY_LIFE && gShared->copyId != 0 ) {
		gGameObj->KillObject( gShared->copyId );
		gShared->copyKilled = 1;
	}
	Steer();
	RunDemoCommand();
	gShared->spawnerSteps++;
}

/* The hot spot carries what lands on it. */
static void StepHotSpot( void ) {
	if ( gShared->hotSpotSteps++ == 0 ) {
		gPhysic->SetFlags( SAMPLE_SELF_ID, SAMPLE_HOT_SPOT_PHYSIC_FLAGS );
	}
}

/* The box: gravity first, the jump later, and once it has landed it stops
   and casts one ray down. */
static void StepBox( void ) {
	DMAccelerationParams gravity;
	DMPluginParams plugin;
	JumpOnCoorParam jump;
	RayIntersectIn ray;
	RayIntersectOut hit;
	DTVector3d velocity;
	DTVector3d at;
	const u32 step = gShared->boxSteps++;
	if ( step == 0 ) {
		gPhysic->SetFlags( SAMPLE_SELF_ID, SAMPLE_BOX_PHYSIC_FLAGS );
		gGameObj->SetContextFlag( SAMPLE_SELF_ID, 1 );
		gShared->boxAcceleration = gPhysic->DMAdd( SAMPLE_SELF_ID, 0 );
		gMath->CVectorSet( &gravity.oAcceleration, 0.0f, SAMPLE_GRAVITY_Y, 0.0f );
		gravity.fMaxSpeed = 100.0f;
		gravity.ui32Flags = 0;
		gPhysic->DMSetParams( gShared->boxAcceleration, &gravity );
		gPhysic->DMSetContextMask( gShared->boxAcceleration, 1 );
		gPhysic->DMSetActive( gShared->boxAcceleration, 1 );
		gShared->boxPlugin = gPhysic->DMAdd( SAMPLE_SELF_ID, SAMPLE_PLUGIN_TYPE );
		plugin.ui32PreIndex = 0;
		plugin.ui32PostIndex = SAMPLE_PLUGIN_NONE;
		gPhysic->DMSetParams( gShared->boxPlugin, &plugin );
		gPhysic->DMSetContextMask( gShared->boxPlugin, 1 );
		return;
	}
	if ( step == SAMPLE_JUMP_STEP ) {
		gGameObj->GetPosition( SAMPLE_HOT_SPOT_ID, SAMPLE_OWN_FRAME, &jump.oTargetCoor );
		jump.oTargetCoor.y += SAMPLE_HOT_SPOT_TOP;
		gMath->CVectorSet( &jump.oTargetSpeed, 0.0f, 0.0f, 0.0f );
		jump.fMaxSpeed = 0.0f;
		jump.uiFlags = SAMPLE_JUMP_FLAGS;
		jump.fRelHeightToReach = 0.0f;
		jump.uiDmAccelerationHandle = gShared->boxAcceleration;
		gPhysic->JumpOnCoor( SAMPLE_SELF_ID, &jump );
		gShared->jumpTarget = jump.oTargetCoor;
		return;
	}
	if ( step < SAMPLE_JUMP_STEP || gShared->boxLanded != 0 ) {
		return;
	}
	/* Landed: it came down and something stopped its fall. */
	gPhysic->GetVelocity( SAMPLE_SELF_ID, &velocity );
	if ( velocity.y < -SAMPLE_FALLING_SPEED ) {
		gShared->boxFalling = 1;
	}
	if ( gShared->boxFalling == 0 || velocity.y < -SAMPLE_RESTING_SPEED ) {
		return;
	}
	gPhysic->SetVelocity( SAMPLE_SELF_ID, 0.0f, 0.0f, 0.0f );
	gGameObj->GetPosition( SAMPLE_SELF_ID, SAMPLE_OWN_FRAME, &at );
	gShared->boxLanded = step;
	gShared->landedAt = at;
	gMath->CVectorSet( &ray.oStartVector, at.x, at.y + SAMPLE_RAY_HEIGHT, at.z );
	gMath->CVectorSet( &ray.oDeplVector, 0.0f, -2.0f * SAMPLE_RAY_HEIGHT, 0.0f );
	ray.ui32ObjDetectType = 1;
	ray.ui32ObjUDDetectType = 0;
	ray.ui32EnvDetectType = 0;
	ray.ui32EnvUDDetectType = 0;
	ray.ui32ExcludeObjID = SAMPLE_SELF_ID;
	gShared->rayResult = (u32)gPhysic->CheckRayIntersection( &ray, &hit );
	gShared->rayPoint = hit.oIntersectionPoint;
	gShared->rayHitId = gShared->rayResult == PS_RAY_OBJ ? hit.oOutEnvObj.oOutObj.ui32ObjID : 0;
	gExtra->printf( gRayLine, gShared->rayHitId );
}

/* A surface's body, moving in context 1, and its simulation module of
   type with the record params; the module's handle. */
static u32 GiveSurfaceModule( u32 type, void * params ) {
	u32 module;
	gPhysic->Create( SAMPLE_SELF_ID, 0 );
	gPhysic->SetFlags( SAMPLE_SELF_ID, SAMPLE_SURFACE_PHYSIC_FLAGS );
	gGameObj->SetContextFlag( SAMPLE_SELF_ID, 1 );
	module = gPhysic->DMAdd( SAMPLE_SELF_ID, type );
	gPhysic->DMSetParams( module, params );
	gPhysic->DMSetContextMask( module, 1 );
	return module;
}

static void StepWater( void ) {
	DMWaterSimulationParams water;
	u32 i;
	if ( gShared->waterSteps++ != 0 ) {
		return;
	}
	gGameObj->SetLogicFlag( SAMPLE_SELF_ID, SAMPLE_WATER_LOGIC_FLAGS );
	water.fDamping = SAMPLE_WATER_DAMPING;
	water.fWaveSpeed = SAMPLE_WATER_WAVE_SPEED;
	water.fInteraction = SAMPLE_WATER_INTERACTION;
	water.fParamA = 1.0f;
	water.fParamB = 1.0f;
	water.fIdleRipple = SAMPLE_WATER_RIPPLE;
	water.ui32Reserved = 0;
	water.fMaxHeight = SAMPLE_WATER_MAX_HEIGHT;
	water.ui32CharacterCount = 2;
	water.pui32CharacterIds = gStirring;
	for ( i = 0; i < 3; i++ ) {
		water.afGridValues[i] = gWaterCells[i];
	}
	water.ui32Flags = SAMPLE_WATER_FLAGS;
	gShared->waterModule = GiveSurfaceModule( SAMPLE_WATER_MODULE, &water );
}

static void StepFog( void ) {
	DMGroundFogSimulationParams fog;
	u32 i;
	if ( gShared->fogSteps++ != 0 ) {
		return;
	}
	fog.afFog[0] = SAMPLE_FOG_NEAR;
	fog.afFog[1] = SAMPLE_FOG_FAR;
	fog.afFog[2] = SAMPLE_FOG_HAZE;
	fog.afFog[3] = SAMPLE_FOG_FADE_SECONDS;
	fog.ui32CharacterCount = 1;
	fog.pui32CharacterIds = gStirring;
	for ( i = 0; i < 3; i++ ) {
		fog.afGridValues[i] = gFogCells[i];
	}
	gShared->fogModule = GiveSurfaceModule( SAMPLE_FOG_MODULE, &fog );
}

static s32 Idle( void * data ) {
	DTVector3d step;
	u32 self;
	if ( gShared == 0 ) {
		return 0;
	}
	self = gGameObj->GetID( SAMPLE_SELF_ID, 0 );
	if ( ( self & SAMPLE_SPAWNED_BIT ) != 0 ) {
		StepCopy();
		return 0;
	}
	if ( data != 0 ) {
		/* The box's plug-in, inside its physics frame, with the step. */
		gShared->pluginCalls++;
		gShared->pluginStep = *(const f32 *)data;
	} else if ( self == SAMPLE_MODEL_ID ) {
		StepModel();
	} else if ( self == SAMPLE_SPAWNER_ID ) {
		StepSpawner();
	} else if ( self == SAMPLE_BOX_ID ) {
		StepBox();
	} else if ( self == SAMPLE_HOT_SPOT_ID ) {
		StepHotSpot();
	} else if ( self == SAMPLE_WATER_ID ) {
		StepWater();
	} else if ( self == SAMPLE_FOG_ID ) {
		StepFog();
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
	gInput = api->GetApiInput();
	gExtra = api->GetApiExtra();
	gGame = api->GetApiGame();
	gPhysic = api->GetApiPhysic();
	gCamera = api->GetApiCamera();
	gSpline = api->GetApiSpline();
	gSound = api->GetApiNewSound();
	gHud = api->GetApiHUD();
	gParticle = api->GetApiParticle();
	gGraphics = api->GetApiGraphics();
	gProjector = api->GetApiProjector();
	gTuning = (SampleTuning *)api->GetApiCustom( gTuningName );
	api->SetExternalFunction( 0, Idle );
	api->SetExternalFunction( SAMPLE_FN_BUTTON_A, OnButtonA );
	api->SetExternalFunction( SAMPLE_FN_TIMER, OnTimer );
	api->SetExternalFunction( SAMPLE_FN_DEMO_END, OnDemoEnd );
	api->SetExternalFunction( SAMPLE_FN_SLIDE_READY, OnSlideReady );
	api->GetGlobalData( (void **)&gShared, sizeof( SampleShared ) );
	if ( gShared != 0 ) {
		gShared->instances = (u32)count;
	}
	api->SetInitialState( 0 );
}

void SAMPLEOBJDestructor( s32 count ) {
	if ( gShared != 0 ) {
		gShared->instances = (u32)count;
		if ( gShared->cameraSteps != 0 && gGameObj->GetID( SAMPLE_SELF_ID, 0 ) == SAMPLE_MODEL_ID ) {
			gCamera->Destroy( gShared->cameraId );
		}
	}
}
