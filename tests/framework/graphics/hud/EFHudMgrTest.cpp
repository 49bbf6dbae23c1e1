/*
	The window tree: handles stay safe after their window dies, siblings
	keep their priority order, windows are placed and clipped against
	their parents, timers hide and delete, backgrounds draw both border
	kinds, and a level's end leaves nothing behind.
*/
#include "HudTestBench.h"

#include "framework/graphics/hud/EFHud2DWindow.h"

namespace {

class EFHudMgrTest : public HudTest {
protected:
	static EFHudWindow* Window( const u32 handle ) { return gpoHudMgr->GetWindow( handle ); }

	static u32 Add( const u32 parent = EF_HUD_ROOT_HANDLE, const u32 flags = 0, const u32 priority = 0,
					const HudWinType_e type = HUD_WIN_BASE ) {
		return gpoHudMgr->WindowAdd( type, parent, flags, priority );
	}

	static std::vector<u32> Children( const u32 parent ) {
		std::vector<u32> handles;
		for ( const EFHudWindow* w = Window( parent )->mpoFirstChild; w != nullptr; w = w->mpoNextSibling ) {
			handles.push_back( w->muiHandle );
		}
		return handles;
	}
};

// Records the quads the background asks for.
class QuadWindow : public EFHudWindow {
public:
	QuadWindow( const u32 flags ) : EFHudWindow( flags, 0 ) {}
	void FillPoly( const CVector2d* corners, const RwRGBA* colors ) override {
		quads.push_back( { { corners[0], corners[1], corners[2], corners[3] }, { colors[0], colors[1], colors[2], colors[3] } } );
	}
	struct Quad {
		std::array<CVector2d, 4>	corners;
		std::array<RwRGBA, 4>		colors;
	};
	std::vector<Quad> quads;
};

TEST_F( EFHudMgrTest, HandlesNameOnlyTheirOwnWindowAndTheTableHolds512 ) {
	const EFHudWindow* const root = Window( EF_HUD_ROOT_HANDLE );
	ASSERT_NE( root, nullptr );
	EXPECT_EQ( root->muiHandle >> 16, 1u ) << "the root takes slot 1";
	std::vector<u32> handles;
	for ( u32 i = 1; i < EF_HUD_WINDOW_SLOTS; i++ ) {
		handles.push_back( Add() );
		ASSERT_NE( handles.back(), 0u ) << i;
	}
	EXPECT_EQ( handles.back() >> 16, 0u ) << "slot 0 is taken last, when the search wraps";
	const u32 windows = gpoHudMgr->GetWindowCount();
	EXPECT_EQ( windows, 512u );
	EXPECT_EQ( Add(), 0u ) << "full";
	EXPECT_EQ( gpoHudMgr->GetWindowCount(), 512u ) << "nothing made";

	const u32 old = handles[100];
	gpoHudMgr->WindowDelete( old );
	EXPECT_EQ( Window( old ), nullptr );
	const u32 again = Add();
	EXPECT_EQ( again >> 16, old >> 16 ) << "the freed slot is reused";
	EXPECT_EQ( again & 0xFFFF, ( old & 0xFFFF ) + 1 ) << "with a higher serial";
	EXPECT_EQ( Window( old ), nullptr ) << "so the old handle stays dead";
	gpoHudMgr->WindowDelete( old );
	EXPECT_NE( Window( again ), nullptr ) << "deleting through a stale handle does nothing";

	gpoHudMgr->WindowDelete( EF_HUD_ROOT_HANDLE );
	EXPECT_EQ( Window( EF_HUD_ROOT_HANDLE ), root );
	EXPECT_EQ( Window( 0 ), nullptr );
	EXPECT_EQ( Window( 0x7000001 ), nullptr ) << "a slot past the table";
}

TEST_F( EFHudMgrTest, OddTypesMakeNothingAndUnknownParentsMeanTheRoot ) {
	const u32 before = gpoHudMgr->GetWindowCount();
	EXPECT_EQ( Add( EF_HUD_ROOT_HANDLE, 0, 0, static_cast<HudWinType_e>( 4 ) ), 0u );
	EXPECT_EQ( gpoHudMgr->GetWindowCount(), before );
	const u32 gone = Add();
	gpoHudMgr->WindowDelete( gone );
	const u32 orphan = Add( gone );
	EXPECT_EQ( Window( orphan )->mpoParent, Window( EF_HUD_ROOT_HANDLE ) );
	const u32 two = Add( EF_HUD_ROOT_HANDLE, 0, 0, HUD_WIN_2D );
	const EFHud2DWindow* const image = static_cast<const EFHud2DWindow*>( Window( two ) );
	EXPECT_EQ( image->mfUTiling, 1.0f );
	EXPECT_EQ( image->mfVTiling, 1.0f );
	EXPECT_EQ( image->muiColorGroup2D, 0u );
}

TEST_F( EFHudMgrTest, SiblingsKeepPriorityOrderNewestFirstAndDeletionTakesTheSubtree ) {
	const u32 parent = Add();
	const u32 low = Add( parent, 0, 1 );
	const u32 high = Add( parent, 0, 5 );
	const u32 equalOld = Add( parent, 0, 3 );
	const u32 equalNew = Add( parent, 0, 3 );
	EXPECT_EQ( Children( parent ), ( std::vector<u32>{ high, equalNew, equalOld, low } ) );
	const u32 grandChild = Add( equalOld );
	const u32 before = gpoHudMgr->GetWindowCount();
	gpoHudMgr->WindowDelete( equalOld );
	EXPECT_EQ( Children( parent ), ( std::vector<u32>{ high, equalNew, low } ) );
	EXPECT_EQ( Window( grandChild ), nullptr );
	EXPECT_EQ( gpoHudMgr->GetWindowCount(), before - 2 );
	Window( low )->muiId = 0xABC0001;
	EXPECT_EQ( gpoHudMgr->FindHudWindow( 0xABC0001 ), Window( low ) );
	EXPECT_EQ( gpoHudMgr->FindHudWindow( 0xABC0002 ), nullptr );
}

TEST_F( EFHudMgrTest, WindowsArePlacedAgainstTheirParentAndClippedToIt ) {
	struct Row {
		const char*		name;
		u32				flags;
		CRect			design;
		CRect			pos;
		CRect			clip;
	};
	// The parent covers (100, 120)-(420, 360), a 320 x 240 box.
	const Row rows[] = {
		{ "absolute", 0, { 0.25f, 0.25f, 0.125f, 0.125f }, { 160, 120, 80, 60 }, { 160, 120, 80, 60 } },
		{ "relative position", 0x1, { 0.5f, 0.5f, 0.125f, 0.125f }, { 260, 240, 80, 60 }, { 260, 240, 80, 60 } },
		{ "relative size", 0x2, { 0.5f, 0.25f, 0.25f, 0.5f }, { 260, 180, 80, 120 }, { 260, 180, 80, 120 } },
		{ "centred both ways", 0xC, { 0.0f, 0.0f, 0.125f, 0.125f }, { 120, 90, 80, 60 }, { 120, 120, 80, 30 } },
		{ "right and bottom", 0x30, { 0.0f, 0.0f, 0.125f, 0.125f }, { 240, 180, 80, 60 }, { 240, 180, 80, 60 } },
		{ "centred and right add up", 0x14, { 0.0f, 0.0f, 0.125f, 0.125f }, { 360, 0, 80, 60 }, { 360, 120, 60, -60 } },
		{ "partly outside", 0x1, { 0.875f, -0.125f, 0.25f, 0.25f }, { 380, 90, 160, 120 }, { 380, 120, 40, 90 } },
		{ "wholly outside", 0x1, { 2.0f, 0.0f, 0.125f, 0.125f }, { 740, 120, 80, 60 }, { 740, 120, -320, 60 } },
	};
	const u32 parent = Add();
	Window( parent )->moDesignRect = { 100.0f / 640.0f, 0.25f, 0.5f, 0.5f };
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		const u32 child = Add( parent, row.flags );
		Window( child )->moDesignRect = row.design;
		void* commands = nullptr;
		unsigned long count = 0;
		Window( EF_HUD_ROOT_HANDLE )->Update( 0.0f, commands, count );
		const EFHudWindow* const w = Window( child );
		EXPECT_EQ( ( std::vector<f32>{ w->moPosRect.x, w->moPosRect.y, w->moPosRect.w, w->moPosRect.h } ),
				   ( std::vector<f32>{ row.pos.x, row.pos.y, row.pos.w, row.pos.h } ) );
		EXPECT_EQ( ( std::vector<f32>{ w->moClipRect.x, w->moClipRect.y, w->moClipRect.w, w->moClipRect.h } ),
				   ( std::vector<f32>{ row.clip.x, row.clip.y, row.clip.w, row.clip.h } ) );
		gpoHudMgr->WindowDelete( child );
	}
}

