// The physics table as logic calls it: bodies and their flags, floor
// contact and carried velocities, rays, the wiring of the module slots,
// and the primitives' attribute words and volumes.

#include "framework/logic/api/PhysicTableBench.h"

#include "framework/logic/api/EFApiTrace.h"
#include "framework/physics/ApCollisionPrimitivesPlugin.h"
#include "framework/physics/EFObjCollisionBBox.h"
#include "framework/physics/EFObjCollisionSphere.h"
#include "framework/physics/EFObjCollisionSweptSphere.h"
#include "graphics3d/world/RpWorldPlugin.h"
#include "graphics3d/core/RwTestChunks.h"
#include "tools/lib/graphics3d/ToolCollisionPrimWriter.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr u32 HERO = 0x2A000101;
constexpr u32 OTHER = 0x2A000102;
constexpr u32 NOBODY = 0x2A000103;
constexpr u32 MISSING = 0x2A0001FF;
constexpr u32 RUNNING = 0x2A000000;

class LogicApiPhysicTest : public PhysicTableBench {};

// The same with models' collision primitives attached to the library.
class LogicApiPhysicModelTest : public LogicApiPhysicTest {
protected:
	bool AttachPlugins() override { return RpWorldPluginAttach() && ApCollisionPrimitivesPluginAttach() == 1; }
};

TEST_F( LogicApiPhysicTest, SetAndResetFlagsNormaliseTheDerivedBits ) {
	struct Row {
		const char*	name;
		u32			start;
		u32			set;
		u32			reset;
		u32			flags;
	};
	const Row rows[] = {
		{ "disabled copies up", 0, 0x1, 0, 0x10001 },
		{ "clip-disabled turns the body off, bit 0 unchanged", 0, 0x40, 0, 0x10040 },
		{ "clip-suspended clears moves, collides, particles", 0, 0x8E, 0, 0x8E },
		{ "paused clears them too", 0, 0x10F, 0, 0x1010F },
		{ "reset takes the derived bit away", 0x7, 0, 0x2, 0x50005 },
		{ "stale derived bits are recomputed", 0xF0000 | 0x200000, 0x4, 0, 0x240004 },
		{ "unsuspended", 0x86, 0, 0x80, 0x60006 },
	};
	EFPhysic* const body = MakeModuleBody( HERO );
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		body->mui32PhysicFlags = row.start;
		if ( row.set != 0 ) {
			api.SetFlags( HERO, row.set );
		}
		if ( row.reset != 0 ) {
			api.ResetFlags( HERO, row.reset );
		}
		EXPECT_EQ( api.GetFlags( HERO ), row.flags );
		EXPECT_EQ( EFApiTrace::mFuncName, nullptr );
	}
	MakeObject( NOBODY );
	api.SetFlags( NOBODY, 0x1 );
	EXPECT_EQ( api.GetFlags( NOBODY ), 0u );
	EXPECT_EQ( api.GetFlags( MISSING ), 0u );
	EXPECT_EQ( api.GetPhysicState( MISSING ), 0u );
}

