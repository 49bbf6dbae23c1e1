#include "framework/graphics/effects/EFSprite.h"

#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTMatrix.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/effects/EFFrameLender.h"
#include "graphics3d/core/RwFrame.h"

namespace {

constexpr u32 GAME_OBJECT_KIND = 0x2A;

} // namespace

u32 EFSprite::muiNextSpriteID = EF_SPRITE_FIRST_ID;

EFSprite::EFSprite( const f32 size ) {
	mpoNext = nullptr;
	mfSize = size;
	mui8Screen = 0;
	mfScreenX = 0.0f;
	mfScreenY = 0.0f;
	mui32Id = muiNextSpriteID++;
	mui32LenderId = EF_SPRITE_NO_LENDER;
	SetUID( mui32Id );
}

EFSprite::~EFSprite() {
	if ( gpoTestCamera != nullptr ) {
		gpoTestCamera->Begin();
		gpoTestCamera->End();
	}
}

void EFSprite::Attach( const u32 objectId, const u32 joint ) {
	CreateFrame( nullptr );
	if ( joint == EF_SPRITE_NO_JOINT ) {
		return;
	}
	DestroyFrame();
	if ( gpoWorldMgr == nullptr ) {
		return;
	}
	DTFrame* lent = nullptr;
	u32 lender = EF_SPRITE_NO_LENDER;
	if ( EFIdKind( objectId ) == GAME_OBJECT_KIND ) {
		EFGameObject* const object = gpoWorldMgr->GetGameObject( objectId );
		if ( object != nullptr ) {
			lent = object->GetObjectFrame( joint );
			lender = object->GetUID();
		}
	} else {
		EFPosData* const target = gpoWorldMgr->GetObjectPosData( objectId );
		if ( target != nullptr ) {
			lent = target->GetFrame();
			// An instance of a game object ends with its owner.
			lender = target->mpGameObjectOwner != nullptr ? target->mpGameObjectOwner->GetUID() : target->GetUID();
		}
	}
	if ( lent != nullptr ) {
		CreateFrame( lent );
		mui32LenderId = lender;
	}
}

void EFSprite::ReleaseLender( const u32 lenderId ) {
	if ( lenderId == EF_SPRITE_NO_LENDER || mui32LenderId != lenderId ) {
		return;
	}
	mui32LenderId = EF_SPRITE_NO_LENDER;
	EFOwnFrameInPlace( *this );
}
