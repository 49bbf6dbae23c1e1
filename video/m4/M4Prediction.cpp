#include "video/m4/M4Prediction.h"

#include "video/m4/M4SpriteWarp.h"

const s16 M4Prediction::mDefaultACDCValues[M4_ACDC_VALUES] = { 1024, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 };

u32 M4GetDCScaler( const u32 quantiser, const u32 block ) {
	if ( quantiser < 5 ) {
		return 8;
	}
	if ( block < 4 ) {
		if ( quantiser < 9 ) {
			return 2 * quantiser;
		}
		if ( quantiser < 25 ) {
			return quantiser + 8;
		}
		return 2 * quantiser - 16;
	}
	if ( quantiser < 25 ) {
		return ( quantiser + 13 ) / 2;
	}
	return quantiser - 6;
}

namespace {

struct M4Neighbour {
	const s16*	values;
	u32			quantiser;
};

bool M4IsIntra( const M4_MB& mb ) {
	return mb.mType == M4_MB_INTRA || mb.mType == M4_MB_INTRA_Q;
}

// The neighbour block at macroblock offset (dx, dy) from (x, y); (0, 0) is
// the current macroblock, whose earlier blocks are always usable.
inline M4Neighbour M4GetNeighbour( const M4_MB* mbs, const u32 x, const u32 y, const u32 mbWidth, const s32 dx, const s32 dy, const u32 block, const u32 quantiser ) {
	const M4Neighbour missing = { M4Prediction::mDefaultACDCValues, quantiser };
	const s64 nx = static_cast<s64>( x ) + dx;
	const s64 ny = static_cast<s64>( y ) + dy;
	if ( nx < 0 || ny < 0 || nx >= mbWidth ) {
		return missing;
	}
	const M4_MB& mb = mbs[static_cast<u64>( ny ) * mbWidth + static_cast<u64>( nx )];
	if ( ( dx != 0 || dy != 0 ) && !M4IsIntra( mb ) ) {
		return missing;
	}
	const u32 neighbourQuantiser = mb.mQuantiser != 0 ? mb.mQuantiser : quantiser;
	return M4Neighbour { mb.mACDCValues[block], neighbourQuantiser };
}

s32 M4Abs( const s32 v ) {
	return v < 0 ? -v : v;
}

// a // b as M4DivideRounded gives it, in 32 bits when a stored value
// times a quantiser and the divisor allow (always, for a stream's
// quantisers and DC scalers).
s32 M4DivideRoundedSmall( const s64 a, const u32 b ) {
	constexpr s64 kLargest = 0x7FFFFFFF;
	if ( a > kLargest || a < -kLargest || b == 0 || b > 0xFFFF ) {
		return static_cast<s32>( M4DivideRounded( a, b ) );
	}
	const u32 magnitude = static_cast<u32>( a < 0 ? -a : a );
	const s32 quotient = static_cast<s32>( ( magnitude + b / 2 ) / b );
	return a < 0 ? -quotient : quotient;
}

} // namespace

void M4PredictACDC( const M4_MB* mbs, const u32 x, const u32 y, const u32 mbWidth, const u32 block, const u32 quantiser, const u32 dcScaler, M4ACDCPredictor* out ) {
	// Macroblock offset and block of the left (A), above-left (B) and
	// above (C) neighbours of each block; luma blocks sit 2 x 2.
	struct Place {
		s8	dx;
		s8	dy;
		u8	block;
	};
	static const Place kLeft[M4_MB_BLOCKS]		= { { -1, 0, 1 }, { 0, 0, 0 }, { -1, 0, 3 }, { 0, 0, 2 }, { -1, 0, 4 }, { -1, 0, 5 } };
	static const Place kAboveLeft[M4_MB_BLOCKS]	= { { -1, -1, 3 }, { 0, -1, 2 }, { -1, 0, 1 }, { 0, 0, 0 }, { -1, -1, 4 }, { -1, -1, 5 } };
	static const Place kAbove[M4_MB_BLOCKS]		= { { 0, -1, 2 }, { 0, -1, 3 }, { 0, 0, 0 }, { 0, 0, 1 }, { 0, -1, 4 }, { 0, -1, 5 } };

	const u32 b = block < M4_MB_BLOCKS ? block : M4_MB_BLOCKS - 1;
	const M4Neighbour a = M4GetNeighbour( mbs, x, y, mbWidth, kLeft[b].dx, kLeft[b].dy, kLeft[b].block, quantiser );
	const M4Neighbour bl = M4GetNeighbour( mbs, x, y, mbWidth, kAboveLeft[b].dx, kAboveLeft[b].dy, kAboveLeft[b].block, quantiser );
	const M4Neighbour c = M4GetNeighbour( mbs, x, y, mbWidth, kAbove[b].dx, kAbove[b].dy, kAbove[b].block, quantiser );

	const bool fromAbove = M4Abs( a.values[0] - bl.values[0] ) < M4Abs( bl.values[0] - c.values[0] );
	const M4Neighbour& chosen = fromAbove ? c : a;
	const s32 currentQuantiser = quantiser != 0 ? static_cast<s32>( quantiser ) : 1;

	out->mDirection = fromAbove ? M4_PRED_ABOVE : M4_PRED_LEFT;
	out->mDC = M4DivideRoundedSmall( chosen.values[0], dcScaler != 0 ? dcScaler : 1 );
	const s16* const ac = chosen.values + ( fromAbove ? M4_ACDC_ROW : M4_ACDC_COLUMN );
	for ( u32 i = 0; i < M4_ACDC_AC_COUNT; i++ ) {
		if ( static_cast<s32>( chosen.quantiser ) == currentQuantiser ) {
			out->mAC[i] = ac[i];
		} else {
			out->mAC[i] = M4DivideRoundedSmall( static_cast<s64>( ac[i] ) * chosen.quantiser, static_cast<u32>( currentQuantiser ) );
		}
	}
}

static s16 M4SaturateS16( const s64 v ) {
	if ( v > INT16_MAX ) {
		return INT16_MAX;
	}
	if ( v < INT16_MIN ) {
		return INT16_MIN;
	}
	return static_cast<s16>( v );
}

void M4Prediction::addACDC( const M4ACDCPredictor& predictor, M4_MB* mb, s16* coefficients, const u32 block, const u32 dcScaler ) {
	const u32 b = block < M4_MB_BLOCKS ? block : M4_MB_BLOCKS - 1;
	s16* const area = mb->mACDCValues[b];
	coefficients[0] = M4SaturateS16( static_cast<s64>( coefficients[0] ) + predictor.mDC );

	const u8 direction = mb->mACPredDirection[b];
	for ( u32 i = 0; i < M4_ACDC_AC_COUNT; i++ ) {
		s16& rowValue = coefficients[1 + i];
		s16& columnValue = coefficients[8 * ( 1 + i )];
		if ( direction == M4_PRED_ABOVE ) {
			rowValue = M4SaturateS16( static_cast<s64>( rowValue ) + predictor.mAC[i] );
		} else if ( direction == M4_PRED_LEFT ) {
			columnValue = M4SaturateS16( static_cast<s64>( columnValue ) + predictor.mAC[i] );
		}
		area[M4_ACDC_ROW + i] = rowValue;
		area[M4_ACDC_COLUMN + i] = columnValue;
	}
	area[0] = M4SaturateS16( static_cast<s64>( coefficients[0] ) * dcScaler );
}
