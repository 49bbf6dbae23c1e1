// The platform audio manager driven by real sound events on banks written
// by the tools: voices heard, completions, streams, pauses, disc errors,
// DSP effects, disabled audio, level changes and bad indexes.
#include "AudioTestBench.h"

#include "datatypes/file/DTDiscMessage.h"
#include "datatypes/file/DTFile.h"
#include "framework/audio/EFNewSoundStream.h"
#include "framework/audio/GCChorus.h"
#include "framework/audio/GCDelay.h"
#include "framework/audio/GCLowLevelSound.h"
#include "framework/audio/GCReverb_HI.h"
#include "framework/audio/GCReverb_STD.h"
#include "framework/audio/GC_SoundLoader.h"
#include "framework/core/engine/EFStartupGlobals.h"
#include "framework/core/world/notification/CountingNew.h"
#include "platform/ax/AXHost.h"
#include "platform/axfx/AXFXHost.h"
#include "platform/dvd/DVDHost.h"
#include "platform/host/HostClock.h"
#include "platform/mix/MIXHost.h"
#include "platform/mix/MIXVolumeTable.h"
#include "platform/os/OSFont.h"
#include "platform/vi/VI.h"
#include "tools/lib/audio/ToolAdpcmTestSignals.h"
#include "tools/lib/audio/ToolDspAdpcmEncoder.h"
#include "tools/lib/audio/ToolSoundBankWriter.h"

#include <algorithm>

namespace {

// What every audio frame played on the watched DSP voice.
std::vector<s16>	gHeard;
s32					gWatched = -1;

void CaptureFrame() {
	if ( gWatched >= 0 ) {
		const s16* const tap = AXHostVoiceTap( static_cast<u32>( gWatched ) );
		gHeard.insert( gHeard.end(), tap, tap + AX_SAMPLES_PER_FRAME );
	}
	CallbackAudioFrame();
}

// Effect events of bank 0 (playback records 0-2) and stream events of
// bank 2 (one per stream file).
enum : u32 { SHOT = 0, LOOP_A = 1, LOOP_B = 2, LOOP_3D = 3 };
enum : u32 { STREAM_LONG = 0, STREAM_SHORT = 1, STREAM_SILENCE = 2, STREAM_EVEN = 3, STREAM_ODD = 4 };

constexpr u32 SHOT_SAMPLES = 1400;
const char* const STREAM_FILES[] = { "STREAM/TEST/LONG.DSP", "STREAM/TEST/SHORT.DSP", "STREAM/GLOBAL/HEROES/SILENCE.DSP",
									 "STREAM/TEST/EVEN.DSP", "STREAM/TEST/ODD.DSP" };

std::vector<s16> Tone( const f64 hz, const u32 count ) {
	return ToolAdpcmTestSignals::Tone( hz, 32000, count, 9000.0 );
}

class GCAudioMgrTest : public AudioTestBench {
protected:
	void SetUp() override {
		AudioTestBench::SetUp();
		HostAudioReset();
		GCResetLowLevelSound();
		InitLowLevelSound( nullptr );
		AXRegisterCallback( CaptureFrame );
		gHeard.clear();
		gWatched = -1;
		WriteLevel();
		LoadLevel();
	}

	void TearDown() override {
		gbDisableAudio = 0;
		VISetPostRetraceCallback( nullptr );
		gWatched = -1;
		audio->PreTerminate();
		GCVoice_GlobalInit( nullptr );
		GCResetLowLevelSound();
		HostAudioReset();
		DVDHostSetReadLatency( DVD_HOST_DEFAULT_READ_LATENCY );
		AudioTestBench::TearDown();
	}

