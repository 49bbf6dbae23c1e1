/*
===============================================================================

	Command string parser.

	The command string is a list of "/x-value" options. For the option at
	a '/', D is the first '-' after it and N the first '/' after it. Without
	D, or when D lies beyond N, the option has no value. Otherwise the value
	runs from D+1 up to the character before N, which is dropped (normally
	the blank that separates options), or to the end of the string when
	there is no N. Values are cut at EF_COMMAND_VALUE_MAX characters and
	every copy into the context is cut to its field, with a debug print.

	Letters 'a' to 'w' are options; c, d, l, p, v and w have an effect.

===============================================================================
*/
#ifndef EF_COMMAND_LINE_H
#define EF_COMMAND_LINE_H

#include "datatypes/base/DTTypes.h"
#include "framework/core/engine/EFAppContext.h"

// Room of one option's value, terminator included.
constexpr u32 EF_COMMAND_VALUE_SIZE = 256;
constexpr u32 EF_COMMAND_VALUE_MAX  = EF_COMMAND_VALUE_SIZE - 1;

class EFCommandLine {
public:
					EFCommandLine( const char* command, EFAppContext& context );

	// Applies one option; value may be null.
	static void		ParseParam( char option, const char* value, EFAppContext& context );
};

// Copies text into a field of size bytes, cutting it with a debug print
// when it does not fit. A null text copies nothing.
void	EFCopyBounded( char* to, u32 size, const char* text, const char* what );

#endif
