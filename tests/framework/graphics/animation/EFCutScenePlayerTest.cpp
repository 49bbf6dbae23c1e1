/*
	The cut-scene player in a world: the start and the end one update
	late, the volume exchange, Skip, Pause, Stop, object membership, the
	scene's camera, and tables that must not load.
*/
#include "../../core/world/WorldTestBench.h"

#include "datatypes/persist/DTMemoryPersistStream.h"
#include "framework/audio/EFNewAudioMgr.h"
#include "framework/core/world/EFNotificationMgr.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/animation/AnimTestSupport.h"
#include "framework/graphics/animation/EFCameraAnimNode.h"
#include "framework/graphics/animation/EFCutScenePlayer.h"
#include "tools/lib/level/ToolCutSceneWriter.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr u32 ACTOR = 0x2A000021;
constexpr u32 OTHER = 0x2A000022;
constexpr u32 MISSING = 0x2A000099;
constexpr u32 LISTENER = 0x2A000001;
constexpr u32 ANIM = 0;

std::vector<std::vector<u32>> gHeard;

s32 Heard( void*, void* data ) {
	const EFCutSceneNotice* const notice = static_cast<const EFCutSceneNotice*>( data );
	gHeard.push_back( { notice->muiIndex, notice->muiStarted } );
	return 0;
}

class EFCutScenePlayerTest : public WorldTestBench {
protected:
	void SetUp() override {
		WorldTestBench::SetUp();
		gHeard.clear();
		audio = new EFNewAudioMgr;
		audio->mfStreamVolume = 0.8f;
		player.Terminate();
		player.mfCSVolume = 0.25f;
		gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( NO_CUTSCENE, LISTENER, LISTENER, &Heard, nullptr );
		actor = MakeObject( ACTOR );
		actor->moAnimationMgr.CreateTable( 1 );
		model = new EF3dObj;
		node = new animtest::UnlinkingNode( *actor, *model, 10.0f );
		actor->moAnimationMgr.AddAnim( node, ANIM );
	}
	void TearDown() override {
		player.Stop();
		player.Terminate();
		delete audio;
		delete model;
		WorldTestBench::TearDown();
	}

	s32 Load( const std::vector<u8>& record ) {
		std::vector<u8> copy = record;
		DTMemoryPersistStream stream( reinterpret_cast<char*>( copy.data() ), static_cast<s32>( copy.size() ) );
		return player.LoadPropertiesBinary( stream );
	}

	// Scene 0: 2 s of the actor, a missing object and the other; scene 1:
	// 1 s of the other alone.
	static ToolCutSceneTable Table() {
		ToolCutSceneTable table;
		table.scenes = { { 2.0f, { { ACTOR, ANIM }, { MISSING, ANIM }, { OTHER, 5 } } }, { 1.0f, { { OTHER, ANIM } } } };
		return table;
	}

	EFCutScenePlayer& player = EFCutScenePlayer::mInstance;
	EFNewAudioMgr* audio = nullptr;
	EFGameObject* actor = nullptr;
	EF3dObj* model = nullptr;
	animtest::UnlinkingNode* node = nullptr;
};

TEST_F( EFCutScenePlayerTest, ASceneEndsOneUpdateAfterItsTimeExchangingTheVolumeOnceEachWay ) {
	ASSERT_EQ( Load( ToolCutSceneWriter::Record( Table() ) ), 0 );
	player.Play( 0, EF_CS_NONE, EF_CS_NO_CAMERA );
	EXPECT_EQ( gHeard, ( std::vector<std::vector<u32>>{ { 0, 1 } } ) );
	EXPECT_EQ( audio->mfStreamVolume, 0.25f );
	EXPECT_EQ( player.mfCSVolume, 0.8f );
	EXPECT_EQ( node->muiAnimState, AS_CLAMP );
	EXPECT_EQ( player.IsInCutScene( ACTOR, 0 ), 1u );
	EXPECT_EQ( player.IsInCutScene( ACTOR, 1 ), 0u );
	EXPECT_EQ( player.IsInCutScene( OTHER, 1 ), 1u );
	EXPECT_EQ( player.IsInCutScene( ACTOR, 2 ), 0u );
	gHeard.clear();
	// A volume set while it plays is the one the game gets back.
	player.mfCSVolume = 0.5f;
	u32 reached = 0;
	for ( u32 update = 1; update <= 70 && gHeard.empty(); update++ ) {
		player.Update( 1.0f / 30.0f );
		if ( reached == 0 && player.mfCSTime >= 2.0f ) {
			reached = update;
		}
		if ( !gHeard.empty() ) {
			EXPECT_EQ( update, reached + 1 );
		}
	}
	ASSERT_NE( reached, 0u );
	EXPECT_EQ( gHeard, ( std::vector<std::vector<u32>>{ { 0, 0 } } ) );
	EXPECT_EQ( audio->mfStreamVolume, 0.5f );
	EXPECT_EQ( player.mfCSVolume, 0.25f );
	EXPECT_EQ( node->muiAnimState, AS_STOPPED );
	EXPECT_EQ( player.muiCSFlags, 0u );
}

