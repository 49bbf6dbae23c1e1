#include "framework/core/world/EFWorld.h"

#include "datatypes/maths/DTFrame.h"
#include "datatypes/waypoint/DTWpGrpMgr.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFObjectRetriever.h"
#include "framework/core/world/ObjectRetrieverParams.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/graphics/EFLight.h"
#include "framework/graphics/EFLightMgr.h"
#include "framework/graphics/effects/EFProjectorMgr.h"
#include "framework/graphics/effects/EFProjector.h"
#include "framework/graphics/effects/EFSprite.h"
#include "framework/graphics/effects/EFSpriteMgr.h"
#include "framework/graphics/particles/PLEmitter_BC.h"
#include "framework/graphics/particles/PLMgr.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicCode.h"
#include "framework/logic/EFLogicStack.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"
#include "graphics3d/core/RwMatrix.h"

EFWorld * gpoWorldMgr = nullptr;

namespace {

// Id kinds GetObjectPosData knows.
constexpr u32 KIND_INSTANCE_INDEX		= 0x00;
constexpr u32 KIND_SOUND				= 0x07;
constexpr u32 KIND_OWN_3D_OBJECT		= 0x0f;
constexpr u32 KIND_CAMERA				= 0x10;
constexpr u32 KIND_LIGHT				= 0x12;
constexpr u32 KIND_PROJECTOR			= 0x1d;
constexpr u32 KIND_EMITTER				= 0x2e;
constexpr u32 KIND_SPRITE				= 0x4c;
constexpr u32 KIND_GROUP_QUERY			= 0xff;

// Classes of the positioned instances an id of kind 0x07 or 0x0f may name:
// sound events and containers; 3D objects, water and ground-fog grids.
constexpr s32 SOUND_EVENT_CLASS_ID		= 23;
constexpr s32 SOUND_CONTAINER_CLASS_ID	= 89;

// Logic flags Pause sets or clears.
constexpr u32 PAUSE_LOGIC_FLAGS			= EF_LF_ANIMATION_PAUSED | EF_LF_PHYSICS_PAUSED | EF_LF_LOGIC_PAUSED | EF_LF_PAUSED;

// Clip operations that stop the hierarchy update.
constexpr u32 NO_HIERARCHY_OPS			= EF_CLIPOP_NO_ANIMATION | EF_CLIPOP_NO_HIERARCHY;

// The frame is re-normalised when its counter reaches this value.
constexpr u8 ORTHONORMALIZE_LAST		= 127;

bool IsSound( const EFInstance & instance ) {
	const s32 id = instance.GetClassID();
	return id == SOUND_EVENT_CLASS_ID || id == SOUND_CONTAINER_CLASS_ID;
}

bool IsDrawable( const EFInstance & instance ) {
	return EFGameObject::Is3dObjectClass( instance.GetClassID() );
}

bool RegistersLibrary( const EFGameObject & object ) {
	const EFLogicCode * const code = object.moLogicInstance.mpLogicCode;
	return code != nullptr && code->GetRegisterLib() != nullptr;
}

}

EFWorld::EFWorld()
	: muiSpecialObjectId( 0 ), mbPause( 0 ), mpoProximityCache( nullptr ), mpBuckets(), maSortEntries(),
	  muiSortEntryCount( 0 ), mpInvCameraMatrix( nullptr ), muiFrameCount( 0 ), moObjectList{ nullptr, nullptr, nullptr },
	  moDisabledObjectList{ nullptr, nullptr, nullptr },
	  mpListHeads() {
	gpoEFLightMgr = new EFLightMgr();
}

EFWorld::~EFWorld() {
	if ( gpoWorldMgr == this ) {
		gpoWorldMgr = nullptr;
	}
	delete gpoEFLightMgr;
	gpoEFLightMgr = nullptr;
	if ( mpInvCameraMatrix != nullptr ) {
		RwMatrixDestroy( mpInvCameraMatrix );
		mpInvCameraMatrix = nullptr;
	}
}

// --- Registry ---

void EFWorld::SetGameObjectEnabled( EFGameObject * object, const bool enabled ) {
	if ( object != nullptr ) {
		MLISTPushFront( enabled ? moObjectList : moDisabledObjectList, object->moLinkObj );
	}
}

EFGameObject * EFWorld::GetFirstDisabledGameObject() const {
	return moDisabledObjectList.pNext != nullptr ? moDisabledObjectList.pNext->GetData<EFGameObject>() : nullptr;
}

