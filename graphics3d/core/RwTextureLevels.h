/*
===============================================================================

	Mip-level images of textures: palettising, gamma and writing them into
	a raster, and the default builder of mip levels.

	Palettising one image replaces it by an image of depth 4 or 8 matched
	against a palette of 2^depth entries from the palette quantiser. The
	levels of one raster share a single palette: when every level already
	carries the first level's palette (over 2^depth entries) the images
	stay as they are; otherwise all levels feed one quantiser and each is
	replaced by a matched image with the shared palette.

	A palettised chain is gamma-corrected once, through its first image,
	and the corrected palette is handed to every level (the device takes
	the palette again with each level written); a chain without a
	palette is corrected image by image. Palettes are only ever compared
	or copied as far as the image's own palette reaches. Levels are then written one by one: locked for writing without
	fetching (lock mode 5), set from their image and unlocked.

	The default builder makes levels 1 up from a 32-bit copy of level 0
	(or of the image given), each resampled from the level above to the
	size the device reports for it; the raster's automatic-mipmap bit is
	cleared while it works, so that its own writes of level 0 do not ask
	the device to build the levels again, and is restored on every exit.

	Images the caller owns are never destroyed here; every other image
	handed in or made is destroyed by the time these functions return.

===============================================================================
*/
#ifndef RW_TEXTURE_LEVELS_H
#define RW_TEXTURE_LEVELS_H

#include "graphics3d/core/RwImage.h"
#include "graphics3d/core/RwRaster.h"

// Levels a raster may have.
constexpr s32 RWTEXTURE_MAX_LEVELS			= 16;
// Lock mode for writing a level without fetching its texels.
constexpr s32 RWTEXTURE_LOCK_WRITE_NOFETCH	= 5;

// The image replaced by a new one of the depth (4 or 8), matched against
// a palette of 2^depth entries of its own colours; the old image is
// destroyed. Null on failure, leaving the image as it was.
RwImage*	_rwTexturePalettiseImage( RwImage* image, s32 depth );
// One palette of 2^depth entries (into palette, which holds 256) for all
// levels, replacing the images where needed; a replaced image is
// destroyed unless it is callerImage. False on failure, the images as
// they were.
bool		_rwTexturePalettiseLevels( RwImage** images, s32 count, s32 depth, RwRGBA* palette,
									   const RwImage* callerImage );
// Copies a palette of 2^depth entries into the image's own, as far as
// the image's palette reaches.
void		_rwTextureAttachPalette( RwImage* image, const RwRGBA* palette, s32 depth );
// Palettises (when the raster's format has a palette) or gamma-corrects
// the images, then writes each into its level of the raster. Every image
// but callerImage is destroyed, on failure too.
bool		_rwTextureWriteLevels( RwRaster* raster, RwImage** images, s32 count, const RwImage* callerImage );
// The palette depth a raster's format asks for, or 0.
s32			_rwTexturePaletteDepth( const RwRaster* raster );

// The default builder of mip levels 1 up; the raster, or null.
RwRaster*	TextureRasterDefaultBuildMipmaps( RwRaster* raster, RwImage* image );

#endif
