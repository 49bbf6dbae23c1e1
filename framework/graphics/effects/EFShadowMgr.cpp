#include "framework/graphics/effects/EFShadowMgr.h"
#include "framework/core/engine/EFCallTrace.h"

#include <new>

EFShadowMgr goShadowMgr;

EFShadowMgr::EFShadowMgr() : mpCasters( nullptr ) {
}

EFShadowMgr::~EFShadowMgr() {
	Terminate();
}

u32 EFShadowMgr::AddCaster( EFGameObject * object, EF3dObj * model ) {
	Caster * const caster = new ( std::nothrow ) Caster{ object, model, mpCasters };
	if ( caster == nullptr ) {
		return 0;
	}
	mpCasters = caster;
	return 1;
}

u32 EFShadowMgr::RemoveCaster( EFGameObject * object ) {
	for ( Caster ** link = &mpCasters; *link != nullptr; link = &( *link )->mpNext ) {
		if ( ( *link )->mpoObject == object ) {
			Caster * const found = *link;
			*link = found->mpNext;
			delete found;
			return 1;
		}
	}
	return 0;
}

void EFShadowMgr::Terminate() {
	while ( mpCasters != nullptr ) {
		Caster * const next = mpCasters->mpNext;
		delete mpCasters;
		mpCasters = next;
	}
}

void EFShadowMgr::Initialize() {
	EFCallTraceAdd( "EFShadowMgr::Initialize" );
}

void EFShadowMgr::Begin( EFLightMgr*, u32 ) {
	EFCallTraceAdd( "EFShadowMgr::Begin" );
}

void EFShadowMgr::End( EFLightMgr* ) {
	EFCallTraceAdd( "EFShadowMgr::End" );
}
