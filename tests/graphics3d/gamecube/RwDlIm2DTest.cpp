#include "RwDlTestDriver.h"

#include "graphics3d/core/RwIm2D.h"
#include "graphics3d/gamecube/RwDlIm2D.h"
#include "graphics3d/gamecube/RwDlRenderState.h"

#include <vector>

namespace {

class RwDlIm2DTest : public RwDlTestCase {
protected:
	RwDlTestCamera cam;

	void SetUp() override {
		RwDlTestCase::SetUp();
		ASSERT_TRUE( BringUp() && cam.Create( 640, 480 ) );
	}
	void TearDown() override {
		cam.Destroy();
		RwDlTestCase::TearDown();
	}

	// Counts the driver's allocations.
	struct Counting {
		static inline u32 calls = 0;
		static void* Malloc( const u32 size ) {
			calls++;
			return RwDlTestMemory::Malloc( size );
		}
	};

	static std::vector<RwIm2DVertex> Vertices( const s32 n ) {
		std::vector<RwIm2DVertex> v;
		for ( s32 i = 0; i < n; i++ ) {
			v.push_back( { 10.0f * i, 5.0f + i, 0.25f, static_cast<u8>( i ), 2, 3, 200, 0.5f * i, 1.0f - i } );
		}
		return v;
	}
};

}	// namespace

TEST_F( RwDlIm2DTest, DrawsTheInputVerticesAndRestoresTheCamerasProjection ) {
	RwRaster* const texture = RwRasterCreate( 8, 8, 0, rwRASTERTYPETEXTURE | 0x500 );
	const struct {
		s32			type;
		s32			count;
		bool		textured;
		u32			primitive;
		u32			drawn;
	} cases[] = {
		{ 4, 5, false, GX_TRIANGLESTRIP, 5 },
		{ 4, 5, true, GX_TRIANGLESTRIP, 5 },
		{ 3, 10, true, GX_TRIANGLES, 9 },
		{ 1, 7, false, GX_LINES, 6 },
		{ 2, 3, false, GX_LINESTRIP, 3 },
		{ 5, 4, false, GX_TRIANGLEFAN, 4 },
		{ 6, 2, false, GX_POINTS, 2 },
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( ::testing::Message() << c.type << " x " << c.count << ( c.textured ? " textured" : "" ) );
		RwCameraBeginUpdate( cam.camera );
		_rwDlSetRenderState( RWDL_STATE_TEXTURE_RASTER, c.textured ? texture : nullptr );
		f32 before[7];
		GXGetProjectionv( before );
		GXHostClearLog();
		GXHostClearFaults();
		std::vector<RwIm2DVertex> v = Vertices( c.count );
		ASSERT_TRUE( RwIm2DRenderPrimitive( c.type, v.data(), c.count ) );
		ASSERT_EQ( GXHostCurrentFrame().draws.size(), 1u );
		const GXHostDraw& draw = GXHostCurrentFrame().draws[0];
		EXPECT_EQ( draw.primitive, c.primitive );
		EXPECT_FALSE( draw.countFault );
		ASSERT_EQ( draw.vertices.size(), c.drawn );
		for ( u32 i = 0; i < c.drawn; i++ ) {
			const GXHostVertex& got = draw.vertices[i];
			EXPECT_EQ( got.position[0], v[i].x );
			EXPECT_EQ( got.position[1], v[i].y );
			EXPECT_EQ( got.position[2], v[i].z );
			EXPECT_EQ( got.colour[0].r, v[i].r );
			EXPECT_EQ( got.colour[0].a, v[i].a );
			EXPECT_EQ( ( got.present >> GX_VA_TEX0 ) & 1, c.textured ? 1u : 0u );
			if ( c.textured ) {
				EXPECT_EQ( got.texCoord[0][1], v[i].v );
			}
		}
		// Drawn with the screen projection, then the camera's comes back.
		EXPECT_EQ( draw.state.projection[0], 1.0f );
		EXPECT_EQ( draw.state.projection[1], 2.0f / 639.0f );
		EXPECT_EQ( draw.state.projection[3], -2.0f / 479.0f );
		EXPECT_EQ( draw.state.tev[0].op, c.textured ? GX_MODULATE : GX_PASSCLR );
		EXPECT_EQ( draw.state.numTexGens, c.textured ? 1u : 0u );
		f32 after[7];
		GXGetProjectionv( after );
		EXPECT_EQ( std::memcmp( before, after, sizeof( after ) ), 0 );
		EXPECT_TRUE( GXHostFaults().empty() );
		RwCameraEndUpdate( cam.camera );
	}
	// Indexed: the vertex of each index; an index past the vertices fails.
	std::vector<RwIm2DVertex> v = Vertices( 4 );
	RwImVertexIndex indices[6] = { 3, 1, 0, 0, 2, 3 };
	GXHostClearLog();
	ASSERT_TRUE( RwIm2DRenderIndexedPrimitive( 3, v.data(), 4, indices, 6 ) );
	const GXHostDraw& draw = GXHostCurrentFrame().draws.back();
	EXPECT_EQ( draw.vertices[0].position[0], v[3].x );
	EXPECT_EQ( draw.vertices[4].position[0], v[2].x );
	indices[5] = 4;
	EXPECT_FALSE( RwIm2DRenderIndexedPrimitive( 3, v.data(), 4, indices, 6 ) );
	EXPECT_FALSE( RwIm2DRenderPrimitive( 7, v.data(), 4 ) );
	RwRasterDestroy( texture );
}

