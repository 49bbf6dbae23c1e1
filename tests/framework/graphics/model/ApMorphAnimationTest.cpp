#include "ModelTestBench.h"

#include "framework/graphics/ApAtomicDataPlugin.h"
#include "framework/graphics/ApMorphAnimation.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/world/RpGeometry.h"
#include "tools/lib/graphics3d/ToolMorphWriter.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

using V3 = std::array<f32, 3>;

// Vertex keys of atomic 0 at 0, 1 and 3 s (the last equal to the first),
// for vertices 1 and 3; normal keys at 0 and 2 s for vertex 2.
ToolMorphChannel VertexChannel() {
	ToolMorphChannel channel;
	channel.indices = { 1, 3 };
	channel.keys = { { 0.0f, { V3{ 0, 0, 0 }, V3{ 1, 1, 1 } } },
					 { 1.0f, { V3{ 2, 0, 0 }, V3{ 1, 3, 1 } } },
					 { 3.0f, { V3{ 0, 0, 0 }, V3{ 1, 1, 1 } } } };
	return channel;
}

ToolMorphChannel NormalChannel() {
	ToolMorphChannel channel;
	channel.indices = { 2 };
	channel.outputs = { V3{ 0, 0, 1 } };		// becomes the base
	channel.keys = { { 0.0f, { V3{ 0, 0, 0 } } }, { 2.0f, { V3{ 2, 0, 0 } } } };
	return channel;
}

ToolMorphAnimation Sample( const u32 atomics = 1 ) {
	ToolMorphAnimation animation;
	animation.group = 7;
	animation.atomics.push_back( ToolMorphAtomic{ VertexChannel(), NormalChannel(), 0 } );
	for ( u32 i = 1; i < atomics; i++ ) {
		animation.atomics.push_back( std::nullopt );
	}
	return animation;
}

// The stored keys evaluated in double precision at time t, wrapped into
// the loop.
std::vector<std::array<f64, 3>> Evaluate( const ToolMorphChannel& channel, const f64 t ) {
	const f64 period = channel.keys.back().time;
	f64 at = std::fmod( t, period );
	if ( at < 0 ) {
		at += period;
	}
	size_t k = 0;
	while ( k + 2 < channel.keys.size() && at >= channel.keys[k + 1].time ) {
		k++;
	}
	const f64 u = ( at - channel.keys[k].time ) / ( channel.keys[k + 1].time - channel.keys[k].time );
	std::vector<std::array<f64, 3>> out;
	for ( size_t i = 0; i < channel.indices.size(); i++ ) {
		std::array<f64, 3> v;
		for ( u32 c = 0; c < 3; c++ ) {
			v[c] = channel.keys[k].values[i][c] + u * ( channel.keys[k + 1].values[i][c] - channel.keys[k].values[i][c] );
		}
		out.push_back( v );
	}
	return out;
}

ApMorphAnimationEx* Decode( const std::vector<u8>& block ) {
	return ApMorphAnimationDecode( block.data(), static_cast<u32>( block.size() ) );
}

}

class ApMorphAnimationTest : public ModelTestBench {
protected:
	void SetUp() override {
		ModelTestBench::SetUp();
		clump = RpClumpCreate();
		RpClumpSetFrame( clump, RwFrameCreate() );
		for ( u32 i = 0; i < 2; i++ ) {
			RpGeometry* const geometry = RpGeometryCreate( 4, 0, rpGEOMETRYPOSITIONS | rpGEOMETRYNORMALS );
			for ( u32 v = 0; v < 4; v++ ) {
				geometry->morphTarget[0].verts[v] = { static_cast<f32>( v ), 10.0f * static_cast<f32>( i ), 0.0f };
				geometry->morphTarget[0].normals[v] = { 0.0f, 1.0f, 0.0f };
			}
			RpAtomic* const atomic = RpAtomicCreate();
			RpAtomicSetGeometry( atomic, geometry, 0 );
			RpGeometryDestroy( geometry );
			RpAtomicSetFrame( atomic, RpClumpGetFrame( clump ) );
			RpClumpAddAtomic( clump, atomic );
		}
		atomics = Atomics( clump );
	}

