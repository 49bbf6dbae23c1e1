/*
	Frame-buffer effects: slots and handles, the depth sort (slot 7 keeps
	its place), pass bits with the camera ended and begun once around
	them, the projected texture coordinates with and without a distortion
	matrix, and the grab with and without the start-up's camera texture.
*/
#include "ScreenEffectsTestBench.h"

#include "datatypes/maths/DTMatrix.h"
#include "framework/graphics/effects/EFFBEffectMgr.h"
#include "framework/graphics/effects/EFFBEffect_FrameDistortion.h"
#include "graphics3d/core/RwMatrix.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpMaterial.h"
#include "graphics3d/world/RpMaterialList.h"

namespace {

constexpr u32 POSITIONS = 0x02;
constexpr u32 TEXTURED = 0x04;

// A 3D object over a clump of one atomic on its owner's frame.
class DistortedModel : public EF3dObj {
public:
	DistortedModel( EFGameObject& owner, RpGeometry* geometry ) {
		mpClump = RpClumpCreate();
		RpAtomic* const atomic = RpAtomicCreate();
		RpAtomicSetGeometry( atomic, geometry, 0 );
		RpAtomicSetFrame( atomic, owner.GetFrame()->GetRwFrame() );
		RpClumpAddAtomic( mpClump, atomic );
		mpGameObjectOwner = &owner;
		delete[] owner.mppEFInstance;
		owner.mppEFInstance = new EFInstance*[1]{ this };
		owner.muiNbInstance = 1;
		owner.muiNb3dObj = 1;
	}
	~DistortedModel() override { RpClumpDestroy( mpClump ); }
};

class FBEffectTest : public ScreenEffectsTest {
protected:
	void SetUp() override {
		ScreenEffectsTest::SetUp();
		goFBEffectMgr.Initialize();
	}

	void TearDown() override {
		goFBEffectMgr.Terminate();
		EFFBEffect_SP::mpoRaster = nullptr;
		EFFBEffect_SP::mpoTexture = nullptr;
		if ( geometry != nullptr ) {
			RpGeometryDestroy( geometry );
		}
		ScreenEffectsTest::TearDown();
	}

	// Vertices (-20, 0, 10), (70, 0, 10), (0, 0, 0), (0, 0, 10) with the
	// coordinates (7, 7); a material and a coordinate set when asked.
	RpGeometry* Mesh( const bool textured ) {
		geometry = RpGeometryCreate( 4, 2, POSITIONS | ( textured ? TEXTURED : 0 ) );
		const RwV3d points[4] = { { -20, 0, 10 }, { 70, 0, 10 }, { 0, 0, 0 }, { 0, 0, 10 } };
		for ( s32 i = 0; i < 4; i++ ) {
			geometry->morphTarget[0].verts[i] = points[i];
			if ( textured ) {
				geometry->texCoords[0][i] = { 7.0f, 7.0f };
			}
		}
		geometry->triangles[0] = { { 0, 1, 3 }, static_cast<s16>( textured ? 0 : -1 ) };
		geometry->triangles[1] = { { 1, 2, 3 }, static_cast<s16>( textured ? 0 : -1 ) };
		if ( textured ) {
			RpMaterial* const material = RpMaterialCreate();
			_rpMaterialListAppendMaterial( &geometry->matList, material );
			RpMaterialDestroy( material );
		}
		RpGeometryUnlock( geometry );
		return geometry;
	}

	// An enabled effect on a new game object at depth z.
	static EFFBEffect_FrameDistortion* Effect( const u32 id, const f32 z, const u32 passes ) {
		EFGameObject* const object = MakeObject( id, 0.0f, 0.0f, z );
		object->moClipping.camClipState[0].ui16CamInFrustum = 1;
		auto* const effect = static_cast<EFFBEffect_FrameDistortion*>( goFBEffectMgr.AddEffect( 2, passes ) );
		EFFBDistortionParams params = { 0, id, 0, nullptr };
		effect->SetParams( 2, &params );
		effect->Enable( 1 );
		return effect;
	}

