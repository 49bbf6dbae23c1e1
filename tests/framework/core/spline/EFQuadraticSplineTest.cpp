#include "SplineReference.h"
#include "framework/core/engine/EFCoreTestBench.h"

#include <cfloat>
#include <chrono>
#include <limits>

namespace {

class EFQuadraticSplineTest : public EFCoreTestBench {};

DTVector3d ToVector( const RefVec& v ) {
	return DTVector3d( static_cast<f32>( v[0] ), static_cast<f32>( v[1] ), static_cast<f32>( v[2] ) );
}

// The point at a normalised position, by the engine.
DTVector3d PointAt( const EFQuadraticSpline& spline, const f32 u ) {
	const f32 scaled = u * static_cast<f32>( spline.GetNbSegments() );
	const s32 segment = static_cast<s32>( scaled );
	DTVector3d out;
	spline.GetPoint( segment, scaled - static_cast<f32>( segment ), out );
	return out;
}

TEST_F( EFQuadraticSplineTest, AnswersLikeTheReferenceOnRandomSplines ) {
	struct Row {
		const char*					name;
		std::vector<RefSegmentKind>	kinds;
		bool						loop;
	};
	const Row rows[] = {
		{ "straight open", { REF_STRAIGHT, REF_STRAIGHT, REF_STRAIGHT }, false },
		{ "nearly straight open", { REF_NEARLY_STRAIGHT, REF_NEARLY_STRAIGHT }, false },
		{ "sharp open", { REF_SHARP, REF_SHARP, REF_SHARP, REF_SHARP }, false },
		{ "tiny open", { REF_TINY, REF_TINY, REF_TINY }, false },
		{ "mixed open", { REF_STRAIGHT, REF_SHARP, REF_TINY, REF_NEARLY_STRAIGHT, REF_SHARP }, false },
		{ "mixed loop", { REF_SHARP, REF_NEARLY_STRAIGHT, REF_STRAIGHT, REF_SHARP }, true },
		{ "sharp loop", { REF_SHARP, REF_SHARP, REF_SHARP }, true },
	};
	std::mt19937 random( 20240611 );
	std::uniform_real_distribution<f64> unit( 0.0, 1.0 );
	for ( const Row& row : rows ) {
		for ( u32 trial = 0; trial < 6; trial++ ) {
			SCOPED_TRACE( std::string( row.name ) + " trial " + std::to_string( trial ) );
			const ToolSplineInput input = RefRandomSpline( random, row.kinds, row.loop, 7 );
			EFSplineMgr manager;
			ASSERT_TRUE( RefLoad( manager, { input } ) );
			const EFQuadraticSpline& spline = *manager.GetSpline( 0 );
			const u32 n = spline.GetNbSegments();
			ASSERT_EQ( n, row.kinds.size() );
			f64 total = 0.0;
			f64 scale = 0.0;
			for ( u32 s = 0; s < n; s++ ) {
				total += RefLength( input, s, 1.0 );
				scale = std::fmax( scale, RefNorm( RefPoint( input, s, 0.0 ) ) );
			}
			const f64 pointTolerance = 2e-6 * ( scale + total );
			EXPECT_NEAR( spline.mfLength, total, 1e-5 * total );
			for ( u32 s = 0; s < n; s++ ) {
				SCOPED_TRACE( RefKindName( row.kinds[s] ) );
				const f64 segmentLength = RefLength( input, s, 1.0 );
				EXPECT_NEAR( spline.GetSegmentLength( static_cast<s32>( s ) ), segmentLength, 1e-5 * segmentLength + 1e-7 );
				for ( const f64 t : { 0.0, 0.125, 0.37, 0.5, 0.81, 1.0 } ) {
					DTVector3d point;
					DTVector3d tangent;
					spline.GetPoint( static_cast<s32>( s ), static_cast<f32>( t ), point );
					spline.GetTangent( static_cast<s32>( s ), static_cast<f32>( t ), tangent );
					EXPECT_LE( RefDistance( RefPoint( input, s, t ), point ), pointTolerance ) << "t " << t;
					EXPECT_LE( RefDistance( RefTangent( input, s, t ), tangent ), pointTolerance ) << "t " << t;
					// Arc length within a segment: 1e-3 of the whole spline.
					EXPECT_NEAR( spline.GetSegmentLength( static_cast<s32>( s ), static_cast<f32>( t ) ),
								 RefLength( input, s, t ), 1e-3 * total ) << "t " << t;
				}
			}
			const f64 tolerance = 1e-4 * ( scale + total );
			for ( u32 probe = 0; probe < 12; probe++ ) {
				// Probes near the curve and far from it.
				const u32 s = probe % n;
				const RefVec base = RefPoint( input, s, unit( random ) );
				const f64 reach = probe < 6 ? 0.3 : 8.0;
				const RefVec x = { base[0] + reach * ( unit( random ) - 0.5 ), base[1] + reach * ( unit( random ) - 0.5 ),
								   base[2] + reach * ( unit( random ) - 0.5 ) };
				const f64 expected = RefSplineDistance( input, x );
				const f32 u = spline.GetNearest( ToVector( x ) );
				EXPECT_LE( RefDistance( x, PointAt( spline, u ) ), expected + tolerance ) << "probe " << probe;
				f32 segmentDistance = -1.0f;
				const f32 onSegment = spline.GetNearestOnSegment( static_cast<s32>( s ), ToVector( x ), &segmentDistance );
				const f64 segmentExpected = RefSegmentDistance( input, s, x );
				EXPECT_LE( RefDistance( x, PointAt( spline, onSegment ) ), segmentExpected + tolerance ) << "probe " << probe;
				EXPECT_NEAR( std::sqrt( std::fmax( segmentDistance, 0.0f ) ), segmentExpected, tolerance + 1e-3 * segmentExpected )
					<< "probe " << probe;
				// A sphere reaches the spline exactly when its radius is
				// beyond the distance; margins keep rounding out of it.
				for ( const f64 factor : { 0.9, 1.1 } ) {
					const f32 radius = static_cast<f32>( expected * factor + ( factor > 1.0 ? tolerance : -tolerance ) );
					if ( !( radius > 0.0f ) ) {
						continue;
					}
					f32 position = -7.0f;
					const u32 hit = spline.CheckSphereIntersection( DTSphere( ToVector( x ), radius ), position );
					EXPECT_EQ( hit, factor > 1.0 ? 1u : 0u ) << "probe " << probe << " factor " << factor;
					if ( hit != 0 ) {
						EXPECT_LE( RefDistance( x, PointAt( spline, position ) ), radius + tolerance );
					} else {
						EXPECT_EQ( position, -7.0f );
					}
				}
			}
		}
	}
}

TEST_F( EFQuadraticSplineTest, ClampsSegmentsOutsideTheSpline ) {
	const ToolSplineInput input = RefStraightSpline( 4, false );
	EFSplineMgr manager;
	ASSERT_TRUE( RefLoad( manager, { input } ) );
	const EFQuadraticSpline& spline = *manager.GetSpline( 0 );
	struct Row {
		s32		segment;
		f32		t;
		f32		x;		// expected point and arc length within the segment
		f32		length;
	};
	const Row rows[] = {
		{ -1, 0.7f, 0.0f, 0.0f },
		{ -1000, 0.3f, 0.0f, 0.0f },
		{ 4, 0.2f, 4.0f, 1.0f },
		{ 1 << 30, 0.0f, 4.0f, 1.0f },
		// t itself is not clamped.
		{ 1, 1.5f, 2.5f, 1.5f },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.segment );
		DTVector3d point;
		spline.GetPoint( row.segment, row.t, point );
		EXPECT_FLOAT_EQ( point.x, row.x );
		DTVector3d tangent;
		spline.GetTangent( row.segment, row.t, tangent );
		EXPECT_FLOAT_EQ( tangent.x, 1.0f );
		EXPECT_FLOAT_EQ( spline.GetSegmentLength( row.segment, row.t ), row.length );
		EXPECT_FLOAT_EQ( spline.GetSegmentLength( row.segment ), 1.0f );
		f32 distance = -1.0f;
		const f32 u = spline.GetNearestOnSegment( row.segment, DTVector3d( 2.2f, 1.0f, 0.0f ), &distance );
		EXPECT_GE( u, 0.0f );
		EXPECT_LE( u, 1.0f );
		EXPECT_GE( distance, 1.0f - 1e-5f );
		const f32 walked = spline.GetNearest( row.segment, DTVector3d( 2.2f, 1.0f, 0.0f ), &distance );
		EXPECT_NEAR( walked, 0.55f, 1e-5f );
		EXPECT_NEAR( distance, 1.0f, 1e-5f );
	}
}