TEST_F( RwDlIm2DTest, SetsASubRasterCamerasViewportBackAfterEachCall ) {
	std::vector<RwIm2DVertex> v = Vertices( 3 );
	const struct {
		bool		window;
		u32			viewportCalls;
	} cases[] = { { false, 1 }, { true, 2 } };
	for ( const auto& c : cases ) {
		if ( c.window ) {
			cam.UseWindow( { 100, 50, 200, 100 } );
		}
		RwCameraBeginUpdate( cam.camera );
		GXHostClearLog();
		RwIm2DRenderPrimitive( 4, v.data(), 3 );
		EXPECT_EQ( GXHostCallCount( GXHOST_SET_VIEWPORT ), c.viewportCalls ) << c.window;
		const GXHostRenderState& gx = GXHostState();
		EXPECT_EQ( gx.viewport[2], c.window ? 200.0f : 640.0f );
		EXPECT_EQ( gx.scissor[0], c.window ? 100u : 0u );
		RwCameraEndUpdate( cam.camera );
	}
}

TEST_F( RwDlIm2DTest, RendersRastersAsQuadsAndRefusesOtherPairings ) {
	RwRaster* const source = RwRasterCreate( 32, 16, 0, rwRASTERTYPETEXTURE | 0x500 );
	RwRaster* const depth = RwRasterCreate( 32, 16, 0, rwRASTERTYPEZBUFFER );
	_rwDlSetRasterContext( nullptr, cam.raster, 0 );
	const u32 cullBefore = _RwDlStateCache.cullMode;
	RwRect rect = { 10, 20, 64, 48 };
	const struct {
		s32			standard;
		RwRaster*	raster;
		bool		result;
		f32			x1;
		u32			blendSource;
	} cases[] = {
		{ 17, source, true, 42.0f, GX_BL_SRCALPHA },
		{ 19, source, true, 42.0f, GX_BL_ONE },
		{ 18, source, true, 74.0f, GX_BL_SRCALPHA },
		{ 17, depth, false, 0, 0 },
	};
	for ( const auto& c : cases ) {
		GXHostClearLog();
		RwDlTestReadError();
		EXPECT_EQ( RwEngineInstance->standards[c.standard]( c.raster, &rect, 0 ), c.result ) << c.standard;
		if ( !c.result ) {
			const RwError error = RwDlTestReadError();
			EXPECT_EQ( error.pluginID, 1u );
			EXPECT_EQ( error.errorCode, 2u );
			EXPECT_TRUE( RwDlTestQuads().empty() );
			continue;
		}
		const std::vector<const GXHostDraw*> quads = RwDlTestQuads();
		ASSERT_EQ( quads.size(), 1u );
		const GXHostDraw& quad = *quads[0];
		EXPECT_EQ( quad.vertices[1].position[0], c.x1 );
		EXPECT_EQ( quad.vertices[2].texCoord[0][0], 1.0f );
		EXPECT_EQ( quad.state.blendSource, c.blendSource );
		EXPECT_EQ( quad.state.textures[0].image, _rwDlRasterExt( source )->texels );
		const f32 projection[7] = { 1.0f, 2.0f / 639.0f, -1.0f, -2.0f / 479.0f, 1.0f, -1.0f, -1.0f };
		EXPECT_EQ( std::memcmp( quad.state.projection, projection, sizeof( projection ) ), 0 );
		EXPECT_EQ( _RwDlStateCache.cullMode, cullBefore );
	}
	RwRasterDestroy( depth );
	RwRasterDestroy( source );
}

