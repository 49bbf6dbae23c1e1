/*
===============================================================================

	Collision primitives on library clumps (plug-in 0x01BAD003).
	Placeholder: attaching succeeds and registers nothing yet.

===============================================================================
*/
#ifndef AP_COLLISION_PRIMITIVES_PLUGIN_H
#define AP_COLLISION_PRIMITIVES_PLUGIN_H

#include "datatypes/base/DTTypes.h"

// 1 on success.
s32		ApCollisionPrimitivesPluginAttach();

#endif
