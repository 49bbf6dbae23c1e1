#include "framework/logic/api/LogicApiTables.h"

#include "datatypes/maths/DTColor.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/graphics/EFLinesMgr.h"
#include "framework/graphics/EFPaletteMgr.h"
#include "framework/graphics/effects/EFLensFlareFX.h"
#include "framework/graphics/effects/EFMotionTrailMgr.h"
#include "framework/graphics/effects/EFShadowMgr_BC.h"
#include "framework/graphics/effects/EFSpriteGroup.h"
#include "framework/graphics/effects/EFSpriteMgr.h"
#include "framework/graphics/animation/EFTexFader.h"
#include "framework/logic/api/EFApiTrace.h"
#include "framework/logic/api/LogicApiTable.h"

namespace {

bool bDone = false;

// Top byte of the id of a 3D object (an instance of a game object).
constexpr u32 KIND_3D_OBJECT = 0x0F;

EFSpriteGroup * Group( const u32 id ) {
	return goSpriteMgr.GetSpriteGroup( id );
}

// The game object's 3D object number index; null for a missing object or
// an index at or past its count.
EF3dObj * Object3d( const u32 id, const u32 index ) {
	const EFGameObject * const object = gpoWorldMgr != nullptr ? gpoWorldMgr->GetGameObject( id ) : nullptr;
	return object != nullptr ? object->Get3dObject( index ) : nullptr;
}

// The 3D object a texture-fader slot works on: for a 3D-object id, the
// running object's 3D object of that id (never another object's); for
// any other id, the first 3D object of that game object. Null when
// there is none.
EF3dObj * FaderObject( const u32 id ) {
	if ( ( id >> 24 ) != KIND_3D_OBJECT ) {
		return Object3d( id, 0 );
	}
	const EFGameObject * const running = gpoWorldMgr != nullptr ? gpoWorldMgr->GetGameObject( EF_RUNNING_OBJECT_ID ) : nullptr;
	if ( running == nullptr ) {
		return nullptr;
	}
	for ( u32 i = 0; i < running->muiNb3dObj; i++ ) {
		EF3dObj * const object = running->Get3dObject( i );
		if ( object != nullptr && object->GetUID() == id ) {
			return object;
		}
	}
	return nullptr;
}

// --- Sprites ---

u32 SpriteAddGroup() {
	const EFSpriteGroup * const group = goSpriteMgr.AddSpriteGroup();
	return group != nullptr ? group->mui32Id : 0;
}

u32 SpriteRemoveGroup( const u32 group ) {
	goSpriteMgr.RemoveSpriteGroup( group );
	return 0;
}

void SpriteSetGroupFlags( const u32 id, const u32 flags ) {
	if ( EFSpriteGroup * const group = Group( id ) ) {
		group->mui32Flags = flags;
	}
}

u32 SpriteGetGroupFlags( const u32 id ) {
	const EFSpriteGroup * const group = Group( id );
	return group != nullptr ? group->mui32Flags : 0;
}

void SpriteSetGroupTexture( const u32 id, char * name ) {
	if ( EFSpriteGroup * const group = Group( id ) ) {
		group->SetTexture( name );
	}
}

void SpriteSetGroupBlendMode( const u32 id, const u32 mode ) {
	if ( EFSpriteGroup * const group = Group( id ) ) {
		group->SetBlendMode( mode );
	}
}

void SpriteSetGroupColor( const u32 id, const f32 r, const f32 g, const f32 b, const f32 a ) {
	if ( EFSpriteGroup * const group = Group( id ) ) {
		DTColor color;
		color.r = r;
		color.g = g;
		color.b = b;
		color.a = a;
		group->SetColor( color );
	}
}

// The sprite borrows the object's (or joint's) frame and records its
// lender, so it keeps a frame of its own when the lender ends.
u32 SpriteGroupAddSprite( const u32 id, const u32 objectId, const u32 joint, const f32 size ) {
	EFSpriteGroup * const group = Group( id );
	return group != nullptr ? group->AddSprite( objectId, joint, size ) : 0;
}

u32 SpriteGroupRemoveSprite( const u32 id, const u32 sprite ) {
	if ( EFSpriteGroup * const group = Group( id ) ) {
		group->RemoveSprite( sprite );
	}
	return 0;
}

u32 StartPaletteTransition( _sPaletteTransitionData * transition ) {
	if ( transition != nullptr ) {
		goPaletteMgr.StartTransition( transition );
	}
	return 0;
}

// --- Texture fader ---

void TexFaderPlay( const u32 id, _sTexFaderParams * params ) {
	EFApiTrace::mFuncName = "TexFaderPlay";
	EF3dObj * const object = FaderObject( id );
	if ( object != nullptr && params != nullptr && gpoGraphicsMgr != nullptr ) {
		gpoGraphicsMgr->GetTexFader().FadeTo( object, params );
	}
	EFApiTrace::mFuncName = nullptr;
}

void TexFaderPause( const u32 id, const u32 pause ) {
	EFApiTrace::mFuncName = "TexFaderPlay";
	if ( const EF3dObj * const object = FaderObject( id ) ) {
		EFTexFader_BC::Pause( object, pause );
	}
	EFApiTrace::mFuncName = nullptr;
}

// --- Motion trails ---

u32 MTCreateSystem( const u32 controlPoints, const u32 segments, const u32 flags ) {
	return goMotionTrailMgr.CreateSystem( controlPoints, segments, flags );
}

void MTDestroySystem( const u32 system ) {
	goMotionTrailMgr.DestroySystem( system );
}

void MTSetFrequency( const u32 system, const f32 frequency ) {
	goMotionTrailMgr.SetFrequency( system, frequency );
}

void MTSetLifeSpan( const u32 system, const u32 point, const f32 seconds ) {
	goMotionTrailMgr.SetLifeSpan( system, point, seconds );
}

void MTSetJoint( const u32 system, const u32 point, const u32 objectId, const u32 joint ) {
	goMotionTrailMgr.SetJoint( system, point, objectId, joint );
}

void MTSetPosition( const u32 system, const u32 point, DTVector3d * position ) {
	if ( position != nullptr ) {
		goMotionTrailMgr.SetPosition( system, point, position );
	}
}

void MTSetRGB( const u32 system, const u32 point, const f32 r, const f32 g, const f32 b ) {
	goMotionTrailMgr.SetRGB( system, point, r, g, b );
}

void MTStart( const u32 system ) {
	goMotionTrailMgr.Start( system );
}

void MTStopTracking( const u32 system ) {
	goMotionTrailMgr.StopTracking( system );
}

void MTStopDraw( const u32 system ) {
	goMotionTrailMgr.StopDraw( system );
}

// --- Lens flare ---

void LensFlareActivate( const u8 on ) {
	goLensFlareFX.mbActive = on;
}

void LensFlareSetSunPosition( DTVector3d * position ) {
	if ( position != nullptr ) {
		goLensFlareFX.mfSunPosition[0] = position->x;
		goLensFlareFX.mfSunPosition[1] = position->y;
		goLensFlareFX.mfSunPosition[2] = position->z;
	}
}

// The flare looks the object up every frame, outside any logic call: the
// running-object alias is kept as the running object's own id (none when
// there is no running object).
void LensFlareAttachSunPositionToObject( const u32 objectId ) {
	u32 id = objectId;
	if ( objectId == EF_RUNNING_OBJECT_ID ) {
		const EFGameObject * const running = gpoWorldMgr != nullptr ? gpoWorldMgr->GetGameObject( objectId ) : nullptr;
		id = running != nullptr ? running->GetUID() : 0;
	}
	goLensFlareFX.mui32AttachedObject = id;
}

void LensFlareSetParams( const u32 param, const u32 value ) {
	goLensFlareFX.SetParams( static_cast<eLensFlareParams>( param ), value );
}

// --- Objects, lines, switches ---

void SetGameObjBlendColor( const u32 id, const u32 index, const f32 r, const f32 g, const f32 b, const f32 a ) {
	if ( EF3dObj * const object = Object3d( id, index ) ) {
		object->SetBlendingColor( r, g, b, a );
	}
}

void DrawLines( _LinesParams * lines ) {
	if ( gpoLinesMgr != nullptr && lines != nullptr ) {
		gpoLinesMgr->AddLines( lines );
	}
}

void DoCrappyXboxSpewHackThingy( const u32 id, const u32 index, const u8 on ) {
	if ( EF3dObj * const object = Object3d( id, index ) ) {
		object->mbWorkaround = on;
	}
}

void DoStupidXboxShadowHack( const u8 on ) {
	EFShadowMgr_BC::bDoShadowHackThing = on;
}

}

