// Command FIFO and GPU of the host graphics library.
//
// Every command is put at the FIFO's write position with its size: a draw
// its real bytes, any other command GXHOST_COMMAND_BYTES. GXFlush makes
// what was written visible to the GPU, which runs as host events and
// executes up to commandsPerPump commands per event. An armed break point
// stops the GPU when its read position reaches the address and raises the
// callback at interrupt level; arming it again or disarming releases the
// GPU. Draw-sync tokens and copies take effect when executed.

#include "platform/gx/GXInternal.h"

#include "platform/host/HostClock.h"
#include "platform/host/HostEventQueue.h"
#include "platform/os/OS.h"
#include "platform/vi/VIHost.h"

#include <cstring>

namespace {

// Virtual seconds a FIFO-full wait may last without GPU progress.
constexpr s64 WAIT_LIMIT_SECONDS = 10;
constexpr u64 WRITE_GATHER_BYTES = 32;

u8* ReadAddress() {
	GXFifoObj* const fifo = gx.gpFifo;
	if ( fifo == nullptr || fifo->size == 0 ) {
		return nullptr;
	}
	return fifo->base + fifo->readBytes % fifo->size;
}

void PumpHandler( void* );

void ClearEfb() {
	const GXColor c = gx.copy.clearColour;
	const u32 argb = static_cast<u32>( c.a ) << 24 | static_cast<u32>( c.r ) << 16 | static_cast<u32>( c.g ) << 8 | c.b;
	gx.efb.assign( GXHOST_EFB_WIDTH * GXHOST_EFB_HEIGHT, argb );
}

void Execute( const GXCommand& command ) {
	switch ( command.kind ) {
		case GXCOMMAND_DRAW_SYNC:
			gx.drawSyncRegister = static_cast<u16>( command.value );
			break;
		case GXCOMMAND_COPY_DISP: {
			gx.copiesExecuted++;
			bool found = false;
			for ( auto& entry : gx.xfbSerials ) {
				if ( entry.first == command.target ) {
					entry.second = command.value;
					found = true;
				}
			}
			if ( !found ) {
				gx.xfbSerials.emplace_back( command.target, command.value );
			}
			if ( command.clear ) {
				ClearEfb();
			}
			break;
		}
		case GXCOMMAND_COPY_TEX:
			if ( command.clear ) {
				ClearEfb();
			}
			break;
		default:
			break;
	}
}

// True when the armed break point holds the GPU at its read position.
bool BreakPointReached() {
	if ( !gx.breakArmed || gx.releasedAtRead ) {
		return false;
	}
	return ReadAddress() == gx.breakAddress;
}

void Halt() {
	gx.halted = true;
	if ( gx.breakCallback != nullptr ) {
		gx.breakCallback();
	}
}

void RunGpu() {
	u32 executed = 0;
	while ( !gx.stalled && !gx.halted ) {
		if ( BreakPointReached() ) {
			Halt();
			continue;
		}
		if ( gx.commands.empty() || gx.commands.front().start >= gx.submitted || executed >= gx.commandsPerPump ) {
			break;
		}
		const GXCommand command = gx.commands.front();
		gx.commands.pop_front();
		Execute( command );
		if ( gx.gpFifo != nullptr ) {
			gx.gpFifo->readBytes = command.start + command.bytes;
		}
		gx.releasedAtRead = false;
		gx.progress++;
		executed++;
	}
	GXScheduleGpu();
}

void PumpHandler( void* ) {
	gx.pumpEvent = 0;
	RunGpu();
}

void ResumeHandler( void* ) {
	gx.resumeEvent = 0;
	gx.stalled = false;
	RunGpu();
}

// The serial of the copy an external frame buffer holds, for the video
// interface's retrace log.
u32 SerialOfFrameBuffer( const void* xfb ) {
	return GXHostCopySerial( xfb );
}

void Release() {
	if ( gx.halted ) {
		gx.halted = false;
		gx.releasedAtRead = true;
	}
}

}	// namespace

void GXScheduleGpu() {
	if ( gx.stalled || gx.halted || gx.pumpEvent != 0 ) {
		return;
	}
	const bool work = !gx.commands.empty() && gx.commands.front().start < gx.submitted;
	if ( work || BreakPointReached() ) {
		gx.pumpEvent = HostPostEventAfter( GXHOST_PUMP_TICKS, PumpHandler, nullptr );
	}
}

void GXResetGpu() {
	if ( gx.pumpEvent != 0 ) {
		HostCancelEvent( gx.pumpEvent );
	}
	if ( gx.resumeEvent != 0 ) {
		HostCancelEvent( gx.resumeEvent );
	}
	gx.pumpEvent = 0;
	gx.resumeEvent = 0;
	gx.defaultFifo = GXFifoObj();
	gx.cpuFifo = nullptr;
	gx.gpFifo = nullptr;
	gx.commands.clear();
	gx.submitted = 0;
	gx.drawSyncRegister = 0;
	gx.breakArmed = false;
	gx.breakAddress = nullptr;
	gx.halted = false;
	gx.releasedAtRead = false;
	gx.breakCallback = nullptr;
	gx.stalled = false;
	gx.commandsPerPump = 1024;
	gx.progress = 0;
}

