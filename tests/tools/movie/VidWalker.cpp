#include "VidWalker.h"

#include "datatypes/base/DTByteOrder.h"
#include "tools/lib/movie/ToolVidMuxer.h"

namespace {

bool Problem( std::string* problem, const std::string& text ) {
	*problem = text;
	return false;
}

bool AllZero( const std::vector<u8>& file, const u64 from, const u64 to ) {
	for ( u64 i = from; i < to; i++ ) {
		if ( file[i] != 0 ) {
			return false;
		}
	}
	return true;
}

// Walks the sub-chunks of [start, start + length) as the reader does. The
// header walk reads at least 32 bytes per sub-chunk; the frame walk steps
// by each sub-chunk's size.
bool WalkSubChunks( const std::vector<u8>& file, const u64 start, const u64 length, const u32 smallest,
					std::vector<VidSubChunk>* out, std::string* problem, const char* where ) {
	u64 position = start;
	u64 remaining = length;
	while ( remaining >= 32 ) {
		const u32 size = DTReadBE32( &file[position + 4] );
		if ( size < smallest ) {
			return Problem( problem, std::string( where ) + ": a sub-chunk under " + std::to_string( smallest ) + " bytes" );
		}
		if ( size > remaining ) {
			return Problem( problem, std::string( where ) + ": a sub-chunk runs past its chunk" );
		}
		VidSubChunk sub;
		sub.tag = DTReadBE32( &file[position] );
		sub.version = DTReadBE32( &file[position + 8] );
		sub.payload.assign( file.begin() + static_cast<std::ptrdiff_t>( position + 12 ),
							file.begin() + static_cast<std::ptrdiff_t>( position + size ) );
		out->push_back( sub );
		position += size;
		remaining -= size;
	}
	if ( !AllZero( file, position, position + remaining ) ) {
		return Problem( problem, std::string( where ) + ": the walk skips bytes that are not padding" );
	}
	return true;
}

}

const VidSubChunk* FindSubChunk( const VidFrameChunk& frame, const u32 tag ) {
	for ( const VidSubChunk& sub : frame.subChunks ) {
		if ( sub.tag == tag ) {
			return &sub;
		}
	}
	return nullptr;
}

bool WalkVid( const std::vector<u8>& file, VidMovie* movie, std::string* problem ) {
	*movie = VidMovie();
	if ( file.size() < 64 || DTReadBE32( &file[0] ) != ToolVidTag( "VID1" ) || file[12] != 1 || file[13] != 0 ) {
		return Problem( problem, "no VID1 header of version 1.0" );
	}
	if ( DTReadBE32( &file[32] ) != ToolVidTag( "HEAD" ) ) {
		return Problem( problem, "no HEAD at 32" );
	}
	movie->headSize = DTReadBE32( &file[36] );
	if ( movie->headSize % 32 != 0 || movie->headSize < 44 || 32u + movie->headSize > file.size() ) {
		return Problem( problem, "HEAD size is not a multiple of 32 inside the file" );
	}
	if ( !WalkSubChunks( file, 44, movie->headSize - 12u, 32, &movie->headSubChunks, problem, "HEAD" ) ) {
		return false;
	}
	bool haveVideo = false;
	for ( const VidSubChunk& sub : movie->headSubChunks ) {
		if ( sub.tag == ToolVidTag( "VIDH" ) && sub.payload.size() >= 20 ) {
			const u8* p = sub.payload.data();
			haveVideo = true;
			movie->videoVersion = sub.version;
			movie->width = DTReadBE16( p );
			movie->height = DTReadBE16( p + 2 );
			movie->frameCount = DTReadBE32( p + 4 );
			movie->largestFrame = DTReadBE32( p + 8 );
			movie->rateNumerator = DTReadBE32( p + 12 );
			movie->rateDenominator = sub.version == 0 ? DTReadBE32( p + 16 ) : DTReadBE16( p + 16 );
		} else if ( sub.tag == ToolVidTag( "AUDH" ) ) {
			movie->hasAudio = true;
			movie->audioHeader = sub.payload;
		}
	}
	if ( !haveVideo ) {
		return Problem( problem, "no VIDH" );
	}

	u64 offset = 32u + movie->headSize;
	u32 largest = 0;
	for ( u32 k = 0; k < movie->frameCount; k++ ) {
		if ( offset + 32 > file.size() || DTReadBE32( &file[offset] ) != ToolVidTag( "FRAM" ) ) {
			return Problem( problem, "frame " + std::to_string( k ) + ": no FRAM where the previous one ends" );
		}
		VidFrameChunk frame;
		frame.offset = offset;
		frame.size = DTReadBE32( &file[offset + 4] );
		if ( frame.size % 32 != 0 || frame.size < 32 ) {
			return Problem( problem, "frame " + std::to_string( k ) + ": size is not a multiple of 32" );
		}
		// The frame's read: size bytes from offset + 32, its sub-chunks and
		// the 32 bytes after it.
		const u64 readEnd = offset + 32u + frame.size;
		if ( readEnd > file.size() ) {
			return Problem( problem, "frame " + std::to_string( k ) + ": its read runs past the file (no trailer)" );
		}
		// The read ends with the next frame's header: its tag 32 bytes and its
		// size 28 bytes before the end (zeros in the trailer).
		const u64 next = offset + frame.size;
		const bool last = k + 1 == movie->frameCount;
		const u32 nextTag = DTReadBE32( &file[readEnd - 32] );
		if ( nextTag != ( last ? 0u : ToolVidTag( "FRAM" ) ) ) {
			return Problem( problem, "frame " + std::to_string( k ) + ": no FRAM where the previous one ends" );
		}
		if ( !last && DTReadBE32( &file[readEnd - 28] ) % 32 != 0 ) {
			return Problem( problem, "frame " + std::to_string( k + 1 ) + ": size is not a multiple of 32" );
		}
		if ( !WalkSubChunks( file, offset + 32, frame.size - 32u, 12, &frame.subChunks, problem, "FRAM" ) ) {
			return false;
		}
		largest = frame.size > largest ? frame.size : largest;
		movie->frames.push_back( frame );
		offset = next;
	}
	if ( largest != movie->largestFrame ) {
		return Problem( problem, "VIDH's largest frame is not the largest FRAM" );
	}
	if ( file.size() != offset + 32 || !AllZero( file, offset, file.size() ) ) {
		return Problem( problem, "the file does not end with the 32-byte trailer after the last FRAM" );
	}
	return true;
}
