/*
	EFCollisionSystem through the physics frame: resting, sliding and
	bouncing spheres on tiny worlds, impulses between bodies, islands and
	their limits, carried children, notifications and the primary
	primitive's wall check.
*/
#include "framework/physics/CollisionScenarioBench.h"

#include "framework/physics/EFCollisionSystem.h"
#include "framework/physics/EFDynamicPhysic.h"
#include "framework/physics/EFUpdatePhysicStruct.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr u32 BALL = 0x2A000300;
constexpr u32 OTHER = 0x2A000301;

class EFCollisionSystemTest : public CollisionScenarioBench {
protected:
	// A pre-phase module that adds gravity to the body's velocity.
	void GiveGravity( EFPhysic* body, const f32 g = -9.8f ) {
		CountingModule* const module = new CountingModule( EF_DM_PHASE_PRE | 5, body, nullptr, "gravity" );
		module->mui32ContextMask = 1;
		body->mui32CurrentContext = 1;
		module->onPre = [body, g]() { body->moVelocity.y += g * mfStep; };
		body->LinkModule( module );
	}

	void Run( const u32 fps, const u32 frames ) {
		mfStep = 1.0f / static_cast<f32>( fps );
		Step( fps, frames );
	}

	DTVector3d PosOf( const HarnessSphere* prim ) { return WorldPos( *OwnerOf( BodyOfPrim( prim ) ) ); }

	// Frame records of the bodies as the frame makes them (world sphere
	// of the model), for a system run by hand inside a frame.
	static std::vector<EFDynamicPhysic> Records( const std::vector<EFPhysic*>& bodies ) {
		std::vector<EFDynamicPhysic> records;
		for ( EFPhysic* body : bodies ) {
			EFDynamicPhysic record = RecordOf( body );
			body->moCollisionModel.PrecalcData();
			record.oFrameBSpherePos = body->moCollisionModel.moPhysicBSphereWPos;
			record.fFrameBSphereRadius = body->moCollisionModel.moPhysicBSphere.mfRadius;
			records.push_back( record );
		}
		return records;
	}

	static inline f32 mfStep = 1.0f / 60.0f;
};

TEST_F( EFCollisionSystemTest, ALoneBodyMovesByItsVelocityInOneStep ) {
	const HarnessSphere* const ball = MakeSphere( BALL, DTVector3d( 1, 5, 2 ), {}, DTVector3d( 3, -1, 0.5f ) );
	const f32 dt = 1.0f / 60.0f;
	Run( 60, 1 );
	const DTVector3d at = PosOf( ball );
	EXPECT_EQ( at.x, 1.0f + 3.0f * dt );
	EXPECT_EQ( at.y, 5.0f + -1.0f * dt );
	EXPECT_EQ( at.z, 2.0f + 0.5f * dt );
}

TEST_F( EFCollisionSystemTest, ContactsWithinTheFirstOnesTimeToleranceAreResolvedWithIt ) {
	// Falling onto the floor at 0.005 s and reaching a wall a little later:
	// within the 0.001-unit tolerance (0.0007 s at this speed) both stop
	// the sphere at the first contact; beyond it the wall's comes next.
	struct Row {
		f32	wallDelay;
		f32	stopX;
	} rows[] = { { 0.0005f, 0.005f }, { 0.002f, 0.007f } };
	u32 id = BALL;
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.wallDelay );
		const f32 z = static_cast<f32>( id - BALL ) * 10.0f;
		ToolColMap world = World( { Floor( 0.0f ) } );
		ToolColPolygon wall = WallFacingMinusX( 0.5f + 0.005f + row.wallDelay, 2.0f );
		for ( ToolVec3& vertex : wall.vertices ) {
			vertex[2] += z;
		}
		world.polygons.push_back( wall );
		AddWorld( world );
		HarnessSphere* const ball = MakeSphere( id++, DTVector3d( 0, 0.505f, z ), {}, DTVector3d( 1, -1, 0 ) );
		Run( 60, 1 );
		EXPECT_NEAR( PosOf( ball ).x, row.stopX, 2e-5f );
		EXPECT_NEAR( PosOf( ball ).y, 0.5f, 2e-5f );
		manager.DestroyPhysic( BodyOfPrim( ball ) );
	}
}

