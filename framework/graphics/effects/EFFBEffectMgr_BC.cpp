#include "framework/graphics/effects/EFFBEffectMgr_BC.h"

#include "framework/core/engine/EFCallTrace.h"

EFFBEffectMgr_BC goFBEffectMgr;

EFFBEffectMgr_BC::EFFBEffectMgr_BC() {
	mbFailInitialize = 0;
	for ( EFFBEffect_BC*& effect : mpoEffects ) {
		effect = nullptr;
	}
}

u32 EFFBEffectMgr_BC::Initialize() {
	EFCallTraceAdd( "EFFBEffectMgr_BC::Initialize" );
	for ( EFFBEffect_BC*& effect : mpoEffects ) {
		effect = nullptr;
	}
	if ( mbFailInitialize ) {
		mbFailInitialize = 0;
		return 0;
	}
	return 1;
}

void EFFBEffectMgr_BC::Terminate() {
	EFCallTraceAdd( "EFFBEffectMgr_BC::Terminate" );
}

EFFBEffect_BC* EFFBEffectMgr_BC::AddEffect( u32, u32 ) {
	return nullptr;
}

EFFBEffect_BC* EFFBEffectMgr_BC::GetEffect( u32 ) {
	return nullptr;
}

void EFFBEffectMgr_BC::RemoveEffect( u32 ) {
}

void EFFBEffectMgr_BC::Update( u32 pass, f32, EFCamera&, u32 ) {
	EFCallTraceAdd( pass == 4 ? "EFFBEffectMgr_BC::Update(4)" : "EFFBEffectMgr_BC::Update(8)" );
}
