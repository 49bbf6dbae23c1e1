#include "graphics3d/core/RwPalQuant.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwFreeList.h"

#include "datatypes/base/DTFloatToInt.h"

#include <cstring>

// Spreads the five bits of a cell value over bit positions 0, 4, 8, 12
// and 16, the highest bit at position 0, so that the key's nibble k holds
// bit 4 - k of every channel.
static u32 keyTable[RWPALQUANT_CELLS];

// 1 / 255: channel bytes to 0..1.
static const f32 CHANNEL_SCALE		= 0.003921569f;
// Sums back to bytes: just below 256 so that 1.0 truncates to 255.
static const f32 MEAN_SCALE			= 255.99989f;
// Bits a channel byte loses to become a cell value.
static const s32 CELL_SHIFT			= 3;
static const s32 NODE_ALIGNMENT		= 4;

namespace {

// Sums over a set of leaves.
struct Statistics {
	f32		weight;
	f32		sum[4];
	f32		sumSquares;
};

// Sums per cell value of one channel inside a box being cut.
struct ChannelHistogram {
	f32		weight[RWPALQUANT_CELLS];
	f32		sum[RWPALQUANT_CELLS][4];
};

bool InBox( const RwPalQuantBox& box, const u32 prefix[4], const s32 bitsLeft ) {
	for ( s32 c = 0; c < 4; c++ ) {
		const u32 low = prefix[c] << bitsLeft;
		const u32 high = ( prefix[c] + 1 ) << bitsLeft;
		if ( high <= box.minimum[c] || low >= box.maximum[c] ) {
			return false;
		}
	}
	return true;
}

// Calls visit(leaf, cells) for every leaf inside the box, depth first,
// children in order 0 to 15.
template< typename Visit >
void ForLeavesInBox( RwPalQuantNode* node, const s32 depth, const u32 prefix[4], const RwPalQuantBox& box, Visit& visit ) {
	if ( depth == RWPALQUANT_TREE_DEPTH ) {
		visit( node->leaf, prefix );
		return;
	}
	for ( u32 child = 0; child < RWPALQUANT_BRANCH_CHILDREN; child++ ) {
		RwPalQuantNode* const next = node->children[child];
		if ( next == nullptr ) {
			continue;
		}
		const u32 childPrefix[4] = { ( prefix[0] << 1 ) | ( ( child >> 3 ) & 1 ), ( prefix[1] << 1 ) | ( ( child >> 2 ) & 1 ),
									 ( prefix[2] << 1 ) | ( ( child >> 1 ) & 1 ), ( prefix[3] << 1 ) | ( child & 1 ) };
		if ( InBox( box, childPrefix, RWPALQUANT_TREE_DEPTH - depth - 1 ) ) {
			ForLeavesInBox( next, depth + 1, childPrefix, box, visit );
		}
	}
}

// Every leaf, depth first.
template< typename Visit >
void ForAllLeaves( RwPalQuantNode* node, const s32 depth, Visit& visit ) {
	if ( depth == RWPALQUANT_TREE_DEPTH ) {
		visit( node->leaf );
		return;
	}
	for ( RwPalQuantNode* const child : node->children ) {
		if ( child != nullptr ) {
			ForAllLeaves( child, depth + 1, visit );
		}
	}
}

const RwPalQuantBox WHOLE_SPACE = { { 0, 0, 0, 0 }, { RWPALQUANT_CELLS, RWPALQUANT_CELLS, RWPALQUANT_CELLS, RWPALQUANT_CELLS } };
const u32 NO_PREFIX[4] = { 0, 0, 0, 0 };

Statistics BoxStatistics( RwPalQuant* pq, const RwPalQuantBox& box ) {
	Statistics stats = {};
	auto add = [&stats]( const RwPalQuantLeaf& leaf, const u32* ) {
		stats.weight += leaf.weight;
		for ( s32 c = 0; c < 4; c++ ) {
			stats.sum[c] += leaf.sum[c];
		}
		stats.sumSquares += leaf.sumSquares;
	};
	ForLeavesInBox( pq->root, 0, NO_PREFIX, box, add );
	return stats;
}

f32 SquaredLength( const f32 sum[4] ) {
	return sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2] + sum[3] * sum[3];
}

f32 Variance( const Statistics& stats ) {
	if ( stats.weight == 0.0f ) {
		return 0.0f;
	}
	return stats.sumSquares - SquaredLength( stats.sum ) / stats.weight;
}

u8 MeanChannel( const f32 sum, const f32 weight ) {
	const u32 value = DTFloatToU32( sum * ( MEAN_SCALE / weight ) );
	return static_cast<u8>( value > 255 ? 255 : value );
}

