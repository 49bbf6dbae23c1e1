/*
	The skeletal node over a loaded model whose skeleton the 3D object
	bound: a joint compensating its parent's scaling (found through the
	hierarchy's node ids) keeps its own world scale, also through a
	cross-fade whose inputs work by joint and as a list, and the visibility
	channel shows and hides the object and every atomic.
*/
#include "../model/ModelTestBench.h"

#include "framework/graphics/animation/AnimTestSupport.h"
#include "framework/graphics/animation/EFHAnimNode.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/world/RpHAnim.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace animtest;

constexpr u32 MODEL_ID = 0x5B000031;

// The sample model's clump with its skeleton's node ids replaced.
ToolClump WithNodeIds( const s32 ( &ids )[3] ) {
	ToolClump clump = ToolSampleModelClump();
	ToolHAnimFrame skeleton;
	skeleton.id = ids[0];
	skeleton.flags = 0x2;
	for ( s32 i = 0; i < 3; i++ ) {
		skeleton.nodes.push_back( { ids[i], i, 0 } );
	}
	clump.frames[TOOL_SAMPLE_MODEL_SKELETON_FRAME].extension = { { TOOL_PLUGIN_HANIM, ToolClumpWriter::HAnimFrame( skeleton ) } };
	for ( u32 i = 1; i < 3; i++ ) {
		ToolHAnimFrame node;
		node.id = ids[i];
		clump.frames[TOOL_SAMPLE_MODEL_SKELETON_FRAME + i].extension = { { TOOL_PLUGIN_HANIM, ToolClumpWriter::HAnimFrame( node ) } };
	}
	return clump;
}

// One channel set of a block: joint, flags, constant values by target.
struct ChannelSet {
	u32							joint;
	u16							flags;
	std::vector<std::pair<u32, f32>>	values;
};

EFAnimRes* ResOf( const std::vector<ChannelSet>& sets ) {
	ToolAnimBlock block;
	block.duration = 1.0f;
	for ( const ChannelSet& set : sets ) {
		block.tracks.push_back( { set.joint, set.flags, std::vector<ToolAnimEntry>( set.values.size() ) } );
	}
	for ( size_t s = 0; s < sets.size(); s++ ) {
		for ( size_t c = 0; c < sets[s].values.size(); c++ ) {
			const auto& [target, value] = sets[s].values[c];
			block.tracks[s].entries[c] = { target, ToolAnimCurveWriter::AppendCurve( block, ToolAnimCurveWriter::Constant( value ) ) };
		}
	}
	return MakeRes( block );
}

std::vector<std::pair<u32, f32>> Scaling( const f32 x, const f32 y, const f32 z ) {
	return { { 0, x }, { 1, y }, { 2, z } };
}

f32 Length( const RwV3d& v ) {
	return std::sqrt( v.x * v.x + v.y * v.y + v.z * v.z );
}

class EFHAnimHierarchyTest : public ModelTestBench {
protected:
	// A 3D object of owner over the clump, its skeleton bound.
	EF3dObj* Object( const ToolClump& clump ) {
		ToolModelResource model;
		model.id = MODEL_ID;
		model.clump = ToolClumpWriter::Chunk( clump );
		record = ToolModelResourceWriter::Record( model );
		EF3dObj* const object = MakeObject( LoadRecord( record, MODEL_ID ) );
		EXPECT_NE( object->mui3dObjState & EF_3D_OBJ_HAS_HIERARCHY, 0u );
		return object;
	}

	// A skeletal node of object over res at slot of the owner's table.
	EFHAnimNode* AddNode( EF3dObj& object, EFAnimRes* res, const u32 slot ) {
		EFHAnimNode* const node = new EFHAnimNode;
		res->muiRefCount++;
		node->mpAnimRes = res;
		node->mpGameObjectOwner = owner;
		node->muiIndex = slot;
		DTCreationParameters params = { nullptr, &object };
		EXPECT_TRUE( node->Initialize( &params ) );
		owner->moAnimationMgr.AddAnim( node, slot );
		return node;
	}

