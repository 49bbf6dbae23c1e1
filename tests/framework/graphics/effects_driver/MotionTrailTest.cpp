/*
	Motion trails: the strip between sampled rows against a hand-written
	index list, the ring of rows, fading and its cap, systems drawn in
	pieces, refused creations and bad control points, and control points
	following game objects that come and go.
*/
#include "ScreenEffectsTestBench.h"

#include "framework/graphics/effects/EFMotionTrailMgr.h"

namespace {

class MotionTrailTest : public ScreenEffectsTest {
protected:
	void TearDown() override {
		goMotionTrailMgr.Terminate();
		ScreenEffectsTest::TearDown();
	}

	// A started system of stored positions, every point white with life 1.
	static u32 Make( const u32 points, const u32 rows, const f32 frequency, const f32 life = 1.0f ) {
		const u32 id = goMotionTrailMgr.CreateSystem( points, rows, EF_TRAIL_STORED_POSITIONS );
		for ( u32 i = 0; i < points; i++ ) {
			goMotionTrailMgr.SetLifeSpan( id, i, life );
			goMotionTrailMgr.SetRGB( id, i, 1.0f, 1.0f, 1.0f );
		}
		goMotionTrailMgr.Start( id );
		goMotionTrailMgr.SetFrequency( id, frequency );
		return id;
	}

	// Point i at (i, y, 10).
	static void Sample( const u32 id, const u32 points, const f32 y, const f32 dt ) {
		for ( u32 i = 0; i < points; i++ ) {
			const DTVector3d at( static_cast<f32>( i ), y, 10.0f );
			goMotionTrailMgr.SetPosition( id, i, &at );
		}
		goMotionTrailMgr.Update( dt );
	}

	static std::vector<size_t> DrawSizes() {
		std::vector<size_t> sizes;
		for ( const GXHostDraw* draw : Draws() ) {
			sizes.push_back( draw->vertices.size() );
		}
		return sizes;
	}
};

TEST_F( MotionTrailTest, TwoRowsOfThreePointsMakeTheHandWrittenStrip ) {
	const u32 id = Make( 3, 2, 1.0f );
	Sample( id, 3, 0.0f, 1.0f );	// row 0
	Sample( id, 3, 1.0f, 0.5f );	// row 1, row 0 half faded
	goMotionTrailMgr.Render();
	ASSERT_EQ( Draws().size(), 1u );
	const GXHostDraw& draw = *Draws()[0];
	EXPECT_EQ( draw.primitive, GX_TRIANGLESTRIP );
	// Vertex k is point k % 3 of row k / 3.
	const std::vector<u32> indices = { 0, 0, 3, 1, 4, 2, 5, 5, 3, 3, 4, 5, 5 };
	ASSERT_EQ( draw.vertices.size(), indices.size() );
	for ( size_t n = 0; n < indices.size(); n++ ) {
		const GXHostVertex& v = draw.vertices[n];
		EXPECT_EQ( v.position[0], static_cast<f32>( indices[n] % 3 ) ) << n;
		EXPECT_EQ( v.position[1], static_cast<f32>( indices[n] / 3 ) ) << n;
		EXPECT_EQ( v.colour[0].r, indices[n] < 3 ? 127u : 255u ) << n;
		EXPECT_EQ( v.colour[0].a, 255u );
	}
}

TEST_F( MotionTrailTest, TheRingKeepsAtMostItsRowsAndTheDefaultFrequencyNeverDraws ) {
	struct Row {
		u32		samples;
		u32		head;
		u32		tail;
		size_t	drawn;		// vertices of the strip of one point
	};
	// One point: 4 indices per row, 3 for the newest.
	const Row rows[] = { { 1, 1, 0, 7 }, { 3, 3, 0, 15 }, { 4, 0, 1, 15 }, { 5, 1, 2, 15 } };
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.samples );
		goMotionTrailMgr.Terminate();
		const u32 id = Make( 1, 4, 0.0f );
		for ( u32 i = 0; i < row.samples; i++ ) {
			Sample( id, 1, static_cast<f32>( i ), 0.1f );
		}
		EXPECT_EQ( goMotionTrailMgr.GetSystem( id )->ui32Head, row.head );
		EXPECT_EQ( goMotionTrailMgr.GetSystem( id )->ui32Tail, row.tail );
		GXHostClearLog();
		goMotionTrailMgr.Render();
		EXPECT_EQ( DrawSizes(), std::vector<size_t>{ row.drawn } );
	}
	goMotionTrailMgr.Terminate();
	const u32 id = goMotionTrailMgr.CreateSystem( 2, 4, EF_TRAIL_STORED_POSITIONS );
	goMotionTrailMgr.Start( id );
	for ( u32 i = 0; i < 30; i++ ) {
		goMotionTrailMgr.Update( 0.033f );
	}
	GXHostClearLog();
	goMotionTrailMgr.Render();
	EXPECT_TRUE( Draws().empty() );
}

TEST_F( MotionTrailTest, SamplesFadeToBlackAtTheirLifeSpanAndStayThere ) {
	struct Row {
		f32					life;
		std::vector<u32>	reds;	// rows oldest first
	};
	// Start leaves row 0 as it was made; then ages 1.4 (capped), 0.7 and
	// 0. A life span of 0 or less draws black.
	const Row rows[] = { { 1.0f, { 0, 0, 76, 255 } }, { 0.0f, { 0, 0, 0, 0 } }, { -1.0f, { 0, 0, 0, 0 } } };
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.life );
		goMotionTrailMgr.Terminate();
		const u32 id = Make( 1, 4, 0.0f, row.life );
		Sample( id, 1, 0.0f, 0.0f );
		Sample( id, 1, 1.0f, 0.7f );
		Sample( id, 1, 2.0f, 0.7f );
		EXPECT_EQ( goMotionTrailMgr.GetSystem( id )->pVertices[1].fAge, row.life > 0.0f ? 1.0f : row.life );
		GXHostClearLog();
		goMotionTrailMgr.Render();
		ASSERT_EQ( Draws().size(), 1u );
		// The first vertex of each row repeats its first index.
		std::vector<u32> reds;
		for ( const size_t at : { 0, 4, 8, 12 } ) {
			reds.push_back( Draws()[0]->vertices[at].colour[0].r );
		}
		EXPECT_EQ( reds, row.reds );
	}
}

