/*
===============================================================================

	Fixture of the low-level sound tests: a test disc, the audio libraries
	reset with their checks fatal (a bad transfer fails where it is made),
	the back end started, an audio manager, and the printed lines kept.

	Banks are written with the tools' bank writer into the level folder a
	loader finds without an engine controller (no level, no language).

===============================================================================
*/
#ifndef GC_AUDIO_TEST_BENCH_H
#define GC_AUDIO_TEST_BENCH_H

#include "framework/audio/EFNewAudioMgr.h"
#include "framework/audio/GCLowLevelSound.h"
#include "framework/audio/GC_SoundLoader.h"
#include "platform/ar/ARHost.h"
#include "platform/ar/ARHostCheck.h"
#include "platform/ax/AXHost.h"
#include "platform/os/OSHost.h"
#include "support/HostTestDisc.h"
#include "tools/lib/audio/ToolAdpcmTestSignals.h"
#include "tools/lib/audio/ToolDspAdpcmEncoder.h"
#include "tools/lib/audio/ToolSoundBankWriter.h"
#include "tools/lib/audio/ToolSoundTableWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

inline std::vector<std::string> gLowLevelReports;

inline void RecordLowLevelReport( const char* text ) {
	gLowLevelReports.emplace_back( text );
}

class GCAudioTestBench : public ::testing::Test {
protected:
	void SetUp() override {
		ASSERT_TRUE( disc.Open() );
		HostAudioReset();
		ARHostSetChecksFatal( true );
		gLowLevelReports.clear();
		previousReport = OSHostSetReportHook( RecordLowLevelReport );
		GCResetLowLevelSound();
		InitLowLevelSound( nullptr );
		audio = new EFNewAudioMgr();
	}

	void TearDown() override {
		for ( u32 slot = 0; slot < GC_STREAM_SLOT_COUNT; slot++ ) {
			GCStream_CloseFile( &StreamInfoBuffer[slot].mpoFile );
			GCStream_CloseFile( &StreamInfoBuffer[slot].mpoSecondFile );
		}
		delete audio;
		audio = nullptr;
		GCVoice_GlobalInit( nullptr );
		GCResetLowLevelSound();
		ARHostSetChecksFatal( false );
		HostAudioReset();
		OSHostSetReportHook( previousReport );
		disc.Close();
	}

	static std::string LevelPath( const std::string& file ) { return "LEVEL/AUDIO/" + file; }

	// A sample bank of the given tones (one playback per sample); returns
	// the .SBB bytes written.
	std::vector<u8> WriteSampleBank( const std::string& name, ToolSoundBank bank,
									 const std::vector<std::vector<s16>>& tones, const std::vector<bool>& loops ) {
		std::vector<u8> sbb;
		for ( size_t i = 0; i < tones.size(); i++ ) {
			bank.samples.push_back( ToolAddBankSample( sbb, tones[i], 32000, loops[i] ) );
			if ( bank.playbacks.size() <= i ) {
				ToolSoundPlayback playback;
				playback.sampleIndex = static_cast<u32>( i );
				bank.playbacks.push_back( playback );
			}
		}
		EXPECT_TRUE( disc.WriteFile( LevelPath( name + ".SBH" ), ToolWriteSoundBankHeader( bank ) ) );
		EXPECT_TRUE( disc.WriteFile( LevelPath( name + ".SBB" ), sbb ) );
		EXPECT_TRUE( disc.WriteFile( LevelPath( name + ".TSE" ), ToolWriteSoundEventTable( { {} } ) ) );
		return sbb;
	}

	// Names the banks (empty: none) and loads them; the progress steps.
	u32 LoadBanks( const char* bank0, const char* bank1, const char* bank2 ) {
		std::string names[3] = { bank0, bank1, bank2 };
		audio->SendSpecificData( names[2].data(), names[1].data(), names[0].data() );
		u32 progress = 0;
		audio->LoadSoundBanks( nullptr, &progress, EF_AUDIO_ELEMENT_COUNT );
		return progress;
	}

	bool Reported( const std::string& text ) const {
		return std::any_of( gLowLevelReports.begin(), gLowLevelReports.end(),
							[&]( const std::string& line ) { return line.find( text ) != std::string::npos; } );
	}

	static std::vector<s16> Tone( const f64 hz, const u32 count, const f64 amplitude = 9000.0 ) {
		return ToolAdpcmTestSignals::Tone( hz, 32000, count, amplitude );
	}

	HostTestDisc		disc;
	EFNewAudioMgr*		audio = nullptr;
	OSHostReportHook	previousReport = nullptr;
};

#endif
