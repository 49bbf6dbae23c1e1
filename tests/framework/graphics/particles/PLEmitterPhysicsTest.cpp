/*
	Launching and moving particles: seeded draws against the offsets and
	directions they must give, oriented matrices, one physics step, the
	pool's reuse order and exhaustion, bounce planes, and the repeat timer.
*/
#include "ParticleTestBench.h"

#include "datatypes/maths/DTMatrix.h"
#include "support/TestArenaUse.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class PLEmitterPhysicsTest : public ParticleTestBench {};

// The draws of the launch: box axes (only with a box), elevation, azimuth.
struct Draws {
	s32 box[3];
	s32 elevation;
	s32 azimuth;
};

Draws Expected( const bool box ) {
	Draws d = {};
	if ( box ) {
		for ( s32& r : d.box ) {
			r = ( ( RuntimeRand() & 0xFFF ) * 1000 ) >> 12;
		}
	}
	d.elevation = RuntimeRand() & 0xFFF;
	d.azimuth = RuntimeRand() & 0xFFF;
	return d;
}

void ExpectVector( const DTVector3d& actual, const DTVector3d& expected ) {
	EXPECT_FLOAT_EQ( actual.x, expected.x );
	EXPECT_FLOAT_EQ( actual.y, expected.y );
	EXPECT_FLOAT_EQ( actual.z, expected.z );
}

f32 Angle( const s32 draw, const s32 spread ) {
	return static_cast<f32>( ( ( draw * spread ) >> 12 ) - ( spread >> 1 ) ) * 0.0174f;
}

} // namespace

TEST_F( PLEmitterPhysicsTest, SeededLaunchesPlaceAndAimParticlesThroughTheEmitterFrame ) {
	const struct {
		const char*	name;
		u32			spread;
		bool		box;
		bool		local;
	} rows[] = {
		{ "spread 0, no box", 0, false, false },
		{ "spread 160, no box", 160, false, false },
		{ "spread 160, box", 160, true, false },
		{ "spread 0, box, local space", 0, true, true },
	};
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.name );
		PLEmitter* const emitter = MakeEmitter( 1.0f, 2.0f, 3.0f );
		// A quarter turn about z: x goes to y, y to -x.
		RwFrame* const frame = emitter->GetFrame()->GetRwFrame();
		frame->modelling.right = { 0.0f, 1.0f, 0.0f };
		frame->modelling.up = { -1.0f, 0.0f, 0.0f };
		RwFrameUpdateObjects( frame );
		emitter->mpoType->mui32Spread = row.spread;
		emitter->mpoType->mfSpeed = 2.0f;
		emitter->mui32Flags = row.local ? PL_EMITTER_LOCAL_SPACE : 0;
		const DTVector3d min( -1.0f, 0.0f, 1.0f );
		const DTVector3d max( 1.0f, 4.0f, 1.5f );
		if ( row.box ) {
			emitter->SetBox( &min, &max );
		}
		RuntimeSrand( 7 );
		const Draws d = Expected( row.box );
		RuntimeSrand( 7 );
		PLParticle* const p = emitter->LaunchParticleImmediately();
		ASSERT_NE( p, nullptr );

		DTVector3d offset;
		if ( row.box ) {
			const DTVector3d local( -1.0f + 2.0f * d.box[0] / 1000.0f, 0.0f + 4.0f * d.box[1] / 1000.0f,
									1.0f + 0.5f * d.box[2] / 1000.0f );
			offset = DTVector3d( -local.y, local.x, local.z );
		}
		const DTVector3d expectedPos = row.local ? offset : DTVector3d( 1.0f, 2.0f, 3.0f ) + offset;
		EXPECT_NEAR( p->moPosition.x, expectedPos.x, 1e-5f );
		EXPECT_NEAR( p->moPosition.y, expectedPos.y, 1e-5f );
		EXPECT_NEAR( p->moPosition.z, expectedPos.z, 1e-5f );

		const f32 e = Angle( d.elevation, static_cast<s32>( row.spread ) );
		const f32 z = Angle( d.azimuth, static_cast<s32>( row.spread ) );
		const DTVector3d dir( std::cos( e ) * -std::sin( z ) * 2.0f, std::cos( e ) * std::cos( z ) * 2.0f,
							  std::sin( e ) * 2.0f );
		EXPECT_NEAR( p->moVelocity.x, -dir.y, 1e-5f );
		EXPECT_NEAR( p->moVelocity.y, dir.x, 1e-5f );
		EXPECT_NEAR( p->moVelocity.z, dir.z, 1e-5f );
		if ( row.spread == 0 ) {
			// Straight along the emitter's local y axis, turned to world -x.
			EXPECT_FLOAT_EQ( p->moVelocity.x, -2.0f );
			EXPECT_FLOAT_EQ( p->moVelocity.y, 0.0f );
		}
		EXPECT_EQ( p->mfAge, 0.0f );
		EXPECT_FLOAT_EQ( p->mfSize, 0.01f / 1.25f );
		EXPECT_EQ( p->mpoMatrix, nullptr );
		moParticles->ParticleTypeDelete( emitter->mpoType->GetUID() );
	}
}

