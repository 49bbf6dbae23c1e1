/*
===============================================================================

	Fixed-width scalar types.

	Every stored field and every 32-bit value of the console's interfaces is
	declared with one of these. The console's `long` is 32 bits wide, so no
	engine code uses `long` itself: a 64-bit host would silently widen it.

===============================================================================
*/
#ifndef DT_TYPES_H
#define DT_TYPES_H

#include <cstddef>
#include <cstdint>

typedef std::int8_t   s8;
typedef std::uint8_t  u8;
typedef std::int16_t  s16;
typedef std::uint16_t u16;
typedef std::int32_t  s32;
typedef std::uint32_t u32;
typedef std::int64_t  s64;
typedef std::uint64_t u64;
typedef float         f32;
typedef double        f64;

static_assert(sizeof(f32) == 4, "f32 must be an IEEE single");
static_assert(sizeof(f64) == 8, "f64 must be an IEEE double");
static_assert(static_cast<char>(-1) > 0, "plain char must be unsigned (build with -funsigned-char)");

#endif
