#include "DVDTestDisc.h"
#include "platform/dvd/DVDHost.h"

class DVDLateCompletion : public DVDTestDisc {};

TEST_F( DVDLateCompletion, ReportsTheIdleDriveBeforeDeliveringDataAndCompletion ) {
	WriteFile( "A.BIN", Counting( 64 ) );
	struct Case {
		u32		idlePolls;
		bool	closeWhileHeld;
	};
	const Case cases[] = { { 0, false }, { 1, false }, { 4, false }, { 3, true } };
	for ( const Case& c : cases ) {
		SCOPED_TRACE( testing::Message() << c.idlePolls << ( c.closeWhileHeld ? " closed" : "" ) );
		DVDTestCompletions().clear();
		DVDFileInfo file;
		ASSERT_TRUE( DVDOpen( "A.BIN", &file ) );
		alignas( 32 ) u8 buffer[64] = {};
		DVDHostScriptLateCompletion( c.idlePolls );
		ASSERT_TRUE( DVDReadAsyncPrio( &file, buffer, 64, 0, DVDTestRecordCompletion, DVD_PRIO_NORMAL ) );
		HostAdvanceTime( DVD_HOST_DEFAULT_READ_LATENCY );

		for ( u32 i = 0; i < c.idlePolls; ++i ) {
			EXPECT_EQ( DVDGetDriveStatus(), DVD_STATE_END );
			EXPECT_TRUE( DVDTestCompletions().empty() );
			EXPECT_EQ( buffer[0], 0 );
			// A second read of the same file is refused while the first is held.
			EXPECT_FALSE( DVDReadAsyncPrio( &file, buffer, 32, 0, nullptr, DVD_PRIO_NORMAL ) );
		}
		if ( c.closeWhileHeld ) {
			EXPECT_TRUE( DVDClose( &file ) );
			ASSERT_EQ( DVDTestCompletions().size(), 1u );
			EXPECT_EQ( DVDTestCompletions()[0].result, DVD_RESULT_CANCELED );
			EXPECT_EQ( DVDGetDriveStatus(), DVD_STATE_END );
			EXPECT_EQ( DVDTestCompletions().size(), 1u );
			EXPECT_EQ( buffer[0], 0 );
			continue;
		}
		EXPECT_EQ( DVDGetDriveStatus(), DVD_STATE_END );
		ASSERT_EQ( DVDTestCompletions().size(), 1u );
		EXPECT_EQ( DVDTestCompletions()[0].result, 64 );
		EXPECT_EQ( buffer[0], 1 );
		EXPECT_EQ( buffer[63], 64 );
		EXPECT_TRUE( DVDClose( &file ) );
	}
}
