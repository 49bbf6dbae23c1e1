#include "framework/logic/api/LogicApiTables.h"

#include "datatypes/maths/DTColor.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFLight.h"
#include "framework/graphics/EFLightMgr.h"
#include "framework/graphics/hud/EFHudMgr.h"
#include "framework/logic/api/EFApiTrace.h"
#include "framework/logic/api/LogicApiTable.h"
#include "graphics3d/world/RpLight.h"

s32 giLightCount = 0;

namespace {

bool bDone = false;

// Bit 31 of a light type: the light is for the HUD's 3D windows.
constexpr u32 HUD_LIGHT_TYPE = 0x80000000;
constexpr u32 RUNNING_OBJECT = 0x2A000000;

// Id 0 is never a light.
EFLight * Light( const u32 id ) {
	return id != 0 && gpoEFLightMgr != nullptr ? gpoEFLightMgr->GetLight( id ) : nullptr;
}

// --- Slots ---

u32 CreateLight( const u32 type ) {
	EFApiTrace::mFuncName = "ApiLight::CreateLight";
	EFGameObject * const owner = gpoWorldMgr != nullptr ? gpoWorldMgr->GetGameObject( RUNNING_OBJECT ) : nullptr;
	u32 id = EF_LIGHT_NO_ID;
	if ( gpoEFLightMgr != nullptr ) {
		id = gpoEFLightMgr->CreateDynamicLight( owner, static_cast<LightType_e>( type ) );
	}
	// A full pool makes no light: nothing to add or count.
	EFLight * const light = id != EF_LIGHT_NO_ID ? gpoEFLightMgr->GetLight( id ) : nullptr;
	if ( light != nullptr ) {
		if ( ( type & HUD_LIGHT_TYPE ) != 0 ) {
			if ( gpoHudMgr != nullptr ) {
				gpoHudMgr->AddLight( light );
			}
		} else if ( gpoWorldMgr != nullptr ) {
			gpoWorldMgr->AddLightInstance( light );
		}
		giLightCount++;
	}
	EFApiTrace::mFuncName = nullptr;
	return id;
}

void SetLightFlag( const u32 id, const u32 flags ) {
	EFApiTrace::mFuncName = "ApiLight::SetFlag";
	EFLight * const light = Light( id );
	if ( light != nullptr && light->mpLight != nullptr ) {
		light->mpLight->object.object.flags = static_cast<u8>( flags & 0xFF );
	}
	EFApiTrace::mFuncName = nullptr;
}

u32 GetLightFlag( const u32 id ) {
	EFApiTrace::mFuncName = "ApiLight::GetFlag";
	const EFLight * const light = Light( id );
	const u32 flags = light != nullptr && light->mpLight != nullptr ? light->mpLight->object.object.flags : 0;
	EFApiTrace::mFuncName = nullptr;
	return flags;
}

void SetLightColor( const u32 id, CColor * const colour ) {
	EFApiTrace::mFuncName = "ApiLight::SetColor";
	EFLight * const light = Light( id );
	if ( light != nullptr && colour != nullptr ) {
		DTColor clamped( colour->red, colour->green, colour->blue, colour->alpha );
		clamped.Clamp();
		// The caller's record is clamped too.
		colour->red = clamped.r;
		colour->green = clamped.g;
		colour->blue = clamped.b;
		colour->alpha = clamped.a;
		light->SetColor( clamped );
	}
	EFApiTrace::mFuncName = nullptr;
}

void GetLightColor( const u32 id, CColor * const colour ) {
	EFApiTrace::mFuncName = "ApiLight::GetColor";
	const EFLight * const light = Light( id );
	if ( light != nullptr && colour != nullptr ) {
		DTColor value;
		light->GetColor( value );
		colour->red = value.r;
		colour->green = value.g;
		colour->blue = value.b;
		colour->alpha = value.a;
	}
	EFApiTrace::mFuncName = nullptr;
}

void SetLightRadius( const u32 id, const f32 radius ) {
	EFApiTrace::mFuncName = "ApiLight::SetRadius";
	if ( EFLight * const light = Light( id ) ) {
		light->SetRadius( radius );
	}
	EFApiTrace::mFuncName = nullptr;
}

f32 GetLightRadius( const u32 id ) {
	EFApiTrace::mFuncName = "ApiLight::GetRadius";
	const EFLight * const light = Light( id );
	const f32 radius = light != nullptr ? light->GetRadius() : 0.0f;
	EFApiTrace::mFuncName = nullptr;
	return radius;
}

void SetLightConeAngle( const u32 id, const f32 angle ) {
	EFApiTrace::mFuncName = "ApiLight::SetConeAngle";
	if ( EFLight * const light = Light( id ) ) {
		light->SetConeAngle( angle );
	}
	EFApiTrace::mFuncName = nullptr;
}

f32 GetLightConeAngle( const u32 id ) {
	EFApiTrace::mFuncName = "ApiLight::GetConeAngle";
	const EFLight * const light = Light( id );
	const f32 angle = light != nullptr ? light->GetConeAngle() : 0.0f;
	EFApiTrace::mFuncName = nullptr;
	return angle;
}

void SetLightVisible( const u32 id, const s32 visible ) {
	EFApiTrace::mFuncName = "ApiLight::SetVisible";
	EFLight * const light = Light( id );
	if ( light != nullptr && gpoWorldMgr != nullptr ) {
		gpoWorldMgr->SetVisible( light, static_cast<u32>( visible ) );
	}
	EFApiTrace::mFuncName = nullptr;
}

u32 IsLightVisible( const u32 id ) {
	EFApiTrace::mFuncName = "ApiLight::IsVisible";
	const EFLight * const light = Light( id );
	const u32 visible = light != nullptr ? light->IsVisible() : 0;
	EFApiTrace::mFuncName = nullptr;
	return visible;
}

void DestroyLight( const u32 id ) {
	EFApiTrace::mFuncName = "DestroyLight";
	EFLight * const light = Light( id );
	if ( light != nullptr ) {
		if ( light->muiKind == EF_LIGHT_KIND_SECOND ) {
			if ( gpoHudMgr != nullptr ) {
				gpoHudMgr->RemoveLight( light );
			}
		} else if ( gpoWorldMgr != nullptr ) {
			gpoWorldMgr->RemoveLightInstance( light );
		}
		gpoEFLightMgr->DestroyLight( id );
		giLightCount--;
	}
	EFApiTrace::mFuncName = nullptr;
}

void SetLightName( const u32, char * ) {
	EFApiTrace::mFuncName = "ApiLight::SetName";
	EFApiTrace::mFuncName = nullptr;
}

void GetLightName( const u32, char * ) {
	EFApiTrace::mFuncName = "ApiLight::GetName";
	EFApiTrace::mFuncName = nullptr;
}

}

void ApiLightNotInit() {
	bDone = true;
}

bool ApiLightNotInitDone() {
	return bDone;
}

constexpr _api_light APIlightStubs = MakeLogicApiStubs<_api_light, ApiLightNotInit>();
constinit _api_light APIlight = MakeLogicApiStubs<_api_light, ApiLightNotInit>();

void Init_light() {
	InitAPI( &APIlight, LOGIC_API_LIGHT_SLOTS, &APIlightStubs );
	giLightCount = 0;
	APIlight.CreateLight = CreateLight;
	APIlight.SetFlag = SetLightFlag;
	APIlight.GetFlag = GetLightFlag;
	APIlight.SetColor = SetLightColor;
	APIlight.GetColor = GetLightColor;
	APIlight.SetRadius = SetLightRadius;
	APIlight.GetRadius = GetLightRadius;
	APIlight.SetConeAngle = SetLightConeAngle;
	APIlight.GetConeAngle = GetLightConeAngle;
	APIlight.SetVisible = SetLightVisible;
	APIlight.IsVisible = IsLightVisible;
	APIlight.DestroyLight = DestroyLight;
	APIlight.SetName = SetLightName;
	APIlight.GetName = GetLightName;
}

void Stop_light() {
}
