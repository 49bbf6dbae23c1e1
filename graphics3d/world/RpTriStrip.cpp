#include "graphics3d/world/RpTriStrip.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwFreeList.h"
#include "graphics3d/world/RpTriStripTesting.h"

#include <cstring>

// Bins of waiting triangles, by count of free neighbours.
static const u32 NUM_BINS = 4;
// Joins keep every strip at an even position of the sequence.
static const bool JOIN_WINDING = true;
// Room a join may add per strip.
static const u32 JOIN_SPACE_PER_STRIP = 6;
static const s32 NO_STRIP = -1;

static bool pairByListWalk = false;

void _rpTriStripUseListWalkPairing( const bool enable ) {
	pairByListWalk = enable;
}

namespace {

struct StripTriangle;

struct StripEdge {
	u16				vertex[2];
	StripTriangle*	first;
	StripTriangle*	second;			// null while unpaired
	StripEdge*		next;			// edge list, newest first
	StripEdge*		nextSameKey;	// unpaired edges of the same vertices, newest first
};

struct StripTriangle {
	const u16*		vertices;
	StripEdge*		edges[3];		// (v0, v1), (v1, v2), (v2, v0)
	StripTriangle*	binPrev;
	StripTriangle*	binNext;
	u32				bin;			// free neighbours
	bool			used;			// in a strip
};

// Unpaired edges by their vertices.
struct EdgeSlot {
	u32				key;
	StripEdge*		top;			// latest unpaired edge of the key
	bool			taken;
};

// Working state of one run.
struct StripRun {
	StripTriangle*		triangles;		// one per triangle of the run
	StripTriangle**		entries;		// from the triangle free list
	u32					count;
	RwFreeList*			triangleList;
	RwFreeList*			edgeList;
	StripEdge*			edgeHead;
	EdgeSlot*			slots;
	u32					slotMask;
	StripTriangle*		bins[NUM_BINS];
	u16*				forward;		// scratch for the forward follow
	u16*				backward;		// scratch for the backward follow
	u16*				pool;			// every strip's indices
	u32					poolUsed;
	RpTriStripStrip*	strips;			// newest first
	u32					numStrips;
};

void* Allocate( const u64 bytes ) {
	void* const block = bytes <= 0xFFFFFFFFu ? RwEngineInstance->memoryFunctions.rwmalloc( static_cast<u32>( bytes ) ) : nullptr;
	if ( block == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, static_cast<u32>( bytes ) ) );
	}
	return block;
}

void Free( void* block ) {
	if ( block != nullptr ) {
		RwEngineInstance->memoryFunctions.rwfree( block );
	}
}

u32 EdgeKey( const u16 a, const u16 b ) {
	return ( static_cast<u32>( a ) << 16 ) | b;
}

EdgeSlot* FindSlot( StripRun& run, const u32 key ) {
	u32 index = ( key * 2654435761u ) & run.slotMask;
	while ( run.slots[index].taken && run.slots[index].key != key ) {
		index = ( index + 1 ) & run.slotMask;
	}
	return &run.slots[index];
}

// The unpaired edge (a, b) a walk from the list head finds first.
StripEdge* FindUnpaired( StripRun& run, const u16 a, const u16 b ) {
	if ( pairByListWalk ) {
		for ( StripEdge* edge = run.edgeHead; edge != nullptr; edge = edge->next ) {
			if ( edge->vertex[0] == a && edge->vertex[1] == b && edge->second == nullptr ) {
				return edge;
			}
		}
		return nullptr;
	}
	const EdgeSlot* const slot = FindSlot( run, EdgeKey( a, b ) );
	return slot->taken ? slot->top : nullptr;
}

