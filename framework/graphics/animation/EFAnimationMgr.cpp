#include "framework/graphics/animation/EFAnimationMgr.h"

#include "datatypes/memory/DTWorkMemory.h"
#include "framework/core/world/EFNotificationMgr.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/animation/EFAnimBlendNode.h"
#include "framework/logic/EFGameLogicMgr.h"

#include <new>

namespace {

bool IsSkeletalOrBlend( const OPNodeType_e type ) {
	return type == OP_HAnim || type == OP_Blend;
}

bool SameKind( const EFAnimNode & x, const EFAnimNode & n ) {
	return x.mp3dObj == n.mp3dObj && ( x.meType == n.meType || ( IsSkeletalOrBlend( x.meType ) && IsSkeletalOrBlend( n.meType ) ) );
}

EFAnimNode * AsAnim( DTNode * node ) {
	return static_cast<EFAnimNode *>( node );
}

bool IsBlend( const DTNode * node ) {
	return node != nullptr && static_cast<const DTOperator *>( node )->meType == OP_Blend;
}

// The copy of an output a frozen pose starts from: block, count and state
// set explicitly (a DTAttrib copy does not keep the state).
void FrozenCopy( const EFAnimNode & node, DTAttrib & copy ) {
	if ( const DTAttrib * const out = node.GetOutput( copy.meType ) ) {
		copy.mpDataBlock = out->mpDataBlock;
		copy.muiNbStruct = out->muiNbStruct;
		copy.muiState = out->muiState & ~DT_ATTRIB_OWNS_BLOCK;
	}
}

// Work memory of one evaluation, on the caller's stack.
struct EvaluationMemory {
	alignas( 16 ) u8	buffer[EF_ANIM_WORK_MEMORY];
	DTWorkMemory		memory;

	EvaluationMemory() : memory( buffer, EF_ANIM_WORK_MEMORY ) {}
};

// Takes every node out of the subtree from node (its following siblings
// included) and deletes the blend nodes; animated nodes stay the table's.
void Dismantle( DTNode * node ) {
	while ( node != nullptr ) {
		DTNode * const next = node->mpNext;
		Dismantle( node->mpChild );
		node->LeaveParent();
		if ( IsBlend( node ) ) {
			delete static_cast<EFAnimBlendNode *>( node );
		}
		node = next;
	}
}

}

