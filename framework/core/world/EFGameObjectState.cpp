/*
	EFGameObject: hot spots, duplication, 3D-object and frame access,
	visibility, clipping parameters and logic flags.
*/
#include "framework/core/world/EFGameObject.h"

#include "datatypes/maths/DTFrame.h"
#include "datatypes/descriptor/DTHotSpotDescriptor.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/EFGroundFogGrid_BC.h"
#include "framework/graphics/EFWaterGrid_BC.h"
#include "framework/graphics/animation/EFAnimNode.h"
#include "framework/graphics/effects/EFProjectorMgr.h"
#include "framework/graphics/effects/EFShadowMgr.h"
#include "framework/physics/EFCollisionModel.h"
#include "framework/physics/EFObjCollisionBBox.h"
#include "framework/physics/EFObjCollisionPolygon.h"
#include "framework/physics/EFObjCollisionSphere.h"
#include "framework/physics/EFObjCollisionSweptSphere.h"
#include "framework/physics/EFPhysic.h"
#include "graphics3d/world/RpHAnim.h"

#include <new>

namespace {

// Drawable instance classes: 3D object, water grid, ground-fog grid.

void SetBit( u32 & word, const u32 bit, const bool on ) {
	word = on ? ( word | bit ) : ( word & ~bit );
}

// The primitive a hot spot describes, sized; null for an unknown type.
EFObjCollisionPrim * MakeHotSpotPrim( const DTHotSpotDescriptor & spot, DTFrame * frame ) {
	const f32 * const sizes = spot.mafPrimSizes;
	switch ( spot.mui32PrimType ) {
	case EF_PRIM_SPHERE: {
		EFObjCollisionSphere * const sphere = new ( std::nothrow ) EFObjCollisionSphere( frame );
		if ( sphere != nullptr ) {
			sphere->mfMaxRadius = sizes[0];
		}
		return sphere;
	}
	case EF_PRIM_SWEPT_SPHERE: {
		EFObjCollisionSweptSphere * const swept = new ( std::nothrow ) EFObjCollisionSweptSphere( frame );
		if ( swept == nullptr ) {
			return nullptr;
		}
		swept->SetRadius( sizes[0] );
		swept->SetVector( DTVector3d( sizes[1], sizes[2], sizes[3] ) );
		return swept;
	}
	case EF_PRIM_BBOX: {
		EFObjCollisionBBox * const box = new ( std::nothrow ) EFObjCollisionBBox( frame );
		if ( box != nullptr ) {
			box->SetHalfExtents( DTVector3d( sizes[0], sizes[1], sizes[2] ) );
		}
		return box;
	}
	case EF_PRIM_POLYGON:
		return new ( std::nothrow ) EFObjCollisionPolygon( frame );
	default:
		return nullptr;
	}
}

}

void EFGameObject::InitHotspot( DTHotSpotDescriptor * descriptor ) {
	if ( descriptor == nullptr || CreateFrame( nullptr ) == nullptr ) {
		return;
	}
	EFPhysic * const body = CreatePhysic( 0 );
	if ( body == nullptr ) {
		return;
	}
	EFCollisionModel & model = body->moCollisionModel;
	model.SetMaxPrims( 1 );
	if ( model.mui32MaxPrims < 1 ) {
		return;
	}
	EFObjCollisionPrim * const prim = MakeHotSpotPrim( *descriptor, mpFrame );
	if ( prim == nullptr ) {
		// No shape: the model keeps no slot rather than an empty one.
		model.SetMaxPrims( 0 );
		return;
	}
	prim->moTrans = DTVector3d( descriptor->mfTranslationX, descriptor->mfTranslationY, descriptor->mfTranslationZ );
	const u32 words[EF_COL_PRIM_ATTRIB_WORDS] = {
		descriptor->mui32DetectionMode, descriptor->mui32Type, descriptor->mui32DetectType,
		descriptor->mui32UDType, descriptor->mui32UDDetectType, descriptor->mui32EnvDetectType,
		descriptor->mui32UDEnvDetectType, descriptor->mui32NotifyType, descriptor->mui32Arg1,
		descriptor->mui32Arg2, descriptor->mui32Arg3,
	};
	for ( u32 i = 0; i < EF_COL_PRIM_ATTRIB_WORDS; i++ ) {
		prim->moBaseAttrib.IntArray[i] = words[i];
	}
	prim->UpdateCurrentAttribs();
	model.mppoPrimArray[0] = prim;
	model.moPhysicBSphere.mfRadius = prim->mfMaxRadius;
	model.moPhysicBSphere.moPos = prim->moTrans;
}

