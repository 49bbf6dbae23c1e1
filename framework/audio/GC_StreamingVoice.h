/*
===============================================================================

	One stream slot. Long sounds play from the disc: 25600-byte chunks are
	read into the slot's 51200-byte staging buffer in main memory, and its
	two 12800-byte halves are copied into a 25600-byte window at the start
	of the slot's ARAM ring while a stream voice loops over that window.
	A copy completes at interrupt level and queues the next disc read; the
	main thread copies a half once a frame when the play position has
	crossed into the other half.

	Disc states of an info entry: 0 first copy running, 1 ready to start,
	2 / 3 next copy is the first / second half, 4 finished, 5 stop
	requested. Slot states: 0 idle, 1 start requested, 2 running.

	A disc slower than the ring never stalls the game: a half is copied
	only from a chunk whose read is in. When the next chunk is late the
	voice plays its window out and stops there (silence; reported once per
	stream), and the window starts again with the chunk once it is in, the
	decoder carrying on where it stopped. A read the drive refuses at
	interrupt level is owed and asked for again by the frame step. The
	first chunk is waited for, but a drive that still refuses it after a
	bounded wait does not hold the game: the stream starts on a chunk of
	silence, behind from its start (reported once), and its first chunk
	is owed like any other. No byte of the file is lost or played twice.

===============================================================================
*/
#ifndef GC_STREAMING_VOICE_H
#define GC_STREAMING_VOICE_H

#include "datatypes/base/DTTypes.h"
#include "platform/arq/ARQ.h"
#include "platform/dvd/DVD.h"

class GC_Voice;
struct DTFileHandle_;

constexpr u32 GC_STREAM_CHUNK_BYTES		= 25600;
constexpr u32 GC_STREAM_HALF_BYTES		= 12800;

constexpr u8 GC_STREAM_SLOT_IDLE		= 0;
constexpr u8 GC_STREAM_SLOT_REQUESTED	= 1;
constexpr u8 GC_STREAM_SLOT_RUNNING		= 2;

constexpr u8 GC_DISC_FIRST_COPY			= 0;
constexpr u8 GC_DISC_READY				= 1;
constexpr u8 GC_DISC_FIRST_HALF			= 2;
constexpr u8 GC_DISC_SECOND_HALF		= 3;
constexpr u8 GC_DISC_FINISHED			= 4;
constexpr u8 GC_DISC_STOP				= 5;

constexpr u8 GC_STREAM_INACTIVE			= 0;
constexpr u8 GC_STREAM_ACTIVE			= 1;
constexpr u8 GC_STREAM_PAUSED			= 3;

// Chunk read modes: 1 from the transfer completion, 0 and 2 waited for.
constexpr u8 GC_CHUNK_ASYNC				= 1;
constexpr u8 GC_CHUNK_SYNC_FIRST		= 2;

// The chunk in the staging buffer: copied out (its next read owed until
// the drive takes it), being read, read in, first half in the ring.
constexpr u8 GC_STAGING_OWED			= 0;
constexpr u8 GC_STAGING_READING			= 1;
constexpr u8 GC_STAGING_READY			= 2;
constexpr u8 GC_STAGING_HALF_SENT		= 3;

// What LoadStreamChunk returns when the drive refused the read.
constexpr s32 GC_CHUNK_REFUSED			= -1;

// Disc side of a stream slot.
struct GC_StreamInfo {
	DTFileHandle_ *			mpoFile;
	// The same file opened again for a looping stream's wrap-around reads.
	DTFileHandle_ *			mpoSecondFile;
	volatile u8				mui8DiscState;
	u8 *					mpui8Staging;
	u8						mui8Active;
	volatile u8				mui8StagingState;
	// Disc reads of the staging buffer's chunk still in flight.
	volatile u8				mui8ChunkReads;
	// The stream has fallen behind the disc (reported once).
	u8						mui8FellBehind;
	// The voice plays the window out and waits there for its next chunk.
	u8						mui8Holding;
};

class GC_StreamingVoice {
public:
							GC_StreamingVoice();
	virtual					~GC_StreamingVoice();

	// Slot state 1: starts the stream (or, without a DSP voice, ends it).
	void					FirstUpdate();
	// Acquires the DSP voice and fills the record; 0 without a voice.
	u32						InitStream();
	void					StartStream();
	void					UpdateStream();
	void					StopStream();
	void					PauseStream();
	void					ResumeStream();
	// The stream file's name, in tempFileName; null when the record's bank
	// is not loaded or holds no such sample.
	char *					GetFileName();

	GC_StreamInfo &			Info() const;
	// The ring's ARAM address.
	u32						Ring() const;

	GC_Voice *				mpoVoice;
	u8						mui8State;
	u32						mui32GroupMask;
	u8						mui8Slot;
	u8 *					mpui8Staging;
	u32						mui32BytesSent;
	u32						mui32TotalBytes;
	u32						mui32LastPosition;
	ARQRequest				moTransfer;
};

extern char tempFileName[256];

// 1 when name opened into *file.
u32		OpenStreamFile( char * name, DTFileHandle_ ** file );
// Queues the read once; false when the drive refuses it (the file's
// position then stands).
bool	readAsync( void * buffer, u32 size, u32 count, DTFileHandle_ * file, DVDCallback callback );
// Reads the next chunk. Asynchronous: the reads queued (0 when the chunk
// is silence), or GC_CHUNK_REFUSED with nothing read and the position
// unchanged. Waited for (a stream's first chunk): 0, or GC_CHUNK_REFUSED
// when the drive refused the read past a bounded wait, with the chunk
// silence, the position unchanged and the slot's stream behind.
s32		LoadStreamChunk( u8 mode, u8 slot, DTFileHandle_ ** files, u32 size, void * buffer, DVDCallback callback );
void	TransCallBack( ARQRequest * request );
void	Dvdcallback( s32 result, DVDFileInfo * fileInfo );
// End of a stream in the manager's frame step, for one info entry: a
// finished entry, or one stopped while paused, closes its files and goes
// back to disc state 0, inactive.
void	GCStream_EndOfStream( u32 slot );
// Closes a stream file and forgets it; nothing for a null handle.
void	GCStream_CloseFile( DTFileHandle_ ** file );

#endif
