#include "tools/lib/audio/ToolSoundBankWriter.h"

#include "tools/lib/ToolBigEndianWriter.h"
#include "tools/lib/audio/ToolDspAdpcmEncoder.h"

#include <algorithm>

namespace {

constexpr u32 TEXT_BYTES		= 20;
constexpr u32 NAME_BYTES		= 128;
constexpr u32 FRAME_SAMPLES		= 14;
constexpr u32 FRAME_NIBBLES		= 16;
constexpr u32 PREDICTOR_HALF	= 17;
constexpr u32 LOOP_PREDICTOR_HALF	= 20;

void WriteText( ToolBigEndianWriter& out, const std::string& text, const u32 bytes ) {
	for ( u32 i = 0; i < bytes; i++ ) {
		out.WriteU8( i < text.size() ? static_cast<u8>( text[i] ) : 0 );
	}
}

void WriteBlock( ToolBigEndianWriter& out, const ToolAdpcmBlock& block ) {
	for ( const u16 half : block ) {
		out.WriteU16( half );
	}
}

void WriteU32At( std::vector<u8>& bytes, const size_t at, const u32 value ) {
	for ( u32 i = 0; i < 4; i++ ) {
		bytes[at + i] = static_cast<u8>( value >> ( 24 - 8 * i ) );
	}
}

ToolAdpcmBlock Block( const ToolDspAdpcmEncoder& encoder, const u8 firstHeader, const bool loop ) {
	ToolAdpcmBlock block{};
	const std::array<u16, 16> coefficients = encoder.CoefficientHalves();
	std::copy( coefficients.begin(), coefficients.end(), block.begin() );
	block[PREDICTOR_HALF] = firstHeader;
	block[LOOP_PREDICTOR_HALF] = loop ? firstHeader : 0;
	return block;
}

}

std::vector<u8> ToolWriteSoundBankHeader( const ToolSoundBank& bank ) {
	ToolBigEndianWriter samples;
	for ( const ToolSoundSample& sample : bank.samples ) {
		WriteText( samples, sample.name, NAME_BYTES );
		samples.WriteU32( 0 );
		samples.WriteU32( sample.loop );
		samples.WriteU32( sample.rate );
		WriteBlock( samples, sample.adpcm );
		samples.WriteZeros( 2 );
		samples.WriteU32( sample.startNibble );
		samples.WriteU32( sample.endNibble );
		samples.WriteZeros( 8 );
		WriteBlock( samples, sample.adpcmSecond );
		samples.WriteZeros( 18 );
	}
	ToolBigEndianWriter playbacks;
	for ( const ToolSoundPlayback& playback : bank.playbacks ) {
		playbacks.WriteU32( 0 );
		playbacks.WriteU32( playback.sampleIndex );
		for ( const std::string* text : { &playback.volume, &playback.pitch, &playback.pan, &playback.delay,
										  &playback.attack } ) {
			WriteText( playbacks, *text, TEXT_BYTES );
		}
		playbacks.WriteZeros( TEXT_BYTES );
		WriteText( playbacks, playback.decay, TEXT_BYTES );
		WriteText( playbacks, playback.sustain, TEXT_BYTES );
		playbacks.WriteZeros( TEXT_BYTES );
		WriteText( playbacks, playback.release, TEXT_BYTES );
	}
	const u32 aSize = static_cast<u32>( bank.blockA.size() );
	const u32 sSize = static_cast<u32>( samples.Bytes().size() );
	const u32 pSize = static_cast<u32>( playbacks.Bytes().size() );
	const std::array<u32, 6> blocks = bank.blocks.value_or(
		std::array<u32, 6>{ TOOL_SBH_HEADER_BYTES, aSize, TOOL_SBH_HEADER_BYTES + aSize, sSize,
							TOOL_SBH_HEADER_BYTES + aSize + sSize, pSize } );
	ToolBigEndianWriter out;
	out.WriteU32( bank.magic );
	out.WriteU32( bank.platform );
	out.WriteU32( ( bank.major << 16 ) | ( bank.minor & 0xFFFF ) );
	for ( const u32 word : blocks ) {
		out.WriteU32( word );
	}
	out.WriteU32( bank.kind );
	std::vector<u8> image = out.Take();
	image.insert( image.end(), bank.blockA.begin(), bank.blockA.end() );
	image.insert( image.end(), samples.Bytes().begin(), samples.Bytes().end() );
	image.insert( image.end(), playbacks.Bytes().begin(), playbacks.Bytes().end() );
	return image;
}

ToolSoundSample ToolAddBankSample( std::vector<u8>& sbb, const std::span<const s16> pcm, const u32 rate,
								   const bool loop ) {
	const ToolDspAdpcmEncoder encoder;
	const ToolAdpcmEncoded encoded = encoder.Encode( pcm );
	const u32 byteOffset = static_cast<u32>( sbb.size() );
	sbb.insert( sbb.end(), encoded.bytes.begin(), encoded.bytes.end() );
	ToolSoundSample sample;
	sample.loop = loop ? 1 : 0;
	sample.rate = rate;
	sample.adpcm = Block( encoder, encoded.firstHeader, loop );
	sample.startNibble = byteOffset * 2 + 2;
	const u32 last = encoded.sampleCount > 0 ? encoded.sampleCount - 1 : 0;
	sample.endNibble = byteOffset * 2 + ( last / FRAME_SAMPLES ) * FRAME_NIBBLES + 2 + last % FRAME_SAMPLES;
	return sample;
}

std::vector<u8> ToolEncodeStream( const std::span<const s16> pcm, const std::string& name, const u32 rate,
								  const bool loop, ToolSoundSample& sample ) {
	const ToolDspAdpcmEncoder encoder;
	const ToolAdpcmEncoded encoded = encoder.Encode( pcm );
	sample = {};
	sample.name = name;
	sample.loop = loop ? 1 : 0;
	sample.rate = rate;
	sample.adpcm = Block( encoder, encoded.firstHeader, loop );
	return encoded.bytes;
}

std::vector<std::vector<u8>> ToolMalformedSoundBankHeaders( const std::vector<u8>& header ) {
	std::vector<std::vector<u8>> variants;
	if ( header.size() < TOOL_SBH_HEADER_BYTES ) {
		return variants;
	}
	for ( const size_t keep : { size_t( 12 ), size_t( TOOL_SBH_HEADER_BYTES ), header.size() - 1 } ) {
		if ( keep < header.size() ) {
			variants.emplace_back( header.begin(), header.begin() + static_cast<std::ptrdiff_t>( keep ) );
		}
	}
	// Each block's offset, then its size, pushed past the end.
	for ( size_t word = 3; word <= 8; word++ ) {
		std::vector<u8> variant = header;
		WriteU32At( variant, word * 4, word % 2 == 1 ? static_cast<u32>( header.size() ) : 0xFFFFFFF0u );
		variants.push_back( variant );
	}
	// Every playback record names a sample far past the records.
	std::vector<u8> badIndex = header;
	const u32 playbackOffset = ( u32( header[28] ) << 24 ) | ( u32( header[29] ) << 16 ) | ( u32( header[30] ) << 8 ) | header[31];
	for ( size_t at = playbackOffset; at + TOOL_PLAYBACK_RECORD_BYTES <= badIndex.size(); at += TOOL_PLAYBACK_RECORD_BYTES ) {
		WriteU32At( badIndex, at + 4, 0x7FFFFFFF );
	}
	variants.push_back( badIndex );
	return variants;
}
