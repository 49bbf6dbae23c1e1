// Pixel conversions of the console device driver and the exchange
// between images and rasters.
//
// Palettes are 16-bit big-endian entries in the GPU's memory; linear lock
// buffers hold host-order 16- and 32-bit values, bytes at depths 4 and 8
// (two 4-bit texels a byte, high nibble first).

#include "graphics3d/gamecube/RwDlRaster.h"

#include "datatypes/base/DTByteOrder.h"
#include "graphics3d/core/RwPalQuant.h"
#include "graphics3d/gamecube/RwDlDriver.h"

#include <cstring>

namespace {

constexpr u32 OPAQUE_BIT		= 0x8000;
constexpr u8  OPAQUE			= 255;
constexpr s32 LOCK_READ			= 0x2;
constexpr s32 LOCK_WRITE_NEW	= 0x5;
constexpr s32 MAX_TEXTURE_SIDE	= 1024;
constexpr u32 MIPMAP_FLAGS		= rwRASTERFORMATMIPMAP | rwRASTERFORMATAUTOMIPMAP;
constexpr f32 QUANTISER_WEIGHT	= 1.0f;

u32 Convert565( const RwRGBA* c ) {
	return ( ( c->red << 8 ) & 0xF800 ) | ( ( c->green << 3 ) & 0x7E0 ) | ( c->blue >> 3 );
}

u32 Convert555( const RwRGBA* c ) {
	return OPAQUE_BIT | ( c->red >> 3 ) << 10 | ( c->green >> 3 ) << 5 | ( c->blue >> 3 );
}

// GX RGB5A3: opaque colours as 555 with the top bit, others as 3444.
u32 ConvertRGB5A3( const RwRGBA* c ) {
	if ( c->alpha == OPAQUE ) {
		return Convert555( c );
	}
	return ( c->alpha >> 5 ) << 12 | ( c->red >> 4 ) << 8 | ( c->green >> 4 ) << 4 | ( c->blue >> 4 );
}

u32 Convert888( const RwRGBA* c ) {
	return 0xFF000000u | static_cast<u32>( c->red ) << 16 | static_cast<u32>( c->green ) << 8 | c->blue;
}

u32 Convert8888( const RwRGBA* c ) {
	return static_cast<u32>( c->alpha ) << 24 | static_cast<u32>( c->red ) << 16 | static_cast<u32>( c->green ) << 8 |
		   c->blue;
}

void Unconvert565( RwRGBA* c, const u32 p ) {
	*c = { static_cast<u8>( ( p >> 8 ) & 0xF8 ), static_cast<u8>( ( p >> 3 ) & 0xFC ), static_cast<u8>( ( p << 3 ) & 0xF8 ),
		   OPAQUE };
}

void Unconvert555( RwRGBA* c, const u32 p ) {
	*c = { static_cast<u8>( ( p >> 7 ) & 0xF8 ), static_cast<u8>( ( p >> 2 ) & 0xF8 ), static_cast<u8>( ( p << 3 ) & 0xF8 ),
		   OPAQUE };
}

void Unconvert3444( RwRGBA* c, const u32 p, const u8 alpha ) {
	*c = { static_cast<u8>( ( ( p >> 8 ) & 0xF ) << 4 ), static_cast<u8>( ( ( p >> 4 ) & 0xF ) << 4 ),
		   static_cast<u8>( ( p & 0xF ) << 4 ), alpha };
}

void Unconvert1555( RwRGBA* c, const u32 p ) {
	if ( p & OPAQUE_BIT ) {
		Unconvert555( c, p );
	} else {
		Unconvert3444( c, p, 0 );
	}
}

// Alpha in steps of 32, 0 to 224.
void Unconvert4444( RwRGBA* c, const u32 p ) {
	if ( p & OPAQUE_BIT ) {
		Unconvert555( c, p );
	} else {
		Unconvert3444( c, p, static_cast<u8>( ( ( p >> 12 ) & 0x7 ) << 5 ) );
	}
}

void Unconvert888( RwRGBA* c, const u32 p ) {
	*c = { static_cast<u8>( p >> 16 ), static_cast<u8>( p >> 8 ), static_cast<u8>( p ), OPAQUE };
}

void Unconvert8888( RwRGBA* c, const u32 p ) {
	*c = { static_cast<u8>( p >> 16 ), static_cast<u8>( p >> 8 ), static_cast<u8>( p ), static_cast<u8>( p >> 24 ) };
}

u8 Nibble( const u8* row, const s32 x ) {
	const u8 byte = row[x / 2];
	return ( x & 1 ) ? byte & 0xF : byte >> 4;
}

void SetNibble( u8* row, const s32 x, const u8 value ) {
	u8& byte = row[x / 2];
	byte = ( x & 1 ) ? static_cast<u8>( ( byte & 0xF0 ) | ( value & 0xF ) )
					 : static_cast<u8>( ( byte & 0x0F ) | ( value << 4 ) );
}

u32 ReadTexel( const u8* row, const s32 x, const s32 depth ) {
	switch ( depth ) {
		case 4: return Nibble( row, x );
		case 8: return row[x];
		case 16: { u16 v; std::memcpy( &v, row + x * 2, 2 ); return v; }
		default: { u32 v; std::memcpy( &v, row + x * 4, 4 ); return v; }
	}
}

void WriteTexel( u8* row, const s32 x, const s32 depth, const u32 value ) {
	switch ( depth ) {
		case 4: SetNibble( row, x, static_cast<u8>( value ) ); break;
		case 8: row[x] = static_cast<u8>( value ); break;
		case 16: { const u16 v = static_cast<u16>( value ); std::memcpy( row + x * 2, &v, 2 ); break; }
		default: std::memcpy( row + x * 4, &value, 4 ); break;
	}
}

s32 Min( const s32 a, const s32 b ) {
	return a < b ? a : b;
}

// The RGBA colour of an image pixel.
RwRGBA ImageColour( const RwImage* image, const s32 x, const s32 y ) {
	const u8* const row = image->cpPixels + y * image->stride;
	if ( image->depth == 32 ) {
		RwRGBA c;
		std::memcpy( &c, row + x * 4, 4 );
		return c;
	}
	return *_rwImagePaletteColour( image, row[x] );
}

// Locks level 0 and the palette of a raster unless already locked, and
// unlocks only what it locked.
struct RasterAccess {
	RwRaster*	raster;
	u8*			pixels;
	u8*			palette;
	bool		lockedPixels;
	bool		lockedPalette;

