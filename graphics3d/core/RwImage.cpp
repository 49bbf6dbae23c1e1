#include "graphics3d/core/RwImage.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwFreeList.h"
#include "graphics3d/core/RwImageConvert.h"

#include "datatypes/base/DTFloatToInt.h"

#include <cmath>
#include <cstring>

RwModuleInfo		imageModule;
RwPluginRegistry	imageTKList = { static_cast<s32>( sizeof( RwImage ) ), static_cast<s32>( sizeof( RwImage ) ), 0, 0,
									nullptr, nullptr };

// Records of the two free lists while the module is open.
static RwFreeList imageFreeListRecord;
static RwFreeList imageFormatFreeListRecord;

// Index bits a 4-bit image's palette lookups use.
static const u8 NIBBLE_MASK = 0x0F;
// Largest block an image may take: the memory functions count in 32 bits.
static const u64 MAX_IMAGE_BYTES = 0xFFFFFFFFu;

RwImageGlobals* _rwImageGlobals() {
	RwGlobals* const instance = RwEngineInstance;
	if ( imageModule.numInstances <= 0 || instance == nullptr || instance == &staticGlobals ) {
		return nullptr;
	}
	return RwPluginData<RwImageGlobals>( instance, imageModule.globalsOffset );
}

static RwMemoryFunctions* Memory() {
	return &RwEngineInstance->memoryFunctions;
}

const RwRGBA* _rwImagePaletteColour( const RwImage* image, const u8 index ) {
	return &image->palette[image->depth == 4 ? ( index & NIBBLE_MASK ) : index];
}

RwImage* RwImageCreate( const s32 width, const s32 height, const s32 depth ) {
	RwImageGlobals* const globals = _rwImageGlobals();
	if ( globals == nullptr ) {
		return nullptr;
	}
	RwImage* const image = static_cast<RwImage*>( RwEngineInstance->freeListAllocHook( globals->imageFreeList ) );
	if ( image == nullptr ) {
		return nullptr;
	}
	image->flags = 0;
	image->width = width;
	image->height = height;
	image->depth = depth;
	image->stride = 0;
	image->cpPixels = nullptr;
	image->palette = nullptr;
	if ( _rwPluginRegistryInitObject( &imageTKList, image ) == nullptr ) {
		RwEngineInstance->freeListFreeHook( globals->imageFreeList, image );
		return nullptr;
	}
	return image;
}

bool RwImageDestroy( RwImage* image ) {
	RwImageFreePixels( image );
	_rwPluginRegistryDeInitObject( &imageTKList, image );
	RwImageGlobals* const globals = _rwImageGlobals();
	if ( globals != nullptr ) {
		RwEngineInstance->freeListFreeHook( globals->imageFreeList, image );
	}
	return true;
}

RwImage* RwImageAllocatePixels( RwImage* image ) {
	const u64 stride = ( ( static_cast<u64>( static_cast<u32>( image->depth ) ) + 7 ) / 8 *
						 static_cast<u64>( static_cast<u32>( image->width ) ) + 3 ) & ~static_cast<u64>( 3 );
	const bool palettised = image->depth == 4 || image->depth == 8;
	const u64 paletteBytes = palettised ? ( static_cast<u64>( 1 ) << image->depth ) * sizeof( RwRGBA ) : 0;
	const u64 bytes = stride * static_cast<u64>( static_cast<u32>( image->height ) ) + paletteBytes;
	const bool sane = image->width > 0 && image->height > 0 && image->depth > 0 && stride <= 0x7FFFFFFF;
	u8* const block = sane && bytes <= MAX_IMAGE_BYTES ? static_cast<u8*>( Memory()->rwmalloc( static_cast<u32>( bytes ) ) )
													   : nullptr;
	if ( block == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, bytes ) );
		return nullptr;
	}
	image->stride = static_cast<s32>( stride );
	image->cpPixels = block;
	image->palette = palettised ? reinterpret_cast<RwRGBA*>( block + stride * static_cast<u32>( image->height ) ) : nullptr;
	image->flags |= rwIMAGEALLOCATED;
	return image;
}

