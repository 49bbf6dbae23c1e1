#include "framework/physics/EFObjCollisionBBox.h"
#include "framework/physics/EFObjCollisionPolygon.h"
#include "framework/physics/EFObjCollisionPrim.h"
#include "framework/physics/EFObjCollisionSphere.h"
#include "framework/physics/EFObjCollisionSweptSphere.h"
#include "framework/physics/PhysicsTestBench.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

typedef EFObjCollisionPrim Prim;

// The routines normalise through the 3D library's tables, so the library
// is open.
class EFObjCollisionPrimTest : public RwStartedTestCase {};

const DTVector3d ZERO;
const DTVector3d UP_Z( 0.0f, 0.0f, 1.0f );

TEST_F( EFObjCollisionPrimTest, TheSphereRoutinesMeetTheirEdgeCases ) {
	struct Row {
		const char*	name;
		DTVector3d	pos;
		DTVector3d	vel;
		f32			radius;
		u32			result;
		f32			time;
		DTVector3d	normal;
	} rows[] = {
		{ "coincident centres", ZERO, DTVector3d( 1.0f, 0.0f, 0.0f ), 1.0f, CS_COL_INSIDE, 0.0f, UP_Z },
		{ "still and apart", DTVector3d( 3.0f, 0.0f, 0.0f ), ZERO, 1.0f, CS_COL_NOAPPROACH, -1.0f, ZERO },
		{ "moving away", DTVector3d( 3.0f, 0.0f, 0.0f ), DTVector3d( 1.0f, 0.0f, 0.0f ), 1.0f, CS_COL_PAST, -1.0f, ZERO },
		{ "missing", DTVector3d( 3.0f, 2.0f, 0.0f ), DTVector3d( -1.0f, 0.0f, 0.0f ), 1.0f, CS_COL_NOAPPROACH, -1.0f, ZERO },
		// Exactly touching is not inside: the sweep runs and meets at 0.
		{ "touching and approaching", DTVector3d( 2.0f, 0.0f, 0.0f ), DTVector3d( -1.0f, 0.0f, 0.0f ), 2.0f, CS_COL_HIT,
		  0.0f, DTVector3d( 1.0f, 0.0f, 0.0f ) },
		{ "head on", DTVector3d( 0.0f, 5.0f, 0.0f ), DTVector3d( 0.0f, -2.0f, 0.0f ), 1.0f, CS_COL_HIT, 2.0f,
		  DTVector3d( 0.0f, 1.0f, 0.0f ) },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFCheckSphereSphereCollisionIn in = { row.pos, row.vel, row.radius };
		EFCheckSphereSphereCollisionOut out = { ZERO, ZERO, -1.0f };
		EXPECT_EQ( Prim::CheckSphereSphereCollision( in, out ), row.result );
		if ( row.time >= 0.0f ) {
			EXPECT_FLOAT_EQ( out.mfTime, row.time );
			EXPECT_NEAR( out.moNormal.x, row.normal.x, 1e-4f );
			EXPECT_NEAR( out.moNormal.y, row.normal.y, 1e-4f );
			EXPECT_NEAR( out.moNormal.z, row.normal.z, 1e-4f );
		}
	}
	// Against a segment from the origin to (0, 4, 0).
	const DTVector3d segment( 0.0f, 4.0f, 0.0f );
	struct SweepRow {
		const char*	name;
		DTVector3d	pos;
		DTVector3d	vel;
		f32			maxTime;
		u32			line;		// the infinite-line test
		u32			sweep;
		f32			time;
	} sweeps[] = {
		{ "overlapping the inside", DTVector3d( 0.5f, 2.0f, 0.0f ), DTVector3d( 1.0f, 0.0f, 0.0f ), 1.0f,
		  CS_COL_INSIDE | CS_COL_INSEGMENT, CS_COL_HIT | CS_COL_INSEGMENT, 0.0f },
		{ "overlapping the end", DTVector3d( 0.0f, 4.5f, 0.0f ), DTVector3d( 1.0f, 0.0f, 0.0f ), 1.0f,
		  CS_COL_INSIDE | CS_COL_AFTEREND, CS_COL_INSIDE, -1.0f },
		{ "side hit", DTVector3d( 3.0f, 1.0f, 0.0f ), DTVector3d( -1.0f, 0.0f, 0.0f ), 5.0f, CS_COL_HIT | CS_COL_INSEGMENT,
		  CS_COL_HIT | CS_COL_INSEGMENT, 2.0f },
		{ "end cap hit", DTVector3d( 0.0f, 8.0f, 0.0f ), DTVector3d( 0.0f, -1.0f, 0.0f ), 5.0f,
		  CS_COL_INSIDE | CS_COL_AFTEREND, CS_COL_HIT, 3.0f },
		{ "start cap hit", DTVector3d( 0.6f, -3.0f, 0.0f ), DTVector3d( 0.0f, 1.0f, 0.0f ), 5.0f,
		  CS_COL_INSIDE | CS_COL_BEFORESTART, CS_COL_HIT, 2.2f },
		{ "too late", DTVector3d( 3.0f, 1.0f, 0.0f ), DTVector3d( -1.0f, 0.0f, 0.0f ), 1.5f, CS_COL_HIT | CS_COL_INSEGMENT,
		  CS_COL_TOOLATE, -1.0f },
		{ "along the line", DTVector3d( 3.0f, 1.0f, 0.0f ), DTVector3d( 0.0f, 1.0f, 0.0f ), 5.0f, CS_COL_NOAPPROACH,
		  CS_COL_NOAPPROACH, -1.0f },
		{ "leaving", DTVector3d( 3.0f, 1.0f, 0.0f ), DTVector3d( 1.0f, 0.0f, 0.0f ), 5.0f, CS_COL_PAST, CS_COL_PAST, -1.0f },
	};
	for ( const SweepRow& row : sweeps ) {
		SCOPED_TRACE( row.name );
		EFCheckSphereVectorCollisionIn lineIn = { segment, row.pos, row.vel, 1.0f };
		EFCheckSphereVectorCollisionOut lineOut = {};
		EXPECT_EQ( Prim::CheckSphereVectorCollision( lineIn, lineOut ), row.line );
		EFCheckSphereSweepCollisionIn in = { segment, row.pos, row.vel, 1.0f, row.maxTime };
		EFCheckSphereSweepCollisionOut out = { ZERO, -1.0f };
		EXPECT_EQ( Prim::CheckSphereSweepCollision( in, out ), row.sweep );
		// A late contact and an end overlap leave the output alone.
		EXPECT_NEAR( out.mfTime, row.time, 1e-5f );
	}
}

