/*
===============================================================================

	Save image: the game state (the 1024-byte logic block and every game
	buffer) in one big-endian block with a header, two chunks and two
	CRC-32 checksums, and the restoration of the engine from one.

		  0	"AGAS", version 0x0100, zeros
		 12	title: at most 31 characters and a terminator, in 32 bytes
		 60	chunk count (2), image size
		 68	header CRC (bytes 0-139), image CRC (the whole image); both
			computed with these two fields at 0
		 76	level name: at most 31 characters, NUL-padded to 64 bytes
		140	chunk "KCHC", type 0, size 1024: the logic block
		1176	chunk "KCHC", type 1: every game buffer's 20-byte header
			and data, as the buffer stores them
	The image is 12 bytes longer than its content; those bytes are zero.

	An image is checked whole (sizes, checksums, every chunk and record
	inside the image) before anything of the running game is touched.

===============================================================================
*/
#ifndef EF_LOAD_SAVE_BUFF_H
#define EF_LOAD_SAVE_BUFF_H

#include "datatypes/base/DTTypes.h"

// Header fields the engine controller reads.
constexpr u32 EF_SAVE_LEVEL_NAME_OFFSET		= 76;
constexpr u32 EF_SAVE_LEVEL_NAME_SIZE		= 64;

constexpr u32 EF_SAVE_HEADER_BYTES			= 140;
constexpr u32 EF_SAVE_CHUNK_HEADER_BYTES	= 12;
// The smallest image: header, the logic chunk and the game-buffer chunk's
// header.
constexpr u32 EF_SAVE_MIN_IMAGE_BYTES		= 1188;
// Image size beyond the game-buffer records.
constexpr u32 EF_SAVE_IMAGE_OVERHEAD		= 1200;

// UpdateEngineData and VerifyImage results.
constexpr u32 EF_SAVE_RESTORED				= 1;
constexpr u32 EF_SAVE_CORRUPT				= 0;
constexpr u32 EF_SAVE_BAD_MAGIC				= 5;
constexpr u32 EF_SAVE_BAD_TYPE				= 6;

class EFLoadSaveBuff {
public:
	// Builds the CRC table on first use.
							EFLoadSaveBuff();
	virtual					~EFLoadSaveBuff() {}

	// A new image of the current game state (engine allocator, freed by
	// the caller), or null. Neither string is changed.
	char*					CreateBuffer( const char* title, const char* levelName );
	// Every check of UpdateEngineData, changing nothing: the same codes.
	u32						VerifyImage( const char* image, u32 length ) const;
	// Restores the logic block and the game buffers from an image of
	// length bytes: EF_SAVE_RESTORED, or the code of the first failed
	// check with nothing changed.
	u32						UpdateEngineData( const char* image, u32 length );
	// Writes both checksums of an image whose header holds its size.
	static void				StampCrcs( char* image );

	// CRC-32 (IEEE 802.3) of length bytes.
	static u32				ComputeCrc( const char* data, u32 length );

protected:
	// Total game-buffer bytes and image size; false when the image would
	// not fit 32 bits.
	bool					ComputeDataSize();
	void					CopyGameData( char* image ) const;
	void					AddMainHeader( char* image, const char* title, const char* levelName ) const;
	static void				AddChunkHeader( char*& cursor, u32 type, u32 size );
	// CRC of an image's first length bytes, the two CRC fields read as 0.
	static u32				ComputeImageCrc( const char* image, u32 length );

	u32						mui32GameBufferBytes;
	u32						mui32ImageSize;
};

#endif
