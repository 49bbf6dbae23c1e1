#include "platform/gx/GXRenderMode.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// The fields the overscan adjustment touches, in one comparable record.
struct Geometry {
	u16	fbWidth, efbHeight, xfbHeight;
	u16	viXOrigin, viYOrigin, viWidth, viHeight;

	bool operator==( const Geometry& ) const = default;
};

Geometry GeometryOf( const GXRenderModeObj& mode ) {
	return { mode.fbWidth, mode.efbHeight, mode.xfbHeight, mode.viXOrigin, mode.viYOrigin, mode.viWidth, mode.viHeight };
}

void PrintTo( const Geometry& g, std::ostream* os ) {
	*os << "fb " << g.fbWidth << " efb " << g.efbHeight << " xfb " << g.xfbHeight << " origin " << g.viXOrigin
		<< "," << g.viYOrigin << " vi " << g.viWidth << "x" << g.viHeight;
}

// Everything but the adjusted fields must come through unchanged.
void ExpectSameOtherFields( const GXRenderModeObj& a, const GXRenderModeObj& b ) {
	EXPECT_EQ( a.viTVmode, b.viTVmode );
	EXPECT_EQ( a.xFBmode, b.xFBmode );
	EXPECT_EQ( a.field_rendering, b.field_rendering );
	EXPECT_EQ( a.aa, b.aa );
	EXPECT_EQ( std::memcmp( a.sample_pattern, b.sample_pattern, sizeof( a.sample_pattern ) ), 0 );
	EXPECT_EQ( std::memcmp( a.vfilter, b.vfilter, sizeof( a.vfilter ) ), 0 );
}

}

TEST( GXRenderMode, CentresEachFormatsPictureInItsVisibleArea ) {
	const struct {
		const GXRenderModeObj*	mode;
		VITVMode				tvMode;
		Geometry				geometry;
	} cases[] = {
		{ &GXNtsc480IntDf, VI_TVMODE_NTSC_INT, { 640, 480, 480, 40, 0, 640, 480 } },
		{ &GXPal528IntDf, VI_TVMODE_PAL_INT, { 640, 528, 528, 40, 23, 640, 528 } },
		{ &GXMpal480IntDf, VI_TVMODE_MPAL_INT, { 640, 480, 480, 40, 0, 640, 480 } },
		{ &GXEurgb60Hz480IntDf, VI_TVMODE_EURGB60_INT, { 640, 480, 480, 40, 0, 640, 480 } },
	};
	const u8 deflicker[7] = { 8, 8, 10, 12, 10, 8, 8 };
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.tvMode );
		const GXRenderModeObj& mode = *c.mode;
		EXPECT_EQ( mode.viTVmode, c.tvMode );
		EXPECT_EQ( VITvModeScan( mode.viTVmode ), VI_INTERLACE );
		EXPECT_EQ( GeometryOf( mode ), c.geometry );
		EXPECT_EQ( mode.xFBmode, VI_XFBMODE_DF );
		EXPECT_EQ( mode.field_rendering, GX_FALSE );
		EXPECT_EQ( mode.aa, GX_FALSE );
		for ( const auto& sample : mode.sample_pattern ) {
			EXPECT_EQ( sample[0], 6 );
			EXPECT_EQ( sample[1], 6 );
		}
		EXPECT_EQ( std::memcmp( mode.vfilter, deflicker, sizeof( deflicker ) ), 0 );
	}
	EXPECT_EQ( VI_TVMODE_NTSC_INT, 0u );
	EXPECT_EQ( VI_TVMODE_PAL_INT, 4u );
	EXPECT_EQ( VI_TVMODE_MPAL_INT, 8u );
	EXPECT_EQ( VI_TVMODE_EURGB60_INT, 20u );
}

