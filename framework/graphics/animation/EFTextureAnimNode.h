/*
===============================================================================

	Animation node that plays a texture animation on a 3D object.
	Only creation and the shallow copy exist so far.

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
};

#endif
