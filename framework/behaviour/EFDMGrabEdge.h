/*
===============================================================================

	Ledge grabbing (post-collision): a character catches a grabbable edge
	of the environment polygons with its hand primitive, turns toward it
	while reaching it, hangs from it and shimmies along it with the
	stick, going round corners onto adjacent grabbable edges (edges whose
	vertex is exactly the current edge's end).

	State word: 0 searching, 1 reaching, 2 hanging, 4 at the end of a
	ledge; each new value is notified when the notify bits hold it. The
	phase (0 reaching, 1 hanging, 2 corner) runs under the state word and
	survives a release by logic. A physics frame missed outside a pause
	sends the module back to searching.

	The hand is a slot index read through the collision model: an
	unknown tag or a slot array shrunk since means no hand, and the
	update and GetParams do nothing. Edges of zero length are never
	caught nor followed. Without camera 0 the stick gives no motion.

===============================================================================
*/
#ifndef EF_DM_GRAB_EDGE_H
#define EF_DM_GRAB_EDGE_H

#include "datatypes/maths/DTVector3d.h"
#include "framework/physics/EFPhysicModule.h"

class EFEnvCollisionPrim;
class EFObjCollisionPrim;
struct RwFrame;

// State values.
constexpr u32 EF_DM_GRAB_REACHING	= 1;
constexpr u32 EF_DM_GRAB_HANGING	= 2;
constexpr u32 EF_DM_GRAB_LEDGE_END	= 4;
// Phases.
constexpr s32 EF_DM_GRAB_PHASE_REACH	= 0;
constexpr s32 EF_DM_GRAB_PHASE_HANG		= 1;
constexpr s32 EF_DM_GRAB_PHASE_CORNER	= 2;

class EFDMGrabEdge : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x40000018;

	explicit				EFDMGrabEdge( EFPhysic * owner );
							~EFDMGrabEdge() override = default;

	void					PostColUpdate( EFCollisionStage * stage, f32 dt ) override;
	// DMGrabEdgeParams; null: the defaults. Both set the state to searching.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;
	// 1: the edge vector and the ledge normal.
	void					DoAction( u32 action, void * data ) override;

	f32						mfMaxTurn;
	f32						mfGrabDistance;
	u32						mui32PrimIndex;
	u32						mui32InputConfigId;
	u32						mui32ActionId;
	f32						mfReachSpeed;
	f32						mfMaxEdgeSpeed;
	f32						mfMinEdgeSpeed;
	f32						mfTurnRate;
	f32						mfHandDepth;
	u32						mui32LastFrame;
	f32						mfEdgeT;
	f32						mfInputFactor;
	s32						mi32Phase;
	f32						mfEdgeLength;
	DTVector3d				moEdgeVector;
	DTVector3d				moLedgeNormal;
	DTVector3d				moGrabPoint;
	DTVector3d				moEdgeStart;
	DTVector3d				moEdgeEnd;
	DTVector3d				moNextVertex;
	DTVector3d				moReachStart;
	DTVector3d				moReachVelocity;
	DTVector3d				moTurnAxis;
	f32						mfTurnAmount;
	f32						mfTurned;
	f32						mfReachTime;
	f32						mfReachElapsed;

private:
	void					SetDefaults();
	EFObjCollisionPrim *	GetPrim() const;
	bool					FindNewGrabEdge( EFCollisionStage & stage, const EFObjCollisionPrim & hand,
											 const DTVector3d & q, const DTVector3d & p );
	bool					FindAdjEdge( EFCollisionStage & stage, const EFObjCollisionPrim & hand );
	void					ReachEdge( f32 dt, RwFrame * frame, EFObjCollisionPrim & hand );
	void					MoveOnEdge( EFObjCollisionPrim & hand );
	bool					UpdateFactor( f32 dt );
	u32						Transition( f32 dt, RwFrame * frame );
	void					ComputeInputFactor();
	// Moves the body so that the hand primitive lands on target.
	void					HoldHandAt( EFObjCollisionPrim & hand, const DTVector3d & target );
	void					Search( EFCollisionStage & stage, EFObjCollisionPrim & hand, RwFrame * frame,
									const DTVector3d & position, const DTVector3d & at,
									const DTVector3d & right, f32 dt );
	void					SetState( u32 state );
};

#endif
