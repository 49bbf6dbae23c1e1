/*
	Every checksum the engine stores in save images and card files agrees
	with zlib's CRC-32, an implementation independent of ours: images the
	engine and the writer make, and card files the save manager and the
	writer put on a host card, are written into a temporary folder and
	checked from their bytes there.
*/
#include "datatypes/memory/MMMemory.h"
#include "framework/core/save/EFLoadSaveMgr.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFGameMemoryMgr.h"
#include "platform/card/CARD.h"
#include "platform/card/CARDHost.h"
#include "support/HostTestDisc.h"
#include "tools/lib/save/ToolCardFileWriter.h"
#include "tools/lib/save/ToolSaveImageWriter.h"

#include <gtest/gtest.h>

#ifndef ENGINE_PEER_MISSING
#include <zlib.h>
#endif

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

u32 BigEndian( const std::vector<u8>& bytes, const size_t offset ) {
	return ( static_cast<u32>( bytes[offset] ) << 24 ) | ( static_cast<u32>( bytes[offset + 1] ) << 16 ) |
		   ( static_cast<u32>( bytes[offset + 2] ) << 8 ) | bytes[offset + 3];
}

std::vector<u8> ReadHostFile( const std::filesystem::path& path ) {
	std::ifstream in( path, std::ios::binary );
	return std::vector<u8>( std::istreambuf_iterator<char>( in ), {} );
}

#ifndef ENGINE_PEER_MISSING
u32 ZlibCrc( const u8* data, const size_t length ) {
	return static_cast<u32>( crc32( crc32( 0L, Z_NULL, 0 ), data, static_cast<uInt>( length ) ) );
}

// Both image checksums, recomputed with the checksum fields zeroed.
void CheckImage( const std::string& name, const std::vector<u8>& file ) {
	SCOPED_TRACE( name );
	ASSERT_GE( file.size(), 1188u );
	const u32 size = BigEndian( file, 64 );
	ASSERT_LE( size, file.size() );
	std::vector<u8> zeroed = file;
	std::memset( zeroed.data() + 68, 0, 8 );
	EXPECT_EQ( ZlibCrc( zeroed.data(), 140 ), BigEndian( file, 68 ) );
	EXPECT_EQ( ZlibCrc( zeroed.data(), size ), BigEndian( file, 72 ) );
}

// The data checksum of a card file with the 2048-byte icon.
void CheckCardFile( const std::string& name, const std::vector<u8>& file ) {
	SCOPED_TRACE( name );
	ASSERT_GE( file.size(), 2120u );
	const u32 length = BigEndian( file, 0 );
	ASSERT_LE( length, file.size() - 2120 );
	EXPECT_EQ( ZlibCrc( file.data() + 2116, length ), BigEndian( file, 2116 + length ) );
}
#endif

