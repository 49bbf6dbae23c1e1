/*
===============================================================================

	Decoded MPEG-4 visual headers.

	Plain records filled by ToolM4vHeaderParser: the video object layer
	(the sequence settings every picture depends on), the group-of-VOP time
	code and one video object plane's header. Only the fields the compact
	frame format carries, or that decide whether a stream can be carried at
	all, are kept. Quantiser matrices are kept as coded (zigzag order, with
	the 0 that ends a short list) so that they can be copied bit for bit.

===============================================================================
*/
#ifndef TOOL_M4V_HEADERS_H
#define TOOL_M4V_HEADERS_H

#include "datatypes/base/DTTypes.h"

// vop_coding_type values; the compact frame type uses the same numbers.
enum ToolM4vCodingType : u8 {
	TOOL_M4V_I	= 0,
	TOOL_M4V_P	= 1,
	TOOL_M4V_B	= 2,
	TOOL_M4V_S	= 3,	// global motion compensation
};

// sprite_enable values.
enum ToolM4vSprite : u8 {
	TOOL_M4V_SPRITE_NONE	= 0,
	TOOL_M4V_SPRITE_STATIC	= 1,
	TOOL_M4V_SPRITE_GMC		= 2,
};

constexpr u32 TOOL_M4V_MATRIX_SIZE			= 64;
constexpr u32 TOOL_M4V_MAX_WARPING_POINTS	= 3;

// A quantiser matrix as it was coded: count values, the last one 0 when the
// list ended early.
struct ToolM4vCodedMatrix {
	bool	loaded;
	u32		count;
	u8		values[TOOL_M4V_MATRIX_SIZE];
};

struct ToolM4vVol {
	u32					verid;				// 1, or the version-2 syntax otherwise
	u32					timeResolution;		// vop_time_increment_resolution, ticks per second
	u32					timeIncrementBits;	// width of vop_time_increment
	u32					width;
	u32					height;
	bool				interlaced;
	u32					sprite;				// ToolM4vSprite
	u32					warpingPoints;
	u32					warpingAccuracy;
	bool				mpegQuant;			// quant_type
	ToolM4vCodedMatrix	intraMatrix;
	ToolM4vCodedMatrix	interMatrix;
	bool				resyncMarkerDisable;
};

struct ToolM4vGov {
	u32		seconds;	// time code as whole seconds
	bool	closed;
	bool	brokenLink;
};

struct ToolM4vVop {
	u32		codingType;			// ToolM4vCodingType
	u32		moduloTimeBase;		// number of 1 bits: whole seconds to add
	u32		timeIncrement;
	bool	coded;
	u32		rounding;
	u32		intraDcThreshold;	// intra_dc_vlc_thr, the 3-bit index
	bool	topFieldFirst;
	bool	alternateVerticalScan;
	s32		warpX[TOOL_M4V_MAX_WARPING_POINTS];
	s32		warpY[TOOL_M4V_MAX_WARPING_POINTS];
	u32		quantiser;
	u32		forwardFCode;		// 0 for I-VOPs
	u32		backwardFCode;		// 0 unless B-VOP
	u64		headerBits;			// where the macroblock data begins, in bits from the unit's start
};

#endif