GXCommand& GXWriteCommand( const GXCommandKind kind, const u32 bytes ) {
	GXFifoObj* const fifo = gx.cpuFifo;
	if ( fifo == nullptr || fifo->size == 0 ) {
		// Before GXInit nothing reaches a GPU.
		static GXCommand discarded;
		discarded = { kind, 0, bytes, 0, nullptr, false };
		return discarded;
	}
	u64 start = 0;
	{
		// Wait while the command would overrun what the GPU has not read.
		s64 waitStart = HostClockNow();
		u64 seen = gx.progress;
		while ( fifo->writeBytes + bytes - fifo->readBytes > fifo->size && !gx.commands.empty() ) {
			gx.submitted = fifo->writeBytes;
			GXScheduleGpu();
			HostIdle();
			if ( gx.progress != seen ) {
				seen = gx.progress;
				waitStart = HostClockNow();
			} else if ( HostClockNow() - waitStart > HostSecondsToTicks( WAIT_LIMIT_SECONDS ) ) {
				OSPanic( __FILE__, __LINE__, "GX FIFO full: no GPU progress for %d seconds",
						 static_cast<s32>( WAIT_LIMIT_SECONDS ) );
			}
		}
		start = fifo->writeBytes;
		fifo->writeBytes += bytes;
	}
	gx.commands.push_back( { kind, start, bytes, 0, nullptr, false } );
	// The write-gather pipe hands every full 32 bytes to the GPU.
	if ( fifo->writeBytes - gx.submitted >= WRITE_GATHER_BYTES ) {
		gx.submitted = fifo->writeBytes;
		GXScheduleGpu();
	}
	return gx.commands.back();
}

GXFifoObj* GXInit( void* base, const u32 size ) {
	GXResetGpu();
	GXResetState();
	GXInitFifoBase( &gx.defaultFifo, base, size );
	gx.cpuFifo = &gx.defaultFifo;
	gx.gpFifo = &gx.defaultFifo;
	gx.defaultFifo.cpuAttached = true;
	gx.defaultFifo.gpAttached = true;
	if ( gx.efb.empty() ) {
		gx.efb.assign( GXHOST_EFB_WIDTH * GXHOST_EFB_HEIGHT, 0 );
	}
	VIHostSetCopySerialSource( SerialOfFrameBuffer );
	GXRecordCpu( GXHOST_INIT, { GXWord( base ), size } );
	return &gx.defaultFifo;
}

void GXInitFifoBase( GXFifoObj* fifo, void* base, const u32 size ) {
	fifo->base = static_cast<u8*>( base );
	fifo->size = size;
	fifo->hiWatermark = size - 16 * 1024 < size ? size - 16 * 1024 : 0;
	fifo->loWatermark = size / 2;
	fifo->writeBytes = 0;
	fifo->readBytes = 0;
	GXRecordCpu( GXHOST_INIT_FIFO_BASE, { GXWord( fifo ), GXWord( base ), size } );
}

// Attaching a FIFO restarts it empty: whatever was pending is dropped.
void GXSetCPUFifo( GXFifoObj* fifo ) {
	gx.cpuFifo = fifo;
	fifo->cpuAttached = true;
	gx.commands.clear();
	gx.submitted = fifo->writeBytes;
	GXRecordCpu( GXHOST_SET_CPU_FIFO, { GXWord( fifo ) } );
}

void GXSetGPFifo( GXFifoObj* fifo ) {
	gx.gpFifo = fifo;
	fifo->gpAttached = true;
	fifo->readBytes = fifo->writeBytes;
	gx.halted = false;
	GXRecordCpu( GXHOST_SET_GP_FIFO, { GXWord( fifo ) } );
}

GXFifoObj* GXGetCPUFifo() {
	return gx.cpuFifo;
}

void GXGetFifoPtrs( const GXFifoObj* fifo, void** readPtr, void** writePtr ) {
	const u32 size = fifo->size != 0 ? fifo->size : 1;
	if ( readPtr != nullptr ) {
		*readPtr = fifo->base + fifo->readBytes % size;
	}
	if ( writePtr != nullptr ) {
		*writePtr = fifo->base + fifo->writeBytes % size;
	}
}

void GXSetCurrentGXThread() {
	GXRecordCpu( GXHOST_SET_CURRENT_THREAD, {} );
}

void GXFlush() {
	GXRecordCpu( GXHOST_FLUSH, {} );
	if ( gx.cpuFifo != nullptr ) {
		gx.submitted = gx.cpuFifo->writeBytes;
	}
	GXScheduleGpu();
}

void GXResetWriteGatherPipe() {
	GXRecordCpu( GXHOST_RESET_WRITE_GATHER_PIPE, {} );
}

