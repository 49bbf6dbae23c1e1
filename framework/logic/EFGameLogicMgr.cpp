#include "framework/logic/EFGameLogicMgr.h"

#include "datatypes/file/DTFile.h"
#include "datatypes/streamable/DTGlo.h"
#include "framework/core/save/EFLoadSaveMgr.h"
#include "framework/core/world/EFAllRetriever.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFInstanceFlags.h"
#include "framework/core/world/EFObjClipping.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/animation/EFAnimNode.h"
#include "framework/core/world/ObjectRetrieverParams.h"
#include "framework/logic/EFGameTimer.h"
#include "framework/logic/EFLogicCallbackRecord.h"
#include "framework/logic/EFLogicStack.h"
#include "framework/logic/api/LogicApiCons.h"

#include <cstdint>
#include <new>

EFGameLogicMgr * gpoGameLogicMgr = nullptr;
s32 giTimerCount = 0;

namespace {

// Top byte of the group query ids.
constexpr u32 KIND_GROUP_QUERY		= 0xFF;

}

EFGameLogicMgr::EFGameLogicMgr()
	: mpfnMessageHook( nullptr ), moTimerMap( TimerMap::DEFAULT_TABLE_SIZE ), mfDeltaTime( 0.0f ),
	  muiNextSpawnID( EF_FIRST_SPAWN_ID ), muiNextTimerID( EF_FIRST_TIMER_ID ), muiFirstPass( 1 ) {
	gpoGameLogicMgr = this;
	CreateTimer();
	Init_cons();
}

EFGameLogicMgr::~EFGameLogicMgr() {
	if ( gpoGameLogicMgr == this ) {
		gpoGameLogicMgr = nullptr;
	}
	// The animation nodes must not notify through a manager that is gone.
	if ( EFAnimNode::mpNotificationMgr == &moNotificationMgr ) {
		EFAnimNode::SetNotificationMgr( nullptr );
	}
	DeleteAllTimers( false );
}

u32 EFGameLogicMgr::Initialize() {
	return 1;
}

// --- Frame step ---

void EFGameLogicMgr::Update( const f32 dt ) {
	mfDeltaTime = dt;
	moNotificationMgr.NotifyAll( NO_PRELOGIC, nullptr );
	UpdateTimers( dt );
	UpdateObjects();
	moNotificationMgr.NotifyAll( NO_POSTLOGIC, nullptr );
}

void EFGameLogicMgr::UpdateTimers( const f32 dt ) {
	const u32 count = moTimerMap.GetCount();
	if ( moTimerWalk.GetCapacity() < count && !moTimerWalk.Reserve( count ) ) {
		DTPrintf( "GAME TIMERS: NO MEMORY TO WALK %u TIMERS!!!\n", count );
		return;
	}
	moTimerWalk.Resize( count );
	u32 taken = 0;
	for ( const TimerMap::Node * node = moTimerMap.GetFirst(); node != nullptr && taken < count;
		  node = moTimerMap.GetNext( node ) ) {
		moTimerWalk[taken++] = node->mKey;
	}
	for ( u32 i = 0; i < taken; i++ ) {
		// Logic run by an earlier timer may have destroyed this one.
		const TimerMap::Node * const node = moTimerMap.Find( moTimerWalk[i] );
		if ( node == nullptr ) {
			continue;
		}
		EFGameTimer * const timer = node->mValue;
		const EFGameObject * const owner = timer->mpGameObjectOwner;
		if ( timer->muiPaused != 0 ) {
			continue;
		}
		if ( owner != nullptr &&
			 ( ( owner->moClipping.uiClipOps & EF_CLIPOP_NO_TIMERS ) != 0 || ( owner->muiLogicFlags & EF_LF_PAUSED ) != 0 ) ) {
			continue;
		}
		timer->mfElapsed += dt;
		if ( timer->mfPeriod > 0.0f && timer->mfElapsed >= timer->mfPeriod ) {
			// One period a frame, however many have passed.
			timer->mfElapsed -= timer->mfPeriod;
			if ( owner != nullptr ) {
				const u32 id = timer->GetUID();
				timer->Notify( NO_TIMER, reinterpret_cast<void *>( static_cast<uintptr_t>( id ) ), false );
			}
		}
	}
}

void EFGameLogicMgr::UpdateObjects() {
	EFWorld * const world = gpoWorldMgr;
	if ( world == nullptr ) {
		return;
	}
	EFGameObject * object = world->GetListHead( EF_WORLD_LOGIC_LIST );
	if ( muiFirstPass == 0 && object != nullptr ) {
		while ( object != nullptr ) {
			UpdateLogic( object, nullptr );
			object = object->mpGameObjectPipeLineList[EF_WORLD_LOGIC_LIST];
		}
		return;
	}
	UpdateAllObjects( true );
	UpdateAllObjects( false );
	muiFirstPass = 0;
}

