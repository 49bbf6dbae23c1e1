/*
===============================================================================

	Loader of one sound bank. A bank is a header file, .SBH (big-endian:
	a 40-byte header, then block A, the 268-byte sample records and the
	208-byte playback records, each block placed by an offset and a size
	in the header), and for sample banks a data file, .SBB, the ADPCM data
	copied byte for byte into ARAM behind the stream rings.

	Loader k serves bank k; only loader 0 may fall back to the GLOBAL
	folder. A header whose blocks do not lie inside the file leaves the
	loader unloaded, and a bank too large for the room left in ARAM is
	not loaded at all.

===============================================================================
*/
#ifndef GC_SOUND_LOADER_H
#define GC_SOUND_LOADER_H

#include "datatypes/base/DTTypes.h"
#include "platform/dvd/DVD.h"

struct DTFileHandle_;

constexpr u32 GC_SBH_HEADER_WORDS		= 10;
constexpr u32 GC_SBH_HEADER_BYTES		= GC_SBH_HEADER_WORDS * 4;
constexpr u32 GC_SAMPLE_RECORD_BYTES	= 268;
constexpr u32 GC_PLAYBACK_RECORD_BYTES	= 208;
constexpr u32 GC_SBH_PLATFORM			= 0x4347;
constexpr u32 GC_SBH_VERSION_MAJOR		= 21;
constexpr u32 GC_SBH_VERSION_MINOR		= 0x30D;
constexpr u32 GC_BANK_KIND_STREAM		= 2;
// Bytes of one .SBB chunk moved into ARAM.
constexpr u32 GC_SBB_CHUNK_BYTES		= 0x20000;

// Header words.
constexpr u32 GC_SBH_MAGIC				= 0;
constexpr u32 GC_SBH_PLATFORM_WORD		= 1;
constexpr u32 GC_SBH_VERSION			= 2;
constexpr u32 GC_SBH_BLOCK_A_OFFSET		= 3;
constexpr u32 GC_SBH_BLOCK_A_SIZE		= 4;
constexpr u32 GC_SBH_SAMPLES_OFFSET		= 5;
constexpr u32 GC_SBH_SAMPLES_SIZE		= 6;
constexpr u32 GC_SBH_PLAYBACKS_OFFSET	= 7;
constexpr u32 GC_SBH_PLAYBACKS_SIZE		= 8;
constexpr u32 GC_SBH_KIND				= 9;

// Sample record fields.
constexpr u32 GC_SAMPLE_NAME_BYTES		= 128;
constexpr u32 GC_SAMPLE_LOOP			= 132;
constexpr u32 GC_SAMPLE_RATE			= 136;
constexpr u32 GC_SAMPLE_ADPCM_FIRST		= 140;
constexpr u32 GC_SAMPLE_START			= 188;
constexpr u32 GC_SAMPLE_END				= 192;
constexpr u32 GC_SAMPLE_ADPCM_SECOND	= 204;

// Playback record fields: the sample index and the 20-byte texts.
constexpr u32 GC_PLAYBACK_SAMPLE		= 4;
constexpr u32 GC_PLAYBACK_VOLUME		= 8;
constexpr u32 GC_PLAYBACK_PITCH			= 28;
constexpr u32 GC_PLAYBACK_PAN			= 48;
constexpr u32 GC_PLAYBACK_DELAY			= 68;
constexpr u32 GC_PLAYBACK_TEXT_BYTES	= 20;

// Flag the .SBB chunk read's completion sets.
extern volatile u32 gReadChunkDone;

class GC_SoundLoader {
public:
	explicit				GC_SoundLoader( u32 kind );
	virtual					~GC_SoundLoader();

	// Reads the whole .SBH into a load-heap block (kept as the file block
	// and returned); null when no path opens.
	u8 *					ReadSbhInfoFromFile( char * name );
	// With a file block: copies the header and the three blocks and counts
	// as loaded; a header whose blocks leave the file loads nothing.
	void					Copy();
	void					FreeFileBlock();
	// Copies the bank's data into ARAM at g_CurrAramOffset, which moves on.
	u32						LoadSbb( char * name );
	// Frees the three blocks; no longer loaded.
	void					FreeBlocks();

	bool					IsLoaded() const { return mui8Loaded != 0; }
	u32						GetSampleCount() const;
	u32						GetPlaybackCount() const;
	// Records by index; null when not loaded or out of range.
	const u8 *				GetSampleRecord( u32 index ) const;
	const u8 *				GetPlaybackRecord( u32 index ) const;
	// The sample record a playback record names; null when out of range.
	const u8 *				GetSampleOfPlayback( u32 playback ) const;

	u32						mui32AramStart;
	u32						maui32Header[GC_SBH_HEADER_WORDS];
	u8						mui8Loaded;
	u8 *					mpui8FileBlock;
	u32						mui32Kind;
	u8 *					mpui8BlockA;
	u8 *					mpui8Samples;
	u8 *					mpui8Playbacks;
	// Length of the .SBH the file block holds.
	u32						mui32FileSize;

private:
	// The bank file in the level's folder, else (loader 0 only) in the
	// GLOBAL folder; path receives the last path tried.
	DTFileHandle_ *			OpenBankFile( char * path, const char * name, const char * extension, char separator ) const;
};

extern GC_SoundLoader * gpoSoundInfoLoader[3];

void	SbbDvdReadCallback( s32 result, DVDFileInfo * fileInfo );

// Whether a .SBH header's blocks all lie inside a file of fileSize bytes.
bool	GCSbhBlocksFit( const u32 * header, u32 fileSize );

#endif
