#include "ModelTestBench.h"

#include "../../../graphics3d/pipeline/RxTestNodes.h"
#include "../../../support/TestArenaUse.h"
#include "datatypes/maths/DTSphere.h"
#include "datatypes/maths/DTTransfo.h"
#include "framework/graphics/ApAtomicDataPlugin.h"
#include "framework/graphics/EFCamera.h"
#include "framework/logic/EFLogicCode.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RxPipeline.h"
#include "graphics3d/testdevice/TestDevice.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpHAnim.h"
#include "graphics3d/world/RpMaterial.h"
#include "graphics3d/world/RpSkin.h"
#include "platform/gx/GX.h"
#include "platform/gx/GXHost.h"
#include "tools/lib/graphics3d/ToolClumpWriter.h"
#include "tools/lib/graphics3d/ToolSampleModel.h"
#include "tools/lib/graphics3d/ToolSkinWriter.h"
#include "tools/lib/level/ToolModelResourceWriter.h"

#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

constexpr u32 MODEL_ID = 0x5B000009;

// What the recording callback saw, per drawn atomic.
struct Drawn {
	RpAtomic*	atomic;
	RwRGBA		color;			// the first material's colour while drawn
	u32			geometryFlags;
	GXBool		alphaUpdate;
	RwV3d		position;		// the atomic's world position while drawn
};

std::vector<Drawn> gDrawn;

RpAtomic* Record( RpAtomic* atomic ) {
	RpGeometry* const geometry = atomic->geometry;
	const RwRGBA color = geometry->matList.numMaterials > 0 ? geometry->matList.materials[0]->color : RwRGBA{};
	gDrawn.push_back( { atomic, color, geometry->flags, GXHostState().alphaUpdate,
						RwFrameGetLTM( RpAtomicGetFrame( atomic ) )->pos } );
	return atomic;
}

// A logic code of that object name.
class NamedCode : public EFLogicCode {
public:
	explicit NamedCode( const char* name ) { SetObjectNameText( name, static_cast<u32>( std::strlen( name ) ) ); }
};

// The sample clump with a skin on its second geometry (the LOD 1 atomic's).
ToolClump SkinnedSample() {
	ToolClump clump = ToolSampleModelClump();
	ToolSkin skin;
	skin.numBones = 3;
	skin.usedBones = { 0, 1 };
	skin.indices = { { 0, 0, 0, 0 }, { 1, 0, 0, 0 }, { 1, 0, 0, 0 } };
	skin.weights = { { 1, 0, 0, 0 }, { 1, 0, 0, 0 }, { 1, 0, 0, 0 } };
	skin.matrices = { ToolSkinWriter::Translation( 0, 0, 0 ), ToolSkinWriter::Translation( 0, 1, 0 ),
					  ToolSkinWriter::Translation( 0, 2, 0 ) };
	clump.geometries[1].extension.push_back( { TOOL_SKIN_PLUGIN, ToolSkinWriter::Payload( skin, ToolSkinForm::Portable ) } );
	return clump;
}

std::vector<u8> RecordOf( const ToolClump& clump, const u32 id = MODEL_ID ) {
	ToolModelResource model;
	model.id = id;
	model.clump = ToolClumpWriter::Chunk( clump );
	return ToolModelResourceWriter::Record( model );
}

}

class EF3dObjTest : public ModelTestBench {
protected:
	void SetUp() override {
		ModelTestBench::SetUp();
		gDrawn.clear();
		record = RecordOf( SkinnedSample() );
		resource = LoadRecord( record, MODEL_ID );
		owner->GetFrame()->GetRwFrame()->modelling.pos = { 4.0f, 0.0f, 0.0f };
		RwFrameUpdateObjects( owner->GetFrame()->GetRwFrame() );
	}

	void TearDown() override {
		gDrawn.clear();
		delete resource;
		ModelTestBench::TearDown();
	}

	// An initialised object taking over the sample resource.
	EF3dObj* Adopt( const s32 instanceFlags = 0, bool* initialised = nullptr ) {
		EF3dObjRes* const taken = resource;
		resource = nullptr;
		return MakeObject( taken, instanceFlags, initialised );
	}

