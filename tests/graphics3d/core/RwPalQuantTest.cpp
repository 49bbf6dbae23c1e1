#include "graphics3d/core/RwPalQuant.h"
#include "RwImageTestImages.h"

#include <algorithm>
#include <set>

namespace {

// The order the tree keeps cells in, computed independently of its key
// table: a 20-bit number whose most significant nibble holds the top
// bits of red, green, blue and alpha, and so on down to the fifth bits.
u32 TreeOrder( const RwRGBA& c ) {
	u32 order = 0;
	for ( s32 bit = 4; bit >= 0; bit-- ) {
		const u32 nibble = ( ( ( c.red >> 3 ) >> bit ) & 1 ) << 3 | ( ( ( c.green >> 3 ) >> bit ) & 1 ) << 2 |
						   ( ( ( c.blue >> 3 ) >> bit ) & 1 ) << 1 | ( ( ( c.alpha >> 3 ) >> bit ) & 1 );
		order = ( order << 4 ) | nibble;
	}
	return order;
}

class RwPalQuantTest : public RwStartedTestCase {
protected:
	void SetUp() override {
		RwStartedTestCase::SetUp();
		ASSERT_TRUE( _rwPalQuantInit( &pq ) );
	}
	void TearDown() override {
		_rwPalQuantTerm( &pq );
		RwStartedTestCase::TearDown();
	}
	// The entry index of every pixel of the image, one a byte.
	std::vector<u8> Match( const RwImage* image ) {
		std::vector<u8> indices( static_cast<size_t>( image->width * image->height ), 0xEE );
		_rwPalQuantMatchImage( indices.data(), image->width, 8, 0, &pq, image );
		return indices;
	}
	// A row of the given colours.
	static RwImage* Row( const std::vector<RwRGBA>& colours ) {
		return RwTestImage32( static_cast<s32>( colours.size() ), 1, [&]( s32 x, s32 ) { return colours[static_cast<size_t>( x )]; } );
	}

	RwPalQuant pq;
	RwRGBA palette[RWPALQUANT_MAX_COLOURS];
};

TEST_F( RwPalQuantTest, KeepsEveryCellWhenTheyFitInTreeOrderWithTheRestZero ) {
	const std::vector<RwRGBA> colours = {
		{ 255, 0, 0, 255 }, { 0, 255, 0, 255 }, { 0, 0, 255, 255 }, { 8, 16, 24, 32 },		{ 128, 128, 128, 128 },
		{ 0, 0, 0, 0 },		{ 200, 8, 96, 40 }, { 64, 0, 0, 0 },	 { 0, 64, 248, 255 }, { 248, 248, 0, 8 },
	};
	RwImage* const image = Row( colours );
	ASSERT_TRUE( _rwPalQuantAddImage( &pq, image, 1.0f ) );
	std::fill( std::begin( palette ), std::end( palette ), RwRGBA{ 9, 9, 9, 9 } );
	EXPECT_EQ( _rwPalQuantResolvePalette( palette, 16, &pq ), 10 );

	std::vector<RwRGBA> ordered = colours;
	std::sort( ordered.begin(), ordered.end(), []( const RwRGBA& a, const RwRGBA& b ) { return TreeOrder( a ) < TreeOrder( b ); } );
	for ( s32 i = 0; i < 10; i++ ) {
		EXPECT_EQ( palette[i], ordered[static_cast<size_t>( i )] ) << i;
	}
	for ( s32 i = 10; i < 16; i++ ) {
		EXPECT_EQ( palette[i], ( RwRGBA{ 0, 0, 0, 0 } ) ) << i;
	}
	EXPECT_EQ( palette[16], ( RwRGBA{ 9, 9, 9, 9 } ) );
	const std::vector<u8> indices = Match( image );
	for ( size_t x = 0; x < colours.size(); x++ ) {
		EXPECT_EQ( palette[indices[x]], colours[x] ) << x;
	}
	RwImageDestroy( image );
}

TEST_F( RwPalQuantTest, ResolvesSingleCellsToTheirMeanColour ) {
	struct Case {
		const char*			name;
		std::vector<RwRGBA>	colours;
		RwRGBA				entry;
	};
	const Case cases[] = {
		{ "pure white", { { 255, 255, 255, 255 } }, { 255, 255, 255, 255 } },
		{ "pure black", { { 0, 0, 0, 0 } }, { 0, 0, 0, 0 } },
		{ "low bits averaged", { { 16, 32, 64, 200 }, { 22, 38, 70, 206 } }, { 19, 35, 67, 203 } },
		{ "weights count", { { 8, 8, 8, 8 }, { 8, 8, 8, 8 }, { 14, 14, 14, 14 } }, { 10, 10, 10, 10 } },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		RwPalQuant local;
		ASSERT_TRUE( _rwPalQuantInit( &local ) );
		RwImage* const image = Row( c.colours );
		_rwPalQuantAddImage( &local, image, 1.0f );
		EXPECT_EQ( _rwPalQuantCountLeaves( &local ), 1 );
		EXPECT_EQ( _rwPalQuantResolvePalette( palette, 16, &local ), 1 );
		EXPECT_EQ( palette[0], c.entry );
		RwImageDestroy( image );
		_rwPalQuantTerm( &local );
	}
}

TEST_F( RwPalQuantTest, AddsPalettisedImagesThroughTheirPalettes ) {
	const RwRGBA colours[3] = { { 255, 0, 0, 255 }, { 0, 0, 255, 255 }, { 0, 255, 0, 255 } };
	struct Case {
		s32		depth;
		u8		indexBase;	// added to every index byte
	};
	// 4-bit images use the low nibble of each byte.
	const Case cases[] = { { 8, 0 }, { 4, 0 }, { 4, 0x30 } };
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.depth * 100 + c.indexBase );
		RwPalQuant local;
		ASSERT_TRUE( _rwPalQuantInit( &local ) );
		RwImage* const image = RwTestImagePal( 3, 2, c.depth, [&]( s32 x, s32 ) { return static_cast<u8>( c.indexBase + x ); },
											   [&]( s32 i ) { return i < 3 ? colours[i] : RwRGBA{ 1, 2, 3, 4 }; } );
		_rwPalQuantAddImage( &local, image, 1.0f );
		EXPECT_EQ( _rwPalQuantResolvePalette( palette, 256, &local ), 3 );
		u8 indices[6] = {};
		_rwPalQuantMatchImage( indices, 3, 8, 0, &local, image );
		for ( s32 x = 0; x < 3; x++ ) {
			EXPECT_EQ( palette[indices[x]], colours[x] );
			EXPECT_EQ( indices[x + 3], indices[x] );
		}
		RwImageDestroy( image );
		_rwPalQuantTerm( &local );
	}
	// Other depths add nothing.
	u8 pixels[4] = { 1, 2, 3, 4 };
	RwImage other = { 0, 1, 1, 16, 4, pixels, nullptr };
	EXPECT_TRUE( _rwPalQuantAddImage( &pq, &other, 1.0f ) );
	EXPECT_EQ( _rwPalQuantCountLeaves( &pq ), 0 );
}

