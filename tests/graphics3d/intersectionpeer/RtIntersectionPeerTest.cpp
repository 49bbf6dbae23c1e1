// The intersection predicates against an independent collision library's
// GJK distance on random triangles. Cases too near the boundary to decide
// at single precision, and cases where GJK gives up, are left out; most
// cases must be compared.

#include "graphics3d/core/RwTestEngine.h"
#include "graphics3d/world/RtIntersection.h"

#include <random>

#ifndef ENGINE_PEER_MISSING
#include <BulletCollision/CollisionShapes/btBoxShape.h>
#include <BulletCollision/CollisionShapes/btSphereShape.h>
#include <BulletCollision/CollisionShapes/btTriangleShape.h>
#include <BulletCollision/NarrowPhaseCollision/btGjkEpa2.h>
#endif

namespace {

constexpr u32 CASES = 10000;
constexpr f32 BAND = 1e-3f;
constexpr u32 REQUIRED_COMPARED = CASES * 95 / 100;

class RtIntersectionPeerTest : public RwTestCase {
protected:
	void SetUp() override {
		RwTestCase::SetUp();
		ASSERT_TRUE( RwTestBringUp( &rwTestEngineMemory, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
	}
};

#ifdef ENGINE_PEER_MISSING

TEST_F( RtIntersectionPeerTest, NeedsThePeerLibrary ) {
	FAIL() << "the collision library to compare with is not installed";
}

#else

struct PeerDistance {
	bool	decided;		// GJK answered
	f32		distance;		// negative when penetrating
};

// One GJK run from an initial direction.
PeerDistance DistanceFrom( const btConvexShape& shape, const btTransform& at, const btTriangleShape& triangle,
						   const btVector3& guess ) {
	btTransform identity;
	identity.setIdentity();
	btGjkEpaSolver2::sResults results;
	if ( btGjkEpaSolver2::Distance( &triangle, identity, &shape, at, guess, results ) ) {
		return { true, static_cast<f32>( results.distance ) };
	}
	// Overlapping: the penetration depth tells how far from the boundary.
	if ( results.status == btGjkEpaSolver2::sResults::Penetrating &&
		 btGjkEpaSolver2::Penetration( &triangle, identity, &shape, at, guess, results ) ) {
		return { true, static_cast<f32>( -std::fabs( results.distance ) ) };
	}
	return { false, 0.0f };
}

// GJK in single precision can stop short of the true distance; runs from
// several directions that disagree count as a GJK failure.
PeerDistance Distance( const btConvexShape& shape, const btTransform& at, const RwV3d tri[3] ) {
	const btTriangleShape triangle( btVector3( tri[0].x, tri[0].y, tri[0].z ), btVector3( tri[1].x, tri[1].y, tri[1].z ),
									btVector3( tri[2].x, tri[2].y, tri[2].z ) );
	const btVector3 guesses[] = { btVector3( 1, 0, 0 ), btVector3( 0, 1, 0 ), btVector3( 0, 0, 1 ), btVector3( -1, -1, -1 ) };
	PeerDistance first = DistanceFrom( shape, at, triangle, guesses[0] );
	for ( const btVector3& guess : guesses ) {
		const PeerDistance other = DistanceFrom( shape, at, triangle, guess );
		const bool bothApart = first.distance >= 0.0f && other.distance >= 0.0f;
		if ( !other.decided || !first.decided ||
			 ( bothApart && std::fabs( other.distance - first.distance ) >= BAND ) ||
			 ( first.distance < 0.0f ) != ( other.distance < 0.0f ) ) {
			return { false, 0.0f };
		}
	}
	return first;
}

RwV3d RandomPoint( std::mt19937& random, const f32 extent ) {
	std::uniform_real_distribution<f32> coordinate( -extent, extent );
	return RwV3d{ coordinate( random ), coordinate( random ), coordinate( random ) };
}

TEST_F( RtIntersectionPeerTest, SphereTestAgreesWithGjkDistanceToTheCentre ) {
	std::mt19937 random( 20240601 );
	std::uniform_real_distribution<f32> radii( 0.2f, 2.0f );
	btSphereShape point( 0.0f );
	u32 compared = 0;
	u32 touching = 0;
	for ( u32 i = 0; i < CASES; i++ ) {
		const RwSphere sphere = { RandomPoint( random, 1.0f ), radii( random ) };
		const RwV3d tri[3] = { RandomPoint( random, 3.0f ), RandomPoint( random, 3.0f ), RandomPoint( random, 3.0f ) };
		btTransform at;
		at.setIdentity();
		at.setOrigin( btVector3( sphere.center.x, sphere.center.y, sphere.center.z ) );
		const PeerDistance peer = Distance( point, at, tri );
		if ( !peer.decided || std::fabs( peer.distance - sphere.radius ) < BAND ) {
			continue;
		}
		RwV3d normal;
		f32 distance = 0.0f;
		const bool expected = peer.distance <= sphere.radius;
		ASSERT_EQ( RtIntersectionSphereTriangle( &sphere, &tri[0], &tri[1], &tri[2], &normal, &distance ), expected )
			<< "case " << i << " peer distance " << peer.distance << " radius " << sphere.radius;
		compared++;
		touching += expected;
	}
	EXPECT_GE( compared, REQUIRED_COMPARED );
	// Both answers must be well represented for the comparison to mean much.
	EXPECT_GT( touching, compared / 10 );
	EXPECT_LT( touching, compared - compared / 10 );
}

TEST_F( RtIntersectionPeerTest, BoxTestAgreesWithGjkDistanceToTheBox ) {
	std::mt19937 random( 19700101 );
	std::uniform_real_distribution<f32> halves( 0.2f, 1.5f );
	u32 compared = 0;
	u32 touching = 0;
	for ( u32 i = 0; i < CASES; i++ ) {
		const RwV3d centre = RandomPoint( random, 1.0f );
		const RwV3d half = { halves( random ), halves( random ), halves( random ) };
		const RwBBox box = { { centre.x + half.x, centre.y + half.y, centre.z + half.z },
							 { centre.x - half.x, centre.y - half.y, centre.z - half.z } };
		const RwV3d tri[3] = { RandomPoint( random, 3.0f ), RandomPoint( random, 3.0f ), RandomPoint( random, 3.0f ) };
		btTransform at;
		at.setIdentity();
		at.setOrigin( btVector3( centre.x, centre.y, centre.z ) );
		// The verdict must hold for the box shrunk and grown by the band.
		PeerDistance peers[2];
		for ( const s32 side : { 0, 1 } ) {
			const f32 change = side == 0 ? -BAND : BAND;
			btBoxShape shape( btVector3( half.x + change, half.y + change, half.z + change ) );
			shape.setMargin( 0.0f );
			peers[side] = Distance( shape, at, tri );
		}
		if ( !peers[0].decided || !peers[1].decided || ( peers[0].distance < 0.0f ) != ( peers[1].distance < 0.0f ) ) {
			continue;
		}
		const PeerDistance& peer = peers[0];
		const bool expected = peer.distance < 0.0f;
		ASSERT_EQ( RtIntersectionBBoxTriangle( &box, &tri[0], &tri[1], &tri[2] ), expected )
			<< "case " << i << " peer distance " << peer.distance << " box " << box.inf.x << " " << box.inf.y << " " << box.inf.z
			<< " " << box.sup.x << " " << box.sup.y << " " << box.sup.z << " tri " << tri[0].x << " " << tri[0].y << " " << tri[0].z
			<< " " << tri[1].x << " " << tri[1].y << " " << tri[1].z << " " << tri[2].x << " " << tri[2].y << " " << tri[2].z;
		compared++;
		touching += expected;
	}
	EXPECT_GE( compared, REQUIRED_COMPARED );
	EXPECT_GT( touching, compared / 10 );
	EXPECT_LT( touching, compared - compared / 10 );
}

#endif

}	// namespace
