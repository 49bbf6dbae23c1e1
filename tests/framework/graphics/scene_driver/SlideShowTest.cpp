/*
	The slide show over a temporary disc: paging both ways through two
	full turns for several slide counts (each shown slide is the file's
	own), a read kept in progress delaying the load steps and a turn
	waiting on it, the strips over the screen, and malformed files.
*/
#include "SceneDriverTestBench.h"

#include "support/HostTestDisc.h"

#include "datatypes/memory/MMMemory.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/graphics/EFSlideShow.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/core/RwTexture.h"
#include "tools/lib/level/ToolSlideWriter.h"

#include <string>
#include <vector>

namespace {

constexpr u32 VIEWER = 0x2A000050;

u32 gSlideNotices = 0;

s32 CountNotice( void*, void* ) {
	gSlideNotices++;
	return 0;
}

class SlideShowTest : public SceneDriverTest {
protected:
	void SetUp() override {
		SceneDriverTest::SetUp();
		ASSERT_TRUE( disc.Open() );
		Start( false );
		if ( RwTexDictionaryGetCurrent() == nullptr ) {
			RwTexDictionarySetCurrent( RwTexDictionaryCreate() );
		}
		gpoGameLogicMgr = new EFGameLogicMgr();
		viewer = new EFGameObject;
		viewer->SetUID( VIEWER );
		gSlideNotices = 0;
		gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( NO_SLIDE, VIEWER, VIEWER, &CountNotice, nullptr );
	}

	void TearDown() override {
		EFSlideShow::Destroy();
		EFSlideShow_SP::SetReadPolls( 0 );
		delete viewer;
		delete gpoGameLogicMgr;
		gpoGameLogicMgr = nullptr;
		RwTexDictionaryDestroy( RwTexDictionaryGetCurrent() );
		RwTexDictionarySetCurrent( RwTexDictionaryCreate() );
		SceneDriverTest::TearDown();
		disc.Close();
	}

	void WriteFiles( const u32 files, const ToolSlideVariant_e variant = TOOL_SLIDE_WELL_FORMED ) {
		for ( u32 k = 0; k < files; k++ ) {
			ASSERT_TRUE( disc.WriteFile( "SLIDE" + std::to_string( k ) + ".SLD", ToolSampleSlideFile( k, variant ) ) );
		}
	}

	// Renders until the show is ready (at most limit frames); the frames.
	static u32 RenderUntilReady( const u32 limit = 20 ) {
		u32 frames = 0;
		while ( EFSlideShow::poSlideShow->muiState != EF_SLIDE_STATE_READY && frames < limit ) {
			EFSlideShow::Render();
			frames++;
		}
		return frames;
	}

	// Name of the shown slide's first picture.
	static std::string Shown() {
		const EFSlide* const slide = EFSlideShow::poSlideShow->mpoCurrentBlock->mpoCurrentSlide;
		return slide->mapoTexture[0] != nullptr ? slide->mapoTexture[0]->name : "";
	}

	static std::string Expected( const u32 slide ) { return "SL" + std::to_string( slide ) + "_0"; }

