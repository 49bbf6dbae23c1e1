#include "graphics3d/world/RpCollBSPTree.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/core/RwStreamData.h"
#include "graphics3d/world/RpWorld.h"

#include <bit>
#include <cmath>

// Stored words of a branch and of a leaf.
static const u32 BRANCH_WORDS		= 4;
static const u32 WORD_BYTES			= 4;
static const u32 HALF_SHIFT			= 16;
static const u32 BYTE_SHIFT			= 8;
static const u32 HALF_MASK			= 0xFFFF;
static const u32 BYTE_MASK			= 0xFF;

namespace {

bool Below( const f32 a, const f32 b ) {
	return std::signbit( a - b );
}

f32 Component( const RwV3d& v, const u32 axisOffset ) {
	return ( &v.x )[axisOffset / 4];
}

// The point where the segment from s meets coordinate value on the axis,
// by the line's gradients.
RwV3d Cut( const RwV3d& s, const u32 axisOffset, const f32 value, const f32 g[6] ) {
	switch ( axisOffset ) {
	case 0: {
		const f32 d = value - s.x;
		return { value, s.y + g[0] * d, s.z + g[1] * d };
	}
	case 4: {
		const f32 d = value - s.y;
		return { s.x + g[2] * d, value, s.z + g[3] * d };
	}
	default: {
		const f32 d = value - s.z;
		return { s.x + g[4] * d, s.y + g[5] * d, value };
	}
	}
}

// Node access of a collision tree: a leaf flag and an index.
struct CollNode {
	bool	leaf;
	u16		index;
};

struct CollTree {
	const RpCollBSPTree*	tree;

	CollNode	Root() const { return { tree->numLeafNodes <= 1, 0 }; }
	bool		IsLeaf( const CollNode n ) const { return n.leaf; }
	u32			Axis( const CollNode n ) const { return tree->branchNodes[n.index].type; }
	f32			LeftValue( const CollNode n ) const { return tree->branchNodes[n.index].leftValue; }
	f32			RightValue( const CollNode n ) const { return tree->branchNodes[n.index].rightValue; }
	CollNode	Left( const CollNode n ) const {
		const RpCollBSPBranchNode& b = tree->branchNodes[n.index];
		return { b.leftType == rpCOLLBSP_LEAF_NODE, b.leftNode };
	}
	CollNode	Right( const CollNode n ) const {
		const RpCollBSPBranchNode& b = tree->branchNodes[n.index];
		return { b.rightType == rpCOLLBSP_LEAF_NODE, b.rightNode };
	}
};

// Node access of a world's sector tree.
struct SectorTree {
	RpSector*	root;

