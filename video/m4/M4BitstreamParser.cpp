#include "video/m4/M4BitstreamParser.h"

#include "video/m4/M4Bitstream.h"
#include "video/m4/M4Memory.h"

#include <cstring>

constexpr u32 M4_HEADER_LEADING_BITS	= 16;
constexpr u32 M4_QUANTISER_MIN			= 1;
constexpr u32 M4_QUANTISER_MAX			= 31;
constexpr u32 M4_FCODE_MIN				= 1;
constexpr u32 M4_FCODE_MAX				= 7;
constexpr u32 M4_MCBPC_WINDOW			= 9;
constexpr u32 M4_CBPY_WINDOW			= 6;
constexpr u32 M4_DC_SIZE_WINDOW			= 12;
constexpr u32 M4_MOTION_WINDOW			= 13;
constexpr u32 M4_MB_TYPE_MAX_ZEROS		= 4;
constexpr u32 M4_CBPY_ALL				= 15;
constexpr u32 M4_WARP_MAGNITUDE_BITS	= 14;

static u32 M4Clamp( const u32 value, const u32 low, const u32 high ) {
	return value < low ? low : ( value > high ? high : value );
}

bool M4BitstreamParser::init( M4Bitstream* bs, const u32 width, const u32 height ) {
	reset( bs, width, height );
	for ( u32 i = 0; i < M4_SCAN_COUNT; i++ ) {
		u8* const copy = static_cast<u8*>( M4FastMalloc( M4_MATRIX_SIZE ) );
		if ( copy != nullptr ) {
			std::memcpy( copy, mScanTableInput[i], M4_MATRIX_SIZE );
			mScan[i] = copy;
		} else {
			mScan[i] = mScanTableInput[i];
		}
	}
	mIntraMatrix = static_cast<u8*>( M4Malloc( M4_MATRIX_SIZE ) );
	mInterMatrix = static_cast<u8*>( M4Malloc( M4_MATRIX_SIZE ) );
	if ( mIntraMatrix == nullptr || mInterMatrix == nullptr ) {
		destroy();
		return false;
	}
	std::memcpy( mIntraMatrix, mDefaultIntraMatrix, M4_MATRIX_SIZE );
	std::memcpy( mInterMatrix, mDefaultInterMatrix, M4_MATRIX_SIZE );
	mVlc.init();
	return true;
}

// Every field to its state before the first header: H.263 quantisation,
// progressive, no sprite, times 0.
void M4BitstreamParser::reset( M4Bitstream* bs, const u32 width, const u32 height ) {
	mBitstream = bs;
	mFrameType = M4_FRAME_I;
	mRoundingType = 0;
	mIntraDCThreshold = mIntraDCThresholdTable[0];
	mQuantiser = M4_QUANTISER_MIN;
	mForwardFCode = M4_FCODE_MIN;
	mBackwardFCode = M4_FCODE_MIN;
	mLastReferenceTime = 0;
	mReferenceTime = 0;
	mBTime = 0;
	mQuantType = 0;
	mIntraMatrix = nullptr;
	mInterMatrix = nullptr;
	mInterlaced = 0;
	mTopFieldFirst = 0;
	mAlternateVerticalScan = 0;
	mSprite = 0;
	mWarpingPoints = 0;
	mWarpingAccuracy = 0;
	mWidth = width;
	mHeight = height;
	for ( const u8*& scan : mScan ) {
		scan = nullptr;
	}
	mVlc = M4VlcDecoder();
	mWarp = M4SpriteWarp();
}

void M4BitstreamParser::destroy() {
	M4Free( mIntraMatrix );
	M4Free( mInterMatrix );
	mIntraMatrix = nullptr;
	mInterMatrix = nullptr;
}

