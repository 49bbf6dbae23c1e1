#include "framework/physics/PhysicsTestBench.h"
#include "framework/physics/CollisionMapTestScenes.h"

#include "framework/physics/EFCollisionData.h"
#include "framework/physics/EFCollisionReport.h"
#include "framework/physics/EFCollisionStage.h"
#include "framework/physics/EFContactReport.h"
#include "framework/physics/EFPushRecord.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <vector>

namespace {

constexpr f32 DT = 1.0f / 60.0f;
constexpr f32 APPROACH = 0.00390625f;

// An environment polygon with its attribute record right behind it, the
// attribute word naming it as a loaded map's polygons do.
struct Polygon {
	EFEnvCollisionPrim	prim = {};
	EnvPrimAttribs		attribs = {};

	explicit Polygon( const u32 detectedBy = 1, const u32 udDetectedBy = 0 ) {
		prim.mui32Attributes = static_cast<u32>( offsetof( Polygon, attribs ) - offsetof( Polygon, prim ) );
		attribs.ui32DetectedBy = detectedBy;
		attribs.ui32UDDetectedBy = udDetectedBy;
	}
};

ScriptedPrim::Answer Hit( const f32 time, const DTVector3d& normal ) {
	ScriptedPrim::Answer answer;
	answer.result = CS_COL_HIT;
	answer.out.mfTime = time;
	answer.out.moColNormal = normal;
	return answer;
}

ScriptedPrim::Answer Push( const f32 size, const DTVector3d& normal ) {
	ScriptedPrim::Answer answer;
	answer.result = CS_COL_PUSH;
	answer.out.mfPushSize = size;
	answer.out.moColNormal = normal;
	return answer;
}

// A stage for the record, holding the body's model primitives.
EFCollisionStage StageOf( EFDynamicPhysic& record ) {
	EFCollisionStage stage = {};
	stage.mpoRecord = &record;
	stage.mfEarliestTime = 100000.0f;
	const EFCollisionModel& model = record.poPhysic->moCollisionModel;
	for ( u32 i = 0; i < model.mui32MaxPrims; i++ ) {
		stage.mapoPrims[stage.mui32NbPrims] = model.mppoPrimArray[i];
		stage.mapoPrimOwners[stage.mui32NbPrims++] = record.poPhysic;
	}
	return stage;
}

template< class T >
std::vector<T*> ListOf( T* head ) {
	std::vector<T*> list;
	for ( ; head != nullptr; head = head->mpoNext ) {
		list.push_back( head );
	}
	return list;
}

class EFPhysicCollisionTest : public PhysicsTestBench {};

TEST_F( EFPhysicCollisionTest, CollisionResponseSortsFloorsPlatformsAndBodies ) {
	const DTVector3d up( 0.0f, 1.0f, 0.0f );
	enum Collider { NONE, BODY, PLATFORM, CARRIER };
	struct Row {
		const char*	name;
		DTVector3d	normal;
		Collider	collider;
		bool		colliding;
		bool		escapes;		// the collider's primitive gives (1, 0, 0)
		DTVector3d	velocity;
		u32			state;
		DTVector3d	after;
	} rows[] = {
		{ "environment floor", up, NONE, true, false, DTVector3d( 1.0f, 0.0f, 0.0f ), EF_STATE_ON_FLOOR,
		  DTVector3d( 1.0f, 0.0f, 0.0f ) },
		{ "too steep for a floor", DTVector3d( 0.0f, 0.7f, 0.71414f ), NONE, true, false, DTVector3d(), 0, DTVector3d() },
		{ "a body under a body that does not collide", up, BODY, false, true, DTVector3d(), EF_STATE_ON_FLOOR,
		  DTVector3d() },
		{ "platform", up, PLATFORM, true, true, DTVector3d(), EF_STATE_ON_PLATFORM, DTVector3d() },
		{ "carrier", up, CARRIER, true, true, DTVector3d(), EF_STATE_ON_PLATFORM, DTVector3d() },
		{ "pushed off at rest", up, BODY, true, true, DTVector3d(), EF_STATE_ON_BODY, DTVector3d( 0.5f, 0.0f, 0.0f ) },
		{ "pushed off up to 2", up, BODY, true, true, DTVector3d( 1.6f, 0.0f, 0.0f ), EF_STATE_ON_BODY,
		  DTVector3d( 2.0f, 0.0f, 0.0f ) },
		{ "fast enough already", up, BODY, true, true, DTVector3d( 2.5f, 0.0f, 0.0f ), EF_STATE_ON_BODY,
		  DTVector3d( 2.5f, 0.0f, 0.0f ) },
		{ "moving back too fast", up, BODY, true, true, DTVector3d( -0.5f, 0.0f, 0.0f ), EF_STATE_ON_BODY,
		  DTVector3d( -0.5f, 0.0f, 0.0f ) },
		// A primitive without an escape leaves the direction zero.
		{ "no escape", up, BODY, true, false, DTVector3d( 0.3f, 0.0f, 0.0f ), EF_STATE_ON_BODY,
		  DTVector3d( 0.3f, 0.0f, 0.0f ) },
		{ "slope: down the steepest descent", DTVector3d( 0.6f, 0.8f, 0.0f ), BODY, true, false, DTVector3d(),
		  EF_STATE_ON_BODY, DTVector3d( 0.4f, -0.3f, 0.0f ) },
	};
	Polygon polygon;
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFPhysic body( nullptr, 0 );
		body.mui32PhysicFlags = row.colliding ? EF_PHYSIC_COLLIDING : 0;
		body.NormalizeFlags();
		body.moVelocity = row.velocity;
		EFPhysic other( nullptr, 0 );
		other.mui32PhysicFlags = row.collider == PLATFORM ? EF_PHYSIC_PLATFORM : row.collider == CARRIER ? EF_PHYSIC_CARRIER : 0;
		ScriptedPrim prim;
		prim.hasEscape = row.escapes;
		prim.escape = DTVector3d( 1.0f, 0.0f, 0.0f );
		EFCollisionData data = { 0.0f, row.normal, 0, row.collider == NONE ? nullptr : &other,
								 row.collider == NONE ? nullptr : &prim, row.collider == NONE ? &polygon.prim : nullptr,
								 nullptr };
		body.CollisionUpdate( nullptr, data, DT );
		EXPECT_EQ( body.mui32PhysicState, row.state );
		EXPECT_NEAR( body.moVelocity.x, row.after.x, 1e-4f );
		EXPECT_NEAR( body.moVelocity.y, row.after.y, 1e-4f );
		EXPECT_NEAR( body.moVelocity.z, row.after.z, 1e-4f );
		EXPECT_EQ( body.mpoLastFloorPrim, row.state == EF_STATE_ON_FLOOR ? data.poEnvPrim : nullptr );
	}
}