TEST_F( EFCollisionSystemTest, ADroppedSphereLandsAndRestsWithoutTunnelling ) {
	AddWorld( World( { Floor( 0.0f ) } ) );
	struct Row {
		u32	fps;
		f32	speed;
	} rows[] = { { 30, 3.0f }, { 60, 3.0f }, { 30, 50.0f }, { 60, 50.0f } };
	u32 id = BALL;
	for ( const Row& row : rows ) {
		SCOPED_TRACE( testing::Message() << row.fps << " fps at " << row.speed );
		HarnessSphere* const ball = MakeSphere( id, DTVector3d( 0, 3, 0 ), {}, DTVector3d( 0, -row.speed, 0 ) );
		EFPhysic* const body = BodyOfPrim( ball );
		GiveGravity( body );
		mfStep = 1.0f / static_cast<f32>( row.fps );
		f32 lowest = 3.0f;
		for ( u32 frame = 0; frame < row.fps * 2; frame++ ) {
			Step( row.fps );
			lowest = std::fmin( lowest, PosOf( ball ).y );
		}
		EXPECT_GE( lowest, 0.5f - 1e-3f );
		EXPECT_NEAR( PosOf( ball ).y, 0.5f, 1e-3f );
		EXPECT_EQ( body->mui32PhysicState, EF_STATE_ON_FLOOR );
		EXPECT_NEAR( body->moVelocity.y, 0.0f, 1e-3f );
		manager.DestroyPhysic( body );
		id++;
	}
}

TEST_F( EFCollisionSystemTest, WallsKeepTheTangentialMotionAndFloorPlusWallBothNormalParts ) {
	AddWorld( World( { Floor( 0.0f ), WallFacingMinusX( 2.0f ) } ) );
	// Clear of the floor, into the wall: the wall takes x only.
	HarnessSphere* const flying = MakeSphere( BALL, DTVector3d( 0, 5, 0 ), {}, DTVector3d( 6, 0, 2 ) );
	// On the floor and against the wall, pressing into both.
	HarnessSphere* const cornered = MakeSphere( OTHER, DTVector3d( 1.5f, 0.5f, -5 ), {}, DTVector3d( 3, -1, 2 ) );
	Run( 60, 30 );
	const EFPhysic* const a = BodyOfPrim( flying );
	EXPECT_NEAR( a->moVelocity.x, 0.0f, 1e-4f );
	EXPECT_NEAR( a->moVelocity.z, 2.0f, 1e-4f );
	EXPECT_LE( PosOf( flying ).x, 1.5f + 1e-3f );
	EXPECT_NEAR( PosOf( flying ).z, 1.0f, 0.05f );
	const EFPhysic* const b = BodyOfPrim( cornered );
	EXPECT_NEAR( b->moVelocity.x, 0.0f, 1e-4f );
	EXPECT_NEAR( b->moVelocity.y, 0.0f, 1e-4f );
	EXPECT_NEAR( b->moVelocity.z, 2.0f, 1e-3f );
	EXPECT_NEAR( PosOf( cornered ).x, 1.5f, 1e-3f );
	EXPECT_NEAR( PosOf( cornered ).y, 0.5f, 1e-3f );
}

