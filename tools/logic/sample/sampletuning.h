/* The block the sample library publishes and the sample object reads,
   the ids the sample object logic acts on, and the data all sample
   objects share. Tests read all three. */
#ifndef SAMPLE_TUNING_H
#define SAMPLE_TUNING_H

#include "framework/logic/api/LogicModuleAPI.h"

#define SAMPLE_TUNING_NAME		"SAMPLE_TUNING"
#define SAMPLE_TUNING_SPEED		4.5f
#define SAMPLE_TUNING_GRAVITY	9.81f
#define SAMPLE_TUNING_LIVES		3

/* The running object, as every table takes it. */
#define SAMPLE_SELF_ID			0x2A000000u
/* The object that spawns the latent template, and the template. */
#define SAMPLE_SPAWNER_ID		0x2A000001u
#define SAMPLE_TEMPLATE_ID		0x2A800012u
/* Bit of an id given to a copy of a template. */
#define SAMPLE_SPAWNED_BIT		0x00800000u
/* The model object: it plays its first animation (its animations start at
   the second entry of its list) and turns and moves on each of its first
   SAMPLE_MODEL_STEPS state calls. */
#define SAMPLE_MODEL_ID			0x2A000011u
#define SAMPLE_MODEL_FIRST_ANIM	1u
#define SAMPLE_MODEL_STEPS		120u
#define SAMPLE_MODEL_TURN		0.05f
#define SAMPLE_MODEL_STEP_X		0.02f
#define SAMPLE_MODEL_STEP_Z		0.01f
/* State calls of the spawner between making the copy and killing it; the
   copy rises SAMPLE_COPY_RISE a call. */
#define SAMPLE_COPY_LIFE		60u
#define SAMPLE_COPY_RISE		0.02f
/* The spawner's controls: a simple-input configuration on the first
   controller whose A button (button 0) runs SAMPLE_FN_BUTTON_A, and a
   timer that loads the level again once, after SAMPLE_RELOAD_SECONDS; a
   persistent game buffer remembers the reload across it. */
#define SAMPLE_FN_BUTTON_A		1
#define SAMPLE_FN_TIMER			2
#define SAMPLE_BUTTON_A			0
#define SAMPLE_RELOAD_SECONDS	10.0f
#define SAMPLE_RELOAD_BUFFER	0x5A4D0001u
#define SAMPLE_RESOURCE_FILE	"SAMPLE.GCR"
/* The spawner also steers itself from the first controller through an
   input configuration of its own: the main stick moves it along x and z,
   the C stick turns it about y and x, the right trigger lifts it and the
   left lowers it, B held makes it go SAMPLE_STEER_RUN times faster, and
   it goes only while Y is up (held, Y stops it). Speeds are per second
   of the frame step. Analog inputs are bound
   with SAMPLE_INPUT_ANALOG; binding kinds 0 x, 1 y, 2 digital. */
#define SAMPLE_INPUT_CONFIG		0x5A490001
#define SAMPLE_ACTION_MOVE		0x101
#define SAMPLE_ACTION_TURN		0x102
#define SAMPLE_ACTION_LIFT		0x103
#define SAMPLE_ACTION_RUN		0x104
#define SAMPLE_ACTION_HOLD		0x105
#define SAMPLE_PAD_DEVICE		16
#define SAMPLE_INPUT_ANALOG		0x8000
#define SAMPLE_KIND_X			0
#define SAMPLE_KIND_Y			1
#define SAMPLE_KIND_DIGITAL		2
#define SAMPLE_MAIN_STICK_X		0
#define SAMPLE_MAIN_STICK_Y		1
#define SAMPLE_C_STICK_X		3
#define SAMPLE_C_STICK_Y		4
#define SAMPLE_TRIGGER_L		10
#define SAMPLE_TRIGGER_R		11
#define SAMPLE_BUTTON_B			2
#define SAMPLE_BUTTON_Y			3
#define SAMPLE_STEER_SPEED		3.0f
#define SAMPLE_STEER_TURN		2.4f
#define SAMPLE_STEER_RUN		2.0f
/* Demo commands: record into SAMPLE_DEMO_FILE, stop, replay it; the
   spawner hears a replay's end through SAMPLE_FN_DEMO_END. */
