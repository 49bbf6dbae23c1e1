#include "graphics3d/core/RwTestEngine.h"

#include <cstring>

namespace {

class RwDeviceRequestTest : public RwTestCase {
protected:
	void SetUp() override {
		RwTestCase::SetUp();
		ASSERT_TRUE( RwEngineInit( nullptr, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
		ASSERT_TRUE( RwEngineOpen( &rwTestDeviceConfig ) );
		RwTestReadError();
	}
};

TEST_F( RwDeviceRequestTest, AnswersRefusedRequestsItKnowsAndReportsTheRest ) {
	struct Case {
		s32		request;
		bool	refuse;		// the test device refuses 12-16 on its own
		s32		inInt;
		bool	result;
		s32		out;		// written to an s32 out-word, when result
	};
	const Case cases[] = {
		{ RWDEVICE_NUM_SUBSYSTEMS, false, 0, true, 1 },
		{ RWDEVICE_CURRENT_SUBSYSTEM, false, 0, true, 0 },
		{ RWDEVICE_SELECT_SUBSYSTEM, false, 0, true, -7 },
		{ RWDEVICE_SELECT_SUBSYSTEM, false, 1, false, -7 },
		{ RWDEVICE_FINISH_START, true, 0, true, -7 },
		{ RWDEVICE_BEGIN_STOP, true, 0, true, -7 },
		{ RWDEVICE_TEXTURE_MEMORY_SIZE, false, 0, false, -7 },
		{ RWDEVICE_NUM_VIDEO_MODES, false, 0, true, 1 },
		{ RWDEVICE_NUM_VIDEO_MODES, true, 0, false, -7 },
		{ RWDEVICE_CURRENT_VIDEO_MODE, true, 0, false, -7 },
		{ RWDEVICE_MAX_TEXTURE_SIZE, false, 0, true, 1024 },
		{ 20, false, 0, false, -7 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.request );
		TestDeviceRefuseRequest( c.request, c.refuse );
		s32 out = -7;
		EXPECT_EQ( _rwDeviceSystemRequest( &RwEngineInstance->device, c.request, &out, nullptr, c.inInt ), c.result );
		EXPECT_EQ( out, c.out );
		const RwError error = RwTestReadError();
		if ( c.result ) {
			EXPECT_EQ( error.errorCode, RWERR_NONE );
		} else {
			EXPECT_EQ( error.pluginID, RWPLUGIN_CORE );
			EXPECT_EQ( error.errorCode, RWERR_DEVICE_REFUSED );
		}
		TestDeviceRefuseRequest( c.request, false );
	}
}

TEST_F( RwDeviceRequestTest, QueriesGiveTheDeviceOrCoreAnswerAndTheirFailureValues ) {
	EXPECT_EQ( RwEngineGetNumSubSystems(), 1 );
	EXPECT_EQ( RwEngineGetCurrentSubSystem(), 0 );
	EXPECT_EQ( RwEngineGetNumVideoModes(), 1 );
	EXPECT_EQ( RwEngineGetCurrentVideoMode(), 0 );

	RwSubSystemInfo info;
	std::memset( &info, 0x55, sizeof( info ) );
	EXPECT_EQ( RwEngineGetSubSystemInfo( &info, 0 ), &info );
	EXPECT_STREQ( info.name, "Only rendering sub system" );
	EXPECT_EQ( RwEngineGetSubSystemInfo( &info, 1 ), nullptr );
	const RwError refused = RwTestReadError();
	EXPECT_EQ( refused.pluginID, RWPLUGIN_CORE );
	EXPECT_EQ( refused.errorCode, RWERR_DEVICE_REFUSED );

	RwVideoMode mode = {};
	EXPECT_EQ( RwEngineGetVideoModeInfo( &mode, 0 ), &mode );
	EXPECT_EQ( mode.width, 640 );
	EXPECT_EQ( mode.height, 480 );
	EXPECT_EQ( mode.depth, 24 );
	EXPECT_EQ( mode.flags, 1 );
	EXPECT_EQ( RwEngineGetVideoModeInfo( &mode, 1 ), nullptr );
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_DEVICE_REFUSED );

	TestDeviceRefuseRequest( RWDEVICE_NUM_VIDEO_MODES, true );
	TestDeviceRefuseRequest( RWDEVICE_CURRENT_VIDEO_MODE, true );
	EXPECT_EQ( RwEngineGetNumVideoModes(), -1 );
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_DEVICE_REFUSED );
	EXPECT_EQ( RwEngineGetCurrentVideoMode(), -1 );
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_DEVICE_REFUSED );
}

TEST_F( RwDeviceRequestTest, ADeviceWithoutARequestEntryOnlyGetsTheCoreAnswers ) {
	RwDevice empty = {};
	s32 out = -7;
	EXPECT_TRUE( _rwDeviceSystemRequest( &empty, RWDEVICE_NUM_SUBSYSTEMS, &out, nullptr, 0 ) );
	EXPECT_EQ( out, 1 );
	EXPECT_FALSE( _rwDeviceSystemRequest( &empty, RWDEVICE_START, nullptr, nullptr, 0 ) );
	EXPECT_FALSE( _rwDeviceSystemRequest( nullptr, RWDEVICE_OPEN, nullptr, nullptr, 0 ) );
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_DEVICE_REFUSED );
}

}	// namespace
