/*
===============================================================================

	Quadruped (pre- and post-collision): makes a four-legged character
	follow the ground and its own turns without touching its collision.
	After collision it measures the slope of the floor polygon nearest
	the body and the turn of the body since the last update; before
	collision it pitches the root bone (node 0) to the smoothed slope.
	Two bones (neck and tail, say) bend into the turn, each bend the mean
	of the last ten samples. Tilts and bends of 0.05 radians or less are
	not applied; a bone the skeleton does not have is never touched.

===============================================================================
*/
#ifndef EF_DM_QUADRUPED_H
#define EF_DM_QUADRUPED_H

#include "datatypes/maths/DTVector3d.h"
#include "framework/physics/EFPhysicModule.h"

struct RwFrame;

enum EFDMQuadrupedFlags_e : u32 {
	EF_DM_QUADRUPED_TILT	= 0x1,
	EF_DM_QUADRUPED_BEND	= 0x2,
};

// DoAction codes: reset tilt and bends, take the next tilt at once, copy
// the floor normal and the projected normal (six floats) out.
enum EFDMQuadrupedAction_e : u32 {
	EF_DM_QUADRUPED_RESET	= 0x1,
	EF_DM_QUADRUPED_SNAP	= 0x2,
	EF_DM_QUADRUPED_NORMALS	= 0x4,
};

constexpr u32 EF_DM_QUADRUPED_SAMPLES = 10;

class EFDMQuadruped : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x5000001F;

	explicit				EFDMQuadruped( EFPhysic * owner );

	u32						PreColUpdate( EFDynamicPhysic & record, f32 dt ) override;
	void					PostColUpdate( EFCollisionStage * stage, f32 dt ) override;
	// DMQuadrupedParams; null restores the defaults and clears the tilt,
	// the bends and the rings.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;
	void					DoAction( u32 action, void * data ) override;
	void					SetDefaultParams();

	// The normal of the nearest floor polygon within reach of point; 0
	// when there is none.
	u32						FindNearestNormal( const EFCollisionStage * stage, const DTVector3d & point,
											   DTVector3d * normal ) const;
	// The turn angle a and side value b of reference against the previous
	// one.
	void					ComputeObjRefRotation( const DTVector3d & reference, f32 * a, f32 * b ) const;

	u32						mui32BoneA;
	f32						mfBoneALimit;
	u32						mui32BoneB;
	f32						mfBoneBLimit;
	f32						mfTiltRate;
	f32						mfBendFactor;
	u32						mui32AxisMode;
	u32						mui32Options;
	u8						mbSnapTilt;
	u8						mbResetTilt;
	u8						mbResetBends;
	DTVector3d				moFloorNormal;
	DTVector3d				moProjectedNormal;
	f32						mfBoneABend;
	f32						mfBoneBBend;
	DTVector3d				moPreviousReference;
	DTVector3d				moForward;
	DTVector3d				moUp;
	DTVector3d				moRight;
	DTVector3d				moPosition;
	DTVector3d				moRootForward;
	DTVector3d				moRootRight;
	DTVector3d				moRootUp;
	f32						mfTilt;
	f32						mfTargetTilt;
	f32						mafBoneBSamples[EF_DM_QUADRUPED_SAMPLES];
	f32						mafBoneASamples[EF_DM_QUADRUPED_SAMPLES];
	u32						mui32RingIndex;
	f32						mfMinFloorNormalY;

private:
	void					AdaptFrameToFloor( const EFCollisionStage * stage, f32 dt );
	void					ComputeFrameRotationParams( const EFCollisionStage * stage );
	void					ComputeBoneRotationParams();
	void					ApplyBoneRotation( f32 angle, RwFrame * bone ) const;
	void					ClearRings();
	// The body's axis turns are measured on.
	DTVector3d				Reference() const;
	RwFrame *				Bone( u32 id ) const;
};

#endif
