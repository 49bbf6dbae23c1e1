/*
===============================================================================

	Start-up of the engine executable.

	EIMain brings the platform up, flags the controllers held in the reset
	combination (X, B and START), loads the ROM font, configures the video
	for the TV format, reads ENGINE.INI, seeds the random generator from the
	calendar time, starts the low-level sound back end unless the ini
	switches audio off, maps the virtual memory over auxiliary memory, turns
	the starting level and the arguments into the start-up context and runs
	the engine controller.

	Arguments are walked from argv[1] (argv[0] is the program): -f names the
	level (dropping options given before it), -w its folder; d, s, p and m
	are accepted without effect; any other option is handed on in the
	command string. Text that does not fit its buffer is cut with a debug
	print.

===============================================================================
*/
#ifndef EI_STARTUP_H
#define EI_STARTUP_H

#include "datatypes/base/DTTypes.h"
#include "framework/core/engine/EFStartupGlobals.h"

class EFAppContext;
struct OSFontHeader;

constexpr u32 EI_LEVEL_BUFFER_SIZE    = 500;

// The ROM font buffer, 32-byte aligned.
extern OSFontHeader*	pFontData;

// The whole start-up and run: 0 after a normal quit, 1 when there is no
// disc (the disc folder is missing: nothing is started) or the engine
// could not be initialised.
s32		EIMain( s32 argc, char** argv );

// Ends the program with the given exit code. No host event reaches the
// engine afterwards: static teardown runs without interrupt-level work.
[[noreturn]] void	EIExit( s32 code );

// Chooses the render mode of the TV format and configures the video.
void	InitGraphic();

// The start-up context last handed to the engine controller (tests).
const EFAppContext&	EIGetStartupContext();

// The command string last handed to the parser (tests).
const char*			EIGetCommandString();

#endif
