/*
===============================================================================

	Layout of the table `_api_anim` that a module gets from the root table:
	animations of a game object.

	Slot order is the interface with the engine; every slot is one
	function pointer wide. Slots the engine does not fill hold a stub that
	returns zero.

===============================================================================
*/
#ifndef LOGIC_TABLE_ANIM_H
#define LOGIC_TABLE_ANIM_H

#include "framework/logic/api/LogicApiRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LOGIC_API_ANIM_SLOTS		32
#define LOGIC_API_ANIM_PAD_SLOTS	16

struct _api_anim {
	void							( *Play )( u32 id, u32 anim, u32 flags, f32 time );
	void							( *PlayBlend )( u32 id, u32 anim, u32 flags, f32 time, EFBlendParams * params );
	void							( *ChangeBlendParams )( u32 id, EFBlendParams * params );
	void							( *Stop )( u32 id, u32 anim );
	void							( *StopAll )( u32 id );
	f32								( *GetTime )( u32 id, u32 anim );
	void							( *SetTime )( u32 id, u32 anim, f32 time );
	f32								( *GetSpeed )( u32 id, u32 anim );
	void							( *SetSpeed )( u32 id, u32 anim, f32 speed );
	f32								( *GetDuration )( u32 id, u32 anim );
	void							( *Connect )( u32 id, u32 anim, u32 targetId );
	u32								( *GetGroup )( u32 id, u32 anim );
	void							( *BeginTree )( u32 id );
	void							( *PlayBlendConnect )( u32 id, u32 anim, u32 connectNode, u32 flags, EFBlendParams * params );
	void							( *EndTree )( u32 id );
	u32								( *IsAnimPlaying )( u32 id, u32 anim );
	void							( *Pad[LOGIC_API_ANIM_PAD_SLOTS] )( void );
};

LOGIC_API_SLOT( _api_anim, Play, 0 );
LOGIC_API_SLOT( _api_anim, PlayBlend, 1 );
LOGIC_API_SLOT( _api_anim, ChangeBlendParams, 2 );
LOGIC_API_SLOT( _api_anim, Stop, 3 );
LOGIC_API_SLOT( _api_anim, StopAll, 4 );
LOGIC_API_SLOT( _api_anim, GetTime, 5 );
LOGIC_API_SLOT( _api_anim, SetTime, 6 );
LOGIC_API_SLOT( _api_anim, GetSpeed, 7 );
LOGIC_API_SLOT( _api_anim, SetSpeed, 8 );
LOGIC_API_SLOT( _api_anim, GetDuration, 9 );
LOGIC_API_SLOT( _api_anim, Connect, 10 );
LOGIC_API_SLOT( _api_anim, GetGroup, 11 );
LOGIC_API_SLOT( _api_anim, BeginTree, 12 );
LOGIC_API_SLOT( _api_anim, PlayBlendConnect, 13 );
LOGIC_API_SLOT( _api_anim, EndTree, 14 );
LOGIC_API_SLOT( _api_anim, IsAnimPlaying, 15 );
LOGIC_API_SLOT( _api_anim, Pad, 16 );
LOGIC_API_TABLE_SIZE( _api_anim, LOGIC_API_ANIM_SLOTS );

#ifdef __cplusplus
}
#endif

#endif
