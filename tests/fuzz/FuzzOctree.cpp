/*
	Environment maps: class-64 records (two words, then the octree block
	whose first word is its size) on a memory persist stream, as the level
	loader hands them over. A map that loads enabled is walked and drawn
	once; every map is deleted here (no world holds it).
*/
#include "FuzzTarget.h"

#include "datatypes/persist/DTMemoryPersistStream.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFEnvMap.h"
#include "tools/lib/level/ToolEnvMapWriter.h"

namespace {

struct CountNodes : EFEnvMap::EFOctNodeVisitor {
	u32 nodes = 0;
	bool Visit( EFEnvMap&, u32, bool ) override {
		nodes++;
		return true;
	}
};

void Load( const u8* data, const size_t size ) {
	FuzzRwStart( false, true );
	std::vector<char> copy( data, data + size );
	DTMemoryPersistStream stream( copy.empty() ? nullptr : copy.data(), static_cast<s32>( copy.size() ) );
	// No world takes the map (the level target may have left one up).
	EFWorld* const world = gpoWorldMgr;
	gpoWorldMgr = nullptr;
	EFEnvMap* const map = new EFEnvMap;
	map->Load( stream );
	gpoWorldMgr = world;
	FuzzCheck( !map->IsOwnedElsewhere(), "a map without a world was registered" );
	if ( !map->IsDisabled() ) {
		CountNodes counter;
		FuzzCheck( map->VisitOctree( map->Word( 8 ), counter ), "an enabled map's walk failed" );
		map->Render();
	}
	delete map;
}

} // namespace

FUZZ_TARGET( octree ) {
	Load( data, size );
}

static void FuzzSeeds_octree( std::vector<FuzzSeed>& seeds ) {
	ToolEnvMap map;
	map.nodes.resize( 3 );
	map.nodes[0].children[1] = 1;
	map.nodes[0].children[6] = 2;
	map.nodes[1].leaf = true;
	map.nodes[1].entries = { 0, 8 };
	map.nodes[2].leaf = true;
	map.materials.resize( 2 );
	seeds.push_back( { "tree", ToolWriteEnvMapRecord( 0x40000001, ToolWriteEnvMapBlock( map ) ) } );
	map.version = 1;
	seeds.push_back( { "version-1", ToolWriteEnvMapRecord( 0x40000002, ToolWriteEnvMapBlock( map ) ) } );
}