TEST_F( EFObjCollisionPrimTest, TheLineRoutinesMeetTheirEdgeCases ) {
	// Parallel lines through one point.
	EFGetVectorVectorDistanceIn distanceIn = { DTVector3d( 1.0f, 0.0f, 0.0f ), DTVector3d( 2.0f, 0.0f, 0.0f ), ZERO };
	EFGetVectorVectorDistanceOut distanceOut = {};
	EXPECT_EQ( Prim::GetVectorVectorDistance( distanceIn, distanceOut ), CS_COL_PARALLEL );
	EXPECT_EQ( distanceOut.mfDistance, 0.0f );
	EXPECT_EQ( distanceOut.moNormal.z, 1.0f );
	// Skew lines: the normal points from line 1 to line 2.
	distanceIn = { DTVector3d( 1.0f, 0.0f, 0.0f ), DTVector3d( 0.0f, 1.0f, 0.0f ), DTVector3d( 5.0f, 5.0f, -3.0f ) };
	EXPECT_EQ( Prim::GetVectorVectorDistance( distanceIn, distanceOut ), CS_COL_DISTANCE );
	EXPECT_FLOAT_EQ( distanceOut.mfDistance, 3.0f );
	EXPECT_FLOAT_EQ( distanceOut.moNormal.z, -1.0f );

	// Segments farther apart than allowed leave the output alone.
	EFVectorVectorNearestPointIn nearIn = { DTVector3d( 1.0f, 0.0f, 0.0f ), DTVector3d( 0.0f, 1.0f, 0.0f ),
											DTVector3d( 0.5f, -0.5f, 2.0f ), 1.5f };
	EFVectorVectorNearestPointOut nearOut = { ZERO, -1.0f };
	EXPECT_EQ( Prim::GetVectorVectorNearestPoint( nearIn, nearOut ), CS_COL_TOOLATE );
	EXPECT_EQ( nearOut.mfDistance, -1.0f );
	nearIn.mfMaxDist = 5.0f;
	EXPECT_EQ( Prim::GetVectorVectorNearestPoint( nearIn, nearOut ),
			   CS_COL_INSEGMENT | CS_COL_SEG2INSIDE | CS_COL_DISTANCE );
	EXPECT_FLOAT_EQ( nearOut.mfDistance, 2.0f );

	struct Row {
		const char*	name;
		DTVector3d	pos;
		DTVector3d	vel;
		u32			result;
	} rows[] = {
		{ "already within the radius", DTVector3d( 0.0f, 0.0f, 0.5f ), DTVector3d( 0.0f, 0.0f, -1.0f ), CS_COL_INSIDE },
		{ "no normal speed", DTVector3d( 0.0f, 0.0f, 3.0f ), DTVector3d( 5.0f, 5.0f, 0.00005f ), CS_COL_NOAPPROACH },
		{ "leaving", DTVector3d( 0.0f, 0.0f, 3.0f ), DTVector3d( 0.0f, 0.0f, 1.0f ), CS_COL_PAST },
		{ "closing", DTVector3d( 0.0f, 0.0f, 3.0f ), DTVector3d( 0.0f, 0.0f, -2.0f ), CS_COL_HIT },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFCheckInfiniteVectorVectorCollisionIn in = { DTVector3d( 1.0f, 0.0f, 0.0f ), DTVector3d( 0.0f, 1.0f, 0.0f ),
													  row.pos, row.vel, 1.0f };
		EFCheckInfiniteVectorVectorCollisionOut out = {};
		EXPECT_EQ( Prim::CheckInfiniteVectorVectorCollision( in, out ), row.result );
		if ( row.result == CS_COL_HIT ) {
			EXPECT_FLOAT_EQ( out.mfTime, 1.0f );
			EXPECT_FLOAT_EQ( out.moNormal.z, 1.0f );
		}
	}
	// Parallel lines fall back on the sphere against the line.
	EFCheckInfiniteVectorVectorCollisionIn parallel = { DTVector3d( 1.0f, 0.0f, 0.0f ), DTVector3d( 2.0f, 0.0f, 0.0f ),
														DTVector3d( 0.5f, 3.0f, 0.0f ), DTVector3d( 0.0f, -1.0f, 0.0f ),
														1.0f };
	EFCheckInfiniteVectorVectorCollisionOut parallelOut = {};
	EXPECT_EQ( Prim::CheckInfiniteVectorVectorCollision( parallel, parallelOut ), CS_COL_HIT | CS_COL_INSEGMENT );
	EXPECT_FLOAT_EQ( parallelOut.mfTime, 2.0f );

	// A contact inside both segments hands the caller's flags back.
	EFCheckFiniteVectorVectorCollisionIn finite = { DTVector3d( 2.0f, 0.0f, 0.0f ), DTVector3d( 0.0f, 2.0f, 0.0f ),
													DTVector3d( 1.0f, -1.0f, 3.0f ), DTVector3d( 0.0f, 0.0f, -2.0f ),
													1.0f, UP_Z, 1.0f, 5.0f };
	EFCheckFiniteVectorVectorCollisionOut finiteOut = {};
	EXPECT_EQ( Prim::CheckFiniteVectorVectorCollision( finite, finiteOut, 0x12345 ), 0x12345u );
	EXPECT_EQ( finiteOut.mfTime, 1.0f );
	// Past the end of segment 1 at the lines' contact, that end point is
	// swept back against the moving segment instead.
	finite.moPos = DTVector3d( 2.5f, -1.0f, 3.0f );
	EXPECT_EQ( Prim::CheckFiniteVectorVectorCollision( finite, finiteOut, CS_COL_HIT ), CS_COL_HIT );
	EXPECT_NEAR( finiteOut.mfTime, ( 3.0f - std::sqrt( 0.75f ) ) / 2.0f, 1e-5f );
	EXPECT_NEAR( finiteOut.moNormal.x, 0.5f, 1e-3f );
	EXPECT_NEAR( finiteOut.moNormal.z, std::sqrt( 0.75f ), 1e-3f );
}