RwImage* RwImageFreePixels( RwImage* image ) {
	if ( ( image->flags & rwIMAGEALLOCATED ) && image->cpPixels != nullptr ) {
		Memory()->rwfree( image->cpPixels );
	}
	image->cpPixels = nullptr;
	image->palette = nullptr;
	image->flags &= ~rwIMAGEALLOCATED;
	return image;
}

// 0.5 + 255 x x^power, kept within a byte whatever the power (a gamma of
// 0 or below gives infinite or negative powers).
static u8 GammaEntry( const f64 x, const f64 power ) {
	const u32 value = DTFloatToU32( 0.5 + 255.0 * std::pow( x, power ) );
	return static_cast<u8>( value > 255 ? 255 : value );
}

bool RwImageSetGamma( const f32 gammaValue ) {
	RwImageGlobals* const globals = _rwImageGlobals();
	if ( globals == nullptr ) {
		return true;
	}
	globals->gammaVal = gammaValue;
	globals->gammaTable[0] = 0;
	globals->invGammaTable[0] = 0;
	const f64 gamma = gammaValue;
	for ( s32 i = 1; i < RWIMAGE_GAMMA_ENTRIES; i++ ) {
		const f64 x = static_cast<f64>( i ) / 255.0;
		globals->gammaTable[i] = GammaEntry( x, 1.0 / gamma );
		globals->invGammaTable[i] = GammaEntry( x, gamma );
	}
	return true;
}

static void CorrectColour( RwRGBA* colour, const u8* table ) {
	colour->red = table[colour->red];
	colour->green = table[colour->green];
	colour->blue = table[colour->blue];
}

RwImage* RwImageGammaCorrect( RwImage* image ) {
	RwImageGlobals* const globals = _rwImageGlobals();
	if ( globals == nullptr ) {
		return nullptr;
	}
	if ( image->depth != 4 && image->depth != 8 && image->depth != 32 ) {
		_rwErrorSetCore( _rwerror( RWERR_IMAGE_DEPTH ) );
		return nullptr;
	}
	if ( image->cpPixels == nullptr || ( image->depth != 32 && image->palette == nullptr ) ) {
		_rwErrorSetCore( _rwerror( RWERR_NULL_ARGUMENT ) );
		return nullptr;
	}
	if ( image->depth == 32 ) {
		for ( s32 y = 0; y < image->height; y++ ) {
			RwRGBA* const row = reinterpret_cast<RwRGBA*>( image->cpPixels + static_cast<size_t>( y ) * image->stride );
			for ( s32 x = 0; x < image->width; x++ ) {
				CorrectColour( &row[x], globals->gammaTable );
			}
		}
	} else {
		const s32 entries = 1 << image->depth;
		for ( s32 i = 0; i < entries; i++ ) {
			CorrectColour( &image->palette[i], globals->gammaTable );
		}
	}
	return image;
}

static void MakeMaskColour( RwRGBA* colour ) {
	u8 largest = colour->red > colour->green ? colour->red : colour->green;
	largest = largest > colour->blue ? largest : colour->blue;
	colour->alpha = largest;
}

RwImage* RwImageMakeMask( RwImage* image ) {
	if ( image->depth == 32 && image->cpPixels != nullptr ) {
		for ( s32 y = 0; y < image->height; y++ ) {
			RwRGBA* const row = reinterpret_cast<RwRGBA*>( image->cpPixels + static_cast<size_t>( y ) * image->stride );
			for ( s32 x = 0; x < image->width; x++ ) {
				MakeMaskColour( &row[x] );
			}
		}
	} else if ( ( image->depth == 4 || image->depth == 8 ) && image->palette != nullptr ) {
		const s32 entries = 1 << image->depth;
		for ( s32 i = 0; i < entries; i++ ) {
			MakeMaskColour( &image->palette[i] );
		}
	}
	return image;
}