TEST_F( EFPhysicCollisionTest, CollisionResponseRecordsContactsAndRetunesTheStage ) {
	EFPhysic body( nullptr, 0 );
	Polygon floor;
	Polygon wall;
	EFDynamicPhysic record = RecordOf( &body );
	EFCollisionStage stage = StageOf( record );
	RunInFrame( [&] {
		body.moVelocity = DTVector3d( 3.0f, 4.0f, 0.0f );
		EFCollisionData data = { 0.0f, DTVector3d( 0.0f, 1.0f, 0.0f ), 1, nullptr, nullptr, &floor.prim, nullptr };
		body.CollisionUpdate( &stage, data, DT );
		EXPECT_FLOAT_EQ( stage.mfTimeTolerance, 0.001f / 5.0f );
		body.moVelocity = DTVector3d();
		data.oNorm = DTVector3d( 1.0f, 0.0f, 0.0f );
		data.poEnvPrim = &wall.prim;
		body.CollisionUpdate( &stage, data, DT );
		EXPECT_EQ( stage.mfTimeTolerance, DT );
		data.bCreateContact = 0;
		body.CollisionUpdate( &stage, data, DT );
		const std::vector<EFContactReport*> contacts = ListOf( stage.mpoContactList );
		ASSERT_EQ( contacts.size(), 2u );
		EXPECT_EQ( contacts[0]->poEnvPrim, &wall.prim );
		EXPECT_EQ( contacts[1]->poEnvPrim, &floor.prim );
		EXPECT_EQ( contacts[1]->oContactNormal.y, 1.0f );
	} );
	EXPECT_EQ( stage.mbDirty, 1 );
}

