/*
	The sample disc's library and object logic, booted in-process with the
	engine executable's allocator routing, run frames of the engine: the
	library's block is registered and the object logic moves a shared
	position by its speed every frame, spawns a copy of the latent
	template and kills it, turns and moves the model object and plays its
	first animation; the box jumps onto the hot spot and its ray down hits
	it, and its logic plug-in counts a state call more per physics frame;
	a wave module carries the hot spot to and fro.
*/
#include "framework/core/engine/EFSampleDiscTestBench.h"

#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTTransfo.h"
#include "framework/behaviour/EFDMInterface.h"
#include "framework/behaviour/EFDMWave.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/EFSlideShow.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/core/level/EFRessourcesMgr.h"
#include "framework/logic/EFGameMemoryMgr.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"
#include "framework/logic/EFCustomLibBank.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicCode.h"
#include "framework/logic/api/LogicApiTables.h"
#include "platform/pad/PADHost.h"
#include "tools/lib/ToolSampleDisc.h"
#include "tools/lib/level/ToolSampleObjects.h"
#include "tools/lib/logic/ToolSampleLogic.h"
#include "tools/logic/sample/sampletuning.h"

#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const SampleShared* SharedBlock() {
	const EFLogicCode* const code = gpoGameLogicMgr->GetLogicCode( TOOL_SAMPLE_OBJECT_CODE_ID );
	if ( code == nullptr || code->GetGlobalDataSize() < sizeof( SampleShared ) ) {
		return nullptr;
	}
	return static_cast<const SampleShared*>( code->GetGlobalData() );
}

static_assert( SAMPLE_MODEL_ID == TOOL_SAMPLE_MODEL_OBJECT_ID );
static_assert( SAMPLE_SPAWNER_ID == TOOL_SAMPLE_GAME_OBJECT_ID );
static_assert( SAMPLE_TEMPLATE_ID == TOOL_SAMPLE_TEMPLATE_ID );
static_assert( SAMPLE_BOX_ID == TOOL_SAMPLE_BOX_OBJECT_ID );
static_assert( SAMPLE_HOT_SPOT_ID == TOOL_SAMPLE_HOT_SPOT_OBJECT_ID );
static_assert( SAMPLE_WATER_ID == TOOL_SAMPLE_WATER.objectId );
static_assert( SAMPLE_FOG_ID == TOOL_SAMPLE_FOG.objectId );

// The hot spot, the model, the box, the water, the fog and the sample
// game object.
constexpr u32 LEVEL_OBJECTS = 6;

// Physics frames in which the box's plug-in runs in a run of frames: it
// is added by the box's first state call.
constexpr u32 PLUGIN_FRAMES( const u32 frames ) {
	return frames - 1;
}

// The hot spot's module state notifications: the state and the bits that
// changed.
std::vector<DMStateChangeRecord> gWaveMarks;

s32 RecordWaveMark( void*, void* data ) {
	gWaveMarks.push_back( *static_cast<const DMStateChangeRecord*>( data ) );
	return 0;
}

// The wave on the hot spot: where it started, and the module's time and
// the hot spot's x at the start of each frame after.
struct WaveSample {
	f32	time;
	f32	x;
};
struct WaveRun {
	u32						frames;
	u32						handle;
	RwV3d					a;
	std::vector<WaveSample>	samples;
};
WaveRun gWave;

