/*
	Sprites: which pass draws a group, the states a group sets and undoes,
	the squares of world-space and screen-space sprites, the near and far
	bounds, batches of 128 sorted only within themselves, and a sprite
	that outlives the object whose frame it borrowed.
*/
#include "ScreenEffectsTestBench.h"

#include "datatypes/maths/DTColor.h"
#include "framework/graphics/effects/EFEffectStates.h"
#include "framework/graphics/effects/EFSprite.h"
#include "framework/graphics/effects/EFSpriteGroup.h"
#include "framework/graphics/effects/EFSpriteMgr.h"
#include "framework/core/engine/EFIniFile.h"
#include "framework/core/world/EFGameObjectFlags.h"

#include <algorithm>

namespace {

class SpriteTest : public ScreenEffectsTest {
protected:
	void TearDown() override {
		goSpriteMgr.Terminate();
		ScreenEffectsTest::TearDown();
	}

	// A group of the flags with one free sprite at (x, y, z), size 1.
	static EFSpriteGroup* Group( const u32 flags, const f32 x, const f32 y, const f32 z, const f32 red = 0.5f ) {
		EFSpriteGroup* const group = goSpriteMgr.AddSpriteGroup();
		group->mui32Flags = flags;
		DTColor colour( red, 0.0f, 0.0f, 1.0f );
		group->SetColor( colour );
		EFSprite* const sprite = group->GetSprite( group->AddSprite( 0, EF_SPRITE_NO_JOINT, 1.0f ) );
		RwFrame* const frame = sprite->GetFrame()->GetRwFrame();
		frame->modelling.pos = { x, y, z };
		RwFrameUpdateObjects( frame );
		return group;
	}

	// The x of the corners (x+, y-), (x-, y+), ... of each square drawn.
	static std::vector<std::vector<f32>> Corners() {
		std::vector<std::vector<f32>> squares;
		for ( const std::vector<GXHostVertex>& draw : DrawnVertices() ) {
			for ( size_t i = 0; i + 6 <= draw.size(); i += 6 ) {
				std::vector<f32> square;
				for ( size_t k = 0; k < 6; k++ ) {
					square.push_back( draw[i + k].position[0] );
					square.push_back( draw[i + k].position[1] );
				}
				squares.push_back( square );
			}
		}
		return squares;
	}
};

TEST_F( SpriteTest, EachPassDrawsItsGroupsInListOrderWithFogOffAndStencilUndone ) {
	WriteDiscText( "ENGINE.INI", "Stencil = 1\n" );
	EFIniFile::GetInstance()->Read( "ENGINE.INI" );
	// Red tells the groups apart: 0x22 belongs to the occluded pass only.
	Group( 0x00, 0.0f, 0.0f, 10.0f, 0.1f );
	Group( 0x02, 0.0f, 0.0f, 10.0f, 0.2f );
	Group( 0x20, 0.0f, 0.0f, 10.0f, 0.3f );
	Group( 0x22, 0.0f, 0.0f, 10.0f, 0.4f );
	Group( 0x10, 0.0f, 0.0f, 10.0f, 0.5f );
	struct Row {
		const char*			name;
		void				( EFSpriteMgr_BC::*pass )();
		std::vector<u32>	reds;
	};
	const Row rows[] = {
		{ "normal", &EFSpriteMgr_BC::RenderNormal, { 127, 25 } },
		{ "transparent", &EFSpriteMgr_BC::RenderTransparent, { 51 } },
		{ "occluded", &EFSpriteMgr_BC::RenderOccluded, { 102, 76 } },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		GXHostClearLog();
		EFSetState( EF_RS_FOG, 1 );
		( goSpriteMgr.*row.pass )();
		std::vector<u32> reds;
		for ( const GXHostDraw* draw : Draws() ) {
			reds.push_back( draw->vertices[0].colour[0].r );
			EXPECT_EQ( draw->state.fogType, 0u );
			// Only the stencil group reads the stencil through the blend.
			EXPECT_EQ( draw->state.blendSource == GX_BL_INVDSTALPHA, reds.back() == 127 );
		}
		EXPECT_EQ( reds, row.reds );
		EXPECT_EQ( EFGetStateWord( EF_RS_FOG ), 1u );
		EXPECT_EQ( manager->GetSavedSrcBlend(), EF_NO_SAVED_BLEND );
	}
}

TEST_F( SpriteTest, SquaresStandOnTheirSpotOrScreenPositionBetweenNearAndFar ) {
	struct Row {
		const char*		name;
		f32				z;
		bool			screen;
		std::vector<f32> corners;
	};
	// At (0, 0, z): camera-space (z / 2, z / 2, z), corners r W (x +- 1),
	// r H (y +- 1). On the screen at (0.25, 0.5): depth 1.
	const Row rows[] = {
		{ "at 10", 10.0f, false,
		  { 307.2f, 102.4f, 204.8f, 153.6f, 307.2f, 153.6f, 307.2f, 102.4f, 204.8f, 102.4f, 204.8f, 153.6f } },
		{ "on the near plane", 1.0f, false,
		  { 768.0f, -128.0f, -256.0f, 384.0f, 768.0f, 384.0f, 768.0f, -128.0f, -256.0f, -128.0f, -256.0f, 384.0f } },
		{ "on the far plane", 100.0f, false, {} },
		{ "in front of the near plane", 0.5f, false, {} },
		{ "on the screen", 500.0f, true,
		  { 640.0f, -128.0f, -384.0f, 384.0f, 640.0f, 384.0f, 640.0f, -128.0f, -384.0f, -128.0f, -384.0f, 384.0f } },
	};
	RwTexture* const texture = AddTexture( "SP" );
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		goSpriteMgr.Terminate();
		EFSpriteGroup* const group = Group( 0, 0.0f, 0.0f, row.z );
		// Coordinates reach the processor only for a textured draw.
		group->SetTexture( "SP" );
		group->SetTexture( "unknown" );
		ASSERT_EQ( group->mpoTexture, texture );
		if ( row.screen ) {
			group->mpoSprites->mui8Screen = 1;
			group->mpoSprites->mfScreenX = 0.25f;
			group->mpoSprites->mfScreenY = 0.5f;
		}
		GXHostClearLog();
		goSpriteMgr.RenderNormal();
		const std::vector<std::vector<f32>> squares = Corners();
		if ( row.corners.empty() ) {
			EXPECT_TRUE( squares.empty() );
			continue;
		}
		ASSERT_EQ( squares.size(), 1u );
		for ( size_t i = 0; i < row.corners.size(); i++ ) {
			EXPECT_NEAR( squares[0][i], row.corners[i], 1e-3 ) << i;
		}
		const std::vector<GXHostVertex> vertices = DrawnVertices()[0];
		const f32 uvs[6][2] = { { 1, 1 }, { 0, 0 }, { 1, 0 }, { 1, 1 }, { 0, 1 }, { 0, 0 } };
		for ( size_t i = 0; i < 6; i++ ) {
			EXPECT_EQ( vertices[i].texCoord[0][0], uvs[i][0] );
			EXPECT_EQ( vertices[i].texCoord[0][1], uvs[i][1] );
		}
	}
}

