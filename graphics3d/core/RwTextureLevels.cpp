#include "graphics3d/core/RwTextureLevels.h"

#include "graphics3d/core/RwImageConvert.h"
#include "graphics3d/core/RwImageRaster.h"
#include "graphics3d/core/RwImageResample.h"
#include "graphics3d/core/RwPalQuant.h"

#include <cstring>

// The quantiser weight of every image the readers add.
static const f32 IMAGE_WEIGHT = 1.0f;

static void DestroyUnlessCallers( RwImage* image, const RwImage* callerImage ) {
	if ( image != nullptr && image != callerImage ) {
		RwImageDestroy( image );
	}
}

// A new image of the depth matched against the quantiser's palette, with
// the first 2^depth entries of palette copied into it.
static RwImage* MatchedImage( RwPalQuant* pq, const RwImage* source, const s32 depth, const RwRGBA* palette ) {
	RwImage* const image = RwImageCreate( source->width, source->height, depth );
	if ( image == nullptr ) {
		return nullptr;
	}
	if ( RwImageAllocatePixels( image ) == nullptr ) {
		RwImageDestroy( image );
		return nullptr;
	}
	_rwPalQuantMatchImage( image->cpPixels, image->stride, depth, 0, pq, source );
	std::memcpy( image->palette, palette, sizeof( RwRGBA ) << depth );
	return image;
}

RwImage* _rwTexturePalettiseImage( RwImage* image, const s32 depth ) {
	RwRGBA palette[RWPALQUANT_MAX_COLOURS];
	RwPalQuant pq;
	if ( !_rwPalQuantInit( &pq ) ) {
		return nullptr;
	}
	RwImage* result = nullptr;
	if ( _rwPalQuantAddImage( &pq, image, IMAGE_WEIGHT ) ) {
		_rwPalQuantResolvePalette( palette, 1 << depth, &pq );
		result = MatchedImage( &pq, image, depth, palette );
	}
	_rwPalQuantTerm( &pq );
	if ( result != nullptr ) {
		RwImageDestroy( image );
	}
	return result;
}

// Entries of a palette of 2^depth that the image's own palette holds.
static size_t SharedEntries( const RwImage* image, const s32 depth ) {
	const s32 own = image->depth == 4 || image->depth == 8 ? image->depth : 0;
	return own == 0 ? 0 : static_cast<size_t>( 1 ) << ( own < depth ? own : depth );
}

// True when every level already carries the first level's palette. Only
// as many entries as the images hold are compared, so a palette shorter
// than 2^depth is never read past its end.
static bool SharePalette( RwImage* const* images, const s32 count, const s32 depth ) {
	const RwImage* const first = images[0];
	const size_t entries = first->palette != nullptr ? SharedEntries( first, depth ) : 0;
	if ( entries == 0 ) {
		return false;
	}
	for ( s32 i = 1; i < count; i++ ) {
		if ( images[i]->palette == nullptr || images[i]->depth != first->depth ||
			 std::memcmp( images[i]->palette, first->palette, entries * sizeof( RwRGBA ) ) != 0 ) {
			return false;
		}
	}
	return true;
}

void _rwTextureAttachPalette( RwImage* image, const RwRGBA* palette, const s32 depth ) {
	const size_t entries = image->palette != nullptr ? SharedEntries( image, depth ) : 0;
	if ( entries != 0 && image->palette != palette ) {
		std::memmove( image->palette, palette, entries * sizeof( RwRGBA ) );
	}
}

bool _rwTexturePalettiseLevels( RwImage** images, const s32 count, const s32 depth, RwRGBA* palette,
								const RwImage* callerImage ) {
	if ( SharePalette( images, count, depth ) ) {
		const size_t entries = SharedEntries( images[0], depth );
		std::memset( palette, 0, sizeof( RwRGBA ) << depth );
		std::memcpy( palette, images[0]->palette, entries * sizeof( RwRGBA ) );
		return true;
	}
	RwPalQuant pq;
	if ( !_rwPalQuantInit( &pq ) ) {
		return false;
	}
	bool added = true;
	for ( s32 i = 0; i < count && added; i++ ) {
		added = _rwPalQuantAddImage( &pq, images[i], IMAGE_WEIGHT );
	}
	RwImage* matched[RWTEXTURE_MAX_LEVELS] = {};
	s32 made = 0;
	if ( added ) {
		_rwPalQuantResolvePalette( palette, 1 << depth, &pq );
		while ( made < count && ( matched[made] = MatchedImage( &pq, images[made], depth, palette ) ) != nullptr ) {
			made++;
		}
	}
	_rwPalQuantTerm( &pq );
	if ( made < count ) {
		for ( s32 i = 0; i < made; i++ ) {
			RwImageDestroy( matched[i] );
		}
		return false;
	}
	for ( s32 i = 0; i < count; i++ ) {
		DestroyUnlessCallers( images[i], callerImage );
		images[i] = matched[i];
	}
	return true;
}