// At the start of the level's fourth frame the hot spot becomes a moving
// platform in context 1 with a wave of one second, 1.5 units along x.
s32 StepWave( void*, void* ) {
	EFGameObject* const spot = gpoWorldMgr->FindGameObject( TOOL_SAMPLE_HOT_SPOT_OBJECT_ID );
	if ( spot == nullptr || spot->mpoPhysic == nullptr || ++gWave.frames < 4 ) {
		return 0;
	}
	const RwV3d at = spot->GetFrame()->moFrame.modelling.pos;
	if ( gWave.handle != 0 ) {
		const EFDMWave* const wave = static_cast<const EFDMWave*>( EFPhysicMgr::moPhysicMgr.GetModule( gWave.handle ) );
		gWave.samples.push_back( { wave->mfTime, at.x } );
		return 0;
	}
	spot->mpoPhysic->mui32PhysicFlags |= EF_PHYSIC_DYNAMIC;
	spot->mpoPhysic->NormalizeFlags();
	spot->mpoPhysic->mui32CurrentContext = 1;
	gWave.a = at;
	gWave.handle = DMAdd( TOOL_SAMPLE_HOT_SPOT_OBJECT_ID, EF_DM_WAVE );
	DMSetContextMask( gWave.handle, 1 );
	DMSetStateChangeNotifyBits( gWave.handle, EF_DM_WAVE_LEAVES_A | EF_DM_WAVE_REACHES_B );
	DMWaveParams params = { { at.x, at.y, at.z }, { at.x + 1.5f, at.y, at.z }, 0.0f, 0.0f, 1.0f, EF_DM_WAVE_PERIOD_MODE };
	DMSetParams( gWave.handle, &params );
	gWave.samples.push_back( { 0.0f, at.x } );
	return 0;
}

class LogicApiSampleDiscTest : public EFSampleDiscTestBench {
protected:
	// Writes the sample disc and starts the framework on it; the graphics
	// manager brings the 3D library up with its plug-ins.
	void Boot( const u32 frames ) {
		ASSERT_NO_FATAL_FAILURE( WriteSampleDisc() );
		ASSERT_NO_FATAL_FAILURE( StartSampleDisc( frames ) );
	}

	static const SampleShared* Shared() {
		return SharedBlock();
	}

	// The persistent buffer the sample reads its commands from.
	static SampleReload* Kept() {
		return static_cast<SampleReload*>(
			gpoGameLogicMgr->GetGameMemoryMgr().GetGameBuffer( SAMPLE_RELOAD_BUFFER, sizeof( SampleReload ), 1 ) );
	}

	// Boots, asks the spawned copy (once it runs) for a slide show of three
	// slides and runs the frame it makes the show in, the show's first load
	// step included. The copy, told to hear when the show is ready.
	EFGameObject* CopyMakesASlideShow() {
		Boot( 1 );
		gpoEngineController->MainLoop();
		const SampleShared* const shared = Shared();
		while ( shared != nullptr && shared->copySteps == 0 ) {
			RunMoreFrames( 1 );
		}
		Kept()->slideShow = 3;
		RunMoreFrames( 1 );
		EFGameObject* const copy = gpoWorldMgr->FindGameObject( shared->copyId );
		EXPECT_EQ( shared->slideShows, 1u );
		EXPECT_EQ( Kept()->slideShow, 0u );
		EXPECT_NE( EFSlideShow::poSlideShow, nullptr );
		EXPECT_NE( copy, nullptr );
		if ( EFSlideShow::poSlideShow != nullptr ) {
			EXPECT_EQ( EFSlideShow::poSlideShow->muiState, EF_SLIDE_STATE_LOADING );
			EXPECT_EQ( EFSlideShow::poSlideShow->mpoNotified, copy );
		}
		return copy;
	}
};

