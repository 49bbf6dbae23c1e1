/*
	Long and crowded collision runs: seeded spheres over a dense map stay
	finite, above the floor and repeatable; islands in a short work
	memory still simulate every body.
*/
#include "framework/physics/CollisionScenarioBench.h"

#include "datatypes/containers/DTQuickPool.h"
#include "framework/physics/EFCollisionStage.h"
#include "framework/physics/EFCollisionReport.h"
#include "framework/physics/EFContactReport.h"
#include "framework/physics/EFObjCollisionBBox.h"
#include "framework/physics/EFPushRecord.h"
#include "platform/os/OSHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>

namespace {

constexpr u32 FIRST_BALL = 0x2A000400;

// A floor of side 2 x half in cells of size cell, with four walls.
ToolColMap GridWorld( const f32 half, const f32 cell, const bool walls ) {
	ToolColMap scene;
	scene.attribs.resize( 1 );
	const u32 cells = static_cast<u32>( std::lround( 2.0f * half / cell ) );
	for ( u32 i = 0; i < cells; i++ ) {
		for ( u32 k = 0; k < cells; k++ ) {
			const f32 x = -half + cell * static_cast<f32>( i );
			const f32 z = -half + cell * static_cast<f32>( k );
			scene.polygons.push_back( Quad( { x, 0, z }, { x, 0, z + cell }, { x + cell, 0, z + cell }, { x + cell, 0, z } ) );
		}
	}
	if ( walls ) {
		const f32 h = half;
		// Facing inward.
		scene.polygons.push_back( Quad( { h, 0, h }, { h, 10, h }, { h, 10, -h }, { h, 0, -h } ) );
		scene.polygons.push_back( Quad( { -h, 0, -h }, { -h, 10, -h }, { -h, 10, h }, { -h, 0, h } ) );
		scene.polygons.push_back( Quad( { -h, 10, h }, { h, 10, h }, { h, 0, h }, { -h, 0, h } ) );
		scene.polygons.push_back( Quad( { h, 10, -h }, { -h, 10, -h }, { -h, 0, -h }, { h, 0, -h } ) );
	}
	return scene;
}

class EFCollisionRunTest : public CollisionScenarioBench {
protected:
	struct Ball {
		EFPhysic*	body;
		DTVector3d	start;
		DTVector3d	velocity;
		f32			radius;
	};

	// A pre-phase module adding gravity; a post-phase module counting
	// the body's post-collision updates.
	void Equip( EFPhysic* body, u32* posts ) {
		CountingModule* const gravity = new CountingModule( EF_DM_PHASE_PRE | 5, body, nullptr, "gravity" );
		gravity->onPre = [body]() { body->moVelocity.y += -9.8f / 60.0f; };
		CountingModule* const counter = new CountingModule( EF_DM_PHASE_POST | 5, body, nullptr, "count" );
		counter->onPost = [posts]() { ( *posts )++; };
		for ( CountingModule* module : { gravity, counter } ) {
			module->mui32ContextMask = 1;
			body->LinkModule( module );
		}
		body->mui32CurrentContext = 1;
	}

