#include "RwDlTestDriver.h"

#include "graphics3d/core/RwV3d.h"

#include <bit>
#include <vector>

namespace {

class RwDlDeviceTest : public RwDlTestCase {};

u32 Bytes( const void* from, const void* to ) {
	return static_cast<u32>( static_cast<const u8*>( to ) - static_cast<const u8*>( from ) );
}

}	// namespace

TEST_F( RwDlDeviceTest, AnswersEveryRequestAsTabled ) {
	ASSERT_TRUE( Init() && Open() );
	struct Case {
		s32		request;
		s32		number;
		bool	accepted;
		s32		written;	// the out-word afterwards; -7 left alone
	};
	const Case cases[] = {
		{ RWDEVICE_STOP, 0, true, -7 },
		{ RWDEVICE_NUM_VIDEO_MODES, 0, true, 1 },
		{ RWDEVICE_USE_VIDEO_MODE, 0, true, -7 },
		{ RWDEVICE_USE_VIDEO_MODE, -3, true, -7 },
		{ RWDEVICE_USE_VIDEO_MODE, 1, false, -7 },
		{ RWDEVICE_FOCUS, 0, true, -7 },
		{ RWDEVICE_INIT_PIPELINES, 0, true, -7 },
		{ RWDEVICE_CURRENT_VIDEO_MODE, 0, true, 0 },
		{ RWDEVICE_TEXTURE_MEMORY_SIZE, 0, false, -7 },
		{ RWDEVICE_NUM_SUBSYSTEMS, 0, false, -7 },
		{ RWDEVICE_SUBSYSTEM_INFO, 0, false, -7 },
		{ RWDEVICE_CURRENT_SUBSYSTEM, 0, false, -7 },
		{ RWDEVICE_SELECT_SUBSYSTEM, 0, false, -7 },
		{ RWDEVICE_MAX_TEXTURE_SIZE, 0, true, 1024 },
		{ 20, 0, false, -7 },
		{ -1, 0, false, -7 },
	};
	for ( const Case& c : cases ) {
		s32 word = -7;
		EXPECT_EQ( _rwDlSystem( c.request, &word, nullptr, c.number ), c.accepted ) << c.request << " " << c.number;
		EXPECT_EQ( word, c.written ) << c.request;
	}

	// Video-mode info: number 1 refused; modes 3 and 4 leave the out-area.
	const struct {
		u32			videoMode;
		bool		written;
		RwVideoMode	expected;
	} modes[] = {
		{ RWDL_VIDEO_MODE_NTSC, true, { 640, 480, 24, 1 } },
		{ RWDL_VIDEO_MODE_PAL, true, { 640, 528, 24, 1 } },
		{ RWDL_VIDEO_MODE_EURGB60, true, { 640, 528, 24, 1 } },
		{ RWDL_VIDEO_MODE_MPAL, true, { 640, 480, 24, 1 } },
		{ 3, false, {} },
		{ 4, false, {} },
	};
	for ( const auto& m : modes ) {
		_RwGameCubeVideoMode = m.videoMode;
		RwVideoMode out = { -1, -1, -1, -1 };
		EXPECT_TRUE( _rwDlSystem( RWDEVICE_VIDEO_MODE_INFO, &out, nullptr, 0 ) );
		const RwVideoMode expected = m.written ? m.expected : RwVideoMode{ -1, -1, -1, -1 };
		EXPECT_EQ( std::memcmp( &out, &expected, sizeof( out ) ), 0 ) << m.videoMode;
		EXPECT_FALSE( _rwDlSystem( RWDEVICE_VIDEO_MODE_INFO, &out, nullptr, 1 ) );
	}

	// The device record, copied by register.
	const RwDevice& device = RwEngineInstance->device;
	EXPECT_EQ( device.gammaCorrection, 1.0f );
	EXPECT_EQ( std::bit_cast<u32>( device.zBufferFar ), 0x3F7FFFFFu );
	EXPECT_EQ( device.zBufferNear, 0.0f );
	EXPECT_EQ( device.fpIm3DRenderPrimitive, nullptr );
	EXPECT_EQ( dgGGlobals.deviceInOut, &RwEngineInstance->memoryFunctions );
}

