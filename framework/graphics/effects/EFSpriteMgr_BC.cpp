#include "framework/graphics/effects/EFSpriteMgr_BC.h"

#include "framework/core/engine/EFCallTrace.h"

EFSpriteMgr_BC goSpriteMgr;

EFSpriteGroup_BC* EFSpriteMgr_BC::AddSpriteGroup() {
	return nullptr;
}

void EFSpriteMgr_BC::RemoveSpriteGroup( u32 ) {
}

EFSpriteGroup_BC* EFSpriteMgr_BC::GetSpriteGroup( u32 ) const {
	return nullptr;
}

EFSprite* EFSpriteMgr_BC::GetSprite( u32 ) {
	return nullptr;
}

void EFSpriteMgr_BC::Terminate() {
	EFCallTraceAdd( "EFSpriteMgr_BC::Terminate" );
}

void EFSpriteMgr_BC::RenderNormal() {
	EFCallTraceAdd( "EFSpriteMgr_BC::RenderNormal" );
}

void EFSpriteMgr_BC::RenderTransparent() {
	EFCallTraceAdd( "EFSpriteMgr_BC::RenderTransparent" );
}

void EFSpriteMgr_BC::RenderOccluded() {
	EFCallTraceAdd( "EFSpriteMgr_BC::RenderOccluded" );
}
