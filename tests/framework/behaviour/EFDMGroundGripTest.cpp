/*
	Ground grip on hand-made collisions: which normals count as floor,
	once a frame, the blend by grip × friction and its snaps, a jump, a
	moving platform, the friction over contacts, and the slope angle as
	logic sees it.
*/
#include "framework/behaviour/BehaviourTestBench.h"

#include "framework/behaviour/EFDMGroundGrip.h"
#include "framework/physics/EFContactReport.h"

#include <cmath>

namespace {

constexpr u32 OBJECT = 0x2A000200;
constexpr u32 PLATFORM = 0x2A000201;
constexpr f32 DT = 0.1f;

DTVector3d Tilted( const f32 y ) {
	return DTVector3d( std::sqrt( 1.0f - y * y ), y, 0.0f );
}

class EFDMGroundGripTest : public BehaviourTestBench {
protected:
	void SetUp() override {
		BehaviourTestBench::SetUp();
		// The frame number must differ from a new module's last frame 0.
		manager.Update( DT );
		body = MakeModuleBody( OBJECT );
		grip = Module<EFDMGroundGrip>( Add( OBJECT, EF_DM_GROUND_GRIP ) );
		record = RecordOf( body );
		stage = StageOf( record, none );
	}

	// One collision of the body through the module.
	void Collide( EFColDMData data ) { grip->ColUpdate( &stage, data, DT ); }

