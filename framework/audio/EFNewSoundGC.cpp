#include "framework/audio/EFNewSoundGC.h"

#include "datatypes/base/DTByteOrder.h"
#include "framework/audio/GC_SoundLoader.h"

void EFNewSound_SP::LoadFromStream( char * record ) {
	EFNewSound_BC::LoadFromStream( record );
	if ( record != nullptr ) {
		mui32SampleIndex = DTReadBE32( reinterpret_cast<const u8 *>( record ) + GC_PLAYBACK_SAMPLE );
	}
}

void EFNewSound_SP::ResetSound( u32, u32 ) {
}

void EFNewSound_SP::Terminate( u32, u32 ) {
}

bool EFNewSound_SP::MustSoftDelay( f32 ) {
	return false;
}

u32 EFNewSound_SP::PlaySound( u32, u32, u32, u32, u32, u32 ) {
	return EF_NO_VOICE;
}

void EFNewSound_SP::StopSound( u32, u32, bool ) {
}

void EFNewSound_SP::SetPitch( u32, f32 ) {
}

void EFNewSound_SP::SetFinalVolume( u32, f32, f32 ) {
}

void EFNewSound_SP::ComputeDelay( u8, u8 ) {
	mfDelay = 0.0f;
}
