/*
	Water and ground-fog grids over stored models: the first byte picks
	the grid (bit 0) and the level drawn next (bits 1-3), the rest is a
	clump chunk as a model resource stores it. Whatever the model, the
	grid lays out, shades and changes level inside its own array, and a
	steady level allocates nothing.
*/
#include "FuzzTarget.h"

#include "framework/graphics/EFGroundFogGrid.h"
#include "framework/graphics/EFWaterGrid.h"
#include "support/ClumpFromBytes.h"
#include "tools/lib/graphics3d/ToolSampleModel.h"

#include <vector>

namespace {

template <class Grid>
void Exercise( Grid& grid, const u32 lod ) {
	f32 cells[3] = { 1.0f, 0.5f, 2.0f };
	if constexpr ( std::is_same_v<Grid, EFWaterGrid> ) {
		grid.InitWater( cells );
	} else {
		grid.InitGrid( cells );
	}
	std::vector<f32> heights( grid.moGrid.muiHeightCount, 0.1f );
	grid.SetPhysicBuffer( heights.data() );
	if constexpr ( std::is_same_v<Grid, EFWaterGrid> ) {
		grid.ComputeNormal();
	} else {
		grid.ComputeFogPlaneHaze();
	}
	bool laidOut = false;
	if constexpr ( std::is_same_v<Grid, EFWaterGrid> ) {
		laidOut = grid.moGrid.IsDrawable() && grid.SetWaterLod( static_cast<s32>( lod ) );
	} else {
		laidOut = grid.moGrid.IsDrawable() && grid.SetGridLod( static_cast<s32>( lod ) );
	}
	if ( laidOut ) {
		grid.InitVertexXYZ();
	}
	if constexpr ( std::is_same_v<Grid, EFWaterGrid> ) {
		grid.ComputeNormal();
	} else {
		grid.ComputeFogPlaneHaze();
	}
	FuzzCheck( !grid.moGrid.IsDrawable() || grid.moGrid.muiVertexCount <= grid.moGrid.muiVertexCapacity,
			   "the layout outgrew its array" );
}

} // namespace

FUZZ_TARGET( grid_model ) {
	if ( size == 0 ) {
		return;
	}
	FuzzRwStart( false, true );
	RpClump* const clump = ClumpFromBytes( std::vector<u8>( data + 1, data + size ) );
	const u32 lod = ( data[0] >> 1 ) & 7;
	if ( ( data[0] & 1 ) == 0 ) {
		EFWaterGrid grid;
		grid.mpClump = clump;
		Exercise( grid, lod );
		grid.mpClump = nullptr;
	} else {
		EFGroundFogGrid grid;
		grid.mpClump = clump;
		Exercise( grid, lod );
		grid.mpClump = nullptr;
	}
	if ( clump != nullptr ) {
		RpClumpDestroy( clump );
	}
}

static void FuzzSeeds_grid_model( std::vector<FuzzSeed>& seeds ) {
	const u8 colour[4] = { 30, 90, 200, 255 };
	for ( const u8 pick : { 0x0, 0x3, 0x5 } ) {
		std::vector<u8> bytes = ToolQuadModelClumpChunk( 12.0f, 6.0f, colour, pick != 0x3 );
		bytes.insert( bytes.begin(), pick );
		seeds.push_back( { "quad" + std::to_string( pick ), bytes } );
	}
	std::vector<u8> triangle = ToolSampleModelClumpChunk();
	triangle.insert( triangle.begin(), 0x2 );
	seeds.push_back( { "not_a_quad", triangle } );
}
