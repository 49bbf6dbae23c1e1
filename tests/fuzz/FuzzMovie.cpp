/*
	Movies: a movie file through open and the read-ahead reader, played to
	its end as the player loop plays it, its sound staged by the movie
	audio; and compact MPEG-4 pictures through
	the decoder, made once per input at the stream's picture size.
*/
#include "FuzzTarget.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/file/DTConsoleReset.h"
#include "framework/video/EFVideoAudio.h"
#include "platform/dvd/DVDHost.h"
#include "platform/host/HostEventQueue.h"
#include "platform/os/OSHost.h"
#include "platform/os/OSFont.h"
#include "video/m4/M4Decoder.h"
#include "video/m4/VIDDecoder.h"
#include "video/vid/VIDSimpleDecodeSinks.h"
#include "video/vid/VIDSimpleOpen.h"
#include "video/vid/VIDSimplePlayer.h"
#include "video/vid/VIDSimpleReadAhead.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const char* const corpusMovies[] = { "bframes", "gmc", "interlacedtop", "ionly", "ip", "mpegmatrix", "mv4", "oddsize" };

std::vector<u8> ReadCorpusMovie( const char* name ) {
	std::ifstream in( std::filesystem::path( ENGINE_TEST_DATA_DIR ) / "movie" / ( std::string( name ) + ".vid" ),
					  std::ios::binary );
	return std::vector<u8>( std::istreambuf_iterator<char>( in ), std::istreambuf_iterator<char>() );
}

// Payloads are read whole, so that a slot's bounds are checked by the
// sanitizers; nothing is kept.
volatile u32 payloadSum = 0;

void Touch( const u8* data, const u32 size ) {
	u32 sum = 0;
	for ( u32 i = 0; i < size; i++ ) {
		sum += data[i];
	}
	payloadSum = sum;
}

s32 TouchPicture( M4Decoder*, const u8* data, const u32 size, VIDImage** ) {
	Touch( data, size );
	return 1;
}

s32 TouchSound( const u8* data, const u32 size ) {
	Touch( data, size );
	return VIDSimpleAudioDecode( data, size );
}

void NoFree( void* ) {
}

void* SlotAlloc( const u32 size ) {
	return std::malloc( size );
}

void SlotFree( void* block ) {
	std::free( block );
}

void QuietReport( const char* ) {
}

// Turns of the player loop a movie may take before it counts as played.
constexpr u32 PLAYER_TURNS = 600;

void PlayMovie( const u8* data, const size_t size ) {
	static bool started = false;
	if ( !started ) {
		alignas( 32 ) static u8 font[OS_FONT_SIZE_ANSI];
		FuzzCheck( OSInitFont( reinterpret_cast<OSFontHeader*>( font ) ), "the ROM font does not build" );
		OSHostSetReportHook( QuietReport );
		started = true;
	}
	FuzzCheck( FuzzDiscWriteFile( "MOVIES/FUZZ.VID", data, size ), "cannot write the movie" );
	DVDHostSetReadLatency( 0 );
	OSHostSetResetButton( false );
	gbConsoleResetPushed = 0;
	VIDSimpleHostReset();
	const VIDVideoDecodeSink previousVideo = VIDSimpleSetVideoDecodeSink( TouchPicture );
	const VIDAudioDecodeSink previousAudio = VIDSimpleSetAudioDecodeSink( TouchSound );
	if ( VIDSimpleOpen( "MOVIES/FUZZ.VID", 0 ) == 1 ) {
		VIDSimpleInitAudioDecoder( nullptr );
		if ( VIDSimpleAllocDVDBuffers( SlotAlloc ) == 1 && VIDSimpleLoadStart( 0 ) == 1 ) {
			for ( u32 turn = 0; turn < PLAYER_TURNS; turn++ ) {
				VIDSimpleDecode();
				const u32 write = VIDSimpleGetWriteSlot();
				if ( VIDSimpleGetNextFrameNumber() + 1 > VIDSimpleGetFrameCount() && write == VIDSimpleGetDecodeSlot() &&
					 !VIDSimpleIsSlotFilled( write ) ) {
					break;
				}
				HostIdle();
			}
		}
		VIDSimpleLoadStop();
		VIDSimpleExitAudioDecoder( NoFree );
		VIDSimpleFreeDVDBuffers( SlotFree );
		VIDSimpleClose();
	}
	VIDSimpleHostReset();
	VIDSimpleSetVideoDecodeSink( previousVideo );
	VIDSimpleSetAudioDecodeSink( previousAudio );
	HostResetEvents();
	FuzzDiscCloseFiles();
}

// Compact pictures: a header of the picture width and height (big-endian
// u16 each) and the decoder flags (one byte), then pictures, each a
// big-endian u16 length and its bytes. Each picture is decoded from a
// block of its exact size.
constexpr size_t PICTURES_HEADER_BYTES = 5;
constexpr u32 LARGEST_WIDTH = 720;
constexpr u32 LARGEST_HEIGHT = 576;

