#include "framework/logic/api/LogicApiTables.h"

#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/animation/EFAnimNode.h"
#include "framework/graphics/animation/EFAnimationMgr.h"
#include "framework/logic/api/EFApiTrace.h"
#include "framework/logic/api/LogicApiTable.h"

namespace {

bool bDone = false;

// Every slot finds the object as a game-object slot does (0x2A000000: the
// running object).
EFAnimationMgr * Manager( const u32 id ) {
	EFGameObject * const object = gpoWorldMgr != nullptr ? gpoWorldMgr->GetGameObject( id, nullptr ) : nullptr;
	return object != nullptr ? &object->moAnimationMgr : nullptr;
}

// The node of an animation id: checked against the manager's range (in
// u32, so an id below the base wraps out of it) and the slot's content.
EFAnimNode * Node( const u32 id, const u32 anim ) {
	EFAnimationMgr * const manager = Manager( id );
	if ( manager == nullptr || manager->mppAnims == nullptr ) {
		return nullptr;
	}
	const u32 index = anim - manager->muiBaseIndex;
	return index < manager->muiNbAnims ? manager->mppAnims[index] : nullptr;
}

// --- Slots ---

void AnimPlay( const u32 id, const u32 anim, const u32 flags, const f32 time ) {
	EFApiTrace::mFuncName = "AnimPlay";
	if ( EFAnimationMgr * const manager = Manager( id ) ) {
		manager->Play( anim, flags, time );
	}
	EFApiTrace::mFuncName = nullptr;
}

void AnimPlayBlend( const u32 id, const u32 anim, const u32 flags, const f32 time, EFBlendParams * params ) {
	EFApiTrace::mFuncName = "AnimPlayBlend";
	if ( EFAnimationMgr * const manager = Manager( id ) ) {
		manager->PlayBlend( anim, flags, 0xFFFFFFFF, time, params );
	}
	EFApiTrace::mFuncName = nullptr;
}

void AnimChangeBlendParams( const u32 id, EFBlendParams * params ) {
	EFApiTrace::mFuncName = "AnimChangeBlendFactor";
	EFAnimationMgr * const manager = Manager( id );
	if ( manager != nullptr && params != nullptr ) {
		manager->ChangeBlendParam( *params );
	}
	EFApiTrace::mFuncName = nullptr;
}

void StopAnim( const u32 id, const u32 anim ) {
	EFApiTrace::mFuncName = "AnimStop";
	if ( EFAnimationMgr * const manager = Manager( id ) ) {
		manager->Stop( anim );
	}
	EFApiTrace::mFuncName = nullptr;
}

void StopAllAnim( const u32 id ) {
	EFApiTrace::mFuncName = "StopAllAnim";
	if ( EFAnimationMgr * const manager = Manager( id ) ) {
		manager->StopAll();
	}
	EFApiTrace::mFuncName = nullptr;
}

f32 AnimGetTime( const u32 id, const u32 anim ) {
	EFApiTrace::mFuncName = "AnimationGetTime";
	const EFAnimNode * const node = Node( id, anim );
	const f32 time = node != nullptr ? node->mfCurrentTime : 0.0f;
	EFApiTrace::mFuncName = nullptr;
	return time;
}

void AnimSetTime( const u32 id, const u32 anim, const f32 time ) {
	EFApiTrace::mFuncName = "AnimationSetTime";
	if ( EFAnimNode * const node = Node( id, anim ) ) {
		node->SetTime( time );
	}
	EFApiTrace::mFuncName = nullptr;
}

f32 AnimGetSpeed( const u32 id, const u32 anim ) {
	EFApiTrace::mFuncName = "AnimationGetSpeed";
	const EFAnimNode * const node = Node( id, anim );
	const f32 speed = node != nullptr ? node->mfSpeed : 0.0f;
	EFApiTrace::mFuncName = nullptr;
	return speed;
}

void AnimSetSpeed( const u32 id, const u32 anim, const f32 speed ) {
	EFApiTrace::mFuncName = "AnimationSetSpeed";
	if ( EFAnimNode * const node = Node( id, anim ) ) {
		node->muiAnimState &= ~EF_ANIM_STATE_AT_END;
		node->mfSpeed = speed;
	}
	EFApiTrace::mFuncName = nullptr;
}

f32 AnimGetDuration( const u32 id, const u32 anim ) {
	EFApiTrace::mFuncName = "AnimGetDuration";
	const EFAnimNode * const node = Node( id, anim );
	const f32 duration = node != nullptr ? node->mfDuration : 0.0f;
	EFApiTrace::mFuncName = nullptr;
	return duration;
}

void AnimConnect( const u32 id, const u32 anim, const u32 targetId ) {
	EFApiTrace::mFuncName = "AnimConnect";
	EFAnimNode * const node = Node( id, anim );
	EFPosData * const target = gpoWorldMgr != nullptr ? gpoWorldMgr->GetObjectPosData( targetId ) : nullptr;
	if ( node != nullptr && target != nullptr ) {
		node->Connect( target );
	}
	EFApiTrace::mFuncName = nullptr;
}

u32 AnimGetGroup( const u32 id, const u32 anim ) {
	EFApiTrace::mFuncName = "AnimGetGroup";
	const EFAnimNode * const node = Node( id, anim );
	const u32 group = node != nullptr ? node->muiGroup : 0xFFFFFFFF;
	EFApiTrace::mFuncName = nullptr;
	return group;
}

void AnimBeginTree( const u32 id ) {
	if ( EFAnimationMgr * const manager = Manager( id ) ) {
		manager->BeginTree();
	}
}

// The connect node comes before the flags here; the blend starts at 0.
void AnimPlayBlendConnect( const u32 id, const u32 anim, const u32 connectNode, const u32 flags, EFBlendParams * params ) {
	EFApiTrace::mFuncName = "AnimPlayBlendConnect";
	if ( EFAnimationMgr * const manager = Manager( id ) ) {
		manager->PlayBlend( anim, flags, connectNode, 0.0f, params );
	}
	EFApiTrace::mFuncName = nullptr;
}

void AnimEndTree( const u32 id ) {
	if ( EFAnimationMgr * const manager = Manager( id ) ) {
		manager->EndTree();
	}
}

u32 IsAnimPlaying( const u32 id, const u32 anim ) {
	EFApiTrace::mFuncName = "IsAnimPlaying";
	const EFAnimNode * const node = Node( id, anim );
	const u32 playing = node != nullptr && ( node->muiAnimState & EF_ANIM_STATE_STOPPED ) == 0 ? 1 : 0;
	EFApiTrace::mFuncName = nullptr;
	return playing;
}

}

