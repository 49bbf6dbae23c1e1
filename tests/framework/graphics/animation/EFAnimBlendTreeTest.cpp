/*
	The blend tree through the manager's entry points, against poses and
	weights computed here with the library's own maths: cross-fades, layers
	(timed and additive), frozen-pose transitions, the four ways a skeletal
	node leaves a blend, clip modes, tree building and the failures logic
	can provoke. Each scenario runs over the scripted skeletal node and
	over the engine's skeletal node evaluating stored curves.
*/
#include "framework/graphics/animation/AnimTestSupport.h"
#include "framework/core/world/notification/CountingNew.h"
#include "support/MMAllocationCounts.h"

#include "datatypes/persist/DTMemoryPersistStream.h"

#include <gtest/gtest.h>

namespace {

using namespace animtest;

constexpr u32 OWNER = 0x2A000001;
constexpr u32 STEP_COUNT_LIMIT = 100;

// What a normal mix of two scripted poses gives for one joint.
DTTransfo Mixed( const u32 seedA, const u32 seedB, const u32 joint, const f32 w ) {
	DTTransfo a;
	DTTransfo b;
	ScriptedPose( seedA, joint, a );
	ScriptedPose( seedB, joint, b );
	// The ends copy a side as it is.
	if ( w == 0.0f || w == 1.0f ) {
		return w == 0.0f ? a : b;
	}
	DTQuaternion qa;
	DTQuaternion qb;
	qa.EulerToQuatf( a.mEulerRotation );
	qb.EulerToQuatf( b.mEulerRotation );
	DTTransfo out;
	out.mRotation.QLerp( qa, qb, w );
	out.mTranslation = a.mTranslation + ( b.mTranslation - a.mTranslation ) * w;
	out.mScaling = a.mScaling + ( b.mScaling - a.mScaling ) * w;
	out.muiJointIndex = joint;
	return out;
}

void ExpectJoint( const DTTransfo& got, const DTTransfo& want ) {
	EXPECT_EQ( got.muiJointIndex, want.muiJointIndex );
	EXPECT_FLOAT_EQ( got.mTranslation.x, want.mTranslation.x );
	EXPECT_FLOAT_EQ( got.mTranslation.y, want.mTranslation.y );
	EXPECT_FLOAT_EQ( got.mScaling.x, want.mScaling.x );
	EXPECT_FLOAT_EQ( got.mScaling.z, want.mScaling.z );
	// A pose straight from a node holds Euler angles (its quaternion is
	// stale); a mix holds a quaternion.
	EXPECT_EQ( got.muiState & EF_TRANSFO_EULER, want.muiState & EF_TRANSFO_EULER );
	if ( ( want.muiState & EF_TRANSFO_EULER ) != 0 ) {
		EXPECT_FLOAT_EQ( got.mEulerRotation.x, want.mEulerRotation.x );
		EXPECT_FLOAT_EQ( got.mEulerRotation.y, want.mEulerRotation.y );
		return;
	}
	EXPECT_FLOAT_EQ( got.mRotation.x, want.mRotation.x );
	EXPECT_FLOAT_EQ( got.mRotation.y, want.mRotation.y );
	EXPECT_FLOAT_EQ( got.mRotation.mfScalaire, want.mRotation.mfScalaire );
}

class EFAnimBlendTreeTest : public ::testing::TestWithParam<SkeletalKind> {
protected:
	// A skeletal node of group group and duration duration at table slot
	// slot, writing pose seed for joints.
	EFAnimNode* Skeletal( Actor& actor, const u32 slot, const u8 group, const f32 duration, const u32 seed,
						  std::vector<u32> joints, const u8 blendKind = 0 ) {
		EFAnimNode* const node =
			MakeSkeletal( GetParam(), actor.object, actor.model, duration, group, blendKind, std::move( joints ), seed );
		node->muiIndex = slot;
		actor.Manager().AddAnim( node, slot );
		return node;
	}

	std::vector<u32> AllJoints( const u32 n ) {
		std::vector<u32> joints;
		for ( u32 i = 0; i < n; i++ ) {
			joints.push_back( i );
		}
		return joints;
	}

