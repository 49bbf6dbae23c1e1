#include "framework/physics/EFPhysicMgr.h"

#include "framework/core/world/EFPhysicData.h"
#include "framework/physics/EFCollisionMap.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicModule.h"

#include <new>

EFPhysicMgr * gpoPhysicMgr = nullptr;

// The manager publishes itself; the query mark is constant-initialised, so
// the two may be built in any order.
u32 EFPhysicMgr::msui32GetPrimCount = 0;
EFPhysicMgr EFPhysicMgr::moPhysicMgr;

namespace {

// Serials run from 1 to 65535 and wrap to 1.
constexpr u32 SERIAL_MASK	= 0xFFFF;
constexpr u32 SLOT_SHIFT	= 16;

}

EFPhysicMgr::EFPhysicMgr()
	: maModuleSlots(), mui32ModuleCursor( 0 ), mui32ModuleCount( 0 ), mpoMapList( nullptr ), maPhysicList(),
	  mui32FrameNumber( 0 ), mui32FlaggedFrames( 0 ), mui32PreviousFrameFlag( 0 ), mui32FrameFlag( 0 ), moReportPool(),
	  moPushPool(), moContactPool(), mui32Reserved( 0 ), mpu8WorkStart( nullptr ), mpu8WorkCursor( nullptr ),
	  mpu8WorkEnd( nullptr ), mui32WorkHighWater( 0 ), mbPoolDryReported( 0 ) {
	gpoPhysicMgr = this;
}

EFPhysicMgr::~EFPhysicMgr() {
	ReleasePools();
	if ( gpoPhysicMgr == this ) {
		gpoPhysicMgr = nullptr;
	}
}

EFPhysic * EFPhysicMgr::CreatePhysic( EFPhysicData * owner, const u32 list ) {
	if ( list >= EF_PHYSIC_LIST_COUNT ) {
		return nullptr;
	}
	EFPhysic * const body = new ( std::nothrow ) EFPhysic( owner, 0 );
	if ( body == nullptr ) {
		return nullptr;
	}
	MLISTPushFront( maPhysicList[list], body->moPhysicNode );
	return body;
}

void EFPhysicMgr::DeletePhysic( EFPhysic * body ) {
	if ( body == nullptr ) {
		return;
	}
	body->mui32PhysicFlags |= EF_PHYSIC_DISABLED | EF_PHYSIC_DELETED;
	body->NormalizeFlags();
}

void EFPhysicMgr::Destroy( EFPhysic * body ) {
	MLISTUnlink( body->moPhysicNode );
	EFPhysicData * const owner = body->GetOwner();
	if ( owner != nullptr && owner->mpoPhysic == body ) {
		owner->mpoPhysic = nullptr;
	}
	delete body;
}

void EFPhysicMgr::DestroyPhysic( EFPhysic * body ) {
	if ( body != nullptr ) {
		Destroy( body );
	}
}

void EFPhysicMgr::UpdateDeletedPhysic() {
	for ( MLIST & head : maPhysicList ) {
		MLIST * link = head.pNext;
		while ( link != nullptr ) {
			MLIST * const next = link->pNext;
			EFPhysic * const body = link->GetData<EFPhysic>();
			if ( ( body->mui32PhysicFlags & EF_PHYSIC_DELETED ) != 0 ) {
				Destroy( body );
			}
			link = next;
		}
	}
}

void EFPhysicMgr::Terminate() {
	while ( mpoMapList != nullptr ) {
		EFCollisionMap * const map = mpoMapList;
		mpoMapList = map->mpoNextMap;
		delete map;
	}
	for ( MLIST & head : maPhysicList ) {
		while ( head.pNext != nullptr ) {
			Destroy( head.pNext->GetData<EFPhysic>() );
		}
	}
	mui32FlaggedFrames = 0;
	mui32PreviousFrameFlag = 0;
	mui32FrameFlag = 0;
}

u32 EFPhysicMgr::AddMap( EFCollisionMap * map ) {
	map->mpoNextMap = mpoMapList;
	mpoMapList = map;
	return 1;
}

