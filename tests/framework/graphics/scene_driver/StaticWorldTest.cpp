/*
	The level's static world: a record loads the world with its static
	lights (spot as soft spot with ten times the radius, capped colour,
	frame at the stored place) and becomes the world's static object;
	records without a world, with an ambient light or meeting a full
	light pool keep the stream in step; and the object and the light
	manager end in either order without destroying a light twice.
*/
#include "SceneDriverTestBench.h"

#include "datatypes/maths/DTColor.h"
#include "datatypes/streamable/LevelTestSupport.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFLight.h"
#include "framework/graphics/EFLightMgr.h"
#include "framework/graphics/EFStatic3dObj.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/world/RpLight.h"
#include "graphics3d/world/RpWorld.h"
#include "tools/lib/level/ToolStaticWorldWriter.h"

#include <cmath>
#include <vector>

namespace {

class StaticWorldTest : public SceneDriverTest {
protected:
	void SetUp() override {
		SceneDriverTest::SetUp();
		Start( false );
		gpoWorldMgr = new EFWorld();
	}

	void TearDown() override {
		gpoWorldMgr->Terminate();
		delete gpoWorldMgr;
		gpoWorldMgr = nullptr;
		SceneDriverTest::TearDown();
	}

	// Loads the record; the object is the world's once loaded.
	EFStatic3dObj* Load( const ToolStaticWorld& stored, MemoryLoadResult* loaded = nullptr ) {
		EFStatic3dObj* const object = new EFStatic3dObj;
		const std::vector<u8> record = ToolStaticWorldWriter::Record( stored );
		const MemoryLoadResult result = LoadObject( *object, record );
		EXPECT_EQ( result.consumed, static_cast<s32>( record.size() ) );
		if ( loaded != nullptr ) {
			*loaded = result;
		}
		return object;
	}

	static std::vector<u32> StaticIds() {
		std::vector<u32> ids;
		for ( EFLight* light = gpoEFLightMgr->moLights.mpFirst; light != nullptr; light = light->mpNextLight ) {
			if ( light->muiKind == EF_LIGHT_KIND_STATIC ) {
				ids.push_back( light->GetUID() );
			}
		}
		return ids;
	}

