/*
===============================================================================

	ENGINE.INI writer.

	Collects KEY = VALUE pairs and renders them one per line in the order
	they were first set. The engine reads keys and values as single tokens
	of letters, digits and - . \ / _ (at most 255 characters) and ignores
	case, so a key or value that would not come back whole as one token is
	refused, and setting a key again, in any case, replaces its value.

===============================================================================
*/
#ifndef TOOL_INI_WRITER_H
#define TOOL_INI_WRITER_H

#include "datatypes/base/DTTypes.h"

#include <string>
#include <string_view>
#include <vector>

// Longest key or value the engine's reader keeps whole.
constexpr size_t TOOL_INI_TOKEN_MAX = 255;

class ToolIniWriter {
public:
	// True when text survives the engine's reader as one token.
	static bool				IsToken( std::string_view text );

	// Sets a key; false, and nothing changes, when key or value is no token.
	bool					Set( std::string_view key, std::string_view value );
	bool					SetInteger( std::string_view key, s32 value );

	// The file's text: "Key = Value" lines ending in a line feed.
	std::string				Text() const;

private:
	struct Entry {
		std::string			key;
		std::string			value;
	};

	std::vector<Entry>		entries;
};

#endif