TEST_F( RwPalQuantTest, CutsMoreCellsThanEntriesIntoBoxesOfTheirOwnColours ) {
	// 300 cells: red and green over 20 x 15 steps of the cell size.
	RwImage* const image = RwTestImage32( 20, 15, []( s32 x, s32 y ) {
		return RwRGBA{ static_cast<u8>( x * 8 ), static_cast<u8>( y * 8 + 64 ), 40, 255 };
	} );
	ASSERT_TRUE( _rwPalQuantAddImage( &pq, image, 1.0f ) );
	EXPECT_EQ( _rwPalQuantCountLeaves( &pq ), 300 );
	EXPECT_EQ( _rwPalQuantResolvePalette( palette, 256, &pq ), 256 );
	std::vector<u8> indices( 300 );
	_rwPalQuantMatchImage( indices.data(), 20, 8, 0, &pq, image );
	std::set<u8> used;
	for ( s32 y = 0; y < 15; y++ ) {
		for ( s32 x = 0; x < 20; x++ ) {
			const RwRGBA pixel = *RwTestPixel( image, x, y );
			const RwRGBA entry = palette[indices[static_cast<size_t>( y * 20 + x )]];
			// Each box spans at most a few neighbouring cells.
			EXPECT_LE( std::abs( entry.red - pixel.red ), 8 ) << x << "," << y;
			EXPECT_LE( std::abs( entry.green - pixel.green ), 8 ) << x << "," << y;
			EXPECT_EQ( entry.blue, 40 );
			EXPECT_EQ( entry.alpha, 255 );
			used.insert( indices[static_cast<size_t>( y * 20 + x )] );
		}
	}
	EXPECT_EQ( used.size(), 256u );
	RwImageDestroy( image );
}

