/*
===============================================================================

	Text hooks of the persist-stream tests and fuzz targets.

	The hooks stand in for the C library's fscanf and fprintf over a disc
	file. The scan hook reads through DTFread on the stream's own handle
	and gives back the character that ends a number or a word by stepping
	the handle's offset back, as fscanf pushes it back, so that the hooks
	and the stream's raw reads share one position. The print hook records
	what it was asked to print.

===============================================================================
*/
#ifndef PERSIST_TEXT_HOOKS_H
#define PERSIST_TEXT_HOOKS_H

#include "datatypes/file/DTFile.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// What the text hooks saw, and what the print hook answers.
struct PersistHookLog {
	u32							scanCalls = 0;
	std::vector<std::string>	scanFormats;
	std::vector<std::string>	printed;		// one entry per print call
	std::vector<std::string>	printFormats;
	bool						printFails = false;
};

inline PersistHookLog& PersistHooks() {
	static PersistHookLog log;
	return log;
}

// One character of the file, or false at its end.
inline bool PersistReadChar( DTFileHandle_* file, char& c ) {
	return DTFread( &c, 1, 1, file ) == 1;
}

// Gives the last character read back to the file.
inline void PersistUnreadChar( DTFileHandle_* file ) {
	file->offset -= 1;
}

inline bool PersistIsSpace( const char c ) {
	return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Skips white space; false at the end of the file.
inline bool PersistSkipSpace( DTFileHandle_* file ) {
	char c = 0;
	do {
		if ( !PersistReadChar( file, c ) ) {
			return false;
		}
	} while ( PersistIsSpace( c ) );
	PersistUnreadChar( file );
	return true;
}

inline s32 PersistScanHook( DTFileHandle_* file, const char* format, ... ) {
	PersistHookLog& log = PersistHooks();
	log.scanCalls++;
	log.scanFormats.push_back( format );
	va_list args;
	va_start( args, format );
	s32 result = -1;
	const size_t length = std::strlen( format );
	if ( std::strcmp( format, "%c" ) == 0 ) {
		char c = 0;
		if ( PersistReadChar( file, c ) ) {
			*va_arg( args, char* ) = c;
			result = 1;
		}
	} else if ( format[length - 1] == 's' ) {
		// "%<width>s": a word of at most width characters.
		const int width = std::atoi( format + 1 );
		char* out = va_arg( args, char* );
		if ( PersistSkipSpace( file ) ) {
			int stored = 0;
			char c = 0;
			while ( stored < width && PersistReadChar( file, c ) ) {
				if ( PersistIsSpace( c ) ) {
					PersistUnreadChar( file );
					break;
				}
				out[stored++] = c;
			}
			out[stored] = '\0';
			result = 1;
		}
	} else if ( PersistSkipSpace( file ) ) {
		// A number: the characters that can belong to one, then the C
		// library's own conversion.
		std::string token;
		char c = 0;
		while ( PersistReadChar( file, c ) ) {
			if ( std::strchr( "+-0123456789.eEinfaINFA", c ) == nullptr ) {
				PersistUnreadChar( file );
				break;
			}
			token.push_back( c );
		}
		result = std::vsscanf( token.c_str(), format, args );
		if ( result < 0 ) {
			result = 0;
		}
	}
	va_end( args );
	return result;
}

inline s32 PersistPrintHook( DTFileHandle_*, const char* format, ... ) {
	PersistHookLog& log = PersistHooks();
	char text[256];
	va_list args;
	va_start( args, format );
	const int written = std::vsnprintf( text, sizeof( text ), format, args );
	va_end( args );
	log.printFormats.push_back( format );
	log.printed.push_back( text );
	return log.printFails ? -1 : written;
}

#endif
