/*
===============================================================================

	Chained hash map.

	The map of the engine's managers: a fixed array of bucket heads chosen
	at construction (37 for every map of the engine) and never rehashed. A
	key lives in bucket key mod size; a new key is pushed at the head of its
	bucket's chain, so a chain runs newest first. Walking the map visits the
	buckets in index order and each chain from its head.

	Nodes are allocated one by one with operator new. A failed allocation
	is reported by the return value and leaves the map unchanged.

===============================================================================
*/
#ifndef DT_MAP_H
#define DT_MAP_H

#include "datatypes/base/DTTypes.h"

#include <new>

// Bucket index of a key: key mod size. A size of 0 gives bucket 0.
inline u32 KeyToHashIndex( const u32 key, const u32 size ) {
	return size != 0 ? key % size : 0;
}

// The signed form hashes the key's bits taken as unsigned.
inline u32 KeyToHashIndex( const s32 key, const u32 size ) {
	return KeyToHashIndex( static_cast<u32>( key ), size );
}

template< class K, class V >
class DTMap {
public:
	// Bucket count of every map the engine builds.
	static constexpr u32	DEFAULT_TABLE_SIZE = 37;

	struct Node {
		K					mKey;
		V					mValue;
		Node *				mpNext;
	};

	// Allocates and clears size bucket heads (at least one).
	explicit				DTMap( const u32 size = DEFAULT_TABLE_SIZE );
	virtual					~DTMap();

							DTMap( const DTMap & ) = delete;
	DTMap &					operator=( const DTMap & ) = delete;

	// The node holding key, or null.
	Node *					Find( const K & key ) const;

	// Replaces the value of a present key, else pushes a new node at the
	// head of the key's bucket. False when no node could be allocated.
	bool					Set( const K & key, const V & value );

	// Frees the node of key; false when the key is absent.
	bool					Remove( const K & key );

	// Frees every node and keeps the (now empty) buckets.
	void					RemoveAll();

	// Walking in bucket order: the first node, and the node after node
	// (the rest of its chain, then the following buckets); null at the end.
	Node *					GetFirst() const;
	Node *					GetNext( const Node * node ) const;

	u32						GetCount() const { return muiElementcount; }
	u32						GetTableSize() const { return muiTableSize; }

private:
	Node **					mpHashTable;
	u32						muiTableSize;
	u32						muiElementcount;

	Node *					FirstFromBucket( u32 bucket ) const;
};

template< class K, class V >
DTMap<K, V>::DTMap( const u32 size )
	: mpHashTable( nullptr ), muiTableSize( 0 ), muiElementcount( 0 ) {
	const u32 buckets = size != 0 ? size : 1;
	mpHashTable = new ( std::nothrow ) Node *[buckets];
	if ( mpHashTable == nullptr ) {
		return;
	}
	for ( u32 i = 0; i < buckets; i++ ) {
		mpHashTable[i] = nullptr;
	}
	muiTableSize = buckets;
}

template< class K, class V >
DTMap<K, V>::~DTMap() {
	RemoveAll();
	delete[] mpHashTable;
	mpHashTable = nullptr;
	muiTableSize = 0;
}

template< class K, class V >
typename DTMap<K, V>::Node * DTMap<K, V>::Find( const K & key ) const {
	if ( muiTableSize == 0 ) {
		return nullptr;
	}
	for ( Node * node = mpHashTable[KeyToHashIndex( key, muiTableSize )]; node != nullptr; node = node->mpNext ) {
		if ( node->mKey == key ) {
			return node;
		}
	}
	return nullptr;
}

template< class K, class V >
bool DTMap<K, V>::Set( const K & key, const V & value ) {
	Node * node = Find( key );
	if ( node != nullptr ) {
		node->mValue = value;
		return true;
	}
	if ( muiTableSize == 0 ) {
		return false;
	}
	node = new ( std::nothrow ) Node{ key, value, nullptr };
	if ( node == nullptr ) {
		return false;
	}
	Node *& head = mpHashTable[KeyToHashIndex( key, muiTableSize )];
	node->mpNext = head;
	head = node;
	muiElementcount++;
	return true;
}

template< class K, class V >
bool DTMap<K, V>::Remove( const K & key ) {
	if ( muiTableSize == 0 ) {
		return false;
	}
	Node ** link = &mpHashTable[KeyToHashIndex( key, muiTableSize )];
	for ( Node * node = *link; node != nullptr; link = &node->mpNext, node = *link ) {
		if ( node->mKey == key ) {
			*link = node->mpNext;
			delete node;
			muiElementcount--;
			return true;
		}
	}
	return false;
}

template< class K, class V >
void DTMap<K, V>::RemoveAll() {
	for ( u32 i = 0; i < muiTableSize; i++ ) {
		Node * node = mpHashTable[i];
		while ( node != nullptr ) {
			Node * next = node->mpNext;
			delete node;
			node = next;
		}
		mpHashTable[i] = nullptr;
	}
	muiElementcount = 0;
}

template< class K, class V >
typename DTMap<K, V>::Node * DTMap<K, V>::GetFirst() const {
	return FirstFromBucket( 0 );
}

template< class K, class V >
typename DTMap<K, V>::Node * DTMap<K, V>::GetNext( const Node * node ) const {
	if ( node == nullptr ) {
		return nullptr;
	}
	if ( node->mpNext != nullptr ) {
		return node->mpNext;
	}
	return FirstFromBucket( KeyToHashIndex( node->mKey, muiTableSize ) + 1 );
}

template< class K, class V >
typename DTMap<K, V>::Node * DTMap<K, V>::FirstFromBucket( u32 bucket ) const {
	for ( ; bucket < muiTableSize; bucket++ ) {
		if ( mpHashTable[bucket] != nullptr ) {
			return mpHashTable[bucket];
		}
	}
	return nullptr;
}

#endif
