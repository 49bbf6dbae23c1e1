/*
	The animation table: each slot reaches the object's animation manager
	or node as its arguments say, and an unknown object, an animation id
	outside the object's range or an empty node slot gives the failure
	value and touches nothing, a recording node's binding or the engine's
	camera node's alike.
*/
#include "framework/logic/LogicWorldFixture.h"

#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFInstanceFlags.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/animation/EFAnimNode.h"
#include "framework/graphics/animation/EFCameraAnimNode.h"
#include "framework/graphics/animation/EFAnimationMgr.h"
#include "framework/logic/api/EFApiTrace.h"
#include "framework/logic/api/LogicApiTables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>


namespace {

constexpr u32 OBJECT	= 0x2A000010;
constexpr u32 TARGET	= 0x2A000011;
constexpr u32 WITHDRAWN	= 0x2A000012;
constexpr u32 BASE		= 100;

// A node that remembers what it was bound to.
class TestAnimNode : public EFAnimNode {
public:
	TestAnimNode() : EFAnimNode( OP_MorphAnim ) {}
	EFAnimNode* ShallowCopy() override { return nullptr; }
	void		Connect( EFPosData* target ) override { connected = target; }

	EFPosData*	connected = nullptr;
};

class LogicApiAnimTest : public LogicWorldFixture {
protected:
	void SetUp() override {
		LogicWorldFixture::SetUp();
		object = AddObject( OBJECT, nullptr );
		AddObject( TARGET, nullptr );
		EFAnimationMgr& animations = object->moAnimationMgr;
		animations.muiBaseIndex = BASE;
		ASSERT_TRUE( animations.CreateTable( 4 ) );
		// Animation BASE + 1 has no node; BASE + 3 is the engine's camera
		// node, which binds itself to cameras only.
		for ( const u32 index : { 0u, 2u } ) {
			nodes[index] = new TestAnimNode();
			nodes[index]->muiGroup = 40 + index;
			nodes[index]->mfCurrentTime = 1.5f;
			nodes[index]->mfDuration = 4.0f;
			nodes[index]->mfSpeed = 2.0f;
			nodes[index]->muiAnimState = EF_ANIM_STATE_AT_END | 0x5;
			ASSERT_TRUE( animations.AddAnim( nodes[index], index ) );
		}
		flight = new EFCameraAnimNode();
		ASSERT_TRUE( animations.AddAnim( flight, 3 ) );
		ASSERT_NO_FATAL_FAILURE( AddCamera() );
		camera = graphics->GetCamera( 0u );
		ASSERT_NE( camera, nullptr );
	}