// Replaces a palettised image's pixels by 32-bit ones of the same colours.
static bool ExpandTo32( RwImage* image ) {
	RwImage* const expanded = RwImageCreate( image->width, image->height, 32 );
	if ( expanded == nullptr ) {
		return false;
	}
	bool done = RwImageAllocatePixels( expanded ) != nullptr && RwImageCopy( expanded, image ) != nullptr;
	if ( done ) {
		RwImageFreePixels( image );
		image->depth = 32;
		done = RwImageAllocatePixels( image ) != nullptr && RwImageCopy( image, expanded ) != nullptr;
	}
	RwImageDestroy( expanded );
	return done;
}

static u8 MaskAlpha( const RwImage* mask, const u8* maskRow, const s32 x ) {
	if ( mask->depth == 32 ) {
		return reinterpret_cast<const RwRGBA*>( maskRow )[x].alpha;
	}
	return _rwImagePaletteColour( mask, maskRow[x] )->alpha;
}

RwImage* RwImageApplyMask( RwImage* image, const RwImage* mask ) {
	if ( image->width != mask->width || image->height != mask->height ) {
		_rwErrorSetCore( _rwerror( RWERR_IMAGE_SIZE ) );
		return nullptr;
	}
	if ( image->depth != 4 && image->depth != 8 && image->depth != 32 ) {
		_rwErrorSetCore( _rwerror( RWERR_IMAGE_FORMAT ) );
		return nullptr;
	}
	if ( image->cpPixels == nullptr || mask->cpPixels == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NULL_ARGUMENT ) );
		return nullptr;
	}
	if ( image->depth != 32 && !ExpandTo32( image ) ) {
		return nullptr;
	}
	const bool maskReadable = mask->depth == 32 || ( ( mask->depth == 4 || mask->depth == 8 ) && mask->palette != nullptr );
	if ( !maskReadable ) {
		return image;
	}
	for ( s32 y = 0; y < image->height; y++ ) {
		RwRGBA* const row = reinterpret_cast<RwRGBA*>( image->cpPixels + static_cast<size_t>( y ) * image->stride );
		const u8* const maskRow = mask->cpPixels + static_cast<size_t>( y ) * mask->stride;
		for ( s32 x = 0; x < image->width; x++ ) {
			row[x].alpha = MaskAlpha( mask, maskRow, x );
		}
	}
	return image;
}

// Copies text into a field of RWIMAGE_EXTENSION_LENGTH characters; false
// when it does not fit.
static bool StoreExtension( char* field, const char* text ) {
	const char* const source = text != nullptr ? text : "";
	const size_t length = std::strlen( source );
	if ( length >= static_cast<size_t>( RWIMAGE_EXTENSION_LENGTH ) ) {
		return false;
	}
	std::memcpy( field, source, length + 1 );
	return true;
}

bool RwImageRegisterImageFormat( const char* lcExtension, const char* ucExtension, const RwImageCallBackRead imageRead,
								 const RwImageCallBackWrite imageWrite ) {
	RwImageGlobals* const globals = _rwImageGlobals();
	if ( globals == nullptr ) {
		return false;
	}
	RwImageFormat* const format =
		static_cast<RwImageFormat*>( RwEngineInstance->freeListAllocHook( globals->imageFormatFreeList ) );
	if ( format == nullptr ) {
		return false;
	}
	if ( !StoreExtension( format->lcExtension, lcExtension ) || !StoreExtension( format->ucExtension, ucExtension ) ) {
		RwEngineInstance->freeListFreeHook( globals->imageFormatFreeList, format );
		return false;
	}
	format->imageRead = imageRead;
	format->imageWrite = imageWrite;
	format->nextFormat = nullptr;
	RwImageFormat** tail = &globals->imageFormats;
	while ( *tail != nullptr ) {
		tail = &( *tail )->nextFormat;
	}
	*tail = format;
	return true;
}