RwRGBA Mean( const f32 weight, const f32 sum[4] ) {
	if ( weight == 0.0f ) {
		return { 0, 0, 0, 0 };
	}
	return { MeanChannel( sum[0], weight ), MeanChannel( sum[1], weight ), MeanChannel( sum[2], weight ),
			 MeanChannel( sum[3], weight ) };
}

// The best cut on one channel: its score (0 when none) and position.
struct Cut {
	f32		score;
	u8		position;
};

Cut BestCutOnChannel( const RwPalQuantBox& box, const s32 channel, const ChannelHistogram& histogram ) {
	const s32 low = box.minimum[channel];
	const s32 high = box.maximum[channel];
	// Sums of the upper part for every position, accumulated from the top.
	f32 upperWeight[RWPALQUANT_CELLS + 1] = {};
	f32 upperSum[RWPALQUANT_CELLS + 1][4] = {};
	for ( s32 v = high - 1; v >= low; v-- ) {
		upperWeight[v] = upperWeight[v + 1] + histogram.weight[v];
		for ( s32 c = 0; c < 4; c++ ) {
			upperSum[v][c] = upperSum[v + 1][c] + histogram.sum[v][c];
		}
	}
	Cut best = { 0.0f, 0 };
	f32 previous = 0.0f;
	f32 lowerWeight = 0.0f;
	f32 lowerSum[4] = {};
	for ( s32 position = low; position < high; position++ ) {
		if ( position > low ) {
			lowerWeight += histogram.weight[position - 1];
			for ( s32 c = 0; c < 4; c++ ) {
				lowerSum[c] += histogram.sum[position - 1][c];
			}
		}
		if ( lowerWeight == 0.0f || upperWeight[position] == 0.0f ) {
			continue;
		}
		const f32 score = SquaredLength( lowerSum ) / lowerWeight + SquaredLength( upperSum[position] ) / upperWeight[position];
		if ( score > best.score ) {
			best = { score, static_cast<u8>( position ) };
		} else if ( score < previous ) {
			break;
		}
		previous = score;
	}
	return best;
}

// Splits box index into itself (lower part) and box target (upper part).
bool CutBox( RwPalQuant* pq, const s32 index, const s32 target ) {
	RwPalQuantBox& box = pq->boxes[index];
	ChannelHistogram histograms[4];
	std::memset( histograms, 0, sizeof( histograms ) );
	auto gather = [&histograms]( const RwPalQuantLeaf& leaf, const u32* cells ) {
		for ( s32 channel = 0; channel < 4; channel++ ) {
			ChannelHistogram& h = histograms[channel];
			h.weight[cells[channel]] += leaf.weight;
			for ( s32 c = 0; c < 4; c++ ) {
				h.sum[cells[channel]][c] += leaf.sum[c];
			}
		}
	};
	ForLeavesInBox( pq->root, 0, NO_PREFIX, box, gather );

	s32 bestChannel = -1;
	Cut bestCut = { 0.0f, 0 };
	for ( s32 channel = 0; channel < 4; channel++ ) {
		const Cut cut = BestCutOnChannel( box, channel, histograms[channel] );
		if ( cut.score > bestCut.score ) {
			bestCut = cut;
			bestChannel = channel;
		}
	}
	if ( bestChannel < 0 ) {
		return false;
	}
	pq->boxes[target] = box;
	pq->boxes[target].minimum[bestChannel] = bestCut.position;
	box.maximum[bestChannel] = bestCut.position;
	return true;
}

s32 LargestVariance( const RwPalQuant* pq, const s32 boxCount ) {
	s32 found = -1;
	f32 largest = 0.0f;
	for ( s32 i = 0; i < boxCount; i++ ) {
		if ( pq->variances[i] > largest ) {
			largest = pq->variances[i];
			found = i;
		}
	}
	return found;
}

u32 KeyOf( const RwRGBA& colour ) {
	return keyTable[colour.red >> CELL_SHIFT] * 8 + keyTable[colour.green >> CELL_SHIFT] * 4 +
		   keyTable[colour.blue >> CELL_SHIFT] * 2 + keyTable[colour.alpha >> CELL_SHIFT];
}

RwPalQuantNode* NewNode( RwPalQuant* pq, const bool leaf ) {
	RwPalQuantNode* const node = static_cast<RwPalQuantNode*>( RwEngineInstance->freeListAllocHook( pq->nodeFreeList ) );
	if ( node == nullptr ) {
		return nullptr;
	}
	std::memset( node, 0, sizeof( *node ) );
	if ( leaf ) {
		node->leaf.index = RWPALQUANT_UNASSIGNED;
	}
	return node;
}

