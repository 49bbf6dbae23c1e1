/*
	The sample disc booted in-process as the engine boots it (the
	graphics manager opens the library over the console driver, the
	allocator routed): the model object's 3D object takes the level's
	model resource with its skeleton bound and its collision primitives,
	its clump in the level's static world, and a camera looking at it
	draws exactly its atomics of level of detail 0. Over 60 frames through
	that camera the object's emitter, from its model resource, launches
	particles of the level's types that age and draw as an additive batch
	every frame.
*/
#include "SampleDriverTestBench.h"
#include "graphics3d/gamecube/RwDlTestDriver.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/ApAtomicDataPlugin.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/physics/ApCollisionPrimitivesPlugin.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwFrame.h"
#include "framework/graphics/particles/PLEmitter.h"
#include "framework/graphics/particles/PLMgr.h"
#include "framework/graphics/particles/PLType.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpHAnim.h"
#include "platform/gx/GX.h"
#include "platform/gx/GXHost.h"
#include "platform/host/HostClock.h"
#include "platform/vi/VI.h"
#include "platform/vi/VIHost.h"
#include "tools/lib/graphics3d/ToolSampleModel.h"
#include "tools/lib/level/ToolSampleObjects.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<RpAtomic*> gDrawn;

RpAtomic* Record( RpAtomic* atomic ) {
	gDrawn.push_back( atomic );
	return atomic;
}

// The host clock made virtual for one test.
struct VirtualClock {
	VirtualClock() { HostClockUseVirtual( 0 ); }
	~VirtualClock() { HostClockUseReal(); }
};

// Additive triangle lists of the frame, six vertices a particle.
u32 ParticleBatches( const GXHostFrame& frame ) {
	u32 batches = 0;
	for ( const GXHostDraw& draw : frame.draws ) {
		if ( draw.primitive == GX_TRIANGLES && draw.announced % 6 == 0 && draw.state.blendSource == GX_BL_ONE &&
			 draw.state.blendDestination == GX_BL_ONE ) {
			batches++;
		}
	}
	return batches;
}

class EFSampleModelTest : public SampleDriverTestBench {
protected:
	// Camera 0 at the origin looking down z, at the model object standing
	// at z = 6.
	EFCamera* LookAtTheModel() {
		eye = new DTFrame;
		cameraId = gpoGraphicsMgr->CreateCamera( eye );
		EFCamera* const camera = gpoGraphicsMgr->GetCamera( cameraId );
		if ( camera != nullptr ) {
			RwCameraSetFarClipPlane( camera->mpoRwCamera, 1000.0f );
			camera->muiPlanesDirty = 1;
		}
		return camera;
	}

	// The camera and its frame go while the library is up.
	void DropTheCamera() {
		gpoGraphicsMgr->DestroyCamera( cameraId );
		delete eye;
	}

	DTFrame* eye = nullptr;
	u32 cameraId = 0;
};

}

TEST_F( EFSampleModelTest, TheModelObjectDrawsTheSampleModelsFirstLevelOfDetailToACamera ) {
	ASSERT_NO_FATAL_FAILURE( WriteSampleDisc() );
	ASSERT_NO_FATAL_FAILURE( StartSampleDisc( 1 ) );
	EFGameObject* const object = gpoWorldMgr->FindGameObject( TOOL_SAMPLE_MODEL_OBJECT_ID );
	ASSERT_NE( object, nullptr );
	EF3dObj* const model = object->Get3dObject( 0 );
	ASSERT_NE( model, nullptr );
	ASSERT_NE( model->mpClump, nullptr );
	EXPECT_EQ( RpClumpGetWorld( model->mpClump ), gpoWorldMgr->GetCurrentWorld() );

	// Levels of detail 0, 0 and 1; the clump hangs below the object and
	// the three-node skeleton is bound down its frames.
	std::vector<RpAtomic*> atomics, lod0;
	RpClumpForAllAtomics(
		model->mpClump,
		[]( RpAtomic* atomic, void* data ) -> RpAtomic* {
			static_cast<std::vector<RpAtomic*>*>( data )->push_back( atomic );
			return atomic;
		},
		&atomics );
	ASSERT_EQ( atomics.size(), 3u );
	for ( RpAtomic* atomic : atomics ) {
		if ( ApGetAtomicLod( atomic ) == 0 ) {
			lod0.push_back( atomic );
		}
	}
	EXPECT_EQ( lod0.size(), 2u );
	RwFrame* const root = RpClumpGetFrame( model->mpClump );
	EXPECT_EQ( root->object.parent, object->GetFrame()->GetRwFrame() );
	ASSERT_NE( model->mpHierarchy, nullptr );
	ASSERT_EQ( model->mpHierarchy->numNodes, 3 );
	RwFrame* node = root;
	for ( s32 i = 0; i < 3; i++ ) {
		node = node->child;
		ASSERT_NE( node, nullptr );
		EXPECT_EQ( model->mpHierarchy->pNodeInfo[i].pFrame, node ) << i;
		EXPECT_EQ( RpHAnimFrameGetID( node ), TOOL_SAMPLE_MODEL_NODE_IDS[i] );
	}
	// The clump brought the model's collision primitives: the capsule, the
	// box and the polygon set, and the model's sphere.
	const ToolCollisionPrims stored = ToolSampleModelCollisionPrims();
	ASSERT_EQ( ApClumpGetNbCollisionPrimitives( model->mpClump ), 3 );
	for ( u32 i = 0; i < 3; i++ ) {
		const ApCollisionPrimitive* const prim = ApClumpGetCollisionPrimitive( model->mpClump, i );
		ASSERT_NE( prim, nullptr );
		EXPECT_EQ( prim->mui32Shape, stored.prims[i].shape ) << i;
		EXPECT_EQ( prim->mui32Tag, stored.prims[i].tag ) << i;
		EXPECT_EQ( prim->mi32Joint, stored.prims[i].joint ) << i;
	}
	DTSphere sphere;
	ASSERT_TRUE( ApClumpGetBoundingSphere( model->mpClump, sphere ) );
	EXPECT_EQ( sphere.mfRadius, ( *stored.sphere )[3] );
	EXPECT_EQ( sphere.moPos.y, ( *stored.sphere )[1] );

	// A camera at the origin looking down z sees the object at z = 6: one
	// frame draws exactly its LOD 0 atomics.
	for ( RpAtomic* atomic : atomics ) {
		ApSetAtomicCallBackRender( atomic, Record );
	}
	ASSERT_NE( LookAtTheModel(), nullptr );
	gDrawn.clear();
	gpoEngineController->MainLoop();
	std::sort( gDrawn.begin(), gDrawn.end() );
	std::sort( lod0.begin(), lod0.end() );
	EXPECT_EQ( gDrawn, lod0 );
	DropTheCamera();
	FinishSampleDisc();
}

TEST_F( EFSampleModelTest, TheModelObjectsEmitterLaunchesAgesAndDrawsParticlesEveryFrame ) {
	// Frames paced by the retraces on the virtual clock: 1/30 s each.
	const VirtualClock clock;
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

	ASSERT_NE( LookAtTheModel(), nullptr );
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
	DropTheCamera();
	FinishSampleDisc();
}
