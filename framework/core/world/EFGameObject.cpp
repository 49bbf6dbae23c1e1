#include "framework/core/world/EFGameObject.h"

#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "datatypes/maths/DTFrame.h"
#include "datatypes/streamable/DTGlo.h"
#include "datatypes/descriptor/DTHotSpotDescriptor.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/core/level/EFBaseIDescriptor.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/core/input/EFPlayerDeviceMgr.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/animation/EFAnimNode.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFSlideShow.h"
#include "framework/graphics/hud/EFHudMgr.h"
#include "framework/graphics/effects/EFFrameLender.h"
#include "framework/graphics/effects/EFProjectorMgr.h"
#include "framework/graphics/effects/EFProjectorMgr_BC.h"
#include "framework/graphics/effects/EFShadowMgr.h"
#include "framework/graphics/EFStatic3dObj.h"
#include "framework/graphics/particles/PLMgr.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicStack.h"
#include "graphics3d/core/RwFrame.h"

#include <cstring>
#include <new>

DT_IMPLEMENT_DYNAMIC_CLASS( EFGameObject, "EF_GLO", EF_GAME_OBJECT_CLASS_ID, IT_OBJECT );

u8 EFGameObject::msui8OrthonormalizeFrameBase = 0;

namespace {

// Objects re-normalise their frame once every this many world updates.
constexpr u8 ORTHONORMALIZE_PERIOD		= 128;

// Result of a load that could not even allocate its record.
constexpr s32 NO_MEMORY_FOR_RECORD		= -1;

// Classes of the animation nodes a descriptor may make.
bool IsNodeClass( const s32 id ) {
	return id == 74 || id == 81 || id == 83 || id == 84;
}

// Classes of the instance descriptors.
bool IsDescriptorClass( const s32 id ) {
	switch ( id ) {
	case 2: case 3: case 6: case 7: case 8: case 11: case 12:
	case 51: case 55: case 75: case 77: case 85: case 88:
	case 92: case 93:
		return true;
	default:
		return false;
	}
}

// Default shadow settings of a new object.
constexpr _ShadowParams DEFAULT_SHADOWS = {
	2,			// uiFlags
	0,			// uiDefaultLod
	0.2f,		// fDropDownAlpha
	2.0f,		// fDropDownReachDistance
	1.0f,		// fDropDownScale
	128,		// uiDropDownResolution
	0x7FFFFFFF,	// uiDropDownJoint: the object's own frame
	0.2f,		// fCastedAlpha
	4.0f,		// fCastedReachDistance
	128,		// uiCastedResolution
	1.0f,		// fCastedFadeStartRatio
};

constexpr f32 DEFAULT_CLIP_THRESHOLD	= 0.5f;
constexpr f32 DEFAULT_CLIP_DISTANCE		= -1.0f;

EFObjClipping DefaultClipping() {
	EFObjClipping clipping = {};
	clipping.clipParams.fThreshold = DEFAULT_CLIP_THRESHOLD;
	for ( EFClippingDistance & band : clipping.clipParams.oDists ) {
		band = { DEFAULT_CLIP_DISTANCE, EF_CLIPOP_DEFAULT_OUT, 0 };
	}
	return clipping;
}

}

EFGameObject::EFGameObject()
	: muiUtilFlag( 1 ), muiOldClipFlags( 0 ), moNewSoundMgr( this ), muiNb3dObj( 0 ),
	  muiClipTests( EF_CLIPTEST_FORCE_NOTIFY ), moClipping( DefaultClipping() ), moProximityClipping(), muiGroupID( 0 ),
	  muiGroupMask( 1 ), muiLogicFlags( EF_LF_DEFAULT ), mpGameObjectPipeLineList(), mppEFInstance( nullptr ),
	  muiNbInstance( 0 ), mShadowData( DEFAULT_SHADOWS ), mpMagicDataBlock( nullptr ), muiMagicDataSize( 0 ),
	  moLinkObj{ nullptr, nullptr, this }, mui8OrthonormalizeFrame( msui8OrthonormalizeFrameBase ),
	  mbOwnedElsewhere( false ) {
	mpGameObjectOwner = this;
	msui8OrthonormalizeFrameBase = static_cast<u8>( ( msui8OrthonormalizeFrameBase + 1 ) % ORTHONORMALIZE_PERIOD );
}

