/*
===============================================================================

	Animation node that plays a texture animation on a 3D object.
	Only creation, the shallow copy and the link a 3D object keeps its
	playing texture animations by exist so far; applying and restoring a
	texture animation around an object's drawing do nothing yet.

===============================================================================
*/
#ifndef EF_TEXTURE_ANIM_NODE_H
#define EF_TEXTURE_ANIM_NODE_H

#include "framework/graphics/animation/EFAnimNode.h"

class EFTextureAnimNode : public EFAnimNode {
public:
							EFTextureAnimNode();

	static void *			Instanciate();

	EFAnimNode *			ShallowCopy() override;

	// Puts the animation's textures on the object's materials for the
	// level of detail lod, and takes them off again.
	void					ApplyText( u32 lod );
	void					RestoreText( u32 lod );

	// Next animation playing on the same 3D object.
	EFTextureAnimNode *		mpNextPlaying;
};

#endif
