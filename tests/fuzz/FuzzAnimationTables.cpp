/*
	The skeletal animation resource (class 79: block, collision-primitive
	track, command table) and the cut-scene table (class 82). A skeletal
	resource that loads plays looping on a three-joint object for a few
	frames, evaluating every curve and firing every command; a cut-scene
	table that loads answers membership for every scene.
*/
#include "FuzzTarget.h"

#include "datatypes/memory/DTWorkMemory.h"
#include "datatypes/persist/DTMemoryPersistStream.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/animation/EFCutScenePlayer.h"
#include "framework/graphics/animation/EFHAnimNode.h"
#include "framework/graphics/animation/EFHAnimRes.h"
#include "tools/lib/level/ToolCutSceneWriter.h"
#include "tools/lib/level/ToolHAnimResWriter.h"
#include "tools/lib/level/ToolSampleObjects.h"

namespace {

volatile u32 gSink = 0;

}

FUZZ_TARGET( hanim_resource ) {
	std::vector<char> copy( data, data + size );
	DTMemoryPersistStream stream( copy.empty() ? nullptr : copy.data(), static_cast<s32>( copy.size() ) );
	EFHAnimRes* const res = new EFHAnimRes;
	if ( res->LoadPropertiesBinary( stream ) != 0 || res->mpAnimData == nullptr ) {
		delete res;
		return;
	}
	EF3dObj model;
	model.InitTransfo( 3 );
	u8 memory[4096];
	DTWorkMemory work( memory, sizeof( memory ) );
	{
		EFHAnimNode node;
		res->muiRefCount++;
		node.mpAnimRes = res;
		DTCreationParameters params = { nullptr, &model };
		node.Initialize( &params );
		node.Play( AS_LOOP, 0.0f );
		for ( u32 frame = 0; frame < 4; frame++ ) {
			work.Reset();
			node.Update( 0.4f, work );
		}
		gSink = gSink + node.muiCurCBCmd;
		node.Stop();
	}
}

static void FuzzSeeds_hanim_resource( std::vector<FuzzSeed>& seeds ) {
	seeds.push_back( { "sample", ToolHAnimResWriter::Encode( ToolSampleAnimation() ) } );
	ToolHAnimRes tracked = ToolSampleAnimation();
	tracked.track = { ToolHAnimResWriter::GlobalSphere( 0.0f, { 0.0f, 1.0f, 0.0f, 2.0f } ),
					  ToolHAnimResWriter::BoundSphere( 0.1f, 0, 0.0f, { 0.0f, 0.0f, 0.0f, 1.0f }, { 1.0f, 1.0f, 1.0f, 2.0f } ),
					  ToolHAnimResWriter::AttrInt( 0.2f, 0, 3, 7 ) };
	tracked.commands.push_back( { 1.5f, 0, 0 } );
	seeds.push_back( { "tracked", ToolHAnimResWriter::Encode( tracked ) } );
}

FUZZ_TARGET( cut_scene_table ) {
	std::vector<char> copy( data, data + size );
	DTMemoryPersistStream stream( copy.empty() ? nullptr : copy.data(), static_cast<s32>( copy.size() ) );
	EFCutScenePlayer& player = EFCutScenePlayer::mInstance;
	if ( player.LoadPropertiesBinary( stream ) == 0 ) {
		for ( u32 scene = 0; scene <= player.GetCount(); scene++ ) {
			gSink = gSink + player.IsInCutScene( 0x2A000001, scene );
		}
	}
	player.Terminate();
}

static void FuzzSeeds_cut_scene_table( std::vector<FuzzSeed>& seeds ) {
	ToolCutSceneTable table;
	table.scenes = { { 2.0f, { { 0x2A000001, 1 }, { 0x2A000002, 0 } } }, { 0.5f, {} } };
	seeds.push_back( { "two_scenes", ToolCutSceneWriter::Record( table ) } );
}
