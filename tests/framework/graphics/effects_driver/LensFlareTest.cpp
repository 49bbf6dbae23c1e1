/*
	Lens flare: intensity and size against the sun's distance from the
	screen centre, the four elements' draws, the parameters, and the
	lazy initialisation that happens even while inactive.
*/
#include "ScreenEffectsTestBench.h"

#include "framework/graphics/effects/EFLensFlareFX.h"
#include "framework/graphics/effects/EFSprite.h"
#include "framework/graphics/effects/EFSpriteGroup.h"

namespace {

class LensFlareTest : public ScreenEffectsTest {
protected:
	void SetUp() override {
		ScreenEffectsTest::SetUp();
		textures[0] = AddTexture( "LensFlareTex1" );
		textures[1] = AddTexture( "LensFlareTex2" );
		textures[2] = AddTexture( "LensFlareTex3" );
	}

	void TearDown() override {
		goLensFlareFX.Terminate();
		ScreenEffectsTest::TearDown();
	}

	RwTexture* textures[3] = {};
};

TEST_F( LensFlareTest, TheGlowFadesAndShrinksAwayFromTheCentre ) {
	// With the sun at (x, 0, 10), d = |256 (1 - x / 10) / 2 * 2 - 256|.
	struct Row {
		const char*			name;
		f32					x;
		u32					radius;
		u32					red;
		std::vector<f32>	widths;
	};
	const Row rows[] = {
		{ "centre", 0.0f, 300, 255, { 3072, 1536, 768, 2304 } },
		{ "half the radius", -5.859375f, 300, 127, {} },
		{ "the radius", -11.71875f, 300, 0, {} },
		{ "a halved radius", -5.859375f, 150, 0, {} },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		goLensFlareFX.Terminate();
		goLensFlareFX.SetParams( LENS_FLARE_RADIUS, row.radius );
		goLensFlareFX.SetParams( static_cast<eLensFlareParams>( 7 ), 1 );
		goLensFlareFX.mbActive = 1;
		goLensFlareFX.mfSunPosition[0] = row.x;
		goLensFlareFX.mfSunPosition[2] = 10.0f;
		GXHostClearLog();
		goLensFlareFX.Render( *view );
		const std::vector<const GXHostDraw*> draws = Draws();
		ASSERT_EQ( draws.size(), 4u );
		for ( size_t i = 0; i < draws.size(); i++ ) {
			const GXHostDraw& draw = *draws[i];
			ASSERT_EQ( draw.vertices.size(), 6u );
			EXPECT_EQ( draw.vertices[0].colour[0].r, row.red );
			EXPECT_EQ( draw.vertices[0].colour[0].a, 255u );
			if ( !row.widths.empty() ) {
				EXPECT_NEAR( draw.vertices[0].position[0] - draw.vertices[1].position[0], row.widths[i], 1e-2 ) << i;
			}
		}
		// The first element's sprite stands on the sun.
		EFSprite* const sun = goLensFlareFX.mpoGroups[0]->mpoSprites;
		EXPECT_EQ( sun->GetFrame()->GetWMatrix()->GetPos()->x, row.x );
	}
	EXPECT_EQ( goLensFlareFX.mfParams[LENS_FLARE_FALLOFF], 10.0f );
}

TEST_F( LensFlareTest, AnInactiveFlareInitialisesAndDrawsNothing ) {
	goLensFlareFX.Render( *view );
	EXPECT_TRUE( Draws().empty() );
	ASSERT_EQ( goLensFlareFX.mbInitialised, 1u );
	const RwTexture* const expected[4] = { textures[0], textures[1], textures[1], textures[2] };
	for ( u32 i = 0; i < 4; i++ ) {
		const EFSpriteGroup* const group = goLensFlareFX.mpoGroups[i];
		ASSERT_NE( group, nullptr );
		EXPECT_EQ( group->mpoTexture, expected[i] );
	}
	goLensFlareFX.mui32AttachedObject = 0x2a000001;
	goLensFlareFX.Terminate();
	EXPECT_EQ( goLensFlareFX.mpoGroups[0], nullptr );
	EXPECT_EQ( goLensFlareFX.mui32AttachedObject, 0x2a000001u );
	goLensFlareFX.mui32AttachedObject = 0;
}

} // namespace
