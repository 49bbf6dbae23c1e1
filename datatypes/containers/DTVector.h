/*
===============================================================================

	Growable array.

	The list type of the data library: the class registry, member lists,
	link records, table-of-contents records and loaded objects all live in
	one. Storage is a single array of T made with array new, so every byte
	comes from the engine allocator. Elements 0 .. count - 1 are valid and
	count never exceeds capacity.

	Growth is one slot at a time: appending to a full vector reallocates to
	exactly capacity + 1 elements. Owners that know their size reserve it up
	front. The stored increment is kept but never used for growing.

	A failed allocation leaves the vector as it was and is reported by the
	return value.

===============================================================================
*/
#ifndef DT_VECTOR_H
#define DT_VECTOR_H

#include "datatypes/base/DTTypes.h"

#include <cassert>
#include <new>

template< class T >
class DTVector {
public:
	// Growth step stored by the default constructor.
	static constexpr u32	DEFAULT_SIZE_INCREMENT = 8;

							DTVector();
	// Allocates capacity elements when capacity is not 0; the vector is empty.
							DTVector( const u32 & capacity, const u32 & increment );
							DTVector( const DTVector & other );
	DTVector &				operator=( const DTVector & other );
	virtual					~DTVector();

	// Makes the capacity exactly n, keeping the first min(count, n) elements.
	bool					Reserve( const u32 n );

	// Stores v after the last element, growing the array by one slot when full.
	bool					Append( const T & v );

	// Makes count exactly n for a loader that fills the elements in place.
	// The array grows to exactly n when n is above the capacity and never
	// shrinks; elements beyond the old count are default-constructed.
	bool					Resize( const u32 n );

	u32						GetSize() const { return muiNumberOfElements; }
	u32						GetCapacity() const { return muiArrayDimention; }
	u32						GetSizeIncrement() const { return miSizeIncrement; }
	T *						GetArray() { return mpArray; }
	const T *				GetArray() const { return mpArray; }

	T &						operator[]( const u32 index );
	const T &				operator[]( const u32 index ) const;

private:
	u32						muiArrayDimention;
	u32						muiNumberOfElements;
	u32						miSizeIncrement;
	T *						mpArray;

	// New array of exactly n elements holding the first keep elements, or
	// null when it cannot be allocated. n == 0 gives null as well.
	T *						CopyToNewArray( const u32 n, const u32 keep ) const;
	// Frees the array only; the caller sets capacity and count.
	void					FreeArray();
};

template< class T >
DTVector<T>::DTVector()
	: muiArrayDimention( 0 ), muiNumberOfElements( 0 ), miSizeIncrement( DEFAULT_SIZE_INCREMENT ), mpArray( nullptr ) {
}

template< class T >
DTVector<T>::DTVector( const u32 & capacity, const u32 & increment )
	: muiArrayDimention( 0 ), muiNumberOfElements( 0 ), miSizeIncrement( increment ), mpArray( nullptr ) {
	if ( capacity != 0 ) {
		mpArray = new ( std::nothrow ) T[capacity];
		if ( mpArray != nullptr ) {
			muiArrayDimention = capacity;
		}
	}
}

template< class T >
DTVector<T>::DTVector( const DTVector & other )
	: muiArrayDimention( 0 ), muiNumberOfElements( 0 ), miSizeIncrement( other.miSizeIncrement ), mpArray( nullptr ) {
	*this = other;
}

template< class T >
DTVector<T> & DTVector<T>::operator=( const DTVector & other ) {
	if ( this == &other ) {
		return *this;
	}
	T * array = nullptr;
	if ( other.muiNumberOfElements != 0 ) {
		array = new ( std::nothrow ) T[other.muiNumberOfElements];
		if ( array == nullptr ) {
			return *this;
		}
		for ( u32 i = 0; i < other.muiNumberOfElements; i++ ) {
			array[i] = other.mpArray[i];
		}
	}
	FreeArray();
	mpArray = array;
	muiArrayDimention = other.muiNumberOfElements;
	muiNumberOfElements = other.muiNumberOfElements;
	miSizeIncrement = other.miSizeIncrement;
	return *this;
}

template< class T >
DTVector<T>::~DTVector() {
	FreeArray();
	muiArrayDimention = 0;
	muiNumberOfElements = 0;
}

template< class T >
bool DTVector<T>::Reserve( const u32 n ) {
	if ( n == muiArrayDimention ) {
		return true;
	}
	const u32 keep = muiNumberOfElements < n ? muiNumberOfElements : n;
	T * array = CopyToNewArray( n, keep );
	if ( array == nullptr && n != 0 ) {
		return false;
	}
	FreeArray();
	mpArray = array;
	muiArrayDimention = n;
	// Shrinking below the count drops the elements that no longer fit, so
	// count never exceeds capacity.
	muiNumberOfElements = keep;
	return true;
}

template< class T >
bool DTVector<T>::Append( const T & v ) {
	if ( muiNumberOfElements < muiArrayDimention ) {
		mpArray[muiNumberOfElements++] = v;
		return true;
	}
	if ( muiArrayDimention == 0xFFFFFFFFu ) {
		return false;
	}
	T * array = CopyToNewArray( muiArrayDimention + 1, muiNumberOfElements );
	if ( array == nullptr ) {
		return false;
	}
	// v may be one of our own elements: store it before the old array goes.
	array[muiNumberOfElements] = v;
	FreeArray();
	mpArray = array;
	muiArrayDimention++;
	muiNumberOfElements++;
	return true;
}

template< class T >
bool DTVector<T>::Resize( const u32 n ) {
	if ( n > muiArrayDimention ) {
		T * array = CopyToNewArray( n, muiNumberOfElements );
		if ( array == nullptr ) {
			return false;
		}
		FreeArray();
		mpArray = array;
		muiArrayDimention = n;
	} else {
		// Slots the count grows over are reset, so a loader never finds the
		// stale elements of an earlier, longer fill.
		for ( u32 i = muiNumberOfElements; i < n; i++ ) {
			mpArray[i] = T();
		}
	}
	muiNumberOfElements = n;
	return true;
}

template< class T >
T & DTVector<T>::operator[]( const u32 index ) {
	assert( index < muiNumberOfElements );
	return mpArray[index];
}

template< class T >
const T & DTVector<T>::operator[]( const u32 index ) const {
	assert( index < muiNumberOfElements );
	return mpArray[index];
}

template< class T >
T * DTVector<T>::CopyToNewArray( const u32 n, const u32 keep ) const {
	if ( n == 0 ) {
		return nullptr;
	}
	// The non-throwing form also yields null when n elements overflow the
	// address space, which is what a huge stored count asks for.
	T * array = new ( std::nothrow ) T[n];
	if ( array == nullptr ) {
		return nullptr;
	}
	for ( u32 i = 0; i < keep; i++ ) {
		array[i] = mpArray[i];
	}
	return array;
}

template< class T >
void DTVector<T>::FreeArray() {
	delete[] mpArray;
	mpArray = nullptr;
}

#endif
