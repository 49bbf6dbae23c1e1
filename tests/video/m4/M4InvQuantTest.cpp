#include "video/m4/M4InvQuant.h"

#include "video/m4/M4BitstreamParser.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// The H.263 rule written out: Q (2|l| + 1), one less for even Q, signed.
s32 H263( const s32 level, const s32 q ) {
	if ( level == 0 ) {
		return 0;
	}
	const s32 magnitude = q * ( 2 * std::abs( level ) + 1 ) - ( q % 2 == 0 ? 1 : 0 );
	const s32 v = level < 0 ? -magnitude : magnitude;
	return v < -2048 ? -2048 : ( v > 2047 ? 2047 : v );
}

s32 Clamp( const s64 v ) {
	return static_cast<s32>( v < -2048 ? -2048 : ( v > 2047 ? 2047 : v ) );
}

} // namespace

TEST( M4InvQuant, H263BlocksFollowTheOddAndEvenQuantiserRules ) {
	struct Case {
		s16 level;
		u32 q;
		s32 expected;
	};
	const Case cases[] = {
		{ 1, 1, 3 }, { -1, 1, -3 }, { 1, 2, 5 }, { -1, 2, -5 }, { 3, 7, 49 }, { -3, 8, -55 },
		{ 0, 31, 0 }, { 0, 2, 0 }, { 33, 31, 2047 }, { -33, 31, -2048 }, { 2047, 31, 2047 }, { -2048, 30, -2048 },
		{ 32, 31, 2015 }, { -32, 32 - 1, -2015 },
	};
	for ( const Case& c : cases ) {
		s16 in[64] = {};
		s16 out[64];
		in[17] = c.level;
		M4InvQuantType0Inter( out, in, c.q );
		EXPECT_EQ( out[17], c.expected ) << c.level << " at Q " << c.q;
		EXPECT_EQ( out[17], H263( c.level, static_cast<s32>( c.q ) ) );
		for ( u32 i = 0; i < 64; i++ ) {
			if ( i != 17 ) {
				EXPECT_EQ( out[i], 0 ) << i;
			}
		}
		// Inter blocks treat position 0 like any other.
		in[0] = c.level;
		M4InvQuantType0Inter( out, in, c.q );
		EXPECT_EQ( out[0], c.expected );
		// Intra blocks scale the DC instead.
		M4InvQuantType0Intra( out, in, c.q, 8 );
		EXPECT_EQ( out[0], Clamp( c.level * 8 ) );
		EXPECT_EQ( out[17], c.expected );
	}
}

TEST( M4InvQuant, IntraDCsAreScaledAndClamped ) {
	struct Case {
		s16 dc;
		u32 scaler;
		s32 expected;
	};
	const Case cases[] = { { 100, 8, 800 }, { -3, 46, -138 }, { 255, 8, 2040 }, { 256, 8, 2047 }, { -300, 8, -2048 }, { 0, 25, 0 } };
	for ( const Case& c : cases ) {
		s16 in[64] = {};
		s16 out[64];
		in[0] = c.dc;
		M4InvQuantType0Intra( out, in, 5, c.scaler );
		EXPECT_EQ( out[0], c.expected );
		M4InvQuantType1Intra( out, in, 5, c.scaler, M4BitstreamParser::mDefaultIntraMatrix );
		EXPECT_EQ( out[0], c.expected );
	}
}

