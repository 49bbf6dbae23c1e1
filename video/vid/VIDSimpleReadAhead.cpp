#include "video/vid/VIDSimpleReadAhead.h"

#include "datatypes/base/DTByteOrder.h"
#include "platform/dvd/DVD.h"
#include "platform/os/OS.h"
#include "video/vid/VIDSimpleDecodeSinks.h"
#include "video/vid/VIDSimplePlayer.h"

#include <cstring>

namespace {

constexpr uintptr_t SLOT_ALIGN_MASK = VID_BLOCK - 1;

void OnFrameRead( s32 result, DVDFileInfo* fileInfo );

// Ends the reading: nothing more is read, and the frames already buffered
// are the last ones the player shows before it ends the movie.
void EndReading() {
	player.error = 1;
	player.nextFrameNumber = player.videoHeader.frameCount;
}

// A read must hold at least the next frame's header and fit its slot.
bool NextSizeFits() {
	return player.nextSize >= VID_BLOCK && player.nextSize <= VIDSlotCapacity( player.videoHeader.largestFrame );
}

void RestartAtFirstFrame() {
	player.nextFrameNumber = 0;
	player.nextOffset = player.firstFrameOffset;
	player.nextSize = player.firstFrameSize;
}

// The write slot received the frame of size bytes: hand it over and move
// the read position on. The next frame's size is the size word of its
// header, the last 32 bytes of this read.
void TakeFrame( const u32 size ) {
	VIDSimpleSlot& slot = player.slots[player.writeSlot];
	slot.frameNumber = player.nextFrameNumber;
	slot.bytes = size;
	slot.filled = 1;
	player.nextFrameNumber += 1;
	player.nextOffset += size;
	player.nextSize = player.nextFrameNumber < player.videoHeader.frameCount ? DTReadBE32( slot.data + size - VID_NEXT_SIZE_BACK ) : 0;
	player.writeSlot = ( player.writeSlot + 1 ) % VID_SLOT_COUNT;
}

// Starts the read of the next frame into the write slot.
void StartRead() {
	if ( player.error != 0 || player.running == 0 ) {
		return;
	}
	if ( player.nextFrameNumber >= player.videoHeader.frameCount ) {
		if ( player.loop == 0 ) {
			return;
		}
		RestartAtFirstFrame();
	}
	if ( !NextSizeFits() ) {
		EndReading();
		return;
	}
	player.readInProgress = 1;
	if ( !DVDReadAsyncPrio( &player.fileInfo, player.slots[player.writeSlot].data, static_cast<s32>( player.nextSize ),
							static_cast<s32>( player.nextOffset ), OnFrameRead, DVD_PRIO_NORMAL ) ) {
		player.readInProgress = 0;
		player.error = 1;
	}
}

// Completion of a frame read, at interrupt level.
void OnFrameRead( const s32 result, DVDFileInfo* ) {
	if ( result == DVD_RESULT_CANCELED ) {
		return;
	}
	if ( result == DVD_RESULT_FATAL_ERROR ) {
		// The read flag stays up until the stop, so the movie cannot be
		// closed without stopping; the movie ends after the buffered frames.
		EndReading();
		return;
	}
	player.readInProgress = 0;
	if ( result < 0 || static_cast<u32>( result ) < player.nextSize ) {
		EndReading();
		return;
	}
	TakeFrame( player.nextSize );
	if ( player.slots[player.writeSlot].filled == 0 ) {
		StartRead();
	}
}

// Hands the frame's sub-chunks on. The last 32 bytes are the next frame's
// header; a sub-chunk too small for its own header or larger than what is
// left ends the walk.
void WalkFrame( const u8* data, const u32 bytes ) {
	const VIDVideoDecodeSink decodeVideo = VIDSimpleVideoDecodeSink();
	const VIDAudioDecodeSink decodeAudio = VIDSimpleAudioDecodeSink();
	u32 remaining = bytes - VID_BLOCK;
	while ( remaining >= VID_BLOCK ) {
		const u32 tag = DTReadBE32( data );
		const u32 size = DTReadBE32( data + 4 );
		if ( size < VID_SUB_HEADER_SIZE || size > remaining ) {
			return;
		}
		if ( tag == VID_TAG_VIDEO_DATA ) {
			decodeVideo( player.decoder, data + VID_SUB_HEADER_SIZE, size - VID_SUB_HEADER_SIZE, &player.image );
		} else if ( tag == VID_TAG_AUDIO_DATA ) {
			decodeAudio( data + VID_SUB_HEADER_SIZE, size - VID_SUB_HEADER_SIZE );
		}
		data += size;
		remaining -= size;
	}
}

// Cancels a read in progress; the disc writes nothing after this.
void CancelRead() {
	if ( player.readInProgress != 0 ) {
		DVDCancel( &player.fileInfo.cb );
		player.readInProgress = 0;
	}
}

}