	// The same, drawing through the recording callback.
	EF3dObj* Recorded( const s32 instanceFlags = 0 ) {
		EF3dObj* const object = Adopt( instanceFlags );
		for ( RpAtomic* atomic : Atomics( object->mpClump ) ) {
			ApSetAtomicCallBackRender( atomic, Record );
		}
		return object;
	}

	std::vector<u8>		record;
	EF3dObjRes*			resource = nullptr;
};

class EF3dObjStencilTest : public EF3dObjTest {
protected:
	std::string Ini() const override { return "Stencil = 1\n"; }
};

TEST_F( EF3dObjTest, InitializeAdoptsTheClumpUnderTheOwnerBindsTheSkeletonAndHidesTheAtomics ) {
	const struct {
		s32	flags;
		u32	state;
	} rows[] = { { 0, 0 }, { 8, 0x10 }, { 8 | 32 | 64, 0x10 }, { 32, 0x100 }, { 32 | 64, 0x100 }, { 64, 0x200 }, { 4, 0 } };
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.flags );
		EFRessource* const copy = resource->Copy();
		copy->muiRefCount++;
		EF3dObj* const object = MakeObject( copy, row.flags );
		EXPECT_EQ( object->mui3dObjState & 0x310, row.state );
		delete object;
	}

	bool initialised = false;
	RpClump* const clump = resource->GetClump();
	EF3dObj* const object = Adopt( 0, &initialised );
	EXPECT_TRUE( initialised );
	RwFrame* const root = RpClumpGetFrame( clump );
	ASSERT_EQ( object->mpClump, clump );
	EXPECT_EQ( object->GetFrame()->GetRwFrame(), root );
	EXPECT_EQ( root->object.parent, owner->GetFrame()->GetRwFrame() );
	EXPECT_EQ( object->muiPosFlags & EF_POS_OWNS_FRAME, 0u );

	// The skeleton: the first node frame below the root, its nodes bound
	// down the chain, the skinned atomic bound to it, its matrices gone.
	RpHAnimHierarchy* const hierarchy = object->mpHierarchy;
	ASSERT_NE( hierarchy, nullptr );
	EXPECT_EQ( hierarchy, RpHAnimFrameGetHierarchy( root->child ) );
	EXPECT_EQ( object->mui3dObjState & EF_3D_OBJ_HAS_HIERARCHY, EF_3D_OBJ_HAS_HIERARCHY );
	EXPECT_EQ( hierarchy->flags & 0x3002, 0x3002 );
	EXPECT_EQ( hierarchy->pMatrixArray, nullptr );
	ASSERT_EQ( hierarchy->numNodes, 3 );
	EXPECT_EQ( hierarchy->pNodeInfo[0].pFrame, root->child );
	EXPECT_EQ( hierarchy->pNodeInfo[2].pFrame, root->child->child->child );
	u32 skinned = 0;
	for ( RpAtomic* atomic : Atomics( object->mpClump ) ) {
		EXPECT_EQ( atomic->renderCallBack, &EF3dObj_SP::EmptyRender );
		EXPECT_EQ( ApGetAtomicCallBackRender( atomic ), &AtomicDefaultRenderCallBack );
		if ( RpSkinGeometryGetSkin( atomic->geometry ) != nullptr ) {
			EXPECT_EQ( RpSkinAtomicGetHAnimHierarchy( atomic ), hierarchy );
			skinned++;
		}
	}
	EXPECT_EQ( skinned, 1u );

	// Transforms: three working records bound to joints 0-2, three free.
	ASSERT_NE( object->mppTransfo[0], nullptr );
	EXPECT_EQ( object->mppTransfo[1], object->mppTransfo[0] + 3 );
	for ( u32 i = 0; i < 3; i++ ) {
		EXPECT_EQ( object->mppTransfo[0][i].muiJointIndex, i );
	}
	DTTransfo* const locked = object->LockTransfo();
	EXPECT_EQ( locked, object->mppTransfo[1] );
	EXPECT_EQ( object->LockTransfo(), nullptr );
	object->ReleaseTransfo( object->mppTransfo[0] );
	EXPECT_EQ( object->LockTransfo(), nullptr );
	object->ReleaseTransfo( locked );
	EXPECT_EQ( object->LockTransfo(), locked );

	// Joints: ids, indices and a joint past the nodes, which rides on the
	// object's own frame.
	EXPECT_EQ( object->GetJointIndex( 2 ), 2 );
	EXPECT_EQ( object->GetJointIndex( 3 ), -1 );
	EXPECT_EQ( object->GetJointIndex( 0x10000 ), -1 );
	EXPECT_EQ( object->GetJointFrame( 1 )->GetRwFrame(), root->child->child );
	EXPECT_EQ( object->GetJointFrame( 40 ), object->GetFrame() );
	EXPECT_EQ( object->GetJointFrame( -1 ), object->GetFrame() );
	// The object takes the resource's last reference with it.
	delete object;
	EXPECT_EQ( owner->GetFrame()->GetRwFrame()->child, nullptr );
}

