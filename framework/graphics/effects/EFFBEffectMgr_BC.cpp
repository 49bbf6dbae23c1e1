#include "framework/graphics/effects/EFFBEffectMgr_BC.h"

#include "datatypes/maths/DTMatrix.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/effects/EFFBEffect_FrameDistortion.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwFrame.h"

#include <new>

EFFBEffectMgr_BC::EFFBEffectMgr_BC() {
	mui32HandleCounter = 1;
	_rwMatrixSetIdentity( &moWorldToCamera );
	for ( EFFBEffect_BC*& effect : mpoEffects ) {
		effect = nullptr;
	}
}

EFFBEffectMgr_BC::~EFFBEffectMgr_BC() {
	for ( EFFBEffect_BC*& effect : mpoEffects ) {
		delete effect;
		effect = nullptr;
	}
}

u32 EFFBEffectMgr_BC::Initialize() {
	mui32HandleCounter = 0;
	for ( EFFBEffect_BC*& effect : mpoEffects ) {
		effect = nullptr;
	}
	return 1;
}

void EFFBEffectMgr_BC::Terminate() {
	for ( EFFBEffect_BC*& effect : mpoEffects ) {
		if ( effect != nullptr ) {
			effect->Term();
			delete effect;
			effect = nullptr;
		}
	}
	EFFBEffect_SP::DestroyRaster();
}

EFFBEffect_BC* EFFBEffectMgr_BC::AddEffect( const u32 type, const u32 flags ) {
	for ( EFFBEffect_BC*& slot : mpoEffects ) {
		if ( slot != nullptr ) {
			continue;
		}
		if ( type != EF_FB_EFFECT_FRAME_DISTORTION ) {
			return nullptr;
		}
		EFFBEffect_BC* const effect = new ( std::nothrow ) EFFBEffect_FrameDistortion();
		if ( effect == nullptr ) {
			return nullptr;
		}
		effect->SetFlags( flags );
		effect->SetHandle( ++mui32HandleCounter );
		slot = effect;
		return effect;
	}
	return nullptr;
}

EFFBEffect_BC* EFFBEffectMgr_BC::GetEffect( const u32 handle ) const {
	for ( EFFBEffect_BC* const effect : mpoEffects ) {
		if ( effect != nullptr && effect->GetHandle() == handle ) {
			return effect;
		}
	}
	return nullptr;
}

void EFFBEffectMgr_BC::RemoveEffect( const u32 handle ) {
	for ( u32 i = 0; i < EF_FB_EFFECT_SLOTS; i++ ) {
		EFFBEffect_BC* const effect = mpoEffects[i];
		if ( effect == nullptr || effect->GetHandle() != handle ) {
			continue;
		}
		effect->Term();
		delete effect;
		for ( u32 j = i; j + 1 < EF_FB_EFFECT_SLOTS; j++ ) {
			mpoEffects[j] = mpoEffects[j + 1];
		}
		mpoEffects[EF_FB_EFFECT_SLOTS - 1] = nullptr;
		return;
	}
}

void EFFBEffectMgr_BC::Sort() {
	const DTMatrix* const matrix = DTAsDTMatrix( &moWorldToCamera );
	for ( u32 pass = 0; pass < EF_FB_SORT_PASSES; pass++ ) {
		for ( u32 i = 0; i + 2 < EF_FB_EFFECT_SLOTS; i++ ) {
			EFFBEffect_BC*& first = mpoEffects[i];
			EFFBEffect_BC*& second = mpoEffects[i + 1];
			if ( first == nullptr || second == nullptr ) {
				break;
			}
			if ( first->GetPosition( matrix ).z < second->GetPosition( matrix ).z ) {
				EFFBEffect_BC* const swap = first;
				first = second;
				second = swap;
			}
		}
	}
}

void EFFBEffectMgr_BC::Update( const u32 passBits, const f32 dt, EFCamera& camera, const u32 cameraIndex ) {
	RwCamera* const rwCamera = camera.mpoRwCamera;
	RwFrame* const frame = rwCamera != nullptr ? static_cast<RwFrame*>( rwCamera->object.object.parent ) : nullptr;
	if ( frame != nullptr ) {
		RwMatrixInvert( &moWorldToCamera, RwFrameGetLTM( frame ) );
	}
	Sort();
	bool ended = false;
	for ( EFFBEffect_BC* const effect : mpoEffects ) {
		if ( effect == nullptr || !effect->IsActive( cameraIndex ) || ( passBits & effect->GetFlags() ) == 0 ) {
			continue;
		}
		if ( !ended ) {
			camera.End();
			ended = true;
		}
		effect->Update( dt, camera );
	}
	if ( ended ) {
		camera.Begin();
	}
}
