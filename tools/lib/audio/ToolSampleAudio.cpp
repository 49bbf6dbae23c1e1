#include "tools/lib/audio/ToolSampleAudio.h"

#include "tools/lib/ToolBigEndianWriter.h"
#include "tools/lib/ToolSampleDisc.h"
#include "tools/lib/audio/ToolAdpcmTestSignals.h"
#include "tools/lib/audio/ToolSoundBankWriter.h"
#include "tools/lib/audio/ToolSoundTableWriter.h"
#include "tools/lib/level/ToolInstanceWriter.h"

namespace {

// Class id of the audio-environment record.
constexpr s32 AUDIO_ENV_CLASS = 60;
constexpr u32 RATE = 32000;

void AddTables( const std::filesystem::path& folder, const std::string& name, std::vector<ToolDiscFile>& files ) {
	ToolSoundEventRecord event;
	event.name = name;
	event.elements = { 0 };
	files.push_back( { folder / ( name + ".TSE" ), ToolWriteSoundEventTable( { event } ) } );
	files.push_back( { folder / ( name + ".TSC" ), ToolWriteSoundContainerTable( {} ) } );
}

void AddSampleBank( const std::filesystem::path& folder, const std::string& name, const f64 hz,
					std::vector<ToolDiscFile>& files ) {
	std::vector<u8> sbb;
	ToolSoundBank bank;
	const std::vector<s16> shortTone = ToolAdpcmTestSignals::Tone( hz, RATE, RATE / 4, 8000.0 );
	const std::vector<s16> loopTone = ToolAdpcmTestSignals::Tone( hz * 2.0, RATE, RATE / 8, 6000.0 );
	bank.samples.push_back( ToolAddBankSample( sbb, shortTone, RATE, false ) );
	bank.samples.push_back( ToolAddBankSample( sbb, loopTone, RATE, true ) );
	bank.samples[0].name = name + "_ONESHOT";
	bank.samples[1].name = name + "_LOOP";
	bank.playbacks.resize( 2 );
	bank.playbacks[1].sampleIndex = 1;
	bank.playbacks[1].volume = "0.5";
	files.push_back( { folder / ( name + ".SBH" ), ToolWriteSoundBankHeader( bank ) } );
	files.push_back( { folder / ( name + ".sbb" ), sbb } );
	AddTables( folder, name, files );
}

}

bool ToolMakeSampleAudio( const std::filesystem::path& audioFolder, std::vector<ToolDiscFile>& files,
						  ToolResourceRecord& environment, std::string& error ) {
	AddSampleBank( audioFolder, "EFFECTS", 440.0, files );
	AddSampleBank( audioFolder, "AMBIENT", 220.0, files );

	ToolSoundBank streams;
	streams.kind = 2;
	ToolSoundSample sample;
	const std::vector<s16> music = ToolAdpcmTestSignals::Tone( 330.0, RATE, RATE * 2, 7000.0 );
	std::vector<u8> stream = ToolEncodeStream( music, TOOL_SAMPLE_STREAM_NAME, RATE, true, sample );
	streams.samples.push_back( sample );
	streams.playbacks.resize( 1 );
	files.push_back( { audioFolder / "MUSIC.SBH", ToolWriteSoundBankHeader( streams ) } );
	files.push_back( { std::filesystem::path( "STREAM" ) / "SAMPLE" / "TONE.DSP", std::move( stream ) } );
	AddTables( audioFolder, "MUSIC", files );

	ToolBigEndianWriter out;
	// Environment, then banks 2, 0 and 1.
	if ( !ToolInstanceWriter::WriteAudioEnv( out, { { 0, 0, 0 }, { "SAMPLE", "MUSIC", "EFFECTS", "AMBIENT" } } ) ) {
		error = "the sample audio environment cannot be written";
		return false;
	}
	environment = {};
	environment.classId = AUDIO_ENV_CLASS;
	environment.object = out.Take();
	return true;
}
