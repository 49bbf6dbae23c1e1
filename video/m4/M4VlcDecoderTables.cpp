// The code tables of the macroblock layer, typed as code, length and value
// and packed into look-up arrays when the program is compiled.

#include "video/m4/M4VlcDecoder.h"

namespace {

struct M4VlcCode {
	u32		code;
	u32		length;
	u32		value;
};

constexpr u32 Tcoef( const u32 last, const u32 run, const u32 level ) {
	return level | ( run << M4_TCOEF_RUN_SHIFT ) | ( last << M4_TCOEF_LAST_SHIFT );
}

constexpr u32 Mcbpc( const u32 type, const u32 cbpc ) {
	return type | ( cbpc << M4_MCBPC_CBPC_SHIFT );
}

constexpr u32 Motion( const s32 code ) {
	return static_cast<u32>( code ) & M4_VLC_VALUE_MASK;
}

// Entry i of the packed array covers the window first + (i << shift) of
// windowBits bits; the code whose bits begin that window gives the entry.
template<u32 COUNT, u32 CODES>
constexpr M4PackedTable<COUNT> Pack( const M4VlcCode ( &codes )[CODES], const u32 windowBits, const u32 first, const u32 shift ) {
	M4PackedTable<COUNT> table{};
	for ( u32 i = 0; i < COUNT; i++ ) {
		const u32 window = first + ( i << shift );
		table.mEntry[i] = M4_VLC_INVALID;
		for ( u32 c = 0; c < CODES; c++ ) {
			if ( codes[c].length <= windowBits && ( window >> ( windowBits - codes[c].length ) ) == codes[c].code ) {
				table.mEntry[i] = codes[c].value | ( codes[c].length << M4_VLC_LENGTH_SHIFT );
				break;
			}
		}
	}
	return table;
}

// Intra coefficients, without the sign bit that follows each code.
constexpr M4VlcCode kIntraCoefficients[] = {
	{ 0b10, 2, Tcoef( 0, 0, 1 ) },				{ 0b110, 3, Tcoef( 0, 0, 2 ) },
	{ 0b1111, 4, Tcoef( 0, 0, 3 ) },			{ 0b0110'1, 5, Tcoef( 0, 0, 4 ) },
	{ 0b0110'0, 5, Tcoef( 0, 0, 5 ) },			{ 0b0101'01, 6, Tcoef( 0, 0, 6 ) },
	{ 0b0100'11, 6, Tcoef( 0, 0, 7 ) },			{ 0b0100'10, 6, Tcoef( 0, 0, 8 ) },
	{ 0b0010'111, 7, Tcoef( 0, 0, 9 ) },		{ 0b0001'1111, 8, Tcoef( 0, 0, 10 ) },
	{ 0b0001'1110, 8, Tcoef( 0, 0, 11 ) },		{ 0b0001'1101, 8, Tcoef( 0, 0, 12 ) },
	{ 0b0001'0010'1, 9, Tcoef( 0, 0, 13 ) },	{ 0b0001'0010'0, 9, Tcoef( 0, 0, 14 ) },
	{ 0b0001'0001'1, 9, Tcoef( 0, 0, 15 ) },	{ 0b0001'0000'1, 9, Tcoef( 0, 0, 16 ) },
	{ 0b0000'1000'01, 10, Tcoef( 0, 0, 17 ) },	{ 0b0000'1000'00, 10, Tcoef( 0, 0, 18 ) },
	{ 0b0000'0011'11, 10, Tcoef( 0, 0, 19 ) },	{ 0b0000'0011'10, 10, Tcoef( 0, 0, 20 ) },
	{ 0b0000'0000'111, 11, Tcoef( 0, 0, 21 ) },	{ 0b0000'0000'110, 11, Tcoef( 0, 0, 22 ) },
	{ 0b0000'0100'000, 11, Tcoef( 0, 0, 23 ) },	{ 0b0000'0100'001, 11, Tcoef( 0, 0, 24 ) },
	{ 0b0000'0101'0000, 12, Tcoef( 0, 0, 25 ) },	{ 0b0000'0101'0001, 12, Tcoef( 0, 0, 26 ) },
	{ 0b0000'0101'0010, 12, Tcoef( 0, 0, 27 ) },
	{ 0b1110, 4, Tcoef( 0, 1, 1 ) },			{ 0b0101'00, 6, Tcoef( 0, 1, 2 ) },
	{ 0b0010'110, 7, Tcoef( 0, 1, 3 ) },		{ 0b0001'1100, 8, Tcoef( 0, 1, 4 ) },
	{ 0b0001'0000'0, 9, Tcoef( 0, 1, 5 ) },		{ 0b0000'1111'1, 9, Tcoef( 0, 1, 6 ) },
	{ 0b0000'0011'01, 10, Tcoef( 0, 1, 7 ) },	{ 0b0000'0100'010, 11, Tcoef( 0, 1, 8 ) },
	{ 0b0000'0101'0011, 12, Tcoef( 0, 1, 9 ) },	{ 0b0000'0101'0101, 12, Tcoef( 0, 1, 10 ) },
	{ 0b0101'1, 5, Tcoef( 0, 2, 1 ) },			{ 0b0010'101, 7, Tcoef( 0, 2, 2 ) },
	{ 0b0000'1111'0, 9, Tcoef( 0, 2, 3 ) },		{ 0b0000'0011'00, 10, Tcoef( 0, 2, 4 ) },
	{ 0b0000'0101'0110, 12, Tcoef( 0, 2, 5 ) },
	{ 0b0100'01, 6, Tcoef( 0, 3, 1 ) },			{ 0b0001'1011, 8, Tcoef( 0, 3, 2 ) },
	{ 0b0000'1110'1, 9, Tcoef( 0, 3, 3 ) },		{ 0b0000'0010'11, 10, Tcoef( 0, 3, 4 ) },
	{ 0b0100'00, 6, Tcoef( 0, 4, 1 ) },			{ 0b0001'0001'0, 9, Tcoef( 0, 4, 2 ) },
	{ 0b0000'0010'10, 10, Tcoef( 0, 4, 3 ) },
	{ 0b0011'01, 6, Tcoef( 0, 5, 1 ) },			{ 0b0000'1110'0, 9, Tcoef( 0, 5, 2 ) },
	{ 0b0000'0010'00, 10, Tcoef( 0, 5, 3 ) },
	{ 0b0010'010, 7, Tcoef( 0, 6, 1 ) },		{ 0b0000'1101'1, 9, Tcoef( 0, 6, 2 ) },
	{ 0b0000'0101'0100, 12, Tcoef( 0, 6, 3 ) },
	{ 0b0010'100, 7, Tcoef( 0, 7, 1 ) },		{ 0b0000'1101'0, 9, Tcoef( 0, 7, 2 ) },
	{ 0b0000'0101'0111, 12, Tcoef( 0, 7, 3 ) },
	{ 0b0001'1001, 8, Tcoef( 0, 8, 1 ) },		{ 0b0000'0010'01, 10, Tcoef( 0, 8, 2 ) },
	{ 0b0001'1000, 8, Tcoef( 0, 9, 1 ) },		{ 0b0000'0100'011, 11, Tcoef( 0, 9, 2 ) },
	{ 0b0001'0111, 8, Tcoef( 0, 10, 1 ) },		{ 0b0000'1100'1, 9, Tcoef( 0, 11, 1 ) },
	{ 0b0000'1100'0, 9, Tcoef( 0, 12, 1 ) },	{ 0b0000'0001'11, 10, Tcoef( 0, 13, 1 ) },
	{ 0b0000'0101'1000, 12, Tcoef( 0, 14, 1 ) },
	{ 0b0111, 4, Tcoef( 1, 0, 1 ) },			{ 0b0011'00, 6, Tcoef( 1, 0, 2 ) },
	{ 0b0001'0110, 8, Tcoef( 1, 0, 3 ) },		{ 0b0000'1011'1, 9, Tcoef( 1, 0, 4 ) },
	{ 0b0000'0001'10, 10, Tcoef( 1, 0, 5 ) },	{ 0b0000'0000'101, 11, Tcoef( 1, 0, 6 ) },
	{ 0b0000'0000'100, 11, Tcoef( 1, 0, 7 ) },	{ 0b0000'0101'1001, 12, Tcoef( 1, 0, 8 ) },
	{ 0b0011'11, 6, Tcoef( 1, 1, 1 ) },			{ 0b0000'1011'0, 9, Tcoef( 1, 1, 2 ) },
	{ 0b0000'0001'01, 10, Tcoef( 1, 1, 3 ) },
	{ 0b0011'10, 6, Tcoef( 1, 2, 1 ) },			{ 0b0000'0001'00, 10, Tcoef( 1, 2, 2 ) },
	{ 0b0010'001, 7, Tcoef( 1, 3, 1 ) },		{ 0b0000'0100'100, 11, Tcoef( 1, 3, 2 ) },
	{ 0b0010'000, 7, Tcoef( 1, 4, 1 ) },		{ 0b0000'0100'101, 11, Tcoef( 1, 4, 2 ) },
	{ 0b0010'011, 7, Tcoef( 1, 5, 1 ) },		{ 0b0000'0101'1010, 12, Tcoef( 1, 5, 2 ) },
	{ 0b0001'0101, 8, Tcoef( 1, 6, 1 ) },		{ 0b0000'0101'1011, 12, Tcoef( 1, 6, 2 ) },
	{ 0b0001'0100, 8, Tcoef( 1, 7, 1 ) },		{ 0b0001'0011, 8, Tcoef( 1, 8, 1 ) },
	{ 0b0001'1010, 8, Tcoef( 1, 9, 1 ) },		{ 0b0000'1010'1, 9, Tcoef( 1, 10, 1 ) },
	{ 0b0000'1010'0, 9, Tcoef( 1, 11, 1 ) },	{ 0b0000'1001'1, 9, Tcoef( 1, 12, 1 ) },
	{ 0b0000'1001'0, 9, Tcoef( 1, 13, 1 ) },	{ 0b0000'1000'1, 9, Tcoef( 1, 14, 1 ) },
	{ 0b0000'0100'110, 11, Tcoef( 1, 15, 1 ) },	{ 0b0000'0100'111, 11, Tcoef( 1, 16, 1 ) },
	{ 0b0000'0101'1100, 12, Tcoef( 1, 17, 1 ) },	{ 0b0000'0101'1101, 12, Tcoef( 1, 18, 1 ) },
	{ 0b0000'0101'1110, 12, Tcoef( 1, 19, 1 ) },	{ 0b0000'0101'1111, 12, Tcoef( 1, 20, 1 ) },
	{ 0b0000'011, 7, M4_VLC_ESCAPE },
};

// Inter coefficients, without the sign bit that follows each code.
constexpr M4VlcCode kInterCoefficients[] = {
	{ 0b10, 2, Tcoef( 0, 0, 1 ) },				{ 0b1111, 4, Tcoef( 0, 0, 2 ) },
	{ 0b0101'01, 6, Tcoef( 0, 0, 3 ) },			{ 0b0010'111, 7, Tcoef( 0, 0, 4 ) },
	{ 0b0001'1111, 8, Tcoef( 0, 0, 5 ) },		{ 0b0001'0010'1, 9, Tcoef( 0, 0, 6 ) },
	{ 0b0001'0010'0, 9, Tcoef( 0, 0, 7 ) },		{ 0b0000'1000'01, 10, Tcoef( 0, 0, 8 ) },
	{ 0b0000'1000'00, 10, Tcoef( 0, 0, 9 ) },	{ 0b0000'0000'111, 11, Tcoef( 0, 0, 10 ) },
	{ 0b0000'0000'110, 11, Tcoef( 0, 0, 11 ) },	{ 0b0000'0100'000, 11, Tcoef( 0, 0, 12 ) },
	{ 0b110, 3, Tcoef( 0, 1, 1 ) },				{ 0b0101'00, 6, Tcoef( 0, 1, 2 ) },
	{ 0b0001'1110, 8, Tcoef( 0, 1, 3 ) },		{ 0b0000'0011'11, 10, Tcoef( 0, 1, 4 ) },
	{ 0b0000'0100'001, 11, Tcoef( 0, 1, 5 ) },	{ 0b0000'0101'0000, 12, Tcoef( 0, 1, 6 ) },
	{ 0b1110, 4, Tcoef( 0, 2, 1 ) },			{ 0b0001'1101, 8, Tcoef( 0, 2, 2 ) },
	{ 0b0000'0011'10, 10, Tcoef( 0, 2, 3 ) },	{ 0b0000'0101'0001, 12, Tcoef( 0, 2, 4 ) },
	{ 0b0110'1, 5, Tcoef( 0, 3, 1 ) },			{ 0b0001'0001'1, 9, Tcoef( 0, 3, 2 ) },
	{ 0b0000'0011'01, 10, Tcoef( 0, 3, 3 ) },
	{ 0b0110'0, 5, Tcoef( 0, 4, 1 ) },			{ 0b0001'0001'0, 9, Tcoef( 0, 4, 2 ) },
	{ 0b0000'0101'0010, 12, Tcoef( 0, 4, 3 ) },
	{ 0b0101'1, 5, Tcoef( 0, 5, 1 ) },			{ 0b0000'0011'00, 10, Tcoef( 0, 5, 2 ) },
	{ 0b0000'0101'0011, 12, Tcoef( 0, 5, 3 ) },
	{ 0b0100'11, 6, Tcoef( 0, 6, 1 ) },			{ 0b0000'0010'11, 10, Tcoef( 0, 6, 2 ) },
	{ 0b0000'0101'0100, 12, Tcoef( 0, 6, 3 ) },
	{ 0b0100'10, 6, Tcoef( 0, 7, 1 ) },			{ 0b0000'0010'10, 10, Tcoef( 0, 7, 2 ) },
	{ 0b0100'01, 6, Tcoef( 0, 8, 1 ) },			{ 0b0000'0010'01, 10, Tcoef( 0, 8, 2 ) },
	{ 0b0100'00, 6, Tcoef( 0, 9, 1 ) },			{ 0b0000'0010'00, 10, Tcoef( 0, 9, 2 ) },
	{ 0b0010'110, 7, Tcoef( 0, 10, 1 ) },		{ 0b0000'0101'0101, 12, Tcoef( 0, 10, 2 ) },
	{ 0b0010'101, 7, Tcoef( 0, 11, 1 ) },		{ 0b0010'100, 7, Tcoef( 0, 12, 1 ) },
	{ 0b0001'1100, 8, Tcoef( 0, 13, 1 ) },		{ 0b0001'1011, 8, Tcoef( 0, 14, 1 ) },
	{ 0b0001'0000'1, 9, Tcoef( 0, 15, 1 ) },	{ 0b0001'0000'0, 9, Tcoef( 0, 16, 1 ) },
	{ 0b0000'1111'1, 9, Tcoef( 0, 17, 1 ) },	{ 0b0000'1111'0, 9, Tcoef( 0, 18, 1 ) },
	{ 0b0000'1110'1, 9, Tcoef( 0, 19, 1 ) },	{ 0b0000'1110'0, 9, Tcoef( 0, 20, 1 ) },
	{ 0b0000'1101'1, 9, Tcoef( 0, 21, 1 ) },	{ 0b0000'1101'0, 9, Tcoef( 0, 22, 1 ) },
	{ 0b0000'0100'010, 11, Tcoef( 0, 23, 1 ) },	{ 0b0000'0100'011, 11, Tcoef( 0, 24, 1 ) },
	{ 0b0000'0101'0110, 12, Tcoef( 0, 25, 1 ) },	{ 0b0000'0101'0111, 12, Tcoef( 0, 26, 1 ) },
	{ 0b0111, 4, Tcoef( 1, 0, 1 ) },			{ 0b0000'1100'1, 9, Tcoef( 1, 0, 2 ) },
	{ 0b0000'0000'101, 11, Tcoef( 1, 0, 3 ) },
	{ 0b0011'11, 6, Tcoef( 1, 1, 1 ) },			{ 0b0000'0000'100, 11, Tcoef( 1, 1, 2 ) },
	{ 0b0011'10, 6, Tcoef( 1, 2, 1 ) },			{ 0b0011'01, 6, Tcoef( 1, 3, 1 ) },
	{ 0b0011'00, 6, Tcoef( 1, 4, 1 ) },			{ 0b0010'011, 7, Tcoef( 1, 5, 1 ) },
	{ 0b0010'010, 7, Tcoef( 1, 6, 1 ) },		{ 0b0010'001, 7, Tcoef( 1, 7, 1 ) },
	{ 0b0010'000, 7, Tcoef( 1, 8, 1 ) },		{ 0b0001'1010, 8, Tcoef( 1, 9, 1 ) },
	{ 0b0001'1001, 8, Tcoef( 1, 10, 1 ) },		{ 0b0001'1000, 8, Tcoef( 1, 11, 1 ) },
	{ 0b0001'0111, 8, Tcoef( 1, 12, 1 ) },		{ 0b0001'0110, 8, Tcoef( 1, 13, 1 ) },
	{ 0b0001'0101, 8, Tcoef( 1, 14, 1 ) },		{ 0b0001'0100, 8, Tcoef( 1, 15, 1 ) },
	{ 0b0001'0011, 8, Tcoef( 1, 16, 1 ) },		{ 0b0000'1100'0, 9, Tcoef( 1, 17, 1 ) },
	{ 0b0000'1011'1, 9, Tcoef( 1, 18, 1 ) },	{ 0b0000'1011'0, 9, Tcoef( 1, 19, 1 ) },
	{ 0b0000'1010'1, 9, Tcoef( 1, 20, 1 ) },	{ 0b0000'1010'0, 9, Tcoef( 1, 21, 1 ) },
	{ 0b0000'1001'1, 9, Tcoef( 1, 22, 1 ) },	{ 0b0000'1001'0, 9, Tcoef( 1, 23, 1 ) },
	{ 0b0000'1000'1, 9, Tcoef( 1, 24, 1 ) },	{ 0b0000'0001'11, 10, Tcoef( 1, 25, 1 ) },
	{ 0b0000'0001'10, 10, Tcoef( 1, 26, 1 ) },	{ 0b0000'0001'01, 10, Tcoef( 1, 27, 1 ) },
	{ 0b0000'0001'00, 10, Tcoef( 1, 28, 1 ) },	{ 0b0000'0100'100, 11, Tcoef( 1, 29, 1 ) },
	{ 0b0000'0100'101, 11, Tcoef( 1, 30, 1 ) },	{ 0b0000'0100'110, 11, Tcoef( 1, 31, 1 ) },
	{ 0b0000'0100'111, 11, Tcoef( 1, 32, 1 ) },	{ 0b0000'0101'1000, 12, Tcoef( 1, 33, 1 ) },
	{ 0b0000'0101'1001, 12, Tcoef( 1, 34, 1 ) },	{ 0b0000'0101'1010, 12, Tcoef( 1, 35, 1 ) },
	{ 0b0000'0101'1011, 12, Tcoef( 1, 36, 1 ) },	{ 0b0000'0101'1100, 12, Tcoef( 1, 37, 1 ) },
	{ 0b0000'0101'1101, 12, Tcoef( 1, 38, 1 ) },	{ 0b0000'0101'1110, 12, Tcoef( 1, 39, 1 ) },
	{ 0b0000'0101'1111, 12, Tcoef( 1, 40, 1 ) },
	{ 0b0000'011, 7, M4_VLC_ESCAPE },
};

// Macroblock type and chroma pattern of I-frames.
constexpr M4VlcCode kMcbpcIntra[] = {
	{ 0b1, 1, Mcbpc( 3, 0 ) },				{ 0b001, 3, Mcbpc( 3, 1 ) },
	{ 0b010, 3, Mcbpc( 3, 2 ) },			{ 0b011, 3, Mcbpc( 3, 3 ) },
	{ 0b0001, 4, Mcbpc( 4, 0 ) },			{ 0b0000'01, 6, Mcbpc( 4, 1 ) },
	{ 0b0000'10, 6, Mcbpc( 4, 2 ) },		{ 0b0000'11, 6, Mcbpc( 4, 3 ) },
	{ 0b0000'0000'1, 9, M4_VLC_STUFFING },
};

// Macroblock type and chroma pattern of P- and sprite frames.
constexpr M4VlcCode kMcbpcInter[] = {
	{ 0b1, 1, Mcbpc( 0, 0 ) },				{ 0b0011, 4, Mcbpc( 0, 1 ) },
	{ 0b0010, 4, Mcbpc( 0, 2 ) },			{ 0b0001'01, 6, Mcbpc( 0, 3 ) },
	{ 0b011, 3, Mcbpc( 1, 0 ) },			{ 0b0000'111, 7, Mcbpc( 1, 1 ) },
	{ 0b0000'110, 7, Mcbpc( 1, 2 ) },		{ 0b0000'0010'1, 9, Mcbpc( 1, 3 ) },
	{ 0b010, 3, Mcbpc( 2, 0 ) },			{ 0b0000'101, 7, Mcbpc( 2, 1 ) },
	{ 0b0000'100, 7, Mcbpc( 2, 2 ) },		{ 0b0000'0101, 8, Mcbpc( 2, 3 ) },
	{ 0b0001'1, 5, Mcbpc( 3, 0 ) },			{ 0b0000'0100, 8, Mcbpc( 3, 1 ) },
	{ 0b0000'0011, 8, Mcbpc( 3, 2 ) },		{ 0b0000'011, 7, Mcbpc( 3, 3 ) },
	{ 0b0001'00, 6, Mcbpc( 4, 0 ) },		{ 0b0000'0010'0, 9, Mcbpc( 4, 1 ) },
	{ 0b0000'0001'1, 9, Mcbpc( 4, 2 ) },	{ 0b0000'0001'0, 9, Mcbpc( 4, 3 ) },
	{ 0b0000'0000'1, 9, M4_VLC_STUFFING },
};

// Luma pattern of intra macroblocks (inter ones use 15 minus it).
constexpr M4VlcCode kCbpy[] = {
	{ 0b0011, 4, 0 },		{ 0b0010'1, 5, 1 },		{ 0b0010'0, 5, 2 },		{ 0b1001, 4, 3 },
	{ 0b0001'1, 5, 4 },		{ 0b0111, 4, 5 },		{ 0b0000'10, 6, 6 },	{ 0b1011, 4, 7 },
	{ 0b0001'0, 5, 8 },		{ 0b0000'11, 6, 9 },	{ 0b0101, 4, 10 },		{ 0b1010, 4, 11 },
	{ 0b0100, 4, 12 },		{ 0b1000, 4, 13 },		{ 0b0110, 4, 14 },		{ 0b11, 2, 15 },
};

constexpr M4VlcCode kDCSizeLuminance[] = {
	{ 0b011, 3, 0 },				{ 0b11, 2, 1 },					{ 0b10, 2, 2 },
	{ 0b010, 3, 3 },				{ 0b001, 3, 4 },				{ 0b0001, 4, 5 },
	{ 0b0000'1, 5, 6 },				{ 0b0000'01, 6, 7 },			{ 0b0000'001, 7, 8 },
	{ 0b0000'0001, 8, 9 },			{ 0b0000'0000'1, 9, 10 },		{ 0b0000'0000'01, 10, 11 },
	{ 0b0000'0000'001, 11, 12 },
};

constexpr M4VlcCode kDCSizeChrominance[] = {
	{ 0b11, 2, 0 },					{ 0b10, 2, 1 },					{ 0b01, 2, 2 },
	{ 0b001, 3, 3 },				{ 0b0001, 4, 4 },				{ 0b0000'1, 5, 5 },
	{ 0b0000'01, 6, 6 },			{ 0b0000'001, 7, 7 },			{ 0b0000'0001, 8, 8 },
	{ 0b0000'0000'1, 9, 9 },		{ 0b0000'0000'01, 10, 10 },		{ 0b0000'0000'001, 11, 11 },
	{ 0b0000'0000'0001, 12, 12 },
};

// Motion codes with their sign bit (1 = negative); the code of 0 is a
// lone 1 bit and is read before the tables are consulted.
constexpr M4VlcCode kMotion[] = {
	{ 0b010, 3, Motion( 1 ) },					{ 0b011, 3, Motion( -1 ) },
	{ 0b0010, 4, Motion( 2 ) },					{ 0b0011, 4, Motion( -2 ) },
	{ 0b0001'0, 5, Motion( 3 ) },				{ 0b0001'1, 5, Motion( -3 ) },
	{ 0b0000'110, 7, Motion( 4 ) },				{ 0b0000'111, 7, Motion( -4 ) },
	{ 0b0000'1010, 8, Motion( 5 ) },			{ 0b0000'1011, 8, Motion( -5 ) },
	{ 0b0000'1000, 8, Motion( 6 ) },			{ 0b0000'1001, 8, Motion( -6 ) },
	{ 0b0000'0110, 8, Motion( 7 ) },			{ 0b0000'0111, 8, Motion( -7 ) },
	{ 0b0000'0101'10, 10, Motion( 8 ) },		{ 0b0000'0101'11, 10, Motion( -8 ) },
	{ 0b0000'0101'00, 10, Motion( 9 ) },		{ 0b0000'0101'01, 10, Motion( -9 ) },
	{ 0b0000'0100'10, 10, Motion( 10 ) },		{ 0b0000'0100'11, 10, Motion( -10 ) },
	{ 0b0000'0100'010, 11, Motion( 11 ) },		{ 0b0000'0100'011, 11, Motion( -11 ) },
	{ 0b0000'0100'000, 11, Motion( 12 ) },		{ 0b0000'0100'001, 11, Motion( -12 ) },
	{ 0b0000'0011'110, 11, Motion( 13 ) },		{ 0b0000'0011'111, 11, Motion( -13 ) },
	{ 0b0000'0011'100, 11, Motion( 14 ) },		{ 0b0000'0011'101, 11, Motion( -14 ) },
	{ 0b0000'0011'010, 11, Motion( 15 ) },		{ 0b0000'0011'011, 11, Motion( -15 ) },
	{ 0b0000'0011'000, 11, Motion( 16 ) },		{ 0b0000'0011'001, 11, Motion( -16 ) },
	{ 0b0000'0010'110, 11, Motion( 17 ) },		{ 0b0000'0010'111, 11, Motion( -17 ) },
	{ 0b0000'0010'100, 11, Motion( 18 ) },		{ 0b0000'0010'101, 11, Motion( -18 ) },
	{ 0b0000'0010'010, 11, Motion( 19 ) },		{ 0b0000'0010'011, 11, Motion( -19 ) },
	{ 0b0000'0010'000, 11, Motion( 20 ) },		{ 0b0000'0010'001, 11, Motion( -20 ) },
	{ 0b0000'0001'110, 11, Motion( 21 ) },		{ 0b0000'0001'111, 11, Motion( -21 ) },
	{ 0b0000'0001'100, 11, Motion( 22 ) },		{ 0b0000'0001'101, 11, Motion( -22 ) },
	{ 0b0000'0001'010, 11, Motion( 23 ) },		{ 0b0000'0001'011, 11, Motion( -23 ) },
	{ 0b0000'0001'000, 11, Motion( 24 ) },		{ 0b0000'0001'001, 11, Motion( -24 ) },
	{ 0b0000'0000'1110, 12, Motion( 25 ) },		{ 0b0000'0000'1111, 12, Motion( -25 ) },
	{ 0b0000'0000'1100, 12, Motion( 26 ) },		{ 0b0000'0000'1101, 12, Motion( -26 ) },
	{ 0b0000'0000'1010, 12, Motion( 27 ) },		{ 0b0000'0000'1011, 12, Motion( -27 ) },
	{ 0b0000'0000'1000, 12, Motion( 28 ) },		{ 0b0000'0000'1001, 12, Motion( -28 ) },
	{ 0b0000'0000'0110, 12, Motion( 29 ) },		{ 0b0000'0000'0111, 12, Motion( -29 ) },
	{ 0b0000'0000'0100, 12, Motion( 30 ) },		{ 0b0000'0000'0101, 12, Motion( -30 ) },
	{ 0b0000'0000'0011'0, 13, Motion( 31 ) },	{ 0b0000'0000'0011'1, 13, Motion( -31 ) },
	{ 0b0000'0000'0010'0, 13, Motion( 32 ) },	{ 0b0000'0000'0010'1, 13, Motion( -32 ) },
};

constexpr u32 TCOEF_BITS	= 12;
constexpr u32 MOTION_BITS	= 13;

} // namespace

const M4PackedTable<M4_TCOEF_SIZE0> M4VlcDecoder::mTabDCT3D0 = Pack<M4_TCOEF_SIZE0>( kIntraCoefficients, TCOEF_BITS, M4_TCOEF_SPLIT0, 5 );
const M4PackedTable<M4_TCOEF_SIZE1> M4VlcDecoder::mTabDCT3D1 = Pack<M4_TCOEF_SIZE1>( kIntraCoefficients, TCOEF_BITS, M4_TCOEF_SPLIT1, 2 );
const M4PackedTable<M4_TCOEF_SIZE2> M4VlcDecoder::mTabDCT3D2 = Pack<M4_TCOEF_SIZE2>( kIntraCoefficients, TCOEF_BITS, M4_TCOEF_SPLIT2, 0 );
const M4PackedTable<M4_TCOEF_SIZE0> M4VlcDecoder::mTabDCT3D3 = Pack<M4_TCOEF_SIZE0>( kInterCoefficients, TCOEF_BITS, M4_TCOEF_SPLIT0, 5 );
const M4PackedTable<M4_TCOEF_SIZE1> M4VlcDecoder::mTabDCT3D4 = Pack<M4_TCOEF_SIZE1>( kInterCoefficients, TCOEF_BITS, M4_TCOEF_SPLIT1, 2 );
const M4PackedTable<M4_TCOEF_SIZE2> M4VlcDecoder::mTabDCT3D5 = Pack<M4_TCOEF_SIZE2>( kInterCoefficients, TCOEF_BITS, M4_TCOEF_SPLIT2, 0 );

const M4PackedTable<512>	M4VlcDecoder::mTabCbpCIntra = Pack<512>( kMcbpcIntra, 9, 0, 0 );
const M4PackedTable<512>	M4VlcDecoder::mTabCbpCInter = Pack<512>( kMcbpcInter, 9, 0, 0 );
const M4PackedTable<64>		M4VlcDecoder::mTabCbpY = Pack<64>( kCbpy, 6, 0, 0 );
const M4PackedTable<4096>	M4VlcDecoder::mDCLumTab = Pack<4096>( kDCSizeLuminance, 12, 0, 0 );
const M4PackedTable<4096>	M4VlcDecoder::mDCChromTab = Pack<4096>( kDCSizeChrominance, 12, 0, 0 );

const M4PackedTable<M4_MV_SIZE0> M4VlcDecoder::mTabTMNMV0 = Pack<M4_MV_SIZE0>( kMotion, MOTION_BITS, M4_MV_SPLIT0, 8 );
const M4PackedTable<M4_MV_SIZE1> M4VlcDecoder::mTabTMNMV1 = Pack<M4_MV_SIZE1>( kMotion, MOTION_BITS, M4_MV_SPLIT1, 2 );
const M4PackedTable<M4_MV_SIZE2> M4VlcDecoder::mTabTMNMV2 = Pack<M4_MV_SIZE2>( kMotion, MOTION_BITS, 0, 0 );

// Largest level of each (last, run) and largest run of each (last, level),
// intra set first; 0 where the table has no code.
const u8 M4VlcDecoder::mMaxLevel[2][2][M4_MAX_RUNS] = {
	{
		{ 27, 10, 5, 4, 3, 3, 3, 3, 2, 2, 1, 1, 1, 1, 1 },
		{ 8, 3, 2, 2, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1 },
	},
	{
		{ 12, 6, 4, 3, 3, 3, 3, 2, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1 },
		{ 3, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
		  1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1 },
	},
};

const u8 M4VlcDecoder::mMaxRun[2][2][M4_MAX_LEVELS] = {
	{
		{ 0, 14, 9, 7, 3, 2, 1, 1, 1, 1, 1 },
		{ 0, 20, 6, 1 },
	},
	{
		{ 0, 26, 10, 6, 2, 1, 1 },
		{ 0, 40, 1 },
	},
};