void EFWorld::AddGameObject( EFGameObject * object ) {
	if ( object == nullptr ) {
		return;
	}
	moObjectMap.Set( object->GetUID(), object );
	MLISTPushFront( moObjectList, object->moLinkObj );
}

void EFWorld::RemoveGameObject( const u32 id ) {
	ObjectMap::Node * const node = moObjectMap.Find( id );
	if ( node == nullptr ) {
		return;
	}
	MLISTUnlink( node->mValue->moLinkObj );
	moObjectMap.Remove( id );
}

void EFWorld::UnregisterObject( EFGameObject * object ) {
	const ObjectMap::Node * const node = moObjectMap.Find( object->GetUID() );
	// Another object registered later under the same id keeps its entry.
	if ( node != nullptr && node->mValue == object ) {
		moObjectMap.Remove( object->GetUID() );
	}
	MLISTUnlink( object->moLinkObj );
}

EFGameObject * EFWorld::FindGameObject( const u32 id ) const {
	const ObjectMap::Node * const node = moObjectMap.Find( id );
	return node != nullptr ? node->mValue : nullptr;
}

EFGameObject * EFWorld::GetFirstGameObject() const {
	return moObjectList.pNext != nullptr ? moObjectList.pNext->GetData<EFGameObject>() : nullptr;
}

EFGameObject * EFWorld::GetNextGameObject( const EFGameObject * object ) {
	if ( object == nullptr || object->moLinkObj.pNext == nullptr ) {
		return nullptr;
	}
	return object->moLinkObj.pNext->GetData<EFGameObject>();
}

EFGameObject * EFWorld::GetListHead( const u32 place ) const {
	return place < EF_WORLD_LIST_COUNT ? mpListHeads[place] : nullptr;
}

void EFWorld::RequestDeletion( EFGameObject * object ) {
	if ( object == nullptr ) {
		return;
	}
	// The last entry's link is null like that of an object on no list, so
	// membership is found by walking.
	EFGameObject *& head = mpListHeads[EF_WORLD_DELETION_LIST];
	for ( const EFGameObject * at = head; at != nullptr; at = at->mpGameObjectPipeLineList[EF_WORLD_DELETION_LIST] ) {
		if ( at == object ) {
			return;
		}
	}
	object->mpGameObjectPipeLineList[EF_WORLD_DELETION_LIST] = head;
	head = object;
}

// --- Lookups ---

EFGameObject * EFWorld::GetRunningGameObject() {
	if ( gpoLogicStack == nullptr ) {
		return nullptr;
	}
	const s32 level = gpoLogicStack->miCurStackLevel;
	if ( level <= 0 || level > EF_LOGIC_STACK_DEPTH ) {
		return nullptr;
	}
	return gpoLogicStack->mppGameObj[level - 1];
}

EFGameObject * EFWorld::GetGameObject( const u32 id, ObjectRetrieverParams * params ) {
	EFGameObject * object = nullptr;
	if ( id == EF_RUNNING_OBJECT_ID ) {
		object = GetRunningGameObject();
	} else if ( EFIdKind( id ) == KIND_GROUP_QUERY ) {
		// A caller's record keeps its cursor; without one the walk starts
		// afresh on a record of its own.
		ObjectRetrieverParams own = {};
		own.all.uiLastRetrieved = EF_RETRIEVER_START;
		EFObjectRetriever * const retriever = GetRetriever( id, params != nullptr ? params : &own );
		if ( retriever != nullptr ) {
			object = retriever->GetObject();
			DeleteRetriever( retriever );
		}
	} else {
		object = FindGameObject( id );
	}
	if ( object != nullptr && ( object->muiFlags & EF_INSTANCE_WITHDRAWN ) != 0 ) {
		return nullptr;
	}
	return object;
}

