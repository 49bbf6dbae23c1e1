/*
===============================================================================

	What logic does with behaviour modules, through the physics table:
	create one on an object's body by type id (DMAdd), find one by type
	(GetDM), and drive one through its handle.

	A handle is valid while its slot in the physics manager's table holds
	a module with the handle's serial; every operation on an invalid
	handle (0, a slot past the table, a stale serial, an empty slot) does
	nothing and returns 0.

	Activation (DMSetActive): 1 sets the active bit; 0xFFFFFFFF asks each
	phase the module has to run once more and clears the active bit; any
	other value clears the active and run-once bits and zeroes the state
	bits without a notification. DMIsActive is 1 while a run-once bit is
	set, or while the module is active and its context mask meets its
	body's current context.

	Type ids without a module class (15, those above 37, and the rows no
	class fills yet) create nothing.

===============================================================================
*/
#ifndef EF_DM_INTERFACE_H
#define EF_DM_INTERFACE_H

#include "datatypes/base/DTTypes.h"

class EFGameObject;
class EFPhysic;
class EFPhysicModule;

// Type ids of the modules.
enum EFDMType_e : u32 {
	EF_DM_ACCELERATION		= 0,
	EF_DM_TRACK_OBJECT		= 1,
	EF_DM_ANALOG_ROTATION	= 2,
	EF_DM_SPLINE_MOVE		= 3,
	EF_DM_MOVE				= 4,
	EF_DM_ANALOG_MOVE		= 5,
	EF_DM_ANALOG_MOTION		= 6,
	EF_DM_AIR_GRIP			= 7,
	EF_DM_GROUND_GRIP		= 8,
	EF_DM_WAVE				= 9,
	EF_DM_ROTATE			= 10,
	EF_DM_PRIM_MOVE			= 11,
	EF_DM_WATER				= 12,
	EF_DM_GROUND_FOG		= 13,
	EF_DM_CONSTRAINT_ROTATION	= 14,
	EF_DM_PF_WEIGHT_TILT	= 16,
	EF_DM_ROPE_SLIDE		= 17,
	EF_DM_CAMERA_FLEX		= 18,
	EF_DM_EDGE_DOWN			= 19,
	EF_DM_FOLLOW			= 20,
	EF_DM_FLOATING_OBJECT	= 21,
	EF_DM_SHAKING			= 22,
	EF_DM_EDGE				= 23,
	EF_DM_GRAB_EDGE			= 24,
	EF_DM_EDGE_DETECT		= 25,
	EF_DM_ENV_DETECT		= 26,
	EF_DM_RAY_INTERSECT		= 27,
	EF_DM_BONE_TRACK_OBJECT	= 28,
	EF_DM_PARTICLE_LAUNCHER	= 29,
	EF_DM_ROPE_DETECT		= 30,
	EF_DM_QUADRUPED			= 31,
	EF_DM_IK_TWO_JOINTS		= 32,
	EF_DM_CLIMB				= 33,
	EF_DM_ENV_COLL			= 34,
	EF_DM_OBJ_COLL			= 35,
	EF_DM_TUNG				= 36,
	EF_DM_PLUGIN			= 37,
	EF_DM_TYPE_COUNT		= 38,
};

// Makes a module class's instance on body (the water module also needs
// the object); null without memory.
typedef EFPhysicModule * ( *EFDMFactory )( EFPhysic * body, EFGameObject * object );

struct EFDMTypeRow {
	u32						mui32TypeWord;
	EFDMFactory				mpfnCreate;
};

// The row of a type id; null past the table.
const EFDMTypeRow *		DMTypeRow( u32 typeId );

// A new module of typeId on the object's body, linked into its lists;
// its handle (0 with a full handle table, the module running all the
// same). 0 and nothing made without the object, its body, a class for
// the id or memory.
u32						DMAdd( u32 objectId, u32 typeId );
// The handle of the next module of typeId after the module of after,
// walking on in that module's list even when another body owns it (from
// the object's first module when after is not a live handle); 0 when
// there is none.
u32						GetDM( u32 objectId, u32 typeId, u32 after );

void					DMGetParams( u32 handle, void * params );
void					DMSetParams( u32 handle, void * params );
void					DMDoAction( u32 handle, u32 action, void * data );
void					DMGetData( u32 handle, void * data );
void					DMSetContextMask( u32 handle, u32 mask );
void					DMSetActive( u32 handle, u32 value );
u32						DMIsActive( u32 handle );
u32						DMGetState( u32 handle );
void					DMSetStateBits( u32 handle, u32 bits );
void					DMResetStateBits( u32 handle, u32 bits );
void					DMSetStateChangeNotifyBits( u32 handle, u32 bits );
void					DMResetStateChangeNotifyBits( u32 handle, u32 bits );

#endif