TEST_F( PLEmitterPhysicsTest, OrientedParticlesCarryTheEmitterMatrixOrIdentityInLocalSpace ) {
	for ( const bool local : { false, true } ) {
		SCOPED_TRACE( local ? "local" : "world" );
		PLEmitter* const emitter = MakeEmitter( 5.0f, 0.0f, 0.0f );
		emitter->mpoType->SetInt( PL_INT_FLAGS, PL_TYPE_ORIENTED );
		emitter->mui32Flags = local ? PL_EMITTER_LOCAL_SPACE : 0;
		const DTVector3d min( 0.0f, 1.0f, 0.0f );
		emitter->SetBox( &min, &min );
		PLParticle* const p = emitter->LaunchParticleImmediately();
		ASSERT_NE( p, nullptr );
		ASSERT_NE( p->mpoMatrix, nullptr );
		const DTVector3d expected = local ? DTVector3d( 0.0f, 1.0f, 0.0f ) : DTVector3d( 5.0f, 1.0f, 0.0f );
		ExpectVector( *p->mpoMatrix->GetPos(), expected );
		ExpectVector( p->moPosition, expected );
		ExpectVector( *p->mpoMatrix->GetRight(), DTVector3d( 1.0f, 0.0f, 0.0f ) );
		moParticles->ParticleTypeDelete( emitter->mpoType->GetUID() );
	}
}

TEST_F( PLEmitterPhysicsTest, OneStepAppliesGravityThenDragThenMoves ) {
	PLEmitter* const emitter = MakeEmitter();
	PLType* const type = emitter->mpoType;
	type->SetVec( PL_VEC_GRAVITY, 0.0f, 0.0f, -10.0f );
	type->SetReal( PL_REAL_DRAG, 2.0f );
	PLParticle* const p = emitter->LaunchParticleImmediately();
	p->moPosition = DTVector3d( 0.0f, 0.0f, 10.0f );
	p->moVelocity = DTVector3d( 4.0f, 0.0f, 0.0f );
	EXPECT_EQ( emitter->UpdatePhysic( 0.1f ), 1u );
	// v = (4, 0, -1) x (1 - 0.2); p += v x 0.1.
	EXPECT_FLOAT_EQ( p->moVelocity.x, 3.2f );
	EXPECT_FLOAT_EQ( p->moVelocity.z, -0.8f );
	EXPECT_FLOAT_EQ( p->moPosition.x, 0.32f );
	EXPECT_FLOAT_EQ( p->moPosition.z, 9.92f );
	EXPECT_FLOAT_EQ( p->mfAge, 0.1f );
}

