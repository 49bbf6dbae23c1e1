#include "framework/audio/EFSoundEvent.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/audio/EFNewAudioMgr.h"
#include "framework/physics/EFPhysicMgr.h"

namespace {

// The ray sees the environment only: every environment detect bit, no
// object type, no object excluded.
constexpr u32 OCCLUSION_ENV_DETECT = 0xFFFFFFFF;

}

void EFSoundEvent::AdjustSoundToOcculsion() {
	EFNewAudioMgr * const mgr = gpoNewAudioMgr;
	DTFrame * const listenerFrame = GetListenerFrame();
	if ( mgr == nullptr || listenerFrame == nullptr || mpFrame == nullptr || mfDistanceVolume < EF_OCCLUSION_MIN_FACTOR ) {
		return;
	}
	bool cast = false;
	if ( mui16OcclusionAge >= EFNewAudioMgr_Main::msiMaxOcculsionTestAge ) {
		cast = true;
		mgr->msiOcclusionTestCount++;
	} else if ( mui16OcclusionAge >= mgr->msiOcclusionMinAge &&
				mgr->msiOcclusionTestCount < EFNewAudioMgr_Main::msiMaxOcculsionTestPerFrame ) {
		cast = true;
		mgr->msiOcclusionTestCount++;
	}
	if ( !cast && mfLastOcclusionFactor <= 1.0f ) {
		mui16OcclusionAge++;
		mfDistanceVolume *= mfLastOcclusionFactor;
		return;
	}
	mui16OcclusionAge = 0;
	mfOcclusionFactor = 1.0f;
	const DTVector3d listener = *listenerFrame->GetWMatrix()->GetPos();
	const DTVector3d source = *mpFrame->GetWMatrix()->GetPos();
	RayIntersectIn in = { listener, source - listener, 0, 0, OCCLUSION_ENV_DETECT, 0, 0 };
	EFRayIntersectOut out = {};
	out.poListener = this;
	if ( gpoPhysicMgr != nullptr ) {
		gpoPhysicMgr->RayIntersect( in, out );
	}
	if ( mfOcclusionFactor < 1.0f ) {
		mfDistanceVolume *= mfOcclusionFactor;
	}
	mfLastOcclusionFactor = mfOcclusionFactor;
}

void EFSoundEvent::Terminate() {
	mui8OutOfRange = 0;
	mui8Waiting = 0;
	if ( gpoNewAudioMgr != nullptr ) {
		gpoNewAudioMgr->UnregisterActiveSoundEvent( this );
	}
	for ( u32 i = 0; i < mui32NbChildren; i++ ) {
		if ( mppoChildren[i] != nullptr && mppoChildren[i]->IsPlaying() ) {
			mppoChildren[i]->Terminate();
		}
	}
}
