#include "framework/core/world/EFWorldRW.h"

#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFLight.h"
#include "framework/graphics/EFStatic3dObj.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpLight.h"
#include "graphics3d/world/RpWorld.h"

EFWorld_SP::EFWorld_SP() : mpoStatic3dObj( nullptr ) {
}

EFWorld_SP::~EFWorld_SP() {
	Terminate();
}

void EFWorld_SP::SetStatic3dObj( EFStatic3dObj * object ) {
	Terminate();
	mpoStatic3dObj = object;
}

RpWorld * EFWorld_SP::GetCurrentWorld() const {
	return mpoStatic3dObj != nullptr ? mpoStatic3dObj->GetWorld() : nullptr;
}

void EFWorld_SP::AddEnvMap( EFEnvMap * map ) {
	if ( map == nullptr ) {
		return;
	}
	map->mpNext = moEnvMaps.mpFirst;
	moEnvMaps.mpFirst = map;
	if ( moEnvMaps.mpLast == nullptr ) {
		moEnvMaps.mpLast = map;
	}
}

void EFWorld_SP::Terminate() {
	EFEnvMap * map = moEnvMaps.mpFirst;
	while ( map != nullptr ) {
		EFEnvMap * const next = map->mpNext;
		delete map;
		map = next;
	}
	moEnvMaps.Reset();
	if ( mpoStatic3dObj != nullptr ) {
		mpoStatic3dObj->Terminate();
		delete mpoStatic3dObj;
		mpoStatic3dObj = nullptr;
	}
}

void EFWorld_SP::Add3dObj( EF3dObj * object ) {
	if ( object == nullptr || object->mpClump == nullptr || RpClumpGetWorld( object->mpClump ) != nullptr ) {
		return;
	}
	RpWorld * const world = GetCurrentWorld();
	if ( world != nullptr ) {
		RpWorldAddClump( world, object->mpClump );
	}
}

void EFWorld_SP::Remove3dObj( EF3dObj * object ) {
	if ( object == nullptr || object->mpClump == nullptr ) {
		return;
	}
	RpWorld * const world = RpClumpGetWorld( object->mpClump );
	if ( world != nullptr ) {
		RpWorldRemoveClump( world, object->mpClump );
	}
}

void EFWorld_SP::AddCameraInstance( EFCamera * camera ) {
	if ( camera == nullptr || camera->mpoRwCamera == nullptr ) {
		return;
	}
	RpWorld * const world = GetCurrentWorld();
	if ( world != nullptr && RwCameraGetWorld( camera->mpoRwCamera ) == nullptr ) {
		RpWorldAddCamera( world, camera->mpoRwCamera );
	}
}

void EFWorld_SP::RemoveCameraInstance( EFCamera * camera ) {
	if ( camera == nullptr || camera->mpoRwCamera == nullptr ) {
		return;
	}
	RpWorld * const world = RwCameraGetWorld( camera->mpoRwCamera );
	if ( world != nullptr ) {
		RpWorldRemoveCamera( world, camera->mpoRwCamera );
	}
}

void EFWorld_SP::AddLightInstance( EFLight * light ) {
	if ( light == nullptr || light->mpLight == nullptr || RpLightGetWorld( light->mpLight ) != nullptr ) {
		return;
	}
	RpWorld * const world = GetCurrentWorld();
	if ( world != nullptr ) {
		RpWorldAddLight( world, light->mpLight );
	}
}

void EFWorld_SP::RemoveLightInstance( EFLight * light ) {
	if ( light == nullptr || light->mpLight == nullptr ) {
		return;
	}
	RpWorld * const world = RpLightGetWorld( light->mpLight );
	if ( world != nullptr ) {
		RpWorldRemoveLight( world, light->mpLight );
	}
}

void EFWorld_SP::SetVisible( EFLight * light, const u32 visible ) {
	if ( light != nullptr ) {
		light->SetVisible( visible );
	}
}
