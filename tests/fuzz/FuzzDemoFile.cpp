/*
	Demo files through the replay: the file is put in a temporary disc
	write folder and played, then the replay runs frame by frame (steps and
	three actions replaced) until it ends or the frame budget is spent. The
	save image the replay hands over is dropped (its checks are the save
	image's own).
*/
#include "FuzzTarget.h"

#include "Engine/implementation/GC/EIDiscWrite.h"
#include "datatypes/file/DTFile.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/core/engine/EFAppContext.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/core/input/EFDemoLoop.h"
#include "platform/host/HostSettings.h"
#include "tools/lib/ToolFile.h"
#include "tools/lib/demo/ToolDemoFile.h"
#include "tools/lib/save/ToolSaveImageWriter.h"

#include <cstring>
#include <filesystem>
#include <string>

namespace {

// Frames a replay may take; a longer one is stopped.
constexpr u32 FRAME_BUDGET = 2048;

char demoPath[] = "FUZZ.DEM";

// The engine controller the replay reports to: the one a target before
// made, or a new one kept for the run.
EFEngineController* Controller() {
	if ( gpoEngineController == nullptr ) {
		static EFAppContext context;
		std::memset( static_cast<void*>( &context ), 0, sizeof( context ) );
		std::strcpy( context.szResFilename, "START.GCR" );
		// The controller's graphics manager brings the library up itself:
		// one an earlier target kept goes first, or the controller's
		// camera would live in memory that target later frees.
		FuzzRwStop();
		new EFEngineController( context );
	}
	return gpoEngineController;
}

// Points the disc write folder at a folder beside the shared disc for the
// length of one input, so the other targets keep the console's behaviour.
class WriteFolder {
public:
	// The shared disc is made (and the settings pointed at it) first.
	WriteFolder() : folder( std::filesystem::path( FuzzDiscFolder() ).parent_path() / "write" ), saved( HostGetSettings() ) {
		std::string error;
		FuzzCheck( ToolMakeFolders( folder, error ), "cannot make the write folder" );
		HostSettings settings = saved;
		std::snprintf( settings.discWriteFolder, sizeof( settings.discWriteFolder ), "%s", folder.c_str() );
		HostSettingsOverride( settings );
		FuzzCheck( EIInstallDiscWriteHook(), "the write hook is not installed" );
		path = folder / demoPath;
	}
	~WriteFolder() {
		HostSettingsOverride( saved );
		EIInstallDiscWriteHook();
	}

	std::filesystem::path	path;

private:
	std::filesystem::path	folder;
	HostSettings			saved;
};

void Replay( const u8* data, const size_t size ) {
	EFEngineController* const controller = Controller();
	WriteFolder folder;
	std::string error;
	FuzzCheck( ToolWriteFile( folder.path, std::span<const u8>( data, size ), error ), "cannot write the demo file" );
	EFDemoLoop& demo = controller->GetDemoLoop();
	demo.Play( demoPath, nullptr );
	FuzzCheck( DTNbrFileInUse() == 0, "the replay leaves its file open" );
	MMFree( controller->GetPendingSaveImage() );
	controller->SetPendingSaveImage( nullptr, 0 );
	controller->ClearFlags( EF_CONTROLLER_LEVEL_PENDING );
	for ( u32 frame = 0; frame < FRAME_BUDGET && demo.GetState() != EF_DEMO_IDLE; frame++ ) {
		demo.StartFrame();
		f32 step = 0.02f;
		demo.UpdateDeltaTime( &step );
		for ( s32 id = 0; id < 3; id++ ) {
			ActionState previous;
			ActionState current;
			demo.UpdateAction( &id, &previous, &current );
		}
		demo.EndFrame();
	}
	demo.Stop();
	controller->ClearFlags( EF_CONTROLLER_LEVEL_PENDING );
}

} // namespace

FUZZ_TARGET( demo_file ) {
	FuzzWithoutArenaLeak( Replay, data, size );
}

static void FuzzSeeds_demo_file( std::vector<FuzzSeed>& seeds ) {
	ToolDemoFile demo;
	demo.seed = 0x1234;
	for ( u16 frame = 0; frame < 12; frame++ ) {
		ToolDemoBlock block;
		block.step = 0.02f;
		if ( frame % 3 == 0 ) {
			block.records.push_back( { 1, 0.5f, -0.5f, 0x20002 } );
			block.records.push_back( { 2, 0.0f, 0.0f, 0x10029 } );
		}
		demo.blocks.push_back( block );
	}
	ToolSaveImage image;
	image.title = "Demo Save";
	image.levelName = "START.GCR";
	image.buffers.push_back( { 7, 0, true, { 1, 2, 3, 4 } } );
	demo.image = ToolWriteSaveImage( image );
	seeds.push_back( { "twelve-frames.dem", ToolWriteDemoFile( demo ) } );
	demo.image.clear();
	demo.blocks.resize( 2 );
	seeds.push_back( { "no-image.dem", ToolWriteDemoFile( demo ) } );
}
