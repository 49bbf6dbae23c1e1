// Distance model, volume and pan, and the frame update of a sound event.
#include "framework/audio/EFSoundEvent_BC.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/audio/EFNewAudioMgr.h"
#include "framework/audio/EFNewSound.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFGraphicsMgr.h"

#include <cmath>

namespace {

constexpr f32 PI = 3.14159265358979f;

f32 Clamp01( const f32 v ) {
	return v < 0.0f ? 0.0f : ( v > 1.0f ? 1.0f : v );
}

// Moves current toward target by one smoothing step; an unset value jumps.
// The volume steps while more than a step away, the pan while at least one.
f32 Smooth( const f32 current, const f32 target, const f32 unset, const bool stepAtExactStep ) {
	if ( current == unset ) {
		return target;
	}
	const f32 gap = std::fabs( target - current );
	const bool step = stepAtExactStep ? gap >= EF_SOUND_SMOOTH_STEP : gap > EF_SOUND_SMOOTH_STEP;
	if ( !step ) {
		return target;
	}
	return target > current ? current + EF_SOUND_SMOOTH_STEP : current - EF_SOUND_SMOOTH_STEP;
}

DTFrame * CameraZeroFrame() {
	if ( gpoGraphicsMgr == nullptr ) {
		return nullptr;
	}
	EFCamera * const camera = gpoGraphicsMgr->GetCamera( 0 );
	return camera != nullptr ? camera->mpFrame : nullptr;
}

}

DTFrame * EFSoundEvent_BC::GetListenerFrame() {
	EFNewAudioMgr * const mgr = gpoNewAudioMgr;
	if ( mgr != nullptr && mgr->mui32ListenerId != 0 ) {
		EFPosData * const listener = gpoWorldMgr != nullptr ? gpoWorldMgr->GetObjectPosData( mgr->mui32ListenerId ) : nullptr;
		if ( listener != nullptr && listener->mpFrame != nullptr ) {
			return listener->mpFrame;
		}
		mgr->mui32ListenerId = 0;
	}
	return CameraZeroFrame();
}

void EFSoundEvent_BC::AdjustSoundToDistance() {
	DTFrame * const listenerFrame = GetListenerFrame();
	if ( listenerFrame == nullptr || mpFrame == nullptr ) {
		mfDistanceVolume = 0.0f;
		return;
	}
	const DTVector3d listener = *listenerFrame->GetWMatrix()->GetPos();
	const DTVector3d source = *mpFrame->GetWMatrix()->GetPos();
	const f32 dx = listener.x - source.x;
	const f32 dy = listener.y - source.y;
	const f32 dz = listener.z - source.z;
	const f32 d = std::sqrt( dx * dx + dy * dy + dz * dz );
	const EFSoundEventData & r = *mpoRecord;
	if ( d > r.mfCutOffDistance ) {
		mfDistanceVolume = 0.0f;
		if ( r.mui8StopOutOfRange != 0 ) {
			mui8OutOfRange = 1;
		}
		return;
	}
	mui8OutOfRange = 0;
	if ( r.mui32SpatialMode == EF_SPATIAL_3D || r.mui32SpatialMode == EF_SPATIAL_3D_INVERTED ) {
		// The pan always follows camera 0, whoever the listener is.
		DTFrame * const cameraFrame = CameraZeroFrame();
		if ( cameraFrame != nullptr ) {
			const DTMatrix * const camera = cameraFrame->GetWMatrix();
			const DTVector3d c = *camera->GetPos();
			const DTVector3d a = *camera->GetAt();
			f32 angle = std::atan2( source.x - c.x, source.z - c.z ) - std::atan2( a.x, a.z );
			if ( angle > PI ) {
				angle -= 2.0f * PI;
			} else if ( angle < -PI ) {
				angle += 2.0f * PI;
			}
			mfTargetPan = -std::sin( angle );
			if ( r.mui32SpatialMode == EF_SPATIAL_3D_INVERTED ) {
				mfTargetPan = -mfTargetPan;
			}
		}
	} else {
		mfTargetPan = -1.0f;
	}
	f32 volume;
	if ( d < r.mfNearDistance ) {
		volume = r.mfNearVolume;
	} else if ( d > r.mfFarDistance ) {
		volume = r.mfFarVolume;
	} else {
		const f32 span = r.mfFarDistance - r.mfNearDistance;
		// Near and far at one distance: no slope to follow.
		f32 t = span > 0.0f ? ( d - r.mfNearDistance ) / span : 0.0f;
		if ( t > 1.0f ) {
			t = 1.0f;
		}
		const f32 drop = r.mfNearVolume - r.mfFarVolume;
		volume = r.mfNearVolume - t * ( drop > 0.0f ? drop : 0.0f );
	}
	mfDistanceVolume = r.mui32SpatialMode == EF_SPATIAL_3D_INVERTED ? 1.0f - volume : volume;
}