TEST_F( RwPalQuantTest, SplitsTwoClustersAlongTheChannelThatSeparatesThem ) {
	struct Case {
		const char*			name;
		s32					limit;
		s32					result;
		std::vector<RwRGBA>	entries;
	};
	// Two dark and two bright cells, split on red; with a limit of 3 the
	// wider cluster is cut again.
	const std::vector<RwRGBA> colours = { { 0, 0, 0, 255 }, { 16, 0, 0, 255 }, { 224, 0, 0, 255 }, { 248, 0, 0, 255 } };
	const Case cases[] = {
		{ "one entry is the mean of all", 1, 1, { { 122, 0, 0, 255 } } },
		{ "two entries are the cluster means", 2, 2, { { 8, 0, 0, 255 }, { 236, 0, 0, 255 } } },
		{ "a box that cannot be cut further stays one entry", 6, 4, {} },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		RwPalQuant local;
		ASSERT_TRUE( _rwPalQuantInit( &local ) );
		RwImage* const image = Row( colours );
		_rwPalQuantAddImage( &local, image, 1.0f );
		EXPECT_EQ( _rwPalQuantResolvePalette( palette, c.limit, &local ), c.result );
		for ( size_t i = 0; i < c.entries.size(); i++ ) {
			EXPECT_EQ( palette[i], c.entries[i] ) << i;
		}
		u8 indices[4] = {};
		_rwPalQuantMatchImage( indices, 4, 8, 0, &local, image );
		if ( c.limit == 2 ) {
			EXPECT_EQ( indices[0], indices[1] );
			EXPECT_EQ( indices[2], indices[3] );
			EXPECT_NE( indices[0], indices[2] );
		}
		RwImageDestroy( image );
		_rwPalQuantTerm( &local );
	}
}

TEST_F( RwPalQuantTest, ResolvesOnePaletteSharedBySeveralImages ) {
	RwImage* const reds = Row( { { 255, 0, 0, 255 }, { 128, 0, 0, 255 } } );
	RwImage* const blues = Row( { { 0, 0, 255, 255 }, { 0, 0, 128, 255 } } );
	_rwPalQuantAddImage( &pq, reds, 1.0f );
	_rwPalQuantAddImage( &pq, blues, 1.0f );
	EXPECT_EQ( _rwPalQuantResolvePalette( palette, 16, &pq ), 4 );
	for ( const RwImage* image : { reds, blues } ) {
		const std::vector<u8> indices = Match( image );
		for ( s32 x = 0; x < 2; x++ ) {
			EXPECT_EQ( palette[indices[static_cast<size_t>( x )]], *RwTestPixel( image, x, 0 ) );
		}
	}
	RwImageDestroy( reds );
	RwImageDestroy( blues );
}

TEST_F( RwPalQuantTest, PacksFourBitIndicesTwoAByteKeepingTheUnusedNibble ) {
	// Tree order gives these indices 0, 1 and 2.
	RwImage* const image = Row( { { 0, 0, 0, 0 }, { 0, 0, 0, 255 }, { 0, 0, 255, 0 } } );
	_rwPalQuantAddImage( &pq, image, 1.0f );
	ASSERT_EQ( _rwPalQuantResolvePalette( palette, 16, &pq ), 3 );
	struct Case {
		s32		depth;
		s32		packed;
		u8		expected[3];
	};
	const Case cases[] = {
		{ 4, 1, { 0x10, 0xC2, 0xEF } },
		{ 4, 0, { 0x00, 0x01, 0x02 } },
		{ 8, 1, { 0x00, 0x01, 0x02 } },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.depth * 10 + c.packed );
		u8 row[3] = { 0xAB, 0xCD, 0xEF };
		_rwPalQuantMatchImage( row, 3, c.depth, c.packed, &pq, image );
		EXPECT_EQ( std::vector<u8>( row, row + 3 ), std::vector<u8>( c.expected, c.expected + 3 ) );
	}
	RwImageDestroy( image );
}

TEST_F( RwPalQuantTest, GuardsLimitsAboveTheTablesAndPixelsNeverAdded ) {
	RwImage* const image = Row( { { 255, 0, 0, 255 } } );
	_rwPalQuantAddImage( &pq, image, 1.0f );
	RwRGBA wide[RWPALQUANT_MAX_COLOURS + 4];
	std::fill( std::begin( wide ), std::end( wide ), RwRGBA{ 7, 7, 7, 7 } );
	EXPECT_EQ( _rwPalQuantResolvePalette( wide, 1000, &pq ), 1 );
	EXPECT_EQ( wide[255], ( RwRGBA{ 0, 0, 0, 0 } ) );
	EXPECT_EQ( wide[256], ( RwRGBA{ 7, 7, 7, 7 } ) );
	RwImage* const stranger = Row( { { 0, 255, 0, 255 }, { 255, 0, 0, 255 } } );
	u8 indices[2] = { 9, 9 };
	_rwPalQuantMatchImage( indices, 2, 8, 0, &pq, stranger );
	EXPECT_EQ( indices[0], 0 );
	EXPECT_EQ( indices[1], 0 );
	RwImageDestroy( image );
	RwImageDestroy( stranger );
}

}	// namespace
