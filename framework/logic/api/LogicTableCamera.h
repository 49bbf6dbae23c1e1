/*
===============================================================================

	Layout of the table `_api_camera` that a module gets from the root table:
	cameras, their projection, display area and fog.

	Slot order is the interface with the engine; every slot is one
	function pointer wide. Slots the engine does not fill hold a stub that
	returns zero.

===============================================================================
*/
#ifndef LOGIC_TABLE_CAMERA_H
#define LOGIC_TABLE_CAMERA_H

#include "framework/logic/api/LogicApiRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LOGIC_API_CAMERA_SLOTS		43
#define LOGIC_API_CAMERA_PAD_SLOTS	16

struct _api_camera {
	u32								( *Create )( u32 objectId );
	void							( *Activate )( u32 camera, u32 on );
	void							( *SetPriority )( u32 camera, f32 );
	f32								( *GetPriority )( u32 camera );
	void							( *SetFarClipPlane )( u32 camera, f32 far );
	void							( *SetNearClipPlane )( u32 camera, f32 near );
	void							( *SetClearColor )( u32 camera, CColor * c );
	void							( *SetClearMode )( u32 camera, u32 mode );
	void							( *SetProjection )( u32 camera, u32 projection );
	void							( *GetViewWindow )( u32 camera, f32 * width, f32 * height );
	void							( *SetViewWindow )( u32 camera, f32 width, f32 height );
	void							( *SetDisplayArea )( u32 camera, CRect * area );
	void							( *GetDisplayArea )( u32 camera, CRect * area );
	void							( *SetRenderFlag )( u32 camera, u32 flags );
	void							( *SetFOV )( u32 camera, f32 fov );
	void							( *TakeSnapShot )( u32 camera, char * fileName );
	u32								( *ProjectOntoFrustum )( u32 camera, DTVector3d * result, DTVector3d * point );
	u32								( *IsSphereInFrustrum )( u32 camera, DTVector3d * centre, f32 radius );
	void							( *EnableFog )( u32 camera, s32 on );
	void							( *SetFogType )( u32 camera, u32 type );
	u32								( *GetFogType )( u32 camera );
	void							( *SetFogColor )( u32 camera, CColor * c );
	void							( *SetFogDensity )( u32 camera, f32 density );
	f32								( *GetFogDensity )( u32 camera );
	void							( *SetFogDistance )( u32 camera, f32 distance );
	f32								( *GetFogDistance )( u32 camera );
	void							( *Destroy )( u32 camera );
	void							( *Pad[LOGIC_API_CAMERA_PAD_SLOTS] )( void );
};

LOGIC_API_SLOT( _api_camera, Create, 0 );
LOGIC_API_SLOT( _api_camera, Activate, 1 );
LOGIC_API_SLOT( _api_camera, SetPriority, 2 );
LOGIC_API_SLOT( _api_camera, GetPriority, 3 );
LOGIC_API_SLOT( _api_camera, SetFarClipPlane, 4 );
LOGIC_API_SLOT( _api_camera, SetNearClipPlane, 5 );
LOGIC_API_SLOT( _api_camera, SetClearColor, 6 );
LOGIC_API_SLOT( _api_camera, SetClearMode, 7 );
LOGIC_API_SLOT( _api_camera, SetProjection, 8 );
LOGIC_API_SLOT( _api_camera, GetViewWindow, 9 );
LOGIC_API_SLOT( _api_camera, SetViewWindow, 10 );
LOGIC_API_SLOT( _api_camera, SetDisplayArea, 11 );
LOGIC_API_SLOT( _api_camera, GetDisplayArea, 12 );
LOGIC_API_SLOT( _api_camera, SetRenderFlag, 13 );
LOGIC_API_SLOT( _api_camera, SetFOV, 14 );
LOGIC_API_SLOT( _api_camera, TakeSnapShot, 15 );
LOGIC_API_SLOT( _api_camera, ProjectOntoFrustum, 16 );
LOGIC_API_SLOT( _api_camera, IsSphereInFrustrum, 17 );
LOGIC_API_SLOT( _api_camera, EnableFog, 18 );
LOGIC_API_SLOT( _api_camera, SetFogType, 19 );
LOGIC_API_SLOT( _api_camera, GetFogType, 20 );
LOGIC_API_SLOT( _api_camera, SetFogColor, 21 );
LOGIC_API_SLOT( _api_camera, SetFogDensity, 22 );
LOGIC_API_SLOT( _api_camera, GetFogDensity, 23 );
LOGIC_API_SLOT( _api_camera, SetFogDistance, 24 );
LOGIC_API_SLOT( _api_camera, GetFogDistance, 25 );
LOGIC_API_SLOT( _api_camera, Destroy, 26 );
LOGIC_API_SLOT( _api_camera, Pad, 27 );
LOGIC_API_TABLE_SIZE( _api_camera, LOGIC_API_CAMERA_SLOTS );

#ifdef __cplusplus
}
#endif

#endif
