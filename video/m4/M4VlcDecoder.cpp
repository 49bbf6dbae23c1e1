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

// The flat tables of the intra and inter sets. They depend on the
// constant tables only, so every decoder shares them.
static u16 sFlatIntra[1u << M4_TCOEF_WINDOW_BITS];
static u16 sFlatInter[1u << M4_TCOEF_WINDOW_BITS];

// Packs every window's entry of tables into flatTable; windows that start
// no code, the escape, or a level or run too wide for the packing get 0.
static void M4BuildFlatTable( const M4CoefficientTables& tables, u16* flatTable ) {
	for ( u32 window = 0; window < ( 1u << M4_TCOEF_WINDOW_BITS ); window++ ) {
		const u32 entry = M4CoefficientEntry( tables, window );
		const u32 value = M4VlcValue( entry );
		const u32 level = value & M4_TCOEF_LEVEL_MASK;
		const u32 run = ( value >> M4_TCOEF_RUN_SHIFT ) & M4_TCOEF_RUN_MASK;
		const u32 last = value >> M4_TCOEF_LAST_SHIFT;
		const bool plain = !M4VlcIsMissing( entry ) && value != M4_VLC_ESCAPE && level <= M4_TCOEF_FLAT_LEVEL_MASK && last <= 1;
		flatTable[window] = static_cast<u16>( plain ? ( ( M4VlcLength( entry ) + 1 ) << M4_TCOEF_FLAT_LENGTH_SHIFT ) | ( last << M4_TCOEF_FLAT_LAST_SHIFT ) |
														  ( run << M4_TCOEF_FLAT_RUN_SHIFT ) | level
													: 0 );
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
	M4BuildFlatTable( mIntra, sFlatIntra );
	M4BuildFlatTable( mInter, sFlatInter );
	mIntra.mFlat = sFlatIntra;
	mInter.mFlat = sFlatInter;
}