bool AddEdge( StripRun& run, StripTriangle* triangle, const u32 k, const u16 a, const u16 b ) {
	StripEdge* const partner = FindUnpaired( run, b, a );
	if ( partner != nullptr ) {
		partner->second = triangle;
		triangle->edges[k] = partner;
		partner->first->bin++;
		triangle->bin++;
		if ( !pairByListWalk ) {
			FindSlot( run, EdgeKey( b, a ) )->top = partner->nextSameKey;
		}
		return true;
	}
	StripEdge* const edge = static_cast<StripEdge*>( RwEngineInstance->freeListAllocHook( run.edgeList ) );
	if ( edge == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, static_cast<u32>( sizeof( StripEdge ) ) ) );
		return false;
	}
	edge->vertex[0] = a;
	edge->vertex[1] = b;
	edge->first = triangle;
	edge->second = nullptr;
	edge->next = run.edgeHead;
	run.edgeHead = edge;
	triangle->edges[k] = edge;
	EdgeSlot* const slot = FindSlot( run, EdgeKey( a, b ) );
	edge->nextSameKey = slot->taken ? slot->top : nullptr;
	slot->taken = true;
	slot->key = EdgeKey( a, b );
	slot->top = edge;
	return true;
}

StripTriangle* Across( const StripEdge* edge, const StripTriangle* triangle ) {
	return edge->first == triangle ? edge->second : edge->first;
}

bool FreeAcross( const StripEdge* edge, const StripTriangle* triangle ) {
	const StripTriangle* const other = Across( edge, triangle );
	return other != nullptr && !other->used;
}

// Triangles on the edge not yet in a strip.
u32 WaitingOn( const StripEdge* edge ) {
	return ( edge->first != nullptr && !edge->first->used ? 1 : 0 ) +
		   ( edge->second != nullptr && !edge->second->used ? 1 : 0 );
}

void BinInsert( StripRun& run, StripTriangle* triangle, const u32 bin ) {
	triangle->bin = bin;
	triangle->binPrev = nullptr;
	triangle->binNext = run.bins[bin];
	if ( run.bins[bin] != nullptr ) {
		run.bins[bin]->binPrev = triangle;
	}
	run.bins[bin] = triangle;
}

void BinRemove( StripRun& run, StripTriangle* triangle ) {
	if ( triangle->binPrev != nullptr ) {
		triangle->binPrev->binNext = triangle->binNext;
	} else {
		run.bins[triangle->bin] = triangle->binNext;
	}
	if ( triangle->binNext != nullptr ) {
		triangle->binNext->binPrev = triangle->binPrev;
	}
	triangle->binPrev = nullptr;
	triangle->binNext = nullptr;
}

void MarkUsed( StripRun& run, StripTriangle* triangle ) {
	BinRemove( run, triangle );
	triangle->used = true;
	for ( StripEdge* const edge : triangle->edges ) {
		StripTriangle* const other = Across( edge, triangle );
		if ( other != nullptr && !other->used && other->bin > 0 ) {
			BinRemove( run, other );
			BinInsert( run, other, other->bin - 1 );
		}
	}
}

// Follows free neighbours from triangle across edge, appending to the
// buffer of the given length; returns the new length. lastIsFirst tells
// which end of the edge, in the triangle's own vertex order, the buffer's
// last index is: tracked by position, so that degenerate triangles, whose
// ends may share a vertex, never send the strip across the wrong edge.
u32 Follow( StripRun& run, u16* buffer, u32 length, StripTriangle* triangle, StripEdge* edge, bool lastIsFirst ) {
	for ( ;; ) {
		StripTriangle* const next = Across( edge, triangle );
		if ( next == nullptr || next->used ) {
			return length;
		}
		MarkUsed( run, next );
		u32 k = 0;
		while ( k < 2 && next->edges[k] != edge ) {
			k++;
		}
		const u16 newVertex = next->vertices[( k + 2 ) % 3];
		// The shared edge runs the other way in next: the last index is its
		// second end there when it was the first end here. The onward edge
		// joins the last index and the new vertex, the remaining one the
		// index before it and the new vertex.
		const bool lastIsSecond = lastIsFirst;
		StripEdge* const onward = next->edges[lastIsSecond ? ( k + 1 ) % 3 : ( k + 2 ) % 3];
		StripEdge* const remaining = next->edges[lastIsSecond ? ( k + 2 ) % 3 : ( k + 1 ) % 3];
		if ( FreeAcross( onward, next ) ) {
			buffer[length++] = newVertex;
			triangle = next;
			edge = onward;
			lastIsFirst = !lastIsSecond;
			continue;
		}
		if ( FreeAcross( remaining, next ) && length % 2 == 0 ) {
			// Swap: repeat the vertex two places back to turn the strip.
			buffer[length] = buffer[length - 2];
			length++;
			buffer[length++] = newVertex;
			triangle = next;
			edge = remaining;
			lastIsFirst = lastIsSecond;
			continue;
		}
		buffer[length++] = newVertex;
		return length;
	}
}

