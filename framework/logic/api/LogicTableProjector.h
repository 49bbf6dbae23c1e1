/*
===============================================================================

	Layout of the table `_api_projector` that a module gets from the root table:
	texture projectors.

	Slot order is the interface with the engine; every slot is one
	function pointer wide. Slots the engine does not fill hold a stub that
	returns zero.

===============================================================================
*/
#ifndef LOGIC_TABLE_PROJECTOR_H
#define LOGIC_TABLE_PROJECTOR_H

#include "framework/logic/api/LogicApiRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LOGIC_API_PROJECTOR_SLOTS		25
#define LOGIC_API_PROJECTOR_PAD_SLOTS	16

struct _api_projector {
	u32								( *CreateProjector )( void );
	void							( *DestroyProjector )( u32 projector );
	void							( *SetTexture )( u32 projector, char * textureName );
	void							( *SetBlendingFunction )( u32 projector, u32 function );
	void							( *SetSize )( u32 projector, f32 width, f32 height );
	void							( *SetColor )( u32 projector, f32 r, f32 g, f32 b, f32 a );
	void							( *SetReachDistance )( u32 projector, f32 distance );
	void							( *SetProjectionType )( u32 projector, u32 type );
	void							( *SetVisible )( u32 projector, u32 visible );
	void							( *Pad[LOGIC_API_PROJECTOR_PAD_SLOTS] )( void );
};

LOGIC_API_SLOT( _api_projector, CreateProjector, 0 );
LOGIC_API_SLOT( _api_projector, DestroyProjector, 1 );
LOGIC_API_SLOT( _api_projector, SetTexture, 2 );
LOGIC_API_SLOT( _api_projector, SetBlendingFunction, 3 );
LOGIC_API_SLOT( _api_projector, SetSize, 4 );
LOGIC_API_SLOT( _api_projector, SetColor, 5 );
LOGIC_API_SLOT( _api_projector, SetReachDistance, 6 );
LOGIC_API_SLOT( _api_projector, SetProjectionType, 7 );
LOGIC_API_SLOT( _api_projector, SetVisible, 8 );
LOGIC_API_SLOT( _api_projector, Pad, 9 );
LOGIC_API_TABLE_SIZE( _api_projector, LOGIC_API_PROJECTOR_SLOTS );

#ifdef __cplusplus
}
#endif

#endif
