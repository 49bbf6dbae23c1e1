#include "framework/graphics/EFTextureDict.h"

#include "datatypes/memory/MMMemory.h"
#include "datatypes/persist/DTBinaryPersistStream.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "datatypes/streamable/DTIOStream.h"
#include "framework/core/engine/RwStreamConvert.h"
#include "graphics3d/core/RwImageChunk.h"
#include "graphics3d/core/RwImageRaster.h"
#include "graphics3d/core/RwImageResample.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/core/RwStreamData.h"
#include "graphics3d/core/RwTexDictionary.h"

#include <cstring>

u32 EFTextureDict::mui32BinaryLoads = 0;

EFTextureDict EFTextureDict::mTextureDict;

s32 EFTextureDict_trigger = DTDynamicInstanciator::GetInstance().RegisterDynamicClass(
	&EFTextureDict::Instanciate, "TEXTURE_DICTIONARY", EF_TEXTURE_DICT_CLASS_ID, IT_OBJECT );

namespace {

constexpr u32 CHUNK_IMAGE			= 0x18;
// 32-bit RGBA texture raster: format 0x500, type texture.
constexpr s32 FOG_RASTER_FORMAT		= 0x504;
constexpr s32 FALLBACK_SIDE			= 256;
constexpr u8  FILTER_LINEAR			= 2;

bool IsPowerOfTwo( const s32 value ) {
	return value > 0 && ( value & ( value - 1 ) ) == 0;
}

bool IsFullScreen( const s32 width, const s32 height ) {
	return width == 640 && ( height == 448 || height == 512 );
}

// Palette entries that are pure black become transparent.
void ClearAlphaOnBlack( RwImage * image ) {
	if ( image->depth > 8 || image->palette == nullptr ) {
		return;
	}
	const u32 entries = 1u << image->depth;
	for ( u32 i = 0; i < entries; i++ ) {
		RwRGBA & colour = image->palette[i];
		if ( colour.red == 0 && colour.green == 0 && colour.blue == 0 ) {
			colour.alpha = 0;
		}
	}
}

}

RwTexture * EFTextureDict::ReadPicture( RwStream * stream, const EFPictureRule_e rule ) {
	RwImage * image = nullptr;
	if ( rule == EF_PICTURE_SLIDE ) {
		// Slide images are read into the global heap, whatever heap the
		// textures go to.
		const u32 heap = MMChangeHeap( 0 );
		image = RwImageStreamRead( stream );
		MMChangeHeap( heap );
	} else {
		image = RwImageStreamRead( stream );
	}
	s32 nameLength = 0;
	if ( RwStreamReadInt32( stream, &nameLength, sizeof( nameLength ) ) == nullptr ||
		 nameLength <= 0 || static_cast<u32>( nameLength ) > EF_TEXTURE_NAME_MAX || image == nullptr ) {
		if ( image != nullptr ) {
			RwImageDestroy( image );
		}
		return nullptr;
	}
	char name[EF_TEXTURE_NAME_MAX + 1];
	if ( RwStreamRead( stream, name, static_cast<u32>( nameLength ) ) < 1 ) {
		RwImageDestroy( image );
		return nullptr;
	}
	name[nameLength] = '\0';

	s32 width = 0;
	s32 height = 0;
	s32 depth = 0;
	s32 format = 0;
	if ( RwImageFindRasterFormat( image, rwRASTERTYPETEXTURE, &width, &height, &depth, &format ) == nullptr ) {
		RwImageDestroy( image );
		return nullptr;
	}
	const bool powers = IsPowerOfTwo( width ) && IsPowerOfTwo( height );
	if ( rule == EF_PICTURE_DICTIONARY && powers &&
		 ( std::strcmp( name, "fog" ) == 0 || std::strcmp( name, "fog2" ) == 0 ) ) {
		format = FOG_RASTER_FORMAT;
	} else if ( !powers && !( rule == EF_PICTURE_SINGLE && IsFullScreen( width, height ) ) ) {
		width = FALLBACK_SIDE;
		height = FALLBACK_SIDE;
		depth = 0;
	}
	RwRaster * const raster = RwRasterCreate( width, height, depth, format );
	if ( raster == nullptr ) {
		RwImageDestroy( image );
		return nullptr;
	}
	// The raster is filled over its own size: the image is resampled to
	// it, so no pixel is read from outside the image.
	if ( image->width != raster->width || image->height != raster->height ) {
		RwImage * const resampled = RwImageCreateResample( image, raster->width, raster->height );
		RwImageDestroy( image );
		image = resampled;
		if ( image == nullptr ) {
			RwRasterDestroy( raster );
			return nullptr;
		}
	}
	ClearAlphaOnBlack( image );
	RwRasterSetFromImage( raster, image );
	RwImageDestroy( image );
	RwTexture * const texture = RwTextureCreate( raster );
	if ( texture == nullptr ) {
		RwRasterDestroy( raster );
		return nullptr;
	}
	RwTextureSetName( texture, name );
	if ( rule != EF_PICTURE_SLIDE ) {
		texture->filterAddressing = ( texture->filterAddressing & ~rwTEXTUREFILTERMODEMASK ) | FILTER_LINEAR;
	}
	RwTexDictionary * const dictionary = RwTexDictionaryGetCurrent();
	if ( dictionary != nullptr ) {
		RwTexDictionaryAddTexture( dictionary, texture );
	}
	return texture;
}

