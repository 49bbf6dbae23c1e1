#include "framework/video/EFVideoAudio.h"

#include "datatypes/base/DTByteOrder.h"
#include "framework/audio/GCLowLevelSound.h"
#include "platform/am/AM.h"
#include "platform/ax/AX.h"
#include "platform/mix/MIX.h"
#include "platform/os/OS.h"
#include "video/vid/VIDSimpleDecodeSinks.h"
#include "video/vid/VIDFileFormat.h"
#include "video/vid/VIDSimplePlayer.h"

#include <cinttypes>
#include <cstring>

volatile bool	bVideoPlaying = false;
AXVPB *			gpoVideoVoiceLeft = nullptr;
AXVPB *			gpoVideoVoiceRight = nullptr;

u32				_VideoLanguageIndex = 0;
s32				g_i32VolumeL = 0;
s32				g_i32VolumeR = 0;

u8				g_ui8VideoAudioMode = VIDEO_AUDIO_MODE_NONE;
u32				BuffPos = 0;
u32				BuffPosR = 0;
u32				BuffSize = 0;
u32				BuffSizeR = 0;
bool			bfirst = false;
bool			bfirstR = false;
u32				g_CurrAramOffset2 = 0;

namespace {

constexpr u32 VOICE_PRIORITY = 31;
// Mixer levels of a channel that is set up but not yet heard.
constexpr s32 MIX_SILENT = -960;
constexpr s32 PAN_LEFT = 0;
constexpr s32 PAN_RIGHT = 127;
constexpr s32 SPAN = 127;
// Where the left ring lies past the movie's auxiliary-memory base.
constexpr u32 RING_OFFSET = 287;
// Audio header fields of the tracks: 66 bytes each, left coefficients
// first; every track's history comes from track 0's two bytes.
constexpr u32 TRACK_BYTES = 66;
constexpr u32 LEFT_COEFFICIENTS = 10;
constexpr u32 RIGHT_COEFFICIENTS = 42;
constexpr u32 COEFFICIENT_BYTES = 32;
constexpr u32 HISTORY_OFFSET = 74;
constexpr u32 AUDD_COUNT_BYTES = 4;

enum TransferTag : u8 { TRANSFER_KEEP, TRANSFER_SHIFT };
enum RingHalf : u8 { HALF_FIRST, HALF_SECOND };

alignas( 32 ) u8 stagingL[VIDEO_AUDIO_STAGING_BYTES];
alignas( 32 ) u8 stagingR[VIDEO_AUDIO_STAGING_BYTES];
ARQRequest requestL;
ARQRequest requestR;

// One channel's state: the named globals it uses, and what the refill
// rules need beyond them.
struct Channel {
	AXVPB**		voice;
	u8*			staging;
	u32*		staged;
	u32*		following;
	bool*		primed;
	u32*		ring;
	s32*		volume;
	ARQRequest*	request;
	s32			pan;
	TransferTag	tag;			// of the last transfer posted
	bool		pending;		// that transfer has not completed
	RingHalf	half;			// where the voice played at the last frame
	bool		refilled;		// the other half was refilled during this pass
	bool		overflowReported;
};

Channel channels[2] = {
	{ &gpoVideoVoiceLeft, stagingL, &BuffPos, &BuffSize, &bfirst, &g_CurrAramOffset, &g_i32VolumeL, &requestL, PAN_LEFT,
	  TRANSFER_KEEP, false, HALF_FIRST, false, false },
	{ &gpoVideoVoiceRight, stagingR, &BuffPosR, &BuffSizeR, &bfirstR, &g_CurrAramOffset2, &g_i32VolumeR, &requestR, PAN_RIGHT,
	  TRANSFER_KEEP, false, HALF_FIRST, false, false },
};

// Tags the transfers of the movie whose sound is running; a transfer of
// an earlier movie completes without effect.
u32 movieTag = 1;
bool soundRunning = false;

u32 JoinAddress( const u16 hi, const u16 lo ) {
	return ( static_cast<u32>( hi ) << 16 ) | lo;
}

u32 AudioFormat() {
	return VIDAudioFormat( player.audioHeader );
}

u32 ChannelCount() {
	return player.audioHeader[VID_AUDIO_CHANNELS_OFFSET];
}

// The track to play: the chosen one when its two channels exist and its
// coefficients lie in the header kept, else track 0.
u32 PlayedTrack() {
	const u64 t = _VideoLanguageIndex;
	const bool channelsExist = 2 * t + 1 < ChannelCount();
	const bool headerKept = RIGHT_COEFFICIENTS + TRACK_BYTES * t + COEFFICIENT_BYTES <= VID_AUDIO_AREA_SIZE;
	return channelsExist && headerKept ? static_cast<u32>( t ) : 0;
}

Channel* ChannelOf( const ARQRequest* request ) {
	return request == &requestL ? &channels[0] : request == &requestR ? &channels[1] : nullptr;
}

void SetLoopContext( AXVPB* voice, const u8 predictorScale ) {
	const AXVoiceAdpcmLoop loop = { predictorScale, 0, 0 };
	AXSetVoiceAdpcmLoop( voice, &loop );
}

void TransferDone( ARQRequest* request );

void Post( Channel& c, const u32 from, const u32 toRingOffset, const u32 bytes, const TransferTag tag ) {
	u8* const source = c.staging + from;
	DCFlushRange( source, bytes );
	c.tag = tag;
	c.pending = true;
	ARQPostRequest( c.request, movieTag, ARQ_TYPE_MRAM_TO_ARAM, ARQ_PRIORITY_HIGH, reinterpret_cast<ARQAddress>( source ),
					*c.ring + toRingOffset, bytes, TransferDone );
}

void TransferDone( ARQRequest* request ) {
	Channel* const c = ChannelOf( request );
	if ( c == nullptr ) {
		return;
	}
	c->pending = false;
	if ( request->owner != movieTag || !soundRunning ) {
		return;
	}
	if ( c->tag == TRANSFER_SHIFT ) {
		const BOOL level = OSDisableInterrupts();
		const u32 staged = *c->staged;
		const u32 kept = staged > VIDEO_AUDIO_RING_BYTES ? staged - VIDEO_AUDIO_RING_BYTES : 0;
		std::memmove( c->staging, c->staging + VIDEO_AUDIO_RING_BYTES, kept );
		*c->staged = kept;
		*c->following -= VIDEO_AUDIO_RING_BYTES;
		OSRestoreInterrupts( level );
	}
	AXVPB* const voice = *c->voice;
	if ( voice != nullptr && voice->state == AX_VOICE_STOP ) {
		AXSetVoiceState( voice, AX_VOICE_RUN );
	}
}

void RefillChannel( Channel& c ) {
	AXVPB* const voice = *c.voice;
	if ( voice == nullptr ) {
		return;
	}
	const u32 start = JoinAddress( voice->addr.loopAddressHi, voice->addr.loopAddressLo );
	const u32 end = JoinAddress( voice->addr.endAddressHi, voice->addr.endAddressLo );
	const u32 current = JoinAddress( voice->addr.currentAddressHi, voice->addr.currentAddressLo );
	const u32 middle = ( start + end ) / 2;
	MIXSetFader( voice, *c.volume );
	MIXSetInput( voice, *c.volume );
	if ( c.pending ) {
		return;
	}
	if ( !*c.primed ) {
		if ( *c.staged >= VIDEO_AUDIO_RING_BYTES ) {
			SetLoopContext( voice, c.staging[0] );
			Post( c, 0, 0, VIDEO_AUDIO_RING_BYTES, TRANSFER_SHIFT );
			*c.primed = true;
			// The whole ring is fresh: the first pass through the first
			// half needs no second half.
			c.half = HALF_FIRST;
			c.refilled = true;
		}
		return;
	}
	const RingHalf half = current >= middle && current <= end ? HALF_SECOND : HALF_FIRST;
	if ( half != c.half ) {
		c.half = half;
		c.refilled = false;
	}
	if ( c.refilled ) {
		return;
	}
	if ( half == HALF_SECOND ) {
		if ( *c.staged >= VIDEO_AUDIO_HALF_BYTES ) {
			SetLoopContext( voice, c.staging[0] );
			Post( c, 0, 0, VIDEO_AUDIO_HALF_BYTES, TRANSFER_KEEP );
			*c.following -= VIDEO_AUDIO_HALF_BYTES;
			c.refilled = true;
		}
	} else if ( current > start && *c.staged >= VIDEO_AUDIO_RING_BYTES ) {
		Post( c, VIDEO_AUDIO_HALF_BYTES, VIDEO_AUDIO_HALF_BYTES, VIDEO_AUDIO_HALF_BYTES, TRANSFER_SHIFT );
		c.refilled = true;
	}
}

// Appends what fits of n bytes; the rest of the movie's sound is behind
// the picture by more than the staging holds and is dropped.
void Stage( Channel& c, const u8* bytes, const u32 n ) {
	const u32 room = VIDEO_AUDIO_STAGING_BYTES - *c.staged;
	const u32 taken = n < room ? n : room;
	std::memcpy( c.staging + *c.staged, bytes, taken );
	*c.staged += taken;
	*c.following += taken;
	if ( taken < n && !c.overflowReported ) {
		c.overflowReported = true;
		OSReport( "VIDSimpleAudioDecode: sound staging full, %u bytes dropped\n", n - taken );
	}
}

void SetUpVoice( Channel& c, const u8* coefficients ) {
	AXVPB* const voice = *c.voice;
	MIXInitChannel( voice, 0, MIX_SILENT, MIX_SILENT, MIX_SILENT, c.pan, SPAN, *c.volume );
	const u32 first = *c.ring * 2;
	const u32 last = ( *c.ring + VIDEO_AUDIO_RING_BYTES ) * 2 - 1;
	const BOOL level = OSDisableInterrupts();
	const AXVoiceAddr addr = { 1,
							   AX_FORMAT_ADPCM,
							   static_cast<u16>( first >> 16 ),
							   static_cast<u16>( first ),
							   static_cast<u16>( last >> 16 ),
							   static_cast<u16>( last ),
							   static_cast<u16>( first >> 16 ),
							   static_cast<u16>( first ) };
	AXSetVoiceAddr( voice, &addr );
	voice->envelope.currentVolume = AX_UNITY_LEVEL;
	voice->envelope.currentDelta = 0;
	voice->sync |= AX_SYNC_ENVELOPE;
	OSRestoreInterrupts( level );

	const AXVoiceSrc src = { 1, 0, 0, { 0, 0, 0, 0 } };
	AXSetVoiceType( voice, AX_VOICE_STREAM );
	AXSetVoiceSrcType( voice, AX_SRC_TYPE_LINEAR );
	AXVoiceAdpcm adpcm = {};
	for ( u32 i = 0; i < 16; i++ ) {
		adpcm.coefficients[i] = DTReadBE16( coefficients + 2 * i );
	}
	adpcm.history1 = player.audioHeader[HISTORY_OFFSET];
	adpcm.history2 = player.audioHeader[HISTORY_OFFSET + 1];
	AXSetVoiceAdpcm( voice, &adpcm );
	AXSetVoiceSrc( voice, &src );
}

// The movie audio is the reader's sound sink from start-up on.
const bool sWired = ( VIDSimpleSetAudioDecodeSink( VIDSimpleAudioDecode ), true );

}	// namespace

