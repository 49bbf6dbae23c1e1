/*
===============================================================================

	Animation node that plays a camera animation.
	Only creation and the shallow copy exist so far.

===============================================================================
*/
#ifndef EF_CAMERA_ANIM_NODE_H
#define EF_CAMERA_ANIM_NODE_H

#include "framework/graphics/animation/EFAnimNode.h"

class EFCameraAnimNode : public EFAnimNode {
public:
							EFCameraAnimNode();

	static void *			Instanciate();

	EFAnimNode *			ShallowCopy() override;
};

#endif