#define SAMPLE_DEMO_NONE		0u
#define SAMPLE_DEMO_RECORD		1u
#define SAMPLE_DEMO_STOP		2u
#define SAMPLE_DEMO_PLAY		3u
#define SAMPLE_DEMO_FILE		"SAMPLE.DEM"
#define SAMPLE_FN_DEMO_END		3
/* The box object moves and collides and gets an acceleration module
   (gravity, in context 1) on its first state call, jumps at the least
   speed onto the top of the hot spot's box (its origin at its foot) on
   its SAMPLE_JUMP_STEP-th call, and when it has landed there (it came
   down faster than SAMPLE_FALLING_SPEED and its vertical speed is back
   within SAMPLE_RESTING_SPEED of rest) it stops and casts a ray down from
   above itself, excluding itself, that stops on the hot spot. The hot
   spot makes its body a platform on its first state call, so that the
   box standing on it is carried, not pushed off. */
#define SAMPLE_BOX_ID			0x2A000013u
#define SAMPLE_HOT_SPOT_ID		0x2A000010u
/* The joint that names an object's own frame. */
#define SAMPLE_OWN_FRAME		0x7FFFFFFFu
/* Body flags: moves and collides. */
#define SAMPLE_BOX_PHYSIC_FLAGS	0x6u
#define SAMPLE_JUMP_STEP		60u
#define SAMPLE_JUMP_FLAGS		0x4u
#define SAMPLE_GRAVITY_Y		-9.8f
#define SAMPLE_HOT_SPOT_TOP		2.0f
#define SAMPLE_RAY_HEIGHT		3.0f
#define SAMPLE_FALLING_SPEED	1.0f
#define SAMPLE_RESTING_SPEED	0.05f
/* The box's logic plug-in module: the state function (0) before
   collision, nothing after. */
#define SAMPLE_PLUGIN_TYPE		37u
#define SAMPLE_PLUGIN_NONE		0xFFFFFFFFu
/* Body flags of the hot spot: a platform. */
#define SAMPLE_HOT_SPOT_PHYSIC_FLAGS	0x200000u

/* From its SAMPLE_MODEL_STEPS-th call on, the model carries the level's
   camera (made on its first call after the steps, with a clear colour
   and fog, the model also becoming the listener) and follows the sample
   loop spline, SAMPLE_SPLINE_STEP of it per call, from the spline's start;
   SAMPLE_SNAPSHOT_CALL calls after the camera was made, the camera writes
   one snapshot named by SAMPLE_SNAPSHOT_NAME (its first number is 000). */
#define SAMPLE_LOOP_SPLINE_ID	2u
#define SAMPLE_SPLINE_STEP		0.005f
#define SAMPLE_SNAPSHOT_CALL	120u
#define SAMPLE_SNAPSHOT_NAME	"SAMPLE%03d.BMP"
#define SAMPLE_CLEAR_RED		0.25f
#define SAMPLE_CLEAR_GREEN		0.5f
#define SAMPLE_CLEAR_BLUE		0.75f
#define SAMPLE_FOG_RED			128.0f
#define SAMPLE_FOG_GREEN		160.0f
#define SAMPLE_FOG_BLUE			192.0f
#define SAMPLE_FOG_DISTANCE		20.0f
/* On its SAMPLE_FADE_STEP-th move the model starts a fade of its levels
   of detail from its own texture SAMPLE_FADE_FROM to the level's
   SAMPLE_FADE_TO over SAMPLE_FADE_SECONDS; the destination stays when it
   ends (flag 0x2). */
#define SAMPLE_FADE_STEP		60u
#define SAMPLE_FADE_FROM		"LAMP"
#define SAMPLE_FADE_TO			"SPARK"
#define SAMPLE_FADE_SECONDS		1.0f
#define SAMPLE_FADE_FLAGS		0x2u

/* The HUD the spawner opens on its first state call: a text window in
   the level's font (slot SAMPLE_HUD_FONT) showing the level's first text
   across the top of the screen, lines centred, and a 2D window of the
   palettised sample texture at the right; both found again by their user
   ids. Sizes are fractions of the screen. */
