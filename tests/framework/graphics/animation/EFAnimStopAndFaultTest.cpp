/*
	How a skeletal node leaves the tree (the four places it can stand in
	a blend), and the requests and data the tree must survive: ids and
	targets that name nothing usable, stops that leave a node in place,
	work memory too small for a hierarchy, bodies without animated
	primitives, unsorted channel lists and animation blocks that cannot
	be loaded.
*/
#include "framework/graphics/animation/AnimTestSupport.h"

#include "datatypes/persist/DTMemoryPersistStream.h"
#include "framework/physics/EFPhysic.h"

#include <gtest/gtest.h>

namespace {

using namespace animtest;

constexpr u32 OWNER = 0x2A000001;

class EFAnimStopAndFaultTest : public ::testing::Test {
protected:
	ScriptedHAnimNode* Skeletal( Actor& actor, const u32 slot, const u8 group, const u32 seed, std::vector<u32> joints ) {
		ScriptedHAnimNode* const node =
			new ScriptedHAnimNode( actor.object, actor.model, MakeRes( 4.0f, group ), std::move( joints ), seed );
		node->muiIndex = slot;
		actor.Manager().AddAnim( node, slot );
		return node;
	}

	NotificationRecorder recorder;
};

// A cross-fade of slots 0 -> 1 (group 1) under a layer of slot 2 (group 2):
// root -> layer(crossfade(0, 1), 2).
struct LayeredCrossFade {
	explicit LayeredCrossFade( Actor& actor ) {
		EFAnimationMgr& manager = actor.Manager();
		manager.Play( 0, AS_LOOP, 0.0f );
		manager.Play( 1, AS_LOOP | AS_CROSSFADE, 1.0f );
		crossFade = manager.FirstChild();
		EFBlendParams params = { 0xBB000003, 0.0f, 0.5f, 0.0f, -1.0f };
		manager.PlayBlend( 2, AS_LOOP, EF_ANIM_NO_TARGET, 0.0f, &params );
		layer = manager.FirstChild();
	}
	EFAnimNode* crossFade;
	EFAnimNode* layer;
};

TEST_F( EFAnimStopAndFaultTest, StoppingASkeletalNodeLeavesTheRestOfTheTreeInPlace ) {
	struct Case {
		const char*	name;
		u32			stopped;
		u32			root;		// the slot left alone under the root, or 3 for "layer over slot 1"
	};
	const Case cases[] = {
		{ "faded-out side of a cross-fade: the incoming one goes behind the layer's base", 0, 3 },
		{ "incoming side of a cross-fade inside a layer: the layer's other child takes its place", 1, 2 },
		{ "the layer of a parameter blend: the base takes its place", 2, 9 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		Actor actor( OWNER, 2 );
		EFAnimationMgr& manager = actor.Manager();
		ASSERT_TRUE( manager.CreateTable( 3 ) );
		ScriptedHAnimNode* nodes[3] = { Skeletal( actor, 0, 1, 1, { 0, 1 } ), Skeletal( actor, 1, 1, 2, { 0, 1 } ),
										Skeletal( actor, 2, 2, 3, { 0, 1 } ) };
		LayeredCrossFade tree( actor );
		ASSERT_EQ( tree.layer->mpChild, tree.crossFade );
		manager.Stop( c.stopped );
		EXPECT_EQ( nodes[c.stopped]->muiAnimState, AS_STOPPED );
		EXPECT_EQ( nodes[c.stopped]->mpParent, nullptr );
		EFAnimNode* const top = manager.FirstChild();
		ASSERT_NE( top, nullptr );
		EXPECT_EQ( top->mpNext, nullptr );
		if ( c.root == 3 ) {
			// The layer keeps its place; the incoming animation replaced the
			// cross-fade inside it.
			EXPECT_EQ( top, tree.layer );
			EXPECT_EQ( top->mpChild, nodes[2] );
			EXPECT_EQ( nodes[2]->mpNext, nodes[1] );
		} else if ( c.root == 2 ) {
			EXPECT_EQ( top, nodes[2] );
			EXPECT_EQ( nodes[0]->muiAnimState, AS_STOPPED );
		} else {
			EXPECT_EQ( top, tree.crossFade );
			EXPECT_EQ( top->mpChild, nodes[0] );
			EXPECT_EQ( top->mpChild->mpNext, nodes[1] );
		}
		// The top of the tree writes the object's own array.
		EXPECT_EQ( top->GetOutput( AT_TRANSFO )->mpDataBlock, actor.model.mppTransfo[0] );
		manager.Update( 0.1f );
	}

	// Under the root directly: the node just stops.
	Actor actor( OWNER, 1 );
	ASSERT_TRUE( actor.Manager().CreateTable( 1 ) );
	ScriptedHAnimNode* const alone = Skeletal( actor, 0, 1, 1, { 0 } );
	actor.Manager().Play( 0, AS_LOOP, 0.0f );
	actor.Manager().Stop( 0 );
	EXPECT_EQ( alone->muiAnimState, AS_STOPPED );
	EXPECT_EQ( actor.Manager().FirstChild(), nullptr );
	EXPECT_NE( actor.model.LockTransfo(), nullptr );
}

TEST_F( EFAnimStopAndFaultTest, RequestsNamingNothingUsableAreDropped ) {
	Actor actor( OWNER, 2 );
	EFAnimationMgr& manager = actor.Manager();
	manager.muiBaseIndex = 10;
	ASSERT_TRUE( manager.CreateTable( 5 ) );
	ScriptedHAnimNode* const a = Skeletal( actor, 0, 1, 1, { 0, 1 } );
	ScriptedHAnimNode* const b = Skeletal( actor, 1, 2, 2, { 0, 1 } );
	UnlinkingNode* const morph = new UnlinkingNode( actor.object, actor.model, 1.0f );
	manager.AddAnim( morph, 2 );
	// Slot 3 stays empty; slot 4 is never played.
	Skeletal( actor, 4, 3, 4, { 0 } );
	for ( const u32 id : { 0u, 9u, 13u, 15u, 0xFFFFFFF0u } ) {
		manager.Play( id, AS_LOOP, 0.0f );
		manager.PlayBlend( id, AS_LOOP, EF_ANIM_NO_TARGET, 0.0f, nullptr );
		manager.Stop( id );
	}
	// Blending a morph node is refused.
	manager.PlayBlend( 12, AS_LOOP, EF_ANIM_NO_TARGET, 0.0f, nullptr );
	EXPECT_EQ( manager.FirstChild(), nullptr );
	EXPECT_EQ( morph->muiAnimState, AS_STOPPED );

	manager.Play( 10, AS_LOOP, 0.0f );
	const struct {
		const char*	name;
		u32			target;
	} targets[] = {
		{ "a morph node", 12 }, { "a node out of the tree", 14 }, { "the node itself", 11 },
		{ "an empty slot", 13 }, { "an unknown blend", 0xBB000001 }, { "an id past the table", 99 },
	};
	for ( const auto& t : targets ) {
		SCOPED_TRACE( t.name );
		manager.PlayBlend( 11, AS_LOOP, t.target, 0.0f, nullptr );
		EXPECT_EQ( manager.FirstChild(), a );
		EXPECT_EQ( a->mpNext, nullptr );
		EXPECT_EQ( b->muiAnimState, AS_STOPPED );
	}
	// b layered over a by target; with b inside a blend a target is refused.
	manager.PlayBlend( 11, AS_LOOP, 10, 0.0f, nullptr );
	ASSERT_EQ( b->mpParent, manager.FirstChild() );
	EXPECT_EQ( a->mpParent, manager.FirstChild() );
	manager.PlayBlend( 11, AS_LOOP, 0xBBFFFFFF, 0.0f, nullptr );
	EXPECT_EQ( b->mpParent, manager.FirstChild() );
	EXPECT_EQ( manager.FirstChild()->mpNext, nullptr );
}

// A node whose stop leaves it where it is.
class StayingNode : public EFAnimNode {
public:
	StayingNode() : EFAnimNode( OP_MorphAnim ) {}
};

TEST_F( EFAnimStopAndFaultTest, StopAllEndsWhenAStopLeavesItsNodeUnderTheRoot ) {
	Actor actor( OWNER, 1 );
	EFAnimationMgr& manager = actor.Manager();
	ASSERT_TRUE( manager.CreateTable( 2 ) );
	StayingNode* const staying = new StayingNode;
	staying->mp3dObj = &actor.model;
	manager.AddAnim( staying, 0 );
	ScriptedHAnimNode* const skeletal = Skeletal( actor, 1, 1, 1, { 0 } );
	manager.Play( 0, AS_LOOP, 0.0f );
	manager.Play( 1, AS_LOOP, 0.0f );
	manager.Stop( 0 );
	EXPECT_EQ( staying->mpParent, &manager.mUpdateTree );
	manager.StopAll();
	EXPECT_EQ( manager.FirstChild(), nullptr );
	EXPECT_EQ( staying->mpParent, nullptr );
	EXPECT_EQ( skeletal->muiAnimState, AS_STOPPED );
}

TEST_F( EFAnimStopAndFaultTest, AHierarchyTooBigForTheWorkMemoryLeavesEmptyOutputsUnderTwoBlends ) {
	Actor actor( OWNER, 600 );
	EFAnimationMgr& manager = actor.Manager();
	ASSERT_TRUE( manager.CreateTable( 3 ) );
	std::vector<u32> joints;
	for ( u32 i = 0; i < 600; i++ ) {
		joints.push_back( i );
	}
	ScriptedHAnimNode* const a = Skeletal( actor, 0, 1, 1, joints );
	ScriptedHAnimNode* const b = Skeletal( actor, 1, 1, 2, joints );
	ScriptedHAnimNode* const c = Skeletal( actor, 2, 2, 3, joints );
	manager.Play( 0, AS_LOOP, 0.0f );
	manager.Play( 1, AS_LOOP | AS_CROSSFADE, 1.0f );
	EFBlendParams params = { 0xBB000009, 0.0f, 0.5f, 0.0f, -1.0f };
	manager.PlayBlend( 2, AS_LOOP, EF_ANIM_NO_TARGET, 0.0f, &params );
	for ( u32 frame = 0; frame < 3; frame++ ) {
		manager.Update( 0.1f );
	}
	// Children run before their parents: b took the free half; a, the
	// inner cross-fade and the layer c found no room in the work memory.
	EXPECT_EQ( b->moTransfo.mpDataBlock, actor.model.mppTransfo[1] );
	EXPECT_EQ( a->moTransfo.muiNbStruct, 0u );
	EXPECT_EQ( c->moTransfo.muiNbStruct, 0u );
	const EFAnimNode* const crossFade = static_cast<const EFAnimNode*>( manager.FirstChild()->mpChild );
	ASSERT_EQ( crossFade->meType, OP_Blend );
	EXPECT_EQ( crossFade->GetOutput( AT_TRANSFO )->muiNbStruct, 0u );
	EXPECT_FLOAT_EQ( a->mfCurrentTime, 0.3f );
	EXPECT_FLOAT_EQ( c->mfCurrentTime, 0.3f );
}

TEST_F( EFAnimStopAndFaultTest, ACrossFadeOnABodyWithoutAnimatedPrimitivesGivesItsDefaults ) {
	Actor actor( OWNER, 2 );
	EFPhysic body( &actor.object, 2 );
	actor.object.mpoPhysic = &body;
	body.moCollisionModel.moPhysicBSphere = DTSphere( DTVector3d( 9.0f, 9.0f, 9.0f ), 9.0f );
	EFAnimationMgr& manager = actor.Manager();
	ASSERT_TRUE( manager.CreateTable( 2 ) );
	Skeletal( actor, 0, 1, 1, { 0, 1 } );
	Skeletal( actor, 1, 1, 2, { 0, 1 } );
	manager.Play( 0, AS_LOOP, 0.0f );
	manager.Play( 1, AS_LOOP | AS_CROSSFADE, 0.5f );
	manager.Update( 0.1f );
	const DTAttrib* const prims = manager.FirstChild()->GetOutput( AT_COLLPRIM );
	EXPECT_EQ( prims->mpDataBlock, nullptr );
	EXPECT_EQ( prims->muiNbStruct, 0u );
	DTSphere defaults( DTVector3d( 9.0f, 9.0f, 9.0f ), 9.0f );
	actor.model.GetDefaultPhysicBSphere( defaults );
	EXPECT_EQ( body.moCollisionModel.moPhysicBSphere.mfRadius, defaults.mfRadius );
	EXPECT_EQ( body.moCollisionModel.moPhysicBSphere.moPos.x, defaults.moPos.x );
	actor.object.mpoPhysic = nullptr;
}

TEST_F( EFAnimStopAndFaultTest, UnsortedChannelListsNeverWritePastAMixesRecords ) {
	Actor actor( OWNER, 4 );
	EFAnimationMgr& manager = actor.Manager();
	ASSERT_TRUE( manager.CreateTable( 3 ) );
	ScriptedHAnimNode* const a = Skeletal( actor, 0, 1, 1, { 3, 1, 2, 0 } );
	Skeletal( actor, 1, 1, 2, { 2, 0, 3, 1 } );
	Skeletal( actor, 2, 2, 3, { 0 } );
	// Someone else holds the free half: every list is in work memory, and
	// the inner cross-fade mixes into a list of four records.
	DTTransfo* const held = actor.model.LockTransfo();
	ASSERT_NE( held, nullptr );
	manager.Play( 0, AS_LOOP, 0.0f );
	manager.Play( 1, AS_LOOP | AS_CROSSFADE, 1.0f );
	EFBlendParams params = { 0xBB000009, 0.0f, 0.5f, 0.0f, -1.0f };
	manager.PlayBlend( 2, AS_LOOP, EF_ANIM_NO_TARGET, 0.0f, &params );
	manager.Update( 0.1f );
	const EFAnimNode* const crossFade = static_cast<const EFAnimNode*>( manager.FirstChild()->mpChild );
	ASSERT_EQ( crossFade->meType, OP_Blend );
	EXPECT_EQ( a->moTransfo.muiNbStruct, 4u );
	EXPECT_EQ( crossFade->GetOutput( AT_TRANSFO )->muiNbStruct, 4u );
	actor.model.ReleaseTransfo( held );
}

// A node under a blend holds the free half by joint slot, its count that
// of its own joints; what reads that half must read it by slot.
TEST_F( EFAnimStopAndFaultTest, AHalfHeldBySlotIsReadBySlotWhenFrozenOrShownThroughAnIdleLayer ) {
	const auto expectPosed = []( Actor& actor, const u32 seed, const u32 joint ) {
		DTTransfo want;
		ScriptedPose( seed, joint, want );
		EXPECT_EQ( actor.model.mppTransfo[0][joint].mTranslation.x, want.mTranslation.x ) << "joint " << joint;
	};
	{
		// Frozen: the layer (group 2, joints 2 and 3) took the half first;
		// a transition from its pose keeps both joints.
		Actor actor( OWNER, 4 );
		EFAnimationMgr& manager = actor.Manager();
		ASSERT_TRUE( manager.CreateTable( 3 ) );
		Skeletal( actor, 0, 1, 1, { 0 } );
		ScriptedHAnimNode* const layer = Skeletal( actor, 1, 2, 2, { 2, 3 } );
		Skeletal( actor, 2, 2, 3, { 0, 2, 3 } );
		EFBlendParams params = { 0xBB000001, 0.0f, 1.0f, 0.0f, -1.0f };
		manager.Play( 0, AS_LOOP, 0.0f );
		manager.PlayBlend( 1, AS_LOOP, EF_ANIM_NO_TARGET, 0.0f, &params );
		manager.Update( 0.1f );
		ASSERT_EQ( layer->moTransfo.mpDataBlock, actor.model.mppTransfo[1] );
		manager.PlayBlend( 2, AS_LOOP | AS_BLEND_FROM_POSE, EF_ANIM_NO_TARGET, 1.0f, nullptr );
		expectPosed( actor, 2, 2 );
		expectPosed( actor, 2, 3 );
	}
	{
		// Idle additive layer: a cross-fade hands its base (joints 0 and 2)
		// the half; the layer at weight 0 under a second layer shows it.
		Actor actor( OWNER, 4 );
		EFAnimationMgr& manager = actor.Manager();
		ASSERT_TRUE( manager.CreateTable( 4 ) );
		ScriptedHAnimNode* const base = Skeletal( actor, 0, 1, 1, { 0, 2 } );
		Skeletal( actor, 1, 1, 2, { 0, 2 } );
		ScriptedHAnimNode* const additive =
			new ScriptedHAnimNode( actor.object, actor.model, MakeRes( 4.0f, 2, EF_ANIM_BLEND_ADDITIVE ), { 2 }, 3 );
		additive->muiIndex = 2;
		manager.AddAnim( additive, 2 );
		Skeletal( actor, 3, 3, 4, { 0 } );
		manager.Play( 1, AS_LOOP, 0.0f );
		manager.Play( 0, AS_LOOP | AS_CROSSFADE, 0.5f );
		EFBlendParams idle = { 0xBB000001, 0.0f, 0.0f, 0.0f, -1.0f };
		manager.PlayBlend( 2, AS_LOOP, EF_ANIM_NO_TARGET, 0.0f, &idle );
		EFBlendParams full = { 0xBB000002, 0.0f, 1.0f, 0.0f, -1.0f };
		manager.PlayBlend( 3, AS_LOOP, EF_ANIM_NO_TARGET, 0.0f, &full );
		manager.Update( 0.1f );
		manager.Update( 0.5f );
		ASSERT_EQ( base->moTransfo.mpDataBlock, actor.model.mppTransfo[1] );
		const EFAnimNode* const idleLayer = static_cast<const EFAnimNode*>( manager.FirstChild()->mpChild );
		EXPECT_NE( idleLayer->GetOutput( AT_TRANSFO )->mpDataBlock, actor.model.mppTransfo[1] );
		expectPosed( actor, 1, 2 );
	}
}

TEST_F( EFAnimStopAndFaultTest, BlocksThatCannotBeLoadedKeepAndRegisterNothing ) {
	const auto load = []( std::vector<u8> bytes ) {
		EFAnimRes res;
		DTMemoryPersistStream stream( reinterpret_cast<char*>( bytes.data() ), static_cast<s32>( bytes.size() ) );
		const s32 result = res.LoadAnim( stream );
		EXPECT_EQ( res.mpAnimData, nullptr );
		return result;
	};
	ToolAnimBlock block;
	block.duration = 1.0f;
	block.tracks.push_back( { 0, 0, { { 3, 0 } } } );
	std::vector<u8> whole = ToolAnimBlockWriter::Encode( block );
	std::vector<u8> truncated( whole.begin(), whole.end() - 6 );
	EXPECT_EQ( load( truncated ), EF_ANIM_RES_BAD_BLOCK );
	std::vector<u8> small = whole;
	small[3] = 12;
	EXPECT_EQ( load( small ), EF_ANIM_RES_BAD_BLOCK );
	// A size no heap can give: the failed request marks the heaps full
	// until a block is freed, so one is freed after it.
	void* const freedAfter = MMVMalloc( 64 );
	std::vector<u8> huge = whole;
	huge[0] = 0x7F, huge[1] = 0xFF, huge[2] = 0xFF, huge[3] = 0xF0;
	EXPECT_EQ( load( huge ), EF_ANIM_RES_BAD_BLOCK );
	MMVFree( freedAfter );
	// An offset leaving the block.
	std::vector<u8> outside = whole;
	outside[16 + 8 + 7] = 0xF0;
	EXPECT_EQ( load( outside ), EF_ANIM_RES_BAD_BLOCK );

	// The whole block loads; a node over it plays, one without data does not.
	EFAnimRes* const res = new EFAnimRes;
	DTMemoryPersistStream stream( reinterpret_cast<char*>( whole.data() ), static_cast<s32>( whole.size() ) );
	ASSERT_EQ( res->LoadAnim( stream ), 0 );
	EXPECT_EQ( res->GetAnimDataSize(), whole.size() );
	Actor actor( OWNER, 1 );
	ASSERT_TRUE( actor.Manager().CreateTable( 2 ) );
	ScriptedHAnimNode* const bare = new ScriptedHAnimNode( actor.object, actor.model, nullptr, { 0 }, 1 );
	actor.Manager().AddAnim( bare, 0 );
	DTCreationParameters params = { nullptr, &actor.model };
	EXPECT_FALSE( bare->Initialize( &params ) );
	EXPECT_EQ( bare->mp3dObj, &actor.model );
	actor.Manager().Play( 0, AS_LOOP, 0.0f );
	EXPECT_EQ( bare->muiAnimState, AS_STOPPED );
	ScriptedHAnimNode* const loaded = new ScriptedHAnimNode( actor.object, actor.model, res, { 0 }, 1 );
	actor.Manager().AddAnim( loaded, 1 );
	actor.Manager().Play( 1, AS_LOOP, 0.0f );
	EXPECT_EQ( loaded->muiAnimState, AS_LOOP );
}

}