	RpGeometry* geometry = nullptr;
};

TEST_F( FBEffectTest, SlotsStayPackedAndHandlesAreNeverReused ) {
	EXPECT_EQ( goFBEffectMgr.AddEffect( 1, 4 ), nullptr );
	for ( u32 i = 0; i < 5; i++ ) {
		goFBEffectMgr.AddEffect( 2, 4 );
	}
	goFBEffectMgr.RemoveEffect( 3 );
	goFBEffectMgr.RemoveEffect( 99 );
	std::vector<u32> handles;
	for ( const EFFBEffect_BC* effect : goFBEffectMgr.mpoEffects ) {
		handles.push_back( effect != nullptr ? effect->GetHandle() : 0 );
	}
	EXPECT_EQ( handles, ( std::vector<u32>{ 1, 2, 4, 5, 0, 0, 0, 0 } ) );
	for ( u32 i = 0; i < 4; i++ ) {
		EXPECT_EQ( goFBEffectMgr.AddEffect( 2, 4 )->GetHandle(), 6 + i );
	}
	EXPECT_EQ( goFBEffectMgr.AddEffect( 2, 4 ), nullptr );
	EXPECT_EQ( goFBEffectMgr.GetEffect( 9 ), goFBEffectMgr.mpoEffects[7] );
}

TEST_F( FBEffectTest, TheFirstSevenSlotsAreSortedFarthestFirst ) {
	struct Row {
		const char*			name;
		std::vector<f32>	depths;
		std::vector<f32>	sorted;
	};
	const Row rows[] = {
		{ "five", { 3, 9, 1, 7, 5 }, { 9, 7, 5, 3, 1 } },
		{ "eight, the last nearest", { 3, 9, 1, 7, 5, 2, 8, 0.5f }, { 9, 8, 7, 5, 3, 2, 1, 0.5f } },
		{ "eight, the last farthest", { 3, 9, 1, 7, 5, 2, 8, 20 }, { 9, 8, 7, 5, 3, 2, 1, 20 } },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		goFBEffectMgr.Terminate();
		ResetWorld();
		for ( size_t i = 0; i < row.depths.size(); i++ ) {
			// Pass bits no update asks for: sorting only.
			Effect( 0x2a000100 + static_cast<u32>( i ), row.depths[i], 0x100 );
		}
		goFBEffectMgr.Update( 4, 0.033f, *view, 0 );
		std::vector<f32> depths;
		for ( size_t i = 0; i < row.depths.size(); i++ ) {
			depths.push_back( goFBEffectMgr.mpoEffects[i]->GetPosition( nullptr ).z );
		}
		EXPECT_EQ( depths, row.sorted );
	}
}

TEST_F( FBEffectTest, PassBitsChooseTheUpdatesAndTheCameraIsEndedOnceAroundThem ) {
	Mesh( true );
	struct Row {
		u32		passes;
		u32		early;
		u32		late;
	};
	const Row rows[] = { { 4, 1, 0 }, { 8, 0, 1 }, { 12, 1, 1 } };
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.passes );
		goFBEffectMgr.Terminate();
		ResetWorld();
		// Two effects of the row's passes and one of no pass.
		for ( u32 i = 0; i < 3; i++ ) {
			EFFBEffect_FrameDistortion* const effect = Effect( 0x2a000200 + i, 10.0f, i < 2 ? row.passes : 0x100 );
			new DistortedModel( *gpoWorldMgr->GetGameObject( 0x2a000200 + i ), geometry );
			EXPECT_TRUE( effect->IsActive( 0 ) );
		}
		for ( const u32 pass : { 4u, 8u } ) {
			const u32 frames = view->GetFrameCount();
			const u32 drawn = GXHostCallCount( GXHOST_CALL_DISPLAY_LIST ) + GXHostCallCount( GXHOST_BEGIN );
			goFBEffectMgr.Update( pass, 0.033f, *view, 0 );
			const u32 runs = pass == 4 ? row.early : row.late;
			// The test's update, then one pair per effect; begun again.
			EXPECT_EQ( view->GetFrameCount() - frames, runs != 0 ? 3u : 0u );
			EXPECT_EQ( RwEngineInstance->currentCamera, view->mpoRwCamera );
			EXPECT_EQ( GXHostCallCount( GXHOST_CALL_DISPLAY_LIST ) + GXHostCallCount( GXHOST_BEGIN ) > drawn, runs != 0 );
		}
		// Another camera slot, or an object out of its frustum: inactive.
		EXPECT_FALSE( static_cast<EFFBEffect_FrameDistortion*>( goFBEffectMgr.mpoEffects[0] )->IsActive( 1 ) );
	}
}

