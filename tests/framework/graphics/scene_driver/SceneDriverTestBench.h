/*
===============================================================================

	Fixture for the scene tests on the console driver: a graphics manager
	made from an ENGINE.INI text opens the library; drawing is observed
	through the GPU log, time through the virtual clock.

===============================================================================
*/
#ifndef SCENE_DRIVER_TEST_BENCH_H
#define SCENE_DRIVER_TEST_BENCH_H

#include "framework/graphics/EFGraphicsTestBench.h"
#include "graphics3d/gamecube/RwDlTestDriver.h"

#include "framework/graphics/EFCamera.h"
#include "platform/gx/GXHost.h"
#include "platform/host/HostClock.h"
#include "platform/vi/VIHost.h"

// Opens the screen size to the tests.
struct SceneScreenAccess : EFGraphicsMgr_BC {
	static constexpr u32 EFGraphicsMgr_BC::*width = &SceneScreenAccess::mui32ScreenWidth;
	static constexpr u32 EFGraphicsMgr_BC::*height = &SceneScreenAccess::mui32ScreenHeight;
};

class SceneDriverTest : public EFGraphicsTestBench {
protected:
	void SetUp() override {
		EFGraphicsTestBench::SetUp();
		RwDlTestResetDriver();
		GXHostReset();
		VIHostReset();
		VIInit();
		HostClockUseVirtual( 0 );
	}

	void TearDown() override {
		if ( camera != nullptr ) {
			delete camera;
			camera = nullptr;
		}
		EFGraphicsTestBench::TearDown();
		VIHostReset();
		HostClockUseReal();
	}

	// The manager, and a camera whose update is begun when updating.
	EFGraphicsMgr* Start( const bool updating ) {
		EFGraphicsMgr* const manager = Make( "" );
		camera = new EFCamera( nullptr );
		if ( updating ) {
			camera->Begin();
		}
		GXHostClearLog();
		return manager;
	}

	static void SetScreen( const u32 width, const u32 height ) {
		gpoGraphicsMgr->*SceneScreenAccess::width = width;
		gpoGraphicsMgr->*SceneScreenAccess::height = height;
	}

	// Every draw of the frames the log keeps, oldest first.
	static std::vector<const GXHostDraw*> Draws() {
		std::vector<const GXHostDraw*> draws;
		for ( const GXHostFrame& frame : GXHostFrames() ) {
			for ( const GXHostDraw& draw : frame.draws ) {
				draws.push_back( &draw );
			}
		}
		return draws;
	}

	static u32 Records() {
		u32 records = 0;
		for ( const GXHostFrame& frame : GXHostFrames() ) {
			records += static_cast<u32>( frame.records.size() );
		}
		return records;
	}

	EFCamera* camera = nullptr;
};

#endif