	void WriteLevel() {
		ToolSoundBank effects;
		std::vector<u8> sbb;
		shot = Tone( 500.0, SHOT_SAMPLES );
		effects.samples.push_back( ToolAddBankSample( sbb, shot, 32000, false ) );
		effects.samples.push_back( ToolAddBankSample( sbb, Tone( 800.0, 560 ), 32000, true ) );
		effects.playbacks.resize( 2 );
		effects.playbacks[1].sampleIndex = 1;
		ASSERT_TRUE( disc.WriteFile( LevelPath( "FX.SBH" ), ToolWriteSoundBankHeader( effects ) ) );
		ASSERT_TRUE( disc.WriteFile( LevelPath( "FX.SBB" ), sbb ) );
		std::vector<ToolSoundEventRecord> events( 4 );
		events[SHOT].elements = { 0 };
		events[LOOP_A].elements = { 1 };
		events[LOOP_B].elements = { 1 };
		events[LOOP_B].groupMask = 2;
		events[LOOP_3D].elements = { 1 };
		events[LOOP_3D].spatialMode = 2;
		ASSERT_TRUE( disc.WriteFile( LevelPath( "FX.TSE" ), ToolWriteSoundEventTable( events ) ) );

		// 0 lasts five seconds, 1 a quarter of a second, 3 and 4 are
		// 51200 and 51201 bytes long.
		const std::vector<s16> pcm[] = { Tone( 300.0, 160000 ), Tone( 600.0, 8000 ), Tone( 100.0, 3000 ),
										 Tone( 700.0, 51200 / 8 * 14 ), Tone( 700.0, 51200 / 8 * 14 ) };
		const bool loops[] = { false, false, false, false, false };
		ToolSoundBank streams;
		streams.kind = GC_BANK_KIND_STREAM;
		std::vector<ToolSoundEventRecord> streamEvents;
		for ( u32 i = 0; i < std::size( STREAM_FILES ); i++ ) {
			std::string name = STREAM_FILES[i];
			std::replace( name.begin(), name.end(), '/', '\\' );
			ToolSoundSample sample;
			std::vector<u8> file = ToolEncodeStream( pcm[i], name, 32000, loops[i], sample );
			if ( i == STREAM_ODD ) {
				file.push_back( 0 );
			}
			ASSERT_TRUE( disc.WriteFile( STREAM_FILES[i], file ) );
			streams.samples.push_back( sample );
			streams.playbacks.emplace_back();
			streams.playbacks.back().sampleIndex = i;
			streamEvents.emplace_back();
			streamEvents.back().elements = { i };
		}
		ASSERT_TRUE( disc.WriteFile( LevelPath( "MUSIC.SBH" ), ToolWriteSoundBankHeader( streams ) ) );
		ASSERT_TRUE( disc.WriteFile( LevelPath( "MUSIC.TSE" ), ToolWriteSoundEventTable( streamEvents ) ) );
	}

	void LoadLevel() {
		char music[] = "MUSIC";
		char none[] = "";
		char fx[] = "FX";
		audio->SendSpecificData( music, none, fx );
		u32 progress = 0;
		audio->LoadSoundBanks( nullptr, &progress, EF_AUDIO_ELEMENT_COUNT );
		ASSERT_TRUE( gpoSoundInfoLoader[0]->IsLoaded() );
		ASSERT_TRUE( gpoSoundInfoLoader[2]->IsLoaded() );
	}

	// One game frame: a sixtieth of a second of audio frames, then the
	// manager's update.
	void Frame() {
		HostAdvanceTime( HostSecondsToTicks( 1.0 / 60.0 ) );
		audio->Update( 1.0f / 60.0f );
	}

	void Frames( const u32 count ) {
		for ( u32 i = 0; i < count; i++ ) {
			Frame();
		}
	}

	// A handle of an event played for no object.
	u32 Play( const u32 soundId ) {
		const u32 handle = audio->GetSoundHandle( nullptr, soundId, nullptr );
		EXPECT_NE( handle, EF_NO_SOUND_HANDLE );
		audio->PlaySound( handle, 0 );
		return handle;
	}

	EFNewSound* BankSound( const u32 bank, const u32 record ) const { return audio->GetBankSounds( bank )[record]; }
	EFNewSoundStream* StreamSound( const u32 record ) const {
		return static_cast<EFNewSoundStream*>( BankSound( 2, record ) );
	}

	static u32 RecordsInUse() {
		return static_cast<u32>( std::count_if( goxVoices, goxVoices + GC_VOICE_COUNT,
												[]( const GC_Voice& v ) { return v.mui8Free == 0; } ) );
	}

	static u32 VoicesAcquired() {
		u32 count = 0;
		for ( u32 i = 0; i < 64; i++ ) {
			count += AXHostVoiceAcquired( i ) ? 1 : 0;
		}
		return count;
	}