TEST_F( FBEffectTest, VerticesBecomeTheirScreenPositionsClampedAboveAndStoppingAtZeroDepth ) {
	Mesh( true );
	DTMatrix shift;
	_rwMatrixSetIdentity( DTAsRwMatrix( &shift ) );
	DTAsRwMatrix( &shift )->pos.z = 10.0f;
	DTAsRwMatrix( &shift )->flags = 0;
	struct Row {
		const char*	name;
		DTMatrix*	matrix;
		f32			u[4];
	};
	// u = (1 - x / z) / 2; v = 1/2 throughout but for untouched vertices.
	const Row rows[] = {
		{ "no matrix", nullptr, { 0.98f, -3.0f, 7.0f, 7.0f } },
		{ "moved 10 further", &shift, { 0.98f, -1.25f, 0.5f, 0.5f } },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		goFBEffectMgr.Terminate();
		ResetWorld();
		EFFBEffect_FrameDistortion* const effect = Effect( 0x2a000300, 0.0f, 4 );
		new DistortedModel( *gpoWorldMgr->GetGameObject( 0x2a000300 ), geometry );
		for ( s32 i = 0; i < 4; i++ ) {
			geometry->texCoords[0][i] = { 7.0f, 7.0f };
		}
		EFFBDistortionParams params = { 0x1234, 0x2a000300, 0, row.matrix };
		effect->SetParams( 2, &params );
		EFFBDistortionParams back = {};
		effect->GetParams( 2, &back );
		EXPECT_EQ( back.ui32First, 0x1234u );
		EXPECT_EQ( back.pMatrix, row.matrix );
		EXPECT_EQ( effect->Update( 0.033f, *view ), 0 );
		for ( s32 i = 0; i < 4; i++ ) {
			EXPECT_FLOAT_EQ( geometry->texCoords[0][i].u, row.u[i] ) << i;
			EXPECT_FLOAT_EQ( geometry->texCoords[0][i].v, row.u[i] == 7.0f ? 7.0f : 0.5f ) << i;
		}
	}
}

TEST_F( FBEffectTest, TheGrabGoesOnTheFirstMaterialAndMeshesWithoutOneStillDraw ) {
	struct Row {
		const char*	name;
		bool		statics;
		bool		textured;
	};
	const Row rows[] = {
		{ "camera texture", true, true },
		{ "no camera texture", false, true },
		{ "no coordinates or materials", false, false },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		goFBEffectMgr.Terminate();
		ResetWorld();
		if ( geometry != nullptr ) {
			RpGeometryDestroy( geometry );
		}
		Mesh( row.textured );
		RwTexture* const own = AddTexture( "OWN" );
		if ( row.textured ) {
			RpMaterialSetTexture( geometry->matList.materials[0], own );
		}
		RwRaster* const grab = row.statics ? RwRasterCreate( 64, 64, 0, rwRASTERTYPECAMERATEXTURE ) : nullptr;
		EFFBEffect_SP::mpoRaster = grab;
		EFFBEffect_SP::mpoTexture = row.statics ? RwTextureCreate( grab ) : nullptr;
		EFFBEffect_FrameDistortion* const effect = Effect( 0x2a000400, 10.0f, 4 );
		new DistortedModel( *gpoWorldMgr->GetGameObject( 0x2a000400 ), geometry );
		const u32 copies = GXHostCallCount( GXHOST_COPY_TEX );
		const u32 drawn = GXHostCallCount( GXHOST_CALL_DISPLAY_LIST ) + GXHostCallCount( GXHOST_BEGIN );
		EXPECT_EQ( effect->Update( 0.033f, *view ), 0 );
		EXPECT_EQ( GXHostCallCount( GXHOST_COPY_TEX ) - copies, row.statics ? 1u : 0u );
		EXPECT_GT( GXHostCallCount( GXHOST_CALL_DISPLAY_LIST ) + GXHostCallCount( GXHOST_BEGIN ), drawn );
		EXPECT_EQ( effect->mui32TextureApplied, row.textured ? 1u : 0u );
		if ( row.textured ) {
			EXPECT_EQ( geometry->matList.materials[0]->texture, EFFBEffect_SP::mpoTexture );
		}
		if ( row.statics ) {
			RwTextureDestroy( EFFBEffect_SP::mpoTexture );
		}
	}
	// A missing object.
	EFFBEffect_FrameDistortion* const effect = Effect( 0x2a000500, 10.0f, 4 );
	ResetWorld();
	EXPECT_FALSE( effect->IsActive( 0 ) );
	EXPECT_EQ( effect->Update( 0.033f, *view ), -1 );
}

} // namespace
