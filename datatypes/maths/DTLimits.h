/*
===============================================================================

	Numeric limits shared by the data-type library, and the null test of a
	float.

	The limits are constants with internal linkage, so that every source
	file holds its own copy, as every file of the library always has.
	DT_IsNull answers from the bit pattern, not from a comparison: only
	+0.0 is null, -0.0 is not.

===============================================================================
*/
#ifndef DT_LIMITS_H
#define DT_LIMITS_H

#include "datatypes/base/DTTypes.h"

#include <cstring>

static constexpr s32 DT_MAX_INT8		= 127;
static constexpr s32 DT_MAX_INT16		= 32767;
static constexpr s32 DT_MAX_INT32		= 0x7FFFFFFF;
static constexpr u32 DT_MAX_UINT8		= 255;
static constexpr u32 DT_MAX_UINT16		= 65535;
static constexpr u32 DT_MAX_UINT32		= 0xFFFFFFFF;
static constexpr f32 DT_MAX_FLOAT		= 3.4028235e38f;
static constexpr f32 DT_MIN_FLOAT		= 1.1754944e-38f;
// 2 to the power -23.
static constexpr f32 DT_EPSILON_FLOAT	= 1.1920929e-07f;

// True exactly when all 32 bits of the float are zero.
inline bool DT_IsNull( const f32 & value ) {
	u32 bits;
	std::memcpy( &bits, &value, sizeof( bits ) );
	return bits == 0;
}

#endif