TEST_F( EFCollisionSystemTest, ImpulsesFollowPriorityWeightHardnessAndRebound ) {
	// Two spheres of radius 0.5 meet head on along x; the normal speeds
	// after the meeting (A moving +x from the left, B -x from the right).
	struct Row {
		const char*	name;
		u32			priorityA, priorityB;
		f32			weightA, weightB;
		f32			hardness, rebound;
		f32			speedA, speedB;
	} rows[] = {
		{ "equal, no restitution", 0, 0, 1, 1, 1.0f, 0.0f, 0.0f, 0.0f },
		{ "equal weights, hardness 1 ignores rebound", 0, 0, 1, 1, 1.0f, 1.0f, 0.0f, 0.0f },
		{ "equal priority, heavier A", 0, 0, 3, 1, 1.0f, 0.0f, 0.5f, 0.5f },
		{ "elastic", 0, 0, 1, 1, 0.5f, 1.0f, -1.0f, 1.0f },
		{ "lower B takes the whole impulse", 1, 0, 1, 1, 1.0f, 0.0f, 1.0f, 1.0f },
		{ "lower A takes the whole impulse", 0, 1, 1, 1, 1.0f, 0.0f, -1.0f, -1.0f },
		{ "weights 0 and 0 split equally", 0, 0, 0, 0, 1.0f, 0.0f, 0.0f, 0.0f },
		{ "weights 0 and 1 split equally", 0, 0, 0, 1, 1.0f, 0.0f, 0.0f, 0.0f },
	};
	u32 id = BALL;
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		SphereSetup a;
		a.priority = row.priorityA;
		a.weight = row.weightA;
		a.hardness = row.hardness;
		a.rebound = row.rebound;
		SphereSetup b = a;
		b.priority = row.priorityB;
		b.weight = row.weightB;
		// Far from earlier rows' spheres.
		const f32 z = static_cast<f32>( id - BALL ) * 10.0f;
		HarnessSphere* const primA = MakeSphere( id++, DTVector3d( -1.0f, 0, z ), a, DTVector3d( 1, 0, 0 ) );
		HarnessSphere* const primB = MakeSphere( id++, DTVector3d( 1.0f, 0, z ), b, DTVector3d( -1, 0, 0 ) );
		Run( 60, 40 );
		const EFPhysic* const bodyA = BodyOfPrim( primA );
		const EFPhysic* const bodyB = BodyOfPrim( primB );
		ASSERT_TRUE( std::isfinite( bodyA->moVelocity.x ) && std::isfinite( bodyB->moVelocity.x ) );
		EXPECT_NEAR( bodyA->moVelocity.x, row.speedA, 2e-3f );
		EXPECT_NEAR( bodyB->moVelocity.x, row.speedB, 2e-3f );
		// Never inside each other.
		EXPECT_GE( PosOf( primB ).x - PosOf( primA ).x, 1.0f - 1e-3f );
		manager.DestroyPhysic( BodyOfPrim( primA ) );
		manager.DestroyPhysic( BodyOfPrim( primB ) );
	}
}

TEST_F( EFCollisionSystemTest, IslandsHoldSixteenMembersAndSixtyFourOutsideBodies ) {
	// 17 colliding spheres on one spot, then 65 still bodies around one
	// more colliding sphere far away.
	std::vector<EFPhysic*> bodies;
	for ( u32 i = 0; i < 17; i++ ) {
		bodies.push_back( BodyOfPrim( MakeSphere( BALL + i, DTVector3d( 0.01f * i, 0, 0 ) ) ) );
	}
	bodies.push_back( BodyOfPrim( MakeSphere( BALL + 17, DTVector3d( 100, 0, 0 ) ) ) );
	for ( u32 i = 0; i < 65; i++ ) {
		SphereSetup still;
		still.flags = 0;
		bodies.push_back( BodyOfPrim( MakeSphere( BALL + 18 + i, DTVector3d( 100, 0.01f * i, 0 ), still ) ) );
	}
	RunInFrame( [&]() {
		std::vector<EFDynamicPhysic> records = Records( bodies );
		EFUpdatePhysicStruct frame = {};
		frame.fDt = 1.0f / 60.0f;
		frame.aoPass[0] = { records.data(), static_cast<u32>( records.size() ) };
		u32 left = 0;
		void* const memory = manager.PeekWorkMemory( left );
		EFCollisionSystem system;
		system.Init( frame, 0, 0, memory, nullptr );
		EXPECT_EQ( system.GetStageCount(), 16u );
		EXPECT_EQ( records[16].uiFlags & EF_RECORD_MEMBER, 0u );
		// The 17th is an outside body of this island.
		ASSERT_EQ( system.maCollidables[0].mui32Count, 1u );
		EXPECT_EQ( system.maCollidables[0].mppoRecords[0], &records[16] );
		system.Terminate( frame );
		for ( EFDynamicPhysic& record : records ) {
			record.uiFlags = 0;
		}
		system.Init( frame, 0, 17, memory, nullptr );
		EXPECT_EQ( system.GetStageCount(), 1u );
		EXPECT_EQ( system.maCollidables[0].mui32Count, EF_SYSTEM_MAX_COLLIDABLES );
		EXPECT_EQ( system.GetStage( 0 )->maCollidables[0].mui32Count, EF_SYSTEM_MAX_COLLIDABLES );
		system.Terminate( frame );
	} );
}

