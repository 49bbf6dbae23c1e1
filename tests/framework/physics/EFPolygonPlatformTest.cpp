/*
	Bodies falling onto a still platform body whose only primitive is a
	polygon set: a sphere and a capsule land on it as on a platform and
	come to rest on its face, finite.
*/
#include "framework/physics/CollisionScenarioBench.h"

#include "framework/physics/EFObjCollisionPolygon.h"
#include "framework/physics/EFObjCollisionSweptSphere.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr u32 PLATFORM = 0x2A000200;
constexpr u32 FALLER = 0x2A000201;
constexpr f32 TOP = 1.0f;

class EFPolygonPlatformTest : public CollisionScenarioBench {
protected:
	// A still platform body at the origin: a 6 x 6 square facing up at
	// y = TOP in two polygons, type 1.
	void MakePlatform() {
		ToolColMap square;
		square.attribs.resize( 1 );
		square.polygons.push_back( Quad( { -3, TOP, -3 }, { -3, TOP, 0 }, { 3, TOP, 0 }, { 3, TOP, -3 } ) );
		square.polygons.push_back( Quad( { -3, TOP, 0 }, { -3, TOP, 3 }, { 3, TOP, 3 }, { 3, TOP, 0 } ) );
		mpoPolygonData = LoadMap( EncodeMap( square ) );
		ASSERT_NE( mpoPolygonData, nullptr );
		EFPhysic* const body = MakeBody( PLATFORM, EF_PHYSIC_PLATFORM, 1 );
		EFObjCollisionPolygon* const polygons = new EFObjCollisionPolygon( body->GetOwner()->GetFrame() );
		polygons->SetPolygons( 2, mpoPolygonData->GetFirstPrimitive() );
		polygons->moBaseAttrib.IntArray[EF_ATTR_TYPE] = 0x1;
		polygons->moBaseAttrib.IntArray[EF_ATTR_DETECT] = 0x1;
		polygons->UpdateCurrentAttribs();
		body->moCollisionModel.mppoPrimArray[0] = polygons;
		body->moCollisionModel.moPhysicBSphere = DTSphere( DTVector3d( 0, TOP, 0 ), 4.5f );
		body->moCollisionModel.PrecalcData();
	}

	std::unique_ptr<EFCollisionMap> mpoPolygonData;
};

TEST_F( EFPolygonPlatformTest, ASphereAndACapsuleDroppedOnAPolygonSetPlatformRestOnIt ) {
	struct Row {
		const char*	name;
		bool		capsule;
		f32			rest;		// height of the body's centre above the face
	} rows[] = {
		{ "sphere", false, 0.5f },
		{ "capsule", true, 0.3f + 0.5f },
	};
	ASSERT_NO_FATAL_FAILURE( MakePlatform() );
	u32 id = FALLER;
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		HarnessSphere* const sphere = MakeSphere( id, DTVector3d( 0.7f, 4.0f, -0.4f ), {}, DTVector3d( 0, -3, 0 ) );
		EFPhysic* const body = BodyOfPrim( sphere );
		ASSERT_NE( body, nullptr );
		if ( row.capsule ) {
			// An upright capsule of radius 0.3 and half axis 0.5 instead.
			EFObjCollisionSweptSphere* const capsule = new EFObjCollisionSweptSphere( body->GetOwner()->GetFrame() );
			capsule->SetRadius( 0.3f );
			capsule->SetVector( DTVector3d( 0, 0.5f, 0 ) );
			capsule->moBaseAttrib = sphere->moBaseAttrib;
			capsule->UpdateCurrentAttribs();
			delete sphere;
			body->moCollisionModel.mppoPrimArray[0] = capsule;
			body->moCollisionModel.moPhysicBSphere.mfRadius = 0.8f;
			body->moCollisionModel.PrecalcData();
		}
		// Falling until it lands on the platform, then still there.
		u32 landed = EF_STATE_FALLING;
		for ( u32 frame = 0; frame < 120; frame++ ) {
			Step( 60u );
			if ( landed == EF_STATE_FALLING ) {
				landed = body->mui32PhysicState;
			}
		}
		EXPECT_EQ( landed, EF_STATE_ON_PLATFORM );
		const RwV3d& at = OwnerOf( body )->GetFrame()->moFrame.modelling.pos;
		ASSERT_TRUE( std::isfinite( at.x ) && std::isfinite( at.y ) && std::isfinite( at.z ) );
		EXPECT_NEAR( at.y, TOP + row.rest, 2e-3f );
		EXPECT_NEAR( at.x, 0.7f, 1e-3f );
		EXPECT_NEAR( at.z, -0.4f, 1e-3f );
		EXPECT_NEAR( body->moVelocity.y, 0.0f, 1e-3f );
		// Out of the way of the next row.
		body->mui32PhysicFlags |= EF_PHYSIC_OFF;
		id++;
	}
}

}	// namespace
