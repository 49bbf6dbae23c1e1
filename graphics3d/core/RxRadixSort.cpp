#include "graphics3d/core/RxRadixSort.h"

#include <bit>
#include <cstring>

// Ranges of fewer records are left to the insertion sort.
static constexpr u32 PARTITION_MINIMUM = 6;
// Records looked at for the sentinel: at most this many.
static constexpr u32 SENTINEL_SPAN = 5;
// Bytes exchanged at a time: eight words.
static constexpr u32 EXCHANGE_CHUNK = 32;

namespace {

template< typename Key >
class RadixExchange {
public:
	RadixExchange( u8* records, const u32 recordSize, const u32 keyOffset )
		: records( records ), recordSize( recordSize ), keyOffset( keyOffset ) {}

	Key KeyAt( const u32 i ) const {
		Key key;
		std::memcpy( &key, records + static_cast<u64>( i ) * recordSize + keyOffset, sizeof( Key ) );
		return key;
	}

	void Exchange( const u32 i, const u32 j ) const {
		u8* a = records + static_cast<u64>( i ) * recordSize;
		u8* b = records + static_cast<u64>( j ) * recordSize;
		u8 chunk[EXCHANGE_CHUNK];
		for ( u32 done = 0; done < recordSize; done += EXCHANGE_CHUNK ) {
			const u32 bytes = recordSize - done < EXCHANGE_CHUNK ? recordSize - done : EXCHANGE_CHUNK;
			std::memcpy( chunk, a + done, bytes );
			std::memcpy( a + done, b + done, bytes );
			std::memcpy( b + done, chunk, bytes );
		}
	}

	// Most significant bit first: each range is split by its bit, records
	// with the bit set going to the top.
	void Repartition( const u32 count, const Key highest ) const {
		if ( highest == 0 ) {
			return;
		}
		struct Range {
			u32		low;
			u32		high;
			s32		bit;
		};
		// Each split pushes at most two ranges and takes one, one bit lower.
		Range stack[2 * ( sizeof( Key ) * 8 + 1 )];
		u32 depth = 0;
		stack[depth++] = { 0, count - 1, static_cast<s32>( std::bit_width( highest ) ) - 1 };
		while ( depth > 0 ) {
			const Range range = stack[--depth];
			const Key mask = static_cast<Key>( Key( 1 ) << range.bit );
			s64 i = range.low;
			s64 j = range.high;
			while ( i <= j ) {
				while ( i <= j && ( KeyAt( static_cast<u32>( i ) ) & mask ) == 0 ) {
					i++;
				}
				while ( i <= j && ( KeyAt( static_cast<u32>( j ) ) & mask ) != 0 ) {
					j--;
				}
				if ( i < j ) {
					Exchange( static_cast<u32>( i ), static_cast<u32>( j ) );
					i++;
					j--;
				}
			}
			if ( range.bit == 0 ) {
				continue;
			}
			// [low, j] has the bit clear, [i, high] has it set.
			if ( j - range.low + 1 >= PARTITION_MINIMUM ) {
				stack[depth++] = { range.low, static_cast<u32>( j ), range.bit - 1 };
			}
			if ( static_cast<s64>( range.high ) - i + 1 >= PARTITION_MINIMUM ) {
				stack[depth++] = { static_cast<u32>( i ), range.high, range.bit - 1 };
			}
		}
	}

	void MoveSentinelToFront( const u32 count ) const {
		const u32 span = count - 1 < SENTINEL_SPAN - 1 ? count : SENTINEL_SPAN;
		u32 smallest = 0;
		for ( u32 i = 1; i < span; i++ ) {
			if ( KeyAt( i ) < KeyAt( smallest ) ) {
				smallest = i;
			}
		}
		if ( smallest != 0 ) {
			Exchange( 0, smallest );
		}
	}

	// The front bound is checked although the sentinel normally stops the
	// walk: keys above the highest given can leave a smaller key further on.
	void InsertionSort( const u32 count ) const {
		for ( u32 i = 1; i < count; i++ ) {
			for ( u32 j = i; j > 0 && KeyAt( j - 1 ) > KeyAt( j ); j-- ) {
				Exchange( j - 1, j );
			}
		}
	}

private:
	u8*		records;
	u32		recordSize;
	u32		keyOffset;
};

template< typename Key >
void RadixExchangeSort( void* array, const u32 count, const u32 recordSize, const u32 keyOffset, const Key lowest,
						const Key highest ) {
	if ( array == nullptr || static_cast<u64>( keyOffset ) + sizeof( Key ) > recordSize || lowest >= highest || count < 2 ) {
		return;
	}
	const RadixExchange<Key> sorter( static_cast<u8*>( array ), recordSize, keyOffset );
	if ( count >= PARTITION_MINIMUM ) {
		sorter.Repartition( count, highest );
	}
	sorter.MoveSentinelToFront( count );
	sorter.InsertionSort( count );
}

}	// namespace

void _rx_rxRadixExchangeSort( void* array, const u32 count, const u32 recordSize, const u32 keyOffset, const u32 lowest,
							  const u32 highest ) {
	RadixExchangeSort<u32>( array, count, recordSize, keyOffset, lowest, highest );
}

void _rxRadixExchangeSort64( void* array, const u32 count, const u32 recordSize, const u32 keyOffset, const u64 lowest,
							 const u64 highest ) {
	RadixExchangeSort<u64>( array, count, recordSize, keyOffset, lowest, highest );
}
