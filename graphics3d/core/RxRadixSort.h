/*
===============================================================================

	Radix exchange sort of fixed-size records by an unsigned key.

	Records are count blocks of recordSize bytes with the key at keyOffset.
	More than 5 records are first split most-significant bit first,
	starting at the highest set bit of the highest key given; a range is
	split further only while it holds 6 or more records. The smallest of
	the first few records then moves to the front and a straight insertion
	sort finishes. The insertion sort alone decides the final order, so a
	key above the highest given is still sorted correctly.

	The library sorts 32-bit keys; definition addresses on the host need
	the same algorithm over 64-bit keys.

===============================================================================
*/
#ifndef RX_RADIX_SORT_H
#define RX_RADIX_SORT_H

#include "datatypes/base/DTTypes.h"

// Returns at once for a null array, fewer than 2 records, a key that does
// not fit in the record or lowest >= highest.
void	_rx_rxRadixExchangeSort( void* array, u32 count, u32 recordSize, u32 keyOffset, u32 lowest, u32 highest );
void	_rxRadixExchangeSort64( void* array, u32 count, u32 recordSize, u32 keyOffset, u64 lowest, u64 highest );

#endif
