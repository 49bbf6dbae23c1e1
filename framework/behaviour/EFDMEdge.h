/*
===============================================================================

	Ledge snap (post-collision): stops a body at the rim of a drop. Among
	the walkable polygons (normal y at least 0.6) the stage gathered, the
	rim nearest the foot point that one primitive of the body reaches and
	beyond which no floor lies within 1.1 r below is taken: the body is
	turned upright about the vertical to face it, moved so the
	primitive's centre sits on it, stopped, and state bit 0 set. No rim
	clears bit 0 (state-change rule both ways).

	The foot point is the primitive's centre moved along the frame's at
	axis by the forward offset, measured only while bit 0 is clear. A
	physics frame without this module's pass restarts the state from 0
	without a notification. A primitive gone from the slot array makes
	the update do nothing.

===============================================================================
*/
#ifndef EF_DM_EDGE_H
#define EF_DM_EDGE_H

#include "framework/physics/EFPhysicModule.h"

class EFObjCollisionPrim;

class EFDMEdge : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x40000017;

	explicit				EFDMEdge( EFPhysic * owner );
							~EFDMEdge() override = default;

	void					PostColUpdate( EFCollisionStage * stage, f32 dt ) override;
	// DMEdgeParams; null: primitive index 0. Both clear the matched bits.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;

	u32						mui32PrimIndex;
	u32						mui32MatchedBits;
	u32						mui32Mirror;
	f32						mfForwardOffset;
	u32						mui32LastFrame;
};

#endif
