#include "framework/core/engine/EFTimer.h"

#include "platform/os/OS.h"

EFTimer::EFTimer() {
	mfElapsed = 0.0f;
	mui64LastTime = static_cast<u64>( OSGetTime() );
	Reset();
}

void EFTimer::Reset() {
	Update();
	mfElapsed = 0.0f;
}

f32 EFTimer::Update() {
	const u64 now = static_cast<u64>( OSGetTime() );
	mfElapsed = static_cast<f32>( static_cast<f64>( now - mui64LastTime ) / static_cast<f64>( OS_BUS_CLOCK / 4 ) );
	mui64LastTime = now;
	return mfElapsed;
}

f32 EFTimer::GetElapsed() {
	Update();
	return mfElapsed;
}
