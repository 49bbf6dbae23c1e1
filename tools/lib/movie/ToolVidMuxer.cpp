#include "tools/lib/movie/ToolVidMuxer.h"

#include "datatypes/base/DTByteOrder.h"
#include "tools/lib/movie/ToolVidAudioSchedule.h"

namespace {

constexpr u8  VERSION_MAJOR				= 1;
constexpr u8  VERSION_MINOR				= 0;
constexpr u32 FILE_HEADER_BYTES			= 32;
constexpr u32 VIDEO_HEADER_VERSION		= 1;
constexpr u32 COEFFICIENTS_PER_CHANNEL	= 16;

bool Fail( std::string* error, const char* message ) {
	if ( error != nullptr ) {
		*error = message;
	}
	return false;
}

void Append32( std::vector<u8>& out, const u32 value ) {
	u8 bytes[4];
	DTWriteBE32( bytes, value );
	out.insert( out.end(), bytes, bytes + 4 );
}

void Append16( std::vector<u8>& out, const u16 value ) {
	u8 bytes[2];
	DTWriteBE16( bytes, value );
	out.insert( out.end(), bytes, bytes + 2 );
}

void AppendZeros( std::vector<u8>& out, const u64 count ) {
	out.insert( out.end(), static_cast<size_t>( count ), 0 );
}

u64 RoundUp( const u64 value, const u64 step ) {
	return ( value + step - 1u ) / step * step;
}

// The size a sub-chunk takes in its chunk: a short last one is lengthened
// to a whole reader step.
u64 SubChunkBytes( const ToolVidSubChunk& sub, const bool last, const ToolVidWriteOptions& options ) {
	const u64 bytes = TOOL_VID_SUB_HEADER + sub.payload.size();
	if ( last && bytes < TOOL_VID_BLOCK && !options.keepShortSubChunks ) {
		return TOOL_VID_BLOCK;
	}
	return bytes;
}

void AppendSubChunk( std::vector<u8>& out, const ToolVidSubChunk& sub, const u64 bytes ) {
	Append32( out, sub.tag );
	Append32( out, sub.sizeOverride != 0 ? sub.sizeOverride : static_cast<u32>( bytes ) );
	Append32( out, sub.version );
	out.insert( out.end(), sub.payload.begin(), sub.payload.end() );
	AppendZeros( out, bytes - TOOL_VID_SUB_HEADER - sub.payload.size() );
}

}

bool ToolVidMuxer::BuildFrames( const std::vector<std::vector<u8>>& pictures, const std::vector<ToolVidAudioTrack>& tracks,
								const u32 rateNumerator, const u32 rateDenominator, std::vector<ToolVidFrame>* frames,
								std::string* error ) {
	frames->clear();
	if ( rateNumerator == 0 || rateDenominator == 0 ) {
		return Fail( error, "the frame rate is 0" );
	}
	const u64 channelBytes = tracks.empty() ? 0 : tracks[0].left.size();
	for ( const ToolVidAudioTrack& track : tracks ) {
		if ( track.left.size() != channelBytes || track.right.size() != channelBytes ) {
			return Fail( error, "the sound channels differ in length" );
		}
	}
	if ( channelBytes % TOOL_ADPCM_FRAME_BYTES != 0 ) {
		return Fail( error, "the sound channels are not whole ADPCM frames" );
	}
	const u64 channels = tracks.size() * 2u;
	for ( u64 k = 0; k < pictures.size(); k++ ) {
		ToolVidFrame frame;
		ToolVidSubChunk video;
		video.tag = ToolVidTag( "VIDD" );
		video.version = 0;
		video.payload = pictures[k];
		frame.subChunks.push_back( video );
		if ( !tracks.empty() ) {
			const u64 first = ToolVidAudioSchedule::BytesBefore( k, rateNumerator, rateDenominator, channelBytes );
			const u64 end = ToolVidAudioSchedule::BytesBefore( k + 1u, rateNumerator, rateDenominator, channelBytes );
			ToolVidSubChunk audio;
			audio.tag = ToolVidTag( "AUDD" );
			audio.version = 0;
			Append32( audio.payload, static_cast<u32>( ( end - first ) * channels ) );
			for ( const ToolVidAudioTrack& track : tracks ) {
				audio.payload.insert( audio.payload.end(), track.left.begin() + first, track.left.begin() + end );
				audio.payload.insert( audio.payload.end(), track.right.begin() + first, track.right.begin() + end );
			}
			frame.subChunks.push_back( audio );
		}
		frames->push_back( frame );
	}
	return true;
}

