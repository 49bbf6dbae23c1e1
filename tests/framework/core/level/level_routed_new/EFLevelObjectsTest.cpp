/*
	Game objects of a level written by the tools, loaded through the
	resources manager with the 3D library started as the engine starts it:
	live objects join the world, latent templates wait in the template map,
	and a game-object record that fails stops the level where it stands.
*/
#include "framework/core/level/loader_routed_new/LoaderTestBench.h"

#include "datatypes/file/DTFile.h"
#include "datatypes/maths/DTFrame.h"
#include "datatypes/streamable/DTGlo.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/behaviour/EFDMInterface.h"
#include "framework/behaviour/EFDMWaterSimulation.h"
#include "framework/core/world/EFNotificationMgr.h"
#include "framework/physics/EFObjCollisionPrim.h"
#include "framework/core/spline/EFQuadraticSpline.h"
#include "framework/core/spline/EFSplineMgr.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/ApAtomicDataPlugin.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/graphics/EFGroundFogGrid.h"
#include "framework/graphics/EFWaterGrid.h"
#include "framework/graphics/EFLightMgr.h"
#include "framework/graphics/particles/PLMgr.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicCode.h"
#include "framework/physics/ApCollisionPrimitivesPlugin.h"
#include "framework/physics/EFCollisionMap.h"
#include "framework/physics/HarnessSphere.h"
#include "framework/physics/EFCollisionModel.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpHAnim.h"
#include "graphics3d/world/RpSkin.h"
#include "graphics3d/world/RpWorldPlugin.h"
#include "framework/behaviour/EFDMCameraFlex.h"
#include "framework/graphics/animation/EFAnimRes.h"
#include "tools/lib/ToolSampleDisc.h"
#include "tools/lib/level/ToolAnimBlockWriter.h"
#include "tools/lib/level/ToolAnimCurveWriter.h"
#include "tools/lib/level/ToolSplineWriter.h"
#include "tools/lib/level/ToolInstanceWriter.h"
#include "tools/lib/level/ToolModelResourceWriter.h"
#include "tools/lib/level/ToolSampleScene.h"
#include "tools/lib/graphics3d/ToolSampleModel.h"
#include "tools/lib/level/ToolParticleWriter.h"
#include "tools/lib/level/ToolSampleObjects.h"
#include "tools/lib/level/ToolSampleSplines.h"
#include "tools/lib/logic/ToolSampleLogic.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr s32 CLASS_SOUND_INSTANCE	= 23;
constexpr s32 CLASS_TEXTURE_DICT	= 34;
constexpr u32 NOT_REGISTERED_CLASS	= 200;

std::vector<u8> GloBytes( const ToolGloRecord& record ) {
	ToolBigEndianWriter out;
	ToolLevelWriter::WriteGlo( out, record );
	return out.Take();
}

ToolGloRecord PlainObject( const u32 uid ) {
	ToolGloRecord record;
	record.uid = uid;
	return record;
}

ToolResourceRecord ContainerOf( const std::vector<ToolContainerEntry>& entries ) {
	ToolBigEndianWriter out;
	ToolLevelWriter::WriteContainer( out, entries );
	return Record( TOOL_CLASS_CONTAINER, out.Take() );
}

bool Near( const f32 a, const f32 b ) {
	return std::fabs( a - b ) < 1e-5f;
}

bool FrameAt( EFGameObject* object, const ToolVec3& position ) {
	if ( object->GetFrame() == nullptr ) {
		return false;
	}
	const RwV3d& pos = object->GetFrame()->moFrame.modelling.pos;
	return Near( pos.x, position[0] ) && Near( pos.y, position[1] ) && Near( pos.z, position[2] );
}

