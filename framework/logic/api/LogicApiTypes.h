/*
===============================================================================

	Fixed-width types and layout checks shared by the engine and its logic
	modules.

	A module is plain C built against the module header alone, so the
	types are defined here from <stdint.h> when the engine's own
	definitions are not in scope. The layout checks state where each
	table slot and record field sits; they hold for the host (slots as
	wide as host pointers) and for the console's 32-bit target.

===============================================================================
*/
#ifndef LOGIC_API_TYPES_H
#define LOGIC_API_TYPES_H

#ifdef __cplusplus
#include "datatypes/base/DTTypes.h"
#include <cstddef>
#define LOGIC_API_STATIC_ASSERT( condition, text ) static_assert( condition, text )
#else
#include <stddef.h>
#include <stdint.h>
typedef int8_t		s8;
typedef uint8_t		u8;
typedef int16_t		s16;
typedef uint16_t	u16;
typedef int32_t		s32;
typedef uint32_t	u32;
typedef int64_t		s64;
typedef uint64_t	u64;
typedef float		f32;
typedef double		f64;
#define LOGIC_API_STATIC_ASSERT( condition, text ) _Static_assert( condition, text )
#endif

// A table slot sits at its index times the width of a function pointer.
#define LOGIC_API_SLOT( table, member, slot ) \
	LOGIC_API_STATIC_ASSERT( offsetof( struct table, member ) == ( slot ) * sizeof( void * ), #table " " #member " slot" )
#define LOGIC_API_TABLE_SIZE( table, slots ) \
	LOGIC_API_STATIC_ASSERT( sizeof( struct table ) == ( slots ) * sizeof( void * ), #table " size" )

// A record field at its byte offset, and a record's size.
#define LOGIC_API_FIELD( record, field, offset ) \
	LOGIC_API_STATIC_ASSERT( offsetof( record, field ) == ( offset ), #record " " #field " offset" )
#define LOGIC_API_SIZE( record, size ) \
	LOGIC_API_STATIC_ASSERT( sizeof( record ) == ( size ), #record " size" )

// Offsets and sizes of records that hold pointers: the console's 32-bit
// value, or the host's.
#define LOGIC_API_BY_POINTER( bytes32, bytes64 ) ( sizeof( void * ) == 4 ? ( bytes32 ) : ( bytes64 ) )

#endif
