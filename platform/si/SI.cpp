#include "platform/si/SI.h"
#include "platform/si/SIHost.h"

namespace {

u32 samplingRate = 0;

}

void SISetSamplingRate( const u32 msec ) {
	samplingRate = msec > SI_MAX_SAMPLING_RATE ? SI_MAX_SAMPLING_RATE : msec;
}

u32 SIHostSamplingRate() {
	return samplingRate;
}

void SIHostReset() {
	samplingRate = 0;
}
