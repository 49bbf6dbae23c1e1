/*
===============================================================================

	Code lists of the MPEG-4 macroblock layer, as the standard prints them.

	Each row is a code written as a string of 0 and 1 (spaces ignored; a
	trailing 's' marks the sign bit that follows the code) with the value
	it stands for. They are typed independently of the decoder's packed
	tables, so each transcription checks the other.

===============================================================================
*/
#ifndef TOOL_M4_CODE_LISTS_H
#define TOOL_M4_CODE_LISTS_H

#include "datatypes/base/DTTypes.h"

#include <string>
#include <vector>

// A code and its value. MCBPC values are type | chroma pattern << 4, with
// TOOL_M4_STUFFING for the stuffing code; motion values are magnitudes.
struct ToolM4Code {
	const char*		bits;
	s32				value;
};

struct ToolM4CoefficientCode {
	const char*		bits;
	u32				last;
	u32				run;
	u32				level;
};

constexpr s32 TOOL_M4_STUFFING = -1;

class ToolM4CodeLists {
public:
	static const std::vector<ToolM4Code>&				McbpcIntra();
	static const std::vector<ToolM4Code>&				McbpcInter();
	// Indexed by the intra pattern; inter patterns use 15 minus it.
	static const std::vector<ToolM4Code>&				Cbpy();
	static const std::vector<ToolM4Code>&				DCSize( bool luminance );
	// Magnitudes 0 to 32; every code but that of 0 is followed by a sign.
	static const std::vector<ToolM4Code>&				Motion();
	static const std::vector<ToolM4CoefficientCode>&	Coefficients( bool intra );
	static const char*									Escape();

	// The 0/1 characters of a printed code, without spaces and sign mark.
	static std::string									Bits( const char* printed );
	// True when the printed code ends with a sign mark.
	static bool											HasSign( const char* printed );
};

#endif