	void TearDown() override {
		RpClumpDestroy( clump );
		ModelTestBench::TearDown();
	}

	RwV3d* Verts( const u32 atomic ) { return atomics[atomic]->geometry->morphTarget[0].verts; }
	RwV3d* Normals( const u32 atomic ) { return atomics[atomic]->geometry->morphTarget[0].normals; }

	RpClump*				clump = nullptr;
	std::vector<RpAtomic*>	atomics;
};

TEST_F( ApMorphAnimationTest, KeysWalkBothWaysWithWrapAsAnIndependentEvaluationDoes ) {
	ApMorphAnimationEx* const animation = Decode( ToolMorphWriter::Block( Sample() ) );
	ASSERT_NE( animation, nullptr );
	EXPECT_EQ( animation->uiVersion, 10408u );
	EXPECT_EQ( animation->uiGroup, 7u );
	ApMorphAnimationInit( clump, animation );
	ASSERT_NE( ApAtomicGetMorphTarget( atomics[0], 0 ), nullptr );
	EXPECT_EQ( ApAtomicGetMorphTarget( atomics[1], 0 ), nullptr );
	EXPECT_EQ( ApMorphAnimationGetDuration( animation ), 3.0f );
	const ToolMorphChannel vertex = VertexChannel();
	const ToolMorphChannel normal = NormalChannel();
	const RwV3d base1 = Verts( 0 )[1];
	const RwV3d base3 = Verts( 0 )[3];

	f64 t = 0.0;
	for ( const f32 dt : { 0.5f, 1.0f, 2.0f, -1.0f, -2.6f, 0.3f, 7.25f, -9.5f, 0.0f, 1000.5f } ) {
		SCOPED_TRACE( dt );
		t += dt;
		ApMorphAnimationAddTime( animation, dt );
		ApMorphAnimationSetGeometry( clump, animation, 0 );
		const auto expected = Evaluate( vertex, t );
		const RwV3d* const verts = Verts( 0 );
		EXPECT_NEAR( verts[1].x, base1.x + expected[0][0], 1e-3 );
		EXPECT_NEAR( verts[1].y, base1.y + expected[0][1], 1e-3 );
		EXPECT_NEAR( verts[3].y, base3.y + expected[1][1], 1e-3 );
		EXPECT_EQ( verts[0].x, 0.0f );		// not animated
		// The normal adds its base (0, 0, 1) and is normalised.
		const auto n = Evaluate( normal, t );
		const f64 length = std::sqrt( n[0][0] * n[0][0] + n[0][1] * n[0][1] + 1.0 );
		EXPECT_NEAR( Normals( 0 )[2].x, n[0][0] / length, 1e-4 );
		EXPECT_NEAR( Normals( 0 )[2].z, 1.0 / length, 1e-4 );
		EXPECT_EQ( Normals( 0 )[1].y, 1.0f );
		// The second atomic has no record: untouched.
		EXPECT_EQ( Verts( 1 )[1].x, 1.0f );
	}
	// Setting the current time changes nothing.
	const f32 now = animation->ppAtomics[0]->pVertex->fTime;
	const RwV3d before = animation->ppAtomics[0]->pVertex->pOutputs[0];
	const u16 key = animation->ppAtomics[0]->pVertex->uiCurrentKey;
	ApMorphAnimationSetTime( animation, now );
	EXPECT_EQ( animation->ppAtomics[0]->pVertex->uiCurrentKey, key );
	EXPECT_EQ( std::memcmp( &animation->ppAtomics[0]->pVertex->pOutputs[0], &before, sizeof( RwV3d ) ), 0 );

	// Restoring copies target 0 back.
	ApMorphAnimationSetGeometry( clump, animation, 1 );
	for ( u32 v = 0; v < 4; v++ ) {
		EXPECT_EQ( Verts( 0 )[v].x, static_cast<f32>( v ) );
		EXPECT_EQ( Normals( 0 )[v].y, 1.0f );
	}
	ApMorphAnimationDestroy( animation );
}

