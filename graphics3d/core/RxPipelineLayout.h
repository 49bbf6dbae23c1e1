/*
===============================================================================

	Super-block layout shared by the pipeline editing and unlocking code.

	Locked: N node records, N output areas of 32 words, N sort records,
	N being the maximum node count. Unlocked: the node records, their
	packed outputs, then what unlocking keeps, in one block shrunk to size.

	Interior pointers survive a reallocation of the block by being turned
	into offsets before it and back into pointers after it.

===============================================================================
*/
#ifndef RX_PIPELINE_LAYOUT_H
#define RX_PIPELINE_LAYOUT_H

#include "graphics3d/core/RxPipelineTypes.h"

// Allocations inside the super block are rounded to this.
constexpr u32 RX_SUPERBLOCK_ROUNDING = 8;

inline u32 RxRoundUp8( const u64 size ) {
	return static_cast<u32>( ( size + RX_SUPERBLOCK_ROUNDING - 1 ) & ~static_cast<u64>( RX_SUPERBLOCK_ROUNDING - 1 ) );
}

// Bytes of a locked super block.
u32							_rxPipelineLockedSize();
// Output area and sort record of node i in the locked layout.
u32*						_rxLockedOutputArea( RxPipeline* pipeline, u32 i );
RxPipelineNodeTopSortData*	_rxLockedSortRecord( RxPipeline* pipeline, u32 i );

// Reallocates the super block through the engine's hook and fixes every
// interior pointer; false with error 0x80000013 (the block unchanged).
bool	ReallocAndFixupSuperBlock( RxPipeline* pipeline, u32 size );
// Puts each node's outputs back into its output area (last node first) and
// gives it a zeroed sort record; drops everything unlocking built.
void	LockPipelineExpandData( RxPipeline* pipeline );

// Two-ended allocation inside the super block while unlocking: temporaries
// are taken downwards from the top, what stays upwards from the bottom.
// Sizes are rounded to 8; an allocation that would make the two ends cross
// is not made and raises 0x80000013. Single global state: unlocking is not
// re-entrant.
void	_rxStalacSetBounds( u8* bottom, u8* top );
u8*		_rxStalacBottom();
void*	StalacTiteAlloc( u32 size );
void*	StalacMiteAlloc( u32 size );

// Pipeline-node term, use count down, definition term at 0.
void	_rxPipelineNodeTerm( RxPipelineNode* node );
// Removes a node (see PipelineNodeDestroy in RxPipeline.cpp).
void	_rxPipelineNodeDestroy( RxPipelineNode* node, RxPipeline* pipeline );

#endif