EFGameObject::~EFGameObject() {
	moNewSoundMgr.DeleteAllSoundReferences();
	if ( gpoGameLogicMgr != nullptr ) {
		gpoGameLogicMgr->GetNotificationMgr().UnregisterAllOwnerNotify( muiUID );
		gpoGameLogicMgr->ForgetTimerOwner( this );
	}
	// Controllers report their errors to a raw pointer.
	if ( gpoPlayerDeviceMgr != nullptr ) {
		gpoPlayerDeviceMgr->ForgetInputErrorInstance( this );
	}
	// So does the slide show it is to tell when ready.
	if ( EFSlideShow::poSlideShow != nullptr && EFSlideShow::poSlideShow->mpoNotified == this ) {
		EFSlideShow::SetGameObj( nullptr );
	}
	RemoveAllChildren( EF_DETACH_RESET );
	LeaveParent( EF_DETACH_RESET );
	moAnimationMgr.Terminate();
	MMFree( mpMagicDataBlock );
	mpMagicDataBlock = nullptr;
	muiMagicDataSize = 0;
	for ( s32 i = muiNbInstance - 1; i >= 0; i-- ) {
		EFInstance * const instance = mppEFInstance[i];
		if ( instance != nullptr ) {
			instance->Terminate();
			delete instance;
		}
	}
	delete[] mppEFInstance;
	mppEFInstance = nullptr;
	muiNbInstance = 0;
	MLISTUnlink( moLinkObj );
}

s32 EFGameObject::GetClassID() const {
	return EF_GAME_OBJECT_CLASS_ID;
}

const char * EFGameObject::GetClassName() const {
	return "EF_GLO";
}

bool EFGameObject::IsOwnedElsewhere() const {
	return mbOwnedElsewhere;
}

EFBaseIDescriptor * EFGameObject::AsDescriptor( DTStreamable * element ) {
	if ( element == nullptr || !IsDescriptorClass( element->GetClassID() ) ) {
		return nullptr;
	}
	EFBaseIDescriptor * const descriptor = static_cast<EFBaseIDescriptor *>( element );
	if ( EFIdKind( descriptor->GetDescriptor()->GetUID() ) == EF_KIND_HOT_SPOT ) {
		return nullptr;
	}
	return descriptor;
}

DTHotSpotDescriptor * EFGameObject::AsHotSpot( DTStreamable * element ) {
	if ( element == nullptr || element->GetClassID() != DT_HOT_SPOT_CLASS_ID ||
		 EFIdKind( element->GetUID() ) != EF_KIND_HOT_SPOT ) {
		return nullptr;
	}
	return static_cast<DTHotSpotDescriptor *>( element );
}

s32 EFGameObject::LoadFromStream( DTBasePersistStream & stream ) {
	DTGlo * const record = new ( std::nothrow ) DTGlo( this );
	if ( record == nullptr ) {
		return NO_MEMORY_FOR_RECORD;
	}
	const s32 result = record->Load( stream );
	if ( result != DT_PERSIST_OK ) {
		// Half-read descriptors are not built: the object stays inert.
		delete record;
		return result;
	}
	muiUID = record->GetUID();
	CreateInstances( *record );
	moLogicInstance.mpLogicCode = gpoGameLogicMgr != nullptr ? gpoGameLogicMgr->GetLogicCode( record->mui32GloID ) : nullptr;
	if ( ( muiUID & EF_ID_LATENT ) == 0 ) {
		Initialize( *record );
		if ( gpoWorldMgr != nullptr ) {
			gpoWorldMgr->AddGameObject( this );
			mbOwnedElsewhere = true;
		}
		delete record;
		return DT_PERSIST_OK;
	}
	if ( gpoGameLogicMgr != nullptr && gpoGameLogicMgr->AddLatent( muiUID, this, record ) ) {
		mbOwnedElsewhere = true;
	} else {
		delete record;
	}
	return DT_PERSIST_OK;
}

