#include "SplineReference.h"
#include "framework/core/engine/EFCoreTestBench.h"
#include "framework/core/spline/EFSplineCursor.h"

#include <chrono>
#include <cstring>
#include <limits>

namespace {

class EFSplineCursorTest : public EFCoreTestBench {
protected:
	// Loads an open and a loop spline, each of four unit segments.
	void SetUp() override {
		EFCoreTestBench::SetUp();
		ASSERT_TRUE( RefLoad( manager, { RefStraightSpline( 4, false ), RefStraightSpline( 4, true ) } ) );
		open = manager.GetSpline( 0 );
		loop = manager.GetSpline( 1 );
	}

	EFSplineMgr				manager;
	EFQuadraticSpline*		open = nullptr;
	EFQuadraticSpline*		loop = nullptr;
};

void ExpectAt( const EFSplineCursor& cursor, const f32 u, const s32 segment, const f32 t ) {
	EXPECT_NEAR( cursor.mfU, u, 1e-5f );
	EXPECT_EQ( cursor.mi32Segment, segment );
	EXPECT_NEAR( cursor.mfT, t, 1e-4f );
	EXPECT_EQ( cursor.mui32State, 0u );
}

TEST_F( EFSplineCursorTest, StartsWithNoSplineBeforeTheFirstSegment ) {
	const EFSplineCursor cursor;
	EXPECT_EQ( cursor.mui32State, 0u );
	EXPECT_EQ( cursor.mpoSpline, nullptr );
	EXPECT_EQ( cursor.mi32Segment, -1 );
	EXPECT_EQ( cursor.mfU, 0.0f );
	EXPECT_EQ( cursor.mfT, 0.0f );
	const f32 cached[6] = { cursor.moCachedPoint.x, cursor.moCachedPoint.y, cursor.moCachedPoint.z,
							cursor.moCachedTangent.x, cursor.moCachedTangent.y, cursor.moCachedTangent.z };
	for ( const f32 value : cached ) {
		EXPECT_EQ( value, 0.0f );
	}
}

TEST_F( EFSplineCursorTest, MapsNormalisedPositionsBySegment ) {
	struct Row {
		bool	onLoop;
		f32		u;
		f32		expectedU;
		s32		segment;
		f32		t;
	};
	const Row rows[] = {
		{ false, 1.0f, 1.0f, 3, 1.0f },
		{ false, 0.5f, 0.5f, 2, 0.0f },
		{ false, 1.7f, 1.0f, 3, 1.0f },
		{ false, -0.3f, 0.0f, 0, 0.0f },
		{ true, 1.25f, 0.25f, 1, 0.0f },
		{ true, -0.25f, 0.75f, 3, 0.0f },
		{ true, -2.625f, 0.375f, 1, 0.5f },
		{ true, std::numeric_limits<f32>::infinity(), 0.0f, 0, 0.0f },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.u );
		EFSplineCursor cursor;
		cursor.SetSpline( row.onLoop ? loop : open );
		cursor.mui32State = 2;
		cursor.MoveTo( row.u );
		ExpectAt( cursor, row.expectedU, row.segment, row.t );
	}
	EFSplineCursor cursor;
	cursor.SetSpline( open );
	cursor.mui32State = 2;
	cursor.MoveTo( 9, 3.0f );
	ExpectAt( cursor, 1.0f, 3, 1.0f );
	cursor.MoveTo( -4, 0.5f );
	ExpectAt( cursor, 0.125f, 0, 0.5f );
}

TEST_F( EFSplineCursorTest, MovesByDistanceAlongOntoAndAroundSplines ) {
	struct Row {
		const char*	name;
		bool		startOnLoop;
		f32			startU;
		f32			distance;
		bool		withNext;		// the loop follows the open spline
		bool		endsOnLoop;
		f32			u;
	};
	const Row rows[] = {
		{ "within the spline", false, 0.0f, 1.5f, false, false, 0.375f },
		{ "backward", false, 0.5f, -0.75f, false, false, 0.3125f },
		{ "past the end", false, 0.5f, 10.0f, false, false, 1.0f },
		{ "before the start", false, 0.25f, -3.0f, false, false, 0.0f },
		{ "onto the next spline", false, 0.75f, 1.5f, true, true, 0.125f },
		{ "back onto the next spline", false, 0.0f, -1.0f, true, true, 0.75f },
		{ "around a loop", true, 0.75f, 2.0f, false, true, 0.25f },
		{ "backward around a loop", true, 0.25f, -2.0f, false, true, 0.75f },
		{ "many turns around a loop", true, 0.0f, 4.0f * 1000.0f + 1.0f, false, true, 0.25f },
		{ "a huge distance around a loop", true, 0.0f, 1e30f, false, true, 0.0f },
		{ "next used once, then around the loop", false, 0.75f, 5.5f, true, true, 0.125f },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFSplineCursor cursor;
		cursor.SetSpline( row.startOnLoop ? loop : open );
		cursor.MoveTo( row.startU );
		cursor.mui32State = 2;
		const auto start = std::chrono::steady_clock::now();
		cursor.MoveDistance( row.distance, row.withNext ? loop : nullptr );
		EXPECT_LT( std::chrono::steady_clock::now() - start, std::chrono::seconds( 1 ) );
		EXPECT_EQ( cursor.mpoSpline, row.endsOnLoop ? loop : open );
		EXPECT_NEAR( cursor.mfU, row.u, 1e-3f );
		EXPECT_EQ( cursor.mui32State, 0u );
	}
}

