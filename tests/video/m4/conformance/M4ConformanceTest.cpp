// Every committed movie decodes to FFmpeg's reference pictures within the
// limits of its row below.
#include "M4ConformanceCorpus.h"

#include "../M4TestHooks.h"
#include "support/TestScratchFolder.h"
#include "tools/movie/MovieCorpusPath.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
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
	{ "interlacedfield", kPredicted },
	{ "interlacedmotion", kPredicted },
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

TEST_F( M4Conformance, StreamsWithoutBFramesMatchFromTheFirstPictureWithoutReordering ) {
	u32 checked = 0;
	for ( const Stream& stream : kStreams ) {
		ConformanceMovie movie;
		ASSERT_TRUE( LoadConformanceMovie( stream.name, &movie ) ) << stream.name;
		if ( movie.types.find( 'B' ) != std::string::npos ) {
			continue;
		}
		SCOPED_TRACE( stream.name );
		const std::vector<PlanarPicture> references =
			LoadPlanarFile( ( MovieCorpusPath() / ( std::string( stream.name ) + ".yuv" ) ).string(), movie.width, movie.height );
		std::vector<PlanarPicture> direct;
		std::vector<PlanarPicture> reordered;
		ASSERT_TRUE( DecodeMovie( movie, 0, &direct ) );
		ASSERT_TRUE( DecodeMovie( movie, VID_DECODER_FLAG_REORDER, &reordered ) );
		ASSERT_EQ( direct.size(), references.size() );
		// Every picture the reordering decoder shows comes out one frame
		// earlier, identical.
		for ( size_t k = 0; k + 1 < direct.size(); k++ ) {
			for ( u32 p = 0; p < 3; p++ ) {
				EXPECT_EQ( direct[k].planes[p], reordered[k + 1].planes[p] ) << "picture " << k << " plane " << p;
			}
		}
		// The last picture, which only this decoder shows. On the
		// intra-only stream it is coded with quantiser 6, whose DC scaler
		// of 12 puts many samples on exact halves: the transform rounds
		// them up where the reference decoder's rounds them down, so that
		// picture lies at 55 dB, every sample within 1.
		const std::vector<PlanarPicture> last( direct.end() - 1, direct.end() );
		const std::vector<PlanarPicture> lastReference( references.end() - 1, references.end() );
		const bool halves = std::string( stream.name ) == "ionly";
		const Limits limits = halves ? Limits { 55.0, 1, 0.0 } : stream.limits;
		EXPECT_EQ( CheckPictures( last, lastReference, limits ), "" );
		checked++;
	}
	EXPECT_GE( checked, 4u );
}

TEST_F( M4Conformance, FrameTypesInDisplayOrderMatchTheProbeList ) {
	for ( const char* name : { "ionly", "ip", "bframes", "mv4", "mpegquant", "mpegmatrix", "interlacedtop", "interlacedbottom", "interlacedfield", "interlacedmotion", "motion", "oddsize", "gmc", "bench" } ) {
		ConformanceMovie movie;
		ASSERT_TRUE( LoadConformanceMovie( name, &movie ) ) << name;
		EXPECT_EQ( DisplayOrder( movie.types ), ProbeTypes( ( MovieCorpusPath() / ( std::string( name ) + ".probe.csv" ) ).string() ) ) << name;
	}
}

TEST_F( M4Conformance, DecodingAllocatesNothingAfterCreation ) {
	ConformanceMovie movie;
	ASSERT_TRUE( LoadConformanceMovie( "interlacedtop", &movie ) );
	const VIDDecoderSetup setup = M4TestDecoderSetup( static_cast<u16>( movie.width ), static_cast<u16>( movie.height ), VID_DECODER_FLAG_REORDER, true );
	M4Decoder* const decoder = VIDCreateDecoder( &setup );
	ASSERT_NE( decoder, nullptr );
	const u32 allocations = M4TestHooksState().allocations;
	const u32 fastUsed = M4TestHooksState().fastUsed;
	for ( const std::vector<u8>& frame : movie.frames ) {
		VIDImage* image = nullptr;
		VIDVideoDecode( decoder, frame.data(), static_cast<u32>( frame.size() ), &image );
	}
	EXPECT_EQ( M4TestHooksState().allocations, allocations );
	EXPECT_EQ( M4TestHooksState().fastUsed, fastUsed );
	EXPECT_EQ( M4TestHooksState().frees, 0u );
	VIDDestroyDecoder( decoder );
}

// Decodes a stream FFmpeg makes now (or the committed 640 x 448 one)
// against FFmpeg's own decode of it. Needs the ffmpeg program and the
// movie tools; without ffmpeg it is skipped, except under CI.
TEST_F( M4Conformance, FreshFFmpegStreamsMatchFFmpegsDecode ) {
	if ( !FFmpegAvailable() ) {
		if ( std::getenv( "CI" ) != nullptr ) {
			FAIL() << "ffmpeg is missing under CI";
		}
		GTEST_SKIP() << "ffmpeg is not on the path";
	}
	TestScratchFolder scratch;
	ASSERT_TRUE( scratch.Make( "m4conformance-" ) );
	const std::string dir = scratch.Path().string();
	struct Live {
		const char*		name;
		std::string		make;		// empty: the committed stream
		Limits			limits;
	};
	const Live streams[] = {
		{ "live", "ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc2=size=64x48:rate=30 -frames:v 9 -c:v mpeg4 -threads 1 -bf 2 -q:v 5 -f m4v " + dir + "/live.m4v", kPredicted },
		{ "liveinterlaced", "ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc2=size=80x64:rate=30 -frames:v 10 -vf scroll=horizontal=0.04:vertical=0.03 -c:v mpeg4 -threads 1 -flags +ildct+ilme -top 0 -bf 2 -q:v 3 -f m4v " + dir + "/liveinterlaced.m4v", kPredicted },
		{ "bench", "", kLarge },
	};
	for ( const Live& live : streams ) {
		SCOPED_TRACE( live.name );
		const std::string m4v = live.make.empty() ? ( MovieCorpusPath() / "bench.m4v" ).string() : dir + "/" + live.name + ".m4v";
		if ( !live.make.empty() ) {
			ASSERT_TRUE( RunCommand( live.make ) );
		}
		ASSERT_TRUE( RunCommand( "ffmpeg -nostdin -loglevel error -y -threads 1 -idct simple -i " + m4v + " -f rawvideo -pix_fmt yuv420p " + dir + "/" + live.name + ".yuv" ) );
		ConformanceMovie movie;
		ASSERT_TRUE( LoadRewrittenStream( m4v, &movie ) );
		const std::vector<PlanarPicture> references = LoadPlanarFile( dir + "/" + live.name + ".yuv", movie.width, movie.height );
		ASSERT_EQ( references.size(), movie.frames.size() );
		std::vector<PlanarPicture> outputs;
		ASSERT_TRUE( DecodeMovie( movie, VID_DECODER_FLAG_REORDER, &outputs ) );
		const std::vector<PlanarPicture> shown( outputs.begin() + 1, outputs.end() );
		EXPECT_EQ( CheckPictures( shown, references, live.limits ), "" );
	}
}
