/*
===============================================================================

	Graphics processor scalar types shared by every GX header.

===============================================================================
*/
#ifndef GX_TYPES_H
#define GX_TYPES_H

#include "platform/types/PlatformTypes.h"

// The GPU library's one-byte boolean.
typedef u8 GXBool;

constexpr GXBool GX_FALSE	= 0;
constexpr GXBool GX_TRUE	= 1;

#endif