TEST_F( LogicApiPhysicTest, ABodyOnAFloorReportsThePolygonsRecordAndNormal ) {
	ToolColAttribs attribs;
	attribs.flags = 0x1;
	attribs.detectedBy = 0x3;
	attribs.udDetectedBy = 0x40;
	attribs.friction = 0.25f;
	attribs.rebound = 0.0f;
	attribs.tag = 7;
	attribs.surfaceType = 3;
	attribs.hardness = 0.75f;
	attribs.acousticOpacity = 0.125f;
	AddWorld( World( { Floor( 0.0f ) }, attribs ) );
	MakeSphere( HERO, DTVector3d( 0, 1, 0 ), {}, DTVector3d( 0, -3, 0 ) );
	GiveGravity( HERO );
	EnvPrimAttribs got;
	std::memset( &got, 0xA5, sizeof( got ) );
	DTVector3d normal( 9, 9, 9 );
	EXPECT_EQ( api.GetFloorAttribs( HERO, &got ), 0u );
	EXPECT_EQ( got.ui32Flags, 0u );
	EXPECT_EQ( got.fAccousticOpacity, 0.0f );
	EXPECT_EQ( api.GetFloorNormal( HERO, &normal ), 0u );
	EXPECT_EQ( normal.x, 0.0f );
	EXPECT_EQ( normal.y, 0.0f );
	EXPECT_EQ( normal.z, 0.0f );
	EXPECT_EQ( api.GetFloorNormal( HERO, nullptr ), 0u );

	Step( 60u, 60u );
	EXPECT_EQ( api.GetPhysicState( HERO ) & EF_STATE_ON_FLOOR, EF_STATE_ON_FLOOR );
	EXPECT_EQ( api.GetFloorAttribs( HERO, &got ), 1u );
	EXPECT_EQ( got.ui32Flags, 0x1u );
	EXPECT_EQ( got.ui32DetectedBy, 0x3u );
	EXPECT_EQ( got.ui32UDDetectedBy, 0x40u );
	EXPECT_EQ( got.fFriction, 0.25f );
	EXPECT_EQ( got.fRebound, 0.0f );
	EXPECT_EQ( got.ui16Tag, 7u );
	EXPECT_EQ( got.ui16SurfaceType, 3u );
	EXPECT_EQ( got.fHardness, 0.75f );
	EXPECT_EQ( got.fAccousticOpacity, 0.125f );
	EXPECT_EQ( api.GetFloorNormal( HERO, &normal ), 1u );
	EXPECT_NEAR( normal.y, 1.0f, 1e-6f );
	EXPECT_EQ( api.GetFloorNormal( HERO, nullptr ), 0u );

	// The result follows the state bits alone: on a platform is no floor.
	EFPhysic* const body = gpoWorldMgr->GetGameObject( HERO )->mpoPhysic;
	body->mui32PhysicState = EF_STATE_ON_FLOOR | EF_STATE_ON_PLATFORM;
	EXPECT_EQ( api.GetFloorAttribs( HERO, &got ), 0u );
	EXPECT_EQ( got.ui16Tag, 7u );
}

TEST_F( LogicApiPhysicTest, VelocitiesOfACarriedChildAreRelativeToItsCarrier ) {
	EFPhysic* const platform = MakeModuleBody( OTHER );
	platform->moVelocity = DTVector3d( 1, 0, -2 );
	EFPhysic* const child = MakeModuleBody( HERO );
	OwnerOf( platform )->AddChild( OwnerOf( child ), 0 );
	ASSERT_EQ( OwnerOf( child )->mpParent, OwnerOf( platform ) );
	child->mfFallingDelay = 0.3f;
	child->mfFallingTimer = 0.0f;

	for ( const bool carries : { false, true } ) {
		SCOPED_TRACE( carries ? "carrier" : "plain platform" );
		platform->mui32PhysicFlags = carries ? EF_PHYSIC_CARRIER : EF_PHYSIC_PLATFORM;
		const DTVector3d base = carries ? platform->moVelocity : DTVector3d();
		api.SetVelocity( HERO, 0, 2, 0 );
		EXPECT_EQ( child->moVelocity.x, base.x );
		EXPECT_EQ( child->moVelocity.y, 2.0f );
		EXPECT_EQ( child->moVelocity.z, base.z );
		EXPECT_EQ( child->mfFallingTimer, 0.3f );
		DTVector3d got;
		api.GetVelocity( HERO, &got );
		EXPECT_EQ( got.x, 0.0f );
		EXPECT_EQ( got.y, 2.0f );
		EXPECT_EQ( got.z, 0.0f );
	}
	// An impulse adds to the absolute velocity and leaves the timer.
	child->mfFallingTimer = 0.0f;
	DTVector3d kick( 0, 1, 0 );
	api.Impulse( HERO, &kick );
	EXPECT_EQ( child->moVelocity.y, 3.0f );
	EXPECT_EQ( child->mfFallingTimer, 0.0f );
}