TEST_F( LogicApiSampleDiscTest, TheSampleLogicMovesByTheLibrarysTuningEveryFrame ) {
	constexpr u32 FRAMES = 6;
	ASSERT_NO_FATAL_FAILURE( Boot( FRAMES ) );
	const u32 physicsFrames = EFPhysicMgr::moPhysicMgr.GetCurrentSaveCount();
	gpoEngineController->MainLoop();

	const SampleTuning* const tuning = static_cast<const SampleTuning*>( EFCustomLibBank::GetLib( SAMPLE_TUNING_NAME ) );
	ASSERT_NE( tuning, nullptr );
	EXPECT_EQ( tuning->speed, SAMPLE_TUNING_SPEED );
	EXPECT_EQ( tuning->gravity, SAMPLE_TUNING_GRAVITY );
	EXPECT_EQ( tuning->lives, static_cast<u32>( SAMPLE_TUNING_LIVES ) );

	const SampleShared* const shared = Shared();
	ASSERT_NE( shared, nullptr );
	// Every level object runs its state once a frame after the frame that
	// constructs it, and the box's plug-in runs it once more in each
	// physics frame from its first call on, with the frame's step; the
	// spawner's copy, made on its first call, is alive.
	EXPECT_EQ( shared->instances, LEVEL_OBJECTS + 1 );
	EXPECT_EQ( shared->pluginCalls, PLUGIN_FRAMES( FRAMES ) );
	EXPECT_NEAR( shared->pluginStep, 1.0f / 60.0f, 1e-3f );
	EXPECT_EQ( shared->frames, LEVEL_OBJECTS * ( FRAMES - 1 ) + shared->pluginCalls );
	EXPECT_EQ( shared->copyId, EF_FIRST_SPAWN_ID );
	EXPECT_NE( gpoWorldMgr->FindGameObject( EF_FIRST_SPAWN_ID ), nullptr );
	f32 x = 0.0f;
	for ( u32 step = 0; step < shared->frames; step++ ) {
		x += SAMPLE_TUNING_SPEED;
	}
	EXPECT_EQ( shared->position.x, x );
	EXPECT_EQ( shared->position.y, 0.0f );
	EXPECT_EQ( shared->distance, x );
	EXPECT_EQ( shared->laps, static_cast<s32>( shared->frames / SAMPLE_TUNING_LIVES ) );
	// The graphics manager opened the 3D library: the model has its frame.
	EXPECT_NE( gpoWorldMgr->FindGameObject( TOOL_SAMPLE_MODEL_OBJECT_ID )->GetFrame(), nullptr );

	// One physics frame per engine frame. The hot spot's body, as the
	// level load built it from its record: its masks are its words, its
	// box's sphere (half extents 0.5, 1, 0.5) one unit above the object.
	EXPECT_EQ( EFPhysicMgr::moPhysicMgr.GetCurrentSaveCount(), physicsFrames + FRAMES );
	const EFGameObject* const spot = gpoWorldMgr->FindGameObject( TOOL_SAMPLE_HOT_SPOT_OBJECT_ID );
	ASSERT_NE( spot, nullptr );
	ASSERT_NE( spot->mpoPhysic, nullptr );
	const EFCollisionModel& body = spot->mpoPhysic->moCollisionModel;
	const u32 masks[] = { body.muiCollisionType,		 body.muiCollisionDetectType, body.muiCollisionUDType,
						  body.muiCollisionUDDetectType, body.muiEnvDetectType,		  body.muiUDEnvDetectType };
	EXPECT_EQ( std::vector<u32>( masks, masks + 6 ), ( std::vector<u32>{ 0x1, 0x1, 0, 0, 0x1, 0 } ) );
	EXPECT_NEAR( body.moPhysicBSphere.mfRadius, std::sqrt( 1.5f ), 1e-5f );
	const ToolVec3 at = ToolSampleHotSpotObject( 0 ).position;
	EXPECT_NEAR( body.moPhysicBSphereWPos.x, at[0], 1e-5f );
	EXPECT_NEAR( body.moPhysicBSphereWPos.y, at[1] + 1.0f, 1e-5f );
	EXPECT_NEAR( body.moPhysicBSphereWPos.z, at[2], 1e-5f );
	FinishSampleDisc();
}

