/*
	The quadruped on the ten-node skeleton: the tilt target from the
	nearest floor polygon (steeper ones ignored even when nearest, none
	within reach keeps the target), the tilt stepping at its rate and
	pitching the root bone only above 0.05, the bends growing as the mean
	of ten samples and starting over after a reset, and an absent bone
	left alone.
*/
#include "framework/behaviour/SkeletonTestBench.h"
#include "framework/behaviour/SurfacePolygon.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/behaviour/EFDMQuadruped.h"

#include <cmath>

namespace {

constexpr u32 OBJECT = 0x2A000800;

// A square of half size 5 through (0, y, 0) rising along z by slope.
std::vector<DTVector3d> Ramp( const f32 y, const f32 slope ) {
	return { { -5, y + 5 * slope, 5 }, { 5, y + 5 * slope, 5 }, { 5, y - 5 * slope, -5 }, { -5, y - 5 * slope, -5 } };
}

class EFDMQuadrupedTest : public SkeletonTestBench {
protected:
	void SetUp() override {
		SkeletonTestBench::SetUp();
		body = MakeModuleBody( OBJECT );
		hierarchy = &GiveSkeleton( *OwnerOf( body ) );
		body->mfMinFloorNormalY = 0.7f;
		module = Module<EFDMQuadruped>( Add( OBJECT, EF_DM_QUADRUPED ) );
	}

	void Configure( const u32 flags, const u32 boneB = 0 ) {
		DMQuadrupedParams params = { 3, boneB, 0.35f, 0.35f, 2.0f, 1.0f, 2, flags };
		module->SetParams( &params );
	}

	void Post( std::vector<SurfacePolygon*> polygons = {}, const f32 dt = 0.02f ) {
		std::vector<EFEnvCollisionPrim*> prims;
		for ( SurfacePolygon* polygon : polygons ) {
			prims.push_back( &polygon->Prim() );
		}
		EFCollisionStage stage = StageOf( record, prims );
		module->PostColUpdate( &stage, dt );
	}

	const RwMatrix& Bone( const s32 i ) const { return hierarchy->pNodeInfo[i].pFrame->modelling; }