TEST_F( EF3dObjTest, AResourceWithoutClumpOrNoResourceInitialisesToNothing ) {
	ToolModelResource model;
	model.id = MODEL_ID;
	std::vector<u8> empty = ToolModelResourceWriter::Record( model );
	EF3dObjRes* const clumpless = LoadRecord( empty, MODEL_ID );
	EXPECT_EQ( clumpless->GetClump(), nullptr );
	for ( EFRessource* const held : { static_cast<EFRessource*>( clumpless ), static_cast<EFRessource*>( nullptr ) } ) {
		bool initialised = true;
		EF3dObj* const object = MakeObject( held, 8, &initialised );
		EXPECT_FALSE( initialised );
		EXPECT_EQ( object->GetFrame(), nullptr );
		EXPECT_EQ( object->mui3dObjState, EF_3D_OBJ_VISIBLE );
		object->mui3dObjState |= EF_3D_OBJ_TRANSFO_DRIVEN;
		object->Render( 0 );
		object->UpdateHierarchy();
		object->LightObject( 1 );
		EXPECT_EQ( object->GetClippingBSphere(), nullptr );
		delete object;
	}
	EXPECT_EQ( owner->GetFrame()->GetRwFrame()->child, nullptr );
}

TEST_F( EF3dObjTest, RenderDrawsTheAtomicsOfOneLevelInClumpOrderPlacedUnderTheOwner ) {
	EF3dObj* const object = Recorded();
	const std::vector<RpAtomic*> atomics = Atomics( object->mpClump );
	ASSERT_EQ( atomics.size(), 3u );
	std::vector<RpAtomic*> lod0, lod1;
	for ( RpAtomic* atomic : atomics ) {
		( ApGetAtomicLod( atomic ) == 0 ? lod0 : lod1 ).push_back( atomic );
	}
	ASSERT_EQ( lod0.size(), 2u );
	// The first draw places the node frames below the owner, although
	// nothing moved them since they were read.
	object->Render( 0 );
	ASSERT_EQ( gDrawn.size(), 2u );
	for ( const Drawn& drawn : gDrawn ) {
		const bool onNode = RpAtomicGetFrame( drawn.atomic ) != RpClumpGetFrame( object->mpClump );
		EXPECT_EQ( drawn.position.x, 4.0f );
		EXPECT_EQ( drawn.position.y, onNode ? 1.0f : 0.0f );
	}
	const struct {
		u16							lod;
		std::vector<RpAtomic*>		drawn;
	} rows[] = { { 0, lod0 }, { 1, lod1 }, { 2, {} }, { 7, {} }, { 8, lod0 }, { 9, lod1 }, { 0xFFF8, lod0 } };
	for ( const auto& row : rows ) {
		gDrawn.clear();
		object->Render( row.lod );
		std::vector<RpAtomic*> drawn;
		for ( const Drawn& d : gDrawn ) {
			drawn.push_back( d.atomic );
		}
		EXPECT_EQ( drawn, row.drawn ) << row.lod;
	}
	// An atomic of LOD 8 is never drawn; one without the render flag neither.
	ApAtomicGetData( lod1[0] )->uiData = 8u << 16;
	lod0[0]->object.object.flags &= static_cast<u8>( ~rpATOMICRENDER );
	for ( u16 lod = 0; lod < 16; lod++ ) {
		gDrawn.clear();
		object->Render( lod );
		for ( const Drawn& d : gDrawn ) {
			EXPECT_EQ( d.atomic, lod0[1] ) << lod;
		}
	}
	delete object;
}

