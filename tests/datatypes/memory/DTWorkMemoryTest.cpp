#include "datatypes/memory/DTWorkMemory.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

alignas( 32 ) u8 area[256];

TEST( DTWorkMemoryTest, HandsOutConsecutiveUnalignedBytesUntilTheAreaIsFull ) {
	DTWorkMemory memory( area, sizeof( area ) );
	struct Step {
		u32		take;
		s32		expectedOffset;	// -1: refused
		u32		freeAfter;
	};
	const Step steps[] = {
		{ 3, 0, 253 },
		{ 5, 3, 248 },		// no alignment: straight after the first three bytes
		{ 249, -1, 248 },	// one more than is left
		{ 0, 8, 248 },
		{ 248, 8, 0 },
		{ 1, -1, 0 },
		{ 0, 256, 0 },
		{ 0xFFFFFFFF, -1, 0 },
	};
	for ( const Step& s : steps ) {
		void* p = memory.Get( s.take );
		if ( s.expectedOffset < 0 ) {
			EXPECT_EQ( p, nullptr ) << s.take;
		} else {
			EXPECT_EQ( p, area + s.expectedOffset ) << s.take;
		}
		EXPECT_EQ( memory.GetFree(), s.freeAfter ) << s.take;
	}
}

TEST( DTWorkMemoryTest, ReleaseGivesBackTheLastBytesAndEmptiesTheAreaWhenAskedForTooMany ) {
	struct Case {
		u32		taken;
		u32		released;
		bool	result;
		u32		freeAfter;
	};
	const Case cases[] = {
		{ 100, 40, true, 196 },
		{ 100, 100, true, 256 },
		{ 100, 101, false, 256 },
		{ 0, 1, false, 256 },
		{ 100, 0x80000000u, false, 256 },
		{ 100, 0xFFFFFFFFu, false, 256 },
	};
	for ( const Case& c : cases ) {
		DTWorkMemory memory( area, sizeof( area ) );
		memory.Get( c.taken );
		EXPECT_EQ( memory.Release( c.released ), c.result ) << c.taken << " " << c.released;
		EXPECT_EQ( memory.GetFree(), c.freeAfter ) << c.taken << " " << c.released;
	}
}

TEST( DTWorkMemoryTest, GetAllFillsTheAreaAndResetEmptiesIt ) {
	DTWorkMemory memory( area, sizeof( area ) );
	memory.Get( 10 );
	EXPECT_EQ( memory.GetAll(), area );
	EXPECT_EQ( memory.GetFree(), 0u );
	EXPECT_EQ( memory.Get( 1 ), nullptr );
	memory.Reset();
	EXPECT_EQ( memory.GetFree(), 256u );
	EXPECT_EQ( memory.Get( 1 ), area );
}

TEST( DTWorkMemoryTest, AnEmptyAreaHandsOutNothing ) {
	DTWorkMemory memory;
	EXPECT_EQ( memory.GetFree(), 0u );
	EXPECT_EQ( memory.Get( 1 ), nullptr );
	EXPECT_EQ( memory.Get( 0 ), nullptr );
	DTWorkMemory overNothing( nullptr, 100 );
	EXPECT_EQ( overNothing.GetFree(), 0u );
}

}