EFPosData * EFWorld::GetObjectPosData( const u32 id ) {
	switch ( EFIdKind( id ) ) {
	case KIND_INSTANCE_INDEX: {
		const EFGameObject * const running = GetRunningGameObject();
		if ( running == nullptr || running->mppEFInstance == nullptr || running->muiNbInstance <= 0 ||
			 id >= static_cast<u32>( running->muiNbInstance ) ) {
			return nullptr;
		}
		EFInstance * const instance = running->mppEFInstance[id];
		if ( instance == nullptr || EFIdKind( instance->GetUID() ) != KIND_SOUND || !IsSound( *instance ) ) {
			return nullptr;
		}
		EFPosData * const sound = static_cast<EFPosData *>( instance );
		return sound->GetFrame() != nullptr ? sound : nullptr;
	}
	case KIND_OWN_3D_OBJECT: {
		const EFGameObject * const running = GetRunningGameObject();
		if ( running == nullptr || running->mppEFInstance == nullptr ) {
			return nullptr;
		}
		for ( s32 i = 0; i < running->muiNbInstance; i++ ) {
			EFInstance * const instance = running->mppEFInstance[i];
			if ( instance != nullptr && instance->GetUID() == id ) {
				return IsDrawable( *instance ) ? static_cast<EFPosData *>( instance ) : nullptr;
			}
		}
		return nullptr;
	}
	case KIND_CAMERA:
		return gpoGraphicsMgr != nullptr ? gpoGraphicsMgr->GetCamera( id ) : nullptr;
	case KIND_LIGHT:
		return gpoEFLightMgr != nullptr ? gpoEFLightMgr->GetLight( id ) : nullptr;
	case KIND_PROJECTOR:
		return goProjectorMgr.GetProjector( id );
	case EF_KIND_GAME_OBJECT:
		return GetGameObject( id, nullptr );
	case KIND_EMITTER:
		return gpoPLParticleMgr != nullptr ? gpoPLParticleMgr->GetEmitter( static_cast<s32>( id ) ) : nullptr;
	case KIND_SPRITE:
		return goSpriteMgr.GetSprite( id );
	case KIND_GROUP_QUERY:
		return GetGameObject( id, nullptr );
	default:
		return nullptr;
	}
}

// --- Update ---

void EFWorld::UpdateAnimationList( const f32 dt ) {
	for ( EFGameObject * object = mpListHeads[EF_WORLD_ANIMATION_LIST]; object != nullptr;
		  object = object->mpGameObjectPipeLineList[EF_WORLD_ANIMATION_LIST] ) {
		object->moAnimationMgr.Update( dt );
		if ( ( object->moClipping.uiClipOps & NO_HIERARCHY_OPS ) == 0 ) {
			for ( u32 i = 0; i < object->muiNb3dObj; i++ ) {
				EF3dObj * const model = object->Get3dObject( i );
				if ( model != nullptr ) {
					model->UpdateHierarchy();
				}
			}
		}
		if ( object->mui8OrthonormalizeFrame == ORTHONORMALIZE_LAST ) {
			object->mui8OrthonormalizeFrame = 0;
			if ( object->mpFrame != nullptr ) {
				RwFrameOrthoNormalize( object->mpFrame->GetRwFrame() );
			}
		} else {
			object->mui8OrthonormalizeFrame++;
		}
	}
}

void EFWorld::DeleteRequestedObjects() {
	EFGameObject *& head = mpListHeads[EF_WORLD_DELETION_LIST];
	while ( head != nullptr ) {
		EFGameObject * const object = head;
		head = object->mpGameObjectPipeLineList[EF_WORLD_DELETION_LIST];
		object->mpGameObjectPipeLineList[EF_WORLD_DELETION_LIST] = nullptr;
		if ( gpoPhysicMgr != nullptr ) {
			gpoPhysicMgr->DestroyPhysic( object->mpoPhysic );
		}
		UnregisterObject( object );
		object->Terminate();
		delete object;
	}
}

void EFWorld::Update( const f32 dt ) {
	UpdateAnimationList( dt );
	if ( gpoGameLogicMgr != nullptr ) {
		gpoGameLogicMgr->GetNotificationMgr().FlushNotification();
	}
	if ( gpoGraphicsMgr != nullptr ) {
		gpoGraphicsMgr->GetTexFader().Update( dt );
	}
	if ( gpoPhysicMgr != nullptr ) {
		gpoPhysicMgr->Update( dt );
	}
	if ( gpoPLParticleMgr != nullptr ) {
		gpoPLParticleMgr->Update( dt );
	}
	DeleteRequestedObjects();
	muiFrameCount++;
	PrepareRender();
}

// --- Pause and level end ---

void EFWorld::Pause( const bool pause ) {
	const u8 state = pause ? 1 : 0;
	if ( state == mbPause ) {
		return;
	}
	mbPause = state;
	const ObjectMap::Node * node = moObjectMap.GetFirst();
	while ( node != nullptr ) {
		// Logic may add objects while it hears of the pause.
		const ObjectMap::Node * const next = moObjectMap.GetNext( node );
		PauseObject( *node->mValue, state );
		node = next;
	}
	// Then those a later object of the same id displaced from the map,
	// enabled or not: they are still the world's.
	MLIST * const lists[] = { &moObjectList, &moDisabledObjectList };
	for ( MLIST * const list : lists ) {
		MLIST * link = list->pNext;
		while ( link != nullptr ) {
			MLIST * const next = link->pNext;
			EFGameObject * const object = link->GetData<EFGameObject>();
			if ( FindGameObject( object->GetUID() ) != object ) {
				PauseObject( *object, state );
			}
			link = next;
		}
	}
}

