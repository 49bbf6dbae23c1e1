#include "framework/graphics/animation/EFMorphAnimNode.h"

#include "datatypes/registry/DTDynamicInstanciator.h"
#include "framework/graphics/ApMorphAnimation.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/animation/EFMorphAnimRes.h"

#include <new>

DT_IMPLEMENT_DYNAMIC_CLASS( EFMorphAnimNode, "EF_MORPH_ANIM_NODE", EF_MORPH_ANIM_NODE_CLASS_ID, IT_ANIM_NODE );

namespace {

constexpr u32 VERSION_MASK = 0xFFFF;

}

EFMorphAnimNode::EFMorphAnimNode()
	: EFAnimNode( OP_MorphAnim ), mpMorphAnim( nullptr ), mfBlendElapsed( 0.0f ), mfBlendLength( 0.0f ) {
}

EFAnimNode * EFMorphAnimNode::ShallowCopy() {
	return CopyInto( new ( std::nothrow ) EFMorphAnimNode );
}

bool EFMorphAnimNode::Initialize( DTCreationParameters * params ) {
	mp3dObj = nullptr;
	if ( params != nullptr && params->mpoExtraCreationParams != nullptr ) {
		EFInstance * const target = static_cast<EFInstance *>( params->mpoExtraCreationParams );
		if ( target->GetClassID() == EF_3D_OBJ_CLASS_ID ) {
			mp3dObj = static_cast<EF3dObj *>( target );
		}
	}
	const bool morph = mpAnimRes != nullptr && mpAnimRes->GetClassID() == EF_MORPH_ANIM_RES_CLASS_ID;
	mpMorphAnim = morph ? static_cast<EFMorphAnimRes *>( mpAnimRes )->mpMorphAnim : nullptr;
	muiGroup = 0;
	mfDuration = 0.0f;
	if ( mpMorphAnim == nullptr || mp3dObj == nullptr || mp3dObj->mpClump == nullptr ) {
		mpMorphAnim = nullptr;
		return true;
	}
	ApMorphAnimationInit( mp3dObj->mpClump, mpMorphAnim );
	if ( ( mpMorphAnim->uiVersion & VERSION_MASK ) >= EF_MORPH_GROUP_VERSION ) {
		muiGroup = mpMorphAnim->uiGroup;
	}
	mfDuration = ApMorphAnimationGetDuration( mpMorphAnim );
	return true;
}

void EFMorphAnimNode::Play( const u32 flags, const f32 blendTime ) {
	if ( mpMorphAnim == nullptr ) {
		return;
	}
	if ( ( muiAnimState & AS_STOPPED ) == 0 ) {
		mfCurrentTime = 0.0f;
	} else if ( ( flags & AS_HOLD ) != 0 ) {
		ApMorphAnimationInitBlend( mp3dObj->mpClump, mpMorphAnim );
		mfBlendElapsed = 0.0f;
		mfBlendLength = blendTime;
	}
	EFAnimNode::Play( flags, blendTime );
	ApMorphAnimationSetTime( mpMorphAnim, mfCurrentTime );
	ApMorphAnimationSetGeometry( mp3dObj->mpClump, mpMorphAnim, 0 );
}

bool EFMorphAnimNode::Stop() {
	if ( mpMorphAnim == nullptr ) {
		return false;
	}
	LeaveParent();
	ApMorphAnimationSetTime( mpMorphAnim, 0.0f );
	return EFAnimNode::Stop();
}

f32 EFMorphAnimNode::Update( const f32 dt, DTWorkMemory & ) {
	if ( mpMorphAnim == nullptr || ( muiAnimState & AS_AT_END ) != 0 ) {
		return 0.0f;
	}
	if ( ( muiAnimState & AS_HOLD ) != 0 ) {
		mfBlendElapsed += dt;
		if ( mfBlendElapsed <= mfBlendLength ) {
			// The blend wrote the geometry; writing the animated values
			// over it would show no blend at all.
			ApMorphAnimationBlend( mp3dObj->mpClump, mpMorphAnim, mfBlendLength > 0.0f ? mfBlendElapsed / mfBlendLength : 1.0f );
			return 0.0f;
		}
		// The blend-in ends: no blend and no time step this frame.
		muiAnimState &= ~AS_HOLD;
	} else {
		AdvanceTime( dt );
		EndTest();
		if ( ( muiAnimState & AS_AT_END ) != 0 ) {
			ApMorphAnimationSetTime( mpMorphAnim, mfSpeed < 0.0f ? 0.0f : mfDuration );
		} else {
			ApMorphAnimationAddTime( mpMorphAnim, dt * mfSpeed );
		}
	}
	ApMorphAnimationSetGeometry( mp3dObj->mpClump, mpMorphAnim, 0 );
	return 0.0f;
}