	NotificationRecorder recorder;
};

TEST_P( EFAnimBlendTreeTest, ACrossFadeStartsAtDtOverItsTimeAndHandsOverToTheIncomingAnimation ) {
	Actor actor( OWNER, 3 );
	EFAnimationMgr& manager = actor.Manager();
	ASSERT_TRUE( manager.CreateTable( 2 ) );
	EFAnimNode* const a = Skeletal( actor, 0, 1, 4.0f, 1, AllJoints( 3 ) );
	EFAnimNode* const b = Skeletal( actor, 1, 1, 4.0f, 2, AllJoints( 3 ) );
	recorder.Listen( OWNER, { 0, 1 } );

	manager.Play( 0, AS_LOOP, 0.0f );
	ASSERT_EQ( manager.FirstChild(), a );
	EXPECT_EQ( Transforms( a ).mpDataBlock, actor.model.mppTransfo[0] );
	EXPECT_EQ( Transforms( a ).muiState, 10u );
	manager.Update( 0.1f );
	EXPECT_FLOAT_EQ( a->mfCurrentTime, 0.1f );

	manager.Play( 1, AS_LOOP | AS_CROSSFADE, 0.5f );
	EFAnimNode* const blend = manager.FirstChild();
	ASSERT_EQ( blend->meType, OP_Blend );
	EXPECT_EQ( blend->mpChild, a );
	EXPECT_EQ( blend->mpChild->mpNext, b );
	EXPECT_EQ( b->muiAnimState, AS_LOOP | AS_CROSSFADE );
	EXPECT_EQ( a->muiAnimState & AS_CROSSFADE, AS_CROSSFADE );

	for ( u32 frame = 0; frame < STEP_COUNT_LIMIT && manager.FirstChild() == blend; frame++ ) {
		manager.Update( 0.1f );
		if ( manager.FirstChild() != blend ) {
			break;
		}
		const f32 w = 1.0f - blend->mfTimeToLive / 0.5f;
		if ( frame == 0 ) {
			EXPECT_FLOAT_EQ( w, 0.2f );
		}
		for ( u32 joint = 0; joint < 3; joint++ ) {
			ExpectJoint( actor.model.mppTransfo[0][joint], Mixed( 1, 2, joint, w ) );
		}
	}
	// The incoming animation survives alone, writing the object's array,
	// without its transition bits; the faded-out one stopped.
	EXPECT_EQ( manager.FirstChild(), b );
	EXPECT_EQ( b->mpNext, nullptr );
	EXPECT_EQ( b->muiAnimState, AS_LOOP );
	EXPECT_EQ( Transforms( b ).mpDataBlock, actor.model.mppTransfo[0] );
	EXPECT_EQ( a->muiAnimState, AS_STOPPED );
	EXPECT_EQ( a->mpParent, nullptr );
	const std::vector<Heard> heard = recorder.Flush();
	ASSERT_EQ( heard.size(), 1u );
	EXPECT_EQ( heard[0], ( Heard{ NO_ANIMATION_STOP, OWNER, 0, 0 } ) );
	manager.Update( 0.1f );
	ExpectJoint( actor.model.mppTransfo[0][2], Mixed( 2, 2, 2, 0.0f ) );
}

TEST_P( EFAnimBlendTreeTest, ATimedLayerRisesHoldsForTheLayersDurationThenFadesAndLeavesTheBase ) {
	Actor actor( OWNER, 2 );
	EFAnimationMgr& manager = actor.Manager();
	ASSERT_TRUE( manager.CreateTable( 2 ) );
	EFAnimNode* const base = Skeletal( actor, 0, 1, 10.0f, 1, AllJoints( 2 ) );
	EFAnimNode* const layer = Skeletal( actor, 1, 2, 1.0f, 2, AllJoints( 2 ) );
	manager.Play( 0, AS_LOOP, 0.0f );
	EFBlendParams params = { 0xBB000007, 0.2f, 0.5f, 0.3f, -1.0f };
	manager.PlayBlend( 1, AS_LOOP, EF_ANIM_NO_TARGET, 0.0f, &params );
	EFAnimBlendNode* const blend = static_cast<EFAnimBlendNode*>( manager.FirstChild() );
	ASSERT_EQ( blend->meType, OP_Blend );
	EXPECT_EQ( blend->muiUID, 0xBB000007u );
	EXPECT_EQ( blend->muiGroup, 0xFFFFFFFFu );
	EXPECT_FLOAT_EQ( blend->mfTimeToLive, 1.3f );
	EXPECT_EQ( blend->mpChild, base );
	EXPECT_EQ( base->mpNext, layer );

	// The layer pose moves translation x from 1 to 2: x - 1 is the weight.
	f32 elapsed = 0.0f;
	const f32 dt = 0.05f;
	while ( manager.FirstChild() == blend ) {
		manager.Update( dt );
		elapsed += dt;
		if ( manager.FirstChild() != blend ) {
			break;
		}
		const f32 w = actor.model.mppTransfo[0][1].mTranslation.x - 1.0f;
		f32 want = 0.5f;
		if ( elapsed < 0.2f - 1e-4f ) {
			want = 0.5f * elapsed / 0.2f;
		} else if ( elapsed > 1.0f + 1e-4f ) {
			want = 0.5f * ( 1.0f - ( elapsed - 1.0f ) / 0.3f );
		}
		EXPECT_NEAR( w, want, 1e-4f ) << "at " << elapsed;
	}
	EXPECT_NEAR( elapsed, 1.3f + dt, 1e-3f );
	EXPECT_EQ( manager.FirstChild(), base );
	EXPECT_EQ( Transforms( base ).mpDataBlock, actor.model.mppTransfo[0] );
	EXPECT_EQ( layer->muiAnimState, AS_STOPPED );
}

TEST_P( EFAnimBlendTreeTest, ChangingALayersFactorJumpsWithoutTimeInAndMovesLinearlyWithIt ) {
	Actor actor( OWNER, 1 );
	EFAnimationMgr& manager = actor.Manager();
	ASSERT_TRUE( manager.CreateTable( 2 ) );
	Skeletal( actor, 0, 1, 10.0f, 1, { 0 } );
	Skeletal( actor, 1, 2, 10.0f, 2, { 0 } );
	manager.Play( 0, AS_LOOP, 0.0f );
	EFBlendParams params = { 0xBB000001, 0.0f, 0.5f, 0.0f, -1.0f };
	manager.PlayBlend( 1, AS_LOOP, EF_ANIM_NO_TARGET, 0.0f, &params );
	manager.Update( 0.1f );
	const auto weight = [&] { return actor.model.mppTransfo[0][0].mTranslation.x - 1.0f; };
	EXPECT_FLOAT_EQ( weight(), 0.5f );
	const EFBlendParams jump = { 0xBB000001, 0.0f, 0.25f, 0.0f, -1.0f };
	manager.ChangeBlendParam( jump );
	manager.Update( 0.1f );
	EXPECT_FLOAT_EQ( weight(), 0.25f );
	const EFBlendParams move = { 0xBB000001, 0.5f, 0.75f, 0.0f, -1.0f };
	manager.ChangeBlendParam( move );
	manager.Update( 0.125f );
	EXPECT_NEAR( weight(), 0.25f + 0.25f * 0.5f, 1e-5f );
	// An unknown id changes nothing.
	const EFBlendParams other = { 0xBB000002, 0.0f, 0.0f, 0.0f, -1.0f };
	manager.ChangeBlendParam( other );
	manager.Update( 0.5f );
	EXPECT_FLOAT_EQ( weight(), 0.75f );
}

TEST_P( EFAnimBlendTreeTest, AnAdditiveLayerAddsItsJointsAndLeavesTheOthersAndDropsJointsTheBaseLacks ) {
	Actor actor( OWNER, 4 );
	EFAnimationMgr& manager = actor.Manager();
	ASSERT_TRUE( manager.CreateTable( 2 ) );
	EFAnimNode* const base = Skeletal( actor, 0, 1, 10.0f, 1, { 0, 1, 2 } );
	Skeletal( actor, 1, 2, 10.0f, 3, { 1, 3 }, EF_ANIM_BLEND_ADDITIVE );
	manager.Play( 0, AS_LOOP, 0.0f );
	EFBlendParams params = { 0xBB000001, 0.0f, 0.5f, 0.0f, -1.0f };
	manager.PlayBlend( 1, AS_LOOP, EF_ANIM_NO_TARGET, 0.0f, &params );
	EFAnimBlendNode* const blend = static_cast<EFAnimBlendNode*>( manager.FirstChild() );
	ASSERT_EQ( blend->mbAdditive, 1u );
	actor.model.mppTransfo[0][3].mTranslation.Set( 7.0f, 7.0f, 7.0f );
	manager.Update( 0.1f );
	// The layer, updated first, took the free half; the base works in memory.
	EXPECT_EQ( Transforms( base ).muiState, EF_ATTRIB_SKELETAL );
	const DTTransfo* const out = actor.model.mppTransfo[0];
	for ( const u32 joint : { 0u, 2u } ) {
		DTTransfo want;
		ScriptedPose( 1, joint, want );
		EXPECT_EQ( out[joint].mTranslation.x, want.mTranslation.x );
		EXPECT_EQ( out[joint].mEulerRotation.x, want.mEulerRotation.x );
	}
	// Joint 3 is the layer's only: the object's record stays as it was.
	EXPECT_EQ( out[3].mTranslation.x, 7.0f );
	// Joint 1: rotation A x lerp(identity, B, w), translation rotated and
	// scaled, scaling A + w B.
	DTTransfo a;
	DTTransfo b;
	ScriptedPose( 1, 1, a );
	ScriptedPose( 3, 1, b );
	a.UpdateTransfo();
	b.UpdateTransfo();
	DTQuaternion layered;
	layered.Lerp( DTQuaternion( 0.0f, 0.0f, 0.0f, 1.0f ), b.mRotation, 0.5f );
	const DTQuaternion rotation = a.mRotation * layered;
	DTMatrix m;
	std::memset( &m, 0, sizeof( m ) );
	a.mRotation.QuatToMat( &m );
	const DTVector3d moved = b.mTranslation * 0.5f;
	const DTVector3d translation = a.mTranslation + *m.GetRight() * moved.x + *m.GetUp() * moved.y + *m.GetAt() * moved.z;
	EXPECT_FLOAT_EQ( out[1].mRotation.x, rotation.x );
	EXPECT_FLOAT_EQ( out[1].mRotation.mfScalaire, rotation.mfScalaire );
	EXPECT_FLOAT_EQ( out[1].mTranslation.x, translation.x );
	EXPECT_FLOAT_EQ( out[1].mTranslation.z, translation.z );
	EXPECT_FLOAT_EQ( out[1].mScaling.x, a.mScaling.x + 0.5f * b.mScaling.x );
	EXPECT_EQ( out[1].muiState, 0u );
}

TEST_P( EFAnimBlendTreeTest, ReplayingTheRunningAnimationWithACrossFadeBlendsFromItsFrozenPoseAndRestartsIt ) {
	Actor actor( OWNER, 2 );
	EFAnimationMgr& manager = actor.Manager();
	ASSERT_TRUE( manager.CreateTable( 1 ) );
	EFAnimNode* const a = Skeletal( actor, 0, 1, 4.0f, 1, AllJoints( 2 ) );
	manager.Play( 0, AS_LOOP, 0.0f );
	manager.Update( 0.5f );
	manager.Play( 0, AS_LOOP | AS_CROSSFADE, 0.25f );
	EFAnimBlendNode* const blend = static_cast<EFAnimBlendNode*>( manager.FirstChild() );
	ASSERT_EQ( blend->meType, OP_Blend );
	EXPECT_EQ( blend->muiBlendMode, EF_BLEND_FROM_POSE );
	EXPECT_EQ( blend->mpChild, a );
	EXPECT_EQ( a->mpNext, nullptr );
	EXPECT_EQ( a->muiAnimState, AS_LOOP | AS_BLEND_FROM_POSE );
	EXPECT_EQ( a->mfCurrentTime, 0.0f );
	// The frozen pose took the free half of the object's transforms.
	EXPECT_EQ( blend->mFrozenPose.mpDataBlock, actor.model.mppTransfo[1] );
	EXPECT_EQ( blend->mFrozenPose.muiState, 2u );
	EXPECT_EQ( actor.model.mppTransfo[1][1].muiState & EF_TRANSFO_EULER, 0u );

	// The overshoot of the expiring frame carries on into the survivor.
	manager.Update( 0.1f );
	manager.Update( 0.1f );
	const f32 before = a->mfCurrentTime;
	manager.Update( 0.1f );
	EXPECT_EQ( manager.FirstChild(), a );
	EXPECT_NEAR( a->mfCurrentTime - before, 0.05f, 1e-5f );
	EXPECT_EQ( a->muiAnimState, AS_LOOP );
	EXPECT_EQ( Transforms( a ).mpDataBlock, actor.model.mppTransfo[0] );
	// The frozen pose's half is free again.
	EXPECT_NE( actor.model.LockTransfo(), nullptr );
}

TEST_P( EFAnimBlendTreeTest, ALoopLandingOnItsDurationStaysAndAClampReportsItsLastFrameOnce ) {
	Actor actor( OWNER, 1 );
	EFAnimationMgr& manager = actor.Manager();
	ASSERT_TRUE( manager.CreateTable( 2 ) );
	EFAnimNode* const loop = Skeletal( actor, 0, 1, 1.0f, 1, { 0 } );
	recorder.Listen( OWNER, { 0, 1 } );
	manager.Play( 0, AS_LOOP, 0.0f );
	manager.Update( 0.5f );
	manager.Update( 0.5f );
	EXPECT_EQ( loop->mfCurrentTime, 1.0f );
	EXPECT_EQ( loop->muiAnimState, AS_LOOP );
	manager.Update( 0.75f );
	EXPECT_EQ( loop->mfCurrentTime, 0.75f );
	EXPECT_EQ( recorder.Flush(), ( std::vector<Heard>{ { NO_ANIMATION_LAST_FRAME, OWNER, 0, 0 } } ) );

	EFAnimNode* const once = Skeletal( actor, 1, 1, 1.0f, 2, { 0 } );
	manager.Play( 1, AS_CLAMP, 0.0f );
	EXPECT_EQ( loop->muiAnimState, AS_STOPPED );
	manager.Update( 2.0f );
	EXPECT_EQ( once->mfCurrentTime, 1.0f );
	EXPECT_EQ( once->muiAnimState, AS_CLAMP | AS_AT_END );
	manager.Update( 2.0f );
	EXPECT_EQ( recorder.Flush(), ( std::vector<Heard>{ { NO_ANIMATION_STOP, OWNER, 0, 0 }, { NO_ANIMATION_LAST_FRAME, OWNER, 1, 1 } } ) );
}

TEST_P( EFAnimBlendTreeTest, ClipModesSkipEvaluationOrPosesAndThePostNotificationGoesOutAlways ) {
	Actor actor( OWNER, 1 );
	EFAnimationMgr& manager = actor.Manager();
	ASSERT_TRUE( manager.CreateTable( 1 ) );
	EFAnimNode* const once = Skeletal( actor, 0, 1, 1.0f, 1, { 0 } );
	recorder.Listen( OWNER, { 0, OWNER } );
	manager.Play( 0, AS_CLAMP, 0.0f );
	const u32 posed = Updates( once );
	manager.mbSendPostUpdateNotif = 1;
	manager.muiClipMode = EF_ANIM_CLIP_ALL;
	manager.Update( 0.5f );
	EXPECT_EQ( once->mfCurrentTime, 0.0f );
	EXPECT_EQ( recorder.Flush(), ( std::vector<Heard>{ { NO_POST_ANIMATION, OWNER, OWNER, 0 } } ) );
	manager.muiClipMode = EF_ANIM_CLIP_HIERARCHY;
	manager.Update( 1.5f );
	EXPECT_EQ( Updates( once ), posed );
	EXPECT_EQ( once->mfCurrentTime, 1.0f );
	EXPECT_EQ( once->muiAnimState, AS_CLAMP | AS_AT_END | AS_REFRESH );
	EXPECT_EQ( recorder.Flush(),
			   ( std::vector<Heard>{ { NO_ANIMATION_LAST_FRAME, OWNER, 0, 0 }, { NO_POST_ANIMATION, OWNER, OWNER, 0 } } ) );
	// Paused: no evaluation either.
	manager.muiClipMode = EF_ANIM_CLIP_NONE;
	manager.muiFlags |= EF_ANIM_MGR_PAUSED;
	manager.Update( 1.0f );
	EXPECT_EQ( Updates( once ), posed );
}

TEST_P( EFAnimBlendTreeTest, PlaysBetweenBeginAndEndTreeComputeOnePoseAtTheEnd ) {
	Actor actor( OWNER, 2 );
	EFAnimationMgr& manager = actor.Manager();
	ASSERT_TRUE( manager.CreateTable( 2 ) );
	EFAnimNode* const a = Skeletal( actor, 0, 1, 4.0f, 1, AllJoints( 2 ) );
	EFAnimNode* const b = Skeletal( actor, 1, 2, 4.0f, 2, AllJoints( 2 ) );
	manager.BeginTree();
	manager.PlayBlend( 0, AS_LOOP, EF_ANIM_NO_TARGET, 0.0f, nullptr );
	manager.PlayBlend( 1, AS_LOOP, EF_ANIM_NO_TARGET, 0.0f, nullptr );
	EXPECT_EQ( Updates( a ) + Updates( b ), 0u );
	manager.EndTree();
	EXPECT_EQ( Updates( a ), 1u );
	EXPECT_EQ( Updates( b ), 1u );
	EXPECT_EQ( manager.muiFlags, 0u );
	// The pose is there although no time ran.
	EXPECT_EQ( a->mfCurrentTime, 0.0f );
	EXPECT_NE( actor.model.mppTransfo[0][0].mTranslation.x, 0.0f );
}

// A tree that keeps its shape (a long cross-fade under an endless layer)
// is evaluated frame after frame without an allocation: blend nodes come
// only from play requests, and evaluation works on the stack.
TEST_P( EFAnimBlendTreeTest, UpdatesOfATreeThatKeepsItsShapeAllocateNothing ) {
	Actor actor( OWNER, 8 );
	EFAnimationMgr& manager = actor.Manager();
	ASSERT_TRUE( manager.CreateTable( 3 ) );
	const EFAnimNode* const nodes[] = { Skeletal( actor, 0, 1, 1000.0f, 1, AllJoints( 8 ) ),
										Skeletal( actor, 1, 1, 1000.0f, 2, AllJoints( 8 ) ),
										Skeletal( actor, 2, 2, 1000.0f, 3, AllJoints( 8 ) ) };
	manager.Play( 0, AS_LOOP, 0.0f );
	manager.Play( 1, AS_LOOP | AS_CROSSFADE, 1.0e6f );
	EFBlendParams params = { 0xBB000001, 0.5f, 0.5f, 0.0f, -1.0f };
	manager.PlayBlend( 2, AS_LOOP, EF_ANIM_NO_TARGET, 0.0f, &params );
	manager.Update( 0.016f );
	const EFAnimNode* const layer = manager.FirstChild();
	ASSERT_NE( layer, nullptr );
	ASSERT_EQ( layer->meType, OP_Blend );
	ASSERT_NE( layer->mpChild, nullptr );
	ASSERT_EQ( static_cast<const EFAnimNode*>( layer->mpChild )->meType, OP_Blend );
	const u32 updated = Updates( nodes[0] ) + Updates( nodes[1] ) + Updates( nodes[2] );
	const std::vector<u64> served = MMAllocationCounts();
	const u64 made = CountingNewCalls();
	const u64 freed = CountingDeleteCalls();
	for ( u32 frame = 0; frame < 10; frame++ ) {
		manager.Update( 0.016f );
	}
	const u64 newCalls = CountingNewCalls() - made;
	const u64 deleteCalls = CountingDeleteCalls() - freed;
	EXPECT_EQ( newCalls, 0u );
	EXPECT_EQ( deleteCalls, 0u );
	EXPECT_EQ( MMAllocationCounts(), served );
	// Every frame evaluated the three nodes.
	EXPECT_EQ( manager.FirstChild(), layer );
	EXPECT_EQ( Updates( nodes[0] ) + Updates( nodes[1] ) + Updates( nodes[2] ), updated + 30 );
}

INSTANTIATE_TEST_SUITE_P( Nodes, EFAnimBlendTreeTest, ::testing::Values( SkeletalKind::Scripted, SkeletalKind::Stored ),
						  []( const ::testing::TestParamInfo<SkeletalKind>& info ) { return KindName( info.param ); } );

}
