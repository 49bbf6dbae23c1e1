#include "EFGraphicsTestBench.h"

#include "datatypes/file/DTDiscMessage.h"
#include "framework/core/engine/EFAppContext.h"
#include "framework/core/engine/EFCallTrace.h"
#include "framework/core/engine/EFIniFile.h"
#include "framework/core/world/EFInstanceFlags.h"
#include "framework/graphics/EFSlideShow.h"
#include "framework/graphics/ApAtomicDataPlugin.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/graphics/animation/EFTexFaderRW.h"
#include "framework/graphics/effects/EFLensFlareFX.h"
#include "framework/physics/ApCollisionPrimitivesPlugin.h"
#include "framework/graphics/hud/EFHudMgr.h"
#include "graphics3d/core/RwEngine.h"
#include "platform/gx/GXRenderMode.h"
#include "platform/vi/VI.h"
#include "platform/vi/VIHost.h"
#include "graphics3d/testdevice/TestDevice.h"
#include "platform/gx/GX.h"
#include "platform/gx/GXHost.h"

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

u32 gForwarded = 0;

void CountRetrace( u32 ) {
	gForwarded++;
}

class EFGraphicsMgrTest : public EFGraphicsTestBench {};

TEST_F( EFGraphicsMgrTest, StartsTheLibraryWithTheFilterTheBrightnessScales ) {
	struct Row {
		const char*	ini;
		f32			scale;
	};
	const Row rows[] = {
		{ "BrightnessLevel = 0\n", 0.0f },	 { "", 1.0f },
		{ "BrightnessLevel = 1.0\n", 2.0f }, { "BrightnessLevel = 2.0\n", 2.0f },
		{ "BrightnessLevel = -1\n", 0.0f },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.ini );
		EFCallTraceEnable( true );
		EFGraphicsMgr* const manager = Make( row.ini );
		const std::vector<std::string> trace = Trace();
		EFCallTraceEnable( false );
		ASSERT_NE( RwEngineInstance, nullptr );
		EXPECT_EQ( RwEngineInstance->engineState, RWENGINE_STATE_STARTED );
		for ( u32 i = 0; i < 7; i++ ) {
			EXPECT_EQ( g_rmode.vfilter[i], static_cast<u8>( static_cast<f32>( GXNtsc480IntDf.vfilter[i] ) * row.scale ) ) << i;
		}
		// The engine's own plug-ins attach after the library's, in order.
		EXPECT_TRUE( trace.empty() );
		EXPECT_GT( EFTexFader_SP::muiTFPOffset.Get(), 0 );
		EXPECT_GE( RpAtomicGetPluginOffset( AP_ATOMIC_DATA_PLUGIN_ID ), 0 );
		// Clumps carry the collision-primitive extension.
		EXPECT_GE( ApCollisionPrimitivesOffset(), 0 );
		// The test device's one video mode is exclusive: it sizes the screen.
		ASSERT_EQ( manager->GetDisplayModes().GetSize(), 1u );
		EXPECT_EQ( manager->GetScreenWidth(), static_cast<u32>( manager->GetDisplayModes()[0].width ) );
		EXPECT_NE( manager->GetCameraRaster(), nullptr );
		EXPECT_NE( manager->GetDepthRaster(), nullptr );
		delete manager;
		// A later library without the fader's plug-in is never written at
		// the old offset.
		EXPECT_EQ( EFTexFader_SP::muiTFPOffset.Get(), -1 );
	}
}

TEST_F( EFGraphicsMgrTest, ForwardsEveryOrEveryOtherRetraceAndNothingWithoutACallback ) {
	struct Row {
		const char*	ini;
		bool		previous;
		u32			forwarded;
	};
	const Row rows[] = {
		{ "", true, 30 },
		{ "MaxFPS = 60\n", true, 60 },
		{ "MaxFPS = 25\n", true, 60 },
		// Nothing was installed before: nothing is called.
		{ "", false, 0 },
		{ "MaxFPS = 60\n", false, 0 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.ini );
		VISetPreRetraceCallback( row.previous ? CountRetrace : nullptr );
		EFGraphicsMgr* const manager = Make( row.ini );
		const VIRetraceCallback installed = VISetPreRetraceCallback( nullptr );
		ASSERT_NE( installed, nullptr );
		gForwarded = 0;
		for ( u32 count = 1; count <= 60; count++ ) {
			installed( count );
		}
		EXPECT_EQ( gForwarded, row.forwarded );
		VISetPreRetraceCallback( installed );
		delete manager;
		// The callback that was there before is back.
		EXPECT_EQ( VISetPreRetraceCallback( nullptr ), row.previous ? CountRetrace : nullptr );
	}
}

