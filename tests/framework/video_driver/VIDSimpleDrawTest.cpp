#include "VideoTestBench.h"

#include "graphics3d/core/RwBmpWriter.h"
#include "graphics3d/core/RwImage.h"
#include "platform/gx/GXRenderMode.h"
#include "video/m4/VIDSimpleDecoder.h"
#include "video/vid/VIDSimpleDraw.h"
#include "video/vid/VIDSimpleOpen.h"
#include "video/vid/VIDSimpleReadAhead.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

s32 Clamp255( const f64 v ) {
	return static_cast<s32>( std::clamp( std::round( v ), 0.0, 255.0 ) );
}

// The conversion the stages are meant to compute.
GXColor Expected( const s32 y, const s32 u, const s32 v ) {
	const f64 r = 2.0 * ( -114 + 205.0 / 255 * v + 149.0 / 255 * y );
	const f64 g = 2.0 * ( 68 - 50.0 / 255 * u - 104.0 / 255 * v + 149.0 / 255 * y );
	const f64 b = 2.0 * ( -139 + u - 3.0 / 255 * u + 149.0 / 255 * y );
	return { static_cast<u8>( Clamp255( r ) ), static_cast<u8>( Clamp255( g ) ), static_cast<u8>( Clamp255( b ) ), 255 };
}

}	// namespace

class VIDSimpleDrawTest : public VideoTest {
protected:
	// Draws the flat picture as the player would, and returns the quad.
	const GXHostDraw& DrawFlat() {
		player.image = &Flat().image;
		GXHostClearLog();
		VIDSimpleDraw( &g_rmode, 0, 16, 640, 448 );
		player.image = nullptr;
		EXPECT_EQ( Quads().size(), 1u );
		return *Quads().back();
	}
};

TEST_F( VIDSimpleDrawTest, SetsUpDrawsAndRestoresTheGpu ) {
	const GXHostDraw& quad = DrawFlat();
	const GXHostRenderState& s = quad.state;
	EXPECT_EQ( s.pixelFormat, GX_PF_RGBA6_Z24 );
	EXPECT_EQ( s.zFormat, GX_ZC_LINEAR );
	EXPECT_EQ( s.viewport[2], static_cast<f32>( g_rmode.fbWidth ) );
	EXPECT_EQ( s.viewport[3], static_cast<f32>( g_rmode.efbHeight ) );
	EXPECT_EQ( s.scissor[3], g_rmode.efbHeight );
	EXPECT_EQ( s.zCompare, GX_TRUE );
	EXPECT_EQ( s.zFunction, GX_ALWAYS );
	EXPECT_EQ( s.zUpdate, GX_FALSE );
	EXPECT_EQ( s.blendType, GX_BM_NONE );
	EXPECT_EQ( s.colourUpdate, GX_TRUE );
	EXPECT_EQ( s.alphaUpdate, GX_FALSE );
	EXPECT_EQ( s.cullMode, GX_CULL_NONE );
	EXPECT_EQ( s.numChans, 0u );
	EXPECT_EQ( s.numTexGens, 2u );
	EXPECT_EQ( s.numTevStages, VID_TEV_STAGES );
	EXPECT_EQ( GXHostCopy().gamma, GX_GM_1_0 );
	// The three planes: Y at the texture size, U and V at half, linear,
	// clamped, no mip levels.
	const u16 sizes[3][2] = { { 64, 48 }, { 32, 24 }, { 32, 24 } };
	const void* planes[3] = { Flat().y, Flat().u, Flat().v };
	for ( u32 map = 0; map < 3; map++ ) {
		const GXTexObj& t = s.textures[map];
		EXPECT_EQ( t.image, planes[map] );
		EXPECT_EQ( t.width, sizes[map][0] );
		EXPECT_EQ( t.height, sizes[map][1] );
		EXPECT_EQ( t.format, GX_TF_I8 );
		EXPECT_EQ( t.wrapS, GX_CLAMP );
		EXPECT_EQ( t.mipmap, GX_FALSE );
		EXPECT_EQ( t.minFilter, GX_LINEAR );
		EXPECT_EQ( t.magFilter, GX_LINEAR );
	}
	// The quad in its order, coordinate 1 at half of coordinate 0.
	const f32 corners[4][4] = { { 0, 16, 0, 0 }, { 640, 16, 64, 0 }, { 640, 464, 64, 48 }, { 0, 464, 0, 48 } };
	ASSERT_EQ( quad.vertices.size(), 4u );
	for ( u32 i = 0; i < 4; i++ ) {
		const GXHostVertex& v = quad.vertices[i];
		EXPECT_EQ( v.position[0], corners[i][0] );
		EXPECT_EQ( v.position[1], corners[i][1] );
		EXPECT_EQ( v.position[2], 0.0f );
		EXPECT_EQ( v.texCoord[0][0], corners[i][2] );
		EXPECT_EQ( v.texCoord[0][1], corners[i][3] );
		EXPECT_EQ( v.texCoord[1][0], corners[i][2] / 2 );
		EXPECT_EQ( v.texCoord[1][1], corners[i][3] / 2 );
	}
	EXPECT_EQ( s.texCoordScale[0][0], GX_TRUE );
	// Afterwards: one replace stage, swap tables back, RGBA6 kept.
	const GXHostRenderState& after = GXHostState();
	EXPECT_EQ( after.numTevStages, 1u );
	EXPECT_EQ( after.numTexGens, 1u );
	EXPECT_EQ( after.tev[0].op, GX_REPLACE );
	EXPECT_EQ( after.pixelFormat, GX_PF_RGBA6_Z24 );
	EXPECT_EQ( after.texCoordScale[0][0], GX_FALSE );
	const u32 tables[4][4] = { { 0, 1, 2, 3 }, { 0, 0, 0, 3 }, { 1, 1, 1, 3 }, { 2, 2, 2, 3 } };
	for ( u32 t = 0; t < 4; t++ ) {
		for ( u32 c = 0; c < 4; c++ ) {
			EXPECT_EQ( after.swapTable[t][c], tables[t][c] );
		}
	}
	for ( u32 stage = 0; stage < 4; stage++ ) {
		EXPECT_EQ( after.tev[stage].textureSwap, 0u );
	}
	// No picture: nothing drawn.
	GXHostClearLog();
	VIDSimpleDraw( &g_rmode, 0, 0, 640, 480 );
	EXPECT_TRUE( Quads().empty() );
	EXPECT_EQ( VIDSetupTEV( 0 ), 0u );
	EXPECT_EQ( VIDSetupTEV( 2 ), 0u );
}

