/*
	A frame of every screen effect, drawn and updated ten times, allocates
	nothing from the library or the engine heaps.
*/
#include "ScreenEffectsTestBench.h"

#include "framework/graphics/effects/EFBillboardMgr.h"
#include "framework/graphics/effects/EFLensFlareFX.h"
#include "framework/graphics/effects/EFMotionTrailMgr.h"
#include "framework/graphics/effects/EFSprite.h"
#include "framework/graphics/effects/EFSpriteGroup.h"
#include "framework/graphics/effects/EFSpriteMgr.h"
#include "support/TestArenaUse.h"

namespace {

RwMemoryFunctions gSavedMemory;
u32 gLibraryAllocations = 0;

void* CountingMalloc( const u32 size ) {
	gLibraryAllocations++;
	return gSavedMemory.rwmalloc( size );
}

void* CountingCalloc( const u32 count, const u32 size ) {
	gLibraryAllocations++;
	return gSavedMemory.rwcalloc( count, size );
}

class EffectsAllocationTest : public ScreenEffectsTest {
protected:
	void TearDown() override {
		goSpriteMgr.Terminate();
		goMotionTrailMgr.Terminate();
		goLensFlareFX.Terminate();
		ScreenEffectsTest::TearDown();
	}
};

TEST_F( EffectsAllocationTest, DrawingAndTrailUpdatesAllocateNothing ) {
	AddTexture( "BB" );
	EFSpriteGroup* const group = goSpriteMgr.AddSpriteGroup();
	group->mui32Flags = 0x01;
	for ( u32 i = 0; i < 300; i++ ) {
		EFSprite* const sprite = group->GetSprite( group->AddSprite( 0, EF_SPRITE_NO_JOINT, 0.5f ) );
		sprite->GetFrame()->GetRwFrame()->modelling.pos = { 0.0f, 0.0f, 2.0f + 0.1f * static_cast<f32>( i ) };
		RwFrameUpdateObjects( sprite->GetFrame()->GetRwFrame() );
	}
	EFBillboardMgr billboards;
	char name[] = "BB";
	DTVector3d* positions = nullptr;
	u32* colours = nullptr;
	f32* rotations = nullptr;
	f32* sizes = nullptr;
	ASSERT_NE( billboards.AddBillboardGroup( 500, name, 0, &positions, &colours, &rotations, &sizes ), 0xFFFFFFFFu );
	for ( u32 i = 0; i < 500; i++ ) {
		positions[i] = DTVector3d( 0.0f, 0.0f, 16.0f );
		colours[i] = 0xFFFFFFFF;
		rotations[i] = 0.01f * static_cast<f32>( i );
		sizes[i] = 1.0f;
	}
	const u32 trail = goMotionTrailMgr.CreateSystem( 8, 64, EF_TRAIL_STORED_POSITIONS );
	goMotionTrailMgr.Start( trail );
	goMotionTrailMgr.SetFrequency( trail, 0.0f );
	goLensFlareFX.mbActive = 1;
	goLensFlareFX.mfSunPosition[2] = 10.0f;
	// The flare's groups are made at its first drawing.
	goLensFlareFX.Render( *view );
	const s64 heaps = TestArenaUse();
	gSavedMemory = RwEngineInstance->memoryFunctions;
	gLibraryAllocations = 0;
	RwEngineInstance->memoryFunctions.rwmalloc = CountingMalloc;
	RwEngineInstance->memoryFunctions.rwcalloc = CountingCalloc;
	for ( u32 frame = 0; frame < 10; frame++ ) {
		goMotionTrailMgr.Update( 0.033f );
		goSpriteMgr.RenderNormal();
		billboards.Render();
		goMotionTrailMgr.Render();
		goLensFlareFX.Render( *view );
	}
	RwEngineInstance->memoryFunctions = gSavedMemory;
	EXPECT_EQ( gLibraryAllocations, 0u );
	EXPECT_EQ( TestArenaUse(), heaps );
	EXPECT_GE( Draws().size(), 10u * ( 3 + 4 + 4 + 1 ) );
	billboards.Terminate();
}

} // namespace