// The start orientation: which vertex the strip starts with.
u32 StartOrientation( const StripTriangle* triangle ) {
	const u32 c0 = WaitingOn( triangle->edges[0] );
	const u32 c1 = WaitingOn( triangle->edges[1] );
	const u32 c2 = WaitingOn( triangle->edges[2] );
	if ( c2 >= 2 && c1 >= 2 ) {
		return 1;
	}
	if ( c0 >= 2 && c2 >= 2 ) {
		return 2;
	}
	if ( c1 >= 2 && c0 >= 2 ) {
		return 0;
	}
	if ( c0 <= c1 ) {
		return c1 <= c2 ? 1 : 0;
	}
	return c0 > c2 ? 2 : 1;
}

bool AddStrip( StripRun& run, const u16* head, const u32 headLength, const u16* tail, const u32 tailLength ) {
	RpTriStripStrip* const strip =
		static_cast<RpTriStripStrip*>( RwEngineInstance->freeListAllocHook( _rpMeshGlobals()->stripFreeList ) );
	if ( strip == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, static_cast<u32>( sizeof( RpTriStripStrip ) ) ) );
		return false;
	}
	strip->first = run.poolUsed;
	strip->length = headLength + tailLength;
	for ( u32 i = 0; i < headLength; i++ ) {
		run.pool[run.poolUsed++] = head[i];
	}
	for ( u32 i = 0; i < tailLength; i++ ) {
		run.pool[run.poolUsed++] = tail[i];
	}
	strip->next = run.strips;
	run.strips = strip;
	run.numStrips++;
	return true;
}

bool BuildStrip( StripRun& run, StripTriangle* start ) {
	const u32 o = StartOrientation( start );
	u16* const forward = run.forward;
	forward[0] = start->vertices[o];
	forward[1] = start->vertices[( o + 1 ) % 3];
	forward[2] = start->vertices[( o + 2 ) % 3];
	MarkUsed( run, start );
	const u32 forwardLength = Follow( run, forward, 3, start, start->edges[( o + 1 ) % 3], false );
	u16* const backward = run.backward;
	backward[0] = forward[1];
	backward[1] = forward[0];
	u32 backwardLength = Follow( run, backward, 2, start, start->edges[o], true );
	if ( backwardLength % 2 == 1 ) {
		backward[backwardLength] = backward[backwardLength - 2];
		backwardLength++;
	}
	// The backward buffer from its last entry down to its third.
	const u32 reversedLength = backwardLength - 2;
	for ( u32 i = 0; i < reversedLength / 2; i++ ) {
		const u16 swap = backward[2 + i];
		backward[2 + i] = backward[backwardLength - 1 - i];
		backward[backwardLength - 1 - i] = swap;
	}
	return AddStrip( run, backward + 2, reversedLength, forward, forwardLength );
}

