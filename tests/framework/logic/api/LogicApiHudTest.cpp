/*
	The HUD table: handles stay dead once their window is gone, the tree
	slots hand back handles the other slots take, typed slots act only on
	their own kind of window, the variadic text slots pass their
	arguments through, and palette slots act only on palettes that exist.
*/
#include "framework/graphics/hud/HudTestBench.h"

#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/hud/EFHud2DWindow.h"
#include "framework/graphics/hud/EFHud3DWindow.h"
#include "framework/graphics/hud/EFHudMgr.h"
#include "framework/logic/api/LogicApiTables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr u32 ROOT = EF_HUD_ROOT_HANDLE;
constexpr u32 OBJECT = 0x2A000010;

class LogicApiHudTest : public HudTest {
protected:
	void SetUp() override {
		HudTest::SetUp();
		Init_hud();
		InstallFont( 0 );
		gpoWorldMgr = new EFWorld();
		object = new EFGameObject;
		object->SetUID( OBJECT );
		model = new EF3dObj;
		object->mppEFInstance = new EFInstance*[1]{ model };
		object->muiNbInstance = 1;
		object->muiNb3dObj = 1;
		gpoWorldMgr->AddGameObject( object );
	}

	void TearDown() override {
		gpoWorldMgr->Terminate();
		delete gpoWorldMgr;
		gpoWorldMgr = nullptr;
		HudTest::TearDown();
	}

	static EFHudTextWindow& TextOf( const u32 handle ) {
		return *static_cast<EFHudTextWindow*>( gpoHudMgr->GetWindow( handle ) );
	}

	static std::vector<u32> Codes( const std::vector<HudGlyph>& entries ) {
		std::vector<u32> codes;
		for ( const HudGlyph& g : OnlyGlyphs( entries ) ) {
			codes.push_back( g.glyph );
		}
		return codes;
	}

	static std::vector<u32> CodesOf( const char* text ) {
		std::vector<u32> codes;
		for ( const char* c = text; *c != '\0'; c++ ) {
			codes.push_back( Glyph( *c ) );
		}
		return codes;
	}

	EFGameObject*	object = nullptr;
	EF3dObj*		model = nullptr;
};

TEST_F( LogicApiHudTest, ADeletedHandleStaysDeadWhenItsSlotIsTakenAgain ) {
	const u32 old = APIhud.WindowAdd( HUD_WIN_BASE, ROOT, 0, 1 );
	ASSERT_NE( old, 0u );
	APIhud.WindowDelete( old );
	// The manager hands slots out round the table: take them until the
	// old slot comes back under a new serial.
	u32 reused = 0;
	for ( u32 i = 0; i < EF_HUD_WINDOW_SLOTS && reused == 0; i++ ) {
		const u32 handle = APIhud.WindowAdd( HUD_WIN_BASE, ROOT, 0, 1 );
		reused = ( handle >> 16 ) == ( old >> 16 ) ? handle : 0;
	}
	ASSERT_NE( reused, 0u );
	ASSERT_NE( reused, old );
	APIhud.WindowSetFlags( old, 0x100 );
	APIhud.WindowSetPos( old, 5.0f, 6.0f );
	EXPECT_EQ( APIhud.WindowSetID( old, 9 ), 0u );
	EXPECT_EQ( APIhud.WindowGetFlags( old ), 0u );
	EXPECT_EQ( APIhud.WindowGetParent( old ), 0u );
	f32 x = -1.0f, y = -1.0f;
	APIhud.WindowGetPos( old, &x, &y );
	EXPECT_EQ( x, -1.0f ) << "outputs untouched";
	const EFHudWindow* const window = gpoHudMgr->GetWindow( reused );
	EXPECT_EQ( window->muiFlags, 0u );
	EXPECT_EQ( window->moDesignRect.x, 0.0f );
	EXPECT_NE( window->muiId, 9u );
	APIhud.WindowSetTimer( reused, 2.0f );
	EXPECT_EQ( APIhud.WindowGetFlags( reused ), 0x80000000u );
}

