/*
===============================================================================

	Collision system: the colliding bodies of one island, simulated
	together through a physics pass, one stage per member.

	Init gathers the island around one colliding body: every colliding
	body of the pass whose frame bounding sphere overlaps a member's
	joins, up to 16 members. Then the outside bodies near the island (64
	at most over both pass lists), the particle emitters near it (when a
	member tests particles) and each member's environment polygons are
	listed. Stages and lists live in the frame's work memory from the
	given point on, carved in that order; the same area serves each
	island of the pass. A stage that does not fit is not made (its body
	forms an island of its own later); lists that do not fit are cut
	short with a debug message.

	Update advances the island through the frame step in at most 11
	iterations: find the earliest contact, move every member to it,
	resolve the contacts that fall within the members' time tolerance,
	slide velocities along several contacts, and go on. Time left after
	the 11th iteration is not simulated. A member attached under a body
	carrying its children (0x400000) moves by its velocity relative to
	that body, turned into the parent frame's space.

	A contact between two members shares its impulse by priority: the
	lower priority takes all of it, equal priorities share it by weight
	(weights that cannot be shared, such as 0, split it equally). The
	restitution comes from the two hardness and rebound values, the
	environment's from the polygon's surface attributes.

===============================================================================
*/
#ifndef EF_COLLISION_SYSTEM_H
#define EF_COLLISION_SYSTEM_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTSphere.h"
#include "framework/physics/EFCollisionStage.h"

class EFCollisionReport;
struct EFUpdatePhysicStruct;

// Members of one island, outside bodies listed, iterations of a pass.
constexpr u32 EF_SYSTEM_MAX_STAGES		= 16;
constexpr u32 EF_SYSTEM_MAX_COLLIDABLES	= 64;
constexpr u32 EF_SYSTEM_MAX_ITERATIONS	= 11;

class EFCollisionSystem {
public:
							EFCollisionSystem();
	virtual					~EFCollisionSystem();

							EFCollisionSystem( const EFCollisionSystem & ) = delete;
	EFCollisionSystem &		operator=( const EFCollisionSystem & ) = delete;

	// Builds the island of record index of the pass in memory up to end.
	void					Init( EFUpdatePhysicStruct & frame, u32 pass, u32 index, void * memory, void * end );
	void					Update( EFUpdatePhysicStruct & frame );
	// The members' post-collision updates; they are done for this pass.
	void					PostUpdate( EFUpdatePhysicStruct & frame );
	// Gives back what is left and the frame-wide emitter lists.
	void					Terminate( EFUpdatePhysicStruct & frame );

	// The earliest contacts of the dirty stages, merged into the report
	// list; then every stage's pushes.
	void					CheckCollisions( EFUpdatePhysicStruct & frame );
	// Resolves the first report.
	void					ComputeCollision( EFUpdatePhysicStruct & frame );
	void					ComputeBSphere();
	// Detection-only contacts of the members with outside bodies and
	// later members.
	void					CheckNoPushCollisions();

	u32						GetStageCount() const { return mui32NbStages; }
	EFCollisionStage *		GetStage( u32 index ) const { return index < mui32NbStages ? &mpoStages[index] : nullptr; }
	const DTSphere &		GetBSphere() const { return moBSphere; }

	u32						mui32SetUp;
	EFCollisionStage *		mpoStages;
	u32						mui32NbStages;
	EFCollisionReport *		mpoReports;
	f32						mfElapsed;
	DTSphere				moBSphere;
	u32						mui32Flags;
	u32						mui32CollisionType;
	u32						mui32CollisionUDType;
	u32						mui32DetectType;
	u32						mui32UDDetectType;
	EFCollisionStage::CollidableList	maCollidables[EF_PHYSIC_PASS_COUNT];

private:
	void					CreateSystem( EFUpdatePhysicStruct & frame, u32 pass, u32 index );
	void					BuildCollidableLists( EFUpdatePhysicStruct & frame );
	void					BuildParticleEmittersList( EFUpdatePhysicStruct & frame );
	void					BuildEnvPrimsLists( EFUpdatePhysicStruct & frame );
	// A new stage for record at the end of the array; null when it does
	// not fit.
	EFCollisionStage *		AddStage( EFDynamicPhysic & record, f32 dt );
	// Moves every member by its velocity over step seconds.
	void					Advance( f32 step );
	// Takes the system's first report off and gives it back.
	void					DropFirstReport();
};

#endif