TEST_F( LogicApiSampleDiscTest, InAHundredAndTwentyFramesTheModelTurnsAndMovesAndTheCopyComesAndGoes ) {
	constexpr u32 FRAMES = 120;
	ASSERT_NO_FATAL_FAILURE( Boot( FRAMES ) );
	gpoEngineController->MainLoop();

	const SampleShared* const shared = Shared();
	ASSERT_NE( shared, nullptr );
	EXPECT_EQ( shared->pluginCalls, PLUGIN_FRAMES( FRAMES ) );
	EXPECT_EQ( shared->frames, LEVEL_OBJECTS * ( FRAMES - 1 ) + shared->pluginCalls );

	// The copy was made once, ran while it lived, and is gone: killed on
	// the spawner's sixtieth call after making it.
	EXPECT_EQ( shared->copyId, EF_FIRST_SPAWN_ID );
	EXPECT_EQ( shared->copyKilled, 1u );
	EXPECT_GE( shared->copySteps, SAMPLE_COPY_LIFE - 1 );
	EXPECT_LE( shared->copySteps, SAMPLE_COPY_LIFE );
	EXPECT_EQ( gpoWorldMgr->FindGameObject( EF_FIRST_SPAWN_ID ), nullptr );
	EXPECT_EQ( gpoWorldMgr->FindGameObject( EF_FIRST_SPAWN_ID + 1 ), nullptr );
	EXPECT_EQ( shared->instances, LEVEL_OBJECTS );

	// The model: one turn and one step per call, as GLM places it.
	EFGameObject* const model = gpoWorldMgr->FindGameObject( TOOL_SAMPLE_MODEL_OBJECT_ID );
	ASSERT_NE( model, nullptr );
	ASSERT_NE( model->GetFrame(), nullptr );
	EXPECT_EQ( shared->modelSteps, FRAMES - 1 );
	const ToolVec3 start = ToolSampleModelObject( 0 ).position;
	glm::mat4 expected = glm::translate( glm::mat4( 1.0f ), glm::vec3( start[0], start[1], start[2] ) );
	for ( u32 step = 0; step < shared->modelSteps; step++ ) {
		expected = expected * glm::rotate( glm::mat4( 1.0f ), SAMPLE_MODEL_TURN, glm::vec3( 0.0f, 1.0f, 0.0f ) );
		expected[3] += glm::vec4( SAMPLE_MODEL_STEP_X, 0.0f, SAMPLE_MODEL_STEP_Z, 0.0f );
	}
	const RwMatrix& placed = model->GetFrame()->moFrame.modelling;
	constexpr f32 TOLERANCE = 1e-3f;
	EXPECT_NEAR( placed.pos.x, expected[3].x, TOLERANCE );
	EXPECT_NEAR( placed.pos.y, expected[3].y, TOLERANCE );
	EXPECT_NEAR( placed.pos.z, expected[3].z, TOLERANCE );
	EXPECT_NEAR( placed.at.x, expected[2].x, TOLERANCE );
	EXPECT_NEAR( placed.at.y, expected[2].y, TOLERANCE );
	EXPECT_NEAR( placed.at.z, expected[2].z, TOLERANCE );
	EXPECT_NEAR( placed.right.x, expected[0].x, TOLERANCE );
	EXPECT_NEAR( placed.right.z, expected[0].z, TOLERANCE );

	// Its first animation was asked for: the first skeletal node plays the
	// sample animation in the tree and its joints hold the pose of its time
	// (joint 1 bounces: u - u^2 / 2 up, then back down, every 2 s; with no
	// camera here the world animates nothing, so that is the first pose);
	// the second node has no data and stays stopped. Both are bound to their owner and its 3D
	// object.
	const EFAnimationMgr& animations = model->moAnimationMgr;
	ASSERT_GE( animations.muiNbAnims, 2u );
	for ( u32 i = 0; i < 2; i++ ) {
		const EFAnimNode* node = animations.GetAnim( i );
		ASSERT_NE( node, nullptr );
		EXPECT_EQ( node->meType, OP_HAnim );
		EXPECT_EQ( node->mpGameObjectOwner, model );
		EXPECT_NE( node->mp3dObj, nullptr );
	}
	const EFAnimNode* playing = animations.GetAnim( 0 );
	EXPECT_EQ( playing->muiAnimState & AS_STOPPED, 0u );
	EXPECT_EQ( playing->mpParent, &animations.mUpdateTree );
	EXPECT_EQ( playing->mfDuration, TOOL_SAMPLE_ANIMATION_DURATION );
	const f64 t = std::fmod( static_cast<f64>( playing->mfCurrentTime ), 2.0 );
	const f64 bounce = t <= 1.0 ? t - t * t / 2.0 : 0.5 - ( t - 1.0 ) + ( t - 1.0 ) * ( t - 1.0 ) / 2.0;
	const DTTransfo& joint = playing->mp3dObj->mppTransfo[0][1];
	EXPECT_EQ( joint.muiJointIndex, 1u );
	EXPECT_NEAR( joint.mTranslation.y, bounce, 1e-3 );
	EXPECT_NE( playing->mp3dObj->mui3dObjState & EF_3D_OBJ_TRANSFO_DRIVEN, 0u );
	EXPECT_EQ( animations.GetAnim( 1 )->muiAnimState, AS_STOPPED );
	EXPECT_EQ( animations.GetAnim( 1 )->mpParent, nullptr );
	// Logic asks by id from the table's base: the playing node, the
	// stopped one, and ids on either side of the table, which name none.
	ASSERT_EQ( animations.muiBaseIndex, 1u );
	const struct {
		u32 anim;
		u32 playing;
	} asked[] = { { 1, 1 }, { 2, 0 }, { 0, 0 }, { 3, 0 } };
	for ( const auto& row : asked ) {
		EXPECT_EQ( APIanim.IsAnimPlaying( TOOL_SAMPLE_MODEL_OBJECT_ID, row.anim ), row.playing ) << row.anim;
	}
	FinishSampleDisc();
}

