/*
===============================================================================

	A game object's animation manager: the object's animation nodes by
	animation index (mppAnims, muiNbAnims entries, index 0 for the
	descriptor at muiBaseIndex), the blend tree the playing nodes are
	evaluated through, its pause and tree-building flags, the clip mode
	the clipping pass sets and the owner's id.

	The manager owns the nodes and their table; the blend nodes of the
	tree are made by play requests and deleted by whoever takes them out.
	Each child of the root (mUpdateTree) is an independent subtree: a
	playing node, or a blend node over two subtrees (the first blended
	from, the second blended to). Skeletal nodes of one group on one 3D
	object exclude each other; other groups are layered over them.

	Every evaluation runs in a work memory of EF_ANIM_WORK_MEMORY bytes on
	the caller's stack. Animation ids outside the table, empty entries
	and nodes without data are ignored; a blend target that is not a
	skeletal node in the tree (or when the played node is inside a blend)
	drops the request.

===============================================================================
*/
#ifndef EF_ANIMATION_MGR_H
#define EF_ANIMATION_MGR_H

#include "datatypes/base/DTTypes.h"
#include "framework/graphics/animation/EFAnimNode.h"
#include "framework/logic/api/LogicApiRecords.h"

class DTWorkMemory;
class EFAnimBlendNode;

// muiFlags.
constexpr u32 EF_ANIM_MGR_PAUSED		= 0x1;
constexpr u32 EF_ANIM_MGR_BUILDING		= 0x2;

// muiClipMode.
constexpr u32 EF_ANIM_CLIP_NONE			= 0;
constexpr u32 EF_ANIM_CLIP_ALL			= 32;
constexpr u32 EF_ANIM_CLIP_HIERARCHY	= 64;

// Bytes of the work memory of one evaluation (512 joint transforms).
constexpr u32 EF_ANIM_WORK_MEMORY		= 36864;
// No blend target: the default connection.
constexpr u32 EF_ANIM_NO_TARGET			= 0xFFFFFFFF;

class EFAnimationMgr {
public:
	// Hands the game-logic manager's notification manager to the nodes.
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
	// The node of an animation id, null outside the table.
	EFAnimNode *			GetAnimById( u32 anim ) const;
	// The frame step: evaluation (unless clipped or paused), then the
	// post-animation notification when asked.
	void					Update( f32 dt );
	// Stops the tree, deletes every node and the table; the count becomes 0.
	void					Terminate();

	void					Play( u32 anim, u32 flags, f32 blendTime );
	// blendTarget EF_ANIM_NO_TARGET: the default connection.
	void					PlayBlend( u32 anim, u32 flags, u32 blendTarget, f32 blendTime, EFBlendParams * params );
	void					PlayHAnim( EFAnimNode * node, u32 flags, u32 blendTarget, f32 blendTime, EFBlendParams * params,
									   bool interpolate );
	void					ChangeBlendParam( const EFBlendParams & params );
	void					Stop( u32 anim );
	void					StopHAnim( EFAnimNode & node );
	void					StopAll();
	// Nodes played until EndTree are connected without a pose; EndTree
	// computes the pose once.
	void					BeginTree();
	void					EndTree();

	u32						ConnectNode( EFAnimNode * node, u32 flags, f32 blendTime );
	u32						ConnectTextureAnim( EFAnimNode * node, u32 flags );
	// The flags to start node with, 0 when the request is dropped.
	u32						ConnectHAnim( EFAnimNode * node, u32 flags, u32 blendTarget, f32 blendTime,
										  EFBlendParams * params, bool interpolate );
	EFAnimBlendNode *		InterpFromCurState( EFAnimNode & node, u32 & flags, f32 blendTime, DTWorkMemory & workMemory );

	static EFAnimBlendNode *	FindBlendNode( EFAnimNode * start, u32 uid );
	static EFAnimNode *		FindExclNode( const EFAnimNode & node, EFAnimNode * start );
	static EFAnimNode *		FindNonExclNode( const EFAnimNode & node, EFAnimNode * start );

	void					Evaluate( EFAnimNode * node, f32 dt, DTWorkMemory & workMemory );
	void					UpdateHierarchyAnimNode( EFAnimNode * node, DTWorkMemory & workMemory );

	EFAnimNode *			FirstChild() const { return static_cast<EFAnimNode *>( mUpdateTree.mpChild ); }

	u32						muiBaseIndex;
	EFAnimNode **			mppAnims;
	EFAnimNode				mUpdateTree;
	u32						muiNbAnims;
	u32						muiFlags;
	u32						muiClipMode;
	u32						muiOwnerId;
	u32						mbSendPostUpdateNotif;

private:
	// Puts subtree under parent: first, or second behind the current first.
	static void				Attach( DTNode * parent, DTNode * subtree, bool first );
	// Points the output of a subtree under the root at the object's array.
	static void				WriteObjectArray( EFAnimNode & subtree );
	// The pose of the tree from the root's first child, now.
	void					ComputePose();
	// Stops node and deletes it when its Stop asks for it.
	static void				StopAndDelete( EFAnimNode * node );
	bool					IsInsideBlend( const EFAnimNode & node ) const;
	// Whether node is subtree or lies inside it.
	static bool				Contains( const EFAnimNode * subtree, const EFAnimNode * node );
	// ConnectHAnim, telling a dropped request (connected false) from a
	// start with flags 0.
	u32						Connect( EFAnimNode * node, u32 flags, u32 blendTarget, f32 blendTime, EFBlendParams * params,
									 bool interpolate, bool & connected );
};

#endif
