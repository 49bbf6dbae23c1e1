/*
===============================================================================

	MPEG-4 visual header parser.

	Parses the video object, video object layer, group-of-VOP and video
	object plane headers of an MPEG-4 Part 2 elementary stream, each from
	the bytes that follow its start code. Streams that use a tool the
	console's decoder lacks are refused with a message that names the
	field, so a movie is never written that would decode wrongly. Every
	marker bit is checked and a header cut short is refused.

===============================================================================
*/
#ifndef TOOL_M4V_HEADER_PARSER_H
#define TOOL_M4V_HEADER_PARSER_H

#include "tools/lib/movie/ToolM4vHeaders.h"

#include <string>

class ToolBitReader;

class ToolM4vHeaderParser {
public:
	// visual_object_verid of a visual object header (1 when it names none).
	static bool		ParseVisualObject( const u8* data, u64 size, u32* verid, std::string* error );
	// A video object layer; defaultVerid comes from the visual object.
	static bool		ParseVol( const u8* data, u64 size, u32 defaultVerid, ToolM4vVol* vol, std::string* error );
	static bool		ParseGov( const u8* data, u64 size, ToolM4vGov* gov, std::string* error );
	// A video object plane of the given layer; fills headerBits with the
	// position where its macroblock data begins.
	static bool		ParseVop( const u8* data, u64 size, const ToolM4vVol& vol, ToolM4vVop* vop, std::string* error );
	// True when the plane's macroblock data holds a byte-aligned resync
	// marker of the length its coding type and f-codes give.
	static bool		HasResyncMarker( const u8* data, u64 size, const ToolM4vVop& vop );
	// Bit length of the resync marker of a plane (16 + f-code, 17 for I).
	static u32		ResyncMarkerLength( const ToolM4vVop& vop );

private:
	static bool		ParseMatrix( ToolBitReader& reader, ToolM4vCodedMatrix* matrix );
	static bool		ReadWarpingComponent( ToolBitReader& reader, s32* value );
};

#endif