TEST_F( EFPhysicCollisionTest, EnvironmentReportsComeInTimeOrderAndOnlyWhenApproaching ) {
	EFPhysic* const body = MakeBody( 0x2A000001, EF_PHYSIC_COLLIDING, 5 );
	body->moVelocity = DTVector3d( 0.0f, -1.0f, 0.0f );
	ScriptedPrim* const prim = GivePrim( body, 0, { EF_PRIM_ENV_COLLISIONS, 0, 0, 0, 0, 0x1 } );
	// Primitives the environment never sees.
	const std::vector<ScriptedPrim*> ignored = {
		GivePrim( body, 1, { EF_PRIM_ENV_COLLISIONS | EF_PRIM_DETECT_ONLY, 0, 0, 0, 0, 0x1 } ),
		GivePrim( body, 2, { EF_PRIM_ENV_COLLISIONS | EF_PRIM_OFF, 0, 0, 0, 0, 0x1 } ),
		GivePrim( body, 3, { 0, 0, 0, 0, 0, 0x1 } ),
		GivePrim( body, 4, { EF_PRIM_ENV_COLLISIONS } ),
	};
	const DTVector3d up( 0.0f, 1.0f, 0.0f );
	Polygon later, earliest, tie, touching, grazing, notApproaching, shallowPush, unseen( 0x2 ), userSeen( 0, 0x4 );
	prim->moBaseAttrib.IntArray[EF_ATTR_UD_ENV_DETECT] = 0x4;
	prim->UpdateCurrentAttribs();
	prim->envAnswers[&later.prim] = Hit( 0.3f, up );
	prim->envAnswers[&earliest.prim] = Hit( 0.1f, up );
	prim->envAnswers[&tie.prim] = Hit( 0.3f, up );
	prim->envAnswers[&touching.prim] = Push( 0.5f, up );
	prim->envAnswers[&grazing.prim] = Hit( 0.2f, DTVector3d( 0.0f, APPROACH, std::sqrt( 1.0f - APPROACH * APPROACH ) ) );
	prim->envAnswers[&notApproaching.prim] = Hit( 0.2f, DTVector3d( 0.0f, 0.0039f, std::sqrt( 1.0f - 0.0039f * 0.0039f ) ) );
	prim->envAnswers[&shallowPush.prim] = Push( 0.001f, DTVector3d( 1.0f, 0.0f, 0.0f ) );
	prim->envAnswers[&userSeen.prim] = Hit( 0.05f, up );
	EFEnvCollisionPrim* list[] = { &later.prim,		&earliest.prim,	   &tie.prim,		 &touching.prim, &grazing.prim,
								   &notApproaching.prim, &shallowPush.prim, &unseen.prim, &userSeen.prim };
	EFDynamicPhysic record = RecordOf( body );
	EFCollisionStage stage = StageOf( record );
	stage.mppoEnvPrims = list;
	stage.mui32NbEnvPrims = 9;
	const f32 elapsed = 0.05f;
	RunInFrame( [&] {
		EXPECT_TRUE( body->CheckEnvCollisions( stage, elapsed, DT ) );
		std::vector<EFEnvCollisionPrim*> order;
		std::vector<f32> times;
		for ( EFCollisionReport* report : ListOf( stage.mpoNewReports ) ) {
			order.push_back( report->mpoEnvPrim );
			times.push_back( report->mfTime );
			EXPECT_EQ( report->mui32Overlap, report->mpoEnvPrim == &touching.prim ? 1u : 0u );
			EXPECT_EQ( report->mpoStage, &stage );
			EXPECT_EQ( report->mpoOtherRecord, nullptr );
		}
		// Touching reports at the elapsed time; equal times: the later
		// report first.
		EXPECT_EQ( order, ( std::vector<EFEnvCollisionPrim*>{ &touching.prim, &userSeen.prim, &earliest.prim,
															  &grazing.prim, &tie.prim, &later.prim } ) );
		EXPECT_FLOAT_EQ( times[0], elapsed );
		EXPECT_FLOAT_EQ( times[2], elapsed + 0.1f );
		EXPECT_FLOAT_EQ( stage.mfEarliestTime, elapsed );
		const std::vector<EFContactReport*> contacts = ListOf( stage.mpoContactList );
		ASSERT_EQ( contacts.size(), 2u );
		EXPECT_EQ( contacts[0]->poEnvPrim, &shallowPush.prim );
		EXPECT_EQ( contacts[1]->poEnvPrim, &touching.prim );
		const std::vector<EFPushRecord*> pushes = ListOf( stage.mpoPushList );
		ASSERT_EQ( pushes.size(), 1u );
		EXPECT_EQ( stage.mui32NbPush, 1u );
		EXPECT_EQ( pushes[0]->mfPushSize, 0.5f );
		EXPECT_EQ( pushes[0]->mui32Priority, EF_ENV_PUSH_PRIORITY );
		EXPECT_EQ( pushes[0]->mfWeight, 1.0f );
	} );
	EXPECT_EQ( prim->envTested.size(), 8u );
	EXPECT_FLOAT_EQ( prim->lastIn.mfMaxTime, DT - elapsed );
	EXPECT_EQ( prim->lastIn.moVelocity.y, -1.0f );
	for ( const ScriptedPrim* other : ignored ) {
		EXPECT_TRUE( other->envTested.empty() );
	}
}

