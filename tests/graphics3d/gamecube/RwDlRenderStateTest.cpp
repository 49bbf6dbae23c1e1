#include "RwDlTestDriver.h"

#include "graphics3d/core/RwRenderState.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/gamecube/RwDlRenderState.h"

#include <cstdint>

namespace {

class RwDlRenderStateTest : public RwDlTestCase {
protected:
	void SetUp() override {
		RwDlTestCase::SetUp();
		ASSERT_TRUE( BringUp() );
	}

	static void* Value( const s64 v ) {
		return reinterpret_cast<void*>( static_cast<intptr_t>( v ) );
	}

	static bool Get( const s32 state, s32* out ) {
		return _rwDlGetRenderState( state, out );
	}

	static u32 Records() {
		return static_cast<u32>( GXHostCurrentFrame().records.size() );
	}
};

}	// namespace

TEST_F( RwDlRenderStateTest, SetsGetsAndRefusesStatesThroughTheCache ) {
	const GXHostRenderState& gx = GXHostState();
	// The open values.
	EXPECT_EQ( gx.zFunction, static_cast<u32>( GX_LEQUAL ) );
	EXPECT_EQ( gx.blendSource, GX_BL_SRCALPHA );
	EXPECT_EQ( gx.blendDestination, GX_BL_INVSRCALPHA );
	EXPECT_EQ( gx.cullMode, GX_CULL_FRONT );
	EXPECT_EQ( gx.alphaCompare[0], static_cast<u32>( GX_ALWAYS ) );
	EXPECT_EQ( gx.channels[0].attenuationFunction, GX_AF_NONE );
	EXPECT_EQ( GXHostCopy().clearZ, 0xFFFFFFu );
	ASSERT_NE( _RwDlTexture, nullptr );
	EXPECT_EQ( _RwDlTexture->filterAddressing, 0x1102u );

	const struct {
		s32				state;
		s64				value;
		bool			set;
		s32				got;			// -1: the get fails
		GXHostCall		call;			// the one GX call a change makes; GXHOST_CALL_COUNT: none
		const u32*		field;			// GX state checked after the set
		u32				expected;
	} cases[] = {
		{ 6, 0, true, 0, GXHOST_SET_Z_MODE, &gx.zFunction, GX_ALWAYS },
		{ 8, 0, true, 0, GXHOST_SET_Z_MODE, &gx.zFunction, GX_ALWAYS },
		{ 6, 1, true, 1, GXHOST_SET_Z_MODE, &gx.zFunction, GX_LEQUAL },
		{ 8, 1, true, 1, GXHOST_SET_Z_MODE, &gx.zFunction, GX_LEQUAL },
		{ 10, 2, true, 2, GXHOST_SET_BLEND_MODE, &gx.blendSource, GX_BL_ONE },
		{ 10, 9, true, 9, GXHOST_SET_BLEND_MODE, &gx.blendSource, GX_BL_SRCCLR },
		{ 10, 3, false, 9, GXHOST_CALL_COUNT, nullptr, 0 },
		{ 10, 0, false, 9, GXHOST_CALL_COUNT, nullptr, 0 },
		{ 10, 11, false, 9, GXHOST_CALL_COUNT, nullptr, 0 },
		{ 11, 8, true, 8, GXHOST_SET_BLEND_MODE, &gx.blendDestination, GX_BL_INVDSTALPHA },
		{ 11, 9, false, 8, GXHOST_CALL_COUNT, nullptr, 0 },
		{ 20, 1, true, 1, GXHOST_SET_CULL_MODE, &gx.cullMode, GX_CULL_NONE },
		{ 20, 3, true, 3, GXHOST_SET_CULL_MODE, &gx.cullMode, GX_CULL_BACK },
		{ 16, 2, false, 1, GXHOST_CALL_COUNT, nullptr, 0 },
		{ 16, 1, true, 1, GXHOST_CALL_COUNT, nullptr, 0 },
		{ 5, 0, false, 1, GXHOST_CALL_COUNT, nullptr, 0 },
		{ 5, 7, true, 1, GXHOST_CALL_COUNT, nullptr, 0 },
		{ 7, 1, false, 2, GXHOST_CALL_COUNT, nullptr, 0 },
		{ 7, 2, true, 2, GXHOST_CALL_COUNT, nullptr, 0 },
		{ 2, 4, false, 1, GXHOST_CALL_COUNT, nullptr, 0 },
		{ 2, 2, true, 2, GXHOST_CALL_COUNT, nullptr, 0 },
		{ 3, 1, true, 1, GXHOST_CALL_COUNT, nullptr, 0 },
		{ 4, 4, false, 2, GXHOST_CALL_COUNT, nullptr, 0 },
		{ 9, 6, true, 6, GXHOST_CALL_COUNT, nullptr, 0 },
		{ 12, 1, false, -1, GXHOST_CALL_COUNT, nullptr, 0 },
		{ 13, 1, false, -1, GXHOST_CALL_COUNT, nullptr, 0 },
		{ 17, 1, false, -1, GXHOST_CALL_COUNT, nullptr, 0 },
		{ 19, 1, false, -1, GXHOST_CALL_COUNT, nullptr, 0 },
		{ 21, 1, false, -1, GXHOST_CALL_COUNT, nullptr, 0 },
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( ::testing::Message() << "state " << c.state << " value " << c.value );
		GXHostClearLog();
		EXPECT_EQ( _rwDlSetRenderState( c.state, Value( c.value ) ), c.set );
		if ( c.call != GXHOST_CALL_COUNT ) {
			EXPECT_EQ( Records(), 1u );
			EXPECT_EQ( GXHostCallCount( c.call ), 1u );
			EXPECT_EQ( *c.field, c.expected );
			// The same value again costs nothing.
			GXHostClearLog();
			EXPECT_TRUE( _rwDlSetRenderState( c.state, Value( c.value ) ) );
			EXPECT_EQ( Records(), 0u );
		} else {
			EXPECT_EQ( Records(), 0u );
		}
		s32 got = -7;
		EXPECT_EQ( Get( c.state, &got ), c.got >= 0 );
		if ( c.got >= 0 ) {
			EXPECT_EQ( got, c.got );
		}
	}
	// U and V now differ: address U and V read apart, together refused.
	s32 got = -7;
	EXPECT_FALSE( Get( 2, &got ) );
	EXPECT_EQ( _RwDlTexture->filterAddressing, 0x2106u );

	// Outside a camera update the core refuses before the driver.
	GXHostClearLog();
	EXPECT_FALSE( RwRenderStateSet( 20, Value( 2 ) ) );
	EXPECT_EQ( RwDlTestReadError().errorCode, 16u );
	EXPECT_EQ( Records(), 0u );
}