// ---- Differential test against double precision -------------------------

struct D3 {
	double x, y, z;
};
D3 ToD( const DTVector3d& v ) { return { v.x, v.y, v.z }; }
D3 Add( const D3& a, const D3& b ) { return { a.x + b.x, a.y + b.y, a.z + b.z }; }
D3 Sub( const D3& a, const D3& b ) { return { a.x - b.x, a.y - b.y, a.z - b.z }; }
D3 Mul( const D3& a, double s ) { return { a.x * s, a.y * s, a.z * s }; }
double Dot( const D3& a, const D3& b ) { return a.x * b.x + a.y * b.y + a.z * b.z; }
D3 CrossD( const D3& a, const D3& b ) { return { a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x }; }
double Len( const D3& a ) { return std::sqrt( Dot( a, a ) ); }

// Distance from p to the segment from the origin to v.
double PointSegment( const D3& p, const D3& v ) {
	const double u = std::clamp( Dot( p, v ) / Dot( v, v ), 0.0, 1.0 );
	return Len( Sub( p, Mul( v, u ) ) );
}

// Where a convex function of one variable is smallest on [low, high].
template< class F >
double ConvexMinimum( const F& f, double low, double high ) {
	for ( u32 k = 0; k < 200; k++ ) {
		const double m1 = low + ( high - low ) / 3.0;
		const double m2 = high - ( high - low ) / 3.0;
		if ( f( m1 ) < f( m2 ) ) {
			high = m2;
		} else {
			low = m1;
		}
	}
	return 0.5 * ( low + high );
}

