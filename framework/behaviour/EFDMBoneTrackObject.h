/*
===============================================================================

	Bone tracking (post-collision): turns one bone of the owner's
	skeleton (a head, say) toward a target object, one of its bones, or
	the first object of a group query, after the body has moved. Tracking
	engages within a distance (optionally in a height window) and an
	angle, blends in over the blend time and blends out when the target
	leaves; state values 4 (tracking), 1 (releasing) and 2 (released)
	report the phases. A bone index beyond the skeleton is no bone.

===============================================================================
*/
#ifndef EF_DM_BONE_TRACK_OBJECT_H
#define EF_DM_BONE_TRACK_OBJECT_H

#include "datatypes/maths/DTVector3d.h"
#include "framework/logic/api/LogicApiRecords.h"
#include "framework/physics/EFPhysicModule.h"

class EFGameObject;
class EFObjectRetriever;

enum EFDMBoneTrackState_e : u32 {
	EF_DM_BONE_RELEASING	= 1,
	EF_DM_BONE_RELEASED		= 2,
	EF_DM_BONE_TRACKING		= 4,
};

// The target id of a target that was not found when the parameters were
// set.
constexpr u32 EF_DM_BONE_NO_TARGET = 0x7FFFFFFE;

class EFDMBoneTrackObject : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x4000001C;

	explicit				EFDMBoneTrackObject( EFPhysic * owner );
							~EFDMBoneTrackObject() override;

	void					PostColUpdate( EFCollisionStage * stage, f32 dt ) override;
	// DMBoneTrackObjectParams: the distance stored squared, a target id
	// below 0xFF000000 resolved once, from it a group query.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;

	// The blend factor for distance² d and angle a, stepping the states
	// and the timer by dt.
	f32						GetInterpolationFactor( f32 d, f32 a, f32 dt );

	u32						mui32Bone;
	u32						mui32TargetId;
	u32						mui32TargetBone;
	DTVector3d				moOffset;
	ObjectRetrieverParams	moQuery;
	f32						mfBlendTime;
	f32						mfMaxDistanceSquare;
	f32						mfHeightWindow;
	f32						mfEngageAngle;
	f32						mfMaxTurn;
	u32						mui32Invert;
	EFObjectRetriever *		mpoRetriever;
	DTVector3d				moRestDirection;
	f32						mfTimer;

private:
	void					DeleteRetriever();
	EFGameObject *			Target() const;
};

#endif
