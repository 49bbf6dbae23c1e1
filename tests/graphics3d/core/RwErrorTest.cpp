#include "graphics3d/core/RwTestEngine.h"

namespace {

class RwErrorTest : public RwTestCase {};

TEST_F( RwErrorTest, RecordsCommonCodesWithPluginZeroAndOthersWithTheirPlugin ) {
	struct Case {
		u32		pluginID;
		u32		code;
		u32		recordedPlugin;
	};
	const Case cases[] = {
		{ RWPLUGIN_CORE, RWERR_BAD_ACCESS, RWPLUGIN_CORE },
		{ RWPLUGIN_CORE, RWERR_NO_MEMORY, 0 },
		{ 0x40C, RWERR_RESOURCES, 0x40C },
		{ 0x40C, RWERR_READ, 0 },
		{ 7, 0x7FFFFFFF, 7 },
	};
	// Both while the error module is closed and while it is open.
	for ( const bool started : { false, true } ) {
		if ( started ) {
			ASSERT_TRUE( RwTestBringUp( &rwTestEngineMemory, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
		}
		for ( const Case& c : cases ) {
			SCOPED_TRACE( c.code );
			RwError error = { c.pluginID, _rwerror( c.code, "ignored", 12 ) };
			EXPECT_EQ( RwErrorSet( &error ), &error );
			const RwError read = RwTestReadError();
			EXPECT_EQ( read.pluginID, c.recordedPlugin );
			EXPECT_EQ( read.errorCode, c.code );
		}
	}
}

TEST_F( RwErrorTest, KeepsTheFirstErrorUntilItIsRead ) {
	for ( const bool started : { false, true } ) {
		if ( started ) {
			ASSERT_TRUE( RwTestBringUp( nullptr, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
		}
		_rwErrorSetCore( RWERR_BAD_ACCESS );
		_rwErrorSetCore( RWERR_NO_MEMORY );
		RwError later = { 9, RWERR_END_OF_STREAM };
		RwErrorSet( &later );
		const RwError first = RwTestReadError();
		EXPECT_EQ( first.pluginID, RWPLUGIN_CORE );
		EXPECT_EQ( first.errorCode, RWERR_BAD_ACCESS );
		const RwError none = RwTestReadError();
		EXPECT_EQ( none.pluginID, 0u );
		EXPECT_EQ( none.errorCode, RWERR_NONE );
	}
}

TEST_F( RwErrorTest, AnUnreadErrorSurvivesStartAndStop ) {
	ASSERT_TRUE( RwEngineInit( nullptr, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
	ASSERT_TRUE( RwEngineOpen( &rwTestDeviceConfig ) );
	_rwErrorSetCore( RWERR_BAD_ACCESS );
	ASSERT_TRUE( RwEngineStart() );
	_rwErrorSetCore( RWERR_NO_CAMERA );
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_BAD_ACCESS );

	_rwErrorSetCore( RWERR_NO_CAMERA );
	ASSERT_TRUE( RwEngineStop() );
	// After stop errors go to the static record, not to closed space.
	_rwErrorSetCore( RWERR_NO_RASTER_CONTEXT );
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_NO_CAMERA );
	_rwErrorSetCore( RWERR_NO_RASTER_CONTEXT );
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_NO_RASTER_CONTEXT );

	ASSERT_TRUE( RwEngineStart() );
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_NONE );
	EXPECT_EQ( RwErrorSet( nullptr ), nullptr );
}

}	// namespace
