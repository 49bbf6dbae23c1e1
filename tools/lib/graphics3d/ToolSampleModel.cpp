#include "tools/lib/graphics3d/ToolSampleModel.h"

#include "tools/lib/graphics3d/ToolClumpWriter.h"

namespace {

ToolGeometry Triangle( const f32 size ) {
	ToolGeometry geometry;
	geometry.format = 0x36;		// positions, one texture-coordinate set, normals, lit
	geometry.numVertices = 3;
	geometry.texCoords = { { 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f } };
	geometry.triangles = { { { 0, 1, 2 }, 0 } };
	geometry.morphTargets[0].sphere = { 0.0f, 0.0f, 0.0f, size };
	geometry.morphTargets[0].positions = { 0.0f, 0.0f, 0.0f, size, 0.0f, 0.0f, 0.0f, size, 0.0f };
	geometry.morphTargets[0].normals = { 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f };
	geometry.materials.indices = { -1 };
	geometry.materials.materials = { ToolMaterial{} };
	geometry.materials.materials[0].color[0] = 200;
	geometry.materials.materials[0].color[1] = 100;
	geometry.materials.materials[0].color[2] = 50;
	geometry.materials.materials[0].texture = ToolTexture{};
	geometry.materials.materials[0].texture->name = TOOL_SAMPLE_MODEL_TEXTURE;
	return geometry;
}

ToolCollisionPrim Primitive( const u32 shape, const u32 tag, const s32 joint, const std::array<f32, 3>& offset,
							 const std::array<f32, 4>& size, const u32 type ) {
	ToolCollisionPrim prim;
	prim.shape = shape;
	prim.tag = tag;
	prim.joint = joint;
	prim.offset = offset;
	prim.size = size;
	// Environment collisions on; collision and detect types; environment
	// detect 1; the material word last.
	prim.attribs = { 0x1, type, type, 0, 0, 0x1, 0, 0, 0, 0, tag };
	return prim;
}

ToolAtomic Atomic( const s32 frame, const s32 geometry, const u32 lod ) {
	ToolAtomic atomic;
	atomic.frameIndex = frame;
	atomic.geometryIndex = geometry;
	atomic.extension = { ToolClumpWriter::AtomicData( ToolClumpWriter::LodWord( lod ) ) };
	return atomic;
}

}

ToolClump ToolSampleModelClump() {
	ToolClump clump;
	clump.frames = { ToolFrame{}, ToolFrame{}, ToolFrame{}, ToolFrame{} };
	for ( size_t i = 1; i < clump.frames.size(); i++ ) {
		clump.frames[i].parent = static_cast<s32>( i - 1 );
		clump.frames[i].matrix[10] = 0.5f;		// half a unit up the parent
	}
	ToolHAnimFrame skeleton;
	skeleton.id = TOOL_SAMPLE_MODEL_NODE_IDS[0];
	skeleton.flags = 0x2;		// no matrices of its own
	for ( s32 i = 0; i < 3; i++ ) {
		skeleton.nodes.push_back( { TOOL_SAMPLE_MODEL_NODE_IDS[i], i, 0 } );
	}
	clump.frames[TOOL_SAMPLE_MODEL_SKELETON_FRAME].extension = { { TOOL_PLUGIN_HANIM, ToolClumpWriter::HAnimFrame( skeleton ) } };
	for ( size_t i = TOOL_SAMPLE_MODEL_SKELETON_FRAME + 1; i < clump.frames.size(); i++ ) {
		ToolHAnimFrame node;
		node.id = TOOL_SAMPLE_MODEL_NODE_IDS[i - TOOL_SAMPLE_MODEL_SKELETON_FRAME];
		clump.frames[i].extension = { { TOOL_PLUGIN_HANIM, ToolClumpWriter::HAnimFrame( node ) } };
	}
	clump.geometries = { Triangle( 1.0f ), Triangle( 2.0f ) };
	clump.atomics = { Atomic( 0, 0, 0 ), Atomic( 2, 0, 0 ), Atomic( 0, 1, 1 ) };
	clump.extension = { ToolCollisionPrimWriter::Entry( ToolSampleModelCollisionPrims() ) };
	return clump;
}

std::vector<u8> ToolSampleModelClumpChunk() {
	return ToolClumpWriter::Chunk( ToolSampleModelClump() );
}

ToolCollisionPrims ToolSampleModelCollisionPrims() {
	ToolCollisionPrims prims;
	prims.sphere = { 0.0f, 1.0f, 0.0f, 2.0f };
	// A capsule of radius 0.3 from 0 to 1.6 up the model's frame, a box of
	// 0.2 beside node 1 and a 2 x 2 square at node 2's height.
	prims.prims = {
		Primitive( 1, TOOL_SAMPLE_MODEL_CAPSULE_TAG, -1, { 0.0f, 0.8f, 0.0f }, { 0.3f, 0.0f, 0.5f, 0.0f }, 0x1 ),
		Primitive( 2, TOOL_SAMPLE_MODEL_BOX_TAG, 1, { -0.6f, 0.0f, 0.0f }, { 0.2f, 0.2f, 0.2f, 0.0f }, 0x2 ),
		Primitive( 3, TOOL_SAMPLE_MODEL_POLYGONS_TAG, 2, { 0.0f, 0.0f, 0.0f }, { 0.0f, 0.0f, 0.0f, 0.0f }, 0x1 ),
	};
	prims.polygons = { { { { -1.0f, 0.0f, -1.0f }, { -1.0f, 0.0f, 1.0f }, { 1.0f, 0.0f, 1.0f } }, 0, 0 },
					   { { { -1.0f, 0.0f, -1.0f }, { 1.0f, 0.0f, 1.0f }, { 1.0f, 0.0f, -1.0f } }, 0, 0 } };
	prims.prims[2].polygonCount = 2;
	prims.prims[2].polygonOffset = 0;
	return prims;
}

ToolClump ToolQuadModelClump( const f32 width, const f32 depth, const u8 ( &colour )[4], const bool textured,
							  const f32 u, const f32 v ) {
	ToolGeometry geometry;
	// Positions, pre-lit, lit, and one texture-coordinate set when textured.
	geometry.format = 0x2A | ( textured ? 0x04 : 0 );
	geometry.numVertices = 4;
	geometry.preLit = std::vector<u8>( 16, 255 );
	if ( textured ) {
		geometry.texCoords = { { 0.0f, 0.0f, u, 0.0f, 0.0f, v, u, v } };
	}
	geometry.triangles = { { { 0, 1, 2 }, 0 }, { { 1, 3, 2 }, 0 } };
	geometry.morphTargets[0].sphere = { width / 2.0f, 0.0f, depth / 2.0f, width + depth };
	geometry.morphTargets[0].positions = { 0.0f, 0.0f, 0.0f, width, 0.0f, 0.0f, 0.0f, 0.0f, depth, width, 0.0f, depth };
	geometry.materials.indices = { -1 };
	geometry.materials.materials = { ToolMaterial{} };
	for ( u32 i = 0; i < 4; i++ ) {
		geometry.materials.materials[0].color[i] = colour[i];
	}
	ToolClump clump;
	clump.frames = { ToolFrame{} };
	clump.geometries = { geometry };
	clump.atomics = { Atomic( 0, 0, 0 ) };
	return clump;
}

std::vector<u8> ToolQuadModelClumpChunk( const f32 width, const f32 depth, const u8 ( &colour )[4],
										 const bool textured ) {
	return ToolClumpWriter::Chunk( ToolQuadModelClump( width, depth, colour, textured ) );
}
