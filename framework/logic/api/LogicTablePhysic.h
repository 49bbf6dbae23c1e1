/*
===============================================================================

	Layout of the table `api_physic` that a module gets from the root table:
	physics bodies, behaviour modules, primitives and ray queries.

	Slot order is the interface with the engine; every slot is one
	function pointer wide. Slots the engine does not fill hold a stub that
	returns zero.

===============================================================================
*/
#ifndef LOGIC_TABLE_PHYSIC_H
#define LOGIC_TABLE_PHYSIC_H

#include "framework/logic/api/LogicApiRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LOGIC_API_PHYSIC_SLOTS		61
#define LOGIC_API_PHYSIC_PAD_SLOTS	16

struct api_physic {
	void							( *Create )( u32 object, u32 list );
	void							( *SetFlags )( u32 object, u32 bits );
	void							( *ResetFlags )( u32 object, u32 bits );
	u32								( *GetFlags )( u32 object );
	u32								( *GetPhysicState )( u32 object );
	void							( *SetFallingSpeed )( u32 object, f32 );
	void							( *SetFallingDelay )( u32 object, f32 );
	void							( *SetStateChangeNotifyBits )( u32 object, u32 bits );
	void							( *ResetStateChangeNotifyBits )( u32 object, u32 bits );
	void							( *SetStateChangeNotifyValue )( u32 object, u32 value );
	void							( *SetFriction )( u32 object, f32 );
	u32								( *GetFloorAttribs )( u32 object, EnvPrimAttribs * out );
	u32								( *GetFloorNormal )( u32 object, DTVector3d * out );
	void							( *SetHardness )( u32 object, f32 );
	void							( *SetRebound )( u32 object, f32 );
	void							( *SetPriority )( u32 object, u32 );
	void							( *SetWeight )( u32 object, f32 );
	void							( *Impulse )( u32 object, DTVector3d * );
	void							( *SetVelocity )( u32 object, f32 x, f32 y, f32 z );
	void							( *GetVelocity )( u32 object, DTVector3d * out );
	void							( *JumpOnCoor )( u32 object, JumpOnCoorParam * );
	RayIntersectResult				( *CheckRayIntersection )( RayIntersectIn *, RayIntersectOut * );
	u32								( *GetDM )( u32 object, u32 typeId, u32 afterHandle );
	u32								( *DMAdd )( u32 object, u32 typeId );
	void							( *DMDoAction )( u32 handle, u32 action, void * );
	void							( *DMGetData )( u32 handle, void * );
	void							( *DMGetParams )( u32 handle, void * );
	void							( *DMSetParams )( u32 handle, void * );
	void							( *DMSetContextMask )( u32 handle, u32 mask );
	void							( *DMSetActive )( u32 handle, u32 value );
	u32								( *DMIsActive )( u32 handle );
	u32								( *DMGetState )( u32 handle );
	void							( *DMSetStateChangeNotifyBits )( u32 handle, u32 bits );
	void							( *DMResetStateChangeNotifyBits )( u32 handle, u32 bits );
	void							( *DMSetStateBits )( u32 handle, u32 bits );
	void							( *DMResetStateBits )( u32 handle, u32 bits );
	void							( *SetPrimaryPrim )( u32 object, u32 tag );
	void							( *SetSpherePrimaryVolume )( u32 object, f32 radius, f32 x, f32 y, f32 z );
	void							( *PrimSetIntAttribBits )( u32 object, u32 tag, u32 index, u32 bits );
	u32								( *PrimGetIntAttrib )( u32 object, u32 tag, u32 index );
	void							( *PrimResetIntAttribBits )( u32 object, u32 tag, u32 index, u32 bits );
	void							( *PrimSetIntAttribValue )( u32 object, u32 tag, u32 index, u32 value );
	void							( *PrimUnlockIntAttrib )( u32 object, u32 tag, u32 index, u32 bits );
	u32								( *PrimGetOffsetFromJoint )( u32 object, u32 tag, DTVector3d * out );
	u32								( *PrimSetOffsetFromJoint )( u32 object, u32 tag, DTVector3d * in );
	void							( *Pad[LOGIC_API_PHYSIC_PAD_SLOTS] )( void );
};

