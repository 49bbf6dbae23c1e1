#include "framework/core/spline/EFSplineDecoder.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/file/DTFile.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/core/spline/EFQuadraticSpline.h"
#include "framework/core/spline/EFSplineSegment.h"

#include <cmath>
#include <cstring>
#include <new>

namespace {

// Header fields.
constexpr u32 HEADER_ID				= 0;
constexpr u32 HEADER_FLAGS			= 2;
constexpr u32 HEADER_UNUSED			= 4;
constexpr u32 HEADER_LENGTH			= 12;
constexpr u32 HEADER_BOX_CENTRE		= 16;
constexpr u32 HEADER_BOX_HALF		= 28;
constexpr u32 HEADER_NB_SEGMENTS	= 40;
constexpr u32 HEADER_SEGMENTS		= 44;

// Segment fields.
constexpr u32 SEGMENT_CORNERS		= 0;
constexpr u32 SEGMENT_LENGTH		= 36;
constexpr u32 SEGMENT_DISTANCE		= 40;
constexpr u32 SEGMENT_A				= 44;
constexpr u32 SEGMENT_B				= 48;
constexpr u32 SEGMENT_C				= 52;
constexpr u32 SEGMENT_R				= 56;
constexpr u32 SEGMENT_K				= 60;
constexpr u32 SEGMENT_VECTOR_B		= 64;
constexpr u32 SEGMENT_VECTOR_C		= 76;
constexpr u32 SEGMENT_CC			= 88;
constexpr u32 SEGMENT_BC2			= 92;
constexpr u32 SEGMENT_BB			= 96;
constexpr u32 SEGMENT_PLANES		= 100;
constexpr u32 PLANE_BYTES			= 16;

// Float fields of a header and of a segment, by offset and count.
constexpr u32 HEADER_FLOATS_FIRST	= HEADER_LENGTH;
constexpr u32 HEADER_FLOATS_COUNT	= 7;
constexpr u32 SEGMENT_FLOATS_COUNT	= EF_SPLINE_SEGMENT_BYTES / 4;

bool FloatsFinite( const u8 * bytes, const u32 count ) {
	for ( u32 i = 0; i < count; i++ ) {
		if ( !std::isfinite( DTReadBEF32( bytes + 4 * i ) ) ) {
			return false;
		}
	}
	return true;
}

DTVector3d ReadVector( const u8 * bytes ) {
	return DTVector3d( DTReadBEF32( bytes ), DTReadBEF32( bytes + 4 ), DTReadBEF32( bytes + 8 ) );
}

} // namespace

bool EFSplineDecoder::Check( const u8 * block, const u32 size, const u32 count, const u32 headerOffset,
							 u64 & segments ) {
	segments = 0;
	if ( static_cast<u64>( headerOffset ) + static_cast<u64>( count ) * EF_SPLINE_HEADER_BYTES > size ) {
		DTPrintf( "SPLINE HEADERS OUTSIDE THE BLOCK (%u at %u, block of %u)!!!\n", count, headerOffset, size );
		return false;
	}
	for ( u32 i = 0; i < count; i++ ) {
		const u8 * const header = block + headerOffset + i * EF_SPLINE_HEADER_BYTES;
		const u32 nbSegments = DTReadBE32( header + HEADER_NB_SEGMENTS );
		const u32 offset = DTReadBE32( header + HEADER_SEGMENTS );
		if ( nbSegments == 0 ) {
			DTPrintf( "SPLINE %u HAS NO SEGMENT!!!\n", i );
			return false;
		}
		if ( static_cast<u64>( offset ) + static_cast<u64>( nbSegments ) * EF_SPLINE_SEGMENT_BYTES > size ) {
			DTPrintf( "SPLINE %u SEGMENTS OUTSIDE THE BLOCK (%u at %u)!!!\n", i, nbSegments, offset );
			return false;
		}
		if ( !FloatsFinite( header + HEADER_FLOATS_FIRST, HEADER_FLOATS_COUNT ) ||
			 !( DTReadBEF32( header + HEADER_LENGTH ) >= 0.0f ) ) {
			DTPrintf( "SPLINE %u HEADER HAS A BAD FLOAT!!!\n", i );
			return false;
		}
		for ( u32 s = 0; s < nbSegments; s++ ) {
			const u8 * const record = block + offset + s * EF_SPLINE_SEGMENT_BYTES;
			if ( !FloatsFinite( record, SEGMENT_FLOATS_COUNT ) || !( DTReadBEF32( record + SEGMENT_LENGTH ) >= 0.0f ) ) {
				DTPrintf( "SPLINE %u SEGMENT %u HAS A BAD FLOAT!!!\n", i, s );
				return false;
			}
		}
		segments += nbSegments;
		if ( segments > size / EF_SPLINE_SEGMENT_BYTES ) {
			DTPrintf( "SPLINES CLAIM MORE SEGMENTS THAN THE BLOCK HOLDS!!!\n" );
			return false;
		}
	}
	return true;
}

