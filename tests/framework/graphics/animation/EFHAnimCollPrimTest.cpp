/*
	The skeletal node's collision-primitive track over a body of a
	sphere, a swept sphere, a box and a polygon set: every command at
	mid-time, held commands (end <= 0), the global sphere wherever it
	stands, the exported-primitive reset, the chain's order, and the
	commands that name what the body lacks.
*/
#include "../../core/world/WorldTestBench.h"

#include "datatypes/memory/DTWorkMemory.h"
#include "datatypes/persist/DTMemoryPersistStream.h"
#include "framework/graphics/animation/AnimTestSupport.h"
#include "framework/graphics/animation/EFAnimCollPrim.h"
#include "framework/graphics/animation/EFHAnimNode.h"
#include "framework/graphics/animation/EFHAnimRes.h"
#include "framework/physics/EFObjCollisionPrim.h"
#include "framework/physics/EFPhysic.h"
#include "tools/lib/level/ToolHAnimResWriter.h"

#include <gtest/gtest.h>

namespace {

using H = ToolHAnimResWriter;

class EFHAnimCollPrimTest : public WorldTestBench {};

TEST_F( EFHAnimCollPrimTest, EveryCommandPlaysIntoAChainInOrderAndUnknownTargetsAreSkipped ) {
	EFGameObject* const owner = MakeObject( 0x2A000031 );
	EFPhysic* const body = new EFPhysic( owner, 4 );
	owner->mpoPhysic = body;
	const u32 shapes[] = { EF_PRIM_SPHERE, EF_PRIM_SWEPT_SPHERE, EF_PRIM_BBOX, EF_PRIM_POLYGON };
	for ( u32 i = 0; i < 4; i++ ) {
		ASSERT_NE( body->moCollisionModel.AddPrimitive( i, i, shapes[i], owner->GetFrame() ), nullptr );
	}
	// Sorted by time; the node stands at 0.5 of a 2 s animation.
	ToolHAnimRes stored;
	ToolAnimBlock block;
	block.duration = 2.0f;
	stored.block = ToolAnimBlockWriter::Encode( block );
	stored.track = {
		H::BoundSphere( 0.0f, 0, 1.0f, { 0.0f, 0.0f, 0.0f, 1.0f }, { 2.0f, 4.0f, 6.0f, 3.0f } ),
		H::Value( TOOL_CP_SPHERE_RADIUS, 0.0f, 0, 0.0f, 5.0f, 9.0f ),		// held: its start value
		H::Vector( TOOL_CP_SWEPT_AXIS, 0.0f, 1, 1.0f, { 0.0f, 1.0f, 0.0f }, { 0.0f, 3.0f, 0.0f } ),
		H::Value( TOOL_CP_SWEPT_RADIUS, 0.25f, 1, 0.75f, 1.0f, 2.0f ),
		H::Vector( TOOL_CP_BBOX_DIM, 0.0f, 2, 1.0f, { 1.0f, 1.0f, 1.0f }, { 3.0f, 5.0f, 7.0f } ),
		H::Vector( TOOL_CP_TRANSLATE, 0.0f, 2, 1.0f, { 0.0f, 0.0f, 0.0f }, { 4.0f, 0.0f, 0.0f } ),
		H::Value( TOOL_CP_SPHERE_RADIUS, 0.1f, 3, 1.0f, 1.0f, 2.0f ),		// a polygon set: skipped
		H::Value( TOOL_CP_SPHERE_RADIUS, 0.1f, 9, 1.0f, 1.0f, 2.0f ),		// no such primitive
		H::AttrInt( 0.2f, 0, 3, 7 ),
		H::AttrInt( 0.2f, 0, 11, 8 ),										// no such attribute
		H::Exported( 0.3f, 1 ),
		H::Value( TOOL_CP_SWEPT_RADIUS, 0.6f, 1, 1.0f, 7.0f, 8.0f ),		// later than the node
		H::GlobalSphere( 1.5f, { 1.0f, 2.0f, 3.0f, 4.0f } ),				// used wherever it stands
	};
	std::vector<u8> bytes = H::Encode( stored );
	DTMemoryPersistStream stream( reinterpret_cast<char*>( bytes.data() ), static_cast<s32>( bytes.size() ) );
	EFHAnimRes* const res = new EFHAnimRes;
	ASSERT_EQ( res->LoadPropertiesBinary( stream ), 0 );
	EF3dObj model;
	EFHAnimNode node;
	res->muiRefCount++;
	node.mpAnimRes = res;
	node.mpGameObjectOwner = owner;
	DTCreationParameters params = { nullptr, &model };
	node.Initialize( &params );
	node.Play( AS_LOOP, 0.0f );
	u8 memory[2048];
	DTWorkMemory work( memory, sizeof( memory ) );
	node.Update( 0.5f, work );

	std::vector<const EFAnimCollPrim*> chain;
	for ( const EFAnimCollPrim* record = static_cast<const EFAnimCollPrim*>( node.GetOutput( AT_COLLPRIM )->mpDataBlock );
		  record != nullptr; record = record->mpNext ) {
		chain.push_back( record );
	}
	ASSERT_EQ( chain.size(), 5u );
	EXPECT_EQ( node.GetOutput( AT_COLLPRIM )->muiNbStruct, 5u );
	const u32 kinds[] = { EF_ANIM_COLL_BSPHERE, EF_ANIM_COLL_TRANSLATION, EF_ANIM_COLL_SPHERE, EF_ANIM_COLL_SWEPT_SPHERE, EF_ANIM_COLL_BOX };
	const u32 indices[] = { 0, 0, 0, 1, 2 };
	for ( u32 i = 0; i < 5; i++ ) {
		EXPECT_EQ( chain[i]->muiKind, kinds[i] ) << i;
		EXPECT_EQ( chain[i]->muiIndex, indices[i] ) << i;
		EXPECT_EQ( chain[i]->muiSize, EFAnimCollPrimSize( kinds[i] ) ) << i;
	}
	const f32* const global = static_cast<const EFAnimCollPrimPoint*>( chain[0] )->mfValues;
	EXPECT_EQ( std::vector<f32>( global, global + 4 ), ( std::vector<f32>{ 1.0f, 2.0f, 3.0f, 4.0f } ) );
	const f32* const bound = static_cast<const EFAnimCollPrimPoint*>( chain[1] )->mfValues;
	EXPECT_EQ( std::vector<f32>( bound, bound + 4 ), ( std::vector<f32>{ 1.0f, 2.0f, 3.0f, 2.0f } ) );
	const EFAnimCollPrimSphere& sphere = *static_cast<const EFAnimCollPrimSphere*>( chain[2] );
	EXPECT_EQ( sphere.mfRadius, 5.0f );
	EXPECT_EQ( sphere.muiAttributes[3], 7u );
	const EFAnimCollPrimSweptSphere& swept = *static_cast<const EFAnimCollPrimSweptSphere*>( chain[3] );
	EXPECT_EQ( swept.muiFlags & EF_ANIM_COLL_RESET, EF_ANIM_COLL_RESET );
	EXPECT_EQ( swept.mfSegment[1], 2.0f );
	EXPECT_EQ( swept.mfRadius, 1.5f );
	const EFAnimCollPrimBox& box = *static_cast<const EFAnimCollPrimBox*>( chain[4] );
	EXPECT_EQ( std::vector<f32>( box.mfHalfExtents, box.mfHalfExtents + 3 ), ( std::vector<f32>{ 2.0f, 3.0f, 4.0f } ) );
	EXPECT_EQ( box.mfOffset[0], 2.0f );
	EXPECT_EQ( box.muiFlags, 0u );
	// Over a wrap (to 0.25) the offset's record is marked.
	work.Reset();
	node.Update( 1.75f, work );
	ASSERT_NE( node.muiAnimState & AS_WRAPPED, 0u );
	u32 wrapped = 0;
	for ( const EFAnimCollPrim* record = static_cast<const EFAnimCollPrim*>( node.GetOutput( AT_COLLPRIM )->mpDataBlock );
		  record != nullptr; record = record->mpNext ) {
		if ( record->muiKind == EF_ANIM_COLL_BOX ) {
			wrapped = record->muiFlags;
		}
	}
	EXPECT_EQ( wrapped, EF_ANIM_COLL_WRAP );
	owner->mpoPhysic = nullptr;
	delete body;
}

}