TEST_F( LogicApiHudTest, TreeSlotsHandBackHandlesAndFindDrivesTheOtherSlots ) {
	const u32 parent = APIhud.WindowAdd( HUD_WIN_BASE, ROOT, 0, 5 );
	const u32 high = APIhud.WindowAdd( HUD_WIN_TEXT, parent, 0, 9 );
	const u32 low = APIhud.WindowAdd( HUD_WIN_2D, parent, 0, 1 );
	const u32 stale = APIhud.WindowAdd( HUD_WIN_BASE, ROOT, 0, 1 );
	APIhud.WindowDelete( stale );
	const struct {
		const char*					name;
		u32							( *slot )( u32 );
		u32							window;
		u32							expected;
	} rows[] = {
		{ "first child, highest priority first", APIhud.WindowGetFirstChild, parent, high },
		{ "its next sibling", APIhud.WindowGetNextSibling, high, low },
		{ "last child's sibling: its argument", APIhud.WindowGetNextSibling, low, low },
		{ "childless window: its argument", APIhud.WindowGetFirstChild, low, low },
		{ "parent", APIhud.WindowGetParent, low, parent },
		{ "a top window's parent: the root", APIhud.WindowGetParent, parent, ROOT },
		{ "the root's parent: the root", APIhud.WindowGetParent, ROOT, ROOT },
		{ "stale sibling", APIhud.WindowGetNextSibling, stale, 0 },
		{ "stale child", APIhud.WindowGetFirstChild, stale, 0 },
		{ "stale parent", APIhud.WindowGetParent, stale, 0 },
	};
	for ( const auto& row : rows ) {
		EXPECT_EQ( row.slot( row.window ), row.expected ) << row.name;
	}
	EXPECT_EQ( APIhud.WindowSetID( low, 77 ), 1u );
	EXPECT_EQ( APIhud.WindowFind( 78 ), 0u );
	APIhud.WindowSetPos( APIhud.WindowFind( 77 ), 3.0f, 4.0f );
	APIhud.WindowSetDims( APIhud.WindowFind( 77 ), 30.0f, 40.0f );
	f32 pos[2] = {}, dims[2] = {};
	APIhud.WindowGetPos( low, &pos[0], &pos[1] );
	APIhud.WindowGetDims( low, &dims[0], &dims[1] );
	EXPECT_EQ( std::vector<f32>( { pos[0], pos[1], dims[0], dims[1] } ), std::vector<f32>( { 3, 4, 30, 40 } ) );
	EXPECT_EQ( APIhud.WindowAdd( 7, ROOT, 0, 1 ), 0u ) << "no such window type";
}