#define SAMPLE_HUD_ROOT			0xFFFFFFFFu
#define SAMPLE_HUD_TEXT_TYPE	1u
#define SAMPLE_HUD_2D_TYPE		2u
#define SAMPLE_HUD_TEXT_FLAGS	0x10000u
#define SAMPLE_HUD_TEXT_ID		0x5A480001u
#define SAMPLE_HUD_IMAGE_ID		0x5A480002u
#define SAMPLE_HUD_FONT			0u
#define SAMPLE_HUD_FIRST_TEXT	0u
#define SAMPLE_HUD_TEXTURE		"LAMP"
#define SAMPLE_HUD_TEXT_X		0.0f
#define SAMPLE_HUD_TEXT_Y		0.0625f
#define SAMPLE_HUD_TEXT_W		1.0f
#define SAMPLE_HUD_TEXT_H		0.125f
#define SAMPLE_HUD_IMAGE_X		0.8125f
#define SAMPLE_HUD_IMAGE_Y		0.0625f
#define SAMPLE_HUD_IMAGE_SIZE	0.125f

/* The spawner also makes a particle type at run time (named
   SAMPLE_PARTICLE_NAME, texture SAMPLE_PARTICLE_TEXTURE: a few sparks a
   period, rising and falling back) and an emitter of it, which it owns.
   The spawned copy, on its first state call, hangs the emitter on its
   own 3D object (SAMPLE_TEMPLATE_MODEL_ID) and starts it launching every
   period; when the copy is killed the emitter keeps a frame of its own
   where the copy was, and goes on. The keys are the particle table's. */
#define SAMPLE_TEMPLATE_MODEL_ID	0x0F000002u
#define SAMPLE_PARTICLE_NAME		"sample sparks"
#define SAMPLE_PARTICLE_TEXTURE		"SPARK"
#define SAMPLE_PL_INT_PER_LAUNCH	0x8u
#define SAMPLE_PL_REAL_LIFESPAN		0x2u
#define SAMPLE_PL_REAL_PERIOD		0x4u
#define SAMPLE_PL_REAL_SPEED		0x8u
#define SAMPLE_PL_VEC_GRAVITY		0x1u
#define SAMPLE_PARTICLE_PER_LAUNCH	3
#define SAMPLE_PARTICLE_LIFESPAN	1.0f
#define SAMPLE_PARTICLE_PERIOD		0.2f
#define SAMPLE_PARTICLE_SPEED		2.0f
#define SAMPLE_PARTICLE_GRAVITY_Y	-4.0f
/* EmitterStart's argument that keeps launching every period. */
#define SAMPLE_EMITTER_REPEAT		1u
/* EmitterSetJoint's joint for a 3D object (not looked at). */
#define SAMPLE_EMITTER_JOINT		0u

/* With its camera the model also starts the screen effects the camera
   shows: a projector kept SAMPLE_AHEAD units ahead of the model along its
   view and SAMPLE_AHEAD_RISE above it, turned to look down (a quarter turn
   about x), throws SAMPLE_PROJECTOR_TEXTURE onto the water below within
   its default reach; a sprite group of SAMPLE_SPRITE_TEXTURE (blend mode
   SAMPLE_SPRITE_BLEND, source alpha) has one sprite on the projector; a
   second emitter of the run-time particle type rides on the projector;
   the lens flare's sun is kept there; a motion trail follows the model's
   first SAMPLE_TRAIL_POINTS joints, sampled every update. The model's
   drop-down shadow, which the level gives it, falls on the water too. */
#define SAMPLE_AHEAD				5.0f
#define SAMPLE_AHEAD_RISE			1.0f
#define SAMPLE_PROJECTOR_TEXTURE	"LAMP"
#define SAMPLE_PROJECTOR_TURN		1.5707964f
#define SAMPLE_SPRITE_TEXTURE		"SPARK"
#define SAMPLE_SPRITE_BLEND			3u
#define SAMPLE_SPRITE_SIZE			0.25f
#define SAMPLE_TRAIL_POINTS			2u
#define SAMPLE_TRAIL_SEGMENTS		8u
#define SAMPLE_TRAIL_SECONDS		1.0f
#define SAMPLE_TRAIL_RGB			1.0f, 0.5f, 0.25f

