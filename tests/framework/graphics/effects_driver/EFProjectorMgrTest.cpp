/*
	Projectors: which eight of more draw, the texture coordinates of both
	projections, the blends and fog, batching, exclusion, intensity,
	skinned receivers and removal of every record of a receiver.
*/
#include "EffectsDriverTestBench.h"

#include "framework/graphics/effects/EFEffectRenderStates.h"
#include "graphics3d/world/RpHAnim.h"
#include "graphics3d/world/RpSkin.h"

#include <algorithm>
#include <cmath>

namespace {

class EFProjectorMgrTest : public EffectsDriverTest {};

TEST_F( EFProjectorMgrTest, NineVisibleProjectorsDrawTheFirstEightInMapOrder ) {
	AddTexture( "SPOT" );
	struct Made {
		u32		handle;
		u32		order;
		EFCamera*	camera;
	};
	std::vector<Made> made;
	for ( u32 i = 0; i < 9; i++ ) {
		EFProjector* const projector = Projector( { 0, 5, 0 }, "SPOT" );
		made.push_back( { projector->GetHandle(), i, projector->GetCamera() } );
	}
	// A hidden or untextured projector adds nothing.
	Projector( { 0, 5, 0 }, "SPOT" )->SetFlags( 0 );
	Projector( { 0, 5, 0 }, "NONE" );
	EXPECT_EQ( made[1].handle, made[0].handle + 1 );
	// Buckets in index order, each chain newest first.
	std::sort( made.begin(), made.end(), []( const Made& a, const Made& b ) {
		const u32 bucketA = a.handle % 37;
		const u32 bucketB = b.handle % 37;
		return bucketA != bucketB ? bucketA < bucketB : a.order > b.order;
	} );
	goProjectorMgr.Begin( 0 );
	ASSERT_EQ( goProjectorMgr.GetEntriesCount(), 8u );
	for ( u32 i = 0; i < 8; i++ ) {
		EXPECT_EQ( goProjectorMgr.GetOccurence( i ).pCamera, made[i].camera ) << i;
	}
	// Terminate empties the map but keeps counting handles and projectors.
	const u32 count = goProjectorMgr.GetProjectorCount();
	goProjectorMgr.Terminate();
	EXPECT_EQ( goProjectorMgr.GetProjector( made[0].handle ), nullptr );
	EXPECT_EQ( goProjectorMgr.GetProjectorCount(), count );
	EXPECT_GT( goProjectorMgr.CreateProjector()->GetHandle(), made.back().handle );
}

TEST_F( EFProjectorMgrTest, TextureCoordinatesFollowTheProjectionAndTheProjectorsMoves ) {
	AddTexture( "SPOT" );
	goProjectorMgr.AddReceiver( Object(), FloorTriangle() );
	// The first three drawn vertices are A, A + AB / 4 and A + AC / 4
	// (the first pieces of the splitting); the projector is 2 x 2 wide,
	// 5 above the floor, right = +x, up = +z.
	struct Row {
		const char*	name;
		u32			type;
		RwV3d		position;
		f32			uv[3][2];
	};
	const Row rows[] = {
		{ "parallel", 0, { 0, 5, 0 }, { { 0.5f, 0.5f }, { 0.4375f, 0.5f }, { 0.5f, 0.4375f } } },
		{ "parallel moved by +x", 0, { 1, 5, 0 }, { { 0.75f, 0.5f }, { 0.6875f, 0.5f }, { 0.75f, 0.4375f } } },
		{ "perspective", 1, { 0, 5, 0 }, { { 0.5f, 0.5f }, { 0.4875f, 0.5f }, { 0.5f, 0.4875f } } },
	};
	EFProjector* const projector = Projector( { 0, 5, 0 }, "SPOT" );
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		RwFrame* const frame = projector->mpFrame->GetRwFrame();
		frame->modelling.pos = row.position;
		RwFrameUpdateObjects( frame );
		projector->SetProjectionType( row.type );
		ProjectorFrame();
		const std::vector<const GXHostDraw*> draws = TriangleDraws();
		ASSERT_EQ( draws.size(), 1u );
		ASSERT_EQ( draws[0]->vertices.size(), 48u );
		for ( u32 v = 0; v < 3; v++ ) {
			EXPECT_NEAR( draws[0]->vertices[v].texCoord[0][0], row.uv[v][0], 1e-5f ) << v;
			EXPECT_NEAR( draws[0]->vertices[v].texCoord[0][1], row.uv[v][1], 1e-5f ) << v;
		}
		// Pulled towards the camera at (0, 0, -20): 0.2 % of the way.
		EXPECT_NEAR( draws[0]->vertices[0].position[2], -0.04f, 1e-5f );
	}
}

