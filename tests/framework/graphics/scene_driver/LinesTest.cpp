/*
	Debug lines: what fits the buffer is kept and reported back, colours
	become bytes in red, green, blue, alpha order, every line is drawn as
	one line list, and nothing at all is set up without lines.
*/
#include "SceneDriverTestBench.h"

#include "framework/graphics/EFLinesMgr.h"
#include "graphics3d/gamecube/RwDlIm3D.h"

#include <vector>

namespace {

class LinesTest : public SceneDriverTest {
protected:
	// count lines from (i, 0, 0) to (i, 1, 0); NbLines after the call.
	static u32 Add( EFLinesMgr& lines, const u32 count, CColor start = { 1.0f, 0.5f, 0.0f, 1.0f },
					CColor end = { 0.0f, 0.0f, 1.0f, 0.25f } ) {
		std::vector<DTVector3d> from( count );
		std::vector<DTVector3d> to( count );
		for ( u32 i = 0; i < count; i++ ) {
			from[i] = DTVector3d( static_cast<f32>( i ), 0.0f, 0.0f );
			to[i] = DTVector3d( static_cast<f32>( i ), 1.0f, 0.0f );
		}
		_LinesParams params = { from.data(), to.data(), &start, &end, count };
		lines.AddLines( &params );
		return params.NbLines;
	}
};

TEST_F( LinesTest, KeepsWhatFitsAndTellsTheCaller ) {
	struct Row {
		const char*			name;
		std::vector<u32>	adds;
		std::vector<u32>	kept;
		u32					count;
	};
	const Row rows[] = {
		{ "150 then 150", { 150, 150 }, { 150, 50 }, 200 },
		{ "full buffer", { 200, 1 }, { 200, 0 }, 200 },
		{ "one over", { 201 }, { 200 }, 200 },
		{ "none", { 0 }, { 0 }, 0 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFLinesMgr lines;
		for ( size_t i = 0; i < row.adds.size(); i++ ) {
			EXPECT_EQ( Add( lines, row.adds[i] ), row.kept[i] );
		}
		EXPECT_EQ( lines.mui32LineCount, row.count );
		EXPECT_EQ( lines.mui32Capacity, 200u );
	}
}

TEST_F( LinesTest, ColoursAreStoredAsSaturatedBytesInRgbaOrder ) {
	EFLinesMgr lines;
	Add( lines, 1, { 1.0f, 0.5f, 0.0f, 1.0f }, { 2.0f, -1.0f, 0.25f, 0.0f } );
	const RwRGBA& start = lines.mpoLines[0].color;
	const RwRGBA& end = lines.mpoLines[1].color;
	EXPECT_EQ( ( std::vector<u32>{ start.red, start.green, start.blue, start.alpha } ),
			   ( std::vector<u32>{ 255, 127, 0, 255 } ) );
	EXPECT_EQ( ( std::vector<u32>{ end.red, end.green, end.blue, end.alpha } ),
			   ( std::vector<u32>{ 255, 0, 63, 0 } ) );
}

TEST_F( LinesTest, ASmallerBufferCutsTheCountSoRenderStaysInside ) {
	EFLinesMgr lines;
	Add( lines, 150 );
	lines.Initialize( 100 );
	EXPECT_EQ( lines.mui32LineCount, 100u );
	EXPECT_EQ( lines.mui32Capacity, 100u );
	EXPECT_EQ( Add( lines, 10 ), 0u );
}

TEST_F( LinesTest, DrawsOneLineListOfTwoVerticesPerLineAndNothingWithoutLines ) {
	Start( true );
	EFLinesMgr lines;
	lines.Render();
	EXPECT_EQ( Records(), 0u );
	EXPECT_TRUE( Draws().empty() );

	Add( lines, 3 );
	lines.Render();
	const std::vector<const GXHostDraw*> draws = Draws();
	ASSERT_EQ( draws.size(), 1u );
	EXPECT_EQ( draws[0]->primitive, static_cast<u32>( GX_LINES ) );
	ASSERT_EQ( draws[0]->vertices.size(), 6u );
	EXPECT_EQ( draws[0]->vertices[4].position[0], 2.0f );
	EXPECT_EQ( draws[0]->vertices[5].position[1], 1.0f );
	EXPECT_EQ( draws[0]->vertices[0].colour[0].r, 255 );
	EXPECT_EQ( draws[0]->vertices[0].colour[0].g, 127 );
	EXPECT_EQ( draws[0]->state.blendSource, static_cast<u32>( GX_BL_SRCALPHA ) );
	EXPECT_EQ( draws[0]->state.blendDestination, static_cast<u32>( GX_BL_INVSRCALPHA ) );
	camera->End();
}

}
