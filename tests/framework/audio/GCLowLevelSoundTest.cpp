#include "GCAudioTestBench.h"

#include "platform/ai/AIHost.h"
#include "platform/am/AM.h"
#include "platform/axart/AXARTHost.h"
#include "platform/axfx/AXFX.h"
#include "platform/host/HostStartupLog.h"
#include "platform/mix/MIXHost.h"
#include "platform/runtime/RuntimeRand.h"

#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

class GCLowLevelSoundTest : public GCAudioTestBench {};

TEST_F( GCLowLevelSoundTest, StartUpBringsTheLibrariesUpAndLaysOutAuxiliaryMemory ) {
	const u32 base = ARGetBaseAddress();
	// Each library after the ones it stands on, auxiliary memory's
	// manager last, over the block the start-up took.
	const std::vector<std::string> order = { "ARInit", "ARQInit", "AIInit", "AXInit", "MIXInit", "AXARTInit", "AMInit" };
	std::vector<std::string> started;
	for ( u32 i = 0; HostStartupLogAt( i ) != nullptr; i++ ) {
		started.push_back( HostStartupLogAt( i ) );
	}
	EXPECT_EQ( started, order );
	EXPECT_EQ( AIHostInitCount(), 1u );
	EXPECT_EQ( AXARTHostInitCount(), 1u );
	EXPECT_EQ( AXGetMode(), 0u );
	EXPECT_EQ( MIXGetSoundMode(), MIX_SOUND_MODE_STEREO );
	EXPECT_EQ( AXHostCompressor(), 1u );
	AXFXAllocFunc alloc = nullptr;
	AXFXFreeFunc release = nullptr;
	AXFXGetHooks( &alloc, &release );
	EXPECT_EQ( alloc, &DspMalloc );
	EXPECT_EQ( release, &DspFree );

	// The whole user part is one block; the rings start 256 bytes in,
	// raised to 32; the banks start behind the six rings.
	EXPECT_EQ( g_Video_aramBase, base );
	EXPECT_EQ( g_Video_aramSize, ARGetSize() - base );
	EXPECT_EQ( AMGetZeroBuffer(), base );
	EXPECT_EQ( StreamBufferStart, ( base + 287 ) & ~31u );
	EXPECT_EQ( g_CurrAramOffset, StreamBufferStart + 6 * 51200 );
	EXPECT_EQ( GCGetBankAreaEnd(), ARGetSize() );

	for ( u32 i = 0; i < GC_VOICE_COUNT; i++ ) {
		EXPECT_EQ( goxVoices[i].mui8Free, 1 );
		EXPECT_EQ( goxVoices[i].mui32Index, 0xFFFFFFFFu );
	}
	for ( u32 slot = 0; slot < GC_STREAM_SLOT_COUNT; slot++ ) {
		EXPECT_EQ( StreamInfoBuffer[slot].mpui8Staging, StreamMramBuffer + slot * 51200 );
	}
	EXPECT_TRUE( std::all_of( FlushAramStreamBuffer, FlushAramStreamBuffer + 51200, []( u8 b ) { return b == 0; } ) );

	// Audio frames run on the clock, committing the mixer every time.
	MIXInitChannel( AXHostVoice( 0 ), 0, -100, -960, -960, 64, 127, 0 );
	const u64 frames = AXHostFrameCount();
	HostAdvanceTime( HostMillisecondsToTicks( 10 ) );
	EXPECT_GE( AXHostFrameCount(), frames + 2 );
	EXPECT_FALSE( MIXHostGetChannel( 0 )->changed );
}

