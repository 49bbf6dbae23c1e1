/*
	Test support: where the committed ADPCM fixtures live, found from this
	file's own path so no build setting is needed.
*/
#ifndef ADPCM_FIXTURE_PATH_H
#define ADPCM_FIXTURE_PATH_H

#include <filesystem>

inline std::filesystem::path AdpcmFixtureFolder() {
	return std::filesystem::path( __FILE__ ).parent_path().parent_path().parent_path() / "data" / "adpcm";
}

#endif
