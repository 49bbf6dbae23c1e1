/*
===============================================================================

	Skeleton of a hierarchical animation: a table of nodes (id, index,
	flags and the frame bound to each), its node matrices and its
	interpolator. Only the records and the look-up of a node by id exist
	so far.

===============================================================================
*/
#ifndef RP_HANIM_H
#define RP_HANIM_H

#include "datatypes/base/DTTypes.h"

struct RwFrame;
struct RwMatrix;
struct RtAnimInterpolator;

// Hierarchy flags.
constexpr s32 rpHANIMHIERARCHYSUBHIERARCHY		= 0x1;
constexpr s32 rpHANIMHIERARCHYNOMATRICES		= 0x2;

struct RpHAnimNodeInfo {
	s32					nodeID;
	s32					nodeIndex;
	s32					flags;
	RwFrame*			pFrame;
};

struct RpHAnimHierarchy {
	s32					flags;
	s32					numNodes;
	RwMatrix*			pMatrixArray;
	void*				pMatrixArrayUnaligned;
	RpHAnimNodeInfo*	pNodeInfo;
	RwFrame*			parentFrame;
	RpHAnimHierarchy*	parentHierarchy;
	s32					rootParentOffset;
	RtAnimInterpolator*	currentAnim;
};

// Index of the first node whose id is id, scanning from 0; -1 when none
// matches or the hierarchy has no nodes.
s32		RpHAnimIDGetIndex( const RpHAnimHierarchy* hierarchy, s32 id );

#endif