TEST_F( GCLowLevelSoundTest, TheEffectHeapRefusesWhatDoesNotFitAndKeepsItsPlace ) {
	GCResetDspHeap();
	u8* const first = static_cast<u8*>( DspMalloc( 100 ) );
	EXPECT_EQ( first, DSPEffectStaticHeap );
	EXPECT_EQ( DspMalloc( GC_DSP_HEAP_BYTES - 99 ), nullptr );
	u8* const rest = static_cast<u8*>( DspMalloc( GC_DSP_HEAP_BYTES - 100 ) );
	EXPECT_EQ( rest, first + 100 ) << "a refusal leaves the heap unchanged";
	EXPECT_EQ( DspMalloc( 1 ), nullptr );
	DspFree( first );
	EXPECT_EQ( DspMalloc( 1 ), nullptr ) << "nothing is ever given back";
}

TEST_F( GCLowLevelSoundTest, ParsesBankTextsAsNumbersOrRandomRanges ) {
	const struct {
		const char*	text;
		f64			value;
	} rows[] = {
		{ "", 0.0 },		{ "-3.5", -3.5 },	 { "0.25", 0.25 },		  { "12", 12.0 },
		{ "abc", 0.0 },		{ "+1", 0.0 },		 { "R/2/1", 0.0 },		  { "RR/0.5/1.5", 0.0 },
		{ "R/0.5/1.5/2", 0.0 },	{ "R/0.5", 0.0 }, { "r\\1\\1", 1.0 },	  { "R/-1/-1", -1.0 },
	};
	for ( const auto& row : rows ) {
		std::string text = row.text;
		EXPECT_DOUBLE_EQ( ParseString( text.data() ), row.value ) << row.text;
	}
	EXPECT_EQ( ParseString( nullptr ), 0.0 );

	// R/0.5/1.5 draws hundredths from 0.5 to 1.5 and nothing else.
	RuntimeSrand( 7 );
	std::set<s32> seen;
	for ( u32 i = 0; i < 20000; i++ ) {
		std::string text = "R/0.5/1.5";
		const f64 value = ParseString( text.data() );
		const f64 hundredths = value * 100.0;
		ASSERT_NEAR( hundredths, std::round( hundredths ), 1e-9 ) << value;
		ASSERT_GE( value, 0.5 );
		ASSERT_LE( value, 1.5 );
		seen.insert( static_cast<s32>( std::lround( hundredths ) ) );
	}
	EXPECT_GE( seen.size(), 95u );
}

TEST_F( GCLowLevelSoundTest, AFullWidthFieldIsReadWithoutItsNeighbour ) {
	u8 fields[40];
	std::memcpy( fields, "0.123456789012345678", 20 );
	std::memcpy( fields + 20, "99999", 6 );
	EXPECT_DOUBLE_EQ( GCParseField( fields ), 0.123456789012345678 );
}

TEST_F( GCLowLevelSoundTest, APausedStreamVoiceLosesTheSendsOfItsEffectCode ) {
	g_GCSoundEffect.mui32BusACode = 7;
	g_GCSoundEffect.mui32BusBCode = 9;
	const struct {
		u8		type;
		u8		state;
		u32		code;
		bool	loseA;
		bool	loseB;
	} rows[] = {
		{ GC_VOICE_TYPE_STREAM, GC_VOICE_STATE_PAUSED, 0xFFFFFFFF, true, true },
		{ GC_VOICE_TYPE_STREAM, GC_VOICE_STATE_PAUSED, 0, true, true },
		{ GC_VOICE_TYPE_STREAM, GC_VOICE_STATE_PAUSED, 7, true, false },
		{ GC_VOICE_TYPE_STREAM, GC_VOICE_STATE_PAUSED, 9, false, true },
		{ GC_VOICE_TYPE_STREAM, GC_VOICE_STATE_PAUSED, 5, false, false },
		{ GC_VOICE_TYPE_STREAM, GC_VOICE_STATE_PLAYING, 0xFFFFFFFF, false, false },
		{ GC_VOICE_TYPE_EFFECT, GC_VOICE_STATE_PAUSED, 0xFFFFFFFF, false, false },
	};
	for ( const auto& row : rows ) {
		GC_Voice& record = goxVoices[0];
		record.Reset();
		record.mui8Type = row.type;
		record.mui8State = row.state;
		record.mui32DSPEffect = row.code;
		record.mpoDSPVoice = AXAcquireVoice( 31, nullptr, 0 );
		AXVPB* const voice = record.mpoDSPVoice;
		ASSERT_NE( voice, nullptr );
		voice->mix.auxALeft = voice->mix.auxARight = voice->mix.auxBLeft = voice->mix.auxBRight = 0x4000;
		voice->mix.auxALeftDelta = voice->mix.auxBRightDelta = 3;
		AXSetVoiceState( voice, AX_VOICE_RUN );
		CallbackAudioFrame();
		EXPECT_EQ( voice->mix.auxALeft == 0 && voice->mix.auxARight == 0 && voice->mix.auxALeftDelta == 0, row.loseA )
			<< row.code;
		EXPECT_EQ( voice->mix.auxBLeft == 0 && voice->mix.auxBRight == 0 && voice->mix.auxBRightDelta == 0, row.loseB )
			<< row.code;
		EXPECT_EQ( voice->state, AX_VOICE_RUN ) << "a voice still sounding keeps running";
		// A paused stream voice whose envelope has died away is stopped.
		voice->envelope.currentVolume = 0;
		CallbackAudioFrame();
		const bool pausedStream = row.type == GC_VOICE_TYPE_STREAM && row.state == GC_VOICE_STATE_PAUSED;
		EXPECT_EQ( voice->state, pausedStream ? AX_VOICE_STOP : AX_VOICE_RUN );
		AXFreeVoice( voice );
	}
	goxVoices[0].Reset();
	g_GCSoundEffect = GCEffect();
}

