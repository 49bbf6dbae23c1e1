// Every picture of every committed movie decodes to the same samples as
// when the checksum list was recorded: a faster kernel or loop that moves
// one sample anywhere fails here, with the stream and picture named.
//
// The list holds one line per picture: stream, mode (r with reordering,
// d without, for streams without B-frames), picture index in decode
// order, and the 64-bit FNV-1a hash of its visible Y, U and V planes.
// ENGINE_M4_WRITE_CHECKSUMS=path writes the current list there instead.
#include "M4ConformanceCorpus.h"

#include "../M4TestHooks.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

const char* const kChecksumStreams[] = {
	"bench", "bframes", "gmc", "interlacedbottom", "interlacedfield", "interlacedmotion", "interlacedtop", "ionly",
	"ip", "motion", "mpegmatrix", "mpegquant", "mv4", "oddsize",
};

u64 HashPicture( const PlanarPicture& picture ) {
	u64 hash = 14695981039346656037ull;
	for ( const std::vector<u8>& plane : picture.planes ) {
		for ( const u8 sample : plane ) {
			hash = ( hash ^ sample ) * 1099511628211ull;
		}
	}
	return hash;
}

std::string ChecksumListPath() {
	return std::string( ENGINE_TEST_DATA_DIR ) + "/movie/decoder-checksums.txt";
}

// "stream mode index" -> hash.
std::map<std::string, u64> ReadChecksums( const std::string& path ) {
	std::map<std::string, u64>	sums;
	std::ifstream				file( path );
	std::string					stream;
	std::string					mode;
	u32							index = 0;
	std::string					hash;
	while ( file >> stream >> mode >> index >> hash ) {
		sums[stream + " " + mode + " " + std::to_string( index )] = std::strtoull( hash.c_str(), nullptr, 16 );
	}
	return sums;
}

class M4DecodeChecksums : public ::testing::Test {
protected:
	void SetUp() override { M4TestInstallHooks( true ); }
	void TearDown() override { M4TestHooksReset(); }
};

} // namespace

TEST_F( M4DecodeChecksums, EveryPictureOfEveryCorpusStreamIsUnchanged ) {
	const char* const				writePath = std::getenv( "ENGINE_M4_WRITE_CHECKSUMS" );
	const std::map<std::string, u64> expected = ReadChecksums( ChecksumListPath() );
	std::ostringstream				written;
	u32								compared = 0;
	for ( const char* name : kChecksumStreams ) {
		ConformanceMovie movie;
		ASSERT_TRUE( LoadConformanceMovie( name, &movie ) ) << name;
		const bool hasB = movie.types.find( 'B' ) != std::string::npos;
		for ( const u32 flags : { static_cast<u32>( VID_DECODER_FLAG_REORDER ), 0u } ) {
			if ( flags == 0 && hasB ) {
				continue;
			}
			std::vector<PlanarPicture> outputs;
			ASSERT_TRUE( DecodeMovie( movie, flags, &outputs ) ) << name;
			const char* const mode = flags != 0 ? "r" : "d";
			for ( size_t k = 0; k < outputs.size(); k++ ) {
				const u64			hash = HashPicture( outputs[k] );
				const std::string	key = std::string( name ) + " " + mode + " " + std::to_string( k );
				char				text[24];
				std::snprintf( text, sizeof( text ), "%016" PRIx64, hash );
				written << key << " " << text << "\n";
				if ( writePath != nullptr ) {
					continue;
				}
				const auto found = expected.find( key );
				ASSERT_NE( found, expected.end() ) << "no recorded checksum for " << key;
				EXPECT_EQ( found->second, hash ) << key << " moved";
				compared++;
			}
		}
	}
	if ( writePath != nullptr ) {
		std::ofstream( writePath ) << written.str();
		GTEST_SKIP() << "checksums written to " << writePath;
	}
	EXPECT_EQ( compared, expected.size() );
}
