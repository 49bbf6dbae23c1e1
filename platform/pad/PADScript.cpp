#include "platform/pad/PAD.h"
#include "platform/pad/PADHost.h"

#include "platform/pad/PADTimeline.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

// A reading line has the frame, the port, the buttons, six analog values
// and maybe the two analog buttons; a longer line is malformed anyway.
constexpr u32 SCRIPT_MAX_TOKENS		= 11;
constexpr u32 SCRIPT_TOKEN_MAX		= 64;
constexpr u32 SCRIPT_SHORT_READING	= 9;
constexpr u32 SCRIPT_FULL_READING	= 11;
constexpr u32 SCRIPT_TARGET_LINE	= 3;	// frame, port or RESET, one value

// Records of the four ports, then of the reset button.
constexpr s32 SCRIPT_RESET_TARGET	= PAD_MAX_CONTROLLERS;
constexpr s32 SCRIPT_TARGETS		= PAD_MAX_CONTROLLERS + 1;

// Scripts beyond this size are refused rather than read into memory.
constexpr s64 SCRIPT_FILE_MAX		= 64 * 1024 * 1024;

struct ButtonName {
	const char*	name;
	u16			bit;
};

const ButtonName buttonNames[] = {
	{ "A", PAD_BUTTON_A },			{ "B", PAD_BUTTON_B },
	{ "X", PAD_BUTTON_X },			{ "Y", PAD_BUTTON_Y },
	{ "Z", PAD_TRIGGER_Z },			{ "L", PAD_TRIGGER_L },
	{ "R", PAD_TRIGGER_R },			{ "START", PAD_BUTTON_START },
	{ "UP", PAD_BUTTON_UP },		{ "DOWN", PAD_BUTTON_DOWN },
	{ "LEFT", PAD_BUTTON_LEFT },	{ "RIGHT", PAD_BUTTON_RIGHT },
};

// One parsed line: the record and whose timeline it joins.
struct ScriptLine {
	s32			target;		// port, or SCRIPT_RESET_TARGET
	PADRecord	record;
};

// Lines parsed so far; added to the timelines only when the whole script
// is good.
struct ScriptLines {
	ScriptLine*	lines;
	u32			count;
	u32			capacity;
};

bool AppendLine( ScriptLines* list, const ScriptLine& line ) {
	if ( list->count == list->capacity ) {
		if ( list->capacity > 0x3FFFFFFFu ) {
			return false;
		}
		const u32 capacity = list->capacity != 0 ? list->capacity * 2 : 64;
		void* grown = std::realloc( list->lines, static_cast<size_t>( capacity ) * sizeof( ScriptLine ) );
		if ( grown == nullptr ) {
			return false;
		}
		list->lines = static_cast<ScriptLine*>( grown );
		list->capacity = capacity;
	}
	list->lines[list->count++] = line;
	return true;
}

// Parses a whole token as a decimal integer within [low, high].
bool ParseInteger( const char* token, const s64 low, const s64 high, s64* value ) {
	if ( token[0] == 0 ) {
		return false;
	}
	char* end = nullptr;
	errno = 0;
	const s64 parsed = std::strtoll( token, &end, 10 );
	if ( *end != 0 || errno != 0 || parsed < low || parsed > high ) {
		return false;
	}
	*value = parsed;
	return true;
}

bool ParseButtonName( const char* name, const size_t length, u16* bits ) {
	for ( const ButtonName& button : buttonNames ) {
		if ( std::strlen( button.name ) == length && strncasecmp( name, button.name, length ) == 0 ) {
			*bits |= button.bit;
			return true;
		}
	}
	return false;
}

// A number (decimal, or hex with 0x) or names joined by '+'.
bool ParseButtons( const char* token, u16* buttons ) {
	if ( token[0] >= '0' && token[0] <= '9' ) {
		char* end = nullptr;
		errno = 0;
		const u64 parsed = std::strtoull( token, &end, 0 );
		if ( *end != 0 || errno != 0 || ( parsed & ~static_cast<u64>( PAD_BUTTON_ALL ) ) != 0 ) {
			return false;
		}
		*buttons = static_cast<u16>( parsed );
		return true;
	}
	u16 bits = 0;
	const char* name = token;
	for ( ;; ) {
		const char* plus = std::strchr( name, '+' );
		const size_t length = plus != nullptr ? static_cast<size_t>( plus - name ) : std::strlen( name );
		if ( !ParseButtonName( name, length, &bits ) ) {
			return false;
		}
		if ( plus == nullptr ) {
			break;
		}
		name = plus + 1;
	}
	*buttons = bits;
	return true;
}