void EFWorld::PauseObject( EFGameObject & object, const u8 state ) {
	if ( ( object.muiLogicFlags & EF_LF_PAUSE_SETS_BITS ) != 0 ) {
		object.SetLogicFlags( state != 0 ? ( object.muiLogicFlags | PAUSE_LOGIC_FLAGS )
										 : ( object.muiLogicFlags & ~PAUSE_LOGIC_FLAGS ) );
	}
	if ( ( object.muiLogicFlags & EF_LF_PAUSE_MESSAGE ) != 0 ) {
		object.moLogicInstance.SendMessage( EF_MSG_PAUSE, state, nullptr );
	}
}

void EFWorld::RemovePhysics() {
	// The list, not the map: it also holds objects displaced from the map
	// by a later object of the same id.
	for ( MLIST * link = moObjectList.pNext; link != nullptr; link = link->pNext ) {
		if ( link->GetData<EFGameObject>()->mpoPhysic != nullptr ) {
			link->GetData<EFGameObject>()->RequestPhysicDeletion();
		}
	}
	if ( gpoPhysicMgr != nullptr ) {
		gpoPhysicMgr->UpdateDeletedPhysic();
	}
	for ( MLIST * link = moObjectList.pNext; link != nullptr; link = link->pNext ) {
		link->GetData<EFGameObject>()->mpoPhysic = nullptr;
	}
	if ( gpoPhysicMgr != nullptr ) {
		gpoPhysicMgr->UpdateDeletedPhysic();
	}
}

EFGameObject * EFWorld::NextToTerminate( const bool skipLibraries ) const {
	for ( const ObjectMap::Node * node = moObjectMap.GetFirst(); node != nullptr; node = moObjectMap.GetNext( node ) ) {
		if ( !skipLibraries || !RegistersLibrary( *node->mValue ) ) {
			return node->mValue;
		}
	}
	// Then those a later object of the same id displaced from the map,
	// enabled or not: they are still the world's (holding frames and memory
	// of the level heap) and end with the rest.
	const MLIST * const lists[] = { &moObjectList, &moDisabledObjectList };
	for ( const MLIST * const list : lists ) {
		for ( const MLIST * link = list->pNext; link != nullptr; link = link->pNext ) {
			EFGameObject * const object = link->GetData<EFGameObject>();
			if ( !skipLibraries || !RegistersLibrary( *object ) ) {
				return object;
			}
		}
	}
	return nullptr;
}

void EFWorld::Terminate() {
	RemovePhysics();
	// Objects are looked for afresh after each deletion: a terminating
	// object's logic may take others with it.
	for ( EFGameObject * object = NextToTerminate( true ); object != nullptr; object = NextToTerminate( true ) ) {
		UnregisterObject( object );
		object->Terminate();
		delete object;
	}
	mpListHeads[EF_WORLD_DELETION_LIST] = nullptr;
	for ( EFGameObject * object = NextToTerminate( false ); object != nullptr; object = NextToTerminate( false ) ) {
		UnregisterObject( object );
		object->Terminate();
		delete object;
	}
	moObjectList.pNext = nullptr;
	moDisabledObjectList.pNext = nullptr;
	for ( EFGameObject *& head : mpListHeads ) {
		head = nullptr;
	}
	mpoProximityCache = nullptr;
	DTWpGrpMgr::moWpGrpMgr.RemoveAllWaypointGrp();
	if ( gpoPLParticleMgr != nullptr ) {
		gpoPLParticleMgr->Terminate();
	}
	if ( gpoEFLightMgr != nullptr ) {
		gpoEFLightMgr->Terminate();
	}
	EFWorld_SP::Terminate();
	if ( gpoPhysicMgr != nullptr ) {
		gpoPhysicMgr->Terminate();
	}
	muiSpecialObjectId = 0;
	mbPause = 0;
}

// --- Retrievers ---

EFObjectRetriever * EFWorld::GetRetriever( const u32 id, ObjectRetrieverParams * params ) const {
	return EFObjectRetriever::Create( id, params, moObjectMap );
}

void EFWorld::DeleteRetriever( EFObjectRetriever * retriever ) const {
	delete retriever;
}
