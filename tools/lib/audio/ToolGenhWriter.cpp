#include "tools/lib/audio/ToolGenhWriter.h"

#include "datatypes/base/DTByteOrder.h"

#include <algorithm>

std::vector<u8> ToolGenhWriter::WrapMono( const std::span<const u8> adpcm, const u32 sampleCount,
										  const u32 sampleRate, const std::array<s16, 16>& coefficients ) {
	const u32 CHANNELS   = 1;
	const u32 INTERLEAVE = 8;
	std::vector<u8> file( TOOL_GENH_HEADER_SIZE, 0 );
	u8* h = file.data();
	h[0] = 'G';
	h[1] = 'E';
	h[2] = 'N';
	h[3] = 'H';
	DTWriteLE32( h + 4, CHANNELS );
	DTWriteLE32( h + 8, INTERLEAVE );
	DTWriteLE32( h + 12, sampleRate );
	DTWriteLE32( h + 16, 0 );
	DTWriteLE32( h + 20, sampleCount );
	DTWriteLE32( h + 24, TOOL_GENH_CODEC_DSP_ADPCM );
	DTWriteLE32( h + 28, TOOL_GENH_HEADER_SIZE );
	DTWriteLE32( h + 32, TOOL_GENH_HEADER_SIZE );
	DTWriteLE32( h + 36, TOOL_GENH_COEFFICIENT_OFFSET );
	DTWriteLE32( h + 40, TOOL_GENH_COEFFICIENT_OFFSET );
	for ( u32 i = 0; i < coefficients.size(); ++i ) {
		DTWriteBE16( h + TOOL_GENH_COEFFICIENT_OFFSET + i * 2, static_cast<u16>( coefficients[i] ) );
	}
	// Grown then filled rather than inserted into: GCC 12 misreads the
	// insertion's bounds at -O2 and warns about a copy that cannot happen.
	file.resize( TOOL_GENH_HEADER_SIZE + adpcm.size() );
	std::copy( adpcm.begin(), adpcm.end(), file.begin() + TOOL_GENH_HEADER_SIZE );
	return file;
}