class Sampler {
public:
	explicit Sampler( const u32 seed ) : mRandom( seed ) {}
	DTVector3d Vector( const f32 scale ) {
		std::uniform_real_distribution<f32> pick( -scale, scale );
		return DTVector3d( pick( mRandom ), pick( mRandom ), pick( mRandom ) );
	}
	f32 Between( const f32 low, const f32 high ) { return std::uniform_real_distribution<f32>( low, high )( mRandom ); }

private:
	std::mt19937 mRandom;
};

constexpr u32 CASES = 20000;
constexpr double TOLERANCE = 1e-3;
// Cases this close to a decision of the routine are left out (counted).
constexpr double MARGIN = 1e-3;

TEST_F( EFObjCollisionPrimTest, TheSphereSweepAgreesWithABruteForceSearchInDoublePrecision ) {
	Sampler sample( 20261207 );
	u32 excluded = 0;
	u32 counts[3] = {};		// inside, hits, misses
	for ( u32 i = 0; i < CASES; i++ ) {
		EFCheckSphereSweepCollisionIn in = { sample.Vector( 4.0f ), sample.Vector( 6.0f ), DTVector3d(),
											 sample.Between( 0.2f, 2.0f ), sample.Between( 0.5f, 2.0f ) };
		// Aim at a point near the segment, reached within about the time
		// allowed, so that hits, misses and late contacts all occur.
		const DTVector3d target = in.moSweep * sample.Between( -0.3f, 1.3f ) + sample.Vector( 2.0f * in.mfRadius );
		in.moVel = ( target - in.moPos ) * ( 1.0f / ( in.mfMaxTime * sample.Between( 0.3f, 1.5f ) ) );
		const D3 s = ToD( in.moSweep );
		const D3 p = ToD( in.moPos );
		const D3 w = ToD( in.moVel );
		const double r = in.mfRadius;
		const double maxTime = in.mfMaxTime;
		const auto distance = [&]( const double t ) { return PointSegment( Add( p, Mul( w, t ) ), s ); };
		// The distance to a convex set along a line is convex in time.
		const double closestTime = ConvexMinimum( distance, 0.0, maxTime );
		const double closest = distance( closestTime );
		const double start = distance( 0.0 );
		double first = -1.0;
		if ( closest < r && start > r ) {
			double low = 0.0;
			double high = closestTime;
			for ( u32 k = 0; k < 200; k++ ) {
				const double mid = 0.5 * ( low + high );
				( distance( mid ) <= r ? high : low ) = mid;
			}
			first = high;
		}
		if ( std::fabs( start - r ) < MARGIN * r || std::fabs( closest - r ) < MARGIN * r ||
			 ( first >= 0.0 && std::fabs( first - maxTime ) < MARGIN ) ) {
			excluded++;
			continue;
		}
		EFCheckSphereSweepCollisionOut out = {};
		const u32 result = Prim::CheckSphereSweepCollision( in, out );
		SCOPED_TRACE( i );
		if ( start < r ) {
			counts[0]++;
			// Inside at the start: an end overlap, or a hit at 0 inside.
			EXPECT_TRUE( result == CS_COL_INSIDE || ( result == ( CS_COL_HIT | CS_COL_INSEGMENT ) && out.mfTime == 0.0f ) )
				<< result;
		} else if ( first >= 0.0 ) {
			counts[1]++;
			ASSERT_NE( result & CS_COL_HIT, 0u );
			EXPECT_NEAR( out.mfTime, first, TOLERANCE * std::max( 1.0, first ) );
			// The normal points from the segment's nearest point to the
			// centre at contact.
			const D3 centre = Add( p, Mul( w, first ) );
			const double u = std::clamp( Dot( centre, s ) / Dot( s, s ), 0.0, 1.0 );
			const D3 normal = Mul( Sub( centre, Mul( s, u ) ), 1.0 / r );
			EXPECT_NEAR( out.moNormal.x, normal.x, 2 * TOLERANCE );
			EXPECT_NEAR( out.moNormal.y, normal.y, 2 * TOLERANCE );
			EXPECT_NEAR( out.moNormal.z, normal.z, 2 * TOLERANCE );
		} else {
			counts[2]++;
			EXPECT_EQ( result & CS_COL_HIT, 0u ) << out.mfTime;
		}
	}
	EXPECT_LT( excluded, CASES / 100 );
	for ( const u32 count : counts ) {
		EXPECT_GT( count, CASES / 100 );
	}
}

