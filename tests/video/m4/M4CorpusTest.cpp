#include "video/m4/M4Bitstream.h"
#include "video/m4/M4BitstreamParser.h"
#include "video/m4/M4BlockDecoder.h"
#include "video/m4/M4Decoder.h"
#include "video/m4/VIDDecoder.h"

#include "M4TestHooks.h"
#include "M4TestMovieFrames.h"
#include "tools/movie/MovieCorpusPath.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char* const kMovies[] = {
	"bench", "bframes", "gmc", "interlacedbottom", "interlacedfield", "interlacedmotion", "interlacedtop", "ionly",
	"ip", "motion", "mpegmatrix", "mpegquant", "mv4", "oddsize",
};

struct Movie {
	u32								width = 0;
	u32								height = 0;
	std::vector<std::vector<u8>>	frames;		// VIDD payloads, each in a block of its exact size
};

struct ListedFrame {
	char	type;
	u32		forwardFCode;
	u32		backwardFCode;
	u32		time;
};

std::vector<u8> ReadFile( const std::string& name ) {
	std::ifstream file( MovieCorpusPath() / name, std::ios::binary );
	return std::vector<u8>( std::istreambuf_iterator<char>( file ), std::istreambuf_iterator<char>() );
}

// The movie's picture size and its frames' compressed pictures, in file
// order.
bool LoadMovie( const std::string& name, Movie* movie ) {
	return M4TestReadMovieFrames( ReadFile( name + ".vid" ), &movie->width, &movie->height, &movie->frames ) && !movie->frames.empty();
}

std::vector<ListedFrame> LoadFrameList( const std::string& name ) {
	std::ifstream			file( MovieCorpusPath() / ( name + ".frames.txt" ) );
	std::string				line;
	std::vector<ListedFrame>	frames;
	std::getline( file, line );
	while ( std::getline( file, line ) ) {
		std::istringstream	fields( line );
		ListedFrame			frame{};
		if ( fields >> frame.type >> frame.forwardFCode >> frame.backwardFCode >> frame.time ) {
			frames.push_back( frame );
		}
	}
	return frames;
}

u32 TypeOfLetter( const char letter ) {
	switch ( letter ) {
	case 'I': return M4_FRAME_I;
	case 'P': return M4_FRAME_P;
	case 'B': return M4_FRAME_B;
	default: return M4_FRAME_SPRITE;
	}
}

struct Walk {
	bool		ok = true;
	std::string	problem;
};

// Reads every macroblock of an I-frame whose header the parser has just
// read, then checks that only the stuffing (a 0, then 1s) and zero padding
// remain.
Walk WalkIFrame( M4BitstreamParser& parser, const u32 mbCount, const u32 frameBits ) {
	M4Bitstream* const	bs = parser.mBitstream;
	u32					quantiser = parser.mQuantiser;
	s16					block[64];
	Walk				walk;
	for ( u32 mb = 0; mb < mbCount; mb++ ) {
		const u32 mcbpc = parser.getCbpCIntra();
		const u32 type = mcbpc & M4_MCBPC_TYPE_MASK;
		if ( mcbpc == M4_VLC_INVALID || ( type != 3 && type != 4 ) ) {
			walk.ok = false;
			walk.problem = "bad macroblock type at macroblock " + std::to_string( mb );
			return walk;
		}
		const u32 acPrediction = M4BitstreamGet( bs, 1 );
		const u32 scanIndex = acPrediction != 0 ? M4_SCAN_ALTERNATE_HORIZONTAL : M4_SCAN_ZIGZAG;
		const u32 cbp = ( parser.getCbpy( true ) << 2 ) | ( mcbpc >> M4_MCBPC_CBPC_SHIFT );
		if ( type == 4 ) {
			const s32 q = static_cast<s32>( quantiser ) + M4Decoder::mDequantTable[M4BitstreamGet( bs, 2 )];
			quantiser = static_cast<u32>( q < 1 ? 1 : ( q > 31 ? 31 : q ) );
		}
		if ( parser.mInterlaced != 0 ) {
			M4BitstreamSkip( bs, 1 );
		}
		for ( u32 b = 0; b < 6; b++ ) {
			u32 first = 0;
			if ( quantiser < parser.mIntraDCThreshold ) {
				const u32 size = parser.getDCSize( b < 4 );
				parser.getDCDiff( size );
				if ( size > 8 ) {
					M4BitstreamSkip( bs, 1 );
				}
				first = 1;
			}
			if ( ( cbp & ( 32u >> b ) ) != 0 ) {
				M4DecodeIntraBlock( bs, block, first, parser.mVlc.intraTables(), parser.mScan[scanIndex] );
			}
		}
		if ( M4BitstreamPosition( bs ) > frameBits ) {
			walk.ok = false;
			walk.problem = "ran past the frame at macroblock " + std::to_string( mb );
			return walk;
		}
	}
	if ( M4BitstreamGet( bs, 1 ) != 0 ) {
		walk.ok = false;
		walk.problem = "no stuffing 0 after the last macroblock";
		return walk;
	}
	u32 ones = 0;
	while ( ones < 8 && M4BitstreamShow( bs, 1 ) == 1 ) {
		M4BitstreamSkip( bs, 1 );
		ones++;
	}
	while ( M4BitstreamPosition( bs ) < frameBits ) {
		if ( M4BitstreamGet( bs, 1 ) != 0 ) {
			walk.ok = false;
			walk.problem = "bits left after the stuffing at bit " + std::to_string( M4BitstreamPosition( bs ) );
			return walk;
		}
	}
	if ( ones > 7 ) {
		walk.ok = false;
		walk.problem = "more than seven stuffing 1s";
	}
	return walk;
}