	static u32 WorldLights( RpWorld* world ) {
		u32 count = 0;
		RpWorldForAllLights(
			world, []( RpLight* light, void* data ) {
				++*static_cast<u32*>( data );
				return light;
			},
			&count );
		return count;
	}
};

TEST_F( StaticWorldTest, ARecordLoadsTheLitWorldAsTheWorldsStaticObject ) {
	ToolStaticWorld stored = ToolStaticWorldWriter::Sample();
	stored.id = 0x2A000005;
	stored.trailer = 0xC0FFEE;
	stored.lights[1].light.red = 2.0f;
	stored.lights[1].light.green = 0.5f;
	stored.lights[1].light.blue = 1.5f;
	MemoryLoadResult loaded;
	EFStatic3dObj* const object = Load( stored, &loaded );
	EXPECT_EQ( loaded.result, 0 );
	ASSERT_EQ( gpoWorldMgr->GetStatic3dObj(), object );
	ASSERT_NE( object->GetWorld(), nullptr );
	EXPECT_EQ( gpoWorldMgr->GetCurrentWorld(), object->GetWorld() );
	EXPECT_EQ( object->GetUID(), 0x18000005u );
	EXPECT_EQ( object->GetTrailer(), 0xC0FFEEu );
	RpWorldForAllWorldSectors(
		object->GetWorld(),
		[]( RpWorldSector* sector, void* ) {
			EXPECT_NE( sector->preLitLum, nullptr );
			for ( u32 i = 0; sector->preLitLum != nullptr && i < sector->numVertices; i++ ) {
				EXPECT_EQ( sector->preLitLum[i].alpha, 255 );
			}
			return sector;
		},
		nullptr );
	EXPECT_EQ( StaticIds(), ( std::vector<u32>{ 0x12800001, 0x12800000 } ) );
	EXPECT_EQ( WorldLights( object->GetWorld() ), 2u );

	const struct {
		u32		id;
		u32		type;
		f32		radius;
		f32		red, green, blue;
		f32		x, y, z;
	} rows[] = {
		{ 0x12800000, LIGHT_TYPE_POINT, 12.0f, 1.0f, 0.9f, 0.7f, 0.0f, 6.0f, 0.0f },
		{ 0x12800001, LIGHT_TYPE_SPOT_SOFT, 20.0f, 1.0f, 0.5f, 1.0f, 4.0f, 8.0f, 0.0f },
	};
	for ( const auto& row : rows ) {
		EFLight* const light = gpoEFLightMgr->GetLight( row.id );
		ASSERT_NE( light, nullptr ) << std::hex << row.id;
		EXPECT_EQ( light->GetType(), row.type );
		EXPECT_FLOAT_EQ( light->GetRadius(), row.radius );
		DTColor colour;
		light->GetColor( colour );
		EXPECT_FLOAT_EQ( colour.r, row.red );
		EXPECT_FLOAT_EQ( colour.g, row.green );
		EXPECT_FLOAT_EQ( colour.b, row.blue );
		EXPECT_FLOAT_EQ( colour.a, 1.0f );
		EXPECT_EQ( RpLightGetWorld( light->mpLight ), object->GetWorld() );
		const RwMatrix* const place = RwFrameGetLTM( static_cast<RwFrame*>( light->mpLight->object.object.parent ) );
		EXPECT_FLOAT_EQ( place->pos.x, row.x );
		EXPECT_FLOAT_EQ( place->pos.y, row.y );
		EXPECT_FLOAT_EQ( place->pos.z, row.z );
	}
	// The spot looks down; its cone comes through as read (30 degrees).
	EFLight* const spot = gpoEFLightMgr->GetLight( 0x12800001 );
	const RwMatrix* const spotPlace = RwFrameGetLTM( static_cast<RwFrame*>( spot->mpLight->object.object.parent ) );
	EXPECT_FLOAT_EQ( spotPlace->at.y, -1.0f );
	EXPECT_NEAR( spot->GetConeAngle(), std::acos( 0.866025f ), 1e-5f );
}

TEST_F( StaticWorldTest, FaultyRecordsKeepTheStreamInStep ) {
	// Without a world chunk: the object registers with no world.
	ToolStaticWorld bare;
	bare.lights = ToolStaticWorldWriter::Sample().lights;
	EFStatic3dObj* const empty = Load( bare );
	EXPECT_EQ( gpoWorldMgr->GetStatic3dObj(), empty );
	EXPECT_EQ( empty->GetWorld(), nullptr );
	EXPECT_TRUE( StaticIds().empty() );
	std::vector<u8> stream = ToolStaticWorldWriter::Stream( bare );
	RwMemory memory = { stream.data(), static_cast<u32>( stream.size() ) };
	RwStream* const rwStream = RwStreamOpen( rwSTREAMMEMORY, rwSTREAMREAD, &memory );
	EXPECT_EQ( empty->LoadStatic3dObjFromStream( rwStream ), -2 );
	RwStreamClose( rwStream, nullptr );

	// An ambient light has no frame; the light after it still lands where
	// its frame says.
	ToolStaticWorld ambient = ToolStaticWorldWriter::Sample();
	ambient.lights[0].light.type = LIGHT_TYPE_AMBIENT;
	ambient.lights[0].frame[10] = 99.0f;
	ambient.trailer = 7;
	EFStatic3dObj* const lit = Load( ambient );
	EXPECT_EQ( gpoWorldMgr->GetStatic3dObj(), lit );
	EXPECT_EQ( lit->GetTrailer(), 7u );
	EXPECT_EQ( gpoEFLightMgr->GetLight( 0x12800000 )->GetType(), static_cast<u32>( LIGHT_TYPE_AMBIENT ) );
	EXPECT_EQ( WorldLights( lit->GetWorld() ), 2u );
	EFLight* const spot = gpoEFLightMgr->GetLight( 0x12800001 );
	EXPECT_FLOAT_EQ( RwFrameGetLTM( static_cast<RwFrame*>( spot->mpLight->object.object.parent ) )->pos.x, 4.0f );

	// A full pool: no static light is made, the world and trailer still load.
	gpoWorldMgr->Terminate();
	for ( u32 i = 0; i < EF_LIGHT_POOL_MAX; i++ ) {
		ASSERT_NE( gpoEFLightMgr->CreateDynamicLight( nullptr, LIGHT_TYPE_POINT ), EF_LIGHT_NO_ID );
	}
	EFStatic3dObj* const crowded = Load( ambient );
	EXPECT_NE( crowded->GetWorld(), nullptr );
	EXPECT_EQ( crowded->GetTrailer(), 7u );
	EXPECT_TRUE( StaticIds().empty() );
	EXPECT_EQ( WorldLights( crowded->GetWorld() ), 0u );
}

// Under ASan a light destroyed twice, or one left pointing at the freed
// world, fails these.
TEST_F( StaticWorldTest, TheObjectAndTheLightManagerEndInEitherOrder ) {
	for ( const bool objectFirst : { true, false } ) {
		EFStatic3dObj* const object = Load( ToolStaticWorldWriter::Sample() );
		RpWorld* const world = object->GetWorld();
		ASSERT_NE( world, nullptr );
		// A logic light in the world, and one hidden from it.
		EFLight* const shown = gpoEFLightMgr->GetLight( gpoEFLightMgr->CreateDynamicLight( nullptr, LIGHT_TYPE_POINT ) );
		EFLight* const hidden = gpoEFLightMgr->GetLight( gpoEFLightMgr->CreateDynamicLight( nullptr, LIGHT_TYPE_POINT ) );
		gpoWorldMgr->AddLightInstance( shown );
		gpoWorldMgr->AddLightInstance( hidden );
		hidden->SetVisible( 0 );
		EXPECT_EQ( WorldLights( world ), 3u );
		if ( objectFirst ) {
			object->Terminate();
			EXPECT_TRUE( StaticIds().empty() ) << "the object's lights go through the manager";
			EXPECT_EQ( gpoEFLightMgr->mui16StaticCount, 0u );
			EXPECT_EQ( gpoEFLightMgr->mui16DynamicCount, 2u );
			EXPECT_EQ( shown->IsVisible(), 0u );
			hidden->SetVisible( 1 );
			EXPECT_EQ( hidden->IsVisible(), 0u ) << "no way back into a destroyed world";
		}
		gpoWorldMgr->Terminate();
		EXPECT_TRUE( gpoEFLightMgr->moLights.IsEmpty() );
		EXPECT_EQ( gpoWorldMgr->GetStatic3dObj(), nullptr );
	}
}

}	// namespace