bool Adjacency( StripRun& run, RpBuildMeshTriangle* const* sorted ) {
	for ( u32 i = 0; i < run.count; i++ ) {
		StripTriangle* const triangle = static_cast<StripTriangle*>( RwEngineInstance->freeListAllocHook( run.triangleList ) );
		if ( triangle == nullptr ) {
			_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, static_cast<u32>( sizeof( StripTriangle ) ) ) );
			return false;
		}
		run.entries[i] = triangle;
		triangle->vertices = sorted[i]->vertIndex;
		triangle->edges[0] = triangle->edges[1] = triangle->edges[2] = nullptr;
		triangle->bin = 0;
		triangle->used = false;
		const u16* const v = triangle->vertices;
		if ( !AddEdge( run, triangle, 0, v[0], v[1] ) || !AddEdge( run, triangle, 1, v[1], v[2] ) ||
			 !AddEdge( run, triangle, 2, v[2], v[0] ) ) {
			return false;
		}
	}
	for ( u32 i = 0; i < run.count; i++ ) {
		BinInsert( run, run.entries[i], run.entries[i]->bin < NUM_BINS ? run.entries[i]->bin : NUM_BINS - 1 );
	}
	return true;
}

bool StripTris( StripRun& run ) {
	for ( ;; ) {
		if ( run.bins[0] != nullptr ) {
			StripTriangle* const lone = run.bins[0];
			MarkUsed( run, lone );
			if ( !AddStrip( run, lone->vertices, 3, nullptr, 0 ) ) {
				return false;
			}
			continue;
		}
		u32 bin = 1;
		while ( bin < NUM_BINS && run.bins[bin] == nullptr ) {
			bin++;
		}
		if ( bin == NUM_BINS ) {
			return true;
		}
		if ( !BuildStrip( run, run.bins[bin] ) ) {
			return false;
		}
	}
}

void ReleaseRun( StripRun& run ) {
	RwGlobals* const instance = RwEngineInstance;
	if ( run.entries != nullptr ) {
		for ( u32 i = 0; i < run.count && run.entries[i] != nullptr; i++ ) {
			instance->freeListFreeHook( run.triangleList, run.entries[i] );
		}
	}
	for ( StripEdge* edge = run.edgeHead; edge != nullptr; ) {
		StripEdge* const next = edge->next;
		instance->freeListFreeHook( run.edgeList, edge );
		edge = next;
	}
	for ( RpTriStripStrip* strip = run.strips; strip != nullptr; ) {
		RpTriStripStrip* const next = strip->next;
		instance->freeListFreeHook( _rpMeshGlobals()->stripFreeList, strip );
		strip = next;
	}
	if ( run.triangleList != nullptr ) {
		RwFreeListDestroy( run.triangleList );
	}
	if ( run.edgeList != nullptr ) {
		RwFreeListDestroy( run.edgeList );
	}
	Free( run.entries );
	Free( run.slots );
	Free( run.forward );
	Free( run.backward );
	Free( run.pool );
}

bool PrepareRun( StripRun& run, const u32 count ) {
	std::memset( &run, 0, sizeof( run ) );
	run.count = count;
	u32 slots = 16;
	while ( slots < 4 * count ) {
		slots *= 2;
	}
	run.slotMask = slots - 1;
	run.triangleList = RwFreeListCreate( static_cast<s32>( sizeof( StripTriangle ) ), static_cast<s32>( count ), 0 );
	run.edgeList = RwFreeListCreate( static_cast<s32>( sizeof( StripEdge ) ), static_cast<s32>( count / 2 + 1 ), 0 );
	run.entries = static_cast<StripTriangle**>( Allocate( static_cast<u64>( count ) * sizeof( StripTriangle* ) ) );
	run.slots = static_cast<EdgeSlot*>( Allocate( static_cast<u64>( slots ) * sizeof( EdgeSlot ) ) );
	run.forward = static_cast<u16*>( Allocate( ( 2 * static_cast<u64>( count ) + 4 ) * sizeof( u16 ) ) );
	run.backward = static_cast<u16*>( Allocate( ( 2 * static_cast<u64>( count ) + 4 ) * sizeof( u16 ) ) );
	run.pool = static_cast<u16*>( Allocate( ( 4 * static_cast<u64>( count ) + 4 ) * sizeof( u16 ) ) );
	if ( run.triangleList == nullptr || run.edgeList == nullptr || run.entries == nullptr || run.slots == nullptr ||
		 run.forward == nullptr || run.backward == nullptr || run.pool == nullptr ) {
		return false;
	}
	std::memset( run.entries, 0, count * sizeof( StripTriangle* ) );
	std::memset( run.slots, 0, slots * sizeof( EdgeSlot ) );
	return true;
}