TEST_F( EF3dObjTest, BlendingColourModulatesAtMost32MaterialsWhileDrawnAndRestoresThemExactly ) {
	// 33 materials on one geometry: the 33rd is left alone.
	ToolClump clump = ToolSampleModelClump();
	for ( ToolGeometry& many : clump.geometries ) {
		many.materials.indices.assign( 33, -1 );
		many.materials.materials.assign( 33, many.materials.materials[0] );
		many.triangles.assign( 33, many.triangles[0] );
		for ( u16 i = 0; i < 33; i++ ) {
			many.triangles[i].material = static_cast<s16>( i );
		}
	}
	std::vector<u8> manyRecord = RecordOf( clump, MODEL_ID + 1 );
	EF3dObjRes* const manyResource = LoadRecord( manyRecord, MODEL_ID + 1 );
	EF3dObj* const object = MakeObject( manyResource );
	RpAtomic* const atomic = Atomics( object->mpClump )[0];
	const u16 lod = static_cast<u16>( ApGetAtomicLod( atomic ) );
	RpGeometry* const geometry = atomic->geometry;
	ASSERT_EQ( geometry->matList.numMaterials, 33 );
	const RwRGBA original = { 200, 100, 50, 255 };
	const u32 flags = geometry->flags;
	ASSERT_EQ( flags & rpGEOMETRYMODULATEMATERIALCOLOR, 0u );

	struct Seen {
		std::vector<RwRGBA>	colors;
		u32					flags;
	};
	static Seen seen;
	ApSetAtomicCallBackRender( atomic, []( RpAtomic* drawn ) -> RpAtomic* {
		seen.colors.clear();
		for ( s32 i = 0; i < drawn->geometry->matList.numMaterials; i++ ) {
			seen.colors.push_back( drawn->geometry->matList.materials[i]->color );
		}
		seen.flags = drawn->geometry->flags;
		return drawn;
	} );
	const struct {
		f32		factors[4];
		bool	state;
		RwRGBA	drawn;
	} rows[] = {
		{ { 2.0f, 0.5f, 1.0f, 1.0f }, true, { 255, 50, 50, 255 } },
		{ { 0.999f, 1.0f, 1.0f, 0.1f }, true, { 199, 100, 50, 25 } },
		{ { 1.0f, 1.0f, 1.0f, 1.0f }, false, original },
		{ { -1.0f, 0.0f, 1.0f, 1.0f }, true, { 0, 0, 50, 255 } },
	};
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.factors[0] );
		object->SetBlendingColor( row.factors[0], row.factors[1], row.factors[2], row.factors[3] );
		EXPECT_EQ( ( object->mui3dObjState & EF_3D_OBJ_BLENDING_COLOR ) != 0, row.state );
		object->Render( lod );
		ASSERT_EQ( seen.colors.size(), 33u );
		for ( u32 i = 0; i < 33; i++ ) {
			const RwRGBA expected = i < 32 ? row.drawn : original;
			EXPECT_EQ( std::memcmp( &seen.colors[i], &expected, sizeof( RwRGBA ) ), 0 ) << i;
		}
		EXPECT_EQ( seen.flags, row.state ? flags | rpGEOMETRYMODULATEMATERIALCOLOR : flags );
		EXPECT_EQ( geometry->flags, flags );
		for ( s32 i = 0; i < 33; i++ ) {
			EXPECT_EQ( std::memcmp( &geometry->matList.materials[i]->color, &original, sizeof( RwRGBA ) ), 0 ) << i;
		}
	}
	// Drawing allocates nothing.
	object->SetBlendingColor( 2.0f, 0.5f, 1.0f, 1.0f );
	static u32 allocations;
	allocations = 0;
	RwMemoryFunctions& memory = RwEngineInstance->memoryFunctions;
	const RwMemoryFunctions saved = memory;
	static RwMemoryFunctions forward;
	forward = saved;
	memory.rwmalloc = []( const u32 size ) { allocations++; return forward.rwmalloc( size ); };
	memory.rwcalloc = []( const u32 count, const u32 size ) { allocations++; return forward.rwcalloc( count, size ); };
	memory.rwrealloc = []( void* block, const u32 size ) { allocations++; return forward.rwrealloc( block, size ); };
	const s64 arena = TestArenaUse();
	for ( u32 i = 0; i < 100; i++ ) {
		object->Render( static_cast<u16>( i ) );
	}
	memory = saved;
	EXPECT_EQ( allocations, 0u );
	EXPECT_EQ( TestArenaUse(), arena );
	delete object;
}