// Splits a line (comment already cut) into whitespace-separated tokens.
// Returns the token count, or SCRIPT_MAX_TOKENS + 1 when there are too
// many or one is too long.
u32 Tokenise( const char* line, const size_t length, char tokens[][SCRIPT_TOKEN_MAX] ) {
	u32 count = 0;
	size_t i = 0;
	for ( ;; ) {
		while ( i < length && ( line[i] == ' ' || line[i] == '\t' || line[i] == '\r' ) ) {
			++i;
		}
		if ( i == length ) {
			return count;
		}
		if ( count == SCRIPT_MAX_TOKENS ) {
			return SCRIPT_MAX_TOKENS + 1;
		}
		size_t tokenLength = 0;
		while ( i < length && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' ) {
			if ( tokenLength + 1 >= SCRIPT_TOKEN_MAX ) {
				return SCRIPT_MAX_TOKENS + 1;
			}
			tokens[count][tokenLength++] = line[i++];
		}
		tokens[count][tokenLength] = 0;
		++count;
	}
}

// Fills a reading from the button token and the analog tokens after it.
bool ParseReading( char tokens[][SCRIPT_TOKEN_MAX], const u32 count, PADStatus* status ) {
	if ( count != SCRIPT_SHORT_READING && count != SCRIPT_FULL_READING ) {
		return false;
	}
	s64 values[8] = {};
	const u32 valueCount = count - 3;
	for ( u32 i = 0; i < valueCount; ++i ) {
		// Four stick coordinates, then triggers and analog buttons.
		const bool stick = i < 4;
		if ( !ParseInteger( tokens[3 + i], stick ? -128 : 0, stick ? 127 : 255, &values[i] ) ) {
			return false;
		}
	}
	*status = PADStatus{};
	if ( !ParseButtons( tokens[2], &status->button ) ) {
		return false;
	}
	status->stickX			= static_cast<s8>( values[0] );
	status->stickY			= static_cast<s8>( values[1] );
	status->substickX		= static_cast<s8>( values[2] );
	status->substickY		= static_cast<s8>( values[3] );
	status->triggerLeft		= static_cast<u8>( values[4] );
	status->triggerRight	= static_cast<u8>( values[5] );
	status->analogA			= static_cast<u8>( values[6] );
	status->analogB			= static_cast<u8>( values[7] );
	status->err				= PAD_ERR_NONE;
	return true;
}

// Reads one non-empty line; false when it is malformed.
bool ParseLine( char tokens[][SCRIPT_TOKEN_MAX], const u32 count, ScriptLine* line ) {
	*line = ScriptLine{};
	s64 frame = 0;
	if ( count < SCRIPT_TARGET_LINE || !ParseInteger( tokens[0], 0, 0xFFFFFFFF, &frame ) ) {
		return false;
	}
	line->record.frame = static_cast<u32>( frame );
	if ( strcasecmp( tokens[1], "reset" ) == 0 ) {
		s64 pressed = 0;
		if ( count != SCRIPT_TARGET_LINE || !ParseInteger( tokens[2], 0, 1, &pressed ) ) {
			return false;
		}
		line->target = SCRIPT_RESET_TARGET;
		line->record.pressed = pressed == 1;
		return true;
	}
	s64 chan = 0;
	if ( !ParseInteger( tokens[1], 0, PAD_MAX_CONTROLLERS - 1, &chan ) ) {
		return false;
	}
	line->target = static_cast<s32>( chan );
	if ( strcasecmp( tokens[2], "none" ) == 0 ) {
		line->record.status.err = PAD_ERR_NO_CONTROLLER;
		return count == SCRIPT_TARGET_LINE;
	}
	return ParseReading( tokens, count, &line->record.status );
}

// The last frame each target was given in a script; its frames must rise,
// so that a script reads in the order it plays.
struct ScriptOrder {
	bool	seen[SCRIPT_TARGETS];
	u32		lastFrame[SCRIPT_TARGETS];
};