TEST_F( GCLowLevelSoundTest, ADroppedVoiceLeavesItsRecordClaimedForTheManagerToComplete ) {
	AXHostSetVoiceCount( 1 );
	GC_Voice* const effect = audio->GCVoice_FindFree( GC_VOICE_TYPE_EFFECT );
	ASSERT_NE( effect, nullptr );
	EXPECT_EQ( effect->mui32Index, 16u );
	effect->mui32Handle = 0x1234;
	effect->mui8Bank = 1;
	effect->mui8State = GC_VOICE_STATE_PLAYING;
	ASSERT_EQ( effect->GetFreeVoice(), 1u );
	AXVPB* const voice = effect->mpoDSPVoice;
	EXPECT_EQ( voice->priority, GC_PRIORITY_EFFECT_HELD );
	AXSetVoiceState( voice, AX_VOICE_RUN );

	// A stream's acquisition at 31 takes the only voice.
	GC_Voice* const stream = GCVoice_FindFree( GC_VOICE_TYPE_STREAM );
	ASSERT_NE( stream, nullptr );
	EXPECT_EQ( stream->mui32Index, 0u );
	stream->mpoDSPVoice = AXAcquireVoice( GC_PRIORITY_STREAM, DropVoiceCallback, stream->mui32Index );
	ASSERT_EQ( stream->mpoDSPVoice, voice );

	EXPECT_TRUE( Reported( "############# VOICE 16 IS DROPPED From CallBack #############\n" ) );
	EXPECT_EQ( effect->mpoDSPVoice, nullptr );
	EXPECT_EQ( effect->mui8State, GC_VOICE_STATE_SETUP );
	EXPECT_EQ( effect->mui8Free, 0 );
	EXPECT_EQ( effect->mui32Handle, 0x1234u );
	EXPECT_EQ( effect->mui8Bank, 1 );
	EXPECT_EQ( effect->mui8Type, GC_VOICE_TYPE_EFFECT );
	EXPECT_FALSE( MIXHostGetChannel( voice->index )->active );

	// A drop naming a record that holds another voice leaves it alone.
	gLowLevelReports.clear();
	goxVoices[20].mui8Free = 0;
	goxVoices[20].mui32Handle = 5;
	AXVPB other{};
	other.userContext = 20;
	DropVoiceCallback( &other );
	EXPECT_EQ( goxVoices[20].mui32Handle, 5u );
	EXPECT_TRUE( gLowLevelReports.empty() );
}

}
