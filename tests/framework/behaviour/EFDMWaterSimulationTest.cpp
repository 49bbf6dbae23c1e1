/*
	Water simulation on a grid of cells of size 1 at the origin: the wave
	step against the naive reference, characters disturbing the surface
	(still, jumping in, the notification), the outside border, positions
	that convert to no cell, a zero cell spacing, tiny grids, unchecked
	counts, the running object's alias, allocation, and the ground-fog
	kind's grid.
*/
#include "framework/behaviour/WaterTestBench.h"

#include "support/ClumpFromBytes.h"
#include "support/MMAllocationCounts.h"
#include "tools/lib/graphics3d/ToolSampleModel.h"
#include "graphics3d/gamecube/RwDlIm3D.h"
#include "graphics3d/world/RpClump.h"
#include "framework/behaviour/EFDMHelpers.h"
#include "datatypes/memory/MMMemory.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace {

constexpr u32 CHARACTER = 0x2A000501;
constexpr u32 N = 20;
constexpr u32 M = 12;

class EFDMWaterSimulationTest : public WaterTestBench {
protected:
	static f32 AsFloat( const u32 word ) {
		f32 value = 0.0f;
		std::memcpy( &value, &word, sizeof( value ) );
		return value;
	}

	static bool Flat( const EFDMWaterSimulation& water ) {
		for ( u32 i = 0; i < water.mui32CellCount; i++ ) {
			if ( water.mpfBufferA[i] != 0.0f || water.mpfBufferB[i] != 0.0f ) {
				return false;
			}
		}
		return true;
	}
};

TEST_F( EFDMWaterSimulationTest, RunningSumWaveStepMatchesTheNineNeighbourSumOver100Passes ) {
	constexpr u32 W = 108;
	constexpr u32 H = 100;
	std::mt19937 random( 7 );
	std::uniform_real_distribution<f32> height( -0.2f, 0.2f );
	std::vector<f32> a( W * H, 0.0f );
	std::vector<f32> b( W * H, 0.0f );
	for ( u32 row = 1; row + 1 < H; row++ ) {
		for ( u32 column = 1; column + 1 < W; column++ ) {
			a[row * W + column] = height( random );
			b[row * W + column] = height( random );
		}
	}
	std::vector<f32> ra = a;
	std::vector<f32> rb = b;
	for ( u32 pass = 0; pass < 100; pass++ ) {
		EFDMWaterSimulation::WaveStep( a.data(), b.data(), W, H, 0.98f, 0.08f );
		NaiveWaveStep( ra, rb, W, H, 0.98f, 0.08f );
		std::swap( a, b );
		std::swap( ra, rb );
	}
	f32 worst = 0.0f;
	for ( u32 i = 0; i < W * H; i++ ) {
		worst = std::max( worst, std::fabs( b[i] - rb[i] ) );
		if ( i < W || i >= W * ( H - 1 ) || i % W == 0 || i % W == W - 1 ) {
			ASSERT_EQ( b[i], 0.0f ) << "border cell " << i;
		}
	}
	EXPECT_LT( worst, 1e-5f );
	EXPECT_GT( std::fabs( rb[50 * W + 50] ), 1e-4f );
}

