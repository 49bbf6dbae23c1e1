/*
	The light and projector tables on the light manager, the HUD manager
	and the projector manager over the 3D library: level and HUD lights in
	their worlds and lists, colours clamped on both sides, id 0 and
	unknown ids, a full light pool, projector visibility and a projector
	moved through the game-object table.
*/
#include "framework/core/world/WorldTestBench.h"

#include "framework/graphics/EFLight.h"
#include "framework/graphics/EFLightMgr.h"
#include "framework/graphics/effects/EFProjector.h"
#include "framework/graphics/effects/EFProjectorMgr.h"
#include "framework/graphics/hud/EFHudMgr.h"
#include "framework/logic/api/LogicApiTables.h"
#include "graphics3d/world/RpLight.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr u32 HUD_BIT = 0x80000000;
constexpr u32 NO_LIGHT = 0xFFFFFFFF;

class LogicApiLightTest : public WorldTestBench {
protected:
	void SetUp() override {
		WorldTestBench::SetUp();
		ASSERT_NE( moGraphics->Initialize(), 0u );
		Init_light();
		Init_projector();
		Init_gameobj();
	}

	void TearDown() override {
		goProjectorMgr.Terminate();
		WorldTestBench::TearDown();
	}

	static bool InHudSlots( const EFLight* light ) {
		for ( u32 slot = 0; slot < EF_HUD_LIGHT_SLOTS; slot++ ) {
			if ( gpoHudMgr->GetLight( slot ) == light ) {
				return true;
			}
		}
		return false;
	}
};

TEST_F( LogicApiLightTest, HudLightsLiveInTheHudAndLevelLightsInTheLevel ) {
	RpWorld* const level = gpoWorldMgr->GetCurrentWorld();
	const struct {
		u32		type;
		u32		kind;
		RpWorld* world;
		bool	hud;
	} rows[] = {
		{ 128, EF_LIGHT_KIND_DYNAMIC, level, false },
		{ HUD_BIT | 128, EF_LIGHT_KIND_SECOND, gpoHudMgr->GetWorld(), true },
		{ HUD_BIT | 129, EF_LIGHT_KIND_SECOND, gpoHudMgr->GetWorld(), true },
	};
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.type );
		const u32 id = APIlight.CreateLight( row.type );
		EFLight* const light = gpoEFLightMgr->GetLight( id );
		ASSERT_NE( light, nullptr );
		EXPECT_EQ( light->muiKind, row.kind );
		EXPECT_EQ( RpLightGetWorld( light->mpLight ), row.world );
		EXPECT_EQ( InHudSlots( light ), row.hud );
		EXPECT_EQ( giLightCount, 1 );

		APIlight.DestroyLight( id );
		EXPECT_EQ( gpoEFLightMgr->GetLight( id ), nullptr );
		EXPECT_FALSE( InHudSlots( light ) );
		EXPECT_EQ( giLightCount, 0 );
	}
}

TEST_F( LogicApiLightTest, ColourIsClampedOnTheLightAndInTheCallersRecord ) {
	const u32 id = APIlight.CreateLight( 129 );
	CColor colour = { 2.0f, -1.0f, 0.5f, 1.0f };
	APIlight.SetColor( id, &colour );
	EXPECT_EQ( colour.red, 1.0f );
	EXPECT_EQ( colour.green, 0.0f );
	EXPECT_EQ( colour.blue, 0.5f );
	EXPECT_EQ( colour.alpha, 1.0f );
	CColor read = {};
	APIlight.GetColor( id, &read );
	EXPECT_EQ( std::memcmp( &read, &colour, sizeof( CColor ) ), 0 );

	APIlight.SetFlag( id, 0x1234 );
	EXPECT_EQ( APIlight.GetFlag( id ), 0x34u );

	// Hidden, seen as hidden, shown again.
	APIlight.SetVisible( id, 0 );
	EXPECT_EQ( APIlight.IsVisible( id ), 0u );
	EXPECT_EQ( RpLightGetWorld( gpoEFLightMgr->GetLight( id )->mpLight ), nullptr );
	APIlight.SetVisible( id, 1 );
	EXPECT_EQ( APIlight.IsVisible( id ), 1u );
}

TEST_F( LogicApiLightTest, IdZeroAndUnknownIdsReachNoLight ) {
	// A light the manager does hold under id 0 (a static one) is still
	// never reached through the table.
	EFLight* const zero = gpoEFLightMgr->CreateStaticLight( 0, LIGHT_TYPE_POINT );
	ASSERT_NE( zero, nullptr );
	zero->SetRadius( 5.0f );
	gpoWorldMgr->AddLightInstance( zero );
	const u32 ids[] = { 0, 0x12000999 };
	for ( const u32 id : ids ) {
		EXPECT_EQ( APIlight.GetRadius( id ), 0.0f );
		APIlight.SetRadius( id, 1.0f );
		APIlight.SetVisible( id, 0 );
		EXPECT_EQ( APIlight.IsVisible( id ), 0u );
		APIlight.DestroyLight( id );
	}
	EXPECT_EQ( zero->GetRadius(), 5.0f );
	EXPECT_EQ( zero->IsVisible(), 1u );
	EXPECT_EQ( gpoEFLightMgr->GetLight( 0 ), zero );
	EXPECT_EQ( giLightCount, 0 );
}

TEST_F( LogicApiLightTest, AFullPoolMakesAndCountsNothing ) {
	u32 made = 0;
	while ( made < EF_LIGHT_POOL_MAX && APIlight.CreateLight( 128 ) != NO_LIGHT ) {
		made++;
	}
	ASSERT_EQ( made, EF_LIGHT_POOL_MAX );
	EXPECT_EQ( APIlight.CreateLight( HUD_BIT | 128 ), NO_LIGHT );
	EXPECT_EQ( giLightCount, static_cast<s32>( EF_LIGHT_POOL_MAX ) );
	EXPECT_EQ( gpoHudMgr->GetLight( 0 ), nullptr );
}

TEST_F( LogicApiLightTest, ProjectorsAreShownHiddenAndMovedAsPositionedThings ) {
	const u32 handle = APIprojector.CreateProjector();
	EFProjector* const projector = goProjectorMgr.GetProjector( handle );
	ASSERT_NE( projector, nullptr );
	EXPECT_EQ( handle & 0xFF000000, 0x1D000000u );
	projector->SetFlags( 0x3 );
	APIprojector.SetVisible( handle, 0 );
	EXPECT_EQ( projector->GetFlags(), 0x2u );
	APIprojector.SetVisible( handle, 7 );
	EXPECT_EQ( projector->GetFlags(), 0x3u );
	APIprojector.SetVisible( handle + 1, 0 );
	EXPECT_EQ( projector->GetFlags(), 0x3u );

	DTVector3d at( 4.0f, 5.0f, 6.0f );
	APIgameobj.SetTranslation( handle, &at );
	const RwV3d& pos = RwFrameGetLTM( projector->GetFrame()->GetRwFrame() )->pos;
	EXPECT_EQ( pos.x, 4.0f );
	EXPECT_EQ( pos.y, 5.0f );
	EXPECT_EQ( pos.z, 6.0f );

	APIprojector.DestroyProjector( handle );
	EXPECT_EQ( goProjectorMgr.GetProjector( handle ), nullptr );
}

}
