// Every committed movie decodes to FFmpeg's reference pictures within the
// limits of its row below.
#include "M4ConformanceCorpus.h"

#include "../M4TestHooks.h"
#include "tools/movie/MovieCorpusPath.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace {

struct Limits {
	f64		minimumPsnr;
	u32		maximumDifference;
	f64		maximumShareBeyondTwo;		// of a plane's samples
};

const Limits kIntraOnly		= { 60.0, 2, 0.0 };
const Limits kPredicted		= { 50.0, 8, 0.0005 };
const Limits kLarge			= { 48.0, 8, 0.0005 };

struct Stream {
	const char*		name;
	Limits			limits;
};

const Stream kStreams[] = {
	{ "ionly", kIntraOnly },
	{ "ip", kPredicted },
	{ "bframes", kPredicted },
	{ "mv4", kPredicted },
	{ "mpegquant", kPredicted },
	{ "mpegmatrix", kPredicted },
	{ "interlacedtop", kPredicted },
	{ "interlacedbottom", kPredicted },
	{ "motion", kPredicted },
	{ "oddsize", kPredicted },
	{ "gmc", kPredicted },
};

const char* const kPlaneNames[3] = { "Y", "U", "V" };

// Empty when every picture lies within limits of its reference, else the
// first picture and plane that does not, with its numbers.
std::string CheckPictures( const std::vector<PlanarPicture>& pictures, const std::vector<PlanarPicture>& references, const Limits& limits ) {
	if ( pictures.size() > references.size() ) {
		return "more pictures than references";
	}
	for ( size_t k = 0; k < pictures.size(); k++ ) {
		for ( u32 p = 0; p < 3; p++ ) {
			const PlaneDifference d = ComparePlane( pictures[k], references[k], p );
			const f64 share = d.samples == 0 ? 1.0 : static_cast<f64>( d.beyondTwo ) / static_cast<f64>( d.samples );
			if ( d.psnr < limits.minimumPsnr || d.maxDifference > limits.maximumDifference || share > limits.maximumShareBeyondTwo ) {
				std::ostringstream text;
				text << "picture " << k << " plane " << kPlaneNames[p] << ": PSNR " << d.psnr << " dB, max |d| " << d.maxDifference
					 << ", " << d.beyondTwo << " samples off by more than 2";
				if ( d.firstBadMbX >= 0 ) {
					text << ", first macroblock off by more than 8 at (" << d.firstBadMbX << ", " << d.firstBadMbY << ")";
				}
				return text.str();
			}
		}
	}
	return std::string();
}

class M4Conformance : public ::testing::Test {
protected:
	void SetUp() override { M4TestInstallHooks( true ); }
	void TearDown() override { M4TestHooksReset(); }
};

} // namespace

TEST_F( M4Conformance, EveryCorpusStreamMatchesFFmpegInDisplayOrder ) {
	for ( const Stream& stream : kStreams ) {
		SCOPED_TRACE( stream.name );
		ConformanceMovie movie;
		ASSERT_TRUE( LoadConformanceMovie( stream.name, &movie ) );
		const std::vector<PlanarPicture> references =
			LoadPlanarFile( ( MovieCorpusPath() / ( std::string( stream.name ) + ".yuv" ) ).string(), movie.width, movie.height );
		ASSERT_EQ( references.size(), movie.frames.size() );
		std::vector<PlanarPicture> outputs;
		ASSERT_TRUE( DecodeMovie( movie, VID_DECODER_FLAG_REORDER, &outputs ) );
		ASSERT_EQ( outputs.size(), movie.frames.size() );
		// The first picture shown is the black initial reference and the
		// last reference is never shown.
		const std::vector<PlanarPicture> shown( outputs.begin() + 1, outputs.end() );
		EXPECT_EQ( CheckPictures( shown, references, stream.limits ), "" );
	}
}