s32 _rwTexturePaletteDepth( const RwRaster* raster ) {
	const u32 format = static_cast<u32>( raster->cFormat ) << 8;
	if ( format & rwRASTERFORMATPAL4 ) {
		return 4;
	}
	if ( format & rwRASTERFORMATPAL8 ) {
		return 8;
	}
	return 0;
}

static void DestroyFrom( RwImage** images, const s32 from, const s32 count, const RwImage* callerImage ) {
	for ( s32 i = from; i < count; i++ ) {
		DestroyUnlessCallers( images[i], callerImage );
		images[i] = nullptr;
	}
}

bool _rwTextureWriteLevels( RwRaster* raster, RwImage** images, const s32 count, const RwImage* callerImage ) {
	const s32 paletteDepth = _rwTexturePaletteDepth( raster );
	if ( paletteDepth != 0 ) {
		RwRGBA palette[RWPALQUANT_MAX_COLOURS];
		if ( !_rwTexturePalettiseLevels( images, count, paletteDepth, palette, callerImage ) ) {
			DestroyFrom( images, 0, count, callerImage );
			return false;
		}
		// One correction of the shared palette, which every level carries:
		// the device takes the palette again with each level it is given.
		RwImageGammaCorrect( images[0] );
		for ( s32 i = 1; i < count; i++ ) {
			_rwTextureAttachPalette( images[i], images[0]->palette, paletteDepth );
		}
	} else {
		for ( s32 i = 0; i < count; i++ ) {
			RwImageGammaCorrect( images[i] );
		}
	}
	for ( s32 level = 0; level < count; level++ ) {
		if ( RwRasterLock( raster, static_cast<u8>( level ), RWTEXTURE_LOCK_WRITE_NOFETCH ) == nullptr ) {
			DestroyFrom( images, level, count, callerImage );
			return false;
		}
		const bool written = RwRasterSetFromImage( raster, images[level] ) != nullptr;
		RwRasterUnlock( raster );
		DestroyFrom( images, level, level + 1, callerImage );
		if ( !written ) {
			DestroyFrom( images, level + 1, count, callerImage );
			return false;
		}
	}
	return true;
}

// A 32-bit image of the source: level 0 of the raster, a converted copy
// of a palettised image, or the image itself.
static RwImage* WorkingCopy( RwRaster* raster, RwImage* image ) {
	if ( image != nullptr && image->depth == 32 ) {
		return image;
	}
	const s32 width = image != nullptr ? image->width : raster->width;
	const s32 height = image != nullptr ? image->height : raster->height;
	RwImage* const copy = RwImageCreate( width, height, 32 );
	if ( copy == nullptr ) {
		return nullptr;
	}
	const bool filled = RwImageAllocatePixels( copy ) != nullptr &&
						( image != nullptr ? RwImageCopy( copy, image ) != nullptr : RwImageSetFromRaster( copy, raster ) != nullptr );
	if ( !filled ) {
		RwImageDestroy( copy );
		return nullptr;
	}
	return copy;
}

// Levels 1 up resampled each from the one above; false with the levels
// made destroyed.
static bool ResampleLevels( RwRaster* raster, RwImage** images, const s32 count, const RwImage* callerImage ) {
	for ( s32 level = 1; level < count; level++ ) {
		if ( RwRasterLock( raster, static_cast<u8>( level ), rwRASTERLOCKREAD ) == nullptr ) {
			DestroyFrom( images, 0, level, callerImage );
			return false;
		}
		images[level] = RwImageCreateResample( images[level - 1], raster->width, raster->height );
		RwRasterUnlock( raster );
		if ( images[level] == nullptr ) {
			DestroyFrom( images, 0, level, callerImage );
			return false;
		}
	}
	return true;
}

RwRaster* TextureRasterDefaultBuildMipmaps( RwRaster* raster, RwImage* image ) {
	const u8 automatic = static_cast<u8>( rwRASTERFORMATAUTOMIPMAP >> 8 );
	const u8 savedFormat = raster->cFormat;
	raster->cFormat = static_cast<u8>( raster->cFormat & ~automatic );
	RwImage* images[RWTEXTURE_MAX_LEVELS] = {};
	images[0] = WorkingCopy( raster, image );
	s32 count = RwRasterGetNumLevels( raster );
	count = count > RWTEXTURE_MAX_LEVELS ? RWTEXTURE_MAX_LEVELS : count;
	bool built = images[0] != nullptr && count >= 1;
	if ( !built ) {
		DestroyUnlessCallers( images[0], image );
	} else {
		built = ResampleLevels( raster, images, count, image ) && _rwTextureWriteLevels( raster, images, count, image );
	}
	raster->cFormat = static_cast<u8>( ( raster->cFormat & ~automatic ) | ( savedFormat & automatic ) );
	return built ? raster : nullptr;
}
