/*
===============================================================================

	Motion trail manager, drawing half: each drawing system is one
	additive indexed triangle strip between consecutive rows, oldest row
	first, built in buffers shared by all systems. A system whose rows do
	not fit the buffers is drawn in pieces of whole rows, each piece
	starting on the row the previous one ended with.

	A sample's colour fades from its control point's colour to black as
	it ages towards the point's life span; a life span of 0 or less draws
	black.

===============================================================================
*/
#ifndef EF_MOTION_TRAIL_MGR_SP_H
#define EF_MOTION_TRAIL_MGR_SP_H

#include "framework/graphics/effects/EFMotionTrailMgr_BC.h"
#include "graphics3d/gamecube/RwDlIm3D.h"

class EFMotionTrailMgr_SP : public EFMotionTrailMgr_BC {
public:
	void					Render();

	RwIm3DVertex			maoVertices[EF_TRAIL_BUFFER_VERTICES];
	RwImVertexIndex			maui16Indices[EF_TRAIL_BUFFER_INDICES];

private:
	void					RenderSystem( const _sSystem& system );
	// Rows first .. first + rows - 1 (ring order) as one strip.
	void					RenderRows( const _sSystem& system, u32 first, u32 rows );
};

#endif