void ApiAnimNotInit() {
	bDone = true;
}

bool ApiAnimNotInitDone() {
	return bDone;
}

constexpr _api_anim APIanimStubs = MakeLogicApiStubs<_api_anim, ApiAnimNotInit>();
constinit _api_anim APIanim = MakeLogicApiStubs<_api_anim, ApiAnimNotInit>();

void Init_anim() {
	InitAPI( &APIanim, LOGIC_API_ANIM_SLOTS, &APIanimStubs );
	APIanim.Play = AnimPlay;
	APIanim.PlayBlend = AnimPlayBlend;
	APIanim.ChangeBlendParams = AnimChangeBlendParams;
	APIanim.Stop = StopAnim;
	APIanim.StopAll = StopAllAnim;
	APIanim.GetTime = AnimGetTime;
	APIanim.SetTime = AnimSetTime;
	APIanim.GetSpeed = AnimGetSpeed;
	APIanim.SetSpeed = AnimSetSpeed;
	APIanim.GetDuration = AnimGetDuration;
	APIanim.Connect = AnimConnect;
	APIanim.GetGroup = AnimGetGroup;
	APIanim.BeginTree = AnimBeginTree;
	APIanim.PlayBlendConnect = AnimPlayBlendConnect;
	APIanim.EndTree = AnimEndTree;
	APIanim.IsAnimPlaying = IsAnimPlaying;
}
