/*
===============================================================================

	The movie reader's state: one static record, `player`.

	It holds the open movie file and its headers, the read-ahead position,
	and ten slots that the disc fills ahead of the decoder. The disc's read
	completion (interrupt level) fills the write slot and moves the read
	position; the main thread decodes from the decode slot. A slot changes
	hands through its filled flag only: the completion sets it after every
	other field of the slot, the decoder clears it when done.

	The player loop ends a movie when every frame has been read (next frame
	number past the last frame), the write slot has come round to the
	decode slot and that slot is empty; the accessors below read exactly
	that state.

===============================================================================
*/
#ifndef VID_SIMPLE_PLAYER_H
#define VID_SIMPLE_PLAYER_H

#include "datatypes/base/DTTypes.h"
#include "platform/dvd/DVD.h"
#include "video/vid/VIDFileFormat.h"

class M4Decoder;
struct VIDImage;

// Bytes of the file name kept, terminator included.
constexpr u32 VID_FILE_NAME_SIZE = 64;

// One frame buffer of the read-ahead.
struct VIDSimpleSlot {
	u8*		data;				// 32-byte aligned
	u32		bytes;				// bytes read: the frame's sub-chunks, then the next header
	u32		frameNumber;
	u32		filled;				// set last by the completion, cleared by the decoder
};

struct VIDSimplePlayer {
	DVDFileInfo		fileInfo;
	char			fileName[VID_FILE_NAME_SIZE];
	VIDVideoHeader	videoHeader;
	f32				fps;
	// The AUDH payload as stored, big-endian, starting with the format.
	u8				audioHeader[VID_AUDIO_AREA_SIZE];

	u32				open;
	u32				error;
	u32				running;			// preloaded and reading
	u32				loop;
	u32				readInProgress;

	u32				nextOffset;			// of the next read: past the frame's own header
	u32				nextSize;			// of the next read: the frame's chunk size
	u32				nextFrameNumber;
	u32				lastDecodedFrame;
	u32				firstFrameOffset;	// where a loop starts reading again
	u32				firstFrameSize;

	u32				writeSlot;
	u32				decodeSlot;
	VIDSimpleSlot	slots[VID_SLOT_COUNT];

	void*			bufferBlock;		// as allocated, before alignment
	M4Decoder*		decoder;
	VIDImage*		image;				// the picture the decoder last delivered
};

extern VIDSimplePlayer player;

// Picture size of the open movie.
void	VIDSimpleGetVideoSize( u32* width, u32* height );

// Frames per second of the open movie.
f32		VIDSimpleGetFPS();

// The state the player loop's end test reads.
u32		VIDSimpleGetFrameCount();
u32		VIDSimpleGetNextFrameNumber();
u32		VIDSimpleGetWriteSlot();
u32		VIDSimpleGetDecodeSlot();
bool	VIDSimpleIsSlotFilled( u32 slot );

// Host: brings the record back to closed, whatever state a failed test
// left it in: a read in progress is cancelled and the file closed. The
// buffer block is forgotten, not freed (its owner frees it).
void	VIDSimpleHostReset();

#endif