TEST_F( EFGraphicsMgrTest, DrawsEachCameraInItsPassOrderThenTheSlideShowAndFlip ) {
	// The screen effects' place in the pass is checked by their draws
	// (tests/framework/graphics/effects_driver).
	const std::vector<std::string> passes = {
	};
	struct Row {
		const char*					name;
		u32							flags[2];
		bool						active[2];
		std::vector<std::string>	expected;
		u32							hudFrames;
	};
	std::vector<std::string> both = passes;
	both.insert( both.end(), passes.begin(), passes.end() );
	const std::vector<std::string> one = passes;
	const Row rows[] = {
		{ "flags 0 only clear", { 0, 0 }, { true, false }, {}, 0 },
		{ "default flags", { EF_CAMERA_DEFAULT_RENDER_FLAGS, 0 }, { true, false }, one, 1 },
		{ "inactive camera with the HUD bit", { 0x80, 0 }, { false, false }, {}, 1 },
		{ "two cameras in slot order", { EF_CAMERA_DEFAULT_RENDER_FLAGS, EF_CAMERA_DEFAULT_RENDER_FLAGS },
		  { true, true }, both, 2 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFGraphicsMgr* const manager = Make( "" );
		ASSERT_EQ( manager->Initialize(), 1u );
		const u32 count = row.flags[1] != 0 ? 2 : 1;
		for ( u32 slot = 0; slot < count; slot++ ) {
			EFCamera* const camera = manager->GetCamera( manager->CreateCamera( nullptr ) );
			ASSERT_NE( camera, nullptr );
			camera->muiRenderFlags = row.flags[slot];
			if ( !row.active[slot] ) {
				camera->muiFlags &= ~EF_INSTANCE_ACTIVE;
			}
		}
		EFCallTraceEnable( true );
		manager->Render();
		EXPECT_EQ( Trace(), row.expected );
		EFCallTraceEnable( false );
		// The HUD draws one frame with its own camera per camera asking.
		const EFCamera* const hudCamera = gpoHudMgr->GetHudCamera();
		EXPECT_EQ( hudCamera != nullptr ? hudCamera->GetFrameCount() : 0u, row.hudFrames );
		// Cameras left in their slots go with the manager.
		delete manager;
	}
}

TEST_F( EFGraphicsMgrTest, APauseStopsTheFlipAndKeepsTheMessageBufferUntilTheNextOne ) {
	EFGraphicsMgr* const manager = Make( "" );
	gTempFB = MMMalloc( 64 );
	ASSERT_NE( gTempFB, nullptr );
	manager->Pause( 1 );
	// A loading slide show takes one load step per drawn frame.
	EFSlideShow::Create( 3 );
	ASSERT_NE( EFSlideShow::poSlideShow, nullptr );
	manager->Render();
	EXPECT_EQ( EFSlideShow::poSlideShow->muiLoadStep, 0u );
	EXPECT_NE( gTempFB, nullptr );
	manager->Pause( 0 );
	manager->Render();
	EXPECT_EQ( EFSlideShow::poSlideShow->muiLoadStep, 1u );
	EXPECT_EQ( gTempFB, nullptr );
	EFSlideShow::Destroy();
	delete manager;
}

TEST_F( EFGraphicsMgrTest, TerminateEmptiesTheHudAndTheDictionary ) {
	EFGraphicsMgr* const manager = Make( "" );
	ASSERT_EQ( manager->Initialize(), 1u );
	goLensFlareFX.mbActive = 1;
	// The fader's entries go with it.
	ASSERT_NE( EFTexFader_BC::AddEntry(), nullptr );
	manager->Terminate();
	EXPECT_EQ( EFTexFader_BC::FirstActiveAtomic, nullptr );
	EXPECT_EQ( goLensFlareFX.mbActive, 0u );
	EXPECT_EQ( gpoHudMgr->GetTextTable(), nullptr );
	delete manager;
}

}

