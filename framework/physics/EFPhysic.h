/*
===============================================================================

	Physics body of one positioned instance.

	Holds the body's link in one of the physics manager's two body lists,
	its flags, its behaviour modules in four intrusive lists (all modules,
	and one per phase: pre-collision, collision, post-collision), each kept
	in ascending type id with modules of one id in the order they came,
	its motion and contact state and its collision model, whose
	mpoPhysicData names the owning instance.

	Flags: bits 0 to 8 are requested by logic and the manager; bits 16 to
	19 are derived from them by NormalizeFlags and are what the physics
	frame tests. The body owns its modules: deleting the body deletes them.

===============================================================================
*/
#ifndef EF_PHYSIC_H
#define EF_PHYSIC_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTVector3d.h"
#include "datatypes/containers/MLIST.h"
#include "framework/physics/EFCollisionModel.h"

class EFEnvCollisionPrim;
class EFPhysicData;
class EFPhysicModule;

// Requested flags.
constexpr u32 EF_PHYSIC_DISABLED			= 0x1;
constexpr u32 EF_PHYSIC_DYNAMIC				= 0x2;
constexpr u32 EF_PHYSIC_COLLIDING			= 0x4;
constexpr u32 EF_PHYSIC_PARTICLES			= 0x8;
constexpr u32 EF_PHYSIC_DELETED				= 0x20;
constexpr u32 EF_PHYSIC_CLIP_DISABLED		= 0x40;
constexpr u32 EF_PHYSIC_CLIP_SUSPENDED		= 0x80;
constexpr u32 EF_PHYSIC_PAUSED				= 0x100;
// The requested bits that NormalizeFlags reads.
constexpr u32 EF_PHYSIC_REQUEST_MASK		= 0x1FF;
// Effective flags.
constexpr u32 EF_PHYSIC_OFF					= 0x10000;
constexpr u32 EF_PHYSIC_MOVES				= 0x20000;
constexpr u32 EF_PHYSIC_COLLIDES			= 0x40000;
constexpr u32 EF_PHYSIC_TESTS_PARTICLES		= 0x80000;
constexpr u32 EF_PHYSIC_EFFECTIVE_MASK		= 0xF0000;
// Body defaults.
constexpr f32 EF_PHYSIC_FALLING_SPEED		= -1.5f;
constexpr f32 EF_PHYSIC_FALLING_DELAY		= 0.2f;
constexpr f32 EF_PHYSIC_MIN_FLOOR_NORMAL_Y	= 0.7071f;

class EFPhysic {
public:
	// A body of the owner with a model of primitives empty slots.
							EFPhysic( EFPhysicData * owner, u32 primitives );
	// Deletes every module, then the model goes with its primitives.
							~EFPhysic();

							EFPhysic( const EFPhysic & ) = delete;
	EFPhysic &				operator=( const EFPhysic & ) = delete;

	// Recomputes bits 16 to 19 from the requested bits: bits 0 to 3 are
	// copied up, 0x40 also sets 0x10000, and 0x80 or 0x100 clears 0x20000,
	// 0x40000 and 0x80000. Run after every change of bits 0 to 8.
	void					NormalizeFlags();

	// Links the module into the all-modules list and into each phase list
	// that its type word names, after every module of a lower or equal
	// type id. A null module is ignored.
	void					LinkModule( EFPhysicModule * module );
	// Takes the module out of every list it is in.
	void					UnLinkModule( EFPhysicModule * module );
	// Deletes every module; each unlinks itself.
	void					RemoveAllModules();
	// The first module of type id after after (from the head when null),
	// or null.
	EFPhysicModule *		FindModule( u32 typeId, EFPhysicModule * after ) const;

	// The owning instance; null once the owner has let go of the body.
	EFPhysicData *			GetOwner() const { return moCollisionModel.mpoPhysicData; }

	MLIST					moPhysicNode;
	u32						mui32PhysicFlags;
	EFPhysicModule *		mpoPreColDM;
	EFPhysicModule *		mpoColDM;
	EFPhysicModule *		mpoPostColDM;
	EFPhysicModule *		mpoAllModules;
	u32						muiPriority;
	f32						mfWeight;
	DTVector3d				moVelocity;
	u32						mui32PhysicState;
	u32						mui32StateChangeNotifyBits;
	u32						mui32CurrentContext;
	f32						mfFallingSpeed;
	f32						mfFallingDelay;
	f32						mfFallingTimer;
	f32						mfFriction;
	f32						mfMinFloorNormalY;
	EFCollisionModel		moCollisionModel;
	f32						mfHardness;
	f32						mfRebound;
	EFEnvCollisionPrim *	mpoLastFloorPrim;
};

#endif
