/*
	Water and ground-fog grids over written quad models on the console
	driver: the layouts of the levels of detail and their faults, the slot
	layout, shading of a tilted height field, fog haze in each distance
	range and its fade, texture addressing from the filter word, a level
	change rebuilding the array, heights before the first hand-over.
*/
#include "SceneDriverTestBench.h"

#include "framework/graphics/EFGroundFogGrid.h"
#include "framework/graphics/EFWaterGrid.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwRenderState.h"
#include "graphics3d/gamecube/RwDlRenderState.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/gamecube/RwDlIm3D.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpMaterial.h"
#include "support/ClumpFromBytes.h"
#include "support/MMAllocationCounts.h"
#include "tools/lib/graphics3d/ToolSampleModel.h"

#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr u8 SEA[4] = { 200, 100, 50, 255 };

class GridTest : public SceneDriverTest {
protected:
	void SetUp() override {
		SceneDriverTest::SetUp();
		Start( true );
	}

	void TearDown() override {
		for ( EF3dObj* grid : grids ) {
			RpClump* const clump = grid->mpClump;
			grid->mpClump = nullptr;
			delete grid;
			if ( clump != nullptr ) {
				RpClumpDestroy( clump );
			}
		}
		SceneDriverTest::TearDown();
	}

	static RpClump* Quad( const f32 width, const f32 depth ) {
		RpClump* const clump = ClumpFromBytes( ToolQuadModelClumpChunk( width, depth, SEA, true ) );
		EXPECT_NE( clump, nullptr );
		return clump;
	}

	template <class Grid>
	Grid* Make( const f32 width, const f32 depth, std::vector<f32> cells = { 1.0f, 1.0f, 1.0f } ) {
		Grid* const grid = new Grid;
		grid->mpClump = Quad( width, depth );
		grids.push_back( grid );
		if constexpr ( std::is_same_v<Grid, EFWaterGrid> ) {
			grid->InitWater( cells.data() );
		} else {
			grid->InitGrid( cells.data() );
		}
		return grid;
	}

	// Strip draws of the log.
	static std::vector<const GXHostDraw*> Strips() {
		std::vector<const GXHostDraw*> strips;
		for ( const GXHostDraw* draw : Draws() ) {
			if ( draw->vertices.size() >= 8 ) {
				strips.push_back( draw );
			}
		}
		return strips;
	}

	std::vector<EF3dObj*> grids;
};