void EFGameObject::CreateInstances( DTGlo & record ) {
	DTDynamicPropertyContainer & list = record.moDescriptorsList;
	const u32 count = list.GetCount();
	if ( count == 0 || mppEFInstance != nullptr ) {
		return;
	}
	mppEFInstance = new ( std::nothrow ) EFInstance *[count]();
	if ( mppEFInstance == nullptr ) {
		return;
	}
	muiNbInstance = static_cast<s32>( count );

	u32 nodes = 0;
	for ( u32 i = 0; i < count; i++ ) {
		const EFBaseIDescriptor * const descriptor = AsDescriptor( list.GetAt( i ) );
		if ( descriptor == nullptr || !IsNodeClass( descriptor->GetInstanceCLSID() ) ) {
			continue;
		}
		if ( nodes == 0 ) {
			moAnimationMgr.muiBaseIndex = i;
		}
		nodes++;
	}
	if ( nodes != 0 ) {
		moAnimationMgr.CreateTable( nodes );
	}

	u32 nextAnim = 0;
	for ( u32 i = 0; i < count; i++ ) {
		mppEFInstance[i] = nullptr;
		DTStreamable * const element = list.GetAt( i );
		DTHotSpotDescriptor * const hotSpot = AsHotSpot( element );
		if ( hotSpot != nullptr ) {
			InitHotspot( hotSpot );
			continue;
		}
		EFBaseIDescriptor * const descriptor = AsDescriptor( element );
		if ( descriptor == nullptr ) {
			continue;
		}
		if ( IsNodeClass( descriptor->GetInstanceCLSID() ) ) {
			EFAnimNode * const node = descriptor->CreateNode();
			if ( node == nullptr ) {
				continue;
			}
			node->mpGameObjectOwner = this;
			node->muiIndex = i;
			if ( !moAnimationMgr.AddAnim( node, nextAnim ) ) {
				delete node;
				continue;
			}
			nextAnim++;
			continue;
		}
		EFInstance * const instance = descriptor->CreateObjectInstance();
		if ( instance == nullptr ) {
			continue;
		}
		instance->mpGameObjectOwner = this;
		mppEFInstance[i] = instance;
		// Grids count as 3D objects; like them they belong in the first
		// places of the list, where Get3dObject finds them.
		if ( Is3dObjectClass( instance->GetClassID() ) ) {
			muiNb3dObj++;
		}
	}
}

void EFGameObject::InitializeFrame( const DTGlo & record ) {
	if ( mpFrame != nullptr ) {
		RwFrameSetIdentity( &mpFrame->moFrame );
	} else if ( CreateFrame( nullptr ) == nullptr ) {
		return;
	}
	RwFrame * const frame = &mpFrame->moFrame;
	frame->modelling.pos = { 0.0f, 0.0f, 0.0f };
	const RwV3d position = { record.oPosition.x, record.oPosition.y, record.oPosition.z };
	RwFrameTranslate( frame, &position, rwCOMBINEPOSTCONCAT );
	frame->modelling.right = { record.oLookRight.x, record.oLookRight.y, record.oLookRight.z };
	frame->modelling.up = { record.oLookUp.x, record.oLookUp.y, record.oLookUp.z };
	frame->modelling.at = { record.oLookAt.x, record.oLookAt.y, record.oLookAt.z };
	RwFrameUpdateObjects( frame );
}

