/*
	The loading screen: drawn frames are paced at 1/30 s of virtual time
	(the two owed after loading and the complete load always drawn), the
	background covers the screen at one texel per pixel, the bar grows
	with the progress, and a missing picture ends the camera update and
	gives the heap back without showing anything.
*/
#include "SceneDriverTestBench.h"

#include "datatypes/memory/MMMemory.h"
#include "datatypes/persist/DTMemoryPersistStream.h"
#include "framework/graphics/EFLoadingScreen.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/core/RwTexture.h"
#include "platform/os/OS.h"
#include "tools/lib/ToolBigEndianWriter.h"
#include "tools/lib/level/ToolLevelWriter.h"

#include <vector>

namespace {

class LoadingScreenTest : public SceneDriverTest {
protected:
	void SetUp() override {
		SceneDriverTest::SetUp();
		Start( false );
		GXHostSetFramesKept( 64 );
		screen = new EFLoadingScreen;
		screen->mpoBackground = RwTextureCreate( RwRasterCreate( 1024, 512, 0, rwRASTERTYPETEXTURE | 0x500 ) );
		screen->mpoBar = RwTextureCreate( RwRasterCreate( 64, 64, 0, rwRASTERTYPETEXTURE | 0x500 ) );
		ASSERT_NE( screen->mpoBackground, nullptr );
		ASSERT_NE( screen->mpoBar, nullptr );
		GXHostClearLog();
	}

	void TearDown() override {
		delete screen;
		SceneDriverTest::TearDown();
	}

	// Strips drawn so far (two per drawn frame).
	static u32 Strips() {
		u32 strips = 0;
		for ( const GXHostDraw* draw : Draws() ) {
			strips += draw->vertices.size() == 4 ? 1 : 0;
		}
		return strips;
	}

	EFLoadingScreen* screen = nullptr;
};

TEST_F( LoadingScreenTest, DrawsTheOwedFramesThenOnePerThirtiethAndTheCompleteLoad ) {
	screen->mi32ForcedFrames = EF_LOADING_FORCED_FRAMES;
	std::vector<u32> drawn;
	const s64 step = OSMillisecondsToTicks( 10 );
	for ( u32 call = 0; call < 7; call++ ) {
		if ( call > 0 ) {
			HostClockSet( HostClockNow() + step );
		}
		const u32 before = Strips();
		screen->Update( call == 6 ? 1.0f : 0.1f * static_cast<f32>( call ) );
		if ( Strips() != before ) {
			drawn.push_back( call );
		}
	}
	// The owed frames at 0 and 10 ms; at 50 ms 1/30 s has passed since the
	// last one; the complete load 10 ms later is drawn all the same.
	EXPECT_EQ( drawn, ( std::vector<u32>{ 0, 1, 5, 6 } ) );
}

TEST_F( LoadingScreenTest, CoversTheScreenAtOneTexelPerPixelAndRevealsTheBar ) {
	struct Row {
		u32		height;
		f32		progress;
	};
	const Row rows[] = { { 448, 0.5f }, { 480, 0.5f }, { 480, 0.0f } };
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.height );
		SetScreen( 640, row.height );
		GXHostClearLog();
		screen->mi32ForcedFrames = 1;
		screen->Update( row.progress );
		std::vector<const GXHostDraw*> strips;
		for ( const GXHostDraw* draw : Draws() ) {
			if ( draw->vertices.size() == 4 ) {
				strips.push_back( draw );
			}
		}
		ASSERT_EQ( strips.size(), 2u );
		const GXHostVertex& corner = strips[0]->vertices[3];
		EXPECT_FLOAT_EQ( corner.position[0], 640.0f );
		EXPECT_FLOAT_EQ( corner.position[1], static_cast<f32>( row.height ) );
		EXPECT_FLOAT_EQ( corner.texCoord[0][0], 640.0f / 1024.0f );
		EXPECT_FLOAT_EQ( corner.texCoord[0][1], static_cast<f32>( row.height ) / 512.0f );
		const GXHostVertex& barStart = strips[1]->vertices[0];
		const GXHostVertex& barEnd = strips[1]->vertices[3];
		EXPECT_FLOAT_EQ( barStart.position[0], 318.0f );
		EXPECT_FLOAT_EQ( barStart.position[1], 400.0f );
		EXPECT_FLOAT_EQ( barEnd.position[0], 318.0f + 100.0f * row.progress );
		EXPECT_FLOAT_EQ( barEnd.position[1], 450.0f );
		EXPECT_FLOAT_EQ( barEnd.texCoord[0][0], row.progress );
		EXPECT_FLOAT_EQ( barEnd.texCoord[0][1], 1.0f );
	}
}

TEST_F( LoadingScreenTest, AMissingPictureEndsTheUpdateAndRestoresTheHeapWithoutShowing ) {
	RwTextureDestroy( screen->mpoBar );
	screen->mpoBar = nullptr;
	const u32 heap = MMChangeHeap( 1 );
	const u32 frames = screen->mpoCamera->GetFrameCount();
	screen->mi32ForcedFrames = 1;
	screen->Update( 1.0f );
	EXPECT_EQ( MMGetActualHeap(), 1u );
	EXPECT_EQ( screen->mpoCamera->GetFrameCount(), frames + 1 );
	EXPECT_EQ( Strips(), 0u );
	MMChangeHeap( heap );
}

TEST_F( LoadingScreenTest, APictureBothNamesFindIsDestroyedOnce ) {
	// A damaged LOAD.LS can name one picture twice; the screen ends
	// without destroying it twice.
	if ( RwTexDictionaryGetCurrent() == nullptr ) {
		RwTexDictionarySetCurrent( RwTexDictionaryCreate() );
	}
	RwTexture* const picture = RwTextureCreate( RwRasterCreate( 64, 64, 0, rwRASTERTYPETEXTURE | 0x500 ) );
	ASSERT_NE( picture, nullptr );
	RwTextureSetName( picture, "LOADBACK" );
	RwTexDictionaryAddTexture( RwTexDictionaryGetCurrent(), picture );
	ToolLoadingScreen description;
	description.background = "LOADBACK";
	description.bar = "LOADBACK";
	ToolBigEndianWriter out;
	ASSERT_TRUE( ToolLevelWriter::WriteLoadingScreen( out, description ) );
	std::vector<u8> bytes = out.Bytes();
	DTMemoryPersistStream stream( reinterpret_cast<char*>( bytes.data() ), static_cast<s32>( bytes.size() ) );
	EFLoadingScreen* const twice = new EFLoadingScreen;
	twice->LoadFromStream( stream );
	ASSERT_EQ( twice->mpoBackground, picture );
	ASSERT_EQ( twice->mpoBar, picture );
	delete twice;
	EXPECT_EQ( RwTexDictionaryFindNamedTexture( RwTexDictionaryGetCurrent(), "LOADBACK" ), nullptr );
}

}