void EFGameLogicMgr::UpdateAllObjects( const bool logicFirst ) {
	ObjectRetrieverParams params = {};
	params.all.uiLastRetrieved = EF_RETRIEVER_START;
	EFAllRetriever retriever( &params, gpoWorldMgr->GetObjectMap() );
	for ( EFGameObject * object = retriever.GetObject(); object != nullptr; object = retriever.GetObject() ) {
		if ( ( ( object->muiLogicFlags & EF_LF_LOGIC_FIRST ) != 0 ) == logicFirst ) {
			UpdateLogic( object, nullptr );
		}
	}
}

s32 EFGameLogicMgr::UpdateLogic( EFGameObject * object, void * ) {
	if ( object == nullptr ) {
		return 0;
	}
	if ( ( object->muiFlags & EF_INSTANCE_WITHDRAWN ) != 0 ) {
		DestroyObject( object );
		return 0;
	}
	EFLogicStack::SetCurrentGameObject( object );
	object->moLogicInstance.Run( mfDeltaTime );
	return 0;
}

void EFGameLogicMgr::DestroyObject( EFGameObject * object ) {
	// Deleting here would pull the object from under the walk and leave it
	// on the lists the world update walks next: the world deletes it at
	// the end of its own update instead.
	if ( object == nullptr || object->mpoPhysic != nullptr || gpoWorldMgr == nullptr ) {
		return;
	}
	gpoWorldMgr->RequestDeletion( object );
}

// --- Messages and spawning ---

s32 EFGameLogicMgr::DeliverMessage( EFGameObject * object, const u32 message, const u32 parameter, void * data ) {
	EFGameObject * const owner = object->mpGameObjectOwner;
	if ( owner == nullptr ) {
		return 0;
	}
	EFLogicStack::SetCurrentGameObject( owner );
	return owner->moLogicInstance.SendMessage( message, parameter, data );
}

s32 EFGameLogicMgr::SendLogicMessageTo( const u32 target, const u32 message, const u32 parameter, void * data,
										ObjectRetrieverParams * params ) {
	if ( mpfnMessageHook != nullptr ) {
		mpfnMessageHook( target, message, parameter, data );
	}
	EFWorld * const world = gpoWorldMgr;
	if ( world == nullptr ) {
		return 0;
	}
	if ( EFIdKind( target ) != KIND_GROUP_QUERY ) {
		EFGameObject * const object = world->GetGameObject( target, nullptr );
		return object != nullptr ? DeliverMessage( object, message, parameter, data ) : 0;
	}
	ObjectRetrieverParams own = {};
	own.all.uiLastRetrieved = EF_RETRIEVER_START;
	EFObjectRetriever * const retriever = world->GetRetriever( target, params != nullptr ? params : &own );
	if ( retriever == nullptr ) {
		return 0;
	}
	s32 count = 0;
	for ( EFGameObject * object = retriever->GetObject(); object != nullptr; object = retriever->GetObject() ) {
		DeliverMessage( object, message, parameter, data );
		count++;
	}
	world->DeleteRetriever( retriever );
	return count;
}

s32 EFGameLogicMgr::ExecLogicCallback( void * record, void * data ) {
	const EFLogicCallbackRecord * const callback = static_cast<const EFLogicCallbackRecord *>( record );
	if ( callback == nullptr ) {
		return 0;
	}
	// The recorded object may have died since: only the object that its id
	// finds now, if it is still that one, is run. 1 drops a registration.
	EFGameObject * const object = callback->mpoGameObject;
	if ( object == nullptr || gpoWorldMgr == nullptr || gpoWorldMgr->FindGameObject( callback->muiObjectId ) != object ) {
		return 1;
	}
	EFLogicStack::SetCurrentGameObject( object );
	return object->moLogicInstance.CallCB( callback->muiFunction, data );
}

void EFGameLogicMgr::LaunchLogicNow( EFGameObject * object ) {
	if ( object == nullptr ) {
		return;
	}
	EFLogicStack::SetCurrentGameObject( object );
	object->moLogicInstance.Constructor();
}

u32 EFGameLogicMgr::LaunchLatant( const u32 latentId ) {
	const DTMap<u32, _EFLatant>::Node * const node = moLatentMap.Find( latentId );
	if ( node == nullptr || node->mValue.mpoGameObject == nullptr || gpoWorldMgr == nullptr ) {
		return 0;
	}
	EFGameObject * const copy = node->mValue.mpoGameObject->Duplicate();
	if ( copy == nullptr ) {
		DTPrintf( "LATENT %08X: NO MEMORY FOR A COPY!!!\n", latentId );
		return 0;
	}
	copy->SetUID( muiNextSpawnID++ );
	if ( node->mValue.mpoGlo != nullptr ) {
		copy->Initialize( *node->mValue.mpoGlo );
	}
	gpoWorldMgr->AddGameObject( copy );
	const u32 id = copy->GetUID();
	LaunchLogicNow( copy );
	return id;
}

