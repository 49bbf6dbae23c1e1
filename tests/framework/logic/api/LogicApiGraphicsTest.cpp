/*
	The graphics and frame-buffer effect tables: a sprite group made and
	drawn through the slots, the blend colour of a game object's model, a
	texture fade started and held on the running object's model, a motion
	trail fed and stopped, and effects created, refused and tuned.
*/
#include "framework/graphics/particles/ParticleTestBench.h"

#include "framework/graphics/ApAtomicDataPlugin.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/effects/EFFBEffectMgr.h"
#include "framework/graphics/effects/EFFBEffect_FrameDistortion_BC.h"
#include "framework/graphics/effects/EFMotionTrailMgr.h"
#include "framework/graphics/effects/EFShadowMgr_BC.h"
#include "framework/graphics/effects/EFSpriteMgr.h"
#include "framework/logic/api/LogicApiTables.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpMaterial.h"
#include "graphics3d/world/RpMaterialList.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

constexpr u32 OBJECT = 0x2A000010;

class LogicApiGraphicsTest : public ParticleTestBench {
protected:
	void SetUp() override {
		ParticleTestBench::SetUp();
		Init_graphics();
		Init_fbeffects();
		object = MakeObject( OBJECT, 0.25f, 0.25f, 2.0f );
	}

	void TearDown() override {
		goSpriteMgr.Terminate();
		goMotionTrailMgr.Terminate();
		goFBEffectMgr.Terminate();
		ParticleTestBench::TearDown();
	}

	EFGameObject* object = nullptr;
};

TEST_F( LogicApiGraphicsTest, AGroupOfTwoSpritesOnAnObjectDraws ) {
	EXPECT_EQ( APIgraphics.SpriteGroupAddSprite( 0x7777, OBJECT, 0x6FFFFFFF, 1.0f ), 0u ) << "no such group";
	const u32 group = APIgraphics.SpriteAddGroup();
	ASSERT_NE( group, 0u );
	APIgraphics.SpriteSetGroupTexture( group, const_cast<char*>( "dot" ) );
	APIgraphics.SpriteSetGroupColor( group, 1.0f, 0.5f, 0.25f, 1.0f );
	// On the object's own frame (joints are passed as given).
	const u32 sprites[] = { APIgraphics.SpriteGroupAddSprite( group, OBJECT, 0x7FFFFFFF, 0.1f ),
							APIgraphics.SpriteGroupAddSprite( group, OBJECT, 0x7FFFFFFF, 0.2f ) };
	EXPECT_NE( sprites[0], 0u );
	EXPECT_NE( sprites[0], sprites[1] );
	BeginDrawing();
	goSpriteMgr.RenderNormal();
	EXPECT_EQ( DrawCalls(), std::vector<s32>{ 12 } ) << "one batch of two squares";
	EXPECT_EQ( APIgraphics.SpriteGroupRemoveSprite( group, sprites[0] ), 0u );
	EXPECT_EQ( APIgraphics.SpriteGroupRemoveSprite( group, sprites[0] ), 0u );
	BeginDrawing();
	goSpriteMgr.RenderNormal();
	EXPECT_EQ( DrawCalls(), std::vector<s32>{ 6 } );
	APIgraphics.SpriteSetGroupFlags( group, 0x20 );
	EXPECT_EQ( APIgraphics.SpriteGetGroupFlags( group ), 0x20u );
	EXPECT_EQ( APIgraphics.SpriteRemoveGroup( group ), 0u );
	EXPECT_EQ( APIgraphics.SpriteRemoveGroup( group ), 0u );
	EXPECT_EQ( APIgraphics.SpriteGetGroupFlags( group ), 0u );
}

