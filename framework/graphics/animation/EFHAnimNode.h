/*
===============================================================================

	Animation node that plays a hierarchical (skeletal) animation on a
	3D object.
	Only creation and the shallow copy exist so far.

===============================================================================
*/
#ifndef EF_HANIM_NODE_H
#define EF_HANIM_NODE_H

#include "framework/graphics/animation/EFAnimNode.h"

class EFHAnimNode : public EFAnimNode {
public:
							EFHAnimNode();

	static void *			Instanciate();

	EFAnimNode *			ShallowCopy() override;
};

#endif
