/*
===============================================================================

	The eleven attribute words of a collision primitive: primitive flags,
	collision, detect, user-defined collision and detect types,
	environment and user-defined environment detect types, and four user
	values sent with contact notifications.

===============================================================================
*/
#ifndef EF_COL_PRIM_ATTRIB_H
#define EF_COL_PRIM_ATTRIB_H

#include "datatypes/base/DTTypes.h"

constexpr u32 EF_COL_PRIM_ATTRIB_WORDS = 11;

struct EFColPrimAttrib {
	u32						IntArray[EF_COL_PRIM_ATTRIB_WORDS];
};

#endif
