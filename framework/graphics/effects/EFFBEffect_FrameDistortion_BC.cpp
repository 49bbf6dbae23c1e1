#include "framework/graphics/effects/EFFBEffect_FrameDistortion_BC.h"

#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTMatrix.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "graphics3d/core/RwMatrix.h"

#include <cstring>

EFFBEffect_FrameDistortion_BC::EFFBEffect_FrameDistortion_BC() {
	mui32First = 0;
	mui32ObjectId = EF_FB_NO_OBJECT;
	mui32Lod = 0;
	mpoMatrix = nullptr;
	mpoCallerMatrix = nullptr;
	_rwMatrixSetIdentity( &moOwnMatrix );
}

EFGameObject* EFFBEffect_FrameDistortion_BC::GetObject() const {
	if ( mui32ObjectId == EF_FB_NO_OBJECT || gpoWorldMgr == nullptr ) {
		return nullptr;
	}
	return gpoWorldMgr->GetGameObject( mui32ObjectId );
}

bool EFFBEffect_FrameDistortion_BC::IsActive( const u32 cameraIndex ) const {
	if ( ( mui32Flags & EF_FB_EFFECT_ENABLED ) == 0 || cameraIndex >= EF_CLIP_CAMERA_SLOTS ) {
		return false;
	}
	const EFGameObject* const object = GetObject();
	return object != nullptr && object->moClipping.camClipState[cameraIndex].ui16CamInFrustum != 0;
}

void EFFBEffect_FrameDistortion_BC::Init( const EFCamera& ) {
}

void EFFBEffect_FrameDistortion_BC::Term() {
}

void EFFBEffect_FrameDistortion_BC::SetParams( const u32 type, const void* params ) {
	if ( type != EF_FB_EFFECT_FRAME_DISTORTION || params == nullptr ) {
		return;
	}
	const EFFBDistortionParams& block = *static_cast<const EFFBDistortionParams*>( params );
	mui32First = block.ui32First;
	const EFGameObject* const object = gpoWorldMgr != nullptr ? gpoWorldMgr->GetGameObject( block.ui32ObjectId ) : nullptr;
	mui32ObjectId = object != nullptr ? object->GetUID() : EF_FB_NO_OBJECT;
	mui32Lod = block.ui32Lod;
	mpoCallerMatrix = block.pMatrix;
	if ( block.pMatrix != nullptr ) {
		std::memcpy( &moOwnMatrix, DTAsRwMatrix( block.pMatrix ), sizeof( RwMatrix ) );
		mpoMatrix = DTAsDTMatrix( &moOwnMatrix );
	}
}

void EFFBEffect_FrameDistortion_BC::GetParams( const u32 type, void* params ) const {
	if ( type != EF_FB_EFFECT_FRAME_DISTORTION || params == nullptr ) {
		return;
	}
	EFFBDistortionParams& block = *static_cast<EFFBDistortionParams*>( params );
	block.ui32First = mui32First;
	block.ui32ObjectId = mui32ObjectId;
	block.ui32Lod = mui32Lod;
	block.pMatrix = mpoCallerMatrix;
}

DTVector3d EFFBEffect_FrameDistortion_BC::GetPosition( const DTMatrix* matrix ) const {
	EFGameObject* const object = GetObject();
	if ( object == nullptr || object->GetFrame() == nullptr ) {
		return DTVector3d( 0.0f, 0.0f, 0.0f );
	}
	DTVector3d position = *object->GetFrame()->GetWMatrix()->GetPos();
	if ( matrix != nullptr ) {
		matrix->TransformPoint( position );
	}
	return position;
}