	// Plays res on object through the owner's manager for one update.
	void PlayOnce( EF3dObj& object, EFAnimRes* res ) {
		EFAnimationMgr& manager = owner->moAnimationMgr;
		manager.CreateTable( 1 );
		AddNode( object, res, 0 );
		manager.Play( 0, AS_LOOP, 0.0f );
		manager.Update( 0.1f );
	}

	// Takes the node and then the object away (the object last).
	void Done( EF3dObj* object ) {
		owner->moAnimationMgr.StopAll();
		owner->moAnimationMgr.Terminate();
		delete object;
	}

	std::vector<u8> record;
};

TEST_F( EFHAnimHierarchyTest, AJointCompensatingItsParentsScalingKeepsItsOwnWorldScale ) {
	const f32 inf = std::numeric_limits<f32>::infinity();
	struct Row {
		const char*	name;
		s32			ids[3];
		DTVector3d	parentScale;
		u16			rootFlags;
		u16			childFlags;
		bool		compensated;
		DTVector3d	inverse;
	};
	const Row rows[] = {
		{ "node ids above 65535 are looked up", { 0x10000, 0x10001, 0x10002 }, { 2.0f, 4.0f, 0.5f }, 0, 1, true, { 0.5f, 0.25f, 2.0f } },
		{ "smaller node ids are the joint indices", { 0, 1, 2 }, { 2.0f, 4.0f, 0.5f }, 0, 1, true, { 0.5f, 0.25f, 2.0f } },
		{ "without the flag the parent's scaling is inherited", { 0, 1, 2 }, { 2.0f, 4.0f, 0.5f }, 0, 0, false, {} },
		{ "ids that are no joint index name no parent", { 100, 101, 102 }, { 2.0f, 4.0f, 0.5f }, 0, 1, false, {} },
		{ "the first joint's parent is no joint", { 0, 1, 2 }, { 2.0f, 4.0f, 0.5f }, 1, 1, true, { 0.5f, 0.25f, 2.0f } },
		{ "a zero parent scale compensates to infinity", { 0, 1, 2 }, { 0.0f, 4.0f, 0.5f }, 0, 1, true, { inf, 0.25f, 2.0f } },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EF3dObj* const object = Object( WithNodeIds( row.ids ) );
		const DTVector3d& p = row.parentScale;
		PlayOnce( *object, ResOf( { { 0, row.rootFlags, Scaling( p.x, p.y, p.z ) }, { 1, row.childFlags, Scaling( 1.0f, 2.0f, 1.0f ) } } ) );
		const DTTransfo* const joints = object->mppTransfo[0];
		EXPECT_EQ( joints[0].muiState & EF_TRANSFO_INVERSE_SCALE, 0u );
		const DTTransfo& child = joints[1];
		EXPECT_EQ( ( child.muiState & EF_TRANSFO_INVERSE_SCALE ) != 0, row.compensated );
		if ( row.compensated ) {
			EXPECT_EQ( child.mInverseScaleParent.x, row.inverse.x );
			EXPECT_EQ( child.mInverseScaleParent.y, row.inverse.y );
			EXPECT_EQ( child.mInverseScaleParent.z, row.inverse.z );
		}
		// The child node's world axes: its own scaling when compensated,
		// else scaled by the parent's as well.
		if ( std::isfinite( row.inverse.x ) ) {
			const RwMatrix* const world = RwFrameGetLTM( object->mpHierarchy->pNodeInfo[1].pFrame );
			const f32 own[3] = { 1.0f, 2.0f, 1.0f };
			const f32 parent[3] = { p.x, p.y, p.z };
			const RwV3d* const axes[3] = { &world->right, &world->up, &world->at };
			for ( u32 i = 0; i < 3; i++ ) {
				EXPECT_NEAR( Length( *axes[i] ), own[i] * ( row.compensated ? 1.0f : parent[i] ), 1e-5f ) << i;
			}
		}
		Done( object );
	}
}

