/*
	The sample disc's model object throws its drop-down shadow: booted
	in-process on the console driver, with camera 0 looking at the object
	and a floor under it that receives projections, every frame draws the
	floor once more with the darkening blend.
*/
#include "framework/core/engine/EFSampleDiscTestBench.h"
#include "graphics3d/gamecube/RwDlTestDriver.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/graphics/effects/EFProjectorMgr.h"
#include "framework/graphics/effects/EFShadowMgr.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpGeometry.h"
#include "platform/gx/GXHost.h"
#include "platform/vi/VI.h"
#include "platform/vi/VIHost.h"
#include "tools/lib/level/ToolSampleObjects.h"

namespace {

class EFSampleShadowTest : public EFSampleDiscTestBench {
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

// Darkening triangle batches in the frames the log keeps.
u32 DarkeningBatches() {
	u32 batches = 0;
	for ( const GXHostFrame& frame : GXHostFrames() ) {
		for ( const GXHostDraw& draw : frame.draws ) {
			if ( draw.primitive == GX_TRIANGLES && draw.state.blendSource == GX_BL_ZERO &&
				 draw.state.blendDestination == GX_BL_INVSRCCLR ) {
				batches++;
			}
		}
	}
	return batches;
}

}

TEST_F( EFSampleShadowTest, TheModelObjectsDropDownShadowDarkensTheFloorEveryFrame ) {
	ASSERT_NO_FATAL_FAILURE( WriteSampleDisc() );
	ASSERT_NO_FATAL_FAILURE( StartSampleDisc( 1 ) );
	EFGameObject* const object = gpoWorldMgr->FindGameObject( TOOL_SAMPLE_MODEL_OBJECT_ID );
	ASSERT_NE( object, nullptr );
	EXPECT_EQ( object->muiLogicFlags & TOOL_SAMPLE_MODEL_LOGIC_FLAGS, TOOL_SAMPLE_MODEL_LOGIC_FLAGS );
	ASSERT_NE( goShadowMgr.GetFirstCaster(), nullptr );
	EXPECT_EQ( goShadowMgr.GetFirstCaster()->mpoObject, object );

	// A floor triangle one unit under the object (at (-2, 0, 6)), inside
	// the shadow's reach of 2.
	EF3dObj* const floor = new EF3dObj;
	floor->CreateFrame( nullptr );
	RpClump* const clump = RpClumpCreate();
	RpAtomic* const atomic = RpAtomicCreate();
	RpGeometry* const geometry = RpGeometryCreate( 3, 1, rpGEOMETRYPOSITIONS );
	geometry->morphTarget[0].verts[0] = { -3.0f, -1.0f, 5.0f };
	geometry->morphTarget[0].verts[1] = { -2.0f, -1.0f, 7.0f };
	geometry->morphTarget[0].verts[2] = { -1.0f, -1.0f, 5.0f };
	geometry->triangles[0] = { { 0, 1, 2 }, -1 };
	RpAtomicSetGeometry( atomic, geometry, 0 );
	RpGeometryDestroy( geometry );
	RwFrame* const clumpFrame = RwFrameCreate();
	RwFrameAddChild( floor->mpFrame->GetRwFrame(), clumpFrame );
	RpClumpSetFrame( clump, clumpFrame );
	RpAtomicSetFrame( atomic, clumpFrame );
	RpClumpAddAtomic( clump, atomic );
	floor->mpClump = clump;
	goProjectorMgr.AddReceiver( nullptr, floor );

	// Camera 0 at the origin looks down z at the object.
	DTFrame* const eye = new DTFrame;
	const u32 id = gpoGraphicsMgr->CreateCamera( eye );
	EFCamera* const camera = gpoGraphicsMgr->GetCamera( id );
	ASSERT_NE( camera, nullptr );
	RwCameraSetFarClipPlane( camera->mpoRwCamera, 1000.0f );
	camera->muiPlanesDirty = 1;
	GXHostSetFramesKept( 4 );
	for ( u32 frame = 0; frame < 10; frame++ ) {
		GXHostClearLog();
		RunMoreFrames( 1 );
		EXPECT_EQ( DarkeningBatches(), 1u ) << frame;
		EXPECT_EQ( goProjectorMgr.GetEntriesCount(), 1u ) << frame;
	}
	EXPECT_EQ( camera->GetFrameCount(), 10u );
	gpoGraphicsMgr->DestroyCamera( id );
	delete eye;
	goProjectorMgr.RemoveReceiver( nullptr );
	floor->mpClump = nullptr;
	RpClumpDestroy( clump );
	delete floor;
	FinishSampleDisc();
}
