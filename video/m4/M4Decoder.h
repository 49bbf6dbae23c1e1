/*
===============================================================================

	MPEG-4 frame decoder.

	Turns one compressed frame into one picture and keeps the reference
	pictures the next frames predict from. With flag bit 0 it keeps five
	pictures and returns them in display order (a reference frame shows
	the previous reference); without it two, and every frame shows itself.
	Every block of memory comes through the library's hooks; the two
	coefficient buffers come from fast memory when the fast hook gives it.
	Nothing is allocated after creation.

	References: after each reference frame's rotation F (mForward) holds
	the newest reference and R (mBackward) the older one. A B-frame
	therefore predicts forward vectors (and its not-coded copies) from R
	and backward vectors from F. A B-frame handed to a decoder made
	without flag bit 0 is skipped: it has no pictures to decode into.

===============================================================================
*/
#ifndef M4_DECODER_H
#define M4_DECODER_H

#include "video/m4/M4Bitstream.h"
#include "video/m4/M4BitstreamParser.h"
#include "video/m4/M4Image.h"
#include "video/m4/M4MacroBlock.h"
#include "video/m4/VIDDecoder.h"

class M4MotionVectorMgr;

// What a B macroblock predicts from: per direction its four block vectors
// (or two field vectors in 0 and 1) and, when field-predicted, the field
// each of its two fields reads.
struct M4BPrediction {
	bool				mForward;
	bool				mBackward;
	bool				mField;
	M4_VECTOR			mForwardMv[4];
	M4_VECTOR			mBackwardMv[4];
	u32					mForwardSelect[2];		// top field, bottom field
	u32					mBackwardSelect[2];
};

// Bytes of six blocks of 64 s16.
constexpr u32 M4_COEFFICIENT_BUFFER_SIZE	= M4_MB_BLOCKS * 64 * sizeof( s16 );
constexpr u32 M4_DECODER_MAX_IMAGES			= 5;

class M4Decoder {
public:
						M4Decoder();
						~M4Decoder();

	// The decoder owns its pictures and buffers: it is never copied.
						M4Decoder( const M4Decoder& ) = delete;
	M4Decoder&			operator=( const M4Decoder& ) = delete;

	// Creates the pictures, parser, macroblock arrays, buffers and vector
	// manager for setup; false (everything taken given back) when an
	// allocation fails.
	bool				init( const VIDDecoderSetup* setup );
	// Decodes one frame and names the picture to show.
	void				decode( const u8* data, u32 size, VIDImage** out );

	// Frame loops: every macroblock of the frame in raster order.
	void				iFrame();
	void				pFrame( bool sprite );
	void				bFrame();

	// Intra macroblock: field-DCT bit, six blocks with DC/AC prediction,
	// stored into the current picture. pattern: bit 5 - block.
	void				mbIntra( M4_MB* mb, u32 x, u32 y, bool acPrediction, u32 pattern, u32 quantiser );
	// Inter macroblock predicted from F by its record's vectors, then
	// its coded blocks' residual.
	void				mbInter( M4_MB* mb, u32 x, u32 y, u32 pattern );
	// Macroblock predicted by global motion from F, then its residual.
	void				mbInterGMC( M4_MB* mb, u32 x, u32 y, u32 pattern );
	// B macroblock: forward from R, backward from F, averaged when both,
	// then its residual.
	void				mbInterpolate( M4_MB* mb, u32 x, u32 y, const M4BPrediction& prediction );
	// Predicts each field of the macroblock at (x, y) of picture from
	// the selected field of reference with its own field vector; with
	// average, the prediction is averaged into the picture's pixels.
	void				mbFieldCompensate( M4Image* picture, const M4Image* reference, u32 x, u32 y, const M4_VECTOR* vectors, const u32* selects, bool average );