TEST_F( EFObjCollisionPrimTest, TheNearestPointsOfTwoSegmentsAgreeWithABruteForceSearch ) {
	Sampler sample( 7 );
	u32 excluded = 0;
	for ( u32 i = 0; i < CASES; i++ ) {
		EFVectorVectorNearestPointIn in = { sample.Vector( 4.0f ), sample.Vector( 4.0f ), sample.Vector( 4.0f ),
											1000000.0f };
		if ( i % 10 == 0 ) {
			// Every tenth pair parallel.
			in.moVector2 = in.moVector1 * sample.Between( -2.0f, 2.0f );
		}
		const D3 a = ToD( in.moVector1 );
		const D3 b = ToD( in.moVector2 );
		const D3 p = ToD( in.moPos );
		// For a point of segment 2 the nearest point of segment 1 is a
		// clamped projection; the distance is convex along segment 2.
		const auto along = [&]( const double s ) { return PointSegment( Add( p, Mul( b, s ) ), a ); };
		const double best = std::min( { along( ConvexMinimum( along, 0.0, 1.0 ) ), along( 0.0 ), along( 1.0 ) } );
		const double cross = Dot( CrossD( a, b ), CrossD( a, b ) );
		if ( std::fabs( cross - 0.00001 ) < 0.00001 * 0.5 || Dot( b, b ) < 1e-6 ) {
			excluded++;
			continue;
		}
		EFVectorVectorNearestPointOut out = {};
		const u32 result = Prim::GetVectorVectorNearestPoint( in, out );
		SCOPED_TRACE( i );
		ASSERT_NE( result & CS_COL_DISTANCE, 0u );
		EXPECT_NEAR( out.mfDistance, best, TOLERANCE * std::max( 1.0, best ) );
	}
	EXPECT_LT( excluded, CASES / 100 );
}

TEST_F( EFObjCollisionPrimTest, TheThickLineSweepAgreesWithTheClosedForm ) {
	Sampler sample( 99 );
	u32 excluded = 0;
	for ( u32 i = 0; i < CASES; i++ ) {
		EFCheckInfiniteVectorVectorCollisionIn in = { sample.Vector( 3.0f ), sample.Vector( 3.0f ), sample.Vector( 5.0f ),
													  sample.Vector( 4.0f ), sample.Between( 0.1f, 1.5f ) };
		const D3 n0 = CrossD( ToD( in.moVector1 ), ToD( in.moVector2 ) );
		const double nn = Dot( n0, n0 );
		if ( nn < 0.001 ) {
			excluded++;
			continue;
		}
		D3 n = Mul( n0, 1.0 / std::sqrt( nn ) );
		double d = Dot( ToD( in.moPos ), n );
		if ( d < 0.0 ) {
			d = -d;
			n = Mul( n, -1.0 );
		}
		const double v = Dot( n, ToD( in.moVelocity ) );
		const double r = in.mfRadius;
		if ( std::fabs( d - r ) < MARGIN || std::fabs( std::fabs( v ) - 0.0001 ) < MARGIN || std::fabs( v ) < MARGIN ) {
			excluded++;
			continue;
		}
		EFCheckInfiniteVectorVectorCollisionOut out = {};
		const u32 result = Prim::CheckInfiniteVectorVectorCollision( in, out );
		SCOPED_TRACE( i );
		const u32 expected = d < r ? CS_COL_INSIDE : v > 0.0 ? CS_COL_PAST : CS_COL_HIT;
		ASSERT_EQ( result, expected );
		EXPECT_NEAR( out.moNormal.x, n.x, TOLERANCE );
		EXPECT_NEAR( out.moNormal.y, n.y, TOLERANCE );
		EXPECT_NEAR( out.moNormal.z, n.z, TOLERANCE );
		if ( expected == CS_COL_HIT ) {
			const double t = ( d - r ) / -v;
			// The table normal's length is off by up to about 1e-3, which
			// scales d and v alike and leaves r / |v| in the time.
			EXPECT_NEAR( out.mfTime, t, TOLERANCE * ( std::max( 1.0, t ) + r / std::fabs( v ) ) );
		}
	}
	EXPECT_LT( excluded, CASES / 100 );
}

