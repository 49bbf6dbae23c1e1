#include "InstanceTestBench.h"

#include "framework/graphics/EF3dObj.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpWorld.h"

#include "datatypes/maths/DTFrame.h"
#include "datatypes/streamable/DTGlo.h"
#include "datatypes/descriptor/DTHotSpotDescriptor.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/animation/EFAnimNode.h"
#include "framework/logic/LogicFakeModule.h"
#include "framework/physics/EFObjCollisionBBox.h"
#include "framework/physics/EFObjCollisionSphere.h"
#include "framework/physics/EFObjCollisionSweptSphere.h"
#include "framework/physics/EFPhysic.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpHAnim.h"

#include <cmath>
#include <cstring>
#include <string>

namespace {

constexpr u32 OBJECT_ID = 0x2a000010;

EFGameObject* gDestructorObject = nullptr;

void NoteLogicDestructor( s32 ) {
	gDestructorObject = EFLogicStack::GetRunningGameObject();
}

const ToolInstanceDescriptor MODEL = InstanceTestBench::Descriptor( TOOL_CLASS_3D_OBJECT_DESCR, 0x0f000001 );
const ToolInstanceDescriptor NODE = InstanceTestBench::Descriptor( TOOL_CLASS_ANIM_NODE_DESCR, 0x4a000001 );
const ToolInstanceDescriptor SOUND = InstanceTestBench::Descriptor( TOOL_CLASS_SOUND_DESCR, 0x07000001 );
const ToolInstanceDescriptor LIGHT = InstanceTestBench::Descriptor( TOOL_CLASS_LIGHT_DESCR, 0x12000001 );
const ToolInstanceDescriptor WATER = InstanceTestBench::Descriptor( TOOL_CLASS_WATER_GRID_DESCR, 0x0f000002 );
const ToolInstanceDescriptor FOG = InstanceTestBench::Descriptor( TOOL_CLASS_GROUND_FOG_GRID_DESCR, 0x0f000003 );

ToolHotSpot HotSpot( const u32 primType, const std::vector<f32>& sizes ) {
	ToolHotSpot spot;
	spot.header = { 0x3f000001, -1, -1 };
	spot.primType = primType;
	spot.translation = { 0.5f, 1.0f, 1.5f };
	for ( u32 i = 0; i < spot.words.size(); i++ ) {
		spot.words[i] = 0x100 + i;
	}
	spot.sizes = sizes;
	return spot;
}

class EFGameObjectTest : public InstanceTestBench {
protected:
	EFGameObject* Load( const ToolGloRecord& record, s32* result = nullptr ) {
		return LoadObject( GloBytes( record ), result );
	}

	static std::vector<ToolContainerEntry> Entries( const std::vector<ToolInstanceDescriptor>& descriptors ) {
		std::vector<ToolContainerEntry> entries;
		for ( const ToolInstanceDescriptor& descriptor : descriptors ) {
			entries.push_back( ToolInstanceWriter::Entry( descriptor ) );
		}
		return entries;
	}

	static u32 Casters() {
		u32 count = 0;
		for ( const EFShadowMgr::_sObjectEntry* c = goShadowMgr.GetFirstCaster(); c != nullptr; c = c->mpNext ) {
			count++;
		}
		return count;
	}

