/*
===============================================================================

	A game object's animation manager: the object's animation nodes by
	animation index (mppAnims, muiNbAnims entries, index 0 for the
	descriptor at muiBaseIndex), its pause flag, the clip mode the
	clipping pass sets and the owner's id.

	The manager owns the nodes and their table. Only storing the nodes,
	the frame update, Terminate and the entry points logic calls exist so
	far: playing, blending, stopping and the blend tree record their call
	in the call trace and keep their last arguments (moLastCall); what
	they do comes with the animation manager's own work.

===============================================================================
*/
#ifndef EF_ANIMATION_MGR_H
#define EF_ANIMATION_MGR_H

#include "datatypes/base/DTTypes.h"
#include "framework/logic/api/LogicApiRecords.h"

class DTNode;
class EFAnimNode;

// muiFlags.
constexpr u32 EF_ANIM_MGR_PAUSED		= 0x1;

// muiClipMode.
constexpr u32 EF_ANIM_CLIP_NONE			= 0;
constexpr u32 EF_ANIM_CLIP_ALL			= 32;
constexpr u32 EF_ANIM_CLIP_HIERARCHY	= 64;

// The arguments of the last play, blend or stop call.
struct EFAnimationCall {
	u32						muiAnim;
	u32						muiFlags;
	u32						muiConnectNode;
	f32						mfTime;
	EFBlendParams			moParams;
	bool					mbHasParams;
};

class EFAnimationMgr {
public:
							EFAnimationMgr();
	// Terminate.
							~EFAnimationMgr();

							EFAnimationMgr( const EFAnimationMgr & ) = delete;
	EFAnimationMgr &		operator=( const EFAnimationMgr & ) = delete;

	// A table of count empty entries, replacing none: false when the
	// manager already has one or there is no memory.
	bool					CreateTable( u32 count );
	// Stores node at animation index index; an index past the table is
	// refused.
	bool					AddAnim( EFAnimNode * node, u32 index );
	EFAnimNode *			GetAnim( u32 index ) const;
	// The frame step of the object's animation.
	void					Update( f32 dt );
	// Deletes every node and the table; the count becomes 0.
	void					Terminate();

	void					Play( u32 anim, u32 flags, f32 time );
	// connectNode 0xFFFFFFFF: the default connection point.
	void					PlayBlend( u32 anim, u32 flags, u32 connectNode, f32 time, EFBlendParams * params );
	void					ChangeBlendParam( const EFBlendParams & params );
	void					Stop( u32 anim );
	void					StopAll();
	// Nodes played until EndTree are connected without evaluation; EndTree
	// evaluates the tree once.
	void					BeginTree();
	void					EndTree();

	u32						muiBaseIndex;
	EFAnimNode **			mppAnims;
	DTNode *				mpUpdateTree;
	u32						muiNbAnims;
	u32						muiFlags;
	u32						muiClipMode;
	u32						muiOwnerId;
	u32						mbSendPostUpdateNotif;
	EFAnimationCall			moLastCall;
};

#endif
