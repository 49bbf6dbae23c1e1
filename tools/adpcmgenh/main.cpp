// Writes GENH files of DSP-ADPCM test data for the decoder and encoder
// checks against an independent decoder.
//
//   adpcmgenh random <seed> <frames> <out.genh>
//   adpcmgenh tone <hz> <samples> <out.genh>

#include "tools/lib/ToolFile.h"
#include "tools/lib/audio/ToolAdpcmTestSignals.h"
#include "tools/lib/audio/ToolDspAdpcmEncoder.h"
#include "tools/lib/audio/ToolGenhWriter.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr u32 RATE = 32000;

int Usage() {
	std::fprintf( stderr, "usage: adpcmgenh random <seed> <frames> <out.genh>\n"
						  "       adpcmgenh tone <hz> <samples> <out.genh>\n" );
	return 2;
}

}

int main( int argc, char** argv ) {
	if ( argc != 5 ) {
		return Usage();
	}
	const std::string kind = argv[1];
	const ToolDspAdpcmEncoder encoder;
	std::vector<u8> file;
	if ( kind == "random" ) {
		const u32 frames = static_cast<u32>( std::strtoul( argv[3], nullptr, 10 ) );
		const std::vector<u8> data = ToolAdpcmTestSignals::RandomFrames( static_cast<u32>( std::strtoul( argv[2], nullptr, 10 ) ), frames );
		file = ToolGenhWriter::WrapMono( data, frames * 14, RATE, ToolDspAdpcmEncoder::DefaultCoefficients() );
	} else if ( kind == "tone" ) {
		const u32 count = static_cast<u32>( std::strtoul( argv[3], nullptr, 10 ) );
		const ToolAdpcmEncoded encoded = encoder.Encode( ToolAdpcmTestSignals::Tone( std::strtod( argv[2], nullptr ), RATE, count, 16000.0 ) );
		file = ToolGenhWriter::WrapMono( encoded.bytes, encoded.sampleCount, RATE, ToolDspAdpcmEncoder::DefaultCoefficients() );
	} else {
		return Usage();
	}
	std::string error;
	if ( !ToolWriteFile( argv[4], file, error ) ) {
		std::fprintf( stderr, "adpcmgenh: %s\n", error.c_str() );
		return 1;
	}
	return 0;
}