TEST_F( EFPhysicCollisionTest, PushesAreSharedByPriorityAndWeight ) {
	const DTVector3d n( 0.0f, 0.0f, 1.0f );
	struct Row {
		const char*	name;
		bool		member;
		u32			priorityA, priorityB;
		f32			weightA, weightB;
		f32			size;
		f32			mine, theirs;	// 0: no push record
		u32			flagsA = EF_PHYSIC_COLLIDING;
		u32			flagsB = EF_PHYSIC_COLLIDING;
	} rows[] = {
		{ "outsider", false, 1, 0, 1.0f, 1.0f, 0.4f, 0.4f, 0.0f },
		{ "stronger member", true, 1, 2, 1.0f, 1.0f, 0.4f, 0.4f, 0.0f },
		{ "weaker member", true, 2, 1, 1.0f, 1.0f, 0.4f, 0.0f, 0.4f },
		{ "equal priorities by weight", true, 1, 1, 1.0f, 3.0f, 0.4f, 0.3f, 0.1f },
		{ "weights summing to zero", true, 1, 1, 0.0f, 0.0f, 0.4f, 0.2f, 0.2f },
		{ "weights cancelling", true, 1, 1, 1.0f, -1.0f, 0.4f, 0.2f, 0.2f },
		{ "too small a push", true, 1, 1, 1.0f, 1.0f, 0.001f, 0.0f, 0.0f },
		// A still platform is never pushed; a moving one shares as any body.
		{ "against a still platform", true, 1, 0, 1.0f, 1.0f, 0.4f, 0.4f, 0.0f, EF_PHYSIC_COLLIDING,
		  EF_PHYSIC_PLATFORM | EF_PHYSIC_COLLIDING },
		{ "from a still platform", true, 0, 1, 1.0f, 1.0f, 0.4f, 0.0f, 0.4f, EF_PHYSIC_CARRIER | EF_PHYSIC_COLLIDING },
		{ "two still platforms", true, 1, 1, 1.0f, 1.0f, 0.4f, 0.0f, 0.0f, EF_PHYSIC_PLATFORM | EF_PHYSIC_COLLIDING,
		  EF_PHYSIC_PLATFORM | EF_PHYSIC_COLLIDING },
		{ "against a moving platform", true, 1, 1, 1.0f, 1.0f, 0.4f, 0.2f, 0.2f, EF_PHYSIC_COLLIDING,
		  EF_PHYSIC_PLATFORM | EF_PHYSIC_DYNAMIC | EF_PHYSIC_COLLIDING },
	};
	u32 id = 0x2A000300;
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFPhysic* const a = MakeBody( id++, row.flagsA, 1 );
		EFPhysic* const b = MakeBody( id++, row.flagsB, 1 );
		a->muiPriority = row.priorityA;
		b->muiPriority = row.priorityB;
		a->mfWeight = row.weightA;
		b->mfWeight = row.weightB;
		ScriptedPrim* const primA = GivePrim( a, 0, { 0, 1, 1 } );
		ScriptedPrim* const primB = GivePrim( b, 0, { 0, 1, 1 } );
		primA->objAnswer = Push( row.size, n );
		EFDynamicPhysic recordA = RecordOf( a );
		EFDynamicPhysic recordB = RecordOf( b );
		recordB.uiFlags = row.member ? EF_RECORD_MEMBER : 0;
		EFCollisionStage stageA = StageOf( recordA );
		EFCollisionStage stageB = StageOf( recordB );
		RunInFrame( [&] {
			a->CheckObjCollisions( stageA, recordB, row.member ? &stageB : nullptr, 0.0f, DT );
			const std::vector<EFPushRecord*> mine = ListOf( stageA.mpoPushList );
			const std::vector<EFPushRecord*> theirs = ListOf( stageB.mpoPushList );
			ASSERT_EQ( mine.size(), row.mine != 0.0f ? 1u : 0u );
			ASSERT_EQ( theirs.size(), row.theirs != 0.0f ? 1u : 0u );
			if ( !mine.empty() ) {
				EXPECT_FLOAT_EQ( mine[0]->mfPushSize, row.mine );
				EXPECT_EQ( mine[0]->moNormal.z, 1.0f );
				EXPECT_EQ( mine[0]->mui32Priority, row.priorityB );
				EXPECT_EQ( mine[0]->mfWeight, row.weightB );
			}
			if ( !theirs.empty() ) {
				EXPECT_FLOAT_EQ( theirs[0]->mfPushSize, row.theirs );
				EXPECT_EQ( theirs[0]->moNormal.z, -1.0f );
				EXPECT_EQ( theirs[0]->mui32Priority, row.priorityA );
				EXPECT_EQ( stageB.mui32NbPush, 1u );
			}
			// Contacts both ways while the other is a member.
			const std::vector<EFContactReport*> contactsA = ListOf( stageA.mpoContactList );
			ASSERT_EQ( contactsA.size(), 1u );
			EXPECT_EQ( contactsA[0]->poPhys, b );
			EXPECT_EQ( contactsA[0]->poObjPrim, primB );
			const std::vector<EFContactReport*> contactsB = ListOf( stageB.mpoContactList );
			ASSERT_EQ( contactsB.size(), row.member ? 1u : 0u );
			if ( row.member ) {
				EXPECT_EQ( contactsB[0]->poPhys, a );
				EXPECT_EQ( contactsB[0]->oContactNormal.z, -1.0f );
			}
		} );
	}
}

