/*
===============================================================================

	Collision trees: a space-partitioning tree over the triangles of a
	geometry or world sector, and the walks of those trees and of a
	world's sector tree along a line or through a box.

	A branch splits along one axis (0, 4, 8: the byte offset of x, y, z in
	a vector); its left child covers coordinates below leftValue, its
	right child those from rightValue upwards (the ranges overlap). A leaf
	owns a run of the owner's triangle map. The root is branch 0, or leaf
	0 when there are no branches.

	Walks keep their pending nodes on fixed stacks inside the call and
	allocate nothing: 32 entries for collision trees, 63 (line) and 64
	(box) for sector trees. The readers refuse trees that would overflow
	them. "Below" compares the sign bit of the difference, so a coordinate
	equal to a splitting value is not below it and -0.0 is. Along a line
	the child nearer the line's start is visited first.

	In a tree read from a stream the record, the tree, the branches, the
	leaves and the triangle map are one allocation.

===============================================================================
*/
#ifndef RP_COLL_BSP_TREE_H
#define RP_COLL_BSP_TREE_H

#include "graphics3d/core/RwBBox.h"

struct RpSector;
struct RpWorldSector;
struct RwStream;

// Kinds of a branch's children.
constexpr u8 rpCOLLBSP_LEAF_NODE	= 1;
constexpr u8 rpCOLLBSP_BRANCH_NODE	= 2;

// Pending entries of the walks' stacks.
constexpr s32 RPCOLLBSP_STACK_SIZE			= 32;
constexpr s32 RPCOLLBSP_SECTOR_LINE_STACK	= 63;
constexpr s32 RPCOLLBSP_SECTOR_BOX_STACK	= 64;

struct RpCollBSPBranchNode {
	u16		type;			// axis as a byte offset
	u8		leftType;
	u8		rightType;
	u16		leftNode;
	u16		rightNode;
	f32		leftValue;
	f32		rightValue;
};

struct RpCollBSPLeafNode {
	u16		numPolygons;
	u16		firstPolygon;
};

struct RpCollBSPTree {
	u32						numLeafNodes;
	RpCollBSPBranchNode*	branchNodes;	// numLeafNodes - 1, null for one leaf
	RpCollBSPLeafNode*		leafNodes;
};

struct RwLine {
	RwV3d	start;
	RwV3d	end;
};

// Leaf callbacks: false stops the walk.
typedef bool ( *RpCollBSPLeafCallBack )( u16 numPolygons, u16 firstPolygon, void* data );
// A sector reached by a line walk with the part of the line inside it.
typedef bool ( *RpCollSectorLineCallBack )( RpWorldSector* sector, const RwLine* segment, void* data );
typedef bool ( *RpCollSectorBoxCallBack )( RpWorldSector* sector, void* data );

// Lays the branch and leaf arrays out behind the tree's own fields.
RpCollBSPTree*	_rpCollBSPTreeInit( RpCollBSPTree* tree, u32 numLeafNodes );
// Host bytes of a tree with its arrays.
u64				_rpCollBSPTreeMemGetSize( u32 numLeafNodes );
// Stored bytes of the tree: 16 per branch and 4 per leaf.
u64				_rpCollBSPTreeStreamGetSize( const RpCollBSPTree* tree );
// Reads the tree's nodes (laid out already); null on a short read or
// nodes outside their arrays, leaf runs past mapLength, axes other than
// 0, 4, 8, and trees that are too deep or not trees (0x8000001A).
RpCollBSPTree*	_rpCollBSPTreeStreamRead( RwStream* stream, RpCollBSPTree* tree, u32 mapLength );
RwStream*		_rpCollBSPTreeStreamWrite( RwStream* stream, const RpCollBSPTree* tree );
// Frees a tree allocated apart from its record.
void			_rpCollBSPTreeDestroy( RpCollBSPTree* tree );
// The six gradients of a line: for each axis the change of the other two
// per unit along it (0 along an axis the line does not move on).
void			_rpCollLineGradients( const RwLine* line, f32 gradients[6] );
// The tree or null when a leaf callback returned false.
RpCollBSPTree*	_rpCollBSPTreeForAllLineLeafNodeIntersections( RpCollBSPTree* tree, const RwLine* line,
															   const f32 gradients[6], RpCollBSPLeafCallBack callBack,
															   void* data );
RpCollBSPTree*	_rpCollBSPTreeForAllBoxLeafNodeIntersections( RpCollBSPTree* tree, const RwBBox* box,
															  RpCollBSPLeafCallBack callBack, void* data );
// The same walks over a world's sector tree; false when stopped.
bool			_rpCollSectorTreeForAllLineIntersections( RpSector* root, const RwLine* line, const f32 gradients[6],
														  RpCollSectorLineCallBack callBack, void* data );
bool			_rpCollSectorTreeForAllBoxIntersections( RpSector* root, const RwBBox* box,
														 RpCollSectorBoxCallBack callBack, void* data );

#endif
