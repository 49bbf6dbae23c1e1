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

	A module runs in a phase when it is active and its context mask meets
	the body's current context, or when the phase's run-once flag is set;
	the pre phase clears that flag before the call, the collision and
	post phases after it. A phase walk keeps its cursor in the body, and
	unlinking a module moves the cursor past it, so a module may delete
	any module (itself included) from inside a phase.

	Contact state (mui32PhysicState), cleared by the pre-collision update:
	1 on a floor, 2 falling, 4 on a platform body, 8 on another body. A
	change of the bits in mui32StateChangeNotifyBits is sent to the owner
	at once.

===============================================================================
*/
#ifndef EF_PHYSIC_H
#define EF_PHYSIC_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTVector3d.h"
#include "datatypes/containers/MLIST.h"
#include "framework/physics/EFCollisionModel.h"
#include "framework/physics/EFRayIntersectOut.h"
#include "framework/physics/RayIntersectIn.h"

struct RwMatrix;

class EFCollisionStage;
class EFEnvCollisionPrim;
class EFPhysicData;
class EFPhysicModule;
class PLEmitter;
struct EFCollisionData;
struct EFDynamicPhysic;

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
// Platforms; the second also carries its owner's children.
constexpr u32 EF_PHYSIC_PLATFORM			= 0x200000;
constexpr u32 EF_PHYSIC_CARRIER				= 0x400000;
// Contact state bits.
constexpr u32 EF_STATE_ON_FLOOR				= 0x1;
constexpr u32 EF_STATE_FALLING				= 0x2;
constexpr u32 EF_STATE_ON_PLATFORM			= 0x4;
constexpr u32 EF_STATE_ON_BODY				= 0x8;
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
	// A platform (0x200000 or 0x400000) that does not move by its velocity
	// (no 0x20000): what meets it in a collision system never pushes it
	// nor gives it a velocity, whatever its priority and weight.
	bool					IsStillPlatform() const {
		return ( mui32PhysicFlags & ( EF_PHYSIC_PLATFORM | EF_PHYSIC_CARRIER ) ) != 0 &&
			   ( mui32PhysicFlags & EF_PHYSIC_MOVES ) == 0;
	}

	// The frame's start: oInitPos, contact state 0, then the pre phase; a
	// module whose PreColUpdate returns 0 is deleted.
	void					PreCollisionUpdate( f32 dt, EFDynamicPhysic & record );
	// After the collisions (stage null outside a collision system): the
	// post phase, particles, the primary primitive check and the state.
	void					PostCollisionUpdate( f32 dt, EFCollisionStage * stage, EFDynamicPhysic & record );
	// The falling rule, then the state-change notification.
	void					UpdatePhysicState( f32 dt, EFDynamicPhysic & record );
	// Response hook for one collision of this body.
	void					CollisionUpdate( EFCollisionStage * stage, EFCollisionData & data, f32 dt );
	// The stage's primitives against its polygons; whether a report was
	// made.
	bool					CheckEnvCollisions( EFCollisionStage & stage, f32 elapsed, f32 dt );
	// The stage's primitives against another body's; whether a report was
	// made. otherStage is the other body's stage when it is a member.
	bool					CheckObjCollisions( EFCollisionStage & stage, EFDynamicPhysic & other,
												EFCollisionStage * otherStage, f32 elapsed, f32 dt );
	// Detection-only pairs touching now are told to their bodies.
	void					CheckNoPushCollisions( EFCollisionStage * stage, EFDynamicPhysic * other );
	// The particles of the emitters against this body's primitives.
	void					CheckParticleCollisions( PLEmitter ** emitters, u32 count );
	// The ray against the model's primitives, nearer than t.
	RayIntersectResult		RayIntersect( const RayIntersectIn & in, EFRayIntersectOut & out, f32 & t );

	// Whether the module runs in the phase (EF_DM_PHASE_PRE, _COL, _POST).
	bool					ModuleRuns( const EFPhysicModule & module, u32 phase ) const;

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

private:
	// The phase walk's cursor: the module it visits next and the one it
	// is visiting (null once that one is unlinked), and the phase.
	EFPhysicModule *		mpoWalkNext;
	EFPhysicModule *		mpoWalkCurrent;
	u32						mui32WalkPhase;

	void					PrepareWalk( u32 phase, EFPhysicModule * head );
	// The next module of the walk, moving the cursor on; null at the end.
	EFPhysicModule *		NextOfWalk();
	void					RunCollisionPhase( EFCollisionStage * stage, EFCollisionData & data, f32 dt );
	// The owner frame's world matrix; null without owner or frame.
	const RwMatrix *		GetOwnerLTM() const;
	// Whether the owners of this body and other are ancestor and
	// descendant.
	bool					IsRelative( const EFPhysic & other ) const;
	void					Notify( u32 type, void * data ) const;
};

#endif
