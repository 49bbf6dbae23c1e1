#include "GCAudioTestBench.h"

#include "framework/core/world/notification/CountingNew.h"
#include "platform/mix/MIXHost.h"

namespace {

class GCVoiceTest : public GCAudioTestBench {
protected:
	// Claims an effect record for the bank's record and starts it as the
	// manager does; null when no record or voice was had.
	GC_Voice* Start( const u8 bank, const u8 record, const f32 scale = 1.0f ) {
		GC_Voice* const voice = audio->GCVoice_FindFree( GC_VOICE_TYPE_EFFECT );
		if ( voice == nullptr || voice->GetFreeVoice() == 0 ) {
			return nullptr;
		}
		voice->mui8Bank = bank;
		voice->mui8RecordIndex = record;
		voice->FillVolume( bank, record );
		voice->FillPan();
		voice->FillPitch();
		voice->FillLoop();
		voice->FillSampleRate();
		voice->SetAddr();
		voice->SetAdpcm( false );
		voice->SetSrc();
		voice->Play( scale );
		return voice;
	}

	static std::vector<s16> Render( const GC_Voice& voice, const u32 frames ) {
		std::vector<s16> out;
		for ( u32 f = 0; f < frames; f++ ) {
			AXHostRenderFrame();
			const s16* const tap = AXHostVoiceTap( voice.mpoDSPVoice->index );
			out.insert( out.end(), tap, tap + AX_SAMPLES_PER_FRAME );
		}
		return out;
	}
};

TEST_F( GCVoiceTest, SamplesPlayAsTheirSourceDecodesAndAOneShotEndsInSilence ) {
	const std::vector<s16> oneShot = Tone( 500.0, 700 );
	const std::vector<s16> looping = Tone( 800.0, 280 );
	WriteSampleBank( "FX", {}, { oneShot, looping }, { false, true } );
	LoadBanks( "FX", "", "" );
	const ToolDspAdpcmEncoder encoder;
	const std::vector<s16> oneShotDecoded = encoder.Decode( encoder.Encode( oneShot ).bytes, 700 );
	const std::vector<s16> loopDecoded = encoder.Decode( encoder.Encode( looping ).bytes, 280 );

	GC_Voice* const shot = Start( 0, 0 );
	ASSERT_NE( shot, nullptr );
	EXPECT_EQ( shot->mui8State, GC_VOICE_STATE_PLAYING );
	EXPECT_EQ( MIXHostGetChannel( shot->mpoDSPVoice->index )->input, 0 );
	EXPECT_EQ( MIXHostGetChannel( shot->mpoDSPVoice->index )->pan, 64 );
	const std::vector<s16> heard = Render( *shot, 6 );
	EXPECT_TRUE( std::equal( oneShotDecoded.begin(), oneShotDecoded.end(), heard.begin() ) );
	EXPECT_TRUE( std::all_of( heard.begin() + 700, heard.end(), []( s16 s ) { return s == 0; } ) );
	EXPECT_EQ( shot->mpoDSPVoice->state, AX_VOICE_STOP ) << "parked in the zero buffer, it stops by itself";

	GC_Voice* const loop = Start( 0, 1 );
	ASSERT_NE( loop, nullptr );
	const std::vector<s16> repeated = Render( *loop, 5 );
	for ( size_t i = 0; i < repeated.size(); i++ ) {
		ASSERT_EQ( repeated[i], loopDecoded[i % 280] ) << i;
	}
	EXPECT_EQ( loop->mpoDSPVoice->state, AX_VOICE_RUN );
}

TEST_F( GCVoiceTest, PitchAddsToTheRateRatioAndLevelsComeFromTheRecord ) {
	const struct {
		const char*	pitch;
		u32			rate;
		const char*	volume;
		const char*	pan;
		f32			ratio;
		s32			input;
		s32			mixerPan;
	} rows[] = {
		{ "0", 32000, "1", "0", 1.0f, 0, 64 },
		{ "24", 32000, "0.5", "-1", 2.0f, -452, 0 },
		{ "0", 16000, "0", "1", 0.5f, -904, 128 },
		{ "-12", 32000, "2", "0.5", 0.5f, 904, 96 },
	};
	ToolSoundBank bank;
	for ( const auto& row : rows ) {
		ToolSoundPlayback playback;
		playback.pitch = row.pitch;
		playback.volume = row.volume;
		playback.pan = row.pan;
		playback.sampleIndex = static_cast<u32>( bank.playbacks.size() );
		bank.playbacks.push_back( playback );
	}
	std::vector<std::vector<s16>> tones( std::size( rows ), Tone( 300.0, 140 ) );
	std::vector<bool> loops( std::size( rows ), true );
	std::vector<u8> sbb;
	for ( size_t i = 0; i < std::size( rows ); i++ ) {
		bank.samples.push_back( ToolAddBankSample( sbb, tones[i], rows[i].rate, true ) );
	}
	ASSERT_TRUE( disc.WriteFile( LevelPath( "FX.SBH" ), ToolWriteSoundBankHeader( bank ) ) );
	ASSERT_TRUE( disc.WriteFile( LevelPath( "FX.SBB" ), sbb ) );
	ASSERT_TRUE( disc.WriteFile( LevelPath( "FX.TSE" ), ToolWriteSoundEventTable( { {} } ) ) );
	LoadBanks( "FX", "", "" );
	for ( u8 i = 0; i < std::size( rows ); i++ ) {
		GC_Voice* const voice = Start( 0, i );
		ASSERT_NE( voice, nullptr );
		const u32 ratio = ( static_cast<u32>( voice->mpoDSPVoice->src.ratioHi ) << 16 ) | voice->mpoDSPVoice->src.ratioLo;
		EXPECT_EQ( ratio, static_cast<u32>( rows[i].ratio * 65536.0f ) ) << rows[i].pitch;
		AXHostRenderFrame();
		const MIXHostChannel* const channel = MIXHostGetChannel( voice->mpoDSPVoice->index );
		// Play leaves the attenuation unclamped: above 0 dB plays at 0 dB.
		EXPECT_EQ( channel->input, rows[i].input ) << rows[i].volume;
		EXPECT_EQ( channel->pan, std::min( rows[i].mixerPan, 127 ) ) << rows[i].pan;
	}
}

TEST_F( GCVoiceTest, PauseHoldsAVoiceAndResumeBeforeItsStartStopsIt ) {
	WriteSampleBank( "FX", {}, { Tone( 400.0, 1400 ) }, { true } );
	LoadBanks( "FX", "", "" );
	GC_Voice* const voice = Start( 0, 0 );
	ASSERT_NE( voice, nullptr );
	AXHostRenderFrame();
	voice->Pause();
	EXPECT_EQ( voice->mui8State, GC_VOICE_STATE_PAUSED );
	AXHostRenderFrame();
	const u32 held = ( static_cast<u32>( voice->mpoDSPVoice->addr.currentAddressHi ) << 16 ) | voice->mpoDSPVoice->addr.currentAddressLo;
	AXHostRenderFrame();
	EXPECT_EQ( ( static_cast<u32>( voice->mpoDSPVoice->addr.currentAddressHi ) << 16 ) | voice->mpoDSPVoice->addr.currentAddressLo, held );
	EXPECT_EQ( MIXHostGetChannel( voice->mpoDSPVoice->index )->input, -904 );
	voice->Resume();
	EXPECT_EQ( voice->mpoDSPVoice->state, AX_VOICE_RUN );
	EXPECT_EQ( MIXHostGetChannel( voice->mpoDSPVoice->index )->input, 0 );

	// A position below the start address's high half stops the voice.
	voice->Pause();
	voice->moAddr.currentAddressHi = static_cast<u16>( voice->mpoDSPVoice->addr.currentAddressHi + 1 );
	voice->Resume();
	EXPECT_EQ( voice->mui8State, GC_VOICE_STATE_PLAYING );
	AXHostRenderFrame();
	EXPECT_EQ( voice->mpoDSPVoice->state, AX_VOICE_STOP );
}

TEST_F( GCVoiceTest, TheFortyNinthEffectFindsNoRecordAndNothingAllocates ) {
	WriteSampleBank( "FX", {}, { Tone( 400.0, 1400 ) }, { true } );
	LoadBanks( "FX", "", "" );
	std::vector<GC_Voice*> started;
	started.reserve( 48 );
	const u64 allocations = CountingNewCalls();
	for ( u32 i = 0; i < 48; i++ ) {
		started.push_back( Start( 0, 0 ) );
		ASSERT_NE( started.back(), nullptr ) << i;
	}
	EXPECT_EQ( audio->GCVoice_FindFree( GC_VOICE_TYPE_EFFECT ), nullptr );
	for ( u32 f = 0; f < 4; f++ ) {
		AXHostRenderFrame();
	}
	for ( GC_Voice* voice : started ) {
		voice->Pause();
		voice->Resume();
		EXPECT_EQ( voice->mpoDSPVoice->state, AX_VOICE_RUN );
		voice->Stop();
	}
	AXHostRenderFrame();
	EXPECT_EQ( CountingNewCalls(), allocations );
	EXPECT_EQ( GCVoice_FindFree( GC_VOICE_TYPE_STREAM )->mui32Index, 0u ) << "the stream records are apart";
}

}