u32 M4BitstreamParser::parseHeader() {
	M4Bitstream* const bs = mBitstream;
	M4BitstreamSkip( bs, M4_HEADER_LEADING_BITS );
	mFrameType = M4BitstreamGet( bs, 2 );
	if ( M4BitstreamGet( bs, 1 ) != 0 ) {
		parseSequence();
	}
	mRoundingType = M4BitstreamGet( bs, 1 );
	mIntraDCThreshold = mIntraDCThresholdTable[M4BitstreamGet( bs, 3 )];
	mQuantiser = M4Clamp( M4BitstreamGet( bs, 5 ), M4_QUANTISER_MIN, M4_QUANTISER_MAX );
	if ( mFrameType != M4_FRAME_I ) {
		mForwardFCode = M4Clamp( M4BitstreamGet( bs, 3 ), M4_FCODE_MIN, M4_FCODE_MAX );
	}
	if ( mFrameType != M4_FRAME_B ) {
		mLastReferenceTime = mReferenceTime;
		mReferenceTime = M4BitstreamGet( bs, 32 );
	} else {
		mBackwardFCode = M4Clamp( M4BitstreamGet( bs, 3 ), M4_FCODE_MIN, M4_FCODE_MAX );
		mBTime = M4BitstreamGet( bs, 32 );
	}
	if ( mFrameType == M4_FRAME_SPRITE ) {
		decodeGMCSprite();
	}
	if ( mInterlaced != 0 ) {
		mTopFieldFirst = M4BitstreamGet( bs, 1 );
		mAlternateVerticalScan = M4BitstreamGet( bs, 1 );
	}
	M4BitstreamAlign( bs );
	return mFrameType;
}

void M4BitstreamParser::parseSequence() {
	M4Bitstream* const bs = mBitstream;
	mSprite = M4BitstreamGet( bs, 1 );
	if ( mSprite != 0 ) {
		mWarpingPoints = M4BitstreamGet( bs, 2 );
		mWarpingAccuracy = M4BitstreamGet( bs, 2 );
	} else {
		mWarpingPoints = 0;
		mWarpingAccuracy = 0;
	}
	mQuantType = M4BitstreamGet( bs, 1 );
	if ( mQuantType != 0 ) {
		loadMatrix( mIntraMatrix, mDefaultIntraMatrix );
		loadMatrix( mInterMatrix, mDefaultInterMatrix );
	}
	mInterlaced = M4BitstreamGet( bs, 1 );
	// The bit after the interlaced flag carries nothing the decoder uses.
	M4BitstreamSkip( bs, 1 );
}

void M4BitstreamParser::loadMatrix( u8* matrix, const u8* defaults ) {
	if ( M4BitstreamGet( mBitstream, 1 ) != 0 ) {
		getMatrix( matrix );
	} else {
		std::memcpy( matrix, defaults, M4_MATRIX_SIZE );
	}
}

void M4BitstreamParser::getMatrix( u8* matrix ) {
	const u8* const zigzag = mScanTableInput[M4_SCAN_ZIGZAG];
	u8				last = 0;
	u32				i = 0;
	for ( ; i < M4_MATRIX_SIZE; i++ ) {
		const u8 value = static_cast<u8>( M4BitstreamGet( mBitstream, 8 ) );
		if ( value == 0 ) {
			break;
		}
		matrix[zigzag[i]] = value;
		last = value;
	}
	for ( ; i < M4_MATRIX_SIZE; i++ ) {
		matrix[zigzag[i]] = last;
	}
}

void M4BitstreamParser::decodeGMCSprite() {
	mWarp.mPointCount = mWarpingPoints;
	mWarp.mAccuracy = mWarpingAccuracy;
	for ( u32 n = 0; n < mWarpingPoints; n++ ) {
		s32* const component[2] = { &mWarp.mDu[n], &mWarp.mDv[n] };
		for ( s32* value : component ) {
			const s32 magnitude = static_cast<s32>( M4BitstreamGet( mBitstream, M4_WARP_MAGNITUDE_BITS ) );
			*value = M4BitstreamGet( mBitstream, 1 ) != 0 ? -magnitude : magnitude;
		}
	}
	M4SpriteWarpDerive( &mWarp, mWidth, mHeight );
}

u32 M4BitstreamParser::getCbpC( const u32* table ) {
	for ( ;; ) {
		const u32 entry = table[M4BitstreamShow( mBitstream, M4_MCBPC_WINDOW )];
		const u32 value = M4VlcValue( entry );
		if ( M4VlcIsMissing( entry ) ) {
			M4BitstreamSkip( mBitstream, M4_MCBPC_WINDOW );
			return M4_VLC_INVALID;
		}
		M4BitstreamSkip( mBitstream, M4VlcLength( entry ) );
		if ( value != M4_VLC_STUFFING ) {
			return value;
		}
	}
}