TEST_F( EFHudMgrTest, TimersHideOrDeleteAtTheFirstRenderAfterTheyRunOutButNotWhileHidden ) {
	struct Row {
		const char*	name;
		u32			flags;
		bool		alive;
		bool		hidden;
	};
	const Row rows[] = {
		{ "delete", 0x400, false, false },
		{ "hide", 0x200, true, true },
		{ "hidden already: never expires", 0x500, true, true },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		const u32 handle = Add( EF_HUD_ROOT_HANDLE, row.flags | EF_HUD_TIMER_RUNNING );
		Window( handle )->mfTimer = 2.0f;
		Window( handle )->moDesignRect = { 0.0f, 0.0f, 0.25f, 0.25f };
		for ( u32 frame = 0; frame < 2; frame++ ) {
			Frame( 0.75f );
			ASSERT_NE( Window( handle ), nullptr ) << "1.5 s or less counted down at frame " << frame;
		}
		Frame( 0.75f );
		EXPECT_EQ( Window( handle ) != nullptr, row.alive );
		if ( Window( handle ) != nullptr ) {
			EXPECT_EQ( ( Window( handle )->muiFlags & EF_HUD_HIDDEN ) != 0, row.hidden );
			EXPECT_EQ( ( Window( handle )->muiFlags & EF_HUD_TIMER_RUNNING ) != 0, row.flags == 0x500 );
			gpoHudMgr->WindowDelete( handle );
		}
	}
}

