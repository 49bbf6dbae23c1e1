/*
===============================================================================

	Start-up context.

	Filled by the start-up code from ENGINE.INI, the arguments and the
	command string, then handed to the engine controller. It lives for the
	whole run: the controller copies its strings, the graphics manager keeps
	a reference to it. Every string field is kept terminated.

===============================================================================
*/
#ifndef EF_APP_CONTEXT_H
#define EF_APP_CONTEXT_H

#include "datatypes/base/DTTypes.h"
#include "framework/core/engine/EFAppContextGC.h"

constexpr u32 EF_RES_FILENAME_SIZE   = 512;
constexpr u32 EF_LEVEL_PATH_SIZE     = 500;
constexpr u32 EF_LANGUAGE_PATH_SIZE  = 10;
constexpr u32 EF_BASE_DIRECTORY_SIZE = 100;

class EFAppContext : public EFAppContext_SP {
public:
	// Target frame rate.
	u32			uiMaxFPS;
	u32			bDirectInputEnable;
	u32			bShowVideoDialog;
	// Resource file of the first level (option c).
	char		szResFilename[EF_RES_FILENAME_SIZE];
	// Folder of the first level under LEVEL (option w).
	char		szLevelPath[EF_LEVEL_PATH_SIZE];
	char		szLanguagePath[EF_LANGUAGE_PATH_SIZE];
	// Option p.
	char		szBaseDirectory[EF_BASE_DIRECTORY_SIZE];
};

#endif