// Create gives a bare object an empty body and a modelled one the
// model's primitives (a sphere and a polygon square on the model's
// frame), once; a ray down through the table meets the square.
TEST_F( LogicApiPhysicModelTest, CreateGivesTheModelsPrimitivesOnceAndRaysHitItsPolygonSet ) {
	EFGameObject* const bare = MakeObject( HERO );
	EFGameObject* const modelled = MakeObject( OTHER, 3.0f, 0.0f, 0.0f );
	RecordingModel* const model = GiveModel( *modelled );
	model->CreateFrame( modelled->GetFrame() );
	ToolCollisionPrims stored;
	stored.sphere = std::array<f32, 4>{ 0, 1, 0, 2 };
	ToolCollisionPrim sphere;
	sphere.tag = 0x71;
	sphere.size = { 0.25f, 0, 0, 0 };
	sphere.attribs = { 0, 0x1, 0x1 };
	ToolCollisionPrim square = sphere;
	square.shape = EF_PRIM_POLYGON;
	square.tag = 0x72;
	square.offset = { 0, 1, 0 };
	square.polygonCount = 1;
	stored.prims = { sphere, square };
	stored.polygons = { { { { -1, 0, -1 }, { -1, 0, 1 }, { 1, 0, 1 }, { 1, 0, -1 } } } };
	const RwTestBytes payload = ToolCollisionPrimWriter::Entry( stored ).payload;
	RwStream* const stream = RwTestOpenRead( payload );
	ASSERT_NE( ApCollisionPrimitivesStreamRead( stream, static_cast<s32>( payload.size() ), model->mpClump,
												ApCollisionPrimitivesOffset(), 40 ), nullptr );
	RwStreamClose( stream, nullptr );

	api.Create( HERO, 1 );
	api.Create( OTHER, 0 );
	ASSERT_NE( bare->mpoPhysic, nullptr );
	ASSERT_NE( modelled->mpoPhysic, nullptr );
	EXPECT_EQ( manager.GetFirstPhysic( 1 ), bare->mpoPhysic );
	EXPECT_EQ( manager.GetFirstPhysic( 0 ), modelled->mpoPhysic );
	EXPECT_EQ( bare->mpoPhysic->moCollisionModel.mui32MaxPrims, 0u );
	const EFCollisionModel& prims = modelled->mpoPhysic->moCollisionModel;
	ASSERT_EQ( prims.mui32MaxPrims, 2u );
	ASSERT_NE( prims.GetPrimitive( 1 ), nullptr );
	EXPECT_EQ( prims.GetPrimitive( 1 )->mui32Shape, static_cast<u32>( EF_PRIM_POLYGON ) );
	EXPECT_EQ( prims.GetPrimitive( 1 )->GetFrame(), modelled->GetFrame() );
	EXPECT_EQ( prims.moPhysicBSphere.mfRadius, 2.0f );
	EFPhysic* const first = modelled->mpoPhysic;
	api.Create( OTHER, 0 );
	EXPECT_EQ( modelled->mpoPhysic, first );
	api.Create( MISSING, 0 );
	EXPECT_EQ( EFApiTrace::mFuncName, nullptr );

	manager.Update( 1.0f / 60.0f );
	RayIntersectIn in = { DTVector3d( 3.5f, 5, 0.5f ), DTVector3d( 0, -10, 0 ), 0x1, 0, 0, 0, 0 };
	RayIntersectOut out = {};
	ASSERT_EQ( api.CheckRayIntersection( &in, &out ), PS_RAY_OBJ );
	EXPECT_EQ( out.oOutEnvObj.oOutObj.ui32ObjID, OTHER );
	EXPECT_EQ( out.oOutEnvObj.oOutObj.ui32TagPrim, 0x72u );
	EXPECT_NEAR( out.oIntersectionPoint.y, 1.0f, 1e-4f );
	EXPECT_NEAR( out.oIntersectionNormal.y, 1.0f, 1e-4f );
	// From below, the square's back is hit too.
	in.oStartVector = DTVector3d( 3.5f, 0.5f, 0.5f );
	in.oDeplVector = DTVector3d( 0, 2, 0 );
	ASSERT_EQ( api.CheckRayIntersection( &in, &out ), PS_RAY_OBJ );
	EXPECT_EQ( out.oOutEnvObj.oOutObj.ui32TagPrim, 0x72u );
	EXPECT_NEAR( out.oIntersectionPoint.y, 1.0f, 1e-4f );
}