namespace {

std::vector<u32> gAttached;
s32 gAttachResults[EF_PLUGIN_ATTACH_STEPS];

template <u32 STEP>
s32 RecordAttach() {
	gAttached.push_back( STEP );
	return gAttachResults[STEP];
}

// Swaps the attach steps for recording ones while alive.
class RecordedAttachSteps {
public:
	RecordedAttachSteps() {
		std::memcpy( saved, gaoPlugInAttachSteps, sizeof( saved ) );
		s32 ( *const recorders[] )() = { RecordAttach<0>, RecordAttach<1>, RecordAttach<2>, RecordAttach<3>,
										 RecordAttach<4>, RecordAttach<5>, RecordAttach<6> };
		for ( u32 i = 0; i < EF_PLUGIN_ATTACH_STEPS; i++ ) {
			gaoPlugInAttachSteps[i].attach = recorders[i];
			gAttachResults[i] = 1;
		}
		gAttached.clear();
	}
	~RecordedAttachSteps() { std::memcpy( gaoPlugInAttachSteps, saved, sizeof( saved ) ); }

private:
	EFPlugInAttachStep_s saved[EF_PLUGIN_ATTACH_STEPS];
};

TEST_F( EFGraphicsMgrTest, TheFirstFailingTestedAttachEndsTheSequenceButNotStartUp ) {
	struct Row {
		s32		step;		// -1: none fails
		s32		value;
		u32		ran;		// steps that ran
		s32		result;
	};
	const Row rows[] = {
		{ -1, 0, 7, 1 },
		{ 0, 0, 1, 0 },
		{ 1, 0, 2, 0 },
		{ 2, 0, 3, 0 },
		{ 2, 2, 3, 2 },
		{ 3, -1, 4, -1 },
		// The texture fader's result is not looked at.
		{ 4, 0, 7, 1 },
		{ 5, 0, 6, 0 },
		{ 5, 3, 6, 3 },
		// The atomic data's result is the result.
		{ 6, 0, 7, 0 },
		{ 6, 5, 7, 5 },
	};
	EFGraphicsMgr* const manager = Make( "" );
	for ( const Row& row : rows ) {
		SCOPED_TRACE( testing::Message() << "step " << row.step << " gives " << row.value );
		RecordedAttachSteps steps;
		if ( row.step >= 0 ) {
			gAttachResults[row.step] = row.value;
		}
		EFCoreTestSeen().reports.clear();
		EXPECT_EQ( manager->AttachPlugins(), row.result );
		std::vector<u32> expected;
		for ( u32 i = 0; i < row.ran; i++ ) {
			expected.push_back( i );
		}
		EXPECT_EQ( gAttached, expected );
		const EFPlugInTest_e test = row.step >= 0 ? gaoPlugInAttachSteps[row.step].test : EF_PLUGIN_UNTESTED;
		const bool reported = ( test == EF_PLUGIN_FAILS_UNLESS_ONE && row.value != 1 ) ||
							  ( ( test == EF_PLUGIN_FAILS_ON_ZERO || test == EF_PLUGIN_IS_RESULT ) && row.value == 0 );
		EXPECT_EQ( EFCoreTestSeen().reports.size(), reported ? 1u : 0u );
		if ( reported && !EFCoreTestSeen().reports.empty() ) {
			EXPECT_NE( EFCoreTestSeen().reports[0].find( gaoPlugInAttachSteps[row.step].name ), std::string::npos );
		}
	}
	delete manager;

	// A failed attach does not stop start-up.
	RecordedAttachSteps steps;
	gAttachResults[0] = 0;
	EFGraphicsMgr* const started = Make( "" );
	EXPECT_EQ( gAttached, std::vector<u32>{ 0 } );
	ASSERT_NE( RwEngineInstance, nullptr );
	EXPECT_EQ( RwEngineInstance->engineState, RWENGINE_STATE_STARTED );
	EXPECT_NE( started->GetCameraRaster(), nullptr );
}

TEST_F( EFGraphicsMgrTest, TheRenderModeFollowsTheConsoleTvFormatAndAnUnknownOnePanics ) {
	struct Row {
		u32						format;
		const GXRenderModeObj*	mode;
	};
	const Row rows[] = {
		{ VI_NTSC, &GXNtsc480IntDf },
		{ VI_PAL, &GXPal528IntDf },
		{ VI_MPAL, &GXMpal480IntDf },
		{ VI_EURGB60, &GXEurgb60Hz480IntDf },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.format );
		VIHostSetTvFormat( row.format );
		EFGraphicsMgr* const manager = Make( "DisplayMode = pal\n" );
		EXPECT_EQ( g_rmode.viTVmode, row.mode->viTVmode );
		// Sixteen lines of overscan come off the top and the bottom.
		EXPECT_EQ( g_rmode.efbHeight, row.mode->efbHeight - 32 );
		// The TV mode is the DisplayMode's, whatever the console says.
		EXPECT_EQ( manager->GetTVMode(), EF_TV_MODE_PAL );
		delete manager;
	}
	VIHostSetTvFormat( 3 );
	const u32 heap = ui32CurrentHeap;
	EXPECT_THROW( Make( "" ), std::runtime_error );
	ASSERT_EQ( EFCoreTestSeen().panics.size(), 1u );
	EXPECT_EQ( EFCoreTestSeen().panics[0], "EFGraphicsMgrRW:192:DEMOInit: invalid TV format\n" );
	// The panic stops the console; here the half-made start-up is undone.
	RwEngineTerm();
	MMReplaceHeap();
	EXPECT_EQ( ui32CurrentHeap, heap );
	VIHostSetTvFormat( VI_NTSC );
}

}