u32 M4BitstreamParser::getCbpCIntra() {
	return getCbpC( M4VlcDecoder::mTabCbpCIntra.mEntry );
}

u32 M4BitstreamParser::getCbpCInter() {
	return getCbpC( M4VlcDecoder::mTabCbpCInter.mEntry );
}

u32 M4BitstreamParser::getCbpy( const bool intra ) {
	const u32 entry = M4VlcDecoder::mTabCbpY.mEntry[M4BitstreamShow( mBitstream, M4_CBPY_WINDOW )];
	if ( M4VlcIsMissing( entry ) ) {
		// Missing code: read as no coded block, window consumed.
		M4BitstreamSkip( mBitstream, M4_CBPY_WINDOW );
		return 0;
	}
	M4BitstreamSkip( mBitstream, M4VlcLength( entry ) );
	return intra ? M4VlcValue( entry ) : M4_CBPY_ALL - M4VlcValue( entry );
}

u32 M4BitstreamParser::getMBType() {
	u32 zeros = 0;
	while ( zeros < M4_MB_TYPE_MAX_ZEROS && M4BitstreamGet( mBitstream, 1 ) == 0 ) {
		zeros++;
	}
	return zeros;
}

u32 M4BitstreamParser::getDCSize( const bool luminance ) {
	const u32* const	table = luminance ? M4VlcDecoder::mDCLumTab.mEntry : M4VlcDecoder::mDCChromTab.mEntry;
	const u32			entry = table[M4BitstreamShow( mBitstream, M4_DC_SIZE_WINDOW )];
	if ( M4VlcIsMissing( entry ) ) {
		// Missing code: size 0, window consumed.
		M4BitstreamSkip( mBitstream, M4_DC_SIZE_WINDOW );
		return 0;
	}
	M4BitstreamSkip( mBitstream, M4VlcLength( entry ) );
	return M4VlcValue( entry );
}

s32 M4BitstreamParser::getDCDiff( const u32 size ) {
	if ( size == 0 ) {
		return 0;
	}
	const u32 value = M4BitstreamGet( mBitstream, size );
	if ( ( value >> ( size - 1 ) ) == 0 ) {
		const u32 mask = static_cast<u32>( ( static_cast<u64>( 1 ) << size ) - 1 );
		return -static_cast<s32>( value ^ mask );
	}
	return static_cast<s32>( value );
}

s32 M4BitstreamParser::getMv( const u32 fcode ) {
	if ( M4BitstreamShow( mBitstream, 1 ) != 0 ) {
		M4BitstreamSkip( mBitstream, 1 );
		return 0;
	}
	const u32	window = M4BitstreamShow( mBitstream, M4_MOTION_WINDOW );
	u32			entry = M4_VLC_INVALID;
	if ( window >= M4_MV_SPLIT0 ) {
		entry = M4VlcDecoder::mTabTMNMV0.mEntry[( window >> 8 ) - ( M4_MV_SPLIT0 >> 8 )];
	} else if ( window >= M4_MV_SPLIT1 ) {
		entry = M4VlcDecoder::mTabTMNMV1.mEntry[( window >> 2 ) - ( M4_MV_SPLIT1 >> 2 )];
	} else {
		entry = M4VlcDecoder::mTabTMNMV2.mEntry[window];
	}
	if ( M4VlcIsMissing( entry ) ) {
		// Missing code: no motion, window consumed.
		M4BitstreamSkip( mBitstream, M4_MOTION_WINDOW );
		return 0;
	}
	M4BitstreamSkip( mBitstream, M4VlcLength( entry ) );
	// The value is a 17-bit two's complement.
	const s32 code = static_cast<s32>( M4VlcValue( entry ) << 15 ) >> 15;
	const u32 f = M4Clamp( fcode, M4_FCODE_MIN, M4_FCODE_MAX );
	if ( f == 1 || code == 0 ) {
		return code;
	}
	const s32 magnitude = code < 0 ? -code : code;
	const s32 residual = static_cast<s32>( M4BitstreamGet( mBitstream, f - 1 ) );
	const s32 value = ( ( magnitude - 1 ) << ( f - 1 ) ) + residual + 1;
	return code < 0 ? -value : value;
}
