// Hardware lights per object and the in-place morph update: light
// objects taken in order up to eight, ambient sums, camera-space light
// placement, shared lights set up once; interpolated positions stored
// exactly as f32 and rounded in fixed point, normals only with the flag.
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwFrameSync.h"
#include "graphics3d/core/RwMatrix.h"
#include "graphics3d/core/RwPlugin.h"
#include "graphics3d/gamecube/RpGameCubeVtxFmt.h"
#include "graphics3d/gamecube/RwGCLights.h"
#include "graphics3d/gamecube/RwGameCube.h"
#include "graphics3d/gamecube/RxGCPipelines.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpLight.h"
#include "graphics3d/world/RpWorld.h"
#include "graphics3d/world/RpWorldObj.h"

#include "RpGameCubeTestCase.h"

#include <glm/glm.hpp>

#include <cmath>
#include <vector>

namespace {

class RwGCLightsTest : public RpGameCubeTestCase {
protected:
	RpLight* Light( const s32 type, const u8 flags, const f32 red ) {
		RpLight* const light = RpLightCreate( type );
		const RwRGBAReal colour = { red, 0.25f, 2.0f, 1.0f };
		RpLightSetColor( light, &colour );
		RpLightSetRadius( light, 10.0f );
		light->object.object.flags = flags;
		lights.push_back( light );
		return light;
	}

	void TearDown() override {
		for ( RpLight* light : lights ) {
			RpLightDestroy( light );
		}
		for ( RwFrame* frame : frames ) {
			RwFrameDestroy( frame );
		}
		RpGameCubeTestCase::TearDown();
	}

	void Place( RpLight* light, const RwV3d& at, const RwV3d& pos ) {
		RwFrame* const frame = RwFrameCreate();
		frames.push_back( frame );
		frame->modelling.at = at;
		frame->modelling.pos = pos;
		RwFrameUpdateObjects( frame );
		_rwObjectHasFrameSetFrame( &light->object, frame );
	}

	std::vector<u32> LoadedIds() const {
		std::vector<u32> ids;
		for ( const GXHostRecord& record : GXHostCurrentFrame().records ) {
			if ( record.call == GXHOST_LOAD_LIGHT ) {
				ids.push_back( record.args[0] );
			}
		}
		return ids;
	}