TEST_F( LogicApiSampleDiscTest, TheBoxJumpsOntoTheHotSpotAndItsRayDownHitsIt ) {
	constexpr u32 FRAMES = 180;
	ASSERT_NO_FATAL_FAILURE( Boot( FRAMES ) );
	gpoEngineController->MainLoop();

	const SampleShared* const shared = Shared();
	ASSERT_NE( shared, nullptr );
	EFGameObject* const box = gpoWorldMgr->FindGameObject( TOOL_SAMPLE_BOX_OBJECT_ID );
	EFGameObject* const spot = gpoWorldMgr->FindGameObject( TOOL_SAMPLE_HOT_SPOT_OBJECT_ID );
	ASSERT_NE( box, nullptr );
	ASSERT_NE( spot, nullptr );
	ASSERT_NE( box->GetFrame(), nullptr );
	// The jump's target is the top of the hot spot's box, and the box came
	// down there within the Euler steps' error: v dt for the frame it was
	// seen in, g dt T / 2 for the flight.
	const RwV3d& spotAt = spot->GetFrame()->moFrame.modelling.pos;
	EXPECT_NEAR( shared->jumpTarget.x, spotAt.x, 1e-4f );
	EXPECT_NEAR( shared->jumpTarget.y, spotAt.y + SAMPLE_HOT_SPOT_TOP, 1e-4f );
	EXPECT_NEAR( shared->jumpTarget.z, spotAt.z, 1e-4f );
	ASSERT_GT( shared->boxLanded, SAMPLE_JUMP_STEP );
	const f32 dt = 1.0f / 60.0f;
	const f32 flight = static_cast<f32>( shared->boxLanded - SAMPLE_JUMP_STEP ) * dt;
	const f32 error = 10.0f * dt + 9.8f * dt * flight / 2.0f;
	const DTVector3d miss = shared->landedAt - shared->jumpTarget;
	EXPECT_LT( miss.LengthSquare(), error * error );
	// It stopped on the top, not in or through the hot spot's box, and
	// still stands there, carried by the platform.
	EXPECT_NEAR( shared->landedAt.y, shared->jumpTarget.y, 0.01f );
	const RwV3d& boxAt = box->GetFrame()->moFrame.modelling.pos;
	EXPECT_NEAR( boxAt.y, shared->jumpTarget.y, 0.01f );
	EXPECT_LT( std::fabs( boxAt.x - spotAt.x ), 0.5f );
	EXPECT_LT( std::fabs( boxAt.z - spotAt.z ), 0.5f );
	ASSERT_NE( box->mpoPhysic, nullptr );
	EXPECT_NE( box->mpoPhysic->mui32PhysicState & 0x4u, 0u );
	// The ray down from above the landed box passes it by and stops on the
	// hot spot's top.
	EXPECT_EQ( shared->rayResult, static_cast<u32>( PS_RAY_OBJ ) );
	EXPECT_EQ( shared->rayHitId, TOOL_SAMPLE_HOT_SPOT_OBJECT_ID );
	EXPECT_NEAR( shared->rayPoint.y, spotAt.y + SAMPLE_HOT_SPOT_TOP, 1e-3f );
	FinishSampleDisc();
}

