#include "graphics3d/core/RwImageResample.h"

#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwImageConvert.h"

#include "datatypes/base/DTFloatToInt.h"

// One unit in 16.16 fixed point.
static const u64 FIXED_ONE		= 0x10000;
static const u32 FIXED_SHIFT	= 16;

// The step of one axis; at least one fixed-point unit so that every
// destination pixel covers some source.
static u64 StepOf( const s32 sourceSize, const s32 destSize ) {
	const u64 step = FIXED_ONE * static_cast<u64>( sourceSize ) / static_cast<u64>( destSize );
	return step != 0 ? step : 1;
}

// Coverage of source pixel i by [start, end), in fixed-point units.
static u64 Coverage( const u64 i, const u64 start, const u64 end ) {
	const u64 low = start > ( i << FIXED_SHIFT ) ? start : ( i << FIXED_SHIFT );
	const u64 high = end < ( ( i + 1 ) << FIXED_SHIFT ) ? end : ( ( i + 1 ) << FIXED_SHIFT );
	return high > low ? high - low : 0;
}

static u8 ToByte( const f64 average ) {
	const u32 value = DTFloatToU32( 0.5 + 255.0 * average );
	return static_cast<u8>( value > 255 ? 255 : value );
}

static RwRGBA AveragePixel( const RwImage* source, const u64 x0, const u64 x1, const u64 y0, const u64 y1 ) {
	f64 sum[4] = { 0.0, 0.0, 0.0, 0.0 };
	f64 total = 0.0;
	const u64 lastColumn = ( x1 - 1 ) >> FIXED_SHIFT;
	const u64 lastRow = ( y1 - 1 ) >> FIXED_SHIFT;
	for ( u64 sy = y0 >> FIXED_SHIFT; sy <= lastRow && sy < static_cast<u64>( source->height ); sy++ ) {
		const f64 coverY = static_cast<f64>( Coverage( sy, y0, y1 ) );
		const RwRGBA* const row = reinterpret_cast<const RwRGBA*>( source->cpPixels + sy * static_cast<u64>( source->stride ) );
		for ( u64 sx = x0 >> FIXED_SHIFT; sx <= lastColumn && sx < static_cast<u64>( source->width ); sx++ ) {
			const f64 weight = coverY * static_cast<f64>( Coverage( sx, x0, x1 ) );
			const RwRGBA& pixel = row[sx];
			sum[0] += weight * ( pixel.red / 255.0 );
			sum[1] += weight * ( pixel.green / 255.0 );
			sum[2] += weight * ( pixel.blue / 255.0 );
			sum[3] += weight * ( pixel.alpha / 255.0 );
			total += weight;
		}
	}
	if ( total <= 0.0 ) {
		return RwRGBA{ 0, 0, 0, 0 };
	}
	return RwRGBA{ ToByte( sum[0] / total ), ToByte( sum[1] / total ), ToByte( sum[2] / total ), ToByte( sum[3] / total ) };
}

RwImage* RwImageResample( RwImage* destImage, const RwImage* sourceImage ) {
	if ( destImage->depth != 32 || sourceImage->depth != 32 ) {
		_rwErrorSetCore( _rwerror( RWERR_IMAGE_FORMAT ) );
		return nullptr;
	}
	if ( destImage->cpPixels == nullptr || sourceImage->cpPixels == nullptr || destImage->width <= 0 ||
		 destImage->height <= 0 || sourceImage->width <= 0 || sourceImage->height <= 0 ) {
		_rwErrorSetCore( _rwerror( RWERR_NULL_ARGUMENT ) );
		return nullptr;
	}
	const u64 stepX = StepOf( sourceImage->width, destImage->width );
	const u64 stepY = StepOf( sourceImage->height, destImage->height );
	for ( s32 y = 0; y < destImage->height; y++ ) {
		const u64 y0 = static_cast<u64>( y ) * stepY;
		RwRGBA* const row = reinterpret_cast<RwRGBA*>( destImage->cpPixels + static_cast<size_t>( y ) * destImage->stride );
		for ( s32 x = 0; x < destImage->width; x++ ) {
			const u64 x0 = static_cast<u64>( x ) * stepX;
			row[x] = AveragePixel( sourceImage, x0, x0 + stepX, y0, y0 + stepY );
		}
	}
	destImage->flags |= sourceImage->flags & rwIMAGEGAMMACORRECTED;
	return destImage;
}

static RwImage* Create32( const s32 width, const s32 height ) {
	RwImage* const image = RwImageCreate( width, height, 32 );
	if ( image == nullptr ) {
		return nullptr;
	}
	if ( RwImageAllocatePixels( image ) == nullptr ) {
		RwImageDestroy( image );
		return nullptr;
	}
	return image;
}

RwImage* RwImageCreateResample( const RwImage* image, const s32 width, const s32 height ) {
	RwImage* const result = Create32( width, height );
	if ( result == nullptr ) {
		return nullptr;
	}
	RwImage* expanded = nullptr;
	const RwImage* source = image;
	if ( image->depth != 32 ) {
		expanded = Create32( image->width, image->height );
		if ( expanded == nullptr || RwImageCopy( expanded, image ) == nullptr ) {
			if ( expanded != nullptr ) {
				RwImageDestroy( expanded );
			}
			RwImageDestroy( result );
			return nullptr;
		}
		source = expanded;
	}
	const bool resampled = RwImageResample( result, source ) != nullptr;
	if ( expanded != nullptr ) {
		RwImageDestroy( expanded );
	}
	if ( !resampled ) {
		RwImageDestroy( result );
		return nullptr;
	}
	return result;
}