TEST_F( EFHAnimHierarchyTest, UnderACrossFadeBothInputsCompensateAndTheMixBlendsTheirInverseScales ) {
	// One input works in the object's free half (by joint), the other in
	// work memory (a list, the parent found among the records before).
	EF3dObj* const object = Object( WithNodeIds( { 0, 1, 2 } ) );
	EFAnimationMgr& manager = owner->moAnimationMgr;
	manager.CreateTable( 2 );
	const std::vector<std::pair<u32, f32>> child = Scaling( 1.0f, 2.0f, 1.0f );
	EFHAnimNode* const a = AddNode( *object, ResOf( { { 0, 0, Scaling( 2.0f, 4.0f, 0.5f ) }, { 1, 1, child } } ), 0 );
	EFHAnimNode* const b = AddNode( *object, ResOf( { { 0, 0, Scaling( 4.0f, 2.0f, 1.0f ) }, { 1, 1, child } } ), 1 );
	manager.Play( 0, AS_LOOP, 0.0f );
	manager.Update( 0.1f );
	manager.Play( 1, AS_LOOP | AS_CROSSFADE, 0.5f );
	manager.Update( 0.1f );
	ASSERT_EQ( manager.FirstChild()->meType, OP_Blend );
	EXPECT_NE( Transforms( a ).muiState & EF_ATTRIB_OBJECT_ARRAY, Transforms( b ).muiState & EF_ATTRIB_OBJECT_ARRAY );
	// Weight 0.2 of (0.25, 0.5, 1) over (0.5, 0.25, 2).
	const DTTransfo& mixed = object->mppTransfo[0][1];
	EXPECT_NE( mixed.muiState & EF_TRANSFO_INVERSE_SCALE, 0u );
	EXPECT_FLOAT_EQ( mixed.mInverseScaleParent.x, 0.45f );
	EXPECT_FLOAT_EQ( mixed.mInverseScaleParent.y, 0.3f );
	EXPECT_FLOAT_EQ( mixed.mInverseScaleParent.z, 1.8f );
	Done( object );
}

TEST_F( EFHAnimHierarchyTest, TheVisibilityChannelShowsAndHidesTheObjectAndEveryAtomic ) {
	// Values as unsigned integers: truncated toward zero, negatives and
	// NaN saturating to 0.
	const struct {
		f32		value;
		bool	visible;
	} rows[] = { { 0.0f, false }, { 1.0f, true }, { 0.75f, false }, { 3.5f, true }, { -2.0f, false }, { 1e10f, true },
				 { std::numeric_limits<f32>::quiet_NaN(), false } };
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.value );
		EF3dObj* const object = Object( ToolSampleModelClump() );
		// Start from the other state.
		const std::vector<RpAtomic*> atomics = Atomics( object->mpClump );
		ASSERT_EQ( atomics.size(), 3u );
		for ( RpAtomic* atomic : atomics ) {
			atomic->object.object.flags =
				static_cast<u8>( row.visible ? atomic->object.object.flags & ~rpATOMICRENDER : atomic->object.object.flags | rpATOMICRENDER );
		}
		object->mui3dObjState = row.visible ? object->mui3dObjState & ~EF_3D_OBJ_VISIBLE : object->mui3dObjState | EF_3D_OBJ_VISIBLE;
		PlayOnce( *object, ResOf( { { 2, 0, { { 4, 0.5f }, { EF_HANIM_TARGET_VISIBILITY, row.value } } } } ) );
		EXPECT_EQ( ( object->mui3dObjState & EF_3D_OBJ_VISIBLE ) != 0, row.visible );
		for ( RpAtomic* atomic : atomics ) {
			EXPECT_EQ( ( atomic->object.object.flags & rpATOMICRENDER ) != 0, row.visible );
		}
		// The set's other channel and joint are written as usual.
		EXPECT_EQ( object->mppTransfo[0][2].mTranslation.y, 0.5f );
		Done( object );
	}
}

}