	bool Open( RwRaster* r, const s32 mode ) {
		raster = r;
		pixels = r->cpPixels;
		palette = r->palette;
		lockedPixels = false;
		lockedPalette = false;
		if ( ( r->privateFlags & ( rwRASTERPIXELLOCKEDREAD | rwRASTERPIXELLOCKEDWRITE ) ) == 0 ) {
			if ( !_rwDlRasterLock( &pixels, r, mode ) ) {
				return false;
			}
			lockedPixels = true;
		}
		const bool palettised = ( r->cFormat << 8 ) & ( rwRASTERFORMATPAL4 | rwRASTERFORMATPAL8 );
		if ( palettised && ( r->privateFlags & ( rwRASTERPALETTELOCKEDREAD | rwRASTERPALETTELOCKEDWRITE ) ) == 0 ) {
			_rwDlRasterLockPalette( &palette, r, mode & 0x3 );
			lockedPalette = true;
		}
		return true;
	}

	void Close() {
		if ( lockedPalette ) {
			_rwDlRasterUnlockPalette( nullptr, raster, 0 );
		}
		if ( lockedPixels ) {
			_rwDlRasterUnlock( nullptr, raster, 0 );
		}
	}
};

// A temporary palettised copy of an image, its colours reduced by the
// core's quantiser to 2^depth.
RwImage* Quantise( const RwImage* image, const s32 depth ) {
	RwPalQuant pq;
	if ( !_rwPalQuantInit( &pq ) ) {
		return nullptr;
	}
	RwImage* result = nullptr;
	RwRGBA palette[RWPALQUANT_MAX_COLOURS] = {};
	if ( _rwPalQuantAddImage( &pq, image, QUANTISER_WEIGHT ) ) {
		_rwPalQuantResolvePalette( palette, 1 << depth, &pq );
		result = RwImageCreate( image->width, image->height, depth );
		if ( result != nullptr && RwImageAllocatePixels( result ) == nullptr ) {
			RwImageDestroy( result );
			result = nullptr;
		}
		if ( result != nullptr ) {
			_rwPalQuantMatchImage( result->cpPixels, result->stride, depth, 0, &pq, image );
			std::memcpy( result->palette, palette, sizeof( RwRGBA ) << depth );
		}
	}
	_rwPalQuantTerm( &pq );
	return result;
}

// Writes a palettised image's palette and indices into a palettised
// raster of depth 4 or 8.
void WriteIndexed( const RasterAccess& access, const RwImage* image, const RwDlConvertFn convert ) {
	RwRaster* const raster = access.raster;
	if ( access.palette != nullptr ) {
		const s32 entries = Min( 1 << image->depth, 1 << raster->depth );
		for ( s32 i = 0; i < entries; i++ ) {
			DTWriteBE16( access.palette + i * 2, static_cast<u16>( convert( &image->palette[i] ) ) );
		}
	}
	const s32 w = Min( image->width, raster->width );
	const s32 h = Min( image->height, raster->height );
	const u8 mask = static_cast<u8>( ( 1u << raster->depth ) - 1 );
	for ( s32 y = 0; y < h; y++ ) {
		const u8* const src = image->cpPixels + y * image->stride;
		u8* const dst = access.pixels + y * raster->stride;
		for ( s32 x = 0; x < w; x++ ) {
			WriteTexel( dst, x, raster->depth, src[x] & mask );
		}
	}
}

bool WriteFromImage( const RasterAccess& access, const RwImage* image ) {
	RwRaster* const raster = access.raster;
	const RwDlConvertFn convert = _rwDlSelectConvertFn( static_cast<u32>( raster->cFormat ) << 8 );
	if ( convert == nullptr ) {
		return false;
	}
	if ( raster->depth == 4 || raster->depth == 8 ) {
		if ( image->depth == 32 || ( image->depth == 8 && raster->depth == 4 ) ) {
			RwImage* const reduced = Quantise( image, raster->depth );
			if ( reduced == nullptr ) {
				return false;
			}
			WriteIndexed( access, reduced, convert );
			RwImageDestroy( reduced );
			return true;
		}
		WriteIndexed( access, image, convert );
		return true;
	}
	if ( raster->depth != 16 && raster->depth != 32 ) {
		_rwDlSetError( RWDL_ERR_BAD_DEPTH );
		return false;
	}
	if ( image->depth != 4 && image->depth != 8 && image->depth != 32 ) {
		_rwDlSetError( RWDL_ERR_IMAGE_DEPTH );
		return false;
	}
	u32 converted[256] = {};
	if ( image->depth != 32 ) {
		for ( s32 i = 0; i < ( 1 << image->depth ); i++ ) {
			converted[i] = convert( &image->palette[i] );
		}
	}
	const s32 w = Min( image->width, raster->width );
	const s32 h = Min( image->height, raster->height );
	for ( s32 y = 0; y < h; y++ ) {
		u8* const dst = access.pixels + y * raster->stride;
		for ( s32 x = 0; x < w; x++ ) {
			u32 value;
			if ( image->depth == 32 ) {
				const RwRGBA c = ImageColour( image, x, y );
				value = convert( &c );
			} else {
				value = converted[image->cpPixels[y * image->stride + x] & ( ( 1 << image->depth ) - 1 )];
			}
			WriteTexel( dst, x, raster->depth, value );
		}
	}
	return true;
}

bool ReadIntoImage( const RasterAccess& access, RwImage* image ) {
	RwRaster* const raster = access.raster;
	const s32 depth = raster->depth;
	const RwDlUnconvertFn unconvert = _rwDlSelectUnconvertFn( static_cast<u32>( raster->cFormat ) << 8 );
	if ( unconvert == nullptr ) {
		return false;
	}
	RwRGBA palette[256] = {};
	const bool indexed = depth == 4 || depth == 8;
	if ( indexed && access.palette != nullptr ) {
		for ( s32 i = 0; i < ( 1 << depth ); i++ ) {
			unconvert( &palette[i], DTReadBE16( access.palette + i * 2 ) );
		}
	}
	if ( image->depth == 4 && depth != 4 ) {
		_rwDlSetMessage( "Conversion from 8/16/32bit rasters to 4bit images is not supported" );
		return false;
	}
	if ( image->depth == 8 && !indexed ) {
		_rwDlSetMessage( "Conversion from 16/32bit rasters to 8bit images is not supported" );
		return false;
	}
	if ( image->depth != 4 && image->depth != 8 && image->depth != 32 ) {
		_rwDlSetError( RWDL_ERR_IMAGE_DEPTH );
		return false;
	}
	if ( image->depth != 32 && image->palette != nullptr ) {
		std::memcpy( image->palette, palette, sizeof( RwRGBA ) << depth );
	}
	const s32 w = Min( image->width, raster->width );
	const s32 h = Min( image->height, raster->height );
	for ( s32 y = 0; y < h; y++ ) {
		const u8* const src = access.pixels + y * raster->stride;
		u8* const dst = image->cpPixels + y * image->stride;
		for ( s32 x = 0; x < w; x++ ) {
			const u32 texel = ReadTexel( src, x, depth );
			if ( image->depth != 32 ) {
				dst[x] = static_cast<u8>( texel );
				continue;
			}
			RwRGBA c;
			if ( indexed ) {
				c = palette[texel];
			} else {
				unconvert( &c, texel );
			}
			std::memcpy( dst + x * 4, &c, 4 );
		}
	}
	return true;
}

s32 LargestPowerOfTwo( const s32 value ) {
	const s32 msb = _rwDlFindMSB( static_cast<u32>( value > 0 ? value : 0 ) );
	return msb < 0 ? 0 : 1 << msb;
}

}	// namespace

