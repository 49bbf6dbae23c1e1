/*
===============================================================================

	Corpus access and picture comparison for the decoder's conformance
	tests.

	Loads a committed movie's compressed frames (file order) and FFmpeg's
	reference decode (display order, planar 4:2:0), decodes frames through
	the library's flat interface, copies the visible planes out of the
	decoder's tiled pictures, and measures how far a picture lies from its
	reference: PSNR, largest difference and the share of samples off by
	more than 2, with the first macroblock off by more than 8.

===============================================================================
*/
#ifndef M4_CONFORMANCE_CORPUS_H
#define M4_CONFORMANCE_CORPUS_H

#include "datatypes/base/DTTypes.h"
#include "video/m4/VIDDecoder.h"

#include <string>
#include <vector>

struct ConformanceMovie {
	u32								width = 0;
	u32								height = 0;
	std::vector<std::vector<u8>>	frames;		// VIDD payloads in file order
	std::string						types;		// frame letters in file order
};

// A picture as three planar planes of the visible size.
struct PlanarPicture {
	u32					width = 0;
	u32					height = 0;
	std::vector<u8>		planes[3];
};

struct PlaneDifference {
	f64		psnr = 0.0;			// infinite for identical planes
	u32		maxDifference = 0;
	u64		beyondTwo = 0;		// samples with |d| > 2
	u64		samples = 0;
	s32		firstBadMbX = -1;	// first macroblock (raster order) with |d| > 8
	s32		firstBadMbY = -1;
};

// Reads a movie of the committed corpus (or the .vid at path when it
// names a file); false when it cannot be read.
bool				LoadConformanceMovie( const std::string& nameOrPath, ConformanceMovie* movie );
// Rewrites an MPEG-4 elementary stream into compact frames with the
// movie tools' rewriter.
bool				LoadRewrittenStream( const std::string& path, ConformanceMovie* movie );
// Reads a planar 4:2:0 file of pictures of this size.
std::vector<PlanarPicture>	LoadPlanarFile( const std::string& path, u32 width, u32 height );
// The visible planes of a decoded picture.
PlanarPicture		CopyVisiblePlanes( const VIDImage& image );
// Compares plane of picture with the reference's.
PlaneDifference		ComparePlane( const PlanarPicture& picture, const PlanarPicture& reference, u32 plane );
// Display-order frame letters of a file-order list: each reference moves
// after the B-frames that follow it.
std::string			DisplayOrder( const std::string& fileOrder );
// The picture-type column of an ffprobe list.
std::string			ProbeTypes( const std::string& path );

// Decodes every frame of movie with a decoder made with flags; outputs
// receives the picture returned by each decode.
bool				DecodeMovie( const ConformanceMovie& movie, u32 flags, std::vector<PlanarPicture>* outputs );

// True when an ffmpeg program is on the path.
bool				FFmpegAvailable();
// Runs a shell command; true when it exits with 0.
bool				RunCommand( const std::string& command );

#endif
