/*
	Bodies falling under gravity onto still platform bodies: spheres,
	capsules and boxes land on a box, a polygon set and a sphere that
	carry a platform bit, with and without the collision bit, and rest on
	the top face on the platform's state while the platform stays where
	it is.
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
// The height the stage leaves a resting body off the face: pushes of
// 0.001 or less are not made.
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

class EFPlatformLandingTest : public CollisionScenarioBench {
protected:
	void SetUp() override {
		CollisionScenarioBench::SetUp();
		// A 6 x 6 square facing up at y = TOP in two polygons, for the
		// polygon-set platform.
		ToolColMap square;
		square.attribs.resize( 1 );
		square.polygons.push_back( Quad( { -3, TOP, -3 }, { -3, TOP, 0 }, { 3, TOP, 0 }, { 3, TOP, -3 } ) );
		square.polygons.push_back( Quad( { -3, TOP, 0 }, { -3, TOP, 3 }, { 3, TOP, 3 }, { 3, TOP, 0 } ) );
		mpoPolygonData = LoadMap( EncodeMap( square ) );
		ASSERT_NE( mpoPolygonData, nullptr );
	}

	// Type 1, detecting type 1; environment collisions left to the caller.
	static void Describe( EFObjCollisionPrim* prim, EFPhysic* body, const f32 boundingRadius,
						  const DTVector3d& boundingCentre = DTVector3d() ) {
		prim->moBaseAttrib.IntArray[EF_ATTR_TYPE] = 0x1;
		prim->moBaseAttrib.IntArray[EF_ATTR_DETECT] = 0x1;
		prim->UpdateCurrentAttribs();
		body->moCollisionModel.mppoPrimArray[0] = prim;
		body->moCollisionModel.moPhysicBSphere = DTSphere( boundingCentre, boundingRadius );
		body->moCollisionModel.PrecalcData();
	}

	// A still platform body whose top lies at y = TOP over the origin.
	EFPhysic* MakePlatform( const u32 id, const Shape shape, const u32 flags ) {
		const f32 centre = shape == Shape::Box ? TOP - 0.5f : shape == Shape::Sphere ? TOP - 2.0f : 0.0f;
		EFPhysic* const body = MakeBody( id, flags, 1, 0.0f, centre, 0.0f );
		DTFrame* const frame = body->GetOwner()->GetFrame();
		switch ( shape ) {
		case Shape::Box: {
			EFObjCollisionBBox* const box = new EFObjCollisionBBox( frame );
			box->SetHalfExtents( DTVector3d( 3.0f, 0.5f, 3.0f ) );
			Describe( box, body, box->mfMaxRadius );
			break;
		}
		case Shape::Polygons: {
			EFObjCollisionPolygon* const polygons = new EFObjCollisionPolygon( frame );
			polygons->SetPolygons( 2, mpoPolygonData->GetFirstPrimitive() );
			Describe( polygons, body, 4.5f, DTVector3d( 0, TOP, 0 ) );
			break;
		}
		default:
			Describe( new HarnessSphere( frame, 2.0f ), body, 2.0f );
			break;
		}
		return body;
	}

	// A dynamic colliding body of the shape, its lowest point drop units
	// above the face at (x, z), falling under 9.8 units/s² from the
	// acceleration module. Returns the height of its centre above the
	// face when it rests.
	f32 MakeFaller( const u32 id, const Shape shape, const f32 x, const f32 z, const f32 drop, EFPhysic*& body ) {
		const f32 rest = shape == Shape::Capsule ? 0.8f : shape == Shape::Box ? 0.4f : 0.5f;
		body = MakeBody( id, EF_PHYSIC_DYNAMIC | EF_PHYSIC_COLLIDING, 1, x, TOP + rest + drop, z );
		DTFrame* const frame = body->GetOwner()->GetFrame();
		if ( shape == Shape::Capsule ) {
			EFObjCollisionSweptSphere* const capsule = new EFObjCollisionSweptSphere( frame );
			capsule->SetRadius( 0.3f );
			capsule->SetVector( DTVector3d( 0, 0.5f, 0 ) );
			Describe( capsule, body, capsule->mfMaxRadius );
		} else if ( shape == Shape::Box ) {
			EFObjCollisionBBox* const box = new EFObjCollisionBBox( frame );
			box->SetHalfExtents( DTVector3d( 0.4f, 0.4f, 0.4f ) );
			Describe( box, body, box->mfMaxRadius );
		} else {
			Describe( new HarnessSphere( frame, 0.5f ), body, 0.5f );
		}
		body->mui32CurrentContext = 1;
		const u32 gravity = DMAdd( id, EF_DM_ACCELERATION );
		DMAccelerationParams params = { { 0.0f, -9.8f, 0.0f }, 0.0f, 0 };
		DMSetParams( gravity, &params );
		DMSetContextMask( gravity, 1 );
		return rest;
	}

	std::unique_ptr<EFCollisionMap> mpoPolygonData;
};

TEST_F( EFPlatformLandingTest, BodiesDroppedOnAStillPlatformRestOnItsTopFaceWhateverItsCollisionBits ) {
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
				// Off centre, except on the sphere, whose top is a point.
				const f32 x = platformShape == Shape::Sphere ? 0.0f : 0.7f;
				const f32 z = platformShape == Shape::Sphere ? 0.0f : -0.4f;
				EFPhysic* faller = nullptr;
				const f32 rest = MakeFaller( id++, fallerShape, x, z, 2.0f, faller );
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

}	// namespace
