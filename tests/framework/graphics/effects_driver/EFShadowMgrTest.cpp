/*
	Shadows: the silhouette pass as the graphics processor sees it, the
	256 pool, the eight-shadow limit, the three camera kinds against GLM,
	light range and fade, and the shadows that cannot be made.
*/
#include "EffectsDriverTestBench.h"

#include "../../../graphics3d/pipeline/RxTestNodes.h"
#include "framework/core/world/EFGameObjectFlags.h"
#include "framework/graphics/ApAtomicDataPlugin.h"
#include "framework/graphics/EFLight.h"
#include "framework/logic/api/LogicApiClearColor.h"
#include "graphics3d/gamecube/RwGameCube.h"
#include "graphics3d/world/RpLight.h"

#include <glm/glm.hpp>

#include <cstring>
#include <string>

namespace {

class EFShadowMgrTest : public EffectsDriverTest {
protected:
	void SetUp() override {
		EffectsDriverTest::SetUp();
		EFLight::InitPools();
	}

	void TearDown() override {
		for ( EFLight* light : lights ) {
			delete light;
		}
		lights.clear();
		EffectsDriverTest::TearDown();
	}

	// A caster: a unit triangle model at position with the given logic
	// flags and shadow parameters.
	EFShadowMgr::_sObjectEntry* Caster( const RwV3d position, const u32 flags, const _ShadowParams& params ) {
		EFGameObject* const object = Object();
		object->muiLogicFlags = flags;
		object->mShadowData = params;
		EF3dObj* const model = Model( { { -1, 0, 0 }, { 1, 0, 0 }, { 0, 2, 0 } }, 1, position );
		goShadowMgr.AddCaster( object, model );
		return const_cast<EFShadowMgr::_sObjectEntry*>( goShadowMgr.GetFirstCaster() );
	}

	EFLight* Light( const LightType_e type, const RwV3d position, const f32 radius ) {
		EFLight* const light = new EFLight( type );
		lights.push_back( light );
		light->SetRadius( radius );
		RwFrame* const frame = light->mpFrame->GetRwFrame();
		frame->modelling.pos = position;
		if ( type == LIGHT_TYPE_DIRECTIONAL ) {
			frame->modelling.right = { 1, 0, 0 };
			frame->modelling.up = { 0, 0, 1 };
			frame->modelling.at = { 0, -1, 0 };
		}
		RwFrameUpdateObjects( frame );
		return light;
	}

	static _ShadowParams Params( const u32 flags = 0, const u32 resolution = 64 ) {
		return { flags, 0, 0.5f, 6.0f, 1.5f, resolution, 0x7FFFFFFF, 0.75f, 8.0f, resolution, 0.5f };
	}

	// The projector's and the shadows' begin, as a camera's render runs them.
	static void ShadowFrame() {
		goProjectorMgr.Begin( 0 );
		goShadowMgr.Begin( nullptr, 0 );
	}

	static EFShadowMgr::_sShadowEntry& Entry( const u32 index ) {
		return const_cast<EFShadowMgr::_sShadowEntry&>( goShadowMgr.GetEntry( index ) );
	}

