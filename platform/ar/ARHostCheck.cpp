#include "platform/ar/ARHostCheck.h"

#include "platform/os/OS.h"

#include <cstdarg>
#include <cstdio>

namespace {

constexpr u32 CHECK_TEXT_MAX = 256;

u32		failures[AR_CHECK_KIND_COUNT];
bool	fatal = false;

}

void ARHostFail( const ARHostCheck kind, const char* format, ... ) {
	char text[CHECK_TEXT_MAX];
	va_list args;
	va_start( args, format );
	std::vsnprintf( text, sizeof( text ), format, args );
	va_end( args );
	if ( kind < AR_CHECK_KIND_COUNT ) {
		++failures[kind];
	}
	if ( fatal ) {
		OSPanic( __FILE__, __LINE__, "%s", text );
	}
	OSReport( "host audio: %s\n", text );
}

u32 ARHostFailureCount( const ARHostCheck kind ) {
	return kind < AR_CHECK_KIND_COUNT ? failures[kind] : 0;
}

u32 ARHostFailureTotal() {
	u32 total = 0;
	for ( const u32 count : failures ) {
		total += count;
	}
	return total;
}

void ARHostSetChecksFatal( const bool isFatal ) {
	fatal = isFatal;
}

void ARHostResetChecks() {
	for ( u32& count : failures ) {
		count = 0;
	}
	fatal = false;
}
