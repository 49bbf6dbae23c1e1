/*
	Test support: the one-way graph of the bodies of code, as #include lines.

	Every body may include its own headers and those of the bodies below
	it; an include that runs against the graph, or engine code that
	includes a host-only header (a name ending in Host.h) from another
	folder, is a violation. Tests, tools and benchmarks are not checked.
*/
#ifndef INCLUDE_GRAPH_H
#define INCLUDE_GRAPH_H

#include <filesystem>
#include <string>
#include <vector>

struct IncludeViolation {
	std::string		file;		// relative to the root
	int				line;
	std::string		included;
	std::string		reason;
};

// The body a repository path belongs to ("platform", "datatypes/base",
// "datatypes", "graphics3d", "video", "framework", "Engine"), or "" for
// paths the graph does not cover.
std::string BodyOfPath( const std::string& path );

// True when code of body `from` may include a header of body `to`.
bool BodyMayInclude( const std::string& from, const std::string& to );

// Scans every .h, .cpp and .c file of the bodies under root.
std::vector<IncludeViolation> CheckIncludeGraph( const std::filesystem::path& root );

#endif