bool AddColour( RwPalQuant* pq, const RwRGBA& colour, const f32 weight ) {
	const f32 scaled[4] = { static_cast<f32>( colour.red ) * CHANNEL_SCALE * weight,
							static_cast<f32>( colour.green ) * CHANNEL_SCALE * weight,
							static_cast<f32>( colour.blue ) * CHANNEL_SCALE * weight,
							static_cast<f32>( colour.alpha ) * CHANNEL_SCALE * weight };
	const u32 key = KeyOf( colour );
	RwPalQuantNode* node = pq->root;
	for ( s32 level = 0; level < RWPALQUANT_TREE_DEPTH; level++ ) {
		RwPalQuantNode*& child = node->children[( key >> ( 4 * level ) ) & 0xF];
		if ( child == nullptr ) {
			child = NewNode( pq, level == RWPALQUANT_TREE_DEPTH - 1 );
			if ( child == nullptr ) {
				return false;
			}
		}
		node = child;
	}
	RwPalQuantLeaf& leaf = node->leaf;
	leaf.weight += weight;
	for ( s32 c = 0; c < 4; c++ ) {
		leaf.sum[c] += scaled[c];
	}
	leaf.sumSquares += weight * ( scaled[0] * scaled[0] + scaled[1] * scaled[1] + scaled[2] * scaled[2] + scaled[3] * scaled[3] );
	return true;
}

u8 MatchColour( const RwPalQuant* pq, const RwRGBA& colour ) {
	const u32 key = KeyOf( colour );
	const RwPalQuantNode* node = pq->root;
	for ( s32 level = 0; level < RWPALQUANT_TREE_DEPTH; level++ ) {
		node = node->children[( key >> ( 4 * level ) ) & 0xF];
		if ( node == nullptr ) {
			return 0;
		}
	}
	return node->leaf.index;
}

// The colour of pixel x of a row of an image of depth 4, 8 or 32.
const RwRGBA* PixelColour( const RwImage* image, const u8* row, const s32 x ) {
	if ( image->depth == 32 ) {
		return reinterpret_cast<const RwRGBA*>( row ) + x;
	}
	return _rwImagePaletteColour( image, row[x] );
}

bool Readable( const RwImage* image ) {
	if ( image == nullptr || image->cpPixels == nullptr ) {
		return false;
	}
	if ( image->depth == 32 ) {
		return true;
	}
	return ( image->depth == 4 || image->depth == 8 ) && image->palette != nullptr;
}

void FreeNodes( RwPalQuant* pq, RwPalQuantNode* node, const s32 depth ) {
	if ( depth < RWPALQUANT_TREE_DEPTH ) {
		for ( RwPalQuantNode* const child : node->children ) {
			if ( child != nullptr ) {
				FreeNodes( pq, child, depth + 1 );
			}
		}
	}
	RwEngineInstance->freeListFreeHook( pq->nodeFreeList, node );
}

s32 CountNodes( const RwPalQuantNode* node, const s32 depth ) {
	s32 count = 1;
	if ( depth < RWPALQUANT_TREE_DEPTH ) {
		for ( const RwPalQuantNode* const child : node->children ) {
			if ( child != nullptr ) {
				count += CountNodes( child, depth + 1 );
			}
		}
	}
	return count;
}

}	// namespace

bool _rwPalQuantInit( RwPalQuant* pq ) {
	for ( u32 value = 0; value < RWPALQUANT_CELLS; value++ ) {
		u32 spread = 0;
		for ( u32 bit = 0; bit < RWPALQUANT_TREE_DEPTH; bit++ ) {
			spread |= ( ( value >> ( RWPALQUANT_TREE_DEPTH - 1 - bit ) ) & 1 ) << ( 4 * bit );
		}
		keyTable[value] = spread;
	}
	const RwMemoryFunctions& memory = RwEngineInstance->memoryFunctions;
	*pq = { nullptr, nullptr, nullptr, nullptr };
	pq->boxes = static_cast<RwPalQuantBox*>( memory.rwcalloc( sizeof( RwPalQuantBox ), RWPALQUANT_MAX_COLOURS ) );
	pq->variances = static_cast<f32*>( memory.rwcalloc( sizeof( f32 ), RWPALQUANT_MAX_COLOURS ) );
	pq->nodeFreeList = RwFreeListCreate( static_cast<s32>( sizeof( RwPalQuantNode ) ), RWPALQUANT_NODES_PER_BLOCK, NODE_ALIGNMENT );
	if ( pq->boxes != nullptr && pq->variances != nullptr && pq->nodeFreeList != nullptr ) {
		pq->root = NewNode( pq, false );
		if ( pq->root != nullptr ) {
			return true;
		}
	}
	_rwPalQuantTerm( pq );
	return false;
}