	RpSector*	Root() const { return root; }
	static bool	IsLeaf( const RpSector* n ) { return n->type < 0; }
	static u32	Axis( const RpSector* n ) { return static_cast<u32>( Plane( n )->type ); }
	static f32	LeftValue( const RpSector* n ) { return Plane( n )->leftValue; }
	static f32	RightValue( const RpSector* n ) { return Plane( n )->rightValue; }
	static RpSector*	Left( const RpSector* n ) { return Plane( n )->leftSubTree; }
	static RpSector*	Right( const RpSector* n ) { return Plane( n )->rightSubTree; }
	static const RpPlaneSector*	Plane( const RpSector* n ) { return reinterpret_cast<const RpPlaneSector*>( n ); }
};

// Walks the tree along the line, calling leaf( node, segment ) with the
// part of the line inside each leaf reached; false when it stopped.
template< s32 StackSize, typename Tree, typename Leaf >
bool LineWalk( const Tree& tree, const RwLine& line, const f32 g[6], Leaf&& leaf ) {
	using Node = decltype( tree.Root() );
	struct Pending {
		Node	node;
		RwLine	segment;
	};
	Pending stack[StackSize];
	s32 top = 0;
	Node node = tree.Root();
	RwLine seg = line;
	auto push = [&]( const Node n, const RwLine& s ) {
		if ( top < StackSize ) {
			stack[top++] = { n, s };
		}
	};
	for ( ;; ) {
		if ( tree.IsLeaf( node ) ) {
			if ( !leaf( node, seg ) ) {
				return false;
			}
			if ( top == 0 ) {
				return true;
			}
			top--;
			node = stack[top].node;
			seg = stack[top].segment;
			continue;
		}
		const u32 axis = tree.Axis( node );
		const f32 l = tree.LeftValue( node );
		const f32 r = tree.RightValue( node );
		const f32 s = Component( seg.start, axis );
		const f32 e = Component( seg.end, axis );
		const bool sBelowR = Below( s, r );
		const bool eBelowR = Below( e, r );
		const bool sBelowL = Below( s, l );
		const bool eBelowL = Below( e, l );
		const Node left = tree.Left( node );
		const Node right = tree.Right( node );
		if ( sBelowR && eBelowR ) {
			node = left;
		} else if ( !sBelowL && !eBelowL ) {
			node = right;
		} else if ( sBelowL == eBelowL && sBelowR == eBelowR ) {
			// Inside the overlap of the two ranges.
			if ( s < e ) {
				push( right, seg );
				node = left;
			} else {
				push( left, seg );
				node = right;
			}
		} else if ( sBelowR != eBelowR && sBelowL && eBelowL ) {
			const RwV3d cutR = Cut( seg.start, axis, r, g );
			if ( sBelowR ) {
				push( right, { cutR, seg.end } );
				node = left;
			} else {
				push( left, seg );
				seg.end = cutR;
				node = right;
			}
		} else if ( sBelowL != eBelowL && !sBelowR && !eBelowR ) {
			const RwV3d cutL = Cut( seg.start, axis, l, g );
			if ( sBelowL ) {
				push( right, seg );
				seg.end = cutL;
				node = left;
			} else {
				push( left, { cutL, seg.end } );
				node = right;
			}
		} else {
			const RwV3d cutL = Cut( seg.start, axis, l, g );
			const RwV3d cutR = Cut( seg.start, axis, r, g );
			if ( sBelowL ) {
				push( right, { cutR, seg.end } );
				seg.end = cutL;
				node = left;
			} else {
				push( left, { cutL, seg.end } );
				seg.end = cutR;
				node = right;
			}
		}
	}
}

template< s32 StackSize, typename Tree, typename Leaf >
bool BoxWalk( const Tree& tree, const RwBBox& box, Leaf&& leaf ) {
	using Node = decltype( tree.Root() );
	Node stack[StackSize];
	s32 top = 0;
	Node node = tree.Root();
	for ( ;; ) {
		if ( tree.IsLeaf( node ) ) {
			if ( !leaf( node ) ) {
				return false;
			}
			if ( top == 0 ) {
				return true;
			}
			node = stack[--top];
			continue;
		}
		const u32 axis = tree.Axis( node );
		if ( !Below( Component( box.inf, axis ), tree.LeftValue( node ) ) ) {
			node = tree.Right( node );
			continue;
		}
		if ( !Below( Component( box.sup, axis ), tree.RightValue( node ) ) && top < StackSize ) {
			stack[top++] = tree.Right( node );
		}
		node = tree.Left( node );
	}
}

bool Malformed() {
	_rwErrorSetCore( _rwerror( RWERR_READ ) );
	return false;
}

bool ValidChild( const RpCollBSPTree* tree, const u8 type, const u16 index ) {
	return type == rpCOLLBSP_LEAF_NODE ? index < tree->numLeafNodes : u32{ index } + 1 < tree->numLeafNodes;
}

// Visits every node once with the walks' stack: a tree is accepted when
// no branch lies deeper than the stack can hold and no node is reached
// twice (at most 2N - 1 visits).
bool ValidShape( const RpCollBSPTree* tree ) {
	if ( tree->numLeafNodes <= 1 ) {
		return true;
	}
	struct Pending {
		CollNode	node;
		s32			depth;
	};
	Pending stack[RPCOLLBSP_STACK_SIZE];
	s32 top = 0;
	const CollTree walker = { tree };
	CollNode node = walker.Root();
	s32 depth = 0;
	u64 visits = 0;
	const u64 limit = 2 * u64{ tree->numLeafNodes } - 1;
	for ( ;; ) {
		if ( ++visits > limit ) {
			return false;
		}
		if ( node.leaf ) {
			if ( top == 0 ) {
				return true;
			}
			top--;
			node = stack[top].node;
			depth = stack[top].depth;
			continue;
		}
		// A branch at this depth has this many pending siblings above it,
		// and its own push must still fit.
		if ( depth >= RPCOLLBSP_STACK_SIZE || top >= RPCOLLBSP_STACK_SIZE ) {
			return false;
		}
		stack[top++] = { walker.Right( node ), depth + 1 };
		node = walker.Left( node );
		depth++;
	}
}

}	// namespace

