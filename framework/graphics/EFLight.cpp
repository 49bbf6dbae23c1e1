#include "framework/graphics/EFLight.h"

#include "datatypes/maths/DTColor.h"
#include "datatypes/maths/DTFrame.h"
#include "graphics3d/core/RwFrameSync.h"
#include "graphics3d/world/RpLight.h"
#include "graphics3d/world/RpWorldObj.h"

DTQuickPool<EFLightRecord> EFLight::mLightPool;

static_assert( sizeof( EFLight ) <= sizeof( EFLightRecord ) && alignof( EFLight ) <= alignof( EFLightRecord ),
			   "a light fits its pool record" );

namespace {

bool IsSpot( const u32 type ) {
	return type == LIGHT_TYPE_SPOT || type == LIGHT_TYPE_SPOT_SOFT;
}

}

void * EFLight::operator new( std::size_t ) noexcept {
	if ( !mLightPool.IsInit() ) {
		InitPools();
	}
	return mLightPool.Allocate();
}

void EFLight::operator delete( void * light ) noexcept {
	mLightPool.Free( static_cast<EFLightRecord *>( light ) );
}

void EFLight::InitPools() {
	mLightPool.Init( EF_LIGHT_POOL_MAX, EF_LIGHT_POOL_CHUNK, true );
}

void EFLight::ClearPools() {
	mLightPool.Release();
}

EFLight::EFLight( const LightType_e type )
	: mpNextLight( nullptr ), mpoNext( nullptr ), mpLight( nullptr ), mpHiddenFrom( nullptr ) {
	mpLight = RpLightCreate( type );
	if ( mpLight != nullptr && type != LIGHT_TYPE_AMBIENT ) {
		DTFrame * const frame = CreateFrame( nullptr );
		if ( frame != nullptr ) {
			_rwObjectHasFrameSetFrame( &mpLight->object, &frame->moFrame );
		}
	}
}

EFLight::~EFLight() {
	if ( mpLight != nullptr ) {
		RpWorld * const world = RpLightGetWorld( mpLight );
		if ( world != nullptr ) {
			RpWorldRemoveLight( world, mpLight );
		}
	}
	mpHiddenFrom = nullptr;
	LeaveParent( 0 );
	if ( mpLight != nullptr ) {
		_rwObjectHasFrameSetFrame( &mpLight->object, nullptr );
		RpLightDestroy( mpLight );
		mpLight = nullptr;
	}
}

void EFLight::SetVisible( const u32 visible ) {
	if ( mpLight == nullptr ) {
		return;
	}
	if ( visible != 0 ) {
		if ( mpHiddenFrom != nullptr ) {
			RpWorldAddLight( mpHiddenFrom, mpLight );
			mpHiddenFrom = nullptr;
		}
		return;
	}
	RpWorld * const world = RpLightGetWorld( mpLight );
	if ( world != nullptr ) {
		mpHiddenFrom = world;
		RpWorldRemoveLight( world, mpLight );
	}
}

u32 EFLight::IsVisible() const {
	return mpLight != nullptr && RpLightGetWorld( mpLight ) != nullptr ? 1 : 0;
}

u32 EFLight::GetType() const {
	return mpLight != nullptr ? mpLight->object.object.subType : 0;
}

void EFLight::SetColor( const DTColor & colour ) {
	if ( mpLight != nullptr ) {
		const RwRGBAReal value = { colour.r, colour.g, colour.b, colour.a };
		RpLightSetColor( mpLight, &value );
	}
}

void EFLight::GetColor( DTColor & colour ) const {
	if ( mpLight == nullptr ) {
		colour.SetRGBA( 0.0f, 0.0f, 0.0f, 0.0f );
		return;
	}
	colour.SetRGBA( mpLight->color.red, mpLight->color.green, mpLight->color.blue, mpLight->color.alpha );
}

void EFLight::SetRadius( const f32 radius ) {
	if ( mpLight != nullptr ) {
		RpLightSetRadius( mpLight, radius );
	}
}

f32 EFLight::GetRadius() const {
	return mpLight != nullptr ? mpLight->radius : 0.0f;
}

void EFLight::SetConeAngle( const f32 radians ) {
	if ( mpLight != nullptr && IsSpot( GetType() ) ) {
		RpLightSetConeAngle( mpLight, radians );
	}
}

f32 EFLight::GetConeAngle() const {
	return mpLight != nullptr && IsSpot( GetType() ) ? RpLightGetConeAngle( mpLight ) : 0.0f;
}