TEST_F( PLEmitterPhysicsTest, TheLastFreedParticleIsReusedFirstAndAFullPoolDropsLaunches ) {
	PLEmitter* const emitter = MakeEmitter();
	PLType* const type = emitter->mpoType;
	type->SetReal( PL_REAL_LIFESPAN, 1.0f );
	PLParticle* const old = emitter->LaunchParticleImmediately();
	PLParticle* const young = emitter->LaunchParticleImmediately();
	old->mfAge = 0.95f;
	EXPECT_EQ( emitter->UpdatePhysic( 0.1f ), 1u );
	EXPECT_EQ( moParticles->GetFreeParticlesList().GetFirst(), old );
	EXPECT_EQ( emitter->LaunchParticleImmediately(), old );
	EXPECT_EQ( Particles( *emitter ), ( std::vector<PLParticle*>{ old, young } ) );

	// Fill the pool: a burst of 6 then adds nothing and moves nobody.
	while ( emitter->LaunchParticleImmediately() != nullptr ) {
	}
	ASSERT_EQ( emitter->GetNbActivePart(), PL_POOL_SIZE );
	const PLParticle* const head = emitter->moParticles.GetFirst();
	type->SetInt( PL_INT_PER_LAUNCH, 6 );
	emitter->Start( 0 );
	EXPECT_EQ( emitter->LaunchParticle( 0.02f ), 0u );
	EXPECT_EQ( emitter->GetNbActivePart(), PL_POOL_SIZE );
	EXPECT_EQ( emitter->moParticles.GetFirst(), head );
	// Deleting the emitter gives every particle back.
	moParticles->ParticleEmitterDelete( emitter->GetUID() );
	EXPECT_EQ( moParticles->GetFreeParticlesList().GetCount(), PL_POOL_SIZE );
}

TEST_F( PLEmitterPhysicsTest, PlanesReflectAndScaleOneHitAndHalveTheSumForTwo ) {
	const struct {
		const char*	name;
		u32			mask;
		DTVector3d	position;
		DTVector3d	velocity;
		DTVector3d	expected;
	} rows[] = {
		// Plane 0: z = 0 (factor 0.5); plane 1: x = 0, normal +x (factor 0.25).
		{ "through the floor", 1, { 1.0f, 0.0f, -0.1f }, { 0.0f, 0.0f, -4.0f }, { 0.0f, 0.0f, 2.0f } },
		{ "on the floor, leaving", 1, { 1.0f, 0.0f, 0.0f }, { 0.0f, 0.0f, 4.0f }, { 0.0f, 0.0f, 2.0f } },
		{ "above the floor", 1, { 1.0f, 0.0f, 0.5f }, { 0.0f, 0.0f, -4.0f }, { 0.0f, 0.0f, -4.0f } },
		{ "through the wall", 2, { -0.1f, 0.0f, 1.0f }, { -4.0f, 1.0f, 0.0f }, { 1.0f, 0.25f, 0.0f } },
		{ "in the corner", 3, { -0.1f, 0.0f, -0.1f }, { -4.0f, 0.0f, -2.0f }, { 1.5f, 0.0f, 0.75f } },
	};
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.name );
		PLEmitter* const emitter = MakeEmitter();
		const DTVector3d up( 0.0f, 0.0f, 2.0f );
		const DTVector3d east( 3.0f, 0.0f, 0.0f );
		const DTVector3d origin;
		if ( ( row.mask & 1 ) != 0 ) {
			emitter->SetCollisionPlane( &up, &origin, 0.5f, 1 );
		}
		if ( ( row.mask & 2 ) != 0 ) {
			emitter->SetCollisionPlane( &east, &origin, 0.25f, 2 );
		}
		PLParticle* const p = emitter->LaunchParticleImmediately();
		p->moPosition = row.position;
		p->moVelocity = row.velocity;
		emitter->UpdatePhysic( 0.0f );
		EXPECT_FLOAT_EQ( p->moVelocity.x, row.expected.x );
		EXPECT_FLOAT_EQ( p->moVelocity.y, row.expected.y );
		EXPECT_FLOAT_EQ( p->moVelocity.z, row.expected.z );
		moParticles->ParticleTypeDelete( emitter->mpoType->GetUID() );
	}
}

TEST_F( PLEmitterPhysicsTest, ARepeatingEmitterLaunchesAtOnceThenEveryPeriod ) {
	PLEmitter* const emitter = MakeEmitter();
	emitter->mpoType->SetInt( PL_INT_PER_LAUNCH, 2 );
	emitter->mpoType->SetReal( PL_REAL_PERIOD, 0.5f );
	emitter->Start( 1 );
	// The first step launches at once; so does the step after a timer that
	// came back to exactly zero.
	const u32 launched[] = { 2, 0, 0, 2, 2, 0 };
	for ( u32 i = 0; i < std::size( launched ); i++ ) {
		EXPECT_EQ( emitter->LaunchParticle( 0.125f ), launched[i] ) << i;
	}
	// A single burst stops the emitter.
	emitter->Start( 0 );
	EXPECT_EQ( emitter->LaunchParticle( 0.01f ), 2u );
	EXPECT_EQ( emitter->mui8Running, 0 );
	EXPECT_EQ( emitter->LaunchParticle( 0.01f ), 0u );
}