s32 VIDSimpleInitAudioDecoder( EFVideoAllocCallback ) {
	// Every format but ADPCM plays silent, whatever the last movie was.
	g_ui8VideoAudioMode = VIDEO_AUDIO_MODE_NONE;
	if ( AudioFormat() != VID_AUDIO_FORMAT_ADPCM ) {
		return 0;
	}
	g_ui8VideoAudioMode = VIDEO_AUDIO_MODE_ADPCM;
	++movieTag;
	soundRunning = true;
	g_CurrAramOffset = ( g_Video_aramBase + RING_OFFSET ) & ~31u;
	g_CurrAramOffset2 = g_CurrAramOffset + VIDEO_AUDIO_CHANNEL_AREA;
	for ( Channel& c : channels ) {
		if ( *c.voice == nullptr ) {
			*c.voice = AXAcquireVoice( VOICE_PRIORITY, DropVoiceCallback, 0 );
		}
		c.half = HALF_FIRST;
		c.refilled = false;
		c.overflowReported = false;
	}
	const u32 track = PlayedTrack();
	const u8* const area = player.audioHeader;
	const u8* const coefficients[2] = { area + LEFT_COEFFICIENTS + TRACK_BYTES * track,
										area + RIGHT_COEFFICIENTS + TRACK_BYTES * track };
	for ( u32 i = 0; i < 2; i++ ) {
		if ( *channels[i].voice != nullptr ) {
			SetUpVoice( channels[i], coefficients[i] );
		}
	}
	return 0;
}

