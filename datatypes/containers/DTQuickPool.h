/*
===============================================================================

	Record pool that grows in chunks up to a fixed maximum.

	Hands out raw storage for records of type T; callers construct in place
	and destroy before giving a record back. A given-back record goes to the
	front of a free list threaded through the record's own link member
	`mpoNext` (a T*), so T must have one.

	A chunk is a small header { next chunk, record count, flags } followed
	by its records, aligned for T. A record is taken, in this order, from
	the free list; from the current chunk while it has records left; from
	the first chunk still marked as not yet handed out (the mark is cleared
	as it becomes current); or from a new chunk of min(records per chunk,
	maximum - records allocated so far) records, which becomes current at
	once. When that is 0 the pool is exhausted and gives null.

	A chunk becomes current only with its mark cleared, so no record is ever
	handed out twice without having been given back.

	A caller may lend a chunk of its own memory (for example from the frame's
	work memory); it becomes current at once, does not count towards the
	maximum, is never marked and never freed by the pool.

===============================================================================
*/
#ifndef DT_QUICK_POOL_H
#define DT_QUICK_POOL_H

#include "datatypes/base/DTTypes.h"

#include <cstdint>
#include <new>

template< class T >
class DTQuickPool {
public:
	struct Chunk {
		Chunk *				mpoNext;
		u16					ui16NbInList;
		u16					ui16Flags;
	};

	// Chunk flags.
	static constexpr u16	CHUNK_NOT_HANDED_OUT = 0x1;
	static constexpr u16	CHUNK_POOL_ALLOCATED = 0x2;

	// The record count of a chunk is 16 bits wide.
	static constexpr u32	MAX_RECORDS_PER_CHUNK = 0xFFFF;

	// Bytes from the start of a chunk to its first record. A function, so
	// that a pool may be declared while T is still incomplete.
	static constexpr u32	ChunkHeaderSize() {
		return static_cast<u32>( ( sizeof( Chunk ) + alignof( T ) - 1 ) / alignof( T ) * alignof( T ) );
	}

							DTQuickPool();
							~DTQuickPool();

							DTQuickPool( const DTQuickPool & ) = delete;
	DTQuickPool &			operator=( const DTQuickPool & ) = delete;

	// Sets the pool up for at most maxToAllocate records in chunks of
	// perChunk, releasing an earlier set-up first. With makeFirstChunk the
	// first chunk is allocated now, marked as not yet handed out. False for
	// perChunk of 0 or above MAX_RECORDS_PER_CHUNK, or when the first chunk
	// cannot be allocated (the pool is then set up but empty).
	bool					Init( const u32 maxToAllocate, const u32 perChunk, const bool makeFirstChunk = false );

	// Storage for one record, or null when the pool is exhausted, not set
	// up, or a new chunk cannot be allocated.
	T *						Allocate();

	// Puts a record back in front of the free list. Null is ignored.
	void					Free( T * record );

	// Makes every record of the pool's own chunks free again without
	// freeing memory: every such chunk is marked as not yet handed out and
	// the free list is emptied. A lent chunk is not handed out again; its
	// owner sets the pool up anew instead.
	void					ResetAll();

	// Frees every chunk the pool allocated and forgets lent chunks; the pool
	// stays set up with its limits and starts again from no records.
	void					Release();
	// Release, and the pool is no longer set up: it hands out nothing
	// until the next Init.
	void					Terminate();

	// Lends chunk memory holding room for nbInHeader records after
	// ChunkHeaderSize() bytes; the pool hands out min(nbToHandOut,
	// nbInHeader) of them, starting at once. False (nothing changes) when the
	// pool is not set up or the memory is null or not aligned for a chunk.
	bool					AddChunk( void * memory, const u32 nbInHeader, const u32 nbToHandOut );

	bool					IsInit() const { return mbInit; }
	u32						GetNbAllocated() const { return mui32NbAllocated; }
	u32						GetMaxToAllocate() const { return muiMaxToAllocate; }

private:
	Chunk *					mpoChunksList;
	T *						mpoCurrentFreeArray;
	u32						muiNbFreeInArray;
	T *						mpoCurrentFreeList;
	u32						muiMaxToAllocate;
	u32						mui32NbToAllocate;
	u32						mui32NbAllocated;
	bool					mbInit;

	static T *				RecordsOf( Chunk * chunk );
	void					AppendChunk( Chunk * chunk );
	void					MakeCurrent( Chunk * chunk, const u32 nbRecords );
	// A new chunk of the pool's own, marked as flags says; null when the
	// maximum is reached or memory runs out.
	Chunk *					NewChunk( const u16 flags );
};

template< class T >
DTQuickPool<T>::DTQuickPool()
	: mpoChunksList( nullptr ), mpoCurrentFreeArray( nullptr ), muiNbFreeInArray( 0 ), mpoCurrentFreeList( nullptr ),
	  muiMaxToAllocate( 0 ), mui32NbToAllocate( 0 ), mui32NbAllocated( 0 ), mbInit( false ) {
}

template< class T >
DTQuickPool<T>::~DTQuickPool() {
	Release();
}

template< class T >
bool DTQuickPool<T>::Init( const u32 maxToAllocate, const u32 perChunk, const bool makeFirstChunk ) {
	if ( mbInit ) {
		Release();
		mbInit = false;
	}
	if ( perChunk == 0 || perChunk > MAX_RECORDS_PER_CHUNK ) {
		return false;
	}
	muiMaxToAllocate = maxToAllocate;
	mui32NbToAllocate = perChunk;
	mui32NbAllocated = 0;
	mbInit = true;
	if ( makeFirstChunk ) {
		return NewChunk( CHUNK_NOT_HANDED_OUT | CHUNK_POOL_ALLOCATED ) != nullptr;
	}
	return true;
}

