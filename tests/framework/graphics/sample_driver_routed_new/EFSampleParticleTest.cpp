/*
	The sample disc booted in-process on the console driver: the spawner's
	logic makes a particle type and an emitter at run time, which the
	spawned copy hangs on its own 3D object. When the spawner kills the copy, the
	emitter keeps a frame of its own where the copy last was and is still
	drawn (the frame it borrowed is gone: ASan would see a use after it).
*/
#include "SampleDriverTestBench.h"
#include "SampleDiscProbes.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFPosData.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/graphics/particles/PLEmitter.h"
#include "framework/graphics/particles/PLMgr.h"
#include "graphics3d/core/RwFrame.h"
#include "platform/gx/GX.h"
#include "platform/gx/GXHost.h"
#include "tools/lib/logic/ToolSampleLogic.h"
#include "tools/logic/sample/sampletuning.h"

#include <algorithm>

namespace {

static_assert( SAMPLE_PL_INT_PER_LAUNCH == PL_INT_PER_LAUNCH && SAMPLE_PL_REAL_LIFESPAN == PL_REAL_LIFESPAN &&
			   SAMPLE_PL_REAL_PERIOD == PL_REAL_PERIOD && SAMPLE_PL_REAL_SPEED == PL_REAL_SPEED &&
			   SAMPLE_PL_VEC_GRAVITY == PL_VEC_GRAVITY );

// Additive triangle lists, six vertices a particle.
u32 ParticleBatches( const GXHostFrame& frame ) {
	return static_cast<u32>( std::count_if( frame.draws.begin(), frame.draws.end(), []( const GXHostDraw& draw ) {
		return draw.primitive == GX_TRIANGLES && SampleHudAdditive( draw ) && draw.announced % 6 == 0;
	} ) );
}

class EFSampleParticleTest : public SampleDriverTestBench {
protected:
	// Runs frames until the condition holds, at most limit; whether it did.
	template <typename Condition>
	bool RunUntil( Condition&& holds, const u32 limit ) {
		for ( u32 i = 0; i < limit && !holds(); i++ ) {
			RunMoreFrames( 1 );
		}
		return holds();
	}
};

TEST_F( EFSampleParticleTest, TheCopysEmitterOutlivesTheCopyAndDrawsEveryFrame ) {
	ASSERT_NO_FATAL_FAILURE( WriteSampleDisc() );
	ASSERT_NO_FATAL_FAILURE( StartSampleDisc( 1 ) );
	gpoEngineController->MainLoop();
	const SampleShared* const shared = SampleSharedBlock();
	ASSERT_NE( shared, nullptr );
	ASSERT_TRUE( RunUntil( [&] { return shared->copySteps > 0; }, 4 ) );

	// The emitter of the run-time type rides on the copy's own 3D object,
	// lent by the copy.
	PLEmitter_BC* const emitter = gpoPLParticleMgr->GetEmitter( shared->emitter );
	ASSERT_NE( emitter, nullptr );
	EXPECT_EQ( emitter->mpoType, gpoPLParticleMgr->GetType( SAMPLE_PARTICLE_NAME ) );
	EFGameObject* const copy = gpoWorldMgr->FindGameObject( shared->copyId );
	ASSERT_NE( copy, nullptr );
	EXPECT_EQ( shared->emitterAttached, 0 );
	ASSERT_NE( copy->Get3dObject( 0 ), nullptr );
	EXPECT_EQ( copy->Get3dObject( 0 )->GetUID(), SAMPLE_TEMPLATE_MODEL_ID );
	EXPECT_EQ( emitter->GetFrame(), copy->Get3dObject( 0 )->GetFrame() );
	EXPECT_EQ( emitter->mui32LenderId, shared->copyId );

	// A camera shows the copy's place; the fountains of the
	// model resource stop, so that the additive batches are the emitter's.
	DTFrame* const eye = new DTFrame;
	const RwV3d back = { 0.0f, 1.0f, -8.0f };
	RwFrameTranslate( eye->GetRwFrame(), &back, rwCOMBINEREPLACE );
	const u32 cameraId = gpoGraphicsMgr->CreateCamera( eye );
	EFCamera* const camera = gpoGraphicsMgr->GetCamera( cameraId );
	ASSERT_NE( camera, nullptr );
	for ( const u32 owner : { SAMPLE_MODEL_ID, shared->copyId } ) {
		PLEmitter_BC* const fountain = gpoPLParticleMgr->GetEmitter( "fountain", owner );
		ASSERT_NE( fountain, nullptr );
		fountain->Reset();
	}

	// Up to the kill, then a few frames more.
	GXHostSetFramesKept( 8 );
	ASSERT_TRUE( RunUntil( [&] { return shared->copyKilled != 0; }, 2 * SAMPLE_COPY_LIFE ) );
	constexpr u32 AFTER = 6;
	GXHostClearLog();
	RunMoreFrames( AFTER );
	EXPECT_EQ( gpoWorldMgr->FindGameObject( shared->copyId ), nullptr );

	// The emitter stays where the risen copy last was, on a frame of its
	// own, and launches on.
	ASSERT_EQ( gpoPLParticleMgr->GetEmitter( shared->emitter ), emitter );
	EXPECT_EQ( emitter->mui32LenderId, PL_NO_LENDER );
	EXPECT_NE( emitter->muiPosFlags & EF_POS_OWNS_FRAME, 0u );
	ASSERT_NE( emitter->GetFrame(), nullptr );
	const RwMatrix* const now = RwFrameGetLTM( emitter->GetFrame()->GetRwFrame() );
	EXPECT_EQ( now->pos.x, 0.0f );
	EXPECT_NEAR( now->pos.y, static_cast<f32>( shared->copySteps ) * SAMPLE_COPY_RISE, 1e-4f );
	EXPECT_EQ( now->pos.z, 0.0f );
	EXPECT_GT( emitter->GetNbActivePart(), 0u );

	// Every frame (the log's last is the one begun) draws the emitter's
	// batch.
	const auto& frames = GXHostFrames();
	ASSERT_GE( frames.size(), AFTER );
	for ( u32 f = 0; f + 1 < frames.size(); f++ ) {
		EXPECT_EQ( ParticleBatches( frames[f] ), 1u ) << f;
	}
	EXPECT_TRUE( GXHostFaults().empty() );
	gpoGraphicsMgr->DestroyCamera( cameraId );
	delete eye;
	FinishSampleDisc();
}

}