TEST_F( LogicApiHudTest, TypedSlotsLeaveWindowsOfAnotherKindUntouched ) {
	const u32 base = APIhud.WindowAdd( HUD_WIN_BASE, ROOT, 0, 1 );
	const u32 text = APIhud.WindowAdd( HUD_WIN_TEXT, ROOT, 0, 1 );
	const u32 flat = APIhud.WindowAdd( HUD_WIN_2D, ROOT, 0, 1 );
	const u32 deep = APIhud.WindowAdd( HUD_WIN_3D, ROOT, 0, 1 );
	using Slot = std::function<void( u32 )>;
	const struct {
		const char*		name;
		HudWinType_e	type;
		Slot			call;
	} slots[] = {
		{ "2D texture", HUD_WIN_2D, []( u32 w ) { APIhud.Window2DSetTexture( w, const_cast<char*>( "PAGE0" ) ); } },
		{ "2D tiling", HUD_WIN_2D, []( u32 w ) { APIhud.Window2DSetTiling( w, 8.0f, 9.0f ); } },
		{ "2D colour", HUD_WIN_2D, []( u32 w ) { APIhud.Window2DSetColor( w, 0x12345678 ); } },
		{ "3D object", HUD_WIN_3D, []( u32 w ) { APIhud.Window3DSetObj( w, OBJECT, 0 ); } },
		{ "text id", HUD_WIN_TEXT, []( u32 w ) { APIhud.TextWindowSetText( w, 0, 1u ); } },
		{ "margins", HUD_WIN_TEXT, []( u32 w ) { APIhud.TextWindowSetMargins( w, 1.0f, 2.0f, 3.0f, 4.0f ); } },
		{ "format", HUD_WIN_TEXT,
		  []( u32 w ) { APIhud.TextWindowSetStringToDisplay( w, const_cast<char*>( "%d" ), 5 ); } },
		{ "text colour", HUD_WIN_TEXT, []( u32 w ) { APIhud.TextWindowSetColor( w, 0x77777777 ); } },
		{ "font", HUD_WIN_TEXT, []( u32 w ) { APIhud.TextWindowSetFont( w, 0x66666666 ); } },
		{ "literal", HUD_WIN_TEXT, []( u32 w ) { APIhud.TextWindowSetString( w, const_cast<char*>( "AB" ) ); } },
	};
	const struct {
		u32			handle;
		size_t		bytes;
	} windows[] = { { base, sizeof( EFHudWindow ) }, { text, sizeof( EFHudTextWindow ) },
					{ flat, sizeof( EFHud2DWindow ) }, { deep, sizeof( EFHud3DWindow ) } };
	for ( const auto& slot : slots ) {
		for ( const auto& window : windows ) {
			const EFHudWindow* const target = gpoHudMgr->GetWindow( window.handle );
			if ( target->meType == slot.type ) {
				continue;
			}
			std::vector<u8> before( window.bytes );
			std::memcpy( before.data(), static_cast<const void*>( target ), window.bytes );
			slot.call( window.handle );
			EXPECT_EQ( std::memcmp( before.data(), static_cast<const void*>( target ), window.bytes ), 0 )
				<< slot.name << " on a window of type " << target->meType;
		}
	}
}

TEST_F( LogicApiHudTest, TheVariadicSlotsShowTheirArguments ) {
	const std::vector<u16> a = { Glyph( 'A' ) };
	InstallTexts( { ToolTextCommands().Argument( EF_ARG_NUMBER, 0 ).Run( a ).End() } );
	const u32 handle = APIhud.WindowAdd( HUD_WIN_TEXT, ROOT, 0, 1 );
	EFHudTextWindow& window = TextOf( handle );
	const CRect screen = { 0, 0, 640, 480 };
	APIhud.TextWindowSetStringToDisplay( handle, const_cast<char*>( "%d%s%.0f" ), -7, "AB", 2.6 );
	EXPECT_EQ( Codes( Layout( window, screen ) ), CodesOf( "-7AB3" ) ) << "integer, string and double formatted at once";
	APIhud.TextWindowSetText( handle, 0, -42 );
	EXPECT_EQ( Codes( Layout( window, screen ) ), CodesOf( "-42A" ) ) << "the text's placeholder reads the argument";
	APIhud.TextWindowSetString( handle, const_cast<char*>( "A%(color)B" ), 0x80000001u, 99u );
	EXPECT_EQ( window.mauiArguments[0], 0x80000001u ) << "the one word the literal's stream consumes";
	EXPECT_EQ( window.mauiArguments[1], 0u );
	EXPECT_EQ( Codes( Layout( window, screen ) ), CodesOf( "AB" ) );
	APIhud.TextWindowSetFont( handle, 0 );
	APIhud.TextWindowSetMargins( handle, 1.0f, 2.0f, 3.0f, 4.0f );
	EXPECT_EQ( std::vector<f32>( window.mafMargins, window.mafMargins + 4 ), std::vector<f32>( { 1, 2, 3, 4 } ) );
}

