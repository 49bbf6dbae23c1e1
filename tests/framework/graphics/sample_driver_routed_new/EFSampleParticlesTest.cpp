/*
	The sample disc booted in-process, run for 60 frames through camera 0:
	the level's particle types load, the model object's emitter (from its
	model resource) rides on the object, launches particles that age, and
	every frame with live particles draws an additive batch of them.
*/
#include "framework/core/engine/EFSampleDiscTestBench.h"
#include "graphics3d/gamecube/RwDlTestDriver.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/graphics/particles/PLEmitter.h"
#include "framework/graphics/particles/PLMgr.h"
#include "framework/graphics/particles/PLType.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwFrame.h"
#include "platform/gx/GX.h"
#include "platform/gx/GXHost.h"
#include "platform/host/HostClock.h"
#include "platform/vi/VI.h"
#include "platform/vi/VIHost.h"
#include "tools/lib/level/ToolSampleObjects.h"


namespace {

class EFSampleParticlesTest : public EFSampleDiscTestBench {
protected:
	void SetUp() override {
		EFSampleDiscTestBench::SetUp();
		RwDlTestResetDriver();
		VIHostReset();
		VIInit();
		// Frames paced by the retraces on the virtual clock: 1/30 s each.
		HostClockUseVirtual( 0 );
	}

	void TearDown() override {
		VIHostReset();
		EFSampleDiscTestBench::TearDown();
		HostClockUseReal();
	}

	// Additive triangle lists of the frame, six vertices a particle.
	static u32 ParticleBatches( const GXHostFrame& frame ) {
		u32 batches = 0;
		for ( const GXHostDraw& draw : frame.draws ) {
			if ( draw.primitive == GX_TRIANGLES && draw.announced % 6 == 0 && draw.state.blendSource == GX_BL_ONE &&
				 draw.state.blendDestination == GX_BL_ONE ) {
				batches++;
			}
		}
		return batches;
	}
};

}

TEST_F( EFSampleParticlesTest, TheModelObjectsEmitterLaunchesAgesAndDrawsParticlesEveryFrame ) {
	ASSERT_NO_FATAL_FAILURE( WriteSampleDisc() );
	ASSERT_NO_FATAL_FAILURE( StartSampleDisc( 1 ) );
	ASSERT_NE( gpoPLParticleMgr, nullptr );
	EXPECT_EQ( gpoPLParticleMgr->GetTypeCount(), 2u );
	PLType_BC* const spark = gpoPLParticleMgr->GetType( "spark" );
	ASSERT_NE( spark, nullptr );
	EXPECT_NE( static_cast<PLType*>( spark )->mpoTexture, nullptr ) << "the type's texture is in the level's dictionary";
	PLEmitter* const emitter =
		static_cast<PLEmitter*>( gpoPLParticleMgr->GetEmitter( "fountain", TOOL_SAMPLE_MODEL_OBJECT_ID ) );
	ASSERT_NE( emitter, nullptr );
	EXPECT_EQ( emitter->mpoType, spark );
	EFGameObject* const object = gpoWorldMgr->FindGameObject( TOOL_SAMPLE_MODEL_OBJECT_ID );
	ASSERT_NE( object, nullptr );
	const RwMatrix* const place = RwFrameGetLTM( emitter->GetFrame()->GetRwFrame() );
	const RwMatrix* const owner = RwFrameGetLTM( object->GetFrame()->GetRwFrame() );
	EXPECT_FLOAT_EQ( place->pos.z, owner->pos.z + 1.0f ) << "one unit above the object";

	// Camera 0 at the origin looking down z sees the object at z = 6.
	DTFrame* const eye = new DTFrame;
	const u32 id = gpoGraphicsMgr->CreateCamera( eye );
	EFCamera* const camera = gpoGraphicsMgr->GetCamera( id );
	ASSERT_NE( camera, nullptr );
	RwCameraSetFarClipPlane( camera->mpoRwCamera, 1000.0f );
	camera->muiPlanesDirty = 1;
	// One run of 60 frames: the frame time is measured across them.
	GXHostSetFramesKept( 80 );
	GXHostClearLog();
	const s64 start = HostClockNow();
	RunMoreFrames( 60 );
	EXPECT_NEAR( static_cast<f64>( HostClockNow() - start ), static_cast<f64>( HostSecondsToTicks( 2.0 ) ),
				 static_cast<f64>( HostSecondsToTicks( 0.1 ) ) );
	u32 framesDrawing = 0;
	for ( const GXHostFrame& frame : GXHostFrames() ) {
		framesDrawing += ParticleBatches( frame ) > 0 ? 1 : 0;
	}
	EXPECT_GE( framesDrawing, 58u );
	// Four every tenth of a second for 1.5 s of life: a steady crowd
	// within the pool, the oldest past a second.
	EXPECT_GE( emitter->GetNbActivePart(), 40u );
	EXPECT_LE( emitter->GetNbActivePart(), 4u * 16u );
	bool aged = false;
	for ( const PLParticle* p = emitter->moParticles.GetFirst(); p != nullptr; p = p->mpoNext ) {
		aged = aged || p->mfAge > 1.0f;
	}
	EXPECT_TRUE( aged );
	gpoGraphicsMgr->DestroyCamera( id );
	delete eye;
	FinishSampleDisc();
}