TEST_F( LogicApiGraphicsTest, BlendColoursAndSwitchesReachOnlyModelsThatExist ) {
	RecordingModel* const model = GiveModel( *object );
	APIgraphics.SetGameObjBlendColor( OBJECT, 0, 0.5f, 1.0f, 1.0f, 1.0f );
	EXPECT_NE( model->mui3dObjState & EF_3D_OBJ_BLENDING_COLOR, 0u );
	APIgraphics.SetGameObjBlendColor( OBJECT, 0, 1.0f, 1.0f, 1.0f, 1.0f );
	EXPECT_EQ( model->mui3dObjState & EF_3D_OBJ_BLENDING_COLOR, 0u ) << "all four at 1 clear the flag";
	APIgraphics.DoCrappyXboxSpewHackThingy( OBJECT, 0, 1 );
	EXPECT_EQ( model->mbWorkaround, 1 );
	// Past the object's models: nothing, and nothing read out of bounds.
	APIgraphics.SetGameObjBlendColor( OBJECT, 1, 0.5f, 0.5f, 0.5f, 0.5f );
	APIgraphics.DoCrappyXboxSpewHackThingy( OBJECT, 1, 0 );
	APIgraphics.DoCrappyXboxSpewHackThingy( 0x2A000099, 0, 0 );
	EXPECT_EQ( model->mbWorkaround, 1 );
	APIgraphics.DoStupidXboxShadowHack( 1 );
	EXPECT_EQ( EFShadowMgr_BC::bDoShadowHackThing, 1 );
	APIgraphics.DoStupidXboxShadowHack( 0 );
}

// One drawing of a faded model's atomic: its material's texture and alpha.
using Drawn = std::pair<std::string, u32>;
std::vector<Drawn> gDrawn;

RpAtomic* RecordDrawing( RpAtomic* atomic ) {
	const RpMaterial* const material = atomic->geometry->matList.materials[0];
	gDrawn.push_back( { material->texture != nullptr ? material->texture->name : "", material->color.alpha } );
	return atomic;
}

// A model drawn by the engine's own Render, so through the texture fader
// while it fades; its atomic's one material shows the texture "src".
class FadingModel : public RecordingModel {
public:
	FadingModel() {
		RpGeometry* const geometry = RpGeometryCreate( 3, 1, rpGEOMETRYPOSITIONS );
		RpMaterial* const material = RpMaterialCreate();
		RpMaterialSetTexture( material, RwTexDictionaryFindNamedTexture( RwTexDictionaryGetCurrent(), "src" ) );
		_rpMaterialListAppendMaterial( &geometry->matList, material );
		RpMaterialDestroy( material );
		RpAtomicSetGeometry( mpAtomic, geometry, 0 );
		RpGeometryDestroy( geometry );
		ApSetAtomicCallBackRender( mpAtomic, RecordDrawing );
	}
	void Render( const u16 lod ) override { EF3dObj::Render( lod ); }
};

constexpr u32 OTHER = 0x2A000011;
constexpr u32 BARE = 0x2A000012;
constexpr u32 OWN_MODEL = 0x0F000001;
constexpr u32 OTHER_MODEL = 0x0F000002;

// The running object (OBJECT) and another object each have a fading
// model; a third object has none.
class LogicApiTexFaderTest : public LogicApiGraphicsTest {
protected:
	// The atomics carry the engine's atomic data (their draw callback).
	bool AttachPlugins() override { return LogicApiGraphicsTest::AttachPlugins() && ApAtomicDataPluginAttach() != 0; }

	void SetUp() override {
		LogicApiGraphicsTest::SetUp();
		for ( const char* name : { "src", "dst" } ) {
			RwTexture* const texture = RwTextureCreate( nullptr );
			RwTextureSetName( texture, name );
			RwTexDictionaryAddTexture( RwTexDictionaryGetCurrent(), texture );
		}
		own = GiveModel<FadingModel>( *object, OWN_MODEL );
		other = GiveModel<FadingModel>( *MakeObject( OTHER ), OTHER_MODEL );
		MakeObject( BARE );
		SetRunning( object );
	}

	void TearDown() override {
		SetRunning( nullptr );
		gDrawn.clear();
		LogicApiGraphicsTest::TearDown();
	}