TEST_F( EFCollisionSystemTest, AnIslandTestingParticlesListsTheNearEmittersWhoseMasksMeetItsOwn ) {
	// Emitters without frames sit at the origin: one whose type detects
	// the spheres, one whose type meets nothing of theirs.
	PLEmitter* const seen = MakeEmitter( 1, 11, PL_EMITTER_REPORT_FIRST_HIT, 0x4, 0x1 );
	MakeEmitter( 2, 12, PL_EMITTER_REPORT_FIRST_HIT, 0x4, 0x4 );
	SphereSetup particles;
	particles.flags = EF_PHYSIC_DYNAMIC | EF_PHYSIC_COLLIDING | EF_PHYSIC_PARTICLES;
	std::vector<EFPhysic*> bodies = { BodyOfPrim( MakeSphere( BALL, DTVector3d( 0.2f, 0, 0 ), particles ) ),
									  BodyOfPrim( MakeSphere( OTHER, DTVector3d( 50, 0, 0 ), particles ) ),
									  BodyOfPrim( MakeSphere( BALL + 2, DTVector3d( -0.2f, 0, 0 ) ) ) };
	RunInFrame( [&]() {
		std::vector<EFDynamicPhysic> records = Records( bodies );
		PLEmitter* frameWide[1] = { nullptr };
		EFUpdatePhysicStruct frame = {};
		frame.fDt = 1.0f / 60.0f;
		frame.aoPass[0] = { records.data(), static_cast<u32>( records.size() ) };
		frame.ppoEmitterList = frameWide;
		frame.uiNbEmitters = 1;
		u32 left = 0;
		void* const memory = manager.PeekWorkMemory( left );
		struct Row {
			u32	index;
			u32	emitters;
		} rows[] = { { 0, 1 }, { 1, 0 } };
		EFCollisionSystem system;
		for ( const Row& row : rows ) {
			SCOPED_TRACE( row.index );
			system.Init( frame, 0, row.index, memory, nullptr );
			// Every member gets the island's list, the one without
			// particle tests too.
			for ( u32 s = 0; s < system.GetStageCount(); s++ ) {
				const EFDynamicPhysic& record = *system.GetStage( s )->mpoRecord;
				ASSERT_EQ( record.uiNbEmitters, row.emitters );
				if ( row.emitters != 0 ) {
					EXPECT_EQ( record.ppoEmitterList[0], seen );
				}
			}
			system.Terminate( frame );
			for ( const EFDynamicPhysic& record : records ) {
				if ( ( record.uiFlags & EF_RECORD_MEMBER ) != 0 ) {
					EXPECT_EQ( record.ppoEmitterList, frameWide );
					EXPECT_EQ( record.uiNbEmitters, 1u );
				}
			}
			for ( EFDynamicPhysic& record : records ) {
				record.uiFlags = 0;
			}
		}
	} );
}