TEST_F( EFDMWaterSimulationTest, CharactersDisturbTheSurfaceByTheirMoveCappedAndAreTold ) {
	EFDMWaterSimulation& water = *MakeWater( N, M );
	EFGameObject* const character = MakeObject( CHARACTER, 10.0f, 5.0f, 6.0f );
	Capture( CHARACTER, NO_WATER );
	std::vector<u32> ids = { CHARACTER };
	DMWaterSimulationParams record = WaterRecord( ids );
	DMSetParams( waterHandle, &record );
	ASSERT_EQ( water.mui32CharacterCount, 1u );

	// Above the surface: nothing, and the last position stays where the
	// list was taken.
	WaterPass( water );
	MoveTo( *character, 10.0f, 3.0f, 6.0f );
	WaterPass( water );
	EXPECT_TRUE( Flat( water ) );
	EXPECT_TRUE( Notes( NO_WATER ).empty() );
	EXPECT_EQ( water.mpoCharacters[0].moLastPos.y, 5.0f );

	// Jumping in: the whole move since y = 5, capped at 0.4 x 0.2, downward.
	MoveTo( *character, 10.0f, -0.5f, 6.0f );
	WaterPass( water );
	EXPECT_FLOAT_EQ( Height( water, 10, 6 ), -0.08f );
	EXPECT_FLOAT_EQ( Height( water, 9, 6 ), -0.04f );
	EXPECT_FLOAT_EQ( Height( water, 10, 7 ), -0.04f );
	EXPECT_FLOAT_EQ( Height( water, 11, 5 ), -0.02f );
	EXPECT_EQ( Height( water, 12, 6 ), 0.0f );
	const std::vector<PhysicsNote> notes = Notes( NO_WATER );
	ASSERT_EQ( notes.size(), 1u );
	EXPECT_EQ( notes[0].words[0], WATER_OBJECT );
	EXPECT_FLOAT_EQ( AsFloat( notes[0].words[1] ), -0.5f );
	EXPECT_FLOAT_EQ( AsFloat( notes[0].words[2] ), 5.0f );
	EXPECT_EQ( water.mpoCharacters[0].moLastPos.y, -0.5f );

	// Standing still with ripple 0 adds nothing more.
	{
		DMDoAction( waterHandle, 1, nullptr );
		const f32* const a = water.mpfBufferA;
		for ( u32 pass = 0; pass < 20; pass++ ) {
			WaterPass( water );
		}
		EXPECT_TRUE( Flat( water ) );
		EXPECT_TRUE( water.mpfBufferA == a || water.mpfBufferB == a );
	}

	// With a ripple it moves the surface a little.
	record = WaterRecord( ids, 0.01f );
	DMSetParams( waterHandle, &record );
	for ( u32 pass = 0; pass < 5; pass++ ) {
		WaterPass( water );
	}
	EXPECT_FALSE( Flat( water ) );
	EXPECT_LE( std::fabs( Height( water, 10, 6 ) ), 0.2f );
}

TEST_F( EFDMWaterSimulationTest, TheAreaLeavesOutFourColumnsAndOneRowOnEachSide ) {
	EFDMWaterSimulation& water = *MakeWater( N, M );
	std::vector<u32> none;
	DMWaterSimulationParams record = WaterRecord( none );
	DMSetParams( waterHandle, &record );
	DTVector3d normal;
	f32 height = 1.0f;
	// Before the first pass the grid's steps are 0: every position is
	// outside.
	EXPECT_EQ( water.GetWaterValueAtThisPos( DTVector3d( 10.0f, 0.0f, 6.0f ), normal, height ), EF_DM_WATER_OUTSIDE );
	WaterPass( water );
	const f32 inf = std::numeric_limits<f32>::infinity();
	const struct {
		f32		x, z;
		u32		result;
	} rows[] = {
		{ 3.4f, 6.0f, 2 }, { 3.5f, 6.0f, 0 }, { 15.4f, 6.0f, 0 }, { 15.5f, 6.0f, 2 },
		{ 10.0f, 0.4f, 2 }, { 10.0f, 0.5f, 0 }, { 10.0f, 10.4f, 0 }, { 10.0f, 10.5f, 2 },
		{ -3.0f, 6.0f, 2 }, { 1e30f, 6.0f, 2 }, { 10.0f, -1e30f, 2 }, { inf, 6.0f, 2 },
		{ 10.0f, std::numeric_limits<f32>::quiet_NaN(), 2 },
	};
	for ( const auto& row : rows ) {
		SCOPED_TRACE( testing::Message() << row.x << ", " << row.z );
		height = 1.0f;
		normal = DTVector3d();
		EXPECT_EQ( water.GetWaterValueAtThisPos( DTVector3d( row.x, 0.0f, row.z ), normal, height ), row.result );
		EXPECT_EQ( height, 0.0f );
		EXPECT_NEAR( normal.y, 1.0f, 1e-3f );
	}
	// A tilted surface: the normal leans away from the rise.
	for ( u32 i = 0; i < water.mui32CellCount; i++ ) {
		water.mpfBufferA[i] = 0.1f * static_cast<f32>( i % N );
	}
	ASSERT_EQ( water.GetWaterValueAtThisPos( DTVector3d( 10.0f, 0.0f, 6.0f ), normal, height ), 0u );
	EXPECT_FLOAT_EQ( height, 1.0f );
	EXPECT_NEAR( normal.x, -0.1f / std::sqrt( 1.01f ), 1e-3f );
	EXPECT_NEAR( normal.y, 1.0f / std::sqrt( 1.01f ), 1e-3f );
	EXPECT_NEAR( normal.z, 0.0f, 1e-4f );
}