TEST_F( EFQuadraticSplineTest, MeasuresStraightAndCollinearSectionsExactly ) {
	const ToolSplineInput input = RefStraightSpline( 4, false );
	EFSplineMgr manager;
	ASSERT_TRUE( RefLoad( manager, { input } ) );
	const EFQuadraticSpline& spline = *manager.GetSpline( 0 );
	for ( const f32 t : { 0.0f, 0.25f, 0.6f, 1.0f } ) {
		EXPECT_EQ( spline.GetSegmentLength( 2, t ), t * spline.GetSegmentLength( 2 ) ) << t;
	}
	const DTVector3d a( 1.0f, 2.0f, 3.0f );
	const DTVector3d m( 2.0f, 2.0f, 3.0f );
	const DTVector3d b( 3.0f, 2.0f, 3.0f );
	EXPECT_DOUBLE_EQ( spline.GetSectionLength( 0, 0.0, 0.5, 1.0, a, m, b, 1 ), 2.0 );
}

TEST_F( EFQuadraticSplineTest, BoundsTheSampleCountAndTheSplittingOfBadSections ) {
	std::mt19937 random( 99 );
	const ToolSplineInput input = RefRandomSpline( random, { REF_SHARP, REF_SHARP }, false, 3 );
	EFSplineMgr manager;
	ASSERT_TRUE( RefLoad( manager, { input } ) );
	const EFQuadraticSpline& spline = *manager.GetSpline( 0 );
	// Thirteen samples behave as eleven; the sample arrays hold eleven.
	EXPECT_DOUBLE_EQ( spline.GetCurveLength( 1, 0.0, 1.0, 13 ), spline.GetCurveLength( 1, 0.0, 1.0, 11 ) );
	EXPECT_DOUBLE_EQ( spline.GetCurveLength( 1, 0.0, 1.0, 1000000 ), spline.GetCurveLength( 1, 0.0, 1.0, 11 ) );
	EXPECT_NEAR( spline.GetCurveLength( 1, 0.0, 1.0, 11 ), RefLength( input, 1, 1.0 ), 1e-3 * RefLength( input, 1, 1.0 ) );
	EXPECT_GT( spline.GetCurveLength( 1, 0.0, 1.0, -4 ), 0.0 );
	// An infinite end makes non-finite points: taken at once, not split
	// down to the depth limit.
	const auto start = std::chrono::steady_clock::now();
	const f64 infinite = spline.GetCurveLength( 0, 0.0, std::numeric_limits<f64>::infinity(), 9 );
	EXPECT_FALSE( std::isfinite( infinite ) );
	spline.GetSegmentLength( 0, std::numeric_limits<f32>::infinity() );
	EXPECT_LT( std::chrono::steady_clock::now() - start, std::chrono::seconds( 1 ) );
}

TEST_F( EFQuadraticSplineTest, ASphereOutsideTheBoxLeavesThePositionAlone ) {
	const ToolSplineInput input = RefStraightSpline( 4, false );
	EFSplineMgr manager;
	ASSERT_TRUE( RefLoad( manager, { input } ) );
	const EFQuadraticSpline& spline = *manager.GetSpline( 0 );
	struct Row {
		DTVector3d	centre;
		f32			radius;
		u32			hit;
		f32			position;
	};
	const Row rows[] = {
		{ DTVector3d( 2.0f, 5.0f, 0.0f ), 1.0f, 0, -3.0f },
		{ DTVector3d( -9.0f, 0.0f, 0.0f ), 2.0f, 0, -3.0f },
		{ DTVector3d( 2.0f, 0.5f, 0.0f ), 0.6f, 1, 0.5f },
		{ DTVector3d( 4.5f, 0.0f, 0.0f ), 0.6f, 1, 1.0f },
	};
	for ( const Row& row : rows ) {
		f32 position = -3.0f;
		EXPECT_EQ( spline.CheckSphereIntersection( DTSphere( row.centre, row.radius ), position ), row.hit );
		EXPECT_NEAR( position, row.position, 1e-5f );
	}
}

}
