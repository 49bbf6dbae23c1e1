// The distances the capsule and box property test measures the primitives
// by, against an independent collision library's GJK distance (and EPA
// depth when the shapes overlap) between the same capsules, spheres,
// boxes and map polygons. Capsule and sphere distances must agree; the
// boxes' separating-axis distance must agree on whether the shapes meet
// and never exceed the library's distance. Runs of GJK from several
// directions that disagree, and cases within 1e-3 of touching, are left
// out and counted; most cases must be compared.

#include "framework/physics/PrimitiveDistanceOracle.h"
#include "framework/physics/PrimitiveTestShapes.h"

#include <cstdio>
#include <map>
#include <random>
#include <string>

#ifndef ENGINE_PEER_MISSING
#include <BulletCollision/CollisionShapes/btBoxShape.h>
#include <BulletCollision/CollisionShapes/btCapsuleShape.h>
#include <BulletCollision/CollisionShapes/btConvexHullShape.h>
#include <BulletCollision/CollisionShapes/btSphereShape.h>
#include <BulletCollision/NarrowPhaseCollision/btGjkEpa2.h>
#endif

namespace {

using namespace primitive_test;
using namespace primitive_oracle;

class EFCapsuleBoxPeerTest : public PrimitiveTestCase {};

#ifdef ENGINE_PEER_MISSING

TEST_F( EFCapsuleBoxPeerTest, NeedsThePeerLibrary ) {
	FAIL() << "the collision library to compare with is not installed";
}

#else

constexpr u32 CASES = 2000;
constexpr double BAND = 1e-3;

struct PeerDistance {
	bool	decided;
	double	distance;	// negative when overlapping
};

PeerDistance DistanceFrom( const btConvexShape& a, const btTransform& at, const btConvexShape& b, const btTransform& bt,
						   const btVector3& guess ) {
	btGjkEpaSolver2::sResults results;
	if ( btGjkEpaSolver2::Distance( &a, at, &b, bt, guess, results ) ) {
		return { true, results.distance };
	}
	if ( results.status == btGjkEpaSolver2::sResults::Penetrating &&
		 btGjkEpaSolver2::Penetration( &a, at, &b, bt, guess, results ) ) {
		return { true, -std::fabs( results.distance ) };
	}
	return { false, 0.0 };
}

// Runs from several directions that disagree count as undecided.
PeerDistance Distance( const btConvexShape& a, const btTransform& at, const btConvexShape& b, const btTransform& bt ) {
	const btVector3 guesses[] = { btVector3( 1, 0, 0 ), btVector3( 0, 1, 0 ), btVector3( 0, 0, 1 ), btVector3( -1, -1, -1 ) };
	const PeerDistance first = DistanceFrom( a, at, b, bt, guesses[0] );
	for ( const btVector3& guess : guesses ) {
		const PeerDistance other = DistanceFrom( a, at, b, bt, guess );
		if ( !first.decided || !other.decided || ( first.distance < 0.0 ) != ( other.distance < 0.0 ) ||
			 ( first.distance >= 0.0 && std::fabs( first.distance - other.distance ) >= BAND ) ) {
			return { false, 0.0 };
		}
	}
	return first;
}

btVector3 Bt( const D3& v ) {
	return btVector3( static_cast<btScalar>( v[0] ), static_cast<btScalar>( v[1] ), static_cast<btScalar>( v[2] ) );
}

// A capsule lies along its shape's y: turned onto the half axis.
btTransform CapsuleAt( const D3& centre, const D3& axis ) {
	btTransform at;
	at.setIdentity();
	at.setOrigin( Bt( centre ) );
	const btVector3 up( 0, 1, 0 );
	const btVector3 to = Bt( axis ).normalized();
	const btVector3 turn = up.cross( to );
	if ( turn.length2() > 1e-12f ) {
		at.setRotation( btQuaternion( turn.normalized(), btAcos( btClamped( up.dot( to ), btScalar( -1 ), btScalar( 1 ) ) ) ) );
	} else if ( up.dot( to ) < 0.0f ) {
		at.setRotation( btQuaternion( btVector3( 1, 0, 0 ), SIMD_PI ) );
	}
	return at;
}

// The box's axes are the columns of its basis.
btTransform BoxAt( const OracleBox& box ) {
	btTransform at;
	at.setOrigin( Bt( box.c ) );
	const D3* a = box.axis;
	at.setBasis( btMatrix3x3( btScalar( a[0][0] ), btScalar( a[1][0] ), btScalar( a[2][0] ), btScalar( a[0][1] ),
							  btScalar( a[1][1] ), btScalar( a[2][1] ), btScalar( a[0][2] ), btScalar( a[1][2] ),
							  btScalar( a[2][2] ) ) );
	return at;
}

struct Tally {
	u32 compared = 0;
	u32 undecided = 0;
	u32 nearContact = 0;
	u32 meeting = 0;
};

TEST_F( EFCapsuleBoxPeerTest, DistancesAgreeWithTheLibrarysGjk ) {
	const ToolColMap scene = ToolRandomCollisionScene( 113, 200, 20.0f );
	const std::vector<OraclePolygon> polygons = OracleOf( scene );
	std::mt19937 rng( 5500 );
	std::uniform_real_distribution<f32> unit( -1.0f, 1.0f );
	const auto vector = [&]( const f32 scale ) { return DTVector3d( unit( rng ), unit( rng ), unit( rng ) ) * scale; };
	const auto positive = [&]( const f32 low, const f32 span ) { return low + span * 0.5f * ( unit( rng ) + 1.0f ); };
	std::map<std::string, Tally> tallies;
	// Both distances, or the peer's undecided; exact is whether ours must
	// equal the peer's (else it may only be lower).
	// GJK measures between the shapes without their margins (a capsule's
	// and a sphere's radius), the depth of an overlap with them.
	const auto compare = [&]( const char* name, PeerDistance peer, const double ours, const bool exact,
							  const double margins ) {
		Tally& tally = tallies[name];
		if ( !peer.decided ) {
			tally.undecided++;
			return;
		}
		if ( peer.distance >= 0.0 ) {
			peer.distance -= margins;
		}
		if ( std::fabs( peer.distance ) < BAND || std::fabs( ours ) < BAND ) {
			tally.nearContact++;
			return;
		}
		tally.compared++;
		tally.meeting += peer.distance < 0.0 ? 1 : 0;
		EXPECT_EQ( ours < 0.0, peer.distance < 0.0 ) << name << " ours " << ours << " peer " << peer.distance;
		if ( peer.distance > 0.0 ) {
			if ( exact ) {
				// Single-precision GJK stops within about 1e-3 of the
				// distance's size.
				EXPECT_NEAR( ours, peer.distance, BAND * std::max( 1.0, peer.distance ) ) << name;
			} else {
				EXPECT_LE( ours, peer.distance + BAND * std::max( 1.0, peer.distance ) ) << name;
			}
		}
	};
	for ( u32 i = 0; i < CASES; i++ ) {
		SCOPED_TRACE( i );
		const OraclePolygon& polygon = polygons[rng() % polygons.size()];
		const DTVector3d around( static_cast<f32>( polygon.centre[0] ), static_cast<f32>( polygon.centre[1] ),
								 static_cast<f32>( polygon.centre[2] ) );
		const D3 centre = Of( around + vector( 2.5f ) );
		const D3 axis = Of( vector( 1.2f ) );
		const double r = positive( 0.2f, 0.6f );
		const D3 ends[2] = { Sub( centre, axis ), Add( centre, axis ) };
		btCapsuleShape capsule( static_cast<btScalar>( r ), static_cast<btScalar>( 2.0 * Length( axis ) ) );
		const btTransform capsuleAt = CapsuleAt( centre, axis );

		const D3 other = Of( around + vector( 2.5f ) );
		const double otherR = positive( 0.3f, 1.0f );
		btSphereShape sphere( static_cast<btScalar>( otherR ) );
		btTransform sphereAt;
		sphereAt.setIdentity();
		sphereAt.setOrigin( Bt( other ) );

		const D3 otherAxis = Of( vector( 1.2f ) );
		const double otherCapsuleR = positive( 0.2f, 0.6f );
		btCapsuleShape otherCapsule( static_cast<btScalar>( otherCapsuleR ), static_cast<btScalar>( 2.0 * Length( otherAxis ) ) );
		const btTransform otherCapsuleAt = CapsuleAt( other, otherAxis );

		const OracleBox box = BoxOf( *Box( around + vector( 2.5f ),
										   DTVector3d( positive( 0.2f, 1.0f ), positive( 0.2f, 1.0f ), positive( 0.2f, 1.0f ) ),
										   180.0f * unit( rng ), EFObjCollisionPrim::NormalizeOrUp( vector( 1.0f ) ) ) );
		const OracleBox otherBox =
			BoxOf( *Box( around + vector( 2.5f ),
						 DTVector3d( positive( 0.2f, 1.0f ), positive( 0.2f, 1.0f ), positive( 0.2f, 1.0f ) ),
						 180.0f * unit( rng ), EFObjCollisionPrim::NormalizeOrUp( vector( 1.0f ) ) ) );
		btBoxShape boxShape( btVector3( btScalar( box.h[0] ), btScalar( box.h[1] ), btScalar( box.h[2] ) ) );
		boxShape.setMargin( 0.0f );
		btBoxShape otherBoxShape( btVector3( btScalar( otherBox.h[0] ), btScalar( otherBox.h[1] ), btScalar( otherBox.h[2] ) ) );
		otherBoxShape.setMargin( 0.0f );

		btConvexHullShape hull;
		for ( const D3& v : polygon.v ) {
			hull.addPoint( Bt( v ), false );
		}
		hull.recalcLocalAabb();
		hull.setMargin( 0.0f );
		btTransform identity;
		identity.setIdentity();

		compare( "capsule and polygon", Distance( capsule, capsuleAt, hull, identity ),
				 SegmentPolygon( polygon, ends[0], ends[1] ) - r, true, r );
		compare( "capsule and sphere", Distance( capsule, capsuleAt, sphere, sphereAt ),
				 SegmentSegment( ends[0], ends[1], other, other ) - r - otherR, true, r + otherR );
		compare( "capsule and capsule", Distance( capsule, capsuleAt, otherCapsule, otherCapsuleAt ),
				 SegmentSegment( ends[0], ends[1], Sub( other, otherAxis ), Add( other, otherAxis ) ) - r - otherCapsuleR,
				 true, r + otherCapsuleR );
		compare( "capsule and box", Distance( capsule, capsuleAt, otherBoxShape, BoxAt( otherBox ) ),
				 SegmentBox( otherBox, ends[0], ends[1] ) - r, true, r );
		compare( "box and sphere", Distance( boxShape, BoxAt( box ), sphere, sphereAt ),
				 box.PointDistance( other ) - otherR, true, otherR );
		compare( "box and box", Distance( boxShape, BoxAt( box ), otherBoxShape, BoxAt( otherBox ) ),
				 BoxBox( box, otherBox ), false, 0.0 );
		compare( "box and polygon", Distance( boxShape, BoxAt( box ), hull, identity ), BoxPolygon( box, polygon ), false, 0.0 );
		mShapes.clear();
	}
	for ( const auto& [name, tally] : tallies ) {
		SCOPED_TRACE( name );
		std::printf( "  %s: compared %u (%u meeting), undecided %u, near contact %u\n", name.c_str(), tally.compared,
					 tally.meeting, tally.undecided, tally.nearContact );
		EXPECT_GE( tally.compared, CASES * 95 / 100 );
		EXPECT_GT( tally.meeting, tally.compared / 20 );
		EXPECT_LT( tally.meeting, tally.compared - tally.compared / 20 );
	}
}

#endif

}	// namespace