TEST_F( LogicApiPhysicTest, RaysReportTheEnvironmentsRecordOrTheHitBodyAndPrimitive ) {
	ToolColAttribs attribs;
	attribs.tag = 11;
	attribs.surfaceType = 4;
	attribs.friction = 0.75f;
	AddWorld( World( { Floor( 0.0f ) }, attribs ) );
	HarnessSphere* const ball = MakeSphere( HERO, DTVector3d( 0, 2, 0 ) );
	ball->mui32Tag = 0x55;
	manager.Update( 1.0f / 60.0f );
	RayIntersectIn in = { DTVector3d( 0, 5, 0 ), DTVector3d( 0, -10, 0 ), 0x1, 0, 0x1, 0, 0 };
	RayIntersectOut out;
	out = {};

	ASSERT_EQ( api.CheckRayIntersection( &in, &out ), PS_RAY_OBJ );
	EXPECT_NEAR( out.oIntersectionPoint.y, BodyOfPrim( ball )->moCollisionModel.moPhysicBSphereWPos.y + 0.5f, 1e-3f );
	EXPECT_NEAR( out.oIntersectionNormal.y, 1.0f, 1e-4f );
	EXPECT_EQ( out.oOutEnvObj.oOutObj.ui32ObjID, HERO );
	EXPECT_EQ( out.oOutEnvObj.oOutObj.ui32TagPrim, 0x55u );

	// The running object's alias is written back and that body is skipped.
	SetRunning( gpoWorldMgr->GetGameObject( HERO ) );
	in.ui32ExcludeObjID = RUNNING;
	ASSERT_EQ( api.CheckRayIntersection( &in, &out ), PS_RAY_ENV );
	SetRunning( nullptr );
	EXPECT_EQ( in.ui32ExcludeObjID, HERO );
	EXPECT_NEAR( out.oIntersectionPoint.y, 0.0f, 1e-5f );
	EXPECT_NEAR( out.oIntersectionNormal.y, 1.0f, 1e-6f );
	EXPECT_EQ( out.oOutEnvObj.oOutEnv.ui16Tag, 11u );
	EXPECT_EQ( out.oOutEnvObj.oOutEnv.ui16SurfaceType, 4u );
	EXPECT_EQ( out.oOutEnvObj.oOutEnv.oAttribs.ui16Tag, 11u );
	EXPECT_EQ( out.oOutEnvObj.oOutEnv.oAttribs.fFriction, 0.75f );
	EXPECT_EQ( out.oOutEnvObj.oOutEnv.oAttribs.ui32DetectedBy, 0x1u );

	// Outside a logic call the alias stays; a miss leaves out alone.
	in.ui32ExcludeObjID = RUNNING;
	in.oStartVector = DTVector3d( 100, 5, 0 );
	const RayIntersectOut before = out;
	EXPECT_EQ( api.CheckRayIntersection( &in, &out ), PS_RAY_NONE );
	EXPECT_EQ( in.ui32ExcludeObjID, RUNNING );
	EXPECT_EQ( std::memcmp( &before, &out, sizeof( out ) ), 0 );
}