TEST_F( EFPhysicCollisionTest, AnOutsideBodyIsTestedWhereItWillBeAndRelativesLeaveEachOtherAlone ) {
	EFPhysic* const a = MakeBody( 0x2A000001, EF_PHYSIC_COLLIDING, 1 );
	EFPhysic* const b = MakeBody( 0x2A000002, 0, 1 );
	ScriptedPrim* const primA = GivePrim( a, 0, { 0, 1, 0 } );
	ScriptedPrim* const primB = GivePrim( b, 0, { 0, 0, 1 } );
	a->moVelocity = DTVector3d( 0.0f, 0.0f, 1.0f );
	b->moVelocity = DTVector3d( 2.0f, 0.0f, 0.0f );
	primA->objAnswer = Hit( 0.1f, DTVector3d( 0.0f, 0.0f, -1.0f ) );
	EFDynamicPhysic recordA = RecordOf( a );
	EFDynamicPhysic recordB = RecordOf( b );
	EFCollisionStage stage = StageOf( recordA );
	RunInFrame( [&] {
		primB->moPrimPos = DTVector3d( 5.0f, 0.0f, 0.0f );
		EXPECT_TRUE( a->CheckObjCollisions( stage, recordB, nullptr, 0.5f, DT ) );
		ASSERT_EQ( primA->otherPosAtTest.size(), 1u );
		EXPECT_EQ( primA->otherPosAtTest[0].x, 6.0f );
		EXPECT_EQ( primB->moPrimPos.x, 5.0f );
		EXPECT_EQ( primA->lastIn.moVelocity.x, -2.0f );
		const std::vector<EFCollisionReport*> reports = ListOf( stage.mpoNewReports );
		ASSERT_EQ( reports.size(), 1u );
		EXPECT_FLOAT_EQ( reports[0]->mfTime, 0.6f );
		EXPECT_EQ( reports[0]->mpoOtherRecord, &recordB );
		EXPECT_EQ( reports[0]->mui32OtherPrimIndex, 0u );
	} );
	// b becomes a's child: with b's flags word 0 the two never meet, unless
	// a carries its children.
	OwnerOf( a )->AddChild( OwnerOf( b ), 0 );
	const struct {
		u32		flagsA;
		u32		flagsB;
		bool	tested;
	} rows[] = {
		{ EF_PHYSIC_COLLIDING, 0, false },
		{ EF_PHYSIC_COLLIDING, EF_PHYSIC_COLLIDING, true },
		{ EF_PHYSIC_COLLIDING | EF_PHYSIC_CARRIER, 0, true },
	};
	for ( const auto& row : rows ) {
		a->mui32PhysicFlags = row.flagsA;
		a->NormalizeFlags();
		b->mui32PhysicFlags = row.flagsB;
		b->NormalizeFlags();
		primA->otherPosAtTest.clear();
		primA->objAnswer = ScriptedPrim::Answer();
		a->CheckObjCollisions( stage, recordB, nullptr, 0.0f, DT );
		EXPECT_EQ( primA->otherPosAtTest.size(), row.tested ? 1u : 0u ) << row.flagsA << " " << row.flagsB;
	}
}