TEST_F( EFCutScenePlayerTest, SkipEndsInThreeUpdatesPauseStopsTheClockAndStopSaysNothing ) {
	ASSERT_EQ( Load( ToolCutSceneWriter::Record( Table() ) ), 0 );
	player.Play( 0, EF_CS_NONE, EF_CS_NO_CAMERA );
	player.Update( 0.1f );
	player.Pause( 1 );
	for ( u32 i = 0; i < 100; i++ ) {
		player.Update( 0.1f );
	}
	EXPECT_FLOAT_EQ( player.mfCSTime, 0.1f );
	player.Pause( 0 );
	gHeard.clear();
	node->SetTime( 0.5f );
	player.Skip();
	EXPECT_EQ( node->mfCurrentTime, 2.0f );
	// Skip exchanges nothing: the end does, once.
	EXPECT_EQ( audio->mfStreamVolume, 0.25f );
	player.Update( 0.1f );
	player.Update( 0.1f );
	EXPECT_TRUE( gHeard.empty() );
	player.Update( 0.1f );
	EXPECT_EQ( gHeard, ( std::vector<std::vector<u32>>{ { 0, 0 } } ) );
	EXPECT_EQ( audio->mfStreamVolume, 0.8f );
	// A second scene stopped early: no notice, volume back, nothing left.
	player.Play( 1, EF_CS_NONE, EF_CS_NO_CAMERA );
	gHeard.clear();
	player.Stop();
	EXPECT_TRUE( gHeard.empty() );
	EXPECT_EQ( audio->mfStreamVolume, 0.8f );
	EXPECT_EQ( player.muiCSFlags, 0u );
	// Stop, Skip and Pause's clock without a scene do nothing.
	player.Skip();
	player.Stop();
	EXPECT_EQ( player.muiCSFlags, 0u );
}

// The scene's camera: a camera's id binds the scene's camera nodes to it
// and is kept; the no-camera id binds nothing and keeps nothing; an id
// naming no camera is kept but binds nothing.
TEST_F( EFCutScenePlayerTest, ACameraIdBindsTheScenesCameraNodesAndTheNoCameraIdLeavesThem ) {
	EFGameObject* const other = MakeObject( OTHER );
	ASSERT_TRUE( other->moAnimationMgr.CreateTable( 1 ) );
	EFCameraAnimNode* const flight = new EFCameraAnimNode();
	ASSERT_TRUE( other->moAnimationMgr.AddAnim( flight, ANIM ) );
	EFCamera* const camera = MakeCamera();
	ASSERT_NE( camera, nullptr );
	ASSERT_EQ( Load( ToolCutSceneWriter::Record( Table() ) ), 0 );
	const struct {
		const char* name;
		u32			camera;
		EFCamera*	bound;
		u32			kept;
	} rows[] = {
		{ "no camera", EF_CS_NO_CAMERA, nullptr, EF_CS_NONE },
		{ "a camera", camera->GetUID(), camera, camera->GetUID() },
		{ "no such camera", camera->GetUID() + 5, nullptr, camera->GetUID() + 5 },
	};
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.name );
		flight->mpCamera = nullptr;
		player.muiCSCameraId = EF_CS_NONE;
		player.Play( 1, EF_CS_NONE, row.camera );
		EXPECT_EQ( player.muiCSFlags, EF_CS_PLAYING );
		EXPECT_EQ( flight->mpCamera, row.bound );
		EXPECT_EQ( player.muiCSCameraId, row.kept );
		player.Stop();
	}
}

TEST_F( EFCutScenePlayerTest, TablesThatDoNotHoldTogetherAreRefusedAndThePlayerSurvives ) {
	// Without a table nothing plays and nothing is in a scene.
	player.Play( 0, EF_CS_NONE, EF_CS_NO_CAMERA );
	EXPECT_EQ( player.muiCSFlags, 0u );
	EXPECT_EQ( player.IsInCutScene( ACTOR, 0 ), 0u );
	struct Case {
		const char* name;
		s32 sizeDelta;
		s32 offsetDelta;
		u32 extraPairs;
		size_t cut;		// bytes cut off the record's end
	};
	const Case cases[] = {
		{ "a size below the header", -100, 0, 0, 0 },
		{ "an offset past the block", 0, 1000, 0, 0 },
		{ "an entry head past the block", 0, 44, 0, 0 },
		{ "pairs past the block", 0, 0, 4, 0 },
		{ "a truncated table", 0, 0, 0, 5 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		ToolCutSceneTable table = Table();
		table.sizeDelta = c.sizeDelta;
		table.offsetDelta = c.offsetDelta;
		table.extraPairs = c.extraPairs;
		std::vector<u8> record = ToolCutSceneWriter::Record( table );
		record.resize( record.size() - c.cut );
		EXPECT_EQ( Load( record ), EF_CS_BAD_TABLE );
		EXPECT_EQ( player.mpCSTable, nullptr );
		EXPECT_EQ( player.GetCount(), 0u );
	}
	// The class's factory always hands out the one player; the next good
	// table loads and plays; an index at the count plays nothing.
	EXPECT_EQ( EFCutScenePlayer::Instanciate(), &player );
	EXPECT_TRUE( player.IsOwnedElsewhere() );
	ASSERT_EQ( Load( ToolCutSceneWriter::Record( Table() ) ), 0 );
	player.Play( 2, EF_CS_NONE, EF_CS_NO_CAMERA );
	EXPECT_EQ( player.muiCSFlags, 0u );
	player.Play( 1, EF_CS_NONE, EF_CS_NO_CAMERA );
	EXPECT_EQ( player.muiCSFlags, EF_CS_PLAYING );
}

}