// A body's one primitive swapped for a capsule or a box: the table names
// the body's owner and the primitive's tag, the point on the shape's top.
TEST_F( LogicApiPhysicTest, RaysHitCapsuleAndBoxBodiesThroughTheTable ) {
	struct Row {
		const char*		name;
		EFObjCollisionPrim* ( *make )( DTFrame* frame );
		f32				top;
	};
	const Row rows[] = {
		{ "capsule", []( DTFrame* frame ) -> EFObjCollisionPrim* {
			  EFObjCollisionSweptSphere* const capsule = new EFObjCollisionSweptSphere( frame );
			  capsule->SetRadius( 0.25f );
			  capsule->SetVector( DTVector3d( 0, 0.5f, 0 ) );
			  return capsule;
		  }, 0.75f },
		{ "box", []( DTFrame* frame ) -> EFObjCollisionPrim* {
			  EFObjCollisionBBox* const box = new EFObjCollisionBBox( frame );
			  box->SetHalfExtents( DTVector3d( 0.5f, 0.4f, 0.5f ) );
			  return box;
		  }, 0.4f },
	};
	u32 id = HERO;
	f32 x = 0.0f;
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFPhysic* const body = BodyOfPrim( MakeSphere( id, DTVector3d( x, 2, 0 ) ) );
		ASSERT_NE( body, nullptr );
		EFObjCollisionPrim*& slot = body->moCollisionModel.mppoPrimArray[0];
		EFObjCollisionPrim* const shape = row.make( body->GetOwner()->GetFrame() );
		shape->moBaseAttrib = slot->moBaseAttrib;
		shape->UpdateCurrentAttribs();
		shape->mui32Tag = 0x60 + id;
		delete slot;
		slot = shape;
		body->moCollisionModel.moPhysicBSphere = DTSphere( DTVector3d(), shape->mfMaxRadius );
		body->moCollisionModel.PrecalcData();
		manager.Update( 1.0f / 60.0f );
		RayIntersectIn in = { DTVector3d( x, 5, 0 ), DTVector3d( 0, -10, 0 ), 0x1, 0, 0, 0, 0 };
		RayIntersectOut out = {};
		ASSERT_EQ( api.CheckRayIntersection( &in, &out ), PS_RAY_OBJ );
		EXPECT_EQ( out.oOutEnvObj.oOutObj.ui32ObjID, id );
		EXPECT_EQ( out.oOutEnvObj.oOutObj.ui32TagPrim, 0x60 + id );
		EXPECT_NEAR( out.oIntersectionPoint.y, body->GetOwner()->GetFrame()->GetWMatrix()->GetPos()->y + row.top, 1e-3f );
		EXPECT_NEAR( out.oIntersectionNormal.y, 1.0f, 1e-4f );
		id++;
		x += 5.0f;
	}
}

TEST_F( LogicApiPhysicTest, ModuleSlotsDriveTheModulesThroughTheirHandles ) {
	MakeModuleBody( HERO );
	const u32 motion = api.DMAdd( HERO, EF_DM_ANALOG_MOTION );
	ASSERT_NE( motion, 0u );
	EFPhysicModule* const module = manager.GetModule( motion );
	EXPECT_EQ( module->mui32Type, 0x50000006u );
	EXPECT_EQ( api.DMAdd( HERO, 15 ), 0u );
	EXPECT_EQ( api.DMAdd( HERO, 38 ), 0u );
	EXPECT_EQ( api.DMAdd( MISSING, EF_DM_ROTATE ), 0u );

	// Run once more in each phase of the type word, then inactive.
	api.DMSetActive( motion, 0xFFFFFFFF );
	EXPECT_EQ( module->mui32Flags, EF_DM_ONCE_PRE | EF_DM_ONCE_POST );
	EXPECT_EQ( api.DMIsActive( motion ), 1u );
	manager.Update( 1.0f / 60.0f );
	EXPECT_EQ( module->mui32Flags, 0u );
	EXPECT_EQ( api.DMIsActive( motion ), 0u );
	api.DMSetActive( motion, 1 );
	api.DMSetContextMask( motion, 2 );
	EXPECT_EQ( api.DMIsActive( motion ), 0u );
	api.DMSetContextMask( motion, 3 );
	EXPECT_EQ( api.DMIsActive( motion ), 1u );

	// State bits: one notification for a change inside the notify bits.
	api.DMSetStateChangeNotifyBits( motion, 0x4 );
	api.DMSetStateBits( motion, 0x4 );
	api.DMSetStateBits( motion, 0x4 );
	api.DMSetStateBits( motion, 0x8 );
	ASSERT_EQ( gDMStateNotes.size(), 1u );
	EXPECT_EQ( gDMStateNotes[0].target, HERO );
	EXPECT_EQ( gDMStateNotes[0].record.ui32Handle, motion );
	EXPECT_EQ( gDMStateNotes[0].record.ui32Type, 0x50000006u );
	EXPECT_EQ( gDMStateNotes[0].record.ui32State, 0x4u );
	EXPECT_EQ( gDMStateNotes[0].record.ui32Changed, 0x4u );
	EXPECT_EQ( api.DMGetState( motion ), 0xCu );
	// Deactivation zeroes the state silently.
	api.DMSetActive( motion, 0 );
	EXPECT_EQ( api.DMGetState( motion ), 0u );
	EXPECT_EQ( module->mui32Flags, 0u );
	EXPECT_EQ( gDMStateNotes.size(), 1u );
	api.DMResetStateChangeNotifyBits( motion, 0x4 );
	EXPECT_EQ( module->mui32StateChangeNotifyBits, 0u );
	EXPECT_EQ( EFApiTrace::mFuncName, nullptr );
}

