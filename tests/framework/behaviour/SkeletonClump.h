/*
	A clump chunk as the writer authors it: ten node frames in a chain
	under the root, bone ids 0x10000 + 10 i, the first carrying the
	hierarchy. Written in its own file: the writer's frame light and the
	level records' light share a name the bench already includes.
*/
#ifndef SKELETON_CLUMP_H
#define SKELETON_CLUMP_H

#include "datatypes/base/DTTypes.h"

#include <vector>

constexpr s32 SKELETON_CLUMP_NODES = 10;
constexpr s32 SKELETON_CLUMP_FIRST_ID = 0x10000;

std::vector<u8> SkeletonClumpChunk();

#endif
