/*
	Ray probe and particle launcher, object contact and environment probe:
	the frame-sphere rule, nearest hits, launches placed on G8's
	particles, contacts through real physics frames, the polygon lists
	handed to logic, and the stored running-object id.
*/
#include "framework/behaviour/BehaviourTestBench.h"
#include "framework/behaviour/SurfacePolygon.h"

#include "framework/behaviour/EFDMEnvDetect.h"
#include "framework/behaviour/EFDMHelpers.h"
#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/behaviour/EFDMObjColl.h"
#include "framework/behaviour/EFDMParticleLauncher.h"
#include "framework/graphics/particles/PLEmitter.h"
#include "framework/graphics/particles/PLParticle.h"
#include "framework/graphics/particles/PLType.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "datatypes/maths/DTMatrix.h"
#include "datatypes/memory/DTMemHeap.h"
#include "datatypes/memory/MMMemory.h"
#include "platform/runtime/RuntimeRand.h"

#include <cmath>

namespace {

constexpr u32 HERO = 0x2A000700;
constexpr u32 OTHER = 0x2A000701;
constexpr f32 DT = 1.0f / 60.0f;

// Blocks held by both heaps.
u32 LiveBlocks() {
	u32 blocks = 0;
	for ( const DTMemHeap* heap : _MemHeap ) {
		blocks += heap != nullptr ? heap->GetLiveBlocks() : 0;
	}
	return blocks;
}

void ExpectNear( const DTVector3d& a, const DTVector3d& b, const f32 tolerance = 1e-5f ) {
	EXPECT_NEAR( a.x, b.x, tolerance );
	EXPECT_NEAR( a.y, b.y, tolerance );
	EXPECT_NEAR( a.z, b.z, tolerance );
}

class EFDMProbeTest : public BehaviourTestBench {
protected:
	// A probe on the hero at (0, 0.5, 0) casting down by length.
	DMRayIntersectParams Ray( const f32 length, const u32 envMask, const u32 objMask, const u32 exclude = 0 ) {
		DMRayIntersectParams params = {};
		params.oRay.oDeplVector = DTVector3d( 0.0f, -length, 0.0f );
		params.oRay.ui32EnvDetectType = envMask;
		params.oRay.ui32ObjDetectType = objMask;
		params.oRay.ui32ExcludeObjID = exclude;
		return params;
	}

	// A hit record of the probe, read back by logic.
	static DMRayIntersectParams Read( const u32 handle ) {
		DMRayIntersectParams out;
		std::memset( static_cast<void*>( &out ), 0xAB, sizeof( out ) );
		DMGetParams( handle, &out );
		return out;
	}