TEST( SaveCrcZlib, EveryImageAndCardFileWrittenAgreesWithZlib ) {
#ifdef ENGINE_PEER_MISSING
	FAIL() << "zlib was not found: install the test packages (tools/install-packages.sh test)";
#else
	HostTestDisc disc;
	ASSERT_TRUE( disc.Open( { .prefix = "save_crc_zlib_" } ) );
	ASSERT_TRUE( disc.WriteFile( "icon.rgb", ToolWriteCardIcon() ) );
	const std::filesystem::path images = disc.Root() / "images";
	std::filesystem::create_directories( images );
	auto put = [&]( const std::string& name, const std::vector<u8>& bytes ) {
		std::ofstream( images / name, std::ios::binary ).write( reinterpret_cast<const char*>( bytes.data() ),
																 static_cast<std::streamsize>( bytes.size() ) );
	};

	// Images of the engine, from game memory states of growing size.
	EFGameLogicMgr* const logic = new EFGameLogicMgr();
	EFGameMemoryMgr& memory = logic->GetGameMemoryMgr();
	EFLoadSaveBuff saver;
	for ( u32 buffers = 0; buffers < 4; buffers++ ) {
		if ( buffers > 0 ) {
			u8* const data = static_cast<u8*>( memory.GetGameBuffer( buffers, buffers * 333, 1 ) );
			ASSERT_NE( data, nullptr );
			std::memset( data, static_cast<int>( buffers * 17 ), buffers * 333 );
		}
		memory.GetLogicBlock()[buffers] = static_cast<char>( 0x80 + buffers );
		char* const image = saver.CreateBuffer( "ZLIB CHECK", "LEVEL.GCR" );
		ASSERT_NE( image, nullptr );
		const u32 size = BigEndian( std::vector<u8>( image + 64, image + 68 ), 0 );
		put( "engine" + std::to_string( buffers ) + ".sav", std::vector<u8>( image, image + size ) );
		MMFree( image );
	}
	delete logic;
	// Images of the writer.
	ToolSaveImage state;
	state.title = "WRITER";
	state.levelName = "LEVEL.GCR";
	state.buffers.push_back( { 3, 2, true, std::vector<u8>( 4096, 0xC3 ) } );
	put( "writer.sav", ToolWriteSaveImage( state ) );

	// Card files of the save manager and of the writer.
	CARDHostReset();
	CARDInit();
	EFLoadSaveMgr manager;
	ASSERT_EQ( manager.Initialize(), 1u );
	std::string comment = ToolCardFile().comment;
	comment.resize( TOOL_CARD_COMMENT_BYTES, '\0' );
	manager.SetComment( comment.c_str() );
	const u32 sizes[] = { 0, 1, 10000, 6072 };
	std::vector<std::vector<u8>> datas;
	for ( const u32 size : sizes ) {
		datas.emplace_back( size );
		for ( u32 i = 0; i < size; i++ ) {
			datas.back()[i] = static_cast<u8>( i * 31 + size );
		}
	}
	static char names[4][8] = { "SAVE0", "SAVE1", "SAVE2", "SAVE3" };
	for ( size_t i = 0; i < datas.size(); i++ ) {
		const EFLoadSaveWord write[8] = { EFLoadSaveCommandWord( EF_LS_CMD_WRITE, 7 ), reinterpret_cast<EFLoadSaveWord>( names[i] ),
										  reinterpret_cast<EFLoadSaveWord>( datas[i].data() ), sizes[i], 0, EF_LS_OPEN_CREATE, 0, 0 };
		ASSERT_EQ( manager.RegisterAction( write, EF_LS_APPEND ), 1u );
	}
	for ( u32 frame = 0; frame < 1000 && manager.IsAction(); frame++ ) {
		manager.Update();
	}
	ASSERT_EQ( manager.IsAction(), 0u );
	ASSERT_EQ( manager.GetError(), 0 );
	ToolCardFile file;
	file.data = datas[2];
	ToolCardEntry entry;
	entry.name = "WRITER";
	entry.fileNo = 4;
	entry.bytes = ToolWriteCardFile( file );
	std::string error;
	ASSERT_TRUE( ToolWriteCardFolder( disc.Root() / "card" / "B", { entry }, error ) ) << error;

	u32 checkedImages = 0;
	for ( const auto& item : std::filesystem::directory_iterator( images ) ) {
		CheckImage( item.path().filename().string(), ReadHostFile( item.path() ) );
		checkedImages++;
	}
	EXPECT_EQ( checkedImages, 5u );
	u32 checkedFiles = 0;
	for ( const char* slot : { "A", "B" } ) {
		for ( const auto& item : std::filesystem::directory_iterator( disc.Root() / "card" / slot ) ) {
			if ( item.path().filename() != "directory.txt" ) {
				CheckCardFile( item.path().filename().string(), ReadHostFile( item.path() ) );
				checkedFiles++;
			}
		}
	}
	EXPECT_EQ( checkedFiles, 5u );
	CARDHostReset();
#endif
}

} // namespace