TEST_F( LogicApiPhysicTest, GetDMWalksTheGroundGripsThenGivesZero ) {
	MakeModuleBody( HERO );
	const u32 first = api.DMAdd( HERO, EF_DM_GROUND_GRIP );
	api.DMAdd( HERO, EF_DM_ROTATE );
	const u32 second = api.DMAdd( HERO, EF_DM_GROUND_GRIP );
	EXPECT_EQ( api.GetDM( HERO, EF_DM_GROUND_GRIP, 0 ), first );
	EXPECT_EQ( api.GetDM( HERO, EF_DM_GROUND_GRIP, first ), second );
	EXPECT_EQ( api.GetDM( HERO, EF_DM_GROUND_GRIP, second ), 0u );
}

TEST_F( LogicApiPhysicTest, EveryModuleSlotIgnoresHandleZeroAndAStaleHandle ) {
	MakeModuleBody( HERO );
	const u32 stale = api.DMAdd( HERO, EF_DM_ACCELERATION );
	EFPhysicModule* const gone = manager.GetModule( stale );
	delete gone;
	ASSERT_EQ( manager.GetModule( stale ), nullptr );
	const u32 live = api.DMAdd( HERO, EF_DM_MOVE );
	EFPhysicModule* const module = manager.GetModule( live );
	const u32 flags = module->mui32Flags;
	for ( const u32 handle : { 0u, stale, live + 1 } ) {
		SCOPED_TRACE( handle );
		u8 block[64];
		std::memset( block, 0x5A, sizeof( block ) );
		api.DMGetParams( handle, block );
		api.DMGetData( handle, block );
		api.DMSetParams( handle, nullptr );
		api.DMDoAction( handle, 1, block );
		api.DMSetContextMask( handle, 0xFF );
		api.DMSetActive( handle, 0 );
		api.DMSetStateChangeNotifyBits( handle, 0xFF );
		api.DMResetStateChangeNotifyBits( handle, 0xFF );
		api.DMSetStateBits( handle, 0xFF );
		api.DMResetStateBits( handle, 0xFF );
		EXPECT_EQ( api.DMIsActive( handle ), 0u );
		EXPECT_EQ( api.DMGetState( handle ), 0u );
		EXPECT_EQ( api.GetDM( HERO, EF_DM_MOVE, handle ), live );
		for ( const u8 byte : block ) {
			ASSERT_EQ( byte, 0x5A );
		}
	}
	EXPECT_EQ( module->mui32Flags, flags );
	EXPECT_EQ( module->mui32ContextMask, 0u );
	EXPECT_EQ( module->mui32State, 0u );
	EXPECT_TRUE( gDMStateNotes.empty() );
}

class LogicApiPrimTest : public LogicApiPhysicTest {
protected:
	// Hero with a body of three tagged primitives, base words 0x0F.
	EFPhysic* MakeTagged() {
		EFPhysic* const body = MakeModuleBody( HERO, 0, 0, 0, 3 );
		for ( u32 i = 0; i < 3; i++ ) {
			ScriptedPrim* const prim = GivePrim( body, i, std::vector<u32>( EF_COL_PRIM_ATTRIB_WORDS, 0x0F ) );
			prim->mui32Tag = 10 + i;
		}
		return body;
	}
};

