/*
	The sample disc booted in-process as the engine boots it (the
	graphics manager opens the library over the console driver, the
	allocator routed): the model object's 3D object takes the level's
	model resource with its skeleton bound and its collision primitives,
	its clump in the level's static world, and a camera looking at it
	draws exactly its atomics of level of detail 0.
*/
#include "framework/core/engine/EFSampleDiscTestBench.h"
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
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpHAnim.h"
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

class EFSampleModelTest : public EFSampleDiscTestBench {
protected:
	void SetUp() override {
		EFSampleDiscTestBench::SetUp();
		RwDlTestResetDriver();
		VIHostReset();
		VIInit();
	}

	void TearDown() override {
		VIHostReset();
		EFSampleDiscTestBench::TearDown();
	}
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
	DTFrame* const eye = new DTFrame;
	const u32 id = gpoGraphicsMgr->CreateCamera( eye );
	EFCamera* const camera = gpoGraphicsMgr->GetCamera( id );
	ASSERT_NE( camera, nullptr );
	RwCameraSetFarClipPlane( camera->mpoRwCamera, 1000.0f );
	camera->muiPlanesDirty = 1;
	gDrawn.clear();
	gpoEngineController->MainLoop();
	std::sort( gDrawn.begin(), gDrawn.end() );
	std::sort( lod0.begin(), lod0.end() );
	EXPECT_EQ( gDrawn, lod0 );
	gpoGraphicsMgr->DestroyCamera( id );
	delete eye;
	FinishSampleDisc();
}
