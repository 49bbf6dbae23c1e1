#include "framework/graphics/EFCameraRW.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/base/DTFloatToInt.h"
#include "datatypes/maths/DTColor.h"
#include "datatypes/maths/DTFrame.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "graphics3d/core/RwBmpWriter.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwFrameSync.h"
#include "graphics3d/core/RwImage.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/world/RpWorld.h"
#include "platform/gx/GX.h"
#include "platform/os/OS.h"

#include <cstdio>
#include <cstring>

u32 EFCamera_SP::smui32ShotCounter = 0;

namespace {

// Image and depth; Clear adds the stencil bit.
constexpr u32 DEFAULT_CLEAR_MODE	= 3;
// The part of the embedded frame buffer a snapshot reads.
constexpr s32 SNAPSHOT_WIDTH		= 640;
constexpr s32 SNAPSHOT_HEIGHT		= 512;
constexpr s32 SNAPSHOT_DEPTH		= 32;
// Digits a conversion's width may have.
constexpr u32 MAX_WIDTH_DIGITS		= 3;

u8 ClearByte( const f32 channel ) {
	const u32 value = DTFloatToU32( channel * 255.0f );
	return static_cast<u8>( value > 0xFF ? 0xFF : value );
}

// Fills name from pattern and number when the pattern has at most one
// conversion, an integer one with flags and a width only ("%%" allowed),
// and the result fits the buffer.
bool FormatShotName( const char* pattern, const u32 number, char ( &name )[EF_SNAPSHOT_NAME_BYTES] ) {
	if ( pattern == nullptr || std::strlen( pattern ) >= EF_SNAPSHOT_NAME_BYTES ) {
		return false;
	}
	u32 conversions = 0;
	for ( const char* c = pattern; *c != '\0'; c++ ) {
		if ( *c != '%' ) {
			continue;
		}
		c++;
		if ( *c == '%' ) {
			continue;
		}
		while ( *c != '\0' && std::strchr( "-+ #0", *c ) != nullptr ) {
			c++;
		}
		u32 digits = 0;
		while ( *c >= '0' && *c <= '9' ) {
			c++;
			digits++;
		}
		if ( digits > MAX_WIDTH_DIGITS || *c == '\0' || std::strchr( "diouxX", *c ) == nullptr ) {
			return false;
		}
		conversions++;
	}
	if ( conversions > 1 ) {
		return false;
	}
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
	const int written = std::snprintf( name, sizeof( name ), pattern, static_cast<unsigned>( number ) );
#pragma GCC diagnostic pop
	return written >= 0 && static_cast<u32>( written ) < sizeof( name );
}

}

EFCamera_SP::EFCamera_SP( DTFrame* frame )
	: EFCamera_BC( frame ), mui32FogColor( 0 ), mpoRwCamera( nullptr ), mpoOwnFrameRaster( nullptr ),
	  mpoOwnDepthRaster( nullptr ), moClearColor{ 0, 0, 0, 0 }, mui32ClearMode( DEFAULT_CLEAR_MODE ),
	  mfGuardBandFactorX( 1.0f ), mfGuardBandFactorY( 1.0f ), mui32FrameCount( 0 ) {
	mpoRwCamera = RwCameraCreate();
	if ( mpoRwCamera != nullptr && mpFrame != nullptr ) {
		_rwObjectHasFrameSetFrame( &mpoRwCamera->object, mpFrame->GetRwFrame() );
	}
}

EFCamera_SP::~EFCamera_SP() {
	DestroyLibraryCamera();
}

void EFCamera_SP::DestroyLibraryCamera() {
	RwRaster* destroyedFrame = nullptr;
	RwRaster* destroyedDepth = nullptr;
	if ( mpoRwCamera != nullptr ) {
		RpWorld* const world = RwCameraGetWorld( mpoRwCamera );
		if ( world != nullptr ) {
			RpWorldRemoveCamera( world, mpoRwCamera );
		}
		_rwObjectHasFrameSetFrame( &mpoRwCamera->object, nullptr );
		destroyedFrame = mpoRwCamera->frameBuffer;
		destroyedDepth = mpoRwCamera->zBuffer;
		if ( destroyedFrame != nullptr ) {
			RwRasterDestroy( destroyedFrame );
		}
		if ( destroyedDepth != nullptr && destroyedDepth != destroyedFrame ) {
			RwRasterDestroy( destroyedDepth );
		}
		mpoRwCamera->frameBuffer = nullptr;
		mpoRwCamera->zBuffer = nullptr;
		RwCameraDestroy( mpoRwCamera );
		mpoRwCamera = nullptr;
	}
	// An owner that left its rasters on the library camera had them
	// destroyed above already.
	RwRaster* const own[] = { mpoOwnFrameRaster, mpoOwnDepthRaster };
	for ( u32 i = 0; i < 2; i++ ) {
		RwRaster* const raster = own[i];
		if ( raster != nullptr && raster != destroyedFrame && raster != destroyedDepth && ( i == 0 || raster != own[0] ) ) {
			RwRasterDestroy( raster );
		}
	}
	mpoOwnFrameRaster = nullptr;
	mpoOwnDepthRaster = nullptr;
}

