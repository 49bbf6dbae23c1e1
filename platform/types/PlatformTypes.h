/*
===============================================================================

	Fixed-width scalar types of the console's libraries.

	Every 32-bit value of the console's interfaces, and every stored field of
	the engine above them, is declared with one of these. The console's `long`
	is 32 bits wide, so no code uses `long` itself: a 64-bit host would
	silently widen it. The engine's own types header takes these, so there is
	one definition.

===============================================================================
*/
#ifndef PLATFORM_TYPES_H
#define PLATFORM_TYPES_H

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