	HostTestDisc	disc;
	EFGameObject*	viewer = nullptr;
};

TEST_F( SlideShowTest, PagesBothWaysThroughTwoFullTurnsForEverySlideCount ) {
	// The disc's files are listed when it opens: all are written first.
	WriteFiles( 3 );
	for ( const u32 count : { 2u, 4u, 7u, 9u, 10u } ) {
		SCOPED_TRACE( count );
		const u32 files = count / 3;
		gSlideNotices = 0;
		EFSlideShow::Create( count );
		if ( count < 3 ) {
			EXPECT_EQ( EFSlideShow::poSlideShow, nullptr );
			continue;
		}
		ASSERT_NE( EFSlideShow::poSlideShow, nullptr );
		EFSlideShow::SetGameObj( viewer );
		EXPECT_EQ( EFSlideShow::Next(), 0u );
		EXPECT_EQ( RenderUntilReady(), 3u );
		EXPECT_EQ( gSlideNotices, 1u );
		EXPECT_NE( EFSlideShow::poSlideShow->mpoCamera, nullptr );
		const u32 shown = files * 3;
		EXPECT_EQ( Shown(), Expected( 0 ) );
		if ( count == 9 ) {
			// blocks rotate and block 0's predecessor wraps to block 1.
			EXPECT_EQ( EFSlideShow::Prev(), 1u );
			EXPECT_EQ( Shown(), Expected( 8 ) );
			EXPECT_EQ( EFSlideShow::poSlideShow->muiCurrentNumber, 2u );
			EXPECT_EQ( EFSlideShow::poSlideShow->muiPreviousNumber, 1u );
			EXPECT_EQ( EFSlideShow::poSlideShow->muiNextNumber, 0u );
			EXPECT_EQ( EFSlideShow::Next(), 1u );
		}
		for ( u32 step = 1; step <= 2 * shown; step++ ) {
			ASSERT_EQ( EFSlideShow::Next(), 1u );
			ASSERT_EQ( Shown(), Expected( step % shown ) ) << "forward step " << step;
		}
		for ( u32 step = 1; step <= 2 * shown; step++ ) {
			ASSERT_EQ( EFSlideShow::Prev(), 1u );
			ASSERT_EQ( Shown(), Expected( ( 2 * shown - step ) % shown ) ) << "backward step " << step;
		}
		EFSlideShow::Render();
		EXPECT_EQ( gSlideNotices, 1u );
		// The show's textures stay until the level's dictionary goes.
		EFSlideShow::Destroy();
		RwTexDictionaryDestroy( RwTexDictionaryGetCurrent() );
		RwTexDictionarySetCurrent( RwTexDictionaryCreate() );
	}
}

TEST_F( SlideShowTest, AReadInProgressDelaysTheLoadStepAndOnlyATurnToAnUnreadBlockWaits ) {
	WriteFiles( 3 );
	EFSlideShow_SP::SetReadPolls( 3 );
	EFSlideShow::Create( 9 );
	EFSlideShow& show = *EFSlideShow::poSlideShow;
	EFGameObject* const dying = new EFGameObject;
	dying->SetUID( VIEWER );
	EFSlideShow::SetGameObj( dying );
	delete dying;
	for ( u32 frame = 0; frame < 3; frame++ ) {
		EFSlideShow::Render();
	}
	EXPECT_EQ( show.muiLoadStep, 0u );
	EFSlideShow::Render();
	EXPECT_EQ( show.muiLoadStep, 1u );
	EXPECT_EQ( RenderUntilReady(), 8u );
	// Registered with an object that died before the show was ready: no
	// notice, nothing read through the dead object (ASan).
	EXPECT_EQ( gSlideNotices, 0u );
	// Slide 3 is resident: the turn starts reading block 2 again and
	// waits for nothing; nor does turning back and forth.
	const u32 busy = EFSlideShow_SP::GetBusyPolls();
	for ( u32 step = 0; step < 3; step++ ) {
		EFSlideShow::Next();
	}
	EXPECT_EQ( Shown(), Expected( 3 ) );
	EFSlideShow::Prev();
	EFSlideShow::Next();
	EXPECT_EQ( EFSlideShow_SP::GetBusyPolls(), busy );
	// Slide 6 is in the block being read: the turn waits three polls.
	for ( u32 step = 0; step < 3; step++ ) {
		EFSlideShow::Next();
	}
	EXPECT_EQ( Shown(), Expected( 6 ) );
	EXPECT_EQ( EFSlideShow_SP::GetBusyPolls(), busy + 3 );

}

TEST_F( SlideShowTest, StripsCoverTheScreenAndAPictureOfOddSizeIsResampled ) {
	std::vector<ToolSlide> slides;
	for ( u32 i = 0; i < 3; i++ ) {
		slides.push_back( ToolSolidSlide( "SL" + std::to_string( i ), i == 0 ? 100 : 128, i == 0 ? 60 : 448, 9 ) );
	}
	std::vector<u8> bytes;
	ASSERT_TRUE( ToolWriteSlideFile( slides, bytes ) );
	ASSERT_TRUE( disc.WriteFile( "SLIDE0.SLD", bytes ) );
	EFSlideShow::Create( 3 );
	RenderUntilReady();
	const RwRaster* const raster = EFSlideShow::poSlideShow->mpoCurrentBlock->maoSlide[0].mapoTexture[0]->raster;
	EXPECT_EQ( raster->width, 256 );
	EXPECT_EQ( raster->height, 256 );
	for ( const u32 height : { 480u, 448u } ) {
		SCOPED_TRACE( height );
		SetScreen( 640, height );
		GXHostClearLog();
		EFSlideShow::Render();
		std::vector<const GXHostDraw*> strips = Draws();
		ASSERT_EQ( strips.size(), 5u );
		for ( u32 k = 0; k < 5; k++ ) {
			const GXHostVertex& first = strips[k]->vertices[0];
			const GXHostVertex& last = strips[k]->vertices[3];
			EXPECT_FLOAT_EQ( first.position[0], 128.0f * static_cast<f32>( k ) );
			EXPECT_FLOAT_EQ( first.position[1], 0.0f );
			EXPECT_FLOAT_EQ( last.position[0], 128.0f * static_cast<f32>( k + 1 ) );
			EXPECT_FLOAT_EQ( last.position[1], static_cast<f32>( height ) );
			EXPECT_FLOAT_EQ( last.texCoord[0][0], 1.0f );
			EXPECT_FLOAT_EQ( last.texCoord[0][1], 1.0f );
			EXPECT_FALSE( strips[k]->state.zUpdate );
		}
	}
}

TEST_F( SlideShowTest, MalformedFilesFailTheBlockRestoreTheHeapAndNeverReachOtherTextures ) {
	// A level texture named like a slide's picture survives the slides.
	RwTexture* const level = RwTextureCreate( RwRasterCreate( 8, 8, 0, rwRASTERTYPETEXTURE | 0x500 ) );
	RwTextureSetName( level, "SL0_2" );
	RwTexDictionaryAddTexture( RwTexDictionaryGetCurrent(), level );
	struct Row {
		ToolSlideVariant_e	variant;
		s32					result;
	};
	const Row rows[] = {
		{ TOOL_SLIDE_WELL_FORMED, 0 },
		{ TOOL_SLIDE_TRUNCATED, EF_SLIDE_BLOCK_FAILED },
		{ TOOL_SLIDE_MISLABELLED, 0 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.variant );
		const std::vector<u8> bytes = ToolSampleSlideFile( 0, row.variant );
		EFSlideBlock* const block = new EFSlideBlock;
		const u32 heap = MMChangeHeap( 0 );
		EXPECT_EQ( block->LoadBlock( bytes.data(), static_cast<u32>( bytes.size() ) ), row.result );
		EXPECT_EQ( MMGetActualHeap(), 0u );
		MMChangeHeap( heap );
		// The mislabelled strip draws without a texture and never takes the
		// level's texture of that name.
		EXPECT_EQ( block->maoSlide[0].mapoTexture[2] != nullptr, row.variant != TOOL_SLIDE_MISLABELLED );
		EXPECT_NE( block->maoSlide[0].mapoTexture[2], level );
		block->Reset();
		block->Reset();
		delete block;
		EXPECT_EQ( level->dict, RwTexDictionaryGetCurrent() );
	}
	// A file beyond the buffer, or none, reads as 0 bytes and fails.
	std::vector<u8> big = ToolSampleSlideFile( 0, TOOL_SLIDE_OVERSIZED );
	ASSERT_TRUE( disc.WriteFile( "SLIDE0.SLD", big ) );
	EFSlideShow::Create( 3 );
	EXPECT_EQ( EFSlideShow::poSlideShow->GetBytesRead(), 0u );
	EXPECT_EQ( RenderUntilReady(), 3u );
	EXPECT_EQ( EFSlideShow::poSlideShow->mpoCurrentBlock->maoSlide[0].mapoTexture[0], nullptr );
	GXHostClearLog();
	EFSlideShow::Render();
	EXPECT_EQ( Draws().size(), 5u );
}

}
