/*
===============================================================================

	Animation node that plays a morph animation on a 3D object.
	Only creation and the shallow copy exist so far.

===============================================================================
*/
#ifndef EF_MORPH_ANIM_NODE_H
#define EF_MORPH_ANIM_NODE_H

#include "framework/graphics/animation/EFAnimNode.h"

class EFMorphAnimNode : public EFAnimNode {
public:
							EFMorphAnimNode();

	static void *			Instanciate();

	EFAnimNode *			ShallowCopy() override;
};

#endif