	EFPhysic*							body = nullptr;
	EFDMGroundGrip*						grip = nullptr;
	EFDynamicPhysic						record = {};
	EFCollisionStage					stage = {};
	std::vector<EFEnvCollisionPrim*>	none;
};

TEST_F( EFDMGroundGripTest, StepsTheVelocityTowardTheTargetOnTheFloorPlane ) {
	struct Row {
		const char*	name;
		DTVector3d	normal;
		DTVector3d	velocity;
		DTVector3d	target;
		f32			friction;
		DTVector3d	expected;
		f32			floorY;	 // the body's floor normal afterwards
	};
	const DTVector3d up( 0.0f, 1.0f, 0.0f );
	const f32 before = EF_PHYSIC_MIN_FLOOR_NORMAL_Y;
	const std::vector<Row> rows = {
		{ "n.y 0.69 is no floor", Tilted( 0.69f ), { 1, 0, 0 }, {}, 1.0f, { 1, 0, 0 }, before },
		{ "n.y 0.7 is floor", DTVector3d( 0.0f, 0.7f, 0.0f ), { 1, 0, 0 }, {}, 1.0f, { 0.9f, 0, 0 }, 0.7f },
		{ "n.y 0.71 is floor", DTVector3d( 0.0f, 0.71f, 0.0f ), { 1, 0, 0 }, {}, 1.0f, { 0.9f, 0, 0 }, 0.7f },
		{ "grip x friction 50 reaches the target", up, { 1, 0, 0 }, { 3, 1, 0 }, 50.0f,
		  { std::sqrt( 10.0f ), 0, 0 }, 0.7f },
		{ "a small error snaps", up, { 0.05f, 0, 0 }, {}, 1.0f, {}, 0.7f },
		{ "leaving the floor keeps the normal part", up, { 1, 2, 0 }, {}, 1.0f, { 0.9995f, 2, 0 }, 0.7f },
		{ "slowly leaving keeps the step", up, { 1, 0.005f, 0 }, {}, 1.0f, { 0.9f, 0.005f, 0 }, 0.7f },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		grip->mui32LastFrame = 0;
		body->moVelocity = row.velocity;
		body->mfMinFloorNormalY = before;
		body->mfFallingTimer = 0.0f;
		record.oTargetVelocity = row.target;
		Polygon floor = MakePolygon( row.normal, row.friction );
		Collide( Collision( row.normal, nullptr, &floor.prim ) );
		EXPECT_NEAR( body->moVelocity.x, row.expected.x, 1e-5f );
		EXPECT_NEAR( body->moVelocity.y, row.expected.y, 1e-5f );
		EXPECT_NEAR( body->moVelocity.z, row.expected.z, 1e-5f );
		EXPECT_FLOAT_EQ( body->mfMinFloorNormalY, row.floorY );
	}
}

TEST_F( EFDMGroundGripTest, ActsOnTheFirstFloorCollisionOfAFrameOnly ) {
	body->moVelocity = DTVector3d( 1.0f, 0.0f, 0.0f );
	Polygon floor = MakePolygon( DTVector3d( 0.0f, 1.0f, 0.0f ), 1.0f );
	Collide( Collision( floor.prim.moPlane.moNormal, nullptr, &floor.prim ) );
	Collide( Collision( floor.prim.moPlane.moNormal, nullptr, &floor.prim ) );
	EXPECT_FLOAT_EQ( body->moVelocity.x, 0.9f );
	EXPECT_EQ( body->mfFallingTimer, body->mfFallingDelay );
	manager.Update( DT );
	Collide( Collision( floor.prim.moPlane.moNormal, nullptr, &floor.prim ) );
	EXPECT_FLOAT_EQ( body->moVelocity.x, 0.81f );
}

TEST_F( EFDMGroundGripTest, BodiesGripOnlyAsPlatformsAndContactsGiveTheirGreatestFriction ) {
	EFPhysic* const platform = MakeBody( PLATFORM, EF_PHYSIC_DYNAMIC | EF_PHYSIC_PLATFORM );
	platform->moVelocity = DTVector3d( 0.0f, 0.0f, 2.0f );
	platform->mfFriction = 1.0f;
	const DTVector3d up( 0.0f, 1.0f, 0.0f );

	// On a moving platform: relative velocity (1, 0, 0) is gripped, the
	// platform's velocity comes back.
	body->moVelocity = DTVector3d( 1.0f, 0.0f, 2.0f );
	Collide( Collision( up, platform ) );
	EXPECT_NEAR( body->moVelocity.x, 0.9f, 1e-6f );
	EXPECT_NEAR( body->moVelocity.z, 2.0f, 1e-6f );

	// A plain body gives no friction: velocity kept, the frame used up.
	manager.Update( DT );
	platform->mui32PhysicFlags = EF_PHYSIC_DYNAMIC;
	body->moVelocity = DTVector3d( 1.0f, 0.0f, 0.0f );
	body->mfMinFloorNormalY = 0.0f;
	Collide( Collision( up, platform ) );
	EXPECT_EQ( body->moVelocity.x, 1.0f );
	EXPECT_FLOAT_EQ( body->mfMinFloorNormalY, 0.7f );
	Polygon floor = MakePolygon( up, 1.0f );
	Collide( Collision( up, nullptr, &floor.prim ) );
	EXPECT_EQ( body->moVelocity.x, 1.0f );

	// Contacts: a polygon of 0.3, a plain body of 5 (ignored), a platform
	// of 0.6, the collision's own polygon of 9 not counted.
	manager.Update( DT );
	Polygon low = MakePolygon( up, 0.3f );
	Polygon high = MakePolygon( up, 9.0f );
	EFPhysic* const plain = MakeBody( PLATFORM + 1, EF_PHYSIC_DYNAMIC );
	plain->mfFriction = 5.0f;
	platform->mui32PhysicFlags = EF_PHYSIC_CARRIER;
	platform->mfFriction = 0.6f;
	platform->moVelocity = DTVector3d();
	EFContactReport contacts[3] = {};
	contacts[0] = { up, nullptr, nullptr, &low.prim, &contacts[1] };
	contacts[1] = { up, plain, nullptr, nullptr, &contacts[2] };
	contacts[2] = { up, platform, nullptr, nullptr, nullptr };
	Collide( Collision( up, nullptr, &high.prim, contacts ) );
	EXPECT_NEAR( body->moVelocity.x, 1.0f - 0.06f, 1e-6f );
}

TEST_F( EFDMGroundGripTest, ParametersGiveTheSlopeAsAnAngleAndNullKeepsIt ) {
	DMGroundGripParams params = { 2.0f, 0.5f };
	DMSetParams( grip->mui32Handle, &params );
	EXPECT_FLOAT_EQ( grip->mfFloorCos, std::cos( 0.5f ) );
	DMSetParams( grip->mui32Handle, nullptr );
	DMGetParams( grip->mui32Handle, &params );
	EXPECT_EQ( params.fGrip, 1.0f );
	EXPECT_NEAR( params.fMaxSlope, 0.5f, 1e-6f );
}

}
