/*
===============================================================================

	Layout of the table `_api_graphics` that a module gets from the root table:
	sprite groups, palette transitions, texture faders, motion trails,
	lens flare and lines.

	Slot order is the interface with the engine; every slot is one
	function pointer wide. Slots the engine does not fill hold a stub that
	returns zero.

===============================================================================
*/
#ifndef LOGIC_TABLE_GRAPHICS_H
#define LOGIC_TABLE_GRAPHICS_H

#include "framework/logic/api/LogicApiRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LOGIC_API_GRAPHICS_SLOTS		30

struct _api_graphics {
	u32								( *SpriteAddGroup )( void );
	u32								( *SpriteRemoveGroup )( u32 group );
	void							( *SpriteSetGroupFlags )( u32 group, u32 flags );
	u32								( *SpriteGetGroupFlags )( u32 group );
	void							( *SpriteSetGroupTexture )( u32 group, char * name );
	void							( *SpriteSetGroupBlendMode )( u32 group, u32 mode );
	void							( *SpriteSetGroupColor )( u32 group, f32 r, f32 g, f32 b, f32 a );
	u32								( *SpriteGroupAddSprite )( u32 group, u32 objectId, u32 joint, f32 size );
	u32								( *SpriteGroupRemoveSprite )( u32 group, u32 sprite );
	u32								( *StartPaletteTransition )( _sPaletteTransitionData * );
	void							( *TexFaderPlay )( u32 id, _sTexFaderParams * params );
	u32								( *MTCreateSystem )( u32 controlPoints, u32 segments, u32 flags );
	void							( *MTDestroySystem )( u32 system );
	void							( *MTSetFrequency )( u32 system, f32 frequency );
	void							( *MTSetLifeSpan )( u32 system, u32 point, f32 seconds );
	void							( *MTSetJoint )( u32 system, u32 point, u32 objectId, u32 joint );
	void							( *MTSetPosition )( u32 system, u32 point, DTVector3d * position );
	void							( *MTSetRGB )( u32 system, u32 point, f32 r, f32 g, f32 b );
	void							( *MTStart )( u32 system );
	void							( *MTStopTracking )( u32 system );
	void							( *MTStopDraw )( u32 system );
	void							( *LensFlareActivate )( u8 on );
	void							( *LensFlareSetSunPosition )( DTVector3d * position );
	void							( *LensFlareAttachSunPositionToObject )( u32 objectId );
	void							( *LensFlareSetParams )( u32 param, u32 value );
	void							( *SetGameObjBlendColor )( u32 id, u32 index, f32 r, f32 g, f32 b, f32 a );
	void							( *DrawLines )( _LinesParams * lines );
	void							( *TexFaderPause )( u32 id, u32 pause );
	void							( *DoCrappyXboxSpewHackThingy )( u32 id, u32 index, u8 on );
	void							( *DoStupidXboxShadowHack )( u8 on );
};

LOGIC_API_SLOT( _api_graphics, SpriteAddGroup, 0 );
LOGIC_API_SLOT( _api_graphics, SpriteRemoveGroup, 1 );
LOGIC_API_SLOT( _api_graphics, SpriteSetGroupFlags, 2 );
LOGIC_API_SLOT( _api_graphics, SpriteGetGroupFlags, 3 );
LOGIC_API_SLOT( _api_graphics, SpriteSetGroupTexture, 4 );
LOGIC_API_SLOT( _api_graphics, SpriteSetGroupBlendMode, 5 );
LOGIC_API_SLOT( _api_graphics, SpriteSetGroupColor, 6 );
LOGIC_API_SLOT( _api_graphics, SpriteGroupAddSprite, 7 );
LOGIC_API_SLOT( _api_graphics, SpriteGroupRemoveSprite, 8 );
LOGIC_API_SLOT( _api_graphics, StartPaletteTransition, 9 );
LOGIC_API_SLOT( _api_graphics, TexFaderPlay, 10 );
LOGIC_API_SLOT( _api_graphics, MTCreateSystem, 11 );
LOGIC_API_SLOT( _api_graphics, MTDestroySystem, 12 );
LOGIC_API_SLOT( _api_graphics, MTSetFrequency, 13 );
LOGIC_API_SLOT( _api_graphics, MTSetLifeSpan, 14 );
LOGIC_API_SLOT( _api_graphics, MTSetJoint, 15 );
LOGIC_API_SLOT( _api_graphics, MTSetPosition, 16 );
LOGIC_API_SLOT( _api_graphics, MTSetRGB, 17 );
LOGIC_API_SLOT( _api_graphics, MTStart, 18 );
LOGIC_API_SLOT( _api_graphics, MTStopTracking, 19 );
LOGIC_API_SLOT( _api_graphics, MTStopDraw, 20 );
LOGIC_API_SLOT( _api_graphics, LensFlareActivate, 21 );
LOGIC_API_SLOT( _api_graphics, LensFlareSetSunPosition, 22 );
LOGIC_API_SLOT( _api_graphics, LensFlareAttachSunPositionToObject, 23 );
LOGIC_API_SLOT( _api_graphics, LensFlareSetParams, 24 );
LOGIC_API_SLOT( _api_graphics, SetGameObjBlendColor, 25 );
LOGIC_API_SLOT( _api_graphics, DrawLines, 26 );
LOGIC_API_SLOT( _api_graphics, TexFaderPause, 27 );
LOGIC_API_SLOT( _api_graphics, DoCrappyXboxSpewHackThingy, 28 );
LOGIC_API_SLOT( _api_graphics, DoStupidXboxShadowHack, 29 );
LOGIC_API_TABLE_SIZE( _api_graphics, LOGIC_API_GRAPHICS_SLOTS );

#ifdef __cplusplus
}
#endif

#endif
