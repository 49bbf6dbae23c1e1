#include "framework/core/world/EFPosData.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwMatrix.h"
#include "platform/os/OS.h"

u32 EFPosData::muiNbConnection = 0;

EFPosData::EFPosData()
	: mpFrame( nullptr ), muiPosFlags( 0 ), mpParent( nullptr ), mpNext( nullptr ), mpChild( nullptr ) {
}

EFPosData::~EFPosData() {
	// Virtual calls made from here resolve to this class's versions.
	DestroyFrame();
}

DTFrame * EFPosData::CreateFrame( DTFrame * frame ) {
	if ( mpFrame != nullptr ) {
		return mpFrame;
	}
	if ( frame != nullptr ) {
		mpFrame = frame;
		muiPosFlags &= ~EF_POS_OWNS_FRAME;
		return mpFrame;
	}
	mpFrame = new DTFrame;
	if ( mpFrame != nullptr ) {
		muiPosFlags |= EF_POS_OWNS_FRAME;
	}
	return mpFrame;
}

void EFPosData::DestroyFrame() {
	LeaveParent( 0 );
	RemoveAllChildren( 0 );
	if ( ( muiPosFlags & EF_POS_OWNS_FRAME ) != 0 ) {
		delete mpFrame;
	}
	mpFrame = nullptr;
	muiPosFlags &= ~EF_POS_OWNS_FRAME;
}

void EFPosData::AddChild( EFPosData * child, const u32 options ) {
	Attach( mpFrame, child, options );
}

void EFPosData::AddChildFrame( DTFrame * frame, EFPosData * child, const u32 options ) {
	Attach( frame, child, options );
}

void EFPosData::TranslateNotify() {
}

bool EFPosData::CanAttach( const DTFrame * target, const EFPosData * child ) const {
	if ( child == nullptr || child == this ) {
		return false;
	}
	for ( const EFPosData * up = mpParent; up != nullptr; up = up->mpParent ) {
		if ( up == child ) {
			return false;
		}
	}
	if ( target == nullptr || child->mpFrame == nullptr ) {
		return false;
	}
	// A target frame inside the child's own frame subtree (one of its
	// bones) would close a loop in the library hierarchy.
	const RwFrame * const childFrame = &child->mpFrame->moFrame;
	for ( const RwFrame * up = &target->moFrame; up != nullptr; up = static_cast<const RwFrame *>( up->object.parent ) ) {
		if ( up == childFrame ) {
			return false;
		}
	}
	return true;
}

void EFPosData::Attach( DTFrame * target, EFPosData * child, const u32 options ) {
	if ( !CanAttach( target, child ) ) {
		OSReport( "EFPosData::AddChild: %08x cannot take %08x as a child\n", muiUID,
				  child != nullptr ? child->muiUID : DT_STREAMABLE_NO_UID );
		return;
	}
	if ( child->mpParent != nullptr ) {
		child->LeaveParent( EF_DETACH_TELL_PARENT );
	}
	RwFrame * const parentFrame = &target->moFrame;
	RwFrame * const childFrame = &child->mpFrame->moFrame;
	if ( ( options & EF_ATTACH_SNAP ) != 0 ) {
		RwFrameAddChild( parentFrame, childFrame );
		RwFrameSetIdentity( childFrame );
	} else {
		// The world-axis offset only: the parent's rotation and scale are
		// not undone, so the world position holds under a plain parent.
		const RwV3d parentPos = RwFrameGetLTM( parentFrame )->pos;
		const RwV3d childPos = RwFrameGetLTM( childFrame )->pos;
		const RwV3d delta = { childPos.x - parentPos.x, childPos.y - parentPos.y, childPos.z - parentPos.z };
		RwFrameAddChild( parentFrame, childFrame );
		RwFrameSetIdentity( childFrame );
		childFrame->modelling.pos = { 0.0f, 0.0f, 0.0f };
		RwFrameTranslate( childFrame, &delta, rwCOMBINEPOSTCONCAT );
	}
	muiNbConnection++;
	child->mpParent = this;
	child->mpNext = mpChild;
	mpChild = child;
	if ( ( options & EF_ATTACH_TELL_PARENT ) != 0 ) {
		SendTreeMessage( this, EF_MSG_CHILD_ATTACHED, child->muiUID );
	}
	if ( ( options & EF_ATTACH_TELL_CHILD ) != 0 ) {
		SendTreeMessage( child, EF_MSG_ATTACHED_TO_PARENT, muiUID );
	}
	if ( ( options & EF_ATTACH_SET_POS_FLAG ) != 0 ) {
		child->muiPosFlags |= EF_POS_ATTACH_FLAG;
	} else {
		child->muiPosFlags &= ~EF_POS_ATTACH_FLAG;
	}
	if ( ( options & EF_ATTACH_INHERIT_CLIP ) != 0 ) {
		if ( GetClassID() != EF_GAME_OBJECT_CLASS_ID || child->GetClassID() != EF_GAME_OBJECT_CLASS_ID ) {
			OSReport( "EFPosData::AddChild: clipping is inherited between game objects only\n" );
			return;
		}
		EFGameObject * const parentObject = static_cast<EFGameObject *>( this );
		EFGameObject * const childObject = static_cast<EFGameObject *>( child );
		childObject->SetClippingParams( &parentObject->moClipping.clipParams, 0 );
		childObject->ApplyClipOps( parentObject->moClipping.uiClipOps );
	}
}

