/*
===============================================================================

	MPEG-4 elementary stream rewriter.

	Turns a standard MPEG-4 Part 2 elementary stream into the console
	decoder's compact frames, one per coded plane, in the stream's own
	(bitstream) order. Times become absolute ticks of the layer's
	resolution: a reference plane (I, P, S) counts its seconds from the
	previous reference or from a group-of-VOP time code that came after it;
	a B plane counts from the base the reference decoded just before it
	counted from, which is the older of its two references in display
	order. Streams the decoder cannot take are refused with a message.

===============================================================================
*/
#ifndef TOOL_M4V_REWRITER_H
#define TOOL_M4V_REWRITER_H

#include "tools/lib/movie/ToolM4vHeaders.h"

#include <string>
#include <vector>

struct ToolRewrittenFrame {
	u32					codingType;		// ToolM4vCodingType
	u32					forwardFCode;	// 0 for I
	u32					backwardFCode;	// 0 unless B
	u32					time;			// ticks, wrapped to 32 bits
	bool				topFieldFirst;
	bool				alternateVerticalScan;
	std::vector<u8>		bytes;			// the compact frame
	u64					headerBits;		// compact header length before its byte padding
	u64					sourceOffset;	// the plane's bytes after its start code
	u64					sourceSize;
	u64					sourceHeaderBits;	// where its macroblock data begins
};

struct ToolM4vRewriteOptions {
	// Each plane with vop_coded 0 becomes a P frame whose macroblocks are
	// all not coded, instead of refusing the stream.
	bool	notCodedAsP;
};

struct ToolM4vRewriteResult {
	ToolM4vVol							vol;
	std::vector<ToolRewrittenFrame>		frames;
};

class ToolM4vRewriter {
public:
	static bool		Rewrite( const u8* data, u64 size, const ToolM4vRewriteOptions& options,
							 ToolM4vRewriteResult* result, std::string* error );

	// One line per frame in file order: type letter, forward f-code,
	// backward f-code and time, after a line giving the time resolution.
	static std::string	FrameList( const ToolM4vRewriteResult& result );
	static char			TypeLetter( u32 codingType );
};

#endif