class EFLevelObjectsTest : public LoaderTestBench {
protected:
	void SetUp() override {
		LoaderTestBench::SetUp();
		// The library runs on the engine allocator, as it does in the
		// executable, so the objects' frames come from the level heap.
		const RwMemoryFunctions memory = { MMMalloc, MMFree, MMRealloc, MMCalloc };
		ASSERT_TRUE( RwEngineInit( &memory, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
		// The plug-ins a model needs, as the graphics manager attaches them.
		ASSERT_TRUE( RpWorldPluginAttach() && RpHAnimPluginAttach() && RpSkinPluginAttach() );
		ASSERT_EQ( ApAtomicDataPluginAttach(), 1 );
		ASSERT_EQ( ApCollisionPrimitivesPluginAttach(), 1 );
		ASSERT_TRUE( RwEngineOpen( &deviceConfiguration ) );
		ASSERT_TRUE( RwEngineStart() );
		libraryStarted = true;
	}

	void TearDown() override {
		DestroyLevelObjects();
		LoaderTestBench::TearDown();
		if ( libraryStarted ) {
			RwEngineStop();
			RwEngineClose();
			RwEngineTerm();
		}
	}

	// What ending the level does to its objects: every object of the world
	// is terminated and deleted, the templates and modules go with the
	// logic manager, and the bodies the objects handed back are freed.
	// Done here while the level heap still holds them.
	void DestroyLevelObjects() {
		if ( gpoWorldMgr != nullptr ) {
			while ( EFGameObject* const object = gpoWorldMgr->GetFirstGameObject() ) {
				gpoWorldMgr->RemoveGameObject( object->GetUID() );
				object->Terminate();
				delete object;
			}
			// The lights and the static world go with the level, as the
			// world's end takes them (the particles stay: tests end them).
			if ( gpoEFLightMgr != nullptr ) {
				gpoEFLightMgr->Terminate();
			}
			gpoWorldMgr->EFWorld_SP::Terminate();
		}
		if ( gpoGameLogicMgr != nullptr ) {
			gpoGameLogicMgr->Terminate();
		}
		EFPhysicMgr::moPhysicMgr.UpdateDeletedPhysic();
		EFPhysicMgr::moPhysicMgr.Terminate();
	}

	void WriteLevel( const std::vector<ToolResourceRecord>& records ) {
		ToolResourceFile file;
		file.records = records;
		WriteResourceFile( "LEVEL.GCR", file );
	}

	// Writes the sample disc and loads its level.
	void LoadSampleLevel() {
		std::strcpy( context.szLevelPath, std::string( TOOL_SAMPLE_LEVEL ).c_str() );
		std::strcpy( context.szResFilename, std::string( TOOL_SAMPLE_RESOURCE_FILE ).c_str() );
		MakeController();
		const ToolSampleModules modules = { ToolReturningHostModule( TOOL_SAMPLE_OBJECT_NAME ),
											ToolReturningHostModule( TOOL_SAMPLE_LIBRARY_NAME ) };
		std::string error;
		ASSERT_TRUE( ToolWriteSampleDisc( root / "disc", modules, error ) ) << error;
		Output();
		ASSERT_EQ( Load(), 0 );
	}

	static EFGameObject* InWorld( const u32 id ) { return gpoWorldMgr->FindGameObject( id ); }

	static const _EFLatant* Template( const u32 id ) {
		const DTMap<u32, _EFLatant>::Node* const node = gpoGameLogicMgr->GetLatentMap().Find( id );
		return node != nullptr ? &node->mValue : nullptr;
	}

	u32		deviceConfiguration = 0;
	bool	libraryStarted = false;
};

TEST_F( EFLevelObjectsTest, TheSampleLevelPutsItsObjectsInTheWorldAndItsTemplateInTheTemplateMap ) {
	ASSERT_NO_FATAL_FAILURE( LoadSampleLevel() );
	// The sample level loads its texture dictionary; nothing is reported.
	EXPECT_EQ( Output(), "" );
	EXPECT_EQ( DTNbrFileInUse(), 0u );
	EXPECT_EQ( MMGetActualHeap(), MM_GLOBAL_HEAP );

	const EFLogicCode* const code = gpoGameLogicMgr->GetLogicCode( TOOL_SAMPLE_OBJECT_CODE_ID );
	ASSERT_NE( code, nullptr );
	const u32 live[] = { TOOL_SAMPLE_GAME_OBJECT_ID, TOOL_SAMPLE_HOT_SPOT_OBJECT_ID, TOOL_SAMPLE_MODEL_OBJECT_ID,
						 TOOL_SAMPLE_BOX_OBJECT_ID,	 TOOL_SAMPLE_WATER.objectId,	 TOOL_SAMPLE_FOG.objectId };
	for ( const u32 id : live ) {
		SCOPED_TRACE( id );
		EFGameObject* const object = InWorld( id );
		ASSERT_NE( object, nullptr );
		EXPECT_EQ( object->GetUID(), id );
		EXPECT_EQ( object->moLogicInstance.mpLogicCode, code );
		EXPECT_NE( object->GetFrame(), nullptr );
		EXPECT_EQ( Template( id ), nullptr );
	}
	// Newest first: the level's last live object heads the list.
	EXPECT_EQ( gpoWorldMgr->GetFirstGameObject(), InWorld( TOOL_SAMPLE_FOG.objectId ) );

	// The hot spot: a box of half extents (0.5, 1, 0.5) one unit up.
	EFGameObject* const shape = InWorld( TOOL_SAMPLE_HOT_SPOT_OBJECT_ID );
	EXPECT_TRUE( FrameAt( shape, ToolSampleHotSpotObject( 0 ).position ) );
	ASSERT_NE( shape->mpoPhysic, nullptr );
	const EFCollisionModel& model = shape->mpoPhysic->moCollisionModel;
	ASSERT_EQ( model.mui32MaxPrims, 1u );
	ASSERT_NE( model.mppoPrimArray[0], nullptr );
	EXPECT_TRUE( Near( model.moPhysicBSphere.mfRadius, std::sqrt( 1.5f ) ) );
	EXPECT_TRUE( Near( model.moPhysicBSphere.moPos.y, 1.0f ) );
	EXPECT_EQ( shape->muiNbInstance, 1 );
	EXPECT_EQ( shape->mppEFInstance[0], nullptr );
	// Ten world updates simulate it in place: its masks are its words, its
	// sphere sits one unit above the object.
	const u32 frames = EFPhysicMgr::moPhysicMgr.GetCurrentSaveCount();
	for ( u32 update = 0; update < 10; update++ ) {
		gpoWorldMgr->Update( 1.0f / 60.0f );
	}
	EXPECT_EQ( EFPhysicMgr::moPhysicMgr.GetCurrentSaveCount(), frames + 10 );
	const u32 masks[] = { model.muiCollisionType,		  model.muiCollisionDetectType, model.muiCollisionUDType,
						  model.muiCollisionUDDetectType, model.muiEnvDetectType,		model.muiUDEnvDetectType };
	EXPECT_EQ( std::vector<u32>( masks, masks + 6 ), ( std::vector<u32>{ 0x1, 0x1, 0, 0, 0x1, 0 } ) );
	EXPECT_TRUE( Near( model.moPhysicBSphereWPos.x, 4.0f ) );
	EXPECT_TRUE( Near( model.moPhysicBSphereWPos.y, 1.0f ) );
	EXPECT_TRUE( Near( model.moPhysicBSphereWPos.z, 2.0f ) );
	EXPECT_TRUE( FrameAt( shape, ToolSampleHotSpotObject( 0 ).position ) );
	// Its box stops a downward ray at its top, y = 2, before the floor;
	// a ray that looks for no objects goes on to the floor.
	const struct {
		u32	objectMask;
		u32	result;
		f32	y;
	} rays[] = { { 0x1, PS_RAY_OBJ, 2.0f }, { 0, PS_RAY_ENV, 0.0f } };
	for ( const auto& ray : rays ) {
		const RayIntersectIn in = { DTVector3d( 4, 5, 2 ), DTVector3d( 0, -10, 0 ), ray.objectMask, 0, 0x1, 0, 0 };
		EFRayIntersectOut out = {};
		EXPECT_EQ( EFPhysicMgr::moPhysicMgr.RayIntersect( in, out ), ray.result );
		EXPECT_TRUE( Near( out.oIntersectionPoint.y, ray.y ) ) << out.oIntersectionPoint.y;
		EXPECT_TRUE( Near( out.oIntersectionNormal.y, 1.0f ) );
	}
	// The box: one box primitive, its sphere half a unit up; not dynamic,
	// so it stays on the floor.
	EFGameObject* const box = InWorld( TOOL_SAMPLE_BOX_OBJECT_ID );
	ASSERT_NE( box->mpoPhysic, nullptr );
	const EFCollisionModel& boxModel = box->mpoPhysic->moCollisionModel;
	ASSERT_EQ( boxModel.mui32MaxPrims, 1u );
	ASSERT_NE( boxModel.mppoPrimArray[0], nullptr );
	EXPECT_EQ( boxModel.mppoPrimArray[0]->mui32Shape, static_cast<u32>( EF_PRIM_BBOX ) );
	EXPECT_EQ( boxModel.muiEnvDetectType, 0x1u );
	EXPECT_TRUE( Near( boxModel.moPhysicBSphereWPos.y, 0.5f ) );
	EXPECT_TRUE( FrameAt( box, ToolSampleBoxObject( 0 ).position ) );

	// The model: [3D object, node, sound, node] with its magic data.
	EFGameObject* const modelObject = InWorld( TOOL_SAMPLE_MODEL_OBJECT_ID );
	const ToolGloRecord modelRecord = ToolSampleModelObject( 0 );
	EXPECT_TRUE( FrameAt( modelObject, modelRecord.position ) );
	ASSERT_EQ( modelObject->muiNbInstance, 4 );
	EXPECT_EQ( modelObject->muiNb3dObj, 1u );
	ASSERT_NE( modelObject->Get3dObject( 0 ), nullptr );
	EXPECT_EQ( modelObject->Get3dObject( 0 )->mpGameObjectOwner, modelObject );
	// Its 3D object draws the sample model: the clump hangs below the
	// object's frame and its skeleton is bound.
	const EF3dObj* const sampleModel = modelObject->Get3dObject( 0 );
	ASSERT_NE( sampleModel->mpClump, nullptr );
	EXPECT_EQ( RpClumpGetFrame( sampleModel->mpClump )->object.parent, &modelObject->GetFrame()->moFrame );
	ASSERT_NE( sampleModel->mpHierarchy, nullptr );
	EXPECT_EQ( sampleModel->mpHierarchy->numNodes, 3 );
	EXPECT_NE( sampleModel->mpHierarchy->pNodeInfo[2].pFrame, nullptr );
	EXPECT_EQ( modelObject->mppEFInstance[1], nullptr );
	ASSERT_NE( modelObject->mppEFInstance[2], nullptr );
	EXPECT_EQ( modelObject->mppEFInstance[2]->GetClassID(), CLASS_SOUND_INSTANCE );
	EXPECT_EQ( modelObject->mppEFInstance[3], nullptr );
	EXPECT_EQ( modelObject->moAnimationMgr.muiNbAnims, 2u );
	EXPECT_EQ( modelObject->moAnimationMgr.muiBaseIndex, 1u );
	EXPECT_EQ( modelObject->moAnimationMgr.muiOwnerId, TOOL_SAMPLE_MODEL_OBJECT_ID );
	const u8* const magic = static_cast<const u8*>( modelObject->GetMagicPreset( modelRecord.magic.size ) );
	ASSERT_NE( magic, nullptr );
	EXPECT_EQ( std::vector<u8>( magic, magic + modelRecord.magic.size ), modelRecord.magic.bytes );

	// The template: kept with its record, built but neither initialised
	// nor in the world.
	EXPECT_EQ( InWorld( TOOL_SAMPLE_TEMPLATE_ID ), nullptr );
	const _EFLatant* const latent = Template( TOOL_SAMPLE_TEMPLATE_ID );
	ASSERT_NE( latent, nullptr );
	ASSERT_NE( latent->mpoGameObject, nullptr );
	ASSERT_NE( latent->mpoGlo, nullptr );
	EXPECT_EQ( latent->mpoGameObject->GetUID(), TOOL_SAMPLE_TEMPLATE_ID );
	EXPECT_EQ( latent->mpoGameObject->moLogicInstance.mpLogicCode, code );
	EXPECT_EQ( latent->mpoGameObject->GetFrame(), nullptr );
	EXPECT_EQ( latent->mpoGlo->moDescriptorsList.GetCount(), 1u );
	ASSERT_EQ( latent->mpoGameObject->muiNbInstance, 1 );
	ASSERT_NE( latent->mpoGameObject->mppEFInstance[0], nullptr );
	EXPECT_EQ( latent->mpoGameObject->mppEFInstance[0]->GetClassID(), EF_3D_OBJ_CLASS_ID );
	EXPECT_EQ( gpoGameLogicMgr->GetLatentMap().GetCount(), 1u );

	// The collision map is registered once; a downward environment ray
	// from (0, 5, 0) meets the floor. Ending the level deletes it, and
	// loading again registers one map again.
	for ( u32 pass = 0; pass < 2; pass++ ) {
		SCOPED_TRACE( pass );
		const EFCollisionMap* const map = EFPhysicMgr::moPhysicMgr.GetFirstMap();
		ASSERT_NE( map, nullptr );
		EXPECT_EQ( map->mpoNextMap, nullptr );
		const RayIntersectIn in = { DTVector3d( 0, 5, 0 ), DTVector3d( 0, -10, 0 ), 0, 0, 0x1, 0, 0 };
		EFRayIntersectOut out = {};
		EXPECT_EQ( EFPhysicMgr::moPhysicMgr.RayIntersect( in, out ), PS_RAY_ENV );
		EXPECT_TRUE( Near( out.oIntersectionPoint.y, 0.0f ) );
		EXPECT_EQ( out.oIntersectionNormal.y, 1.0f );
		EXPECT_EQ( out.oIntersectionNormal.x, 0.0f );
		EXPECT_EQ( out.oIntersectionNormal.z, 0.0f );
		if ( pass == 0 ) {
			DestroyLevelObjects();
			gpoPLParticleMgr->Terminate();
			EXPECT_EQ( EFPhysicMgr::moPhysicMgr.GetFirstMap(), nullptr );
			// The level's textures and palettes end with it.
			ASSERT_EQ( Reload(), 0 );
		}
	}
}

TEST_F( EFLevelObjectsTest, ASphereDroppedInTheSampleLevelLandsOnItsFloorAndStaysThere ) {
	ASSERT_NO_FATAL_FAILURE( LoadSampleLevel() );
	// A ball of radius 0.5 three units up, dynamic and colliding, falling
	// at 3 units/s, as logic's physics table sets one up.
	constexpr u32 BALL = 0x2A000030;
	EFGameObject* const ball = new EFGameObject;
	ball->SetUID( BALL );
	ASSERT_NE( ball->CreateFrame( nullptr ), nullptr );
	const RwV3d start = { 0.0f, 3.0f, 0.0f };
	RwFrameTranslate( ball->GetFrame()->GetRwFrame(), &start, rwCOMBINEPOSTCONCAT );
	gpoWorldMgr->AddGameObject( ball );
	EFPhysic* const body = ball->CreatePhysic( 0 );
	ASSERT_NE( body, nullptr );
	body->moCollisionModel.SetMaxPrims( 1 );
	HarnessSphere* const sphere = new HarnessSphere( ball->GetFrame(), 0.5f );
	sphere->moBaseAttrib.IntArray[EF_ATTR_FLAGS] = EF_PRIM_ENV_COLLISIONS;
	sphere->moBaseAttrib.IntArray[EF_ATTR_ENV_DETECT] = 0x1;
	sphere->UpdateCurrentAttribs();
	body->moCollisionModel.mppoPrimArray[0] = sphere;
	body->moCollisionModel.moPhysicBSphere = DTSphere( DTVector3d(), 0.5f );
	body->mui32PhysicFlags = EF_PHYSIC_DYNAMIC | EF_PHYSIC_COLLIDING;
	body->NormalizeFlags();
	body->moVelocity = DTVector3d( 0.0f, -3.0f, 0.0f );
	f32 lowest = 3.0f;
	u32 landing = 0;
	for ( u32 update = 0; update < 120; update++ ) {
		gpoWorldMgr->Update( 1.0f / 60.0f );
		const f32 y = ball->GetFrame()->moFrame.modelling.pos.y;
		lowest = std::fmin( lowest, y );
		// Falling (state 2) from the first frame until it lands.
		if ( landing == 0 && body->mui32PhysicState != EF_STATE_FALLING ) {
			landing = update + 1;
			EXPECT_EQ( body->mui32PhysicState, EF_STATE_ON_FLOOR );
		}
	}
	// 2.5 units at 3 units/s: the 50th update, or the next one when the
	// contact falls on the frame's end.
	EXPECT_GE( landing, 50u );
	EXPECT_LE( landing, 51u );
	EXPECT_GE( lowest, 0.5f - 1e-4f );
	EXPECT_NEAR( ball->GetFrame()->moFrame.modelling.pos.y, 0.5f, 1e-3f );
	// The level's bodies are still where they were put.
	EXPECT_TRUE( FrameAt( InWorld( TOOL_SAMPLE_BOX_OBJECT_ID ), ToolSampleBoxObject( 0 ).position ) );
	EXPECT_TRUE( FrameAt( InWorld( TOOL_SAMPLE_HOT_SPOT_OBJECT_ID ), ToolSampleHotSpotObject( 0 ).position ) );
}

TEST_F( EFLevelObjectsTest, TheModelObjectsBodyTakesTheSampleModelsPrimitivesWhichFollowItsFrame ) {
	ASSERT_NO_FATAL_FAILURE( LoadSampleLevel() );
	// What logic's physics Create does for the model object.
	EFGameObject* const object = InWorld( TOOL_SAMPLE_MODEL_OBJECT_ID );
	ASSERT_EQ( object->mpoPhysic, nullptr );
	EFPhysic* const body = object->CreatePhysic( 0 );
	ASSERT_NE( body, nullptr );
	EF3dObj* const model = object->Get3dObject( 0 );
	ASSERT_EQ( model->CreateCollisionPrimitives( *body ), 3 );
	const ToolCollisionPrims stored = ToolSampleModelCollisionPrims();
	const EFCollisionModel& prims = body->moCollisionModel;
	EXPECT_EQ( prims.moPhysicBSphere.mfRadius, ( *stored.sphere )[3] );
	EXPECT_EQ( prims.moPhysicBSphere.moPos.y, ( *stored.sphere )[1] );
	DTFrame* const frames[] = { model->GetFrame(), model->GetJointFrame( 1 ), model->GetJointFrame( 2 ) };
	ASSERT_NE( frames[1], frames[0] );
	ASSERT_NE( frames[2], frames[1] );
	for ( u32 i = 0; i < 3; i++ ) {
		SCOPED_TRACE( i );
		const EFObjCollisionPrim* const prim = prims.GetPrimitive( i );
		ASSERT_NE( prim, nullptr );
		EXPECT_EQ( prim->mui32Shape, stored.prims[i].shape );
		EXPECT_EQ( prim->GetFrame(), frames[i] );
		for ( u32 w = 0; w < EF_COL_PRIM_ATTRIB_WORDS; w++ ) {
			EXPECT_EQ( prim->GetAttrib( w ), stored.prims[i].attribs[w] );
		}
	}

	// A downward object and floor ray beside the capsule meets the square
	// at its node's height before the floor.
	gpoWorldMgr->Update( 1.0f / 60.0f );
	const RwV3d& at = object->GetFrame()->moFrame.modelling.pos;
	const f32 squareY = RwFrameGetLTM( frames[2]->GetRwFrame() )->pos.y;
	ASSERT_GT( squareY, at.y + 1.0f );
	const RayIntersectIn down = { DTVector3d( at.x + 0.7f, at.y + 5.0f, at.z + 0.7f ), DTVector3d( 0, -10, 0 ), 0x1,
								  0, 0x1, 0, 0 };
	EFRayIntersectOut out = {};
	EXPECT_EQ( EFPhysicMgr::moPhysicMgr.RayIntersect( down, out ), PS_RAY_OBJ );
	EXPECT_EQ( out.poObjSubCollider, prims.GetPrimitive( 2 ) );
	EXPECT_NEAR( out.oIntersectionPoint.y, squareY, 1e-4f );

	// Turned a quarter about y, the box beside node 1 swings round with
	// the object at the next physics frame.
	const EFObjCollisionPrim* const box = prims.GetPrimitive( 1 );
	const DTVector3d before = box->moPrimPos - DTVector3d( at.x, at.y, at.z );
	EXPECT_NEAR( before.x, stored.prims[1].offset[0], 1e-4f );
	const RwV3d up = { 0.0f, 1.0f, 0.0f };
	RwFrameRotate( object->GetFrame()->GetRwFrame(), &up, 90.0f, rwCOMBINEPRECONCAT );
	gpoWorldMgr->Update( 1.0f / 60.0f );
	const DTVector3d after = box->moPrimPos - DTVector3d( at.x, at.y, at.z );
	EXPECT_NEAR( after.x, 0.0f, 1e-4f );
	EXPECT_NEAR( std::fabs( after.z ), std::fabs( stored.prims[1].offset[0] ), 1e-4f );
	EXPECT_NEAR( after.y, before.y, 1e-4f );
}

TEST_F( EFLevelObjectsTest, ARotateModuleOnTheHotSpotTurnsItsFrameEveryPhysicsFrame ) {
	ASSERT_NO_FATAL_FAILURE( LoadSampleLevel() );
	EFGameObject* const spot = InWorld( TOOL_SAMPLE_HOT_SPOT_OBJECT_ID );
	ASSERT_NE( spot->mpoPhysic, nullptr );
	// What logic does through the physics table: a module, its mask, the
	// body's context, the body made dynamic (only moving bodies run their
	// modules) and a spin of 1.5 rad/s about y.
	const u32 handle = DMAdd( TOOL_SAMPLE_HOT_SPOT_OBJECT_ID, EF_DM_ROTATE );
	ASSERT_NE( handle, 0u );
	DMSetContextMask( handle, 0x1 );
	spot->mpoPhysic->mui32CurrentContext = 0x1;
	spot->mpoPhysic->mui32PhysicFlags |= EF_PHYSIC_DYNAMIC;
	spot->mpoPhysic->NormalizeFlags();
	DMRotateParams spin = { 1.5f, { 0.0f, 1.0f, 0.0f } };
	DMSetParams( handle, &spin );
	const RwMatrix& m = spot->GetFrame()->moFrame.modelling;
	for ( u32 update = 1; update <= 12; update++ ) {
		gpoWorldMgr->Update( 1.0f / 60.0f );
		const f32 angle = std::atan2( -m.right.z, m.right.x );
		EXPECT_NEAR( angle, 1.5f * static_cast<f32>( update ) / 60.0f, 1e-4f ) << update;
	}
	EXPECT_TRUE( FrameAt( spot, ToolSampleHotSpotObject( 0 ).position ) );
}

TEST_F( EFLevelObjectsTest, ASplineMoveModuleRidesTheSampleSplinesOnTheHotSpot ) {
	ASSERT_NO_FATAL_FAILURE( LoadSampleLevel() );
	ASSERT_NE( gpoSplineMgr, nullptr );
	EFGameObject* const spot = InWorld( TOOL_SAMPLE_HOT_SPOT_OBJECT_ID );
	ASSERT_NE( spot->mpoPhysic, nullptr );
	const u32 handle = DMAdd( TOOL_SAMPLE_HOT_SPOT_OBJECT_ID, EF_DM_SPLINE_MOVE );
	ASSERT_NE( handle, 0u );
	DMSetContextMask( handle, 0x1 );
	spot->mpoPhysic->mui32CurrentContext = 0x1;
	spot->mpoPhysic->mui32PhysicFlags |= EF_PHYSIC_DYNAMIC;
	spot->mpoPhysic->NormalizeFlags();
	// No stick: the base speed, 3 units/s, oriented along the spline, the
	// body's velocity set each frame (mode 1).
	DMSplineMoveParams ride = { 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 2.0f, 3.0f, 3.0f, 2.0f, 0.707f, 0.707f, 0, 0x40, 1,
								1.0f, 1.0f, 1.0f };
	DMSetParams( handle, &ride );
	u32 open[2] = { TOOL_SAMPLE_OPEN_SPLINE_ID, 1 };
	DMDoAction( handle, 2, open );
	const RwMatrix& m = spot->GetFrame()->moFrame.modelling;
	EXPECT_NEAR( m.pos.x, 0.0f, 1e-5f );
	EXPECT_NEAR( m.pos.z, 0.0f, 1e-5f );
	u32 update = 0;
	while ( ( DMGetState( handle ) & 0x2 ) == 0 && update < 600 ) {
		gpoWorldMgr->Update( 1.0f / 60.0f );
		update++;
	}
	// About 13 units of spline at 3 units/s.
	EXPECT_GT( update, 180u );
	EXPECT_LT( update, 330u );
	EXPECT_NEAR( m.pos.x, 10.0f, 0.3f );
	EXPECT_NEAR( m.pos.z, 4.0f, 0.3f );

	// On the loop it circles: 8 x 8 around (0, 2, 10), never at an end.
	u32 loop[2] = { TOOL_SAMPLE_LOOP_SPLINE_ID, 1 };
	DMDoAction( handle, 2, loop );
	f32 lowestX = 10.0f;
	f32 highestZ = 0.0f;
	for ( update = 0; update < 600; update++ ) {
		gpoWorldMgr->Update( 1.0f / 60.0f );
		lowestX = std::fmin( lowestX, m.pos.x );
		highestZ = std::fmax( highestZ, m.pos.z );
		ASSERT_EQ( DMGetState( handle ) & 0x2, 0u ) << update;
		const f32 dx = std::fabs( m.pos.x );
		const f32 dz = std::fabs( m.pos.z - 10.0f );
		ASSERT_LT( std::fmax( dx, dz ), 4.3f ) << update;
		ASSERT_GT( std::fmax( dx, dz ), 1.5f ) << update;
	}
	EXPECT_LT( lowestX, -2.5f );
	EXPECT_GT( highestZ, 12.5f );
}

// The hot spot's state-change notices, recorded from now on.
static const std::vector<DMStateChangeRecord>& RecordHotSpotStateChanges() {
	static std::vector<DMStateChangeRecord> notes;
	notes.clear();
	gpoGameLogicMgr->GetNotificationMgr().RegisterNotify(
		NO_PHYSIC_DMSTATECHANGE, TOOL_SAMPLE_HOT_SPOT_OBJECT_ID, TOOL_SAMPLE_HOT_SPOT_OBJECT_ID,
		[]( void*, void* data ) -> s32 {
			notes.push_back( *static_cast<const DMStateChangeRecord*>( data ) );
			return 0;
		},
		nullptr );
	return notes;
}

TEST_F( EFLevelObjectsTest, AnEnvironmentProbeOnTheHotSpotsBoxFeelsTheSampleFloor ) {
	ASSERT_NO_FATAL_FAILURE( LoadSampleLevel() );
	EFGameObject* const spot = InWorld( TOOL_SAMPLE_HOT_SPOT_OBJECT_ID );
	ASSERT_NE( spot->mpoPhysic, nullptr );
	EFPhysic& body = *spot->mpoPhysic;
	const EFObjCollisionPrim* const box = body.moCollisionModel.GetPrimitive( 0 );
	ASSERT_NE( box, nullptr );
	const std::vector<DMStateChangeRecord>& notes = RecordHotSpotStateChanges();
	// What logic does through the physics table: the probe on the box,
	// 5% larger, seeing what detect type 1 sees, the start and the loss
	// notified; the body moving and colliding, in context 1.
	const u32 handle = DMAdd( TOOL_SAMPLE_HOT_SPOT_OBJECT_ID, EF_DM_ENV_COLL );
	ASSERT_NE( handle, 0u );
	DMSetContextMask( handle, 0x1 );
	DMSetStateChangeNotifyBits( handle, 0x3 );
	DMEnvCollParams probe = { box->mui32Tag, { 0.0f, 0.0f, 0.0f }, 1.05f, 0, 0, 0x1 };
	DMSetParams( handle, &probe );
	body.mui32CurrentContext = 0x1;
	body.mui32PhysicFlags |= EF_PHYSIC_DYNAMIC | EF_PHYSIC_COLLIDING;
	body.NormalizeFlags();
	RwFrame* const frame = spot->GetFrame()->GetRwFrame();
	const auto moveBy = [&]( const f32 dy ) {
		const RwV3d up = { 0.0f, dy, 0.0f };
		RwFrameTranslate( frame, &up, rwCOMBINEPOSTCONCAT );
		RwFrameUpdateObjects( frame );
	};

	// One unit up: nothing touched. Back onto the floor: contact, once.
	moveBy( 1.0f );
	gpoWorldMgr->Update( 1.0f / 60.0f );
	EXPECT_EQ( DMGetState( handle ), 0u );
	moveBy( -1.0f );
	for ( int i = 0; i < 5; i++ ) {
		gpoWorldMgr->Update( 1.0f / 60.0f );
	}
	EXPECT_EQ( DMGetState( handle ), 1u );
	DMEnvCollContact contact = {};
	DMDoAction( handle, DM_ENV_COLL_GET_CONTACT, &contact );
	EXPECT_NEAR( contact.oNormal.y, 1.0f, 1e-5f );
	EXPECT_NEAR( contact.oPoint.y, 0.0f, 1e-5f );
	EXPECT_NEAR( contact.oPoint.x, 4.0f, 1e-4f );
	EXPECT_EQ( contact.oAttribs.ui32DetectedBy, 0x1u );
	ASSERT_EQ( notes.size(), 1u );
	EXPECT_EQ( notes[0].ui32State, 1u );

	// Lifted: the loss, notified, and the contact cleared.
	moveBy( 2.0f );
	gpoWorldMgr->Update( 1.0f / 60.0f );
	EXPECT_EQ( DMGetState( handle ), 2u );
	ASSERT_EQ( notes.size(), 2u );
	EXPECT_EQ( notes[1].ui32State, 2u );
	EXPECT_EQ( notes[1].ui32Changed, 2u );
	DMDoAction( handle, DM_ENV_COLL_GET_CONTACT, &contact );
	EXPECT_EQ( contact.oAttribs.ui32DetectedBy, 0u );
}

TEST_F( EFLevelObjectsTest, ARopeDetectorOnTheHotSpotFindsTheSampleSplinesItIsMovedOnto ) {
	ASSERT_NO_FATAL_FAILURE( LoadSampleLevel() );
	ASSERT_NE( gpoSplineMgr, nullptr );
	EFGameObject* const spot = InWorld( TOOL_SAMPLE_HOT_SPOT_OBJECT_ID );
	ASSERT_NE( spot->mpoPhysic, nullptr );
	EFPhysic& body = *spot->mpoPhysic;
	EFObjCollisionPrim* const box = body.moCollisionModel.GetPrimitive( 0 );
	ASSERT_NE( box, nullptr );
	const std::vector<DMStateChangeRecord>& notes = RecordHotSpotStateChanges();
	const u32 handle = DMAdd( TOOL_SAMPLE_HOT_SPOT_OBJECT_ID, EF_DM_ROPE_DETECT );
	ASSERT_NE( handle, 0u );
	DMSetContextMask( handle, 0x1 );
	DMSetStateChangeNotifyBits( handle, 0x2 );
	DMRopeDetectParams params = { { box->mui32Tag, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF } };
	DMSetParams( handle, &params );
	body.mui32CurrentContext = 0x1;
	body.mui32PhysicFlags |= EF_PHYSIC_DYNAMIC;
	body.NormalizeFlags();
	RwFrame* const frame = spot->GetFrame()->GetRwFrame();
	for ( const u32 id : { TOOL_SAMPLE_OPEN_SPLINE_ID, TOOL_SAMPLE_LOOP_SPLINE_ID } ) {
		SCOPED_TRACE( id );
		u32 index = 0;
		while ( index < gpoSplineMgr->GetNbSplines() && gpoSplineMgr->GetSpline( index )->mui16ID != id ) {
			index++;
		}
		ASSERT_LT( index, gpoSplineMgr->GetNbSplines() );
		// The box's centre moved onto a point of the spline.
		body.moCollisionModel.PrecalcData();
		DTVector3d point;
		gpoSplineMgr->GetSpline( index )->GetPoint( 0, 0.5f, point );
		const DTVector3d by = point - box->moPrimPos;
		RwFrameTranslate( frame, DTAsRwV3d( &by ), rwCOMBINEPOSTCONCAT );
		RwFrameUpdateObjects( frame );
		gpoWorldMgr->Update( 1.0f / 60.0f );
		DMRopeDetectData data = {};
		DMGetData( handle, &data );
		EXPECT_EQ( data.ui32SplineIndex, index );
		EXPECT_EQ( data.ui32PrimTag, box->mui32Tag );
		EXPECT_EQ( DMGetState( handle ), 0x2u );
	}
	// Notified once: the bit of value 2 stayed set from one spline to the
	// other.
	ASSERT_EQ( notes.size(), 1u );
	EXPECT_EQ( notes[0].ui32State, 0x2u );
	EXPECT_EQ( notes[0].ui32Changed, 0x2u );
}

TEST_F( EFLevelObjectsTest, ObjectsThatAnotherOwnerTookOutliveTheContainersTheyWereLoadedIn ) {
	MakeController();
	constexpr u32 GROUP = 77;
	constexpr u32 LIVE = 0x2A000021;
	constexpr u32 LATENT = 0x2A000022 | TOOL_LATENT_TEMPLATE_BIT;
	constexpr u32 HOLDER = 0x2A000023;
	const ToolContainerEntry group = { TOOL_CLASS_WAYPOINT_GROUP, WaypointRecord( GROUP ).object };
	const ToolContainerEntry dictionary = { CLASS_TEXTURE_DICT, {} };
	ToolGloRecord groupHolder = PlainObject( HOLDER );
	groupHolder.descriptors = { group };
	ToolGloRecord dictionaryHolder = PlainObject( HOLDER );
	dictionaryHolder.descriptors = { dictionary };

	// A level's last record is deleted after the load when it is a
	// container, and a game object's record (descriptor list included)
	// right after the object is built.
	struct Row {
		const char*				name;
		ToolResourceRecord		record;
		u32						group;
		u32						live;
		u32						latent;
	};
	const Row rows[] = {
		{ "last container holding a waypoint group", ContainerOf( { group } ), GROUP, 0, 0 },
		{ "last container holding a live game object",
		  ContainerOf( { { TOOL_CLASS_GAME_OBJECT, GloBytes( PlainObject( LIVE ) ) } } ), 0, LIVE, 0 },
		{ "last container holding a latent game object",
		  ContainerOf( { { TOOL_CLASS_GAME_OBJECT, GloBytes( PlainObject( LATENT ) ) } } ), 0, 0, LATENT },
		{ "last container holding the texture dictionary", ContainerOf( { dictionary } ), 0, 0, 0 },
		{ "game object whose descriptors hold a waypoint group",
		  Record( TOOL_CLASS_GAME_OBJECT, GloBytes( groupHolder ) ), GROUP, HOLDER, 0 },
		{ "game object whose descriptors hold the texture dictionary",
		  Record( TOOL_CLASS_GAME_OBJECT, GloBytes( dictionaryHolder ) ), 0, HOLDER, 0 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		DestroyLevelObjects();
		WriteLevel( { WaypointRecord( 1 ), row.record } );
		EXPECT_EQ( Reload(), 0 );
		EXPECT_TRUE( GroupLoaded( 1 ) );
		if ( row.group != 0 ) {
			EXPECT_TRUE( GroupLoaded( row.group ) );
		}
		if ( row.live != 0 ) {
			ASSERT_NE( InWorld( row.live ), nullptr );
			EXPECT_EQ( InWorld( row.live )->GetUID(), row.live );
		}
		if ( row.latent != 0 ) {
			const _EFLatant* const latent = Template( row.latent );
			ASSERT_NE( latent, nullptr );
			EXPECT_EQ( latent->mpoGameObject->GetUID(), row.latent );
		}
		EXPECT_EQ( gpoGameLogicMgr->GetLatentMap().GetCount(), row.latent != 0 ? 1u : 0u );
		EXPECT_EQ( EFTextureDict::GetInstance()->GetTexture( "ANY" ), nullptr );
	}
	// A level change after the last shape, and another level that loads.
	DestroyLevelObjects();
	WriteLevel( { WaypointRecord( 2 ) } );
	EXPECT_EQ( Reload(), 0 );
	EXPECT_TRUE( GroupLoaded( 2 ) );
	EXPECT_EQ( DTWpGrpMgr::moWpGrpMgr.GetWaypointGrp( GROUP ), nullptr );
}

TEST_F( EFLevelObjectsTest, AGameObjectRecordThatFailsEndsTheLevelWhereItStands ) {
	MakeController();
	constexpr u32 BEFORE = 0x2A000001;
	constexpr u32 FAILING = 0x2A000002;
	constexpr u32 AFTER = 0x2A000003;

	ToolGloRecord foreign = PlainObject( FAILING );
	foreign.descriptors = { { static_cast<s32>( NOT_REGISTERED_CLASS ), {} } };
	ToolGloRecord foreignTemplate = foreign;
	foreignTemplate.uid = FAILING | TOOL_LATENT_TEMPLATE_BIT;
	// A magic count above the size declared before it.
	ToolGloRecord oversizedMagic = PlainObject( FAILING );
	oversizedMagic.magic.size = 2;
	oversizedMagic.magic.bytes = { 1, 2, 3, 4 };
	// A descriptor list without its end, which runs on into the next
	// record and takes that record's UID for a class id.
	std::vector<u8> unterminated = GloBytes( PlainObject( FAILING ) );
	unterminated.resize( unterminated.size() - 12 );

	struct Row {
		const char*		name;
		std::vector<u8>	failing;
		s32				result;
	};
	const Row rows[] = {
		{ "descriptor of an unregistered class", GloBytes( foreign ), DT_PERSIST_UNKNOWN_CLASS },
		{ "template with a descriptor of an unregistered class", GloBytes( foreignTemplate ), DT_PERSIST_UNKNOWN_CLASS },
		{ "magic data larger than its declared size", GloBytes( oversizedMagic ), DT_PERSIST_READ_PAST_END },
		{ "descriptor list running into the next record", unterminated, DT_PERSIST_UNKNOWN_CLASS },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		DestroyLevelObjects();
		WriteLevel( { Record( TOOL_CLASS_GAME_OBJECT, GloBytes( PlainObject( BEFORE ) ) ),
					  Record( TOOL_CLASS_GAME_OBJECT, row.failing ),
					  Record( TOOL_CLASS_GAME_OBJECT, GloBytes( PlainObject( AFTER ) ) ) } );
		EXPECT_EQ( Reload(), row.result );
		EXPECT_EQ( DTNbrFileInUse(), 0u );
		EXPECT_EQ( MMGetActualHeap(), MM_GLOBAL_HEAP );
		EXPECT_NE( InWorld( BEFORE ), nullptr );
		EXPECT_EQ( InWorld( FAILING ), nullptr );
		EXPECT_EQ( InWorld( AFTER ), nullptr );
		EXPECT_EQ( gpoGameLogicMgr->GetLatentMap().GetCount(), 0u );
	}
}

TEST_F( EFLevelObjectsTest, AFailingParticleContainerEndsTheLevelAndTheManagerStays ) {
	MakeController();
	constexpr u32 BEFORE = 0x2A000001;
	constexpr u32 AFTER = 0x2A000003;
	constexpr s32 TYPE_CONTAINER = 41;
	constexpr s32 EMITTER_CONTAINER = 37;
	PLMgr* const manager = gpoPLParticleMgr;
	ASSERT_NE( manager, nullptr );
	WriteLevel( { Record( TOOL_CLASS_GAME_OBJECT, GloBytes( PlainObject( BEFORE ) ) ),
				  Record( TYPE_CONTAINER, ToolParticleWriter::MalformedTypeContainer( "size" ) ),
				  Record( TOOL_CLASS_GAME_OBJECT, GloBytes( PlainObject( AFTER ) ) ) } );
	EXPECT_EQ( Reload(), -2 );
	EXPECT_EQ( gpoPLParticleMgr, manager );
	EXPECT_NE( InWorld( BEFORE ), nullptr );
	EXPECT_EQ( InWorld( AFTER ), nullptr );

	// The failed container took the manager's first load: a level's type
	// and emitter containers then come one too many, until the world's
	// termination ends the particles and the next level loads types again.
	DestroyLevelObjects();
	WriteLevel( { Record( TYPE_CONTAINER, ToolParticleWriter::MalformedTypeContainer( "nb-zero" ) ),
				  Record( EMITTER_CONTAINER, ToolParticleWriter::EmitterContainerBytes( {} ) ) } );
	EXPECT_EQ( Reload(), -2 );
	gpoPLParticleMgr->Terminate();
	EXPECT_EQ( Reload(), 0 );
	EXPECT_EQ( gpoPLParticleMgr, manager );
}

}

TEST_F( EFLevelObjectsTest, ASplineCameraFollowsItsTargetAlongTheLevelsCameraSpline ) {
	// A camera spline (id 3) along +x, a target whose camera animation node
	// holds the spline's track, and a camera object, all from the writers.
	constexpr u32 TARGET = 0x2A000041;
	constexpr u32 CAMERA = 0x2A000042;
	constexpr u32 ANIM_RES_ID = 0x49000007;
	constexpr u16 SPLINE = 3;
	ToolSplineInput spline;
	spline.id = SPLINE;
	spline.flags = TOOL_SPLINE_FLAG_ROPE;
	for ( u32 i = 0; i <= 8; i++ ) {
		spline.points.push_back( { static_cast<f64>( i ), 0.0, 0.0 } );
	}
	ToolResourceRecord splines;
	std::string error;
	ASSERT_TRUE( ToolSplineWriter::WriteRecord( { spline }, splines, error ) ) << error;
	ToolAnimBlock block;
	ToolAnimTrack track;
	track.joint = SPLINE;
	track.entries.resize( 5 );
	block.tracks = { track };
	// x along the spline's length, y and z fixed, far clip 300, and a
	// focal length of the half film width: a quarter-turn field of view.
	const ToolCurve curves[5] = { ToolAnimCurveWriter::Linear( 0.0f, 1.0f, 0.0f, 8.0f ),
								  ToolAnimCurveWriter::Constant( 2.0f ), ToolAnimCurveWriter::Constant( -4.0f ),
								  ToolAnimCurveWriter::Constant( 300.0f ), ToolAnimCurveWriter::Constant( 12.44712f ) };
	const u32 channels[5] = { 3, 4, 5, 19, 20 };
	for ( u32 i = 0; i < 5; i++ ) {
		block.tracks[0].entries[i].target = channels[i];
		block.tracks[0].entries[i].offset = ToolAnimCurveWriter::AppendCurve( block, curves[i] );
	}
	ToolBigEndianWriter resource;
	resource.WriteU32( ANIM_RES_ID );
	resource.WriteU32( 1 );
	for ( const u8 byte : ToolAnimBlockWriter::Encode( block ) ) {
		resource.WriteU8( byte );
	}
	ToolInstanceDescriptor node;
	node.classId = TOOL_CLASS_CAMERA_ANIM_DESCR;
	node.header = { 0x53000001, static_cast<s32>( ANIM_RES_ID ), -1 };
	ToolGloRecord target = PlainObject( TARGET );
	target.position = { 2.0f, 0.0f, 0.5f };
	target.descriptors = { ToolInstanceWriter::Entry( node ) };
	ToolGloRecord camera = PlainObject( CAMERA );
	camera.position = { 0.0f, 1.0f, -3.0f };
	MakeController();
	WriteLevel( { splines, Record( EF_ANIM_RES_CLASS_ID, resource.Take() ), Record( TOOL_CLASS_GAME_OBJECT, GloBytes( target ) ),
				  Record( TOOL_CLASS_GAME_OBJECT, GloBytes( camera ) ) } );
	ASSERT_EQ( Load(), 0 );
	ASSERT_NE( gpoSplineMgr, nullptr );
	ASSERT_NE( InWorld( TARGET ), nullptr );
	ASSERT_EQ( InWorld( TARGET )->moAnimationMgr.muiNbAnims, 1u );
	EFGameObject* const object = InWorld( CAMERA );
	ASSERT_NE( object, nullptr );
	// Logic gives the camera object its body and the camera module.
	EFPhysic* const body = object->CreatePhysic( 0 );
	ASSERT_NE( body, nullptr );
	body->mui32PhysicFlags = EF_PHYSIC_DYNAMIC;
	body->NormalizeFlags();
	body->mui32CurrentContext = 0x1;
	const u32 handle = DMAdd( CAMERA, EF_DM_CAMERA_FLEX );
	ASSERT_NE( handle, 0u );
	DMSetContextMask( handle, 0x1 );
	DMCameraFlexParams params = {};
	DMSetParams( handle, nullptr );
	DMGetParams( handle, &params );
	params.ui32TargetId = TARGET;
	params.ui32AnimObjectId = TARGET;
	params.i32Mode = 0;
	params.fHorizontalSmoothing = 0.0f;
	params.fMaxAcceleration = 1e9f;
	DMSetParams( handle, &params );
	// The track's far clip and field of view go to camera 0 of the
	// graphics manager, here over the library the test started; it stands
	// back, so that both objects stay in view and keep running.
	EFGraphicsMgr* const graphics = new EFGraphicsMgr( context );
	EFCamera* const view = graphics->GetCamera( graphics->CreateCamera( nullptr ) );
	ASSERT_NE( view, nullptr );
	const RwV3d back = { 3.0f, 1.0f, -20.0f };
	RwFrameTranslate( view->GetFrame()->GetRwFrame(), &back, rwCOMBINEREPLACE );
	const RwMatrix& m = object->GetFrame()->moFrame.modelling;
	for ( const f32 x : { 2.0f, 3.5f, 6.0f } ) {
		SCOPED_TRACE( x );
		InWorld( TARGET )->GetFrame()->moFrame.modelling.pos.x = x;
		RwFrameUpdateObjects( InWorld( TARGET )->GetFrame()->GetRwFrame() );
		gpoWorldMgr->Update( 1.0f / 60.0f );
		EXPECT_NEAR( m.pos.x, x, 1e-3f );
		EXPECT_NEAR( m.pos.y, 2.0f, 1e-3f );
		EXPECT_NEAR( m.pos.z, -4.0f, 1e-3f );
		EXPECT_EQ( DMGetState( handle ) & 0x1, 0u );
		// Looking toward the target.
		EXPECT_GT( m.at.z, 0.5f );
		f32 nearPlane = 0.0f;
		f32 farPlane = 0.0f;
		view->GetClipPlanes( nearPlane, farPlane );
		EXPECT_EQ( farPlane, 300.0f );
		f32 width = 0.0f;
		f32 height = 0.0f;
		view->GetViewWindow( width, height );
		EXPECT_NEAR( width, 1.0f, 1e-5f );
	}
	graphics->DestroyCamera( 0 );
	delete graphics;
}

TEST_F( EFLevelObjectsTest, GridDescriptorsMakeGridsThatOnlyTheFirstPlacesSimulationModuleLaysOut ) {
	// Quads of their own for each grid, the sample model (no quad) for two
	// users, a lit static world, then one object a row.
	constexpr u32 QUAD_IDS[] = { 0x5B000011, 0x5B000012, 0x5B000013, 0x5B000014 };
	constexpr u32 MODEL_ID = 0x5B000015;
	constexpr f32 WIDTH = 10.0f;
	constexpr f32 DEPTH = 4.0f;
	constexpr f32 CELLS[3] = { 1.0f, 1.0f, 1.0f };
	const u8 colour[4] = { 40, 80, 160, 255 };
	const auto descriptor = []( const s32 classId, const u32 uid, const s32 puid ) {
		ToolInstanceDescriptor made;
		made.classId = classId;
		made.header = { uid, puid, -1 };
		return ToolInstanceWriter::Entry( made );
	};
	struct Row {
		const char*						name;
		u32								id;
		std::vector<ToolContainerEntry>	descriptors;
		u32								module;		// 0: none
		u32								models;		// muiNb3dObj
		s32								firstClass;
		bool							laidOut;	// the first grid, by the module
		u32								columns;
		u32								rows;
	};
	const Row rows[] = {
		{ "water over a quad", 0x2A000051, { descriptor( TOOL_CLASS_WATER_GRID_DESCR, 0x0F000051, QUAD_IDS[0] ) },
		  EF_DM_WATER, 1, 65, true, 20, 6 },
		{ "fog over a quad", 0x2A000052, { descriptor( TOOL_CLASS_GROUND_FOG_GRID_DESCR, 0x0F000052, QUAD_IDS[1] ) },
		  EF_DM_GROUND_FOG, 1, 86, true, 20, 6 },
		// No rectangle: the degenerate layout of zero extents.
		{ "water over a model that is no quad", 0x2A000053,
		  { descriptor( TOOL_CLASS_WATER_GRID_DESCR, 0x0F000053, MODEL_ID ) }, EF_DM_WATER, 1, 65, true, 12, 4 },
		{ "water without a resource", 0x2A000054, { descriptor( TOOL_CLASS_WATER_GRID_DESCR, 0x0F000054, -1 ) },
		  EF_DM_WATER, 1, 65, false, 0, 0 },
		{ "water module over a 3D object", 0x2A000055, { descriptor( TOOL_CLASS_3D_OBJECT_DESCR, 0x0F000055, MODEL_ID ) },
		  EF_DM_WATER, 1, EF_3D_OBJ_CLASS_ID, false, 0, 0 },
		{ "two water grids", 0x2A000056,
		  { descriptor( TOOL_CLASS_WATER_GRID_DESCR, 0x0F000056, QUAD_IDS[2] ),
			descriptor( TOOL_CLASS_WATER_GRID_DESCR, 0x0F000057, QUAD_IDS[3] ) },
		  EF_DM_WATER, 2, 65, true, 20, 6 },
	};
	MakeController();
	std::vector<ToolResourceRecord> records = { ToolSampleStaticWorldRecord() };
	for ( const u32 id : QUAD_IDS ) {
		records.push_back(
			Record( TOOL_CLASS_3D_OBJECT_RES, ToolModelResourceWriter::Record( ToolQuadModel( id, WIDTH, DEPTH, colour ) ) ) );
	}
	records.push_back(
		Record( TOOL_CLASS_3D_OBJECT_RES, ToolModelResourceWriter::Record( ToolSampleModel( MODEL_ID, 2 ) ) ) );
	for ( const Row& row : rows ) {
		ToolGloRecord object = PlainObject( row.id );
		object.descriptors = row.descriptors;
		records.push_back( Record( TOOL_CLASS_GAME_OBJECT, GloBytes( object ) ) );
	}
	WriteLevel( records );
	ASSERT_EQ( Load(), 0 );
	ASSERT_NE( gpoWorldMgr->GetCurrentWorld(), nullptr );

	// Before any module: every grid is drawn as a plain 3D object.
	std::vector<u32> handles;
	for ( const Row& row : rows ) {
		EFGameObject* const object = InWorld( row.id );
		ASSERT_NE( object, nullptr );
		for ( u32 i = 0; i < object->muiNb3dObj; i++ ) {
			const EF3dObj* const grid = object->Get3dObject( i );
			ASSERT_NE( grid, nullptr );
			if ( grid->GetClassID() == 65 ) {
				EXPECT_FALSE( static_cast<const EFWaterGrid*>( grid )->moGrid.IsDrawable() ) << row.name;
			}
		}
		EFPhysic* const body = object->CreatePhysic( 0 );
		ASSERT_NE( body, nullptr );
		body->mui32PhysicFlags |= EF_PHYSIC_DYNAMIC;
		body->NormalizeFlags();
		body->mui32CurrentContext = 1;
		const u32 handle = DMAdd( row.id, row.module );
		ASSERT_NE( handle, 0u ) << row.name;
		DMSetContextMask( handle, 1 );
		u32 none = 0;
		DMWaterSimulationParams water = {};
		water.fDamping = 0.98f;
		water.fWaveSpeed = 1.0f;
		water.fMaxHeight = 0.2f;
		water.pui32CharacterIds = &none;
		DMGroundFogSimulationParams fog = { { 6.0f, 2.0f, 0.5f, 1.0f }, 0, nullptr, {} };
		for ( u32 i = 0; i < 3; i++ ) {
			water.afGridValues[i] = fog.afGridValues[i] = CELLS[i];
		}
		DMSetParams( handle, row.module == EF_DM_WATER ? static_cast<void*>( &water ) : static_cast<void*>( &fog ) );
		handles.push_back( handle );
	}
	gpoWorldMgr->Update( 1.0f / 60.0f );

	for ( u32 i = 0; i < std::size( rows ); i++ ) {
		const Row& row = rows[i];
		SCOPED_TRACE( row.name );
		EFGameObject* const object = InWorld( row.id );
		ASSERT_EQ( object->muiNb3dObj, row.models );
		EF3dObj* const first = object->Get3dObject( 0 );
		ASSERT_NE( first, nullptr );
		EXPECT_EQ( first->GetClassID(), row.firstClass );
		// A lone 3D object's clump is in the level's world; a grid's never.
		if ( first->mpClump != nullptr ) {
			EXPECT_EQ( RpClumpGetWorld( first->mpClump ) != nullptr, row.firstClass == EF_3D_OBJ_CLASS_ID );
		}
		const EFDMWaterSimulation* const module =
			static_cast<const EFDMWaterSimulation*>( EFPhysicMgr::moPhysicMgr.GetModule( handles[i] ) );
		ASSERT_NE( module, nullptr );
		const EF3dObj* const taken = row.module == EF_DM_WATER ? static_cast<const EF3dObj*>( module->mpoWaterGrid )
															   : static_cast<const EF3dObj*>( module->mpoFogGrid );
		if ( row.firstClass == EF_3D_OBJ_CLASS_ID ) {
			EXPECT_EQ( taken, nullptr );
			EXPECT_EQ( module->mpfBufferA, nullptr );
			continue;
		}
		EXPECT_EQ( taken, first );
		const EFGridLayout& layout = row.firstClass == 65 ? static_cast<EFWaterGrid*>( first )->moGrid
														   : static_cast<EFGroundFogGrid*>( first )->moGrid;
		EXPECT_EQ( layout.IsDrawable(), row.laidOut );
		EXPECT_EQ( layout.muiColumns, row.columns );
		EXPECT_EQ( layout.muiRows, row.rows );
		EXPECT_EQ( module->mui32CellCount, row.columns * row.rows );
		EXPECT_EQ( layout.mpfHeights, row.laidOut ? module->mpfBufferB : nullptr );
		if ( row.columns == 12 ) {
			EXPECT_EQ( layout.moLocalColumnStep.x, 0.0f );
		}
		// The second grid is made and owned, but no module lays it out.
		if ( row.models == 2 ) {
			const EFWaterGrid* const second = static_cast<const EFWaterGrid*>( object->Get3dObject( 1 ) );
			ASSERT_NE( second, nullptr );
			EXPECT_EQ( second->GetClassID(), 65 );
			EXPECT_EQ( second->mpGameObjectOwner, object );
			EXPECT_FALSE( second->moGrid.IsDrawable() );
			EXPECT_EQ( second->moGrid.mpfHeights, nullptr );
			EXPECT_EQ( RpClumpGetWorld( second->mpClump ), nullptr );
		}
	}
	EXPECT_EQ( static_cast<EFGroundFogGrid*>( InWorld( rows[1].id )->Get3dObject( 0 ) )->mafFog[0], 6.0f );
}