TEST_F( EFPhysicCollisionTest, ParticleHitsAreToldPerEmitter ) {
	struct Row {
		const char*	name;
		u32			flags;
		u32			detect;		// the type's detect mask; the body's type is 1
		u32			hits;		// per primitive
		bool		told;
		u32			reported;
	} rows[] = {
		{ "first hit", PL_EMITTER_REPORT_FIRST_HIT, 1, 2, true, 1 },
		{ "no hit", PL_EMITTER_REPORT_FIRST_HIT, 1, 0, false, 0 },
		{ "counted", PL_EMITTER_COUNT_HITS, 1, 2, true, 4 },
		{ "counted, none", PL_EMITTER_COUNT_HITS, 1, 0, true, 0 },
		{ "not colliding", 0, 1, 2, false, 0 },
		{ "masks apart", PL_EMITTER_COUNT_HITS, 2, 2, false, 0 },
	};
	u32 id = 0x2A000400;
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		gPhysicsNotes.clear();
		EFPhysic* const body = MakeBody( id, EF_PHYSIC_PARTICLES, 2 );
		ScriptedPrim* const first = GivePrim( body, 0, { 0, 1 } );
		ScriptedPrim* const second = GivePrim( body, 1, { 0, 1 } );
		first->particleHits = second->particleHits = row.hits;
		body->moCollisionModel.PrecalcData();
		PLEmitter* const emitter = MakeEmitter( 0x2D000001, 0x2E000001, row.flags, 0, row.detect );
		PLEmitter* emitters[] = { emitter };
		const u16 stamp = PLParticle::mui16GlobalCount;
		body->CheckParticleCollisions( emitters, 1 );
		const std::vector<PhysicsNote> notes = Notes( NO_PHYSIC_PARTICLECOLLISION );
		ASSERT_EQ( notes.size(), row.told ? 1u : 0u );
		if ( row.told ) {
			EXPECT_EQ( notes[0].target, id );
			EXPECT_EQ( notes[0].words, ( std::vector<u32>{ 0x2D000001, 0x2E000001, row.reported } ) );
		}
		const bool tested = row.flags != 0 && row.detect == 1;
		EXPECT_EQ( PLParticle::mui16GlobalCount, static_cast<u16>( stamp + ( tested ? 1 : 0 ) ) );
		EXPECT_EQ( first->particleCalls.size(), tested ? 1u : 0u );
		if ( tested ) {
			EXPECT_EQ( first->particleCalls[0].first, &mParticle );
			EXPECT_EQ( first->particleCalls[0].second, row.flags == PL_EMITTER_COUNT_HITS );
		}
		id++;
	}
}