	std::vector<EFLight*> lights;
};

TEST_F( EFShadowMgrTest, ASilhouetteIsClearedRenderedInvertedFramedAndCopiedWithTheClearColour ) {
	sFloatClearColor = { 0x10, 0x20, 0x30, 0x40 };
	RxTestDefinition node( "Record", 0, {} );
	RxPipeline* const pipeline =
		RxLockedPipeUnlock( RxLockedPipeAddFragment( RxPipelineLock( RxPipelineCreate() ), nullptr, node.Get() ) );
	ASSERT_NE( pipeline, nullptr );
	EFShadowMgr::_sObjectEntry* const caster = Caster( { 0, 0, 0 }, EF_LF_SHADOW_DROP_DOWN, Params( 0x2, 128 ) );
	// A second atomic of LOD 1 after the LOD-0 one: only the first is cast.
	RpAtomic* first = nullptr;
	RpClumpForAllAtomics( caster->mpo3dObj->mpClump, []( RpAtomic* each, void* out ) -> RpAtomic* {
		*static_cast<RpAtomic**>( out ) = each;
		return each;
	}, &first );
	RpAtomic* const second = RpAtomicClone( first );
	RpClumpAddAtomic( caster->mpo3dObj->mpClump, second );
	ApAtomicGetData( second )->uiData = 1u << 16;
	first->pipeline = pipeline;
	second->pipeline = pipeline;
	const u32 copyClear = RwGameCubeGetCopyClear();
	GXHostClearLog();
	rxTestBodyData = nullptr;
	ShadowFrame();
	EXPECT_EQ( rxTestBodyData, first );
	ASSERT_EQ( goProjectorMgr.GetEntriesCount(), 1u );
	const _sProjectorOccurence& occurrence = goProjectorMgr.GetOccurence( 0 );
	EXPECT_EQ( occurrence.pTexture, goShadowMgr.GetEntry( 0 ).pTexture128 );
	EXPECT_EQ( occurrence.uiBlendingFunction, 1u );
	EXPECT_EQ( occurrence.pExcluded3dObj, caster->mpo3dObj );
	EXPECT_EQ( goShadowMgr.GetEntry( 0 ).uiFlags, EF_SHADOW_ENTRY_USED | EF_SHADOW_ENTRY_128 );

	// The inverse strip over the raster, then the black outline.
	const std::vector<const GXHostDraw*> draws = Draws();
	ASSERT_GE( draws.size(), 2u );
	const GXHostDraw& strip = *draws[draws.size() - 2];
	const GXHostDraw& outline = *draws.back();
	EXPECT_EQ( strip.primitive, GX_TRIANGLESTRIP );
	ASSERT_EQ( strip.vertices.size(), 4u );
	EXPECT_EQ( strip.state.blendSource, GX_BL_INVSRCCLR );	// the destination's inverse as a source factor
	EXPECT_EQ( strip.state.blendDestination, GX_BL_ZERO );
	EXPECT_EQ( strip.vertices[3].position[0], 128.0f );
	EXPECT_EQ( strip.vertices[3].position[1], 128.0f );
	EXPECT_EQ( strip.vertices[0].colour[0].r, 255u );
	EXPECT_EQ( outline.primitive, GX_LINESTRIP );
	ASSERT_EQ( outline.vertices.size(), 5u );
	EXPECT_EQ( outline.vertices[2].position[0], 127.0f );
	EXPECT_EQ( outline.vertices[2].colour[0].r, 0u );
	EXPECT_EQ( outline.state.blendSource, GX_BL_ONE );
	EXPECT_EQ( outline.state.blendDestination, GX_BL_ZERO );

	// Then the copy: the clear colour set, the texture copy, all restored.
	const GXHostVector<GXHostRecord>& records = GXHostCurrentFrame().records;
	s32 clearAt = -1;
	s32 copyAt = -1;
	for ( u32 i = 0; i < records.size(); i++ ) {
		if ( records[i].call == GXHOST_SET_COPY_CLEAR ) {
			clearAt = static_cast<s32>( i );
		}
		if ( records[i].call == GXHOST_COPY_TEX ) {
			copyAt = static_cast<s32>( i );
		}
	}
	ASSERT_GE( clearAt, 0 );
	EXPECT_GT( copyAt, clearAt );
	const GXColor cleared = GXHostCopy().clearColour;
	EXPECT_EQ( ( std::vector<u32>{ cleared.r, cleared.g, cleared.b, cleared.a } ),
			   ( std::vector<u32>{ 0x10, 0x20, 0x30, 0x40 } ) );
	EXPECT_EQ( GXHostCopy().clearZ, 0xFFFFFFu );
	EXPECT_EQ( RwGameCubeGetCopyClear(), copyClear );
	EXPECT_FALSE( GXHostState().alphaUpdate );
	sFloatClearColor = { 0, 0, 0, 0 };
	first->pipeline = nullptr;
	second->pipeline = nullptr;
	_rxPipelineDestroy( pipeline );
}

TEST_F( EFShadowMgrTest, TwoFiftySixSilhouettesTakePoolSlotsInOrderAndTheNextCameraReusesThem ) {
	for ( u32 i = 0; i < 3; i++ ) {
		Caster( { static_cast<f32>( i ), 0, 0 }, EF_LF_SHADOW_DROP_DOWN, Params( 0x2, 256 ) );
	}
	std::vector<RwTexture*> first;
	for ( u32 pass = 0; pass < 2; pass++ ) {
		SCOPED_TRACE( pass );
		ShadowFrame();
		EXPECT_EQ( goShadowMgr.GetLent256(), 3u );
		for ( u32 i = 0; i < 3; i++ ) {
			RwTexture* const texture = goShadowMgr.GetEntry( i ).pTexture256;
			ASSERT_NE( texture, nullptr );
			EXPECT_EQ( texture, goShadowMgr.GetPoolTexture( i ) );
			EXPECT_EQ( std::string( texture->name ), "SHD_Tex" + std::to_string( i ) + "_256" );
			EXPECT_EQ( texture->raster->width, 256 );
			if ( pass == 0 ) {
				first.push_back( texture );
			} else {
				EXPECT_EQ( texture, first[i] );
			}
		}
		EXPECT_EQ( goShadowMgr.GetPoolTexture( 3 ), nullptr );
	}
	EXPECT_EQ( std::string( goShadowMgr.GetEntry( 5 ).pTexture64->name ), "SHD_Tex5_64" );
	EXPECT_EQ( std::string( goShadowMgr.GetEntry( 5 ).pTexture128->name ), "SHD_Tex5_128" );
}

TEST_F( EFShadowMgrTest, NineCastersGiveEightShadowsAndShadowsWithoutATextureTakeNoEntry ) {
	// Without "DefaultDropShadow" and with a resolution of 100 nothing is
	// made; the caster after them gets entry 0.
	Caster( { 5, 0, 0 }, EF_LF_SHADOW_DROP_DOWN | EF_LF_SHADOW_CAST, Params( 0 ) );
	Caster( { 4, 0, 0 }, EF_LF_SHADOW_DROP_DOWN, Params( 0x2, 100 ) );
	ShadowFrame();
	EXPECT_EQ( goShadowMgr.GetShadowCount(), 0u );
	EXPECT_EQ( goProjectorMgr.GetEntriesCount(), 0u );
	AddTexture( "DefaultDropShadow" );
	for ( u32 i = 0; i < 7; i++ ) {
		Caster( { static_cast<f32>( i ), 0, 0 }, EF_LF_SHADOW_DROP_DOWN, Params( 0 ) );
	}
	// The list runs newest first: the resolution-100 caster comes last
	// but one, after eight casters with the default texture.
	ShadowFrame();
	EXPECT_EQ( goShadowMgr.GetShadowCount(), 8u );
	ASSERT_EQ( goProjectorMgr.GetEntriesCount(), 8u );
	for ( u32 i = 0; i < 8; i++ ) {
		EXPECT_EQ( goProjectorMgr.GetOccurence( i ).pCamera, goShadowMgr.GetEntry( i ).pCamera ) << i;
		EXPECT_EQ( goProjectorMgr.GetOccurence( i ).pTexture, goShadowMgr.GetDefaultTexture() ) << i;
	}
	// Out of the frustum, or flagged as casting none: no shadow.
	for ( const EFShadowMgr::_sObjectEntry* c = goShadowMgr.GetFirstCaster(); c != nullptr; c = c->mpNext ) {
		c->mpoObject->moClipping.camClipState[0].ui16CamInFrustum = c->mpNext != nullptr ? 0 : 1;
		c->mpoObject->mShadowData.uiFlags = EF_SHADOW_NONE;
	}
	ShadowFrame();
	EXPECT_EQ( goShadowMgr.GetShadowCount(), 0u );
}

TEST_F( EFShadowMgrTest, TheThreeShadowCamerasMatchGlm ) {
	AddTexture( "DefaultDropShadow" );
	EFShadowMgr::_sObjectEntry* const caster = Caster( { 3, 1, 2 }, EF_LF_SHADOW_DROP_DOWN, Params( 0 ) );
	// One atomic: the caster's sphere is the atomic's.
	ASSERT_NEAR( caster->mfRadius, 4.0f / 3.0f, 1e-4f );
	const RwV3d c = caster->moCenterOffset;
	const f32 r = caster->mfRadius;
	const glm::dvec3 O( 3, 1, 2 );
	const glm::dvec3 C( c.x, c.y, c.z );
	auto frameOf = []( const EFCamera* camera ) { return camera->mpFrame->GetRwFrame(); };
	auto expectAxes = [&]( const RwFrame* frame, glm::dvec3 at, const glm::dvec3 position ) {
		at = glm::normalize( at );
		glm::dvec3 right = glm::cross( glm::dvec3( 0, 1, 0 ), at );
		if ( glm::dot( right, right ) < 0.4 ) {
			right = glm::cross( glm::dvec3( 0, 0, 1 ), at );
		}
		right = glm::normalize( right );
		const glm::dvec3 up = glm::cross( at, right );
		const RwMatrix& m = frame->modelling;
		const glm::dvec3 got[4] = { { m.right.x, m.right.y, m.right.z }, { m.up.x, m.up.y, m.up.z },
									{ m.at.x, m.at.y, m.at.z }, { m.pos.x, m.pos.y, m.pos.z } };
		const glm::dvec3 want[4] = { right, up, at, position };
		for ( u32 i = 0; i < 4; i++ ) {
			EXPECT_NEAR( glm::distance( got[i], want[i] ), 0.0, 5e-4 ) << i;
		}
	};
	// Drop-down: straight down from the object, window (scale, scale).
	ShadowFrame();
	ASSERT_EQ( goProjectorMgr.GetEntriesCount(), 1u );
	{
		const _sProjectorOccurence& o = goProjectorMgr.GetOccurence( 0 );
		expectAxes( frameOf( o.pCamera ), glm::dvec3( 0, -1, 0 ), O );
		EXPECT_FLOAT_EQ( o.pCamera->mpoRwCamera->viewWindow.x, 1.5f );
		EXPECT_EQ( o.pCamera->GetCameraProjection(), EF_CAMERA_PARALLEL );
		EXPECT_FLOAT_EQ( o.oFarPoint.y, 1.0f - 6.0f );
		EXPECT_FLOAT_EQ( o.oNearPlane.fDistance, 1.0f );	// -(at . P) with at = -y, P.y = 1
		EXPECT_FLOAT_EQ( o.pCamera->mpoRwCamera->nearPlane, 0.1f );
		EXPECT_FLOAT_EQ( o.pCamera->mpoRwCamera->farPlane, 10000.0f );
	}
	// Parallel from a directional light looking down -y; perspective from a
	// point light.
	const _ShadowParams params = Params( 0, 64 );
	caster->mpoObject->mShadowData = params;
	EFLight* const sun = Light( LIGHT_TYPE_DIRECTIONAL, { 0, 50, 0 }, 1.0f );
	EFLight* const lamp = Light( LIGHT_TYPE_POINT, { 3, 6, -2 }, 100.0f );
	goProjectorMgr.Begin( 0 );
	ASSERT_EQ( goShadowMgr.Prepare( sun, Entry( 1 ), *caster,
									params ),
			   0 );
	{
		const _sProjectorOccurence& o = goProjectorMgr.GetOccurence( 0 );
		const glm::dvec3 D( 0, -1, 0 );
		expectAxes( frameOf( o.pCamera ), D, O + C - static_cast<f64>( r ) * D );
		EXPECT_FLOAT_EQ( o.oPosition.y, 1.0f + 0.5f * c.y );
		EXPECT_FLOAT_EQ( o.afColor[0], 0.75f );
		EXPECT_FLOAT_EQ( o.afColor[3], 1.0f );
	}
	ASSERT_EQ( goShadowMgr.Prepare( lamp, Entry( 2 ), *caster,
									params ),
			   0 );
	{
		const _sProjectorOccurence& o = goProjectorMgr.GetOccurence( 1 );
		const glm::dvec3 L( 3, 6, -2 );
		const glm::dvec3 V = O + C - L;
		expectAxes( frameOf( o.pCamera ), V, L );
		const f64 window = r / std::sqrt( glm::dot( V, V ) - static_cast<f64>( r ) * r );
		EXPECT_NEAR( o.pCamera->mpoRwCamera->viewWindow.x, window, 1e-6 );
		EXPECT_EQ( o.pCamera->GetCameraProjection(), EF_CAMERA_PERSPECTIVE );
	}
}

TEST_F( EFShadowMgrTest, LightRangeFadeAndLightsInsideTheCaster ) {
	const _ShadowParams params = Params( 0, 64 );
	EFShadowMgr::_sObjectEntry* const caster = Caster( { 0, 0, 0 }, EF_LF_SHADOW_CAST, params );
	const RwV3d centre = caster->moCenterOffset;
	const f32 r = caster->mfRadius;
	ASSERT_GT( r, 0.0f );
	struct Row {
		const char*		name;
		LightType_e		type;
		RwV3d			position;
		f32				radius;
		s32				result;
	};
	const Row rows[] = {
		{ "out of range", LIGHT_TYPE_POINT, { 0, 0, -10 }, 9.0f, -1 },
		{ "in range", LIGHT_TYPE_POINT, { 0, 0, -10 }, 11.0f, 0 },
		{ "at the centre", LIGHT_TYPE_POINT, centre, 11.0f, -1 },
		{ "on the sphere", LIGHT_TYPE_SPOT, { centre.x, centre.y, centre.z - r }, 11.0f, -1 },
		{ "ambient", LIGHT_TYPE_AMBIENT, { 0, 0, -1 }, 11.0f, -1 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		ShadowFrame();
		EFLight* const light = row.type == LIGHT_TYPE_AMBIENT ? new EFLight( row.type ) : Light( row.type, row.position, row.radius );
		if ( row.type == LIGHT_TYPE_AMBIENT ) {
			lights.push_back( light );
		}
		EXPECT_EQ( goShadowMgr.Prepare( light, Entry( 0 ), *caster, params ), row.result );
		EXPECT_EQ( goShadowMgr.GetShadowCount(), row.result == 0 ? 1u : 0u );
		EXPECT_EQ( goProjectorMgr.GetEntriesCount(), row.result == 0 ? 1u : 0u );
	}
	// The fade: 1 up to ratio x radius, 0 from the radius on; a ratio of
	// 1.0 has no band.
	struct Fade {
		f32		ratio;
		f32		distance;
		f32		scale;
	};
	const Fade fades[] = {
		{ 0.5f, 5.0f, 1.0f }, { 0.5f, 10.0f, 0.0f }, { 0.5f, 7.5f, 0.5f }, { 0.5f, 2.0f, 1.0f },
		{ 1.0f, 5.0f, 1.0f }, { 1.0f, 10.0f, 0.0f },
	};
	for ( const Fade& fade : fades ) {
		SCOPED_TRACE( testing::Message() << fade.ratio << " at " << fade.distance );
		_ShadowParams faded = params;
		faded.fCastedFadeStartRatio = fade.ratio;
		_sProjectorOccurence occurrence = {};
		for ( f32& value : occurrence.afColor ) {
			value = 0.8f;
		}
		EFShadowMgr::AdjustShadowIntensity( occurrence, faded, { fade.distance, 0, 0 }, 10.0f, { 0, 0, 0 } );
		for ( const f32 value : occurrence.afColor ) {
			EXPECT_FLOAT_EQ( value, 0.8f * fade.scale );
		}
	}
}

TEST_F( EFShadowMgrTest, RemovingACasterRemovesEveryRecordAndTheNextFrameRunsClean ) {
	AddTexture( "DefaultDropShadow" );
	EFShadowMgr::_sObjectEntry* const first = Caster( { 0, 0, 0 }, EF_LF_SHADOW_DROP_DOWN, Params( 0 ) );
	EFGameObject* const object = first->mpoObject;
	goShadowMgr.AddCaster( object, FloorTriangle() );
	Caster( { 1, 0, 0 }, EF_LF_SHADOW_DROP_DOWN, Params( 0 ) );
	EXPECT_EQ( goShadowMgr.RemoveCaster( object ), 1u );
	objects.erase( std::find( objects.begin(), objects.end(), object ) );
	delete object;
	u32 left = 0;
	for ( const EFShadowMgr::_sObjectEntry* c = goShadowMgr.GetFirstCaster(); c != nullptr; c = c->mpNext ) {
		EXPECT_NE( c->mpoObject, object );
		left++;
	}
	EXPECT_EQ( left, 1u );
	ShadowFrame();
	EXPECT_EQ( goShadowMgr.GetShadowCount(), 1u );
}

}	// namespace