LOGIC_API_SLOT( api_physic, Create, 0 );
LOGIC_API_SLOT( api_physic, SetFlags, 1 );
LOGIC_API_SLOT( api_physic, ResetFlags, 2 );
LOGIC_API_SLOT( api_physic, GetFlags, 3 );
LOGIC_API_SLOT( api_physic, GetPhysicState, 4 );
LOGIC_API_SLOT( api_physic, SetFallingSpeed, 5 );
LOGIC_API_SLOT( api_physic, SetFallingDelay, 6 );
LOGIC_API_SLOT( api_physic, SetStateChangeNotifyBits, 7 );
LOGIC_API_SLOT( api_physic, ResetStateChangeNotifyBits, 8 );
LOGIC_API_SLOT( api_physic, SetStateChangeNotifyValue, 9 );
LOGIC_API_SLOT( api_physic, SetFriction, 10 );
LOGIC_API_SLOT( api_physic, GetFloorAttribs, 11 );
LOGIC_API_SLOT( api_physic, GetFloorNormal, 12 );
LOGIC_API_SLOT( api_physic, SetHardness, 13 );
LOGIC_API_SLOT( api_physic, SetRebound, 14 );
LOGIC_API_SLOT( api_physic, SetPriority, 15 );
LOGIC_API_SLOT( api_physic, SetWeight, 16 );
LOGIC_API_SLOT( api_physic, Impulse, 17 );
LOGIC_API_SLOT( api_physic, SetVelocity, 18 );
LOGIC_API_SLOT( api_physic, GetVelocity, 19 );
LOGIC_API_SLOT( api_physic, JumpOnCoor, 20 );
LOGIC_API_SLOT( api_physic, CheckRayIntersection, 21 );
LOGIC_API_SLOT( api_physic, GetDM, 22 );
LOGIC_API_SLOT( api_physic, DMAdd, 23 );
LOGIC_API_SLOT( api_physic, DMDoAction, 24 );
LOGIC_API_SLOT( api_physic, DMGetData, 25 );
LOGIC_API_SLOT( api_physic, DMGetParams, 26 );
LOGIC_API_SLOT( api_physic, DMSetParams, 27 );
LOGIC_API_SLOT( api_physic, DMSetContextMask, 28 );
LOGIC_API_SLOT( api_physic, DMSetActive, 29 );
LOGIC_API_SLOT( api_physic, DMIsActive, 30 );
LOGIC_API_SLOT( api_physic, DMGetState, 31 );
LOGIC_API_SLOT( api_physic, DMSetStateChangeNotifyBits, 32 );
LOGIC_API_SLOT( api_physic, DMResetStateChangeNotifyBits, 33 );
LOGIC_API_SLOT( api_physic, DMSetStateBits, 34 );
LOGIC_API_SLOT( api_physic, DMResetStateBits, 35 );
LOGIC_API_SLOT( api_physic, SetPrimaryPrim, 36 );
LOGIC_API_SLOT( api_physic, SetSpherePrimaryVolume, 37 );
LOGIC_API_SLOT( api_physic, PrimSetIntAttribBits, 38 );
LOGIC_API_SLOT( api_physic, PrimGetIntAttrib, 39 );
LOGIC_API_SLOT( api_physic, PrimResetIntAttribBits, 40 );
LOGIC_API_SLOT( api_physic, PrimSetIntAttribValue, 41 );
LOGIC_API_SLOT( api_physic, PrimUnlockIntAttrib, 42 );
LOGIC_API_SLOT( api_physic, PrimGetOffsetFromJoint, 43 );
LOGIC_API_SLOT( api_physic, PrimSetOffsetFromJoint, 44 );
LOGIC_API_SLOT( api_physic, Pad, 45 );
LOGIC_API_TABLE_SIZE( api_physic, LOGIC_API_PHYSIC_SLOTS );

#ifdef __cplusplus
}
#endif

#endif
