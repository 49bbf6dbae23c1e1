/*
===============================================================================

	Disc entry table, host side of the disc library.

	Turns a disc path into the host file it stands for and gives that file
	an entry number. Each component is matched without regard to case
	(an exact match wins, then the first in byte order, so the choice does
	not depend on the order the host lists a folder in); '/' and '\' both
	separate components, empty and "." components are skipped, and ".."
	never climbs above the disc folder. Only regular files get entries.
	Entry numbers are handed out in order of first lookup and stay with
	their file until DVDEntryTableReset.

===============================================================================
*/
#ifndef DVD_ENTRY_TABLE_H
#define DVD_ENTRY_TABLE_H

#include "platform/types/PlatformTypes.h"

// Longest host path the table builds (disc folder included).
constexpr u32 DVD_HOST_PATH_MAX = 2048;

// Most entries handed out in one run.
constexpr u32 DVD_ENTRY_MAX = 65536;

// Entry number of the file at discPath under discFolder, or -1.
s32			DVDEntryTableLookup( const char* discFolder, const char* discPath );

// Host path of the file at discPath under folder, for writing it: existing
// names match as for a lookup, missing folders are made, and a missing file
// keeps the name given. hostPath holds DVD_HOST_PATH_MAX bytes. False when
// the path leaves the folder, is empty or a folder cannot be made.
bool		DVDEntryTableResolveForWrite( const char* folder, const char* discPath, char* hostPath );

// Host path of an entry, or null when the entry does not exist.
const char*	DVDEntryTableHostPath( s32 entryNum );

// Forgets every entry.
void		DVDEntryTableReset();

#endif