TEST_F( GridTest, LevelsOfDetailLayOutTheRectangleAndRefuseUnboundedSizes ) {
	const f32 nan = std::numeric_limits<f32>::quiet_NaN();
	struct Row {
		const char*	name;
		f32			width;
		f32			depth;
		f32			cell;
		bool		valid;
		u32			columns;
		u32			rows;
	};
	const Row rows[] = {
		{ "ten wide, five deep", 10.0f, 5.0f, 1.0f, true, 20, 7 },
		{ "narrower than a cell", 0.5f, 0.5f, 1.0f, true, 12, 4 },
		{ "one row of cells", 10.0f, 1.0f, 1.0f, true, 20, 4 },
		{ "negative size", 10.0f, 5.0f, -1.0f, true, 20, 7 },
		{ "columns capped at 100", 1000.0f, 5.0f, 1.0f, true, 108, 7 },
		{ "zero size", 10.0f, 5.0f, 0.0f, false, 0, 0 },
		{ "not a number", 10.0f, 5.0f, nan, false, 0, 0 },
		{ "tiny size: rows beyond any array", 10.0f, 5.0f, 1e-30f, false, 0, 0 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFWaterGrid* const grid = Make<EFWaterGrid>( row.width, row.depth, { row.cell, row.cell, row.cell } );
		EXPECT_EQ( grid->moGrid.IsDrawable(), row.valid );
		if ( row.valid ) {
			EXPECT_EQ( grid->moGrid.muiColumns, row.columns );
			EXPECT_EQ( grid->moGrid.muiRows, row.rows );
			EXPECT_EQ( grid->moGrid.muiVertexCount, 2 * row.columns * row.rows );
			// The grid reaches 4 column steps and one row step beyond.
			const f32 step = grid->moGrid.moLocalColumnStep.x;
			EXPECT_FLOAT_EQ( grid->moGrid.moLocalOrigin.x, -4.0f * step );
			EXPECT_FLOAT_EQ( grid->moGrid.moLocalOrigin.z, -grid->moGrid.moLocalRowStep.z );
		} else {
			// Drawn as a plain object: no strips.
			GXHostClearLog();
			grid->Render( 0 );
			EXPECT_TRUE( Strips().empty() );
		}
	}
	// Levels 3-7 use level 2's size; 9 is level 1.
	EFWaterGrid* const grid = Make<EFWaterGrid>( 40.0f, 8.0f, { 1.0f, 2.0f, 4.0f } );
	for ( const auto& [lod, columns] : std::vector<std::pair<s32, u32>>{ { 1, 28 }, { 5, 20 }, { 9, 28 }, { 0, 48 } } ) {
		EXPECT_TRUE( grid->SetWaterLod( lod ) );
		EXPECT_EQ( grid->moGrid.muiColumns, columns ) << lod;
	}
}

TEST_F( GridTest, EachGridVertexSitsInItsTwoStripSlots ) {
	EFWaterGrid* const grid = Make<EFWaterGrid>( 10.0f, 5.0f );
	EFGridLayout& layout = grid->moGrid;
	layout.muiColumns = 3;
	layout.muiRows = 2;
	layout.moWorldOrigin = DTVector3d( 0.0f, 0.0f, 0.0f );
	layout.moWorldColumnStep = DTVector3d( 1.0f, 0.0f, 0.0f );
	layout.moWorldRowStep = DTVector3d( 0.0f, 0.0f, 1.0f );
	ASSERT_TRUE( grid->InitVertexXYZ() );
	ASSERT_EQ( layout.muiVertexCount, 12u );
	// Strip 0 alternates row 1 and row 0 column by column; strip 1, with
	// no row beyond, holds row 1 twice.
	const u32 expected[12][2] = { { 0, 1 }, { 0, 0 }, { 1, 1 }, { 1, 0 }, { 2, 1 }, { 2, 0 },
								  { 0, 1 }, { 0, 1 }, { 1, 1 }, { 1, 1 }, { 2, 1 }, { 2, 1 } };
	for ( u32 slot = 0; slot < 12; slot++ ) {
		EXPECT_FLOAT_EQ( layout.mpoVertices[slot].objVertex.x, static_cast<f32>( expected[slot][0] ) ) << slot;
		EXPECT_FLOAT_EQ( layout.mpoVertices[slot].objVertex.z, static_cast<f32>( expected[slot][1] ) ) << slot;
	}
}

TEST_F( GridTest, ATiltedSurfaceIsShadedFromItsNormalsWithRedAndBlueExchanged ) {
	EFWaterGrid* const grid = Make<EFWaterGrid>( 10.0f, 5.0f );
	EFGridLayout& layout = grid->moGrid;
	ASSERT_EQ( layout.muiHeightCount, 140u );
	// Heights falling by 0.1 per column: the slope faces the light less.
	std::vector<f32> heights( layout.muiHeightCount );
	for ( u32 i = 0; i < heights.size(); i++ ) {
		heights[i] = -0.1f * static_cast<f32>( i % layout.muiColumns );
	}
	grid->SetPhysicBuffer( heights.data() );
	grid->ComputeNormal();
	// Column step 10/11, row step 5/4: n = (-0.2 x 2.5, -(20/11) x 2.5, 0);
	// intensity = (1 + 50/11 ... ) = 1 - 0.2 x 11/10 = 0.78.
	const RwIm3DVertex& inner = layout.mpoVertices[layout.Slot( 3, 5 )];
	EXPECT_NEAR( inner.objVertex.y, -0.5f, 1e-5f );
	EXPECT_NEAR( inner.objNormal.x, -0.5f, 1e-5f );
	EXPECT_NEAR( inner.objNormal.y, -2.5f * 20.0f / 11.0f, 1e-4f );
	EXPECT_NEAR( inner.color.red, 39, 1 );		// blue 50 x 0.78
	EXPECT_NEAR( inner.color.green, 78, 1 );
	EXPECT_NEAR( inner.color.blue, 156, 1 );	// red 200 x 0.78
	EXPECT_EQ( inner.color.alpha, 229 );
	EXPECT_EQ( layout.mpoVertices[layout.Slot( 3, 5 ) - 2 * layout.muiColumns - 1].color.blue, inner.color.blue );
	// Columns 0-2 and the last three keep their creation colour.
	EXPECT_EQ( layout.mpoVertices[layout.Slot( 3, 2 )].color.alpha, 250 );
	EXPECT_EQ( layout.mpoVertices[layout.Slot( 3, layout.muiColumns - 3 )].color.alpha, 250 );
	// Rising heights face the light fully.
	for ( f32& height : heights ) {
		height = -height;
	}
	grid->ComputeNormal();
	EXPECT_EQ( layout.mpoVertices[layout.Slot( 3, 5 )].color.blue, 200 );
}

TEST_F( GridTest, FogHazesInEachDistanceRangeAndFadesBackWhereStirred ) {
	EFGroundFogGrid* const grid = Make<EFGroundFogGrid>( 10.0f, 10.0f );
	EFGridLayout& layout = grid->moGrid;
	// Near 8, far 2, haze 0.5, fade time 1: the camera at the origin looks
	// along z and the grid lies in its plane (h = 0, base 1).
	grid->mafFog[0] = 8.0f;
	grid->mafFog[1] = 2.0f;
	grid->mafFog[2] = 0.5f;
	grid->mafFog[3] = 1.0f;
	std::vector<f32> heights( layout.muiHeightCount, 0.0f );
	grid->SetPhysicBuffer( heights.data() );
	grid->ComputeFogPlaneHaze();
	for ( u32 r = 0; r < layout.muiRows; r++ ) {
		const RwIm3DVertex& vertex = layout.mpoVertices[layout.Slot( r, 6 )];
		const f32 d = std::fabs( vertex.objVertex.z );
		const f32 factor = d < 2.0f ? 0.5f : ( d <= 8.0f ? 0.5f + 0.5f * ( d - 2.0f ) / 6.0f : 1.0f );
		EXPECT_NEAR( vertex.color.alpha, static_cast<u32>( 255.0f * factor ), 1 ) << "d " << d;
	}
	// Stirred to 0.2, the level drops to 0 at once and climbs one step a
	// frame (0.025); a fade time of 0 brings it back at once.
	const u32 stirred = 9 * layout.muiColumns + 6;
	heights[stirred] = 0.2f;
	grid->ComputeFogPlaneHaze();
	EXPECT_EQ( layout.mpoVertices[layout.Slot( 9, 6 )].color.alpha, 0 );
	heights[stirred] = 0.0f;
	grid->ComputeFogPlaneHaze();
	EXPECT_NEAR( layout.mpfHaze[layout.Slot( 9, 6 )], 0.025f, 1e-6f );
	grid->mafFog[3] = 0.0f;
	grid->ComputeFogPlaneHaze();
	EXPECT_EQ( layout.mpfHaze[layout.Slot( 9, 6 )], 1.0f );
	// Drawing leaves the fog off, and at a steady level allocates nothing.
	RwRenderStateSet( RWDL_STATE_FOG, reinterpret_cast<void*>( 1 ) );
	grid->Render( 0 );
	void* fog = reinterpret_cast<void*>( 1 );
	RwRenderStateGet( RWDL_STATE_FOG, &fog );
	EXPECT_EQ( fog, nullptr );
	const std::vector<u64> before = MMAllocationCounts();
	for ( u32 frame = 0; frame < 3; frame++ ) {
		grid->Render( 0 );
	}
	EXPECT_EQ( MMAllocationCounts(), before );
}

TEST_F( GridTest, StripsTakeTheTexturesFilterAndAddressingAndCountTheirPolygons ) {
	EFWaterGrid* const grid = Make<EFWaterGrid>( 10.0f, 5.0f );
	RwTexture* const texture = RwTextureCreate( RwRasterCreate( 16, 16, 0, rwRASTERTYPETEXTURE | 0x500 ) );
	RpMaterialSetTexture( grid->moGrid.mpoMaterial, texture );
	RwTextureDestroy( texture );
	struct Row {
		u32		word;
		u32		wrapS;
		u32		wrapT;
		u32		magFilter;
	};
	const Row rows[] = {
		{ 0x3201, GX_MIRROR, GX_CLAMP, GX_NEAR },
		{ 0x1102, GX_REPEAT, GX_REPEAT, GX_LINEAR },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.word );
		texture->filterAddressing = row.word;
		const u32 polygons = EFWaterGrid_BC::muiNbWaterPoly;
		GXHostClearLog();
		grid->Render( 0 );
		EXPECT_EQ( EFWaterGrid_BC::muiNbWaterPoly, polygons + 2 * 19 * 6 );
		const std::vector<const GXHostDraw*> strips = Strips();
		// Strips 1 .. R - 3 of 2 C - 16 vertices each.
		ASSERT_EQ( strips.size(), 4u );
		EXPECT_EQ( strips[0]->vertices.size(), 24u );
		EXPECT_EQ( strips[0]->state.textures[0].wrapS, row.wrapS );
		EXPECT_EQ( strips[0]->state.textures[0].wrapT, row.wrapT );
		EXPECT_EQ( strips[0]->state.textures[0].magFilter, row.magFilter );
		EXPECT_EQ( strips[0]->state.cullMode, static_cast<u32>( GX_CULL_NONE ) );
	}
}