bool FollowsPreviousFrame( ScriptOrder* order, const ScriptLine& line ) {
	const s32 target = line.target;
	if ( order->seen[target] && line.record.frame <= order->lastFrame[target] ) {
		return false;
	}
	order->seen[target] = true;
	order->lastFrame[target] = line.record.frame;
	return true;
}

// Adds every parsed record to its timeline; room is made first so the
// script goes in whole or not at all.
bool Commit( const ScriptLines& list ) {
	u32 perTarget[SCRIPT_TARGETS] = {};
	for ( u32 i = 0; i < list.count; ++i ) {
		++perTarget[list.lines[i].target];
	}
	PADTimeline* timelines[SCRIPT_TARGETS];
	for ( s32 target = 0; target < SCRIPT_TARGETS; ++target ) {
		timelines[target] = target == SCRIPT_RESET_TARGET ? PADTimelineOfResetButton() : PADTimelineOfPort( target );
		if ( !PADTimelineReserve( timelines[target], perTarget[target] ) ) {
			return false;
		}
	}
	for ( u32 i = 0; i < list.count; ++i ) {
		PADTimelineSet( timelines[list.lines[i].target], list.lines[i].record );
	}
	return true;
}

}

bool PADHostParseScript( const char* text ) {
	if ( text == nullptr ) {
		return false;
	}
	ScriptLines list = {};
	ScriptOrder order = {};
	bool good = true;
	u32 lineNumber = 0;
	const char* line = text;
	while ( good && *line != 0 ) {
		++lineNumber;
		const char* lineEnd = std::strchr( line, '\n' );
		const size_t fullLength = lineEnd != nullptr ? static_cast<size_t>( lineEnd - line ) : std::strlen( line );
		const char* comment = static_cast<const char*>( std::memchr( line, '#', fullLength ) );
		const size_t length = comment != nullptr ? static_cast<size_t>( comment - line ) : fullLength;

		char tokens[SCRIPT_MAX_TOKENS][SCRIPT_TOKEN_MAX];
		const u32 count = Tokenise( line, length, tokens );
		if ( count != 0 ) {
			ScriptLine parsed;
			if ( count > SCRIPT_MAX_TOKENS || !ParseLine( tokens, count, &parsed ) ) {
				OSReport( "PAD script: line %u is not a controller record\n", lineNumber );
				good = false;
			} else if ( !FollowsPreviousFrame( &order, parsed ) ) {
				OSReport( "PAD script: line %u does not come after the frame of the record before it\n", lineNumber );
				good = false;
			} else if ( !AppendLine( &list, parsed ) ) {
				OSReport( "PAD script: out of memory at line %u\n", lineNumber );
				good = false;
			}
		}
		line += fullLength;
		if ( *line == '\n' ) {
			++line;
		}
	}
	if ( good && !Commit( list ) ) {
		good = false;
	}
	std::free( list.lines );
	return good;
}
bool PADHostLoadScript( const char* path ) {
	if ( path == nullptr ) {
		return false;
	}
	FILE* file = std::fopen( path, "rb" );
	if ( file == nullptr ) {
		OSReport( "PAD script: cannot open %s\n", path );
		return false;
	}
	s64 size = -1;
	if ( std::fseek( file, 0, SEEK_END ) == 0 ) {
		size = std::ftell( file );
	}
	if ( size < 0 || size > SCRIPT_FILE_MAX || std::fseek( file, 0, SEEK_SET ) != 0 ) {
		OSReport( "PAD script: cannot read %s\n", path );
		std::fclose( file );
		return false;
	}
	char* text = static_cast<char*>( std::malloc( static_cast<size_t>( size ) + 1 ) );
	if ( text == nullptr ) {
		std::fclose( file );
		return false;
	}
	const size_t read = std::fread( text, 1, static_cast<size_t>( size ), file );
	// A folder opens on some systems and fails only when read.
	const bool readFailed = std::ferror( file ) != 0 || read != static_cast<size_t>( size );
	std::fclose( file );
	text[read] = 0;
	// A NUL inside the file would silently end the script early.
	const bool good = !readFailed && std::memchr( text, 0, read ) == nullptr && PADHostParseScript( text );
	if ( !good ) {
		OSReport( "PAD script: %s not loaded\n", path );
	}
	std::free( text );
	return good;
}
