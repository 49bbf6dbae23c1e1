#include "video/vid/VIDSimplePlayer.h"

#include "datatypes/base/DTByteOrder.h"

#include <cstring>

VIDSimplePlayer player = {};

namespace {

// The record of a closed reader: no file, no sound.
void Clear() {
	std::memset( &player, 0, sizeof( player ) );
	player.fileInfo.entryNum = -1;
	DTWriteBE32( player.audioHeader + VID_AUDIO_FORMAT_OFFSET, VID_AUDIO_FORMAT_NONE );
}

// A closed reader from start-up on, before any other code runs.
struct ClosedAtStart {
	ClosedAtStart() { Clear(); }
};
const ClosedAtStart closedAtStart;

}

void VIDSimpleGetVideoSize( u32* width, u32* height ) {
	if ( width != nullptr ) {
		*width = player.videoHeader.width;
	}
	if ( height != nullptr ) {
		*height = player.videoHeader.height;
	}
}

f32 VIDSimpleGetFPS() {
	return player.fps;
}

u32 VIDSimpleGetFrameCount() {
	return player.videoHeader.frameCount;
}

u32 VIDSimpleGetNextFrameNumber() {
	return player.nextFrameNumber;
}

u32 VIDSimpleGetWriteSlot() {
	return player.writeSlot;
}

u32 VIDSimpleGetDecodeSlot() {
	return player.decodeSlot;
}

bool VIDSimpleIsSlotFilled( const u32 slot ) {
	return slot < VID_SLOT_COUNT && player.slots[slot].filled != 0;
}

void VIDSimpleHostReset() {
	// A header read may be waiting too; cancelling an idle block does nothing.
	DVDCancel( &player.fileInfo.cb );
	if ( player.open != 0 ) {
		DVDClose( &player.fileInfo );
	}
	Clear();
}
