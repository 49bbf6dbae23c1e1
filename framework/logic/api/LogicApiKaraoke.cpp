#include "framework/logic/api/LogicApiTables.h"

#include "framework/logic/api/LogicApiTable.h"
#include "framework/logic/api/EFApiTrace.h"

namespace {

bool bDone = false;

// No microphone on this console: nothing is acquired and every volume
// reads 0.

void KaraokeAcquireMicrophone( u32 ) {
	EFApiTrace::mFuncName = "(karaoke)AcquireMicrophone";
	EFApiTrace::mFuncName = nullptr;
}

void KaraokeReleaseMicrophone( u32 ) {
	EFApiTrace::mFuncName = "(karaoke)ReleaseMicrophone";
	EFApiTrace::mFuncName = nullptr;
}

void KaraokeActivateMicrophone( u32 ) {
	EFApiTrace::mFuncName = "(karaoke)ActivateMicrophone";
	EFApiTrace::mFuncName = nullptr;
}

void KaraokeDeactivateMicrophone( u32 ) {
	EFApiTrace::mFuncName = "(karaoke)DeactivateMicrophone";
	EFApiTrace::mFuncName = nullptr;
}

f32 KaraokeGetAverageVolume() {
	EFApiTrace::mFuncName = "(karaoke)GetAverageVolume";
	EFApiTrace::mFuncName = nullptr;
	return 0.0f;
}

f32 KaraokeGetMaxVolume() {
	EFApiTrace::mFuncName = "(karaoke)GetMaxVolume";
	EFApiTrace::mFuncName = nullptr;
	return 0.0f;
}

void KaraokeSetVolume( u32, f32 ) {
}

f32 KaraokeGetVolume( u32 ) {
	return 0.0f;
}

}

void ApiKaraokeNotInit() {
	bDone = true;
}

bool ApiKaraokeNotInitDone() {
	return bDone;
}

constexpr _api_karaoke APIkaraokeStubs = MakeLogicApiStubs<_api_karaoke, ApiKaraokeNotInit>();
constinit _api_karaoke APIkaraoke = MakeLogicApiStubs<_api_karaoke, ApiKaraokeNotInit>();

void Init_Karaoke() {
	InitAPI( &APIkaraoke, LOGIC_API_KARAOKE_SLOTS, &APIkaraokeStubs );
	APIkaraoke.AcquireMicrophone = KaraokeAcquireMicrophone;
	APIkaraoke.ReleaseMicrophone = KaraokeReleaseMicrophone;
	APIkaraoke.ActivateMicrophone = KaraokeActivateMicrophone;
	APIkaraoke.DeactivateMicrophone = KaraokeDeactivateMicrophone;
	APIkaraoke.GetAverageVolume = KaraokeGetAverageVolume;
	APIkaraoke.GetMaxVolume = KaraokeGetMaxVolume;
	APIkaraoke.SetTVOutputVolumeFromMicrophone = KaraokeSetVolume;
	APIkaraoke.GetTVOutputVolumeFromMicrophone = KaraokeGetVolume;
	APIkaraoke.SetMicrophoneRecordingVolume = KaraokeSetVolume;
	APIkaraoke.GetMicrophoneRecordingVolume = KaraokeGetVolume;
	APIkaraoke.SetHeadsetPlaybackVolume = KaraokeSetVolume;
	APIkaraoke.GetHeadsetPlaybackVolume = KaraokeGetVolume;
}
