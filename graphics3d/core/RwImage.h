/*
===============================================================================

	Images of the 3D library.

	An image is a device-independent picture in system memory: 4-bit or
	8-bit palettised (one palette index per byte, a 4-bit image too), or
	32-bit RwRGBA pixels. Rows are stride bytes apart, the stride being
	((depth + 7) / 8) x width rounded up to 4; for depths 4 and 8 the
	palette of 2^depth colours follows the pixels in the same block. An
	image owns that block when its flags have 0x1; 0x2 says its pixels
	are gamma-corrected.

	Palette lookups of a 4-bit image use the low nibble of the index byte,
	so a byte above 15 (from a file) stays within the 16 entries.

	The module keeps the gamma tables (RwImageSetGamma), the image search
	path and its full-name buffer, and the list of registered file formats
	(RwImageRead.h). The core registers no format; the engine or a tool
	adds readers and writers with RwImageRegisterImageFormat.

	Images come from the image free list (128 a block); plug-ins extend
	them through imageTKList.

===============================================================================
*/
#ifndef RW_IMAGE_H
#define RW_IMAGE_H

#include "graphics3d/core/RwPlugin.h"
#include "graphics3d/core/RwRGBA.h"

struct RwFreeList;

struct RwImage {
	s32		flags;		// RWIMAGE_* bits
	s32		width;
	s32		height;
	s32		depth;		// 4, 8 or 32
	s32		stride;		// bytes per row
	u8*		cpPixels;
	RwRGBA*	palette;	// null for 32-bit images
};

// Flag bits of RwImage.
constexpr s32 rwIMAGEALLOCATED			= 0x1;	// owns its pixel and palette memory
constexpr s32 rwIMAGEGAMMACORRECTED		= 0x2;

typedef RwImage* ( *RwImageCallBackRead )( const char* imageName );
typedef RwImage* ( *RwImageCallBackWrite )( RwImage* image, const char* imageName );

// Characters of an extension, its dot and terminator included.
constexpr s32 RWIMAGE_EXTENSION_LENGTH	= 20;

// One registered file format.
struct RwImageFormat {
	char					lcExtension[RWIMAGE_EXTENSION_LENGTH];	// with its dot
	char					ucExtension[RWIMAGE_EXTENSION_LENGTH];
	RwImageCallBackRead		imageRead;
	RwImageCallBackWrite	imageWrite;
	RwImageFormat*			nextFormat;
};

// Entries of a gamma table.
constexpr s32 RWIMAGE_GAMMA_ENTRIES		= 256;
// Bytes the path and the full-name buffer start with.
constexpr s32 RWIMAGE_PATH_BYTES		= 256;
// Entries per block of the image and image-format free lists.
constexpr s32 RWIMAGE_ENTRIES_PER_BLOCK	= 128;

// The module's globals in the engine instance.
struct RwImageGlobals {
	RwFreeList*		imageFreeList;
	char*			imagePath;			// search path, elements separated by ';'
	s32				imagePathSize;		// bytes allocated
	u8				gammaTable[RWIMAGE_GAMMA_ENTRIES];
	u8				invGammaTable[RWIMAGE_GAMMA_ENTRIES];
	f32				gammaVal;
	char*			scratchMem;			// the full-name buffer
	s32				scratchMemSize;
	RwFreeList*		imageFormatFreeList;
	RwImageFormat*	imageFormats;		// in registration order
};

extern RwModuleInfo		imageModule;
extern RwPluginRegistry	imageTKList;

// An image without pixels, or null.
RwImage*	RwImageCreate( s32 width, s32 height, s32 depth );
// Frees owned pixels first. True.
bool		RwImageDestroy( RwImage* image );
// Pixels (and palette for depths 4 and 8) in one owned block; null with
// 0x80000013 when the size is not positive or cannot be allocated.
RwImage*	RwImageAllocatePixels( RwImage* image );
RwImage*	RwImageFreePixels( RwImage* image );

// Fills both gamma tables for gamma g (entry i of the table is
// 0.5 + 255 x (i / 255)^(1/g), of the inverse table the same with ^g).
// True.
bool		RwImageSetGamma( f32 gammaValue );
// Colour channels through the gamma table: every pixel of a 32-bit image,
// every palette entry of a 4- or 8-bit one.
RwImage*	RwImageGammaCorrect( RwImage* image );

// Alpha = the largest of red, green and blue, per pixel or palette entry.
RwImage*	RwImageMakeMask( RwImage* image );
// Takes each pixel's alpha from the mask (of the same size); a 4- or
// 8-bit image becomes a 32-bit one first.
RwImage*	RwImageApplyMask( RwImage* image, const RwImage* mask );

// The colour of index in a palettised image's palette.
const RwRGBA*	_rwImagePaletteColour( const RwImage* image, u8 index );

// Appends a file format; extensions carry their dot and must fit in 20
// characters with the terminator. False when refused.
bool		RwImageRegisterImageFormat( const char* lcExtension, const char* ucExtension,
										RwImageCallBackRead imageRead, RwImageCallBackWrite imageWrite );
// Sets the search path (elements separated by ';', each with its own
// trailing separator). Null when it cannot be stored.
const char*	RwImageSetPath( const char* path );

// The module's globals while it is open, else null.
RwImageGlobals*	_rwImageGlobals();

// Engine plug-in open and close.
void*		_rwImageOpen( void* instance, s32 offset, s32 size );
void*		_rwImageClose( void* instance, s32 offset, s32 size );

#endif
