/*
===============================================================================

	Frame header and macroblock-layer readers.

	parseHeader reads the compact frame header that stands in for the
	MPEG-4 layer and plane headers; its sequence settings (quantisation
	type and matrices, interlacing, sprite points) live on in the parser
	until a frame carries new ones. The quantiser is clamped to 1..31 and
	the f-codes to 1..7, the ranges the standard allows, so a corrupt
	header cannot index the DC-scaler rules at 0 or shift by -1. The other
	readers decode one syntax element each with the VLC tables.

===============================================================================
*/
#ifndef M4_BITSTREAM_PARSER_H
#define M4_BITSTREAM_PARSER_H

#include "video/m4/M4SpriteWarp.h"
#include "video/m4/M4VlcDecoder.h"

struct M4Bitstream;

enum M4FrameType : u32 {
	M4_FRAME_I		= 0,
	M4_FRAME_P		= 1,
	M4_FRAME_B		= 2,
	M4_FRAME_SPRITE	= 3,
};

constexpr u32 M4_MATRIX_SIZE	= 64;
constexpr u32 M4_SCAN_COUNT		= 3;

enum M4Scan : u32 {
	M4_SCAN_ZIGZAG					= 0,
	M4_SCAN_ALTERNATE_HORIZONTAL	= 1,
	M4_SCAN_ALTERNATE_VERTICAL		= 2,
};

class M4BitstreamParser {
public:
	// Stores the reader and picture size, installs the scans (in fast
	// memory when it can), allocates the two matrices and initialises the
	// VLC decoder. False when a matrix cannot be allocated.
	bool				init( M4Bitstream* bs, u32 width, u32 height );
	// Frees the matrices.
	void				destroy();

	// Parses one frame header, leaving the reader on the first macroblock
	// byte; returns the frame type.
	u32					parseHeader();

	// Macroblock type in bits 0-2 and chroma pattern in bits 4-5, stuffing
	// skipped; M4_VLC_INVALID for a code missing from the table.
	u32					getCbpCIntra();
	u32					getCbpCInter();
	// Luma pattern; inter macroblocks use the complement.
	u32					getCbpy( bool intra );
	// B macroblock type: the count of 0 bits before a 1, at most 4.
	u32					getMBType();
	// Intra DC size of a luminance or chrominance block.
	u32					getDCSize( bool luminance );
	// DC difference of size bits.
	s32					getDCDiff( u32 size );
	// One motion-vector component with f-code fcode.
	s32					getMv( u32 fcode );
	// A matrix of up to 64 values in zigzag order into matrix (raster order).
	void				getMatrix( u8* matrix );
	// Reads the sprite frame's warping points and derives the warp.
	void				decodeGMCSprite();

	M4Bitstream*		mBitstream;
	u32					mFrameType;
	u32					mRoundingType;
	u32					mIntraDCThreshold;
	u32					mQuantiser;
	u32					mForwardFCode;
	u32					mBackwardFCode;
	u32					mLastReferenceTime;		// the older of the two references
	u32					mReferenceTime;			// the newest reference
	u32					mBTime;
	u32					mQuantType;				// 0 H.263, 1 MPEG
	u8*					mIntraMatrix;			// raster order
	u8*					mInterMatrix;
	u32					mInterlaced;
	u32					mTopFieldFirst;
	u32					mAlternateVerticalScan;
	u32					mSprite;
	u32					mWarpingPoints;
	u32					mWarpingAccuracy;
	u32					mWidth;
	u32					mHeight;
	const u8*			mScan[M4_SCAN_COUNT];
	M4VlcDecoder		mVlc;
	M4SpriteWarp		mWarp;

	static const u8		mScanTableInput[M4_SCAN_COUNT][M4_MATRIX_SIZE];
	static const u8		mDefaultIntraMatrix[M4_MATRIX_SIZE];
	static const u8		mDefaultInterMatrix[M4_MATRIX_SIZE];
	static const u32	mIntraDCThresholdTable[8];

private:
	void				reset( M4Bitstream* bs, u32 width, u32 height );
	u32					getCbpC( const u32* table );
	void				parseSequence();
	void				loadMatrix( u8* matrix, const u8* defaults );
};

#endif