TEST_F( MotionTrailTest, SystemsPastTheBuffersDrawInPiecesThatShareTheirEdgeRows ) {
	struct Row {
		u32					points;
		u32					rows;
		std::vector<size_t>	pieces;
	};
	// 340 points: two rows (1024 indices) a piece. 100 points: five rows
	// (4 x 202 + 102 indices) a piece, the last piece four.
	const Row rows[] = { { 340, 4, { 1024, 1024, 1024 } }, { 100, 12, { 910, 910, 708 } } };
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.points );
		goMotionTrailMgr.Terminate();
		const u32 id = Make( row.points, row.rows, 0.0f );
		for ( u32 i = 0; i <= row.rows; i++ ) {
			Sample( id, row.points, static_cast<f32>( i ), 0.01f );
		}
		GXHostClearLog();
		goMotionTrailMgr.Render();
		EXPECT_EQ( DrawSizes(), row.pieces );
		const std::vector<const GXHostDraw*> draws = Draws();
		for ( size_t d = 1; d < draws.size(); d++ ) {
			EXPECT_EQ( draws[d]->vertices[0].position[1], draws[d - 1]->vertices.back().position[1] );
		}
	}
}

TEST_F( MotionTrailTest, EmptyOrOversizedSystemsAndOutOfRangePointsAreRefused ) {
	const u32 rows[][2] = { { 0, 4 }, { 4, 0 }, { 341, 2 } };
	for ( const auto& row : rows ) {
		EXPECT_EQ( goMotionTrailMgr.CreateSystem( row[0], row[1], 0 ), EF_TRAIL_NO_SYSTEM );
	}
	EXPECT_EQ( goMotionTrailMgr.moSystems.GetCount(), 0u );
	const u32 id = goMotionTrailMgr.CreateSystem( 3, 2, 0 );
	ASSERT_NE( id, EF_TRAIL_NO_SYSTEM );
	const DTVector3d at( 1.0f, 2.0f, 3.0f );
	goMotionTrailMgr.SetRGB( id, 3, 1.0f, 1.0f, 1.0f );
	goMotionTrailMgr.SetLifeSpan( id, 0xFFFFFFFF, 1.0f );
	goMotionTrailMgr.SetPosition( id, 3, &at );
	goMotionTrailMgr.SetJoint( id, 7, 0x2a000001, 0 );
	goMotionTrailMgr.SetRGB( id + 1, 0, 1.0f, 1.0f, 1.0f );
	const EFMotionTrailMgr_BC::_sControlPoint& last = goMotionTrailMgr.GetSystem( id )->pPoints[2];
	EXPECT_EQ( last.afColor[0], 0.0f );
	EXPECT_EQ( last.fLifeSpan, 0.0f );
}

TEST_F( MotionTrailTest, PointsFollowTheirObjectAndAGoneObjectStopsTheSystem ) {
	EFGameObject* const first = MakeObject( 0x2a000001, 1.0f, 0.0f, 10.0f );
	MakeObject( 0x2a000002, 2.0f, 0.0f, 10.0f );
	const u32 id = goMotionTrailMgr.CreateSystem( 1, 2, 0 );
	goMotionTrailMgr.SetJoint( id, 0, 0x2a000001, 0 );
	goMotionTrailMgr.Start( id );
	goMotionTrailMgr.Update( 0.1f );
	EFMotionTrailMgr_BC::_sSystem& system = *goMotionTrailMgr.GetSystem( id );
	// No skeleton: the joint samples the object itself.
	EXPECT_EQ( system.pVertices[0].afPosition[0], 1.0f );
	// A frame cached from the first object goes when the object changes;
	// another joint of the same object keeps it.
	system.pPoints[0].pFrame = first->GetFrame();
	goMotionTrailMgr.SetJoint( id, 0, 0x2a000001, 3 );
	EXPECT_EQ( system.pPoints[0].pFrame, first->GetFrame() );
	goMotionTrailMgr.SetJoint( id, 0, 0x2a000002, 3 );
	EXPECT_EQ( system.pPoints[0].pFrame, nullptr );
	first->Terminate();
	gpoWorldMgr->RemoveGameObject( 0x2a000001 );
	delete first;
	goMotionTrailMgr.Update( 0.1f );
	EXPECT_EQ( system.pVertices[0].afPosition[0], 2.0f );
	EXPECT_EQ( system.ui32Flags & ( EF_TRAIL_TRACKING | EF_TRAIL_DRAWING ), 3u );
	// Naming no object stops the system at its next sample.
	goMotionTrailMgr.SetJoint( id, 0, 0x2a000099, 0 );
	EXPECT_EQ( system.pPoints[0].ui32ObjectId, EF_TRAIL_NO_OBJECT );
	goMotionTrailMgr.Update( 0.1f );
	EXPECT_EQ( system.ui32Flags & ( EF_TRAIL_TRACKING | EF_TRAIL_DRAWING ), 0u );
}

} // namespace
