/*
===============================================================================

	Ray probe (pre- and post-collision): one ray fixed to the body, given
	in the body's axes, is cast every physics pass; the nearest hit
	(environment polygon or object primitive) is kept in the body's axes
	for logic to read back through GetParams. State bit 0 tells whether
	the ray hits (state-change rule).

	Before collision the frame's bounding sphere (still in the body's
	axes) is grown to hold the ray's end when it lies at most 0.0025
	beyond it; a ray reaching further is tested against everything the
	physics manager holds instead of the stage's gathered primitives.

	A pass without a stage keeps the last result and state bit.

===============================================================================
*/
#ifndef EF_DM_RAY_INTERSECT_H
#define EF_DM_RAY_INTERSECT_H

#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFPhysicModule.h"

class EFDMRayIntersect : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x5000001B;

	explicit				EFDMRayIntersect( EFPhysic * owner );
	// For derived probes: the type id gets both phase bits.
							EFDMRayIntersect( EFPhysic * owner, u32 typeId );
							~EFDMRayIntersect() override = default;

	u32						PreColUpdate( EFDynamicPhysic & record, f32 dt ) override;
	void					PostColUpdate( EFCollisionStage * stage, f32 dt ) override;
	// DMRayIntersectParams; null zeroes everything.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;

	// The radius the frame sphere needs to hold point q: r when inside, the
	// distance when within 0.0025 beyond, minus the distance beyond that.
	static f32				CalcRadiusFor( const EFDynamicPhysic & record, const DTVector3d & q );

	RayIntersectIn			moRay;
	RayIntersectResult		mui32Result;
	RayIntersectOut			moOut;
	u8						mbTestEverything;

private:
	bool					IntersectCollision( EFCollisionStage & stage );
	bool					IntersectAll();
	void					IntersectEnvironment( EFCollisionStage & stage, f32 & t );
	void					IntersectObjects( f32 & t );
};

#endif