TEST( M4InvQuant, MpegBlocksWeightEachPositionByItsMatrixEntry ) {
	const u8* const intra = M4BitstreamParser::mDefaultIntraMatrix;
	const u8* const inter = M4BitstreamParser::mDefaultInterMatrix;
	const s16 levels[] = { 1, -1, 2, -5, 7, 0, 100, -100, 2047, -2048 };
	const u32 quantisers[] = { 1, 2, 7, 16, 31 };
	for ( u32 q : quantisers ) {
		for ( s16 level : levels ) {
			s16 in[64];
			for ( u32 i = 0; i < 64; i++ ) {
				in[i] = ( i % 3 == 1 ) ? level : 0;
			}
			s16 out[64];
			M4InvQuantType1Intra( out, in, q, 8, intra );
			for ( u32 i = 1; i < 64; i++ ) {
				const s64 magnitude = ( static_cast<s64>( std::abs( in[i] ) ) * q * intra[i] ) / 8;
				EXPECT_EQ( out[i], Clamp( in[i] < 0 ? -magnitude : magnitude ) ) << "intra Q " << q << " level " << level << " at " << i;
			}
			M4InvQuantType1Inter( out, in, q, inter );
			s32 parity = 0;
			for ( u32 i = 0; i < 63; i++ ) {
				const s64 magnitude = in[i] == 0 ? 0 : ( ( 2 * static_cast<s64>( std::abs( in[i] ) ) + 1 ) * q * inter[i] ) / 16;
				const s32 expected = Clamp( in[i] < 0 ? -magnitude : magnitude );
				EXPECT_EQ( out[i], expected ) << "inter Q " << q << " level " << level << " at " << i;
				parity += expected;
			}
			// Position 63 (level 0 there) takes the mismatch bit alone.
			EXPECT_EQ( out[63], ( parity & 1 ) == 0 ? 1 : 0 );
		}
	}
}

TEST( M4InvQuant, MpegInterMismatchControlTouchesOnlyTheLastLowestBitOfAnEvenBlock ) {
	struct Case {
		s16 firstLevel;
		u8 firstWeight;
		s16 lastLevel;
		u8 lastWeight;
		s32 first;		// out[5]
		s32 last;		// out[63] before mismatch control
	};
	// Q 2: |out| = ((2|l| + 1) * 2 * w) >> 4.
	const Case cases[] = {
		{ 1, 16, 0, 16, 6, 0 },				// even
		{ 1, 16, 1, 16, 6, 6 },				// even
		{ 1, 16, 500, 16, 6, 2002 },		// even
		{ 1, 8, 1000, 16, 3, 2047 },		// even at the high clamp: 2047 becomes 2046
		{ 1, 16, -1000, 16, 6, -2048 },		// even at the low clamp: -2048 becomes -2047
		{ 1, 16, 1000, 16, 6, 2047 },		// odd at the clamp: nothing changes
		{ 1, 16, 1, 17, 6, 6 },				// (3 * 2 * 17) >> 4 = 6
		{ 2, 16, 1, 8, 10, 3 },				// odd
		{ 0, 16, 1, 8, 0, 3 },				// odd
	};
	for ( const Case& c : cases ) {
		u8 matrix[64];
		for ( u8& w : matrix ) {
			w = 16;
		}
		matrix[5] = c.firstWeight;
		matrix[63] = c.lastWeight;
		s16 in[64] = {};
		in[5] = c.firstLevel;
		in[63] = c.lastLevel;
		s16 out[64];
		M4InvQuantType1Inter( out, in, 2, matrix );
		EXPECT_EQ( out[5], c.first );
		const bool even = ( ( c.first + c.last ) & 1 ) == 0;
		EXPECT_EQ( out[63], even ? ( c.last ^ 1 ) : c.last ) << c.lastLevel;
		for ( u32 i = 0; i < 63; i++ ) {
			if ( i != 5 ) {
				EXPECT_EQ( out[i], 0 );
			}
		}
	}
}

TEST( M4InvQuant, MpegIntraBlocksHaveNoMismatchControl ) {
	u8 matrix[64];
	for ( u8& w : matrix ) {
		w = 16;
	}
	s16 in[64] = {};
	in[0] = 1;
	in[1] = 1;
	s16 out[64];
	M4InvQuantType1Intra( out, in, 4, 8, matrix );
	// 8 + 8: an even sum that stays as it is.
	EXPECT_EQ( out[0], 8 );
	EXPECT_EQ( out[1], 8 );
	EXPECT_EQ( out[63], 0 );
}
