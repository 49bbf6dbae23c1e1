#include "graphics3d/core/RwTextureChunk.h"
#include "graphics3d/core/RwTextureRead.h"
#include "RwTextureTestFiles.h"

#include <string>

namespace {

// What the switches were while the read callback ran.
struct SeenSwitches {
	static inline bool mipmapping = false;
	static inline bool automatic = false;
	static inline s32 reads = 0;
};

RwTexture* RecordingRead( const char* name, const char* maskName ) {
	SeenSwitches::mipmapping = RwTextureGetMipmapping();
	SeenSwitches::automatic = RwTextureGetAutoMipmapping();
	SeenSwitches::reads++;
	return TextureDefaultRead( name, maskName );
}

// Extension data of a test plug-in: the bytes it was given.
struct ExtensionSeen {
	static inline std::vector<u8> bytes;
};

RwStream* ReadExtension( RwStream* stream, const s32 length, void*, s32, s32 ) {
	ExtensionSeen::bytes.assign( static_cast<size_t>( length ), 0 );
	return RwStreamRead( stream, ExtensionSeen::bytes.data(), static_cast<u32>( length ) ) == static_cast<u32>( length ) ? stream
																													   : nullptr;
}

class RwTextureChunkTest : public RwTextureFileTestCase {
protected:
	void SetUp() override {
		RwTextureFileTestCase::SetUp();
		WriteImage( "brick", RwTestSolid( 2, 2, { 9, 8, 7, 255 } ) );
		WriteImage( "brickm1", RwTestSolid( 1, 1, { 9, 8, 7, 255 } ) );
		_rwTextureGlobals()->textureReadFunc = RecordingRead;
		SeenSwitches::reads = 0;
		ExtensionSeen::bytes.clear();
	}
	// A texture chunk; the struct payload is the given bytes.
	static std::vector<u8> TextureChunk( const std::vector<u8>& structPayload, const char* name, const char* mask,
										 const std::vector<u8>& extension = {} ) {
		ToolChunkWriter writer;
		writer.BeginChunk( rwID_TEXTURE );
		writer.BeginChunk( rwID_STRUCT );
		writer.WriteBytes( structPayload );
		writer.EndChunk();
		writer.WriteStringChunk( name );
		writer.WriteStringChunk( mask );
		writer.BeginChunk( rwID_EXTENSION );
		writer.WriteBytes( extension );
		writer.EndChunk();
		writer.EndChunk();
		std::vector<u8> bytes;
		EXPECT_TRUE( writer.Finish( bytes ) );
		return bytes;
	}
	static std::vector<u8> Word( const u32 word ) {
		return { static_cast<u8>( word ), static_cast<u8>( word >> 8 ), static_cast<u8>( word >> 16 ), static_cast<u8>( word >> 24 ) };
	}
	// Reads one texture chunk after another from the bytes.
	static std::vector<RwTexture*> ReadAll( const std::vector<u8>& bytes, const size_t count ) {
		RwStream* const stream = RwTestOpenRead( bytes );
		std::vector<RwTexture*> textures;
		for ( size_t i = 0; i < count; i++ ) {
			textures.push_back( RwStreamFindChunk( stream, rwID_TEXTURE, nullptr, nullptr ) ? RwTextureStreamRead( stream ) : nullptr );
		}
		RwStreamClose( stream, nullptr );
		return textures;
	}
};

TEST_F( RwTextureChunkTest, ReadsAPinnedChunkByteForByte ) {
	// Word 0x00000102, name "brick", empty mask, empty extension; every
	// chunk stamped 0x1003FFFF (version 0x34003, build 0xFFFF).
	const std::vector<u8> bytes = {
		0x06, 0x00, 0x00, 0x00, 0x3B, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x03, 0x10,	// texture
		0x01, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x03, 0x10,	// struct
		0x02, 0x01, 0x00, 0x00,
		0x02, 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x03, 0x10,	// name
		'b', 'r', 'i', 'c', 'k', 0x00,
		0x02, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x03, 0x10,	// mask
		0x00,
		0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x03, 0x10,	// extension
	};
	EXPECT_EQ( bytes, TextureChunk( Word( 0x102 ), "brick", "" ) );
	RwTexture* const texture = ReadAll( bytes, 1 )[0];
	ASSERT_NE( texture, nullptr );
	EXPECT_STREQ( texture->name, "brick" );
	EXPECT_EQ( texture->filterAddressing, 0x1102u );
	RwTextureDestroy( texture );
}

TEST_F( RwTextureChunkTest, SetsTheSwitchesForTheFilterModeWhileReadingAndRestoresThem ) {
	struct Case {
		u32		word;
		bool	mipmapping;
		bool	automatic;
		u32		filterAddressing;
	};
	const Case cases[] = {
		{ 0x00000102, false, false, 0x1102 }, { 0x00003204, true, true, 0x3204 }, { 0x00010104, true, false, 0x1104 },
		{ 0x00000306, true, true, 0x3306 },	  { 0x00000007, false, false, 0x0007 }, { 0x00010002, false, false, 0x0002 },
	};
	for ( const bool before : { false, true } ) {
		for ( const Case& c : cases ) {
			SCOPED_TRACE( c.word + ( before ? 0x10000000 : 0 ) );
			RwTextureSetMipmapping( before );
			RwTextureSetAutoMipmapping( !before );
			RwTexDictionarySetCurrent( nullptr );
			// Automatic levels on a 2 x 2 texture are built by the device.
			RwTexture* const texture = ReadAll( TextureChunk( Word( c.word ), "brick", "" ), 1 )[0];
			ASSERT_NE( texture, nullptr );
			EXPECT_EQ( SeenSwitches::mipmapping, c.mipmapping );
			EXPECT_EQ( SeenSwitches::automatic, c.automatic );
			EXPECT_EQ( texture->filterAddressing, c.filterAddressing );
			EXPECT_EQ( RwTextureGetMipmapping(), before );
			EXPECT_EQ( RwTextureGetAutoMipmapping(), !before );
			RwTextureDestroy( texture );
		}
	}
}

TEST_F( RwTextureChunkTest, ATextureAlreadyInUseKeepsItsOwnModes ) {
	RwTexture* const first = ReadAll( TextureChunk( Word( 0x2201 ), "brick", "" ), 1 )[0];
	ASSERT_NE( first, nullptr );
	EXPECT_EQ( first->filterAddressing, 0x2201u );
	RwTexture* const again = ReadAll( TextureChunk( Word( 0x3302 ), "BRICK", "" ), 1 )[0];
	EXPECT_EQ( again, first );
	EXPECT_EQ( first->refCount, 2 );
	EXPECT_EQ( first->filterAddressing, 0x2201u );
	EXPECT_EQ( SeenSwitches::reads, 1 );
	RwTextureDestroy( first );
	RwTextureDestroy( first );
}

TEST_F( RwTextureChunkTest, AnUnknownTextureSkipsItsExtensionSoTheNextChunkReads ) {
	ToolChunkWriter sub;
	sub.BeginChunk( 0xE1E1 );
	sub.WriteU32( 7 );
	sub.EndChunk();
	std::vector<u8> extension;
	ASSERT_TRUE( sub.Finish( extension ) );
	const std::vector<u8> bytes = RwTestConcat( { TextureChunk( Word( 0x102 ), "nowhere", "", extension ),
												  TextureChunk( Word( 0x102 ), "brick", "" ) } );
	const std::vector<RwTexture*> textures = ReadAll( bytes, 2 );
	EXPECT_EQ( textures[0], nullptr );
	ASSERT_NE( textures[1], nullptr );
	EXPECT_STREQ( textures[1]->name, "brick" );
	EXPECT_FALSE( RwTextureGetMipmapping() );
	RwTextureDestroy( textures[1] );
}

TEST_F( RwTextureChunkTest, ReadsAtMostFourStructBytesAndSkipsTheRest ) {
	struct Case {
		const char*		name;
		std::vector<u8>	payload;
		u32				filterAddressing;
	};
	const Case cases[] = {
		{ "six bytes", { 0x02, 0x01, 0x00, 0x00, 0xAA, 0xBB }, 0x1102 },
		{ "two bytes", { 0x02, 0x01 }, 0x1102 },
		{ "nothing", {}, 0x0000 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		RwTexDictionarySetCurrent( nullptr );
		RwTexture* const texture = ReadAll( TextureChunk( c.payload, "brick", "" ), 1 )[0];
		ASSERT_NE( texture, nullptr );
		EXPECT_STREQ( texture->name, "brick" );
		EXPECT_EQ( texture->filterAddressing, c.filterAddressing );
		RwTextureDestroy( texture );
	}
}

TEST_F( RwTextureChunkTest, HandsTheExtensionToTheTexturePlugIns ) {
	RwTestShutDown();
	ASSERT_TRUE( RwEngineInit( &rwTestCountingMemory, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
	ASSERT_GE( RwTextureRegisterPlugin( 4, 0xE0E0, nullptr, nullptr, nullptr ), 0 );
	ASSERT_GE( _rwPluginRegistryAddPluginStream( &textureTKList, 0xE0E0, ReadExtension, nullptr, nullptr ), 0 );
	ASSERT_TRUE( RwEngineOpen( &rwTestDeviceConfig ) && RwEngineStart() );
	ASSERT_TRUE( RwImageRegisterImageFormat( ".tex", ".TEX", RwTestTextureReader::Read, nullptr ) );
	ASSERT_NE( RwImageSetPath( ( scratch.Path().string() + "/" ).c_str() ), nullptr );

	ToolChunkWriter sub;
	sub.BeginChunk( 0xE0E0 );
	sub.WriteU32( 0xCAFEF00D );
	sub.EndChunk();
	std::vector<u8> extension;
	ASSERT_TRUE( sub.Finish( extension ) );
	RwTexture* const texture = ReadAll( TextureChunk( Word( 0x102 ), "brick", "", extension ), 1 )[0];
	ASSERT_NE( texture, nullptr );
	EXPECT_EQ( ExtensionSeen::bytes, ( std::vector<u8>{ 0x0D, 0xF0, 0xFE, 0xCA } ) );
	RwTextureDestroy( texture );
}

TEST_F( RwTextureChunkTest, AFailedExtensionDropsTheReferenceThisReadTook ) {
	// A sub-chunk claiming more than the extension holds.
	const std::vector<u8> broken = { 0x01, 0x01, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x03, 0x18 };
	// A texture made by the read is freed again.
	const s64 before = Outstanding();
	EXPECT_EQ( ReadAll( TextureChunk( Word( 0x102 ), "brick", "", broken ), 1 )[0], nullptr );
	EXPECT_EQ( RwTexDictionaryFindNamedTexture( RwTexDictionaryGetCurrent(), "brick" ), nullptr );
	EXPECT_EQ( Outstanding(), before );
	// A shared one is back at its earlier count.
	RwTexture* const shared = ReadAll( TextureChunk( Word( 0x102 ), "brick", "" ), 1 )[0];
	ASSERT_NE( shared, nullptr );
	shared->refCount = 3;
	EXPECT_EQ( ReadAll( TextureChunk( Word( 0x102 ), "brick", "", broken ), 1 )[0], nullptr );
	EXPECT_EQ( shared->refCount, 3 );
	shared->refCount = 1;
	RwTextureDestroy( shared );
}

TEST_F( RwTextureChunkTest, RefusesStructChunksOfOtherVersions ) {
	ToolChunkWriter writer;
	writer.BeginChunkStamped( rwID_STRUCT, ToolChunkWriter::EncodeStamp( 0x30000, 0 ) );
	writer.WriteU32( 0x102 );
	writer.EndChunk();
	std::vector<u8> bytes;
	ASSERT_TRUE( writer.Finish( bytes ) );
	RwStream* const stream = RwTestOpenRead( bytes );
	EXPECT_EQ( RwTextureStreamRead( stream ), nullptr );
	RwStreamClose( stream, nullptr );
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_BAD_VERSION );
	EXPECT_EQ( SeenSwitches::reads, 0 );
}

}	// namespace
