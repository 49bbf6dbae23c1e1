#include "framework/core/spline/EFSplineMgr.h"

#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/file/DTFile.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/core/spline/EFQuadraticSpline.h"
#include "framework/core/spline/EFSplineDecoder.h"

EFSplineMgr* gpoSplineMgr = nullptr;

EFSplineMgr::EFSplineMgr() :
	EFLoadingMgr( EF_SPLINE_MGR_ID ),
	mui32Word( 0 ),
	mui32NbSplines( 0 ),
	mui32ExtraOffset( 0 ),
	mpoSplines( nullptr ),
	mpoBlock( nullptr ),
	mpoFollowing( nullptr ),
	mui32NbFollowing( 0 ) {
}

EFSplineMgr::~EFSplineMgr() {
	Free();
}

void EFSplineMgr::Free() {
	if ( mpoBlock != nullptr ) {
		MMFree( mpoBlock );
	}
	mui32Word = 0;
	mui32NbSplines = 0;
	mui32ExtraOffset = 0;
	mpoSplines = nullptr;
	mpoBlock = nullptr;
	mpoFollowing = nullptr;
	mui32NbFollowing = 0;
}

EFFollowingRopes EFSplineMgr::GetFollowingRopes( const u32 index ) const {
	if ( mpoFollowing == nullptr || index >= mui32NbFollowing || index >= mui32NbSplines ) {
		return { 0, nullptr };
	}
	return mpoFollowing[index];
}

void EFSplineMgr::SetFollowingRopeTable( const EFFollowingRopes * table, const u32 count ) {
	mpoFollowing = table;
	mui32NbFollowing = table != nullptr ? count : 0;
}

EFQuadraticSpline * EFSplineMgr::GetSpline( const u32 index ) const {
	return index < mui32NbSplines ? &mpoSplines[index] : nullptr;
}

s32 EFSplineMgr::LoadData( u32, u32, DTBasePersistStream & stream ) {
	u32 size = 0;
	u32 word = 0;
	u32 count = 0;
	u32 extra = 0;
	u32 headers = 0;
	// The previous block stays allocated: cursors may still use it.
	mui32Word = 0;
	mui32NbSplines = 0;
	mui32ExtraOffset = 0;
	mpoSplines = nullptr;
	mpoBlock = nullptr;
	if ( stream.LoadData( size ) != DT_PERSIST_OK || stream.LoadData( word ) != DT_PERSIST_OK ||
		 stream.LoadData( count ) != DT_PERSIST_OK || stream.LoadData( extra ) != DT_PERSIST_OK ||
		 stream.LoadData( headers ) != DT_PERSIST_OK ) {
		DTPrintf( "SPLINE DATA TRUNCATED!!!\n" );
		return 0;
	}
	if ( size > stream.GetBytesLeft() || size > 0x7FFFFFFFu ) {
		DTPrintf( "SPLINE BLOCK OF %u BYTES LONGER THAN ITS DATA!!!\n", size );
		return 0;
	}
	mui32Word = word;
	mui32ExtraOffset = extra;
	if ( count == 0 ) {
		// Nothing to decode; the block is skipped.
		u8 skipped[64];
		for ( u32 left = size; left > 0; ) {
			const u32 chunk = left < sizeof( skipped ) ? left : static_cast<u32>( sizeof( skipped ) );
			stream.LoadBinaryData( reinterpret_cast<char *>( skipped ), static_cast<s32>( chunk ) );
			left -= chunk;
		}
		return 0;
	}
	u8 * const raw = static_cast<u8 *>( MMMalloc( size > 0 ? size : 1 ) );
	if ( raw == nullptr ) {
		DTPrintf( "NO MEMORY FOR A SPLINE BLOCK OF %u BYTES!!!\n", size );
		return 0;
	}
	if ( stream.LoadBinaryData( reinterpret_cast<char *>( raw ), static_cast<s32>( size ) ) != DT_PERSIST_OK ) {
		DTPrintf( "SPLINE BLOCK TRUNCATED!!!\n" );
		MMFree( raw );
		return 0;
	}
	EFQuadraticSpline * splines = nullptr;
	mpoBlock = EFSplineDecoder::Decode( raw, size, count, headers, splines );
	MMFree( raw );
	if ( mpoBlock == nullptr ) {
		DTPrintf( "SPLINE DATA REFUSED: NO SPLINES FOR THIS LEVEL!!!\n" );
		mui32Word = 0;
		mui32ExtraOffset = 0;
		return 0;
	}
	mpoSplines = splines;
	mui32NbSplines = count;
	return 0;
}