s32 VIDSimpleAudioDecode( const u8* const data, const u32 size ) {
	if ( g_ui8VideoAudioMode != VIDEO_AUDIO_MODE_ADPCM || AudioFormat() == VID_AUDIO_FORMAT_NONE ) {
		return 0;
	}
	const u32 count = size >= AUDD_COUNT_BYTES ? DTReadBE32( data ) : 0;
	const u64 n = count / ChannelCount();
	const u64 t = PlayedTrack();
	if ( size < AUDD_COUNT_BYTES || AUDD_COUNT_BYTES + ( 2 * t + 2 ) * n > size ) {
		OSReport( "VIDSimpleAudioDecode: sound chunk of %u bytes claims %u, dropped\n", size, count );
		return 0;
	}
	const BOOL level = OSDisableInterrupts();
	Stage( channels[0], data + AUDD_COUNT_BYTES + 2 * t * n, static_cast<u32>( n ) );
	Stage( channels[1], data + AUDD_COUNT_BYTES + ( 2 * t + 1 ) * n, static_cast<u32>( n ) );
	OSRestoreInterrupts( level );
	return 0;
}

void VideoCallbackAudioFrame() {
	if ( g_ui8VideoAudioMode != VIDEO_AUDIO_MODE_ADPCM ) {
		return;
	}
	for ( Channel& c : channels ) {
		RefillChannel( c );
	}
}

