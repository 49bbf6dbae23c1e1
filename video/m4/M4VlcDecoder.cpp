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
}