	std::vector<s16> shot;
};

TEST_F( GCAudioMgrTest, AOneShotIsHeardCompletesAtTheNextUpdateAndItsOwnerHearsTheFrameAfter ) {
	const ToolDspAdpcmEncoder encoder;
	const std::vector<s16> decoded = encoder.Decode( encoder.Encode( shot ).bytes, SHOT_SAMPLES );
	for ( const bool parented : { false, true } ) {
		SCOPED_TRACE( parented );
		EFGameObject* const object = MakeObject( OBJECT_ID );
		object->moNewSoundMgr.AddSound( EventId( 0, SHOT ) );
		ListenForCompletions( OBJECT_ID, EventId( 0, SHOT ) );
		gSoundCompletions = 0;
		EFNewSoundMgr::SoundReference* const reference = object->moNewSoundMgr.GetSound( EventId( 0, SHOT ) );
		reference->mui8Parented = parented ? 1 : 0;
		ASSERT_EQ( object->moNewSoundMgr.PlaySound( EventId( 0, SHOT ), 0 ), EF_SOUND_DONE );
		GC_Voice& record = goxVoices[GC_STREAM_VOICE_COUNT];
		ASSERT_EQ( record.mui8State, GC_VOICE_STATE_PLAYING );
		const u32 dsp = record.mpoDSPVoice->index;
		gHeard.clear();
		gWatched = static_cast<s32>( dsp );
		u32 frames = 0;
		while ( record.mui8Free == 0 && frames++ < 30 ) {
			EXPECT_EQ( gSoundCompletions, 0u );
			Frame();
		}
		gWatched = -1;
		ASSERT_EQ( record.mui8Free, 1u ) << "the stopped voice's record is freed";
		ASSERT_GE( gHeard.size(), decoded.size() );
		EXPECT_TRUE( std::equal( decoded.begin(), decoded.end(), gHeard.begin() ) );
		EXPECT_FALSE( AXHostVoiceAcquired( dsp ) );
		EXPECT_EQ( gSoundCompletions, 0u ) << "the completion waits for the next frame";
		Frame();
		EXPECT_EQ( gSoundCompletions, 1u );
		EXPECT_EQ( reference->mui32Handle != EF_NO_SOUND_HANDLE, parented );
		EXPECT_EQ( BankSound( 0, 0 )->mui8VoiceCount, 0u ) << "the event reset its entry";
		DeleteObject( object );
	}
}

TEST_F( GCAudioMgrTest, A3DEventIsSilentUntilItsFinalVolumeWhichClampsToTheEffectsVolume ) {
	EFGameObject* const object = MakeObject( OBJECT_ID, 0.0f, 0.0f, 2.0f );
	object->moNewSoundMgr.AddSound( EventId( 0, LOOP_3D ) );
	ASSERT_EQ( object->moNewSoundMgr.PlaySound( EventId( 0, LOOP_3D ), 0 ), EF_SOUND_DONE );
	const GC_Voice& record = goxVoices[GC_STREAM_VOICE_COUNT];
	const u32 dsp = record.mpoDSPVoice->index;
	EXPECT_EQ( MIXHostGetChannel( dsp )->input, GC_ATTENUATION_OFF ) << "silent until the event levels it";
	Frame();
	EXPECT_GT( MIXHostGetChannel( dsp )->input, GC_ATTENUATION_OFF );

	struct Row {
		f32	effects, volume, pan;
		s32	input, mixerPan;
	};
	const Row rows[] = {
		{ 1.0f, 2.0f, 0.0f, 0, 64 }, { 1.0f, 0.0f, -1.0f, -904, 0 }, { 1.0f, -1.0f, 1.0f, -904, 127 },
		{ 2.0f, 0.75f, 0.0f, 0, 64 }, { 0.5f, 1.0f, 0.5f, -452, 96 },
	};
	EFNewSound* const sound = BankSound( 0, 1 );
	for ( const Row& row : rows ) {
		audio->mfEffectsVolume = row.effects;
		sound->SetFinalVolume( 0, row.pan, row.volume );
		EXPECT_EQ( MIXHostGetChannel( dsp )->input, row.input ) << row.volume << " x " << row.effects;
		EXPECT_EQ( MIXHostGetChannel( dsp )->pan, row.mixerPan );
	}
	DeleteObject( object );
}

TEST_F( GCAudioMgrTest, StreamsStartOnFreeSlotsRoundTheirTotalAndEndTheirEvents ) {
	struct Total {
		u32	record, total;
	};
	for ( const Total& row : { Total{ STREAM_EVEN, 51200 }, Total{ STREAM_ODD, 76800 } } ) {
		Play( EventId( 2, row.record ) );
		EXPECT_EQ( goxStreamingVoices[StreamSound( row.record )->mui8Slot].mui32TotalBytes, row.total );
	}
	audio->Terminate();
	LoadLevel();

	// Six play on, the seventh is refused.
	for ( u32 i = 0; i < GC_STREAM_SLOT_COUNT; i++ ) {
		Play( EventId( 2, STREAM_LONG ) );
	}
	gAudioReports.clear();
	const u32 seventh = Play( EventId( 2, STREAM_LONG ) );
	EXPECT_TRUE( Reported( "No more channel to play the mono stream, please try again...\n" ) );
	EXPECT_EQ( audio->maoHandles[seventh].ui32PlayingCount, 0u );
	Frames( 30 );
	for ( const GC_StreamingVoice& stream : goxStreamingVoices ) {
		EXPECT_EQ( stream.mui8State, GC_STREAM_SLOT_RUNNING );
		EXPECT_EQ( stream.mpoVoice->mpoDSPVoice->state, AX_VOICE_RUN );
	}
	EXPECT_EQ( audio->GetStreamPlaybackCount(), 7u );
	audio->Terminate();
	LoadLevel();

	// A short stream's end completes its event; the silence stream plays
	// without stopping its set.
	EFGameObject* const object = MakeObject( OBJECT_ID );
	object->moNewSoundMgr.AddSound( EventId( 2, STREAM_SHORT ) );
	object->moNewSoundMgr.AddSound( EventId( 2, STREAM_SILENCE ) );
	ListenForCompletions( OBJECT_ID, EventId( 2, STREAM_SHORT ) );
	ASSERT_EQ( object->moNewSoundMgr.PlaySound( EventId( 2, STREAM_SHORT ), 0 ), EF_SOUND_DONE );
	ASSERT_EQ( object->moNewSoundMgr.PlaySound( EventId( 2, STREAM_SILENCE ), 0 ), EF_SOUND_DONE );
	EXPECT_TRUE( StreamSound( STREAM_SHORT )->CanCheckForSET() );
	EXPECT_FALSE( StreamSound( STREAM_SILENCE )->CanCheckForSET() );
	Frames( 120 );
	EXPECT_EQ( gSoundCompletions, 1u );
	EXPECT_EQ( object->moNewSoundMgr.GetSound( EventId( 2, STREAM_SHORT ) )->mui32Handle, EF_NO_SOUND_HANDLE );
	EXPECT_EQ( RecordsInUse(), 0u );
	EXPECT_EQ( DTNbrFileInUse(), 0u );
	DeleteObject( object );
}

TEST_F( GCAudioMgrTest, ARecordWithoutOrRobbedOfItsDSPVoiceCompletesAtTheNextUpdate ) {
	for ( const bool robbed : { false, true } ) {
		SCOPED_TRACE( robbed );
		AXHostSetVoiceCount( 1 );
		AXVPB* taken = robbed ? nullptr : AXAcquireVoice( 31, nullptr, 0 );
		EFGameObject* const object = MakeObject( OBJECT_ID );
		object->moNewSoundMgr.AddSound( EventId( 0, LOOP_A ) );
		ListenForCompletions( OBJECT_ID, EventId( 0, LOOP_A ) );
		gSoundCompletions = 0;
		ASSERT_EQ( object->moNewSoundMgr.PlaySound( EventId( 0, LOOP_A ), 0 ), EF_SOUND_DONE );
		GC_Voice& record = goxVoices[GC_STREAM_VOICE_COUNT];
		EXPECT_EQ( record.mui8Free, 0u );
		EXPECT_EQ( record.mpoDSPVoice != nullptr, robbed );
		if ( robbed ) {
			taken = AXAcquireVoice( 31, nullptr, 0 );
			ASSERT_NE( taken, nullptr );
			EXPECT_EQ( record.mpoDSPVoice, nullptr );
		}
		Frame();
		EXPECT_EQ( record.mui8Free, 1u );
		EXPECT_EQ( gSoundCompletions, 0u );
		Frame();
		EXPECT_EQ( gSoundCompletions, 1u );
		EXPECT_EQ( object->moNewSoundMgr.GetSound( EventId( 0, LOOP_A ) )->mui32Handle, EF_NO_SOUND_HANDLE );
		AXFreeVoice( taken );
		DeleteObject( object );
	}
}

// What the post-retrace callback saw while the manager waited on the disc.
u32		gWaitRetraces = 0;
bool	gAllPausedInWait = true;

// Retraces of the game frames pass by; those of the wait see the pause pushed.
void WatchDiscWait() {
	if ( !gpoNewAudioMgr->IsPausePushed() ) {
		return;
	}
	gWaitRetraces++;
	const bool streamPaused = goxStreamingVoices[0].mpoVoice->mui8State == GC_VOICE_STATE_PAUSED;
	const bool effectsPaused = goxVoices[16].mui8State == GC_VOICE_STATE_PAUSED && goxVoices[17].mui8State == GC_VOICE_STATE_PAUSED;
	gAllPausedInWait = gAllPausedInWait && streamPaused && effectsPaused;
}

TEST_F( GCAudioMgrTest, GroupsPauseAndResumeAndADiscErrorResumesExactlyWhatPlayed ) {
	Play( EventId( 2, STREAM_LONG ) );
	Play( EventId( 0, LOOP_A ) );
	Play( EventId( 0, LOOP_B ) );
	Frames( 10 );
	GC_Voice& stream = *goxStreamingVoices[0].mpoVoice;
	GC_Voice& a = goxVoices[16];
	GC_Voice& b = goxVoices[17];
	ASSERT_EQ( stream.mui8State, GC_VOICE_STATE_PLAYING );

	struct Row {
		bool	pause;
		u32		mask;
		u8		stream, a, b;
	};
	const u8 P = GC_VOICE_STATE_PAUSED;
	const u8 R = GC_VOICE_STATE_PLAYING;
	const Row rows[] = {
		{ true, 4, R, R, R }, { true, 1, P, P, R }, { true, 2, P, P, P }, { false, 1, R, R, P }, { false, 2, R, R, R },
		{ true, 2, R, R, P },
	};
	for ( const Row& row : rows ) {
		if ( row.pause ) {
			audio->SOUND_Pause( row.mask );
		} else {
			audio->SOUND_Resume( row.mask );
		}
		EXPECT_EQ( stream.mui8State, row.stream ) << row.pause << row.mask;
		EXPECT_EQ( a.mui8State, row.a );
		EXPECT_EQ( b.mui8State, row.b );
	}
	EXPECT_EQ( StreamInfoBuffer[0].mui8Active, GC_STREAM_ACTIVE );

	// The disc goes during play: the manager waits, everything paused, and
	// resumes what played; b, paused by the game, stays paused.
	gWaitRetraces = 0;
	gAllPausedInWait = true;
	alignas( 32 ) static u8 font[OS_FONT_SIZE_ANSI];
	ASSERT_TRUE( OSInitFont( reinterpret_cast<OSFontHeader*>( font ) ) );
	std::vector<u8> shown( DT_FRAME_HEIGHT_PAL * DT_FRAME_STRIDE, 0xFF );
	VISetNextFrameBuffer( shown.data() );
	VISetPostRetraceCallback( []( u32 ) { WatchDiscWait(); } );
	const DVDHostDrivePhase phases[] = { { DVD_STATE_NO_DISK, HostMillisecondsToTicks( 300 ) } };
	ASSERT_TRUE( DVDHostScriptDriveStates( phases, 1 ) );
	DVDHostSetReadLatency( HostMillisecondsToTicks( 100 ) );
	gAudioReports.clear();
	for ( u32 i = 0; i < 240 && gWaitRetraces == 0; i++ ) {
		Frame();
	}
	VISetPostRetraceCallback( nullptr );
	EXPECT_GT( gWaitRetraces, 10u ) << "the manager waited for the disc";
	EXPECT_TRUE( gAllPausedInWait );
	// The player was asked for the disc, in the frame the console shows.
	std::vector<u8> insertDisc( shown.size(), 0xFF );
	VISetNextFrameBuffer( insertDisc.data() );
	DisplayMessageWithRomFont( GetLocalizedMessage( DT_DISC_MESSAGE_INSERT_DISC ) );
	VISetNextFrameBuffer( nullptr );
	EXPECT_TRUE( shown == insertDisc ) << "the insert-disc message was not drawn";
	EXPECT_FALSE( audio->IsPausePushed() );
	EXPECT_EQ( stream.mui8State, R );
	EXPECT_EQ( a.mui8State, R );
	EXPECT_EQ( b.mui8State, P );
}

TEST_F( GCAudioMgrTest, EffectBookkeepingSetsReturnLevelsSendsAndCodesOfMatchingVoices ) {
	Play( EventId( 0, LOOP_A ) );
	Play( EventId( 0, LOOP_A ) );
	Play( EventId( 0, LOOP_B ) );
	GC_Voice* const voices[] = { &goxVoices[16], &goxVoices[17], &goxVoices[18] };
	voices[1]->mui32DSPEffect = GC_DSP_EFFECT_ALL;
	voices[2]->mui32DSPEffect = 9;

	struct Level {
		f32	volume;
		u16	level;
	};
	for ( const Level& row : { Level{ 0.0f, VolumeTable[0] }, Level{ 0.5f, VolumeTable[452] }, Level{ 1.0f, 32767 },
							   Level{ 3.0f, 32767 } } ) {
		audio->SetDSPEffectMasterVolume( 0, row.volume );
		EXPECT_EQ( g_GCSoundEffect.mui16BusAReturn, row.level ) << row.volume;
		EXPECT_EQ( g_GCSoundEffect.mui16BusBReturn, row.level );
		for ( u32 i = 0; i < 2; i++ ) {
			const AXVoiceMix& mix = voices[i]->mpoDSPVoice->mix;
			EXPECT_EQ( std::vector<u16>( { mix.auxALeft, mix.auxARight, mix.auxBLeft, mix.auxBRight } ),
					   std::vector<u16>( 4, row.level ) );
		}
		EXPECT_EQ( voices[2]->mpoDSPVoice->mix.auxALeft, 0u ) << "code 9 is no bus's";
	}
	audio->SetDSPEffectMasterVolume( 9, 0.0f );
	EXPECT_EQ( g_GCSoundEffect.mui16BusAReturn, 32767u );

	struct Group {
		u32	mask, effect;
		u32	codes[3];
	};
	const Group groups[] = {
		{ 4, 0, { 0, GC_DSP_EFFECT_ALL, 9 } },
		{ 1, 7, { 0, GC_DSP_EFFECT_ALL, 9 } },
		{ 2, 0, { 0, GC_DSP_EFFECT_ALL, 0 } },
		{ 3, GC_DSP_EFFECT_ALL, { GC_DSP_EFFECT_ALL, GC_DSP_EFFECT_ALL, GC_DSP_EFFECT_ALL } },
		{ 1, 0, { 0, 0, GC_DSP_EFFECT_ALL } },
	};
	for ( const Group& row : groups ) {
		audio->SetDSPEffectForGroup( row.mask, row.effect );
		for ( u32 i = 0; i < 3; i++ ) {
			EXPECT_EQ( voices[i]->mui32DSPEffect, row.codes[i] ) << row.mask << " " << row.effect << " " << i;
		}
	}

	// The buses are never started; an effect set on one shuts down by kind.
	void* const parameters[] = { &g_STDReverb[0].moParameters, &g_HIReverb[0].moParameters,
								 &g_Delay[1].moParameters, &g_Chorus[1].moParameters };
	void* const objects[] = { &g_STDReverb[0], &g_HIReverb[0], &g_Delay[1], &g_Chorus[1] };
	EXPECT_EQ( g_GCSoundEffect.mui8BusAKind, GC_EFFECT_OFF );
	for ( u32 kind = 0; kind < AXFX_HOST_KIND_COUNT; kind++ ) {
		AXFXHostReset();
		GCEffect effect;
		effect.mui8BusBKind = static_cast<u8>( kind + 1 );
		effect.mpoBusBEffect = objects[kind];
		effect.ShutDown( nullptr, nullptr );
		EXPECT_EQ( AXFXHostShutdownCount( static_cast<AXFXHostKind>( kind ) ), 1u ) << gszGCEffectKindNames[kind + 1];
		EXPECT_EQ( AXFXHostLastShutdown( static_cast<AXFXHostKind>( kind ) ), parameters[kind] );
	}
}

TEST_F( GCAudioMgrTest, DisabledAudioTurnsEveryEntryPointIntoNothing ) {
	GC_Voice* const claimed = GCVoice_Claim( 16, 17, GC_VOICE_TYPE_EFFECT );
	gbDisableAudio = 1;
	EFNewSound* const sound = BankSound( 0, 0 );
	EXPECT_EQ( audio->SetParametersGCVoice( sound, 0, 0, 0, 0 ), 0u );
	EXPECT_EQ( sound->mui8VoiceCount, 0u );
	EXPECT_EQ( sound->PlaySound( 0, 5, 1, 0, 0, 0 ), EF_NO_VOICE );
	EXPECT_EQ( StreamSound( STREAM_LONG )->PlaySound( 0, 5, 1, 0, 0, 0 ), EF_NO_VOICE );
	EXPECT_EQ( audio->SOUND_GetVolumeOfSample( 0, 0, sound ), 0u );
	audio->SetDSPEffectMasterVolume( 0, 0.0f );
	EXPECT_EQ( g_GCSoundEffect.mui16BusAReturn, 32767u );
	audio->SOUND_PushPause( 1 );
	EXPECT_FALSE( audio->IsPausePushed() );
	audio->Update( 0.1f );
	EXPECT_EQ( claimed->mui8Free, 0u ) << "no frame step";
	EXPECT_EQ( RecordsInUse(), 1u );
	EXPECT_EQ( goxStreamingVoices[0].mui8State, GC_STREAM_SLOT_IDLE );
	gbDisableAudio = 0;
	EXPECT_EQ( audio->SOUND_GetVolumeOfSample( 0, 0, sound ), 32767u );
}

TEST_F( GCAudioMgrTest, TwentyLevelChangesLeaveNoVoiceFileBlockOrHeapBehind ) {
	u64 liveAfterFirst = 0;
	for ( u32 level = 0; level < 20; level++ ) {
		if ( level > 0 ) {
			LoadLevel();
		}
		Play( EventId( 2, STREAM_LONG ) );
		Play( EventId( 2, STREAM_SHORT ) );
		Play( EventId( 0, LOOP_A ) );
		Play( EventId( 0, SHOT ) );
		Frames( 2 );
		EXPECT_EQ( VoicesAcquired(), 4u );
		audio->Terminate();
		EXPECT_EQ( VoicesAcquired(), 0u );
		EXPECT_EQ( RecordsInUse(), 0u );
		EXPECT_EQ( DTNbrFileInUse(), 0u );
		for ( const GC_SoundLoader* loader : gpoSoundInfoLoader ) {
			EXPECT_FALSE( loader->IsLoaded() );
			EXPECT_EQ( loader->mpui8BlockA, nullptr );
		}
		// The printed lines the fixture keeps are not the engine's.
		gAudioReports.clear();
		const u64 live = CountingNewCalls() - CountingDeleteCalls();
		if ( level == 0 ) {
			liveAfterFirst = live;
		}
		EXPECT_LE( live, liveAfterFirst ) << level;
	}
	LoadLevel();
}

TEST_F( GCAudioMgrTest, SixtyFourStartPauseStopCyclesLeaveEveryVoiceFreeAndTheCountAtZero ) {
	// Each cycle plays a stream and one effect more than there are effect
	// records, so the last effect's claim fails; pauses everything; stops
	// everything.
	const EFNewSound* const loop = BankSound( 0, 1 );
	for ( u32 cycle = 0; cycle < 64; cycle++ ) {
		SCOPED_TRACE( cycle );
		std::vector<u32> handles = { audio->PlayOrphanSoundEvent( EventId( 2, STREAM_LONG ), 0 ) };
		for ( u32 i = 0; i <= GC_VOICE_COUNT - GC_STREAM_VOICE_COUNT; i++ ) {
			handles.push_back( audio->PlayOrphanSoundEvent( EventId( 0, LOOP_A ), 0 ) );
		}
		Frames( 2 );
		ASSERT_EQ( goxStreamingVoices[0].mui8State, GC_STREAM_SLOT_RUNNING );
		ASSERT_EQ( RecordsInUse(), GC_VOICE_COUNT - GC_STREAM_VOICE_COUNT + 1 );
		audio->SOUND_Pause( 0xFFFFFFFF );
		Frames( 1 );
		for ( const u32 handle : handles ) {
			if ( handle != EF_NO_SOUND_HANDLE ) {
				audio->StopSound( handle );
			}
		}
		Frames( 3 );
		ASSERT_EQ( RecordsInUse(), 0u );
		ASSERT_EQ( VoicesAcquired(), 0u );
		ASSERT_EQ( HandlesInUse(), 0u );
	}
	EXPECT_EQ( loop->mui8VoiceCount, 0u );
}

TEST_F( GCAudioMgrTest, TheFortyNinthEffectFailsAndGivesItsHandleBackWhileTheOthersPlayOn ) {
	for ( u32 i = 0; i < 48; i++ ) {
		ASSERT_NE( audio->PlayOrphanSoundEvent( EventId( 0, LOOP_A ), 0 ), EF_NO_SOUND_HANDLE );
	}
	gAudioReports.clear();
	audio->PlayOrphanSoundEvent( EventId( 0, LOOP_A ), 0 );
	EXPECT_TRUE( Reported( "wasn't able to start playing" ) );
	EXPECT_EQ( HandlesInUse(), 48u );
	Frames( 3 );
	EXPECT_EQ( HandlesInUse(), 48u );
	for ( u32 i = GC_STREAM_VOICE_COUNT; i < GC_VOICE_COUNT; i++ ) {
		EXPECT_EQ( goxVoices[i].mpoDSPVoice->state, AX_VOICE_RUN ) << i;
	}
}

TEST_F( GCAudioMgrTest, IndexesPastTheVoiceListOrTheSlotsAndAFullListDoNothing ) {
	Play( EventId( 0, LOOP_A ) );
	Play( EventId( 2, STREAM_LONG ) );
	Frames( 5 );
	EFNewSound* const sound = BankSound( 0, 1 );
	const GC_Voice& record = goxVoices[16];
	const s32 input = MIXHostGetChannel( record.mpoDSPVoice->index )->input;
	const f32 pitch = record.mfPitch;
	for ( const u32 index : { EF_NO_VOICE, EF_SOUND_VOICE_SLOTS, 200u } ) {
		sound->SetFinalVolume( index, 0.0f, 0.0f );
		sound->SetPitch( index, 12.0f );
		sound->StopSound( 0, index, false );
		sound->ResetSound( 0, index );
	}
	EXPECT_EQ( MIXHostGetChannel( record.mpoDSPVoice->index )->input, input );
	EXPECT_EQ( record.mfPitch, pitch );
	EXPECT_EQ( record.mpoDSPVoice->state, AX_VOICE_RUN );
	EXPECT_EQ( sound->mui8VoiceCount, 1u );

	EFNewSoundStream* const stream = StreamSound( STREAM_LONG );
	const GC_Voice& streamRecord = *goxStreamingVoices[0].mpoVoice;
	const s32 streamInput = MIXHostGetChannel( streamRecord.mpoDSPVoice->index )->input;
	for ( const u32 slot : { EF_NO_VOICE, GC_STREAM_SLOT_COUNT } ) {
		stream->SetFinalVolume( slot, 0.0f, 0.0f );
		stream->StopSound( 0, slot, false );
	}
	Frames( 2 );
	EXPECT_EQ( MIXHostGetChannel( streamRecord.mpoDSPVoice->index )->input, streamInput );
	EXPECT_EQ( goxStreamingVoices[0].mui8State, GC_STREAM_SLOT_RUNNING );

	// A full list claims nothing and the play fails.
	EFNewSound* const full = BankSound( 0, 0 );
	GC_Voice filler;
	std::fill( std::begin( full->mapoVoices ), std::end( full->mapoVoices ), &filler );
	const u32 used = RecordsInUse();
	EXPECT_EQ( audio->SetParametersGCVoice( full, 0, 0, 0, 0 ), 1u );
	EXPECT_EQ( full->mui8CurrentVoice, EF_SOUND_VOICE_SLOTS );
	EXPECT_EQ( RecordsInUse(), used );
	EXPECT_EQ( full->PlaySound( 0, 5, 1, 0, 0, 0 ), EF_NO_VOICE );
	std::fill( std::begin( full->mapoVoices ), std::end( full->mapoVoices ), nullptr );
}

}