RwDlConvertFn _rwDlSelectConvertFn( const u32 format ) {
	switch ( format & rwRASTERFORMATPIXELFORMATMASK ) {
		case RWDL_FORMAT_DEFAULT:
		case RWDL_FORMAT_565:	return Convert565;
		case RWDL_FORMAT_1555:
		case RWDL_FORMAT_4444:	return ConvertRGB5A3;
		case RWDL_FORMAT_555:	return Convert555;
		case RWDL_FORMAT_888:	return Convert888;
		case RWDL_FORMAT_8888:	return Convert8888;
		case RWDL_FORMAT_LUM8:
			_rwDlSetMessage( "rwRASTERFORMATLUM8 not yet supported" );
			return nullptr;
		default:
			_rwDlSetError( RWDL_ERR_BAD_FORMAT );
			return nullptr;
	}
}

RwDlUnconvertFn _rwDlSelectUnconvertFn( const u32 format ) {
	switch ( format & rwRASTERFORMATPIXELFORMATMASK ) {
		case RWDL_FORMAT_DEFAULT:
		case RWDL_FORMAT_565:	return Unconvert565;
		case RWDL_FORMAT_1555:	return Unconvert1555;
		case RWDL_FORMAT_4444:	return Unconvert4444;
		case RWDL_FORMAT_555:	return Unconvert555;
		case RWDL_FORMAT_888:	return Unconvert888;
		case RWDL_FORMAT_8888:	return Unconvert8888;
		case RWDL_FORMAT_LUM8:
			_rwDlSetMessage( "rwRASTERFORMATLUM8 not yet supported" );
			return nullptr;
		default:
			_rwDlSetError( RWDL_ERR_BAD_FORMAT );
			return nullptr;
	}
}

