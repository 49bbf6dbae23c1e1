#include "platform/host/HostStartupLog.h"

namespace {

const char *	names[HOST_STARTUP_LOG_ENTRIES];
u32				count;

}

void HostStartupLogAppend( const char * const name ) {
	if ( count < HOST_STARTUP_LOG_ENTRIES ) {
		names[count] = name;
	}
	if ( count != 0xFFFFFFFFu ) {
		count++;
	}
}

u32 HostStartupLogCount() {
	return count;
}

const char * HostStartupLogAt( const u32 index ) {
	return index < count && index < HOST_STARTUP_LOG_ENTRIES ? names[index] : nullptr;
}

void HostStartupLogClear() {
	count = 0;
}
