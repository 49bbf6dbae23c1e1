#include "framework/logic/api/LogicApiTables.h"

#include "framework/graphics/effects/EFFBEffectMgr.h"
#include "framework/graphics/effects/EFFBEffect_BC.h"
#include "framework/logic/api/LogicApiTable.h"

namespace {

bool bDone = false;

// The manager hands out handles from 1: 0 is never an effect's.
constexpr u32 NO_EFFECT = 0;

u32 CreateFB( const u32 type, const u32 flags ) {
	const EFFBEffect_BC * const effect = goFBEffectMgr.AddEffect( type, flags );
	return effect != nullptr ? effect->GetHandle() : NO_EFFECT;
}

void DestroyFB( const u32 handle ) {
	goFBEffectMgr.RemoveEffect( handle );
}

void EnableFB( const u32 handle, const u32 on ) {
	if ( EFFBEffect_BC * const effect = goFBEffectMgr.GetEffect( handle ) ) {
		effect->Enable( on );
	}
}

void SetParamsFB( const u32 handle, const u32 param, void * data ) {
	if ( EFFBEffect_BC * const effect = goFBEffectMgr.GetEffect( handle ) ) {
		effect->SetParams( param, data );
	}
}

void GetParamsFB( const u32 handle, const u32 param, void * data ) {
	if ( const EFFBEffect_BC * const effect = goFBEffectMgr.GetEffect( handle ) ) {
		effect->GetParams( param, data );
	}
}

}

void ApiFBEffectsNotInit() {
	bDone = true;
}

bool ApiFBEffectsNotInitDone() {
	return bDone;
}

constexpr _api_fbeffects APIfbeffectsStubs = MakeLogicApiStubs<_api_fbeffects, ApiFBEffectsNotInit>();
constinit _api_fbeffects APIfbeffects = MakeLogicApiStubs<_api_fbeffects, ApiFBEffectsNotInit>();

void Init_fbeffects() {
	InitAPI( &APIfbeffects, LOGIC_API_FBEFFECTS_SLOTS, &APIfbeffectsStubs );
	APIfbeffects.Create = CreateFB;
	APIfbeffects.Destroy = DestroyFB;
	APIfbeffects.Enable = EnableFB;
	APIfbeffects.SetParams = SetParamsFB;
	APIfbeffects.GetParams = GetParamsFB;
}
