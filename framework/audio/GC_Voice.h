/*
===============================================================================

	The engine's record of one DSP voice: which bank and playback record it
	plays, its levels, pitch and loop, the AX parameter blocks it hands to
	the voice library, and its state.

	There are exactly 64 records (goxVoices): 0-15 belong to the stream
	slots, 16-63 to sound effects. A record is claimed by a free-slot
	search, gets a DSP voice from AX, is filled from its bank's playback
	and sample records, and is started. Every fill does nothing while the
	bank is not loaded, or when the playback record names a sample the
	bank does not hold.

===============================================================================
*/
#ifndef GC_VOICE_H
#define GC_VOICE_H

#include "datatypes/base/DTTypes.h"
#include "platform/ax/AX.h"

// Voice states.
constexpr u8 GC_VOICE_STATE_SETUP		= 0;
constexpr u8 GC_VOICE_STATE_PLAYING		= 1;
constexpr u8 GC_VOICE_STATE_PAUSED		= 3;
constexpr u8 GC_VOICE_STATE_FINISHED	= 5;

// Voice types.
constexpr u8 GC_VOICE_TYPE_EFFECT		= 0;
constexpr u8 GC_VOICE_TYPE_STREAM		= 2;
constexpr u8 GC_VOICE_TYPE_NONE			= 255;
constexpr u8 GC_VOICE_BANK_NONE			= 255;

// Attenuations in 0.1 dB: silence, and the mixer's "off" level.
constexpr s32 GC_ATTENUATION_SILENT		= -904;
constexpr s32 GC_ATTENUATION_OFF		= -960;

// AX priorities: streams outrank sound effects, which are acquired at 30
// and then lowered so that AX takes them first when it runs out.
constexpr u32 GC_PRIORITY_STREAM		= 31;
constexpr u32 GC_PRIORITY_EFFECT		= 30;
constexpr u32 GC_PRIORITY_EFFECT_HELD	= 29;

class GC_Voice {
public:
							GC_Voice();
	virtual					~GC_Voice();

	// Back to the free state.
	void					Reset();

	// Acquires the DSP voice of a sound-effect record; 0 when AX had none.
	u32						GetFreeVoice();

	// Both arguments are unused: the record's own bank and record index
	// are read.
	void					FillVolume( u8 bank, u8 record );
	void					FillPan();
	void					FillPitch();
	void					FillLoop();
	void					FillSampleRate();
	void					FillAramOffset();
	// The delay text of a bank's playback record in milliseconds; 0.0
	// when the bank is not loaded.
	static f32				GetDelay( u8 bank, u8 record );

	void					SetAddr();
	void					SetAdpcm( bool second );
	void					SetSrc();
	void					SetPitch();

	void					Play( f32 scale );
	void					Stop();
	void					NoReleaseStop();
	void					Pause();
	void					Resume();

	// The playback and sample records this voice plays; null when the bank
	// is not loaded or the record is not in it.
	const u8 *				GetPlaybackRecord() const;
	const u8 *				GetSampleRecord() const;

	u32						mui32Handle;
	u32						mui32GroupMask;
	u32						mui32DSPEffect;
	u8						mui8Free;
	u8						mui8State;
	u8						mui8Bank;
	u8						mui8Type;
	s8						mi8DeferredVolume;
	u8						mui8Loop;
	u32						mui32AramOffset;
	u16						maui16Coefficients[16];
	s32						mi32Attenuation;
	f32						mfVolume;
	f32						mfPitch;
	u32						mui32SampleRate;
	f32						mfPan;
	AXVPB *					mpoDSPVoice;
	u32						mui32Index;
	AXVoiceAddr				moAddr;
	AXVoiceAdpcm			moAdpcm;
	AXVoiceAdpcmLoop		moAdpcmLoop;
	AXVoiceSrc				moSrc;
	u8						mui8RecordIndex;
	// The record's position in its sound object's voice list (mui32Index
	// is the record's own index, the DSP voice's user context).
	u8						mui8ListIndex;
};

// Claims the first free stream record (0-15) for type; null when none.
GC_Voice *	GCVoice_FindFree( u8 type );

// Claims the first free record of [first, last) for type; null when none.
GC_Voice *	GCVoice_Claim( u32 first, u32 last, u8 type );

// Attenuation of a linear volume, clamped to -904..0.
s32			GCVolumeToAttenuation( f32 volume );
// Mixer pan of a pan in -1..1.
s32			GCPanToMixer( f32 pan );
// Silences and stops a DSP voice: envelope and delta 0 with the sync bit,
// then stop.
void		GCSilenceAndStop( AXVPB * voice );

#endif
