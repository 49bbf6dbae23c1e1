#include "framework/audio/ISound.h"

ISound::ISound() : mui32CompletionId( EF_NO_SOUND_ID ), mui32SoundId( EF_NO_SOUND_ID ), mui32InUse( 0 ), mpHandle( nullptr ) {
}

ISound::~ISound() {
}

bool ISound::CanBeKilled() {
	return true;
}