void EFCamera_SP::SetDisplayArea( CRect* area ) {
	if ( mpoOwnFrameRaster != nullptr || mpoOwnDepthRaster != nullptr || mpoRwCamera == nullptr || area == nullptr ) {
		return;
	}
	// Without the main rasters there is nothing to make a window of.
	if ( gpoGraphicsMgr == nullptr || gpoGraphicsMgr->GetCameraRaster() == nullptr ||
		 gpoGraphicsMgr->GetDepthRaster() == nullptr ) {
		return;
	}
	const f32 width = static_cast<f32>( gpoGraphicsMgr->GetScreenWidth() );
	const f32 height = static_cast<f32>( gpoGraphicsMgr->GetScreenHeight() );
	const s32 x0 = DTFloatToS32( area->x * width );
	const s32 y0 = DTFloatToS32( area->y * height );
	const RwRect rect = { x0, y0, DTFloatToS32( 0.5f + area->w * width + area->x * width - static_cast<f32>( x0 ) ),
						  DTFloatToS32( 0.5f + area->h * height + area->y * height - static_cast<f32>( y0 ) ) };
	if ( mpoRwCamera->frameBuffer == nullptr ) {
		mpoRwCamera->frameBuffer = RwRasterCreate( 0, 0, 0, rwRASTERTYPECAMERA );
	}
	if ( mpoRwCamera->zBuffer == nullptr ) {
		mpoRwCamera->zBuffer = RwRasterCreate( 0, 0, 0, rwRASTERTYPEZBUFFER );
	}
	if ( mpoRwCamera->frameBuffer != nullptr ) {
		RwRasterSubRaster( mpoRwCamera->frameBuffer, gpoGraphicsMgr->GetCameraRaster(), &rect );
	}
	if ( mpoRwCamera->zBuffer != nullptr ) {
		RwRasterSubRaster( mpoRwCamera->zBuffer, gpoGraphicsMgr->GetDepthRaster(), &rect );
	}
}

void EFCamera_SP::GetDisplayArea( CRect* area ) const {
	const RwRaster* const raster = mpoRwCamera != nullptr ? mpoRwCamera->frameBuffer : nullptr;
	area->x = 0.0f;
	area->y = 0.0f;
	area->w = raster != nullptr ? static_cast<f32>( raster->width ) : 0.0f;
	area->h = raster != nullptr ? static_cast<f32>( raster->height ) : 0.0f;
}

void EFCamera_SP::SetClearColor( DTColor& color ) {
	moClearColor = { ClearByte( color.r ), ClearByte( color.g ), ClearByte( color.b ), ClearByte( color.a ) };
}

void EFCamera_SP::Clear() {
	if ( mpoRwCamera == nullptr ) {
		return;
	}
	GXSetAlphaUpdate( GX_TRUE );
	RwCameraClear( mpoRwCamera, &moClearColor, static_cast<s32>( mui32ClearMode | rwCAMERACLEARSTENCIL ) );
	GXSetAlphaUpdate( GX_FALSE );
}

void EFCamera_SP::Begin() {
	if ( mpoRwCamera != nullptr ) {
		RwCameraBeginUpdate( mpoRwCamera );
	}
}

void EFCamera_SP::End() {
	if ( mpoRwCamera != nullptr ) {
		RwCameraEndUpdate( mpoRwCamera );
	}
	mui32FrameCount++;
}

void EFCamera_SP::SetRasters( RwRaster* frame, RwRaster* depth ) {
	if ( mpoRwCamera != nullptr ) {
		RwRaster* const oldFrame = mpoRwCamera->frameBuffer;
		RwRaster* const oldDepth = mpoRwCamera->zBuffer;
		// A null argument drops the current raster; so does replacing one
		// the camera made for its display area, which nobody else holds.
		if ( oldFrame != nullptr && oldFrame != frame && ( frame == nullptr || oldFrame != mpoOwnFrameRaster ) ) {
			RwRasterDestroy( oldFrame );
		}
		if ( oldDepth != nullptr && oldDepth != depth && oldDepth != oldFrame &&
			 ( depth == nullptr || oldDepth != mpoOwnDepthRaster ) ) {
			RwRasterDestroy( oldDepth );
		}
		mpoRwCamera->frameBuffer = frame;
		mpoRwCamera->zBuffer = depth;
	}
	mpoOwnFrameRaster = frame;
	mpoOwnDepthRaster = depth;
}

void EFCamera_SP::TakeSnapShot( const char* pattern ) {
	char name[EF_SNAPSHOT_NAME_BYTES];
	if ( !FormatShotName( pattern, smui32ShotCounter, name ) ) {
		OSReport( "TakeSnapShot: the file name pattern takes one integer and fits %u bytes\n", EF_SNAPSHOT_NAME_BYTES );
		return;
	}
	RwImage* const image = RwImageCreate( SNAPSHOT_WIDTH, SNAPSHOT_HEIGHT, SNAPSHOT_DEPTH );
	if ( image == nullptr ) {
		return;
	}
	smui32ShotCounter++;
	// The image has pixels of its own: the frame buffers are not touched.
	bool written = false;
	if ( RwImageAllocatePixels( image ) != nullptr ) {
		for ( s32 y = 0; y < SNAPSHOT_HEIGHT; y++ ) {
			u8* row = image->cpPixels + y * image->stride;
			for ( s32 x = 0; x < SNAPSHOT_WIDTH; x++, row += 4 ) {
				u32 argb = 0;
				GXPeekARGB( static_cast<u16>( x ), static_cast<u16>( y ), &argb );
				DTWriteBE32( row, ( argb << 8 ) | ( argb >> 24 ) );
			}
		}
		written = RtBMPImageWrite( image, name ) != nullptr;
	}
	OSReport( written ? "Screen grab succeeded :)\n" : "Screen failed :(\n" );
	RwImageDestroy( image );
}
