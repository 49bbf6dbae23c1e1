/*
	The spline table over decoded splines: an open line of four unit
	segments and a loop around the unit square, positions mapped by
	parameter (clamped or wrapped), ids, temporary cursors, and indices and
	segments out of range.
*/
#include "framework/core/spline/SplineReference.h"

#include "framework/core/spline/EFSplineMgr.h"
#include "framework/logic/api/LogicApiTables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr u32 OPEN = 0;
constexpr u32 LOOP = 1;

class LogicApiSplineTest : public ::testing::Test {
protected:
	void SetUp() override {
		ToolSplineInput open = RefStraightSpline( 4, false );
		open.id = 0x0102;
		ToolSplineInput loop = RefStraightSpline( 4, true );
		loop.id = 0x0304;
		loop.flags = TOOL_SPLINE_FLAG_LOOP;
		ASSERT_TRUE( RefLoad( manager, { open, loop } ) );
		gpoSplineMgr = &manager;
		api = InitSplineAPI();
	}

	void TearDown() override { gpoSplineMgr = nullptr; }

	static void ExpectAt( const DTVector3d& v, const f32 x, const f32 y ) {
		EXPECT_NEAR( v.x, x, 1e-5f );
		EXPECT_NEAR( v.y, y, 1e-5f );
		EXPECT_NEAR( v.z, 0.0f, 1e-5f );
	}

	EFSplineMgr manager;
	_api_spline* api = nullptr;
};

TEST_F( LogicApiSplineTest, PositionsAreMappedByParameterClampedOrWrapped ) {
	const struct {
		u32 spline;
		f32 u;
		f32 x;
		f32 y;
	} rows[] = {
		{ OPEN, 1.0f, 4.0f, 0.0f },		// the end of the last segment
		{ OPEN, 1.5f, 4.0f, 0.0f },
		{ OPEN, -0.5f, 0.0f, 0.0f },
		{ OPEN, 0.375f, 1.5f, 0.0f },
		{ LOOP, 1.5f, 1.0f, 1.0f },		// as 0.5
		{ LOOP, -0.25f, 0.0f, 1.0f },	// as 0.75
		{ LOOP, -2.875f, 0.5f, 0.0f },	// as 0.125
		{ LOOP, 1.0f, 0.0f, 0.0f },		// back at the start
	};
	for ( const auto& row : rows ) {
		SCOPED_TRACE( ::testing::Message() << row.spline << " at " << row.u );
		DTVector3d at( 9.0f, 9.0f, 9.0f );
		api->GetPosition( row.spline, row.u, &at );
		ExpectAt( at, row.x, row.y );
	}
	// The tangent follows the same mapping: at the open end it is the last
	// segment's.
	DTVector3d tangent;
	DTVector3d last;
	api->GetTangent( OPEN, 1.5f, &tangent );
	manager.GetSpline( OPEN )->GetTangent( 3, 1.0f, last );
	ExpectAt( tangent, last.x, last.y );
	// Not a number maps without a fault onto segment 0.
	api->GetPosition( LOOP, std::numeric_limits<f32>::quiet_NaN(), &tangent );
}

TEST_F( LogicApiSplineTest, IdsCursorsAndSegmentsAtTheEnds ) {
	EXPECT_EQ( api->GetNbSplines(), 2u );
	EXPECT_EQ( api->GetIndex( 0x0304 ), 1 );
	EXPECT_EQ( api->GetIndex( 0x0305 ), -1 );
	EXPECT_EQ( api->GetIndex( 0x10304 ), -1 );
	EXPECT_EQ( api->GetID( 0 ), 0x0102u );
	EXPECT_EQ( api->GetType( LOOP ), static_cast<u32>( TOOL_SPLINE_FLAG_LOOP ) );

	u32 segment = 99;
	f32 t = 9.0f;
	api->Global2SegmentFactor( OPEN, 1.0f, &segment, &t );
	EXPECT_EQ( segment, 3u );
	EXPECT_EQ( t, 1.0f );
	EXPECT_EQ( api->MoveDistance( OPEN, 0.0f, -1.0f ), 0.0f );
	EXPECT_NEAR( api->MoveDistance( OPEN, 0.25f, 1.0f ), 0.5f, 1e-3f );

	f32 u = 9.0f;
	api->Segment2GlobalFactor( OPEN, 2, 0.5f, &u );
	EXPECT_NEAR( u, 0.625f, 1e-6f );
	// A segment number too large for a signed one still reads as the last
	// segment, not the first.
	api->Segment2GlobalFactor( OPEN, 0xFFFFFFF0, 0.5f, &u );
	EXPECT_NEAR( u, 0.875f, 1e-6f );
	DTVector3d at;
	api->GetSegmentPosition( OPEN, 0x80000000, 0.0f, &at );
	ExpectAt( at, 4.0f, 0.0f );
	EXPECT_NEAR( api->GetDistance( OPEN, 2 ), 2.0f, 1e-4f );
	EXPECT_NEAR( api->GetDistance( OPEN, 0xFFFFFFFF ), 3.0f, 1e-4f );
	EXPECT_NEAR( api->GetSegmentLength( OPEN, 1, 0.5f ), 0.5f, 1e-4f );
	EXPECT_NEAR( api->GetLength( LOOP ), 4.0f, 1e-3f );
}

TEST_F( LogicApiSplineTest, IndicesOutOfRangeLeaveOutputsAndAnswerNothing ) {
	const s32 indices[] = { -1, 2, std::numeric_limits<s32>::min() };
	for ( const s32 index : indices ) {
		SCOPED_TRACE( index );
		const u32 spline = static_cast<u32>( index );
		EXPECT_EQ( api->GetID( index ), 0xFFFFFFFFu );
		DTVector3d at( 7.0f, 7.0f, 7.0f );
		api->GetPosition( spline, 0.5f, &at );
		EXPECT_EQ( at.x, 7.0f );
		u32 segment = 7;
		f32 t = 7.0f;
		api->Global2SegmentFactor( spline, 0.5f, &segment, &t );
		EXPECT_EQ( segment, 7u );
		EXPECT_EQ( api->GetNbSegments( spline ), 0u );
		EXPECT_EQ( api->MoveDistance( spline, 0.5f, 1.0f ), 0.0f );
		EXPECT_EQ( api->GetNearest( spline, &at ), 0.0f );
	}
	gpoSplineMgr = nullptr;
	EXPECT_EQ( api->GetNbSplines(), 0u );
	EXPECT_EQ( api->GetIndex( 0x0102 ), -1 );
}

}
