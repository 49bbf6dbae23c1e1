#include "framework/audio/EFNewSoundStreamGC.h"

void EFNewSoundStream_SP::LoadFromStream( char * record ) {
	EFNewSound_BC::LoadFromStream( record );
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