TEST_F( RwDlRenderStateTest, SetsFogWithTheCamerasPlanesOrTheCachedOnesWithoutOne ) {
	RwDlTestCamera cam;
	ASSERT_TRUE( cam.Create( 640, 480 ) );
	cam.camera->nearPlane = 1.0f;
	cam.camera->farPlane = 300.0f;
	cam.camera->fogPlane = 50.0f;
	const struct {
		bool	camera;
		u32		colour;
		f32		range[4];
	} cases[] = {
		{ false, 0xFF102030, { 5.0f, 10.0f, 0.05f, 10.0f } },
		{ true, 0x80405060, { 50.0f, 300.0f, 1.0f, 300.0f } },
	};
	for ( const auto& c : cases ) {
		if ( c.camera ) {
			RwCameraBeginUpdate( cam.camera );
		}
		GXHostClearLog();
		EXPECT_TRUE( _rwDlSetRenderState( RWDL_STATE_FOG_COLOUR, Value( c.colour ) ) );
		EXPECT_EQ( GXHostCallCount( GXHOST_SET_FOG ), 1u );
		const GXHostRenderState& gx = GXHostState();
		EXPECT_EQ( gx.fogType, GX_FOG_PERSP_LIN ) << "the real type while fog is off";
		EXPECT_EQ( std::memcmp( gx.fogRange, c.range, sizeof( c.range ) ), 0 ) << c.camera;
		EXPECT_EQ( gx.fogColour.r, static_cast<u8>( c.colour >> 16 ) );
		EXPECT_EQ( gx.fogColour.a, static_cast<u8>( c.colour >> 24 ) );
		s32 on = -1;
		EXPECT_TRUE( Get( RWDL_STATE_FOG, &on ) );
		EXPECT_EQ( on, 0 );
		if ( c.camera ) {
			RwCameraEndUpdate( cam.camera );
		}
	}
	// Fog on without a camera takes the cached planes; off sets type none.
	GXHostClearLog();
	EXPECT_TRUE( _rwDlSetRenderState( RWDL_STATE_FOG, Value( 1 ) ) );
	EXPECT_EQ( GXHostState().fogRange[1], 10.0f );
	EXPECT_TRUE( _rwDlSetRenderState( RWDL_STATE_FOG, Value( 1 ) ) );
	EXPECT_EQ( GXHostCallCount( GXHOST_SET_FOG ), 1u );
	EXPECT_TRUE( _rwDlSetRenderState( RWDL_STATE_FOG, Value( 0 ) ) );
	EXPECT_EQ( GXHostState().fogType, GX_FOG_NONE );
	cam.Destroy();
}

