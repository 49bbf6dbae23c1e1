#include "datatypes/node/DTAttrib.h"

#include <gtest/gtest.h>

#include <new>

namespace {

TEST( DTAttrib, ConstructorsClearEverythingButTheType ) {
	const DTAttrib none;
	EXPECT_EQ( none.meType, AT_NONE );
	const DTAttrib typed( AT_COLLPRIM );
	EXPECT_EQ( typed.meType, AT_COLLPRIM );
	for ( const DTAttrib * attrib : { &none, &typed } ) {
		EXPECT_EQ( attrib->muiState, 0u );
		EXPECT_EQ( attrib->muiNbStruct, 0u );
		EXPECT_EQ( attrib->mpDataBlock, nullptr );
		EXPECT_EQ( attrib->mpNext, nullptr );
	}
}

TEST( DTAttrib, ACopySharesTheBlockWithoutOwningIt ) {
	DTAttrib next;
	DTAttrib * const owner = new DTAttrib( AT_TRANSFO );
	owner->mpDataBlock = ::operator new( 64 );
	owner->muiNbStruct = 3;
	owner->muiState = DT_ATTRIB_OWNS_BLOCK | 0x8;
	owner->mpNext = &next;
	{
		DTAttrib copy( *owner );
		EXPECT_EQ( copy.meType, AT_TRANSFO );
		EXPECT_EQ( copy.muiNbStruct, 3u );
		EXPECT_EQ( copy.mpDataBlock, owner->mpDataBlock );
		EXPECT_EQ( copy.muiState, 0u );
		EXPECT_EQ( copy.mpNext, nullptr );
	}
	// The copy is gone and the block is still alive and the owner's to
	// free: the sanitizer build reports a use after free, a double free or
	// a leak otherwise.
	static_cast<u8 *>( owner->mpDataBlock )[63] = 1;
	delete owner;
}

TEST( DTAttrib, OnlyAnOwningRecordFreesItsBlock ) {
	u8 stackBlock[16] = {};
	{
		DTAttrib borrowed( AT_COLLPRIM );
		borrowed.mpDataBlock = stackBlock;
		borrowed.muiState = 0x2;
	}
	EXPECT_EQ( stackBlock[0], 0 );
}

} // namespace