TEST_F( EFProjectorMgrTest, BlendsFogIntensityAndExclusion ) {
	AddTexture( "SPOT" );
	EF3dObj* const floor = FloorTriangle();
	goProjectorMgr.AddReceiver( Object(), floor );
	EFProjector* const projector = Projector( { 0, 5, 0 }, "SPOT" );
	projector->SetColor( 0.5f, 0.25f, 0.0f, 1.0f );
	struct Row {
		u32		blend;
		bool	fog;
		u32		source;			// the graphics processor's factors
		u32		destination;
		bool	blackFog;
	};
	const Row rows[] = {
		{ 0, false, GX_BL_ONE, GX_BL_ONE, false },	   { 0, true, GX_BL_ONE, GX_BL_ONE, true },
		{ 1, false, GX_BL_ZERO, GX_BL_INVSRCCLR, false }, { 1, true, GX_BL_ZERO, GX_BL_INVSRCCLR, true },
		{ 2, false, GX_BL_SRCALPHA, GX_BL_INVSRCALPHA, false }, { 2, true, GX_BL_SRCALPHA, GX_BL_INVSRCALPHA, false },
	};
	constexpr u32 CAMERA_FOG = 0xFF336699;
	for ( const Row& row : rows ) {
		SCOPED_TRACE( testing::Message() << "blend " << row.blend << " fog " << row.fog );
		projector->SetBlendingFunction( row.blend );
		GXHostClearLog();
		goProjectorMgr.Begin( 0 );
		camera->Begin();
		EFSetState( RWDL_STATE_FOG, row.fog ? 1 : 0 );
		EFSetState( RWDL_STATE_FOG_COLOUR, CAMERA_FOG );
		goProjectorMgr.End();
		EXPECT_EQ( EFGetState( RWDL_STATE_FOG ), row.fog ? 1u : 0u );
		EXPECT_EQ( EFGetState( RWDL_STATE_FOG_COLOUR ), CAMERA_FOG );
		camera->End();
		const std::vector<const GXHostDraw*> draws = TriangleDraws();
		ASSERT_EQ( draws.size(), 1u );
		const GXHostDraw& draw = *draws[0];
		EXPECT_EQ( draw.state.blendSource, row.source );
		EXPECT_EQ( draw.state.blendDestination, row.destination );
		const GXColor fog = draw.state.fogColour;
		EXPECT_EQ( fog.r == 0 && fog.g == 0 && fog.b == 0, row.blackFog );
		// Only the first colour value is drawn, in every channel.
		for ( const GXHostVertex& vertex : draw.vertices ) {
			const GXColor c = vertex.colour[0];
			ASSERT_EQ( ( std::vector<u32>{ c.r, c.g, c.b, c.a } ), ( std::vector<u32>{ 127, 127, 127, 127 } ) );
		}
	}
	// The occurrence's excluded 3D object receives nothing from it.
	projector->SetFlags( 0 );
	goProjectorMgr.Begin( 0 );
	projector->SetFlags( EF_PROJECTOR_VISIBLE );
	_sProjectorOccurence occurrence = {};
	projector->EFProjector_BC::Begin( occurrence );
	occurrence.pExcluded3dObj = floor;
	ASSERT_EQ( goProjectorMgr.AddOccurence( &occurrence ), 0 );
	camera->Begin();
	GXHostClearLog();
	goProjectorMgr.End();
	camera->End();
	EXPECT_TRUE( TriangleDraws().empty() );
}

TEST_F( EFProjectorMgrTest, OneTriangleDrawsAsSixteenPiecesAndBatchesHoldFiveHundred ) {
	AddTexture( "SPOT" );
	Projector( { 0, 5, 0 }, "SPOT" );
	struct Row {
		u32					triangles;
		std::vector<u32>	batches;
	};
	// 32 triangles are 512 pieces: the buffer is flushed before the 501st.
	const Row rows[] = { { 1, { 48 } }, { 32, { 1500, 36 } } };
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.triangles );
		goProjectorMgr.Terminate();
		goShadowMgr.Terminate();
		Projector( { 0, 5, 0 }, "SPOT" );
		goProjectorMgr.AddReceiver( Object(), FloorTriangle( row.triangles ) );
		ProjectorFrame();
		std::vector<u32> batches;
		for ( const GXHostDraw* draw : TriangleDraws() ) {
			batches.push_back( static_cast<u32>( draw->vertices.size() ) );
		}
		EXPECT_EQ( batches, row.batches );
		EXPECT_EQ( EFProjectorMgr_SP::mIm3DBufferCnt, 0u );
	}
}

