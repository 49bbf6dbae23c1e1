#include "graphics3d/core/RwTextureRead.h"

#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwImageConvert.h"
#include "graphics3d/core/RwImageRaster.h"
#include "graphics3d/core/RwImageRead.h"
#include "graphics3d/core/RwImageResample.h"
#include "graphics3d/core/RwPalQuant.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/core/RwTextureLevels.h"

#include <cstddef>
#include <cstring>

// Raster types the readers ask the device for.
static const s32 RASTER_TEXTURE				= rwRASTERTYPETEXTURE;
static const s32 RASTER_MIPMAPPED_TEXTURE	= static_cast<s32>( rwRASTERFORMATMIPMAP ) | rwRASTERTYPETEXTURE;
static const u8 FORMAT_MIPMAP				= static_cast<u8>( rwRASTERFORMATMIPMAP >> 8 );
static const u8 FORMAT_AUTOMIPMAP			= static_cast<u8>( rwRASTERFORMATAUTOMIPMAP >> 8 );
// Highest level whose file name gets a suffix.
static const u8 LAST_NAMED_LEVEL			= 15;
static const char LEVEL_DIGITS[]			= "0123456789abcdef";

namespace {

// The file names of one level.
struct LevelNames {
	char	name[RWTEXTURE_FILENAME_BYTES];
	char	mask[RWTEXTURE_FILENAME_BYTES];
};

// What the device makes of a level: known sizes skip the question.
struct LevelFormat {
	s32		width;
	s32		height;
	s32		depth;
	s32		format;
};

void CopyFileName( char* destination, const char* name ) {
	const size_t length = std::strlen( name );
	const size_t capacity = static_cast<size_t>( RWTEXTURE_FILENAME_BYTES );
	if ( length >= capacity ) {
		_rwErrorSetCore( _rwerror( RWERR_NAME_TOO_LONG, name, RWTEXTURE_FILENAME_BYTES, RWTEXTURE_FILENAME_BYTES - 1,
								   name[capacity - 1] ) );
		std::memcpy( destination, name, capacity - 1 );
		destination[capacity - 1] = '\0';
		return;
	}
	std::memcpy( destination, name, length + 1 );
}

// The level's names from the names as passed; false when the namer says
// they cannot be made.
bool MakeLevelNames( LevelNames* names, const char* name, const char* maskName, const u8 level, const s32 format ) {
	CopyFileName( names->name, name );
	CopyFileName( names->mask, maskName != nullptr ? maskName : "" );
	return RwTextureGenerateMipmapName( names->name, names->mask, level, format );
}

// The name followed by the extension of the file the image module finds
// for it; false with 0x8000001E when both do not fit.
bool WithExtension( char* destination, const char* name ) {
	const char* const extension = RwImageFindFileType( name );
	const size_t nameLength = std::strlen( name );
	const size_t extensionLength = extension != nullptr ? std::strlen( extension ) : 0;
	if ( nameLength + extensionLength >= static_cast<size_t>( RWTEXTURE_FILENAME_BYTES ) ) {
		_rwErrorSetCore( _rwerror( RWERR_NAME_TOO_LONG, name, RWTEXTURE_FILENAME_BYTES ) );
		return false;
	}
	std::memcpy( destination, name, nameLength );
	std::memcpy( destination + nameLength, extension != nullptr ? extension : "", extensionLength + 1 );
	return true;
}

// A 32-bit image of the size resampled from image, which is destroyed.
RwImage* Resampled( RwImage* image, const s32 width, const s32 height ) {
	RwImage* source = image;
	if ( image->depth != 32 ) {
		source = RwImageCreate( image->width, image->height, 32 );
		const bool converted = source != nullptr && RwImageAllocatePixels( source ) != nullptr && RwImageCopy( source, image ) != nullptr;
		RwImageDestroy( image );
		if ( !converted ) {
			if ( source != nullptr ) {
				RwImageDestroy( source );
			}
			return nullptr;
		}
	}
	RwImage* resampled = RwImageCreate( width, height, 32 );
	if ( resampled != nullptr &&
		 ( RwImageAllocatePixels( resampled ) == nullptr || RwImageResample( resampled, source ) == nullptr ) ) {
		RwImageDestroy( resampled );
		resampled = nullptr;
	}
	RwImageDestroy( source );
	return resampled;
}

// One level's image at the size the device takes, or null.
RwImage* ReadLevelImage( const LevelNames& names, const s32 rasterType, LevelFormat* level ) {
	char file[RWTEXTURE_FILENAME_BYTES];
	char maskFile[RWTEXTURE_FILENAME_BYTES];
	if ( !WithExtension( file, names.name ) ) {
		return nullptr;
	}
	const bool masked = names.mask[0] != '\0';
	if ( masked && !WithExtension( maskFile, names.mask ) ) {
		return nullptr;
	}
	RwImage* image = RwImageReadMaskedImage( file, masked ? maskFile : nullptr );
	if ( image == nullptr ) {
		return nullptr;
	}
	if ( level->width == 0 || level->height == 0 ) {
		if ( RwImageFindRasterFormat( image, rasterType, &level->width, &level->height, &level->depth, &level->format ) == nullptr ) {
			RwImageDestroy( image );
			_rwErrorSetCore( _rwerror( RWERR_IMAGE_FORMAT ) );
			return nullptr;
		}
	}
	if ( image->width == level->width && image->height == level->height ) {
		return image;
	}
	const s32 depthRead = image->depth;
	image = Resampled( image, level->width, level->height );
	if ( image == nullptr || ( depthRead != 4 && depthRead != 8 ) ) {
		return image;
	}
	RwImage* const palettised = _rwTexturePalettiseImage( image, depthRead );
	if ( palettised == nullptr ) {
		RwImageDestroy( image );
	}
	return palettised;
}

RwTexture* MakeTexture( RwRaster* raster, const char* name, const char* maskName ) {
	RwTexture* const texture = RwTextureCreate( raster );
	if ( texture == nullptr ) {
		RwRasterDestroy( raster );
		return nullptr;
	}
	RwTextureSetName( texture, name );
	RwTextureSetMaskName( texture, maskName != nullptr ? maskName : "" );
	return texture;
}

// The rest of the normal reader, given its raster and image.
RwTexture* FinishSingleLevel( RwRaster* raster, RwImage* image, const char* name, const char* maskName ) {
	const s32 paletteDepth = _rwTexturePaletteDepth( raster );
	if ( paletteDepth != 0 ) {
		RwRGBA palette[RWPALQUANT_MAX_COLOURS];
		if ( !_rwTexturePalettiseLevels( &image, 1, paletteDepth, palette, nullptr ) ) {
			RwImageDestroy( image );
			RwRasterDestroy( raster );
			return nullptr;
		}
		_rwTextureAttachPalette( image, palette, paletteDepth );
	}
	RwImageGammaCorrect( image );
	const bool set = RwRasterSetFromImage( raster, image ) != nullptr;
	RwImageDestroy( image );
	if ( !set ) {
		RwRasterDestroy( raster );
		return nullptr;
	}
	return MakeTexture( raster, name, maskName );
}

// Level 0's image and the raster made for it; false with nothing kept.
bool ReadBaseLevel( const char* name, const char* maskName, const s32 rasterType, RwImage** image, RwRaster** raster ) {
	LevelNames names;
	if ( !MakeLevelNames( &names, name, maskName, 0, rasterType ) ) {
		return false;
	}
	LevelFormat level = { 0, 0, 0, 0 };
	*image = ReadLevelImage( names, rasterType, &level );
	if ( *image == nullptr ) {
		return false;
	}
	*raster = RwRasterCreate( level.width, level.height, level.depth, level.format );
	if ( *raster == nullptr ) {
		RwImageDestroy( *image );
		return false;
	}
	return true;
}

RwTexture* ReadNormal( const char* name, const char* maskName ) {
	RwImage* image = nullptr;
	RwRaster* raster = nullptr;
	if ( !ReadBaseLevel( name, maskName, RASTER_TEXTURE, &image, &raster ) ) {
		return nullptr;
	}
	return FinishSingleLevel( raster, image, name, maskName );
}

// Levels 1 up from their own files; false with the images destroyed.
bool ReadLevelFiles( RwRaster* raster, RwImage** images, const s32 count, const char* name, const char* maskName,
					 const s32 rasterType ) {
	const s32 format = ( static_cast<s32>( raster->cFormat ) << 8 ) | raster->cType;
	for ( s32 level = 1; level < count; level++ ) {
		LevelNames names;
		bool read = MakeLevelNames( &names, name, maskName, static_cast<u8>( level ), format ) &&
					RwRasterLock( raster, static_cast<u8>( level ), RWTEXTURE_LOCK_WRITE_NOFETCH ) != nullptr;
		if ( read ) {
			LevelFormat size = { raster->width, raster->height, raster->depth, format };
			RwRasterUnlock( raster );
			images[level] = ReadLevelImage( names, rasterType, &size );
			read = images[level] != nullptr;
		}
		if ( !read ) {
			for ( s32 i = 0; i < level; i++ ) {
				RwImageDestroy( images[i] );
			}
			return false;
		}
	}
	return true;
}

RwTexture* ReadMipmapped( const char* name, const char* maskName ) {
	const s32 rasterType = RASTER_MIPMAPPED_TEXTURE | ( RwTextureGetAutoMipmapping() ? static_cast<s32>( rwRASTERFORMATAUTOMIPMAP ) : 0 );
	RwImage* image = nullptr;
	RwRaster* raster = nullptr;
	if ( !ReadBaseLevel( name, maskName, rasterType, &image, &raster ) ) {
		return nullptr;
	}
	if ( ( raster->cFormat & FORMAT_MIPMAP ) == 0 ) {
		return FinishSingleLevel( raster, image, name, maskName );
	}
	if ( raster->cFormat & FORMAT_AUTOMIPMAP ) {
		// Level 0 as read: the device builds the other levels from it and
		// corrects them all.
		const bool set = RwRasterSetFromImage( raster, image ) != nullptr;
		RwImageDestroy( image );
		if ( !set ) {
			RwRasterDestroy( raster );
			return nullptr;
		}
		return MakeTexture( raster, name, maskName );
	}
	RwImage* images[RWTEXTURE_MAX_LEVELS] = { image };
	s32 count = RwRasterGetNumLevels( raster );
	count = count > RWTEXTURE_MAX_LEVELS ? RWTEXTURE_MAX_LEVELS : ( count < 1 ? 1 : count );
	if ( !ReadLevelFiles( raster, images, count, name, maskName, rasterType ) ||
		 !_rwTextureWriteLevels( raster, images, count, nullptr ) ) {
		RwRasterDestroy( raster );
		return nullptr;
	}
	return MakeTexture( raster, name, maskName );
}

}	// namespace