TEST_F( LogicApiPrimTest, AttributeSlotsMergeLogicBitsUnderTheLock ) {
	EFPhysic* const body = MakeTagged();
	const EFObjCollisionPrim* const prim = body->moCollisionModel.mppoPrimArray[1];
	struct Row {
		const char*	name;
		void		( *edit )( api_physic&, u32 );
		u32			arg;
		u32			current;
	};
	const Row rows[] = {
		{ "set bits", []( api_physic& t, u32 b ) { t.PrimSetIntAttribBits( HERO, 11, 3, b ); }, 0x30, 0x3F },
		{ "reset a base bit", []( api_physic& t, u32 b ) { t.PrimResetIntAttribBits( HERO, 11, 3, b ); }, 0x1, 0x3E },
		{ "unlock set bits", []( api_physic& t, u32 b ) { t.PrimUnlockIntAttrib( HERO, 11, 3, b ); }, 0x10, 0x2E },
		{ "value locks all", []( api_physic& t, u32 b ) { t.PrimSetIntAttribValue( HERO, 11, 3, b ); }, 0x100, 0x100 },
		{ "unlock all: base", []( api_physic& t, u32 b ) { t.PrimUnlockIntAttrib( HERO, 11, 3, b ); }, 0xFFFFFFFF,
		  0x0F },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		row.edit( api, row.arg );
		EXPECT_EQ( api.PrimGetIntAttrib( HERO, 11, 3 ), row.current );
		EXPECT_EQ( prim->moCurrentAttrib.IntArray[3], row.current );
	}
	// Other words and primitives are untouched; unknown tags do nothing.
	EXPECT_EQ( api.PrimGetIntAttrib( HERO, 11, 2 ), 0x0Fu );
	EXPECT_EQ( api.PrimGetIntAttrib( HERO, 10, 3 ), 0x0Fu );
	api.PrimSetIntAttribValue( HERO, 99, 3, 0 );
	EXPECT_EQ( api.PrimGetIntAttrib( HERO, 99, 3 ), 0u );
	EXPECT_EQ( api.PrimGetIntAttrib( MISSING, 10, 3 ), 0u );
}

TEST_F( LogicApiPrimTest, AnAttributeIndexPastTheElevenWordsDoesNothing ) {
	EFPhysic* const body = MakeTagged();
	EFObjCollisionPrim* const prim = body->moCollisionModel.mppoPrimArray[2];
	const f32 radius = prim->mfMaxRadius;
	const DTVector3d pos = prim->moPrimPos;
	for ( const u32 index : { 11u, 12u, 0xFFFFFFFFu } ) {
		api.PrimSetIntAttribBits( HERO, 12, index, 0xFFFFFFFF );
		api.PrimResetIntAttribBits( HERO, 12, index, 0xFFFFFFFF );
		api.PrimSetIntAttribValue( HERO, 12, index, 0xFFFFFFFF );
		api.PrimUnlockIntAttrib( HERO, 12, index, 0xFFFFFFFF );
		EXPECT_EQ( api.PrimGetIntAttrib( HERO, 12, index ), 0u );
	}
	EXPECT_EQ( prim->mfMaxRadius, radius );
	EXPECT_EQ( prim->moPrimPos.x, pos.x );
	EXPECT_EQ( std::memcmp( &prim->moCurrentAttrib, &prim->moBaseAttrib, sizeof( EFColPrimAttrib ) ), 0 );
}

