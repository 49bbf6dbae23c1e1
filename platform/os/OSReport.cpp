#include "platform/os/OS.h"
#include "platform/os/OSHost.h"

#include "platform/host/HostEventQueue.h"

#include <cstdio>
#include <cstdlib>

namespace {

// One report line; longer reports are cut, as on the console's debug port.
constexpr u32 REPORT_TEXT_MAX = 1024;

void DefaultReport( const char* text ) {
	std::fputs( text, stdout );
	std::fflush( stdout );
}

void DefaultPanic( const char* file, const s32 line, const char* message ) {
	std::fflush( stdout );
	std::fprintf( stderr, "PANIC in %s line %d: %s\n", file, line, message );
	HostStopEvents();
	std::exit( EXIT_FAILURE );
}

void DefaultReset( const s32 reset, const u32 resetCode, const BOOL forceMenu ) {
	std::fflush( stdout );
	std::fprintf( stderr, "The console was reset (kind %d, code %u, menu %d): the engine stops here.\n",
				  reset, resetCode, forceMenu );
	HostStopEvents();
	std::exit( EXIT_SUCCESS );
}

OSHostReportHook	reportHook = DefaultReport;
OSHostPanicHook		panicHook = DefaultPanic;
OSHostResetHook		resetHook = DefaultReset;
bool				resetButton = false;
OSHostResetButtonSource	resetButtonSource = nullptr;

}

void OSVReport( const char* format, va_list args ) {
	char text[REPORT_TEXT_MAX];
	std::vsnprintf( text, sizeof( text ), format, args );
	reportHook( text );
}

void OSReport( const char* format, ... ) {
	va_list args;
	va_start( args, format );
	OSVReport( format, args );
	va_end( args );
}

void OSPanic( const char* file, const s32 line, const char* format, ... ) {
	char text[REPORT_TEXT_MAX];
	va_list args;
	va_start( args, format );
	std::vsnprintf( text, sizeof( text ), format, args );
	va_end( args );
	panicHook( file, line, text );
	// A hook that returns breaks the contract; the console never comes back.
	std::abort();
}

void OSResetSystem( const s32 reset, const u32 resetCode, const BOOL forceMenu ) {
	resetHook( reset, resetCode, forceMenu );
}

BOOL OSGetResetButtonState() {
	const bool sourcePressed = resetButtonSource != nullptr && resetButtonSource();
	return resetButton || sourcePressed ? 1 : 0;
}

OSHostResetButtonSource OSHostSetResetButtonSource( const OSHostResetButtonSource source ) {
	const OSHostResetButtonSource previous = resetButtonSource;
	resetButtonSource = source;
	return previous;
}

void OSHostSetResetButton( const bool pressed ) {
	resetButton = pressed;
}

OSHostReportHook OSHostSetReportHook( const OSHostReportHook hook ) {
	const OSHostReportHook previous = reportHook;
	reportHook = hook != nullptr ? hook : DefaultReport;
	return previous;
}

OSHostPanicHook OSHostSetPanicHook( const OSHostPanicHook hook ) {
	const OSHostPanicHook previous = panicHook;
	panicHook = hook != nullptr ? hook : DefaultPanic;
	return previous;
}

OSHostResetHook OSHostSetResetHook( const OSHostResetHook hook ) {
	const OSHostResetHook previous = resetHook;
	resetHook = hook != nullptr ? hook : DefaultReset;
	return previous;
}
