#include "framework/logic/api/LogicApiTables.h"

#include "framework/logic/api/LogicApiTable.h"
#include "platform/runtime/RuntimeRand.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace {

bool bDone = false;

constexpr s32 STDLIB_S32_MAX	= 0x7FFFFFFF;
constexpr s32 STDLIB_S32_MIN	= static_cast<s32>( 0x80000000u );
constexpr u32 STDLIB_U32_MAX	= 0xFFFFFFFFu;

// The console's runtime has a 32-bit long: conversions clamp to its
// range, and the divide never traps.

s32 StdAbs( const s32 value ) {
	// Through u32: the minimum stays itself without a signed overflow.
	return value < 0 ? static_cast<s32>( 0u - static_cast<u32>( value ) ) : value;
}

s32 StdStrtol( char * text, char ** end, const s32 base ) {
	// 64-bit parsing consumes every digit and sets the end pointer as a
	// 32-bit runtime does; only the clamp differs.
	const long long value = std::strtoll( text, end, base );
	if ( value > STDLIB_S32_MAX ) {
		errno = ERANGE;
		return STDLIB_S32_MAX;
	}
	if ( value < STDLIB_S32_MIN ) {
		errno = ERANGE;
		return STDLIB_S32_MIN;
	}
	return static_cast<s32>( value );
}

u32 StdStrtoul( char * text, char ** end, const s32 base ) {
	// The magnitude is parsed apart from its sign, so that a negative
	// value wraps in 32 bits and a magnitude past 32 bits clamps.
	const char * cursor = text;
	while ( std::isspace( static_cast<unsigned char>( *cursor ) ) ) {
		cursor++;
	}
	const bool negative = *cursor == '-';
	if ( *cursor == '-' || *cursor == '+' ) {
		cursor++;
	}
	char * digitsEnd = const_cast<char *>( cursor );
	unsigned long long magnitude = 0;
	// A second sign or a blank after the sign is no number.
	if ( *cursor != '-' && *cursor != '+' && !std::isspace( static_cast<unsigned char>( *cursor ) ) ) {
		const int saved = errno;
		errno = 0;
		magnitude = std::strtoull( cursor, &digitsEnd, base );
		const bool overflow = errno == ERANGE;
		if ( errno == 0 ) {
			errno = saved;
		}
		if ( overflow || magnitude > STDLIB_U32_MAX ) {
			errno = ERANGE;
			if ( end != nullptr ) {
				*end = digitsEnd;
			}
			return STDLIB_U32_MAX;
		}
	}
	if ( digitsEnd == cursor ) {
		// Nothing converted: the end pointer is the text itself.
		if ( end != nullptr ) {
			*end = text;
		}
		return 0;
	}
	if ( end != nullptr ) {
		*end = digitsEnd;
	}
	const u32 value = static_cast<u32>( magnitude );
	return negative ? 0u - value : value;
}

f64 StdStrtod( char * text, char ** end ) {
	return std::strtod( text, end );
}

f64 StdAtof( char * text ) {
	return std::strtod( text, nullptr );
}

s32 StdAtoi( char * text ) {
	return StdStrtol( text, nullptr, 10 );
}

// Divisor 0 gives quotient 0 and the dividend as remainder; the minimum
// over -1 gives the minimum and remainder 0.
template< class Result >
Result StdDivide( const s32 numerator, const s32 denominator ) {
	Result result = {};
	if ( denominator == 0 ) {
		result.rem = numerator;
		return result;
	}
	if ( numerator == STDLIB_S32_MIN && denominator == -1 ) {
		result.quot = STDLIB_S32_MIN;
		return result;
	}
	result.quot = numerator / denominator;
	result.rem = numerator % denominator;
	return result;
}

s32 StdMblen( char * text, const u32 count ) {
	return std::mblen( text, count );
}

}

void ApiStdLibNotInit() {
	bDone = true;
}

bool ApiStdLibNotInitDone() {
	return bDone;
}

constexpr _api_stdlib APIstdlibStubs = MakeLogicApiStubs<_api_stdlib, ApiStdLibNotInit>();
constinit _api_stdlib APIstdlib = MakeLogicApiStubs<_api_stdlib, ApiStdLibNotInit>();

void Init_stdlib() {
	InitAPI( &APIstdlib, LOGIC_API_STDLIB_SLOTS, &APIstdlibStubs );
	APIstdlib.abs = StdAbs;
	APIstdlib.atof = StdAtof;
	APIstdlib.atoi = StdAtoi;
	APIstdlib.atol = StdAtoi;
	APIstdlib.div = StdDivide<LogicApiDiv>;
	APIstdlib.labs = StdAbs;
	APIstdlib.ldiv = StdDivide<LogicApiLDiv>;
	APIstdlib.mblen = StdMblen;
	APIstdlib.rand = RuntimeRand;
	APIstdlib.srand = RuntimeSrand;
	APIstdlib.strtod = StdStrtod;
	APIstdlib.strtol = StdStrtol;
	APIstdlib.strtoul = StdStrtoul;
}
