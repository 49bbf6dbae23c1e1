/*
===============================================================================

	Rasters of the console device driver.

	A raster's extension records its GX texture format, palette format and
	palette object, and its texel memory: every mip level in GX's tiled
	layout one after the other from a 32-byte aligned base, then the
	palette of 2^depth big-endian 16-bit entries. Camera and Z-buffer
	rasters have no memory: they stand for the embedded frame buffer.

	Locks hand out a linear buffer of the level (host-order 16- and 32-bit
	values, bytes at depths 4 and 8) and tile it back on unlock; a raw lock
	hands out the tiled texels themselves. A sub-raster locks through its
	parent's extension, its pointer offset inside the parent's level.

	Write locks and destruction wait for the raster's draw-sync token.

===============================================================================
*/
#ifndef RW_DL_RASTER_H
#define RW_DL_RASTER_H

#include "graphics3d/core/RwImage.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwTexture.h"
#include "platform/gx/GX.h"

struct RwDlRasterExt {
	GXTlutObj	tlut;
	u32			gxFormat;			// 255 until chosen
	u32			tlutFormat;			// 255 until chosen
	u32			flags;				// RWDL_RASTER_HAS_ALPHA
	void*		allocation;
	u8*			texels;				// 32-byte aligned, all levels
	u8*			palette;			// after the texels
	u8*			lockedTexels;		// the locked level's texels
	u8*			lockBuffer;			// linear buffer of a lock
	void*		texCacheRegion;		// null: invalidate all
	u16			token;				// draw-sync token of the last use
	u8			mipLevels;			// levels - 1; 255 = not set
	u8			lockedLevel;		// 255 = none
};

// The texture extension: the GX object and the state word.
struct RwDlTextureExt {
	GXTexObj	textureObject;
	u32			state;
};

constexpr u32 RWDL_RASTER_PLUGIN_ID		= 0x40C;
constexpr u32 RWDL_RASTER_HAS_ALPHA		= 0x1;
constexpr u8  RWDL_NOT_SET				= 255;
// Texture state word: LOD never set; texels preloaded.
constexpr u32 RWDL_TEXTURE_LOD_NOT_SET	= 0x1000000;
constexpr u32 RWDL_TEXTURE_PRELOADED	= 0x2000000;

// privateFlags of a raw lock.
constexpr u8  RWDL_RASTER_LOCKED_RAW	= 0x20;

// Pixel formats of the create flags.
constexpr u32 RWDL_FORMAT_DEFAULT	= 0x000;
constexpr u32 RWDL_FORMAT_1555		= 0x100;
constexpr u32 RWDL_FORMAT_565		= 0x200;
constexpr u32 RWDL_FORMAT_4444		= 0x300;
constexpr u32 RWDL_FORMAT_LUM8		= 0x400;
constexpr u32 RWDL_FORMAT_8888		= 0x500;
constexpr u32 RWDL_FORMAT_888		= 0x600;
constexpr u32 RWDL_FORMAT_16		= 0x700;
constexpr u32 RWDL_FORMAT_24		= 0x800;
constexpr u32 RWDL_FORMAT_32		= 0x900;
constexpr u32 RWDL_FORMAT_555		= 0xA00;

// Common error codes of the raster standards.
constexpr u32 RWDL_ERR_IMAGE_DEPTH		= 0x80000008;
constexpr u32 RWDL_ERR_BAD_DEPTH		= 0x8000000C;
constexpr u32 RWDL_ERR_BAD_FORMAT		= 0x8000000D;
constexpr u32 RWDL_ERR_CANNOT_LOCK		= 0x8000000E;
constexpr u32 RWDL_ERR_CANNOT_UNLOCK	= 0x80000011;
constexpr u32 RWDL_ERR_NO_MEMORY		= 0x80000013;

RwDlRasterExt*	_rwDlRasterExt( const RwRaster* raster );
RwDlTextureExt*	_rwDlTextureExt( const RwTexture* texture );

// Records {0, code} for a common code, {1, code} otherwise.
void	_rwDlSetError( u32 code );
// Records {1, 2} with a message.
void	_rwDlSetMessage( const char* message );

s32		_rwDlFindMSB( u32 value );
u32		DlRasterGetMipLevelSize( const RwRaster* raster, s32 level );
u32		_rwDlRasterGetSize( const RwRaster* raster );
u32		_rwDlRasterGetStride( const RwRaster* raster, s32 level );
bool	_rwDlTextureRasterCreate( RwRaster* raster, s32 levels );
// Chooses the GX format of a raster from its create flags; false when
// refused (the error recorded).
bool	DlGetRasterFormat( RwRaster* raster, u32 flags );

// Tiled <-> linear conversion of one level of width x height texels; the
// linear side has stride bytes per row. False for an unknown depth.
bool	DlRasterTile( u8* tiled, const u8* linear, s32 width, s32 height, s32 depth, s32 stride );
bool	DlRasterUntile( u8* linear, const u8* tiled, s32 width, s32 height, s32 depth, s32 stride );

// Standards.
bool	_rwDlRasterCreate( void* out, void* inOut, s32 inInt );
bool	_rwDlRasterDestroy( void* out, void* inOut, s32 inInt );
bool	_rwDlRasterLock( void* out, void* inOut, s32 inInt );
bool	_rwDlRasterUnlock( void* out, void* inOut, s32 inInt );
bool	_rwDlRasterLockPalette( void* out, void* inOut, s32 inInt );
bool	_rwDlRasterUnlockPalette( void* out, void* inOut, s32 inInt );
bool	_rwDlRasterSubRaster( void* out, void* inOut, s32 inInt );
bool	_rwDlRasterGetNumMipLevels( void* out, void* inOut, s32 inInt );
bool	_rwDlTextureSetRaster( void* out, void* inOut, s32 inInt );
bool	_rwDlRGBToPixel( void* out, void* inOut, s32 inInt );
bool	_rwDlPixelToRGB( void* out, void* inOut, s32 inInt );
bool	_rwDlImageGetFromRaster( void* out, void* inOut, s32 inInt );
bool	_rwDlRasterSetFromImage( void* out, void* inOut, s32 inInt );
bool	_rwDlImageFindRasterFormat( void* out, void* inOut, s32 inInt );

// Pixel converters by raster format (format flags, bits 8-11 used).
typedef u32		( *RwDlConvertFn )( const RwRGBA* colour );
typedef void	( *RwDlUnconvertFn )( RwRGBA* colour, u32 pixel );
RwDlConvertFn	_rwDlSelectConvertFn( u32 format );
RwDlUnconvertFn	_rwDlSelectUnconvertFn( u32 format );

bool	_rwDlRasterPluginAttach();
bool	_rwDlTexturePluginAttach();
void*	_rwDlTextureConst( void* object, s32 offset, s32 size );

#endif
