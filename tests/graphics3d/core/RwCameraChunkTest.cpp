#include "graphics3d/core/RwCameraChunk.h"
#include "RwTestChunks.h"

namespace {

constexpr u32 PLUGIN_ID = 0x7F05;

// A camera plug-in whose extension sub-chunk carries one word; it can be
// told to fail its read.
struct CameraPlugin {
	static inline s32	offset = -1;
	static inline bool	failRead = false;
	static inline u32	destroyed = 0;
	static RwStream* Read( RwStream* stream, s32, void* object, const s32 pluginOffset, s32 ) {
		if ( failRead ) {
			return nullptr;
		}
		return RwStreamReadInt32( stream, RwPluginData<u32>( object, pluginOffset ), sizeof( u32 ) );
	}
	static void* Construct( void* object, const s32 pluginOffset, s32 ) {
		*RwPluginData<u32>( object, pluginOffset ) = 0;
		return object;
	}
	static void* Destruct( void* object, s32, s32 ) {
		destroyed++;
		return object;
	}
};

class RwCameraChunkTest : public RwTestCase {
protected:
	void SetUp() override {
		RwTestCase::SetUp();
		CameraPlugin::failRead = false;
		CameraPlugin::destroyed = 0;
		ASSERT_TRUE( RwEngineInit( &rwTestEngineMemory, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
		CameraPlugin::offset = RwCameraRegisterPlugin( 4, PLUGIN_ID, CameraPlugin::Construct, CameraPlugin::Destruct, nullptr );
		ASSERT_GE( RwCameraRegisterPluginStream( PLUGIN_ID, CameraPlugin::Read, nullptr, nullptr ), 0 );
		ASSERT_TRUE( RwEngineOpen( &rwTestDeviceConfig ) && RwEngineStart() );
		RwTestReadError();
	}

	// The struct payload: the 32-byte record, trimmed or extended.
	static RwTestBytes Record( const u32 projection, const size_t length ) {
		RwTestBytes record = RwTestConcat( { RwTestReals( { 2.0f, 0.5f, 0.25f, -0.125f, 0.5f, 250.0f, 100.0f } ),
											 RwTestWords( { projection } ) } );
		record.resize( length, 0xEE );
		return record;
	}
	static RwTestBytes CameraChunk( const RwTestBytes& record, const u32 pluginWord = 0x12345678,
									const u32 version = RWLIBRARY_VERSION ) {
		const RwTestBytes extension =
			RwTestChunk( rwID_EXTENSION, RwTestChunk( PLUGIN_ID, RwTestWords( { pluginWord } ) ) );
		return RwTestChunk( rwID_CAMERA, RwTestConcat( { RwTestChunk( rwID_STRUCT, record, version ), extension } ) );
	}
	// Reads a camera from inside the camera chunk.
	static RwCamera* ReadCamera( const RwTestBytes& bytes, RwStream** streamOut = nullptr ) {
		RwStream* const stream = RwTestOpenRead( bytes );
		RwCamera* camera = nullptr;
		if ( RwStreamFindChunk( stream, rwID_CAMERA, nullptr, nullptr ) ) {
			camera = RwCameraStreamRead( stream );
		}
		if ( streamOut != nullptr ) {
			*streamOut = stream;
		} else {
			RwStreamClose( stream, nullptr );
		}
		return camera;
	}
};

TEST_F( RwCameraChunkTest, ReadsBackACameraWrittenWithTheLibrarysWriters ) {
	const RwTestBytes bytes = RwTestConcat( { CameraChunk( Record( rwPARALLEL, 32 ) ), RwTestChunk( rwID_STRING, { 'x', 0 } ) } );
	RwStream* stream = nullptr;
	RwCamera* const camera = ReadCamera( bytes, &stream );
	ASSERT_NE( camera, nullptr );
	EXPECT_EQ( camera->viewWindow.x, 2.0f );
	EXPECT_EQ( camera->viewWindow.y, 0.5f );
	EXPECT_EQ( camera->recipViewWindow.y, 2.0f );
	EXPECT_EQ( camera->viewOffset.x, 0.25f );
	EXPECT_EQ( camera->viewOffset.y, -0.125f );
	EXPECT_EQ( camera->nearPlane, 0.5f );
	EXPECT_EQ( camera->farPlane, 250.0f );
	EXPECT_EQ( camera->fogPlane, 100.0f );
	EXPECT_EQ( camera->projectionType, rwPARALLEL );
	EXPECT_EQ( *RwPluginData<u32>( camera, CameraPlugin::offset ), 0x12345678u );
	// The stream stands at the chunk that follows.
	EXPECT_TRUE( RwStreamFindChunk( stream, rwID_STRING, nullptr, nullptr ) );
	RwStreamClose( stream, nullptr );
	RwCameraDestroy( camera );
}

TEST_F( RwCameraChunkTest, PinsTheStructLayoutWithAHandWrittenRecord ) {
	// 1.0, 1.0, 0, 0, 0.5, 100.0, 50.0 as little-endian floats, projection 1.
	const RwTestBytes record = { 0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x80, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0,
								 0x00, 0x00, 0x00, 0x3F, 0x00, 0x00, 0xC8, 0x42, 0x00, 0x00, 0x48, 0x42, 1, 0, 0, 0 };
	RwCamera* const camera = ReadCamera( CameraChunk( record ) );
	ASSERT_NE( camera, nullptr );
	EXPECT_EQ( camera->nearPlane, 0.5f );
	EXPECT_EQ( camera->farPlane, 100.0f );
	EXPECT_EQ( camera->fogPlane, 50.0f );
	EXPECT_EQ( camera->projectionType, rwPERSPECTIVE );
	RwCameraDestroy( camera );
}

TEST_F( RwCameraChunkTest, ReadsPayloadsOfOtherLengthsUpToTheRecordAndKeepsInStep ) {
	struct Case {
		size_t	length;
		f32		fog;
		u32		projection;
	};
	// 24 bytes end before the fog: fog 0, projection 0 (refused, stays 1).
	const Case cases[] = { { 40, 100.0f, rwPARALLEL }, { 24, 0.0f, rwPERSPECTIVE }, { 32, 100.0f, rwPARALLEL } };
	for ( const Case& c : cases ) {
		RwCamera* const camera = ReadCamera( CameraChunk( Record( rwPARALLEL, c.length ), 0xCAFE ) );
		ASSERT_NE( camera, nullptr ) << c.length;
		EXPECT_EQ( camera->farPlane, 250.0f );
		EXPECT_EQ( camera->fogPlane, c.fog );
		EXPECT_EQ( camera->projectionType, c.projection );
		// The extension after the payload was found and read.
		EXPECT_EQ( *RwPluginData<u32>( camera, CameraPlugin::offset ), 0xCAFEu ) << c.length;
		RwCameraDestroy( camera );
		RwTestReadError();
	}
}

TEST_F( RwCameraChunkTest, AnUnknownProjectionLoadsAsPerspectiveWithTheErrorRecorded ) {
	RwCamera* const camera = ReadCamera( CameraChunk( Record( 7, 32 ) ) );
	ASSERT_NE( camera, nullptr );
	EXPECT_EQ( camera->projectionType, rwPERSPECTIVE );
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_BAD_PARAMETER );
	RwCameraDestroy( camera );
}

TEST_F( RwCameraChunkTest, FailuresGiveNullAndDestroyTheCameraMadeOnTheWay ) {
	CameraPlugin::failRead = true;
	EXPECT_EQ( ReadCamera( CameraChunk( Record( rwPERSPECTIVE, 32 ) ) ), nullptr );
	EXPECT_EQ( CameraPlugin::destroyed, 1u );
	CameraPlugin::failRead = false;
	EXPECT_EQ( ReadCamera( CameraChunk( Record( rwPERSPECTIVE, 32 ), 1, 0x30000 ) ), nullptr );
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_BAD_VERSION );
	// A payload that claims more than the stream holds.
	RwTestBytes truncated = CameraChunk( Record( rwPERSPECTIVE, 32 ) );
	truncated.resize( 12 + 12 + 20 );
	EXPECT_EQ( ReadCamera( truncated ), nullptr );
	EXPECT_EQ( CameraPlugin::destroyed, 1u );
}

}	// namespace
