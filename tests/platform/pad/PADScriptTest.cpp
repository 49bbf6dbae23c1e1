#include "PADTestSupport.h"
#include "platform/pad/PADHost.h"

#include "platform/os/OS.h"
#include "platform/os/OSHost.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

std::string reports;

void CaptureReport( const char* text ) {
	reports += text;
}

class PADScriptTest : public PADTestBase {
protected:
	void SetUp() override {
		PADTestBase::SetUp();
		reports.clear();
		previousHook = OSHostSetReportHook( CaptureReport );
	}
	void TearDown() override {
		OSHostSetReportHook( previousHook );
		PADTestBase::TearDown();
	}
	OSHostReportHook previousHook = nullptr;
};

PADStatus ReadPort( const s32 chan ) {
	PADStatus status[PAD_MAX_CONTROLLERS];
	PADRead( status );
	return status[chan];
}

std::string WriteTempFile( const std::string& contents ) {
	char path[] = "/tmp/pad-script-XXXXXX";
	const int fd = mkstemp( path );
	if ( fd < 0 ) {
		return "";
	}
	const ssize_t written = write( fd, contents.data(), contents.size() );
	close( fd );
	return written == static_cast<ssize_t>( contents.size() ) ? path : "";
}

}

TEST_F( PADScriptTest, EachLineIsARecordHoldingFromItsFrame ) {
	const char* script =
		"# frame port buttons stick c-stick triggers [analog A B]\n"
		"0 0 0 0 0 0 0 0 0\n"
		"0 2 none\n"
		"\n"
		"1 0 A+B 127 -128 1 -1 255 0 7 8   # jump\r\n"
		"2 reset 1\n"
		"3 2 0x1000 0 0 0 0 0 0\n"
		"   \t\n"
		"3 0 none\n"
		"3 RESET 0\n"
		"5 0 start 0 0 0 0 0 0";	// no newline at the end
	ASSERT_TRUE( PADHostParseScript( script ) );

	const PADStatus none = ErrorReading( PAD_ERR_NO_CONTROLLER );
	const PADStatus jump = Reading( PAD_BUTTON_A | PAD_BUTTON_B, 127, -128, 1, -1, 255, 0, 7, 8 );
	const PADStatus start = Reading( PAD_BUTTON_START );
	const struct {
		PADStatus	port0;
		PADStatus	port2;
		BOOL		reset;
	} frames[] = {
		{ Reading( 0 ), none, 0 },
		{ jump, none, 0 },
		{ jump, none, 1 },
		{ none, start, 0 },
		{ none, start, 0 },
		{ start, start, 0 },
		{ start, start, 0 },
	};
	for ( u32 f = 0; f < sizeof( frames ) / sizeof( frames[0] ); ++f ) {
		SCOPED_TRACE( f );
		ASSERT_EQ( VIGetRetraceCount(), f );
		PADStatus status[PAD_MAX_CONTROLLERS];
		PADRead( status );
		EXPECT_EQ( status[0], frames[f].port0 );
		EXPECT_EQ( status[2], frames[f].port2 );
		EXPECT_EQ( status[1], Reading( 0 ) );
		EXPECT_EQ( OSGetResetButtonState(), frames[f].reset );
		NextFrame();
	}
}

TEST_F( PADScriptTest, AddsToTheRecordsAlreadyMade ) {
	ASSERT_TRUE( PADHostSetStatus( 1, 0, Reading( PAD_BUTTON_Y ) ) );
	ASSERT_TRUE( PADHostSetStatus( 1, 4, Reading( PAD_TRIGGER_Z ) ) );
	// Frame 4 is given again: the script's record replaces the test's.
	ASSERT_TRUE( PADHostParseScript( "2 1 A 0 0 0 0 0 0\n4 1 B 0 0 0 0 0 0\n" ) );
	const u16 expected[] = { PAD_BUTTON_Y, PAD_BUTTON_Y, PAD_BUTTON_A, PAD_BUTTON_A, PAD_BUTTON_B, PAD_BUTTON_B };
	for ( const u16 buttons : expected ) {
		SCOPED_TRACE( VIGetRetraceCount() );
		EXPECT_EQ( ReadPort( 1 ), Reading( buttons ) );
		NextFrame();
	}
}

TEST_F( PADScriptTest, TakesFramesAcrossTheWholeRetraceCount ) {
	ASSERT_TRUE( PADHostParseScript( "4294967295 3 X 0 0 0 0 0 0\n4294967295 reset 1\n" ) );
	EXPECT_EQ( ReadPort( 3 ), Reading( 0 ) );
	EXPECT_EQ( OSGetResetButtonState(), 0 );
	ASSERT_TRUE( PADHostParseScript( "0 3 none\n" ) );
	EXPECT_EQ( ReadPort( 3 ), ErrorReading( PAD_ERR_NO_CONTROLLER ) );
}

TEST_F( PADScriptTest, NamesButtonsByNumberOrByName ) {
	const struct {
		const char*	token;
		u16			bits;
	} cases[] = {
		{ "0", 0 },
		{ "4096", PAD_BUTTON_START },
		{ "0x1000", PAD_BUTTON_START },
		{ "0x1F7F", PAD_BUTTON_ALL },
		{ "A+B+X", PAD_BUTTON_A | PAD_BUTTON_B | PAD_BUTTON_X },
		{ "start", PAD_BUTTON_START },
		{ "up+Down+LEFT+right", PAD_BUTTON_UP | PAD_BUTTON_DOWN | PAD_BUTTON_LEFT | PAD_BUTTON_RIGHT },
		{ "Z+L+R+Y", PAD_TRIGGER_Z | PAD_TRIGGER_L | PAD_TRIGGER_R | PAD_BUTTON_Y },
		{ "A+A", PAD_BUTTON_A },
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.token );
		const std::string line = std::string( "0 3 " ) + c.token + " 0 0 0 0 0 0\n";
		ASSERT_TRUE( PADHostParseScript( line.c_str() ) );
		EXPECT_EQ( ReadPort( 3 ).button, c.bits );
	}
}