TEST_F( GridTest, ALevelChangeRebuildsTheArrayAndReadsOnlyTheSimulationsHeights ) {
	EFWaterGrid* const grid = Make<EFWaterGrid>( 20.0f, 8.0f, { 2.0f, 1.0f, 4.0f } );
	EFGridLayout& layout = grid->moGrid;
	// Drawn before the simulation's first pass: heights 0.
	GXHostClearLog();
	grid->Render( 0 );
	EXPECT_FALSE( Strips().empty() );
	EXPECT_FLOAT_EQ( layout.mpoVertices[layout.Slot( 2, 5 )].objVertex.y, 0.0f );
	const u32 cells = layout.muiHeightCount;
	ASSERT_EQ( cells, 20u * 6u );
	std::vector<f32> heights( cells, 0.25f );
	grid->SetPhysicBuffer( heights.data() );
	// Level 1 has the smaller cell: more columns and rows than the buffer.
	grid->Render( 1 );
	EXPECT_EQ( layout.muiLod, 1u );
	EXPECT_EQ( layout.muiColumns, 28u );
	EXPECT_EQ( layout.muiRows, 10u );
	EXPECT_EQ( layout.muiVertexCount, 2u * 28u * 10u );
	EXPECT_GE( layout.muiVertexCapacity, layout.muiVertexCount );
	GXHostClearLog();
	grid->Render( 1 );
	EXPECT_EQ( Strips().size(), 7u );
	EXPECT_FLOAT_EQ( layout.mpoVertices[layout.Slot( 1, 5 )].objVertex.y, 0.25f );
	// Row 5 starts at index 140, past the 120 heights the buffer holds.
	EXPECT_FLOAT_EQ( layout.mpoVertices[layout.Slot( 5, 5 )].objVertex.y, 0.0f );
	// At a steady level a drawn frame allocates nothing.
	const std::vector<u64> before = MMAllocationCounts();
	for ( u32 frame = 0; frame < 3; frame++ ) {
		grid->Render( 1 );
	}
	EXPECT_EQ( MMAllocationCounts(), before );
}

}