TEST_F( EFCollisionSystemTest, ACarrierTakesItsChildAlongAndAPlatformGivesState4 ) {
	// A moving carrier (not colliding) with a colliding child that has
	// the carrier's velocity: the child moves with the carrier only.
	EFPhysic* const carrier = MakeBody( OTHER, EF_PHYSIC_DYNAMIC | EF_PHYSIC_CARRIER, 0, 0, 0, 0 );
	carrier->moVelocity = DTVector3d( 2, 0, 0 );
	HarnessSphere* const child = MakeSphere( BALL, DTVector3d( 0, 1, 0 ), {}, DTVector3d( 2, 0, 0 ) );
	OwnerOf( carrier )->AddChild( OwnerOf( BodyOfPrim( child ) ), 0 );
	Run( 60, 30 );
	EXPECT_NEAR( PosOf( child ).x, 1.0f, 1e-4f );
	EXPECT_NEAR( PosOf( child ).y, 1.0f, 1e-6f );

	// A sphere landing on a still platform body.
	SphereSetup platformSetup;
	platformSetup.flags = EF_PHYSIC_PLATFORM;
	platformSetup.radius = 2.0f;
	MakeSphere( BALL + 0x10, DTVector3d( 20, 0, 0 ), platformSetup );
	HarnessSphere* const lander = MakeSphere( BALL + 0x11, DTVector3d( 20, 3, 0 ), {}, DTVector3d( 0, -3, 0 ) );
	EFPhysic* const body = BodyOfPrim( lander );
	// Falling until it lands.
	u32 state = EF_STATE_FALLING;
	for ( u32 frame = 0; frame < 30 && state == EF_STATE_FALLING; frame++ ) {
		Run( 60, 1 );
		state = body->mui32PhysicState;
	}
	EXPECT_EQ( state, EF_STATE_ON_PLATFORM );
	EXPECT_NEAR( PosOf( lander ).y, 2.5f, 1e-3f );
}

TEST_F( EFCollisionSystemTest, ContactNotificationsGoToTheBodiesThatAskedModulesFirst ) {
	struct Row {
		const char*	name;
		u32			flagsA, flagsB;
		// Per body: notifications of side 1 and of side 0 (each a pair).
		u32			sideOneA, sideZeroA, sideOneB, sideZeroB;
	} rows[] = {
		{ "no bits, no notification", 0, 0, 0, 0, 0, 0 },
		{ "A asks for itself", EF_PRIM_NOTIFY_SELF, 0, 1, 0, 0, 0 },
		{ "A asks for B", EF_PRIM_NOTIFY_OTHER, 0, 0, 0, 0, 1 },
		{ "both bits on both sides", 0xC, 0xC, 1, 1, 1, 1 },
	};
	u32 id = BALL;
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		gPhysicsNotes.clear();
		SphereSetup a;
		a.primFlags = row.flagsA;
		SphereSetup b;
		b.primFlags = row.flagsB;
		const f32 z = static_cast<f32>( id - BALL ) * 10.0f;
		const u32 idA = id++;
		const u32 idB = id++;
		HarnessSphere* const primA = MakeSphere( idA, DTVector3d( -0.6f, 0, z ), a, DTVector3d( 1, 0, 0 ) );
		HarnessSphere* const primB = MakeSphere( idB, DTVector3d( 0.6f, 0, z ), b, DTVector3d( -1, 0, 0 ) );
		primA->mui32Tag = 7;
		primB->mui32Tag = 9;
		primA->moBaseAttrib.IntArray[7] = 70;
		primB->moBaseAttrib.IntArray[10] = 100;
		primA->UpdateCurrentAttribs();
		primB->UpdateCurrentAttribs();
		Run( 60, 10 );
		const std::vector<ContactNote> notes = ContactNotes();
		u32 counts[2][2] = {};
		for ( size_t i = 0; i < notes.size(); i++ ) {
			const ContactNote& note = notes[i];
			// Modules' 23 first, then logic's 3, with the same record.
			EXPECT_EQ( note.type, i % 2 == 0 ? NO_DM_OBJCOL : NO_PHYSIC_OBJECTCOLLISION );
			if ( i % 2 == 1 ) {
				EXPECT_EQ( std::memcmp( &note.record, &notes[i - 1].record, sizeof( note.record ) ), 0 );
				continue;
			}
			const bool toA = note.target == idA;
			const EFObjectCollisionRecord& r = note.record;
			counts[toA ? 0 : 1][r.ui32Side]++;
			EXPECT_EQ( r.ui32Tag, toA ? 7u : 9u );
			EXPECT_EQ( r.ui32OtherId, toA ? idB : idA );
			EXPECT_EQ( r.ui32OtherTag, toA ? 9u : 7u );
			// The words of the primitive that asked.
			const bool askedByA = toA == ( r.ui32Side == 1 );
			EXPECT_EQ( r.aui32Attribs[0], askedByA ? 70u : 0u );
			EXPECT_EQ( r.aui32Attribs[3], askedByA ? 0u : 100u );
			// The notified body's velocity first, as it was before the
			// contact.
			EXPECT_EQ( r.oVelocity.x, toA ? 1.0f : -1.0f );
			EXPECT_EQ( r.oOtherVelocity.x, toA ? -1.0f : 1.0f );
		}
		EXPECT_EQ( counts[0][1], row.sideOneA );
		EXPECT_EQ( counts[0][0], row.sideZeroA );
		EXPECT_EQ( counts[1][1], row.sideOneB );
		EXPECT_EQ( counts[1][0], row.sideZeroB );
		manager.DestroyPhysic( BodyOfPrim( primA ) );
		manager.DestroyPhysic( BodyOfPrim( primB ) );
	}
}

