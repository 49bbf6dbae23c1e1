#include "PADTestSupport.h"

#include "platform/os/OS.h"

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

u32 TotalPending() {
	u32 total = 0;
	for ( s32 chan = 0; chan < PAD_MAX_CONTROLLERS; ++chan ) {
		total += PADHostPendingFrames( chan );
	}
	return total;
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

TEST_F( PADScriptTest, ReadsEachPortsLinesAsItsFramesInOrder ) {
	const char* script =
		"# port buttons stick c-stick triggers [analog A B]\n"
		"0 0 0 0 0 0 0 0\n"
		"2 none\n"
		"\n"
		"0 A+B 127 -128 1 -1 255 0 7 8   # jump\r\n"
		"2 0x1000 0 0 0 0 0 0\n"
		"0 -\n"
		"   \t\n"
		"0 none\n"
		"0 start 0 0 0 0 0 0";	// no newline at the end
	ASSERT_TRUE( PADHostParseScript( script ) );
	EXPECT_EQ( PADHostPendingFrames( 0 ), 5u );
	EXPECT_EQ( PADHostPendingFrames( 2 ), 2u );

	const PADStatus none = ErrorReading( PAD_ERR_NO_CONTROLLER );
	const PADStatus jump = Reading( PAD_BUTTON_A | PAD_BUTTON_B, 127, -128, 1, -1, 255, 0, 7, 8 );
	const struct {
		PADStatus	port0;
		PADStatus	port2;
	} frames[] = {
		{ Reading( 0 ), none },
		{ jump, Reading( PAD_BUTTON_START ) },
		{ jump, Reading( PAD_BUTTON_START ) },
		{ none, Reading( PAD_BUTTON_START ) },
		{ Reading( PAD_BUTTON_START ), Reading( PAD_BUTTON_START ) },
		{ Reading( PAD_BUTTON_START ), Reading( PAD_BUTTON_START ) },
	};
	for ( u32 f = 0; f < sizeof( frames ) / sizeof( frames[0] ); ++f ) {
		SCOPED_TRACE( f );
		PADStatus status[PAD_MAX_CONTROLLERS];
		PADRead( status );
		EXPECT_EQ( status[0], frames[f].port0 );
		EXPECT_EQ( status[2], frames[f].port2 );
		EXPECT_EQ( status[1], none );
	}
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
		const std::string line = std::string( "3 " ) + c.token + " 0 0 0 0 0 0\n";
		ASSERT_TRUE( PADHostParseScript( line.c_str() ) );
		EXPECT_EQ( ReadPort( 3 ).button, c.bits );
	}
}

TEST_F( PADScriptTest, RejectsAMalformedScriptWholeAndNamesTheLine ) {
	const char* badLines[] = {
		"4 0 0 0 0 0 0 0",				// no such port
		"-1 0 0 0 0 0 0 0",
		"00x 0 0 0 0 0 0 0",
		"0",							// nothing for the port
		"0 0 0 0 0 0 0",				// a field short
		"0 0 0 0 0 0 0 0 0",			// one analog button without the other
		"0 0 0 0 0 0 0 0 0 0 0",		// a field too many
		"0 0 128 0 0 0 0 0",			// stick out of range
		"0 0 0 -129 0 0 0 0",
		"0 0 0 0 0 0 256 0",			// trigger out of range
		"0 0 0 0 0 0 -1 0",
		"0 0 0 0 0 0 0 0 300 0",		// analog button out of range
		"0 0 0 0 0 0 0 1e2",
		"0 0 0 0 0 0 0 7x",
		"0 0 99999999999999999999 0 0 0 0 0",
		"0 JUMP 0 0 0 0 0 0",			// unknown button
		"0 A+ 0 0 0 0 0 0",
		"0 +A 0 0 0 0 0 0",
		"0 0x10000 0 0 0 0 0 0",		// beyond 16 bits
		"0 0x0080 0 0 0 0 0 0",			// not a button
		"0 0x 0 0 0 0 0 0",
		"0 - 1",						// no-change takes nothing more
		"0 none 0",
		"0 AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA 0 0 0 0 0 0",
		"0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0",
	};
	for ( const char* bad : badLines ) {
		SCOPED_TRACE( bad );
		reports.clear();
		// Good lines around the bad one must not reach the queues either.
		const std::string script = std::string( "1 A 0 0 0 0 0 0\n# note\n2 none\n" ) + bad + "\n3 B 0 0 0 0 0 0\n";
		EXPECT_FALSE( PADHostParseScript( script.c_str() ) );
		EXPECT_EQ( TotalPending(), 0u );
		EXPECT_NE( reports.find( "line 4" ), std::string::npos ) << reports;
	}
	EXPECT_FALSE( PADHostParseScript( nullptr ) );
	EXPECT_EQ( ReadPort( 1 ), ErrorReading( PAD_ERR_NO_CONTROLLER ) );
}

TEST_F( PADScriptTest, LoadsScriptFilesAndRefusesUnreadableOnes ) {
	const std::string good = WriteTempFile( "1 Y -5 5 0 0 0 0\n" );
	ASSERT_FALSE( good.empty() );
	EXPECT_TRUE( PADHostLoadScript( good.c_str() ) );
	std::remove( good.c_str() );
	EXPECT_EQ( ReadPort( 1 ), Reading( PAD_BUTTON_Y, -5, 5 ) );

	// A NUL byte would cut the script short without anyone noticing.
	const std::string withNul = WriteTempFile( std::string( "2 A 0 0 0 0 0 0\n\0" "2 B 0 0 0 0 0 0\n", 34 ) );
	ASSERT_FALSE( withNul.empty() );
	EXPECT_FALSE( PADHostLoadScript( withNul.c_str() ) );
	std::remove( withNul.c_str() );

	const std::string malformed = WriteTempFile( "2 A 0 0 0 0 0 0\n2 Q\n" );
	ASSERT_FALSE( malformed.empty() );
	EXPECT_FALSE( PADHostLoadScript( malformed.c_str() ) );
	std::remove( malformed.c_str() );

	EXPECT_FALSE( PADHostLoadScript( "/nonexistent/pad-script" ) );
	EXPECT_FALSE( PADHostLoadScript( "/tmp" ) );
	EXPECT_FALSE( PADHostLoadScript( nullptr ) );
	EXPECT_EQ( PADHostPendingFrames( 2 ), 0u );
}
