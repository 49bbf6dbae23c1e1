/*
===============================================================================

	Hand-made MPEG-4 elementary streams for the rewriter's tests.

	Writes the standard's layer, group-of-VOP and plane headers from plain
	settings, each behind its start code and closed by the standard's
	stuffing, so a test can turn one flag and see where it lands. Plane
	bodies are arbitrary bits standing for macroblock data.

===============================================================================
*/
#ifndef M4V_TEST_STREAM_H
#define M4V_TEST_STREAM_H

#include "datatypes/base/DTTypes.h"

#include <vector>

struct TestLayer {
	u32					verid = 1;
	u32					shape = 0;
	u32					resolution = 30;
	u32					width = 48;
	u32					height = 32;
	bool				interlaced = false;
	bool				obmcDisable = true;
	u32					sprite = 0;
	u32					warpingPoints = 0;
	u32					warpingAccuracy = 0;
	bool				brightnessChange = false;
	bool				notEightBit = false;
	bool				mpegQuant = false;
	// Values as coded; empty means the load flag is 0.
	std::vector<u8>		intraMatrix;
	std::vector<u8>		interMatrix;
	bool				quarterSample = false;
	bool				complexityEstimationDisable = true;
	bool				resyncMarkerDisable = false;
	bool				dataPartitioned = false;
	bool				newpred = false;
	bool				reducedResolution = false;
	bool				scalability = false;
};

struct TestPlane {
	u32					type = 0;
	u32					modulo = 0;
	u32					increment = 0;
	bool				coded = true;
	u32					rounding = 0;
	u32					intraDcThreshold = 0;
	bool				topFieldFirst = false;
	bool				alternateScan = false;
	std::vector<s32>	warpX;
	std::vector<s32>	warpY;
	u32					quantiser = 4;
	u32					forwardFCode = 1;
	u32					backwardFCode = 1;
	// Macroblock stand-in: bodyBits bits of a fixed pattern.
	u32					bodyBits = 45;
	// Adds a byte-aligned resync marker of this length after the body.
	u32					resyncMarkerBits = 0;
};

class M4vTestStream {
public:
	void				Layer( const TestLayer& layer );
	void				Gov( u32 seconds );
	void				Plane( const TestLayer& layer, const TestPlane& plane );
	void				Raw( const std::vector<u8>& bytes );

	const std::vector<u8>&	Bytes() const { return bytes; }

	// The macroblock stand-in bits of a plane and its stuffing, as a
	// rewritten frame must carry them.
	static std::vector<u8>	BodyBits( u32 bodyBits );
	static u32				BodyPattern( u32 bit );

private:
	std::vector<u8>		bytes;
};

#endif
