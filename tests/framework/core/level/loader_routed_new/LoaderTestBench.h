/*
===============================================================================

	Fixture for the level loader tests: the engine-core bench (fresh disc
	folder, host stand-ins reset) with an engine controller for the level
	TESTLVL in language FR, a HUD manager that takes the fonts and texts,
	a level writer over the disc, and stdout captured so that the loader's
	messages can be checked.

	Global new goes to the engine allocator in this program, as in the
	executable, so the level heap's reset reclaims what a level made. Waypoint
	groups and the HUD hold level objects across loads: Reload drops them
	while they are still alive, before the next load resets the heap.

===============================================================================
*/
#ifndef LOADER_TEST_BENCH_H
#define LOADER_TEST_BENCH_H

#include "framework/core/engine/EFCoreTestBench.h"

#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/waypoint/DTWpGrpMgr.h"
#include "datatypes/waypoint/DTWaypointGrp.h"
#include "framework/audio/EFNewAudioMgr.h"
#include "framework/core/engine/EFAppContext.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/core/engine/EFIniFile.h"
#include "framework/core/level/EFRessourcesMgr.h"
#include "framework/graphics/hud/EFHudMgr.h"
#include "framework/graphics/EFLoadingScreen.h"
#include "framework/graphics/EFPaletteMgr.h"
#include "framework/graphics/EFTextureDict.h"
#include "tools/lib/ToolDiscBuilder.h"
#include "tools/lib/ToolDiscLayout.h"
#include "tools/lib/level/ToolLevelFileNames.h"
#include "tools/lib/level/ToolLevelWriter.h"
#include "tools/lib/level/ToolResourceFileWriter.h"
#include "tools/lib/level/ToolWaypointWriter.h"

#include <cstring>
#include <string>
#include <vector>

constexpr const char* LOADER_TEST_LEVEL = "TESTLVL";

// Progress reports seen by the loading-screen observer. They arrive while
// the level heap is current, where a growing container's storage would not
// outlive the next load, so they go to a fixed array.
struct LoaderTestProgressLog {
	static constexpr u32	CAPACITY = 64;
	f32						values[CAPACITY] = {};
	u32						count = 0;

	void					Clear() { count = 0; }
	bool					Empty() const { return count == 0; }
	std::vector<f32>		Values() const { return std::vector<f32>( values, values + count ); }
};

inline LoaderTestProgressLog& LoaderTestProgress() {
	static LoaderTestProgressLog log;
	return log;
}

inline void LoaderTestObserve( const f32 progress ) {
	LoaderTestProgressLog& log = LoaderTestProgress();
	if ( log.count < LoaderTestProgressLog::CAPACITY ) {
		log.values[log.count++] = progress;
	}
}

// A record of the given class holding the given bytes.
inline ToolResourceRecord Record( const s32 classId, std::vector<u8> bytes ) {
	ToolResourceRecord record;
	record.classId = classId;
	record.object = std::move( bytes );
	return record;
}

class LoaderTestBench : public EFCoreTestBench {
protected:
	void SetUp() override {
		EFCoreTestBench::SetUp();
		std::memset( &context, 0, sizeof( context ) );
		std::strcpy( context.szResFilename, "LEVEL.GCR" );
		std::strcpy( context.szLevelPath, LOADER_TEST_LEVEL );
		std::strcpy( context.szLanguagePath, "FR" );
		LoaderTestProgress().Clear();
		EFLoadingScreen_SP::SetObserver( LoaderTestObserve );
		EFTextureDict::ResetBinaryLoadCount();
		testing::internal::CaptureStdout();
		capturing = true;
	}

	void TearDown() override {
		DropLevelObjects();
		delete gpoHudMgr;
		gpoHudMgr = nullptr;
		// The palette manager holds the level's palettes until the level
		// ends, as the engine's termination order has it.
		goPaletteMgr.Terminate();
		if ( gpoRessourcesMgr != nullptr ) {
			gpoRessourcesMgr->Terminate();
		}
		delete gpoEngineController;
		EFLoadingScreen_SP::SetObserver( nullptr );
		EFIniFile::GetInstance()->Clear();
		if ( capturing ) {
			Echo( testing::internal::GetCapturedStdout() );
			capturing = false;
		}
		EFCoreTestBench::TearDown();
	}

	// Makes the controller (and with it the resources manager).
	void MakeController() {
		new EFEngineController( context );
		gpoHudMgr = new EFHudMgr();
		gpoHudMgr->Init();
	}

	// Text printed since the last call. Failure reports land in the capture
	// too, so a failing test has it echoed to stderr.
	std::string Output() {
		const std::string text = testing::internal::GetCapturedStdout();
		Echo( text );
		testing::internal::CaptureStdout();
		return text;
	}

	void Echo( const std::string& text ) const {
		if ( HasFailure() ) {
			std::fputs( text.c_str(), stderr );
		}
	}

	// Drops what the last level left in the waypoint registry and the HUD.
	void DropLevelObjects() {
		DTWpGrpMgr::moWpGrpMgr.RemoveAllWaypointGrp();
		if ( gpoHudMgr != nullptr ) {
			gpoHudMgr->Terminate();
		}
	}

	s32 Load() { return gpoRessourcesMgr->LoadLevel( 0 ); }

	// Loads again after dropping the previous level's objects.
	s32 Reload() {
		DropLevelObjects();
		goPaletteMgr.Terminate();
		gpoRessourcesMgr->Terminate();
		return Load();
	}

	void WriteBytes( const std::filesystem::path& relative, const std::vector<u8>& bytes ) {
		ToolDiscBuilder disc( root / "disc" );
		std::string error;
		ASSERT_TRUE( disc.WriteFile( relative, bytes, error ) ) << error;
	}

	std::filesystem::path Language() const { return ToolDiscLayout( LOADER_TEST_LEVEL ).LevelLanguageFolder(); }
	std::filesystem::path Gen() const { return ToolDiscLayout( LOADER_TEST_LEVEL ).LevelNeutralFolder(); }

	void WriteLevelFile( const std::filesystem::path& folder, const std::string& name, const std::vector<u8>& bytes ) {
		WriteBytes( folder / name, bytes );
	}

	void WriteResourceFile( const std::string& name, const ToolResourceFile& file ) {
		WriteLevelFile( Gen(), name, ToolResourceFileWriter::Encode( file ) );
	}

	// A waypoint group record with one point (uid, uid, uid).
	static ToolResourceRecord WaypointRecord( const u32 uid ) {
		ToolWaypointGroup group;
		group.uid = uid;
		group.count = 1;
		const f32 value = static_cast<f32>( uid );
		group.points = { value, value, value };
		ToolBigEndianWriter out;
		ToolWaypointWriter::WriteGroup( out, group );
		return Record( TOOL_CLASS_WAYPOINT_GROUP, out.Take() );
	}

	static bool GroupLoaded( const u32 uid ) {
		const DTWaypointGrp* const group = DTWpGrpMgr::moWpGrpMgr.GetWaypointGrp( uid );
		DTVector3d point;
		return group != nullptr && group->GetPoint( 0, point ) && point.x == static_cast<f32>( uid );
	}

	EFAppContext	context;
	bool			capturing = false;
};

#endif
