/*
	The sample disc's run on the console driver, as the executable runs
	it (one frame loop, paced on the virtual clock), frames 0 to 260: every
	draw record of every frame belongs to one of the passes the run draws,
	each pass draws its expected count in every frame of its span and
	nothing outside it, and a camera frame draws its passes in the
	graphics manager's order. The loading screen draws its two pictures in
	every frame of the load. The frame the logic shoots is written as a
	640 x 512 picture ImageMagick reads, holding what the embedded frame
	buffer held at that frame.
*/
#include "SampleDriverTestBench.h"
#include "SampleDiscProbes.h"
#include "graphics3d/gamecube/RwDlTestDriver.h"

#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFGameObjectFlags.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/ApAtomicDataPlugin.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/graphics/EFGroundFogGrid.h"
#include "framework/graphics/EFLoadingScreenRW.h"
#include "framework/graphics/EFWaterGrid.h"
#include "framework/graphics/effects/EFLensFlareFX.h"
#include "framework/graphics/effects/EFMotionTrailMgr.h"
#include "framework/graphics/effects/EFProjector.h"
#include "framework/graphics/effects/EFProjectorMgr.h"
#include "framework/graphics/effects/EFShadowMgr.h"
#include "framework/graphics/effects/EFSprite.h"
#include "framework/graphics/effects/EFSpriteGroup.h"
#include "framework/graphics/effects/EFSpriteMgr.h"
#include "framework/graphics/hud/EFHudMgr.h"
#include "framework/graphics/hud/EFHudTextWindow.h"
#include "framework/graphics/particles/PLEmitter.h"
#include "framework/graphics/particles/PLMgr.h"
#include "framework/graphics/particles/PLType.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/gamecube/RwDlRaster.h"
#include "graphics3d/world/RpClump.h"
#include "platform/gx/GX.h"
#include "platform/gx/GXHost.h"
#include "support/TestRunCommand.h"
#include "tools/lib/ToolSampleDisc.h"
#include "tools/lib/level/ToolSampleTextures.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

static_assert( SAMPLE_HUD_TEXT_TYPE == HUD_WIN_TEXT && SAMPLE_HUD_2D_TYPE == HUD_WIN_2D );
static_assert( SAMPLE_HUD_TEXT_FLAGS == EF_HUD_TEXT_CENTER_LINES );
static_assert( std::string_view( SAMPLE_SPRITE_TEXTURE ) == TOOL_SAMPLE_SPRITE_TEXTURE );
static_assert( std::string_view( SAMPLE_PROJECTOR_TEXTURE ) == TOOL_SAMPLE_PALETTISED_TEXTURE );

// The last frame the test runs; the log keeps the load's frames as well.
constexpr u32 LAST_FRAME = 260;
constexpr u32 FRAMES_KEPT = 320;
constexpr u32 EFB_WIDTH = 640;
constexpr u32 EFB_HEIGHT = 512;
constexpr u32 BMP_HEADER = 54;

// The passes, in the order a camera frame draws them (the model and the
// two grids are all drawn in the objects pass, the HUD's text and image
// windows after the camera's passes).
enum Pass : u32 {
	WORLD, MODEL, WATER, FOG, SPRITES, PROJECTED, SHADOWS, PARTICLES, TRAILS, FLARE, HUD_TEXT, HUD_IMAGES,
	PASS_COUNT, CLEAR, UNKNOWN
};
constexpr u32 ORDER[PASS_COUNT] = { 0, 1, 1, 1, 2, 3, 4, 5, 6, 7, 8, 8 };

class EFSampleRunPassesTest : public SampleDriverTestBench {
protected:
	void TearDown() override {
		GXHostSetFramesKept( 4 );
		SampleDriverTestBench::TearDown();
	}

	// The texels the driver loads for a texture of the level's dictionary.
	static const void* Texels( const char* name ) {
		const RwTexture* const texture = RwTexDictionaryFindNamedTexture( RwTexDictionaryGetCurrent(), name );
		return texture != nullptr ? _rwDlRasterExt( texture->raster )->texels : nullptr;
	}