EFGameObject * EFGameObject::Duplicate() {
	EFGameObject * const copy = new ( std::nothrow ) EFGameObject;
	if ( copy == nullptr ) {
		return nullptr;
	}
	copy->moLogicInstance.mpLogicCode = moLogicInstance.mpLogicCode;
	if ( muiNbInstance > 0 ) {
		copy->mppEFInstance = new ( std::nothrow ) EFInstance *[muiNbInstance]();
		if ( copy->mppEFInstance == nullptr ) {
			delete copy;
			return nullptr;
		}
		copy->muiNbInstance = muiNbInstance;
		for ( s32 i = 0; i < muiNbInstance; i++ ) {
			if ( mppEFInstance[i] != nullptr ) {
				copy->mppEFInstance[i] = mppEFInstance[i]->ShallowCopy();
			}
		}
	}
	copy->moAnimationMgr.muiBaseIndex = moAnimationMgr.muiBaseIndex;
	if ( moAnimationMgr.muiNbAnims != 0 && copy->moAnimationMgr.CreateTable( moAnimationMgr.muiNbAnims ) ) {
		for ( u32 j = 0; j < moAnimationMgr.muiNbAnims; j++ ) {
			EFAnimNode * const node = moAnimationMgr.GetAnim( j );
			if ( node != nullptr ) {
				copy->moAnimationMgr.AddAnim( node->ShallowCopy(), j );
			}
		}
	}
	copy->muiNb3dObj = muiNb3dObj;
	return copy;
}

EF3dObj * EFGameObject::Get3dObject( const u32 index ) const {
	if ( index >= muiNb3dObj || muiNbInstance < 0 || index >= static_cast<u32>( muiNbInstance ) ) {
		return nullptr;
	}
	EFInstance * const instance = mppEFInstance[index];
	if ( instance == nullptr ) {
		return nullptr;
	}
	return Is3dObjectClass( instance->GetClassID() ) ? static_cast<EF3dObj *>( instance ) : nullptr;
}

bool EFGameObject::Is3dObjectClass( const s32 id ) {
	return id == EF_3D_OBJ_CLASS_ID || id == EF_WATER_GRID_CLASS_ID || id == EF_GROUND_FOG_GRID_CLASS_ID;
}

DTFrame * EFGameObject::GetObjectFrame( const u32 joint ) {
	if ( joint == EF_OWN_FRAME_JOINT ) {
		return mpFrame;
	}
	return GetBoneFrame( joint );
}

DTFrame * EFGameObject::GetBoneFrame( const u32 joint ) const {
	const EF3dObj * const model = Get3dObject( 0 );
	if ( model == nullptr || ( model->mui3dObjState & EF_3D_OBJ_HAS_HIERARCHY ) == 0 || model->mpHierarchy == nullptr ) {
		return nullptr;
	}
	const RpHAnimHierarchy * const hierarchy = model->mpHierarchy;
	const s32 index = joint >= EF_FIRST_BONE_ID ? RpHAnimIDGetIndex( hierarchy, static_cast<s32>( joint ) )
												 : static_cast<s32>( joint );
	if ( index < 0 || index >= hierarchy->numNodes || hierarchy->pNodeInfo == nullptr ) {
		return nullptr;
	}
	// An engine frame is exactly the library frame it wraps.
	return reinterpret_cast<DTFrame *>( hierarchy->pNodeInfo[index].pFrame );
}

void * EFGameObject::GetMagicPreset( const u32 size ) {
	return size == muiMagicDataSize ? mpMagicDataBlock : nullptr;
}

void EFGameObject::SetGameObjectVisible( const bool visible ) {
	EF3dObj * const model = Get3dObject( 0 );
	if ( model != nullptr ) {
		SetBit( model->mui3dObjState, EF_3D_OBJ_VISIBLE, visible );
	}
}

s32 EFGameObject::IsGameObjectVisible() const {
	const EF3dObj * const model = Get3dObject( 0 );
	if ( model == nullptr ) {
		return -1;
	}
	return ( model->mui3dObjState & EF_3D_OBJ_VISIBLE ) != 0 ? 1 : 0;
}

void EFGameObject::SetClippingParams( EFClippingParams * params, const u32 recursive ) {
	if ( params == nullptr ) {
		return;
	}
	moClipping.clipParams = *params;
	muiClipTests &= ~EF_CLIPTEST_DISTANCE;
	if ( params->oDists[0].fDist > 0.0f ) {
		muiClipTests |= EF_CLIPTEST_DISTANCE | EF_CLIPTEST_FORCE_NOTIFY;
	}
	if ( recursive != 0 ) {
		SetClippingParamsRecursive( mpChild, params );
	}
}

void EFGameObject::GetClippingParams( EFClippingParams * params ) const {
	if ( params != nullptr ) {
		*params = moClipping.clipParams;
	}
}

void EFGameObject::SetClippingParamsRecursive( EFPosData * node, EFClippingParams * params ) {
	for ( EFPosData * at = node; at != nullptr; at = at->mpNext ) {
		if ( EFIdKind( at->GetUID() ) == EF_KIND_GAME_OBJECT && at->GetClassID() == EF_GAME_OBJECT_CLASS_ID ) {
			static_cast<EFGameObject *>( at )->SetClippingParams( params, 0 );
		}
		SetClippingParamsRecursive( at->mpChild, params );
	}
}

