/*
===============================================================================

	The engine's set of textures ("TEXTURE_DICTIONARY", class 34): the 3D
	library's current texture dictionary, which fonts, HUD windows, slides,
	projectors and billboards search by name.

	One static instance serves the whole run; the registry's factory hands
	out that instance, so a level record of this class loads into it and
	is never destroyed by its loader.

	A dictionary file is a run of texture records, each an image chunk,
	a little-endian name length and the name's bytes (at most 515). Every
	record becomes a texture with linear filtering in the current
	dictionary. Sides that are not powers of two get a 256 x 256 raster
	(the image resampled into it); the textures named exactly "fog" and
	"fog2" are kept in 32-bit colour. The first failing record ends the
	load with -2; the textures read before it stay.

	The single-texture reader used by the loading screen also keeps the
	full-screen sizes 640 x 448 and 640 x 512.

===============================================================================
*/
#ifndef EF_TEXTURE_DICT_H
#define EF_TEXTURE_DICT_H

#include "datatypes/streamable/DTStreamable.h"

struct RwStream;
struct RwTexture;

constexpr s32 EF_TEXTURE_DICT_CLASS_ID	= 34;
// Result of a failed load.
constexpr s32 EF_TEXTURE_DICT_FAILED	= -2;
// Characters of a texture name, terminator excluded.
constexpr u32 EF_TEXTURE_NAME_MAX		= 515;
// Characters of a text-form file name.
constexpr s32 EF_TEXTURE_FILE_NAME_MAX	= 2048;

// How a picture record becomes a texture: sides that are not powers of two
// give a 256 x 256 raster, except full-screen pictures read singly; the
// dictionary keeps "fog" and "fog2" in 32-bit colour; slides read their
// images into the global heap and keep the library's filter.
enum EFPictureRule_e {
	EF_PICTURE_DICTIONARY,
	EF_PICTURE_SINGLE,
	EF_PICTURE_SLIDE,
};

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

	// Loads a dictionary from the stream; 0.
	s32						LoadPropertiesBinary( DTBasePersistStream & stream ) override;
	// Two unused words and a file name, the dictionary file; 0.
	s32						LoadPropertiesText( char * word, DTBasePersistStream & stream ) override;

	// Every record of the stream into the current dictionary: 0, or -2 at
	// the first failure. The second argument is not used.
	s32						LoadTextureDictionary( DTBasePersistStream & stream, unsigned long unused );
	// Exactly one record: 0 or -2.
	s32						LoadTexture( DTBasePersistStream & stream );

	// Destroys the current dictionary and installs a new empty one.
	void					Clear();

	// One record (image chunk header already found, image, name) into a
	// texture added to the current dictionary; null at a failure.
	static RwTexture *		ReadPicture( RwStream * stream, EFPictureRule_e rule );

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
