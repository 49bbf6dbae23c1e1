/*
===============================================================================

	Start-up language.

	The language the engine starts in, as a two-letter code ("FR", "EN" ...).
	It picks the folder of the localised texts and the language of the disc
	messages. This build is fixed to French.

===============================================================================
*/
#ifndef EI_STARTUP_LANGUAGE_H
#define EI_STARTUP_LANGUAGE_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/file/DTDiscMessage.h"

// Room a caller gives GetEngineStartupLanguage, terminator included.
constexpr u32 EI_LANGUAGE_CODE_MAX = DT_LANGUAGE_CODE_MAX;

// Copies the start-up language code into out (EI_LANGUAGE_CODE_MAX bytes).
void GetEngineStartupLanguage( char* out );

#endif