TEST_F( LogicApiHudTest, ThreeDWindowsShowTheObjectFoundWhileItsIndexExists ) {
	const u32 handle = APIhud.WindowAdd( HUD_WIN_3D, ROOT, 0, 1 );
	const EFHud3DWindow& window = *static_cast<EFHud3DWindow*>( gpoHudMgr->GetWindow( handle ) );
	APIhud.Window3DSetObj( handle, OBJECT, 1 );
	APIhud.Window3DSetObj( handle, 0x2A000099, 0 );
	EXPECT_EQ( window.Get3dObject(), nullptr ) << "an index past the 3D objects, an unknown object";
	APIhud.Window3DSetObj( handle, OBJECT, 0 );
	EXPECT_EQ( window.Get3dObject(), model );
	EXPECT_EQ( window.muiOwnerId, OBJECT );
}

TEST_F( LogicApiHudTest, PaletteSlotsActOnTheGlobalPaletteAndFilledSlotsOnly ) {
	InstallPalette( EF_HUD_GLOBAL_PALETTE, 4 );
	InstallPalette( 3, 4 );
	const auto red = []( const s32 slot, const u32 group ) {
		return gpoHudMgr->GetColorGroup( slot, group )->aColors[0].red;
	};
	const struct {
		u32 palette;
		s32 slot;
	} palettes[] = { { 0xFFFFFFFF, EF_HUD_GLOBAL_PALETTE }, { 3, 3 } };
	for ( const auto& p : palettes ) {
		SCOPED_TRACE( p.slot );
		APIhud.ColorCopy( p.palette, 0, 2, 0xFF );
		EXPECT_EQ( red( p.slot, 0 ), 2 );
		APIhud.ColorBlend( p.palette, 1, 0, 3, 0.5f, 0xFF );
		EXPECT_EQ( red( p.slot, 1 ), 2 ) << "2 + (3 - 2) / 2, integer part";
		APIhud.ColorFadeStart( p.palette, 1, 0, 3, 1.0f, 0xFF );
	}
	EXPECT_EQ( APIhud.ColorIsFading( 3, 1 ), 1u );
	EXPECT_EQ( APIhud.ColorIsFading( 7, 0x80000001 ), 1u ) << "bit 31: the global palette's group, any palette";
	EXPECT_EQ( APIhud.ColorIsFading( 0xFFFFFFFF, 1 ), 0u ) << "without bit 31 a slot 0-9 is needed";
	APIhud.ColorFadeStop( 3, 1 );
	EXPECT_EQ( APIhud.ColorIsFading( 3, 1 ), 0u );
	for ( u32 frame = 0; frame < 60; frame++ ) {
		Frame();
	}
	EXPECT_EQ( APIhud.ColorIsFading( 0xFFFFFFFF, 0x80000001 ), 0u ) << "the fade ran out";
	EXPECT_EQ( red( EF_HUD_GLOBAL_PALETTE, 1 ), 3 );
	// Palettes that are not there and groups past the count: nothing.
	for ( const u32 palette : { 4u, 10u, 0x7FFFFFFFu, 0xFFFFFFFEu } ) {
		APIhud.ColorCopy( palette, 0, 3, 0xFF );
		APIhud.ColorBlend( palette, 0, 3, 3, 1.0f, 0xFF );
		APIhud.ColorFadeStart( palette, 0, 3, 3, 1.0f, 0xFF );
		EXPECT_EQ( APIhud.ColorIsFading( palette, 0 ), 0u ) << palette;
	}
	EXPECT_EQ( red( 3, 0 ), 2 );
	EXPECT_EQ( APIhud.ColorIsFading( 3, 4 ), 0u );
	EXPECT_EQ( APIhud.ColorIsFading( 3, 0x80000009 ), 0u );
	APIhud.TextSetCurrentLanguage( 2 );
	EXPECT_EQ( APIhud.TextGetCurrentLanguage(), 2u );
}

}
