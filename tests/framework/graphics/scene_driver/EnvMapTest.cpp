/*
	Environment maps: the walk visits an inner node before its children in
	slot order, the materials come from their chunks (a missing one stays
	unset), and every block that breaks its own layout (version, size,
	offsets, entries, a cycle) loads as a disabled map.
*/
#include "SceneDriverTestBench.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/streamable/LevelTestSupport.h"
#include "framework/graphics/EFEnvMap.h"
#include "graphics3d/world/RpMaterial.h"
#include "tools/lib/level/ToolEnvMapWriter.h"

#include <functional>
#include <string>
#include <vector>

namespace {

class EnvMapTest : public SceneDriverTest {
protected:
	void SetUp() override {
		SceneDriverTest::SetUp();
		Start( false );
	}

	// Root 0: slot 0 leaf 1, slot 2 inner 2 (slot 0 leaf 3, slot 5 leaf 4).
	static ToolEnvMap Tree() {
		ToolEnvMap map;
		map.nodes.resize( 5 );
		map.nodes[0].children[0] = 1;
		map.nodes[0].children[2] = 2;
		map.nodes[2].children[0] = 3;
		map.nodes[2].children[5] = 4;
		for ( const u32 leaf : { 1u, 3u, 4u } ) {
			map.nodes[leaf].leaf = true;
			map.nodes[leaf].entries = { 0, 4, 12 };
		}
		ToolMaterial red;
		red.color[1] = 0;
		red.color[2] = 0;
		map.materials = { red, ToolMaterial() };
		return map;
	}

	static EFEnvMap* Load( const std::vector<u8>& block, s32* result = nullptr ) {
		EFEnvMap* const map = new EFEnvMap;
		const MemoryLoadResult loaded = LoadObject( *map, ToolWriteEnvMapRecord( 0x40000001, block ) );
		if ( result != nullptr ) {
			*result = loaded.result;
		}
		return map;
	}
};

struct Recorder : EFEnvMap::EFOctNodeVisitor {
	std::vector<u32> nodes;
	bool Visit( EFEnvMap&, const u32 node, bool ) override {
		nodes.push_back( node );
		return true;
	}
};

TEST_F( EnvMapTest, WalksInnerNodesBeforeTheirChildrenInSlotOrderWithTheirMaterials ) {
	ToolEnvMapLayout layout;
	ToolEnvMap tree = Tree();
	EFEnvMap* const map = Load( ToolWriteEnvMapBlock( tree, &layout ) );
	ASSERT_FALSE( map->IsDisabled() );
	Recorder recorder;
	EXPECT_TRUE( map->VisitOctree( layout.root, recorder ) );
	const std::vector<u32>& at = layout.nodes;
	EXPECT_EQ( recorder.nodes, ( std::vector<u32>{ at[0], at[1], at[2], at[3], at[4] } ) );
	ASSERT_EQ( map->GetMaterialCount(), 2u );
	ASSERT_NE( map->GetMaterial( 0 ), nullptr );
	ASSERT_NE( map->GetMaterial( 1 ), nullptr );
	EXPECT_EQ( map->GetMaterial( 0 )->color.green, 0 );
	EXPECT_EQ( map->GetMaterial( 1 )->color.green, 255 );
	map->Render();
	delete map;

	// A third material without a chunk stays unset.
	std::vector<u8> block = ToolWriteEnvMapBlock( tree );
	DTWriteBE32( block.data() + 12, 3 );
	EFEnvMap* const short_ = Load( block );
	EXPECT_FALSE( short_->IsDisabled() );
	EXPECT_EQ( short_->GetMaterial( 2 ), nullptr );
	delete short_;
}

TEST_F( EnvMapTest, ABlockThatBreaksItsLayoutLoadsDisabled ) {
	ToolEnvMapLayout layout;
	const std::vector<u8> good = ToolWriteEnvMapBlock( Tree(), &layout );
	const u32 size = static_cast<u32>( good.size() );
	const u32 inner = layout.nodes[2];
	const u32 leaf = layout.nodes[1];
	struct Row {
		const char*	name;
		u32			at;
		u32			value;
	};
	const Row rows[] = {
		{ "version 1", 4, 1 },
		{ "root past the end", 8, size },
		{ "root not on a word", 8, layout.root + 2 },
		{ "materials past the end", 16, size + 4 },
		{ "more materials than fit", 12, 0x10000000 },
		{ "leaf area past the end", 24, size + 1 },
		{ "hook offset past the end", 32, size + 1 },
		{ "child past the end", inner + 32, size },
		{ "child names its parent", inner + 32 + 4 * 5, inner - layout.root },
		{ "entry past the end", leaf + 56 + 8, size },
		{ "more entries than the leaf holds", leaf + 40, 0x40000000 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		std::vector<u8> block = good;
		DTWriteBE32( block.data() + row.at, row.value );
		s32 result = -1;
		EFEnvMap* const map = Load( block, &result );
		EXPECT_EQ( result, 0 );
		EXPECT_TRUE( map->IsDisabled() );
		map->Render();
		delete map;
	}
	// A size below the header, or beyond the record, reads no block.
	for ( const u32 stored : { 20u, size + 100 } ) {
		std::vector<u8> block = good;
		DTWriteBE32( block.data(), stored );
		s32 result = 0;
		EFEnvMap* const map = Load( block, &result );
		EXPECT_NE( result, 0 );
		EXPECT_TRUE( map->IsDisabled() );
		delete map;
	}
}

}