	EFPhysic*			body = nullptr;
	RpHAnimHierarchy*	hierarchy = nullptr;
	EFDMQuadruped*		module = nullptr;
	EFDynamicPhysic		record = {};
};

TEST_F( EFDMQuadrupedTest, TheTiltTargetIsTheNearestFloorNotSteeperThanTheLimit ) {
	Configure( EF_DM_QUADRUPED_TILT );
	SurfacePolygon flat( SquareAt( -0.5f, 5.0f ) );
	SurfacePolygon slope( Ramp( -0.5f, std::tan( 0.3f ) ) );
	SurfacePolygon steep( Ramp( -0.2f, 0.8f / 0.6f ) );		// normal y 0.6
	SurfacePolygon lower( SquareAt( -0.9f, 5.0f ) );
	SurfacePolygon far( SquareAt( -1.1f, 5.0f ) );			// 1.21 away
	struct Row {
		const char*					name;
		std::vector<SurfacePolygon*> polygons;
		f32							target;
		f32							normalY;
	};
	const Row rows[] = {
		{ "flat floor", { &flat }, 0.0f, 1.0f },
		{ "slope rising ahead", { &slope }, -0.3f, std::cos( 0.3f ) },
		{ "steep only: kept", { &steep }, -0.3f, 0.0f },
		{ "out of reach: kept", { &far }, -0.3f, 0.0f },
		{ "steep nearest, flat below", { &steep, &lower }, 0.0f, 1.0f },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		module->DoAction( EF_DM_QUADRUPED_SNAP, nullptr );
		Post( row.polygons );
		EXPECT_NEAR( module->mfTargetTilt, row.target, 1e-5f );
		EXPECT_EQ( module->mfTilt, module->mfTargetTilt );
		f32 normals[6] = {};
		module->DoAction( EF_DM_QUADRUPED_NORMALS, normals );
		EXPECT_NEAR( normals[1], row.normalY, 1e-5f );
	}
	// The floor limit comes from the body only with the tilt flag.
	body->mfMinFloorNormalY = 0.5f;
	Configure( EF_DM_QUADRUPED_BEND );
	EXPECT_EQ( module->mfMinFloorNormalY, 0.7f );
	Configure( EF_DM_QUADRUPED_TILT );
	EXPECT_EQ( module->mfMinFloorNormalY, 0.5f );
}

TEST_F( EFDMQuadrupedTest, TheTiltStepsAtItsRateAndPitchesTheRootOnlyAboveFiveHundredths ) {
	Configure( EF_DM_QUADRUPED_TILT );
	SurfacePolygon slope( Ramp( -0.5f, std::tan( 0.3f ) ) );
	const f32 expected[] = { -0.02f, -0.04f, -0.06f };
	for ( const f32 tilt : expected ) {
		Post( { &slope } );
		EXPECT_NEAR( module->mfTilt, tilt, 1e-6f );
		const f32 before = Bone( 0 ).at.y;
		module->PreColUpdate( record, 0.02f );
		EXPECT_NEAR( std::fabs( Bone( 0 ).at.y - before ), std::fabs( tilt ) > 0.05f ? std::sin( 0.06f ) : 0.0f, 1e-5f );
	}
	// A reset puts the tilt back to 0: the root is left as it is.
	module->DoAction( EF_DM_QUADRUPED_RESET, nullptr );
	Post( { &slope } );
	EXPECT_EQ( module->mfTilt, 0.0f );
	EXPECT_EQ( module->mfTargetTilt, 0.0f );
	const f32 before = Bone( 0 ).at.y;
	module->PreColUpdate( record, 0.02f );
	EXPECT_EQ( Bone( 0 ).at.y, before );
}

TEST_F( EFDMQuadrupedTest, BendsAreTheMeanOfTenSamplesStartOverAfterAResetAndSkipAnAbsentBone ) {
	// Bone B is id 50: beyond the ten nodes, never touched.
	Configure( EF_DM_QUADRUPED_BEND, 50 );
	DTFrame* const frame = OwnerOf( body )->GetFrame();
	module->DoAction( EF_DM_QUADRUPED_RESET, nullptr );
	Post();
	EXPECT_EQ( module->mfBoneABend, 0.0f );
	// Turning 0.1 a update: samples of 0.1 x 2; the mean grows by 0.02.
	f32 heading = 0.0f;
	for ( u32 k = 1; k <= 12; k++ ) {
		SCOPED_TRACE( k );
		heading += 0.1f;
		frame->SetRotation( DTVector3d( 0.0f, 1.0f, 0.0f ), heading );
		const f32 before = Bone( 3 ).at.x;
		Post();
		const f32 bend = 0.02f * static_cast<f32>( k < 10 ? k : 10 );
		EXPECT_NEAR( std::fabs( module->mfBoneABend ), bend, 1e-4f );
		EXPECT_EQ( module->mfBoneBBend, -module->mfBoneABend );
		// Only bends above 0.05 turn the bone.
		EXPECT_EQ( Bone( 3 ).at.x != before, bend > 0.05f );
	}
	for ( s32 i = 4; i < 10; i++ ) {
		EXPECT_EQ( Bone( i ).at.x, 0.0f ) << i;
	}
	// A reset empties the rings: the bends grow again from 0.02.
	module->DoAction( EF_DM_QUADRUPED_RESET, nullptr );
	Post();
	EXPECT_EQ( module->mfBoneABend, 0.0f );
	heading += 0.1f;
	frame->SetRotation( DTVector3d( 0.0f, 1.0f, 0.0f ), heading );
	Post();
	EXPECT_NEAR( std::fabs( module->mfBoneABend ), 0.02f, 1e-4f );
}

}