TEST_F( EFCollisionSystemTest, ADetectionOnlyPairIsToldEveryFrameWhileTouching ) {
	SphereSetup sensor;
	sensor.primFlags = EF_PRIM_DETECT_ONLY | EF_PRIM_NOTIFY_SELF;
	MakeSphere( BALL, DTVector3d(), sensor );
	SphereSetup still;
	still.flags = 0;
	MakeSphere( OTHER, DTVector3d( 0.8f, 0, 0 ), still );
	Run( 60, 3 );
	const std::vector<ContactNote> notes = ContactNotes( NO_PHYSIC_OBJECTCOLLISION );
	ASSERT_EQ( notes.size(), 3u );
	for ( const ContactNote& note : notes ) {
		EXPECT_EQ( note.target, BALL );
		EXPECT_EQ( note.record.ui32Side, 1u );
		EXPECT_EQ( note.record.ui32OtherId, OTHER );
	}
}

TEST_F( EFCollisionSystemTest, APrimaryPrimitiveMovedThroughAThinWallStopsInFrontOfIt ) {
	AddWorld( World( { WallFacingMinusX( 0.8f, 3.0f ) } ) );
	SphereSetup setup;
	setup.flags = EF_PHYSIC_DYNAMIC | EF_PHYSIC_COLLIDING;
	setup.envDetect = 0x1;
	HarnessSphere* const prim = MakeSphere( BALL, DTVector3d(), setup );
	EFPhysic* const body = BodyOfPrim( prim );
	body->moCollisionModel.muiPrimaryPrimIndex = 0;
	// The stage's reach covers the wall.
	body->moCollisionModel.moPhysicBSphere.mfRadius = 1.5f;
	bool jump = false;
	CountingModule* const module = new CountingModule( EF_DM_PHASE_POST | 6, body, nullptr, "jump" );
	module->mui32ContextMask = 1;
	body->mui32CurrentContext = 1;
	module->onPost = [&]() {
		if ( jump ) {
			jump = false;
			const RwV3d through = { 2.0f, 0.0f, 0.0f };
			RwFrameTranslate( OwnerOf( body )->GetFrame()->GetRwFrame(), &through, rwCOMBINEPOSTCONCAT );
		}
	};
	body->LinkModule( module );
	Run( 60, 2 );
	jump = true;
	Run( 60, 1 );
	const f32 x = PosOf( prim ).x;
	EXPECT_LT( x, 0.8f );
	EXPECT_GT( x, 0.7f );
	Run( 60, 2 );
	EXPECT_LT( PosOf( prim ).x, 0.8f );
}

}