TEST_F( RwDlIm2DTest, ClearsRastersByQuadOrThroughTheirTexels ) {
	// The clear quad by flags: colour, Z, both, neither.
	const struct {
		s32		flags;
		u32		quads;
		GXBool	colourUpdate;
		GXBool	zUpdate;
	} flagCases[] = { { 1, 1, GX_TRUE, GX_FALSE }, { 3, 1, GX_TRUE, GX_TRUE }, { 2, 1, GX_FALSE, GX_TRUE }, { 0, 0, 0, 0 } };
	for ( const auto& c : flagCases ) {
		GXHostClearLog();
		const RwRect rect = { 0, 0, 64, 64 };
		const RwRGBA colour = { 9, 8, 7, 6 };
		EXPECT_TRUE( _rwDlRasterCamera_ZClearRect( cam.raster, &rect, &colour, c.flags ) );
		const std::vector<const GXHostDraw*> quads = RwDlTestQuads();
		ASSERT_EQ( quads.size(), c.quads ) << c.flags;
		if ( c.quads ) {
			EXPECT_EQ( quads[0]->state.colourUpdate, c.colourUpdate ) << c.flags;
			EXPECT_EQ( quads[0]->state.zUpdate, c.zUpdate ) << c.flags;
			EXPECT_EQ( quads[0]->state.materialColour[0].r, ( c.flags & 1 ) ? 9 : 0 );
			EXPECT_EQ( quads[0]->vertices[0].position[2], rwDlDriverDevice.zBufferFar );
		}
		EXPECT_EQ( GXHostState().colourUpdate, GX_TRUE );
	}

	// A 4-bit rectangle cleared with 3 writes 0x33 over half its width.
	RwRaster* const four = RwRasterCreate( 16, 8, 4, rwRASTERTYPETEXTURE );
	_rwDlSetRasterContext( nullptr, four, 0 );
	EXPECT_TRUE( RwEngineInstance->standards[14]( nullptr, nullptr, 0 ) );
	const RwRect rect = { 2, 1, 6, 3 };
	EXPECT_TRUE( RwEngineInstance->standards[13]( nullptr, const_cast<RwRect*>( &rect ), 3 ) );
	const u8* const texels = RwRasterLock( four, 0, rwRASTERLOCKREAD );
	for ( s32 y = 0; y < 8; y++ ) {
		for ( s32 x = 0; x < 8; x++ ) {
			const bool inside = y >= 1 && y < 4 && x >= 1 && x < 4;
			EXPECT_EQ( texels[y * four->stride + x], inside ? 0x33 : 0x00 ) << x << "," << y;
		}
	}
	RwRasterUnlock( four );
	RwRasterDestroy( four );

	// A whole texture cleared with 0 or all ones makes no lock buffer.
	RwRaster* const whole = RwRasterCreate( 32, 32, 0, rwRASTERTYPETEXTURE | 0x500 );
	_rwDlSetRasterContext( nullptr, whole, 0 );
	const u32 live = RwDlTestMemory::live;
	RwEngineInstance->memoryFunctions.rwmalloc = Counting::Malloc;
	EXPECT_TRUE( RwRasterPushContext( whole ) != nullptr );
	EXPECT_TRUE( RwRasterClear( static_cast<s32>( 0xFFFFFFFF ) ) );
	EXPECT_EQ( Counting::calls, 0u );
	EXPECT_TRUE( RwRasterClear( 0x11223344 ) );
	EXPECT_EQ( Counting::calls, 1u );
	RwRasterPopContext();
	RwEngineInstance->memoryFunctions.rwmalloc = RwDlTestMemory::Malloc;
	EXPECT_EQ( RwDlTestMemory::live, live );
	const u32* const pixels = reinterpret_cast<const u32*>( RwRasterLock( whole, 0, rwRASTERLOCKREAD ) );
	EXPECT_EQ( pixels[0], 0x11223344u );
	EXPECT_EQ( pixels[32 * 32 - 1], 0x11223344u );
	RwRasterUnlock( whole );
	RwRasterDestroy( whole );
}
