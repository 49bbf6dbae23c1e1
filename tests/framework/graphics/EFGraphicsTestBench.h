/*
===============================================================================

	Fixture for the graphics tests: the engine-core bench with a graphics
	manager made from an ENGINE.INI text, taken down after each test with
	whatever cameras it still holds.

===============================================================================
*/
#ifndef EF_GRAPHICS_TEST_BENCH_H
#define EF_GRAPHICS_TEST_BENCH_H

#include "../core/engine/EFCoreTestBench.h"

#include "framework/core/engine/EFAppContext.h"
#include "framework/core/engine/EFCallTrace.h"
#include "framework/core/engine/EFIniFile.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/graphics/hud/EFHudMgr.h"
#include "graphics3d/core/RwEngine.h"
#include "platform/vi/VI.h"

#include <string>
#include <vector>

class EFGraphicsTestBench : public EFCoreTestBench {
protected:
	void TearDown() override {
		EFCallTraceEnable( false );
		delete gpoGraphicsMgr;
		EXPECT_EQ( gpoHudMgr, nullptr );
		// The manager takes down what it brought up.
		EXPECT_EQ( RwEngineInstance == nullptr || RwEngineInstance->engineState == RWENGINE_STATE_IDLE, true );
		VISetPreRetraceCallback( nullptr );
		EFIniFile::GetInstance()->Clear();
		EFCoreTestBench::TearDown();
	}

	EFGraphicsMgr* Make( const std::string& ini ) {
		WriteDiscText( "ENGINE.INI", ini );
		EFIniFile::GetInstance()->Read( "ENGINE.INI" );
		return new EFGraphicsMgr( context );
	}

	static std::vector<std::string> Trace() {
		std::vector<std::string> names;
		for ( u32 i = 0; i < EFCallTraceCount(); i++ ) {
			names.push_back( EFCallTraceAt( i ) );
		}
		return names;
	}

	EFAppContext context{};

};

#endif