bool _rwDlRGBToPixel( void* out, void* inOut, const s32 inInt ) {
	const RwDlConvertFn convert = _rwDlSelectConvertFn( static_cast<u32>( inInt ) );
	if ( convert == nullptr ) {
		return false;
	}
	*static_cast<u32*>( out ) = convert( static_cast<const RwRGBA*>( inOut ) );
	return true;
}

bool _rwDlPixelToRGB( void* out, void* inOut, const s32 inInt ) {
	const RwDlUnconvertFn unconvert = _rwDlSelectUnconvertFn( static_cast<u32>( inInt ) );
	if ( unconvert == nullptr ) {
		return false;
	}
	unconvert( static_cast<RwRGBA*>( out ), *static_cast<const u32*>( inOut ) );
	return true;
}

bool _rwDlImageGetFromRaster( void* out, void* inOut, s32 ) {
	RwImage* const image = static_cast<RwImage*>( out );
	RasterAccess access;
	if ( !access.Open( static_cast<RwRaster*>( inOut ), LOCK_READ ) ) {
		return false;
	}
	const bool read = ReadIntoImage( access, image );
	access.Close();
	return read;
}

bool _rwDlRasterSetFromImage( void* out, void* inOut, s32 ) {
	RwRaster* const raster = static_cast<RwRaster*>( out );
	const RwImage* const image = static_cast<const RwImage*>( inOut );
	if ( raster->depth == 24 ) {
		_rwDlSetError( RWDL_ERR_BAD_DEPTH );
		return false;
	}
	RasterAccess access;
	if ( !access.Open( raster, LOCK_WRITE_NEW ) ) {
		return false;
	}
	const bool written = WriteFromImage( access, image );
	access.Close();
	return written;
}

