#include "framework/graphics/animation/EFTextureAnimNode.h"

#include "datatypes/descriptor/DTTextureAnimationDescriptor.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "framework/graphics/EFStatic3dObj.h"
#include "framework/graphics/ApAtomicDataPlugin.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/animation/EFTextureAnimRes.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpMaterial.h"
#include "graphics3d/world/RpMaterialList.h"
#include "graphics3d/world/RpWorld.h"

#include <cstring>
#include <new>

DT_IMPLEMENT_DYNAMIC_CLASS( EFTextureAnimNode, "EF_TEXT_ANIM_NODE", EF_TEXTURE_ANIM_NODE_CLASS_ID, IT_ANIM_NODE );

namespace {

RpMaterial * FirstNamed( const RpMaterialList & list, const char * name ) {
	for ( s32 i = 0; i < list.numMaterials; i++ ) {
		RpMaterial * const material = list.materials[i];
		if ( material != nullptr && material->texture != nullptr && std::strcmp( material->texture->name, name ) == 0 ) {
			return material;
		}
	}
	return nullptr;
}

struct AtomicSearch {
	EFTextureAnimNode *	node;
	const char *		name;
};

RpAtomic * StoreMaterial( RpAtomic * atomic, void * data ) {
	AtomicSearch & search = *static_cast<AtomicSearch *>( data );
	const u32 lod = ApGetAtomicLod( atomic );
	// Levels past the node's three are not animated.
	if ( atomic->geometry == nullptr || lod >= EF_TEXT_ANIM_LEVELS ) {
		return atomic;
	}
	if ( RpMaterial * const material = FirstNamed( atomic->geometry->matList, search.name ) ) {
		search.node->mpMaterial[lod] = material;
	}
	return atomic;
}

}

EFTextureAnimNode::EFTextureAnimNode()
	: mpSLLNext( nullptr ), mpMaterial{}, mpOriginalTexture( nullptr ), muiCurrentKeyIndex( 0 ), muiAnimatedObjCLSID( 0 ) {
}

EFTextureAnimNode::~EFTextureAnimNode() {
	if ( muiAnimatedObjCLSID == EF_TEXT_ANIM_STATIC_WORLD && mpMaterial[0] != nullptr && mpOriginalTexture != nullptr ) {
		RpMaterialSetTexture( mpMaterial[0], mpOriginalTexture );
	}
}

EFAnimNode * EFTextureAnimNode::ShallowCopy() {
	return CopyInto( new ( std::nothrow ) EFTextureAnimNode );
}

const EFTextureAnimRes * EFTextureAnimNode::GetTextureRes() const {
	if ( mpAnimRes == nullptr || mpAnimRes->GetClassID() != EF_TEXTURE_ANIM_RES_CLASS_ID ) {
		return nullptr;
	}
	return static_cast<const EFTextureAnimRes *>( mpAnimRes );
}

bool EFTextureAnimNode::Initialize( DTCreationParameters * params ) {
	if ( params == nullptr ) {
		return false;
	}
	// Class 84 is made only by the descriptor of a texture animation.
	const DTTextureAnimationDescriptor * const descriptor =
		static_cast<const DTTextureAnimationDescriptor *>( params->mpoDescriptor );
	const char * const name = descriptor != nullptr ? descriptor->moTextureFileName.GetStr() : nullptr;
	RwTexDictionary * const dictionary = RwTexDictionaryGetCurrent();
	mpOriginalTexture = name != nullptr && dictionary != nullptr ? RwTexDictionaryFindNamedTexture( dictionary, name ) : nullptr;
	if ( params->mpoExtraCreationParams != nullptr ) {
		ConnectInstance( static_cast<EFInstance *>( params->mpoExtraCreationParams ) );
	}
	muiGroup = 0;
	const EFTextureAnimRes * const res = GetTextureRes();
	mfDuration = res != nullptr ? res->GetDuration() : 0.0f;
	return true;
}

void EFTextureAnimNode::Connect( EFPosData * target ) {
	ConnectInstance( target );
}

