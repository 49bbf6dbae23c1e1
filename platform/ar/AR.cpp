#include "platform/ar/AR.h"
#include "platform/ar/ARHost.h"

#include "platform/ar/ARHostCheck.h"
#include "platform/vm/VM.h"
#include "platform/vm/VMHost.h"
#include "platform/host/HostStartupLog.h"

#include <cstring>

namespace {

u8		memory[AR_HOST_SIZE];
u32*	stackRecords = nullptr;
u32		stackCapacity = 0;
u32		stackDepth = 0;
u32		top = AR_HOST_BASE_ADDRESS;

}

void ARInit( u32* stack, const u32 entries ) {
	HostStartupLogAppend( "ARInit" );
	stackRecords = stack;
	stackCapacity = stack != nullptr ? entries : 0;
	stackDepth = 0;
	top = AR_HOST_BASE_ADDRESS;
}

u32 ARAlloc( const u32 size ) {
	const u64 rounded = ( static_cast<u64>( size ) + AR_ALIGNMENT - 1 ) & ~static_cast<u64>( AR_ALIGNMENT - 1 );
	if ( stackDepth >= stackCapacity ) {
		ARHostFail( AR_CHECK_ALLOCATION, "ARAlloc(%u): no allocation record left (ARInit gave %u)", size, stackCapacity );
		return 0;
	}
	if ( rounded > AR_HOST_SIZE - top ) {
		ARHostFail( AR_CHECK_ALLOCATION, "ARAlloc(%u): only %u bytes left", size, AR_HOST_SIZE - top );
		return 0;
	}
	const u32 address = top;
	stackRecords[stackDepth++] = address;
	top += static_cast<u32>( rounded );
	return address;
}

u32 ARGetBaseAddress() {
	return AR_HOST_BASE_ADDRESS;
}

u32 ARGetSize() {
	return AR_HOST_SIZE;
}

u8* ARHostMemory() {
	return memory;
}

bool ARHostIsUserRange( const u32 address, const u32 length ) {
	return address >= AR_HOST_BASE_ADDRESS && address <= AR_HOST_SIZE && length <= AR_HOST_SIZE - address;
}

u32 ARHostVirtualMemoryStart() {
	if ( VMHostAuxBytes() == 0 || VMHostAuxStart() >= AR_HOST_SIZE ) {
		return AR_HOST_SIZE;
	}
	return VMHostAuxStart();
}

void ARHostReset() {
	std::memset( memory, 0, sizeof( memory ) );
	stackRecords = nullptr;
	stackCapacity = 0;
	stackDepth = 0;
	top = AR_HOST_BASE_ADDRESS;
}
