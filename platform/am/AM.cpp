#include "platform/am/AM.h"
#include "platform/am/AMHost.h"

#include "platform/ar/AR.h"
#include "platform/ar/ARHost.h"
#include "platform/ar/ARHostCheck.h"
#include "platform/host/HostStartupLog.h"

#include <cstring>

namespace {

u32 zeroBuffer = 0;

}

void AMInit( const u32 base, const u32 size ) {
	HostStartupLogAppend( "AMInit" );
	if ( size < AM_ZERO_BUFFER_BYTES || !ARHostIsUserRange( base, size ) ) {
		ARHostFail( AR_CHECK_OUT_OF_RANGE, "AMInit(0x%x, 0x%x): not a block of user auxiliary memory", base, size );
		return;
	}
	zeroBuffer = base;
	std::memset( ARHostMemory() + base, 0, AM_ZERO_BUFFER_BYTES );
}

u32 AMGetZeroBuffer() {
	return zeroBuffer;
}

bool AMHostTouchesZeroBuffer( const u32 address, const u32 length ) {
	if ( zeroBuffer == 0 || length == 0 ) {
		return false;
	}
	const u64 start = address;
	const u64 end = start + length;
	return start < static_cast<u64>( zeroBuffer ) + AM_ZERO_BUFFER_BYTES && end > zeroBuffer;
}

void AMHostReset() {
	zeroBuffer = 0;
}
