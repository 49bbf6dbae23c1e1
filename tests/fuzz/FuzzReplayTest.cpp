#include "FuzzTarget.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<std::string> TargetNames() {
	std::vector<std::string> names;
	for ( const FuzzTargetInfo* info = FuzzTargets(); info != nullptr; info = info->next ) {
		names.push_back( info->name );
	}
	std::sort( names.begin(), names.end() );
	return names;
}

// The committed inputs of a target: every file of its regression folder.
std::vector<FuzzSeed> RegressionInputs( const std::string& name ) {
	std::vector<FuzzSeed> inputs;
	const std::filesystem::path folder = std::filesystem::path( ENGINE_TEST_DATA_DIR ) / "fuzz" / name;
	std::error_code error;
	for ( const auto& entry : std::filesystem::directory_iterator( folder, error ) ) {
		if ( !entry.is_regular_file() ) {
			continue;
		}
		std::ifstream in( entry.path(), std::ios::binary );
		inputs.push_back( { entry.path().filename().string(),
							std::vector<u8>( std::istreambuf_iterator<char>( in ), std::istreambuf_iterator<char>() ) } );
	}
	return inputs;
}

class FuzzReplayTest : public ::testing::TestWithParam<std::string> {};

// Every seed and every input that once broke the loader goes through the
// target again: each must come back, with nothing left behind.
TEST_P( FuzzReplayTest, ReplaysTheSeedsAndTheRegressionInputs ) {
	const FuzzTargetInfo* const target = FuzzFindTarget( GetParam().c_str() );
	ASSERT_NE( target, nullptr );
	std::vector<FuzzSeed> inputs;
	target->seeds( inputs );
	EXPECT_FALSE( inputs.empty() ) << "a target needs seeds";
	const std::vector<FuzzSeed> regressions = RegressionInputs( GetParam() );
	inputs.insert( inputs.end(), regressions.begin(), regressions.end() );
	for ( const FuzzSeed& input : inputs ) {
		SCOPED_TRACE( input.name );
		target->entry( input.bytes.data(), input.bytes.size() );
	}
}

INSTANTIATE_TEST_SUITE_P( Targets, FuzzReplayTest, ::testing::ValuesIn( TargetNames() ),
						  []( const ::testing::TestParamInfo<std::string>& info ) { return info.param; } );

} // namespace
