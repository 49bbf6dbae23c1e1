#include "platform/ax/AXRenderer.h"

#include "platform/ar/AR.h"
#include "platform/ar/ARHost.h"
#include "platform/ar/ARHostCheck.h"
#include "platform/ax/AXAdpcm.h"

#include <cstring>

namespace {

constexpr u32 ADDRESS_MASK    = AR_HOST_SIZE * 2 - 1;	// nibble addresses wrap like the hardware's
constexpr u32 FRAME_NIBBLE_MASK = AX_ADPCM_NIBBLES_PER_FRAME - 1;
constexpr u32 WINDOW          = 4;
constexpr u32 PLAY_INDEX      = 1;	// the window slot of the playing position
constexpr s32 NO_END          = -1;
constexpr u32 FRACTION_BITS   = 16;
constexpr u32 FRACTION_MASK   = 0xFFFF;
constexpr s32 LEVEL_MAX       = 0xFFFF;

struct AXRenderVoice {
	u32					state;
	u32					type;
	u32					srcType;
	u32					loopFlag;
	u32					loopAddress;
	u32					endAddress;
	u32					currentAddress;
	AXVoiceAdpcm		adpcm;
	AXVoiceAdpcmLoop	adpcmLoop;
	u32					ratio;			// 16.16
	u32					fraction;		// 0..0xFFFF
	s16					window[WINDOW];	// decoded samples at p - 1 .. p + 2
	bool				primed;			// window holds p .. p + 2 for the current address
	bool				decoderEnded;	// a one-shot went past its end: the decoder feeds silence
	s32					endSlot;		// window slot of a one-shot's last sample, NO_END when none
	AXVoiceEnvelope		envelope;
	AXVoiceMix			mix;
};

AXRenderVoice renderVoices[AX_MAX_VOICES];

u32 JoinAddress( const u16 hi, const u16 lo ) {
	return ( static_cast<u32>( hi ) << 16 ) | lo;
}

void SplitAddress( const u32 address, u16& hi, u16& lo ) {
	hi = static_cast<u16>( address >> 16 );
	lo = static_cast<u16>( address );
}

u32 ReadNibble( const u32 address ) {
	const u8 byte = ARHostMemory()[( address & ADDRESS_MASK ) >> 1];
	return ( address & 1 ) == 0 ? byte >> 4 : byte & 0xF;
}

u8 ReadHeader( const u32 address ) {
	return ARHostMemory()[( address & ADDRESS_MASK ) >> 1];
}

// Acts on reaching the inclusive end: a loop jumps back with the loop
// context, a one-shot parks at its loop address and the decoder ends.
void PassEnd( AXRenderVoice& v ) {
	v.currentAddress = v.loopAddress;
	if ( v.loopFlag == 0 ) {
		v.decoderEnded = true;
		return;
	}
	v.adpcm.predictorScale = v.adpcmLoop.predictorScale;
	if ( v.type != AX_VOICE_STREAM ) {
		v.adpcm.history1 = v.adpcmLoop.history1;
		v.adpcm.history2 = v.adpcmLoop.history2;
	}
}

// Decodes the sample at the current address and moves it on. Reports
// through endReached when that sample was a one-shot's last.
s16 DecodeNext( AXRenderVoice& v, bool& endReached ) {
	endReached = false;
	if ( v.decoderEnded ) {
		return 0;
	}
	// A frame header sits at every 16th nibble; an end address that points
	// into a header ends the data before it.
	for ( u32 guard = 0; ( v.currentAddress & FRAME_NIBBLE_MASK ) == 0; ++guard ) {
		if ( guard == 2 ) {
			return 0;
		}
		if ( v.endAddress - v.currentAddress < 2 ) {
			PassEnd( v );
			if ( v.decoderEnded ) {
				endReached = true;
				return 0;
			}
			continue;
		}
		v.adpcm.predictorScale = ReadHeader( v.currentAddress );
		v.currentAddress += 2;
	}
	s16 history1 = static_cast<s16>( v.adpcm.history1 );
	s16 history2 = static_cast<s16>( v.adpcm.history2 );
	const s16 sample = AXAdpcmDecodeSample( v.adpcm.coefficients, static_cast<u8>( v.adpcm.predictorScale ),
											ReadNibble( v.currentAddress ), history1, history2 );
	v.adpcm.history1 = static_cast<u16>( history1 );
	v.adpcm.history2 = static_cast<u16>( history2 );
	if ( v.currentAddress == v.endAddress ) {
		PassEnd( v );
		endReached = v.decoderEnded;
	} else {
		v.currentAddress = ( v.currentAddress + 1 ) & ADDRESS_MASK;
	}
	return sample;
}

// Moves the window on by one decoded sample. Returns false when the
// one-shot's last sample has already been played: the voice stops.
bool Step( AXRenderVoice& v ) {
	if ( v.endSlot == static_cast<s32>( PLAY_INDEX ) ) {
		v.state = AX_VOICE_STOP;
		v.endSlot = NO_END;
		return false;
	}
	bool endReached = false;
	const s16 next = DecodeNext( v, endReached );
	v.window[0] = v.window[1];
	v.window[1] = v.window[2];
	v.window[2] = v.window[3];
	v.window[3] = next;
	if ( v.endSlot != NO_END ) {
		--v.endSlot;
	}
	if ( endReached ) {
		v.endSlot = WINDOW - 1;
	}
	return true;
}

s16 ClampS16( const s64 value ) {
	return static_cast<s16>( value > 32767 ? 32767 : ( value < -32768 ? -32768 : value ) );
}

// The converted sample at the playing position and the current fraction.
s16 Interpolate( const AXRenderVoice& v ) {
	const s64 t = v.fraction;
	const s64 w0 = v.window[0];
	const s64 w1 = v.window[1];
	const s64 w2 = v.window[2];
	const s64 w3 = v.window[3];
	if ( v.srcType == AX_SRC_TYPE_LINEAR ) {
		return ClampS16( w1 + ( ( ( w2 - w1 ) * t ) >> FRACTION_BITS ) );
	}
	if ( v.srcType == AX_SRC_TYPE_4TAP ) {
		// Catmull-Rom through the four samples, between p and p + 1; the
		// polynomial's coefficients are twice their value, halved at the end.
		const s64 a = -w0 + 3 * w1 - 3 * w2 + w3;
		const s64 b = 2 * w0 - 5 * w1 + 4 * w2 - w3;
		const s64 c = w2 - w0;
		s64 value = a;
		value = ( ( value * t ) >> FRACTION_BITS ) + b;
		value = ( ( value * t ) >> FRACTION_BITS ) + c;
		value = ( value * t ) >> FRACTION_BITS;
		return ClampS16( w1 + ( value >> 1 ) );
	}
	return static_cast<s16>( w1 );
}

s32 MoveLevel( const s32 level, const s32 delta, const s32 maximum ) {
	const s32 moved = level + delta;
	return moved < 0 ? 0 : ( moved > maximum ? maximum : moved );
}

// Takes over the groups whose sync bit is set, and the AUX sends always.
void Sync( AXRenderVoice& v, AXVPB& voice ) {
	const u32 bits = voice.sync;
	voice.sync = 0;
	if ( bits & AX_SYNC_STATE ) {
		v.state = voice.state;
	}
	if ( bits & AX_SYNC_TYPE ) {
		v.type = voice.type;
	}
	if ( bits & AX_SYNC_SRCTYPE ) {
		v.srcType = voice.srcType;
	}
	if ( bits & AX_SYNC_ADPCM ) {
		v.adpcm = voice.adpcm;
	}
	if ( bits & AX_SYNC_ADPCMLOOP ) {
		v.adpcmLoop = voice.adpcmLoop;
	}
	if ( bits & AX_SYNC_SRC ) {
		v.ratio = JoinAddress( voice.src.ratioHi, voice.src.ratioLo );
		v.fraction = voice.src.currentFraction;
		for ( u32 i = 0; i < WINDOW; ++i ) {
			v.window[i] = static_cast<s16>( voice.src.lastSamples[i] );
		}
	}
	if ( bits & AX_SYNC_SRCRATIO ) {
		v.ratio = JoinAddress( voice.src.ratioHi, voice.src.ratioLo );
	}
	if ( bits & AX_SYNC_ADDR ) {
		if ( voice.addr.format != AX_FORMAT_ADPCM ) {
			ARHostFail( AR_CHECK_BAD_FORMAT, "voice %u: sample format %u does not play", voice.index, voice.addr.format );
			v.state = AX_VOICE_STOP;
		} else {
			v.loopFlag = voice.addr.loopFlag;
			v.loopAddress = JoinAddress( voice.addr.loopAddressHi, voice.addr.loopAddressLo ) & ADDRESS_MASK;
			v.endAddress = JoinAddress( voice.addr.endAddressHi, voice.addr.endAddressLo ) & ADDRESS_MASK;
			const u32 current = JoinAddress( voice.addr.currentAddressHi, voice.addr.currentAddressLo ) & ADDRESS_MASK;
			// The written-back address comes back unchanged when only the loop
			// or end moved; only a new position restarts the decoder.
			if ( current != v.currentAddress || v.decoderEnded ) {
				v.currentAddress = current;
				v.primed = false;
				v.decoderEnded = false;
				v.endSlot = NO_END;
			}
		}
	}
	if ( bits & AX_SYNC_ENVELOPE ) {
		v.envelope = voice.envelope;
	}
	if ( bits & AX_SYNC_MIX ) {
		v.mix.left = voice.mix.left;
		v.mix.leftDelta = voice.mix.leftDelta;
		v.mix.right = voice.mix.right;
		v.mix.rightDelta = voice.mix.rightDelta;
	}
	// The AUX sends feed no bus on the host; they are taken every frame so
	// that direct writes count from the next frame.
	v.mix.auxALeft = voice.mix.auxALeft;
	v.mix.auxALeftDelta = voice.mix.auxALeftDelta;
	v.mix.auxARight = voice.mix.auxARight;
	v.mix.auxARightDelta = voice.mix.auxARightDelta;
	v.mix.auxBLeft = voice.mix.auxBLeft;
	v.mix.auxBLeftDelta = voice.mix.auxBLeftDelta;
	v.mix.auxBRight = voice.mix.auxBRight;
	v.mix.auxBRightDelta = voice.mix.auxBRightDelta;
}

void WriteBack( const AXRenderVoice& v, AXVPB& voice ) {
	SplitAddress( v.currentAddress, voice.addr.currentAddressHi, voice.addr.currentAddressLo );
	voice.state = static_cast<u16>( v.state );
	voice.envelope.currentVolume = v.envelope.currentVolume;
	voice.adpcm.predictorScale = v.adpcm.predictorScale;
	voice.adpcm.history1 = v.adpcm.history1;
	voice.adpcm.history2 = v.adpcm.history2;
}

// Renders one voice into its tap and adds it to the mix accumulators.
void RenderVoice( AXRenderVoice& v, s16* tap, s32* left, s32* right ) {
	std::memset( tap, 0, sizeof( s16 ) * AX_SAMPLES_PER_FRAME );
	if ( v.state != AX_VOICE_RUN ) {
		return;
	}
	if ( !v.primed ) {
		// Fill p + 1 and p + 2; the first step brings the first sample to p.
		Step( v );
		Step( v );
		v.primed = true;
	}
	for ( u32 i = 0; i < AX_SAMPLES_PER_FRAME; ++i ) {
		v.fraction += v.ratio;
		u32 steps = v.fraction >> FRACTION_BITS;
		v.fraction &= FRACTION_MASK;
		bool playing = true;
		while ( steps-- > 0 && playing ) {
			playing = Step( v );
		}
		if ( !playing ) {
			// The rest of the frame is silent.
			return;
		}
		const s32 sample = Interpolate( v );
		tap[i] = static_cast<s16>( sample );
		const s32 enveloped = sample * static_cast<s32>( v.envelope.currentVolume ) / AX_UNITY_LEVEL;
		left[i] += enveloped * static_cast<s32>( v.mix.left ) / AX_UNITY_LEVEL;
		right[i] += enveloped * static_cast<s32>( v.mix.right ) / AX_UNITY_LEVEL;
		v.envelope.currentVolume = static_cast<u16>( MoveLevel( v.envelope.currentVolume, v.envelope.currentDelta, AX_UNITY_LEVEL ) );
		v.mix.left = static_cast<u16>( MoveLevel( v.mix.left, v.mix.leftDelta, LEVEL_MAX ) );
		v.mix.right = static_cast<u16>( MoveLevel( v.mix.right, v.mix.rightDelta, LEVEL_MAX ) );
	}
}

}