RwTexture* TextureDefaultRead( const char* name, const char* maskName ) {
	return RwTextureGetMipmapping() ? ReadMipmapped( name, maskName ) : ReadNormal( name, maskName );
}

static bool AppendLevelSuffix( char* name, const u8 mipLevel ) {
	const size_t length = std::strlen( name );
	if ( length + 2 >= static_cast<size_t>( RWTEXTURE_FILENAME_BYTES ) ) {
		_rwErrorSetCore( _rwerror( RWERR_NAME_TOO_LONG, name, RWTEXTURE_FILENAME_BYTES ) );
		return false;
	}
	name[length] = 'm';
	name[length + 1] = LEVEL_DIGITS[mipLevel];
	name[length + 2] = '\0';
	return true;
}

bool TextureDefaultMipmapName( char* name, char* maskName, const u8 mipLevel, s32 ) {
	if ( mipLevel == 0 || mipLevel > LAST_NAMED_LEVEL ) {
		return true;
	}
	if ( !AppendLevelSuffix( name, mipLevel ) ) {
		return false;
	}
	return maskName[0] == '\0' || AppendLevelSuffix( maskName, mipLevel );
}

RwTexture* RwTextureRead( const char* name, const char* maskName ) {
	RwTextureGlobals* const globals = _rwTextureGlobals();
	if ( globals == nullptr ) {
		return nullptr;
	}
	RwTexture* found = nullptr;
	if ( globals->currentTexDict != nullptr ) {
		found = RwTexDictionaryFindNamedTexture( globals->currentTexDict, name );
	} else {
		RwLinkList* const list = &globals->texDictList;
		for ( RwLLLink* link = rwLinkListGetFirst( list ); link != rwLinkListGetTerminator( list ) && found == nullptr;
			  link = link->next ) {
			RwTexDictionary* const dict = reinterpret_cast<RwTexDictionary*>( reinterpret_cast<u8*>( link ) -
																			  offsetof( RwTexDictionary, lInInstance ) );
			found = RwTexDictionaryFindNamedTexture( dict, name );
		}
	}
	if ( found != nullptr ) {
		found->refCount++;
		return found;
	}
	RwTexture* const texture = globals->textureReadFunc != nullptr ? globals->textureReadFunc( name, maskName ) : nullptr;
	if ( texture == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_TEXTURE_NOT_FOUND, name, maskName != nullptr ? maskName : "(null)" ) );
		return nullptr;
	}
	if ( globals->currentTexDict != nullptr ) {
		RwTexDictionaryAddTexture( globals->currentTexDict, texture );
	}
	return texture;
}