TEST_F( EF3dObjStencilTest, StencilWritesWrapObjectsOfFlag0x8000AndAFadedObjectIsDrawnTwiceThroughTheFader ) {
	EF3dObj* const object = Recorded();
	const struct {
		u32		logicFlags;
		u32		faderCount;
		u32		drawn;
		GXBool	during;
	} rows[] = { { 0, 0, 2, GX_TRUE }, { 0x8000, 0, 2, GX_TRUE }, { 0x8000, 1, 4, GX_TRUE }, { 0x7FFF, 0, 2, GX_FALSE } };
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.logicFlags );
		owner->muiLogicFlags = row.logicFlags;
		object->muiTexFaderRefCount = row.faderCount;
		GXSetAlphaUpdate( row.logicFlags == 0 ? GX_TRUE : GX_FALSE );
		gDrawn.clear();
		object->Render( 0 );
		ASSERT_EQ( gDrawn.size(), row.drawn );
		for ( const Drawn& drawn : gDrawn ) {
			EXPECT_EQ( drawn.alphaUpdate, row.during );
		}
		// Turned off again after an object of 0x8000, left alone otherwise.
		EXPECT_EQ( GXHostState().alphaUpdate, row.logicFlags == 0 ? GX_TRUE : GX_FALSE );
	}
	delete object;
}

TEST_F( EF3dObjTest, DepthWritesAreForcedOnOnlyAroundTheCallbackOfShorelineClipObjects ) {
	EFCamera* const camera = manager->GetCamera( manager->CreateCamera( nullptr ) );
	RwEngineInstance->currentCamera = camera->mpoRwCamera;
	TestDeviceSetRenderStateValue( reinterpret_cast<void*>( static_cast<uintptr_t>( 5 ) ) );
	EF3dObj* const object = Recorded();
	NamedCode shoreline( "shorelineclip" ), longer( "shorelineclip2" ), shorter( "shoreline" );
	const struct {
		EFLogicCode*	code;
		bool			forced;
	} rows[] = { { &shoreline, true }, { &longer, false }, { &shorter, false }, { nullptr, false } };
	for ( const auto& row : rows ) {
		owner->moLogicInstance.mpLogicCode = row.code;
		TestDeviceClearCalls();
		gDrawn.clear();
		object->Render( 0 );
		EXPECT_EQ( gDrawn.size(), 2u );
		std::vector<std::pair<s32, uintptr_t>> calls;
		for ( const TestDeviceCall& call : TestDeviceCalls() ) {
			calls.push_back( { call.kind == TestDeviceCall::RENDER_STATE_GET ? -call.state : call.state,
							   reinterpret_cast<uintptr_t>( call.value ) } );
		}
		if ( row.forced ) {
			ASSERT_EQ( calls.size(), 6u );
			for ( u32 i = 0; i < 6; i += 3 ) {
				EXPECT_EQ( calls[i].first, -8 );
				EXPECT_EQ( calls[i + 1], std::make_pair( 8, uintptr_t{ 1 } ) );
				EXPECT_EQ( calls[i + 2], std::make_pair( 8, uintptr_t{ 5 } ) );
			}
		} else {
			EXPECT_TRUE( calls.empty() );
		}
	}
	owner->moLogicInstance.mpLogicCode = nullptr;
	RwEngineInstance->currentCamera = nullptr;
	TestDeviceSetRenderStateValue( nullptr );
	delete object;
}

