#include "framework/audio/EFNewSound_BC.h"

#include "datatypes/base/DTByteOrder.h"

EFNewSound_BC::EFNewSound_BC() : mui32PlaybackId( 0xFFFFFFFF ), mfDelay( 0.0f ) {
}

EFNewSound_BC::~EFNewSound_BC() {
}

void EFNewSound_BC::LoadFromStream( char * record ) {
	if ( record != nullptr ) {
		mui32PlaybackId = DTReadBE32( reinterpret_cast<const u8 *>( record ) + 4 );
	}
}

void EFNewSound_BC::ResetSound( u32, u32 ) {
}

void EFNewSound_BC::Terminate( u32, u32 ) {
}

void EFNewSound_BC::ComputeDelay() {
	mfDelay = 0.0f;
}

bool EFNewSound_BC::MustSoftDelay( f32 ) {
	return false;
}

bool EFNewSound_BC::HasSoundReallyStarted( u32 ) {
	return true;
}

bool EFNewSound_BC::CanCheckForSET() {
	return true;
}
