#include "framework/graphics/effects/EFSpriteMgr_BC.h"

#include "framework/graphics/effects/EFEffectStates.h"
#include "framework/graphics/effects/EFSpriteGroup.h"

#include <new>

namespace {

enum Pass : u32 { PASS_NORMAL, PASS_TRANSPARENT, PASS_OCCLUDED };

Pass PassOf( const u32 flags ) {
	if ( ( flags & EF_SPRITE_OCCLUDED ) != 0 ) {
		return PASS_OCCLUDED;
	}
	return ( flags & EF_SPRITE_TRANSPARENT ) != 0 ? PASS_TRANSPARENT : PASS_NORMAL;
}

} // namespace

EFSpriteMgr_BC::EFSpriteMgr_BC() {
	mui32NextGroupId = 1;
	mpoGroups = nullptr;
}

// Groups still held at exit are left: their frames belong to a library
// that is gone by then. Terminate removes them.
EFSpriteMgr_BC::~EFSpriteMgr_BC() {
}

EFSpriteGroup* EFSpriteMgr_BC::AddSpriteGroup() {
	GroupNode* const node = new ( std::nothrow ) GroupNode;
	EFSpriteGroup* const group = node != nullptr ? new ( std::nothrow ) EFSpriteGroup( mui32NextGroupId ) : nullptr;
	if ( group == nullptr ) {
		delete node;
		return nullptr;
	}
	mui32NextGroupId++;
	node->mpoGroup = group;
	node->mpoNext = mpoGroups;
	mpoGroups = node;
	return group;
}

void EFSpriteMgr_BC::DeleteGroup( EFSpriteGroup* const group ) {
	// The sprites go one by one, each releasing what borrowed its frame.
	group->RemoveAllSprites();
	delete group;
}

void EFSpriteMgr_BC::RemoveSpriteGroup( const u32 id ) {
	for ( GroupNode** link = &mpoGroups; *link != nullptr; link = &( *link )->mpoNext ) {
		GroupNode* const node = *link;
		if ( node->mpoGroup->mui32Id != id ) {
			continue;
		}
		*link = node->mpoNext;
		DeleteGroup( node->mpoGroup );
		delete node;
		return;
	}
}

void EFSpriteMgr_BC::RemoveAllSpriteGroups() {
	while ( mpoGroups != nullptr ) {
		GroupNode* const node = mpoGroups;
		mpoGroups = node->mpoNext;
		DeleteGroup( node->mpoGroup );
		delete node;
	}
}

EFSpriteGroup* EFSpriteMgr_BC::GetSpriteGroup( const u32 id ) const {
	for ( const GroupNode* node = mpoGroups; node != nullptr; node = node->mpoNext ) {
		if ( node->mpoGroup->mui32Id == id ) {
			return node->mpoGroup;
		}
	}
	return nullptr;
}

EFSprite* EFSpriteMgr_BC::GetSprite( const u32 id ) const {
	for ( const GroupNode* node = mpoGroups; node != nullptr; node = node->mpoNext ) {
		EFSprite* const sprite = node->mpoGroup->GetSprite( id );
		if ( sprite != nullptr ) {
			return sprite;
		}
	}
	return nullptr;
}

void EFSpriteMgr_BC::RenderPass( const u32 pass ) {
	const u32 fog = EFGetStateWord( EF_RS_FOG );
	EFSetState( EF_RS_FOG, 0 );
	for ( const GroupNode* node = mpoGroups; node != nullptr; node = node->mpoNext ) {
		if ( PassOf( node->mpoGroup->mui32Flags ) == pass ) {
			node->mpoGroup->Render();
		}
	}
	EFSetState( EF_RS_FOG, fog );
}

void EFSpriteMgr_BC::RenderNormal() {
	RenderPass( PASS_NORMAL );
}

void EFSpriteMgr_BC::RenderTransparent() {
	RenderPass( PASS_TRANSPARENT );
}

void EFSpriteMgr_BC::RenderOccluded() {
	RenderPass( PASS_OCCLUDED );
}

void EFSpriteMgr_BC::ReleaseLender( const u32 lenderId ) {
	for ( const GroupNode* node = mpoGroups; node != nullptr; node = node->mpoNext ) {
		node->mpoGroup->ReleaseLender( lenderId );
	}
}