void EFGameObject::CopyMagicData( const DTGlo & record ) {
	MMFree( mpMagicDataBlock );
	mpMagicDataBlock = nullptr;
	muiMagicDataSize = record.moMagicData.GetSize();
	if ( muiMagicDataSize == 0 ) {
		return;
	}
	mpMagicDataBlock = MMMalloc( muiMagicDataSize );
	if ( mpMagicDataBlock == nullptr ) {
		muiMagicDataSize = 0;
		return;
	}
	const u8 * const block = record.moMagicData.GetBlock();
	if ( block != nullptr ) {
		std::memcpy( mpMagicDataBlock, block, muiMagicDataSize );
	} else {
		std::memset( mpMagicDataBlock, 0, muiMagicDataSize );
	}
}

void EFGameObject::InitializeNodes( DTGlo & record ) {
	moAnimationMgr.muiOwnerId = muiUID;
	for ( u32 j = 0; j < moAnimationMgr.muiNbAnims; j++ ) {
		EFAnimNode * const node = moAnimationMgr.GetAnim( j );
		if ( node == nullptr ) {
			continue;
		}
		// The node's own place in the descriptor list: nodes need not
		// follow each other there.
		EFBaseIDescriptor * const descriptor = AsDescriptor( record.moDescriptorsList.GetAt( node->muiIndex ) );
		if ( descriptor == nullptr ) {
			continue;
		}
		EFInstance * const reference =
			ResolveRefPUID( record, static_cast<u32>( descriptor->GetDescriptor()->uiReferencePUID ) );
		node->mpGameObjectOwner = this;
		descriptor->InitialiseNode( node, reference );
	}
}

void EFGameObject::AddShadowCasters() {
	for ( u32 i = 0; i < muiNb3dObj; i++ ) {
		EF3dObj * const model = Get3dObject( i );
		if ( model != nullptr ) {
			goShadowMgr.AddCaster( this, model );
			model->mui3dObjState |= EF_3D_OBJ_SHADOW_CASTER;
		}
	}
}

void EFGameObject::AddProjectorReceivers() {
	for ( u32 i = 0; i < muiNb3dObj; i++ ) {
		EF3dObj * const model = Get3dObject( i );
		if ( model != nullptr ) {
			goProjectorMgr.AddReceiver( this, model );
		}
	}
}

void EFGameObject::Initialize( DTGlo & record ) {
	InitializeFrame( record );
	CopyMagicData( record );
	muiLogicFlags |= record.muiGameObjectFlags;
	mShadowData.uiFlags = record.muiShadowsFlags;

	for ( s32 i = 0; i < muiNbInstance; i++ ) {
		EFInstance * const instance = mppEFInstance[i];
		EFBaseIDescriptor * const descriptor = AsDescriptor( record.moDescriptorsList.GetAt( static_cast<u32>( i ) ) );
		if ( instance == nullptr || descriptor == nullptr ) {
			continue;
		}
		descriptor->GetDescriptor()->uiReferencePUID = EF_NO_PUID;
		instance->mpGameObjectOwner = this;
		descriptor->InitializeObjectInstance( instance, nullptr );
	}
	if ( ( muiLogicFlags & EF_LF_SKY_DOME ) == 0 ) {
		AddInstancesToWorld();
	}
	InitializeNodes( record );
	if ( ( muiLogicFlags & EF_LF_LIT ) == 0 ) {
		for ( u32 i = 0; i < muiNb3dObj; i++ ) {
			EF3dObj * const model = Get3dObject( i );
			if ( model != nullptr ) {
				model->LightObject( 0 );
			}
		}
	}
	if ( ( muiLogicFlags & EF_LF_SHADOWS ) != 0 ) {
		AddShadowCasters();
	}
	if ( ( muiLogicFlags & EF_LF_PROJECTOR_RECEIVER ) != 0 ) {
		AddProjectorReceivers();
	}
	if ( ( muiLogicFlags & EF_LF_SKY_DOME ) != 0 && gpoWorldMgr != nullptr ) {
		gpoWorldMgr->muiSpecialObjectId = muiUID;
	}
	// The band is picked by the node count, which may lie past the bands.
	if ( ( muiLogicFlags & EF_LF_LOGIC_FIRST ) != 0 && moAnimationMgr.muiNbAnims < EF_CLIP_DISTANCE_COUNT ) {
		moClipping.clipParams.oDists[moAnimationMgr.muiNbAnims].uiOutFrustClipOps = 0;
	}
}