TEST_F( EFHudMgrTest, BackgroundsDrawTheGroupAndFourBorderQuadsOfEitherKind ) {
	RwRGBA colors[4] = { { 1, 2, 3, 4 }, { 5, 6, 7, 8 }, { 9, 10, 11, 12 }, { 13, 14, 15, 16 } };
	EFFontColorGroup groups[2] = {};
	std::memcpy( groups[1].bytes, colors, 16 );
	gpoHudMgr->AddPalette( new EFHudPalette(), EF_HUD_GLOBAL_PALETTE, 2, groups );
	struct Row {
		const char*	name;
		u32			flags;
		f32			border[2];
		f32			bx;
		f32			by;
	};
	// Window 64 x 48 at (320, 240) under the 640 x 480 root.
	const Row rows[] = {
		{ "outer size", 0x800, { 0.125f, 0.125f }, 8.0f, 6.0f },
		{ "thickness", 0x1800, { 0.125f, 0.125f }, 80.0f, 60.0f },
		{ "none", 0x800, { 0.0f, 0.0f }, 0.0f, 0.0f },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		Window( EF_HUD_ROOT_HANDLE )->moPosRect = { 0.0f, 0.0f, 640.0f, 480.0f };
		QuadWindow window( row.flags );
		window.muiColorGroup = 1;
		window.mafBorder[0] = row.border[0];
		window.mafBorder[1] = row.border[1];
		window.moPosRect = { 320.0f, 240.0f, 64.0f, 48.0f };
		window.DrawBackGround();
		const bool bordered = row.border[0] != 0.0f;
		ASSERT_EQ( window.quads.size(), bordered ? 5u : 1u );
		const auto& inner = window.quads[0];
		EXPECT_EQ( inner.corners[0].x, 384.0f ) << "corner 0 is top-right";
		EXPECT_EQ( inner.corners[3].y, 288.0f ) << "corner 3 is bottom-left";
		EXPECT_EQ( inner.colors[2].red, 9 );
		if ( !bordered ) {
			continue;
		}
		// The left quad joins corners 1 and 3.
		const auto& left = window.quads[2];
		EXPECT_EQ( left.corners[0].x, 320.0f - row.bx );
		EXPECT_EQ( left.corners[0].y, 240.0f - row.by );
		EXPECT_EQ( left.corners[1].y, 288.0f + row.by );
		EXPECT_EQ( left.corners[2].x, 320.0f );
		EXPECT_EQ( left.colors[0].alpha, 0 ) << "outer corners are transparent black";
		EXPECT_EQ( left.colors[2].red, 5 ) << "inner ones take corner a's colour";
		EXPECT_EQ( left.colors[3].red, 5 );
	}
	QuadWindow missing( 0x800 );
	missing.muiColorGroup = 2;
	missing.DrawBackGround();
	EXPECT_TRUE( missing.quads.empty() ) << "a group the palette does not hold";
}