// Joins the run's strips into one sequence, allocated here; null when
// memory fails. firstOf chains strips by their first index.
u16* Join( StripRun& run, u32* lengthOut, const u32 numVertices ) {
	const u32 numStrips = run.numStrips;
	u64 space = 0;
	for ( const RpTriStripStrip* strip = run.strips; strip != nullptr; strip = strip->next ) {
		space += strip->length + JOIN_SPACE_PER_STRIP;
	}
	u16* const sequence = static_cast<u16*>( Allocate( space * sizeof( u16 ) ) );
	const RpTriStripStrip** const order = static_cast<const RpTriStripStrip**>( Allocate( numStrips * sizeof( RpTriStripStrip* ) ) );
	s32* const nextSameFirst = static_cast<s32*>( Allocate( numStrips * sizeof( s32 ) ) );
	s32* const firstOf = static_cast<s32*>( Allocate( static_cast<u64>( numVertices ) * sizeof( s32 ) ) );
	bool* const taken = static_cast<bool*>( Allocate( numStrips * sizeof( bool ) ) );
	if ( sequence == nullptr || order == nullptr || nextSameFirst == nullptr || firstOf == nullptr || taken == nullptr ) {
		Free( sequence );
		Free( order );
		Free( nextSameFirst );
		Free( firstOf );
		Free( taken );
		return nullptr;
	}
	u32 position = 0;
	for ( const RpTriStripStrip* strip = run.strips; strip != nullptr; strip = strip->next ) {
		order[position++] = strip;
	}
	for ( u32 v = 0; v < numVertices; v++ ) {
		firstOf[v] = NO_STRIP;
	}
	// Chains in list order: fill from the back.
	for ( u32 j = numStrips; j-- > 0; ) {
		const u16 first = run.pool[order[j]->first];
		nextSameFirst[j] = firstOf[first];
		firstOf[first] = static_cast<s32>( j );
		taken[j] = false;
	}
	const auto earliestStartingWith = [&]( const u16 vertex ) -> s32 {
		s32 j = firstOf[vertex];
		while ( j != NO_STRIP && taken[j] ) {
			j = nextSameFirst[j];
		}
		firstOf[vertex] = j;
		return j;
	};
	const auto append = [&]( const RpTriStripStrip* strip ) {
		std::memcpy( sequence + position, run.pool + strip->first, strip->length * sizeof( u16 ) );
		position += strip->length;
	};
	u32 head = 0;
	position = 0;
	taken[0] = true;
	append( order[0] );
	for ( u32 joined = 1; joined < numStrips; joined++ ) {
		const u16 last = sequence[position - 1];
		const u16 beforeLast = sequence[position - 2];
		const bool odd = position % 2 == 1;
		s32 chosen = earliestStartingWith( last );
		if ( chosen != NO_STRIP ) {
			if ( JOIN_WINDING && odd ) {
				sequence[position++] = last;
			}
		} else if ( ( chosen = earliestStartingWith( beforeLast ) ) != NO_STRIP ) {
			sequence[position++] = beforeLast;
			if ( JOIN_WINDING && !odd ) {
				sequence[position++] = beforeLast;
			}
		} else {
			while ( taken[head] ) {
				head++;
			}
			chosen = static_cast<s32>( head );
			const u16 first = run.pool[order[head]->first];
			sequence[position++] = last;
			sequence[position++] = first;
			if ( JOIN_WINDING && odd ) {
				sequence[position++] = first;
			}
		}
		taken[chosen] = true;
		append( order[chosen] );
	}
	Free( order );
	Free( nextSameFirst );
	Free( firstOf );
	Free( taken );
	*lengthOut = position;
	return sequence;
}

