/*
===============================================================================

	Host settings.

	What a console owner would set with hardware (which disc is in the
	drive, which memory card is plugged in, the TV standard) is set on the
	host through environment variables, read once on first use. ENGINE.INI
	and the command line are untouched by them. Tests override any value
	through HostSettingsOverride and restore the environment's values with
	HostSettingsReload.

	  ENGINE_DISC        folder that stands for the disc          (default "disc")
	  ENGINE_DISC_WRITE  folder that receives disc writes         (default none)
	  ENGINE_CARD        folder that stands for the memory cards  (default "card")
	  ENGINE_FRAMES      frames to run before a clean exit, 0 = no limit
	  ENGINE_PAD_SCRIPT  controller script file                   (default none)
	  ENGINE_TV_FORMAT   NTSC, PAL, MPAL or EURGB60               (default NTSC)
	  ENGINE_ARENA_SIZE  arena size in bytes, K or M suffix       (default 24M)

===============================================================================
*/
#ifndef HOST_SETTINGS_H
#define HOST_SETTINGS_H

#include "platform/types/PlatformTypes.h"

constexpr u32 HOST_SETTING_TEXT_MAX = 512;

enum HostTvFormat {
	HOST_TV_NTSC	= 0,
	HOST_TV_PAL		= 1,
	HOST_TV_MPAL	= 2,
	HOST_TV_EURGB60	= 5,	// same numbering as the video interface's formats
};

struct HostSettings {
	char			discFolder[HOST_SETTING_TEXT_MAX];
	// Files the game writes go here and are read back from here first;
	// empty: the disc cannot be written, as on the console.
	char			discWriteFolder[HOST_SETTING_TEXT_MAX];
	char			cardFolder[HOST_SETTING_TEXT_MAX];
	char			padScript[HOST_SETTING_TEXT_MAX];	// empty: no script
	u32				framesToRun;						// 0: run until the game ends
	HostTvFormat	tvFormat;
	u32				arenaSize;							// bytes, a multiple of 32
};

// Default arena size: 24 MB, the console's main memory.
constexpr u32 HOST_DEFAULT_ARENA_SIZE = 24u * 1024u * 1024u;

// The settings in force, read from the environment on first use.
const HostSettings& HostGetSettings();

// Replaces the settings in force (tests).
void HostSettingsOverride( const HostSettings& settings );

// Reads the environment again.
void HostSettingsReload();

// Parses a size such as "24M", "16384K" or "1048576"; false when malformed.
bool HostParseSize( const char* text, u32* bytes );

// Parses a TV format name, case-insensitive; false when unknown.
bool HostParseTvFormat( const char* text, HostTvFormat* format );

#endif