	u16					mWidth{};
	u16					mHeight{};
	u16					mMBWidth{};			// macroblocks across
	u16					mMBHeight{};			// macroblocks down
	u32					mFlags{};
	M4Image*			mCurrent{};			// being decoded
	M4Image*			mForward{};			// forward reference
	M4Image*			mBackward{};			// with flag bit 0: backward reference
	M4Image*			mSpare{};
	M4Image*			mBFrame{};
	M4_MB*				mMBs{};				// one per macroblock, raster order
	M4_MB*				mBMBs{};				// with flag bit 0: B-frame records
	M4MotionVectorMgr*	mMvMgr{};
	M4Bitstream			mBitstream{};
	M4BitstreamParser	mParser{};
	u32					mFrameCount{};
	s16*				mCoefficients{};		// 6 blocks of 64
	s16*				mDequantised{};		// 6 blocks of 64

	// Chroma component of a one-vector luma component v: quarter
	// positions go to the half sample.
	static s32			chromaMv( s32 v );
	// Chroma component from the sum of a macroblock's four luma
	// components, rounded by mRoundtab.
	static s32			chromaMvFour( s32 sum );
	// Chroma vector of a stored luma field vector, as field compensation
	// uses it: y keeps the field vector's half-sample flag in bit 1.
	static M4_VECTOR	chromaFieldMv( const M4_VECTOR& v );

	static const s32	mDequantTable[4];
	static const s32	mRoundtab[16];
	// Field distance corrections of field direct mode, by the co-located
	// field's select and the top-field-first flag.
	static const s32	deltaTop[2][2];
	static const s32	deltaBottom[2][2];

private:
	void				release();
	void				rotate( u32 frameType );
	void				fillImage( const M4Image* picture );
	s16*				allocateBuffer( bool* fromFastMemory );
	bool				reorders() const;
	u32					readIntraMacroBlockHead( M4_MB* mb, u32 typeCode, bool* acPrediction );
	void				readQuantiserChange();
	// False when the macroblock's type cannot be read: the stream is lost
	// for the rest of the picture.
	bool				decodeBMacroBlock( u32 x, u32 y, s64 trb, s64 trd );
	// The macroblock as a copy of the older reference, with quantiser kept.
	void				copyBMacroBlock( u32 x, u32 y, u32 quantiser );
	void				directVectors( const M4_MB* colocated, const M4_VECTOR& delta, s64 trb, s64 trd, M4BPrediction* prediction ) const;
	void				predictFrame( M4Image* picture, const M4Image* reference, u32 x, u32 y, const M4_VECTOR* vectors, bool fourVectors, bool average );
	void				addResidual( const M4_MB* mb, u32 x, u32 y, u32 pattern );
	void				storeGMCVector( M4_MB* mb, u32 x, u32 y ) const;
	// Extends picture's borders unless they are current already.
	void				padReference( M4Image* picture );

	M4Image				mImages[M4_DECODER_MAX_IMAGES]{};
	void*				mPool{};
	bool				mParserReady{};
	bool				mCoefficientsFast{};	// fast memory has no free
	bool				mDequantisedFast{};
	bool				mBFrameRefused{};		// a B-frame without flag bit 0 was reported
	u32					mPadded{};				// bit i: mImages[i]'s borders match its pixels
	VIDImage			mOutput{};
};

// The chroma helpers are small and called for every predicted macroblock.
inline s32 M4Decoder::chromaMv( const s32 v ) {
	return ( v & 3 ) != 0 ? ( v >> 1 ) | 1 : v / 2;
}

inline s32 M4Decoder::chromaMvFour( const s32 sum ) {
	const s64 magnitude = sum < 0 ? -static_cast<s64>( sum ) : sum;
	const s64 value = mRoundtab[magnitude % 16] + ( magnitude / 16 ) * 2;
	return static_cast<s32>( sum < 0 ? -value : value );
}

inline M4_VECTOR M4Decoder::chromaFieldMv( const M4_VECTOR& v ) {
	M4_VECTOR c;
	c.x = ( v.x & 3 ) != 0 ? ( v.x >> 1 ) | 1 : v.x >> 1;
	c.y = ( v.y & 6 ) != 0 ? ( v.y >> 1 ) | 2 : v.y >> 1;
	return c;
}

#endif
