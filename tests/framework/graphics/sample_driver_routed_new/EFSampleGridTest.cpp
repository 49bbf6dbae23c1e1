/*
	The sample disc booted in-process on the console driver: its water
	surface and ground-fog layer load as grids (their descriptors' classes
	92 and 93) that count as their objects' 3D objects and stay out of the
	library's world; the modules the logic gives them lay them out and hand
	them their heights. From the frame the model makes the level's camera,
	every frame camera 0 draws holds both grids' strips as their vertex
	arrays hold them: the water at the simulation's heights, the fog hazed
	as the fog formula gives it for the camera, worked out here anew.
*/
#include "SampleDriverTestBench.h"
#include "SampleDiscProbes.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/behaviour/EFDMWaterSimulation.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/graphics/EFGroundFogGrid.h"
#include "framework/graphics/EFWaterGrid.h"
#include "framework/physics/EFPhysicMgr.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/gamecube/RwDlIm3D.h"
#include "graphics3d/world/RpClump.h"
#include "platform/gx/GXHost.h"
#include "tools/lib/level/ToolSampleObjects.h"
#include "tools/logic/sample/sampletuning.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

static_assert( SAMPLE_WATER_ID == TOOL_SAMPLE_WATER.objectId );
static_assert( SAMPLE_FOG_ID == TOOL_SAMPLE_FOG.objectId );

constexpr u32 WINDOW_FRAMES = 60;
constexpr f32 WATER_CELLS[3] = { SAMPLE_WATER_CELLS };
constexpr f32 FOG_CELLS[3] = { SAMPLE_FOG_CELLS };

// Columns and rows of a rectangle at a cell size: the cells across, at
// most 100 and raised to a multiple of 4, and 4 more on each side; the
// cells along, at least 2, and one more at each end.
u32 Columns( const ToolSampleSurface& surface, const f32 cell ) {
	const u32 n = std::min( static_cast<u32>( surface.width / cell ), 100u );
	return std::max( ( n + 3 ) & ~3u, 4u ) + 8;
}

u32 Rows( const ToolSampleSurface& surface, const f32 cell ) {
	return std::max( static_cast<u32>( surface.depth / cell ), 2u ) + 2;
}

// Where grid vertex (r, c) lies: the grid starts 4 columns and one row
// before the rectangle's corner.
DTVector3d GridPoint( const ToolSampleSurface& surface, const u32 columns, const u32 rows, const u32 r, const u32 c ) {
	const f32 u = surface.width / static_cast<f32>( columns - 9 );
	const f32 v = surface.depth / static_cast<f32>( rows - 3 );
	return DTVector3d( surface.corner[0] + ( static_cast<f32>( c ) - 4.0f ) * u, surface.corner[1],
					   surface.corner[2] + ( static_cast<f32>( r ) - 1.0f ) * v );
}

// The grid vertex of a slot: strip k alternates rows k + 1 (even slots)
// and k (odd slots).
void VertexOfSlot( const u32 slot, const u32 columns, u32& r, u32& c ) {
	const u32 q = slot / 2;
	r = q / columns + ( slot % 2 == 0 ? 1 : 0 );
	c = q % columns;
}

bool Close( const f32 a, const f32 b ) {
	return std::fabs( a - b ) <= 1e-4f;
}

// The fog's haze of one vertex slot at distance d along the camera's view
// and h above or below the layer, from its stirred height and its level
// before this frame: the alpha, and the new level.
struct Haze {
	u32 alpha;
	f64 level;
	u32 range;	// 0 nearer than the far distance, 1 between, 2 beyond the near one
};

Haze FogHaze( const f64 d0Raw, const f64 h, const f64 height, const f64 previous ) {
	const f64 near = SAMPLE_FOG_NEAR;
	const f64 far = SAMPLE_FOG_FAR;
	const f64 haze = SAMPLE_FOG_HAZE;
	const f64 step = 0.025 / SAMPLE_FOG_FADE_SECONDS;
	const f64 d = d0Raw == 0.0 ? 0.0001 : d0Raw;
	const f64 base = 1.0 - ( 1.0 - haze ) * h / d;
	Haze out = {};
	f64 factor = base;
	if ( d < far ) {
		factor = haze * base;
		out.range = 0;
	} else if ( d <= near ) {
		factor = base * ( haze + ( 1.0 - haze ) * ( d - far ) / ( near - far ) );
		out.range = 1;
	} else {
		out.range = 2;
	}
	out.level = std::clamp( std::min( 1.0 - std::fabs( 6.0 * height ), previous ) + step, 0.0, 1.0 );
	const f64 alpha = std::trunc( 255.0 * factor * out.level );
	out.alpha = alpha <= 0.0 ? 0u : alpha >= 255.0 ? 255u : static_cast<u32>( alpha );
	return out;
}