TEST_F( EFPhysicCollisionTest, AFrameListsTheEmittersOfCollidingTypesForBodiesThatTestParticles ) {
	EFPhysic* const body = MakeBody( 0x2A000001, EF_PHYSIC_PARTICLES, 1 );
	GivePrim( body, 0, { 0, 1 } );
	MakeEmitter( 0x2D000002, 0x2E000002, PL_EMITTER_COUNT_HITS, 0, 1 );
	MakeEmitter( 0x2D000003, 0x2E000003, PL_EMITTER_COUNT_HITS, 0, 0 );
	manager.Update( DT );
	const std::vector<PhysicsNote> notes = Notes( NO_PHYSIC_PARTICLECOLLISION );
	ASSERT_EQ( notes.size(), 1u );
	EXPECT_EQ( notes[0].words[1], 0x2E000002u );
}

// A listener that keeps or stops the query and counts its calls.
class CountingListener : public EFRayIntersectOut::Listener {
public:
	explicit CountingListener( const bool goOn ) : mGoOn( goOn ) {}
	bool RayIntersectionOccured( const EFRayIntersectOut& out, RayIntersectResult result ) override {
		calls++;
		point = out.oIntersectionPoint;
		EXPECT_EQ( result, PS_RAY_OBJ );
		return mGoOn;
	}
	u32			calls = 0;
	DTVector3d	point;

private:
	bool		mGoOn;
};

TEST_F( EFPhysicCollisionTest, TheBoundingSphereScreensRaysBeforeThePrimitives ) {
	EFPhysic* const body = MakeBody( 0x2A000001, 0, 1 );
	ScriptedPrim* const prim = GivePrim( body, 0, { 0, 1 } );
	prim->rayHit = 0.5f;
	body->moCollisionModel.moPhysicBSphere.mfRadius = 1.0f;
	body->moCollisionModel.PrecalcData();
	struct Row {
		const char*			name;
		DTVector3d			start;
		f32					t;
		u32					detect;
		s32					listener;	// -1 none, 0 stops, 1 goes on
		RayIntersectResult	result;
		bool				tested;
		f32					tAfter;
	} rows[] = {
		{ "through the sphere", DTVector3d( -5.0f, 0.0f, 0.0f ), 1.0f, 1, -1, PS_RAY_OBJ, true, 0.5f },
		// A start inside the sphere passes at time 0.
		{ "from inside", DTVector3d( 0.5f, 0.0f, 0.0f ), 1.0f, 1, -1, PS_RAY_OBJ, true, 0.5f },
		{ "past the sphere", DTVector3d( -5.0f, 2.0f, 0.0f ), 1.0f, 1, -1, PS_RAY_NONE, false, 1.0f },
		{ "sphere beyond t", DTVector3d( -5.0f, 0.0f, 0.0f ), 0.35f, 1, -1, PS_RAY_NONE, false, 0.35f },
		{ "masks apart", DTVector3d( -5.0f, 0.0f, 0.0f ), 1.0f, 2, -1, PS_RAY_NONE, false, 1.0f },
		{ "listener goes on", DTVector3d( -5.0f, 0.0f, 0.0f ), 1.0f, 1, 1, PS_RAY_MANY, true, 1.0f },
		{ "listener stops", DTVector3d( -5.0f, 0.0f, 0.0f ), 1.0f, 1, 0, PS_RAY_MANY, true, -1.0f },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		const RayIntersectIn in = { row.start, DTVector3d( 10.0f, 0.0f, 0.0f ), row.detect, 0, 0, 0, 0 };
		CountingListener listener( row.listener == 1 );
		EFRayIntersectOut out = {};
		out.poListener = row.listener >= 0 ? &listener : nullptr;
		f32 t = row.t;
		prim->rayTests = 0;
		EXPECT_EQ( body->RayIntersect( in, out, t ), row.result );
		EXPECT_EQ( prim->rayTests, row.tested ? 1u : 0u );
		EXPECT_EQ( t, row.tAfter );
		if ( row.result != PS_RAY_NONE ) {
			EXPECT_EQ( out.poObjCollider, body );
			EXPECT_EQ( out.poObjSubCollider, prim );
		}
		if ( row.listener >= 0 ) {
			EXPECT_EQ( listener.calls, 1u );
			EXPECT_FLOAT_EQ( listener.point.x, row.start.x + 5.0f );
			EXPECT_EQ( out.poListener, row.listener == 1 ? &listener : nullptr );
		}
	}
	// The manager skips the excluded object's body.
	const RayIntersectIn in = { DTVector3d( -5.0f, 0.0f, 0.0f ), DTVector3d( 10.0f, 0.0f, 0.0f ), 1, 0, 0, 0, 0x2A000001 };
	EFRayIntersectOut out = {};
	EXPECT_EQ( manager.RayIntersect( in, out ), PS_RAY_NONE );
}