	EFGameObject* object = nullptr;
	TestAnimNode* nodes[3] = {};
	EFCameraAnimNode* flight = nullptr;
	EFCamera* camera = nullptr;
};

TEST_F( LogicApiAnimTest, EverySlotFailsAlikeForAnUnknownObjectAnIdOutOfRangeAndAnEmptyNode ) {
	EFBlendParams params = { 1, 0.1f, 0.5f, 0.2f, 0.0f };
	struct Where {
		const char* name;
		u32			id;
		u32			anim;
		bool		managerReached;	// slots without a node still reach the manager
	};
	const Where wheres[] = {
		{ "unknown object", 0x2A000099, BASE, false },
		{ "withdrawn object", WITHDRAWN, BASE, false },
		{ "id below the base", OBJECT, BASE - 1, true },
		{ "id past the table", OBJECT, BASE + 4, true },
		{ "empty node", OBJECT, BASE + 1, true },
	};
	AddObject( WITHDRAWN, nullptr )->muiFlags |= EF_INSTANCE_WITHDRAWN;
	for ( const Where& where : wheres ) {
		SCOPED_TRACE( where.name );
		EXPECT_EQ( APIanim.GetTime( where.id, where.anim ), 0.0f );
		EXPECT_EQ( APIanim.GetSpeed( where.id, where.anim ), 0.0f );
		EXPECT_EQ( APIanim.GetDuration( where.id, where.anim ), 0.0f );
		EXPECT_EQ( APIanim.GetGroup( where.id, where.anim ), 0xFFFFFFFFu );
		EXPECT_EQ( APIanim.IsAnimPlaying( where.id, where.anim ), 0u );
		APIanim.SetTime( where.id, where.anim, 9.0f );
		APIanim.SetSpeed( where.id, where.anim, 9.0f );
		APIanim.Connect( where.id, where.anim, TARGET );
		APIanim.Connect( where.id, where.anim, camera->GetUID() );
		for ( TestAnimNode* node : nodes ) {
			if ( node != nullptr ) {
				EXPECT_EQ( node->mfCurrentTime, 1.5f );
				EXPECT_EQ( node->mfSpeed, 2.0f );
				EXPECT_EQ( node->connected, nullptr );
			}
		}
		EXPECT_EQ( flight->mpCamera, nullptr );
		// The manager refuses the id too: no node moves into the tree.
		APIanim.Play( where.id, where.anim, 0, 0.0f );
		APIanim.PlayBlend( where.id, where.anim, 0, 0.0f, &params );
		APIanim.ChangeBlendParams( where.id, &params );
		APIanim.Stop( where.id, where.anim );
		APIanim.BeginTree( where.id );
		APIanim.PlayBlendConnect( where.id, where.anim, 0, 0, &params );
		APIanim.EndTree( where.id );
		EXPECT_EQ( object->moAnimationMgr.mUpdateTree.mpChild, nullptr );
		EXPECT_EQ( object->moAnimationMgr.muiFlags, 0u );
		for ( TestAnimNode* node : nodes ) {
			if ( node != nullptr ) {
				EXPECT_EQ( node->muiAnimState, EF_ANIM_STATE_AT_END | 0x5 );
			}
		}
		EXPECT_EQ( EFApiTrace::mFuncName, nullptr );
	}
}

TEST_F( LogicApiAnimTest, SlotsReachTheManagerAndTheNodeAsTheirArgumentsSay ) {
	EFBlendParams params = { 7, 0.25f, 0.5f, 0.75f, 1.0f };
	EFAnimationMgr& animations = object->moAnimationMgr;
	// A running node replayed is stopped, connected first under the root
	// and started with the flags whole.
	APIanim.Play( OBJECT, BASE + 2, 0x44, 0.5f );
	EXPECT_EQ( animations.mUpdateTree.mpChild, nodes[2] );
	EXPECT_EQ( nodes[2]->muiAnimState, 0x44u );
	EXPECT_EQ( nodes[2]->mfCurrentTime, 0.0f );
	// Blending is for skeletal nodes only: a morph node is left alone.
	APIanim.PlayBlendConnect( OBJECT, BASE, 33, 0x44, &params );
	APIanim.PlayBlend( OBJECT, BASE, 0x3, 0.5f, nullptr );
	EXPECT_EQ( nodes[0]->mpParent, nullptr );
	EXPECT_EQ( nodes[0]->muiAnimState, EF_ANIM_STATE_AT_END | 0x5 );
	// Stopping through logic: the node is stopped; StopAll empties the tree.
	APIanim.Stop( OBJECT, BASE + 2 );
	EXPECT_EQ( nodes[2]->muiAnimState, EF_ANIM_STATE_STOPPED );
	APIanim.StopAll( OBJECT );
	EXPECT_EQ( animations.mUpdateTree.mpChild, nullptr );
	EXPECT_EQ( nodes[2]->mpParent, nullptr );
	nodes[2]->muiAnimState = EF_ANIM_STATE_AT_END | 0x5;
	APIanim.BeginTree( OBJECT );
	EXPECT_EQ( animations.muiFlags, EF_ANIM_MGR_BUILDING );
	APIanim.EndTree( OBJECT );
	EXPECT_EQ( animations.muiFlags, 0u );

	// Only the end bit goes with a new speed.
	APIanim.SetSpeed( OBJECT, BASE + 2, 0.5f );
	EXPECT_EQ( nodes[2]->muiAnimState, 0x5u );
	EXPECT_EQ( APIanim.GetSpeed( OBJECT, BASE + 2 ), 0.5f );
	APIanim.SetTime( OBJECT, BASE, 3.0f );
	EXPECT_EQ( APIanim.GetTime( OBJECT, BASE ), 3.0f );
	EXPECT_EQ( APIanim.GetDuration( OBJECT, BASE ), 4.0f );
	EXPECT_EQ( APIanim.GetGroup( OBJECT, BASE + 2 ), 42u );
	APIanim.Connect( OBJECT, BASE, TARGET );
	EXPECT_EQ( nodes[0]->connected, gpoWorldMgr->GetObjectPosData( TARGET ) );
	APIanim.Connect( OBJECT, BASE + 2, 0x2A000099 );
	EXPECT_EQ( nodes[2]->connected, nullptr );
	EXPECT_EQ( APIanim.IsAnimPlaying( OBJECT, BASE ), 1u );
	nodes[0]->muiAnimState |= EF_ANIM_STATE_STOPPED;
	EXPECT_EQ( APIanim.IsAnimPlaying( OBJECT, BASE ), 0u );

	// The camera node: a game object is no camera to it; a camera is. Played
	// through logic it runs; stopped, it reads as stopped.
	APIanim.Connect( OBJECT, BASE + 3, TARGET );
	EXPECT_EQ( flight->mpCamera, nullptr );
	APIanim.Connect( OBJECT, BASE + 3, camera->GetUID() );
	EXPECT_EQ( flight->mpCamera, camera );
	EXPECT_EQ( APIanim.IsAnimPlaying( OBJECT, BASE + 3 ), 0u );
	APIanim.Play( OBJECT, BASE + 3, 0, 0.0f );
	EXPECT_EQ( APIanim.IsAnimPlaying( OBJECT, BASE + 3 ), 1u );
	APIanim.Stop( OBJECT, BASE + 3 );
	EXPECT_EQ( APIanim.IsAnimPlaying( OBJECT, BASE + 3 ), 0u );
}

}
