#include "framework/logic/EFGameTimer.h"

EFGameTimer::EFGameTimer() : muiPaused( 0 ), mfPeriod( 0.0f ), mfElapsed( 0.0f ) {
}

EFGameTimer::~EFGameTimer() {
}