void* DecoderAlloc( const u32 size ) {
	return std::malloc( size );
}

void DecoderFree( void* block ) {
	std::free( block );
}

void DecodePictures( const u8* data, const size_t size ) {
	if ( size < PICTURES_HEADER_BYTES ) {
		return;
	}
	const u32 width = DTReadBE16( data );
	const u32 height = DTReadBE16( data + 2 );
	if ( width > LARGEST_WIDTH || height > LARGEST_HEIGHT ) {
		return;
	}
	const VIDDecoderSetup setup = { sizeof( VIDDecoderSetup ), static_cast<u16>( width ), static_cast<u16>( height ),
									data[4] & VID_DECODER_FLAG_REORDER, DecoderAlloc, DecoderFree, nullptr };
	M4Decoder* const decoder = VIDCreateDecoder( &setup );
	if ( decoder == nullptr ) {
		return;
	}
	for ( size_t at = PICTURES_HEADER_BYTES; at + 2 <= size; ) {
		const size_t length = DTReadBE16( data + at );
		at += 2;
		const size_t taken = length < size - at ? length : size - at;
		u8* const picture = static_cast<u8*>( std::malloc( taken != 0 ? taken : 1 ) );
		std::memcpy( picture, data + at, taken );
		VIDImage* image = nullptr;
		if ( VIDVideoDecode( decoder, picture, static_cast<u32>( taken ), &image ) != 0 && image != nullptr ) {
			FuzzCheck( image->width <= image->texWidth && image->height <= image->texHeight, "a picture larger than its texture" );
			Touch( image->y, static_cast<u32>( image->texWidth ) * image->texHeight );
		}
		std::free( picture );
		at += taken;
	}
	VIDDestroyDecoder( decoder );
}

// The size and the first pictures of a corpus movie, in the form above.
std::vector<u8> PicturesOf( const std::vector<u8>& movie, const u32 most ) {
	if ( movie.size() < 64 ) {
		return {};
	}
	const u64 headEnd = 32 + static_cast<u64>( DTReadBE32( &movie[36] ) );
	std::vector<u8> out( PICTURES_HEADER_BYTES, 0 );
	out[4] = VID_DECODER_FLAG_REORDER;
	for ( u64 p = 44; p + 32 <= headEnd && p + 32 <= movie.size(); ) {
		const u32 chunk = DTReadBE32( &movie[p + 4] );
		if ( DTReadBE32( &movie[p] ) == 0x56494448 ) {	// VIDH
			std::memcpy( out.data(), &movie[p + 12], 4 );
		}
		if ( chunk == 0 ) {
			return {};
		}
		p += chunk;
	}
	u32 taken = 0;
	for ( u64 offset = headEnd; offset + 32 <= movie.size() && taken < most; ) {
		const u32 frame = DTReadBE32( &movie[offset + 4] );
		if ( frame < 32 || offset + frame > movie.size() ) {
			break;
		}
		for ( u64 p = offset + 32; p + 12 <= offset + frame && taken < most; ) {
			const u32 sub = DTReadBE32( &movie[p + 4] );
			if ( sub < 12 || p + sub > offset + frame ) {
				break;
			}
			if ( DTReadBE32( &movie[p] ) == 0x56494444 && sub - 12 <= 0xFFFF ) {	// VIDD
				const u32 length = sub - 12;
				out.push_back( static_cast<u8>( length >> 8 ) );
				out.push_back( static_cast<u8>( length ) );
				out.insert( out.end(), movie.begin() + static_cast<std::ptrdiff_t>( p + 12 ),
							movie.begin() + static_cast<std::ptrdiff_t>( p + sub ) );
				taken++;
			}
			p += sub;
		}
		offset += frame;
	}
	return out;
}

} // namespace

FUZZ_TARGET( movie_file ) {
	PlayMovie( data, size );
}

static void FuzzSeeds_movie_file( std::vector<FuzzSeed>& seeds ) {
	for ( const char* name : corpusMovies ) {
		std::vector<u8> movie = ReadCorpusMovie( name );
		if ( !movie.empty() ) {
			seeds.push_back( { std::string( name ) + ".vid", std::move( movie ) } );
		}
	}
}

FUZZ_TARGET( m4_frames ) {
	DecodePictures( data, size );
}

static void FuzzSeeds_m4_frames( std::vector<FuzzSeed>& seeds ) {
	for ( const char* name : corpusMovies ) {
		const std::vector<u8> pictures = PicturesOf( ReadCorpusMovie( name ), 6 );
		if ( pictures.size() > PICTURES_HEADER_BYTES ) {
			seeds.push_back( { std::string( name ) + ".m4", pictures } );
		}
	}
}