TEST_F( EF3dObjTest, ACopyOfAnInitialisedObjectDrawsThroughItsPipeline ) {
	RxTestDefinition node( "Record", 0, {} );
	RxPipeline* const pipeline = RxLockedPipeUnlock( RxLockedPipeAddFragment( RxPipelineLock( RxPipelineCreate() ), nullptr, node.Get() ) );
	ASSERT_NE( pipeline, nullptr );
	EF3dObj* const object = Adopt();
	EF3dObj* const copy = static_cast<EF3dObj*>( object->ShallowCopy() );
	ASSERT_NE( copy, nullptr );
	copy->mpGameObjectOwner = owner;
	DT3dObjectDescriptor descriptor;
	const DTCreationParameters params = { &descriptor, nullptr };
	ASSERT_TRUE( copy->Initialize( params ) );
	ASSERT_NE( copy->mpClump, object->mpClump );
	// The clone's atomics came with EmptyRender; the copy keeps no callback
	// and draws through the pipeline.
	std::vector<RpAtomic*> lod0;
	for ( RpAtomic* atomic : Atomics( copy->mpClump ) ) {
		EXPECT_EQ( ApGetAtomicCallBackRender( atomic ), nullptr );
		EXPECT_EQ( atomic->renderCallBack, &EF3dObj_SP::EmptyRender );
		atomic->pipeline = pipeline;
		if ( ApGetAtomicLod( atomic ) == 0 ) {
			lod0.push_back( atomic );
		}
	}
	ASSERT_EQ( lod0.size(), 2u );
	rxTestBodyData = nullptr;
	copy->Render( 0 );
	EXPECT_EQ( rxTestBodyData, lod0.back() );
	rxTestBodyData = nullptr;
	copy->Render( 2 );
	EXPECT_EQ( rxTestBodyData, nullptr );
	delete copy;
	delete object;
	_rxPipelineDestroy( pipeline );
}

