/*
	A save read back from the memory card: the card's directory and one
	card file, read by the save manager through the host card library.

	Input: a 16-bit big-endian length n, n bytes of directory.txt, then the
	bytes of the card file "SAVE" in slot A.
*/
#include "FuzzTarget.h"

#include "framework/core/save/EFLoadSaveMgr.h"
#include "platform/card/CARD.h"
#include "platform/card/CARDHost.h"
#include "tools/lib/save/ToolCardFileWriter.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

// Frames after which a read must have ended.
constexpr u32 FRAME_LIMIT = 200;

void ReadCardFile( const u8* data, const size_t size ) {
	static bool iconWritten = false;
	if ( !iconWritten ) {
		const std::vector<u8> icon = ToolWriteCardIcon();
		FuzzCheck( FuzzDiscWriteFile( "icon.rgb", icon.data(), icon.size() ), "the icon does not write" );
		iconWritten = true;
	}
	const size_t directoryBytes = size >= 2 ? ( static_cast<size_t>( data[0] ) << 8 ) | data[1] : 0;
	const size_t fileStart = std::min( size, 2 + directoryBytes );
	const char* const text = reinterpret_cast<const char*>( data );
	const std::string directory( text + std::min<size_t>( size, 2 ), text + fileStart );
	const std::filesystem::path slot = std::filesystem::path( FuzzDiscFolder() ).parent_path() / "card" / "A";
	std::filesystem::create_directories( slot );
	{
		FILE* const file = std::fopen( ( slot / "directory.txt" ).c_str(), "wb" );
		FuzzCheck( file != nullptr, "the directory does not write" );
		std::fwrite( directory.data(), 1, directory.size(), file );
		std::fclose( file );
		FILE* const save = std::fopen( ( slot / "SAVE" ).c_str(), "wb" );
		FuzzCheck( save != nullptr, "the card file does not write" );
		std::fwrite( data + fileStart, 1, size - fileStart, save );
		std::fclose( save );
	}
	CARDHostReset();
	CARDInit();
	// One manager for the run, as in the engine; the icon stays loaded.
	static EFLoadSaveMgr* const manager = new EFLoadSaveMgr();
	manager->Initialize();
	static char name[] = "SAVE";
	const EFLoadSaveWord read[5] = { EFLoadSaveCommandWord( EF_LS_CMD_READ, 4 ), reinterpret_cast<EFLoadSaveWord>( name ), 0, 0, 0 };
	FuzzCheck( manager->RegisterAction( read, EF_LS_APPEND ) == 1, "the read is refused" );
	for ( u32 frame = 0; frame < FRAME_LIMIT && manager->IsAction(); frame++ ) {
		manager->Update();
	}
	FuzzCheck( manager->IsAction() == 0, "the read never ends" );
	FuzzCheck( manager->GetReadBuffer() == nullptr, "the read buffer outlives the queue" );
	CARDHostReset();
}

void AddSeed( std::vector<FuzzSeed>& seeds, const std::string& name, const ToolCardEntry& entry ) {
	const std::string directory = ToolCardDirectoryText( { entry } );
	std::vector<u8> bytes = { static_cast<u8>( directory.size() >> 8 ), static_cast<u8>( directory.size() ) };
	bytes.insert( bytes.end(), directory.begin(), directory.end() );
	bytes.insert( bytes.end(), entry.bytes.begin(), entry.bytes.end() );
	seeds.push_back( { name, bytes } );
}

} // namespace

FUZZ_TARGET( card_file ) {
	FuzzWithoutArenaLeak( ReadCardFile, data, size );
}

static void FuzzSeeds_card_file( std::vector<FuzzSeed>& seeds ) {
	ToolCardEntry entry;
	entry.name = "SAVE";
	ToolCardFile file;
	file.data = { 'd', 'a', 't', 'a' };
	entry.bytes = ToolWriteCardFile( file );
	AddSeed( seeds, "small.card", entry );
	file.data.assign( 10000, 0x42 );
	entry.bytes = ToolWriteCardFile( file );
	AddSeed( seeds, "two-sectors.card", entry );
	entry.iconAddr = TOOL_CARD_ADDRESS_NONE;
	AddSeed( seeds, "no-icon.card", entry );
}