RpCollBSPTree* _rpCollBSPTreeInit( RpCollBSPTree* tree, const u32 numLeafNodes ) {
	u8* const arrays = reinterpret_cast<u8*>( tree ) + sizeof( RpCollBSPTree );
	tree->numLeafNodes = numLeafNodes;
	tree->branchNodes = numLeafNodes > 1 ? reinterpret_cast<RpCollBSPBranchNode*>( arrays ) : nullptr;
	tree->leafNodes = reinterpret_cast<RpCollBSPLeafNode*>(
		arrays + sizeof( RpCollBSPBranchNode ) * ( numLeafNodes > 0 ? numLeafNodes - 1 : 0 ) );
	return tree;
}

u64 _rpCollBSPTreeMemGetSize( const u32 numLeafNodes ) {
	const u64 branches = numLeafNodes > 0 ? numLeafNodes - 1 : 0;
	return sizeof( RpCollBSPTree ) + sizeof( RpCollBSPBranchNode ) * branches + sizeof( RpCollBSPLeafNode ) * numLeafNodes;
}

u64 _rpCollBSPTreeStreamGetSize( const RpCollBSPTree* tree ) {
	const u64 leaves = tree->numLeafNodes;
	return BRANCH_WORDS * WORD_BYTES * ( leaves - 1 ) + WORD_BYTES * leaves;
}

RpCollBSPTree* _rpCollBSPTreeStreamRead( RwStream* stream, RpCollBSPTree* tree, const u32 mapLength ) {
	const u32 numBranches = tree->numLeafNodes - 1;
	for ( u32 i = 0; i < numBranches; i++ ) {
		u32 words[BRANCH_WORDS];
		if ( RwStreamReadInt32( stream, words, sizeof( words ) ) == nullptr ) {
			return nullptr;
		}
		RpCollBSPBranchNode& branch = tree->branchNodes[i];
		branch.type = static_cast<u16>( words[0] >> HALF_SHIFT );
		branch.leftType = static_cast<u8>( ( words[0] >> BYTE_SHIFT ) & BYTE_MASK );
		branch.rightType = static_cast<u8>( words[0] & BYTE_MASK );
		branch.leftNode = static_cast<u16>( words[1] >> HALF_SHIFT );
		branch.rightNode = static_cast<u16>( words[1] & HALF_MASK );
		branch.leftValue = std::bit_cast<f32>( words[2] );
		branch.rightValue = std::bit_cast<f32>( words[3] );
	}
	for ( u32 i = 0; i < tree->numLeafNodes; i++ ) {
		u32 word = 0;
		if ( RwStreamReadInt32( stream, &word, WORD_BYTES ) == nullptr ) {
			return nullptr;
		}
		tree->leafNodes[i] = { static_cast<u16>( word >> HALF_SHIFT ), static_cast<u16>( word & HALF_MASK ) };
	}
	for ( u32 i = 0; i < numBranches; i++ ) {
		const RpCollBSPBranchNode& branch = tree->branchNodes[i];
		if ( ( branch.type != 0 && branch.type != 4 && branch.type != 8 ) ||
			 !ValidChild( tree, branch.leftType, branch.leftNode ) || !ValidChild( tree, branch.rightType, branch.rightNode ) ) {
			Malformed();
			return nullptr;
		}
	}
	for ( u32 i = 0; i < tree->numLeafNodes; i++ ) {
		const RpCollBSPLeafNode& leaf = tree->leafNodes[i];
		if ( u32{ leaf.firstPolygon } + leaf.numPolygons > mapLength ) {
			Malformed();
			return nullptr;
		}
	}
	if ( !ValidShape( tree ) ) {
		Malformed();
		return nullptr;
	}
	return tree;
}

