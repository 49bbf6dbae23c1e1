/*
===============================================================================

	Variable-length code tables of the macroblock layer.

	Every table is a packed array looked up with one window of at most 12
	bits: an entry holds the decoded value in bits 0-16 and the code length
	in bits 17 and up; a window that starts no code holds M4_VLC_INVALID
	with length 0. The coefficient tables split their 12-bit window at
	0x200, 0x80 and 0x8 into three arrays of 112, 96 and 120 entries, so a
	set takes 448, 384 and 480 bytes; init copies the six arrays into fast
	memory when the fast hook gives it, else the constant arrays are used in
	place. The tables are those of the MPEG-4 visual standard.

===============================================================================
*/
#ifndef M4_VLC_DECODER_H
#define M4_VLC_DECODER_H

#include "datatypes/base/DTTypes.h"

constexpr u32 M4_VLC_VALUE_MASK		= 0x1FFFF;
constexpr u32 M4_VLC_LENGTH_SHIFT	= 17;
// Value of a window that starts no code.
constexpr u32 M4_VLC_INVALID		= 0x1FFFF;
// Value of the coefficient escape code.
constexpr u32 M4_VLC_ESCAPE			= 0x1FFFE;
// Value of the macroblock-type stuffing code.
constexpr u32 M4_VLC_STUFFING		= 0x1FFFD;

// Coefficient values: level in bits 0-7, run in bits 8-13, last in bit 16.
constexpr u32 M4_TCOEF_LEVEL_MASK	= 0xFF;
constexpr u32 M4_TCOEF_RUN_SHIFT	= 8;
constexpr u32 M4_TCOEF_RUN_MASK		= 0x3F;
constexpr u32 M4_TCOEF_LAST_SHIFT	= 16;

// Macroblock-type values: the type in bits 0-2, the chroma pattern in 4-5.
constexpr u32 M4_MCBPC_TYPE_MASK	= 0x7;
constexpr u32 M4_MCBPC_CBPC_SHIFT	= 4;

// Bits of the coefficient window.
constexpr u32 M4_TCOEF_WINDOW_BITS	= 12;
// Window split of the coefficient tables.
constexpr u32 M4_TCOEF_SPLIT0		= 0x200;
constexpr u32 M4_TCOEF_SPLIT1		= 0x80;
constexpr u32 M4_TCOEF_SPLIT2		= 0x8;
constexpr u32 M4_TCOEF_SIZE0		= 112;
constexpr u32 M4_TCOEF_SIZE1		= 96;
constexpr u32 M4_TCOEF_SIZE2		= 120;

// Window split of the motion tables (the window follows the leading 0).
constexpr u32 M4_MV_SPLIT0			= 0x200;
constexpr u32 M4_MV_SPLIT1			= 0x80;
constexpr u32 M4_MV_SIZE0			= 14;
constexpr u32 M4_MV_SIZE1			= 96;
constexpr u32 M4_MV_SIZE2			= 128;

// Largest run of the escape tables, plus one.
constexpr u32 M4_MAX_RUNS			= 64;
// Largest level of the escape tables, plus one.
constexpr u32 M4_MAX_LEVELS			= 32;

inline u32 M4VlcValue( const u32 entry ) { return entry & M4_VLC_VALUE_MASK; }
inline u32 M4VlcLength( const u32 entry ) { return entry >> M4_VLC_LENGTH_SHIFT; }
// True for the entry of a window that starts no code (its length is 0).
inline bool M4VlcIsMissing( const u32 entry ) { return M4VlcLength( entry ) == 0; }

template<u32 COUNT>
struct M4PackedTable {
	u32		mEntry[COUNT];
};

// The flat coefficient table: one u16 per 12-bit window, the bits the
// code and its sign take (its length plus one) in bits 12-15 (0:
// missing, escape, or a value that does not fit), last in bit 11, run in
// bits 5-10, level in bits 0-4.
constexpr u32 M4_TCOEF_FLAT_LENGTH_SHIFT	= 12;
constexpr u32 M4_TCOEF_FLAT_LAST_SHIFT		= 11;
constexpr u32 M4_TCOEF_FLAT_RUN_SHIFT		= 5;
constexpr u32 M4_TCOEF_FLAT_LEVEL_MASK		= 0x1F;

// One set of coefficient tables with its escape limits.
struct M4CoefficientTables {
	const u32*	mWindow[3];		// the three parts of the 12-bit window
	// Every 12-bit window's plain code, packed: derived from the parts,
	// shared by every decoder.
	const u16*	mFlat;
	const u8*	mMaxLevel;		// [last][run], M4_MAX_RUNS per last
	const u8*	mMaxRun;		// [last][level], M4_MAX_LEVELS per last
};

class M4VlcDecoder {
public:
	// Points the coefficient sets at fast-memory copies where the fast hook
	// gives memory, else at the constant tables.
	void							init();

	const M4CoefficientTables&		intraTables() const { return mIntra; }
	const M4CoefficientTables&		interTables() const { return mInter; }

	// Intra coefficients.
	static const M4PackedTable<M4_TCOEF_SIZE0>	mTabDCT3D0;
	static const M4PackedTable<M4_TCOEF_SIZE1>	mTabDCT3D1;
	static const M4PackedTable<M4_TCOEF_SIZE2>	mTabDCT3D2;
	// Inter coefficients.
	static const M4PackedTable<M4_TCOEF_SIZE0>	mTabDCT3D3;
	static const M4PackedTable<M4_TCOEF_SIZE1>	mTabDCT3D4;
	static const M4PackedTable<M4_TCOEF_SIZE2>	mTabDCT3D5;
	// Escape limits, intra set then inter set.
	static const u8								mMaxLevel[2][2][M4_MAX_RUNS];
	static const u8								mMaxRun[2][2][M4_MAX_LEVELS];
	// Macroblock type and chroma pattern, 9-bit window.
	static const M4PackedTable<512>				mTabCbpCIntra;
	static const M4PackedTable<512>				mTabCbpCInter;
	// Luma pattern of intra macroblocks, 6-bit window.
	static const M4PackedTable<64>				mTabCbpY;
	// Intra DC size, 12-bit window.
	static const M4PackedTable<4096>			mDCLumTab;
	static const M4PackedTable<4096>			mDCChromTab;
	// Motion code after its leading 0 bit, as a 17-bit two's complement.
	static const M4PackedTable<M4_MV_SIZE0>		mTabTMNMV0;
	static const M4PackedTable<M4_MV_SIZE1>		mTabTMNMV1;
	static const M4PackedTable<M4_MV_SIZE2>		mTabTMNMV2;

private:
	M4CoefficientTables				mIntra;
	M4CoefficientTables				mInter;
};

// The entry of a 12-bit coefficient window in a table set.
inline u32 M4CoefficientEntry( const M4CoefficientTables& tables, const u32 window ) {
	if ( window >= M4_TCOEF_SPLIT0 ) {
		return tables.mWindow[0][( window >> 5 ) - ( M4_TCOEF_SPLIT0 >> 5 )];
	}
	if ( window >= M4_TCOEF_SPLIT1 ) {
		return tables.mWindow[1][( window >> 2 ) - ( M4_TCOEF_SPLIT1 >> 2 )];
	}
	if ( window >= M4_TCOEF_SPLIT2 ) {
		return tables.mWindow[2][window - M4_TCOEF_SPLIT2];
	}
	return M4_VLC_INVALID;
}

#endif
