/*
	A save image as the engine controller receives it: checked whole, then
	restored into the game memory, which is emptied again afterwards.
*/
#include "FuzzTarget.h"

#include "framework/core/save/EFLoadSaveBuff.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFGameMemoryMgr.h"
#include "tools/lib/save/ToolSaveImageWriter.h"

namespace {

void RestoreImage( const u8* data, const size_t size ) {
	// The game logic manager publishes itself; one for the whole run.
	static EFGameLogicMgr* const logic = new EFGameLogicMgr();
	std::vector<char> image( data, data + size );
	const u32 length = static_cast<u32>( image.size() );
	EFLoadSaveBuff saver;
	const u32 verified = saver.VerifyImage( image.empty() ? nullptr : image.data(), length );
	const u32 restored = saver.UpdateEngineData( image.empty() ? nullptr : image.data(), length );
	FuzzCheck( verified == restored, "the check and the restore disagree" );
	logic->GetGameMemoryMgr().KillAllGameBuffers();
}

} // namespace

FUZZ_TARGET( save_image ) {
	FuzzWithoutArenaLeak( RestoreImage, data, size );
}

static void FuzzSeeds_save_image( std::vector<FuzzSeed>& seeds ) {
	ToolSaveImage state;
	state.title = "FUZZ";
	state.levelName = "LEVEL1.GCR";
	state.logicBlock = { 1, 2, 3, 4 };
	seeds.push_back( { "no-buffers.sav", ToolWriteSaveImage( state ) } );
	state.buffers.push_back( { 7, 1, true, { 'a', 'b', 'c', 'd' } } );
	state.buffers.push_back( { 9, 0, true, std::vector<u8>( 100, 0x5A ) } );
	seeds.push_back( { "two-buffers.sav", ToolWriteSaveImage( state ) } );
}