TEST_F( EFSplineCursorTest, ZeroLengthsNeitherHangNorDivideByZero ) {
	// Every stored length of the loop set to 0.
	std::vector<u8> payload;
	std::string error;
	ASSERT_TRUE( ToolSplineWriter::WritePayload( { RefStraightSpline( 4, true ) }, payload, error ) );
	for ( u32 s = 0; s < 4; s++ ) {
		const u32 at = TOOL_SPLINE_PAYLOAD_HEAD + TOOL_SPLINE_HEADER_BYTES + s * TOOL_SPLINE_SEGMENT_BYTES + TOOL_SPLINE_SEGMENT_LENGTH;
		std::memset( &payload[at], 0, 4 );
	}
	std::memset( &payload[TOOL_SPLINE_PAYLOAD_HEAD + 12], 0, 4 );
	EFSplineMgr zero;
	DTMemoryPersistStream stream( reinterpret_cast<char*>( payload.data() ), static_cast<s32>( payload.size() ) );
	zero.LoadData( 1, 0, stream );
	ASSERT_EQ( zero.GetNbSplines(), 1u );
	EFSplineCursor cursor;
	cursor.SetSpline( zero.GetSpline( 0 ) );
	cursor.MoveTo( 0.5f );
	const auto start = std::chrono::steady_clock::now();
	cursor.MoveDistance( 3.0f, nullptr );
	ExpectAt( cursor, 0.0f, 0, 0.0f );
	cursor.MoveTo( 0.5f );
	cursor.MoveDistance( -3.0f, nullptr );
	ExpectAt( cursor, 0.0f, 0, 0.0f );
	EXPECT_LT( std::chrono::steady_clock::now() - start, std::chrono::seconds( 1 ) );
	// A zero total length gives a factor of 0, not 0/0.
	EXPECT_EQ( cursor.GetLengthFactor(), 0.0f );
}

TEST_F( EFSplineCursorTest, ACursorWithoutASplineOnlyTakesSegmentMoves ) {
	EFSplineCursor cursor;
	cursor.MoveDistance( 2.0f, open );
	cursor.MoveTo( 0.5f );
	cursor.SetToNearest( DTVector3d( 1.0f, 0.0f, 0.0f ) );
	cursor.MoveToNearest( DTVector3d( 1.0f, 0.0f, 0.0f ) );
	EXPECT_EQ( cursor.mi32Segment, -1 );
	EXPECT_EQ( cursor.mfU, 0.0f );
	EXPECT_EQ( cursor.GetLengthFactor(), 0.0f );
	cursor.mui32State = 2;
	cursor.MoveTo( -3, 1.5f );
	ExpectAt( cursor, 0.0f, 0, 1.0f );
	cursor.MoveTo( 7, -1.0f );
	ExpectAt( cursor, 0.0f, 7, 0.0f );
}

TEST_F( EFSplineCursorTest, AFreshCursorOnASplineMovesFromItsStart ) {
	struct Row {
		const char*	name;
		u32			move;		// 0 by distance, 1 nearest by walking, 2 nearest overall
		f32			u;
	};
	const Row rows[] = {
		{ "by distance", 0, 0.375f },
		{ "to the nearest by walking", 1, 0.6f },
		{ "to the nearest overall", 2, 0.6f },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFSplineCursor cursor;
		cursor.SetSpline( open );
		const DTVector3d target( 2.4f, 0.3f, 0.0f );
		if ( row.move == 0 ) {
			cursor.MoveDistance( 1.5f, nullptr );
		} else if ( row.move == 1 ) {
			cursor.MoveToNearest( target );
		} else {
			cursor.SetToNearest( target );
		}
		EXPECT_NEAR( cursor.mfU, row.u, 1e-4f );
		EXPECT_NEAR( cursor.GetLengthFactor(), row.u, 1e-4f );
	}
}

}
