#include "video/m4/M4VlcDecoder.h"

#include "video/m4/M4Memory.h"

#include <cstring>

// A fast-memory copy of table, or the table itself when the fast hook
// gives no memory.
template<u32 COUNT>
static const u32* M4VlcFastCopy( const M4PackedTable<COUNT>& table ) {
	void* const copy = M4FastMalloc( sizeof( table.mEntry ) );
	if ( copy == nullptr ) {
		return table.mEntry;
	}
	std::memcpy( copy, table.mEntry, sizeof( table.mEntry ) );
	return static_cast<const u32*>( copy );
}

// The short-window tables of the intra and inter sets. They depend on
// the constant tables only, so every decoder shares them.
static u32 sShortIntra[1u << M4_TCOEF_SHORT_WINDOW];
static u32 sShortInter[1u << M4_TCOEF_SHORT_WINDOW];

// Fills shortTable from the parts of tables: a 9-bit window whose code is
// at most 9 bits long has the same entry for every 12-bit window it
// begins, because no code is the prefix of another.
static void M4BuildShortTable( const M4CoefficientTables& tables, u32* shortTable ) {
	constexpr u32 kSpare = M4_TCOEF_WINDOW_BITS - M4_TCOEF_SHORT_WINDOW;
	for ( u32 window = 0; window < ( 1u << M4_TCOEF_SHORT_WINDOW ); window++ ) {
		const u32 entry = M4CoefficientEntry( tables, window << kSpare );
		const bool usable = !M4VlcIsMissing( entry ) && M4VlcLength( entry ) <= M4_TCOEF_SHORT_WINDOW && M4VlcValue( entry ) != M4_VLC_ESCAPE;
		shortTable[window] = usable ? entry : M4_VLC_INVALID;
	}
}

void M4VlcDecoder::init() {
	mIntra.mWindow[0] = M4VlcFastCopy( mTabDCT3D0 );
	mIntra.mWindow[1] = M4VlcFastCopy( mTabDCT3D1 );
	mIntra.mWindow[2] = M4VlcFastCopy( mTabDCT3D2 );
	mIntra.mMaxLevel = &mMaxLevel[0][0][0];
	mIntra.mMaxRun = &mMaxRun[0][0][0];
	mInter.mWindow[0] = M4VlcFastCopy( mTabDCT3D3 );
	mInter.mWindow[1] = M4VlcFastCopy( mTabDCT3D4 );
	mInter.mWindow[2] = M4VlcFastCopy( mTabDCT3D5 );
	mInter.mMaxLevel = &mMaxLevel[1][0][0];
	mInter.mMaxRun = &mMaxRun[1][0][0];
	M4BuildShortTable( mIntra, sShortIntra );
	M4BuildShortTable( mInter, sShortInter );
	mIntra.mShort = sShortIntra;
	mInter.mShort = sShortInter;
}
