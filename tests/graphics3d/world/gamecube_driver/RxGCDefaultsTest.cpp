// Channel, material and TEV defaults as recorded by the host graphics
// processor, one table row per branch; the default render callback's
// per-mesh texture and alpha-compare choice; the wait before an
// instance is freed.
#include "graphics3d/core/RwResources.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/gamecube/RwGameCube.h"
#include "graphics3d/gamecube/RxGCDefaults.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpMaterial.h"
#include "graphics3d/world/RpMesh.h"
#include "graphics3d/world/RpWorldPlugin.h"

#include "RpGameCubeTestCase.h"

#include <vector>

namespace {

constexpr u32 TEXTURED = 0x04;
constexpr u32 PRELIT = 0x08;
constexpr u32 MODULATE = 0x40;

bool Same( const GXColor& a, const GXColor& b ) {
	return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

class RxGCDefaultsTest : public RpGameCubeTestCase {
protected:
	static RxGCInstanceContext Context( const u32 flags, const u32 numLights, const u32 mask0, const u32 mask1,
										const bool ambient ) {
		RxGCInstanceContext context = {};
		context.flags = flags;
		context.lighting = { 0.5f, 0.25f, 1.0f, 1.0f, ambient ? 1u : 0u, mask0, mask1, numLights };
		return context;
	}
};

TEST_F( RxGCDefaultsTest, ChannelsFollowLightsPreLightingAndModulation ) {
	const GXColor sentinel = { 1, 2, 3, 4 };
	const GXColor black = { 0, 0, 0, 255 };
	const GXColor white = { 255, 255, 255, 255 };
	const struct {
		const char*		what;
		u32				flags;
		u32				numLights;
		u32				mask0;
		u32				mask1;
		bool			ambient;
		u32				chans;
		GXHostChannel	channel0;
		GXColor			material0;
		GXColor			ambient0;
		u32				stages;
	} rows[] = {
		{ "unlit, plain", 0, 0, 0, 0, false, 1, { false, 0, 0, 0, 0, 2 }, black, sentinel, 1 },
		{ "unlit, modulated", MODULATE, 0, 0, 0, false, 1, { false, 0, 0, 0, 0, 2 }, sentinel, sentinel, 1 },
		{ "unlit, pre-lit", PRELIT, 0, 0, 0, false, 1, { false, 0, 1, 0, 0, 2 }, sentinel, sentinel, 1 },
		{ "unlit, pre-lit, modulated", PRELIT | MODULATE, 0, 0, 0, false, 1, { true, 1, 0, 0, 0, 2 }, sentinel, sentinel, 1 },
		{ "pre-lit with a directional light", PRELIT, 1, 0x01, 0, false, 1, { true, 1, 0, 0x01, 2, 2 }, white, sentinel, 1 },
		{ "spot lights only", 0, 1, 0, 0x02, true, 1, { true, 0, 0, 0x02, 2, 1 }, white, sentinel, 1 },
		{ "lit, no ambient, modulated", MODULATE, 2, 0x03, 0, false, 1, { true, 0, 0, 0x03, 2, 2 }, sentinel, black, 1 },
		{ "both kinds of lights", 0, 2, 0x01, 0x02, true, 2, { true, 0, 0, 0x01, 2, 2 }, white, sentinel, 2 },
	};
	for ( const auto& row : rows ) {
		GXSetChanMatColor( GX_COLOR0A0, sentinel );
		GXSetChanAmbColor( GX_COLOR0A0, sentinel );
		const RxGCInstanceContext context = Context( row.flags, row.numLights, row.mask0, row.mask1, row.ambient );
		_rxGCChannelLightingSetup( &context );
		_rxGCTevDefaultSetup( &context );
		const GXHostRenderState& state = GXHostState();
		EXPECT_EQ( state.numChans, row.chans ) << row.what;
		const GXHostChannel& c = state.channels[GX_COLOR0A0 - GX_COLOR0A0];
		EXPECT_EQ( c.enable, row.channel0.enable ) << row.what;
		EXPECT_EQ( c.ambientSource, row.channel0.ambientSource ) << row.what;
		EXPECT_EQ( c.materialSource, row.channel0.materialSource ) << row.what;
		EXPECT_EQ( c.lightMask, row.channel0.lightMask ) << row.what;
		EXPECT_EQ( c.diffuseFunction, row.channel0.diffuseFunction ) << row.what;
		EXPECT_EQ( c.attenuationFunction, row.channel0.attenuationFunction ) << row.what;
		EXPECT_TRUE( Same( state.materialColour[0], row.material0 ) ) << row.what;
		EXPECT_TRUE( Same( state.ambientColour[0], row.ambient0 ) ) << row.what;
		EXPECT_EQ( state.numTevStages, row.stages ) << row.what;
		if ( row.chans == 2 ) {
			const GXHostChannel& spot = state.channels[GX_COLOR1A1 - GX_COLOR0A0];
			EXPECT_EQ( spot.lightMask, row.mask1 );
			EXPECT_EQ( spot.attenuationFunction, GX_AF_SPOT );
			EXPECT_TRUE( Same( state.ambientColour[1], GXColor{ 0, 0, 0, 0 } ) );
		}
	}
}

TEST_F( RxGCDefaultsTest, MaterialColoursAndTheSecondStageFollowTheTable ) {
	RpMaterial* const material = RpMaterialCreate();
	material->color = { 200, 100, 50, 77 };
	material->surfaceProps.ambient = 2.0f;
	const struct {
		const char*		what;
		u32				flags;
		u32				numLights;
		bool			ambient;
		const RpMaterial*	material;
		GXColor			material0;
		GXColor			ambient0;
	} rows[] = {
		// 200 x 2 x 0.5 = 200; 100 x 2 x 0.25 = 50; 50 x 2 x 1 = 100.
		{ "unlit, ambient, modulated", MODULATE, 0, true, material, { 200, 50, 100, 77 }, { 9, 9, 9, 9 } },
		// 255 x 2 x 1.0 = 510 keeps its low byte, 254.
		{ "unlit, ambient", 0, 0, true, material, { 255, 127, 254, 255 }, { 9, 9, 9, 9 } },
		{ "unlit, modulated, no ambient", MODULATE, 0, false, material, { 0, 0, 0, 77 }, { 9, 9, 9, 9 } },
		{ "no material, modulated", MODULATE, 0, false, nullptr, { 0, 0, 0, 255 }, { 9, 9, 9, 9 } },
		{ "lit, ambient, modulated", MODULATE, 1, true, material, { 200, 100, 50, 77 }, { 255, 127, 254, 255 } },
	};
	for ( const auto& row : rows ) {
		GXSetChanMatColor( GX_COLOR0A0, { 9, 9, 9, 9 } );
		GXSetChanAmbColor( GX_COLOR0A0, { 9, 9, 9, 9 } );
		const RxGCInstanceContext context = Context( row.flags, row.numLights, row.numLights ? 1 : 0, 0, row.ambient );
		_rxGCChannelMaterialSetup( &context, row.material );
		const GXColor m = GXHostState().materialColour[0];
		const GXColor a = GXHostState().ambientColour[0];
		EXPECT_TRUE( Same( m, row.material0 ) ) << row.what << " " << +m.r << " " << +m.g << " " << +m.b << " " << +m.a;
		EXPECT_TRUE( Same( a, row.ambient0 ) ) << row.what << " " << +a.r << " " << +a.g << " " << +a.b << " " << +a.a;
	}
	RpMaterialDestroy( material );
	// The second stage adds the rasterised colour times the texture, or
	// the rasterised colour alone.
	const u32 textured[4] = { 15, 8, 10, 0 };
	const u32 plain[4] = { 15, 10, 12, 0 };
	for ( const u32 flags : { TEXTURED, 0u } ) {
		const RxGCInstanceContext context = Context( flags, 2, 0x01, 0x02, false );
		_rxGCTevDefaultSetup( &context );
		const GXHostTevStage& stage = GXHostState().tev[1];
		const u32* const expected = flags ? textured : plain;
		EXPECT_EQ( std::vector<u32>( stage.colourIn, stage.colourIn + 4 ), std::vector<u32>( expected, expected + 4 ) );
		EXPECT_EQ( GXHostState().numTexGens, flags ? 1u : 0u );
	}
}

TEST_F( RxGCDefaultsTest, RenderingPicksTheAlphaCompareOfEachMeshsTexture ) {
	RwRaster* const alphaRaster = RwRasterCreate( 8, 8, 0, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888 );
	RwRaster* const plainRaster = RwRasterCreate( 8, 8, 0, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888 );
	ASSERT_NE( alphaRaster, nullptr );
	_rwDlRasterExt( alphaRaster )->flags |= RWDL_RASTER_HAS_ALPHA;
	_rwDlRasterExt( plainRaster )->flags &= ~RWDL_RASTER_HAS_ALPHA;
	RpMaterial* const withAlpha = RpMaterialCreate();
	RpMaterial* const plain = RpMaterialCreate();
	// The materials keep the only references.
	for ( const auto& [material, raster] : { std::pair{ withAlpha, alphaRaster }, std::pair{ plain, plainRaster } } ) {
		RwTexture* const texture = RwTextureCreate( raster );
		RpMaterialSetTexture( material, texture );
		RwTextureDestroy( texture );
	}
	RpMaterial* const materials[] = { withAlpha, nullptr, plain };
	RpMeshHeader* const mesh = _rpMeshHeaderCreate( _rpMeshHeaderBlockSize( 3, 0 ) );
	*mesh = { 0, 3, 1, 0, 0 };
	for ( u32 i = 0; i < 3; i++ ) {
		RpMeshHeaderGetMeshes( mesh )[i] = { nullptr, 0, materials[i] };
	}
	std::vector<u8> instance( sizeof( RwResEntry ) + sizeof( RxGCInstanceHeader ) + 3 * sizeof( RxGCDisplayListRecord ), 0 );
	RwResEntry* const entry = reinterpret_cast<RwResEntry*>( instance.data() );
	static u8 lists[3][32] = {};
	for ( u32 i = 0; i < 3; i++ ) {
		_rxGCDisplayListRecords( entry )[i] = { 32, lists[i] };
	}
	RpAtomic* const atomic = RpAtomicCreate();
	RpGeometry* const geometry = RpGeometryCreate( 3, 1, 0x02 | TEXTURED );
	RpAtomicSetGeometry( atomic, geometry, 0 );
	RpGeometryDestroy( geometry );
	RxGCInstanceContext context = Context( TEXTURED, 0, 0, 0, false );
	context.entry = entry;
	context.mesh = mesh;
	_RwDlTokenCurrent = 123;
	GXHostClearLog();
	EXPECT_EQ( _rxGCDefaultRenderCallback( atomic, &context ), atomic );
	EXPECT_EQ( _rxGCInstanceHeader( entry )->drawToken, 123 );
	// The alpha compare in force at each display-list call.
	std::vector<u32> compares;
	u32 current = 0xFFFF;
	for ( const GXHostRecord& record : GXHostCurrentFrame().records ) {
		if ( record.call == GXHOST_SET_ALPHA_COMPARE ) {
			current = record.args[0];
		} else if ( record.call == GXHOST_CALL_DISPLAY_LIST ) {
			compares.push_back( current );
		}
	}
	EXPECT_EQ( compares, ( std::vector<u32>{ GX_GREATER, GX_ALWAYS, GX_ALWAYS } ) );
	RpAtomicDestroy( atomic );
	_rpMeshDestroy( mesh );
	RpMaterialDestroy( withAlpha );
	RpMaterialDestroy( plain );
}

TEST_F( RxGCDefaultsTest, FreeingAnInstanceIssuesTheCurrentTokenAndWaitsForIt ) {
	std::vector<u8> instance( sizeof( RwResEntry ) + sizeof( RxGCInstanceHeader ), 0 );
	RwResEntry* const entry = reinterpret_cast<RwResEntry*>( instance.data() );
	_rxGCInstanceHeader( entry )->drawToken = 57343;
	_RwDlTokenCurrent = 57343;
	const u32 invalidations = GXHostVtxCacheInvalidations();
	GXHostClearLog();
	_rxGCResEntryWaitDone( entry );
	EXPECT_EQ( _RwDlTokenCurrent, 0 );
	u32 issued = 0;
	for ( const GXHostRecord& record : GXHostCurrentFrame().records ) {
		issued += record.call == GXHOST_SET_DRAW_SYNC && record.args[0] == 57343 ? 1 : 0;
	}
	EXPECT_EQ( issued, 1u );
	// A token already issued is not issued again.
	GXHostClearLog();
	_rxGCInstanceHeader( entry )->drawToken = 57000;
	_rxGCResEntryWaitDone( entry );
	EXPECT_EQ( GXHostCallCount( GXHOST_SET_DRAW_SYNC ), 0u );
	EXPECT_EQ( _RwDlTokenCurrent, 0 );
	EXPECT_EQ( GXHostVtxCacheInvalidations(), invalidations + 2 );
}

}	// namespace