bool EFGameLogicMgr::AddLatent( const u32 id, EFGameObject * object, DTGlo * record ) {
	DTMap<u32, _EFLatant>::Node * const node = moLatentMap.Find( id );
	if ( node == nullptr ) {
		return moLatentMap.Set( id, _EFLatant{ object, record } );
	}
	// What the new entry holds again is not kept twice.
	_EFLatant replaced = node->mValue;
	if ( replaced.mpoGameObject == object ) {
		replaced.mpoGameObject = nullptr;
	}
	if ( replaced.mpoGlo == record ) {
		replaced.mpoGlo = nullptr;
	}
	if ( ( replaced.mpoGameObject != nullptr || replaced.mpoGlo != nullptr ) && !moReplacedLatents.Append( replaced ) ) {
		return false;
	}
	node->mValue = _EFLatant{ object, record };
	return true;
}

// --- Timers ---

u32 EFGameLogicMgr::CreateTimer() {
	EFGameTimer * const timer = new ( std::nothrow ) EFGameTimer;
	if ( timer == nullptr ) {
		DTPrintf( "GAME TIMERS: NO MEMORY FOR A TIMER!!!\n" );
		return 0;
	}
	const u32 id = muiNextTimerID;
	timer->SetUID( id );
	if ( !moTimerMap.Set( id, timer ) ) {
		delete timer;
		DTPrintf( "GAME TIMERS: NO MEMORY FOR A TIMER!!!\n" );
		return 0;
	}
	muiNextTimerID++;
	return id;
}

void EFGameLogicMgr::RestartIds() {
	muiNextSpawnID = EF_FIRST_SPAWN_ID;
	// The first timer lives on.
	muiNextTimerID = EF_FIRST_TIMER_ID + 1;
}

void EFGameLogicMgr::DestroyTimer( const s32 id ) {
	// Ids are u32 keys: 0x90000000 arrives negative and must not widen.
	const u32 key = static_cast<u32>( id );
	const TimerMap::Node * const node = moTimerMap.Find( key );
	if ( node == nullptr ) {
		return;
	}
	delete node->mValue;
	moTimerMap.Remove( key );
}

EFGameTimer * EFGameLogicMgr::GetTimer( const s32 id ) const {
	const TimerMap::Node * const node = moTimerMap.Find( static_cast<u32>( id ) );
	return node != nullptr ? node->mValue : nullptr;
}

void EFGameLogicMgr::ForgetTimerOwner( const EFGameObject * owner ) {
	if ( owner == nullptr ) {
		return;
	}
	for ( const TimerMap::Node * node = moTimerMap.GetFirst(); node != nullptr; node = moTimerMap.GetNext( node ) ) {
		if ( node->mValue->mpGameObjectOwner == owner ) {
			node->mValue->mpGameObjectOwner = nullptr;
		}
	}
}

void EFGameLogicMgr::DeleteAllTimers( const bool keepFirst ) {
	TimerMap::Node * node = moTimerMap.GetFirst();
	while ( node != nullptr ) {
		TimerMap::Node * const next = moTimerMap.GetNext( node );
		const u32 id = node->mKey;
		if ( !keepFirst || id != EF_FIRST_TIMER_ID ) {
			delete node->mValue;
			moTimerMap.Remove( id );
		}
		node = next;
	}
}

// --- Level end ---

void EFGameLogicMgr::Terminate() {
	for ( DTMap<u32, _EFLatant>::Node * node = moLatentMap.GetFirst(); node != nullptr;
		  node = moLatentMap.GetNext( node ) ) {
		delete node->mValue.mpoGlo;
		delete node->mValue.mpoGameObject;
	}
	moLatentMap.RemoveAll();
	for ( u32 i = 0; i < moReplacedLatents.GetSize(); i++ ) {
		delete moReplacedLatents[i].mpoGlo;
		delete moReplacedLatents[i].mpoGameObject;
	}
	// Its array sits in the level heap, which is reset next.
	moReplacedLatents.Reserve( 0 );
	DeleteAllTimers( true );
	giTimerCount = 0;
	// The walk's array may sit in the level heap, which is reset next.
	moTimerWalk.Reserve( 0 );
	moCodeMap.DeleteAll();
	// The card queue outlives the level; the modules that set these
	// callbacks were just deleted.
	goLoadSaveMgr.SetErrorCallBack( nullptr );
	goLoadSaveMgr.SetCompleteCallBack( nullptr );
	moGameMemoryMgr.Terminate();
	muiFirstPass = 1;
	Stop_cons();
}
