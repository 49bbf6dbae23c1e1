/*
===============================================================================

	The engine's set of textures: the 3D library's current texture
	dictionary, which fonts, HUD windows, slides, projectors and
	billboards search by name.

	Only the lookup exists so far, and it finds nothing until the texture
	dictionaries are loaded.

===============================================================================
*/
#ifndef EF_TEXTURE_DICT_H
#define EF_TEXTURE_DICT_H

struct RwTexture;

class EFTextureDict {
public:
	// The single instance.
	static EFTextureDict *	GetInstance();

	// The texture of that name in the current dictionary, or null.
	RwTexture *				GetTexture( const char * name ) const;

private:
	static EFTextureDict	mTextureDict;
};

#endif
