/*
	The sample disc booted in-process on the console driver with screen
	effects on its model object: the lens flare, a sprite group on the
	object and a trail along two of its joints add, to every frame camera
	0 draws, one sprite batch after the objects, one trail strip and then
	four flare squares.
*/
#include "SampleDriverTestBench.h"
#include "graphics3d/gamecube/RwDlTestDriver.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/core/world/EFGameObjectFlags.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/graphics/effects/EFLensFlareFX.h"
#include "framework/graphics/effects/EFMotionTrailMgr.h"
#include "framework/graphics/effects/EFSprite.h"
#include "framework/graphics/effects/EFSpriteGroup.h"
#include "framework/graphics/effects/EFSpriteMgr.h"
#include "graphics3d/core/RwCamera.h"
#include "platform/gx/GXHost.h"
#include "platform/vi/VI.h"
#include "platform/vi/VIHost.h"
#include "tools/lib/level/ToolSampleObjects.h"
#include "tools/lib/level/ToolSampleTextures.h"

#include <string>

namespace {

class EFSampleEffectsTest : public SampleDriverTestBench {
protected:
	struct Counts {
		u32			squares = 0;	// immediate six-vertex triangle lists
		u32			strips = 0;		// immediate triangle strips
		std::string	order;			// s for a square, t for a strip, d for the rest
	};

	// Draws of the last whole frame (the newest in the log is under way).
	static Counts LastFrame() {
		Counts counts;
		const auto& frames = GXHostFrames();
		if ( frames.size() < 2 ) {
			return counts;
		}
		for ( const GXHostDraw& draw : frames[frames.size() - 2].draws ) {
			const bool square = !draw.fromDisplayList && draw.primitive == GX_TRIANGLES && draw.vertices.size() == 6;
			const bool strip = !draw.fromDisplayList && draw.primitive == GX_TRIANGLESTRIP;
			counts.squares += square ? 1 : 0;
			counts.strips += strip ? 1 : 0;
			counts.order += square ? 's' : strip ? 't' : 'd';
		}
		return counts;
	}

	// The draws of after that are not those of before, in order: before's
	// draws matched in turn as a subsequence of after (the level's own
	// draws, the particles and the HUD, keep their order around the
	// effects).
	static std::string Added( const std::string& before, const std::string& after ) {
		std::string added;
		size_t next = 0;
		for ( const char draw : after ) {
			if ( next < before.size() && before[next] == draw ) {
				next++;
			} else {
				added += draw;
			}
		}
		return next == before.size() ? added : "before's draws are missing";
	}
};

TEST_F( EFSampleEffectsTest, FlareSpritesAndATrailOnTheModelObjectDrawEveryFrame ) {
	ASSERT_NO_FATAL_FAILURE( WriteSampleDisc() );
	ASSERT_NO_FATAL_FAILURE( StartSampleDisc( 1 ) );
	DTFrame* const eye = new DTFrame;
	const u32 id = gpoGraphicsMgr->CreateCamera( eye );
	ASSERT_EQ( gpoGraphicsMgr->GetCamera( 0 ), gpoGraphicsMgr->GetCamera( id ) );
	RwCameraSetFarClipPlane( gpoGraphicsMgr->GetCamera( id )->mpoRwCamera, 1000.0f );
	gpoGraphicsMgr->GetCamera( id )->muiPlanesDirty = 1;
	// By the third frame the water and the fog have laid their grids out.
	RunMoreFrames( 3 );
	const Counts before = LastFrame();

	goLensFlareFX.mbActive = 1;
	goLensFlareFX.mfSunPosition[2] = 100.0f;
	EFSpriteGroup* const group = goSpriteMgr.AddSpriteGroup();
	group->SetTexture( TOOL_SAMPLE_SPRITE_TEXTURE );
	group->SetBlendMode( 1 );
	ASSERT_NE( group->mpoTexture, nullptr );
	const u32 sprite = group->AddSprite( TOOL_SAMPLE_MODEL_OBJECT_ID, EF_OWN_FRAME_JOINT, 0.5f );
	ASSERT_NE( group->GetSprite( sprite )->GetFrame(), nullptr );
	const u32 trail = goMotionTrailMgr.CreateSystem( 2, 8, 0 );
	for ( u32 point = 0; point < 2; point++ ) {
		goMotionTrailMgr.SetJoint( trail, point, TOOL_SAMPLE_MODEL_OBJECT_ID, point );
		goMotionTrailMgr.SetLifeSpan( trail, point, 1.0f );
		goMotionTrailMgr.SetRGB( trail, point, 1.0f, 0.5f, 0.25f );
	}
	goMotionTrailMgr.Start( trail );
	goMotionTrailMgr.SetFrequency( trail, 0.0f );
	for ( u32 frame = 0; frame < 10; frame++ ) {
		RunMoreFrames( 1 );
		const Counts after = LastFrame();

		EXPECT_EQ( after.squares - before.squares, 5u ) << frame;
		EXPECT_EQ( after.strips - before.strips, 1u ) << frame;
		// The sprites' normal pass after the objects, the trail, then the
		// flare's four elements.
		EXPECT_EQ( Added( before.order, after.order ), "stssss" ) << frame;
	}
	// The trail follows the skeleton's first two joints.
	EXPECT_NE( goMotionTrailMgr.GetSystem( trail )->pPoints[1].pFrame, nullptr );
	goMotionTrailMgr.Terminate();
	goSpriteMgr.Terminate();
	goLensFlareFX.Terminate();
	gpoGraphicsMgr->DestroyCamera( id );
	delete eye;
	FinishSampleDisc();
}

} // namespace
