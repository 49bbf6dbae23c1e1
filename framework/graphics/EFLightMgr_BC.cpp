#include "framework/graphics/EFLightMgr_BC.h"

#include "framework/graphics/EFLight.h"
#include "framework/graphics/effects/EFFrameLender.h"

namespace {

constexpr u32 TYPE_SECOND_GROUP	= 0x80000000;
constexpr u32 ID_COUNTER_MASK	= 0xFFFFFF;

}

EFLightMgr_BC::EFLightMgr_BC()
	: mui16DynamicCount( 0 ), mui16StaticCount( 0 ), mui16SecondCount( 0 ), mui32NextId( 1 ) {
	EFLight::InitPools();
}

EFLightMgr_BC::~EFLightMgr_BC() {
	Terminate();
}

u16& EFLightMgr_BC::CountOf( const u32 kind ) {
	switch ( kind ) {
	case EF_LIGHT_KIND_STATIC:
		return mui16StaticCount;
	case EF_LIGHT_KIND_SECOND:
		return mui16SecondCount;
	default:
		return mui16DynamicCount;
	}
}

EFLight* EFLightMgr_BC::Create( const LightType_e type, const u32 kind ) {
	EFLight* const light = new EFLight( type );
	if ( light == nullptr ) {
		return nullptr;
	}
	light->muiKind = kind;
	CountOf( kind )++;
	light->mpNextLight = moLights.mpFirst;
	moLights.mpFirst = light;
	if ( moLights.mpLast == nullptr ) {
		moLights.mpLast = light;
	}
	return light;
}

u32 EFLightMgr_BC::CreateDynamicLight( EFGameObject* owner, const LightType_e type ) {
	const u32 raw = static_cast<u32>( type );
	const u32 kind = ( raw & TYPE_SECOND_GROUP ) != 0 ? EF_LIGHT_KIND_SECOND : EF_LIGHT_KIND_DYNAMIC;
	EFLight* const light = Create( static_cast<LightType_e>( raw & ~TYPE_SECOND_GROUP ), kind );
	if ( light == nullptr ) {
		return EF_LIGHT_NO_ID;
	}
	light->SetUID( GenerateUID() );
	light->mpGameObjectOwner = owner;
	return light->GetUID();
}

EFLight* EFLightMgr_BC::CreateStaticLight( const u32 id, const LightType_e type ) {
	EFLight* const light = Create( type, EF_LIGHT_KIND_STATIC );
	if ( light != nullptr ) {
		light->SetUID( id );
		light->mpGameObjectOwner = nullptr;
	}
	return light;
}

EFLight* EFLightMgr_BC::GetLight( const u32 id ) {
	for ( EFLight* light = moLights.mpFirst; light != nullptr; light = light->mpNextLight ) {
		if ( light->GetUID() == id ) {
			return light;
		}
	}
	return nullptr;
}

void EFLightMgr_BC::DestroyLight( const u32 id ) {
	DestroyLight( GetLight( id ) );
}

void EFLightMgr_BC::DestroyLight( EFLight* const target ) {
	EFLight* previous = nullptr;
	EFLight* light = moLights.mpFirst;
	while ( light != nullptr && light != target ) {
		previous = light;
		light = light->mpNextLight;
	}
	if ( light == nullptr ) {
		return;
	}
	EFReleaseFrameLender( light->GetUID() );
	CountOf( light->muiKind )--;
	if ( previous == nullptr ) {
		moLights.mpFirst = light->mpNextLight;
	} else {
		previous->mpNextLight = light->mpNextLight;
	}
	if ( moLights.mpLast == light ) {
		moLights.mpLast = previous;
	}
	delete light;
}

u32 EFLightMgr_BC::GenerateUID() {
	const u32 id = ( mui32NextId & ID_COUNTER_MASK ) | EF_LIGHT_ID_BASE;
	mui32NextId++;
	if ( mui32NextId == EF_LIGHT_COUNTER_WRAP ) {
		mui32NextId = 1;
	}
	return id;
}

void EFLightMgr_BC::Terminate() {
	EFLight* light = moLights.mpFirst;
	while ( light != nullptr ) {
		EFLight* const next = light->mpNextLight;
		delete light;
		light = next;
	}
	moLights.Reset();
	mui16DynamicCount = 0;
	mui16StaticCount = 0;
	mui16SecondCount = 0;
	mui32NextId = 1;
	EFLight::ClearPools();
}
