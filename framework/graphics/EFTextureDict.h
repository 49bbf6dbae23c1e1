/*
===============================================================================

	The engine's set of textures ("TEXTURE_DICTIONARY", class 34): the 3D
	library's current texture dictionary, which fonts, HUD windows, slides,
	projectors and billboards search by name.

	One static instance serves the whole run; the registry's factory hands
	out that instance, so a level record of this class loads into it and
	is never destroyed by its loader.

	Minimal body until the library's dictionaries are filled from files:
	the binary load reads nothing and only counts its calls, Clear does
	nothing, and the lookup finds nothing.

===============================================================================
*/
#ifndef EF_TEXTURE_DICT_H
#define EF_TEXTURE_DICT_H

#include "datatypes/streamable/DTStreamable.h"

struct RwTexture;

constexpr s32 EF_TEXTURE_DICT_CLASS_ID	= 34;

class EFTextureDict : public DTStreamable {
public:
							EFTextureDict();
							~EFTextureDict() override;

	// The single instance.
	static EFTextureDict *	GetInstance();
	// The factory of the registry: the single instance, not a new object.
	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	// True for the single instance, which no loader may delete.
	bool					IsOwnedElsewhere() const override;

	// Loads a dictionary from the stream; 0. Reads nothing for now.
	s32						LoadPropertiesBinary( DTBasePersistStream & stream ) override;

	// Empties the current dictionary; nothing to empty for now.
	void					Clear();

	// The texture of that name in the current dictionary, or null.
	RwTexture *				GetTexture( const char * name ) const;

	// Binary loads made by any instance since the last reset.
	static u32				GetBinaryLoadCount() { return mui32BinaryLoads; }
	static void				ResetBinaryLoadCount() { mui32BinaryLoads = 0; }

private:
	static EFTextureDict	mTextureDict;
	static u32				mui32BinaryLoads;
};

#endif