void EFGameObject::AddInstancesToWorld() {
	for ( s32 i = 0; i < muiNbInstance; i++ ) {
		EFInstance * const instance = mppEFInstance[i];
		if ( instance == nullptr || instance->GetClassID() != EF_3D_OBJ_CLASS_ID ) {
			continue;
		}
		EF3dObj * const model = static_cast<EF3dObj *>( instance );
		if ( muiNb3dObj == 1 ) {
			if ( gpoWorldMgr != nullptr ) {
				gpoWorldMgr->Add3dObj( model );
			}
		} else if ( gpoHudMgr != nullptr ) {
			gpoHudMgr->Add3dObj( model );
		}
	}
}

void EFGameObject::RemoveInstancesFromWorld() {
	for ( s32 i = 0; i < muiNbInstance; i++ ) {
		EFInstance * const instance = mppEFInstance[i];
		if ( instance == nullptr || instance->GetClassID() != EF_3D_OBJ_CLASS_ID ) {
			continue;
		}
		EF3dObj * const model = static_cast<EF3dObj *>( instance );
		if ( muiNb3dObj == 1 ) {
			if ( gpoWorldMgr != nullptr ) {
				gpoWorldMgr->Remove3dObj( model );
			}
		} else if ( gpoHudMgr != nullptr ) {
			gpoHudMgr->Remove3dObj( model );
		}
	}
}

EFInstance * EFGameObject::ResolveRefPUID( DTGlo & record, const u32 id ) {
	// -1 refers to nothing; it must not match a descriptor without a
	// resource.
	if ( id == static_cast<u32>( EF_NO_PUID ) ) {
		return nullptr;
	}
	DTDynamicPropertyContainer & list = record.moDescriptorsList;
	for ( u32 i = 0; i < list.GetCount(); i++ ) {
		EFBaseIDescriptor * const descriptor = AsDescriptor( list.GetAt( i ) );
		if ( descriptor == nullptr || static_cast<u32>( descriptor->GetDescriptor()->uiInstancePUID ) != id ) {
			continue;
		}
		return i < static_cast<u32>( muiNbInstance ) ? mppEFInstance[i] : nullptr;
	}
	if ( EFIdKind( id ) == EF_KIND_STATIC_3D_OBJECT && gpoWorldMgr != nullptr ) {
		return gpoWorldMgr->GetStatic3dObj();
	}
	return nullptr;
}

void EFGameObject::Terminate() {
	if ( gpoLogicStack != nullptr && gpoLogicStack->miCurStackLevel >= 0 &&
		 gpoLogicStack->miCurStackLevel < EF_LOGIC_STACK_DEPTH ) {
		gpoLogicStack->mppGameObj[gpoLogicStack->miCurStackLevel] = this;
	}
	moLogicInstance.Destructor();
	if ( gpoTestCamera != nullptr ) {
		gpoTestCamera->Begin();
		gpoTestCamera->End();
	}
	if ( gpoPLParticleMgr != nullptr ) {
		gpoPLParticleMgr->DestroyAttachedEmitters( muiUID );
	}
	EFReleaseFrameLender( muiUID );
	if ( ( muiLogicFlags & EF_LF_SKY_DOME ) == 0 ) {
		RemoveInstancesFromWorld();
	}
	if ( ( muiLogicFlags & EF_LF_SHADOWS ) != 0 ) {
		goShadowMgr.RemoveCaster( this );
		EF3dObj * const model = Get3dObject( 0 );
		if ( model != nullptr ) {
			model->mui3dObjState &= ~EF_3D_OBJ_SHADOW_CASTER;
		}
	}
	if ( ( muiLogicFlags & EF_LF_PROJECTOR_RECEIVER ) != 0 ) {
		goProjectorMgr.RemoveReceiver( this );
	}
}