s32 VIDSimpleAllocDVDBuffers( const VIDAllocCallback alloc ) {
	if ( player.open == 0 || alloc == nullptr || player.bufferBlock != nullptr ) {
		return 0;
	}
	// The open checked that the block size fits 32 bits.
	void* block = alloc( static_cast<u32>( VIDSlotBlockSize( player.videoHeader.largestFrame ) ) );
	if ( block == nullptr ) {
		return 0;
	}
	const u32 capacity = static_cast<u32>( VIDSlotCapacity( player.videoHeader.largestFrame ) );
	u8* first = static_cast<u8*>( block ) + ( ( VID_BLOCK - ( reinterpret_cast<uintptr_t>( block ) & SLOT_ALIGN_MASK ) ) & SLOT_ALIGN_MASK );
	for ( u32 i = 0; i < VID_SLOT_COUNT; ++i ) {
		player.slots[i].data = first + static_cast<size_t>( i ) * capacity;
		player.slots[i].bytes = 0;
		player.slots[i].frameNumber = 0;
		player.slots[i].filled = 0;
	}
	player.bufferBlock = block;
	return 1;
}

void VIDSimpleFreeDVDBuffers( const VIDFreeCallback freeBlock ) {
	if ( player.bufferBlock == nullptr || freeBlock == nullptr ) {
		return;
	}
	const BOOL level = OSDisableInterrupts();
	CancelRead();
	player.running = 0;
	std::memset( player.slots, 0, sizeof( player.slots ) );
	void* block = player.bufferBlock;
	player.bufferBlock = nullptr;
	OSRestoreInterrupts( level );
	freeBlock( block );
}

s32 VIDSimpleLoadStart( const s32 loop ) {
	if ( player.open == 0 || player.running != 0 || player.bufferBlock == nullptr ) {
		return 0;
	}
	const u32 frames = player.videoHeader.frameCount;
	const u32 preload = loop == 0 && frames < VID_SLOT_COUNT ? frames : VID_SLOT_COUNT;
	for ( u32 i = 0; i < preload; ++i ) {
		if ( !NextSizeFits() ) {
			EndReading();
			break;
		}
		const s32 result = DVDReadPrio( &player.fileInfo, player.slots[player.writeSlot].data, static_cast<s32>( player.nextSize ),
										static_cast<s32>( player.nextOffset ), DVD_PRIO_NORMAL );
		if ( result < 0 ) {
			EndReading();
			return 0;
		}
		if ( static_cast<u32>( result ) < player.nextSize ) {
			EndReading();
			break;
		}
		TakeFrame( player.nextSize );
		if ( player.nextFrameNumber >= frames && loop != 0 ) {
			RestartAtFirstFrame();
		}
	}
	player.running = 1;
	player.loop = loop != 0 ? 1 : 0;
	return 1;
}

s32 VIDSimpleLoadStop() {
	if ( player.open == 0 ) {
		return 0;
	}
	const BOOL level = OSDisableInterrupts();
	player.running = 0;
	CancelRead();
	for ( VIDSimpleSlot& slot : player.slots ) {
		slot.filled = 0;
	}
	player.nextOffset = player.firstFrameOffset;
	player.nextSize = player.firstFrameSize;
	player.nextFrameNumber = 0;
	player.error = 0;
	player.writeSlot = 0;
	player.decodeSlot = 0;
	OSRestoreInterrupts( level );
	return 1;
}

s32 VIDSimpleDecode() {
	VIDSimpleSlot& slot = player.slots[player.decodeSlot];
	if ( slot.filled == 0 ) {
		return 0;
	}
	WalkFrame( slot.data, slot.bytes );
	player.lastDecodedFrame = slot.frameNumber;
	slot.filled = 0;
	player.decodeSlot = ( player.decodeSlot + 1 ) % VID_SLOT_COUNT;

	const BOOL level = OSDisableInterrupts();
	if ( player.slots[player.writeSlot].filled == 0 && player.readInProgress == 0 ) {
		StartRead();
	}
	OSRestoreInterrupts( level );
	return 1;
}