TEST_F( EFHudMgrTest, TerminateLeavesNoWindowFontPaletteOrTableAndTheNextFrameRemakesCameraAndPalette ) {
	InstallFont( 3 );
	InstallPalette( 2, 1 );
	InstallTexts( { ToolTextCommands().End() } );
	const u32 handle = Add( Add() );
	Frame();
	EFCamera* const firstCamera = gpoHudMgr->GetHudCamera();
	ASSERT_NE( firstCamera, nullptr );
	ASSERT_NE( gpoHudMgr->GetPalette( EF_HUD_GLOBAL_PALETTE ), nullptr );
	EXPECT_EQ( gpoHudMgr->GetPalette( EF_HUD_GLOBAL_PALETTE )->GetGroup( 0 )->aColors[3].alpha, 0xFF );
	gpoGraphicsMgr->Terminate();
	EXPECT_EQ( gpoHudMgr->GetFont( 3 ), nullptr );
	EXPECT_EQ( gpoHudMgr->GetPalette( 2 ), nullptr );
	EXPECT_EQ( gpoHudMgr->GetPalette( EF_HUD_GLOBAL_PALETTE ), nullptr );
	EXPECT_EQ( gpoHudMgr->GetTextTable(), nullptr );
	EXPECT_EQ( gpoHudMgr->GetRootWindow()->mpoFirstChild, nullptr );
	EXPECT_EQ( gpoHudMgr->GetWindowCount(), 1u ) << "the root stays";
	EXPECT_EQ( Window( handle ), nullptr );
	EXPECT_EQ( gpoHudMgr->GetHudCamera(), nullptr );
	Frame();
	EXPECT_NE( gpoHudMgr->GetHudCamera(), nullptr );
	EXPECT_NE( gpoHudMgr->GetPalette( EF_HUD_GLOBAL_PALETTE ), nullptr );
}

TEST_F( EFHudMgrTest, AFrameSetsTheHudStatesAndPutsTheSavedOnesBack ) {
	Frame();
	std::map<s32, uintptr_t> last;
	for ( const HudStateSet& set : HudStates() ) {
		last[set.state] = set.value;
	}
	ASSERT_FALSE( HudStates().empty() );
	EXPECT_EQ( last[9], 2u ) << "filter";
	EXPECT_EQ( last[10], 5u );
	EXPECT_EQ( last[11], 6u );
	// Z write, Z test, fog and vertex alpha go back to what the device said.
	const uintptr_t reported = reinterpret_cast<uintptr_t>( nullptr );
	for ( const s32 state : { 8, 6, 14, 12 } ) {
		EXPECT_EQ( last[state], reported ) << state;
	}
}

}