EFTextureDict::EFTextureDict() {
}

EFTextureDict::~EFTextureDict() {
}

EFTextureDict * EFTextureDict::GetInstance() {
	return &mTextureDict;
}

void * EFTextureDict::Instanciate() {
	return &mTextureDict;
}

s32 EFTextureDict::GetClassID() const {
	return EF_TEXTURE_DICT_CLASS_ID;
}

const char * EFTextureDict::GetClassName() const {
	return "TEXTURE_DICTIONARY";
}

bool EFTextureDict::IsOwnedElsewhere() const {
	return this == &mTextureDict;
}

s32 EFTextureDict::LoadPropertiesBinary( DTBasePersistStream & stream ) {
	mui32BinaryLoads++;
	LoadTextureDictionary( stream, 0 );
	return 0;
}

s32 EFTextureDict::LoadPropertiesText( char *, DTBasePersistStream & stream ) {
	u32 unused = 0;
	if ( stream.LoadData( unused ) != DT_PERSIST_OK || stream.LoadData( unused ) != DT_PERSIST_OK ) {
		return 0;
	}
	char * const name = static_cast<char *>( MMCalloc( EF_TEXTURE_FILE_NAME_MAX + 1, 1 ) );
	if ( name == nullptr ) {
		return 0;
	}
	stream.LoadTextData( name, EF_TEXTURE_FILE_NAME_MAX );
	DTIOStream file;
	if ( file.OpenInputStream( name, DT_IO_STREAM_MODE_BINARY ) == DT_PERSIST_OK ) {
		// A binary file stream has no library bridge: nothing is read.
		LoadTextureDictionary( *file.GetInStream(), 0 );
		file.CloseAll();
	}
	MMFree( name );
	return 0;
}

s32 EFTextureDict::LoadTextureDictionary( DTBasePersistStream & stream, unsigned long ) {
	RwStream * const bridge = RwStreamConvert( &stream, stream.GetFileHandle() );
	if ( bridge == nullptr ) {
		return EF_TEXTURE_DICT_FAILED;
	}
	s32 result = 0;
	while ( result == 0 && RwStreamFindChunk( bridge, CHUNK_IMAGE, nullptr, nullptr ) ) {
		if ( ReadPicture( bridge, EF_PICTURE_DICTIONARY ) == nullptr ) {
			result = EF_TEXTURE_DICT_FAILED;
		}
	}
	// Closed on every path, so no library stream stays open.
	RwStreamCloseConvert( bridge, &stream );
	return result;
}

s32 EFTextureDict::LoadTexture( DTBasePersistStream & stream ) {
	RwStream * const bridge = RwStreamConvert( &stream, stream.GetFileHandle() );
	if ( bridge == nullptr ) {
		return EF_TEXTURE_DICT_FAILED;
	}
	const bool read = RwStreamFindChunk( bridge, CHUNK_IMAGE, nullptr, nullptr ) &&
					  ReadPicture( bridge, EF_PICTURE_SINGLE ) != nullptr;
	RwStreamCloseConvert( bridge, &stream );
	return read ? 0 : EF_TEXTURE_DICT_FAILED;
}

void EFTextureDict::Clear() {
	RwTexDictionary * const current = RwTexDictionaryGetCurrent();
	if ( current != nullptr ) {
		RwTexDictionaryDestroy( current );
		RwTexDictionarySetCurrent( RwTexDictionaryCreate() );
	}
}

RwTexture * EFTextureDict::GetTexture( const char * name ) const {
	RwTexDictionary * const current = RwTexDictionaryGetCurrent();
	if ( current == nullptr || name == nullptr ) {
		return nullptr;
	}
	return RwTexDictionaryFindNamedTexture( current, name );
}