	EFDynamicPhysic record = {};
};

TEST_F( EFDMProbeTest, TheRayEndGrowsTheFrameSphereWithinTheBandElseTestsEverything ) {
	MakeModuleBody( HERO );
	const u32 handle = Add( HERO, EF_DM_RAY_INTERSECT );
	EFDMRayIntersect* const ray = Module<EFDMRayIntersect>( handle );
	struct Row {
		const char*	name;
		DTVector3d	start;
		DTVector3d	vector;
		f32			radius;		// after the pass
		u8			everything;
	};
	const Row rows[] = {
		{ "inside", { 0, 0, 0 }, { 0, 0, 0.5f }, 1.0f, 0 },
		{ "end on the sphere", { 0, 0, 0 }, { 0, 0, 1.0f }, 1.0f, 0 },
		{ "end 0.002 beyond grows it", { 0, 0, 0 }, { 0, 0, 1.002f }, 1.002f, 0 },
		{ "end 0.003 beyond", { 0, 0, 0 }, { 0, 0, 1.003f }, 1.0f, 1 },
		{ "start outside", { 0, 2.0f, 0 }, { 0, -2.0f, 0 }, 1.0f, 1 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		DMRayIntersectParams params = {};
		params.oRay.oStartVector = row.start;
		params.oRay.oDeplVector = row.vector;
		DMSetParams( handle, &params );
		EFDynamicPhysic frame = {};
		frame.fFrameBSphereRadius = 1.0f;
		EXPECT_EQ( ray->PreColUpdate( frame, DT ), 1u );
		EXPECT_FLOAT_EQ( frame.fFrameBSphereRadius, row.radius );
		EXPECT_EQ( ray->mbTestEverything, row.everything );
	}
}

TEST_F( EFDMProbeTest, TheNearerPolygonWinsANearerObjectReplacesItAndNoStageKeepsAll ) {
	MakeModuleBody( HERO, 0.0f, 0.5f, 0.0f );
	const u32 handle = Add( HERO, EF_DM_RAY_INTERSECT );
	DMSetStateChangeNotifyBits( handle, 1 );
	EFDMRayIntersect* const ray = Module<EFDMRayIntersect>( handle );
	SurfacePolygon low( SquareAt( -2.0f ), 0x1 );
	SurfacePolygon high( SquareAt( -1.0f ), 0x1 );
	SurfacePolygon masked( SquareAt( -0.5f ), 0x2 );
	high.Attribs().ui16Tag = 7;
	high.Attribs().ui16SurfaceType = 3;
	std::vector<EFEnvCollisionPrim*> list = { &low.Prim(), &masked.Prim(), &high.Prim() };
	EFCollisionStage stage = StageOf( record, list );

	DMRayIntersectParams params = Ray( 5.0f, 0x1, 0 );
	DMSetParams( handle, &params );
	ray->PostColUpdate( &stage, DT );
	DMRayIntersectParams out = Read( handle );
	EXPECT_EQ( out.ui32Result, PS_RAY_ENV );
	ExpectNear( out.oOut.oIntersectionPoint, { 0, -1.5f, 0 } );  // body axes
	ExpectNear( out.oOut.oIntersectionNormal, { 0, 1, 0 } );
	EXPECT_EQ( out.oOut.oOutEnvObj.oOutEnv.ui16Tag, 7u );
	EXPECT_EQ( out.oOut.oOutEnvObj.oOutEnv.ui16SurfaceType, 3u );
	EXPECT_EQ( DMGetState( handle ), 1u );

	// A sphere of another object between the body and the floor.
	HarnessSphere* const sphere = MakeSphere( OTHER, { 0.0f, -0.2f, 0.0f }, SphereSetup{ 0.25f } );
	sphere->mui32Tag = 0x55;
	params = Ray( 5.0f, 0x1, 0x1 );
	DMSetParams( handle, &params );
	ray->PostColUpdate( &stage, DT );
	out = Read( handle );
	EXPECT_EQ( out.ui32Result, PS_RAY_OBJ );
	EXPECT_EQ( out.oOut.oOutEnvObj.oOutObj.ui32ObjID, OTHER );
	EXPECT_EQ( out.oOut.oOutEnvObj.oOutObj.ui32TagPrim, 0x55u );
	ExpectNear( out.oOut.oIntersectionPoint, { 0, -0.45f, 0 } );

	// Too short for anything: bit 0 cleared; then no stage keeps it all.
	params = Ray( 0.1f, 0x1, 0x1 );
	DMSetParams( handle, &params );
	ray->PostColUpdate( &stage, DT );
	EXPECT_EQ( Read( handle ).ui32Result, PS_RAY_NONE );
	EXPECT_EQ( DMGetState( handle ), 0u );
	params = Ray( 5.0f, 0x1, 0 );
	DMSetParams( handle, &params );
	ray->PostColUpdate( &stage, DT );
	ray->PostColUpdate( nullptr, DT );
	EXPECT_EQ( Read( handle ).ui32Result, PS_RAY_ENV );
	EXPECT_EQ( DMGetState( handle ), 1u );
	ASSERT_EQ( gDMStateNotes.size(), 3u );
}

TEST_F( EFDMProbeTest, AnExclusionSetByTheProbesOwnLogicNeverHitsItsBody ) {
	HarnessSphere* const own = MakeSphere( HERO, { 0.0f, 0.0f, 0.0f }, SphereSetup{ 0.5f } );
	static_cast<void>( own );
	const u32 handle = Add( HERO, EF_DM_RAY_INTERSECT );
	EFDMRayIntersect* const ray = Module<EFDMRayIntersect>( handle );
	std::vector<EFEnvCollisionPrim*> none;
	EFCollisionStage stage = StageOf( record, none );
	for ( const bool fromLogic : { false, true } ) {
		SCOPED_TRACE( fromLogic ? "set by the object's logic" : "set outside logic" );
		DMRayIntersectParams params = Ray( 2.0f, 0, 0x1, EF_DM_RUNNING_OBJECT_ID );
		params.oRay.oStartVector = DTVector3d( 0.0f, 1.0f, 0.0f );
		SetRunning( fromLogic ? OwnerOf( ray->mpoOwner ) : nullptr );
		DMSetParams( handle, &params );
		SetRunning( nullptr );
		ray->PostColUpdate( &stage, DT );
		DMRayIntersectParams out = Read( handle );
		EXPECT_EQ( out.oRay.ui32ExcludeObjID, fromLogic ? HERO : EF_DM_RUNNING_OBJECT_ID );
		EXPECT_EQ( out.ui32Result, fromLogic ? PS_RAY_NONE : PS_RAY_OBJ );
	}
}

class EFDMLauncherTest : public EFDMProbeTest {
protected:
	// The bench empties the manager's type list without deleting what the
	// test created there.
	void TearDown() override {
		for ( const s32 type : types ) {
			moParticles->ParticleTypeDelete( type );
		}
		EFDMProbeTest::TearDown();
	}

	// An emitter of a run-time type (oriented or not) on a frame of its own.
	s32 MakeEmitter( const bool oriented ) {
		types.push_back( moParticles->ParticleTypeCreate() );
		PLType* const type = static_cast<PLType*>( moParticles->GetType( types.back() ) );
		type->mui32Flags = oriented ? PL_TYPE_ORIENTED : 0;
		const s32 id = moParticles->ParticleEmitterCreate( type->GetUID(), nullptr );
		emitter = static_cast<PLEmitter*>( moParticles->GetEmitter( id ) );
		emitter->CreateFrame( nullptr );
		emitter->mui32Flags = 0;
		return id;
	}

	// The hero at (1, 0.5, 2) turned a quarter about y, over a floor at
	// y = 0 and a wall facing +x at x = 0.5; one launch down.
	PLParticle* Launch( const DTVector3d& direction, const bool oriented = true,
						const DTVector3d& ray = DTVector3d( 0.0f, -1.0f, 0.0f ) ) {
		EFPhysic* const body = MakeModuleBody( HERO, 1.0f, 0.5f, 2.0f );
		DMRotateInPlace( OwnerOf( body )->GetFrame()->GetRwFrame(), DTVector3d( 0, 1, 0 ), 1.5707963f );
		handle = Add( HERO, EF_DM_PARTICLE_LAUNCHER );
		DMParticleLauncherParams params = {};
		params.oRay = Ray( 1.0f, 0x1, 0 );
		params.oRay.oRay.oDeplVector = ray;
		params.oDirection = direction;
		params.ui32EmitterId = static_cast<u32>( MakeEmitter( oriented ) );
		DMSetParams( handle, &params );
		list = { &floor.Prim(), &wall.Prim() };
		stage = StageOf( record, list );
		Module<EFDMParticleLauncher>( handle )->PostColUpdate( &stage, DT );
		return emitter->moParticles.GetFirst();
	}

	SurfacePolygon						floor{ SquareAt( 0.0f, 5.0f ) };
	SurfacePolygon						wall{ { { 0.5f, -5, -5 }, { 0.5f, 5, -5 }, { 0.5f, 5, 5 }, { 0.5f, -5, 5 } } };
	std::vector<EFEnvCollisionPrim*>	list;
	EFCollisionStage					stage = {};
	PLEmitter*							emitter = nullptr;
	u32									handle = 0;
	std::vector<s32>					types;
};

TEST_F( EFDMLauncherTest, ALaunchSitsOnTheHitFacingTheSurfaceWithUpAlongTheDirection ) {
	// Direction (0, 0, 1) in the turned body's axes is world +x: laid on
	// the floor it stays +x.
	PLParticle* const particle = Launch( { 0.0f, 0.0f, 2.0f } );
	ASSERT_NE( particle, nullptr );
	ASSERT_NE( particle->mpoMatrix, nullptr );
	const DTMatrix& m = *particle->mpoMatrix;
	ExpectNear( *m.GetPos(), { 1.0f, 0.001f, 2.0f } );
	ExpectNear( *m.GetAt(), { 0, 1, 0 } );
	ExpectNear( *m.GetUp(), { 1, 0, 0 } );
	ExpectNear( *m.GetRight(), { 0, 0, -1 } );
	DMParticleLauncherParams back = {};
	DMGetParams( handle, &back );
	ExpectNear( back.oDirection, { 0, 0, 1 } );
	EXPECT_EQ( back.oRay.ui32Result, PS_RAY_ENV );
}

TEST_F( EFDMLauncherTest, ADirectionAlongTheNormalSpinsTheParticleBySeed ) {
	// A ray along world -x hits the wall (normal +x, smallest component
	// y, the first of the two zeros): up is y, then a seeded spin about
	// the normal.
	RuntimeSrand( 42 );
	PLParticle* const particle = Launch( { 0.0f, 0.0f, 1.0f }, true, { 0.0f, 0.0f, -1.0f } );
	ASSERT_NE( particle, nullptr );
	const DTMatrix& m = *particle->mpoMatrix;
	ExpectNear( *m.GetPos(), { 0.5f + 0.001f, 0.5f, 2.0f } );
	ExpectNear( *m.GetAt(), { 1, 0, 0 } );
	// y turned about +x by one of 256 even steps; the rows stay a frame.
	const DTVector3d up = *m.GetUp();
	const DTVector3d right = *m.GetRight();
	EXPECT_NEAR( up.x, 0.0f, 1e-5f );
	const f32 steps = std::atan2( up.z, up.y ) / ( 6.2831853f / 256.0f );
	EXPECT_NEAR( steps, std::round( steps ), 1e-3f );
	EXPECT_NEAR( up * up, 1.0f, 1e-5f );
	EXPECT_NEAR( up * right, 0.0f, 1e-5f );
	ExpectNear( right, DMCross( DTVector3d( 1, 0, 0 ), up ), 1e-5f );
	// Another seed, another spin (the same seed, the same one).
	Drop( HERO );
	RuntimeSrand( 43 );
	const DTVector3d other = *Launch( { 0.0f, 0.0f, 1.0f }, true, { 0.0f, 0.0f, -1.0f } )->mpoMatrix->GetUp();
	EXPECT_GT( std::fabs( other.y - up.y ) + std::fabs( other.z - up.z ), 1e-3f );
}

TEST_F( EFDMLauncherTest, AParticleWithoutAMatrixIsLaunchedNotPlaced ) {
	PLParticle* const particle = Launch( { 0.0f, 0.0f, 1.0f }, false );
	ASSERT_NE( particle, nullptr );
	EXPECT_EQ( particle->mpoMatrix, nullptr );
	// No emitter of that id: nothing launched, the ray still reports.
	DMParticleLauncherParams params = {};
	DMGetParams( handle, &params );
	params.ui32EmitterId = 0x2E7FFFFF;
	DMSetParams( handle, &params );
	Module<EFDMParticleLauncher>( handle )->PostColUpdate( &stage, DT );
	u32 count = 0;
	for ( PLParticle* p = emitter->moParticles.GetFirst(); p != nullptr; p = p->mpoNext ) {
		count++;
	}
	EXPECT_EQ( count, 1u );
	EXPECT_EQ( DMGetState( handle ), 1u );
}

TEST_F( EFDMProbeTest, ALastingContactNotifiesOnceAtEachEnd ) {
	// A sensor sphere touching a still one for several frames, then the
	// still one taken away.
	for ( const bool fromLogic : { false, true } ) {
		SCOPED_TRACE( fromLogic ? "other object given as 0x2A000000 by its logic" : "other object by id" );
		gDMStateNotes.clear();
		const u32 hero = fromLogic ? HERO + 2 : HERO;
		const u32 other = fromLogic ? OTHER + 2 : OTHER;
		SphereSetup sensor;
		sensor.primFlags = EF_PRIM_DETECT_ONLY | EF_PRIM_NOTIFY_SELF;
		SphereSetup still;
		still.flags = 0;
		HarnessSphere* const a = MakeSphere( hero, DTVector3d(), sensor );
		HarnessSphere* const b = MakeSphere( other, DTVector3d( 0.8f, 0, 0 ), still );
		a->mui32Tag = 1;
		b->mui32Tag = 2;
		BodyOfPrim( a )->mui32CurrentContext = 1;
		RecordStates( hero );
		const u32 handle = Add( hero, EF_DM_OBJ_COLL );
		DMSetStateChangeNotifyBits( handle, 0x3 );
		DMObjCollParams params = { 1, 2, fromLogic ? EF_DM_RUNNING_OBJECT_ID : other };
		SetRunning( fromLogic ? gpoWorldMgr->FindGameObject( other ) : nullptr );
		DMSetParams( handle, &params );
		SetRunning( nullptr );
		DMObjCollParams back = {};
		DMGetParams( handle, &back );
		EXPECT_EQ( back.ui32OtherObjId, other );
		Step( 60u, 5u );
		EXPECT_EQ( DMGetState( handle ), 1u );
		manager.DestroyPhysic( BodyOfPrim( b ) );
		Step( 60u, 3u );
		EXPECT_EQ( DMGetState( handle ), 2u );
		ASSERT_EQ( gDMStateNotes.size(), 2u );
		EXPECT_EQ( gDMStateNotes[0].record.ui32State, 1u );
		EXPECT_EQ( gDMStateNotes[1].record.ui32State, 2u );
		manager.DestroyPhysic( BodyOfPrim( a ) );
	}
}

// Notification 25 as the owner's logic callback receives it.
struct EnvDetectNote {
	u32					count;
	bool				nullRecords;
	std::vector<u32>	vertices;
	DTVector3d			firstVertex;
};
std::vector<EnvDetectNote> gEnvNotes;
u32 gReenterHandle = 0;

s32 RecordEnvDetect( void*, void* data );

// The logic callback the module registered, replaced by a recorder.
void Listen() {
	gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( NO_DM_ENVDETECT, HERO, HERO, &RecordEnvDetect, nullptr );
}

s32 RecordEnvDetect( void*, void* data ) {
	const DMEnvDetectRecord& record = *static_cast<const DMEnvDetectRecord*>( data );
	EnvDetectNote note = { record.ui32Count, record.poPolygons == nullptr, {}, {} };
	for ( u32 i = 0; i < record.ui32Count; i++ ) {
		note.vertices.push_back( record.poPolygons[i].ui32NbVertex );
		EXPECT_EQ( record.poPolygons[i].poPlane->oNormal.y, 1.0f );
	}
	if ( record.ui32Count != 0 ) {
		note.firstVertex = *record.poPolygons[0].ppoVertices[0];
	}
	gEnvNotes.push_back( note );
	if ( gReenterHandle != 0 ) {
		DMEnvDetectParams params = { 0, 2 };
		DMSetParams( gReenterHandle, &params );
		Listen();
	}
	return 0;
}

TEST_F( EFDMProbeTest, EnvironmentPolygonsUpToTheMaximumAndCountZeroWithNone ) {
	gEnvNotes.clear();
	MakeModuleBody( HERO );
	const u32 handle = Add( HERO, EF_DM_ENV_DETECT );
	DMEnvDetectParams params = { 3, 4 };
	DMSetParams( handle, &params );
	Listen();
	std::vector<SurfacePolygon> polygons;
	for ( u32 i = 0; i < 7; i++ ) {
		polygons.emplace_back( SquareAt( -0.1f * static_cast<f32>( i ) ) );
	}
	std::vector<EFEnvCollisionPrim*> list;
	for ( SurfacePolygon& polygon : polygons ) {
		list.push_back( &polygon.Prim() );
	}
	EFDMEnvDetect* const module = Module<EFDMEnvDetect>( handle );
	EFCollisionStage seven = StageOf( record, list );
	std::vector<EFEnvCollisionPrim*> none;
	EFCollisionStage empty = StageOf( record, none );
	module->PostColUpdate( &seven, DT );
	module->PostColUpdate( &empty, DT );
	module->PostColUpdate( nullptr, DT );
	ASSERT_EQ( gEnvNotes.size(), 2u );
	EXPECT_EQ( gEnvNotes[0].count, 4u );
	EXPECT_EQ( gEnvNotes[0].vertices, ( std::vector<u32>{ 4, 4, 4, 4 } ) );
	ExpectNear( gEnvNotes[0].firstVertex, { -1.0f, 0.0f, 1.0f } );
	EXPECT_EQ( gEnvNotes[1].count, 0u );
	EXPECT_TRUE( gEnvNotes[1].nullRecords );
	DMEnvDetectParams back = {};
	DMGetParams( handle, &back );
	EXPECT_EQ( back.ui32CallbackIndex, 3u );
	EXPECT_EQ( back.ui32MaxPolygons, 4u );

	// Replacing the array frees the old one; a callback replacing it
	// during its own notification frees the sent one afterwards (ASan
	// checks the reads, the heap counts the blocks).
	MMSetAllocFlag( 1 );  // every block from the heaps, counted there
	const u32 before = LiveBlocks();
	for ( u32 i = 0; i < 5; i++ ) {
		DMSetParams( handle, &params );
	}
	EXPECT_EQ( LiveBlocks(), before );
	Listen();
	gReenterHandle = handle;
	module->PostColUpdate( &seven, DT );
	module->PostColUpdate( &seven, DT );
	gReenterHandle = 0;
	EXPECT_EQ( LiveBlocks(), before );
	EXPECT_EQ( gEnvNotes.back().count, 2u );
	delete module;
	EXPECT_EQ( LiveBlocks(), before - 1 );
	MMSetAllocFlag( 2 );
}

}
