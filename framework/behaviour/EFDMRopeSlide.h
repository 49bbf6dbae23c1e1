/*
===============================================================================

	Rope sliding (pre- and post-collision): carries a body hanging from a
	rope (a spline of the level) along it. Before collision the slide
	speed follows the rope's slope and the stick (bounded by the backward
	and forward speed factors), the stick swings the body about the rope
	while it hangs close, the body is turned along the rope and hangs
	below it on a spring between the hang distance and the hang range. At
	the end of a rope the slide hands over to the following rope that
	best matches the body's up and right axes; with none the body stops
	and the state bit of value 2 is set. After collision the body is put
	back below the rope, the state bit of value 1 telling whether it
	hangs within the hang distance + 0.01, and the hand primitive's frame
	may be placed on the rope (arm pose). Logic starts a slide with
	action 1 naming a rope.

	A hang range that is not positive makes the spring stiffness the one
	at the hang distance. A hand primitive gone from the slot array only
	skips the arm pose.

===============================================================================
*/
#ifndef EF_DM_ROPE_SLIDE_H
#define EF_DM_ROPE_SLIDE_H

#include "framework/core/spline/EFSplineCursor.h"
#include "framework/physics/EFPhysicModule.h"

class EFDMRopeSlide : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x50000011;

	explicit				EFDMRopeSlide( EFPhysic * owner );
							~EFDMRopeSlide() override = default;

	u32						PreColUpdate( EFDynamicPhysic & record, f32 dt ) override;
	void					PostColUpdate( EFCollisionStage * stage, f32 dt ) override;
	// DMRopeSlideParams; null restores the defaults. The cursor, slide
	// speed and swing stay.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;
	// 1: DMRopeSlideAttach.
	void					DoAction( u32 action, void * data ) override;
	// Places the hand frame on the rope, half-way.
	void					ComputeIK();

	u32						mui32ActionId;
	u32						mui32ConfigId;
	f32						mfSwingInputFactor;
	f32						mfHangDistance;
	f32						mfHangRange;
	f32						mfSpringAtHang;
	f32						mfSpringAtRange;
	f32						mfRopeGravity;
	f32						mfForwardSpeedFactor;
	f32						mfBackwardSpeedFactor;
	f32						mfNominalSpeed;
	f32						mfSpeedBlendRate;
	u32						mui32ArmPose;
	EFSplineCursor			moCursor;
	f32						mfSwingAngle;
	f32						mfSwingRate;
	f32						mfSwingBlendHolding;
	f32						mfSwingBlendOther;
	f32						mfSlideSpeed;
	u32						mui32HandIndex;
	f32						mfSwingLimit;

private:
	// Moves past the rope's end by overshoot onto the best following
	// rope; false when there is none.
	bool					HandOver( f32 overshoot, const RwMatrix & body );
};

#endif
