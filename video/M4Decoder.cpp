#include "video/M4Decoder.h"

#include "video/M4Memory.h"
#include "video/M4MotionVectorMgr.h"

#include <cstring>

// Quantiser change of a 2-bit dquant code.
const s32 M4Decoder::mDequantTable[4] = { -1, -2, 1, 2 };
// Chroma rounding of a four-vector sum, by the sum's magnitude modulo 16.
const s32 M4Decoder::mRoundtab[16] = { 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2 };

s32 M4Decoder::chromaMv( const s32 v ) {
	return ( v & 3 ) != 0 ? ( v >> 1 ) | 1 : v / 2;
}

s32 M4Decoder::chromaMvFour( const s32 sum ) {
	const s64 magnitude = sum < 0 ? -static_cast<s64>( sum ) : sum;
	const s64 value = mRoundtab[magnitude % 16] + ( magnitude / 16 ) * 2;
	return static_cast<s32>( sum < 0 ? -value : value );
}

M4_VECTOR M4Decoder::chromaFieldMv( const M4_VECTOR& v ) {
	M4_VECTOR c;
	c.x = ( v.x & 3 ) != 0 ? ( v.x >> 1 ) | 1 : v.x >> 1;
	c.y = ( v.y & 6 ) != 0 ? ( v.y >> 1 ) | 2 : v.y >> 1;
	return c;
}

M4Decoder::M4Decoder() {
	std::memset( static_cast<void*>( this ), 0, sizeof( *this ) );
}

M4Decoder::~M4Decoder() {
	release();
}

s16* M4Decoder::allocateBuffer( bool* fromFastMemory ) {
	void* block = M4FastMalloc( M4_COEFFICIENT_BUFFER_SIZE );
	*fromFastMemory = block != nullptr;
	if ( block == nullptr ) {
		block = M4Malloc( M4_COEFFICIENT_BUFFER_SIZE );
	}
	if ( block != nullptr ) {
		std::memset( block, 0, M4_COEFFICIENT_BUFFER_SIZE );
	}
	return static_cast<s16*>( block );
}

bool M4Decoder::init( const VIDDecoderSetup* setup ) {
	mWidth = setup->width;
	mHeight = setup->height;
	mMBWidth = static_cast<u16>( ( mWidth + 15u ) / 16u );
	mMBHeight = static_cast<u16>( ( mHeight + 15u ) / 16u );
	mFlags = setup->flags;
	const bool reorder = ( mFlags & VID_DECODER_FLAG_REORDER ) != 0;

	M4Image::initMallocPool();
	const u32 pictures = reorder ? M4_DECODER_MAX_IMAGES : 2;
	for ( u32 i = 0; i < pictures; i++ ) {
		if ( !mImages[i].init( mWidth, mHeight ) ) {
			return false;
		}
	}
	mCurrent = &mImages[0];
	mForward = &mImages[1];
	if ( reorder ) {
		mBackward = &mImages[2];
		mSpare = &mImages[3];
		mBFrame = &mImages[4];
	}

	if ( !mParser.init( &mBitstream, mWidth, mHeight ) ) {
		return false;
	}
	mParserReady = true;

	const u32 records = static_cast<u32>( mMBWidth ) * mMBHeight * sizeof( M4_MB );
	mMBs = static_cast<M4_MB*>( M4Malloc( records ) );
	if ( mMBs == nullptr ) {
		return false;
	}
	std::memset( static_cast<void*>( mMBs ), 0, records );
	if ( reorder ) {
		mBMBs = static_cast<M4_MB*>( M4Malloc( records ) );
		if ( mBMBs == nullptr ) {
			return false;
		}
		std::memset( static_cast<void*>( mBMBs ), 0, records );
	}

	mCoefficients = allocateBuffer( &mCoefficientsFast );
	mDequantised = allocateBuffer( &mDequantisedFast );
	if ( mCoefficients == nullptr || mDequantised == nullptr ) {
		return false;
	}

	mMvMgr = static_cast<M4MotionVectorMgr*>( M4Malloc( sizeof( M4MotionVectorMgr ) ) );
	if ( mMvMgr == nullptr ) {
		return false;
	}
	std::memset( static_cast<void*>( mMvMgr ), 0, sizeof( M4MotionVectorMgr ) );
	mMvMgr->mDecoder = this;
	mMvMgr->mForwardFCode = 1;
	mMvMgr->mBackwardFCode = 1;

	mPool = M4Image::mallocPool();
	return mPool != nullptr;
}

void M4Decoder::release() {
	M4Image::freePool( mPool );
	mPool = nullptr;
	M4Free( mMvMgr );
	mMvMgr = nullptr;
	if ( !mCoefficientsFast ) {
		M4Free( mCoefficients );
	}
	if ( !mDequantisedFast ) {
		M4Free( mDequantised );
	}
	mCoefficients = nullptr;
	mDequantised = nullptr;
	M4Free( mMBs );
	M4Free( mBMBs );
	mMBs = nullptr;
	mBMBs = nullptr;
	if ( mParserReady ) {
		mParser.destroy();
		mParserReady = false;
	}
}

void M4Decoder::decode( const u8* data, const u32 size, VIDImage** out ) {
	M4BitstreamInit( &mBitstream, data, size );
	const u32 frameType = mParser.parseHeader();
	switch ( frameType ) {
	case M4_FRAME_I:
		iFrame();
		break;
	case M4_FRAME_P:
		pFrame( false );
		break;
	case M4_FRAME_B:
		bFrame();
		break;
	default:
		pFrame( true );
		break;
	}
	const M4Image* const shown = frameType == M4_FRAME_B || ( mFlags & VID_DECODER_FLAG_REORDER ) == 0 ? mCurrent : mForward;
	fillImage( shown );
	if ( out != nullptr ) {
		*out = &mOutput;
	}
	rotate( frameType );
	mFrameCount++;
}

// Macroblock decoding fills these in; until then a frame leaves its
// picture as it was.
void M4Decoder::iFrame() {
}

void M4Decoder::pFrame( bool ) {
	mMvMgr->mForwardFCode = mParser.mForwardFCode;
}

void M4Decoder::bFrame() {
	mMvMgr->mForwardFCode = mParser.mForwardFCode;
	mMvMgr->mBackwardFCode = mParser.mBackwardFCode;
}

void M4Decoder::rotate( const u32 frameType ) {
	const bool reorder = ( mFlags & VID_DECODER_FLAG_REORDER ) != 0;
	if ( frameType == M4_FRAME_B ) {
		// Without reordering there is no B picture: the next frame simply
		// decodes over the one just shown.
		if ( reorder ) {
			M4Image* const held = mCurrent;
			mCurrent = mBFrame;
			mBFrame = held;
		}
		return;
	}
	if ( reorder ) {
		M4Image* const oldBackward = mBackward;
		mBackward = mForward;
		mForward = mCurrent;
		mCurrent = oldBackward;
		return;
	}
	M4Image* const held = mCurrent;
	mCurrent = mForward;
	mForward = held;
}

void M4Decoder::fillImage( const M4Image* picture ) {
	mOutput.width = picture->mWidth;
	mOutput.height = picture->mHeight;
	// A tile row spans the whole padded width, so only that width lines the
	// texture's tiles up with the plane's; the height stops at the plane's
	// bottom border.
	mOutput.texWidth = picture->mPaddedWidth;
	mOutput.texHeight = static_cast<u16>( picture->mPaddedHeight - 2 * M4_IMAGE_BORDER );
	mOutput.y = picture->mY;
	mOutput.u = picture->mU;
	mOutput.v = picture->mV;
}