// The recorded stages evaluated as the GPU does give the conversion.
TEST_F( VIDSimpleDrawTest, TheStagesComputeTheConversion ) {
	const GXHostRenderState state = DrawFlat().state;
	const s32 samples[] = { 0, 16, 60, 100, 128, 150, 200, 235, 255 };
	for ( const s32 y : samples ) {
		for ( const s32 u : samples ) {
			for ( const s32 v : samples ) {
				GXColor maps[GX_MAX_TEXMAP] = {};
				maps[0] = { static_cast<u8>( y ), static_cast<u8>( y ), static_cast<u8>( y ), static_cast<u8>( y ) };
				maps[1] = { static_cast<u8>( u ), static_cast<u8>( u ), static_cast<u8>( u ), static_cast<u8>( u ) };
				maps[2] = { static_cast<u8>( v ), static_cast<u8>( v ), static_cast<u8>( v ), static_cast<u8>( v ) };
				const GXColor got = GXHostTevEvaluate( state, maps );
				const GXColor want = Expected( y, u, v );
				SCOPED_TRACE( std::to_string( y ) + " " + std::to_string( u ) + " " + std::to_string( v ) );
				EXPECT_NEAR( got.r, want.r, 2 );
				// Green passes three rounded stages before the doubling.
				EXPECT_NEAR( got.g, want.g, 3 );
				EXPECT_NEAR( got.b, want.b, 2 );
			}
		}
	}
	const GXColor grey[3] = { { 128, 128, 128, 128 }, { 128, 128, 128, 128 }, { 128, 128, 128, 128 } };
	GXColor black[GX_MAX_TEXMAP] = { { 16, 16, 16, 16 }, grey[1], grey[2] };
	GXColor white[GX_MAX_TEXMAP] = { { 235, 235, 235, 235 }, grey[1], grey[2] };
	const GXColor dark = GXHostTevEvaluate( state, black );
	const GXColor light = GXHostTevEvaluate( state, white );
	for ( const u8 channel : { dark.r, dark.g, dark.b } ) {
		EXPECT_LE( channel, 2 );
	}
	for ( const u8 channel : { light.r, light.g, light.b } ) {
		EXPECT_GE( channel, 245 );
	}
}

