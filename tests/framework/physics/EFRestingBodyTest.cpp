/*
	Bodies under gravity coming to rest on what carries them, through the
	physics frame: spheres, capsules and boxes dropped onto still platform
	bodies (a box, a polygon set, a sphere) with and without the collision
	bit; capsules lying nearly flat, sunk into a floor polygon of a map or
	of a polygon body.
*/
#include "framework/physics/CollisionScenarioBench.h"

#include "framework/behaviour/EFDMInterface.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFObjCollisionBBox.h"
#include "framework/physics/EFObjCollisionPolygon.h"
#include "framework/physics/EFObjCollisionSweptSphere.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr u32 FIRST_ID = 0x2A000200;
constexpr f32 TOP = 1.0f;
// How far off the face the stage leaves a resting body: pushes of 0.001
// or less are not made.
constexpr f32 REST_TOLERANCE = 2e-3f;

enum class Shape { Sphere, Capsule, Box, Polygons };

const char* NameOf( const Shape shape ) {
	switch ( shape ) {
	case Shape::Sphere: return "sphere";
	case Shape::Capsule: return "capsule";
	case Shape::Box: return "box";
	case Shape::Polygons: return "polygon set";
	}
	return "?";
}

class EFRestingBodyTest : public CollisionScenarioBench {
protected:
	// A square facing up at y = top, half wide, in two polygons (type 1).
	EFEnvCollisionPrim* Square( const f32 top, const f32 half ) {
		ToolColMap square;
		square.attribs.resize( 1 );
		square.polygons.push_back( Quad( { -half, top, -half }, { -half, top, 0 }, { half, top, 0 }, { half, top, -half } ) );
		square.polygons.push_back( Quad( { -half, top, 0 }, { -half, top, half }, { half, top, half }, { half, top, 0 } ) );
		mMaps.push_back( LoadMap( EncodeMap( square ) ) );
		EXPECT_NE( mMaps.back(), nullptr );
		return mMaps.back() != nullptr ? mMaps.back()->GetFirstPrimitive() : nullptr;
	}

	// The body's one primitive, type 1 detecting type 1, and the
	// environment (detect 1) for a mover.
	static void Give( EFPhysic* body, EFObjCollisionPrim* prim, const f32 boundingRadius,
					  const DTVector3d& boundingCentre = DTVector3d() ) {
		prim->moBaseAttrib.IntArray[EF_ATTR_TYPE] = 0x1;
		prim->moBaseAttrib.IntArray[EF_ATTR_DETECT] = 0x1;
		if ( ( body->mui32PhysicFlags & EF_PHYSIC_DYNAMIC ) != 0 ) {
			prim->moBaseAttrib.IntArray[EF_ATTR_FLAGS] = EF_PRIM_ENV_COLLISIONS;
			prim->moBaseAttrib.IntArray[EF_ATTR_ENV_DETECT] = 0x1;
		}
		prim->UpdateCurrentAttribs();
		body->moCollisionModel.mppoPrimArray[0] = prim;
		body->moCollisionModel.moPhysicBSphere = DTSphere( boundingCentre, boundingRadius );
		body->moCollisionModel.PrecalcData();
	}

	// A still platform body of the shape, its top at y = TOP over the
	// origin.
	EFPhysic* MakePlatform( const u32 id, const Shape shape, const u32 flags ) {
		const f32 centre = shape == Shape::Box ? TOP - 0.5f : shape == Shape::Sphere ? TOP - 2.0f : 0.0f;
		EFPhysic* const body = MakeBody( id, flags, 1, 0.0f, centre, 0.0f );
		DTFrame* const frame = body->GetOwner()->GetFrame();
		if ( shape == Shape::Box ) {
			EFObjCollisionBBox* const box = new EFObjCollisionBBox( frame );
			box->SetHalfExtents( DTVector3d( 3.0f, 0.5f, 3.0f ) );
			Give( body, box, box->mfMaxRadius );
		} else if ( shape == Shape::Polygons ) {
			EFObjCollisionPolygon* const polygons = new EFObjCollisionPolygon( frame );
			polygons->SetPolygons( 2, Square( TOP, 3.0f ) );
			Give( body, polygons, 4.5f, DTVector3d( 0, TOP, 0 ) );
		} else {
			Give( body, new HarnessSphere( frame, 2.0f ), 2.0f );
		}
		return body;
	}