u32 EFPhysicMgr::GetPrimitivesInSphere( EFGetPrimitivesInSphereData * query ) {
	msui32GetPrimCount++;
	u32 found = 0;
	for ( EFCollisionMap * map = mpoMapList; map != nullptr; map = map->mpoNextMap ) {
		found += map->GetPrimitivesInSphere( query );
	}
	return found;
}

RayIntersectResult EFPhysicMgr::RayIntersect( const RayIntersectIn & in, EFRayIntersectOut & out ) {
	msui32GetPrimCount++;
	f32 t = 1.0f;
	RayIntersectResult result = PS_RAY_NONE;
	if ( ( in.ui32EnvDetectType | in.ui32EnvUDDetectType ) != 0 ) {
		for ( EFCollisionMap * map = mpoMapList; map != nullptr; map = map->mpoNextMap ) {
			const RayIntersectResult hit = map->RayIntersect( in, out, t );
			if ( hit != PS_RAY_NONE ) {
				result = hit;
			}
		}
	}
	if ( result == PS_RAY_ENV ) {
		out.oIntersectionPoint = in.oStartVector + in.oDeplVector * t;
	}
	if ( ( in.ui32ObjDetectType | in.ui32ObjUDDetectType ) != 0 ) {
		for ( MLIST & head : maPhysicList ) {
			for ( MLIST * link = head.pNext; link != nullptr; link = link->pNext ) {
				EFPhysic * const body = link->GetData<EFPhysic>();
				if ( ( body->mui32PhysicFlags & ( EF_PHYSIC_OFF | EF_PHYSIC_DELETED ) ) != 0 ) {
					continue;
				}
				const EFPhysicData * const owner = body->GetOwner();
				if ( in.ui32ExcludeObjID != 0 && owner != nullptr && owner->GetUID() == in.ui32ExcludeObjID ) {
					continue;
				}
				const RayIntersectResult hit = body->RayIntersect( in, out, t );
				if ( hit != PS_RAY_NONE ) {
					result = hit;
				}
			}
		}
	}
	if ( result == PS_RAY_OBJ ) {
		out.oIntersectionPoint = in.oStartVector + in.oDeplVector * t;
	}
	return result;
}

u32 EFPhysicMgr::TakeModuleHandle( EFPhysicModule * module ) {
	if ( module == nullptr || mui32ModuleCount >= EF_MODULE_HANDLE_SLOTS ) {
		return 0;
	}
	u32 slot = mui32ModuleCursor;
	for ( u32 tried = 0; tried < EF_MODULE_HANDLE_SLOTS; tried++ ) {
		slot = ( slot + 1 ) % EF_MODULE_HANDLE_SLOTS;
		ModuleSlot & entry = maModuleSlots[slot];
		if ( entry.mpoModule != nullptr ) {
			continue;
		}
		entry.mpoModule = module;
		entry.mui32Serial = ( entry.mui32Serial + 1 ) & SERIAL_MASK;
		if ( entry.mui32Serial == 0 ) {
			entry.mui32Serial = 1;
		}
		mui32ModuleCursor = slot;
		mui32ModuleCount++;
		return slot << SLOT_SHIFT | entry.mui32Serial;
	}
	return 0;
}

EFPhysicModule * EFPhysicMgr::GetModule( const u32 handle ) const {
	const u32 slot = handle >> SLOT_SHIFT;
	if ( slot >= EF_MODULE_HANDLE_SLOTS ) {
		return nullptr;
	}
	const ModuleSlot & entry = maModuleSlots[slot];
	if ( entry.mui32Serial != ( handle & SERIAL_MASK ) ) {
		return nullptr;
	}
	return entry.mpoModule;
}

void EFPhysicMgr::ReleaseModuleHandle( const u32 handle, const EFPhysicModule * module ) {
	if ( handle == 0 || module == nullptr || GetModule( handle ) != module ) {
		return;
	}
	maModuleSlots[handle >> SLOT_SHIFT].mpoModule = nullptr;
	mui32ModuleCount--;
}

EFPhysic * EFPhysicMgr::GetFirstPhysic( const u32 list ) const {
	if ( list >= EF_PHYSIC_LIST_COUNT || maPhysicList[list].pNext == nullptr ) {
		return nullptr;
	}
	return maPhysicList[list].pNext->GetData<EFPhysic>();
}