void EFPosData::ReleaseFrame( DTFrame * frame, const u32 options ) {
	if ( frame == nullptr ) {
		return;
	}
	RwFrame * const rwFrame = &frame->moFrame;
	if ( ( options & EF_DETACH_RESET ) != 0 ) {
		if ( rwFrame->object.parent != nullptr ) {
			RwFrameRemoveChild( rwFrame );
		}
		RwFrameSetIdentity( rwFrame );
		return;
	}
	const RwMatrix world = *RwFrameGetLTM( rwFrame );
	RwFrameRemoveChild( rwFrame );
	RwMatrix normalised = world;
	RwMatrixOrthoNormalize( &normalised, &world );
	rwFrame->modelling = normalised;
	RwFrameUpdateObjects( rwFrame );
}

void EFPosData::LeaveParent( const u32 options ) {
	EFPosData * const parent = mpParent;
	if ( parent == nullptr ) {
		return;
	}
	ReleaseFrame( mpFrame, options );
	muiNbConnection--;
	EFPosData ** link = &parent->mpChild;
	while ( *link != nullptr && *link != this ) {
		link = &( *link )->mpNext;
	}
	if ( *link == nullptr ) {
		return;
	}
	*link = mpNext;
	mpNext = nullptr;
	mpParent = nullptr;
	if ( ( options & EF_DETACH_TELL_PARENT ) != 0 ) {
		SendTreeMessage( parent, EF_MSG_CHILD_LEFT, muiUID );
	}
	if ( ( options & EF_DETACH_TELL_CHILD ) != 0 ) {
		SendTreeMessage( this, EF_MSG_LEFT_PARENT, parent->muiUID );
	}
}

void EFPosData::RemoveAllChildren( const u32 options ) {
	EFPosData * child = mpChild;
	while ( child != nullptr ) {
		EFPosData * const next = child->mpNext;
		ReleaseFrame( child->mpFrame, options );
		child->mpParent = nullptr;
		child->mpNext = nullptr;
		muiNbConnection--;
		if ( ( options & EF_DETACH_TELL_CHILD ) != 0 ) {
			SendTreeMessage( child, EF_MSG_LEFT_PARENT, muiUID );
		}
		if ( ( options & EF_DETACH_TELL_PARENT ) != 0 ) {
			SendTreeMessage( this, EF_MSG_CHILD_LEFT, child->muiUID );
		}
		child = next;
	}
	mpChild = nullptr;
}

void EFPosData::SendTreeMessage( const EFPosData * to, const u32 message, const u32 parameter ) {
	if ( to->mpGameObjectOwner == nullptr || gpoGameLogicMgr == nullptr ) {
		OSReport( "EFPosData: instance %08x has no owner; message %08x not sent\n", to->muiUID, message );
		return;
	}
	gpoGameLogicMgr->SendLogicMessageTo( to->mpGameObjectOwner->GetUID(), message, parameter, nullptr, nullptr );
}
