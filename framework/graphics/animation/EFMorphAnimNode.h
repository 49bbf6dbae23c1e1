/*
===============================================================================

	Animation node that plays a vertex morph animation on a 3D object's
	clump ("EF_MORPH_ANIM_NODE", class 81).

	Played with AS_HOLD from a stop, it first blends from the clump's
	current geometry for the blend time (the blend alone writes the
	geometry then), then runs. On the frame the blend-in ends the node
	clears AS_HOLD, neither blends nor advances, and writes the geometry
	at its current time. Without an animation (a refused resource) every
	operation does nothing and the duration is 0.

===============================================================================
*/
#ifndef EF_MORPH_ANIM_NODE_H
#define EF_MORPH_ANIM_NODE_H

#include "framework/graphics/animation/EFAnimNode.h"

struct ApMorphAnimationEx;

constexpr s32 EF_MORPH_ANIM_NODE_CLASS_ID	= 81;
// Data version from which the animation stores its group.
constexpr u32 EF_MORPH_GROUP_VERSION		= 10408;

class EFMorphAnimNode : public EFAnimNode {
public:
							EFMorphAnimNode();

	static void *			Instanciate();

	EFAnimNode *			ShallowCopy() override;
	bool					Initialize( DTCreationParameters * params ) override;
	void					Play( u32 flags, f32 blendTime ) override;
	f32						Update( f32 dt, DTWorkMemory & workMemory ) override;
	bool					Stop() override;

	ApMorphAnimationEx *	mpMorphAnim;
	f32						mfBlendElapsed;
	f32						mfBlendLength;
};

#endif