void GXDrawDone() {
	GXRecordCpu( GXHOST_DRAW_DONE, {} );
	GXFlush();
	while ( !gx.commands.empty() && !gx.stalled && !gx.halted ) {
		HostIdle();
	}
}

void GXPixModeSync() {
	GXRecord( GXHOST_PIX_MODE_SYNC, {} );
}

void GXSetDrawSync( const u16 token ) {
	GXRecordCpu( GXHOST_SET_DRAW_SYNC, { token } );
	GXWriteCommand( GXCOMMAND_DRAW_SYNC, GXHOST_COMMAND_BYTES ).value = token;
	// The token write flushes, so that a wait for it cannot stall.
	if ( gx.cpuFifo != nullptr ) {
		gx.submitted = gx.cpuFifo->writeBytes;
	}
	GXScheduleGpu();
}

u16 GXReadDrawSync() {
	return gx.drawSyncRegister;
}

void GXEnableBreakPt( void* breakPtr ) {
	GXRecordCpu( GXHOST_ENABLE_BREAK_PT, { GXWord( breakPtr ) } );
	gx.breakArmed = true;
	gx.breakAddress = breakPtr;
	Release();
	GXScheduleGpu();
}

void GXDisableBreakPt() {
	GXRecordCpu( GXHOST_DISABLE_BREAK_PT, {} );
	gx.breakArmed = false;
	Release();
	GXScheduleGpu();
}

GXBreakPtCallback GXSetBreakPtCallback( const GXBreakPtCallback callback ) {
	GXRecordCpu( GXHOST_SET_BREAK_PT_CALLBACK, { GXWord( reinterpret_cast<const void*>( callback ) ) } );
	const GXBreakPtCallback previous = gx.breakCallback;
	gx.breakCallback = callback;
	return previous;
}

void GXCopyDisp( void* destination, const GXBool clear ) {
	const u32 serial = ++gx.copySerialIssued;
	GXRecordCpu( GXHOST_COPY_DISP, { GXWord( destination ), clear, serial } );
	GXCommand& command = GXWriteCommand( GXCOMMAND_COPY_DISP, GXHOST_COMMAND_BYTES );
	command.value = serial;
	command.target = destination;
	command.clear = clear != 0;
	GXHostEndFrameAfterCopy();
}

void GXCopyTex( void* destination, const GXBool clear ) {
	GXRecordCpu( GXHOST_COPY_TEX, { GXWord( destination ), clear } );
	GXCommand& command = GXWriteCommand( GXCOMMAND_COPY_TEX, GXHOST_COMMAND_BYTES );
	command.target = destination;
	command.clear = clear != 0;
}

void GXPeekARGB( const u16 x, const u16 y, u32* colour ) {
	if ( x >= GXHOST_EFB_WIDTH || y >= GXHOST_EFB_HEIGHT || gx.efb.empty() ) {
		*colour = 0;
		return;
	}
	*colour = gx.efb[y * GXHOST_EFB_WIDTH + x];
}

void GXHostFillEfb( const u32 x, const u32 y, const u32 width, const u32 height, const u32 argb ) {
	if ( gx.efb.empty() ) {
		gx.efb.assign( GXHOST_EFB_WIDTH * GXHOST_EFB_HEIGHT, 0 );
	}
	for ( u32 row = y; row < y + height && row < GXHOST_EFB_HEIGHT; row++ ) {
		for ( u32 col = x; col < x + width && col < GXHOST_EFB_WIDTH; col++ ) {
			gx.efb[row * GXHOST_EFB_WIDTH + col] = argb;
		}
	}
}

void GXHostStall() {
	gx.stalled = true;
	if ( gx.pumpEvent != 0 ) {
		HostCancelEvent( gx.pumpEvent );
		gx.pumpEvent = 0;
	}
}

void GXHostResume() {
	gx.stalled = false;
	GXScheduleGpu();
}

void GXHostResumeAt( const s64 tick ) {
	if ( gx.resumeEvent != 0 ) {
		HostCancelEvent( gx.resumeEvent );
	}
	gx.resumeEvent = HostPostEventAt( tick, ResumeHandler, nullptr );
}

void GXHostSetCommandsPerPump( const u32 commands ) {
	gx.commandsPerPump = commands > 0 ? commands : 1;
}

bool GXHostGpuStalled() {
	return gx.stalled;
}

bool GXHostGpuHalted() {
	return gx.halted;
}

bool GXHostBreakPointArmed() {
	return gx.breakArmed;
}

u32 GXHostPendingCommands() {
	return static_cast<u32>( gx.commands.size() );
}

u64 GXHostGpuProgress() {
	return gx.progress;
}

u32 GXHostCopySerial( const void* xfb ) {
	for ( const auto& entry : gx.xfbSerials ) {
		if ( entry.first == xfb ) {
			return entry.second;
		}
	}
	return 0;
}

u32 GXHostCopiesExecuted() {
	return gx.copiesExecuted;
}
