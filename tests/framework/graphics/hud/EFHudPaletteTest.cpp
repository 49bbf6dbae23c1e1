/*
	Palettes: copies, blends and fades through the slot rule, fades that
	end or run back and forth, indices and slots that name no group, and
	stored palettes whose slot does not exist.
*/
#include "HudTestBench.h"


namespace {

class EFHudPaletteTest : public HudTest {
protected:
	// Slot 0: group 0 black, group 1 all 255, group 2 the destination.
	void SetUp() override {
		HudTest::SetUp();
		EFFontColorGroup groups[3] = {};
		std::fill( std::begin( groups[1].bytes ), std::end( groups[1].bytes ), 0xFF );
		std::fill( std::begin( groups[2].bytes ), std::end( groups[2].bytes ), 0x11 );
		palette = new EFHudPalette();
		gpoHudMgr->AddPalette( palette, 0, 3, groups );
	}

	std::vector<u32> Destination() const {
		std::vector<u32> bytes;
		for ( const RwRGBA& c : palette->GetGroup( 2 )->aColors ) {
			bytes.insert( bytes.end(), { c.red, c.green, c.blue, c.alpha } );
		}
		return bytes;
	}

	EFHudPalette* palette = nullptr;
};

TEST_F( EFHudPaletteTest, FadesBlendCopyAndStopAsTimeGoesBy ) {
	const u32 x = 0x11;
	struct Row {
		const char*			name;
		f32					duration;
		u32					mask;
		std::vector<f32>	steps;
		std::vector<u32>	bytes;		// colour 0's channels after the steps
		bool				fading;
	};
	const Row rows[] = {
		{ "duration 0 copies at once", 0.0f, 0xFF, { 0.01f }, { 255, 255, 255, 255 }, false },
		{ "quarter way", 2.0f, 0xFF, { 0.25f }, { 63, 63, 63, 63 }, true },
		{ "half way is t 0.5, byte 127", 2.0f, 0xFF, { 0.5f }, { 127, 127, 127, 127 }, true },
		{ "one way ends after half the duration", 2.0f, 0xFF, { 0.5f, 0.5f }, { 255, 255, 255, 255 }, false },
		{ "mask 0xF8 touches alpha only", 2.0f, 0xF8, { 0.5f }, { x, x, x, 127 }, true },
		{ "mask 0x21 red of colour 1 only", 0.0f, 0x21, { 0.01f }, { x, x, x, x }, false },
		{ "back and forth turns at the end", 2.0f, 0x100FF, { 0.75f, 0.75f }, { 127, 127, 127, 127 }, true },
		{ "back and forth starts over", 2.0f, 0x100FF, { 1.0f, 1.0f, 0.5f }, { 127, 127, 127, 127 }, true },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFFontColorGroup reset;
		std::fill( std::begin( reset.bytes ), std::end( reset.bytes ), 0x11 );
		std::memcpy( palette->GetGroup( 2 )->aColors, reset.bytes, 16 );
		EFHudPalette::ColorFadeStart( 0, 2, 0, 1, row.duration, row.mask );
		for ( const f32 dt : row.steps ) {
			palette->Update( dt );
		}
		const std::vector<u32> bytes = Destination();
		EXPECT_EQ( std::vector<u32>( bytes.begin(), bytes.begin() + 4 ), row.bytes );
		EXPECT_EQ( EFHudPalette::ColorIsFading( 0, 2 ), row.fading );
		EFHudPalette::ColorFadeStop( 0, 2 );
		EXPECT_FALSE( EFHudPalette::ColorIsFading( 0, 2 ) );
	}
}

TEST_F( EFHudPaletteTest, BlendFactorsOutsideZeroToOneWrapTheByte ) {
	EFHudPalette::ColorBlend( 0, 2, 0, 1, 1.5f, 0xFF );
	EXPECT_EQ( Destination()[0], static_cast<u32>( 382 & 0xFF ) );
	EFHudPalette::ColorBlend( 0, 2, 0, 1, -0.5f, 0xFF );
	EXPECT_EQ( Destination()[0], static_cast<u32>( -127 & 0xFF ) );
}

TEST_F( EFHudPaletteTest, GlobalIndicesReachTheGlobalPaletteAndMissingGroupsAreIgnored ) {
	InstallPalette( EF_HUD_GLOBAL_PALETTE, 2 );
	EFHudPalette::ColorCopy( 5, 0x80000001, 2, 0xFF ) ;
	EXPECT_EQ( gpoHudMgr->GetColorGroup( 0, 0x80000001 )->aColors[0].red, 1 ) << "slot 5 is empty: no source";
	EFHudPalette::ColorCopy( 0, 0x80000001, 1, 0xFF );
	EXPECT_EQ( gpoHudMgr->GetColorGroup( 7, 0x80000001 )->aColors[0].red, 0xFF ) << "bit 31: global, any slot";
	struct Row {
		const char*	name;
		s32			slot;
		u32			index;
	};
	const Row rows[] = {
		{ "past the count", 0, 3 },
		{ "past the global count", 0, 0x80000002 },
		{ "slot 10", 10, 0 },
		{ "slot -2", -2, 0 },
		{ "empty slot", 4, 0 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EXPECT_EQ( gpoHudMgr->GetColorGroup( row.slot, row.index ), nullptr );
		EFHudPalette::ColorFadeStart( row.slot, row.index, 0, 1, 1.0f, 0xFF );
		EFHudPalette::ColorCopy( row.slot, row.index, 1, 0xFF );
		EFHudPalette::ColorBlend( row.slot, 2, row.index, 1, 0.5f, 0xFF );
		EFHudPalette::ColorFadeStop( row.slot, row.index );
		EXPECT_FALSE( EFHudPalette::ColorIsFading( row.slot, row.index ) );
		EXPECT_EQ( Destination()[0], 0x11u );
	}
	// A fade whose groups vanish meanwhile stops doing anything.
	EFHudPalette::ColorFadeStart( 0, 2, 0, 9, 2.0f, 0xFF );
	palette->Update( 0.5f );
	EXPECT_EQ( Destination()[0], 0x11u );
}

TEST_F( EFHudPaletteTest, AStoredSlotOutsideMinusOneToNineIsRefusedByBothLoaders ) {
	struct Row {
		s32		slot;
		s32		result;
	};
	const Row rows[] = { { -1, 0 }, { 9, 0 }, { 10, -2 }, { -2, -2 }, { 0x7FFFFFFF, -2 } };
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.slot );
		ToolFontsPalette stored;
		stored.header.puid = row.slot;
		stored.nbColors = 1;
		stored.colorTable.assign( 16, 0x22 );
		ToolBigEndianWriter out;
		ToolLevelWriter::WriteFontsPalette( out, stored );
		std::vector<u8> bytes = out.Take();
		DTMemoryPersistStream stream( reinterpret_cast<char*>( bytes.data() ), static_cast<s32>( bytes.size() ) );
		EFHudPalette* const loaded = new EFHudPalette();
		EXPECT_EQ( loaded->Load( stream ), row.result );
		EXPECT_EQ( loaded->IsOwnedElsewhere(), row.result == 0 );
		if ( row.result != 0 ) {
			delete loaded;
			continue;
		}
		EXPECT_EQ( gpoHudMgr->GetPalette( row.slot ), loaded );
		EXPECT_EQ( loaded->GetColorTable(), nullptr ) << "the stored entries are freed";
		EXPECT_EQ( loaded->GetGroup( 0 )->aColors[3].alpha, 0x22 );
	}
}

}