// One run's joined sequence, or null.
u16* StripRunOfTriangles( RpBuildMeshTriangle* const* sorted, const u32 count, const u32 numVertices, u32* lengthOut ) {
	StripRun run;
	u16* sequence = nullptr;
	if ( PrepareRun( run, count ) && Adjacency( run, sorted ) && StripTris( run ) ) {
		sequence = Join( run, lengthOut, numVertices );
	}
	ReleaseRun( run );
	return sequence;
}

}	// namespace

RpMeshHeader* RpBuildMeshGenerateDefaultTriStrip( RpBuildMesh* buildMesh, void* ) {
	if ( _rpMeshGlobals() == nullptr ) {
		return nullptr;
	}
	const u32 count = buildMesh->numTriangles;
	RpBuildMeshTriangle** const sorted = _rpMeshSortedTriangles( buildMesh );
	if ( sorted == nullptr ) {
		return nullptr;
	}
	u32 numVertices = 1;
	for ( u32 i = 0; i < count; i++ ) {
		for ( const u16 v : buildMesh->meshTriangles[i].vertIndex ) {
			numVertices = v + 1u > numVertices ? v + 1u : numVertices;
		}
	}
	const u32 runs = _rpMeshCountRuns( sorted, count );
	u16** const sequences = runs <= 0xFFFF ? static_cast<u16**>( Allocate( runs * sizeof( u16* ) ) ) : nullptr;
	u32* const lengths = static_cast<u32*>( Allocate( runs * sizeof( u32 ) ) );
	bool built = sequences != nullptr && lengths != nullptr;
	u32 runStart = 0;
	u64 total = 0;
	for ( u32 r = 0; r < runs && built; r++ ) {
		u32 runEnd = runStart + 1;
		while ( runEnd < count && sorted[runEnd]->material == sorted[runStart]->material ) {
			runEnd++;
		}
		sequences[r] = StripRunOfTriangles( sorted + runStart, runEnd - runStart, numVertices, &lengths[r] );
		built = sequences[r] != nullptr;
		total += built ? lengths[r] : 0;
		if ( !built ) {
			for ( u32 earlier = 0; earlier < r; earlier++ ) {
				Free( sequences[earlier] );
			}
		}
		runStart = runEnd;
	}
	RpMeshHeader* header = nullptr;
	if ( built ) {
		const u32 size = total <= 0xFFFFFFFFu ? _rpMeshHeaderBlockSize( runs, static_cast<u32>( total ) ) : 0;
		header = size != 0 ? _rpMeshHeaderCreate( size ) : nullptr;
	}
	if ( header != nullptr ) {
		header->flags = rpMESHHEADERTRISTRIP;
		header->numMeshes = static_cast<u16>( runs );
		header->serialNum = _rpMeshGetNextSerialNumber();
		header->totalIndicesInMesh = static_cast<u32>( total );
		header->firstMeshOffset = 0;
		RpMesh* const meshes = RpMeshHeaderGetMeshes( header );
		u16* cursor = reinterpret_cast<u16*>( meshes + runs );
		runStart = 0;
		for ( u32 r = 0; r < runs; r++ ) {
			meshes[r].indices = cursor;
			meshes[r].numIndices = lengths[r];
			meshes[r].material = sorted[runStart]->material;
			std::memcpy( cursor, sequences[r], lengths[r] * sizeof( u16 ) );
			cursor += lengths[r];
			while ( runStart < count && sorted[runStart]->material == meshes[r].material ) {
				runStart++;
			}
		}
	}
	if ( built ) {
		for ( u32 r = 0; r < runs; r++ ) {
			Free( sequences[r] );
		}
	}
	Free( sequences );
	Free( lengths );
	Free( sorted );
	return header;
}