	// Every ball back to its start: position, velocity and state.
	static void Reset( const std::vector<Ball>& balls ) {
		for ( const Ball& ball : balls ) {
			MoveTo( *OwnerOf( ball.body ), ball.start.x, ball.start.y, ball.start.z );
			ball.body->moVelocity = ball.velocity;
			ball.body->mui32PhysicState = 0;
			ball.body->mfFallingTimer = ball.body->mfFallingDelay;
			ball.body->moCollisionModel.PrecalcData();
		}
	}
};

TEST_F( EFCollisionRunTest, FiftySeededSpheresOverATenThousandPolygonMapStayFiniteAboveTheFloorAndRepeat ) {
	AddWorld( GridWorld( 25.0f, 0.5f, true ) );
	std::mt19937 random( 52 );
	std::uniform_real_distribution<f32> place( -20.0f, 20.0f );
	std::uniform_real_distribution<f32> height( 1.0f, 6.0f );
	std::uniform_real_distribution<f32> speed( -6.0f, 6.0f );
	std::uniform_real_distribution<f32> size( 0.3f, 0.7f );
	std::vector<Ball> balls;
	std::vector<u32> posts( 50, 0 );
	for ( u32 i = 0; i < 50; i++ ) {
		SphereSetup setup;
		setup.radius = size( random );
		setup.priority = i % 3;
		setup.weight = 0.5f + static_cast<f32>( i % 4 );
		setup.hardness = i % 2 == 0 ? 1.0f : 0.6f;
		setup.rebound = 0.5f;
		const DTVector3d start( place( random ), height( random ), place( random ) );
		const DTVector3d velocity( speed( random ), speed( random ), speed( random ) );
		EFPhysic* const body = BodyOfPrim( MakeSphere( FIRST_BALL + i, start, setup, velocity ) );
		Equip( body, &posts[i] );
		balls.push_back( { body, start, velocity, setup.radius } );
	}
	std::vector<DTVector3d> finals[2];
	for ( u32 run = 0; run < 2; run++ ) {
		SCOPED_TRACE( run );
		Reset( balls );
		for ( u32 frame = 0; frame < 600; frame++ ) {
			manager.Update( 1.0f / 60.0f );
			for ( const Ball& ball : balls ) {
				const DTVector3d at = WorldPos( *OwnerOf( ball.body ) );
				const DTVector3d& v = ball.body->moVelocity;
				ASSERT_TRUE( std::isfinite( at.x ) && std::isfinite( at.y ) && std::isfinite( at.z ) ) << frame;
				ASSERT_TRUE( std::isfinite( v.x ) && std::isfinite( v.y ) && std::isfinite( v.z ) ) << frame;
				// Stacked bodies may press one another a little into it.
				ASSERT_GT( at.y - ball.radius, -0.05f ) << frame;
			}
		}
		for ( const Ball& ball : balls ) {
			finals[run].push_back( WorldPos( *OwnerOf( ball.body ) ) );
		}
	}
	for ( const u32 count : posts ) {
		EXPECT_EQ( count, 1200u );
	}
	ASSERT_EQ( finals[0].size(), finals[1].size() );
	EXPECT_EQ( std::memcmp( finals[0].data(), finals[1].data(), finals[0].size() * sizeof( DTVector3d ) ), 0 );
}

TEST_F( EFCollisionRunTest, SixteenOverlappingBodiesOverDensePolygonsInAShortWorkMemoryAreAllSimulated ) {
	// 1600 polygons under 16 spheres that overlap each other.
	AddWorld( GridWorld( 2.0f, 0.1f, false ) );
	std::vector<Ball> balls;
	std::vector<u32> posts( 16, 0 );
	for ( u32 i = 0; i < 16; i++ ) {
		const DTVector3d start( 0.1f * static_cast<f32>( i % 4 ), 0.5f, 0.1f * static_cast<f32>( i / 4 ) );
		EFPhysic* const body = BodyOfPrim( MakeSphere( FIRST_BALL + i, start, {}, DTVector3d( 0, -1, 0 ) ) );
		Equip( body, &posts[i] );
		balls.push_back( { body, start, DTVector3d( 0, -1, 0 ), 0.5f } );
	}
	// What the frame takes before any island: the records and the three
	// pools' blocks, each aligned.
	const auto aligned = []( const size_t bytes ) {
		return static_cast<u32>( ( bytes + alignof( std::max_align_t ) - 1 ) / alignof( std::max_align_t ) *
								 alignof( std::max_align_t ) );
	};
	const u32 before = aligned( 16 * sizeof( EFDynamicPhysic ) ) +
					   aligned( DTQuickPool<EFCollisionReport>::ChunkHeaderSize() + 128 * sizeof( EFCollisionReport ) ) +
					   aligned( DTQuickPool<EFPushRecord>::ChunkHeaderSize() + 128 * sizeof( EFPushRecord ) ) +
					   aligned( DTQuickPool<EFContactReport>::ChunkHeaderSize() + 128 * sizeof( EFContactReport ) );
	const u32 stage = aligned( sizeof( EFCollisionStage ) );
	// From room for one stage up to all of them with short lists.
	const u32 rooms[] = { stage, stage + 64, 2 * stage + 200, 5 * stage, 16 * stage, 16 * stage + 2000 };
	for ( const u32 room : rooms ) {
		SCOPED_TRACE( room );
		UseWorkMemory( before + room );
		Reset( balls );
		std::fill( posts.begin(), posts.end(), 0u );
		for ( u32 frame = 0; frame < 3; frame++ ) {
			manager.Update( 1.0f / 60.0f );
		}
		for ( u32 i = 0; i < 16; i++ ) {
			EXPECT_EQ( posts[i], 3u ) << i;
			const DTVector3d at = WorldPos( *OwnerOf( balls[i].body ) );
			EXPECT_TRUE( std::isfinite( at.x ) && std::isfinite( at.y ) && std::isfinite( at.z ) );
		}
		EXPECT_LE( manager.GetWorkMemoryHighWater(), before + room );
	}
}

TEST_F( EFCollisionRunTest, TwoHundredBodiesInIslandsOfSixteenOverDensePolygonsFitTheWorkMemory ) {
	// 6400 polygons of 0.1 units; twelve clusters of 16 overlapping
	// spheres and eight more, all colliding and pressed into the floor.
	AddWorld( GridWorld( 4.0f, 0.1f, false ) );
	std::vector<Ball> balls;
	std::vector<u32> posts( 200, 0 );
	for ( u32 i = 0; i < 200; i++ ) {
		const u32 cluster = i / 16;
		const f32 x = -3.0f + 2.0f * static_cast<f32>( cluster % 4 ) + 0.05f * static_cast<f32>( i % 4 );
		const f32 z = -3.0f + 2.0f * static_cast<f32>( cluster / 4 ) + 0.05f * static_cast<f32>( ( i / 4 ) % 4 );
		const DTVector3d start( x, 0.5f, z );
		EFPhysic* const body = BodyOfPrim( MakeSphere( FIRST_BALL + i, start, {}, DTVector3d( 1, -2, 0.5f ) ) );
		Equip( body, &posts[i] );
		balls.push_back( { body, start, DTVector3d( 1, -2, 0.5f ), 0.5f } );
	}
	for ( u32 frame = 0; frame < 3; frame++ ) {
		manager.Update( 1.0f / 60.0f );
		// Nothing was cut short: lists stop only at the very end.
		EXPECT_LT( manager.GetWorkMemoryHighWater(), MM_WORK_MEMORY_BYTES / 2 );
	}
	for ( u32 i = 0; i < 200; i++ ) {
		EXPECT_EQ( posts[i], 3u ) << i;
	}
}


std::vector<std::string> gPoolMessages;

void RecordPoolMessage( const char* text ) {
	gPoolMessages.emplace_back( text );
}

TEST_F( EFCollisionRunTest, TwentyBodiesPiledOnATwoThousandPolygonPatchNoneEndsBelowIt ) {
	// A 2 x 2.5 patch of 2000 polygons inside four walls. 20 bodies of
	// radius (or half size) 0.3 dropped in a column, every fourth a box:
	// a box lying on the patch touches some hundred polygons, and the
	// island needs more records than the pools hold.
	ToolColMap patch;
	patch.attribs.resize( 1 );
	constexpr f32 CELL = 0.05f;
	for ( u32 i = 0; i < 40; i++ ) {
		for ( u32 k = 0; k < 50; k++ ) {
			const f32 x = -1.0f + CELL * static_cast<f32>( i );
			const f32 z = -1.25f + CELL * static_cast<f32>( k );
			patch.polygons.push_back( Quad( { x, 0, z }, { x, 0, z + CELL }, { x + CELL, 0, z + CELL }, { x + CELL, 0, z } ) );
		}
	}
	patch.polygons.push_back( Quad( { 1, 0, 1.25f }, { 1, 20, 1.25f }, { 1, 20, -1.25f }, { 1, 0, -1.25f } ) );
	patch.polygons.push_back( Quad( { -1, 0, -1.25f }, { -1, 20, -1.25f }, { -1, 20, 1.25f }, { -1, 0, 1.25f } ) );
	patch.polygons.push_back( Quad( { -1, 20, 1.25f }, { 1, 20, 1.25f }, { 1, 0, 1.25f }, { -1, 0, 1.25f } ) );
	patch.polygons.push_back( Quad( { 1, 20, -1.25f }, { -1, 20, -1.25f }, { -1, 0, -1.25f }, { 1, 0, -1.25f } ) );
	AddWorld( patch );
	constexpr f32 SIZE = 0.3f;
	std::vector<Ball> balls;
	std::vector<u32> posts( 20, 0 );
	for ( u32 i = 0; i < 20; i++ ) {
		const f32 jitter = 0.07f * static_cast<f32>( i % 5 ) - 0.14f;
		const DTVector3d start( jitter, 0.5f + 0.9f * static_cast<f32>( i ), -jitter * 0.5f );
		SphereSetup setup;
		setup.radius = SIZE;
		HarnessSphere* const sphere = MakeSphere( FIRST_BALL + i, start, setup );
		EFPhysic* const body = BodyOfPrim( sphere );
		if ( i % 4 == 0 ) {
			EFObjCollisionBBox* const box = new EFObjCollisionBBox( body->GetOwner()->GetFrame() );
			box->SetHalfExtents( DTVector3d( SIZE, SIZE, SIZE ) );
			box->moBaseAttrib = sphere->moBaseAttrib;
			box->UpdateCurrentAttribs();
			delete sphere;
			body->moCollisionModel.mppoPrimArray[0] = box;
			body->moCollisionModel.moPhysicBSphere.mfRadius = box->mfMaxRadius;
			body->moCollisionModel.PrecalcData();
		}
		Equip( body, &posts[i] );
		balls.push_back( { body, start, DTVector3d(), SIZE } );
	}
	const OSHostReportHook previous = OSHostSetReportHook( &RecordPoolMessage );
	gPoolMessages.clear();
	for ( u32 frame = 0; frame < 300; frame++ ) {
		manager.Update( 1.0f / 60.0f );
	}
	OSHostSetReportHook( previous );
	EXPECT_FALSE( gPoolMessages.empty() );
	for ( u32 i = 0; i < 20; i++ ) {
		const DTVector3d at = WorldPos( *OwnerOf( balls[i].body ) );
		ASSERT_TRUE( std::isfinite( at.x ) && std::isfinite( at.y ) && std::isfinite( at.z ) ) << i;
		// Stacked bodies may press one another a little into it.
		EXPECT_GT( at.y - SIZE, -0.05f ) << i;
		EXPECT_EQ( posts[i], 300u ) << i;
	}
}

}