namespace {

TEST_F( EFGraphicsMgrTest, TheStencilFollowsTheIniOnEveryCallAndRestoresTheSavedBlendOnce ) {
	EFGraphicsMgr* const manager = Make( "" );
	EFCamera* const camera = manager->GetCamera( manager->CreateCamera( nullptr ) );
	ASSERT_NE( camera, nullptr );
	constexpr s32 SRC_BLEND = 10;
	auto blendsSet = []() {
		std::vector<uintptr_t> values;
		for ( const TestDeviceCall& call : TestDeviceCalls() ) {
			if ( call.kind == TestDeviceCall::RENDER_STATE_SET && call.state == SRC_BLEND ) {
				values.push_back( reinterpret_cast<uintptr_t>( call.value ) );
			}
		}
		return values;
	};
	struct Row {
		const char*				ini;
		bool					writes;
		std::vector<uintptr_t>	blends;
	};
	// The blend before the first read is 5; it is saved once, however
	// often the read goes on, and put back once.
	const Row rows[] = {
		{ "", true, { 8, 8, 5 } },
		{ "Stencil = 1\n", true, { 8, 8, 5 } },
		{ "Stencil = 0\n", false, {} },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.ini );
		// The key is read again on every call, not kept from start-up.
		WriteDiscText( "ENGINE.INI", row.ini );
		EFIniFile::GetInstance()->Read( "ENGINE.INI" );
		GXSetAlphaUpdate( GX_FALSE );
		manager->EnableStencilWrite( 1 );
		EXPECT_EQ( GXHostState().alphaUpdate, row.writes ? GX_TRUE : GX_FALSE );
		manager->EnableStencilWrite( 0 );
		EXPECT_EQ( GXHostState().alphaUpdate, GX_FALSE );
		TestDeviceSetRenderStateValue( reinterpret_cast<void*>( 5 ) );
		TestDeviceClearCalls();
		// Render states are set inside a camera update.
		camera->Begin();
		manager->EnableStencilRead( 1 );
		TestDeviceSetRenderStateValue( reinterpret_cast<void*>( 8 ) );
		manager->EnableStencilRead( 1 );
		manager->EnableStencilRead( 0 );
		manager->EnableStencilRead( 0 );
		camera->End();
		EXPECT_EQ( blendsSet(), row.blends );
		EXPECT_EQ( manager->GetSavedSrcBlend(), EF_NO_SAVED_BLEND );
	}
}

}