	// A dynamic colliding body of the shape at `at`, falling under
	// 9.8 units/s² from the acceleration module; a capsule has radius
	// 0.3 and the half axis given, a box half extents of 0.4, a sphere
	// radius 0.5.
	static EFPhysic* MakeFaller( const u32 id, const Shape shape, const DTVector3d& at,
								 const DTVector3d& halfAxis = DTVector3d( 0, 0.5f, 0 ) ) {
		EFPhysic* const body = MakeBody( id, EF_PHYSIC_DYNAMIC | EF_PHYSIC_COLLIDING, 1, at.x, at.y, at.z );
		DTFrame* const frame = body->GetOwner()->GetFrame();
		if ( shape == Shape::Capsule ) {
			EFObjCollisionSweptSphere* const capsule = new EFObjCollisionSweptSphere( frame );
			capsule->SetRadius( CAPSULE_RADIUS );
			capsule->SetVector( halfAxis );
			Give( body, capsule, capsule->mfMaxRadius );
		} else if ( shape == Shape::Box ) {
			EFObjCollisionBBox* const box = new EFObjCollisionBBox( frame );
			box->SetHalfExtents( DTVector3d( 0.4f, 0.4f, 0.4f ) );
			Give( body, box, box->mfMaxRadius );
		} else {
			Give( body, new HarnessSphere( frame, 0.5f ), 0.5f );
		}
		body->mui32CurrentContext = 1;
		const u32 gravity = DMAdd( id, EF_DM_ACCELERATION );
		DMAccelerationParams params = { { 0.0f, -9.8f, 0.0f }, 0.0f, 0 };
		DMSetParams( gravity, &params );
		DMSetContextMask( gravity, 1 );
		return body;
	}

	// Height of the body's centre above what it rests on.
	static f32 RestHeight( const Shape shape ) {
		return shape == Shape::Capsule ? 0.5f + CAPSULE_RADIUS : shape == Shape::Box ? 0.4f : 0.5f;
	}

	static constexpr f32 CAPSULE_RADIUS = 0.3f;
	std::vector<std::unique_ptr<EFCollisionMap>> mMaps;
};

TEST_F( EFRestingBodyTest, BodiesDroppedOnAStillPlatformRestOnItsTopFaceWhateverItsCollisionBits ) {
	const u32 bits[] = {
		EF_PHYSIC_PLATFORM,
		EF_PHYSIC_CARRIER,
		EF_PHYSIC_PLATFORM | EF_PHYSIC_COLLIDING,
		EF_PHYSIC_CARRIER | EF_PHYSIC_COLLIDING,
		EF_PHYSIC_PLATFORM | EF_PHYSIC_CARRIER | EF_PHYSIC_COLLIDING,
	};
	u32 id = FIRST_ID;
	for ( const Shape platformShape : { Shape::Box, Shape::Polygons, Shape::Sphere } ) {
		for ( const Shape fallerShape : { Shape::Sphere, Shape::Capsule, Shape::Box } ) {
			for ( const u32 flags : bits ) {
				SCOPED_TRACE( testing::Message() << NameOf( fallerShape ) << " on " << NameOf( platformShape )
												 << " with flags 0x" << std::hex << flags );
				EFPhysic* const platform = MakePlatform( id++, platformShape, flags );
				const DTVector3d platformAt = WorldPos( *OwnerOf( platform ) );
				// Off centre, except on the sphere, whose top is a point;
				// dropped from 2 units above the face.
				const f32 x = platformShape == Shape::Sphere ? 0.0f : 0.7f;
				const f32 z = platformShape == Shape::Sphere ? 0.0f : -0.4f;
				const f32 rest = RestHeight( fallerShape );
				EFPhysic* const faller = MakeFaller( id++, fallerShape, DTVector3d( x, TOP + rest + 2.0f, z ) );
				u32 framesOnPlatform = 0;
				for ( u32 frame = 0; frame < 120; frame++ ) {
					Step( 60u );
					framesOnPlatform += faller->mui32PhysicState == EF_STATE_ON_PLATFORM ? 1 : 0;
				}
				const DTVector3d at = WorldPos( *OwnerOf( faller ) );
				ASSERT_TRUE( std::isfinite( at.x ) && std::isfinite( at.y ) && std::isfinite( at.z ) );
				EXPECT_NEAR( at.y, TOP + rest, REST_TOLERANCE );
				EXPECT_NEAR( at.x, x, 1e-3f );
				EXPECT_NEAR( at.z, z, 1e-3f );
				EXPECT_EQ( faller->mui32PhysicState, EF_STATE_ON_PLATFORM );
				// Landing takes about 0.64 s; from then on it stands there.
				EXPECT_GE( framesOnPlatform, 70u );
				const DTVector3d platformNow = WorldPos( *OwnerOf( platform ) );
				EXPECT_EQ( platformNow.x, platformAt.x );
				EXPECT_EQ( platformNow.y, platformAt.y );
				EXPECT_EQ( platformNow.z, platformAt.z );
				EXPECT_EQ( platform->moVelocity * platform->moVelocity, 0.0f );
				manager.DestroyPhysic( faller );
				manager.DestroyPhysic( platform );
			}
		}
	}
}