TEST_F( PLEmitterPhysicsTest, AnOrientedLaunchWithoutAMatrixIsDroppedAndOldParticlesMoveWithoutOne ) {
	PLEmitter* const emitter = MakeEmitter();
	PLType* const type = emitter->mpoType;
	// Live plain particles, then the type turns oriented.
	PLParticle* const plain = emitter->LaunchParticleImmediately();
	plain->moPosition = DTVector3d( 1.0f, 2.0f, 3.0f );
	plain->moVelocity = DTVector3d( 0.0f, 0.0f, 1.0f );
	type->SetInt( PL_INT_FLAGS, PL_TYPE_ORIENTED );
	emitter->UpdatePhysic( 0.5f );
	ExpectVector( plain->moPosition, DTVector3d( 1.0f, 2.0f, 3.5f ) );
	EXPECT_EQ( plain->mpoMatrix, nullptr );

	// The library cannot make a matrix: the launch goes back to the pool.
	const u32 freeBefore = moParticles->GetFreeParticlesList().GetCount();
	const PLParticle* const nextFree = moParticles->GetFreeParticlesList().GetFirst();
	const RwMemoryFunctions saved = RwEngineInstance->memoryFunctions;
	RwEngineInstance->memoryFunctions.rwmalloc = []( u32 ) -> void* { return nullptr; };
	RwEngineInstance->memoryFunctions.rwcalloc = []( u32, u32 ) -> void* { return nullptr; };
	PLParticle* const dropped = emitter->LaunchParticleImmediately();
	RwEngineInstance->memoryFunctions = saved;
	EXPECT_EQ( dropped, nullptr );
	EXPECT_EQ( moParticles->GetFreeParticlesList().GetCount(), freeBefore );
	EXPECT_EQ( moParticles->GetFreeParticlesList().GetFirst(), nextFree );
	EXPECT_EQ( emitter->GetNbActivePart(), 1u );
}

namespace {

u32 gLibraryAllocations = 0;
RwMemoryFunctions gSavedMemory;

void* CountingMalloc( const u32 size ) {
	gLibraryAllocations++;
	return gSavedMemory.rwmalloc( size );
}

void* CountingCalloc( const u32 count, const u32 size ) {
	gLibraryAllocations++;
	return gSavedMemory.rwcalloc( count, size );
}

} // namespace

TEST_F( PLEmitterPhysicsTest, AFullFrameOfPlainParticlesAllocatesNothing ) {
	for ( u32 i = 0; i < 50; i++ ) {
		PLEmitter* const emitter = MakeEmitter( 0.01f * static_cast<f32>( i ), 0.0f, 2.0f );
		emitter->mpoType->SetInt( PL_INT_FLAGS | PL_INT_PER_LAUNCH, 0 );
		emitter->mpoType->SetInt( PL_INT_PER_LAUNCH, 12 );
		emitter->Start( 1 );
	}
	BeginDrawing();
	moParticles->Update( 0.02f );
	moParticles->Render();
	ASSERT_EQ( moParticles->GetStatistic( 0 ), PL_POOL_SIZE );
	const s64 heaps = TestArenaUse();
	gSavedMemory = RwEngineInstance->memoryFunctions;
	gLibraryAllocations = 0;
	RwEngineInstance->memoryFunctions.rwmalloc = CountingMalloc;
	RwEngineInstance->memoryFunctions.rwcalloc = CountingCalloc;
	for ( u32 frame = 0; frame < 10; frame++ ) {
		moParticles->Update( 0.02f );
		moParticles->Render();
	}
	RwEngineInstance->memoryFunctions = gSavedMemory;
	EXPECT_EQ( gLibraryAllocations, 0u );
	EXPECT_EQ( TestArenaUse(), heaps );
	EXPECT_FALSE( DrawCalls().empty() );
}
