/*
===============================================================================

	One card of the host memory-card library as its folder stores it:
	geometry, the directory of file status records, and each file's bytes
	(layout in CARDHost.h). Every change is written through a temporary
	file and a rename, so an interrupted run leaves the old or the new
	state, never a mix.

===============================================================================
*/
#ifndef CARD_STORE_H
#define CARD_STORE_H

#include "platform/card/CARD.h"

// A slot's folder (the memory-card folder setting and "/A"), and a path
// inside it.
constexpr u32 CARD_STORE_FOLDER_MAX = 528;
constexpr u32 CARD_STORE_PATH_MAX = 1024;

struct CARDStore {
	char		folder[CARD_STORE_FOLDER_MAX];
	u32			sectorSize;
	u32			sectors;
	// Set when the folder's directory could not be read.
	bool		broken;
	bool		used[CARD_MAX_FILE];
	CARDStat	stat[CARD_MAX_FILE];
};

// The folder of a channel under the memory-card folder ("A", "B").
void	CARDStoreFolderOf( s32 chan, char* folder );
bool	CARDStoreFolderExists( const char* folder );
bool	CARDStoreMakeFolder( const char* folder );

// Reads geometry and directory from store.folder; an unreadable or
// inconsistent directory leaves no file and sets broken.
void	CARDStoreLoad( CARDStore& store );
// Rewrites the directory; false on a host I/O error.
bool	CARDStoreSaveDirectory( const CARDStore& store );

// Sectors usable for files, and those not taken by any file.
u32		CARDStoreFileSectors( const CARDStore& store );
u32		CARDStoreFreeSectors( const CARDStore& store );
// File number of a name (compared over 32 characters), or -1.
s32		CARDStoreFind( const CARDStore& store, const char* name );

// A file's bytes: reads length bytes at offset, or replaces them; the
// write keeps the file's other bytes. False on a host I/O error or a
// host file shorter than asked.
bool	CARDStoreReadFile( const CARDStore& store, s32 fileNo, u8* buffer, u32 length, u32 offset );
bool	CARDStoreWriteFile( const CARDStore& store, s32 fileNo, const u8* buffer, u32 length, u32 offset );
// Makes a file of length zero bytes, or removes one.
bool	CARDStoreCreateFile( const CARDStore& store, s32 fileNo );
void	CARDStoreRemoveFile( const CARDStore& store, s32 fileNo );

#endif