	static u32 Receivers() {
		u32 count = 0;
		for ( const EFProjectorMgr::_sObjectEntry* r = goProjectorMgr.GetFirstReceiver(); r != nullptr; r = r->mpNext ) {
			count++;
		}
		return count;
	}
};

TEST_F( EFGameObjectTest, ANewObjectStartsWithItsDocumentedState ) {
	EFGameObject object;
	EXPECT_EQ( object.mpGameObjectOwner, &object );
	EXPECT_EQ( object.muiUtilFlag, 1u );
	EXPECT_EQ( object.muiClipTests, 4u );
	EXPECT_EQ( object.muiGroupMask, 1u );
	EXPECT_EQ( object.muiLogicFlags, 2u );
	EXPECT_EQ( object.moClipping.clipParams.fThreshold, 0.5f );
	for ( const EFClippingDistance& band : object.moClipping.clipParams.oDists ) {
		EXPECT_EQ( band.fDist, -1.0f );
		EXPECT_EQ( band.uiOutFrustClipOps, 0x6A0u );
		EXPECT_EQ( band.uiInFrustClipOps, 0u );
	}
	EXPECT_EQ( object.mShadowData.uiFlags, 2u );
	EXPECT_EQ( object.mShadowData.fDropDownAlpha, 0.2f );
	EXPECT_EQ( object.mShadowData.fDropDownReachDistance, 2.0f );
	EXPECT_EQ( object.mShadowData.uiDropDownResolution, 128u );
	EXPECT_EQ( object.mShadowData.uiDropDownJoint, 0x7FFFFFFFu );
	EXPECT_EQ( object.mShadowData.fCastedReachDistance, 4.0f );
	EXPECT_EQ( object.mShadowData.fCastedFadeStartRatio, 1.0f );
	EXPECT_EQ( object.moLinkObj.pData, &object );
	EXPECT_EQ( object.moLinkObj.pNext, nullptr );
	EXPECT_EQ( object.IsGameObjectVisible(), -1 );
	EXPECT_EQ( object.GetObjectFrame( EF_OWN_FRAME_JOINT ), nullptr );
}

TEST_F( EFGameObjectTest, TheOrthonormaliseCounterWrapsAfter127 ) {
	EFGameObject::msui8OrthonormalizeFrameBase = 126;
	const u8 expected[] = { 126, 127, 0, 1 };
	for ( const u8 value : expected ) {
		EFGameObject object;
		EXPECT_EQ( object.mui8OrthonormalizeFrame, value );
	}
}

TEST_F( EFGameObjectTest, InstancesAndNodesTakeTheirPlaces ) {
	// The nodes refer to the model by its resource id (the model has no
	// resource here): initialising them binds them to the 3D object.
	constexpr s32 MODEL_PUID = 0x0f000042;
	const ToolInstanceDescriptor model = Descriptor( TOOL_CLASS_3D_OBJECT_DESCR, 0x0f000001, MODEL_PUID );
	const ToolInstanceDescriptor node = Descriptor( TOOL_CLASS_ANIM_NODE_DESCR, 0x4a000001, -1, MODEL_PUID );
	EFGameObject* const object = Load( Record( OBJECT_ID, Entries( { model, node, SOUND, node } ) ) );
	EXPECT_EQ( object->muiNbInstance, 4 );
	EXPECT_EQ( object->muiNb3dObj, 1u );
	EXPECT_EQ( object->moAnimationMgr.muiBaseIndex, 1u );
	EXPECT_EQ( object->moAnimationMgr.muiNbAnims, 2u );
	EXPECT_EQ( object->moAnimationMgr.muiOwnerId, OBJECT_ID );
	ASSERT_NE( object->mppEFInstance[0], nullptr );
	EXPECT_EQ( object->mppEFInstance[0]->GetClassID(), EF_3D_OBJ_CLASS_ID );
	EXPECT_EQ( object->mppEFInstance[0]->mpGameObjectOwner, object );
	EXPECT_EQ( object->mppEFInstance[1], nullptr );
	EXPECT_EQ( object->mppEFInstance[2]->GetClassID(), 23 );
	EXPECT_EQ( object->mppEFInstance[3], nullptr );
	const u32 indices[] = { 1, 3 };
	for ( u32 j = 0; j < 2; j++ ) {
		const EFAnimNode* const node = object->moAnimationMgr.GetAnim( j );
		ASSERT_NE( node, nullptr );
		EXPECT_EQ( node->muiIndex, indices[j] );
		EXPECT_EQ( node->mpGameObjectOwner, object );
		EXPECT_EQ( node->mp3dObj, object->mppEFInstance[0] );
		EXPECT_EQ( node->muiAnimState, AS_STOPPED );
	}
	EXPECT_EQ( object->Get3dObject( 0 ), object->mppEFInstance[0] );
	EXPECT_EQ( gpoWorldMgr->FindGameObject( OBJECT_ID ), object );
	DestroyObject( object );
}

TEST_F( EFGameObjectTest, ThreeDObjectsGoToTheLevelWorldAloneAndToTheHudTogether ) {
	// A lone 3D object's clump goes to the level's world; the world's own
	// tests follow it there. Grids count as 3D objects but their quads
	// join neither world.
	const struct {
		std::vector<ToolInstanceDescriptor>	descriptors;
		u32									hud;
	} rows[] = {
		{ { MODEL }, 0 },
		{ { MODEL, MODEL }, 2 },
		{ { LIGHT, SOUND }, 0 },
		{ { WATER, MODEL }, 1 },
		{ { FOG, WATER }, 0 },
	};
	for ( const auto& row : rows ) {
		EFGameObject* const object = Load( Record( OBJECT_ID, Entries( row.descriptors ) ) );
		// The test models carry no clump: give each one, then put them in
		// the world again.
		object->RemoveInstancesFromWorld();
		std::vector<EF3dObj*> models;
		for ( u32 i = 0; i < object->muiNb3dObj; i++ ) {
			EF3dObj* const model = object->Get3dObject( i );
			ASSERT_NE( model, nullptr );
			ASSERT_EQ( model->mpClump, nullptr );
			model->mpClump = RpClumpCreate();
			models.push_back( model );
		}
		object->AddInstancesToWorld();
		EXPECT_EQ( RpWorldGetNumClumps( gpoHudMgr->GetWorld() ), row.hud );
		object->RemoveInstancesFromWorld();
		EXPECT_EQ( RpWorldGetNumClumps( gpoHudMgr->GetWorld() ), 0u );
		for ( EF3dObj* const model : models ) {
			RpClumpDestroy( model->mpClump );
			model->mpClump = nullptr;
		}
		DestroyObject( object );
	}
}

TEST_F( EFGameObjectTest, ALightDescriptorLeavesItsPlaceEmpty ) {
	EFGameObject* const object = Load( Record( OBJECT_ID, Entries( { LIGHT, MODEL } ) ) );
	EXPECT_EQ( object->muiNbInstance, 2 );
	EXPECT_EQ( object->mppEFInstance[0], nullptr );
	EXPECT_NE( object->mppEFInstance[1], nullptr );
	DestroyObject( object );
}

TEST_F( EFGameObjectTest, ALatentTemplateWaitsInTheTemplateMapWithItsRecord ) {
	const u32 latent = OBJECT_ID | EF_ID_LATENT;
	EFGameObject* const first = Load( Record( latent, Entries( { MODEL } ) ) );
	ASSERT_NE( gpoGameLogicMgr->GetLatentMap().Find( latent ), nullptr );
	DTGlo* const firstRecord = gpoGameLogicMgr->GetLatentMap().Find( latent )->mValue.mpoGlo;
	EFGameObject* const second = Load( Record( latent, Entries( { MODEL, SOUND } ) ) );
	EXPECT_EQ( gpoWorldMgr->FindGameObject( latent ), nullptr );
	const DTMap<u32, _EFLatant>::Node* const entry = gpoGameLogicMgr->GetLatentMap().Find( latent );
	ASSERT_NE( entry, nullptr );
	EXPECT_EQ( gpoGameLogicMgr->GetLatentMap().GetCount(), 1u );
	EXPECT_EQ( entry->mValue.mpoGameObject, second );
	ASSERT_NE( entry->mValue.mpoGlo, nullptr );
	EXPECT_EQ( entry->mValue.mpoGlo->moDescriptorsList.GetCount(), 2u );
	// Not initialised: no frame, nothing in a world.
	EXPECT_EQ( second->GetFrame(), nullptr );
	EXPECT_EQ( RpWorldGetNumClumps( gpoHudMgr->GetWorld() ), 0u );
	// The first template and its record are still the manager's: they go
	// with the level, as the map's do.
	EXPECT_TRUE( first->IsOwnedElsewhere() );
	EXPECT_NE( firstRecord, entry->mValue.mpoGlo );
}

TEST_F( EFGameObjectTest, InitialisingPlacesTheFrameAndCopiesTheMagicData ) {
	ToolGloRecord record = Record( OBJECT_ID, {} );
	record.position = { 1.0f, 2.0f, 3.0f };
	record.lookRight = { 0.0f, 0.0f, -1.0f };
	record.lookUp = { 0.0f, 1.0f, 0.0f };
	record.lookAt = { 1.0f, 0.0f, 0.0f };
	record.objectFlags = 0x1000;
	record.shadowsFlags = 5;
	record.magic = { 6, { 1, 2, 3, 4, 5, 6 } };
	EFGameObject* const object = Load( record );
	ASSERT_NE( object->GetFrame(), nullptr );
	const RwMatrix& m = object->GetFrame()->moFrame.modelling;
	EXPECT_EQ( m.pos.x, 1.0f );
	EXPECT_EQ( m.pos.z, 3.0f );
	EXPECT_EQ( m.right.z, -1.0f );
	EXPECT_EQ( m.at.x, 1.0f );
	EXPECT_EQ( object->muiLogicFlags, 0x1002u );
	EXPECT_EQ( object->mShadowData.uiFlags, 5u );
	EXPECT_EQ( object->GetMagicPreset( 5 ), nullptr );
	const u8* const magic = static_cast<const u8*>( object->GetMagicPreset( 6 ) );
	ASSERT_NE( magic, nullptr );
	EXPECT_EQ( std::memcmp( magic, "\x01\x02\x03\x04\x05\x06", 6 ), 0 );
	EXPECT_EQ( object->GetObjectFrame( EF_OWN_FRAME_JOINT ), object->GetFrame() );
	DestroyObject( object );
}

TEST_F( EFGameObjectTest, ClippingParametersSetTheTestBits ) {
	const struct {
		f32		firstDistance;
		u32		testsBefore;
		u32		testsAfter;
	} rows[] = {
		{ 10.0f, 0x0, 0x5 },
		{ 0.0f, 0x5, 0x4 },
		{ 0.0f, 0x1, 0x0 },
		{ -1.0f, 0x3, 0x2 },
	};
	for ( const auto& row : rows ) {
		EFGameObject object;
		object.muiClipTests = row.testsBefore;
		EFClippingParams params = {};
		params.fThreshold = 2.0f;
		params.oDists[0].fDist = row.firstDistance;
		object.SetClippingParams( &params, 0 );
		EXPECT_EQ( object.muiClipTests, row.testsAfter ) << row.firstDistance;
		EFClippingParams out = {};
		object.GetClippingParams( &out );
		EXPECT_EQ( std::memcmp( &out, &params, sizeof( params ) ), 0 );
		object.GetClippingParams( nullptr );
	}
	const struct {
		u32		objectId;
		f32		distance;
		u32		testsAfter;
	} proximity[] = { { 0x2a000001, 5.0f, 0x4 | 0x2 | 0x8 }, { 0, 5.0f, 0x4 }, { 0x2a000001, 0.0f, 0x4 } };
	for ( const auto& row : proximity ) {
		EFGameObject object;
		object.moProximityClipping.bInProxDist = 1;
		EFProximityClippingParams params = { row.objectId, row.distance, 1.0f, 0x80 };
		object.SetProximityClippingParams( &params );
		EXPECT_EQ( object.muiClipTests, row.testsAfter );
		EXPECT_EQ( object.moProximityClipping.bInProxDist, 0u );
	}
}

TEST_F( EFGameObjectTest, ChildrenInheritClippingOnlyBetweenGameObjects ) {
	EFGameObject parent;
	EFGameObject child;
	EFPosData plain;
	for ( EFPosData* instance : { static_cast<EFPosData*>( &parent ), static_cast<EFPosData*>( &child ), &plain } ) {
		ASSERT_NE( instance->CreateFrame( nullptr ), nullptr );
	}
	parent.SetUID( 0x2a000001 );
	child.SetUID( 0x2a000002 );
	EFClippingParams params = {};
	params.oDists[0] = { 30.0f, 0x400, 0x4 };
	parent.SetClippingParams( &params, 0 );
	parent.moClipping.uiClipOps = 0x4A0;
	parent.AddChild( &child, EF_ATTACH_INHERIT_CLIP );
	EXPECT_EQ( child.moClipping.clipParams.oDists[0].fDist, 30.0f );
	EXPECT_EQ( child.moClipping.uiClipOps, 0x4A0u );
	EXPECT_EQ( child.muiOldClipFlags, 0x4A0u );
	EXPECT_EQ( child.moAnimationMgr.muiClipMode, EF_ANIM_CLIP_ALL );
	EXPECT_NE( child.moLogicInstance.muiFlags & EF_LOGIC_CLIPPED, 0u );
	// A plain instance is attached but nothing of clipping is touched.
	parent.AddChild( &plain, EF_ATTACH_INHERIT_CLIP );
	EXPECT_EQ( plain.mpParent, &parent );
	// The recursive form reaches the game objects of the subtree.
	params.oDists[0].fDist = 50.0f;
	parent.SetClippingParams( &params, 1 );
	EXPECT_EQ( child.moClipping.clipParams.oDists[0].fDist, 50.0f );
	child.LeaveParent( 0 );
	plain.LeaveParent( 0 );
}

TEST_F( EFGameObjectTest, LogicFlagTransitionsReachTheirManagers ) {
	EFGameObject* const object = Load( Record( OBJECT_ID, Entries( { MODEL } ) ) );
	EF3dObj* const model = object->Get3dObject( 0 );
	ASSERT_NE( model, nullptr );
	// A lit geometry on the model: only the lit flag's own transitions
	// reach it.
	RpClump* const clump = RpClumpCreate();
	RpAtomic* const atomic = RpAtomicCreate();
	RpGeometry* const geometry = RpGeometryCreate( 3, 1, rpGEOMETRYLIGHT );
	ASSERT_NE( geometry, nullptr );
	RpAtomicSetGeometry( atomic, geometry, 0 );
	RpGeometryDestroy( geometry );
	RpClumpAddAtomic( clump, atomic );
	model->mpClump = clump;
	const struct {
		u32		flags;
		u32		stored;
		u32		casters;
		u32		receivers;
		bool	casterBit;
		u32		animFlags;
		u32		logicFlags;
		bool	lit;
	} rows[] = {
		{ 0x400, 0x400, 1, 0, true, 0, 0, true },
		{ 0xC00, 0xC00, 1, 0, true, 0, 0, true },
		{ 0x800, 0x800, 1, 0, true, 0, 0, true },
		{ 0x200, 0x200, 0, 1, false, 0, 0, true },
		{ 0x228, 0x228, 0, 1, false, 1, 2, true },
		{ 0x110, 0x100, 0, 0, false, 0, 0, true },
		{ 0x000, 0x000, 0, 0, false, 0, 0, false },
		{ 0x100, 0x100, 0, 0, false, 0, 0, true },
	};
	for ( const auto& row : rows ) {
		object->SetLogicFlags( row.flags );
		EXPECT_EQ( object->muiLogicFlags, row.stored ) << std::hex << row.flags;
		EXPECT_EQ( Casters(), row.casters ) << std::hex << row.flags;
		EXPECT_EQ( Receivers(), row.receivers ) << std::hex << row.flags;
		EXPECT_EQ( ( model->mui3dObjState & EF_3D_OBJ_SHADOW_CASTER ) != 0, row.casterBit ) << std::hex << row.flags;
		EXPECT_EQ( object->moAnimationMgr.muiFlags, row.animFlags );
		EXPECT_EQ( object->moLogicInstance.muiFlags & EF_LOGIC_PAUSED, row.logicFlags );
		EXPECT_EQ( ( geometry->flags & rpGEOMETRYLIGHT ) != 0, row.lit ) << std::hex << row.flags;
	}
	object->SetLogicFlags( 0 );
	model->mpClump = nullptr;
	RpClumpDestroy( clump );
	EXPECT_EQ( gpoWorldMgr->muiSpecialObjectId, 0u );
	object->SetLogicFlags( 0x2000 );
	EXPECT_EQ( gpoWorldMgr->muiSpecialObjectId, OBJECT_ID );
	// With a body the physics pause reaches it.
	EFPhysic* const body = object->CreatePhysic( 0 );
	ASSERT_NE( body, nullptr );
	object->SetLogicFlags( 0x10 );
	EXPECT_EQ( object->muiLogicFlags, 0x10u );
	EXPECT_NE( body->mui32PhysicFlags & EF_PHYSIC_PAUSED, 0u );
	object->SetLogicFlags( 0 );
	EXPECT_EQ( body->mui32PhysicFlags & EF_PHYSIC_PAUSED, 0u );
	DestroyObject( object );
}

TEST_F( EFGameObjectTest, InitialisingWithFlagsRegistersEveryModelAndTerminateUndoesIt ) {
	ToolGloRecord record = Record( OBJECT_ID, Entries( { MODEL, MODEL } ) );
	record.objectFlags = 0x4A00;
	EFGameObject* const object = Load( record );
	EXPECT_EQ( Casters(), 2u );
	EXPECT_EQ( Receivers(), 2u );
	for ( u32 i = 0; i < 2; i++ ) {
		EXPECT_NE( object->Get3dObject( i )->mui3dObjState & EF_3D_OBJ_SHADOW_CASTER, 0u );
	}
	LogicFakeModule module;
	module.SetDestructor( &NoteLogicDestructor );
	object->moLogicInstance.mpLogicCode = &module;
	gpoGameLogicMgr->LaunchLogicNow( object );
	gDestructorObject = nullptr;
	gpoLogicStack->miCurStackLevel = 3;
	object->Terminate();
	// The logic's destructor runs for this object, on the entry it wrote.
	EXPECT_EQ( gDestructorObject, object );
	EXPECT_EQ( gpoLogicStack->miCurStackLevel, 3 );
	EXPECT_EQ( module.GetRefCount(), 0u );
	gpoLogicStack->miCurStackLevel = 0;
	object->moLogicInstance.mpLogicCode = nullptr;
	EXPECT_EQ( gpoTestCamera->GetFrameCount(), 1u );
	// Every record of the object goes, not only the first: none may keep
	// the destroyed object for the next frame.
	EXPECT_EQ( Casters(), 0u );
	EXPECT_EQ( Receivers(), 0u );
	EXPECT_EQ( object->Get3dObject( 0 )->mui3dObjState & EF_3D_OBJ_SHADOW_CASTER, 0u );
	gpoWorldMgr->RemoveGameObject( OBJECT_ID );
	goShadowMgr.Terminate();
	goProjectorMgr.Terminate();
	delete object;
}

TEST_F( EFGameObjectTest, TheLogicFirstFlagClearsOneBandOnlyWhenItExists ) {
	for ( const u32 nodes : { 4u, 5u } ) {
		ToolGloRecord record = Record( OBJECT_ID, Entries( std::vector<ToolInstanceDescriptor>( nodes, NODE ) ) );
		record.objectFlags = 0x4000;
		EFGameObject* const object = Load( record );
		EXPECT_EQ( object->moAnimationMgr.muiNbAnims, nodes );
		for ( u32 band = 0; band < EF_CLIP_DISTANCE_COUNT; band++ ) {
			EXPECT_EQ( object->moClipping.clipParams.oDists[band].uiOutFrustClipOps, band == nodes ? 0u : 0x6A0u )
				<< nodes << " " << band;
		}
		DestroyObject( object );
	}
}

TEST_F( EFGameObjectTest, HotSpotsMakeTheObjectACollisionShape ) {
	const struct {
		u32					type;
		std::vector<f32>	sizes;
		f32					maxRadius;
	} rows[] = {
		{ 0, { 2.0f }, 2.0f },
		{ 1, { 1.0f, 0.0f, 0.0f, 0.0f }, 1.01f },
		{ 1, { 1.0f, 0.0f, 0.005f, 0.0f }, 1.01f },
		{ 1, { 1.0f, 3.0f, 4.0f, 0.0f }, 6.0f },
		{ 2, { 1.0f, 2.0f, 2.0f }, 3.0f },
	};
	for ( const auto& row : rows ) {
		ToolGloRecord record = Record( OBJECT_ID, { ToolInstanceWriter::Entry( HotSpot( row.type, row.sizes ) ) } );
		s32 result = -1;
		EFGameObject* const object = Load( record, &result );
		EXPECT_EQ( result, 0 );
		EXPECT_EQ( object->mppEFInstance[0], nullptr );
		ASSERT_NE( object->mpoPhysic, nullptr ) << row.type;
		const EFCollisionModel& model = object->mpoPhysic->moCollisionModel;
		ASSERT_EQ( model.mui32MaxPrims, 1u );
		const EFObjCollisionPrim* const prim = model.mppoPrimArray[0];
		ASSERT_NE( prim, nullptr );
		EXPECT_EQ( prim->mui32Shape, row.type );
		EXPECT_EQ( prim->GetFrame(), object->GetFrame() );
		EXPECT_NEAR( prim->mfMaxRadius, row.maxRadius, 1e-6f ) << row.type;
		EXPECT_NEAR( model.moPhysicBSphere.mfRadius, row.maxRadius, 1e-6f );
		EXPECT_EQ( model.moPhysicBSphere.moPos.y, 1.0f );
		EXPECT_EQ( prim->moTrans.z, 1.5f );
		for ( u32 i = 0; i < EF_COL_PRIM_ATTRIB_WORDS; i++ ) {
			EXPECT_EQ( prim->moBaseAttrib.IntArray[i], 0x100 + i );
			EXPECT_EQ( prim->moCurrentAttrib.IntArray[i], 0x100 + i );
		}
		if ( row.type == 1 ) {
			const EFObjCollisionSweptSphere* const swept = static_cast<const EFObjCollisionSweptSphere*>( prim );
			const f32 length = std::sqrt( swept->moVector.x * swept->moVector.x + swept->moVector.y * swept->moVector.y +
										  swept->moVector.z * swept->moVector.z );
			EXPECT_NEAR( length, row.sizes[1] == 3.0f ? 5.0f : 0.01f, 1e-6f );
			if ( row.sizes[2] == 0.0f && row.sizes[1] == 0.0f ) {
				EXPECT_EQ( swept->moVector.y, 0.01f );
			}
		}
		DestroyObject( object );
	}
}

TEST_F( EFGameObjectTest, HotSpotsGivenDirectlyCoverPolygonsAndRefuseUnknownTypes ) {
	for ( const u32 type : { 3u, 7u } ) {
		EFGameObject object;
		DTHotSpotDescriptor spot;
		spot.mui32PrimType = type;
		spot.mui32Arg3 = 0xF0F0;
		object.InitHotspot( &spot );
		ASSERT_NE( object.mpoPhysic, nullptr );
		const EFCollisionModel& model = object.mpoPhysic->moCollisionModel;
		if ( type == 3 ) {
			ASSERT_EQ( model.mui32MaxPrims, 1u );
			EXPECT_EQ( model.mppoPrimArray[0]->mui32Shape, 3u );
			EXPECT_EQ( model.mppoPrimArray[0]->moCurrentAttrib.IntArray[10], 0xF0F0u );
		} else {
			EXPECT_EQ( model.mui32MaxPrims, 0u );
		}
	}
	EFPhysicMgr::moPhysicMgr.UpdateDeletedPhysic();
}

TEST_F( EFGameObjectTest, MalformedRecordsBuildNothing ) {
	const std::vector<u8> whole = GloBytes( Record( OBJECT_ID, Entries( { MODEL, SOUND } ) ) );
	for ( const size_t cut : { size_t( 3 ), size_t( 40 ), whole.size() - 20, whole.size() - 1 } ) {
		s32 result = 0;
		EFGameObject* const object = LoadObject( std::vector<u8>( whole.begin(), whole.begin() + cut ), &result );
		EXPECT_NE( result, 0 ) << cut;
		EXPECT_EQ( object->muiNbInstance, 0 );
		EXPECT_EQ( object->mppEFInstance, nullptr );
		EXPECT_EQ( gpoWorldMgr->GetFirstGameObject(), nullptr );
		EXPECT_EQ( gpoGameLogicMgr->GetLatentMap().GetCount(), 0u );
		delete object;
	}
}

TEST_F( EFGameObjectTest, ElementsOfOtherClassesLeaveTheirPlacesEmpty ) {
	ToolBigEndianWriter plain;
	plain.WriteU32( 0x3f000009 );
	ToolHotSpot misnamed = HotSpot( 0, { 1.0f } );
	misnamed.header.uid = 0x0f000009;
	ToolInstanceDescriptor spotted = MODEL;
	spotted.header.uid = 0x3f000002;
	EFGameObject* const object = Load( Record( OBJECT_ID, { ToolContainerEntry{ TOOL_CLASS_STREAMABLE, plain.Bytes() },
														   ToolInstanceWriter::Entry( misnamed ),
														   ToolInstanceWriter::Entry( spotted ),
														   ToolInstanceWriter::Entry( MODEL ) } ) );
	EXPECT_EQ( object->muiNbInstance, 4 );
	for ( u32 i = 0; i < 3; i++ ) {
		EXPECT_EQ( object->mppEFInstance[i], nullptr ) << i;
	}
	EXPECT_NE( object->mppEFInstance[3], nullptr );
	EXPECT_EQ( object->mpoPhysic, nullptr );
	DestroyObject( object );
}

TEST_F( EFGameObjectTest, ASoundInAModelPlaceIsNeverTakenForAModel ) {
	ToolGloRecord record = Record( OBJECT_ID, Entries( { SOUND, MODEL } ) );
	record.objectFlags = 0xE00;
	EFGameObject* const object = Load( record );
	EXPECT_EQ( object->muiNb3dObj, 1u );
	EXPECT_EQ( object->Get3dObject( 0 ), nullptr );
	EXPECT_EQ( Casters(), 0u );
	EXPECT_EQ( Receivers(), 0u );
	object->SetLogicFlags( 0x100 );
	object->SetLogicFlags( 0 );
	object->SetGameObjectVisible( false );
	EXPECT_EQ( object->IsGameObjectVisible(), -1 );
	DestroyObject( object );
}

TEST_F( EFGameObjectTest, JointFramesAreLookedUpWithinTheSkeleton ) {
	EFGameObject* const object = Load( Record( OBJECT_ID, Entries( { MODEL } ) ) );
	EF3dObj* const model = object->Get3dObject( 0 );
	ASSERT_NE( model, nullptr );
	DTFrame* frames[3] = { new DTFrame, new DTFrame, new DTFrame };
	RpHAnimNodeInfo nodes[3] = { { 0x10005, 0, 0, &frames[0]->moFrame },
								 { 0x10007, 1, 0, &frames[1]->moFrame },
								 { 0x10009, 2, 0, &frames[2]->moFrame } };
	RpHAnimHierarchy hierarchy = {};
	hierarchy.numNodes = 3;
	hierarchy.pNodeInfo = nodes;
	model->mpHierarchy = &hierarchy;
	EXPECT_EQ( object->GetObjectFrame( 1 ), nullptr );
	model->mui3dObjState |= EF_3D_OBJ_HAS_HIERARCHY;
	const struct {
		u32			joint;
		DTFrame*	expected;
	} rows[] = {
		{ 0, frames[0] }, { 2, frames[2] }, { 3, nullptr }, { 0xFFFF, nullptr },
		{ 0x10007, frames[1] }, { 0x10008, nullptr }, { 0x80000000, nullptr },
	};
	for ( const auto& row : rows ) {
		EXPECT_EQ( object->GetObjectFrame( row.joint ), row.expected ) << std::hex << row.joint;
	}
	model->mpHierarchy = nullptr;
	for ( DTFrame* frame : frames ) {
		delete frame;
	}
	DestroyObject( object );
}

// An instance that records the order in which objects end it.
std::vector<u32> gEnded;

class RecordingInstance : public EFInstance {
public:
	~RecordingInstance() override { gEnded.push_back( GetUID() ); }
	void Terminate() override { gEnded.push_back( GetUID() | 0x80000000 ); }
};

TEST_F( EFGameObjectTest, DestructionEndsTheInstancesLastToFirst ) {
	gEnded.clear();
	EFGameObject* const object = new EFGameObject;
	object->mppEFInstance = new EFInstance*[3]();
	object->muiNbInstance = 3;
	object->mppEFInstance[0] = new RecordingInstance;
	object->mppEFInstance[0]->SetUID( 1 );
	object->mppEFInstance[2] = new RecordingInstance;
	object->mppEFInstance[2]->SetUID( 3 );
	delete object;
	EXPECT_EQ( gEnded, ( std::vector<u32>{ 0x80000003, 3, 0x80000001, 1 } ) );
}

TEST_F( EFGameObjectTest, ADuplicateSharesTheInstancesButNotThePlacement ) {
	EFGameObject* const object = Load( Record( OBJECT_ID, Entries( { MODEL, NODE, SOUND } ) ) );
	EFGameObject* const copy = object->Duplicate();
	ASSERT_NE( copy, nullptr );
	EXPECT_EQ( copy->muiNbInstance, 3 );
	EXPECT_EQ( copy->muiNb3dObj, 1u );
	EXPECT_NE( copy->mppEFInstance[0], object->mppEFInstance[0] );
	EXPECT_EQ( copy->mppEFInstance[0]->GetUID(), MODEL.header.uid );
	EXPECT_EQ( copy->mppEFInstance[1], nullptr );
	EXPECT_EQ( copy->moAnimationMgr.muiNbAnims, 1u );
	EXPECT_EQ( copy->moAnimationMgr.muiBaseIndex, 1u );
	EXPECT_NE( copy->moAnimationMgr.GetAnim( 0 ), object->moAnimationMgr.GetAnim( 0 ) );
	EXPECT_EQ( copy->GetFrame(), nullptr );
	EXPECT_EQ( copy->mpoPhysic, nullptr );
	delete copy;
	DestroyObject( object );
}

}
