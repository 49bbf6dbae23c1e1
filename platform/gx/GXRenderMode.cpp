#include "platform/gx/GXRenderMode.h"

namespace {

constexpr u16 PICTURE_WIDTH			= 640;
constexpr u16 PICTURE_HEIGHT_60HZ	= 480;
constexpr u16 PICTURE_HEIGHT_PAL	= 528;

constexpr u16 Centred( const u16 visible, const u16 used ) {
	return static_cast<u16>( ( visible - used ) / 2 );
}

// Subtracts without going below zero.
u16 Cut( const u32 value, const u32 amount ) {
	return static_cast<u16>( amount >= value ? 0 : value - amount );
}

// Adds without going past the largest u16.
u16 Extend( const u32 value, const u32 amount ) {
	const u32 sum = value + amount;
	return static_cast<u16>( sum > 0xFFFF ? 0xFFFF : sum );
}

// An interlaced, deflickered mode showing both fields from one buffer,
// with the picture centred in the format's visible area.
constexpr GXRenderModeObj InterlacedDeflickered( const VITVMode tvMode, const u16 height,
												 const u16 visibleWidth, const u16 visibleHeight ) {
	GXRenderModeObj mode = {};
	mode.viTVmode			= tvMode;
	mode.fbWidth			= PICTURE_WIDTH;
	mode.efbHeight			= height;
	mode.xfbHeight			= height;
	mode.viXOrigin			= Centred( visibleWidth, PICTURE_WIDTH );
	mode.viYOrigin			= Centred( visibleHeight, height );
	mode.viWidth			= PICTURE_WIDTH;
	mode.viHeight			= height;
	mode.xFBmode			= VI_XFBMODE_DF;
	mode.field_rendering	= GX_FALSE;
	mode.aa					= GX_FALSE;
	// Without antialiasing every sample sits at the pixel centre (6 of 12).
	for ( auto& sample : mode.sample_pattern ) {
		sample[0] = 6;
		sample[1] = 6;
	}
	// Each output line mixes its neighbours; the weights sum to 64.
	const u8 deflicker[7] = { 8, 8, 10, 12, 10, 8, 8 };
	for ( u32 i = 0; i < 7; ++i ) {
		mode.vfilter[i] = deflicker[i];
	}
	return mode;
}

}

constinit GXRenderModeObj GXNtsc480IntDf =
	InterlacedDeflickered( VI_TVMODE_NTSC_INT, PICTURE_HEIGHT_60HZ, VI_MAX_WIDTH_NTSC, VI_MAX_HEIGHT_NTSC );

constinit GXRenderModeObj GXPal528IntDf =
	InterlacedDeflickered( VI_TVMODE_PAL_INT, PICTURE_HEIGHT_PAL, VI_MAX_WIDTH_PAL, VI_MAX_HEIGHT_PAL );

constinit GXRenderModeObj GXMpal480IntDf =
	InterlacedDeflickered( VI_TVMODE_MPAL_INT, PICTURE_HEIGHT_60HZ, VI_MAX_WIDTH_MPAL, VI_MAX_HEIGHT_MPAL );

constinit GXRenderModeObj GXEurgb60Hz480IntDf =
	InterlacedDeflickered( VI_TVMODE_EURGB60_INT, PICTURE_HEIGHT_60HZ, VI_MAX_WIDTH_EURGB60, VI_MAX_HEIGHT_EURGB60 );

void GXAdjustForOverscan( const GXRenderModeObj* in, GXRenderModeObj* out, const u16 hor, const u16 ver ) {
	if ( in == nullptr || out == nullptr ) {
		return;
	}
	// Work from a copy: in and out may be the same record.
	const GXRenderModeObj source = *in;
	*out = source;

	// A buffer holding both fields loses ver lines at the top and at the
	// bottom; one holding a single field carries every other frame line, so
	// it loses half as many.
	const u32 frameLinesCut = 2u * ver;
	const u32 xfbLinesCut = source.xFBmode == VI_XFBMODE_SF ? ver : frameLinesCut;

	// The embedded buffer is scaled onto the external one when copied, so it
	// loses the same share of its lines (the cut rounds down).
	u32 efbLinesCut = 0;
	if ( source.xfbHeight != 0 ) {
		efbLinesCut = static_cast<u32>( source.efbHeight ) * xfbLinesCut / source.xfbHeight;
	}

	out->fbWidth	= Cut( source.fbWidth, 2u * hor );
	out->efbHeight	= Cut( source.efbHeight, efbLinesCut );
	out->xfbHeight	= Cut( source.xfbHeight, xfbLinesCut );
	out->viWidth	= Cut( source.viWidth, 2u * hor );
	out->viHeight	= Cut( source.viHeight, frameLinesCut );
	out->viXOrigin	= Extend( source.viXOrigin, hor );
	out->viYOrigin	= Extend( source.viYOrigin, ver );
}
