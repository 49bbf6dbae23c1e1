/*
	Test support: where the committed ADPCM fixtures live. The build names
	the test data folder (ENGINE_TEST_DATA_DIR) as an absolute path.
*/
#ifndef ADPCM_FIXTURE_PATH_H
#define ADPCM_FIXTURE_PATH_H

#include <filesystem>

inline std::filesystem::path AdpcmFixtureFolder() {
	return std::filesystem::path( ENGINE_TEST_DATA_DIR ) / "adpcm";
}

#endif
