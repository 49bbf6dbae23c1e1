/*
===============================================================================

	Stored description of a texture animation: the file it plays.

	Stored after the descriptor members: "TEXTURE_FILE_NAME".

===============================================================================
*/
#ifndef DT_TEXTURE_ANIMATION_DESCRIPTOR_H
#define DT_TEXTURE_ANIMATION_DESCRIPTOR_H

#include "datatypes/descriptor/DTBaseInstanceDescriptor.h"
#include "datatypes/containers/DTString.h"

class DTTextureAnimationDescriptor : public DTBaseInstanceDescriptor {
public:
							DTTextureAnimationDescriptor();
	virtual					~DTTextureAnimationDescriptor();

	DTString					moTextureFileName;
};

#endif
