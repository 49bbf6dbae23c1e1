#include "video/vid/VIDSimpleOpen.h"

#include "datatypes/base/DTByteOrder.h"
#include "platform/dvd/DVD.h"
#include "platform/host/HostEventQueue.h"
#include "video/vid/VIDSimpleDiscCheck.h"
#include "video/vid/VIDSimplePlayer.h"

#include <cstring>

namespace {

// The header read window: a sub-chunk's first 32 bytes, then at most the
// rest of the sound header area behind them.
constexpr u32 WORK_SIZE = 576;
static_assert( WORK_SIZE >= VID_BLOCK + VID_AUDIO_AREA_SIZE - ( VID_BLOCK - VID_SUB_HEADER_SIZE ), "sound area does not fit" );

alignas( 32 ) u8 work[WORK_SIZE];

// Disc reads take signed offsets and lengths.
constexpr u64 LARGEST_READ_OFFSET = 0x7FFFFFFF;

// Bytes of a sub-chunk's payload inside its first 32 bytes.
constexpr u32 FIRST_PAYLOAD_BYTES = VID_BLOCK - VID_SUB_HEADER_SIZE;

// Reads length bytes at offset asynchronously and waits for them with the
// drive's messages on screen. True only when every byte arrived.
bool ReadHeaderBytes( u8* destination, const u32 length, const u64 offset ) {
	if ( offset > LARGEST_READ_OFFSET ) {
		return false;
	}
	DVDFileInfo& file = player.fileInfo;
	if ( !DVDReadAsyncPrio( &file, destination, static_cast<s32>( length ), static_cast<s32>( offset ), nullptr, DVD_PRIO_NORMAL ) ) {
		return false;
	}
	VIDSimpleWaitForDrive();
	// The drive can look idle a moment before the read's end is delivered.
	for ( s32 state = DVDGetCommandBlockStatus( &file.cb ); state == DVD_STATE_BUSY || state == DVD_STATE_WAITING;
		  state = DVDGetCommandBlockStatus( &file.cb ) ) {
		HostIdle();
		VIDSimpleWaitForDrive();
	}
	return file.cb.state == DVD_STATE_END && file.cb.transferredSize == length;
}

// Keeps the sound header: its size counted from the payload, cut to the
// area, zeros behind. first holds the sub-chunk's first 32 bytes.
bool TakeAudioHeader( const u8* first, const u32 size, const u64 position ) {
	u8* area = player.audioHeader;
	const u32 keep = size < VID_AUDIO_AREA_SIZE ? size : VID_AUDIO_AREA_SIZE;
	std::memset( area, 0, VID_AUDIO_AREA_SIZE );
	std::memcpy( area, first + VID_SUB_HEADER_SIZE, keep < FIRST_PAYLOAD_BYTES ? keep : FIRST_PAYLOAD_BYTES );
	if ( keep > FIRST_PAYLOAD_BYTES ) {
		const u32 rest = keep - FIRST_PAYLOAD_BYTES;
		if ( !ReadHeaderBytes( work + VID_BLOCK, rest, position + VID_BLOCK ) ) {
			return false;
		}
		std::memcpy( area + FIRST_PAYLOAD_BYTES, work + VID_BLOCK, rest );
	}
	// Sound without channels cannot be split into tracks: play silent.
	if ( area[VID_AUDIO_CHANNELS_OFFSET] == 0 ) {
		DTWriteBE32( area + VID_AUDIO_FORMAT_OFFSET, VID_AUDIO_FORMAT_NONE );
	}
	return true;
}

// Walks the header chunk's sub-chunks. Each takes at least 32 bytes; the
// walk ends with fewer than 32 bytes left or at a sub-chunk that claims
// more than is left.
bool WalkHeadChunk( const u32 headSize, const s32 suppressAudio ) {
	u64 position = VID_HEAD_OFFSET + VID_HEAD_HEADER_SIZE;
	u32 remaining = headSize >= VID_HEAD_HEADER_SIZE ? headSize - VID_HEAD_HEADER_SIZE : 0;
	while ( remaining >= VID_BLOCK ) {
		if ( !ReadHeaderBytes( work, VID_BLOCK, position ) ) {
			return false;
		}
		const u32 tag = DTReadBE32( work );
		const u32 size = DTReadBE32( work + 4 );
		const u32 version = DTReadBE32( work + 8 );
		if ( size > remaining ) {
			break;
		}
		if ( tag == VID_TAG_VIDEO_HEADER ) {
			VIDDecodeVideoHeader( work + VID_SUB_HEADER_SIZE, version, &player.videoHeader );
		} else if ( tag == VID_TAG_AUDIO_HEADER && suppressAudio == 0 ) {
			if ( !TakeAudioHeader( work, size, position ) ) {
				return false;
			}
		}
		const u32 step = size > VID_BLOCK ? size : VID_BLOCK;
		position += step;
		remaining -= step;
	}
	return true;
}

bool ReadHeader( const s32 suppressAudio ) {
	if ( !ReadHeaderBytes( work, VID_FILE_HEADER_SIZE, 0 ) || DTReadBE32( work ) != VID_TAG_FILE ||
		 work[VID_VERSION_OFFSET] != VID_VERSION_MAJOR || work[VID_VERSION_OFFSET + 1] != VID_VERSION_MINOR ) {
		return false;
	}
	if ( !ReadHeaderBytes( work, VID_BLOCK, VID_HEAD_OFFSET ) || DTReadBE32( work ) != VID_TAG_HEAD ) {
		return false;
	}
	const u32 headSize = DTReadBE32( work + 4 );
	const u64 firstFrame = static_cast<u64>( VID_HEAD_OFFSET ) + headSize;

	std::memset( &player.videoHeader, 0, sizeof( player.videoHeader ) );
	std::memset( player.audioHeader, 0, sizeof( player.audioHeader ) );
	DTWriteBE32( player.audioHeader + VID_AUDIO_FORMAT_OFFSET, VID_AUDIO_FORMAT_NONE );
	if ( !WalkHeadChunk( headSize, suppressAudio ) || !VIDVideoHeaderIsUsable( player.videoHeader ) ) {
		return false;
	}
	// The slots are sized by the largest frame the header claims; no frame
	// is larger than the file that holds it.
	if ( player.videoHeader.largestFrame > player.fileInfo.length ) {
		return false;
	}
	player.fps = VIDFramesPerSecond( player.videoHeader );

	if ( firstFrame > LARGEST_READ_OFFSET ||
		 DVDReadPrio( &player.fileInfo, work, VID_FRAME_HEADER_SIZE, static_cast<s32>( firstFrame ), DVD_PRIO_NORMAL ) !=
			 static_cast<s32>( VID_FRAME_HEADER_SIZE ) ||
		 DTReadBE32( work ) != VID_TAG_FRAME ) {
		return false;
	}
	player.nextOffset = static_cast<u32>( firstFrame ) + VID_FRAME_HEADER_SIZE;
	player.nextSize = DTReadBE32( work + 4 );
	player.firstFrameOffset = player.nextOffset;
	player.firstFrameSize = player.nextSize;
	return true;
}

}

s32 VIDSimpleOpen( const char* name, const s32 suppressAudio ) {
	if ( player.open != 0 || name == nullptr || !DVDOpen( name, &player.fileInfo ) ) {
		return 0;
	}
	if ( !ReadHeader( suppressAudio ) ) {
		DVDClose( &player.fileInfo );
		return 0;
	}
	std::strncpy( player.fileName, name, VID_FILE_NAME_SIZE - 1 );
	player.fileName[VID_FILE_NAME_SIZE - 1] = '\0';
	player.open = 1;
	player.writeSlot = 0;
	player.decodeSlot = 0;
	player.lastDecodedFrame = 0;
	player.error = 0;
	player.running = 0;
	player.readInProgress = 0;
	player.nextFrameNumber = 0;
	return 1;
}

s32 VIDSimpleClose() {
	if ( player.open == 0 || player.running != 0 || player.readInProgress != 0 ) {
		return 0;
	}
	DVDClose( &player.fileInfo );
	player.open = 0;
	return 1;
}
