/*
===============================================================================

	Disc paths of a sound bank's files. A bank is looked for in the level's
	folder for the game language, then, depending on the bank, in the
	audio environment's GLOBAL folder for the language, in its
	language-independent GEN folder, or in the level's GEN folder.

===============================================================================
*/
#ifndef GC_BANK_PATH_H
#define GC_BANK_PATH_H

#include "datatypes/base/DTTypes.h"

constexpr u32 GC_BANK_PATH_SIZE = 512;

enum GCBankFolder {
	GC_BANK_LEVEL,			// LEVEL\<level>\<language>\AUDIO
	GC_BANK_GLOBAL,			// GLOBAL\<folder><language>\AUDIO
	GC_BANK_GLOBAL_GEN,		// GLOBAL\<folder>GEN\AUDIO
	GC_BANK_LEVEL_GEN,		// LEVEL\<level>\GEN\AUDIO
};

// Writes the path of name.extension in folder into out (GC_BANK_PATH_SIZE
// bytes) with separator between its parts; false when it does not fit.
bool	GCBankPath( char * out, GCBankFolder folder, const char * name, const char * extension, char separator );

#endif
