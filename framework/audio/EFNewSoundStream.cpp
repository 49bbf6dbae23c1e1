#include "framework/audio/EFNewSoundStream.h"

void EFNewSoundStream::Update( f32 ) {
}

void EFNewSoundStream::Terminate() {
}
