/*
===============================================================================

	Where the committed movie corpus lives.

	Found from this file's own path, so the test programs need no build
	setting and run from any working folder.

===============================================================================
*/
#ifndef MOVIE_CORPUS_PATH_H
#define MOVIE_CORPUS_PATH_H

#include <filesystem>

// tests/data/movie, from tests/tools/movie/MovieCorpusPath.h.
inline std::filesystem::path MovieCorpusPath() {
	return std::filesystem::path( __FILE__ ).parent_path().parent_path().parent_path() / "data" / "movie";
}

#endif