RwStream* _rpCollBSPTreeStreamWrite( RwStream* stream, const RpCollBSPTree* tree ) {
	for ( u32 i = 0; i + 1 < tree->numLeafNodes; i++ ) {
		const RpCollBSPBranchNode& branch = tree->branchNodes[i];
		const u32 words[BRANCH_WORDS] = {
			( u32{ branch.type } << HALF_SHIFT ) | ( u32{ branch.leftType } << BYTE_SHIFT ) | branch.rightType,
			( u32{ branch.leftNode } << HALF_SHIFT ) | branch.rightNode, std::bit_cast<u32>( branch.leftValue ),
			std::bit_cast<u32>( branch.rightValue ) };
		if ( RwStreamWriteInt32( stream, words, sizeof( words ) ) == nullptr ) {
			return nullptr;
		}
	}
	for ( u32 i = 0; i < tree->numLeafNodes; i++ ) {
		const u32 word = ( u32{ tree->leafNodes[i].numPolygons } << HALF_SHIFT ) | tree->leafNodes[i].firstPolygon;
		if ( RwStreamWriteInt32( stream, &word, WORD_BYTES ) == nullptr ) {
			return nullptr;
		}
	}
	return stream;
}

void _rpCollBSPTreeDestroy( RpCollBSPTree* tree ) {
	RwEngineInstance->memoryFunctions.rwfree( tree );
}

void _rpCollLineGradients( const RwLine* line, f32 gradients[6] ) {
	const RwV3d d = { line->end.x - line->start.x, line->end.y - line->start.y, line->end.z - line->start.z };
	const f32 rx = d.x != 0.0f ? 1.0f / d.x : 0.0f;
	const f32 ry = d.y != 0.0f ? 1.0f / d.y : 0.0f;
	const f32 rz = d.z != 0.0f ? 1.0f / d.z : 0.0f;
	gradients[0] = d.y * rx;
	gradients[1] = d.z * rx;
	gradients[2] = d.x * ry;
	gradients[3] = d.z * ry;
	gradients[4] = d.x * rz;
	gradients[5] = d.y * rz;
}

RpCollBSPTree* _rpCollBSPTreeForAllLineLeafNodeIntersections( RpCollBSPTree* tree, const RwLine* line,
															  const f32 gradients[6], const RpCollBSPLeafCallBack callBack,
															  void* data ) {
	const bool done = LineWalk<RPCOLLBSP_STACK_SIZE>( CollTree{ tree }, *line, gradients, [tree, callBack, data]( const CollNode n, const RwLine& ) {
		const RpCollBSPLeafNode& leaf = tree->leafNodes[n.index];
		return callBack( leaf.numPolygons, leaf.firstPolygon, data );
	} );
	return done ? tree : nullptr;
}

RpCollBSPTree* _rpCollBSPTreeForAllBoxLeafNodeIntersections( RpCollBSPTree* tree, const RwBBox* box,
															 const RpCollBSPLeafCallBack callBack, void* data ) {
	const bool done = BoxWalk<RPCOLLBSP_STACK_SIZE>( CollTree{ tree }, *box, [tree, callBack, data]( const CollNode n ) {
		const RpCollBSPLeafNode& leaf = tree->leafNodes[n.index];
		return callBack( leaf.numPolygons, leaf.firstPolygon, data );
	} );
	return done ? tree : nullptr;
}

bool _rpCollSectorTreeForAllLineIntersections( RpSector* root, const RwLine* line, const f32 gradients[6],
											   const RpCollSectorLineCallBack callBack, void* data ) {
	return LineWalk<RPCOLLBSP_SECTOR_LINE_STACK>( SectorTree{ root }, *line, gradients,
												   [callBack, data]( RpSector* n, const RwLine& segment ) {
													   return callBack( reinterpret_cast<RpWorldSector*>( n ), &segment, data );
												   } );
}

bool _rpCollSectorTreeForAllBoxIntersections( RpSector* root, const RwBBox* box, const RpCollSectorBoxCallBack callBack,
											  void* data ) {
	return BoxWalk<RPCOLLBSP_SECTOR_BOX_STACK>( SectorTree{ root }, *box, [callBack, data]( RpSector* n ) {
		return callBack( reinterpret_cast<RpWorldSector*>( n ), data );
	} );
}
