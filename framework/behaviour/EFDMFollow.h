/*
===============================================================================

	Follow (pre- and post-collision): an object follows a leader along the
	leader's recent path.

	Every fifth physics frame the leader's position (raised by 0.5) goes
	into a ring of 25 when it moved at least 0.25 since the last one. Each
	frame the follower aims at a point the follow distance short of the
	leader; while a ray there is blocked it walks back through the ring to
	the most recent position it can see (at most 26 tests), turns toward
	it and adds a capped velocity to its target velocity. State bit 0 is
	arrived (the follower stays put while the leader is within the stop
	distance), bit 1 stuck: 10 frames in a row ending short of the target
	in +x or +z.

	The leader id may be 0x2A000000 (the object whose logic set it): the
	module keeps the id that names. The ring is filled with the leader's
	position on the first update of the first follow module of the run
	only; logic restarts a module's ring with action 1.

===============================================================================
*/
#ifndef EF_DM_FOLLOW_H
#define EF_DM_FOLLOW_H

#include "datatypes/maths/DTVector3d.h"
#include "framework/physics/EFPhysicModule.h"

class DTFrame;

// Slots of the leader's trail.
constexpr u32 EF_DM_FOLLOW_RING			= 25;
// State bits.
constexpr u32 EF_DM_FOLLOW_ARRIVED		= 0x1;
constexpr u32 EF_DM_FOLLOW_STUCK		= 0x2;

class EFDMFollow : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x50000014;

	// With the defaults of SetParams (null).
	explicit				EFDMFollow( EFPhysic * owner );
							~EFDMFollow() override = default;

	u32						PreColUpdate( EFDynamicPhysic & record, f32 dt ) override;
	// Stuck detection.
	void					PostColUpdate( EFCollisionStage * stage, f32 dt ) override;
	// DMFollowParams, taking the body's radius; null restores the
	// defaults and clears the trail index, target and stuck count.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;
	// 1: Reset.
	void					DoAction( u32 action, void * data ) override;

	// Every slot of the trail becomes the leader's position.
	void					Reset();
	// Records a leader position (raised by 0.5) that moved far enough.
	void					UpdateLeadPosArray( const DTVector3d & leader );
	// Whether the ray from the follower along v hits anything.
	bool					IsIntersecting( const DTVector3d & v ) const;

	// Whether any follow module has had its first update in this run.
	static bool				msbFirstUpdateDone;

	u32						mui32LeaderId;
	f32						mfFollowDistance;
	f32						mfStopDistance;
	f32						mfLookSmoothing;
	f32						mfMaxSpeed;
	f32						mfMinSpeed;
	u32						mui32ObjUDDetectType;
	DTVector3d				maoRing[EF_DM_FOLLOW_RING];
	u32						mui32RingIndex;
	u32						mui32Frame;
	DTVector3d				moFollowerPos;
	DTVector3d				moLeaderPos;
	DTVector3d				moTarget;
	f32						mfRadius;
	u32						mui32BlockedFrames;
	u8						mbStuck;

private:
	void					SetDefaults();
	void					UpdateVelocity( EFDynamicPhysic & record, DTFrame & frame, f32 dt );
	void					LookAtTarget( DTFrame & frame, f32 dt );
};

#endif