TEST( GXRenderMode, AdjustForOverscanCutsBothEdgesOfEachAxis ) {
	// A single-field mode and one whose embedded buffer is half the height
	// of the external one, beside the four standard modes.
	GXRenderModeObj singleField = GXNtsc480IntDf;
	singleField.xFBmode = VI_XFBMODE_SF;
	singleField.efbHeight = 240;
	singleField.xfbHeight = 240;
	GXRenderModeObj halfHeightEfb = GXPal528IntDf;
	halfHeightEfb.efbHeight = 264;

	const struct {
		const char*				name;
		const GXRenderModeObj*	mode;
		u16						hor, ver;
		Geometry				expected;
	} cases[] = {
		{ "ntsc 0/16", &GXNtsc480IntDf, 0, 16, { 640, 448, 448, 40, 16, 640, 448 } },
		{ "pal 0/16", &GXPal528IntDf, 0, 16, { 640, 496, 496, 40, 39, 640, 496 } },
		{ "mpal 0/16", &GXMpal480IntDf, 0, 16, { 640, 448, 448, 40, 16, 640, 448 } },
		{ "eurgb60 0/16", &GXEurgb60Hz480IntDf, 0, 16, { 640, 448, 448, 40, 16, 640, 448 } },
		{ "ntsc 8/0", &GXNtsc480IntDf, 8, 0, { 624, 480, 480, 48, 0, 624, 480 } },
		{ "ntsc 0/0", &GXNtsc480IntDf, 0, 0, { 640, 480, 480, 40, 0, 640, 480 } },
		{ "ntsc 12/10", &GXNtsc480IntDf, 12, 10, { 616, 460, 460, 52, 10, 616, 460 } },
		{ "single field 0/16", &singleField, 0, 16, { 640, 224, 224, 40, 16, 640, 448 } },
		{ "half-height efb 0/16", &halfHeightEfb, 0, 16, { 640, 248, 496, 40, 39, 640, 496 } },
		{ "half-height efb 0/7", &halfHeightEfb, 0, 7, { 640, 257, 514, 40, 30, 640, 514 } },
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.name );
		GXRenderModeObj out;
		std::memset( &out, 0xAB, sizeof( out ) );
		GXAdjustForOverscan( c.mode, &out, c.hor, c.ver );
		EXPECT_EQ( GeometryOf( out ), c.expected );
		ExpectSameOtherFields( out, *c.mode );

		// In place gives the same record.
		GXRenderModeObj inPlace = *c.mode;
		GXAdjustForOverscan( &inPlace, &inPlace, c.hor, c.ver );
		EXPECT_EQ( std::memcmp( &inPlace, &out, sizeof( out ) ), 0 );
	}
}

TEST( GXRenderMode, AdjustForOverscanNeverWrapsAroundOnHugeCuts ) {
	const struct {
		u16			hor, ver;
		Geometry	expected;
	} cases[] = {
		{ 320, 240, { 0, 0, 0, 360, 240, 0, 0 } },
		{ 400, 300, { 0, 0, 0, 440, 300, 0, 0 } },
		{ 0xFFFF, 0xFFFF, { 0, 0, 0, 0xFFFF, 0xFFFF, 0, 0 } },
		{ 319, 239, { 2, 2, 2, 359, 239, 2, 2 } },
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.hor );
		GXRenderModeObj out;
		GXAdjustForOverscan( &GXNtsc480IntDf, &out, c.hor, c.ver );
		EXPECT_EQ( GeometryOf( out ), c.expected );
	}

	// A record with no external lines must not divide by zero.
	GXRenderModeObj empty = GXNtsc480IntDf;
	empty.xfbHeight = 0;
	GXAdjustForOverscan( &empty, &empty, 0, 16 );
	EXPECT_EQ( empty.xfbHeight, 0 );
	EXPECT_EQ( empty.efbHeight, 480 );

	GXRenderModeObj untouched = GXNtsc480IntDf;
	GXAdjustForOverscan( nullptr, &untouched, 0, 16 );
	GXAdjustForOverscan( &GXNtsc480IntDf, nullptr, 0, 16 );
	EXPECT_EQ( std::memcmp( &untouched, &GXNtsc480IntDf, sizeof( untouched ) ), 0 );
}
