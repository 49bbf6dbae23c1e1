/*
===============================================================================

	Climbing on surfaces (pre- and post-collision): a character walks on
	walls and ceilings whose polygons the probe mask 0xA00 sees. Five
	probes along the body's forward axis weigh the nearby polygons'
	normals (closer counts more); the body's up turns toward their sum.
	On a surface gravity pulls along the body's own down axis, the stick
	steers and drives the body relative to camera 0, and three spine
	bones of the character's skeleton bend with the surface.

	State word: 1 on a surface (the centre probe within the contact
	limit), 2 off it; each is notified when the word did not hold it yet
	and the notify bits name it. The bounding-sphere radius is raised for
	collision every update and put back only off a surface.

	The module does nothing until a set-up has run (SetParams; null
	takes the defaults). The stick action is looked up every update, so
	a removed configuration stops the steering. When the body's up is
	exactly opposite the surface normal it turns about its right axis.

===============================================================================
*/
#ifndef EF_DM_CLIMB_H
#define EF_DM_CLIMB_H

#include "datatypes/maths/DTVector3d.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFPhysicModule.h"

class EFCollisionStage;
struct ActionState;
struct RwFrame;
struct RwMatrix;

// State values.
constexpr u32 EF_DM_CLIMB_ON_SURFACE	= 1;
constexpr u32 EF_DM_CLIMB_OFF_SURFACE	= 2;
// The probes' detection mask, written into the record every update.
constexpr u32 EF_DM_CLIMB_PROBE_MASK	= 0xA00;
// A bone id that names no bone.
constexpr u32 EF_DM_CLIMB_NO_BONE		= 9999999;
constexpr u32 EF_DM_CLIMB_PROBES		= 5;
constexpr u32 EF_DM_CLIMB_BONES			= 3;

// The defaults of the climbing record.
void		DMClimbParamsInit( DMClimbParams * params );

// The stick (x, y) as a direction on the surface whose up is u, seen
// from the camera matrix camera toward the body matrix body; returns the
// stick's length (at most 1), 0 below 0.0001 with out left alone.
f32			ProjectInputOntoLocalFloor( f32 x, f32 y, const RwMatrix & camera, const RwMatrix & body,
										const DTVector3d & u, DTVector3d * out );

// The weighted normal of the polygons of the stage that mask sees within
// squared distance 10 of point, and the nearest squared distance (11
// when none); 0 when no polygon counted.
u32			EFCollisionStage_FindWeightedAvgNormal( const EFCollisionStage * stage, const DTVector3d & point,
													u32 mask, DTVector3d * normal, f32 * nearest );

class EFDMClimb : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x50000021;

	struct FloorDetect {
		f32					mfOffset;
		DTVector3d			moPosition;
		u32					mui32Found;
		DTVector3d			moNormal;
		f32					mfNearest;
	};

	explicit				EFDMClimb( EFPhysic * owner );
							~EFDMClimb() override = default;

	u32						PreColUpdate( EFDynamicPhysic & record, f32 dt ) override;
	void					PostColUpdate( EFCollisionStage * stage, f32 dt ) override;
	// DMClimbParams; null: the defaults of DMClimbParamsInit.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;
	// Any code: the yaw, pitch and roll bends return to 0.
	void					DoAction( u32 action, void * data ) override;

	DMClimbParams			moParams;
	const ActionState *		mpoAction;
	DTVector3d				moGravity;
	RwFrame *				mapoBone[EF_DM_CLIMB_BONES];
	FloorDetect				maoProbe[EF_DM_CLIMB_PROBES];
	DTVector3d				moSumNormal;
	DTVector3d				moMidNormal;
	f32						mfSavedRadius;
	RwFrame *				mpoBodyFrame;
	f32						mfYawBend;
	f32						mfStickMagnitude;
	// Set by the first SetParams: the phases run only after it.
	u32						mbReady;

private:
	void					UpdateFloorDetect( const EFCollisionStage * stage );
	void					RotateUpTowards( const DTVector3d & normal, f32 dt );
	void					BendBack( const DTVector3d & mid, const DTVector3d & sum, f32 dt );
	void					SetBSphereRadius( EFDynamicPhysic * record, f32 radius );
	void					InputMove( EFDynamicPhysic & record, f32 dt );
	void					RotateHero( EFDynamicPhysic & record, const DTVector3d & direction, f32 m, f32 dt );
	// Sets the exclusive state, notified under the module's rule.
	void					SetSurfaceState( u32 state );
};

#endif
