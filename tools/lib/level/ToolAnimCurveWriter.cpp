#include "tools/lib/level/ToolAnimCurveWriter.h"

#include "tools/lib/ToolBigEndianWriter.h"
#include "tools/lib/level/ToolAnimBlockWriter.h"

#include <bit>

namespace {

constexpr u32 SINGLE_EXPONENT_MASK	= 0xFF;
constexpr u32 SINGLE_MANTISSA_MASK	= 0x7FFFFF;
constexpr s32 EXPONENT_REBIAS		= 107;
constexpr s32 HALF_EXPONENT_MAX		= 31;
constexpr u32 HALF_MANTISSA_MAX		= 0x3FF;
constexpr u32 DROPPED_BITS			= 13;
constexpr u32 DROPPED_HALF			= 1u << ( DROPPED_BITS - 1 );
constexpr u32 DROPPED_MASK			= ( 1u << DROPPED_BITS ) - 1;

} // namespace

u16 ToolAnimCurveWriter::PackHalf( const f32 value ) {
	const u32 bits = std::bit_cast<u32>( value );
	const u32 sign = ( bits >> 31 ) << 15;
	const u32 exponent = ( bits >> 23 ) & SINGLE_EXPONENT_MASK;
	const u32 mantissa = bits & SINGLE_MANTISSA_MASK;
	if ( exponent == 0 ) {
		// The engine expands exponent 0 to a single of exponent 0: keep the top bits.
		return static_cast<u16>( sign | ( mantissa >> DROPPED_BITS ) );
	}
	if ( exponent == SINGLE_EXPONENT_MASK ) {
		return static_cast<u16>( sign | ( HALF_EXPONENT_MAX << 10 ) | HALF_MANTISSA_MAX );
	}
	s32 half = static_cast<s32>( exponent ) - EXPONENT_REBIAS;
	u32 top = mantissa >> DROPPED_BITS;
	const u32 rest = mantissa & DROPPED_MASK;
	if ( rest > DROPPED_HALF || ( rest == DROPPED_HALF && ( top & 1 ) != 0 ) ) {
		top++;
		if ( top > HALF_MANTISSA_MAX ) {
			top = 0;
			half++;
		}
	}
	if ( half > HALF_EXPONENT_MAX ) {
		return static_cast<u16>( sign | ( HALF_EXPONENT_MAX << 10 ) | HALF_MANTISSA_MAX );
	}
	if ( half <= 0 ) {
		return static_cast<u16>( sign );
	}
	return static_cast<u16>( sign | ( static_cast<u32>( half ) << 10 ) | top );
}

u32 ToolAnimCurveWriter::PackPair( const f32 first, const f32 second ) {
	return static_cast<u32>( PackHalf( first ) ) | ( static_cast<u32>( PackHalf( second ) ) << 16 );
}

std::vector<u8> ToolAnimCurveWriter::Encode( const ToolCurve & curve ) {
	ToolBigEndianWriter out;
	out.WriteF32( curve.start );
	out.WriteF32( curve.end );
	out.WriteU8( static_cast<u8>( ( curve.preInfinity << 4 ) | ( curve.postInfinity & 0x0F ) ) );
	out.WriteU8( curve.kind );
	if ( curve.kind == TOOL_CURVE_CONSTANT ) {
		out.WriteU16( 1 );
		out.WriteF32( curve.value );
		return out.Take();
	}
	out.WriteU16( static_cast<u16>( curve.keys.size() ) );
	for ( const ToolCurveKey & key : curve.keys ) {
		out.WriteF32( key.end );
		if ( curve.kind == TOOL_CURVE_COMPRESSED ) {
			out.WriteU32( PackPair( key.a, key.b ) );
			out.WriteU32( PackPair( key.c, key.d ) );
		} else {
			out.WriteF32( key.a );
			out.WriteF32( key.b );
			out.WriteF32( key.c );
			out.WriteF32( key.d );
		}
	}
	return out.Take();
}

ToolCurve ToolAnimCurveWriter::Constant( const f32 value ) {
	ToolCurve curve;
	curve.kind = TOOL_CURVE_CONSTANT;
	curve.value = value;
	return curve;
}

ToolCurve ToolAnimCurveWriter::Linear( const f32 start, const f32 end, const f32 from, const f32 to ) {
	ToolCurve curve;
	curve.start = start;
	curve.end = end;
	curve.keys.push_back( { end, 0.0f, 0.0f, to - from, from } );
	return curve;
}

u32 ToolAnimCurveWriter::AppendCurve( ToolAnimBlock & block, const ToolCurve & curve ) {
	const u32 offset = ToolAnimBlockWriter::PayloadOffset( block ) + static_cast<u32>( block.payload.size() );
	const std::vector<u8> bytes = Encode( curve );
	block.payload.insert( block.payload.end(), bytes.begin(), bytes.end() );
	return offset;
}

std::vector<u8> ToolAnimCurveWriter::SplineBlock( const std::vector<std::pair<u32, Channels>> & tracks, const f32 duration ) {
	ToolAnimBlock block;
	block.duration = duration;
	for ( const auto & track : tracks ) {
		ToolAnimTrack head;
		head.joint = track.first;
		head.entries.resize( track.second.size() );
		block.tracks.push_back( head );
	}
	// Curves follow the complete tracks.
	for ( u32 t = 0; t < tracks.size(); t++ ) {
		for ( u32 e = 0; e < tracks[t].second.size(); e++ ) {
			block.tracks[t].entries[e].target = 0x05000000u | tracks[t].second[e].first;
			block.tracks[t].entries[e].offset = AppendCurve( block, tracks[t].second[e].second );
		}
	}
	return ToolAnimBlockWriter::Encode( block );
}
