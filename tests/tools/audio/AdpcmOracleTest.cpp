#include "AdpcmFixturePath.h"

#include "datatypes/base/DTByteOrder.h"
#include "platform/am/AM.h"
#include "platform/ar/AR.h"
#include "platform/ar/ARHost.h"
#include "platform/ax/AX.h"
#include "platform/ax/AXHost.h"
#include "platform/host/HostClock.h"
#include "platform/host/HostEventQueue.h"
#include "support/TestScratchFolder.h"
#include "tools/lib/ToolFile.h"
#include "tools/lib/audio/ToolAdpcmTestSignals.h"
#include "tools/lib/audio/ToolDspAdpcmEncoder.h"
#include "tools/lib/audio/ToolGenhWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr u32 DATA_ADDRESS = 0x10000;

std::vector<u8> ReadAll( const std::filesystem::path& path ) {
	std::ifstream in( path, std::ios::binary );
	return std::vector<u8>( ( std::istreambuf_iterator<char>( in ) ), std::istreambuf_iterator<char>() );
}

std::vector<s16> ToSamples( const std::vector<u8>& bytes ) {
	std::vector<s16> samples( bytes.size() / 2 );
	for ( size_t i = 0; i < samples.size(); ++i ) {
		samples[i] = DTReadLES16( bytes.data() + i * 2 );
	}
	return samples;
}

bool FfmpegPresent() {
	return std::system( "command -v ffmpeg >/dev/null 2>&1" ) == 0;
}

// Skips a live check without FFmpeg, except under CI where it must exist.
bool RequireFfmpeg() {
	if ( FfmpegPresent() ) {
		return true;
	}
	if ( std::getenv( "CI" ) != nullptr ) {
		ADD_FAILURE() << "ffmpeg is missing under CI";
	}
	return false;
}

std::vector<s16> FfmpegDecode( const std::vector<u8>& genh, const std::string& name ) {
	TestScratchFolder scratch;
	EXPECT_TRUE( scratch.Make( "adpcm-oracle-" ) );
	const std::filesystem::path path = scratch / ( name + ".genh" );
	std::string error;
	EXPECT_TRUE( ToolWriteFile( path, genh, error ) ) << error;
	const std::string command = "ffmpeg -v error -f genh -i '" + path.string() + "' -f s16le -";
	std::vector<u8> bytes;
	if ( std::FILE* pipe = popen( command.c_str(), "r" ) ) {
		u8 buffer[4096];
		size_t got = 0;
		while ( ( got = std::fread( buffer, 1, sizeof( buffer ), pipe ) ) > 0 ) {
			bytes.insert( bytes.end(), buffer, buffer + got );
		}
		EXPECT_EQ( pclose( pipe ), 0 );
	}
	return ToSamples( bytes );
}

// Plays a GENH file's data through a voice (no interpolation, ratio 1.0)
// and returns what the voice's tap heard.
std::vector<s16> PlayGenh( const std::vector<u8>& genh ) {
	HostResetEvents();
	HostClockUseVirtual( 0 );
	HostAudioReset();
	AMInit( 0x8000, 0x1000 );
	if ( genh.size() < TOOL_GENH_HEADER_SIZE ) {
		ADD_FAILURE() << "not a GENH file";
		return {};
	}
	const u32 sampleCount = DTReadLE32( genh.data() + 20 );
	const u32 start = DTReadLE32( genh.data() + 28 );
	const u32 coefficientOffset = DTReadLE32( genh.data() + 36 );
	if ( start > genh.size() || coefficientOffset + 32 > genh.size() || sampleCount == 0 ) {
		ADD_FAILURE() << "GENH header out of range";
		return {};
	}
	std::memcpy( ARHostMemory() + DATA_ADDRESS, genh.data() + start, genh.size() - start );
	AXVPB* voice = AXAcquireVoice( 10, nullptr, 0 );
	AXVoiceAddr addr{};
	const u32 end = DATA_ADDRESS * 2 + ( ( sampleCount - 1 ) / 14 ) * 16 + 2 + ( sampleCount - 1 ) % 14;
	const u32 loop = AMGetZeroBuffer() * 2 + 2;
	addr.loopAddressHi = static_cast<u16>( loop >> 16 );
	addr.loopAddressLo = static_cast<u16>( loop );
	addr.endAddressHi = static_cast<u16>( end >> 16 );
	addr.endAddressLo = static_cast<u16>( end );
	addr.currentAddressHi = static_cast<u16>( ( DATA_ADDRESS * 2 ) >> 16 );
	addr.currentAddressLo = static_cast<u16>( DATA_ADDRESS * 2 );
	AXVoiceAdpcm adpcm{};
	for ( u32 i = 0; i < 16; ++i ) {
		adpcm.coefficients[i] = DTReadBE16( genh.data() + coefficientOffset + i * 2 );
	}
	AXVoiceSrc src{};
	AXSetVoiceAddr( voice, &addr );
	AXSetVoiceAdpcm( voice, &adpcm );
	AXSetVoiceSrcType( voice, AX_SRC_TYPE_NONE );
	AXSetVoiceSrc( voice, &src );
	AXSetVoiceSrcRatio( voice, 1.0f );
	AXSetVoiceState( voice, AX_VOICE_RUN );
	std::vector<s16> heard;
	while ( heard.size() < sampleCount ) {
		AXHostRenderFrame();
		const s16* tap = AXHostVoiceTap( voice->index );
		heard.insert( heard.end(), tap, tap + AX_SAMPLES_PER_FRAME );
	}
	heard.resize( sampleCount );
	HostAudioReset();
	return heard;
}

