/*
===============================================================================

	Resources manager (gpoRessourcesMgr): loads one level at a time.

	It holds the resource file name of the level to load. The setter keeps
	the text from the last '.' of the last name that had one as the current
	extension (at most EF_EXTENSION_MAX characters) and appends it to a
	name given without a '.'.

	It holds the resource factory through which the level's shared
	resources reach their users; Terminate clears it.

	Placeholder body: LoadLevel records the request and loads nothing;
	Initialize loads the starting level that way and succeeds.

===============================================================================
*/
#ifndef EF_RESSOURCES_MGR_H
#define EF_RESSOURCES_MGR_H

#include "datatypes/DTTypes.h"
#include "framework/core/EFRessourceFactory.h"

constexpr u32 EF_EXTENSION_SIZE = 5;
constexpr u32 EF_EXTENSION_MAX  = EF_EXTENSION_SIZE - 1;

class EFRessourcesMgr {
public:
							EFRessourcesMgr();
							~EFRessourcesMgr();

	// LoadLevel(0); 1.
	u32						Initialize();
	// 0 on success; the argument is not used.
	s32						LoadLevel( u32 unused );
	void					Terminate();

	// The resource file name setter; a null name changes nothing.
	void					SetResFilename( const char* name );
	// Null until a name was set.
	const char*				GetResFilename() const { return mpszResFilename; }
	const char*				GetCurrentExtension() const { return mszCurrentExtension; }

	EFRessourceFactory&		GetRessourceFactory() { return moRessourceFactory; }

	// Level loads asked for since construction.
	u32						GetLoadCount() const { return mui32LoadCount; }

	// Test hook of the placeholder: the next Initialize fails.
	u8						mbFailInitialize;

private:
	EFRessourceFactory		moRessourceFactory;
	char*					mpszResFilename;
	char					mszCurrentExtension[EF_EXTENSION_SIZE];
	u8						mbLoading;
	u32						mui32LoadCount;
};

extern EFRessourcesMgr*	gpoRessourcesMgr;

#endif