TEST_F( RwDlRenderStateTest, SwitchesAlphaCompareModesOnlyWhenTheyChange ) {
	const struct {
		u32		mode;
		u32		compare;
		GXBool	zBefore;
		u32		records;
	} cases[] = {
		{ 3, GX_GREATER, GX_FALSE, 2 }, { 3, GX_GREATER, GX_FALSE, 0 }, { 2, GX_GREATER, GX_TRUE, 2 },
		{ 1, GX_ALWAYS, GX_TRUE, 2 },	{ 9, GX_ALWAYS, GX_TRUE, 0 },	{ 1, GX_ALWAYS, GX_TRUE, 2 },
		{ 1, GX_ALWAYS, GX_TRUE, 0 },
	};
	for ( const auto& c : cases ) {
		GXHostClearLog();
		_rwDlRenderStateSetAlphaComp( c.mode );
		EXPECT_EQ( Records(), c.records ) << c.mode;
		EXPECT_EQ( GXHostState().alphaCompare[0], c.compare ) << c.mode;
		EXPECT_EQ( GXHostState().zCompareBeforeTexture, c.zBefore ) << c.mode;
		EXPECT_EQ( _RwDlStateCache.alphaMode, c.mode );
	}
}

TEST_F( RwDlRenderStateTest, BuildsTextureObjectsAndLoadsStagesOnlyWhenSomethingChanged ) {
	RwRaster* const direct = RwRasterCreate( 16, 16, 0, rwRASTERTYPETEXTURE | 0x8500 );
	RwRaster* const indexed = RwRasterCreate( 16, 16, 0, rwRASTERTYPETEXTURE | 0x2100 );
	RwTexture* const plain = RwTextureCreate( direct );
	RwTexture* const palettised = RwTextureCreate( indexed );
	plain->filterAddressing = 0x2102;
	palettised->filterAddressing = 0x1106;
	const GXHostRenderState& gx = GXHostState();

	// Never set: clamp 1, edge 1, anisotropy 0, bias 0; the token stamped.
	_RwDlTokenCurrent = 77;
	GXHostClearLog();
	_rwDlTextureSet( plain, 1 );
	EXPECT_EQ( _rwDlRasterExt( direct )->token, 77 );
	EXPECT_EQ( GXHostCallCount( GXHOST_LOAD_TEX_OBJ ), 1u );
	const GXTexObj& one = gx.textures[1];
	EXPECT_EQ( one.image, _rwDlRasterExt( direct )->texels );
	EXPECT_EQ( one.format, static_cast<u32>( GX_TF_RGBA8 ) );
	EXPECT_EQ( one.minFilter, GX_LINEAR );
	EXPECT_EQ( one.wrapS, GX_REPEAT );
	EXPECT_EQ( one.wrapT, GX_MIRROR );
	EXPECT_EQ( one.maxLod, 4.0f );
	EXPECT_EQ( one.biasClamp, GX_TRUE );
	EXPECT_EQ( one.edgeLod, GX_TRUE );
	EXPECT_EQ( one.maxAniso, 0u );
	EXPECT_EQ( one.lodBias, 0.0f );
	EXPECT_EQ( _rwDlTextureExt( plain )->state, 0x2102u );
	_RwDlTokenCurrent = 1;

	// The stage holds it, nothing changed: no GX work.
	GXHostClearLog();
	_rwDlTextureSet( plain, 1 );
	EXPECT_EQ( Records(), 0u );
	// A changed filter rebuilds with the LOD values kept.
	RwGameCubeTextureSetLOD( plain, GX_FALSE, GX_FALSE, 2, 0.5f );
	plain->filterAddressing = 0x1106;
	_rwDlTextureSet( plain, 1 );
	EXPECT_EQ( gx.textures[1].minFilter, GX_LIN_MIP_LIN );
	EXPECT_EQ( gx.textures[1].lodBias, 0.5f );
	EXPECT_EQ( gx.textures[1].maxAniso, 2u );

	// Palettised, filter 6: linear-mip-near, TLUT = stage, palette loaded.
	GXHostClearLog();
	_rwDlTextureSet( palettised, 3 );
	EXPECT_EQ( gx.textures[3].minFilter, GX_LIN_MIP_NEAR );
	EXPECT_EQ( gx.textures[3].magFilter, GX_LINEAR );
	EXPECT_EQ( gx.textures[3].tlutName, 3u );
	EXPECT_EQ( gx.textures[3].colourIndexed, GX_TRUE );
	EXPECT_EQ( GXHostCallCount( GXHOST_LOAD_TLUT ), 1u );
	EXPECT_EQ( gx.tluts[3].lut, _rwDlRasterExt( indexed )->palette );
	// On another stage the object is rebuilt for that stage's palette.
	RwGameCubeTextureSetLOD( palettised, GX_TRUE, GX_FALSE, 1, -1.0f );
	_rwDlTextureSet( palettised, 3 );
	_rwDlTextureSet( palettised, 5 );
	EXPECT_EQ( gx.textures[5].tlutName, 5u );
	EXPECT_EQ( gx.textures[5].lodBias, -1.0f );
	EXPECT_EQ( gx.textures[5].edgeLod, GX_FALSE );

	// A destroyed texture leaves no stage holding it.
	RwTextureDestroy( palettised );
	for ( RwTexture* const entry : _RwDlTextureCache ) {
		EXPECT_NE( entry, palettised );
	}
	EXPECT_EQ( _RwDlTextureCache[1], plain );

	// Null binds the current texture with the white raster.
	_rwDlTextureSet( nullptr, 0 );
	EXPECT_EQ( _RwDlTexture->raster, _RwDlRasterWhite );
	EXPECT_EQ( gx.textures[0].image, _rwDlRasterExt( _RwDlRasterWhite )->texels );
	const u8* const white = _rwDlRasterExt( _RwDlRasterWhite )->texels;
	for ( s32 i = 0; i < 32; i++ ) {
		ASSERT_EQ( white[i], 0xFF );
	}

	// The current texture's raster: flushing picks the alpha mode, and
	// destroying the raster detaches it.
	const struct {
		RwRaster*	raster;
		u32			mode;
	} flushes[] = { { direct, 3 }, { _RwDlRasterWhite, 1 } };
	for ( const auto& f : flushes ) {
		EXPECT_TRUE( _rwDlSetRenderState( RWDL_STATE_TEXTURE_RASTER, f.raster ) );
		_rwDlTextureRasterFlush();
		EXPECT_EQ( _RwDlStateCache.alphaMode, f.mode );
		RwRaster* got = nullptr;
		EXPECT_TRUE( _rwDlGetRenderState( RWDL_STATE_TEXTURE_RASTER, &got ) );
		EXPECT_EQ( got, f.raster );
	}
	_rwDlSetRenderState( RWDL_STATE_TEXTURE_RASTER, direct );
	RwTextureDestroy( plain );
	RwRasterDestroy( direct );
	EXPECT_EQ( _RwDlTexture->raster, nullptr );
	RwRasterDestroy( indexed );
}