TEST_F( EFProjectorMgrTest, SkinnedReceiversDrawTheirWeightedPointsAndStopAtAZeroWeightOrBoneZero ) {
	AddTexture( "SPOT" );
	Projector( { 0, 5, 0 }, "SPOT" );
	// Bone 0 at the origin, bone 1 (its child) 2 along +x, bones 2 and 3
	// nowhere: four bones, identity skin-to-bone matrices.
	EF3dObj* const model = Model( { { 0, 0, 0 }, { 1, 0, 0 }, { 0, 0, 1 } }, 1 );
	RpAtomic* atomic = nullptr;
	RpClumpForAllAtomics( model->mpClump, []( RpAtomic* each, void* first ) -> RpAtomic* {
		*static_cast<RpAtomic**>( first ) = each;
		return each;
	}, &atomic );
	ASSERT_NE( atomic, nullptr );
	RpSkin* const skin = SkinCreateSkinData( 4, 4, 3, nullptr, nullptr, nullptr, nullptr );
	ASSERT_NE( skin, nullptr );
	for ( u32 b = 0; b < 4; b++ ) {
		_rwMatrixSetIdentity( &skin->skinToBoneMatrices[b] );
	}
	ASSERT_EQ( RpSkinGeometrySetSkin( atomic->geometry, skin ), atomic->geometry );
	RpHAnimHierarchy* const hierarchy = RpHAnimHierarchyCreate( 4, nullptr, nullptr, 0, 36 );
	ASSERT_NE( hierarchy, nullptr );
	RwFrame* bones[4];
	for ( u32 b = 0; b < 4; b++ ) {
		bones[b] = RwFrameCreate();
		hierarchy->pNodeInfo[b].pFrame = bones[b];
	}
	RwFrameAddChild( bones[0], bones[1] );
	bones[1]->modelling.pos = { 2, 0, 0 };
	RpSkinAtomicSetHAnimHierarchy( atomic, hierarchy );
	goProjectorMgr.AddReceiver( Object(), model );
	struct Row {
		const char*	name;
		u32			indices;
		f32			weights[4];
		f32			x;			// of vertex A (0, 0, 0)
	};
	const Row rows[] = {
		{ "half and half", 0x0100, { 0.5f, 0.5f, 0, 0 }, 1.0f },
		{ "one bone", 0x01, { 1.0f, 0, 0, 0 }, 2.0f },
		{ "second weight on bone 0 stops", 0x0001, { 0.5f, 0.5f, 0, 0 }, 1.0f },
		{ "zero second weight stops", 0x0201, { 1.0f, 0.0f, 1.0f, 0 }, 2.0f },
		{ "bone past the skin adds nothing", 0x0901, { 0.5f, 0.5f, 0, 0 }, 1.0f },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		// Written after the skin is set, which sorts weights.
		for ( u32 v = 0; v < 3; v++ ) {
			skin->vertexBoneIndices[v] = row.indices;
			std::copy( row.weights, row.weights + 4, skin->vertexBoneWeights + 4 * v );
		}
		ProjectorFrame();
		const std::vector<const GXHostDraw*> draws = TriangleDraws();
		ASSERT_EQ( draws.size(), 1u );
		// Skinned triangles are drawn whole.
		ASSERT_EQ( draws[0]->vertices.size(), 3u );
		EXPECT_NEAR( draws[0]->vertices[0].position[0], row.x, 0.01f );
	}
	RpSkinAtomicSetHAnimHierarchy( atomic, nullptr );
	RpHAnimHierarchyDestroy( hierarchy );
	RwFrameRemoveChild( bones[1] );
	for ( RwFrame* bone : bones ) {
		RwFrameDestroy( bone );
	}
}

TEST_F( EFProjectorMgrTest, RemovingAReceiverRemovesEveryRecordOfIt ) {
	EFGameObject* const object = Object();
	EFGameObject* const other = Object();
	goProjectorMgr.AddReceiver( object, FloorTriangle() );
	goProjectorMgr.AddReceiver( other, FloorTriangle() );
	goProjectorMgr.AddReceiver( object, FloorTriangle() );
	EXPECT_EQ( goProjectorMgr.RemoveReceiver( object ), 1u );
	ASSERT_NE( goProjectorMgr.GetFirstReceiver(), nullptr );
	EXPECT_EQ( goProjectorMgr.GetFirstReceiver()->mpoObject, other );
	EXPECT_EQ( goProjectorMgr.GetFirstReceiver()->mpNext, nullptr );
	EXPECT_EQ( goProjectorMgr.RemoveReceiver( object ), 0u );
}

}	// namespace