TEST_F( EFPhysicCollisionTest, AcrossTheManagerTheNearestHitOfWallAndBodyWinsAndObjectRaysLeaveMarksAlone ) {
	// A two-sided wall at x = 5 (t = 0.5 on the ray below) and a body at
	// the origin whose primitive reports a hit at a scripted t.
	ToolColMap scene;
	scene.attribs.resize( 1 );
	scene.attribs[0].flags = 0x1;
	scene.polygons.push_back( Quad( { 5, 0, -5 }, { 5, 4, -5 }, { 5, 4, 5 }, { 5, 0, 5 } ) );
	std::unique_ptr<EFCollisionMap> owned = LoadMap( EncodeMap( scene ) );
	ASSERT_NE( owned, nullptr );
	EFCollisionMap* const map = owned.release();
	manager.AddMap( map );
	EFPhysic* const body = MakeBody( 0x2A000002, 0, 1 );
	ScriptedPrim* const prim = GivePrim( body, 0, { 0, 1 } );
	body->moCollisionModel.moPhysicBSphere.mfRadius = 1.0f;
	body->moCollisionModel.PrecalcData();
	EFEnvCollisionPrim* const wall = map->GetFirstPrimitive();
	struct Row {
		const char*			name;
		f32					bodyHit;
		u32					objDetect, envDetect;
		RayIntersectResult	result;
		f32					x;
	} rows[] = {
		{ "body nearer", 0.3f, 1, 1, PS_RAY_OBJ, 1.0f },
		{ "wall nearer", 0.7f, 1, 1, PS_RAY_ENV, 5.0f },
		{ "walls only", 0.3f, 0, 1, PS_RAY_ENV, 5.0f },
		{ "bodies only", 0.7f, 1, 0, PS_RAY_OBJ, 9.0f },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		prim->rayHit = row.bodyHit;
		const u32 markBefore = wall->mui32CheckCount;
		const RayIntersectIn in = { DTVector3d( -5, 0.5f, 0 ), DTVector3d( 20, 0, 0 ), row.objDetect, 0, row.envDetect, 0, 0 };
		EFRayIntersectOut out = {};
		EXPECT_EQ( manager.RayIntersect( in, out ), row.result );
		EXPECT_FLOAT_EQ( out.oIntersectionPoint.x, row.x );
		EXPECT_EQ( wall->mui32CheckCount, row.envDetect != 0 ? EFPhysicMgr::msui32GetPrimCount : markBefore );
		if ( row.result == PS_RAY_ENV ) {
			EXPECT_EQ( out.poEnvCollider, wall );
		}
	}
}

}
