#include "framework/audio/GCLowLevelSound.h"

namespace {

GCSoundCompletionCallback completionCallback = nullptr;

}

void InitLowLevelSound( const GCSoundCompletionCallback callback ) {
	completionCallback = callback;
}

GCSoundCompletionCallback GCGetSoundCompletionCallback() {
	return completionCallback;
}

void GCResetLowLevelSound() {
	completionCallback = nullptr;
}
