/*
	The sample disc booted in-process on the console driver: after its
	moves (half-way through them it starts a texture fade on its model)
	the model object's logic makes the level's camera on the model
	with a clear colour and fog, becomes the listener and carries the model
	along the sample loop spline.
*/
#include "SampleDriverTestBench.h"
#include "SampleDiscProbes.h"
#include "graphics3d/gamecube/RwDlTestDriver.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/audio/EFNewAudioMgr.h"
#include "framework/core/spline/EFQuadraticSpline.h"
#include "framework/core/spline/EFSplineMgr.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/graphics/animation/EFTexFader_BC.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicCode.h"
#include "framework/logic/api/LogicApiClearColor.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/world/RpMaterial.h"
#include "tools/lib/level/ToolSampleObjects.h"
#include "tools/lib/level/ToolSampleSplines.h"
#include "tools/lib/logic/ToolSampleLogic.h"
#include "tools/logic/sample/sampletuning.h"

namespace {

static_assert( SAMPLE_LOOP_SPLINE_ID == TOOL_SAMPLE_LOOP_SPLINE_ID );

class EFSampleCameraTest : public SampleDriverTestBench {};

TEST_F( EFSampleCameraTest, TheModelCarriesTheLevelsCameraAlongTheLoop ) {
	ASSERT_NO_FATAL_FAILURE( WriteSampleDisc() );
	ASSERT_NO_FATAL_FAILURE( StartSampleDisc( 1 ) );
	gpoEngineController->MainLoop();

	// No camera while the model makes its moves.
	const SampleShared* shared = SampleSharedBlock();
	ASSERT_NE( shared, nullptr );
	while ( shared->modelSteps < SAMPLE_MODEL_STEPS ) {
		RunMoreFrames( 1 );
	}
	EXPECT_EQ( gpoGraphicsMgr->GetCameraCount(), 0u );
	RunMoreFrames( 1 );
	ASSERT_EQ( shared->cameraSteps, 1u );

	// The level's first camera, on the model's frame, with the sample's
	// colours; the model is the listener.
	EFGameObject* const model = gpoWorldMgr->FindGameObject( SAMPLE_MODEL_ID );
	ASSERT_NE( model, nullptr );
	EXPECT_EQ( shared->cameraId, 0x10000000u );
	EFCamera* const camera = gpoGraphicsMgr->GetCamera( shared->cameraId );
	ASSERT_NE( camera, nullptr );
	EXPECT_EQ( camera->GetFrame(), model->GetFrame() );
	EXPECT_EQ( camera->mui32Fog, 1u );
	EXPECT_EQ( camera->mui32FogColor, 0xFF80A0C0u );
	EXPECT_EQ( camera->mpoRwCamera->fogPlane, SAMPLE_FOG_DISTANCE );
	EXPECT_EQ( sFloatClearColor.r, 63 );
	EXPECT_EQ( sFloatClearColor.g, 127 );
	EXPECT_EQ( sFloatClearColor.b, 191 );
	EXPECT_EQ( sFloatClearColor.a, 255 );
	ASSERT_NE( gpoNewAudioMgr, nullptr );
	EXPECT_EQ( gpoNewAudioMgr->mui32ListenerId, SAMPLE_MODEL_ID );
	// Half-way through its moves it started its texture fade: its model
	// draws through the fader, from the level's texture its materials show
	// (theirs again between drawings) to the other, as the world advances.
	EF3dObj* const shown = model->Get3dObject( 0 );
	ASSERT_NE( shown, nullptr );
	EXPECT_EQ( shown->muiTexFaderRefCount, 1u );
	const _TFEntry* const fade = EFTexFader_BC::FirstActiveAtomic;
	ASSERT_NE( fade, nullptr );
	EXPECT_EQ( fade->mpNext, nullptr );
	for ( u32 level = 0; level < 2; level++ ) {
		ASSERT_NE( fade->mpMaterial[level], nullptr );
		EXPECT_STREQ( fade->mpMaterial[level]->texture->name, SAMPLE_FADE_FROM );
		ASSERT_NE( fade->mpDestTexture[level], nullptr );
		EXPECT_STREQ( fade->mpDestTexture[level]->name, SAMPLE_FADE_TO );
	}
	const f32 elapsed = fade->mfElapsed;
	EXPECT_GT( elapsed, 0.0f );

	// Each call places the model on the loop where the spline's own query
	// puts it.
	const EFQuadraticSpline* const loop = gpoSplineMgr->GetSpline( static_cast<u32>( shared->loopSpline ) );
	ASSERT_NE( loop, nullptr );
	EXPECT_EQ( loop->mui16ID, TOOL_SAMPLE_LOOP_SPLINE_ID );
	while ( shared->cameraSteps < SAMPLE_SNAPSHOT_CALL ) {
		RunMoreFrames( 1 );
		const f32 s = shared->splineU * static_cast<f32>( loop->GetNbSegments() );
		const s32 segment = static_cast<s32>( s );
		DTVector3d expected;
		loop->GetPoint( segment, s - static_cast<f32>( segment ), expected );
		const RwV3d& at = model->GetFrame()->moFrame.modelling.pos;
		ASSERT_EQ( at.x, expected.x ) << shared->cameraSteps;
		ASSERT_EQ( at.y, expected.y );
		ASSERT_EQ( at.z, expected.z );
	}
	EXPECT_NEAR( shared->splineU, ( SAMPLE_SNAPSHOT_CALL - 1 ) * SAMPLE_SPLINE_STEP, 1e-6f );
	EXPECT_GT( fade->mfElapsed, elapsed );
	FinishSampleDisc();
}

}