bool _rwDlImageFindRasterFormat( void* out, void* inOut, const s32 inInt ) {
	RwRaster* const raster = static_cast<RwRaster*>( out );
	const RwImage* const image = static_cast<const RwImage*>( inOut );
	const u8 type = static_cast<u8>( inInt & rwRASTERTYPEMASK );
	if ( type == 3 || type > rwRASTERTYPECAMERATEXTURE ) {
		_rwDlSetError( RWDL_ERR_BAD_FORMAT );
		return false;
	}
	raster->cType = type;
	if ( type == rwRASTERTYPEZBUFFER || type == rwRASTERTYPECAMERA ) {
		raster->width = image->width;
		raster->height = image->height;
		raster->cFormat = 0;
		return true;
	}
	s32 width = Min( image->width, MAX_TEXTURE_SIDE );
	s32 height = Min( image->height, MAX_TEXTURE_SIDE );
	if ( inInt & rwRASTERFORMATMIPMAP ) {
		width = LargestPowerOfTwo( width );
		height = LargestPowerOfTwo( height );
	}
	// The first alpha strictly between opaque and nearly transparent needs
	// the 3-bit alpha form; any other non-opaque one a 1-bit alpha.
	u32 format = RWDL_FORMAT_565;
	bool translucent = false;
	const s32 rows = image->cpPixels != nullptr ? image->height : 0;
	for ( s32 y = 0; y < rows && format != RWDL_FORMAT_4444; y++ ) {
		for ( s32 x = 0; x < image->width; x++ ) {
			const u8 alpha = ImageColour( image, x, y ).alpha;
			if ( alpha >= 16 && alpha <= 254 ) {
				format = RWDL_FORMAT_4444;
				break;
			}
			translucent = translucent || alpha < OPAQUE;
		}
	}
	if ( format != RWDL_FORMAT_4444 && translucent ) {
		format = RWDL_FORMAT_1555;
	}
	if ( image->depth == 4 ) {
		format |= rwRASTERFORMATPAL4;
	} else if ( image->depth == 8 ) {
		format |= rwRASTERFORMATPAL8;
	}
	format |= static_cast<u32>( inInt ) & MIPMAP_FLAGS;
	raster->width = width;
	raster->height = height;
	raster->cFormat = static_cast<u8>( format >> 8 );
	return true;
}