bool _rwPalQuantAddImage( RwPalQuant* pq, const RwImage* image, const f32 weight ) {
	if ( !Readable( image ) ) {
		return true;
	}
	for ( s32 y = 0; y < image->height; y++ ) {
		const u8* const row = image->cpPixels + static_cast<size_t>( y ) * static_cast<size_t>( image->stride );
		for ( s32 x = 0; x < image->width; x++ ) {
			if ( !AddColour( pq, *PixelColour( image, row, x ), weight ) ) {
				return false;
			}
		}
	}
	return true;
}

s32 _rwPalQuantResolvePalette( RwRGBA* palette, s32 maxcols, RwPalQuant* pq ) {
	maxcols = maxcols > RWPALQUANT_MAX_COLOURS ? RWPALQUANT_MAX_COLOURS : maxcols;
	const s32 leaves = _rwPalQuantCountLeaves( pq );
	if ( maxcols >= leaves ) {
		s32 next = 0;
		auto assign = [&next, palette]( RwPalQuantLeaf& leaf ) {
			leaf.index = static_cast<u8>( next );
			palette[next++] = Mean( leaf.weight, leaf.sum );
		};
		ForAllLeaves( pq->root, 0, assign );
		for ( s32 i = leaves; i < maxcols; i++ ) {
			palette[i] = { 0, 0, 0, 0 };
		}
		return leaves;
	}

	pq->boxes[0] = WHOLE_SPACE;
	pq->variances[0] = Variance( BoxStatistics( pq, pq->boxes[0] ) );
	s32 boxCount = 1;
	while ( boxCount < maxcols ) {
		const s32 picked = LargestVariance( pq, boxCount );
		if ( picked < 0 ) {
			break;
		}
		if ( CutBox( pq, picked, boxCount ) ) {
			pq->variances[picked] = Variance( BoxStatistics( pq, pq->boxes[picked] ) );
			pq->variances[boxCount] = Variance( BoxStatistics( pq, pq->boxes[boxCount] ) );
			boxCount++;
		} else {
			pq->variances[picked] = 0.0f;
		}
	}
	// Boxes never made hold no cell.
	for ( s32 i = boxCount; i < maxcols; i++ ) {
		pq->boxes[i] = {};
	}
	for ( s32 i = 0; i < maxcols; i++ ) {
		const Statistics stats = BoxStatistics( pq, pq->boxes[i] );
		auto assign = [i]( RwPalQuantLeaf& leaf, const u32* ) { leaf.index = static_cast<u8>( i ); };
		ForLeavesInBox( pq->root, 0, NO_PREFIX, pq->boxes[i], assign );
		palette[i] = Mean( stats.weight, stats.sum );
	}
	return maxcols;
}

void _rwPalQuantMatchImage( u8* dstPixels, const s32 dstStride, const s32 dstDepth, const s32 dstPacked, RwPalQuant* pq,
							const RwImage* image ) {
	if ( !Readable( image ) ) {
		return;
	}
	const bool packed = dstDepth == 4 && dstPacked != 0;
	for ( s32 y = 0; y < image->height; y++ ) {
		const u8* const row = image->cpPixels + static_cast<size_t>( y ) * static_cast<size_t>( image->stride );
		u8* const out = dstPixels + static_cast<ptrdiff_t>( y ) * dstStride;
		for ( s32 x = 0; x < image->width; x++ ) {
			const u8 index = MatchColour( pq, *PixelColour( image, row, x ) );
			if ( !packed ) {
				out[x] = index;
			} else if ( ( x & 1 ) == 0 ) {
				out[x / 2] = static_cast<u8>( ( out[x / 2] & 0xF0 ) | ( index & 0x0F ) );
			} else {
				out[x / 2] = static_cast<u8>( ( out[x / 2] & 0x0F ) | ( ( index & 0x0F ) << 4 ) );
			}
		}
	}
}

void _rwPalQuantTerm( RwPalQuant* pq ) {
	if ( pq->root != nullptr ) {
		FreeNodes( pq, pq->root, 0 );
		pq->root = nullptr;
	}
	if ( pq->nodeFreeList != nullptr ) {
		RwFreeListDestroy( pq->nodeFreeList );
		pq->nodeFreeList = nullptr;
	}
	const RwMemoryFunctions& memory = RwEngineInstance->memoryFunctions;
	if ( pq->boxes != nullptr ) {
		memory.rwfree( pq->boxes );
		pq->boxes = nullptr;
	}
	if ( pq->variances != nullptr ) {
		memory.rwfree( pq->variances );
		pq->variances = nullptr;
	}
}

s32 _rwPalQuantCountLeaves( const RwPalQuant* pq ) {
	s32 count = 0;
	auto counter = [&count]( RwPalQuantLeaf& ) { count++; };
	ForAllLeaves( pq->root, 0, counter );
	return count;
}

s32 _rwPalQuantCountNodes( const RwPalQuant* pq ) {
	return pq->root != nullptr ? CountNodes( pq->root, 0 ) : 0;
}