TEST_F( EFDMWaterSimulationTest, DegenerateGridsAndSpacingsStayFiniteAndInside ) {
	const struct {
		const char*	name;
		u32			columns, rows;
		f32			cell;
	} rows[] = {
		{ "2 x 2 grid", 2, 2, 1.0f },
		{ "1 x 40 grid", 1, 40, 1.0f },
		{ "no cells", 0, 0, 1.0f },
		{ "zero spacing", N, M, 0.0f },
		{ "negative spacing", N, M, -1.0f },
	};
	EFGameObject* const character = MakeObject( CHARACTER, 10.0f, -0.5f, 6.0f );
	u32 id = WATER_OBJECT + 0x100;
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.name );
		EFDMWaterSimulation& water = *MakeWater( row.columns, row.rows, EF_DM_WATER, id++ );
		std::vector<u32> ids = { CHARACTER };
		DMWaterSimulationParams record = WaterRecord( ids );
		record.afGridValues[0] = row.cell;
		DMSetParams( waterHandle, &record );
		for ( u32 pass = 0; pass < 10; pass++ ) {
			MoveTo( *character, 10.0f, pass % 2 == 0 ? -0.5f : -0.2f, 6.0f );
			WaterPass( water );
		}
		for ( u32 i = 0; i < water.mui32CellCount; i++ ) {
			ASSERT_TRUE( std::isfinite( water.mpfBufferA[i] ) && std::isfinite( water.mpfBufferB[i] ) ) << i;
		}
		DTVector3d normal;
		f32 height = 0.0f;
		const u32 expected = row.columns == N ? 0u : EF_DM_WATER_OUTSIDE;
		EXPECT_EQ( water.GetWaterValueAtThisPos( DTVector3d( 10.0f, 0.0f, 6.0f ), normal, height ), expected );
	}
}

TEST_F( EFDMWaterSimulationTest, TheRunningObjectsAliasNamesTheCharacterThatSetIt ) {
	EFDMWaterSimulation& water = *MakeWater( N, M );
	EFGameObject* const character = MakeObject( CHARACTER, 10.0f, 1.0f, 6.0f );
	std::vector<u32> ids = { EF_DM_RUNNING_OBJECT_ID };
	DMWaterSimulationParams record = WaterRecord( ids );
	SetRunning( character );
	DMSetParams( waterHandle, &record );
	SetRunning( nullptr );
	ASSERT_EQ( water.mui32CharacterCount, 1u );
	EXPECT_EQ( water.mpoCharacters[0].mui32Id, CHARACTER );
	MoveTo( *character, 10.0f, -0.1f, 6.0f );
	WaterPass( water );
	EXPECT_LT( Height( water, 10, 6 ), 0.0f );
	DMWaterSimulationParams back = {};
	DMGetParams( waterHandle, &back );
	EXPECT_EQ( back.ui32CharacterCount, 1u );
	EXPECT_EQ( back.pui32CharacterIds, nullptr );
}

TEST_F( EFDMWaterSimulationTest, PassesAllocateNothingAfterTheFirst ) {
	EFDMWaterSimulation& water = *MakeWater( 108, 100 );
	std::vector<u32> ids;
	for ( u32 i = 0; i < 32; i++ ) {
		MakeObject( CHARACTER + i, 10.0f + static_cast<f32>( i % 8 ), -0.1f, 5.0f + static_cast<f32>( i / 8 ) );
		ids.push_back( CHARACTER + i );
	}
	DMWaterSimulationParams record = WaterRecord( ids, 0.01f );
	DMSetParams( waterHandle, &record );
	WaterPass( water );
	const std::vector<u64> before = MMAllocationCounts();
	for ( u32 pass = 0; pass < 20; pass++ ) {
		WaterPass( water );
	}
	EXPECT_EQ( MMAllocationCounts(), before );
}

