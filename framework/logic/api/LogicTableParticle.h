/*
===============================================================================

	Layout of the table `_api_particle` that a module gets from the root table:
	particle types, emitters and billboard groups.

	Slot order is the interface with the engine; every slot is one
	function pointer wide. Slots the engine does not fill hold a stub that
	returns zero.

===============================================================================
*/
#ifndef LOGIC_TABLE_PARTICLE_H
#define LOGIC_TABLE_PARTICLE_H

#include "framework/logic/api/LogicApiRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LOGIC_API_PARTICLE_SLOTS		47
#define LOGIC_API_PARTICLE_PAD_SLOTS	16

struct _api_particle {
	u32								( *TypeConvertNameToID )( char * name );
	s32								( *TypeCreate )( void );
	s32								( *TypeDestroy )( s32 type );
	s32								( *TypeSetInter )( s32 type, u32 mask, f32, f32, f32, f32 );
	s32								( *TypeSetInt )( s32 type, u32 mask, s32 value );
	s32								( *TypeGetInt )( s32 type, u32 which, s32 * value );
	s32								( *TypeSetFloat )( s32 type, u32 which, f32 value );
	s32								( *TypeSetVec )( s32 type, u32 which, f32 x, f32 y, f32 z );
	s32								( *TypeSetTexture )( s32 type, char * name );
	s32								( *TypeSetName )( s32 type, char * name );
	s32								( *TypeGetName )( s32 type, char * out );
	u32								( *EmitterConvertNameToID )( char * name, u32 ownerId );
	s32								( *EmitterCreate )( s32 type );
	s32								( *EmitterDestroy )( s32 emitter );
	s32								( *EmitterSetType )( s32 emitter, s32 type );
	s32								( *EmitterStart )( s32 emitter, u32 oneShot );
	s32								( *EmitterStartAt )( s32 emitter, u32 oneShot, f32 time );
	s32								( *EmitterStop )( s32 emitter );
	s32								( *EmitterReset )( s32 emitter );
	s32								( *EmitterSetCollisionPlane )( s32 emitter, u32 plane, DTVector3d * point, DTVector3d * normal, f32 restitution );
	s32								( *EmitterSetJoint )( s32 emitter, u32 objectId, u32 joint );
	s32								( *EmitterSetFlags )( s32 emitter, u32 flags );
	s32								( *EmitterGetFlags )( s32 emitter, u32 * flags );
	s32								( *EmitterSetBox )( s32 emitter, DTVector3d * a, DTVector3d * b );
	s32								( *EmitterGetBBox )( s32 emitter, DTVector3d * min, DTVector3d * max, u32 mode );
	s32								( *EmitterSetBSphereRadius )( s32 emitter, f32 radius );
	s32								( *EmitterSetMessageHandlerID )( u32 emitter, u32 objectId );
	u32								( *CreateBillboardGroup )( u32 count, char * texture, u32 flags, DTVector3d ** positions, u32 ** colours, f32 ** sizes, f32 ** rotations );
	void							( *RenderBillboardGroup )( u32 group, u32 on );
	u32								( *DestroyBillboardGroup )( u32 group );
	u32								( *SetMaxNumBillboards )( u32 max );
	void							( *Pad[LOGIC_API_PARTICLE_PAD_SLOTS] )( void );
};

LOGIC_API_SLOT( _api_particle, TypeConvertNameToID, 0 );
LOGIC_API_SLOT( _api_particle, TypeCreate, 1 );
LOGIC_API_SLOT( _api_particle, TypeDestroy, 2 );
LOGIC_API_SLOT( _api_particle, TypeSetInter, 3 );
LOGIC_API_SLOT( _api_particle, TypeSetInt, 4 );
LOGIC_API_SLOT( _api_particle, TypeGetInt, 5 );
LOGIC_API_SLOT( _api_particle, TypeSetFloat, 6 );
LOGIC_API_SLOT( _api_particle, TypeSetVec, 7 );
LOGIC_API_SLOT( _api_particle, TypeSetTexture, 8 );
LOGIC_API_SLOT( _api_particle, TypeSetName, 9 );
LOGIC_API_SLOT( _api_particle, TypeGetName, 10 );
LOGIC_API_SLOT( _api_particle, EmitterConvertNameToID, 11 );
LOGIC_API_SLOT( _api_particle, EmitterCreate, 12 );
LOGIC_API_SLOT( _api_particle, EmitterDestroy, 13 );
LOGIC_API_SLOT( _api_particle, EmitterSetType, 14 );
LOGIC_API_SLOT( _api_particle, EmitterStart, 15 );
LOGIC_API_SLOT( _api_particle, EmitterStartAt, 16 );
LOGIC_API_SLOT( _api_particle, EmitterStop, 17 );
LOGIC_API_SLOT( _api_particle, EmitterReset, 18 );
LOGIC_API_SLOT( _api_particle, EmitterSetCollisionPlane, 19 );
LOGIC_API_SLOT( _api_particle, EmitterSetJoint, 20 );
LOGIC_API_SLOT( _api_particle, EmitterSetFlags, 21 );
LOGIC_API_SLOT( _api_particle, EmitterGetFlags, 22 );
LOGIC_API_SLOT( _api_particle, EmitterSetBox, 23 );
LOGIC_API_SLOT( _api_particle, EmitterGetBBox, 24 );
LOGIC_API_SLOT( _api_particle, EmitterSetBSphereRadius, 25 );
LOGIC_API_SLOT( _api_particle, EmitterSetMessageHandlerID, 26 );
LOGIC_API_SLOT( _api_particle, CreateBillboardGroup, 27 );
LOGIC_API_SLOT( _api_particle, RenderBillboardGroup, 28 );
LOGIC_API_SLOT( _api_particle, DestroyBillboardGroup, 29 );
LOGIC_API_SLOT( _api_particle, SetMaxNumBillboards, 30 );
LOGIC_API_SLOT( _api_particle, Pad, 31 );
LOGIC_API_TABLE_SIZE( _api_particle, LOGIC_API_PARTICLE_SLOTS );

#ifdef __cplusplus
}
#endif

#endif