// ---- Dispatch ------------------------------------------------------------

class EFObjCollisionDispatchTest : public PhysicsTestBench {};

TEST_F( EFObjCollisionDispatchTest, LaterShapesMirrorEarlierOnesAndPolygonsNeverMeet ) {
	// The scripted primitive stands in for a sphere (shape 0) whose test
	// reports a contact.
	ScriptedPrim sphere;
	sphere.objAnswer.result = CS_COL_HIT;
	sphere.objAnswer.out.moColNormal = DTVector3d( 0.0f, 1.0f, 0.0f );
	sphere.objAnswer.out.moEffectivePartDep = DTVector3d( 1.0f, 2.0f, 3.0f );
	EFObjCollisionSweptSphere swept( nullptr );
	EFObjCollisionBBox box( nullptr );
	EFObjCollisionPolygon polygon( nullptr );
	ASSERT_TRUE( box.HasMatrices() );
	ASSERT_TRUE( polygon.HasMatrices() );
	const EFCheckCollisionIn in = { 0.5f, DTVector3d( 4.0f, 0.0f, 0.0f ) };
	for ( EFObjCollisionPrim* mover : std::initializer_list<EFObjCollisionPrim*>{ &swept, &box, &polygon } ) {
		SCOPED_TRACE( mover->mui32Shape );
		EFCheckCollisionOut out = {};
		EXPECT_EQ( mover->CheckObjPrimCollision( in, out, &sphere ), CS_COL_HIT );
		EXPECT_EQ( sphere.lastIn.moVelocity.x, -4.0f );
		EXPECT_EQ( sphere.lastIn.mfMaxTime, 0.5f );
		EXPECT_EQ( out.moColNormal.y, -1.0f );
		EXPECT_EQ( out.moEffectivePartDep.z, -3.0f );
	}
	// A miss comes back unchanged.
	sphere.objAnswer.result = CS_COL_TOOLATE;
	EFCheckCollisionOut out = {};
	EXPECT_EQ( swept.CheckObjPrimCollision( in, out, &sphere ), CS_COL_TOOLATE );
	EXPECT_EQ( out.moColNormal.y, 1.0f );
	EFObjCollisionPolygon other( nullptr );
	EXPECT_EQ( polygon.CheckObjPrimCollision( in, out, &other ), 0u );
	sphere.mui32Shape = 7;
	EXPECT_EQ( swept.CheckObjPrimCollision( in, out, &sphere ), 0u );
}

TEST( EFObjCollisionPrimStandaloneTest, ABoxOrPolygonWithoutItsMatricesAnswersNothing ) {
	// The 3D library is closed, so no matrix can be made.
	EFObjCollisionBBox box( nullptr );
	EFObjCollisionPolygon polygon( nullptr );
	EXPECT_FALSE( box.HasMatrices() );
	EXPECT_FALSE( polygon.HasMatrices() );
	EFObjCollisionSphere sphere( nullptr );
	const EFCheckCollisionIn in = { 1.0f, DTVector3d( 1.0f, 0.0f, 0.0f ) };
	EFCheckCollisionOut out = {};
	EXPECT_EQ( box.CheckObjPrimCollision( in, out, &sphere ), 0u );
	EXPECT_EQ( polygon.CheckObjPrimCollision( in, out, &sphere ), 0u );
}

}