class M4Corpus : public ::testing::Test {
protected:
	void SetUp() override { M4TestInstallHooks( true ); }
	void TearDown() override { M4TestHooksReset(); }
};

} // namespace

TEST_F( M4Corpus, ParsesTheListedTypeAndFCodesOfEveryFrameInFileOrder ) {
	for ( const char* name : kMovies ) {
		Movie movie;
		ASSERT_TRUE( LoadMovie( name, &movie ) ) << name;
		const std::vector<ListedFrame> listed = LoadFrameList( name );
		ASSERT_EQ( listed.size(), movie.frames.size() ) << name;
		M4Bitstream			bs;
		M4BitstreamParser	parser;
		ASSERT_TRUE( parser.init( &bs, movie.width, movie.height ) );
		for ( size_t k = 0; k < listed.size(); k++ ) {
			const std::vector<u8>& frame = movie.frames[k];
			const u32 expected = TypeOfLetter( listed[k].type );
			EXPECT_EQ( VIDGetFrameType( frame.data(), static_cast<u32>( frame.size() ) ), expected ) << name << " frame " << k;
			M4BitstreamInit( &bs, frame.data(), static_cast<u32>( frame.size() ) );
			ASSERT_EQ( parser.parseHeader(), expected ) << name << " frame " << k;
			if ( expected != M4_FRAME_I ) {
				EXPECT_EQ( parser.mForwardFCode, listed[k].forwardFCode ) << name << " frame " << k;
			}
			if ( expected == M4_FRAME_B ) {
				EXPECT_EQ( parser.mBackwardFCode, listed[k].backwardFCode ) << name << " frame " << k;
				EXPECT_EQ( parser.mBTime, listed[k].time ) << name << " frame " << k;
			} else {
				EXPECT_EQ( parser.mReferenceTime, listed[k].time ) << name << " frame " << k;
			}
		}
		parser.destroy();
	}
}

TEST_F( M4Corpus, EveryIFrameDecodesToItsStuffing ) {
	u32 walked = 0;
	for ( const char* name : kMovies ) {
		Movie movie;
		ASSERT_TRUE( LoadMovie( name, &movie ) ) << name;
		M4Bitstream			bs;
		M4BitstreamParser	parser;
		ASSERT_TRUE( parser.init( &bs, movie.width, movie.height ) );
		const u32 mbCount = ( ( movie.width + 15 ) / 16 ) * ( ( movie.height + 15 ) / 16 );
		for ( size_t k = 0; k < movie.frames.size(); k++ ) {
			const std::vector<u8>& frame = movie.frames[k];
			M4BitstreamInit( &bs, frame.data(), static_cast<u32>( frame.size() ) );
			if ( parser.parseHeader() != M4_FRAME_I ) {
				continue;
			}
			const Walk walk = WalkIFrame( parser, mbCount, static_cast<u32>( frame.size() * 8 ) );
			EXPECT_TRUE( walk.ok ) << name << " frame " << k << ": " << walk.problem;
			walked++;
		}
		parser.destroy();
	}
	EXPECT_GT( walked, 12u );
}

TEST_F( M4Corpus, FramesCutShortDecodeWithoutReadingPastTheirEnd ) {
	Movie movie;
	ASSERT_TRUE( LoadMovie( "ip", &movie ) );
	VIDDecoderSetup setup = M4TestDecoderSetup( static_cast<u16>( movie.width ), static_cast<u16>( movie.height ), 1, true );
	M4Decoder* const decoder = VIDCreateDecoder( &setup );
	ASSERT_NE( decoder, nullptr );
	const std::vector<u8>& whole = movie.frames[0];
	const u32 mbCount = ( ( movie.width + 15 ) / 16 ) * ( ( movie.height + 15 ) / 16 );
	for ( const size_t cut : { size_t( 0 ), size_t( 1 ), size_t( 3 ), size_t( 9 ), whole.size() / 3, whole.size() / 2, whole.size() - 1 } ) {
		// Each cut lives in a heap block of exactly its size.
		const std::vector<u8> frame( whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>( cut ) );
		VIDImage* image = nullptr;
		EXPECT_EQ( VIDVideoDecode( decoder, frame.data(), static_cast<u32>( frame.size() ), &image ), 1 );
		EXPECT_NE( image, nullptr );
		M4Bitstream bs;
		M4BitstreamInit( &bs, frame.data(), static_cast<u32>( frame.size() ) );
		decoder->mParser.mBitstream = &bs;
		if ( decoder->mParser.parseHeader() == M4_FRAME_I ) {
			WalkIFrame( decoder->mParser, mbCount, static_cast<u32>( frame.size() * 8 ) + 64 * 1024 );
		}
		decoder->mParser.mBitstream = &decoder->mBitstream;
	}
	VIDDestroyDecoder( decoder );
}