std::vector<u8> ToolVidMuxer::HeadChunk( const ToolVidVideoHeader& video, const std::vector<ToolVidAudioTrack>& tracks,
										 const u32 largestFrame, const ToolVidWriteOptions& options ) {
	std::vector<u8> subChunks;

	ToolVidSubChunk videoHeader;
	videoHeader.tag = ToolVidTag( "VIDH" );
	videoHeader.version = options.versionZeroVideoHeader ? 0 : VIDEO_HEADER_VERSION;
	std::vector<u8>& v = videoHeader.payload;
	Append16( v, video.width );
	Append16( v, video.height );
	Append32( v, 0 );	// frame count, filled by Write
	Append32( v, largestFrame );
	Append32( v, video.rateNumerator );
	if ( options.versionZeroVideoHeader ) {
		Append32( v, video.rateDenominator );
	} else {
		Append16( v, static_cast<u16>( video.rateDenominator ) );
		v.push_back( video.flag );
		v.push_back( 0 );
	}
	AppendSubChunk( subChunks, videoHeader, SubChunkBytes( videoHeader, tracks.empty(), options ) );

	if ( !tracks.empty() ) {
		ToolVidSubChunk audioHeader;
		audioHeader.tag = ToolVidTag( "AUDH" );
		audioHeader.version = 0;
		std::vector<u8>& a = audioHeader.payload;
		Append32( a, ToolVidTag( "APCM" ) );
		Append32( a, TOOL_VID_AUDIO_RATE );
		a.push_back( static_cast<u8>( tracks.size() * 2u ) );
		a.push_back( 0 );
		for ( const ToolVidAudioTrack& track : tracks ) {
			for ( u32 i = 0; i < COEFFICIENTS_PER_CHANNEL; i++ ) {
				Append16( a, track.leftCoefficients[i] );
			}
			for ( u32 i = 0; i < COEFFICIENTS_PER_CHANNEL; i++ ) {
				Append16( a, track.rightCoefficients[i] );
			}
			a.push_back( 0 );	// history start values
			a.push_back( 0 );
		}
		AppendSubChunk( subChunks, audioHeader, SubChunkBytes( audioHeader, true, options ) );
	}

	std::vector<u8> head;
	const u64 used = TOOL_VID_HEAD_HEADER + subChunks.size();
	const u64 size = RoundUp( used, TOOL_VID_BLOCK ) + ( options.headPaddingOfOneBlock ? TOOL_VID_BLOCK : 0u );
	Append32( head, ToolVidTag( "HEAD" ) );
	Append32( head, static_cast<u32>( size ) );
	Append32( head, 0 );
	head.insert( head.end(), subChunks.begin(), subChunks.end() );
	AppendZeros( head, size - used );
	return head;
}

u32 ToolVidMuxer::FrameSize( const ToolVidFrame& frame, const ToolVidWriteOptions& options ) {
	u64 used = TOOL_VID_FRAME_HEADER;
	for ( size_t i = 0; i < frame.subChunks.size(); i++ ) {
		used += SubChunkBytes( frame.subChunks[i], i + 1 == frame.subChunks.size(), options );
	}
	return static_cast<u32>( options.unalignedFrames ? used : RoundUp( used, TOOL_VID_BLOCK ) );
}

void ToolVidMuxer::AppendFrame( std::vector<u8>& file, const ToolVidFrame& frame, const ToolVidWriteOptions& options ) {
	const u32 size = FrameSize( frame, options );
	const size_t start = file.size();
	Append32( file, ToolVidTag( "FRAM" ) );
	Append32( file, frame.sizeOverride != 0 ? frame.sizeOverride : size );
	AppendZeros( file, TOOL_VID_FRAME_HEADER - 8u );
	for ( size_t i = 0; i < frame.subChunks.size(); i++ ) {
		const ToolVidSubChunk& sub = frame.subChunks[i];
		AppendSubChunk( file, sub, SubChunkBytes( sub, i + 1 == frame.subChunks.size(), options ) );
	}
	AppendZeros( file, start + size - file.size() );
}

bool ToolVidMuxer::Write( const ToolVidVideoHeader& video, const std::vector<ToolVidAudioTrack>& tracks,
						  const std::vector<ToolVidFrame>& frames, const ToolVidWriteOptions& options,
						  std::vector<u8>* file, std::string* error ) {
	file->clear();
	if ( frames.empty() ) {
		return Fail( error, "a movie needs at least one frame" );
	}
	if ( video.rateNumerator == 0 || video.rateDenominator == 0 ) {
		return Fail( error, "the frame rate is 0" );
	}
	if ( !options.versionZeroVideoHeader && video.rateDenominator > 0xFFFF ) {
		return Fail( error, "the frame-rate denominator does not fit 16 bits" );
	}
	if ( tracks.size() * 2u > 0xFF ) {
		return Fail( error, "too many sound tracks for the channel count" );
	}
	u64 largest = 0;
	u64 total = 0;
	for ( const ToolVidFrame& frame : frames ) {
		const u64 size = FrameSize( frame, options );
		largest = size > largest ? size : largest;
		total += size;
	}
	if ( total > 0xFFFFFFFFull ) {
		return Fail( error, "the movie does not fit 32-bit offsets" );
	}

	Append32( *file, ToolVidTag( "VID1" ) );
	Append32( *file, FILE_HEADER_BYTES );
	Append32( *file, 0 );
	file->push_back( VERSION_MAJOR );
	file->push_back( VERSION_MINOR );
	AppendZeros( *file, FILE_HEADER_BYTES - file->size() );

	std::vector<u8> head = HeadChunk( video, tracks, static_cast<u32>( largest ), options );
	constexpr u32 FRAME_COUNT_OFFSET = TOOL_VID_HEAD_HEADER + TOOL_VID_SUB_HEADER + 4u;
	DTWriteBE32( head.data() + FRAME_COUNT_OFFSET, static_cast<u32>( frames.size() ) );
	file->insert( file->end(), head.begin(), head.end() );

	for ( const ToolVidFrame& frame : frames ) {
		AppendFrame( *file, frame, options );
	}
	if ( !options.omitTrailer ) {
		AppendZeros( *file, TOOL_VID_BLOCK );
	}
	return true;
}
