#include "video/m4/M4Decoder.h"

#include "platform/os/OS.h"
#include "video/m4/M4DirectMode.h"
#include "video/m4/M4GMCVector.h"
#include "video/m4/M4ImagePadding.h"
#include "video/m4/M4MemOp.h"
#include "video/m4/M4Memory.h"
#include "video/m4/M4MotionVectorMgr.h"

#include <cstdint>
#include <cstring>

// Quantiser change of a 2-bit dquant code.
const s32 M4Decoder::mDequantTable[4] = { -1, -2, 1, 2 };
// Chroma rounding of a four-vector sum, by the sum's magnitude modulo 16.
const s32 M4Decoder::mRoundtab[16] = { 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2 };
// [field select][top field first]: the top field moves one field period
// when it read the bottom field, the bottom field when it read the top.
const s32 M4Decoder::deltaTop[2][2] = { { 0, 0 }, { 1, -1 } };
const s32 M4Decoder::deltaBottom[2][2] = { { -1, 1 }, { 0, 0 } };

// Every member starts empty through its initialiser.
M4Decoder::M4Decoder() = default;

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
	// The reader refuses such movies at open; a caller that creates the
	// decoder itself is held to the same bounds.
	if ( setup->width == 0 || setup->height == 0 || setup->width > VID_DECODER_MAX_WIDTH ||
		 setup->height > VID_DECODER_MAX_HEIGHT ) {
		return false;
	}
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

	const u64 records = static_cast<u64>( mMBWidth ) * mMBHeight * sizeof( M4_MB );
	if ( records > UINT32_MAX ) {
		return false;
	}
	mMBs = static_cast<M4_MB*>( M4Malloc( static_cast<u32>( records ) ) );
	if ( mMBs == nullptr ) {
		return false;
	}
	std::memset( static_cast<void*>( mMBs ), 0, records );
	if ( reorder ) {
		mBMBs = static_cast<M4_MB*>( M4Malloc( static_cast<u32>( records ) ) );
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

bool M4Decoder::reorders() const {
	return ( mFlags & VID_DECODER_FLAG_REORDER ) != 0;
}

void M4Decoder::decode( const u8* data, const u32 size, VIDImage** out ) {
	M4BitstreamInit( &mBitstream, data, size );
	const u32 frameType = mParser.parseHeader();
	if ( frameType == M4_FRAME_B && !reorders() ) {
		// Without flag bit 0 there is neither an older reference nor a B
		// picture: nothing changes and the last picture shown stays.
		if ( !mBFrameRefused ) {
			OSReport( "M4Decoder: B-frame without reordering skipped\n" );
			mBFrameRefused = true;
		}
		fillImage( mForward );
		if ( out != nullptr ) {
			*out = &mOutput;
		}
		mFrameCount++;
		return;
	}
	// The picture decoded into changes, so its borders are stale until the
	// next extension.
	mPadded &= ~( 1u << static_cast<u32>( mCurrent - mImages ) );
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
	const M4Image* const shown = frameType == M4_FRAME_B || !reorders() ? mCurrent : mForward;
	fillImage( shown );
	if ( out != nullptr ) {
		*out = &mOutput;
	}
	rotate( frameType );
	mFrameCount++;
}

static u32 M4ClampQuantiser( const s32 quantiser ) {
	return static_cast<u32>( quantiser < 1 ? 1 : ( quantiser > 31 ? 31 : quantiser ) );
}

void M4Decoder::readQuantiserChange() {
	const s32 change = mDequantTable[M4BitstreamGet( &mBitstream, 2 )];
	mParser.mQuantiser = M4ClampQuantiser( static_cast<s32>( mParser.mQuantiser ) + change );
}

// Reads what follows an intra macroblock type: the AC flag, the luma
// pattern and, for type 4, the quantiser change. Returns the pattern.
u32 M4Decoder::readIntraMacroBlockHead( M4_MB* mb, const u32 typeCode, bool* acPrediction ) {
	const u32 type = typeCode == M4_VLC_INVALID ? static_cast<u32>( M4_MB_INTRA ) : ( typeCode & M4_MCBPC_TYPE_MASK );
	const u32 chroma = typeCode == M4_VLC_INVALID ? 0 : ( typeCode >> M4_MCBPC_CBPC_SHIFT ) & 3;
	*acPrediction = M4BitstreamGet( &mBitstream, 1 ) != 0;
	const u32 luma = mParser.getCbpy( true );
	mb->mType = type == M4_MB_INTRA_Q ? M4_MB_INTRA_Q : M4_MB_INTRA;
	if ( mb->mType == M4_MB_INTRA_Q ) {
		readQuantiserChange();
	}
	mb->mQuantiser = static_cast<u8>( mParser.mQuantiser );
	return ( luma << 2 ) | chroma;
}

void M4Decoder::iFrame() {
	for ( u32 y = 0; y < mMBHeight; y++ ) {
		for ( u32 x = 0; x < mMBWidth; x++ ) {
			M4_MB* const mb = &mMBs[y * mMBWidth + x];
			mb->mFlags = 0;
			// A missing code reads as an intra macroblock with no chroma.
			const u32 code = mParser.getCbpCIntra();
			bool acPrediction = false;
			const u32 pattern = readIntraMacroBlockHead( mb, code, &acPrediction );
			mbIntra( mb, x, y, acPrediction, pattern, mb->mQuantiser );
		}
		M4MemMBRowFlush( mCurrent, y );
	}
}

void M4Decoder::storeGMCVector( M4_MB* mb, const u32 x, const u32 y ) const {
	const M4_VECTOR v = M4GMCAverageVector( mParser.mWarp, x, y, mParser.mForwardFCode );
	for ( u32 k = 0; k < 4; k++ ) {
		mb->mMv[2 * k] = v.x;
		mb->mMv[2 * k + 1] = v.y;
	}
}

void M4Decoder::pFrame( const bool sprite ) {
	M4Bitstream* const bs = &mBitstream;
	mMvMgr->init( mParser.mForwardFCode, mParser.mBackwardFCode );
	padReference( mForward );
	for ( u32 y = 0; y < mMBHeight; y++ ) {
		for ( u32 x = 0; x < mMBWidth; x++ ) {
			M4_MB* const mb = &mMBs[y * mMBWidth + x];
			mb->mFlags = 0;
			mb->mCbp = 0;
			if ( M4BitstreamGet( bs, 1 ) != 0 ) {
				mb->mQuantiser = static_cast<u8>( mParser.mQuantiser );
				if ( sprite ) {
					mb->mType = M4_MB_NOT_CODED_SPRITE;
					storeGMCVector( mb, x, y );
					mbInterGMC( mb, x, y, 0 );
				} else {
					mb->mType = M4_MB_NOT_CODED;
					for ( s32& component : mb->mMv ) {
						component = 0;
					}
					M4MemOpInterMBCopyAll( mCurrent, x, y, mForward );
				}
				continue;
			}
			const u32 code = mParser.getCbpCInter();
			const bool missing = code == M4_VLC_INVALID;
			const u32 type = missing ? static_cast<u32>( M4_MB_INTER ) : ( code & M4_MCBPC_TYPE_MASK );
			if ( type == M4_MB_INTRA || type == M4_MB_INTRA_Q ) {
				bool acPrediction = false;
				const u32 pattern = readIntraMacroBlockHead( mb, code, &acPrediction );
				mbIntra( mb, x, y, acPrediction, pattern, mb->mQuantiser );
				continue;
			}
			mb->mType = static_cast<u8>( type <= M4_MB_INTER4V ? type : static_cast<u32>( M4_MB_INTER ) );
			const u32 chroma = missing ? 0 : ( code >> M4_MCBPC_CBPC_SHIFT ) & 3;
			// Global motion is chosen for every inter type, four vectors
			// included; a missing code carries no choice.
			const bool globalMotion = sprite && !missing && M4BitstreamGet( bs, 1 ) != 0;
			const u32 pattern = ( mParser.getCbpy( false ) << 2 ) | chroma;
			if ( mb->mType == M4_MB_INTER_Q ) {
				readQuantiserChange();
			}
			mb->mQuantiser = static_cast<u8>( mParser.mQuantiser );
			if ( mParser.mInterlaced != 0 ) {
				if ( pattern != 0 && M4BitstreamGet( bs, 1 ) != 0 ) {
					mb->mFlags |= M4_MB_FLAG_FIELD_DCT;
				}
				if ( !globalMotion && mb->mType != M4_MB_INTER4V && M4BitstreamGet( bs, 1 ) != 0 ) {
					mb->mFlags |= M4_MB_FLAG_FIELD_PREDICTION;
					if ( M4BitstreamGet( bs, 1 ) != 0 ) {
						mb->mFlags |= M4_MB_FLAG_FIELD_SELECT_TOP;
					}
					if ( M4BitstreamGet( bs, 1 ) != 0 ) {
						mb->mFlags |= M4_MB_FLAG_FIELD_SELECT_BOTTOM;
					}
				}
			}
			if ( globalMotion ) {
				storeGMCVector( mb, x, y );
				mbInterGMC( mb, x, y, pattern );
			} else {
				mMvMgr->predictMv( mb, x, y, mb->mType == M4_MB_INTER4V );
				mbInter( mb, x, y, pattern );
			}
		}
		M4MemMBRowFlush( mCurrent, y );
	}
}

// A reference is extended once after it is decoded, however many frames
// then read it: extending again would write the same bytes.
void M4Decoder::padReference( M4Image* picture ) {
	const u32 bit = 1u << static_cast<u32>( picture - mImages );
	if ( ( mPadded & bit ) != 0 ) {
		return;
	}
	M4ImageCreatePadding( picture );
	mPadded |= bit;
}

void M4Decoder::bFrame() {
	mMvMgr->init( mParser.mForwardFCode, mParser.mBackwardFCode );
	// The older reference is extended too: a reference followed directly
	// by an I-frame was never extended.
	padReference( mForward );
	padReference( mBackward );
	s64 trb = 1;
	s64 trd = 1;
	if ( !M4DirectTimes( mParser.mBTime, mParser.mLastReferenceTime, mParser.mReferenceTime, &trb, &trd ) ) {
		OSReport( "M4Decoder: B-frame references share a time; direct mode uses distance 1\n" );
	}
	bool readable = true;
	for ( u32 y = 0; y < mMBHeight; y++ ) {
		mMvMgr->resetBPredictors();
		for ( u32 x = 0; x < mMBWidth; x++ ) {
			if ( readable ) {
				readable = decodeBMacroBlock( x, y, trb, trd );
			} else {
				copyBMacroBlock( x, y, mMBs[y * mMBWidth + x].mQuantiser );
			}
		}
		M4MemMBRowFlush( mCurrent, y );
	}
}

void M4Decoder::copyBMacroBlock( const u32 x, const u32 y, const u32 quantiser ) {
	M4_MB* const mb = &mBMBs[y * mMBWidth + x];
	mb->mFlags = 0;
	mb->mCbp = 0;
	for ( s32& component : mb->mMv ) {
		component = 0;
	}
	mb->mType = M4_B_FORWARD;
	mb->mQuantiser = static_cast<u8>( quantiser );
	mb->mBForward[0] = mb->mBForward[1] = M4MotionVectorMgr::MV_ZERO;
	mb->mBBackward[0] = mb->mBBackward[1] = M4MotionVectorMgr::MV_ZERO;
	M4MemOpInterMBCopyAll( mCurrent, x, y, mBackward );
}

bool M4Decoder::decodeBMacroBlock( const u32 x, const u32 y, const s64 trb, const s64 trd ) {
	M4Bitstream* const	bs = &mBitstream;
	const u32			index = y * mMBWidth + x;
	const M4_MB* const	colocated = &mMBs[index];
	M4_MB* const		mb = &mBMBs[index];
	// Every path writes the vectors it reads; the flags and field selects
	// start cleared. (Clearing the whole record costs more than a
	// macroblock's syntax.)
	M4BPrediction		prediction;
	prediction.mForward = false;
	prediction.mBackward = false;
	prediction.mField = false;
	prediction.mForwardSelect[0] = prediction.mForwardSelect[1] = 0;
	prediction.mBackwardSelect[0] = prediction.mBackwardSelect[1] = 0;
	if ( colocated->mType == M4_MB_NOT_CODED ) {
		// Not coded in the newer reference: a copy of the older one. The
		// record keeps the co-located quantiser; the running one stays.
		copyBMacroBlock( x, y, colocated->mQuantiser );
		return true;
	}
	mb->mFlags = 0;
	mb->mCbp = 0;
	for ( s32& component : mb->mMv ) {
		component = 0;
	}
	u32			type = M4_B_DIRECT;
	u32			pattern = 0;
	M4_VECTOR	delta = M4MotionVectorMgr::MV_ZERO;
	const bool	skipped = M4BitstreamGet( bs, 1 ) != 0;
	if ( !skipped ) {
		const bool noPattern = M4BitstreamGet( bs, 1 ) != 0;
		type = mParser.getMBType();
		if ( type > M4_B_FORWARD ) {
			// No valid code: the rest of the picture cannot be read, so it
			// shows the older reference rather than stopping the console.
			OSReport( "M4Decoder: invalid B macroblock type; the rest of the picture is copied\n" );
			copyBMacroBlock( x, y, mParser.mQuantiser );
			return false;
		}
		pattern = noPattern ? 0 : M4BitstreamGet( bs, 6 );
		if ( type != M4_B_DIRECT && pattern != 0 && M4BitstreamGet( bs, 1 ) != 0 ) {
			const s32 change = M4BitstreamGet( bs, 1 ) != 0 ? 2 : -2;
			mParser.mQuantiser = M4ClampQuantiser( static_cast<s32>( mParser.mQuantiser ) + change );
		}
		if ( mParser.mInterlaced != 0 ) {
			if ( pattern != 0 && M4BitstreamGet( bs, 1 ) != 0 ) {
				mb->mFlags |= M4_MB_FLAG_FIELD_DCT;
			}
			if ( type != M4_B_DIRECT && M4BitstreamGet( bs, 1 ) != 0 ) {
				mb->mFlags |= M4_MB_FLAG_FIELD_PREDICTION;
				if ( type != M4_B_BACKWARD ) {
					prediction.mForwardSelect[0] = M4BitstreamGet( bs, 1 );
					prediction.mForwardSelect[1] = M4BitstreamGet( bs, 1 );
				}
				if ( type != M4_B_FORWARD ) {
					prediction.mBackwardSelect[0] = M4BitstreamGet( bs, 1 );
					prediction.mBackwardSelect[1] = M4BitstreamGet( bs, 1 );
				}
			}
		}
		if ( type == M4_B_DIRECT ) {
			delta.x = mParser.getMv( 1 );
			delta.y = mParser.getMv( 1 );
		}
	}
	mb->mType = static_cast<u8>( type );
	mb->mCbp = static_cast<u8>( pattern );
	mb->mQuantiser = static_cast<u8>( mParser.mQuantiser );
	if ( type == M4_B_DIRECT ) {
		directVectors( colocated, delta, trb, trd, &prediction );
	} else {
		mMvMgr->readBVectors( mb, type );
		prediction.mForward = type != M4_B_BACKWARD;
		prediction.mBackward = type != M4_B_FORWARD;
		prediction.mField = ( mb->mFlags & M4_MB_FLAG_FIELD_PREDICTION ) != 0;
		for ( u32 k = 0; k < 4; k++ ) {
			// Field vectors sit in 0 and 1; a frame vector fills both.
			prediction.mForwardMv[k] = mb->mBForward[k & 1];
			prediction.mBackwardMv[k] = mb->mBBackward[k & 1];
		}
	}
	if ( prediction.mForwardSelect[0] != 0 ) {
		mb->mFlags |= M4_MB_FLAG_FIELD_SELECT_TOP;
	}
	if ( prediction.mForwardSelect[1] != 0 ) {
		mb->mFlags |= M4_MB_FLAG_FIELD_SELECT_BOTTOM;
	}
	mbInterpolate( mb, x, y, prediction );
	return true;
}

void M4Decoder::directVectors( const M4_MB* colocated, const M4_VECTOR& delta, const s64 trb, const s64 trd, M4BPrediction* prediction ) const {
	prediction->mForward = true;
	prediction->mBackward = true;
	if ( ( colocated->mFlags & M4_MB_FLAG_FIELD_PREDICTION ) == 0 ) {
		for ( u32 k = 0; k < 4; k++ ) {
			M4_VECTOR& forward = prediction->mForwardMv[k];
			M4_VECTOR& backward = prediction->mBackwardMv[k];
			// A vector equal to the one before scales to the same pair:
			// one division for the four of a one-vector macroblock.
			if ( k > 0 && colocated->mMv[2 * k] == colocated->mMv[2 * k - 2] && colocated->mMv[2 * k + 1] == colocated->mMv[2 * k - 1] ) {
				forward = prediction->mForwardMv[k - 1];
				backward = prediction->mBackwardMv[k - 1];
				continue;
			}
			M4DirectComponent( colocated->mMv[2 * k], delta.x, trb, trd, &forward.x, &backward.x );
			M4DirectComponent( colocated->mMv[2 * k + 1], delta.y, trb, trd, &forward.y, &backward.y );
		}
		return;
	}
	// Field direct mode: each field's vector of the co-located macroblock
	// is scaled by that field's own distances, in field periods: twice the
	// frame distances, corrected by which field the co-located field read
	// and which field comes first. Forward reads the field the co-located
	// field read, backward the same-parity field. Field vectors are scaled
	// in field units (the stored vertical components are doubled) and the
	// delta adds in those units too.
	prediction->mField = true;
	const u32 topFirst = mParser.mTopFieldFirst != 0 ? 1 : 0;
	for ( u32 field = 0; field < 2; field++ ) {
		const u8	selectFlag = field == 0 ? M4_MB_FLAG_FIELD_SELECT_TOP : M4_MB_FLAG_FIELD_SELECT_BOTTOM;
		const u32	select = ( colocated->mFlags & selectFlag ) != 0 ? 1 : 0;
		const s32	correction = field == 0 ? deltaTop[select][topFirst] : deltaBottom[select][topFirst];
		s64			fieldTrb = 2 * trb + correction;
		s64			fieldTrd = 2 * trd + correction;
		if ( fieldTrd <= 0 ) {
			fieldTrb = 1;
			fieldTrd = 1;
		}
		const s32	colocatedX = colocated->mMv[2 * field];
		const s32	colocatedY = colocated->mMv[2 * field + 1] / 2;
		M4_VECTOR& forward = prediction->mForwardMv[field];
		M4_VECTOR& backward = prediction->mBackwardMv[field];
		M4DirectComponent( colocatedX, delta.x, fieldTrb, fieldTrd, &forward.x, &backward.x );
		M4DirectComponent( colocatedY, delta.y, fieldTrb, fieldTrd, &forward.y, &backward.y );
		forward.y = M4DirectSaturate( 2 * static_cast<s64>( forward.y ) );
		backward.y = M4DirectSaturate( 2 * static_cast<s64>( backward.y ) );
		prediction->mForwardSelect[field] = select;
		prediction->mBackwardSelect[field] = field;
	}
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
