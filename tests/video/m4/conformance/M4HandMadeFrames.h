/*
===============================================================================

	Hand-made compact frames for the decoder tests.

	Macroblock data is written element by element with the code writer;
	the frame header comes from the compact frame writer, so a test states
	a frame by its settings and its macroblocks' values. A small decoder
	wrapper runs frames through the flat interface and reads pictures
	back as planar planes.

===============================================================================
*/
#ifndef M4_HAND_MADE_FRAMES_H
#define M4_HAND_MADE_FRAMES_H

#include "M4ConformanceCorpus.h"
#include "tools/lib/movie/ToolBitWriter.h"
#include "tools/lib/movie/ToolM4vHeaders.h"
#include "tools/lib/video/ToolM4CodeWriter.h"

#include <vector>

class M4Decoder;

struct HandFrame {
	u32		type = TOOL_M4V_I;
	u32		quantiser = 4;
	u32		intraDcThreshold = 0;
	u32		forwardFCode = 1;
	u32		backwardFCode = 1;
	u32		time = 0;
	bool	sequence = true;
};

// The compact frame of header with macroblock bits (taken from body).
std::vector<u8>		BuildHandFrame( const HandFrame& header, ToolBitWriter& body );

// Writes an intra macroblock of an I-frame (or of a P-frame with
// inFrameP) whose six blocks carry DC differences dcs and no AC: the DC
// separately when separateDc, else as each block's only coefficient.
void				WriteFlatIntraMacroBlock( ToolBitWriter& writer, const s32* dcs, bool separateDc, bool inFrameP = false,
										  u32 type = 3, u32 quantChange = 0, u32 stuffing = 0 );

class HandDecoder {
public:
	explicit			HandDecoder( u16 width, u16 height, u32 flags );
						~HandDecoder();
	// Decodes one frame; the picture returned.
	PlanarPicture		Decode( const std::vector<u8>& frame );
	M4Decoder*			decoder;
	VIDImage*			last = nullptr;
};

// A picture of one luma and chroma value.
bool				IsFlat( const PlanarPicture& picture, u8 luma, u8 chroma );

#endif