void EFGameObject::SetProximityClippingParams( EFProximityClippingParams * params ) {
	if ( params == nullptr ) {
		return;
	}
	moProximityClipping.proxClipParams = *params;
	moProximityClipping.bInProxDist = 0;
	muiClipTests &= ~EF_CLIPTEST_PROXIMITY;
	if ( params->uiObjectID != 0 && params->fDistance != 0.0f ) {
		muiClipTests |= EF_CLIPTEST_PROXIMITY | EF_CLIPTEST_FORCE_PROX;
	}
}

void EFGameObject::GetProximityClippingParams( EFProximityClippingParams * params ) const {
	if ( params != nullptr ) {
		*params = moProximityClipping.proxClipParams;
	}
}

void EFGameObject::ApplyClipOps( const u32 ops ) {
	if ( ops == muiOldClipFlags ) {
		return;
	}
	muiOldClipFlags = ops;
	if ( ( ops & EF_CLIPOP_NO_ANIMATION ) != 0 ) {
		moAnimationMgr.muiClipMode = EF_ANIM_CLIP_ALL;
	} else if ( ( ops & EF_CLIPOP_NO_HIERARCHY ) != 0 ) {
		moAnimationMgr.muiClipMode = EF_ANIM_CLIP_HIERARCHY;
	} else {
		moAnimationMgr.muiClipMode = EF_ANIM_CLIP_NONE;
	}
	SetBit( moLogicInstance.muiFlags, EF_LOGIC_CLIPPED, ( ops & EF_CLIPOP_NO_LOGIC ) != 0 );
	const u32 physicsOps = EF_CLIPOP_NO_PHYSICS | EF_CLIPOP_PHYSICS_SUSPEND;
	if ( ( ( ops ^ moClipping.uiClipOps ) & physicsOps ) != 0 && mpoPhysic != nullptr ) {
		SetBit( mpoPhysic->mui32PhysicFlags, EF_PHYSIC_CLIP_DISABLED, ( ops & EF_CLIPOP_NO_PHYSICS ) != 0 );
		SetBit( mpoPhysic->mui32PhysicFlags, EF_PHYSIC_CLIP_SUSPENDED, ( ops & EF_CLIPOP_PHYSICS_SUSPEND ) != 0 );
		mpoPhysic->NormalizeFlags();
	}
	moClipping.uiClipOps = ops;
}

void EFGameObject::SetLogicFlags( u32 flags ) {
	const u32 old = muiLogicFlags;
	const u32 changed = old ^ flags;
	if ( ( changed & EF_LF_ANIMATION_PAUSED ) != 0 ) {
		SetBit( moAnimationMgr.muiFlags, EF_ANIM_MGR_PAUSED, ( flags & EF_LF_ANIMATION_PAUSED ) != 0 );
	}
	if ( ( changed & EF_LF_LOGIC_PAUSED ) != 0 ) {
		SetBit( moLogicInstance.muiFlags, EF_LOGIC_PAUSED, ( flags & EF_LF_LOGIC_PAUSED ) != 0 );
	}
	if ( ( changed & EF_LF_PHYSICS_PAUSED ) != 0 ) {
		if ( mpoPhysic != nullptr ) {
			SetBit( mpoPhysic->mui32PhysicFlags, EF_PHYSIC_PAUSED, ( flags & EF_LF_PHYSICS_PAUSED ) != 0 );
			mpoPhysic->NormalizeFlags();
		} else {
			flags &= ~EF_LF_PHYSICS_PAUSED;
		}
	}
	if ( ( changed & EF_LF_LIT ) != 0 ) {
		for ( u32 i = 0; i < muiNb3dObj; i++ ) {
			EF3dObj * const model = Get3dObject( i );
			if ( model != nullptr ) {
				model->LightObject( flags & EF_LF_LIT );
			}
		}
	}
	EF3dObj * const first = Get3dObject( 0 );
	const bool shadowsBefore = ( old & EF_LF_SHADOWS ) != 0;
	const bool shadowsNow = ( flags & EF_LF_SHADOWS ) != 0;
	if ( !shadowsBefore && shadowsNow && first != nullptr ) {
		goShadowMgr.AddCaster( this, first );
		first->mui3dObjState |= EF_3D_OBJ_SHADOW_CASTER;
	} else if ( shadowsBefore && !shadowsNow ) {
		goShadowMgr.RemoveCaster( this );
		if ( first != nullptr ) {
			first->mui3dObjState &= ~EF_3D_OBJ_SHADOW_CASTER;
		}
	}
	const bool receiverBefore = ( old & EF_LF_PROJECTOR_RECEIVER ) != 0;
	const bool receiverNow = ( flags & EF_LF_PROJECTOR_RECEIVER ) != 0;
	if ( !receiverBefore && receiverNow && first != nullptr ) {
		goProjectorMgr.AddReceiver( this, first );
	} else if ( receiverBefore && !receiverNow ) {
		goProjectorMgr.RemoveReceiver( this );
	}
	if ( ( flags & EF_LF_SKY_DOME ) != 0 && gpoWorldMgr != nullptr ) {
		gpoWorldMgr->muiSpecialObjectId = muiUID;
	}
	muiLogicFlags = flags;
}
