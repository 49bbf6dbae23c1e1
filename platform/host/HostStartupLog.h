/*
===============================================================================

	Host start-up log: the order in which the audio libraries were started.

	The console's audio libraries depend on one another being started in a
	fixed order (the transfer queue on auxiliary memory, the mixer on the
	voice library ...). Each stand-in's start-up call appends its name
	here, so a test can check the order the engine brings them up in.
	Holds the first HOST_STARTUP_LOG_ENTRIES names since the last clear;
	later ones are counted but not kept.

===============================================================================
*/
#ifndef HOST_STARTUP_LOG_H
#define HOST_STARTUP_LOG_H

#include "platform/types/PlatformTypes.h"

constexpr u32 HOST_STARTUP_LOG_ENTRIES = 32;

// Appends a start-up call's name (a string literal: only the pointer is kept).
void			HostStartupLogAppend( const char * name );
// Start-up calls since the last clear, kept or not.
u32				HostStartupLogCount();
// The index-th name, or null past the kept ones.
const char *	HostStartupLogAt( u32 index );
void			HostStartupLogClear();

#endif