// A wave module on the hot spot, added at the start of a frame of the
// running level through the behaviour calls, carries it from where it
// stands to B and back in its period; the marks of leaving A and
// reaching B reach a recorder as notification 6.
TEST_F( LogicApiSampleDiscTest, AWaveCarriesTheHotSpotToBAndBackAndItsMarksReachARecorder ) {
	constexpr u32 FRAMES = 90;
	ASSERT_NO_FATAL_FAILURE( Boot( FRAMES ) );
	gWave = {};
	gWaveMarks.clear();
	gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( NO_PRELOGIC, 2, 2, &StepWave, nullptr );
	gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( NO_PHYSIC_DMSTATECHANGE, TOOL_SAMPLE_HOT_SPOT_OBJECT_ID,
														 TOOL_SAMPLE_HOT_SPOT_OBJECT_ID, &RecordWaveMark, nullptr );
	gpoEngineController->MainLoop();
	ASSERT_NE( gWave.handle, 0u );

	// Up to the pass whose time wrapped: out to B and back to A.
	f32 farthest = 0.0f;
	u32 wrap = 0;
	while ( wrap + 1 < gWave.samples.size() && gWave.samples[wrap + 1].time > gWave.samples[wrap].time ) {
		farthest = std::fmax( farthest, gWave.samples[++wrap].x - gWave.a.x );
	}
	ASSERT_LT( wrap + 1, gWave.samples.size() );
	EXPECT_NEAR( farthest, 1.5f, 0.05f );
	EXPECT_NEAR( gWave.samples[wrap].x, gWave.a.x, 0.05f );
	std::vector<u32> marks;
	for ( const DMStateChangeRecord& record : gWaveMarks ) {
		EXPECT_EQ( record.ui32Handle, gWave.handle );
		EXPECT_EQ( record.ui32Type, EFDMWave::TYPE_WORD );
		if ( record.ui32State & record.ui32Changed ) {
			marks.push_back( record.ui32State & record.ui32Changed );
		}
	}
	// B is reached once in this run; leaving A is marked when the time
	// before the pass is within the pass's step: at the start or, with
	// the frame steps varying, only after the wrap.
	const std::ptrdiff_t reachesB = std::count( marks.begin(), marks.end(), EF_DM_WAVE_REACHES_B );
	const std::ptrdiff_t leavesA = std::count( marks.begin(), marks.end(), EF_DM_WAVE_LEAVES_A );
	EXPECT_EQ( reachesB, 1 );
	EXPECT_GE( leavesA, 1 );
	EXPECT_EQ( static_cast<std::ptrdiff_t>( marks.size() ), reachesB + leavesA );
	gpoGameLogicMgr->GetNotificationMgr().UnregisterNotify( NO_PRELOGIC, 2, 2 );
	FinishSampleDisc();
}

