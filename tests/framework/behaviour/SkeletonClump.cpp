#include "SkeletonClump.h"

#include "tools/lib/graphics3d/ToolClumpWriter.h"

std::vector<u8> SkeletonClumpChunk() {
	ToolClump clump;
	clump.frames.resize( SKELETON_CLUMP_NODES + 1 );
	ToolHAnimFrame skeleton;
	skeleton.id = SKELETON_CLUMP_FIRST_ID;
	skeleton.flags = 0x2;		// no matrices of its own
	for ( s32 i = 0; i < SKELETON_CLUMP_NODES; i++ ) {
		skeleton.nodes.push_back( { SKELETON_CLUMP_FIRST_ID + 10 * i, i, 0 } );
	}
	for ( s32 i = 1; i <= SKELETON_CLUMP_NODES; i++ ) {
		clump.frames[i].parent = i - 1;
		clump.frames[i].matrix[10] = 0.5f;		// half a unit up the parent
		ToolHAnimFrame node;
		node.id = SKELETON_CLUMP_FIRST_ID + 10 * ( i - 1 );
		clump.frames[i].extension = { { TOOL_PLUGIN_HANIM, ToolClumpWriter::HAnimFrame( i == 1 ? skeleton : node ) } };
	}
	return ToolClumpWriter::Chunk( clump );
}
