/*
===============================================================================

	Resources manager (gpoRessourcesMgr): loads one level at a time.

	LoadLevel empties the level heap, brings up the level's loading screen
	(when LOAD.LS exists), loads the texture dictionaries, fonts with
	their palettes and the texts, then every record of the level's
	resource file by class id, then the sound banks and the external files
	that logic asked for. Files are looked for under

	  LEVEL\<level path>\<language>\   the controller's language ("FR")
	  LEVEL\<level path>\GEN\          the language-neutral fallback

	each path built from an empty text and the controller's path prefix.
	The resource file lives in GEN only and must have one of the
	extensions .GCR or .GHR (either case). Every path is bounded by the
	disc layer's limit; a path that does not fit counts as a missing file.

	Record loading never trusts the table of contents: a record whose
	class cannot be created is skipped by its stored size; a record that
	reads less than its size has the rest skipped, one that reads more
	fails the load; a record the file does not hold whole fails the load.
	Any failure leaves through the same exit as success: screen and stream
	destroyed, file closed, working heap current, loading flag down.

	The resource file name setter keeps the text from the last '.' of the
	last name that had one as the current extension (at most
	EF_EXTENSION_MAX characters) and appends it to a name given without
	a '.'. The manager holds the resource factory through which the
	level's shared resources reach their users; Terminate clears it.

===============================================================================
*/
#ifndef EF_RESSOURCES_MGR_H
#define EF_RESSOURCES_MGR_H

#include "datatypes/containers/DTSingleLList.h"
#include "datatypes/streamable/DTStreamLoader.h"
#include "datatypes/base/DTTypes.h"
#include "framework/core/level/EFRessourceFactory.h"

class DTBasePersistStream;
class DTStreamFAT;
class EFLoadingScreen;
struct DTFileHandle_;

constexpr u32 EF_EXTENSION_SIZE = 5;
constexpr u32 EF_EXTENSION_MAX  = EF_EXTENSION_SIZE - 1;

// Bytes of an external file's name, terminator included.
constexpr u32 EF_EXTERNAL_NAME_SIZE = 200;

// Folder arguments of the sequence loaders.
constexpr u32 EF_FOLDER_LANGUAGE  = 0;
constexpr u32 EF_FOLDER_GEN       = 1;
constexpr u32 EF_FOLDER_UNDECIDED = 0xFFFFFFFF;

// One external file loaded for logic.
struct externalfiledatabuffer {
	char					name[EF_EXTERNAL_NAME_SIZE];
	// The whole file, made with array new.
	u8*						data;
	u32						size;
};

class EFRessourcesMgr {
public:
							EFRessourcesMgr();
							~EFRessourcesMgr();
							EFRessourcesMgr( const EFRessourcesMgr& ) = delete;
	EFRessourcesMgr&		operator=( const EFRessourcesMgr& ) = delete;

	// LoadLevel(0); 1 whatever the load gave.
	u32						Initialize();
	// 0 on success, else the code of the step that failed (-3 for a
	// resource file that is missing or has a wrong extension, -5 for a
	// record the file does not hold, or the failing record's own code).
	// The argument is not used.
	s32						LoadLevel( u32 unused );
	// Drops the external files, clears the factory and the texture set.
	void					Terminate();

	// The resource file name setter; a null name changes nothing.
	void					SetResFilename( const char* name );
	// Null until a name was set.
	const char*				GetResFilename() const { return mpszResFilename; }
	const char*				GetCurrentExtension() const { return mszCurrentExtension; }

	EFRessourceFactory&		GetRessourceFactory() { return moRessourceFactory; }

	// A new binary stream over file, or null with error -3 when name has
	// none of the resource extensions. isFile is set to 1 on success.
	DTBasePersistStream*	OpenStream( const char* name, DTFileHandle_*& file, bool* isFile, u32* error );

	// Recursive sequence loaders of TEXDIC_<index>.TXD and of
	// FONT<index>.FT with their palettes; folder is one of EF_FOLDER_*.
	// 1 when the file of this index was loaded.
	u32						LoadLevelTextureDictionnary( u32 index, u32 folder );
	u32						LoadFontsAndPalettes( u32 index, u32 folder );
	// 0 when the palette cannot be opened, else 1.
	u32						LoadPalette( const char* path );
	// 0 when no TEXT.TX exists, else 1.
	u32						LoadTexts();

	// Queues a copy of name; the file is loaded at the end of the next
	// LoadLevel.
	void					RequestExternalFileLoad( const char* name );
	// Loads name (opened exactly as given) whole and keeps it; missing
	// files and names of EF_EXTERNAL_NAME_SIZE characters or more are
	// skipped. scratch is not used.
	void					LoadExternalFile( char* scratch, const char* name );
	// The data or size of the first loaded external file of exactly that
	// name with data; null or 0 when none.
	u8*						GetExternalFileBuffer( const char* name ) const;
	u32						GetExternalFileSize( const char* name ) const;
	u32						GetRequestedExternalFileCount() const { return moRequestedFiles.GetCount(); }

	// 1 when LEVEL\<level>\GEN\<file up to its first '.'><current
	// extension> has a positive size. file is not changed.
	u32						DoesLevelFileExist( const char* level, const char* file ) const;

	// 1 while LoadLevel runs.
	u8						IsLoading() const { return mbLoading; }
	// Level loads asked for since construction.
	u32						GetLoadCount() const { return mui32LoadCount; }

	// Test hooks: the next Initialize of this manager (of any manager,
	// for tests that cannot reach it before start-up) fails.
	u8						mbFailInitialize;
	static u8				smbFailNextInitialize;

private:
	EFRessourceFactory		moRessourceFactory;
	DTStreamLoader			moStreamLoader;
	char*					mpszResFilename;
	// Handed to the loading screen, which does not use it.
	char*					mpszLoadingScreenArgument;
	char					mszCurrentExtension[EF_EXTENSION_SIZE];
	u8						mbLoading;
	DTSingleLList<char*>	moRequestedFiles;
	DTSingleLList<externalfiledatabuffer*>	moLoadedFiles;
	u32						mui32LoadCount;

	s32						LoadRecords( DTStreamFAT& table, DTBasePersistStream& stream, DTFileHandle_* file,
										 EFLoadingScreen* screen, u32 total );
	s32						LoadRecord( const DTStreamFAT& table, u32 index, DTBasePersistStream& stream,
										DTFileHandle_* file, DTStreamable*& object );
	EFLoadingScreen*		CreateLoadingScreen();
	void					LoadRequestedExternalFiles( EFLoadingScreen* screen, u32 count, u32 total );
	void					ClearRequestedFiles();
	void					ClearLoadedFiles();
};

extern EFRessourcesMgr*	gpoRessourcesMgr;

#endif