template< class T >
T * DTQuickPool<T>::Allocate() {
	if ( !mbInit ) {
		return nullptr;
	}
	if ( mpoCurrentFreeList != nullptr ) {
		T * record = mpoCurrentFreeList;
		mpoCurrentFreeList = record->mpoNext;
		return record;
	}
	if ( muiNbFreeInArray == 0 ) {
		Chunk * chunk = mpoChunksList;
		while ( chunk != nullptr && ( chunk->ui16Flags & CHUNK_NOT_HANDED_OUT ) == 0 ) {
			chunk = chunk->mpoNext;
		}
		if ( chunk == nullptr ) {
			chunk = NewChunk( CHUNK_POOL_ALLOCATED );
			if ( chunk == nullptr ) {
				return nullptr;
			}
		}
		MakeCurrent( chunk, chunk->ui16NbInList );
		if ( muiNbFreeInArray == 0 ) {
			return nullptr;
		}
	}
	T * record = mpoCurrentFreeArray++;
	muiNbFreeInArray--;
	return record;
}

template< class T >
void DTQuickPool<T>::Free( T * record ) {
	if ( record == nullptr ) {
		return;
	}
	record->mpoNext = mpoCurrentFreeList;
	mpoCurrentFreeList = record;
}

template< class T >
void DTQuickPool<T>::ResetAll() {
	for ( Chunk * chunk = mpoChunksList; chunk != nullptr; chunk = chunk->mpoNext ) {
		if ( ( chunk->ui16Flags & CHUNK_POOL_ALLOCATED ) != 0 ) {
			chunk->ui16Flags |= CHUNK_NOT_HANDED_OUT;
		}
	}
	mpoCurrentFreeList = nullptr;
	mpoCurrentFreeArray = nullptr;
	muiNbFreeInArray = 0;
}

template< class T >
void DTQuickPool<T>::Release() {
	Chunk * chunk = mpoChunksList;
	while ( chunk != nullptr ) {
		Chunk * next = chunk->mpoNext;
		if ( ( chunk->ui16Flags & CHUNK_POOL_ALLOCATED ) != 0 ) {
			delete[] reinterpret_cast<u8 *>( chunk );
		}
		chunk = next;
	}
	mpoChunksList = nullptr;
	mpoCurrentFreeArray = nullptr;
	muiNbFreeInArray = 0;
	mpoCurrentFreeList = nullptr;
	mui32NbAllocated = 0;
}

template< class T >
void DTQuickPool<T>::Terminate() {
	Release();
	mbInit = false;
}

template< class T >
bool DTQuickPool<T>::AddChunk( void * memory, const u32 nbInHeader, const u32 nbToHandOut ) {
	const std::uintptr_t address = reinterpret_cast<std::uintptr_t>( memory );
	if ( !mbInit || memory == nullptr || address % alignof( Chunk ) != 0 || address % alignof( T ) != 0 ) {
		return false;
	}
	Chunk * chunk = static_cast<Chunk *>( memory );
	chunk->mpoNext = nullptr;
	chunk->ui16NbInList = static_cast<u16>( nbInHeader < MAX_RECORDS_PER_CHUNK ? nbInHeader : MAX_RECORDS_PER_CHUNK );
	chunk->ui16Flags = 0;
	AppendChunk( chunk );
	MakeCurrent( chunk, nbToHandOut < nbInHeader ? nbToHandOut : nbInHeader );
	return true;
}

template< class T >
T * DTQuickPool<T>::RecordsOf( Chunk * chunk ) {
	return reinterpret_cast<T *>( reinterpret_cast<u8 *>( chunk ) + ChunkHeaderSize() );
}

template< class T >
void DTQuickPool<T>::AppendChunk( Chunk * chunk ) {
	Chunk ** link = &mpoChunksList;
	while ( *link != nullptr ) {
		link = &( *link )->mpoNext;
	}
	*link = chunk;
}

template< class T >
void DTQuickPool<T>::MakeCurrent( Chunk * chunk, const u32 nbRecords ) {
	chunk->ui16Flags &= static_cast<u16>( ~CHUNK_NOT_HANDED_OUT );
	mpoCurrentFreeArray = RecordsOf( chunk );
	muiNbFreeInArray = nbRecords;
}

template< class T >
typename DTQuickPool<T>::Chunk * DTQuickPool<T>::NewChunk( const u16 flags ) {
	static_assert( alignof( T ) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__, "records must fit the allocator's alignment" );
	const u32 left = mui32NbAllocated < muiMaxToAllocate ? muiMaxToAllocate - mui32NbAllocated : 0;
	const u32 count = left < mui32NbToAllocate ? left : mui32NbToAllocate;
	if ( count == 0 ) {
		return nullptr;
	}
	u8 * memory = new ( std::nothrow ) u8[ChunkHeaderSize() + static_cast<size_t>( count ) * sizeof( T )];
	if ( memory == nullptr ) {
		return nullptr;
	}
	Chunk * chunk = reinterpret_cast<Chunk *>( memory );
	chunk->mpoNext = nullptr;
	chunk->ui16NbInList = static_cast<u16>( count );
	chunk->ui16Flags = flags;
	AppendChunk( chunk );
	mui32NbAllocated += count;
	return chunk;
}

#endif
