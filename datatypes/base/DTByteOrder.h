/*
===============================================================================

	Byte-order helpers.

	Stored engine data is big-endian; the 3D library's chunks are
	little-endian. Every field is decoded and encoded through these
	functions, one byte at a time, so that the result is the same on a host
	of either byte order and no struct is ever laid over file bytes. The
	pointers need no alignment.

===============================================================================
*/
#ifndef DT_BYTE_ORDER_H
#define DT_BYTE_ORDER_H

#include "datatypes/base/DTTypes.h"

#include <bit>

// Big-endian decoding.
inline u16 DTReadBE16( const u8* p ) {
	return static_cast<u16>( ( p[0] << 8 ) | p[1] );
}

inline u32 DTReadBE32( const u8* p ) {
	return ( static_cast<u32>( p[0] ) << 24 ) | ( static_cast<u32>( p[1] ) << 16 ) |
		   ( static_cast<u32>( p[2] ) << 8 ) | static_cast<u32>( p[3] );
}

inline u64 DTReadBE64( const u8* p ) {
	return ( static_cast<u64>( DTReadBE32( p ) ) << 32 ) | DTReadBE32( p + 4 );
}

inline s16 DTReadBES16( const u8* p ) { return static_cast<s16>( DTReadBE16( p ) ); }
inline s32 DTReadBES32( const u8* p ) { return static_cast<s32>( DTReadBE32( p ) ); }
inline f32 DTReadBEF32( const u8* p ) { return std::bit_cast<f32>( DTReadBE32( p ) ); }
inline f64 DTReadBEF64( const u8* p ) { return std::bit_cast<f64>( DTReadBE64( p ) ); }

// Little-endian decoding.
inline u16 DTReadLE16( const u8* p ) {
	return static_cast<u16>( p[0] | ( p[1] << 8 ) );
}

inline u32 DTReadLE32( const u8* p ) {
	return static_cast<u32>( p[0] ) | ( static_cast<u32>( p[1] ) << 8 ) |
		   ( static_cast<u32>( p[2] ) << 16 ) | ( static_cast<u32>( p[3] ) << 24 );
}

inline u64 DTReadLE64( const u8* p ) {
	return static_cast<u64>( DTReadLE32( p ) ) | ( static_cast<u64>( DTReadLE32( p + 4 ) ) << 32 );
}

inline s16 DTReadLES16( const u8* p ) { return static_cast<s16>( DTReadLE16( p ) ); }
inline s32 DTReadLES32( const u8* p ) { return static_cast<s32>( DTReadLE32( p ) ); }
inline f32 DTReadLEF32( const u8* p ) { return std::bit_cast<f32>( DTReadLE32( p ) ); }
inline f64 DTReadLEF64( const u8* p ) { return std::bit_cast<f64>( DTReadLE64( p ) ); }

// Big-endian encoding.
inline void DTWriteBE16( u8* p, const u16 v ) {
	p[0] = static_cast<u8>( v >> 8 );
	p[1] = static_cast<u8>( v );
}

inline void DTWriteBE32( u8* p, const u32 v ) {
	p[0] = static_cast<u8>( v >> 24 );
	p[1] = static_cast<u8>( v >> 16 );
	p[2] = static_cast<u8>( v >> 8 );
	p[3] = static_cast<u8>( v );
}

inline void DTWriteBE64( u8* p, const u64 v ) {
	DTWriteBE32( p, static_cast<u32>( v >> 32 ) );
	DTWriteBE32( p + 4, static_cast<u32>( v ) );
}

inline void DTWriteBEF32( u8* p, const f32 v ) { DTWriteBE32( p, std::bit_cast<u32>( v ) ); }
inline void DTWriteBEF64( u8* p, const f64 v ) { DTWriteBE64( p, std::bit_cast<u64>( v ) ); }

// Little-endian encoding.
inline void DTWriteLE16( u8* p, const u16 v ) {
	p[0] = static_cast<u8>( v );
	p[1] = static_cast<u8>( v >> 8 );
}

inline void DTWriteLE32( u8* p, const u32 v ) {
	p[0] = static_cast<u8>( v );
	p[1] = static_cast<u8>( v >> 8 );
	p[2] = static_cast<u8>( v >> 16 );
	p[3] = static_cast<u8>( v >> 24 );
}

inline void DTWriteLE64( u8* p, const u64 v ) {
	DTWriteLE32( p, static_cast<u32>( v ) );
	DTWriteLE32( p + 4, static_cast<u32>( v >> 32 ) );
}

inline void DTWriteLEF32( u8* p, const f32 v ) { DTWriteLE32( p, std::bit_cast<u32>( v ) ); }
inline void DTWriteLEF64( u8* p, const f64 v ) { DTWriteLE64( p, std::bit_cast<u64>( v ) ); }

#endif