TEST_F( SpriteTest, ThreeHundredSpritesDrawAsBatchesSortedOnlyWithinThemselves ) {
	EFSpriteGroup* const group = goSpriteMgr.AddSpriteGroup();
	group->mui32Flags = EF_SPRITE_SORT;
	// Added far to near, so the list runs near to far.
	for ( u32 i = 0; i < 300; i++ ) {
		EFSprite* const sprite = group->GetSprite( group->AddSprite( 0, EF_SPRITE_NO_JOINT, 1.0f ) );
		RwFrame* const frame = sprite->GetFrame()->GetRwFrame();
		frame->modelling.pos = { 0.0f, 0.0f, 2.0f + 0.25f * static_cast<f32>( 299 - i ) };
		RwFrameUpdateObjects( frame );
	}
	goSpriteMgr.RenderNormal();
	std::vector<size_t> sizes;
	std::vector<std::vector<f32>> rights;
	for ( const std::vector<GXHostVertex>& draw : DrawnVertices() ) {
		sizes.push_back( draw.size() );
		std::vector<f32> right;
		for ( size_t i = 0; i < draw.size(); i += 6 ) {
			right.push_back( draw[i].position[0] );
		}
		rights.push_back( right );
	}
	EXPECT_EQ( sizes, ( std::vector<size_t>{ 768, 768, 264 } ) );
	ASSERT_EQ( rights.size(), 3u );
	// Far first within a batch: the right edge 256 + 512 / z grows.
	for ( const std::vector<f32>& right : rights ) {
		EXPECT_TRUE( std::is_sorted( right.begin(), right.end() ) );
	}
	// The batches keep the list's order: the nearest 128 come first.
	EXPECT_LT( *std::max_element( rights[1].begin(), rights[1].end() ),
			   *std::min_element( rights[0].begin(), rights[0].end() ) );
}

TEST_F( SpriteTest, ASpriteOnAnObjectThatEndsStaysWhereItWas ) {
	EFGameObject* const object = MakeObject( 0x2a000010, 0.0f, 0.0f, 10.0f );
	EFSpriteGroup* const group = goSpriteMgr.AddSpriteGroup();
	const u32 id = group->AddSprite( 0x2a000010, EF_OWN_FRAME_JOINT, 1.0f );
	EXPECT_EQ( group->GetSprite( id )->GetFrame(), object->GetFrame() );
	// One with a missing target has no frame and is not drawn.
	group->AddSprite( 0x2a000099, EF_OWN_FRAME_JOINT, 1.0f );
	goSpriteMgr.RenderNormal();
	const std::vector<std::vector<f32>> before = Corners();
	ASSERT_EQ( before.size(), 1u );
	object->Terminate();
	gpoWorldMgr->RemoveGameObject( 0x2a000010 );
	delete object;
	GXHostClearLog();
	goSpriteMgr.RenderNormal();
	EXPECT_EQ( Corners(), before );
	EXPECT_EQ( goSpriteMgr.GetSprite( id )->muiPosFlags & EF_POS_OWNS_FRAME, EF_POS_OWNS_FRAME );
}

} // namespace