EFAnimationMgr::EFAnimationMgr()
	: muiBaseIndex( 0 ), mppAnims( nullptr ), mUpdateTree( OP_Root ), muiNbAnims( 0 ), muiFlags( 0 ),
	  muiClipMode( EF_ANIM_CLIP_NONE ), muiOwnerId( 0 ), mbSendPostUpdateNotif( 0 ) {
	if ( gpoGameLogicMgr != nullptr ) {
		EFAnimNode::SetNotificationMgr( &gpoGameLogicMgr->GetNotificationMgr() );
	}
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

EFAnimNode * EFAnimationMgr::GetAnimById( const u32 anim ) const {
	return GetAnim( anim - muiBaseIndex );
}

void EFAnimationMgr::Terminate() {
	Dismantle( mUpdateTree.mpChild );
	if ( mppAnims != nullptr ) {
		for ( u32 i = 0; i < muiNbAnims; i++ ) {
			delete mppAnims[i];
		}
		delete[] mppAnims;
	}
	mppAnims = nullptr;
	muiNbAnims = 0;
}

// --- Tree surgery ---

void EFAnimationMgr::Attach( DTNode * parent, DTNode * subtree, const bool first ) {
	if ( parent == nullptr || subtree == nullptr ) {
		return;
	}
	DTNode * const front = first ? nullptr : parent->mpChild;
	if ( front != nullptr ) {
		front->LeaveParent();
	}
	parent->AddChild( subtree );
	if ( front != nullptr ) {
		parent->AddChild( front );
	}
}

void EFAnimationMgr::WriteObjectArray( EFAnimNode & subtree ) {
	DTAttrib * const out = subtree.GetOutput( AT_TRANSFO );
	EF3dObj * const object = subtree.mp3dObj;
	if ( out == nullptr || object == nullptr ) {
		return;
	}
	if ( out->mpDataBlock != nullptr && out->mpDataBlock != object->mppTransfo[0] ) {
		object->ReleaseTransfo( static_cast<DTTransfo *>( out->mpDataBlock ) );
	}
	out->muiState = EF_ATTRIB_OBJECT_ARRAY | EF_ATTRIB_SKELETAL;
	out->mpDataBlock = object->mppTransfo[0];
	out->muiNbStruct = object->GetNbTransfo();
}

void EFAnimationMgr::StopAndDelete( EFAnimNode * node ) {
	if ( node != nullptr && node->Stop() ) {
		node->LeaveParent();
		delete node;
	}
}

bool EFAnimationMgr::Contains( const EFAnimNode * subtree, const EFAnimNode * node ) {
	for ( const DTNode * at = node; subtree != nullptr && at != nullptr; at = at->mpParent ) {
		if ( at == subtree ) {
			return true;
		}
	}
	return false;
}

bool EFAnimationMgr::IsInsideBlend( const EFAnimNode & node ) const {
	for ( const DTNode * parent = node.mpParent; parent != nullptr; parent = parent->mpParent ) {
		if ( IsBlend( parent ) ) {
			return true;
		}
	}
	return false;
}

void EFAnimationMgr::ComputePose() {
	EvaluationMemory work;
	UpdateHierarchyAnimNode( FirstChild(), work.memory );
}

// --- Searches ---

EFAnimBlendNode * EFAnimationMgr::FindBlendNode( EFAnimNode * start, const u32 uid ) {
	if ( start == nullptr ) {
		return nullptr;
	}
	if ( start->meType == OP_Blend && start->muiUID == uid ) {
		return static_cast<EFAnimBlendNode *>( start );
	}
	if ( EFAnimBlendNode * const found = FindBlendNode( AsAnim( start->mpNext ), uid ) ) {
		return found;
	}
	return FindBlendNode( AsAnim( start->mpChild ), uid );
}

EFAnimNode * EFAnimationMgr::FindExclNode( const EFAnimNode & node, EFAnimNode * start ) {
	if ( start == nullptr ) {
		return nullptr;
	}
	if ( start->muiGroup == node.muiGroup && SameKind( *start, node ) ) {
		return start;
	}
	if ( EFAnimNode * const found = FindExclNode( node, AsAnim( start->mpChild ) ) ) {
		return found;
	}
	return FindExclNode( node, AsAnim( start->mpNext ) );
}

EFAnimNode * EFAnimationMgr::FindNonExclNode( const EFAnimNode & node, EFAnimNode * start ) {
	if ( start == nullptr ) {
		return nullptr;
	}
	if ( start->muiGroup != node.muiGroup && SameKind( *start, node ) ) {
		return start;
	}
	if ( EFAnimNode * const found = FindNonExclNode( node, AsAnim( start->mpChild ) ) ) {
		return found;
	}
	return FindNonExclNode( node, AsAnim( start->mpNext ) );
}

// --- Playing ---

void EFAnimationMgr::Play( const u32 anim, u32 flags, const f32 blendTime ) {
	EFAnimNode * const node = GetAnimById( anim );
	if ( node == nullptr ) {
		return;
	}
	if ( node->meType == OP_HAnim ) {
		PlayHAnim( node, flags, EF_ANIM_NO_TARGET, blendTime, nullptr, true );
		return;
	}
	if ( ( node->muiAnimState & AS_STOPPED ) == 0 ) {
		node->Stop();
	}
	flags = ConnectNode( node, flags, blendTime );
	node->Play( flags, blendTime );
}

void EFAnimationMgr::PlayBlend( const u32 anim, const u32 flags, const u32 blendTarget, const f32 blendTime,
								EFBlendParams * params ) {
	EFAnimNode * const node = GetAnimById( anim );
	if ( node == nullptr || node->meType != OP_HAnim ) {
		return;
	}
	PlayHAnim( node, flags, blendTarget, blendTime, params, false );
}

void EFAnimationMgr::PlayHAnim( EFAnimNode * node, u32 flags, const u32 blendTarget, const f32 blendTime,
								EFBlendParams * params, const bool interpolate ) {
	// A skeletal node without animation data has nothing to play.
	if ( node == nullptr || node->GetAnimData() == nullptr ) {
		return;
	}
	if ( ( node->muiAnimState & AS_STOPPED ) == 0 && ( flags & AS_CROSSFADE ) != 0 ) {
		flags = ( flags & ~AS_CROSSFADE ) | AS_BLEND_FROM_POSE;
	}
	// Flags 0 are a valid start: whether the node was connected tells.
	bool connected = false;
	const u32 start = Connect( node, flags, blendTarget, blendTime, params, interpolate, connected );
	if ( !connected ) {
		return;
	}
	node->Play( start, 0.0f );
	if ( ( muiFlags & EF_ANIM_MGR_BUILDING ) == 0 ) {
		ComputePose();
	}
}

u32 EFAnimationMgr::ConnectNode( EFAnimNode * node, const u32 flags, f32 ) {
	if ( node->meType == OP_TextAnim ) {
		return ConnectTextureAnim( node, flags );
	}
	if ( EFAnimNode * const exclusive = FindExclNode( *node, FirstChild() ) ) {
		exclusive->Stop();
	}
	mUpdateTree.AddChild( node );
	return flags;
}

u32 EFAnimationMgr::ConnectTextureAnim( EFAnimNode * node, const u32 flags ) {
	// Texture nodes animate the same material when they share the animation.
	for ( EFAnimNode * x = FindExclNode( *node, FirstChild() ); x != nullptr; x = FindExclNode( *node, AsAnim( x->mpNext ) ) ) {
		if ( x->mpAnimRes == node->mpAnimRes ) {
			x->Stop();
			break;
		}
	}
	mUpdateTree.AddChild( node );
	return flags;
}

u32 EFAnimationMgr::ConnectHAnim( EFAnimNode * node, const u32 flags, const u32 blendTarget, const f32 blendTime,
								  EFBlendParams * params, const bool interpolate ) {
	bool connected = false;
	const u32 start = Connect( node, flags, blendTarget, blendTime, params, interpolate, connected );
	return connected ? start : 0;
}

u32 EFAnimationMgr::Connect( EFAnimNode * node, u32 flags, const u32 blendTarget, const f32 blendTime,
							 EFBlendParams * params, const bool interpolate, bool & connected ) {
	connected = false;
	if ( node == nullptr ) {
		return 0;
	}
	// Frozen poses are copied out of this memory before it goes.
	EvaluationMemory work;
	DTNode * parent = nullptr;
	bool first = true;
	EFAnimNode * subtree = node;

	if ( blendTarget == EF_ANIM_NO_TARGET ) {
		EFAnimNode * exclusive = FindExclNode( *node, FirstChild() );
		// A node playing in the tree outside the exclusive subtree (layered
		// by target over one of its own group) first leaves its place.
		if ( node->mpParent != nullptr && !Contains( exclusive, node ) ) {
			StopHAnim( *node );
			exclusive = FindExclNode( *node, FirstChild() );
		}
		if ( interpolate && ( exclusive == nullptr || exclusive->mpParent != &mUpdateTree ) ) {
			if ( FindNonExclNode( *node, FirstChild() ) != nullptr ) {
				subtree = InterpFromCurState( *node, flags, blendTime, work.memory );
				parent = &mUpdateTree;
			} else {
				flags &= ~AS_TRANSITION_MASK;
			}
		} else if ( exclusive == nullptr ) {
			flags &= ~AS_TRANSITION_MASK;
		} else {
			parent = exclusive->mpParent;
			first = parent->mpChild == exclusive;
			if ( ( flags & AS_TRANSITION_MASK ) != 0 ) {
				exclusive->LeaveParent();
				if ( ( flags & ( AS_HOLD | AS_BLEND_FROM_POSE ) ) != 0 ) {
					UpdateHierarchyAnimNode( exclusive, work.memory );
					DTAttrib pose( AT_TRANSFO );
					DTAttrib prims( AT_COLLPRIM );
					FrozenCopy( *exclusive, pose );
					FrozenCopy( *exclusive, prims );
					StopAndDelete( exclusive );
					subtree = new ( std::nothrow ) EFAnimBlendNode( *node, pose, prims, blendTime );
					if ( subtree != nullptr ) {
						subtree->ChangeAnimState( flags & ( AS_HOLD | AS_BLEND_FROM_POSE ), CT_SET, true );
					}
				} else {
					subtree = new ( std::nothrow ) EFAnimBlendNode( *exclusive, *node, blendTime );
					if ( subtree != nullptr ) {
						subtree->ChangeAnimState( AS_CROSSFADE, CT_SET, true );
					} else {
						StopAndDelete( exclusive );
					}
				}
			} else {
				// The node takes the exclusive one's place.
				StopAndDelete( exclusive );
				if ( exclusive == node && node->mpParent != nullptr ) {
					node->LeaveParent();
				}
			}
		}
	} else {
		EFAnimNode * target = nullptr;
		if ( ( blendTarget & EF_BLEND_UID_MASK ) != 0 ) {
			target = FindBlendNode( FirstChild(), blendTarget );
		} else {
			target = GetAnimById( blendTarget );
			if ( target != nullptr && target->meType != OP_HAnim ) {
				target = nullptr;
			}
		}
		if ( target == nullptr || target->mpParent == nullptr || target == node || IsInsideBlend( *node ) ) {
			return 0;
		}
		parent = target->mpParent;
		first = parent->mpChild == target;
		target->LeaveParent();
		subtree = new ( std::nothrow ) EFAnimBlendNode( *target, *node, params );
		if ( subtree == nullptr ) {
			Attach( parent, target, first );
			return 0;
		}
		const u32 mask = target->muiAnimState & AS_TRANSITION_MASK;
		subtree->ChangeAnimState( mask, CT_SET, true );
		flags = ( flags & ~AS_TRANSITION_MASK ) | mask;
	}
	if ( subtree == nullptr ) {
		return 0;
	}

	if ( parent == nullptr ) {
		EFAnimNode * const other = FindNonExclNode( *node, FirstChild() );
		if ( other != nullptr ) {
			parent = other->mpParent;
			EFAnimNode * const layer = new ( std::nothrow ) EFAnimBlendNode( *other, *subtree, params );
			if ( layer == nullptr ) {
				Attach( parent, other, true );
				parent = &mUpdateTree;
			} else {
				subtree = layer;
			}
		} else {
			parent = &mUpdateTree;
		}
	}
	Attach( parent, subtree, first );
	if ( parent == &mUpdateTree ) {
		WriteObjectArray( *subtree );
	} else if ( IsBlend( parent ) ) {
		static_cast<EFAnimBlendNode *>( parent )->ComputeAdditive();
	}
	connected = true;
	return flags;
}

EFAnimBlendNode * EFAnimationMgr::InterpFromCurState( EFAnimNode & node, u32 & flags, const f32 blendTime,
													  DTWorkMemory & workMemory ) {
	UpdateHierarchyAnimNode( FirstChild(), workMemory );
	if ( ( flags & AS_CROSSFADE ) != 0 ) {
		flags = ( flags & ~AS_CROSSFADE ) | AS_BLEND_FROM_POSE;
	}
	EFAnimNode * current = FirstChild();
	while ( current != nullptr && !( IsSkeletalOrBlend( current->meType ) && current->mp3dObj == node.mp3dObj ) ) {
		current = AsAnim( current->mpNext );
	}
	DTAttrib pose( AT_TRANSFO );
	DTAttrib prims( AT_COLLPRIM );
	if ( current != nullptr ) {
		FrozenCopy( *current, pose );
		FrozenCopy( *current, prims );
		current->LeaveParent();
		StopAndDelete( current );
	}
	node.LeaveParent();
	EFAnimBlendNode * const blend = new ( std::nothrow ) EFAnimBlendNode( node, pose, prims, blendTime );
	if ( blend != nullptr ) {
		blend->ChangeAnimState( flags & ( AS_HOLD | AS_BLEND_FROM_POSE ), CT_SET, true );
	}
	return blend;
}

// --- Stopping ---

void EFAnimationMgr::Stop( const u32 anim ) {
	EFAnimNode * const node = GetAnimById( anim );
	if ( node == nullptr || node->muiAnimState == AS_STOPPED ) {
		return;
	}
	if ( node->meType == OP_HAnim ) {
		StopHAnim( *node );
	} else {
		node->Stop();
	}
}

void EFAnimationMgr::StopHAnim( EFAnimNode & node ) {
	DTNode * const parent = node.mpParent;
	if ( parent == nullptr || parent == &mUpdateTree || !IsBlend( parent ) ) {
		node.Stop();
		if ( node.mpParent == &mUpdateTree ) {
			node.LeaveParent();
		}
		return;
	}
	EFAnimBlendNode * const blend = static_cast<EFAnimBlendNode *>( parent );
	const bool transition = blend->muiBlendMode == EF_BLEND_FROM_POSE || blend->muiBlendMode == EF_BLEND_CROSSFADE;
	// The child of owner that is not child.
	const auto other = []( DTNode * owner, DTNode * child ) -> EFAnimNode * {
		return AsAnim( owner->mpChild == child ? child->mpNext : owner->mpChild );
	};
	// survivor takes gone's place in its parent, or (behindFirst) goes
	// behind that parent's first child.
	const auto replace = [this]( EFAnimNode * gone, EFAnimNode * survivor, const bool behindFirst ) {
		DTNode * const grand = gone->mpParent;
		const bool wasFirst = grand != nullptr && grand->mpChild == gone;
		if ( survivor != nullptr ) {
			survivor->LeaveParent();
		}
		gone->LeaveParent();
		StopAndDelete( gone );
		if ( grand == nullptr || survivor == nullptr ) {
			return;
		}
		Attach( grand, survivor, behindFirst ? grand->mpChild == nullptr : wasFirst );
		if ( grand == &mUpdateTree ) {
			WriteObjectArray( *survivor );
		} else if ( IsBlend( grand ) ) {
			static_cast<EFAnimBlendNode *>( grand )->ComputeAdditive();
		}
	};
	if ( blend->muiBlendMode == EF_BLEND_CROSSFADE && blend->mpChild == &node ) {
		replace( blend, other( blend, &node ), true );
	} else if ( transition ) {
		DTNode * const grand = blend->mpParent;
		if ( !IsBlend( grand ) ) {
			blend->LeaveParent();
			StopAndDelete( blend );
		} else {
			EFAnimBlendNode * const outer = static_cast<EFAnimBlendNode *>( grand );
			replace( outer, other( outer, blend ), false );
		}
	} else {
		replace( blend, other( blend, &node ), false );
	}
}

void EFAnimationMgr::StopAll() {
	while ( mUpdateTree.mpChild != nullptr ) {
		EFAnimNode * const child = FirstChild();
		if ( child->Stop() ) {
			child->LeaveParent();
			delete child;
		} else if ( child->mpParent == &mUpdateTree ) {
			// A stop that leaves the node in place would never end the loop.
			child->LeaveParent();
		}
	}
}

// --- Evaluation ---

void EFAnimationMgr::Update( const f32 dt ) {
	if ( muiClipMode != EF_ANIM_CLIP_ALL && ( muiFlags & EF_ANIM_MGR_PAUSED ) == 0 ) {
		EvaluationMemory work;
		Evaluate( &mUpdateTree, dt, work.memory );
	}
	if ( mbSendPostUpdateNotif != 0 && EFAnimNode::mpNotificationMgr != nullptr ) {
		EFAnimNode::mpNotificationMgr->Notify( NO_POST_ANIMATION, muiOwnerId, muiOwnerId, nullptr, true );
	}
}

void EFAnimationMgr::Evaluate( EFAnimNode * node, const f32 dt, DTWorkMemory & workMemory ) {
	node->mfTimeToLive -= dt;
	if ( node->mfTimeToLive < 0.0f ) {
		EFAnimNode * const next = AsAnim( node->mpNext );
		f32 carried = dt;
		EFAnimNode * const replacement = node->TimeOut( &carried );
		StopAndDelete( node );
		if ( replacement != nullptr ) {
			replacement->ChangeAnimState( AS_TRANSITION_MASK, CT_RESET, true );
			Evaluate( replacement, carried, workMemory );
		} else if ( next != nullptr ) {
			Evaluate( next, dt, workMemory );
		}
		return;
	}
	if ( node->mpChild != nullptr ) {
		Evaluate( AsAnim( node->mpChild ), dt, workMemory );
	}
	if ( node->mpNext != nullptr ) {
		Evaluate( AsAnim( node->mpNext ), dt, workMemory );
	}
	if ( muiClipMode != EF_ANIM_CLIP_HIERARCHY ) {
		node->Update( dt, workMemory );
		return;
	}
	node->AdvanceTime( dt );
	node->EndTest();
	if ( ( node->muiAnimState & AS_AT_END ) != 0 ) {
		node->muiAnimState |= AS_REFRESH;
	}
}

void EFAnimationMgr::UpdateHierarchyAnimNode( EFAnimNode * node, DTWorkMemory & workMemory ) {
	while ( node != nullptr && !IsSkeletalOrBlend( node->meType ) ) {
		node = AsAnim( node->mpNext );
	}
	if ( node == nullptr ) {
		return;
	}
	UpdateHierarchyAnimNode( AsAnim( node->mpChild ), workMemory );
	UpdateHierarchyAnimNode( AsAnim( node->mpNext ), workMemory );
	node->muiAnimState |= AS_REFRESH;
	node->Update( 0.0f, workMemory );
	node->muiAnimState &= ~AS_REFRESH;
	if ( node->mpParent == &mUpdateTree && node->mp3dObj != nullptr ) {
		node->mp3dObj->UpdateHierarchy();
	}
}

void EFAnimationMgr::ChangeBlendParam( const EFBlendParams & params ) {
	EFBlendParams copy = params;
	if ( EFAnimBlendNode * const blend = FindBlendNode( FirstChild(), params.uiBlendNodeID ) ) {
		blend->ChangeBlendParams( &copy );
	}
}

void EFAnimationMgr::BeginTree() {
	muiFlags |= EF_ANIM_MGR_BUILDING;
}

void EFAnimationMgr::EndTree() {
	muiFlags &= ~EF_ANIM_MGR_BUILDING;
	ComputePose();
}