TEST_F( ApMorphAnimationTest, BlendMovesPositionsFromTheSnapshotAndLeavesNormals ) {
	ApMorphAnimationEx* const animation = Decode( ToolMorphWriter::Block( Sample() ) );
	ASSERT_NE( animation, nullptr );
	ApMorphAnimationInit( clump, animation );
	ApMorphAnimationInitBlend( clump, animation );		// the snapshot: the geometry as it is
	ApMorphAnimationSetTime( animation, 0.5f );
	const auto expected = Evaluate( VertexChannel(), 0.5 );
	const f32 base3 = Verts( 0 )[3].y;
	for ( const f32 f : { 0.0f, 0.5f, 1.0f } ) {
		SCOPED_TRACE( f );
		ApMorphAnimationSetGeometry( clump, animation, 1 );
		Normals( 0 )[2] = { 0.0f, 1.0f, 0.0f };
		ApMorphAnimationBlend( clump, animation, f );
		EXPECT_NEAR( Verts( 0 )[1].x, 1.0 + f * expected[0][0], 1e-5 );
		EXPECT_NEAR( Verts( 0 )[3].y, base3 + f * expected[1][1], 1e-5 );
		EXPECT_EQ( Verts( 0 )[0].x, 0.0f );
		EXPECT_EQ( Normals( 0 )[2].y, 1.0f );
	}
	ApMorphAnimationDestroy( animation );
}

TEST_F( ApMorphAnimationTest, StreamsWithoutTheChunkOrWithAnEmptyOneGiveNoAnimation ) {
	const std::vector<std::vector<u8>> streams = {
		{},
		ToolMorphWriter::Chunk( {} ),
		ToolMorphWriter::Chunk( ToolMorphWriter::Block( Sample() ) ),
	};
	for ( size_t i = 0; i < streams.size(); i++ ) {
		std::vector<u8> bytes = streams[i];
		RwMemory memory = { bytes.data(), static_cast<u32>( bytes.size() ) };
		RwStream* const stream = RwStreamOpen( rwSTREAMMEMORY, rwSTREAMREAD, &memory );
		ApMorphAnimationEx* animation = reinterpret_cast<ApMorphAnimationEx*>( 1 );
		ApMorphAnimationStreamRead( stream, &animation );
		EXPECT_EQ( animation != nullptr, i == 2 ) << i;
		ApMorphAnimationDestroy( animation );
		if ( stream != nullptr ) {
			RwStreamClose( stream, nullptr );
		}
	}
}