TEST_F( EFDMWaterSimulationTest, GroundFogTakesItsGridFromARecordAndClampsItsCount ) {
	EFDMWaterSimulation& fog = *MakeWater( N, M, EF_DM_GROUND_FOG );
	EXPECT_EQ( fog.mui32Type, EFDMWaterSimulation::TYPE_WORD_FOG );
	// Never given a record: no grid, nothing allocated, idle.
	WaterPass( fog );
	EXPECT_EQ( fog.mpfBufferA, nullptr );
	EXPECT_EQ( fogGrid->moGrid.mpfHeights, nullptr );

	// A count of 1000 without ids reads 32 zeroed records (ASan).
	DMGroundFogSimulationParams record = { { 1.0f, 2.0f, 0.5f, 3.0f }, 1000, nullptr, { 1.0f, 1.0f, 1.0f } };
	DMSetParams( waterHandle, &record );
	EXPECT_EQ( fog.mui32CharacterCount, 32u );
	EXPECT_EQ( fogGrid->mafFog[3], 3.0f );
	for ( u32 pass = 0; pass < 3; pass++ ) {
		WaterPass( fog );
	}
	ASSERT_NE( fog.mpfBufferA, nullptr );
	EXPECT_EQ( fogGrid->moGrid.mpfHeights, fog.mpfBufferB );
	EXPECT_EQ( fogGrid->moGrid.mafCellSize[0], 1.0f );
	DMGroundFogSimulationParams back = {};
	DMGetParams( waterHandle, &back );
	EXPECT_EQ( back.afFog[1], 2.0f );
	EXPECT_EQ( back.ui32CharacterCount, 32u );

	// Null restores the fog defaults.
	DMSetParams( waterHandle, nullptr );
	DMGetParams( waterHandle, &back );
	EXPECT_EQ( back.afFog[0], 5.0f );
	EXPECT_EQ( back.afFog[3], 10.0f );
	EXPECT_EQ( back.afGridValues[0], 0.2f );
	EXPECT_EQ( fog.mfInteraction, 0.4f );
}

TEST_F( EFDMWaterSimulationTest, AWaterModuleOnAnotherObjectStaysIdle ) {
	EFPhysic* const body = MakeModuleBody( WATER_OBJECT );
	GiveModel( *OwnerOf( body ) );
	const u32 handle = Add( WATER_OBJECT, EF_DM_WATER );
	EFDMWaterSimulation& water = *Module<EFDMWaterSimulation>( handle );
	WaterPass( water );
	WaterPass( water );
	EXPECT_EQ( water.mpoWaterGrid, nullptr );
	EXPECT_EQ( water.mpfBufferA, nullptr );
	DTVector3d normal;
	f32 height = 1.0f;
	EXPECT_EQ( water.GetWaterValueAtThisPos( DTVector3d(), normal, height ), EF_DM_WATER_OUTSIDE );
}

}

TEST_F( EFDMWaterSimulationTest, AGridOnAQuadModelLaysItselfOutAndShowsTheSimulatedHeights ) {
	EFDMWaterSimulation& water = *MakeWater( 0, 0 );
	const u8 colour[4] = { 0, 80, 160, 255 };
	waterGrid->mpClump = ClumpFromBytes( ToolQuadModelClumpChunk( 10.0f, 5.0f, colour, false ) );
	ASSERT_NE( waterGrid->mpClump, nullptr );
	std::vector<u32> none;
	DMWaterSimulationParams record = WaterRecord( none );
	DMSetParams( waterHandle, &record );
	// The first pass lays the grid out (20 x 7) and sizes the buffers by it.
	WaterPass( water );
	ASSERT_EQ( water.mui32Width, 20u );
	ASSERT_EQ( water.mui32Height, 7u );
	EXPECT_EQ( waterGrid->moGrid.muiHeightCount, water.mui32CellCount );
	water.mpfBufferB[3 * 20 + 10] = 0.5f;
	for ( u32 pass = 0; pass < 4; pass++ ) {
		WaterPass( water );
	}
	waterGrid->ComputeNormal();
	u32 moved = 0;
	for ( u32 r = 1; r + 2 <= 7; r++ ) {
		for ( u32 c = 3; c + 4 <= 20; c++ ) {
			const f32 y = waterGrid->moGrid.mpoVertices[waterGrid->moGrid.Slot( r, c )].objVertex.y;
			EXPECT_EQ( y, Height( water, c, r ) ) << r << ", " << c;
			moved += y != 0.0f ? 1 : 0;
		}
	}
	EXPECT_GT( moved, 1u );
	RpClumpDestroy( waterGrid->mpClump );
	waterGrid->mpClump = nullptr;
}