/* The water surface and the ground-fog layer: on its first state call
   each gives itself a body that moves (in context 1) and its simulation
   module, type 12 for the water and 13 for the fog. The model stirs both
   as it goes through them (the water while it makes its moves, the fog,
   which hangs above its loop, while it carries the camera); the hot spot
   standing in the water ripples it a little every pass. The water is
   damped hard: the damping also makes each cell swing back, and with a
   weaker one a single stir swings past the height the simulation clamps
   to. The fog's four values (near and far distance, least haze, fade
   time) reach its grid through the module. The grid values are the cell
   sizes of the grids' three levels of detail. */
#define SAMPLE_WATER_ID				0x2A000014u
/* The water also receives projections (a logic flag). */
#define SAMPLE_WATER_LOGIC_FLAGS	0x200u
#define SAMPLE_FOG_ID				0x2A000015u
#define SAMPLE_SURFACE_PHYSIC_FLAGS	0x2u
#define SAMPLE_WATER_MODULE			12u
#define SAMPLE_FOG_MODULE			13u
#define SAMPLE_WATER_DAMPING		0.8f
#define SAMPLE_WATER_WAVE_SPEED		12.0f
#define SAMPLE_WATER_INTERACTION	0.3f
#define SAMPLE_WATER_RIPPLE			0.02f
#define SAMPLE_WATER_MAX_HEIGHT		0.2f
/* Take the character list. */
#define SAMPLE_WATER_FLAGS			0x2u
#define SAMPLE_WATER_CELLS			0.5f, 1.0f, 2.0f
#define SAMPLE_FOG_NEAR				9.0f
#define SAMPLE_FOG_FAR				3.0f
#define SAMPLE_FOG_HAZE				0.4f
#define SAMPLE_FOG_FADE_SECONDS		2.0f
#define SAMPLE_FOG_CELLS			1.0f, 1.5f, 2.0f

/* A slide show of SampleReload's slideShow slides, made by the spawned
   copy on its next state call when a test asks for one; the copy is the
   object told (SAMPLE_FN_SLIDE_READY) when the show is ready. */
#define SAMPLE_FN_SLIDE_READY	4

typedef struct {
	f32 speed;
	f32 gravity;
	u32 lives;
} SampleTuning;

/* Every state call of a level object moves the position speed units along
   x; distance is its length and laps the number of whole groups of lives
   steps. The model and the spawner keep their own counts; a spawned copy
   counts its calls apart. The box's plug-in calls count as state calls
   and are also counted apart, with the step they were given. The HUD's
   window handles, the run-time particle type and emitter, what hanging
   the emitter on the copy gave, the surfaces' calls and module handles,
   the slide shows made and heard ready, and the handles of the camera's
   effects (projector, sprite group and sprite, the emitter riding on the
   projector, trail) are kept for the tests. */
typedef struct {
	u32 frames;
	u32 instances;
	DTVector3d position;
	f32 distance;
	s32 laps;
	u32 modelSteps;
	u32 spawnerSteps;
	u32 copyId;
	u32 copyKilled;
	u32 copySteps;
	s32 inputConfig;
	s32 buttonAction;
	u32 buttonPresses;
	u32 reloadTimer;
	u32 boxSteps;
	u32 boxAcceleration;
	u32 boxLanded;
	u32 rayResult;
	u32 rayHitId;
	DTVector3d rayPoint;
	DTVector3d jumpTarget;
	DTVector3d landedAt;
	u32 boxFalling;
	u32 hotSpotSteps;
	u32 boxPlugin;
	u32 pluginCalls;
	f32 pluginStep;
	u32 cameraId;
	u32 cameraSteps;
	s32 loopSpline;
	f32 splineU;
	DTVector3d splineAt;
	u32 hudText;
	u32 hudImage;
	s32 particleType;
	s32 emitter;
	s32 emitterAttached;
	u32 waterSteps;
	u32 waterModule;
	u32 fogSteps;
	u32 fogModule;
	u32 slideShows;
	u32 slidesReady;
	u32 projector;
	u32 spriteGroup;
	u32 sprite;
	s32 aheadEmitter;
	u32 trail;
} SampleShared;

/* The persistent game buffer: reloaded is 1 once the level was loaded
   again; demoCommand is a demo command left for the spawner, which takes
   it on its next state call; demoEnds counts the replay ends the spawner
   was told of; slideShow is the slide count of a show the spawned copy is
   to make (0: none), which it takes. */
typedef struct {
	u32 reloaded;
	u32 demoCommand;
	u32 demoEnds;
	u32 slideShow;
} SampleReload;

#endif
