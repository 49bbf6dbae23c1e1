#include "platform/axfx/AXFX.h"
#include "platform/axfx/AXFXHost.h"

namespace {

struct AXFXRecord {
	AXFXAllocFunc	alloc;
	AXFXFreeFunc	free;
	u32				shutdowns[AXFX_HOST_KIND_COUNT];
	void*			lastShutdown[AXFX_HOST_KIND_COUNT];
};

AXFXRecord record;

void RecordShutdown( const AXFXHostKind kind, void* parameters ) {
	++record.shutdowns[kind];
	record.lastShutdown[kind] = parameters;
}

}

void AXFXSetHooks( const AXFXAllocFunc alloc, const AXFXFreeFunc free ) {
	record.alloc = alloc;
	record.free = free;
}

void AXFXGetHooks( AXFXAllocFunc* alloc, AXFXFreeFunc* free ) {
	if ( alloc != nullptr ) {
		*alloc = record.alloc;
	}
	if ( free != nullptr ) {
		*free = record.free;
	}
}

void AXFXReverbStdShutdown( void* parameters ) {
	RecordShutdown( AXFX_HOST_REVERB_STD, parameters );
}

void AXFXReverbHiShutdown( void* parameters ) {
	RecordShutdown( AXFX_HOST_REVERB_HI, parameters );
}

void AXFXDelayShutdown( void* parameters ) {
	RecordShutdown( AXFX_HOST_DELAY, parameters );
}

void AXFXChorusShutdown( void* parameters ) {
	RecordShutdown( AXFX_HOST_CHORUS, parameters );
}

u32 AXFXHostShutdownCount( const AXFXHostKind kind ) {
	return kind < AXFX_HOST_KIND_COUNT ? record.shutdowns[kind] : 0;
}

void* AXFXHostLastShutdown( const AXFXHostKind kind ) {
	return kind < AXFX_HOST_KIND_COUNT ? record.lastShutdown[kind] : nullptr;
}

void AXFXHostReset() {
	record = AXFXRecord{};
}
