/*
	Window trees from the level: every window type's record loads as the
	tools wrote it and saves back to the same bytes; trees that promise
	more than they hold, or children the manager cannot make, stop at once
	and fail. 2D windows take their texture's size and draw untextured
	without one; 3D windows whose game object is gone draw nothing.
*/
#include "HudTestBench.h"

#include "datatypes/persist/DTBasePersistStream.h"
#include "framework/graphics/hud/EFHud2DWindow.h"
#include "framework/graphics/hud/EFHud3DWindow.h"
#include "framework/graphics/hud/EFHudWindowStreamer.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwTexture.h"
#include "tools/lib/level/ToolHudWindowWriter.h"

namespace {

// Saves big-endian, strings as the tools store them; loads nothing.
class SavingStream : public DTBasePersistStream {
public:
	ToolBigEndianWriter out;
	s32 LoadData( char& ) override { return DT_PERSIST_READ_PAST_END; }
	s32 LoadData( s8& ) override { return DT_PERSIST_READ_PAST_END; }
	s32 LoadData( s16& ) override { return DT_PERSIST_READ_PAST_END; }
	s32 LoadData( s32& ) override { return DT_PERSIST_READ_PAST_END; }
	s32 LoadData( s64& ) override { return DT_PERSIST_READ_PAST_END; }
	s32 LoadData( u8& ) override { return DT_PERSIST_READ_PAST_END; }
	s32 LoadData( u16& ) override { return DT_PERSIST_READ_PAST_END; }
	s32 LoadData( u32& ) override { return DT_PERSIST_READ_PAST_END; }
	s32 LoadData( f32& ) override { return DT_PERSIST_READ_PAST_END; }
	s32 SaveData( const char& v ) override { out.WriteU8( v ); return DT_PERSIST_OK; }
	s32 SaveData( const s8& v ) override { out.WriteS8( v ); return DT_PERSIST_OK; }
	s32 SaveData( const s16& v ) override { out.WriteS16( v ); return DT_PERSIST_OK; }
	s32 SaveData( const s32& v ) override { out.WriteS32( v ); return DT_PERSIST_OK; }
	s32 SaveData( const s64& v ) override { out.WriteS64( v ); return DT_PERSIST_OK; }
	s32 SaveData( const u8& v ) override { out.WriteU8( v ); return DT_PERSIST_OK; }
	s32 SaveData( const u16& v ) override { out.WriteU16( v ); return DT_PERSIST_OK; }
	s32 SaveData( const u32& v ) override { out.WriteU32( v ); return DT_PERSIST_OK; }
	s32 SaveData( const f32& v ) override { out.WriteF32( v ); return DT_PERSIST_OK; }
	s32 SaveTextData( const char* text ) override { return out.WriteString( text ) ? DT_PERSIST_OK : DT_PERSIST_READ_PAST_END; }
	s32 LoadTextData( char*, const s32 ) override { return DT_PERSIST_READ_PAST_END; }
};

ToolHudWindow SampleTree() {
	ToolHudWindow root;
	root.id = 1;
	ToolHudWindow text;
	text.type = HUD_WIN_TEXT;
	text.flags = 0x10800;
	text.priority = 4;
	text.id = 0x1234;
	text.colorGroup = 1;
	text.border[0] = 0.25f;
	text.design[0] = 0.5f;
	text.margins[1] = 0.125f;
	text.color = 0x80000001;
	text.font = 2;
	text.textId = 7;
	text.arguments[19] = 99;
	ToolHudWindow image;
	image.type = HUD_WIN_2D;
	image.priority = 9;
	image.id = 0x2000;
	image.tiling[0] = 2.0f;
	image.colorGroup2D = 3;
	image.texture = "NOT_IN_THE_DICTIONARY";
	ToolHudWindow model;
	model.type = HUD_WIN_3D;
	model.id = 0x3000;
	model.ownerId = 0x42;
	model.objectIndex = 1;
	image.children.push_back( model );
	root.children = { text, image };
	return root;
}

class EFHudWindowStreamTest : public HudTest {
protected:
	static s32 LoadTree( std::vector<u8> bytes ) {
		DTMemoryPersistStream stream( reinterpret_cast<char*>( bytes.data() ), static_cast<s32>( bytes.size() ) );
		EFHudWindowStreamer streamer;
		return streamer.LoadPropertiesBinary( stream );
	}
};

TEST_F( EFHudWindowStreamTest, AToolsWrittenTreeLoadsAsWrittenAndSavesBackEqual ) {
	const ToolHudWindow tree = SampleTree();
	ASSERT_EQ( LoadTree( ToolHudWindowWriter::Encode( tree ) ), DT_PERSIST_OK );
	const EFHudWindow* const root = gpoHudMgr->GetRootWindow();
	EXPECT_EQ( root->muiId, 1u );
	const EFHudWindow* const image = root->mpoFirstChild;
	ASSERT_NE( image, nullptr );
	EXPECT_EQ( image->meType, HUD_WIN_2D ) << "priority 9 first";
	const EFHudWindow* const text = image->mpoNextSibling;
	ASSERT_NE( text, nullptr );
	EXPECT_EQ( text->meType, HUD_WIN_TEXT );
	EXPECT_EQ( text->muiFlags, 0x10800u );
	EXPECT_EQ( text->muiPriority, 4u );
	const EFHudTextWindow* const typed = static_cast<const EFHudTextWindow*>( text );
	EXPECT_EQ( typed->muiTextId, 7u );
	EXPECT_EQ( typed->mauiArguments[19], 99u );
	EXPECT_EQ( static_cast<const EFHud2DWindow*>( image )->GetTexture(), nullptr );
	const EFHudWindow* const model = image->mpoFirstChild;
	ASSERT_NE( model, nullptr );
	EXPECT_EQ( static_cast<const EFHud3DWindow*>( model )->muiOwnerId, EF_HUD_NO_OWNER ) << "no such game object";

	// Each record saves back to the tools' bytes (the missing texture and
	// game object aside).
	ToolHudWindow expected = tree.children[0];
	SavingStream saved;
	ASSERT_NE( const_cast<EFHudWindow*>( text )->SaveWindowType( saved ), 0u );
	ToolHudWindow leaf = expected;
	leaf.children.clear();
	leaf.storedChildCount.reset();
	ToolBigEndianWriter written;
	ToolHudWindowWriter::WriteTree( written, leaf );
	std::vector<u8> record = written.Take();
	record.resize( record.size() - 4 );
	EXPECT_EQ( saved.out.Take(), record );
}

TEST_F( EFHudWindowStreamTest, ShortTreesAndUnmadeChildrenStopAndFail ) {
	struct Row {
		const char*	name;
		u32			childCount;
		u32			secondType;
		size_t		cut;
		u32			windows;	// made besides the root
	};
	const Row rows[] = {
		{ "four billion children promised", 0xFFFFFFFF, HUD_WIN_2D, 0, 3 },
		{ "an unmade child ends the load", 2, 7, 0, 1 },
		{ "a record cut short", 2, HUD_WIN_2D, 30, 3 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		gpoGraphicsMgr->Terminate();
		ToolHudWindow tree = SampleTree();
		tree.storedChildCount = row.childCount;
		tree.children[1].type = row.secondType;
		std::vector<u8> bytes = ToolHudWindowWriter::Encode( tree );
		bytes.resize( bytes.size() - row.cut );
		EXPECT_EQ( LoadTree( bytes ), DT_PERSIST_READ_PAST_END );
		EXPECT_EQ( gpoHudMgr->GetWindowCount(), 1 + row.windows );
	}
}

TEST_F( EFHudWindowStreamTest, TwoDWindowsTakeTheTexturesSizeAndDrawPlainWithoutOne ) {
	InstallPalette( EF_HUD_GLOBAL_PALETTE, 4 );
	const u32 handle = gpoHudMgr->WindowAdd( HUD_WIN_2D, EF_HUD_ROOT_HANDLE, 0x30000, 0 );
	EFHud2DWindow& window = *static_cast<EFHud2DWindow*>( gpoHudMgr->GetWindow( handle ) );
	window.muiColorGroup2D = 3;
	window.mfUTiling = 2.0f;
	window.mfVTiling = 0.5f;
	window.moDesignRect = { 0.25f, 0.25f, 0.125f, 0.125f };
	Frame();
	ASSERT_EQ( HudDraws().size(), 1u );
	EXPECT_EQ( window.moPosRect.w, 80.0f ) << "no texture: the size stays";
	const HudDraw& plain = HudDraws()[0];
	EXPECT_EQ( plain.primitive, 4 );
	EXPECT_EQ( plain.raster, nullptr );
	EXPECT_EQ( ( std::vector<f32>{ plain.vertices[3].x, plain.vertices[3].y, plain.vertices[3].u, plain.vertices[3].v } ),
			   ( std::vector<f32>{ 240.0f, 180.0f, 2.0f, 0.5f } ) );
	EXPECT_EQ( plain.vertices[0].r, 3 ) << "group 3 of the global palette";

	RwRaster* const raster = RwRasterCreate( 64, 32, 0, 4 );
	ASSERT_NE( raster, nullptr );
	RwTexture* const texture = RwTextureCreate( raster );
	window.mpoTexture = texture;
	window.mfVTiling = 1.0f;
	Frame();
	EXPECT_EQ( window.moPosRect.w, 128.0f );
	EXPECT_EQ( window.moPosRect.h, 32.0f );
	ASSERT_EQ( HudDraws().size(), 1u );
	EXPECT_EQ( HudDraws()[0].raster, raster );
	EXPECT_EQ( HudDraws()[0].vertices[3].u, 4.0f ) << "128 x 2 / 64: the texture keeps its pixel size";
	window.mpoTexture = nullptr;
	RwTextureDestroy( texture );
}

TEST_F( EFHudWindowStreamTest, AThreeDWindowWhoseObjectIsGoneDrawsNothing ) {
	const u32 handle = gpoHudMgr->WindowAdd( HUD_WIN_3D, EF_HUD_ROOT_HANDLE, 0, 0 );
	EFHud3DWindow& window = *static_cast<EFHud3DWindow*>( gpoHudMgr->GetWindow( handle ) );
	window.muiOwnerId = 0x0BAD0001;
	window.muiObjectIndex = 0;
	Frame();
	EXPECT_TRUE( HudDraws().empty() );
	EXPECT_EQ( window.Get3dObject(), nullptr );
}

}
