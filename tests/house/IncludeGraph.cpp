#include "house/IncludeGraph.h"

#include <algorithm>
#include <fstream>
#include <regex>

namespace {

struct Edge {
	const char*	from;
	const char*	allowed[6];
};

// Each body with the bodies it may include besides itself.
const Edge EDGES[] = {
	{ "platform",       { nullptr } },
	{ "datatypes/base", { "platform", nullptr } },
	{ "graphics3d",     { "datatypes/base", "platform", nullptr } },
	{ "datatypes",      { "datatypes/base", "graphics3d", "platform", nullptr } },
	{ "video",          { "datatypes", "datatypes/base", "platform", nullptr } },
	{ "framework",      { "video", "datatypes", "datatypes/base", "graphics3d", "platform", nullptr } },
};

bool StartsWith( const std::string& text, const std::string& prefix ) {
	return text.compare( 0, prefix.size(), prefix ) == 0;
}

bool EndsWith( const std::string& text, const std::string& suffix ) {
	return text.size() >= suffix.size() && text.compare( text.size() - suffix.size(), suffix.size(), suffix ) == 0;
}

}

std::string BodyOfPath( const std::string& path ) {
	if ( StartsWith( path, "datatypes/base/" ) ) {
		return "datatypes/base";
	}
	for ( const char* body : { "platform/", "datatypes/", "graphics3d/", "video/", "framework/", "Engine/" } ) {
		if ( StartsWith( path, body ) ) {
			return std::string( body, std::char_traits<char>::length( body ) - 1 );
		}
	}
	return "";
}

bool BodyMayInclude( const std::string& from, const std::string& to ) {
	if ( from == to || from == "Engine" ) {
		return true;
	}
	for ( const Edge& edge : EDGES ) {
		if ( from != edge.from ) {
			continue;
		}
		for ( const char* const* allowed = edge.allowed; *allowed != nullptr; ++allowed ) {
			if ( to == *allowed ) {
				return true;
			}
		}
		return false;
	}
	return false;
}

std::vector<IncludeViolation> CheckIncludeGraph( const std::filesystem::path& root ) {
	static const std::regex includeLine( R"(^\s*#\s*include\s*"([^"]+)\")" );
	std::vector<IncludeViolation> violations;
	std::vector<std::filesystem::path> files;
	for ( const char* body : { "platform", "datatypes", "graphics3d", "video", "framework", "Engine" } ) {
		if ( !std::filesystem::is_directory( root / body ) ) {
			continue;
		}
		for ( const auto& entry : std::filesystem::recursive_directory_iterator( root / body ) ) {
			files.push_back( entry.path() );
		}
	}
	std::sort( files.begin(), files.end() );
	for ( const std::filesystem::path& path : files ) {
		const std::filesystem::directory_entry entry( path );
		if ( !entry.is_regular_file() ) {
			continue;
		}
		const std::string ext = entry.path().extension().string();
		if ( ext != ".h" && ext != ".cpp" && ext != ".c" ) {
			continue;
		}
		const std::string file = std::filesystem::relative( entry.path(), root ).generic_string();
		const std::string from = BodyOfPath( file );
		if ( from.empty() ) {
			continue;
		}
		const std::string folder = std::filesystem::path( file ).parent_path().generic_string();
		std::ifstream in( entry.path() );
		std::string text;
		int line = 0;
		while ( std::getline( in, text ) ) {
			++line;
			std::smatch match;
			if ( !std::regex_search( text, match, includeLine ) ) {
				continue;
			}
			const std::string included = match[1];
			const std::string to = BodyOfPath( included );
			if ( !to.empty() && !BodyMayInclude( from, to ) ) {
				violations.push_back( { file, line, included, from + " may not include " + to } );
			}
			const bool engineCode = from != "platform" && from != "Engine";
			const std::string includedFolder = std::filesystem::path( included ).parent_path().generic_string();
			if ( engineCode && EndsWith( included, "Host.h" ) && includedFolder != folder ) {
				violations.push_back( { file, line, included, "engine code includes a host-only header" } );
			}
		}
	}
	return violations;
}
