/*
===============================================================================

	One KEY = VALUE pair of ENGINE.INI.

	The value is pre-parsed once, when the node is made, as a boolean, an
	integer and a float, so that the typed look-ups only copy a field. Key
	and value are single tokens of at most INI_TOKEN_MAX characters; longer
	tokens are cut there. Both fields are always terminated.

===============================================================================
*/
#ifndef INI_LIST_NODE_H
#define INI_LIST_NODE_H

#include "datatypes/base/DTTypes.h"

// Room of a key or value field, terminator included.
constexpr u32 INI_TOKEN_BUFFER = 256;
constexpr u32 INI_TOKEN_MAX    = INI_TOKEN_BUFFER - 1;

// The pre-parsed boolean of a value that is no boolean.
constexpr s32 INI_NOT_A_BOOLEAN = -1;

class IniListNode {
public:
	// Copies the key token at key and the value token at value; neither
	// scan passes end (the end of the file buffer).
						IniListNode( const char* key, const char* value, const char* end );

	char				mszKey[INI_TOKEN_BUFFER];
	// 1, 0, or INI_NOT_A_BOOLEAN.
	s32					mi32Bool;
	f32					mfFloat;
	s32					mi32Integer;
	char				mszValue[INI_TOKEN_BUFFER];
	IniListNode*		mpNext;
};

#endif
