/*
===============================================================================

	Writer of sound banks, in the engine's big-endian layout.

	  .SBH  40-byte header: magic 0x00525A51, platform 0x4347, tool version
	        (major << 16 | minor, 21.0x30D), then offset and size of block
	        A, of the 268-byte sample records and of the 208-byte playback
	        records, and the bank kind (2: stream bank); the three blocks
	        follow in that order
	  .SBB  the bank's ADPCM data, samples one after another
	  stream files  header-less ADPCM data

	Sample record: name (128 bytes), an unused word, loop flag, rate, the
	first ADPCM block (16 coefficients, gain, predictor/scale, two history
	halves, loop predictor/scale and history), 2 unused bytes, start and
	end nibble addresses relative to the bank's start, 8 unused bytes, the
	second ADPCM block, 18 unused bytes. Playback record: an unused word,
	the sample index, then 20-byte texts: volume, pitch, pan, delay,
	attack, 20 unused bytes, decay, sustain, 20 unused bytes, release.
	Texts are written as given, cut at 20 bytes (so a full-width text has
	no terminator). Samples and streams are encoded with
	ToolDspAdpcmEncoder; the header can be given any value to make damaged
	files.

===============================================================================
*/
#ifndef TOOL_SOUND_BANK_WRITER_H
#define TOOL_SOUND_BANK_WRITER_H

#include "datatypes/base/DTTypes.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

constexpr u32 TOOL_SBH_HEADER_BYTES		= 40;
constexpr u32 TOOL_SAMPLE_RECORD_BYTES	= 268;
constexpr u32 TOOL_PLAYBACK_RECORD_BYTES	= 208;

// 16 coefficients, gain, predictor/scale, history 1 and 2, loop
// predictor/scale, loop history 1 and 2.
typedef std::array<u16, 23> ToolAdpcmBlock;

struct ToolSoundSample {
	std::string					name;
	u32							loop = 0;
	u32							rate = 32000;
	ToolAdpcmBlock				adpcm{};
	u32							startNibble = 0;
	u32							endNibble = 0;
	ToolAdpcmBlock				adpcmSecond{};
};

struct ToolSoundPlayback {
	u32							sampleIndex = 0;
	std::string					volume = "1";
	std::string					pitch = "0";
	std::string					pan = "0";
	std::string					delay = "0";
	std::string					attack = "0";
	std::string					decay = "0";
	std::string					sustain = "1";
	std::string					release = "0";
};

struct ToolSoundBank {
	u32							magic = 0x00525A51;
	u32							platform = 0x4347;
	u32							major = 21;
	u32							minor = 0x30D;
	u32							kind = 0;
	std::vector<u8>				blockA;
	std::vector<ToolSoundSample>	samples;
	std::vector<ToolSoundPlayback>	playbacks;
	// Header words 3-8 written instead of the true offsets and sizes.
	std::optional<std::array<u32, 6>>	blocks;
};

// The .SBH image.
std::vector<u8>		ToolWriteSoundBankHeader( const ToolSoundBank& bank );

// Encodes pcm, appends it to the bank data sbb (whole 8-byte frames) and
// returns its sample record: addresses of its first and last sample,
// ADPCM block with the first frame's header (loop context the same).
ToolSoundSample		ToolAddBankSample( std::vector<u8>& sbb, std::span<const s16> pcm, u32 rate, bool loop );

// A stream file: pcm encoded, no header. Its sample record (name, loop,
// rate and coefficients) goes into the stream bank.
std::vector<u8>		ToolEncodeStream( std::span<const s16> pcm, const std::string& name, u32 rate, bool loop,
									  ToolSoundSample& sample );

// Damaged variants of a .SBH image: truncated, blocks past the end, huge
// sizes, a playback naming a sample the bank lacks.
std::vector<std::vector<u8>>	ToolMalformedSoundBankHeaders( const std::vector<u8>& header );

#endif