TEST_F( LogicApiSampleDiscTest, TheSampleLoadsItsLevelAgainOnceAfterTenSecondsAndHearsTheAButton ) {
	constexpr u32 FRAMES = 720;
	ASSERT_NO_FATAL_FAILURE( Boot( FRAMES ) );
	// The reload plays the corpus movie first.
	std::ifstream movie( std::string( ENGINE_TEST_DATA_DIR ) + "/movie/ip.vid", std::ios::binary );
	ASSERT_TRUE( disc.WriteFile( "MOVIES/IP.vid", std::vector<u8>( std::istreambuf_iterator<char>( movie ), std::istreambuf_iterator<char>() ) ) );
	// A on the first controller for a while after the reload (which ends
	// near retrace 740, the movie and its sound banks included).
	PADHostReset();
	ASSERT_TRUE( PADHostParseScript( "750 0 A 0 0 0 0 0 0\n765 0 0 0 0 0 0 0 0\n" ) );
	gpoEngineController->MainLoop();
	EXPECT_STREQ( EFVideoPlayer::GetInstance()->mszVideoPath, "MOVIES/IP.vid" );
	const std::vector<std::string>& reports = EFCoreTestSeen().reports;
	EXPECT_NE( std::find( reports.begin(), reports.end(), "VIDSimpleClose()\n" ), reports.end() );
	EXPECT_EQ( std::count( reports.begin(), reports.end(), "*** VIDSimpleDecode failed to decode video data\n" ), 0 );

	EXPECT_EQ( gpoRessourcesMgr->GetLoadCount(), 2u );
	const SampleReload* const reload = static_cast<const SampleReload*>(
		gpoGameLogicMgr->GetGameMemoryMgr().GetGameBuffer( SAMPLE_RELOAD_BUFFER, sizeof( SampleReload ), 1 ) );
	ASSERT_NE( reload, nullptr );
	EXPECT_EQ( reload->reloaded, 1u );
	const SampleShared* const shared = Shared();
	ASSERT_NE( shared, nullptr );
	EXPECT_GT( shared->buttonPresses, 0u );
	// The snapshot of frame 240 went into the test's own folder.
	EXPECT_TRUE( std::filesystem::exists( root / "SAMPLE000.BMP" ) );
	FinishSampleDisc();
}

// The copy that made a slide show hears once that it is ready, two load
// steps later.
TEST_F( LogicApiSampleDiscTest, TheCopyThatMadeASlideShowHearsOnceThatItIsReady ) {
	ASSERT_NE( CopyMakesASlideShow(), nullptr );
	const SampleShared* const shared = Shared();
	RunMoreFrames( 1 );
	EXPECT_EQ( EFSlideShow::poSlideShow->muiState, EF_SLIDE_STATE_LOADING );
	EXPECT_EQ( shared->slidesReady, 0u );
	RunMoreFrames( 1 );
	EXPECT_EQ( EFSlideShow::poSlideShow->muiState, EF_SLIDE_STATE_READY );
	EXPECT_EQ( shared->slidesReady, 1u );
	RunMoreFrames( 2 );
	EXPECT_EQ( shared->slidesReady, 1u );
	// A level change would end the show; the framework's end does not.
	EFSlideShow::Destroy();
	FinishSampleDisc();
}

// Killed before its show is ready, the copy is no longer the show's: the
// ready show tells nobody and reads nothing of it (the sanitizer build
// sees any read of the freed object).
TEST_F( LogicApiSampleDiscTest, ACopyKilledBeforeItsSlideShowIsReadyIsNeverToldOrRead ) {
	EFGameObject* const copy = CopyMakesASlideShow();
	ASSERT_NE( copy, nullptr );
	const SampleShared* const shared = Shared();
	const u32 copyId = copy->GetUID();
	gpoWorldMgr->RequestDeletion( copy );
	RunMoreFrames( 1 );
	EXPECT_EQ( gpoWorldMgr->FindGameObject( copyId ), nullptr );
	EXPECT_EQ( EFSlideShow::poSlideShow->muiState, EF_SLIDE_STATE_LOADING );
	EXPECT_EQ( EFSlideShow::poSlideShow->mpoNotified, nullptr );
	RunMoreFrames( 1 );
	EXPECT_EQ( EFSlideShow::poSlideShow->muiState, EF_SLIDE_STATE_READY );
	EXPECT_EQ( shared->slidesReady, 0u );
	EFSlideShow::Destroy();
	FinishSampleDisc();
}

}