void AXRendererResetVoice( const u32 index ) {
	if ( index >= AX_MAX_VOICES ) {
		return;
	}
	AXRenderVoice& v = renderVoices[index];
	std::memset( &v, 0, sizeof( v ) );
	v.state = AX_VOICE_STOP;
	v.endSlot = NO_END;
	v.envelope.currentVolume = AX_UNITY_LEVEL;
}

void AXRendererStopVoice( const u32 index ) {
	if ( index < AX_MAX_VOICES ) {
		renderVoices[index].state = AX_VOICE_STOP;
	}
}

AXVoiceMix AXRendererMix( const u32 index ) {
	return index < AX_MAX_VOICES ? renderVoices[index].mix : AXVoiceMix{};
}

void AXRendererRenderFrame( AXVPB* voices, s16* mix, s16 ( *taps )[AX_SAMPLES_PER_FRAME] ) {
	s32 left[AX_SAMPLES_PER_FRAME] = {};
	s32 right[AX_SAMPLES_PER_FRAME] = {};
	for ( u32 i = 0; i < AX_MAX_VOICES; ++i ) {
		Sync( renderVoices[i], voices[i] );
	}
	for ( u32 i = 0; i < AX_MAX_VOICES; ++i ) {
		RenderVoice( renderVoices[i], taps[i], left, right );
	}
	for ( u32 i = 0; i < AX_MAX_VOICES; ++i ) {
		WriteBack( renderVoices[i], voices[i] );
	}
	for ( u32 i = 0; i < AX_SAMPLES_PER_FRAME; ++i ) {
		mix[i * 2] = ClampS16( left[i] );
		mix[i * 2 + 1] = ClampS16( right[i] );
	}
}