	std::vector<RpLight*> lights;
	std::vector<RwFrame*> frames;
};

TEST_F( RwGCLightsTest, LocalLightsTakeTheEightObjectsInOrderAndSitInCameraSpace ) {
	// The camera sits at (0, 0, 10) without rotation.
	_rwMatrixSetIdentity( &_RwDlInvCamLTM );
	_RwDlInvCamLTM.pos = { 0.0f, 0.0f, -10.0f };
	RxGCLightingState state = {};
	GXHostClearLog();
	for ( s32 i = 0; i < 9; i++ ) {
		_rwGCLightsLocalEnable( Light( rpLIGHTPOINT, 1, 0.5f ), &state );
	}
	EXPECT_EQ( LoadedIds(), ( std::vector<u32>{ 0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80 } ) );
	EXPECT_EQ( state.numLights, 8u );
	EXPECT_EQ( state.lightMask1, 0xFFu );
	const GXLightObj& point = GXHostState().lights[0];
	EXPECT_EQ( point.refDistance, 5.0f );
	EXPECT_EQ( point.distanceFunction, 2u );
	EXPECT_EQ( point.attnA[0], 1.0f );
	// 0.5 → 127, above 1.0 saturates.
	EXPECT_EQ( point.colour.r, 127 );
	EXPECT_EQ( point.colour.b, 255 );
	EXPECT_EQ( point.colour.a, 0 );

	RxGCLightingState spotState = {};
	RpLight* const spot = Light( rpLIGHTSPOTSOFT, 1, 1.0f );
	Place( spot, { 0.0f, 0.0f, 1.0f }, { 1.0f, 2.0f, 3.0f } );
	GXHostClearLog();
	_rwGCLightsLocalEnable( spot, &spotState );
	const GXLightObj& soft = GXHostState().lights[0];
	EXPECT_EQ( soft.position[0], -1.0f );
	EXPECT_EQ( soft.position[1], 2.0f );
	EXPECT_EQ( soft.position[2], 7.0f );		// -(3 - 10)
	EXPECT_EQ( soft.direction[2], -1.0f );
	EXPECT_EQ( soft.spotFunction, 2u );
	EXPECT_NEAR( soft.cutoff, RpLightGetConeAngle( spot ) * 57.29578f, 1e-4f );
}

TEST_F( RwGCLightsTest, AmbientSumsAndDirectionalLightsOfTheWorld ) {
	const RwBBox box = { { 1.0f, 1.0f, 1.0f }, { -1.0f, -1.0f, -1.0f } };
	RpWorld* const world = RpWorldCreate( &box );
	RpWorldAddLight( world, Light( rpLIGHTAMBIENT, 1, 0.5f ) );
	RpLight* const sun = Light( rpLIGHTDIRECTIONAL, 1, 1.0f );
	Place( sun, { 0.0f, -1.0f, 0.0f }, { 5.0f, 5.0f, 5.0f } );
	RpWorldAddLight( world, sun );
	// Lights only the world: left out for atomics.
	RpWorldAddLight( world, Light( rpLIGHTDIRECTIONAL, 2, 1.0f ) );
	RwEngineInstance->currentWorld = world;
	_rwMatrixSetIdentity( &_RwDlInvCamLTM );
	RxGCLightingState state = {};
	GXHostClearLog();
	_rwGCLightsGlobalEnable( 1, &state );
	EXPECT_EQ( state.ambientRed, 0.5f );
	EXPECT_EQ( state.ambientBlue, 2.0f );
	EXPECT_EQ( state.ambientPresent, 1u );
	EXPECT_EQ( state.numLights, 1u );
	EXPECT_EQ( state.lightMask0, 0x01u );
	EXPECT_EQ( LoadedIds(), ( std::vector<u32>{ 0x01 } ) );
	EXPECT_EQ( GXHostState().lights[0].position[1], 1048576.0f );
	// The atomic callback clamps the ambient sum.
	RpGeometry* const geometry = RpGeometryCreate( 3, 1, 0x02 | 0x20 );
	RpAtomic* const atomic = RpAtomicCreate();
	RpAtomicSetGeometry( atomic, geometry, 0 );
	ASSERT_EQ( _rxGCAtomicDefaultLightingCallback( atomic, &state ), atomic );
	EXPECT_EQ( state.ambientBlue, 1.0f );
	EXPECT_EQ( state.ambientGreen, 0.25f );
	EXPECT_EQ( state.lightMask0, 0x01u );
	RpAtomicDestroy( atomic );
	RpGeometryDestroy( geometry );
	RwEngineInstance->currentWorld = nullptr;
	for ( RpLight* light : lights ) {
		RpWorldRemoveLight( world, light );
	}
	RpWorldDestroy( world );
}

TEST_F( RwGCLightsTest, LightVectorsOfARotatedMovedCameraMatchGlmsInverse ) {
	// The camera turned 30 degrees about y and moved; its begin update
	// makes the view matrix.
	RwDlTestCamera view;
	ASSERT_TRUE( view.Create( 16, 16 ) );
	const f32 c = std::cos( 0.5235988f );
	const f32 s = std::sin( 0.5235988f );
	view.frame->modelling.right = { c, 0.0f, -s };
	view.frame->modelling.up = { 0.0f, 1.0f, 0.0f };
	view.frame->modelling.at = { s, 0.0f, c };
	view.frame->modelling.pos = { 1.0f, 2.0f, -3.0f };
	RwMatrixOptimize( &view.frame->modelling, nullptr );
	RwFrameUpdateObjects( view.frame );
	ASSERT_NE( RwCameraBeginUpdate( view.camera ), nullptr );
	const RwMatrix* const ltm = RwFrameGetLTM( view.frame );
	const glm::dmat4 camera( glm::dvec4( ltm->right.x, ltm->right.y, ltm->right.z, 0.0 ),
							 glm::dvec4( ltm->up.x, ltm->up.y, ltm->up.z, 0.0 ),
							 glm::dvec4( ltm->at.x, ltm->at.y, ltm->at.z, 0.0 ),
							 glm::dvec4( ltm->pos.x, ltm->pos.y, ltm->pos.z, 1.0 ) );
	const glm::dmat4 inverse = glm::inverse( camera );

	RpLight* const spot = Light( rpLIGHTSPOT, 1, 1.0f );
	const RwV3d spotAt = { 0.0f, -0.6f, 0.8f };
	Place( spot, spotAt, { 4.0f, 5.0f, 6.0f } );
	RxGCLightingState state = {};
	_rwGCLightsLocalEnable( spot, &state );
	const glm::dvec4 p = inverse * glm::dvec4( 4.0, 5.0, 6.0, 1.0 );
	const glm::dvec4 d = inverse * glm::dvec4( spotAt.x, spotAt.y, spotAt.z, 0.0 );
	const GXLightObj& local = GXHostState().lights[0];
	const double expectedPos[3] = { -p.x, p.y, -p.z };
	const double expectedDir[3] = { -d.x, d.y, -d.z };
	for ( u32 i = 0; i < 3; i++ ) {
		EXPECT_NEAR( local.position[i], expectedPos[i], 1e-4 ) << i;
		EXPECT_NEAR( local.direction[i], expectedDir[i], 1e-5 ) << i;
	}

	const RwBBox box = { { 1.0f, 1.0f, 1.0f }, { -1.0f, -1.0f, -1.0f } };
	RpWorld* const world = RpWorldCreate( &box );
	RpLight* const sun = Light( rpLIGHTDIRECTIONAL, 1, 1.0f );
	const RwV3d sunAt = { 0.48f, -0.6f, 0.64f };
	Place( sun, sunAt, { 0.0f, 0.0f, 0.0f } );
	RpWorldAddLight( world, sun );
	RwEngineInstance->currentWorld = world;
	RxGCLightingState global = {};
	_rwGCLightsGlobalEnable( 1, &global );
	const glm::dvec4 a = inverse * glm::dvec4( sunAt.x, sunAt.y, sunAt.z, 0.0 );
	const double expectedFar[3] = { 1048576.0 * a.x, -1048576.0 * a.y, 1048576.0 * a.z };
	for ( u32 i = 0; i < 3; i++ ) {
		EXPECT_NEAR( GXHostState().lights[0].position[i], expectedFar[i], 1.0 ) << i;
	}
	RwEngineInstance->currentWorld = nullptr;
	RpWorldRemoveLight( world, sun );
	RpWorldDestroy( world );
	RwCameraEndUpdate( view.camera );
	view.Destroy();
}

TEST_F( RwGCLightsTest, MorphUpdateStoresF32ExactlyAndFixedPointRounded ) {
	RpGeometry* const geometry = RpGeometryCreate( 2, 0, 0x02 );
	ASSERT_EQ( RpGeometryAddMorphTargets( geometry, 1 ), 1 );
	geometry->morphTarget[0].verts[0] = { 1.999f, -3.0f, 0.1f };
	geometry->morphTarget[0].verts[1] = { 0.0f, 0.0f, 0.0f };
	geometry->morphTarget[1].verts[0] = { 5.0f, 5.0f, 5.0f };
	geometry->morphTarget[1].verts[1] = { 2.0f, 4.0f, -8.0f };
	alignas( 32 ) u8 positions[2 * 12] = {};
	RxGCInstanceHeader header = {};
	header.posArray = positions;
	RpInterpolator interpolator = { 1, 0, 1, 0.25f, 4.0f, 0.0f };
	// Fraction 0, f32: the start target exactly.
	_rxGCInstanceMorphUpdate( geometry, &header, &interpolator );
	EXPECT_EQ( _rwDlQuantisedLoad( positions, rpGCCOMP_F32, 0 ), 1.999f );
	EXPECT_EQ( _rwDlQuantisedLoad( positions + 8, rpGCCOMP_F32, 0 ), 0.1f );
	interpolator.position = 0.125f;		// t = 0.5
	_rxGCInstanceMorphUpdate( geometry, &header, &interpolator );
	EXPECT_EQ( _rwDlQuantisedLoad( positions + 12 + 8, rpGCCOMP_F32, 0 ), -4.0f );

	// s16 with 8 fraction bits: 1.999 × 256 = 511.7 stores 512.
	RpGameCubeVtxFmt fixed = _RpDlVtxFmtDefault;
	fixed.posType = rpGCCOMP_S16;
	fixed.posFrac = 8;
	RpGameCubeVtxFmt** const slot = RwPluginData<RpGameCubeVtxFmt*>( geometry, _rpDlGeomVtxFmtOffset.Get() );
	RpGameCubeVtxFmt* const saved = *slot;
	*slot = &fixed;
	interpolator.position = 0.0f;
	_rxGCInstanceMorphUpdate( geometry, &header, &interpolator );
	EXPECT_EQ( positions[0], 0x02 );
	EXPECT_EQ( positions[1], 0x00 );
	EXPECT_EQ( _rwDlQuantisedLoad( positions + 2, rpGCCOMP_S16, 8 ), -3.0f );
	// No normals: nothing beyond the positions is written.
	EXPECT_EQ( header.normArray, nullptr );

	// Targets the geometry does not have: the instance stays, the flag goes.
	const std::vector<u8> before( positions, positions + sizeof( positions ) );
	interpolator.endMorphTarget = 7;
	_rxGCInstanceMorphUpdate( geometry, &header, &interpolator );
	EXPECT_EQ( std::vector<u8>( positions, positions + sizeof( positions ) ), before );
	*slot = saved;
	RpGeometryDestroy( geometry );
}

}	// namespace
