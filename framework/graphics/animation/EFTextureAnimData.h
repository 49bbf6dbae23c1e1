/*
===============================================================================

	Base of the texture-animation nodes (node type OP_TextAnim): an
	animation node with nothing of its own.

===============================================================================
*/
#ifndef EF_TEXTURE_ANIM_DATA_H
#define EF_TEXTURE_ANIM_DATA_H

#include "framework/graphics/animation/EFAnimNode.h"

class EFTextureAnimData : public EFAnimNode {
public:
							EFTextureAnimData();
};

#endif