	// The pass a draw of a camera frame belongs to, told apart by what the
	// passes set: display lists or immediate draws, the projection, the
	// primitive, the blend and the texture.
	Pass PassOf( const GXHostDraw& draw ) const {
		const GXHostRenderState& s = draw.state;
		const void* const texture = s.numTexGens != 0 ? s.textures[0].image : nullptr;
		const bool additive = s.blendSource == GX_BL_ONE && s.blendDestination == GX_BL_ONE;
		const bool alpha = s.blendSource == GX_BL_SRCALPHA && s.blendDestination == GX_BL_INVSRCALPHA;
		const bool lists = draw.primitive == GX_TRIANGLES;
		const bool strip = draw.primitive == GX_TRIANGLESTRIP;
		if ( draw.primitive == GX_QUADS ) {
			return CLEAR;
		}
		if ( s.projection[0] == GX_ORTHOGRAPHIC ) {
			if ( lists && texture == font ) {
				return HUD_TEXT;
			}
			if ( strip && draw.vertices.size() == 4 && texture == hudImage ) {
				return HUD_IMAGES;
			}
			if ( lists && additive && ( texture == flare[0] || texture == flare[1] || texture == flare[2] ) ) {
				return FLARE;
			}
			if ( lists && additive && draw.vertices.size() % 6 == 0 &&
				 std::find( particles.begin(), particles.end(), texture ) != particles.end() ) {
				return PARTICLES;
			}
			if ( lists && alpha && texture == sprite && draw.vertices.size() % 6 == 0 ) {
				return SPRITES;
			}
			return UNKNOWN;
		}
		if ( draw.fromDisplayList ) {
			return texture == nullptr ? WORLD : MODEL;
		}
		if ( lists && texture == shadow && s.blendSource == GX_BL_ZERO && s.blendDestination == GX_BL_INVSRCCLR ) {
			return SHADOWS;
		}
		if ( lists && texture == projected && s.textures[0].wrapS == GX_CLAMP && !s.zUpdate ) {
			return PROJECTED;
		}
		if ( strip && additive && !s.zUpdate ) {
			return TRAILS;
		}
		if ( strip && alpha && draw.vertices.size() == waterStrip ) {
			return WATER;
		}
		if ( strip && alpha && draw.vertices.size() == fogStrip ) {
			return FOG;
		}
		return UNKNOWN;
	}

	const void* font = nullptr;
	const void* hudImage = nullptr;
	const void* flare[3] = {};
	std::vector<const void*> particles;
	const void* sprite = nullptr;
	const void* shadow = nullptr;
	const void* projected = nullptr;
	size_t waterStrip = 0;
	size_t fogStrip = 0;
};