const char* RwImageSetPath( const char* path ) {
	RwImageGlobals* const globals = _rwImageGlobals();
	if ( globals == nullptr ) {
		return nullptr;
	}
	const char* const source = path != nullptr ? path : "";
	const size_t length = std::strlen( source );
	if ( length + 1 > static_cast<size_t>( globals->imagePathSize ) ) {
		if ( length + 1 > MAX_IMAGE_BYTES / 2 ) {
			return nullptr;
		}
		char* const grown = static_cast<char*>( Memory()->rwrealloc( globals->imagePath, static_cast<u32>( length + 1 ) ) );
		if ( grown == nullptr ) {
			_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, length + 1 ) );
			return nullptr;
		}
		globals->imagePath = grown;
		globals->imagePathSize = static_cast<s32>( length + 1 );
	}
	std::memcpy( globals->imagePath, source, length + 1 );
	return globals->imagePath;
}

static void ReleaseGlobals( RwImageGlobals* globals ) {
	if ( globals->scratchMem != nullptr ) {
		Memory()->rwfree( globals->scratchMem );
	}
	if ( globals->imagePath != nullptr ) {
		Memory()->rwfree( globals->imagePath );
	}
	RwImageFormat* format = globals->imageFormats;
	while ( format != nullptr ) {
		RwImageFormat* const next = format->nextFormat;
		RwEngineInstance->freeListFreeHook( globals->imageFormatFreeList, format );
		format = next;
	}
	if ( globals->imageFormatFreeList != nullptr ) {
		RwFreeListDestroy( globals->imageFormatFreeList );
	}
	if ( globals->imageFreeList != nullptr ) {
		RwFreeListDestroy( globals->imageFreeList );
	}
	std::memset( globals, 0, sizeof( *globals ) );
}

void* _rwImageOpen( void* instance, const s32 offset, s32 ) {
	RwImageGlobals* const globals = RwPluginData<RwImageGlobals>( instance, offset );
	std::memset( globals, 0, sizeof( *globals ) );
	RwMemoryFunctions* const memory = &static_cast<RwGlobals*>( instance )->memoryFunctions;
	globals->imageFreeList = RwFreeListCreateAndPreallocateSpace( imageTKList.sizeOfStruct, RWIMAGE_ENTRIES_PER_BLOCK, 4, 1,
																  &imageFreeListRecord );
	globals->imageFormatFreeList = RwFreeListCreateAndPreallocateSpace(
		static_cast<s32>( sizeof( RwImageFormat ) ), RWIMAGE_ENTRIES_PER_BLOCK, 4, 1, &imageFormatFreeListRecord );
	globals->imagePath = static_cast<char*>( memory->rwmalloc( RWIMAGE_PATH_BYTES ) );
	globals->scratchMem = static_cast<char*>( memory->rwmalloc( RWIMAGE_PATH_BYTES ) );
	if ( globals->imageFreeList == nullptr || globals->imageFormatFreeList == nullptr || globals->imagePath == nullptr ||
		 globals->scratchMem == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, RWIMAGE_PATH_BYTES ) );
		ReleaseGlobals( globals );
		return nullptr;
	}
	globals->imagePath[0] = '\0';
	globals->imagePathSize = RWIMAGE_PATH_BYTES;
	globals->scratchMem[0] = '\0';
	globals->scratchMemSize = RWIMAGE_PATH_BYTES;
	imageModule.globalsOffset = offset;
	imageModule.numInstances++;
	RwImageSetGamma( 1.0f );
	return instance;
}

void* _rwImageClose( void* instance, const s32 offset, s32 ) {
	if ( imageModule.numInstances <= 0 ) {
		return instance;
	}
	ReleaseGlobals( RwPluginData<RwImageGlobals>( instance, offset ) );
	imageModule.numInstances--;
	return instance;
}
