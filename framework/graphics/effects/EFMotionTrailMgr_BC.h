/*
===============================================================================

	Motion trail manager (global object goMotionTrailMgr). Placeholder
	body: no trail system is made; CreateSystem answers 0xFFFFFFFF.

===============================================================================
*/
#ifndef EF_MOTION_TRAIL_MGR_BC_H
#define EF_MOTION_TRAIL_MGR_BC_H

#include "datatypes/base/DTTypes.h"

class DTVector3d;

class EFMotionTrailMgr_BC {
public:
	u32						CreateSystem( u32 controlPoints, u32 segments, u32 flags );
	void					DestroySystem( u32 handle );
	void					SetFrequency( u32 handle, f32 frequency );
	void					SetLifeSpan( u32 handle, u32 point, f32 seconds );
	void					SetJoint( u32 handle, u32 point, u32 objectId, u32 joint );
	void					SetPosition( u32 handle, u32 point, const DTVector3d* position );
	void					SetRGB( u32 handle, u32 point, f32 red, f32 green, f32 blue );
	void					Start( u32 handle );
	void					StopTracking( u32 handle );
	void					StopDraw( u32 handle );

	void					Update( f32 dt );
	void					Terminate();
	void					Render();
};

extern EFMotionTrailMgr_BC	goMotionTrailMgr;

#endif