void EFSplineDecoder::DecodeHeader( const u8 * bytes, EFQuadraticSpline & spline ) {
	spline.mui16ID = DTReadBE16( bytes + HEADER_ID );
	spline.mui16Flags = DTReadBE16( bytes + HEADER_FLAGS );
	spline.maui32Unused[0] = DTReadBE32( bytes + HEADER_UNUSED );
	spline.maui32Unused[1] = DTReadBE32( bytes + HEADER_UNUSED + 4 );
	spline.mfLength = DTReadBEF32( bytes + HEADER_LENGTH );
	spline.moBoxCentre = ReadVector( bytes + HEADER_BOX_CENTRE );
	spline.moBoxHalfExtents = ReadVector( bytes + HEADER_BOX_HALF );
	spline.mui32NbSegments = DTReadBE32( bytes + HEADER_NB_SEGMENTS );
	spline.mpoSegments = nullptr;
}

void EFSplineDecoder::DecodeSegment( const u8 * bytes, EFSplineSegment & segment ) {
	for ( u32 k = 0; k < EF_SPLINE_CORNERS; k++ ) {
		segment.moCorners[k] = ReadVector( bytes + SEGMENT_CORNERS + 12 * k );
	}
	segment.mfLength = DTReadBEF32( bytes + SEGMENT_LENGTH );
	segment.mfDistance = DTReadBEF32( bytes + SEGMENT_DISTANCE );
	segment.mfA = DTReadBEF32( bytes + SEGMENT_A );
	segment.mfB = DTReadBEF32( bytes + SEGMENT_B );
	segment.mfC = DTReadBEF32( bytes + SEGMENT_C );
	segment.mfR = DTReadBEF32( bytes + SEGMENT_R );
	segment.mfK = DTReadBEF32( bytes + SEGMENT_K );
	segment.moB = ReadVector( bytes + SEGMENT_VECTOR_B );
	segment.moC = ReadVector( bytes + SEGMENT_VECTOR_C );
	segment.mfCC = DTReadBEF32( bytes + SEGMENT_CC );
	segment.mfBC2 = DTReadBEF32( bytes + SEGMENT_BC2 );
	segment.mfBB = DTReadBEF32( bytes + SEGMENT_BB );
	for ( u32 k = 0; k < EF_SPLINE_PLANES; k++ ) {
		const u8 * const plane = bytes + SEGMENT_PLANES + PLANE_BYTES * k;
		segment.moPlanes[k].moNormal = ReadVector( plane );
		segment.moPlanes[k].mfDistance = DTReadBEF32( plane + 12 );
	}
}

void * EFSplineDecoder::Decode( const u8 * block, const u32 size, const u32 count, const u32 headerOffset,
								EFQuadraticSpline *& splines ) {
	splines = nullptr;
	u64 segments = 0;
	if ( block == nullptr || !Check( block, size, count, headerOffset, segments ) ) {
		return nullptr;
	}
	const u64 bytes = static_cast<u64>( count ) * sizeof( EFQuadraticSpline ) + segments * sizeof( EFSplineSegment );
	if ( bytes == 0 || bytes > 0xFFFFFFFFu ) {
		return nullptr;
	}
	void * const storage = MMMalloc( static_cast<u32>( bytes ) );
	if ( storage == nullptr ) {
		DTPrintf( "NO MEMORY FOR %u SPLINES!!!\n", count );
		return nullptr;
	}
	std::memset( storage, 0, static_cast<size_t>( bytes ) );
	EFQuadraticSpline * const headers = static_cast<EFQuadraticSpline *>( storage );
	EFSplineSegment * const firstSegment = reinterpret_cast<EFSplineSegment *>( headers + count );
	for ( u32 i = 0; i < count; i++ ) {
		new ( &headers[i] ) EFQuadraticSpline();
	}
	for ( u64 s = 0; s < segments; s++ ) {
		new ( &firstSegment[s] ) EFSplineSegment();
	}
	EFSplineSegment * segment = firstSegment;
	for ( u32 i = 0; i < count; i++ ) {
		const u8 * const header = block + headerOffset + i * EF_SPLINE_HEADER_BYTES;
		DecodeHeader( header, headers[i] );
		headers[i].mpoSegments = segment;
		const u8 * const table = block + DTReadBE32( header + HEADER_SEGMENTS );
		for ( u32 s = 0; s < headers[i].mui32NbSegments; s++ ) {
			DecodeSegment( table + s * EF_SPLINE_SEGMENT_BYTES, *segment++ );
		}
	}
	splines = headers;
	return storage;
}