TEST_F( EFSampleRunPassesTest, EveryPassDrawsInEachFrameOfItsSpanAndTheShotFrameIsWritten ) {
	ASSERT_NO_FATAL_FAILURE( WriteSampleDisc() );
	GXHostSetFramesKept( FRAMES_KEPT );
	GXHostClearLog();
	// One loop up to the frame before the shot: the camera comes on the
	// model's first call after its moves (its first call is frame 1), the
	// shot SAMPLE_SNAPSHOT_CALL calls later.
	ASSERT_NO_FATAL_FAILURE( StartSampleDisc( SAMPLE_MODEL_STEPS + 1 + SAMPLE_SNAPSHOT_CALL ) );
	gpoEngineController->MainLoop();
	const SampleShared* const shared = SampleSharedBlock();
	ASSERT_NE( shared, nullptr );
	ASSERT_EQ( shared->modelSteps, SAMPLE_MODEL_STEPS );
	ASSERT_EQ( shared->cameraSteps, SAMPLE_SNAPSHOT_CALL );
	const u32 cameraFrame = gpoEngineController->GetFrameCounter() - shared->cameraSteps;
	const u32 shotFrame = cameraFrame + SAMPLE_SNAPSHOT_CALL;
	EXPECT_EQ( shotFrame, gpoEngineController->GetFrameCounter() );
	const std::filesystem::path shot = root / "SAMPLE000.BMP";
	EXPECT_FALSE( std::filesystem::exists( shot ) );

	// The shot frame writes the buffer as it stands (marked here, so that
	// rows and channels are told apart), then the run goes on to the end.
	GXHostFillEfb( 0, 0, 64, 32, 0xFF102030 );
	GXHostFillEfb( 600, 500, 40, 12, 0xFFC0B0A0 );
	std::vector<u32> efb( EFB_WIDTH * EFB_HEIGHT );
	for ( u32 y = 0; y < EFB_HEIGHT; y++ ) {
		for ( u32 x = 0; x < EFB_WIDTH; x++ ) {
			GXPeekARGB( static_cast<u16>( x ), static_cast<u16>( y ), &efb[y * EFB_WIDTH + x] );
		}
	}
	RunMoreFrames( LAST_FRAME + 1 - shotFrame );
	ASSERT_EQ( gpoEngineController->GetFrameCounter(), LAST_FRAME + 1 );
	ASSERT_EQ( shared->cameraSteps, LAST_FRAME + 1 - cameraFrame );

	// Rows bottom up, blue green red, as the buffer held them.
	ASSERT_TRUE( std::filesystem::exists( shot ) );
	EXPECT_FALSE( std::filesystem::exists( root / "SAMPLE001.BMP" ) );
	int status = -1;
	EXPECT_EQ( RunCommand( "identify -format \"%w %h\" '" + shot.string() + "' 2>&1", &status ), "640 512" );
	EXPECT_EQ( status, 0 );
	std::ifstream file( shot, std::ios::binary );
	const std::vector<u8> bytes( ( std::istreambuf_iterator<char>( file ) ), std::istreambuf_iterator<char>() );
	ASSERT_EQ( bytes.size(), BMP_HEADER + EFB_WIDTH * EFB_HEIGHT * 3 );
	u32 differing = 0;
	u32 marked = 0;
	for ( u32 y = 0; y < EFB_HEIGHT; y++ ) {
		const u8* row = &bytes[BMP_HEADER + ( EFB_HEIGHT - 1 - y ) * EFB_WIDTH * 3];
		for ( u32 x = 0; x < EFB_WIDTH; x++, row += 3 ) {
			const u32 argb = efb[y * EFB_WIDTH + x];
			const u32 rgb = static_cast<u32>( row[2] ) << 16 | static_cast<u32>( row[1] ) << 8 | row[0];
			differing += rgb != ( argb & 0xFFFFFF ) ? 1 : 0;
			marked += ( argb & 0xFFFFFF ) != 0 ? 1 : 0;
		}
	}
	EXPECT_EQ( differing, 0u );
	EXPECT_EQ( marked, 64u * 32u + 40u * 12u );

	// What the passes draw with.
	font = Texels( "FONT0" );
	hudImage = Texels( TOOL_SAMPLE_PALETTISED_TEXTURE );
	for ( u32 i = 0; i < 3; i++ ) {
		flare[i] = Texels( ( "LensFlareTex" + std::to_string( i + 1 ) ).c_str() );
	}
	for ( const PLType* type = gpoPLParticleMgr->GetTypeList().GetFirst(); type != nullptr; type = type->mpoNext ) {
		particles.push_back( _rwDlRasterExt( type->mpoTexture->raster )->texels );
	}
	sprite = Texels( SAMPLE_SPRITE_TEXTURE );
	shadow = Texels( "DefaultDropShadow" );
	projected = Texels( SAMPLE_PROJECTOR_TEXTURE );
	EFGameObject* const model = gpoWorldMgr->FindGameObject( SAMPLE_MODEL_ID );
	ASSERT_NE( model, nullptr );
	const EFGridLayout& water =
		static_cast<EFWaterGrid*>( gpoWorldMgr->FindGameObject( SAMPLE_WATER_ID )->Get3dObject( 0 ) )->moGrid;
	const EFGridLayout& fog =
		static_cast<EFGroundFogGrid*>( gpoWorldMgr->FindGameObject( SAMPLE_FOG_ID )->Get3dObject( 0 ) )->moGrid;
	waterStrip = SampleGridStripVertices( water );
	fogStrip = SampleGridStripVertices( fog );
	ASSERT_NE( waterStrip, fogStrip );

	// The effects the logic made with the camera: the sprite and the
	// second emitter on the projector, the trail on the model's joints.
	EFProjector* const projector = goProjectorMgr.GetProjector( shared->projector );
	ASSERT_NE( projector, nullptr );
	EFSpriteGroup* const group = goSpriteMgr.GetSpriteGroup( shared->spriteGroup );
	ASSERT_NE( group, nullptr );
	ASSERT_NE( group->GetSprite( shared->sprite ), nullptr );
	EXPECT_EQ( group->GetSprite( shared->sprite )->GetFrame(), projector->GetFrame() );
	ASSERT_NE( gpoPLParticleMgr->GetEmitter( shared->aheadEmitter ), nullptr );
	EXPECT_EQ( gpoPLParticleMgr->GetEmitter( shared->aheadEmitter )->GetFrame(), projector->GetFrame() );
	const EFMotionTrailMgr::_sSystem* const trail = goMotionTrailMgr.GetSystem( shared->trail );
	ASSERT_NE( trail, nullptr );
	for ( u32 point = 0; point < SAMPLE_TRAIL_POINTS; point++ ) {
		EXPECT_EQ( trail->pPoints[point].pFrame, model->GetObjectFrame( point ) ) << point;
	}

	// The projector and the model's drop-down shadow (the model casts it
	// from the level's flags) are the frame's two projections.
	EXPECT_EQ( model->muiLogicFlags & EF_LF_SHADOW_DROP_DOWN, EF_LF_SHADOW_DROP_DOWN );
	ASSERT_NE( goShadowMgr.GetFirstCaster(), nullptr );
	EXPECT_EQ( goShadowMgr.GetFirstCaster()->mpoObject, model );
	EXPECT_EQ( goProjectorMgr.GetEntriesCount(), 2u );

	// The model draws its atomics of level of detail 0.
	u32 lod0 = 0;
	RpClumpForAllAtomics(
		model->Get3dObject( 0 )->mpClump,
		[]( RpAtomic* atomic, void* data ) -> RpAtomic* {
			*static_cast<u32*>( data ) += ApGetAtomicLod( atomic ) == 0 ? 1 : 0;
			return atomic;
		},
		&lod0 );
	EXPECT_EQ( lod0, 2u );

	// The HUD's windows: the level's text and image and the logic's.
	std::vector<const EFHudWindow*> texts;
	std::vector<const EFHudWindow*> images;
	for ( const EFHudWindow* w = gpoHudMgr->GetRootWindow()->mpoFirstChild; w != nullptr; w = w->mpoNextSibling ) {
		( w->meType == HUD_WIN_TEXT ? texts : images ).push_back( w );
	}
	ASSERT_EQ( texts.size(), 2u );
	ASSERT_EQ( images.size(), 2u );
	EXPECT_NE( std::find( texts.begin(), texts.end(), gpoHudMgr->FindHudWindow( SAMPLE_HUD_TEXT_ID ) ), texts.end() );
	EXPECT_NE( std::find( images.begin(), images.end(), gpoHudMgr->FindHudWindow( SAMPLE_HUD_IMAGE_ID ) ), images.end() );

	// Every pass: the first frame it draws in, the first from which it
	// draws exactly its count (before that, at least its count), and the
	// count. The model's texture fade ended before the camera came: the
	// first frame drawn draws its last pass through the fader too.
	constexpr u32 NEVER = ~0u;
	const struct {
		Pass		pass;
		const char*	name;
		u32			first;
		u32			exactFrom;
		u32			draws;
	} spans[] = {
		{ WORLD, "static world: the floor's one mesh", cameraFrame, cameraFrame, 1 },
		{ MODEL, "objects: the model's atomics", cameraFrame, cameraFrame + 1, lod0 },
		{ WATER, "water grid: a strip per row but 3", cameraFrame, cameraFrame, water.muiRows - 3 },
		{ FOG, "fog grid: a strip per row but 3", cameraFrame, cameraFrame, fog.muiRows - 3 },
		{ SPRITES, "sprites: the group's one batch", cameraFrame, cameraFrame, 1 },
		{ PROJECTED, "the projector's texture on the water", cameraFrame, cameraFrame, 1 },
		{ SHADOWS, "the model's drop-down shadow on the water", cameraFrame, cameraFrame, 1 },
		{ PARTICLES, "particle batches", cameraFrame, NEVER, 1 },
		{ TRAILS, "the trail's strip", cameraFrame, cameraFrame, 1 },
		{ FLARE, "lens flare elements", cameraFrame, cameraFrame, EF_LENS_FLARE_ELEMENTS },
		{ HUD_TEXT, "HUD text windows", cameraFrame, cameraFrame, 2 },
		{ HUD_IMAGES, "HUD image windows", cameraFrame, cameraFrame, 2 },
	};

	const auto& log = GXHostFrames();
	// The log holds the load's frames, frames 0 to LAST_FRAME and the one
	// begun.
	ASSERT_LT( log.size(), FRAMES_KEPT );
	ASSERT_GT( log.size(), LAST_FRAME + 2 );
	const size_t loadFrames = log.size() - ( LAST_FRAME + 2 );
	const u32 glyphs = SampleHudGlyphsOf( TOOL_SAMPLE_TEXTS[SAMPLE_HUD_FIRST_TEXT] );
	u32 framesChecked = 0;
	for ( u32 frame = 0; frame <= LAST_FRAME; frame++ ) {
		SCOPED_TRACE( frame );
		const GXHostFrame& drawn = log[loadFrames + frame];
		u32 counts[PASS_COUNT] = {};
		u32 rank = 0;
		bool ordered = true;
		for ( const GXHostDraw& draw : drawn.draws ) {
			const Pass pass = PassOf( draw );
			ASSERT_NE( pass, UNKNOWN ) << "a draw of no pass: primitive " << draw.primitive << ", "
									   << draw.vertices.size() << " vertices";
			if ( pass == CLEAR ) {
				continue;
			}
			counts[pass]++;
			ordered = ordered && ORDER[pass] >= rank;
			rank = ORDER[pass];
		}
		EXPECT_TRUE( ordered );
		for ( const auto& span : spans ) {
			const u32 count = counts[span.pass];
			if ( frame < span.first ) {
				EXPECT_EQ( count, 0u ) << span.name;
			} else if ( frame < span.exactFrom ) {
				EXPECT_GE( count, span.draws ) << span.name;
			} else {
				EXPECT_EQ( count, span.draws ) << span.name;
			}
		}
		if ( frame >= cameraFrame ) {
			for ( const EFHudWindow* const window : texts ) {
				EXPECT_EQ( SampleHudGlyphIndices( drawn, window->moScreenRect ), glyphs * 6u );
			}
			for ( const EFHudWindow* const window : images ) {
				EXPECT_EQ( SampleHudStrips( drawn, window->moScreenRect ), 1u );
			}
			framesChecked++;
		}
	}
	EXPECT_EQ( framesChecked, LAST_FRAME + 1 - cameraFrame );
	// The grids' strips of the last frame are their vertex arrays' rows.
	EXPECT_EQ( SampleGridStrips( log[loadFrames + LAST_FRAME], water ), water.muiRows - 3 );
	EXPECT_EQ( SampleGridStrips( log[loadFrames + LAST_FRAME], fog ), fog.muiRows - 3 );

	// The load: each of its frames draws the background over the screen,
	// then the bar from its corner, growing to its whole width in the last,
	// each with its own picture; the forced frames and the last at least.
	EXPECT_GE( loadFrames, static_cast<size_t>( EF_LOADING_FORCED_FRAMES + 1 ) );
	const f32 width = static_cast<f32>( gpoGraphicsMgr->GetScreenWidth() );
	const f32 height = static_cast<f32>( gpoGraphicsMgr->GetScreenHeight() );
	f32 progress = EF_LOADING_BAR_LEFT;
	const void* pictures[2] = {};
	for ( size_t i = 0; i < loadFrames; i++ ) {
		SCOPED_TRACE( i );
		std::vector<const GXHostDraw*> strips;
		for ( const GXHostDraw& draw : log[i].draws ) {
			if ( draw.primitive != GX_QUADS ) {
				strips.push_back( &draw );
			}
		}
		ASSERT_EQ( strips.size(), 2u );
		for ( const GXHostDraw* const strip : strips ) {
			ASSERT_EQ( strip->primitive, GX_TRIANGLESTRIP );
			ASSERT_EQ( strip->vertices.size(), 4u );
			EXPECT_EQ( strip->state.projection[0], GX_ORTHOGRAPHIC );
		}
		const GXHostVertex* const back = strips[0]->vertices.data();
		const GXHostVertex* const bar = strips[1]->vertices.data();
		EXPECT_EQ( back[0].position[0], 0.0f );
		EXPECT_EQ( back[0].position[1], 0.0f );
		EXPECT_EQ( back[3].position[0], width );
		EXPECT_EQ( back[3].position[1], height );
		EXPECT_EQ( bar[0].position[0], static_cast<f32>( EF_LOADING_BAR_LEFT ) );
		EXPECT_EQ( bar[0].position[1], static_cast<f32>( EF_LOADING_BAR_TOP ) );
		EXPECT_GE( bar[3].position[0], progress );
		progress = bar[3].position[0];
		for ( u32 k = 0; k < 2; k++ ) {
			if ( i == 0 ) {
				pictures[k] = strips[k]->state.textures[0].image;
			}
			EXPECT_EQ( strips[k]->state.textures[0].image, pictures[k] ) << k;
		}
		EXPECT_NE( pictures[0], pictures[1] );
	}
	EXPECT_EQ( progress, EF_LOADING_BAR_LEFT + EF_LOADING_BAR_WIDTH );
	EXPECT_TRUE( GXHostFaults().empty() );
	FinishSampleDisc();
}

}
