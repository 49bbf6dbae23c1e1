#include "framework/audio/EFNewSoundStreamGC.h"

#include <cstring>

namespace {

// Characters of a stream name kept: the record's field less its terminator.
constexpr u32 STREAM_NAME_MAX = GC_SAMPLE_NAME_BYTES - 1;

}

void EFNewSoundStream_SP::LoadFromStream( char * record ) {
	EFNewSound_SP::LoadFromStream( record );
}

void EFNewSoundStream_SP::LoadBodyFileInformationFromStream( char * samples, const u32 sampleCount ) {
	if ( samples == nullptr || mui32SampleIndex >= sampleCount ) {
		return;
	}
	std::memcpy( maui8Sample, samples + mui32SampleIndex * GC_SAMPLE_RECORD_BYTES, GC_SAMPLE_RECORD_BYTES );
	maui8Sample[STREAM_NAME_MAX] = '\0';
	const size_t length = strnlen( reinterpret_cast<const char *>( maui8Sample ), STREAM_NAME_MAX );
	const char * const name = reinterpret_cast<const char *>( maui8Sample );
	mui32InfoFile = length >= 4 && ( std::strcmp( name + length - 4, ".int" ) == 0 ||
									 std::strcmp( name + length - 4, ".INT" ) == 0 ) ? 1 : 0;
}

void EFNewSoundStream_SP::ResetSound( u32, u32 ) {
}

u32 EFNewSoundStream_SP::PlaySound( u32, u32, u32, u32, u32, u32 ) {
	return EF_NO_VOICE;
}

void EFNewSoundStream_SP::StopSound( u32, u32, bool ) {
}

void EFNewSoundStream_SP::SetPitch( u32, f32 ) {
}

void EFNewSoundStream_SP::SetFinalVolume( u32, f32, f32 ) {
}

bool EFNewSoundStream_SP::CanCheckForSET() {
	return true;
}