TEST_F( RwDlDeviceTest, FillsOnlySlotsBelowTheCountWithTheRefusingStandardElsewhere ) {
	const struct {
		s32		slots;
		s32		lastFilled;
	} cases[] = { { 29, 28 }, { 21, 20 }, { 1, -1 }, { 0, -1 } };
	for ( const auto& c : cases ) {
		RwStandardFunc table[32];
		for ( RwStandardFunc& f : table ) {
			f = nullptr;
		}
		EXPECT_TRUE( _rwDlSystem( RWDEVICE_STANDARDS, table, nullptr, c.slots ) );
		for ( s32 i = 0; i < 32; i++ ) {
			if ( i >= c.slots ) {
				EXPECT_EQ( table[i], nullptr ) << c.slots << " slot " << i;
			} else if ( i == 0 || i == 22 ) {
				EXPECT_EQ( table[i], _rwDlNullStandard ) << i;
			} else {
				EXPECT_NE( table[i], _rwDlNullStandard ) << i;
			}
		}
	}
	RwStandardFunc table[29];
	_rwDlSystem( RWDEVICE_STANDARDS, table, nullptr, 29 );
	EXPECT_EQ( table[1], _rwDlCameraBeginUpdate );
	EXPECT_EQ( table[20], _rwDlRasterShowRaster );
	EXPECT_EQ( table[28], _rwDlRasterGetNumMipLevels );
	EXPECT_FALSE( table[22]( nullptr, nullptr, 0 ) );
}

TEST_F( RwDlDeviceTest, SelectsRenderModesAndReportsBadFormatsButStillOpens ) {
	GXRenderModeObj antialiased = GXNtsc480IntDf;
	antialiased.aa = GX_TRUE;
	GXRenderModeObj narrow = GXNtsc480IntDf;
	narrow.fbWidth = 630;
	const struct {
		const char*				name;
		GXRenderModeObj*		mode;
		u32						pixelFormat;
		u32						tvFormat;
		u32						videoMode;
		u32						pixelFormatAfter;
		u32						xfbWidth;
		u32						errorPlugin;	// 0: no error
		u32						errorCode;
	} cases[] = {
		{ "ntsc default", nullptr, 0, VI_NTSC, 0, 0, 640, 0, 0 },
		{ "pal default", nullptr, 0, VI_PAL, 1, 0, 640, 0, 0 },
		{ "eurgb60 default", nullptr, 0, VI_EURGB60, 1, 0, 640, 0, 0 },
		{ "mpal default", nullptr, 0, VI_MPAL, 2, 0, 640, 0, 0 },
		{ "bad tv format", nullptr, 0, 7, 0, 0, 640, 1, 2 },
		{ "caller mode", &narrow, 1, VI_NTSC, 42, 1, 640, 0, 0 },
		{ "antialiasing forces 565", &antialiased, 0, VI_NTSC, 42, 2, 640, 0, 0 },
		{ "bad pixel format", &narrow, 3, VI_NTSC, 42, 3, 640, 1, 2 },
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.name );
		RwDlTestShutDown();
		RwDlTestResetDriver();
		VIHostSetTvFormat( c.tvFormat );
		config = { c.mode, c.pixelFormat, 0 };
		displayId = c.mode != nullptr ? &config : nullptr;
		ASSERT_TRUE( Init() );
		ASSERT_TRUE( Open() );
		EXPECT_EQ( _RwGameCubeVideoMode, c.videoMode );
		EXPECT_EQ( _RwDlPixelFormat, c.pixelFormatAfter );
		EXPECT_EQ( Bytes( _RwGCXFB1, _RwGCXFB2 ), c.xfbWidth * _RwDlRenderMode->xfbHeight * 2 );
		const RwError error = RwDlTestReadError();
		EXPECT_EQ( error.pluginID, c.errorPlugin );
		EXPECT_EQ( error.errorCode, c.errorPlugin != 0 ? c.errorCode : 0x80000000u );
		if ( c.mode != nullptr ) {
			EXPECT_EQ( _RwDlRenderMode, &_RwGameCubeRenderModeObj );
			EXPECT_EQ( _RwDlVideoModes[3].width, c.mode->fbWidth );
			EXPECT_EQ( _RwDlVideoModes[3].depth, c.pixelFormatAfter == 2 ? 16 : 24 ) << "a bad format leaves it";
		}
	}
}