TEST_F( PADScriptTest, RejectsAMalformedScriptWholeAndNamesTheLine ) {
	const char* badLines[] = {
		"0 4 0 0 0 0 0 0 0",				// no such port
		"0 -1 0 0 0 0 0 0 0",
		"0 00x 0 0 0 0 0 0 0",
		"0 0",								// nothing for the port
		"0",
		"0 0 0 0 0 0 0 0",					// a field short
		"0 0 0 0 0 0 0 0 0 0",				// one analog button without the other
		"0 0 0 0 0 0 0 0 0 0 0 0",			// a field too many
		"0 0 0 128 0 0 0 0 0",				// stick out of range
		"0 0 0 0 -129 0 0 0 0",
		"0 0 0 0 0 0 0 256 0",				// trigger out of range
		"0 0 0 0 0 0 0 -1 0",
		"0 0 0 0 0 0 0 0 0 300 0",			// analog button out of range
		"0 0 0 0 0 0 0 0 1e2",
		"0 0 0 0 0 0 0 0 7x",
		"0 0 0 99999999999999999999 0 0 0 0 0",
		"0 0 JUMP 0 0 0 0 0 0",				// unknown button
		"0 0 A+ 0 0 0 0 0 0",
		"0 0 +A 0 0 0 0 0 0",
		"0 0 0x10000 0 0 0 0 0 0",			// beyond 16 bits
		"0 0 0x0080 0 0 0 0 0 0",			// not a button
		"0 0 0x 0 0 0 0 0 0",
		"0 0 - 0 0 0 0 0 0",
		"0 0 none 0",						// none takes nothing more
		"-1 0 0 0 0 0 0 0 0",				// frame out of range
		"4294967296 0 0 0 0 0 0 0 0",
		"0x10 0 0 0 0 0 0 0 0",				// frames are decimal
		"frame 0 0 0 0 0 0 0 0",
		"A 0 0 0 0 0 0 0",					// the frame left out
		"0 reset",							// the reset button's state missing
		"0 reset 2",
		"0 reset yes",
		"0 reset 1 0",
		"0 RESETS 1",
		"4 2 none",							// port 2 went back in time
		"5 2 none",							// ... or stayed on its frame
		"0 0 AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA 0 0 0 0 0 0",
		"0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0",
	};
	for ( const char* bad : badLines ) {
		SCOPED_TRACE( bad );
		reports.clear();
		// Good lines around the bad one must not reach the records either.
		const std::string script =
			std::string( "0 1 A 0 0 0 0 0 0\n# note\n5 2 none\n" ) + bad + "\n0 3 B 0 0 0 0 0 0\n0 reset 1\n";
		EXPECT_FALSE( PADHostParseScript( script.c_str() ) );
		EXPECT_NE( reports.find( "line 4" ), std::string::npos ) << reports;
		GoToFrame( 10 );
		for ( s32 chan = 0; chan < PAD_MAX_CONTROLLERS; ++chan ) {
			EXPECT_EQ( ReadPort( chan ), Reading( 0 ) ) << "port " << chan;
		}
		EXPECT_EQ( OSGetResetButtonState(), 0 );
	}
	EXPECT_FALSE( PADHostParseScript( nullptr ) );

	// Different ports and the reset button keep their own order.
	EXPECT_TRUE( PADHostParseScript( "5 2 none\n0 1 A 0 0 0 0 0 0\n3 reset 1\n" ) );
	EXPECT_EQ( OSGetResetButtonState(), 1 );
	EXPECT_EQ( ReadPort( 2 ), ErrorReading( PAD_ERR_NO_CONTROLLER ) );
}

TEST_F( PADScriptTest, LoadsScriptFilesAndRefusesUnreadableOnes ) {
	const std::string good = WriteTempFile( "0 1 Y -5 5 0 0 0 0\n" );
	ASSERT_FALSE( good.empty() );
	EXPECT_TRUE( PADHostLoadScript( good.c_str() ) );
	std::remove( good.c_str() );
	EXPECT_EQ( ReadPort( 1 ), Reading( PAD_BUTTON_Y, -5, 5 ) );

	// A NUL byte would cut the script short without anyone noticing.
	const std::string withNul = WriteTempFile( std::string( "0 2 A 0 0 0 0 0 0\n\0" "1 2 B 0 0 0 0 0 0\n", 37 ) );
	ASSERT_FALSE( withNul.empty() );
	EXPECT_FALSE( PADHostLoadScript( withNul.c_str() ) );
	std::remove( withNul.c_str() );

	const std::string malformed = WriteTempFile( "0 2 A 0 0 0 0 0 0\n1 2 Q\n" );
	ASSERT_FALSE( malformed.empty() );
	EXPECT_FALSE( PADHostLoadScript( malformed.c_str() ) );
	std::remove( malformed.c_str() );

	EXPECT_FALSE( PADHostLoadScript( "/nonexistent/pad-script" ) );
	EXPECT_FALSE( PADHostLoadScript( "/tmp" ) );
	EXPECT_FALSE( PADHostLoadScript( nullptr ) );
	EXPECT_EQ( ReadPort( 2 ), Reading( 0 ) );
}