// A frame of the corpus, decoded and drawn, written as a picture; its
// middle row matches the conversion of the reference decode.
TEST_F( VIDSimpleDrawTest, ACorpusFrameDrawsAsItsPicture ) {
	VIDSimpleSetVideoDecodeSink( previousVideoSink );
	std::ifstream in( std::string( ENGINE_TEST_DATA_DIR ) + "/movie/ip.vid", std::ios::binary );
	const std::vector<u8> movie( ( std::istreambuf_iterator<char>( in ) ), std::istreambuf_iterator<char>() );
	ASSERT_TRUE( disc.WriteFile( "MOVIES/IP.vid", movie ) );
	ASSERT_EQ( VIDSimpleOpen( "MOVIES/IP.vid", 0 ), 1 );
	ASSERT_EQ( VIDSimpleAllocDVDBuffers( MMMalloc ), 1 );
	// Without reordering the first picture comes with the first frame.
	ASSERT_EQ( VIDSimpleCreateDecoder( MMMalloc, MMFree, nullptr, 0 ), 1 );
	ASSERT_EQ( VIDSimpleLoadStart( 0 ), 1 );
	ASSERT_EQ( VIDSimpleDecode(), 1 );
	ASSERT_NE( player.image, nullptr );
	const u32 w = player.image->width;
	const u32 h = player.image->height;
	GXHostClearLog();
	// Drawn at its own size, one pixel per texel.
	VIDSimpleDraw( &g_rmode, 0, 0, static_cast<s16>( w ), static_cast<s16>( h ) );
	std::vector<u8> rgb;
	ASSERT_TRUE( GXHostRenderLastQuad( w, h, &rgb ) );

	std::ifstream yuvIn( std::string( ENGINE_TEST_DATA_DIR ) + "/movie/ip.yuv", std::ios::binary );
	std::vector<u8> yuv( w * h * 3 / 2 );
	ASSERT_TRUE( yuvIn.read( reinterpret_cast<char*>( yuv.data() ), static_cast<std::streamsize>( yuv.size() ) ) );
	const u8* const py = yuv.data();
	const u8* const pu = py + w * h;
	const u8* const pv = pu + w * h / 4;
	// Chroma between its texels: bilinear at the pixel centre, edges held.
	auto chroma = [&]( const u8* plane, const u32 x, const u32 y ) {
		const f64 cx = x / 2.0 - 0.25;
		const f64 cy = y / 2.0 - 0.25;
		const s32 x0 = static_cast<s32>( std::floor( cx ) );
		const s32 y0 = static_cast<s32>( std::floor( cy ) );
		auto at = [&]( s32 px, s32 pyy ) {
			px = std::clamp( px, 0, static_cast<s32>( w / 2 ) - 1 );
			pyy = std::clamp( pyy, 0, static_cast<s32>( h / 2 ) - 1 );
			return static_cast<f64>( plane[pyy * ( w / 2 ) + px] );
		};
		const f64 fx = cx - x0;
		const f64 fy = cy - y0;
		const f64 top = at( x0, y0 ) * ( 1 - fx ) + at( x0 + 1, y0 ) * fx;
		const f64 bottom = at( x0, y0 + 1 ) * ( 1 - fx ) + at( x0 + 1, y0 + 1 ) * fx;
		return static_cast<s32>( std::lround( top * ( 1 - fy ) + bottom * fy ) );
	};
	u32 far = 0;
	for ( u32 y = 0; y < h; y++ ) {
		for ( u32 x = 0; x < w; x++ ) {
			const GXColor want = Expected( py[y * w + x], chroma( pu, x, y ), chroma( pv, x, y ) );
			const u8* const got = rgb.data() + ( y * w + x ) * 3;
			far += std::abs( got[0] - want.r ) > 3 || std::abs( got[1] - want.g ) > 3 || std::abs( got[2] - want.b ) > 3;
		}
	}
	EXPECT_LT( far, w * h / 50 ) << "pixels far from the reference";

	RwImage* const image = RwImageCreate( static_cast<s32>( w ), static_cast<s32>( h ), 32 );
	ASSERT_NE( RwImageAllocatePixels( image ), nullptr );
	for ( u32 y = 0; y < h; y++ ) {
		for ( u32 x = 0; x < w; x++ ) {
			u8* const p = image->cpPixels + y * image->stride + x * 4;
			std::copy_n( rgb.data() + ( y * w + x ) * 3, 3, p );
			p[3] = 255;
		}
	}
	const std::filesystem::path file = disc.WriteFolder() / "MOVIEFRAME.BMP";
	EXPECT_NE( RtBMPImageWrite( image, file.c_str() ), nullptr );
	RwImageDestroy( image );
	EXPECT_EQ( std::filesystem::file_size( file ), 54u + w * h * 3 );
}