void VIDMuteAllChannel() {
	for ( Channel& c : channels ) {
		AXVPB* const voice = *c.voice;
		if ( voice != nullptr ) {
			voice->envelope.currentVolume = 0;
			voice->envelope.currentDelta = 0;
			voice->sync |= AX_SYNC_ENVELOPE;
		}
	}
}

void VIDSimpleExitAudioDecoder( const EFVideoFreeCallback free ) {
	OSReport( "cbFree %" PRIxPTR " \n", reinterpret_cast<uintptr_t>( free ) );
	if ( AudioFormat() != VID_AUDIO_FORMAT_NONE ) {
		if ( g_ui8VideoAudioMode == VIDEO_AUDIO_MODE_ADPCM ) {
			const u32 zero = AMGetZeroBuffer() * 2;
			for ( Channel& c : channels ) {
				AXVPB* const voice = *c.voice;
				if ( voice == nullptr ) {
					continue;
				}
				AXVoiceAddr addr = voice->addr;
				addr.loopFlag = 0;
				addr.loopAddressHi = static_cast<u16>( zero >> 16 );
				addr.loopAddressLo = static_cast<u16>( zero );
				AXSetVoiceAddr( voice, &addr );
				voice->envelope.currentVolume = 0;
				voice->envelope.currentDelta = 0;
				voice->sync |= AX_SYNC_ENVELOPE;
				AXSetVoiceState( voice, AX_VOICE_STOP );
			}
			OSReport( "MIXReleaseChannel\n" );
			for ( Channel& c : channels ) {
				if ( *c.voice != nullptr ) {
					MIXReleaseChannel( *c.voice );
				}
			}
			for ( Channel& c : channels ) {
				*c.staged = 0;
				*c.following = 0;
				*c.primed = false;
			}
		}
		// The PCM buffers: never allocated on the ADPCM path.
		OSReport( "cbFree(audioPlayBuffer[0])\n" );
		free( nullptr );
		OSReport( "cbFree(audioReadBuffer)\n" );
		free( nullptr );
	}
	// Transfers still pending belong to this movie: they change nothing.
	++movieTag;
	soundRunning = false;
	OSReport( "All done!\n" );
}

void VIDSimpleAudioStartPlayback() {
}

void VIDSimpleAudioChangePlayback( const u32*, u32 ) {
}

void VIDSimpleAudioReset() {
}
