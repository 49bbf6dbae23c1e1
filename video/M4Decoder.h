/*
===============================================================================

	MPEG-4 frame decoder.

	Turns one compressed frame into one picture and keeps the reference
	pictures the next frames predict from. With flag bit 0 it keeps five
	pictures and returns them in display order (a reference frame shows
	the previous reference); without it two, and every frame shows itself.
	Every block of memory comes through the library's hooks; the two
	coefficient buffers come from fast memory when the fast hook gives it.

===============================================================================
*/
#ifndef M4_DECODER_H
#define M4_DECODER_H

#include "video/M4Bitstream.h"
#include "video/M4BitstreamParser.h"
#include "video/M4Image.h"
#include "video/M4MacroBlock.h"
#include "video/VIDDecoder.h"

class M4MotionVectorMgr;

// Bytes of six blocks of 64 s16.
constexpr u32 M4_COEFFICIENT_BUFFER_SIZE	= M4_MB_BLOCKS * 64 * sizeof( s16 );
constexpr u32 M4_DECODER_MAX_IMAGES			= 5;

class M4Decoder {
public:
						M4Decoder();
						~M4Decoder();

	// Creates the pictures, parser, macroblock arrays, buffers and vector
	// manager for setup; false (everything taken given back) when an
	// allocation fails.
	bool				init( const VIDDecoderSetup* setup );
	// Decodes one frame and names the picture to show.
	void				decode( const u8* data, u32 size, VIDImage** out );

	void				iFrame();
	void				pFrame( bool sprite );
	void				bFrame();

	u16					mWidth;
	u16					mHeight;
	u16					mMBWidth;			// macroblocks across
	u16					mMBHeight;			// macroblocks down
	u32					mFlags;
	M4Image*			mCurrent;			// being decoded
	M4Image*			mForward;			// forward reference
	M4Image*			mBackward;			// with flag bit 0: backward reference
	M4Image*			mSpare;
	M4Image*			mBFrame;
	M4_MB*				mMBs;				// one per macroblock, raster order
	M4_MB*				mBMBs;				// with flag bit 0: B-frame records
	M4MotionVectorMgr*	mMvMgr;
	M4Bitstream			mBitstream;
	M4BitstreamParser	mParser;
	u32					mFrameCount;
	s16*				mCoefficients;		// 6 blocks of 64
	s16*				mDequantised;		// 6 blocks of 64

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

private:
	void				release();
	void				rotate( u32 frameType );
	void				fillImage( const M4Image* picture );
	s16*				allocateBuffer( bool* fromFastMemory );

	M4Image				mImages[M4_DECODER_MAX_IMAGES];
	void*				mPool;
	bool				mParserReady;
	bool				mCoefficientsFast;	// fast memory has no free
	bool				mDequantisedFast;
	VIDImage			mOutput;
};

#endif