TEST_F( LogicApiPrimTest, PrimaryTagsAndJointOffsets ) {
	EFPhysic* const body = MakeTagged();
	EFCollisionModel& model = body->moCollisionModel;
	api.SetPrimaryPrim( HERO, 12 );
	EXPECT_EQ( model.muiPrimaryPrimIndex, 2u );
	api.SetPrimaryPrim( HERO, 99 );
	EXPECT_EQ( model.muiPrimaryPrimIndex, EF_NO_PRIMARY_PRIM );
	api.SetPrimaryPrim( HERO, 11 );
	api.SetPrimaryPrim( HERO, 0xFFFFFFFF );
	EXPECT_EQ( model.muiPrimaryPrimIndex, EF_NO_PRIMARY_PRIM );

	EFObjCollisionPrim* const prim = model.mppoPrimArray[0];
	prim->moPrimPos = DTVector3d( 1, 1, 1 );
	DTVector3d offset( 0, 2, 0 );
	// Every call adds the offset to the position again.
	EXPECT_EQ( api.PrimSetOffsetFromJoint( HERO, 10, &offset ), 0u );
	EXPECT_EQ( api.PrimSetOffsetFromJoint( HERO, 10, &offset ), 0u );
	EXPECT_EQ( prim->moPrimPos.y, 5.0f );
	DTVector3d got;
	EXPECT_EQ( api.PrimGetOffsetFromJoint( HERO, 10, &got ), 0u );
	EXPECT_EQ( got.y, 2.0f );
	EXPECT_EQ( api.PrimGetOffsetFromJoint( HERO, 99, &got ), 0xFFFFFFFFu );
	EXPECT_EQ( api.PrimSetOffsetFromJoint( MISSING, 10, &offset ), 0xFFFFFFFFu );
	MakeObject( NOBODY );
	EXPECT_EQ( api.PrimGetOffsetFromJoint( NOBODY, 10, &got ), 0xFFFFFFFFu );
}

TEST_F( LogicApiPrimTest, ASpherePrimaryVolumeReplacesEveryPrimitive ) {
	EFPhysic* const body = MakeTagged();
	EFCollisionModel& model = body->moCollisionModel;
	model.muiPrimaryPrimIndex = 2;
	api.SetSpherePrimaryVolume( HERO, 0.75f, 0.0f, 1.0f, 0.5f );
	ASSERT_EQ( model.mui32MaxPrims, 1u );
	// The primary index no longer names a slot past the new one.
	EXPECT_EQ( model.muiPrimaryPrimIndex, EF_NO_PRIMARY_PRIM );
	const EFObjCollisionPrim* const sphere = model.mppoPrimArray[0];
	ASSERT_NE( sphere, nullptr );
	EXPECT_EQ( sphere->mui32Shape, static_cast<u32>( EF_PRIM_SPHERE ) );
	EXPECT_NE( dynamic_cast<const EFObjCollisionSphere*>( sphere ), nullptr );
	EXPECT_EQ( sphere->GetFrame(), OwnerOf( body )->GetFrame() );
	EXPECT_EQ( sphere->mfMaxRadius, 0.75f );
	EXPECT_EQ( sphere->moTrans.y, 1.0f );
	EXPECT_EQ( sphere->moTrans.z, 0.5f );
	EXPECT_EQ( model.mbUsingFixVolume, 1u );
	EXPECT_EQ( model.moPhysicBSphere.moPos.y, 1.0f );
	EXPECT_EQ( model.moPhysicBSphere.moPos.z, 0.5f );
	EXPECT_EQ( model.moPhysicBSphere.mfRadius, 0.75f );
	EXPECT_EQ( api.PrimGetIntAttrib( HERO, 10, 0 ), 0u );
	// Physics frames run on the new model (ASan: nothing reads the old).
	body->mui32PhysicFlags = EF_PHYSIC_DYNAMIC | EF_PHYSIC_COLLIDING;
	body->NormalizeFlags();
	body->moVelocity = DTVector3d( 0, -1, 0 );
	Step( 60u, 5u );
	EXPECT_EQ( model.muiPrimaryPrimIndex, EF_NO_PRIMARY_PRIM );
	// A primary index that still fits is kept.
	model.muiPrimaryPrimIndex = 0;
	api.SetSpherePrimaryVolume( HERO, 0.5f, 0.0f, 0.0f, 0.0f );
	EXPECT_EQ( model.muiPrimaryPrimIndex, 0u );
	Step( 60u, 2u );
}

}