TEST_F( RwDlDeviceTest, PlacesTheFifoAndBothFrameBuffersInOneAlignedBlock ) {
	const struct {
		u32		asked;
		u32		fifoSize;
	} cases[] = { { 0, 0x40000 }, { 0x3FFF1, 0x40000 }, { 0x10000, 0x10000 } };
	for ( const auto& c : cases ) {
		RwDlTestShutDown();
		RwDlTestResetDriver();
		config = { &GXNtsc480IntDf, 0, c.asked };
		ASSERT_TRUE( Init() && Open() );
		EXPECT_EQ( _RwDlFifoSize, c.fifoSize ) << c.asked;
		EXPECT_EQ( reinterpret_cast<uintptr_t>( _RwDlDefaultFifo ) % 32, 0u );
		EXPECT_LT( Bytes( _RwDl_FIFO_XFB, _RwDlDefaultFifo ), 32u );
		EXPECT_EQ( Bytes( _RwDlDefaultFifo, _RwGCXFB1 ), c.fifoSize );
		EXPECT_EQ( _RwGCXFBDisp, _RwGCXFB1 );
		EXPECT_EQ( _RwGCXFBCopy, _RwGCXFB2 );
	}
}

TEST_F( RwDlDeviceTest, AFailedBlockAllocationFailsTheOpenCleanlyAndARetrySucceeds ) {
	ASSERT_TRUE( Init() );
	const u32 liveBefore = RwDlTestMemory::live;
	// The engine instance is allocated first, the driver's block second.
	RwDlTestMemory::failIn = 1;
	EXPECT_FALSE( Open() );
	const RwError error = RwDlTestReadError();
	EXPECT_EQ( error.pluginID, 0u );
	EXPECT_EQ( error.errorCode, 0x80000013u );
	EXPECT_EQ( _RwDl_FIFO_XFB, nullptr );
	EXPECT_EQ( RwDlTestMemory::live, liveBefore );
	EXPECT_EQ( RwDlTestEngineState(), RWENGINE_STATE_INITIALISED );
	EXPECT_TRUE( Open() );
	EXPECT_NE( _RwDl_FIFO_XFB, nullptr );
}

TEST_F( RwDlDeviceTest, InstallsTransformRoutinesEqualToTheCoresToTheBit ) {
	ASSERT_TRUE( BringUp() );
	RwMatrix m = {};
	m.right = { 0.3f, -1.7f, 2.25f };
	m.up = { 1.1f, 0.9f, -0.4f };
	m.at = { -2.5f, 0.125f, 3.3f };
	m.pos = { 10.5f, -7.25f, 0.001f };
	std::vector<RwV3d> in;
	for ( s32 i = 0; i < 37; i++ ) {
		in.push_back( { 0.37f * i - 3.0f, 1.0f / ( i + 1.0f ), -0.11f * i * i } );
	}
	std::vector<RwV3d> own( in.size() ), ours( in.size() );
	const s32 n = static_cast<s32>( in.size() );
	for ( const bool points : { true, false } ) {
		if ( points ) {
			_rwV3dTransformPointsOwn( own.data(), in.data(), n, &m );
			RwV3dTransformPoints( ours.data(), in.data(), n, &m );
		} else {
			_rwV3dTransformVectorsOwn( own.data(), in.data(), n, &m );
			RwV3dTransformVectors( ours.data(), in.data(), n, &m );
		}
		EXPECT_EQ( std::memcmp( own.data(), ours.data(), sizeof( RwV3d ) * in.size() ), 0 ) << points;
	}
}
