#include "framework/audio/EFNewSound.h"

void EFNewSound::Update( f32 ) {
}
