#include "framework/graphics/animation/EFAnimationMgr.h"

#include "framework/core/engine/EFCallTrace.h"
#include "framework/graphics/animation/EFAnimNode.h"

#include <new>

EFAnimationMgr::EFAnimationMgr()
	: muiBaseIndex( 0 ), mppAnims( nullptr ), mpUpdateTree( nullptr ), muiNbAnims( 0 ), muiFlags( 0 ),
	  muiClipMode( EF_ANIM_CLIP_NONE ), muiOwnerId( 0 ), mbSendPostUpdateNotif( 0 ), moLastCall() {
}

EFAnimationMgr::~EFAnimationMgr() {
	Terminate();
}

bool EFAnimationMgr::CreateTable( const u32 count ) {
	if ( mppAnims != nullptr || count == 0 ) {
		return false;
	}
	mppAnims = new ( std::nothrow ) EFAnimNode *[count]();
	if ( mppAnims == nullptr ) {
		return false;
	}
	muiNbAnims = count;
	return true;
}

bool EFAnimationMgr::AddAnim( EFAnimNode * node, const u32 index ) {
	if ( mppAnims == nullptr || index >= muiNbAnims ) {
		return false;
	}
	mppAnims[index] = node;
	return true;
}

EFAnimNode * EFAnimationMgr::GetAnim( const u32 index ) const {
	if ( mppAnims == nullptr || index >= muiNbAnims ) {
		return nullptr;
	}
	return mppAnims[index];
}

void EFAnimationMgr::Update( f32 ) {
	EFCallTraceAdd( "EFAnimationMgr::Update" );
}

void EFAnimationMgr::Terminate() {
	if ( mppAnims != nullptr ) {
		for ( u32 i = 0; i < muiNbAnims; i++ ) {
			delete mppAnims[i];
		}
		delete[] mppAnims;
	}
	mppAnims = nullptr;
	muiNbAnims = 0;
}

void EFAnimationMgr::Play( const u32 anim, const u32 flags, const f32 time ) {
	EFCallTraceAdd( "EFAnimationMgr::Play" );
	moLastCall = EFAnimationCall();
	moLastCall.muiAnim = anim;
	moLastCall.muiFlags = flags;
	moLastCall.mfTime = time;
}

void EFAnimationMgr::PlayBlend( const u32 anim, const u32 flags, const u32 connectNode, const f32 time,
								EFBlendParams * params ) {
	EFCallTraceAdd( "EFAnimationMgr::PlayBlend" );
	moLastCall = EFAnimationCall();
	moLastCall.muiAnim = anim;
	moLastCall.muiFlags = flags;
	moLastCall.muiConnectNode = connectNode;
	moLastCall.mfTime = time;
	if ( params != nullptr ) {
		moLastCall.moParams = *params;
		moLastCall.mbHasParams = true;
	}
}

void EFAnimationMgr::ChangeBlendParam( const EFBlendParams & params ) {
	EFCallTraceAdd( "EFAnimationMgr::ChangeBlendParam" );
	moLastCall = EFAnimationCall();
	moLastCall.moParams = params;
	moLastCall.mbHasParams = true;
}

void EFAnimationMgr::Stop( const u32 anim ) {
	EFCallTraceAdd( "EFAnimationMgr::Stop" );
	moLastCall = EFAnimationCall();
	moLastCall.muiAnim = anim;
}

void EFAnimationMgr::StopAll() {
	EFCallTraceAdd( "EFAnimationMgr::StopAll" );
}

void EFAnimationMgr::BeginTree() {
	EFCallTraceAdd( "EFAnimationMgr::BeginTree" );
}

void EFAnimationMgr::EndTree() {
	EFCallTraceAdd( "EFAnimationMgr::EndTree" );
}