	static std::vector<Drawn> Draw( EF3dObj* model ) {
		gDrawn.clear();
		model->Render( 0 );
		return gDrawn;
	}

	FadingModel* own = nullptr;
	FadingModel* other = nullptr;
};

TEST_F( LogicApiTexFaderTest, PlayFadesTheRunningObjectsModelAndPauseHoldsItButNoOtherObjectsModel ) {
	char src[] = "src";
	char dst[] = "dst";
	_sTexFaderParams fade = {};
	fade.fTime = 2.0f;
	fade.pSrcTexture[0] = src;
	fade.pDestTexture[0] = dst;
	fade.fSrcStartRatio = 1.0f;
	fade.fDestEndRatio = 1.0f;
	_sTexFaderParams unnamed = fade;
	unnamed.pSrcTexture[0] = nullptr;
	unnamed.pDestTexture[0] = nullptr;
	const std::vector<Drawn> plain = { { "src", 255 } };
	const struct {
		const char*			name;
		EFGameObject*		running;
		u32					id;
		_sTexFaderParams*	params;
	} faults[] = {
		{ "another object's model", object, OTHER_MODEL, &fade },
		{ "no such model of the running object", object, 0x0F000099, &fade },
		{ "a model id while no logic runs", nullptr, OWN_MODEL, &fade },
		{ "an object without a model", object, BARE, &fade },
		{ "no such object", object, 0x2A000099, &fade },
		{ "no texture names", object, OWN_MODEL, &unnamed },
		{ "no request", object, OWN_MODEL, nullptr },
	};
	for ( const auto& fault : faults ) {
		SCOPED_TRACE( fault.name );
		SetRunning( fault.running );
		APIgraphics.TexFaderPlay( fault.id, fault.params );
		APIgraphics.TexFaderPause( fault.id, 1 );
		gpoWorldMgr->Update( 1.0f );
		EXPECT_EQ( own->muiTexFaderRefCount + other->muiTexFaderRefCount, 0u );
		EXPECT_EQ( Draw( own ), plain );
		EXPECT_EQ( Draw( other ), plain );
	}
	SetRunning( object );
	// By the model's id, the running-object alias and the object's own id:
	// each restarts the one fade, which the world's update advances.
	const std::pair<const char*, u32> ids[] = { { "model id", OWN_MODEL }, { "alias", EF_RUNNING_OBJECT_ID }, { "own id", OBJECT } };
	for ( const auto& [name, id] : ids ) {
		SCOPED_TRACE( name );
		APIgraphics.TexFaderPlay( id, &fade );
		APIgraphics.TexFaderPause( OTHER_MODEL, 1 );
		gpoWorldMgr->Update( 1.0f );
		const std::vector<Drawn> halfWay = { { "src", 127 }, { "dst", 127 } };
		EXPECT_EQ( Draw( own ), halfWay ) << "1 s of 2";
		APIgraphics.TexFaderPause( id, 1 );
		gpoWorldMgr->Update( 1.0f );
		EXPECT_EQ( Draw( own ), halfWay ) << "held";
		APIgraphics.TexFaderPause( id, 0 );
		gpoWorldMgr->Update( 0.5f );
		EXPECT_EQ( Draw( own ), ( std::vector<Drawn>{ { "src", 63 }, { "dst", 191 } } ) ) << "1.5 s of 2";
		EXPECT_EQ( own->muiTexFaderRefCount, 1u );
		EXPECT_EQ( Draw( other ), plain );
	}
}

