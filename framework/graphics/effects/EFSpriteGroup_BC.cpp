#include "framework/graphics/effects/EFSpriteGroup_BC.h"

#include "framework/graphics/effects/EFFrameLender.h"
#include "framework/graphics/effects/EFSprite.h"

#include <new>

EFSpriteGroup_BC::EFSpriteGroup_BC( const u32 id ) {
	mui32Id = id;
	mui32Flags = 0;
	mui32BlendMode = 0;
	mpoSprites = nullptr;
	mui32Count = 0;
}

EFSpriteGroup_BC::~EFSpriteGroup_BC() {
	RemoveAllSprites();
}

u32 EFSpriteGroup_BC::AddSprite( const u32 objectId, const u32 joint, const f32 size ) {
	EFSprite* const sprite = new ( std::nothrow ) EFSprite( size );
	if ( sprite == nullptr ) {
		return EF_SPRITE_NO_LENDER;
	}
	sprite->Attach( objectId, joint );
	sprite->mpoNext = mpoSprites;
	mpoSprites = sprite;
	mui32Count++;
	return sprite->mui32Id;
}

EFSprite* EFSpriteGroup_BC::GetSprite( const u32 id ) const {
	for ( EFSprite* sprite = mpoSprites; sprite != nullptr; sprite = sprite->mpoNext ) {
		if ( sprite->mui32Id == id ) {
			return sprite;
		}
	}
	return nullptr;
}

void EFSpriteGroup_BC::RemoveSprite( const u32 id ) {
	for ( EFSprite** link = &mpoSprites; *link != nullptr; link = &( *link )->mpoNext ) {
		EFSprite* const sprite = *link;
		if ( sprite->mui32Id != id ) {
			continue;
		}
		*link = sprite->mpoNext;
		mui32Count--;
		EFReleaseFrameLender( id );
		delete sprite;
		return;
	}
}

void EFSpriteGroup_BC::RemoveAllSprites() {
	while ( mpoSprites != nullptr ) {
		EFSprite* const sprite = mpoSprites;
		mpoSprites = sprite->mpoNext;
		mui32Count--;
		EFReleaseFrameLender( sprite->mui32Id );
		delete sprite;
	}
	mui32Count = 0;
}

void EFSpriteGroup_BC::ReleaseLender( const u32 lenderId ) {
	for ( EFSprite* sprite = mpoSprites; sprite != nullptr; sprite = sprite->mpoNext ) {
		sprite->ReleaseLender( lenderId );
	}
}
