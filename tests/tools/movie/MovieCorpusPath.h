/*
===============================================================================

	Where the committed movie corpus lives.

	The build names the test data folder (ENGINE_TEST_DATA_DIR) as an
	absolute path, so the programs run from any working folder.

===============================================================================
*/
#ifndef MOVIE_CORPUS_PATH_H
#define MOVIE_CORPUS_PATH_H

#include <filesystem>

inline std::filesystem::path MovieCorpusPath() {
	return std::filesystem::path( ENGINE_TEST_DATA_DIR ) / "movie";
}

#endif