TEST_F( EFRestingBodyTest, ANearlyFlatCapsuleSunkIntoAFloorPolygonIsOutAtOnceAndStaysOut ) {
	// One 40 x 40 floor at y = 0: a map's polygon, or a still polygon body's
	// (a platform, so the capsule is not pushed off it). The capsule
	// (radius 0.3, half axis 1) lies tilted about z, its lower end sunk;
	// up to 1 degree its axis line meets the plane beyond the floor.
	AddWorld( World( { Floor( 0.0f ) } ) );
	u32 id = FIRST_ID;
	EFPhysic* const floorBody = MakeBody( id++, EF_PHYSIC_PLATFORM, 1 );
	EFObjCollisionPolygon* const polygons = new EFObjCollisionPolygon( floorBody->GetOwner()->GetFrame() );
	polygons->SetPolygons( 2, Square( 0.0f, 20.0f ) );
	Give( floorBody, polygons, 30.0f );
	for ( const bool onBody : { false, true } ) {
		// Only one of the two floors is there for the capsule.
		floorBody->mui32PhysicFlags = onBody ? EF_PHYSIC_PLATFORM : EF_PHYSIC_OFF;
		for ( const f32 degrees : { 0.1f, 0.2f, 0.5f, 1.0f, 2.0f, 3.0f } ) {
			for ( const f32 share : { 0.1f, 0.2f, 1.0f / 3.0f } ) {
				SCOPED_TRACE( testing::Message() << ( onBody ? "polygon body" : "map polygon" ) << ", " << degrees
												 << " degrees, sunk by " << share << " of the radius" );
				const f32 angle = degrees / 57.29578f;
				const DTVector3d halfAxis( std::cos( angle ), std::sin( angle ), 0.0f );
				const f32 sunk = share * CAPSULE_RADIUS;
				EFPhysic* const capsule = MakeFaller(
					id++, Shape::Capsule, DTVector3d( -10.0f, CAPSULE_RADIUS - sunk + halfAxis.y, -2.5f ), halfAxis );
				// The capsule's lowest point: its lower end's sphere.
				const auto lowest = [&]() {
					return WorldPos( *OwnerOf( capsule ) ).y - halfAxis.y - CAPSULE_RADIUS;
				};
				Step( 60u );
				EXPECT_GE( lowest(), -1e-3f );
				f32 deepest = 0.0f;
				for ( u32 frame = 1; frame < 300; frame++ ) {
					Step( 60u );
					deepest = std::fmin( deepest, lowest() );
				}
				EXPECT_GE( deepest, -REST_TOLERANCE );
				EXPECT_NEAR( lowest(), 0.0f, REST_TOLERANCE );
				manager.DestroyPhysic( capsule );
			}
		}
	}
}

}	// namespace