TEST_F( EF3dObjTest, TheHierarchyUpdateMatchesGlmsMatricesAndDrivesTheOwnerFromTheRootRecord ) {
	EF3dObj* const object = Adopt();
	RpHAnimHierarchy* const hierarchy = object->mpHierarchy;
	ASSERT_NE( hierarchy, nullptr );
	DTTransfo* const records = object->mppTransfo[0];
	// Without state 0x80 nothing moves.
	records[0].mTranslation = DTVector3d( 9.0f, 9.0f, 9.0f );
	object->UpdateHierarchy();
	EXPECT_EQ( hierarchy->pNodeInfo[0].pFrame->modelling.pos.x, 0.0f );
	object->mui3dObjState |= EF_3D_OBJ_TRANSFO_DRIVEN;

	// Record 0: 90 degrees about y as Euler angles, scaled (2, 3, 4), post-
	// scaled by the inverse parent scale (0.5, 1, 0.25). Record 1: a
	// quaternion of 90 degrees about x.
	const f32 half = std::sqrt( 0.5f );
	records[0].mEulerRotation = DTVector3d( 0.0f, 1.5707963f, 0.0f );
	records[0].mScaling = DTVector3d( 2.0f, 3.0f, 4.0f );
	records[0].mInverseScaleParent = DTVector3d( 0.5f, 1.0f, 0.25f );
	records[0].mTranslation = DTVector3d( 1.0f, 2.0f, 3.0f );
	records[0].muiState = EF_TRANSFO_EULER | EF_TRANSFO_INVERSE_SCALE;
	records[1].mRotation.x = half;
	records[1].mRotation.y = 0.0f;
	records[1].mRotation.z = 0.0f;
	records[1].mRotation.mfScalaire = half;
	records[1].mTranslation = DTVector3d( 0.0f, 0.5f, 0.0f );
	records[1].muiState = 0;
	object->UpdateHierarchy();

	const glm::dmat4 first = glm::scale( glm::dmat4( 1.0 ), glm::dvec3( 0.5, 1.0, 0.25 ) ) *
							 glm::rotate( glm::dmat4( 1.0 ), glm::half_pi<f64>(), glm::dvec3( 0, 1, 0 ) ) *
							 glm::scale( glm::dmat4( 1.0 ), glm::dvec3( 2.0, 3.0, 4.0 ) );
	const glm::dmat4 second = glm::rotate( glm::dmat4( 1.0 ), glm::half_pi<f64>(), glm::dvec3( 1, 0, 0 ) );
	const std::pair<const glm::dmat4*, RwFrame*> nodes[] = { { &first, hierarchy->pNodeInfo[0].pFrame },
															 { &second, hierarchy->pNodeInfo[1].pFrame } };
	for ( const auto& [expected, frame] : nodes ) {
		const RwV3d* const rows[3] = { &frame->modelling.right, &frame->modelling.up, &frame->modelling.at };
		for ( u32 i = 0; i < 3; i++ ) {
			EXPECT_NEAR( rows[i]->x, ( *expected )[i].x, 1e-5 ) << i;
			EXPECT_NEAR( rows[i]->y, ( *expected )[i].y, 1e-5 ) << i;
			EXPECT_NEAR( rows[i]->z, ( *expected )[i].z, 1e-5 ) << i;
		}
	}
	EXPECT_EQ( hierarchy->pNodeInfo[0].pFrame->modelling.pos.z, 3.0f );
	EXPECT_EQ( hierarchy->pNodeInfo[1].pFrame->modelling.pos.y, 0.5f );

	// A root record moves the owner's frame instead, is reset, and the
	// next record drives node 0.
	records[0].muiState |= EF_TRANSFO_OWN_FRAME;
	object->UpdateHierarchy();
	RwFrame* const ownerFrame = owner->GetFrame()->GetRwFrame();
	EXPECT_EQ( ownerFrame->modelling.pos.x, 1.0f );
	EXPECT_NEAR( ownerFrame->modelling.right.z, first[0].z, 1e-5 );
	EXPECT_EQ( records[0].muiState, DT_TRANSFO_EULER_CHANGED );
	EXPECT_EQ( records[0].mTranslation.x, 0.0f );
	EXPECT_EQ( hierarchy->pNodeInfo[0].pFrame->modelling.pos.y, 0.5f );
	delete object;
}

TEST_F( EF3dObjTest, TheClippingSphereIsGivenInTheFirstNodesSpaceAndReadFromTheFirstAtomic ) {
	EF3dObj* const object = Adopt();
	DTSphere sphere( DTVector3d( 0.0f, 1.0f, 0.0f ), 3.0f );
	object->SetClippingBSphere( sphere );
	// The first node stands 0.5 up the root; the sphere's centre is 1.5
	// up the root, so 0.5 up the atomics on the second node.
	for ( RpAtomic* atomic : Atomics( object->mpClump ) ) {
		const bool onNode = RpAtomicGetFrame( atomic ) != RpClumpGetFrame( object->mpClump );
		EXPECT_NEAR( atomic->boundingSphere.center.y, onNode ? 0.5f : 1.5f, 1e-5 );
		EXPECT_EQ( atomic->boundingSphere.radius, 3.0f );
	}
	const DTSphere* const read = object->GetClippingBSphere();
	ASSERT_NE( read, nullptr );
	EXPECT_EQ( read, reinterpret_cast<const DTSphere*>( &Atomics( object->mpClump )[0]->boundingSphere ) );
	EXPECT_EQ( read->mfRadius, 3.0f );
	delete object;
}