void EFTextureAnimNode::ConnectInstance( EFInstance * target ) {
	if ( target == nullptr || mpOriginalTexture == nullptr ) {
		return;
	}
	const char * const name = mpOriginalTexture->name;
	switch ( target->GetUID() >> 24 ) {
	case EF_TEXT_ANIM_STATIC_WORLD: {
		const RpWorld * const world = static_cast<EFStatic3dObj *>( target )->GetWorld();
		RpMaterial * const material = world != nullptr ? FirstNamed( world->matList, name ) : nullptr;
		if ( material != nullptr ) {
			mpMaterial[0] = material;
			muiAnimatedObjCLSID = EF_TEXT_ANIM_STATIC_WORLD;
			mpOriginalTexture = material->texture;
		}
		break;
	}
	case EF_TEXT_ANIM_3D_OBJECT: {
		EF3dObj * const object = static_cast<EF3dObj *>( target );
		if ( object->mpClump == nullptr ) {
			break;
		}
		AtomicSearch search = { this, name };
		RpClumpForAllAtomics( object->mpClump, &StoreMaterial, &search );
		for ( RpMaterial * const material : mpMaterial ) {
			if ( material != nullptr ) {
				muiAnimatedObjCLSID = EF_TEXT_ANIM_3D_OBJECT;
				mp3dObj = object;
				mpOriginalTexture = material->texture;
				break;
			}
		}
		break;
	}
	default:
		break;
	}
}

void EFTextureAnimNode::Play( const u32 flags, const f32 time ) {
	if ( muiAnimatedObjCLSID == 0 ) {
		return;
	}
	EFAnimNode::Play( flags, time );
	if ( muiAnimatedObjCLSID == EF_TEXT_ANIM_3D_OBJECT && mp3dObj != nullptr ) {
		DTSimpleLinkList<EFTextureAnimNode> & list = mp3dObj->mpPlayingTextAnim;
		mpSLLNext = list.mpFirst;
		list.mpFirst = this;
		if ( list.mpLast == nullptr ) {
			list.mpLast = this;
		}
	}
	muiCurrentKeyIndex = 0;
}

RwTexture * EFTextureAnimNode::GetCurrentTexture() const {
	const EFTextureAnimRes * const res = GetTextureRes();
	if ( res == nullptr || muiCurrentKeyIndex >= res->muiNbKeys || res->mpKeys[muiCurrentKeyIndex].mpTexture == nullptr ) {
		return mpOriginalTexture;
	}
	return res->mpKeys[muiCurrentKeyIndex].mpTexture;
}

f32 EFTextureAnimNode::Update( const f32 dt, DTWorkMemory & ) {
	AdvanceTime( dt );
	const EFTextureAnimRes * const res = GetTextureRes();
	const u32 count = res != nullptr ? res->muiNbKeys : 0;
	if ( count != 0 ) {
		u32 key = ( muiAnimState & AS_WRAPPED ) != 0 ? 0 : muiCurrentKeyIndex;
		// The search stops at the last key.
		while ( key + 1 < count && mfCurrentTime > res->mpKeys[key].mfEndTime ) {
			key++;
		}
		muiCurrentKeyIndex = key < count ? key : count - 1;
	}
	if ( muiAnimatedObjCLSID == EF_TEXT_ANIM_STATIC_WORLD && mpMaterial[0] != nullptr ) {
		RpMaterialSetTexture( mpMaterial[0], GetCurrentTexture() );
	}
	EndTest();
	return 0.0f;
}

bool EFTextureAnimNode::Stop() {
	if ( muiAnimState == AS_STOPPED ) {
		return false;
	}
	LeaveParent();
	if ( muiAnimatedObjCLSID == EF_TEXT_ANIM_3D_OBJECT && mp3dObj != nullptr ) {
		DTSimpleLinkList<EFTextureAnimNode> & list = mp3dObj->mpPlayingTextAnim;
		EFTextureAnimNode * previous = nullptr;
		for ( EFTextureAnimNode * node = list.mpFirst; node != nullptr; previous = node, node = node->mpSLLNext ) {
			if ( node != this ) {
				continue;
			}
			if ( previous != nullptr ) {
				previous->mpSLLNext = mpSLLNext;
			} else {
				list.mpFirst = mpSLLNext;
			}
			if ( list.mpLast == this ) {
				list.mpLast = previous;
			}
			break;
		}
		mpSLLNext = nullptr;
	}
	return EFAnimNode::Stop();
}

void EFTextureAnimNode::ApplyText( const u32 lod ) {
	if ( muiAnimatedObjCLSID == EF_TEXT_ANIM_3D_OBJECT && lod < EF_TEXT_ANIM_LEVELS && mpMaterial[lod] != nullptr ) {
		RpMaterialSetTexture( mpMaterial[lod], GetCurrentTexture() );
	}
}

void EFTextureAnimNode::RestoreText( const u32 lod ) {
	if ( muiAnimatedObjCLSID == EF_TEXT_ANIM_3D_OBJECT && lod < EF_TEXT_ANIM_LEVELS && mpMaterial[lod] != nullptr ) {
		RpMaterialSetTexture( mpMaterial[lod], mpOriginalTexture );
	}
}