void ApiGraphicsNotInit() {
	bDone = true;
}

bool ApiGraphicsNotInitDone() {
	return bDone;
}

constexpr _api_graphics APIgraphicsStubs = MakeLogicApiStubs<_api_graphics, ApiGraphicsNotInit>();
constinit _api_graphics APIgraphics = MakeLogicApiStubs<_api_graphics, ApiGraphicsNotInit>();

void Init_graphics() {
	InitAPI( &APIgraphics, LOGIC_API_GRAPHICS_SLOTS, &APIgraphicsStubs );
	APIgraphics.SpriteAddGroup = SpriteAddGroup;
	APIgraphics.SpriteRemoveGroup = SpriteRemoveGroup;
	APIgraphics.SpriteSetGroupFlags = SpriteSetGroupFlags;
	APIgraphics.SpriteGetGroupFlags = SpriteGetGroupFlags;
	APIgraphics.SpriteSetGroupTexture = SpriteSetGroupTexture;
	APIgraphics.SpriteSetGroupBlendMode = SpriteSetGroupBlendMode;
	APIgraphics.SpriteSetGroupColor = SpriteSetGroupColor;
	APIgraphics.SpriteGroupAddSprite = SpriteGroupAddSprite;
	APIgraphics.SpriteGroupRemoveSprite = SpriteGroupRemoveSprite;
	APIgraphics.StartPaletteTransition = StartPaletteTransition;
	APIgraphics.TexFaderPlay = TexFaderPlay;
	APIgraphics.MTCreateSystem = MTCreateSystem;
	APIgraphics.MTDestroySystem = MTDestroySystem;
	APIgraphics.MTSetFrequency = MTSetFrequency;
	APIgraphics.MTSetLifeSpan = MTSetLifeSpan;
	APIgraphics.MTSetJoint = MTSetJoint;
	APIgraphics.MTSetPosition = MTSetPosition;
	APIgraphics.MTSetRGB = MTSetRGB;
	APIgraphics.MTStart = MTStart;
	APIgraphics.MTStopTracking = MTStopTracking;
	APIgraphics.MTStopDraw = MTStopDraw;
	APIgraphics.LensFlareActivate = LensFlareActivate;
	APIgraphics.LensFlareSetSunPosition = LensFlareSetSunPosition;
	APIgraphics.LensFlareAttachSunPositionToObject = LensFlareAttachSunPositionToObject;
	APIgraphics.LensFlareSetParams = LensFlareSetParams;
	APIgraphics.SetGameObjBlendColor = SetGameObjBlendColor;
	APIgraphics.DrawLines = DrawLines;
	APIgraphics.TexFaderPause = TexFaderPause;
	APIgraphics.DoCrappyXboxSpewHackThingy = DoCrappyXboxSpewHackThingy;
	APIgraphics.DoStupidXboxShadowHack = DoStupidXboxShadowHack;
}
