/*
===============================================================================

	Edge down (pre- and post-collision): tips an object over a ledge.
	After collision it looks for a floor edge (normal y above 0.25) near
	one primitive of the body with no floor beyond it (a probe 1.1 r out
	along x and z); found, the object is turned about the vertical to face
	across the edge, the primitive snapped onto it, the body stopped and
	state bit 0 set. Before collision a set bit 0 plays a half turn about
	the edge at pi / duration per second; the step that completes pi
	clears bit 0 (state-change rule both ways).

	Both phases keep the physics frame number, so the post phase of a
	frame whose pre phase ran takes the gap the pre phase saw. A frame
	without either phase resets the tipped angle and the state
	(silently). A primitive gone from the
	slot array makes the search do nothing.

===============================================================================
*/
#ifndef EF_DM_EDGE_DOWN_H
#define EF_DM_EDGE_DOWN_H

#include "datatypes/maths/DTVector3d.h"
#include "framework/physics/EFPhysicModule.h"

class EFCollisionStage;

class EFDMEdgeDown : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x50000013;

	explicit				EFDMEdgeDown( EFPhysic * owner );
							~EFDMEdgeDown() override = default;

	u32						PreColUpdate( EFDynamicPhysic & record, f32 dt ) override;
	void					PostColUpdate( EFCollisionStage * stage, f32 dt ) override;
	// DMEdgeDownParams; null: index 0, duration 0. Both clear the matched
	// bits.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;

	// Whether the ray from p along d meets another polygon of the stage.
	bool					IsInSomeOtherPrim( const DTVector3d & p, const DTVector3d & d,
											   const EFCollisionStage & stage ) const;

	s32						mi32PrimIndex;
	f32						mfTipDuration;
	u32						mui32MatchedBits;
	DTVector3d				moTipAxis;
	f32						mfTipRate;
	f32						mfTippedAngle;
	u32						mui32LastFrame;

private:
	// Whether this frame's pre phase found a frame missing.
	bool					mbPreGap;
};

#endif
