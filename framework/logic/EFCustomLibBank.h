/*
===============================================================================

	Bank of the named blocks that library modules publish.

	A library module's register entry asks for a block under a name; other
	modules fetch it by that name through the root function table. The bank
	is one process-wide list, newest first. Names are compared over at most
	EF_CUSTOM_LIB_NAME_CHARS characters and need not be terminated within
	them; a name may be registered more than once, and the most recent
	registration answers. Blocks are not cleared.

	The engine controller empties the bank at every level change and at
	exit.

===============================================================================
*/
#ifndef EF_CUSTOM_LIB_BANK_H
#define EF_CUSTOM_LIB_BANK_H

#include "datatypes/containers/DTSimpleLinkList.h"
#include "datatypes/base/DTTypes.h"

// Characters of a library name that count.
constexpr u32 EF_CUSTOM_LIB_NAME_CHARS = 32;

// One registered block.
struct _stCustomLib {
	_stCustomLib *			mpNext;
	// Not necessarily terminated.
	char					mszName[EF_CUSTOM_LIB_NAME_CHARS];
	void *					mpBlock;
	// The block's size in 32-bit words.
	u32						muiSizeInWords;
};

class EFCustomLibBank {
public:
	// Empties the bank.
							~EFCustomLibBank();

	// A new block of size bytes under name, pushed first; null when no
	// memory is left.
	static void *			RegisterLib( const char * name, u32 size );
	// Frees the most recent block of name; an unknown name does nothing.
	static void				UnRegisterLib( const char * name );
	// The most recent block of name, or null.
	static void *			GetLib( const char * name );
	// Frees every block and node.
	static void				Destroy();

	static DTSimpleLinkList<_stCustomLib>	mBank;
};

#endif