TEST_F( LogicApiGraphicsTest, AMotionTrailSamplesWhileTrackingAndStopsWhenTold ) {
	const u32 trail = APIgraphics.MTCreateSystem( 2, 8, 0 );
	ASSERT_NE( trail, 0xFFFFFFFFu );
	APIgraphics.MTSetFrequency( trail, 0.1f );
	APIgraphics.MTSetJoint( trail, 0, OBJECT, 0x7FFFFFFF );
	APIgraphics.MTSetJoint( trail, 1, OBJECT, 0x7FFFFFFF );
	APIgraphics.MTSetLifeSpan( trail, 0, 1.0f );
	APIgraphics.MTSetRGB( trail, 1, 1.0f, 0.0f, 0.0f );
	APIgraphics.MTStart( trail );
	const EFMotionTrailMgr_BC::_sSystem* const system = goMotionTrailMgr.GetSystem( trail );
	ASSERT_NE( system, nullptr );
	const auto fed = [&]( const u32 steps ) {
		const u32 head = system->ui32Head;
		for ( u32 i = 0; i < steps; i++ ) {
			goMotionTrailMgr.Update( 0.11f );
		}
		return system->ui32Head != head;
	};
	EXPECT_TRUE( fed( 3 ) ) << "tracking samples rows";
	EXPECT_EQ( system->pPoints[1].afColor[0], 1.0f );
	EXPECT_EQ( system->pPoints[1].afColor[1], 0.0f );
	APIgraphics.MTStopTracking( trail );
	EXPECT_EQ( system->ui32Flags & ( EF_TRAIL_TRACKING | EF_TRAIL_DRAWING ), EF_TRAIL_DRAWING ) << "still drawn";
	EXPECT_FALSE( fed( 3 ) ) << "no more samples";
	APIgraphics.MTStopDraw( trail );
	EXPECT_EQ( system->ui32Flags & ( EF_TRAIL_TRACKING | EF_TRAIL_DRAWING ), 0u );
	APIgraphics.MTDestroySystem( trail );
	EXPECT_EQ( goMotionTrailMgr.GetSystem( trail ), nullptr );
}

TEST_F( LogicApiGraphicsTest, EffectsAreCreatedRefusedAndTunedByHandle ) {
	EXPECT_EQ( APIfbeffects.Create( 3, 0 ), 0u ) << "no such kind";
	std::vector<u32> handles;
	for ( u32 i = 0; i < 8; i++ ) {
		handles.push_back( APIfbeffects.Create( EF_FB_EFFECT_FRAME_DISTORTION, 0 ) );
		EXPECT_NE( handles.back(), 0u );
	}
	EXPECT_EQ( APIfbeffects.Create( EF_FB_EFFECT_FRAME_DISTORTION, 0 ), 0u ) << "a ninth effect";
	EFFBDistortionParams in = { 0, OBJECT, 1, nullptr };
	APIfbeffects.SetParams( handles[2], EF_FB_EFFECT_FRAME_DISTORTION, &in );
	EFFBDistortionParams out = { 9, 9, 9, nullptr };
	APIfbeffects.GetParams( handles[2], EF_FB_EFFECT_FRAME_DISTORTION, &out );
	EXPECT_EQ( out.ui32ObjectId, OBJECT );
	EXPECT_EQ( out.ui32Lod, 1u );
	APIfbeffects.Enable( handles[2], 1 );
	EXPECT_NE( goFBEffectMgr.GetEffect( handles[2] )->GetFlags() & 0x80000000, 0u );
	APIfbeffects.Destroy( handles[2] );
	// A destroyed handle reaches nothing; the slot is free again.
	EFFBDistortionParams untouched = { 7, 7, 7, nullptr };
	APIfbeffects.GetParams( handles[2], EF_FB_EFFECT_FRAME_DISTORTION, &untouched );
	APIfbeffects.SetParams( handles[2], EF_FB_EFFECT_FRAME_DISTORTION, &in );
	APIfbeffects.Enable( handles[2], 1 );
	EXPECT_EQ( untouched.ui32ObjectId, 7u );
	const u32 again = APIfbeffects.Create( EF_FB_EFFECT_FRAME_DISTORTION, 0 );
	EXPECT_NE( again, 0u );
	EXPECT_NE( again, handles[2] ) << "handles are never reused";
}

}