void EFSoundEvent_BC::ComputeVolumeAndPan() {
	EFNewAudioMgr * const mgr = gpoNewAudioMgr;
	const u32 mode = mpoRecord->mui32SpatialMode;
	const f32 mix = mgr->mfGlobalVolume * mgr->GetGroupVolume( mpoRecord->mui32GroupMask );
	if ( mode == EF_SPATIAL_2D ) {
		mui8OutOfRange = 0;
		mfTargetPan = mfSamplePan;
		mfTargetVolume = mix;
	} else if ( mode <= EF_SPATIAL_3D_INVERTED ) {
		mfDistanceVolume = 1.0f;
		AdjustSoundToDistance();
		mfTargetVolume = mfDistanceVolume * mix;
		if ( mode == EF_SPATIAL_3D_SAMPLE_PAN ) {
			mfTargetPan = mfSamplePan;
		}
	} else {
		mfCurrentVolume = 0.0f;
		mfLeftLevel = 0.0f;
		mfRightLevel = 0.0f;
		return;
	}
	mfCurrentVolume = Smooth( mfCurrentVolume, mfTargetVolume, EF_SOUND_VOLUME_UNSET, false );
	mfCurrentPan = Smooth( mfCurrentPan, mfTargetPan, EF_SOUND_PAN_UNSET, true );
	const f32 level = static_cast<f32>( mui32BaseVolume ) * Clamp01( mfCurrentVolume * mfSEMasterVolume );
	if ( mode != EF_SPATIAL_2D ) {
		mfDistanceVolume = level;
	}
	if ( mgr->mui32EngineMode == EF_SOUND_MODE_MONO ) {
		mfCurrentPan = 0.0f;
	}
	mfLeftLevel = ( 1.0f - mfCurrentPan ) * level * 0.5f;
	mfRightLevel = ( 1.0f + mfCurrentPan ) * level * 0.5f;
}

void EFSoundEvent_BC::Update( const f32 dt ) {
	if ( ( mpoSound == nullptr && mui8OutOfRange == 0 ) || mui8Stopping != 0 ) {
		return;
	}
	const bool wasOutOfRange = mui8OutOfRange != 0;
	ComputeVolumeAndPan();
	if ( !wasOutOfRange && mui8OutOfRange != 0 ) {
		mui8Stopping = 1;
		mui8OutOfRange = 0;
		KillSound();
		mui8OutOfRange = 1;
		return;
	}
	if ( wasOutOfRange && mui8OutOfRange == 0 ) {
		mui8OutOfRange = 1;
		PlaySound( mui32PlayArg );
		mui8OutOfRange = 0;
		return;
	}
	if ( mui8OutOfRange == 0 && mui32Voice != EF_NO_VOICE && mui8Paused == 0 && mui8Waiting == 0 ) {
		mpoSound->SetFinalVolume( mui32Voice, mfCurrentPan, Clamp01( mfCurrentVolume * mfSEMasterVolume ) );
		return;
	}
	if ( mpoSound == nullptr ) {
		return;
	}
	mfDelayTime += dt;
	if ( mpoSound->MustSoftDelay( mfDelayTime ) ) {
		return;
	}
	if ( mui8Paused == 0 && mui8OutOfRange == 0 && mui32Voice == EF_NO_VOICE ) {
		mui8Waiting = 0;
		StartVoice();
	}
}
