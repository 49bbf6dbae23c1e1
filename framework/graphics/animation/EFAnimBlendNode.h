/*
===============================================================================

	Blend node of an object's animation tree: mixes the poses of its
	children and hands the result up the tree.

	Modes: 1 blends from a frozen pose to its only child over a blend
	time; 2 cross-fades from its first child to its second over a blend
	time; 3 to 6 layer the second child over the first with a weight that
	fades in (3), holds (4), fades out (5) or changes (6), driven by
	EFBlendParams. A layer whose data says additive (blend kind 2) is
	added to the first child instead of mixed.

	The node's outputs are allocated with it: the blended transforms, the
	blended collision primitives and, in mode 1, the frozen primitives
	(linked from the frozen pose). A transition (mode 1 or 2) expires with
	its time to live, a timed layer when its fade-out has run; TimeOut
	then hands its place to the survivor. A blend node is deleted by
	whoever takes it out of the tree: Stop always asks for it.

	A work-memory request that cannot be met leaves an empty output for
	the frame; inputs are read only up to their record counts.

===============================================================================
*/
#ifndef EF_ANIM_BLEND_NODE_H
#define EF_ANIM_BLEND_NODE_H

#include "framework/graphics/animation/EFAnimNode.h"
#include "framework/logic/api/LogicApiRecords.h"

class DTTransfo;

// muiBlendMode.
constexpr u32 EF_BLEND_FROM_POSE		= 1;
constexpr u32 EF_BLEND_CROSSFADE		= 2;
constexpr u32 EF_BLEND_FADE_IN			= 3;
constexpr u32 EF_BLEND_HOLD				= 4;
constexpr u32 EF_BLEND_FADE_OUT			= 5;
constexpr u32 EF_BLEND_CHANGE			= 6;

// Id of a layer played without parameters; any id with a bit of the mask
// names a blend node.
constexpr u32 EF_BLEND_DEFAULT_UID		= 0xBBFFFFFF;
constexpr u32 EF_BLEND_UID_MASK			= 0xBB000000;

class EFAnimBlendNode : public EFAnimNode {
public:
	// Mode 1: from the frozen pose and primitives to n over t seconds.
	EFAnimBlendNode( EFAnimNode & n, DTAttrib & pose, DTAttrib & prims, f32 t );
	// Mode 2: cross-fade from a to b over t seconds.
	EFAnimBlendNode( EFAnimNode & a, EFAnimNode & b, f32 t );
	// Mode 3: b layered over a (defaults without params).
	EFAnimBlendNode( EFAnimNode & a, EFAnimNode & b, EFBlendParams * params );
	// Frees the outputs and, in mode 1, the frozen copies.
	virtual					~EFAnimBlendNode();

	EFAnimNode *			TimeOut( f32 * dt ) override;
	f32						Update( f32 dt, DTWorkMemory & workMemory ) override;
	bool					Stop() override;

	void					ChangeBlendParams( EFBlendParams * params );
	// Whether a timed sound of child node may play at the current weight.
	bool					CanPlaySoundCB( EFAnimNode & node );
	// Gives a node's transform block back to its object and empties both
	// its outputs.
	static void				ClearOutput( EFAnimNode & node );
	// Recomputes mbAdditive from the mode and the second child's data.
	void					ComputeAdditive();
	// The weight of the second child after a step of dt (mode changes
	// included).
	f32						ComputeWeight( f32 dt );

	// The output transform attribute's block: the object's locked array,
	// or work memory; false when neither is there (empty output).
	bool					AssignDataBlock( DTWorkMemory & workMemory );
	void					PrepareInterpTransfo( DTAttrib & pose, DTAttrib & prims );
	// The blended primitive chain at weight w of the second child.
	void					BlendPrimColl( DTWorkMemory & workMemory, f32 w );
	// Mixes one record of each chain into out (same kind).
	static void				Blend2CollPrimData( const EFAnimCollPrim & a, const EFAnimCollPrim & b, f32 w,
												EFAnimCollPrim & out );

	DTAttrib				mFrozenPose;
	u32						muiBlendMode;
	f32						mfWeight;
	f32						mfElapsed;
	f32						mfBlendTime;
	f32						mfTimeIn;
	f32						mfTimeOut;
	f32						mfNewWeight;
	f32						mfChangeTime;
	f32						mfSoundCBLimit;
	u32						mbAdditive;

private:
	// What every mode starts with: outputs linked, object, owner and group
	// from first.
							EFAnimBlendNode( u32 mode, const EFAnimNode & first );
	void					NormalMix( const DTAttrib & a, const DTAttrib & b, f32 w, DTWorkMemory & workMemory );
	void					AdditiveMix( const DTAttrib & a, const DTAttrib & b, f32 w, DTWorkMemory & workMemory );
	// Hands the object's arrays back and empties the output.
	void					ReleaseOutput();
	void					FreeFrozenPose();

	// Blended transforms, blended primitives, frozen primitives (mode 1).
	DTAttrib				moOutputs[3];
};

#endif
