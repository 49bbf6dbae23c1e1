#include "framework/core/engine/EFCallTrace.h"

#include <cstring>

namespace {

const char*	traceNames[EF_CALL_TRACE_CAPACITY];
u32			traceTotal = 0;
bool		traceOn = false;

}

void EFCallTraceAdd( const char* name ) {
	if ( !traceOn ) {
		return;
	}
	traceNames[traceTotal % EF_CALL_TRACE_CAPACITY] = name;
	traceTotal++;
}

void EFCallTraceEnable( const bool enable ) {
	traceOn = enable;
	traceTotal = 0;
}

u32 EFCallTraceCount() {
	return traceTotal < EF_CALL_TRACE_CAPACITY ? traceTotal : EF_CALL_TRACE_CAPACITY;
}

const char* EFCallTraceAt( const u32 index ) {
	const u32 count = EFCallTraceCount();
	if ( index >= count ) {
		return "";
	}
	const u32 first = traceTotal - count;
	return traceNames[( first + index ) % EF_CALL_TRACE_CAPACITY];
}

u32 EFCallTraceCountOf( const char* name ) {
	u32 count = 0;
	for ( u32 i = 0; i < EFCallTraceCount(); i++ ) {
		if ( std::strcmp( EFCallTraceAt( i ), name ) == 0 ) {
			count++;
		}
	}
	return count;
}