class EFSampleGridTest : public SampleDriverTestBench {
protected:
	static EFDMWaterSimulation* Module( const u32 handle ) {
		return static_cast<EFDMWaterSimulation*>( EFPhysicMgr::moPhysicMgr.GetModule( handle ) );
	}
};

TEST_F( EFSampleGridTest, BothGridsDrawTheirSimulationsThroughTheLevelsCameraEveryFrame ) {
	ASSERT_NO_FATAL_FAILURE( WriteSampleDisc() );
	ASSERT_NO_FATAL_FAILURE( StartSampleDisc( 1 ) );
	gpoEngineController->MainLoop();
	const SampleShared* const shared = SampleSharedBlock();
	ASSERT_NE( shared, nullptr );
	while ( shared->modelSteps < SAMPLE_MODEL_STEPS ) {
		RunMoreFrames( 1 );
	}

	EFGameObject* const waterObject = gpoWorldMgr->FindGameObject( SAMPLE_WATER_ID );
	EFGameObject* const fogObject = gpoWorldMgr->FindGameObject( SAMPLE_FOG_ID );
	ASSERT_NE( waterObject, nullptr );
	ASSERT_NE( fogObject, nullptr );
	EFWaterGrid* const water = static_cast<EFWaterGrid*>( waterObject->Get3dObject( 0 ) );
	EFGroundFogGrid* const fog = static_cast<EFGroundFogGrid*>( fogObject->Get3dObject( 0 ) );
	EFDMWaterSimulation* const waterModule = Module( shared->waterModule );
	EFDMWaterSimulation* const fogModule = Module( shared->fogModule );
	ASSERT_NE( waterModule, nullptr );
	ASSERT_NE( fogModule, nullptr );
	const EF3dObj* const model = gpoWorldMgr->FindGameObject( SAMPLE_MODEL_ID )->Get3dObject( 0 );

	// Each grid is its object's only 3D object, of its class; the modules
	// took them and laid them out at level 0, with a buffer of one height
	// per grid vertex, and hold the heights the grids draw.
	const struct {
		const ToolSampleSurface&	surface;
		EFGameObject*				object;
		EF3dObj*					grid;
		EFGridLayout&				layout;
		const EFDMWaterSimulation*	module;
		const EF3dObj*				moduleGrid;
		s32							gridClass;
		const f32*					cells;
	} surfaces[] = {
		{ TOOL_SAMPLE_WATER, waterObject, water, water->moGrid, waterModule, waterModule->mpoWaterGrid, 65, WATER_CELLS },
		{ TOOL_SAMPLE_FOG, fogObject, fog, fog->moGrid, fogModule, fogModule->mpoFogGrid, 86, FOG_CELLS },
	};
	for ( const auto& surface : surfaces ) {
		SCOPED_TRACE( surface.gridClass );
		ASSERT_NE( surface.grid, nullptr );
		EXPECT_EQ( surface.object->muiNb3dObj, 1u );
		EXPECT_EQ( surface.grid->GetClassID(), surface.gridClass );
		EXPECT_EQ( surface.grid->GetUID(), surface.surface.gridId );
		EXPECT_EQ( surface.moduleGrid, surface.grid );
		EXPECT_TRUE( surface.layout.IsDrawable() );
		EXPECT_EQ( surface.layout.muiLod, 0u );
		EXPECT_EQ( surface.layout.muiColumns, Columns( surface.surface, surface.cells[0] ) );
		EXPECT_EQ( surface.layout.muiRows, Rows( surface.surface, surface.cells[0] ) );
		EXPECT_EQ( surface.module->mui32CellCount, surface.layout.muiColumns * surface.layout.muiRows );
		EXPECT_EQ( surface.layout.muiHeightCount, surface.module->mui32CellCount );
		EXPECT_EQ( surface.layout.mpfHeights, surface.module->mpfBufferB );
	}
	EXPECT_EQ( fog->mafFog[0], SAMPLE_FOG_NEAR );
	EXPECT_EQ( fog->mafFog[1], SAMPLE_FOG_FAR );
	EXPECT_EQ( fog->mafFog[2], SAMPLE_FOG_HAZE );
	EXPECT_EQ( fog->mafFog[3], SAMPLE_FOG_FADE_SECONDS );

	// From the frame the camera is made on, 60 more.
	const u32 firstFrame = gpoEngineController->GetFrameCounter();
	std::vector<f32> heights;
	u32 changes = 0;
	u32 ranges[3] = {};
	for ( u32 frame = 0; frame <= WINDOW_FRAMES; frame++ ) {
		SCOPED_TRACE( frame );
		const std::vector<f32> levels( fog->moGrid.mpfHaze, fog->moGrid.mpfHaze + fog->moGrid.muiVertexCount );
		const u32 waterPolygons = EFWaterGrid_BC::muiNbWaterPoly;
		const u32 fogPolygons = EFGroundFogGrid_BC::muiNbGridPoly;
		GXHostClearLog();
		RunMoreFrames( 1 );
		ASSERT_EQ( gpoGraphicsMgr->GetCamera( shared->cameraId ), gpoGraphicsMgr->GetCamera( 0 ) );
		ASSERT_NE( gpoGraphicsMgr->GetCamera( 0 ), nullptr );
		ASSERT_GE( GXHostFrames().size(), 2u );
		const GXHostFrame& drawn = GXHostFrames()[0];

		// Neither quad joined the library's world, where the model is.
		EXPECT_EQ( RpClumpGetWorld( water->mpClump ), nullptr );
		EXPECT_EQ( RpClumpGetWorld( fog->mpClump ), nullptr );
		EXPECT_NE( RpClumpGetWorld( model->mpClump ), nullptr );

		// Every strip of both grids, drawn once.
		for ( const auto& surface : surfaces ) {
			const EFGridLayout& layout = surface.layout;
			EXPECT_EQ( layout.mpfHeights, surface.module->mpfBufferB );
			EXPECT_EQ( SampleGridStrips( drawn, layout ), layout.muiRows - 3 ) << surface.gridClass;
		}
		EXPECT_EQ( EFWaterGrid_BC::muiNbWaterPoly - waterPolygons, water->moGrid.PolygonCount() );
		EXPECT_EQ( EFGroundFogGrid_BC::muiNbGridPoly - fogPolygons, fog->moGrid.PolygonCount() );

		// The water: the drawn rows at the surface's heights, which keep
		// moving and stay within what the simulation clamps to.
		const EFGridLayout& sea = water->moGrid;
		const std::vector<f32> now( sea.mpfHeights, sea.mpfHeights + sea.muiHeightCount );
		for ( const f32 height : now ) {
			ASSERT_LE( std::fabs( height ), SAMPLE_WATER_MAX_HEIGHT );
		}
		changes += now != heights ? 1 : 0;
		heights = now;
		for ( u32 r = 1; r + 2 <= sea.muiRows; r++ ) {
			for ( u32 c = 4; c + 5 <= sea.muiColumns; c++ ) {
				const RwV3d& at = sea.mpoVertices[sea.Slot( r, c )].objVertex;
				const DTVector3d place = GridPoint( TOOL_SAMPLE_WATER, sea.muiColumns, sea.muiRows, r, c );
				ASSERT_TRUE( Close( at.x, place.x ) && Close( at.z, place.z ) ) << r << " " << c;
				ASSERT_TRUE( Close( at.y, place.y + now[r * sea.muiColumns + c] ) ) << r << " " << c;
			}
		}

		// The fog: every drawn slot's alpha as the formula gives it for the
		// camera (on the model's frame) and the layer's stirred heights.
		const RwMatrix* const eye = RwFrameGetLTM( gpoWorldMgr->FindGameObject( SAMPLE_MODEL_ID )->GetFrame()->GetRwFrame() );
		const EFGridLayout& mist = fog->moGrid;
		const f64 h = std::fabs( static_cast<f64>( eye->pos.y ) - TOOL_SAMPLE_FOG.corner[1] );
		for ( u32 k = 1; k + 3 <= mist.muiRows; k++ ) {
			for ( u32 slot = 2 * mist.muiColumns * k + 8; slot < 2 * mist.muiColumns * ( k + 1 ) - 8; slot++ ) {
			u32 r = 0;
			u32 c = 0;
			VertexOfSlot( slot, mist.muiColumns, r, c );
			const RwV3d& p = mist.mpoVertices[slot].objVertex;
			const DTVector3d place = GridPoint( TOOL_SAMPLE_FOG, mist.muiColumns, mist.muiRows, r, c );
			ASSERT_TRUE( Close( p.x, place.x ) && Close( p.y, place.y ) && Close( p.z, place.z ) ) << slot;
			const f64 d = std::fabs( static_cast<f64>( eye->at.x ) * ( p.x - eye->pos.x ) +
									 static_cast<f64>( eye->at.y ) * ( p.y - eye->pos.y ) +
									 static_cast<f64>( eye->at.z ) * ( p.z - eye->pos.z ) );
			const Haze expected = FogHaze( d, h, mist.mpfHeights[r * mist.muiColumns + c], levels[slot] );
			ranges[expected.range]++;
			ASSERT_NEAR( mist.mpfHaze[slot], expected.level, 1e-5 ) << slot;
			ASSERT_NEAR( mist.mpoVertices[slot].color.alpha, expected.alpha, 1 ) << slot;
			}
		}
	}
	EXPECT_EQ( gpoEngineController->GetFrameCounter(), firstFrame + WINDOW_FRAMES + 1 );
	EXPECT_EQ( changes, WINDOW_FRAMES + 1 );
	// The fog was seen in all three distance ranges.
	EXPECT_GT( ranges[0], 0u );
	EXPECT_GT( ranges[1], 0u );
	EXPECT_GT( ranges[2], 0u );
	EXPECT_TRUE( GXHostFaults().empty() );
	FinishSampleDisc();
}

}