f64 SignalToNoise( const std::vector<s16>& reference, const std::vector<s16>& decoded ) {
	f64 signal = 0.0;
	f64 noise = 0.0;
	for ( size_t i = 0; i < reference.size() && i < decoded.size(); ++i ) {
		const f64 d = static_cast<f64>( reference[i] ) - decoded[i];
		signal += static_cast<f64>( reference[i] ) * reference[i];
		noise += d * d;
	}
	return 10.0 * std::log10( signal / ( noise > 0.0 ? noise : 1e-9 ) );
}

TEST( AdpcmOracle, PlaysTheCommittedFixturesExactlyAsFfmpegDecodedThem ) {
	u32 checked = 0;
	for ( const auto& entry : std::filesystem::directory_iterator( AdpcmFixtureFolder() ) ) {
		if ( entry.path().extension() != ".genh" ) {
			continue;
		}
		SCOPED_TRACE( entry.path().filename().string() );
		std::filesystem::path expectedPath = entry.path();
		expectedPath.replace_extension( ".s16le" );
		// FFmpeg decodes whole frames; the voice plays the stated samples.
		std::vector<s16> expected = ToSamples( ReadAll( expectedPath ) );
		const std::vector<u8> genh = ReadAll( entry.path() );
		ASSERT_GE( genh.size(), TOOL_GENH_HEADER_SIZE );
		const u32 sampleCount = DTReadLE32( genh.data() + 20 );
		ASSERT_GE( expected.size(), sampleCount );
		ASSERT_LT( expected.size(), sampleCount + 14u );
		expected.resize( sampleCount );
		EXPECT_EQ( PlayGenh( genh ), expected );
		++checked;
	}
	EXPECT_GE( checked, 4u );
}

TEST( AdpcmOracle, MatchesFfmpegOnFreshRandomFrames ) {
	if ( !RequireFfmpeg() ) {
		GTEST_SKIP() << "ffmpeg not on the path";
	}
	for ( const u32 seed : { 11u, 12345u, 777u } ) {
		SCOPED_TRACE( seed );
		const u32 frames = 300 + seed % 97;
		const std::vector<u8> data = ToolAdpcmTestSignals::RandomFrames( seed, frames );
		const std::vector<u8> genh = ToolGenhWriter::WrapMono( data, frames * 14, 32000, ToolDspAdpcmEncoder::DefaultCoefficients() );
		const std::vector<s16> reference = FfmpegDecode( genh, "au0_oracle_" + std::to_string( seed ) );
		ASSERT_EQ( reference.size(), frames * 14u );
		EXPECT_EQ( PlayGenh( genh ), reference );
	}
}

TEST( AdpcmOracle, EncodesA440HzToneAtThirtyDecibelsOrBetter ) {
	const std::vector<s16> tone = ToolAdpcmTestSignals::Tone( 440.0, 32000, 32000, 16000.0 );
	const ToolDspAdpcmEncoder encoder;
	const ToolAdpcmEncoded encoded = encoder.Encode( tone );
	ASSERT_EQ( encoded.bytes.size(), ( 32000u + 13 ) / 14 * 8 );
	EXPECT_GE( SignalToNoise( tone, encoder.Decode( encoded.bytes, encoded.sampleCount ) ), 30.0 );
	if ( !RequireFfmpeg() ) {
		GTEST_SKIP() << "ffmpeg not on the path";
	}
	const std::vector<u8> genh = ToolGenhWriter::WrapMono( encoded.bytes, encoded.sampleCount, 32000,
														   ToolDspAdpcmEncoder::DefaultCoefficients() );
	std::vector<s16> decoded = FfmpegDecode( genh, "au0_tone" );
	ASSERT_GE( decoded.size(), tone.size() );	// whole frames
	decoded.resize( tone.size() );
	EXPECT_GE( SignalToNoise( tone, decoded ), 30.0 );
}

TEST( AdpcmOracle, WritesTheGenhHeaderFieldByField ) {
	ToolAdpcmCoefficients coefficients{};
	coefficients[0] = 0x0102;
	coefficients[15] = -2;
	const u8 data[8] = { 0x15, 1, 2, 3, 4, 5, 6, 7 };
	const std::vector<u8> file = ToolGenhWriter::WrapMono( data, 14, 32000, coefficients );
	const u8 expectedHeader[44] = {
		'G', 'E', 'N', 'H', 1, 0, 0, 0, 8, 0, 0, 0, 0x00, 0x7D, 0, 0,		// channels 1, interleave 8, 32000 Hz
		0, 0, 0, 0, 14, 0, 0, 0, 12, 0, 0, 0, 0x80, 0, 0, 0,				// loop 0, 14 samples, codec 12, data at 0x80
		0x80, 0, 0, 0, 0x40, 0, 0, 0, 0x40, 0, 0, 0,						// header size, coefficient offsets
	};
	ASSERT_EQ( file.size(), 0x80u + 8 );
	EXPECT_EQ( std::memcmp( file.data(), expectedHeader, sizeof( expectedHeader ) ), 0 );
	EXPECT_EQ( file[0x40], 0x01 );
	EXPECT_EQ( file[0x41], 0x02 );
	EXPECT_EQ( file[0x5E], 0xFF );
	EXPECT_EQ( file[0x5F], 0xFE );
	EXPECT_EQ( file[0x80], 0x15 );
}

}
