// The movie tools' test walker, built into this program as well: it reads
// back what the muxer wrote, independently of the reader under test.
#include "tools/movie/VidWalker.cpp"
