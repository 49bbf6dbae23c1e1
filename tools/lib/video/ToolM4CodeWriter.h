/*
===============================================================================

	Writer of MPEG-4 macroblock-layer codes.

	Writes each syntax element of the macroblock layer with the code lists
	of ToolM4CodeLists onto a bit writer, so tests can build macroblock data
	by value: macroblock types and patterns, motion components with their
	f-code residuals, intra DC sizes and differences, coefficients with the
	standard's choice of escape (plain code, else level offset, else run
	offset, else fixed length) and the B macroblock type and quantiser
	change. Each writer returns false, writing nothing, for a value no code
	can carry.

===============================================================================
*/
#ifndef TOOL_M4_CODE_WRITER_H
#define TOOL_M4_CODE_WRITER_H

#include "datatypes/base/DTTypes.h"

class ToolBitWriter;

enum ToolM4Escape : u32 {
	TOOL_M4_ESCAPE_NONE		= 0,
	TOOL_M4_ESCAPE_LEVEL	= 1,	// level offset by the largest level of its run
	TOOL_M4_ESCAPE_RUN		= 2,	// run offset by the largest run of its level, plus one
	TOOL_M4_ESCAPE_FIXED	= 3,	// last, run and level written out
};

class ToolM4CodeWriter {
public:
	// A printed code (0, 1, spaces; a trailing 's' is left out).
	static void		WriteBits( ToolBitWriter& writer, const char* printed );

	// Macroblock type and chroma pattern, after stuffing stuffing codes.
	static bool		WriteMcbpc( ToolBitWriter& writer, bool intraFrame, u32 type, u32 cbpc, u32 stuffing = 0 );
	// Luma pattern of an intra or inter macroblock.
	static bool		WriteCbpy( ToolBitWriter& writer, u32 cbpy, bool intra );
	// One motion-vector component of value (half samples) with f-code
	// fcode (1 to 7).
	static bool		WriteMotion( ToolBitWriter& writer, s32 value, u32 fcode );
	static bool		WriteDCSize( ToolBitWriter& writer, u32 size, bool luminance );
	// An intra DC difference: size code, the bits, a marker above size 8.
	static bool		WriteDC( ToolBitWriter& writer, s32 difference, bool luminance );
	// One coefficient with its sign; escape receives the mode used.
	static bool		WriteCoefficient( ToolBitWriter& writer, bool intra, u32 last, u32 run, s32 level, ToolM4Escape* escape = nullptr );
	// B macroblock type 0 to 3 as that many 0 bits and a 1; 4 as four 0s.
	static bool		WriteBType( ToolBitWriter& writer, u32 type );
	// B quantiser change: 0, -2 or +2.
	static bool		WriteBQuantChange( ToolBitWriter& writer, s32 change );

	// Escape limits derived from the code lists; 0 where no code exists.
	static u32		MaxLevel( bool intra, u32 last, u32 run );
	static u32		MaxRun( bool intra, u32 last, u32 level );
	// The printed code of (last, run, level), or null.
	static const char*	FindCoefficient( bool intra, u32 last, u32 run, u32 level );
};

#endif