TEST_F( ApMorphAnimationTest, MalformedBlocksAreRefusedAndKeysThatCannotWrapHoldTheFirst ) {
	ToolMorphLayout layout;
	const std::vector<u8> good = ToolMorphWriter::Block( Sample(), &layout );
	const u32 vertexChannel = layout.channels[0];
	const u32 keys = good[vertexChannel + 28] | good[vertexChannel + 29] << 8 | good[vertexChannel + 30] << 16 |
					 static_cast<u32>( good[vertexChannel + 31] ) << 24;
	const u32 end = static_cast<u32>( good.size() );
	const struct {
		const char*	name;
		u32			offset;
		u32			value;
	} refused[] = {
		{ "table past the end", 0, end - 2 },
		{ "record past the end", layout.table, end },
		{ "channel past the end", layout.records[0], end - 31 },
		{ "indices past the end", vertexChannel + 12, end - 2 },
		{ "outputs without an offset", vertexChannel + 24, 0 },
		{ "keys past the end", vertexChannel + 28, end - 24 },
		{ "a key's values past the end", keys + 8, end - 12 },
		{ "no keys", vertexChannel + 4, 0x00020000 },
		{ "more animated than stored", vertexChannel + 8, 0xFFFF },
	};
	for ( const auto& row : refused ) {
		std::vector<u8> block = good;
		ToolMorphWriter::Patch( block, row.offset, row.value );
		EXPECT_EQ( Decode( block ), nullptr ) << row.name;
	}
	EXPECT_EQ( Decode( std::vector<u8>( good.begin(), good.begin() + 15 ) ), nullptr );
	std::vector<u8> counted = good;
	counted[4] = 200;
	EXPECT_EQ( Decode( counted ), nullptr );

	// Key times that do not start at 0 and increase: key 0 is held.
	const f32 base3 = Verts( 0 )[3].y;
	const std::vector<std::vector<f32>> holding = { { 0, 0, 0 }, { 0, 2, 1 }, { 1, 2, 3 }, { 0, 1, std::nanf( "" ) } };
	for ( const std::vector<f32>& times : holding ) {
		ToolMorphAnimation animation = Sample();
		for ( size_t k = 0; k < times.size(); k++ ) {
			animation.atomics[0]->vertex->keys[k].time = times[k];
		}
		ApMorphAnimationEx* const decoded = Decode( ToolMorphWriter::Block( animation ) );
		ASSERT_NE( decoded, nullptr );
		ApMorphAnimationInit( clump, decoded );
		for ( const f32 dt : { 0.5f, 7.0f, -3.0f, std::numeric_limits<f32>::infinity() } ) {
			ApMorphAnimationAddTime( decoded, dt );
			ApMorphAnimationSetGeometry( clump, decoded, 0 );
			EXPECT_EQ( Verts( 0 )[1].x, 1.0f ) << times[1] << " " << dt;
			EXPECT_EQ( Verts( 0 )[3].y, base3 + 1.0f ) << times[1] << " " << dt;
		}
		ApMorphAnimationSetGeometry( clump, decoded, 1 );
		ApMorphAnimationDestroy( decoded );
	}
}

TEST_F( ApMorphAnimationTest, OperationsVisitNoMoreAtomicsThanTheTableHoldsAndSkipGeometriesWithTheirOwnTargets ) {
	// Atomic 1 named by a table of two entries; a one-entry table never
	// reaches it, and a geometry with two morph targets gets no block.
	ToolMorphAnimation two = Sample();
	two.atomics.push_back( two.atomics[0] );
	ToolMorphAnimation one = two;
	one.storedCount = 1;
	for ( const auto& [animation, touched] : { std::pair{ two, true }, std::pair{ one, false } } ) {
		ApMorphAnimationEx* const decoded = Decode( ToolMorphWriter::Block( animation ) );
		ASSERT_NE( decoded, nullptr );
		ApMorphAnimationInit( clump, decoded );
		ApMorphAnimationSetTime( decoded, 0.5f );
		ApMorphAnimationSetGeometry( clump, decoded, 0 );
		EXPECT_EQ( Verts( 1 )[1].x != 1.0f, touched );
		ApMorphAnimationSetGeometry( clump, decoded, 1 );
		ApMorphAnimationDestroy( decoded );
	}
	RpGeometry* const geometry = atomics[1]->geometry;
	ASSERT_GE( RpGeometryAddMorphTargets( geometry, 1 ), 0 );
	RpClump* const fresh = RpClumpCreate();
	RpAtomic* const atomic = RpAtomicCreate();
	RpAtomicSetGeometry( atomic, geometry, 0 );
	RpClumpAddAtomic( fresh, atomic );
	ApMorphAnimationEx* const decoded = Decode( ToolMorphWriter::Block( Sample() ) );
	ApMorphAnimationInit( fresh, decoded );
	EXPECT_EQ( ApAtomicGetMorphTarget( atomic, 0 ), nullptr );
	ApMorphAnimationSetTime( decoded, 0.5f );
	ApMorphAnimationSetGeometry( fresh, decoded, 0 );
	ApMorphAnimationBlend( fresh, decoded, 0.5f );
	EXPECT_EQ( geometry->morphTarget[0].verts[1].x, 1.0f );
	ApMorphAnimationDestroy( decoded );
	RpClumpDestroy( fresh );
}
