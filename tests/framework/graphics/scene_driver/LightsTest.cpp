/*
	Scene lights: ids through the counter's wrap, the list's ends as
	lights go, the pool's limit of 50 (nothing made, nothing counted, a
	freed record reused), hiding and showing in the same world, and what
	each type carries.
*/
#include "SceneDriverTestBench.h"

#include "datatypes/maths/DTColor.h"
#include "framework/graphics/EFLight.h"
#include "framework/graphics/EFLightMgr.h"
#include "graphics3d/world/RpLight.h"
#include "graphics3d/world/RpWorld.h"
#include "graphics3d/world/RpWorldObj.h"

#include <vector>

namespace {

class LightsTest : public SceneDriverTest {
protected:
	void SetUp() override {
		SceneDriverTest::SetUp();
		Start( false );
		manager = new EFLightMgr;
	}

	void TearDown() override {
		delete manager;
		SceneDriverTest::TearDown();
	}

	// The ids from the head of the list.
	std::vector<u32> Ids() const {
		std::vector<u32> ids;
		for ( EFLight* light = manager->moLights.mpFirst; light != nullptr; light = light->mpNextLight ) {
			ids.push_back( light->GetUID() );
		}
		return ids;
	}

	EFLightMgr* manager = nullptr;
};

TEST_F( LightsTest, DynamicIdsCountFromOneAndWrapAfter65534 ) {
	EXPECT_EQ( manager->CreateDynamicLight( nullptr, LIGHT_TYPE_POINT ), 0x12000001u );
	EXPECT_EQ( manager->CreateDynamicLight( nullptr, LIGHT_TYPE_POINT ), 0x12000002u );
	manager->mui32NextId = 65533;
	EXPECT_EQ( manager->CreateDynamicLight( nullptr, LIGHT_TYPE_POINT ), 0x1200FFFDu );
	EXPECT_EQ( manager->CreateDynamicLight( nullptr, LIGHT_TYPE_POINT ), 0x1200FFFEu );
	EXPECT_EQ( manager->CreateDynamicLight( nullptr, LIGHT_TYPE_POINT ), 0x12000001u );
	// Bit 31 asks for the second group; the light is a point light.
	const u32 second = manager->CreateDynamicLight( nullptr, static_cast<LightType_e>( 0x80000080u ) );
	EXPECT_EQ( manager->GetLight( second )->muiKind, EF_LIGHT_KIND_SECOND );
	EXPECT_EQ( manager->GetLight( second )->GetType(), static_cast<u32>( LIGHT_TYPE_POINT ) );
	EFLight* const fixed = manager->CreateStaticLight( 0x12800000, LIGHT_TYPE_SPOT_SOFT );
	ASSERT_NE( fixed, nullptr );
	EXPECT_EQ( manager->GetLight( 0x12800000 ), fixed );
	EXPECT_EQ( fixed->mpGameObjectOwner, nullptr );
	EXPECT_EQ( ( std::vector<u32>{ manager->mui16DynamicCount, manager->mui16SecondCount, manager->mui16StaticCount } ),
			   ( std::vector<u32>{ 5, 1, 1 } ) );
	manager->Terminate();
	EXPECT_TRUE( manager->moLights.IsEmpty() );
	EXPECT_EQ( manager->CreateDynamicLight( nullptr, LIGHT_TYPE_POINT ), 0x12000001u );
}

TEST_F( LightsTest, DestroyingKeepsHeadAndTailRight ) {
	const u32 a = manager->CreateDynamicLight( nullptr, LIGHT_TYPE_POINT );
	const u32 b = manager->CreateDynamicLight( nullptr, LIGHT_TYPE_POINT );
	const u32 c = manager->CreateDynamicLight( nullptr, LIGHT_TYPE_POINT );
	EXPECT_EQ( Ids(), ( std::vector<u32>{ c, b, a } ) );
	manager->DestroyLight( 0x12345678 );
	manager->DestroyLight( a );
	EXPECT_EQ( manager->moLights.mpLast, manager->GetLight( b ) );
	manager->DestroyLight( c );
	EXPECT_EQ( manager->moLights.mpFirst, manager->GetLight( b ) );
	EXPECT_EQ( manager->moLights.mpLast, manager->GetLight( b ) );
	manager->DestroyLight( b );
	EXPECT_EQ( manager->moLights.mpFirst, nullptr );
	EXPECT_EQ( manager->moLights.mpLast, nullptr );
	EXPECT_EQ( manager->mui16DynamicCount, 0u );
}

TEST_F( LightsTest, TheFiftyFirstLightIsRefusedUntilOneIsFreed ) {
	std::vector<u32> ids;
	for ( u32 i = 0; i < EF_LIGHT_POOL_MAX; i++ ) {
		ids.push_back( manager->CreateDynamicLight( nullptr, LIGHT_TYPE_POINT ) );
		ASSERT_NE( ids.back(), EF_LIGHT_NO_ID );
	}
	const std::vector<u32> before = Ids();
	EXPECT_EQ( manager->CreateDynamicLight( nullptr, LIGHT_TYPE_POINT ), EF_LIGHT_NO_ID );
	EXPECT_EQ( manager->CreateStaticLight( 0x12800000, LIGHT_TYPE_POINT ), nullptr );
	EXPECT_EQ( Ids(), before );
	EXPECT_EQ( manager->mui16DynamicCount, EF_LIGHT_POOL_MAX );
	EXPECT_EQ( manager->mui16StaticCount, 0u );
	EFLight* const freed = manager->GetLight( ids[10] );
	manager->DestroyLight( ids[10] );
	EXPECT_EQ( manager->CreateStaticLight( 0x12800000, LIGHT_TYPE_POINT ), freed );
}

TEST_F( LightsTest, HidingRemembersTheWorldAndShowingPutsItBack ) {
	const RwBBox box = { { 10.0f, 10.0f, 10.0f }, { -10.0f, -10.0f, -10.0f } };
	RpWorld* const world = RpWorldCreate( &box );
	ASSERT_NE( world, nullptr );
	EFLight* const light = manager->GetLight( manager->CreateDynamicLight( nullptr, LIGHT_TYPE_POINT ) );
	RpWorldAddLight( world, light->mpLight );
	EXPECT_EQ( light->IsVisible(), 1u );
	light->SetVisible( 0 );
	light->SetVisible( 0 );
	EXPECT_EQ( light->IsVisible(), 0u );
	EXPECT_EQ( light->mpHiddenFrom, world );
	light->SetVisible( 1 );
	light->SetVisible( 1 );
	EXPECT_EQ( RpLightGetWorld( light->mpLight ), world );
	EXPECT_EQ( light->mpHiddenFrom, nullptr );
	// A hidden light destroyed leaves nothing in the world.
	light->SetVisible( 0 );
	manager->Terminate();
	RpWorldDestroy( world );
}

TEST_F( LightsTest, EachTypeCarriesWhatItHas ) {
	EFLight* const ambient = manager->CreateStaticLight( 1, LIGHT_TYPE_AMBIENT );
	EFLight* const point = manager->CreateStaticLight( 2, LIGHT_TYPE_POINT );
	EFLight* const spot = manager->CreateStaticLight( 3, LIGHT_TYPE_SPOT );
	EXPECT_EQ( ambient->GetFrame(), nullptr );
	EXPECT_NE( point->GetFrame(), nullptr );
	point->SetConeAngle( 0.5f );
	EXPECT_EQ( point->GetConeAngle(), 0.0f );
	spot->SetConeAngle( 0.5f );
	EXPECT_NEAR( spot->GetConeAngle(), 0.5f, 1e-6f );
	spot->SetRadius( 12.0f );
	EXPECT_EQ( spot->GetRadius(), 12.0f );
	spot->SetColor( DTColor( 0.25f, 0.5f, 1.0f, 1.0f ) );
	DTColor colour;
	spot->GetColor( colour );
	EXPECT_EQ( colour.g, 0.5f );
	// A light whose library light is gone answers 0.
	RpLightDestroy( ambient->mpLight );
	ambient->mpLight = nullptr;
	EXPECT_EQ( ambient->GetType(), 0u );
	EXPECT_EQ( ambient->GetRadius(), 0.0f );
}

}
