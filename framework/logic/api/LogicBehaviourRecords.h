/*
===============================================================================

	Records that logic exchanges with behaviour modules through their
	handles: each module's parameter record (DMSetParams, DMGetParams),
	the records of its actions and callbacks, and the payload of the
	state-change notification. Fields are 4 bytes each, in the order the
	modules read them; sizes and offsets are checked below.

===============================================================================
*/
#ifndef LOGIC_BEHAVIOUR_RECORDS_H
#define LOGIC_BEHAVIOUR_RECORDS_H

#include "framework/logic/api/LogicApiRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

// Notification 6: the module's handle and type word, its new state bits
// and the bits that changed (the new value twice for modules that hold
// one exclusive state value).
typedef struct DMStateChangeRecord {
	u32							ui32Handle;
	u32							ui32Type;
	u32							ui32State;
	u32							ui32Changed;
} DMStateChangeRecord;

// Ground grip: the grip factor and the steepest floor, in radians from
// horizontal.
typedef struct DMGroundGripParams {
	f32							fGrip;
	f32							fMaxSlope;
} DMGroundGripParams;

// Acceleration: flags bit 1 accelerates in the body's axes up to the
// maximum speed.
typedef struct DMAccelerationParams {
	DTVector3d					oAcceleration;
	f32							fMaxSpeed;
	u32							ui32Flags;
} DMAccelerationParams;

// Constant move: flags bit 0 gives the velocity in the body's axes.
typedef struct DMMoveParams {
	DTVector3d					oVelocity;
	u32							ui32Flags;
} DMMoveParams;

// Air grip: rate per second; axis bits 0-2 X, Y, Z, bit 3 world axes.
typedef struct DMAirGripParams {
	f32							fGripRate;
	u32							ui32AxisFlags;
} DMAirGripParams;

// Rotate: radians per second about an axis of the object's own.
typedef struct DMRotateParams {
	f32							fSpeed;
	DTVector3d					oAxis;
} DMRotateParams;

// Primitive anchor: the tag of the primitive held in place (all ones
// when there is none).
typedef struct DMPrimMoveParams {
	u32							ui32PrimTag;
} DMPrimMoveParams;

// Shaking about axis 0 (right), 1 (up) or 2 (at): seconds, radians, the
// fade fractions of the duration and the frequency in hertz.
typedef struct DMShakingParams {
	s32							i32Axis;
	f32							fDuration;
	f32							fAmplitude;
	f32							fFadeIn;
	f32							fFadeOut;
	f32							fFrequency;
} DMShakingParams;

// Environment probe: the watched primitive's tag, the offset and scale
// of the probe, the user-detect mask, the offset given in the object's
// axes (1) or the world's (0), and the detect mask.
typedef struct DMEnvCollParams {
	u32							ui32PrimTag;
	DTVector3d					oOffset;
	f32							fScale;
	u32							ui32UDDetectMask;
	u32							ui32LocalOffset;
	u32							ui32DetectMask;
} DMEnvCollParams;

// Environment probe action 1: the touched polygon's normal, a copy of
// its attribute record and the nearest point (zeros without contact).
#define DM_ENV_COLL_GET_CONTACT 1
typedef struct DMEnvCollContact {
	DTVector3d					oNormal;
	EnvPrimAttribs				oAttribs;
	DTVector3d					oPoint;
} DMEnvCollContact;

// Ledge grabbing: the largest body turn to catch an edge (radians), the
// grab distance, the hand primitive's tag, the stick action, the reach
// speed, the speeds along the edge at full and smallest deflection and
// the turn rate at corners (radians per second).
typedef struct DMGrabEdgeParams {
	f32							fMaxTurn;
	f32							fGrabDistance;
	u32							ui32HandTag;
	u32							ui32InputConfigId;
	u32							ui32ActionId;
	f32							fReachSpeed;
	f32							fMaxEdgeSpeed;
	f32							fMinEdgeSpeed;
	f32							fTurnRate;
} DMGrabEdgeParams;

// Ledge grabbing action 1: the edge vector and the ledge normal.
#define DM_GRAB_EDGE_GET_EDGE 1

// Climbing: the stick action, speeds and rates, gravity, the probes,
// the spine bones and the bends (words 22 and 25 hold the current pitch
// and roll bends; word 28 is the probe mask the module writes).
typedef struct DMClimbParams {
	u32							ui32InputConfigId;
	u32							ui32ActionId;
	f32							fMaxSpeed;
	f32							fMinSpeed;
	f32							fMaxTurnRate;
	f32							fUnused5;
	f32							fGravity;
	f32							fUpTurnRate;
	f32							afProbeOffset[5];
	f32							fProbeHeight;
	f32							fBSphereRadius;
	f32							fContactLimit;
	u32							aui32SpineBone[3];
	f32							fPitchRate;
	f32							fUnused20;
	f32							fPitchFactor;
	f32							fPitchBend;
	f32							fRollRate;
	f32							fRollFactor;
	f32							fRollBend;
	f32							fYawFactor;
	u32							ui32Unused27;
	u32							ui32ProbeMask;
} DMClimbParams;

// Analog motion. Options: 0x2 velocity set to the target each frame,
// 0x4 slow while turning, 0x8 turn rate by stick length, 0x10 go on
// turning after release, 0x20 the callback gives the speed. Projection
// mode 1 turns about the at axis and moves along up, 2 turns about up
// and moves along at.
typedef struct DMAnalogMotionParams {
	f32							fTurnRate;
	f32							fMinTurnRate;
	f32							fSpeed;
	f32							fMinSpeed;
	u32							ui32Options;
	u32							ui32InputConfigId;
	u32							ui32ActionId;
	u32							ui32ProjectionMode;
	DTVector3d					oPivot;
	u32							ui32CallbackId;
	f32							fReleaseThreshold;
} DMAnalogMotionParams;

// What the analog motion's speed callback gets: the stick length times
// the turning factor; the speed is what the callback leaves here.
typedef struct DMAnalogMotionSpeedRecord {
	f32							fSpeed;
} DMAnalogMotionSpeedRecord;

// Analog motion action 1: a stick value in, the move and the angle still
// to turn out.
#define DM_ANALOG_MOTION_PROJECT 1
typedef struct DMAnalogMotionProjectData {
	f32							afStick[2];
	DTVector3d					oMove;
	f32							fRemainingAngle;
} DMAnalogMotionProjectData;

// Water simulation (type 12). Flags bit 0 the list flag, bit 1 take the
// character list: the first 32 ids of pui32CharacterIds (a native
// pointer; null keeps the table) that name objects.
typedef struct DMWaterSimulationParams {
	f32							fDamping;
	f32							fWaveSpeed;
	f32							fInteraction;
	f32							fParamA;
	f32							fParamB;
	f32							fIdleRipple;
	u32							ui32Reserved;
	f32							fMaxHeight;
	u32							ui32CharacterCount;
	u32 *						pui32CharacterIds;
	f32							afGridValues[3];
	u32							ui32Flags;
} DMWaterSimulationParams;

// Ground-fog simulation (type 13): near and far distance, minimum haze
// and fade time of the fog grid, then the character list and the grid
// values as for water.
typedef struct DMGroundFogSimulationParams {
	f32							afFog[4];
	u32							ui32CharacterCount;
	u32 *						pui32CharacterIds;
	f32							afGridValues[3];
} DMGroundFogSimulationParams;

// What a character moving through simulated water receives (notification
// 12): the water object's id and its own height and last height above
// the surface.
typedef struct DMWaterContactRecord {
	u32							ui32WaterId;
	f32							fHeight;
	f32							fLastHeight;
} DMWaterContactRecord;

// Floating object (type 21).
typedef struct DMFloatingObjectParams {
	f32							fTiltFactor;
	f32							fHeightOffset;
	f32							fWaveFactor;
	f32							fEmersionThreshold;
} DMFloatingObjectParams;

// Analog move (type 5). Mode: the first of bits 0-5 set picks the
// mapping (X-Y, X-Z, Y-Z plane, stick length along X, Y, Z); bit 8 in
// the body's axes.
typedef struct DMAnalogMoveParams {
	u32							ui32InputConfigId;
	u32							ui32ActionId;
	DTVector3d					oSpeed;
	u32							ui32CameraRelative;
	u32							ui32TargetOnly;
	u32							ui32Mode;
} DMAnalogMoveParams;

// Analog move action 1: where a stick value would send the body.
#define DM_ANALOG_MOVE_PROJECT 1
typedef struct DMAnalogMoveProjectData {
	f32							fStickX;
	f32							fStickY;
	DTVector3d					oResult;
} DMAnalogMoveProjectData;

// Analog rotation (type 2). Flags: bit 1 clamp mode, bit 3 rate mode.
typedef struct DMAnalogRotationParams {
	f32							fSpeed;
	u32							ui32Flags;
	u32							ui32InputConfigId;
	u32							ui32ActionId;
} DMAnalogRotationParams;

// Spline move (type 3). Actions: 1 puts the module on the spline of index
// data[0], 2 on the spline of id data[0]; data[1] non-zero starts at the
// spline's beginning, else at the point nearest the object.
#define DM_SPLINE_MOVE_BY_INDEX 1
#define DM_SPLINE_MOVE_BY_ID 2
typedef struct DMSplineMoveParams {
	u32							ui32InputConfigId;
	u32							ui32ActionId;
	u32							ui32SecondActionId;
	f32							fMaxOffset;
	f32							fBaseSpeed;
	f32							fMaxSpeed;
	f32							fOffsetGain;
	f32							fMaxLean;
	f32							fLeanGain;
	u32							ui32Unused;
	u32							ui32Options;
	u32							ui32Mode;
	f32							fPitchBank;
	f32							fYawBank;
	f32							fRollBank;
} DMSplineMoveParams;

// Follow (type 20); action 1 restarts the leader's trail.
#define DM_FOLLOW_RESET 1
typedef struct DMFollowParams {
	u32							ui32LeaderId;
	f32							fFollowDistance;
	f32							fStopDistance;
	u32							ui32Unused;
	f32							fLookSmoothing;
	f32							fMaxSpeed;
	f32							fMinSpeed;
	u32							ui32ObjUDDetectType;
} DMFollowParams;

// Camera (type 18): mode 0-7; flags bit 0 spline tangent turns the offset,
// bit 1 the stick orbits, bit 2 look dead band in every mode, bit 3 the
// look offset is a point, bit 4 no obstruction ray. Action 1 finishes the
// spline run, action 2 starts the camera spline whose u32 id data holds.
typedef struct DMCameraFlexParams {
	u32							ui32TargetId;
	u32							ui32AnimObjectId;
	s32							i32Mode;
	f32							fSplineSearchRadius;
	DTVector3d					oOffset;
	DTVector3d					oLookOffset;
	f32							fHorizontalSmoothing;
	f32							fVerticalSmoothing;
	f32							fOrientationSmoothing;
	f32							fYawSmoothing;
	f32							fPitchSmoothing;
	f32							fMaxAcceleration;
	f32							fMaxDriftSpeed;
	f32							fDriftAcceleration;
	f32							fYaw;
	f32							fPitch;
	f32							fLookFactor;
	u32							ui32ActionId;
	u32							ui32InputConfigId;
	f32							fLookSpeedX;
	f32							fLookSpeedY;
	f32							fMaxLookAngle;
	f32							fOrbitSpeed;
	f32							fLookPitchLimit;
	u32							ui32Flags;
	u32							ui32CallbackId;
} DMCameraFlexParams;

// Handed to the camera object's logic callback in mode 7; the goal and
// the look-at point are read back from it.
typedef struct DMCameraFlexCallbackRecord {
	f32							fDt;
	DTVector3d					oCameraPosition;
	DTVector3d					oLookAt;
} DMCameraFlexCallbackRecord;

// Object tracking (type 1): flags bit 0 heading, bit 1 heading and pitch,
// bit 2 world offset, bit 3 point in the target's axes, bit 4 turn away.
typedef struct DMTrackObjetParams {
	u32							ui32TargetId;
	f32							fRate;
	DTVector3d					oOffset;
	u32							ui32Flags;
} DMTrackObjetParams;

// Bone tracking (type 28): bones below 0x10000 are node indices, others
// bone ids; target ids from 0xFF000000 on are group queries over oQuery.
typedef struct DMBoneTrackObjectParams {
	u32							ui32Bone;
	u32							ui32TargetId;
	u32							ui32TargetBone;
	DTVector3d					oOffset;
	ObjectRetrieverParams		oQuery;
	f32							fBlendTime;
	f32							fMaxDistance;
	f32							fHeightWindow;
	f32							fMaxTurn;
	f32							fEngageAngle;
	u32							ui32Invert;
} DMBoneTrackObjectParams;

// Wave motion (type 9): flags bit 1 period mode (the period sets speed
// and ramps), bit 2 / bit 3 place the body at A / B now, bit 4 stop it.
typedef struct DMWaveParams {
	DTVector3d					oPointA;
	DTVector3d					oPointB;
	f32							fSpeed;
	f32							fRampTime;
	f32							fPeriod;
	u32							ui32Flags;
} DMWaveParams;

// Constraint rotation (type 14): targets in world axes (all components
// below 0.25 in size: not given), the pivot in the object's axes.
typedef struct DMConstraintRotationParams {
	DTVector3d					oUpTarget;
	DTVector3d					oAtTarget;
	DTVector3d					oPivot;
	f32							fRate;
} DMConstraintRotationParams;

// Platform weight tilt (type 16): limits in radians, then per axis the
// moment gain, the restoring stiffness and the damping rate.
typedef struct DMPFWeightTiltParams {
	f32							fPitchMin;
	f32							fPitchMax;
	f32							fRollMin;
	f32							fRollMax;
	f32							fPitchGain;
	f32							fPitchStiffness;
	f32							fPitchDamping;
	f32							fRollGain;
	f32							fRollStiffness;
	f32							fRollDamping;
} DMPFWeightTiltParams;

// Quadruped (type 31): the bent bones' ids (bone B's limit before bone
// A's), radians per sample, the turn-to-bend factor, the floor tilt's
// speed, axis mode 1 (bend about the forward axis) and flags (1 floor
// tilt, 2 turn bending).
typedef struct DMQuadrupedParams {
	u32							ui32BoneA;
	u32							ui32BoneB;
	f32							fBoneBLimit;
	f32							fBoneALimit;
	f32							fBendFactor;
	f32							fTiltRate;
	u32							ui32AxisMode;
	u32							ui32Flags;
} DMQuadrupedParams;

// Tongue (type 36): base and tip bone ids, lengths, speeds, the shoot
// request and the world target; words 7, 8 and 10 are not used.
typedef struct DMTungParams {
	u32							ui32BaseBone;
	u32							ui32TipBone;
	f32							fFullLength;
	f32							fStartLength;
	f32							fEndDistance;
	f32							fExtendSpeed;
	f32							fRetractSpeed;
	f32							fCarried;
	f32							fUnused8;
	f32							fBendFactor;
	u32							ui32Unused10;
	u32							ui32Shoot;
	DTVector3d					oTarget;
} DMTungParams;

// Logic plug-in (type 37): the callbacks run before and after collision;
// 0xFFFFFFFF disables one.
typedef struct DMPluginParams {
	u32							ui32PreIndex;
	u32							ui32PostIndex;
} DMPluginParams;

// Ray probe (type 27): the ray in the body's axes with its masks and
// excluded object, what it hit last and where, in the body's axes.
typedef struct DMRayIntersectParams {
	RayIntersectIn				oRay;
	u32							ui32Result;
	RayIntersectOut				oOut;
} DMRayIntersectParams;

// Particle launcher (type 29): the ray probe's record, the launch
// direction in the body's axes and the emitter id.
typedef struct DMParticleLauncherParams {
	DMRayIntersectParams		oRay;
	DTVector3d					oDirection;
	u32							ui32EmitterId;
} DMParticleLauncherParams;

// Object contact (type 35): the watched primitive's tag, the other
// object's primitive tag and the other object's id.
typedef struct DMObjCollParams {
	u32							ui32Tag;
	u32							ui32OtherTag;
	u32							ui32OtherObjId;
} DMObjCollParams;

// Environment probe (type 26): the logic callback and the most polygons
// reported per pass.
typedef struct DMEnvDetectParams {
	u32							ui32CallbackIndex;
	u32							ui32MaxPolygons;
} DMEnvDetectParams;

// A polygon's plane: unit normal and d (normal . P + d is the signed
// distance of P).
typedef struct DMPolygonPlane {
	DTVector3d					oNormal;
	f32							fD;
} DMPolygonPlane;

// One reported polygon: its plane and attributes, its vertex count and
// that many pointers to its vertices (valid during the notification).
typedef struct DMEnvDetectPolygon {
	const DMPolygonPlane *		poPlane;
	const EnvPrimAttribs *		poAttribs;
	u32							ui32NbVertex;
	const DTVector3d **			ppoVertices;
} DMEnvDetectPolygon;

// Notification 25: the polygon count and the first record (null for 0).
typedef struct DMEnvDetectRecord {
	u32							ui32Count;
	DMEnvDetectPolygon *		poPolygons;
} DMEnvDetectRecord;

// Edge detection (type 25): callback, watched primitive, search radius
// and flags (bit 0 radius of the primitive, bit 2 environment, bit 3
// polygon primitives of other bodies).
typedef struct DMEdgeDetectParams {
	u32							ui32CallbackIndex;
	u32							ui32PrimTag;
	f32							fRadius;
	u32							ui32Flags;
} DMEdgeDetectParams;

// A grabbable edge in world axes with its polygon's normal.
typedef struct DMEdgeData {
	DTVector3d					oStart;
	DTVector3d					oEnd;
	DTVector3d					oNormal;
} DMEdgeData;

// Notification 24: the primitive's tag and the edges held.
typedef struct DMEdgeDetectRecord {
	u32							ui32PrimTag;
	u32							ui32Count;
	DMEdgeData *				poEdges;
} DMEdgeDetectRecord;

// Ledge snap (type 23): the watched primitive, the detect bits of the
// last rim and the Z mirror of the turn.
typedef struct DMEdgeParams {
	u32							ui32PrimTag;
	u32							ui32MatchedBits;
	u32							ui32Mirror;
} DMEdgeParams;

// Edge down (type 19): the probing primitive, the tip's duration and the
// detect bits of the last edge polygon.
typedef struct DMEdgeDownParams {
	u32							ui32PrimTag;
	f32							fTipDuration;
	u32							ui32MatchedBits;
} DMEdgeDownParams;

// Rope detection (type 30): five primitive tags (0xFFFFFFFF empty).
#define DM_ROPE_DETECT_SLOTS 5
typedef struct DMRopeDetectParams {
	u32							aui32PrimTag[DM_ROPE_DETECT_SLOTS];
} DMRopeDetectParams;

// Rope detection's data: the touched spline's index, the touching
// primitive's tag (both 0xFFFFFFFF for none) and the spline's flags.
typedef struct DMRopeDetectData {
	u32							ui32SplineIndex;
	u32							ui32PrimTag;
	u32							ui32SplineFlags;
} DMRopeDetectData;

// Rope sliding (type 17).
typedef struct DMRopeSlideParams {
	u32							ui32InputConfigId;
	u32							ui32InputActionId;
	f32							fSwingInputFactor;
	f32							fSpeedBlendRate;
	f32							fHangDistance;
	f32							fHangRange;
	f32							fSpringAtHang;
	f32							fSpringAtRange;
	u32							ui32ArmPose;
	f32							fBackwardSpeedFactor;
	f32							fForwardSpeedFactor;
	f32							fNominalSpeed;
	f32							fRopeGravity;
	f32							fSwingBlendHolding;
	f32							fSwingBlendOther;
	u32							ui32HandTag;
	f32							fSwingLimit;
} DMRopeSlideParams;

// Rope sliding action 1: the rope's id and where to start (0 nearest the
// body, otherwise the rope's start).
#define DM_ROPE_SLIDE_ATTACH 1
typedef struct DMRopeSlideAttach {
	u32							ui32RopeId;
	u32							ui32Placement;
} DMRopeSlideAttach;

// Two-joint limbs (type 32): the limb count, each limb end's primitive
// tag (0xFFFFFFFF none), options and the object and environment masks.
#define DM_IK_LIMBS 4
typedef struct DMIKTwoJointsParams {
	u32							ui32Count;
	u32							aui32PrimTag[DM_IK_LIMBS];
	u32							ui32Options;
	u32							ui32ObjMask;
	u32							ui32EnvMask;
} DMIKTwoJointsParams;

#ifdef __cplusplus
}
#endif

LOGIC_API_SIZE( DMStateChangeRecord, 16 );
LOGIC_API_FIELD( DMStateChangeRecord, ui32Type, 4 );
LOGIC_API_FIELD( DMStateChangeRecord, ui32State, 8 );
LOGIC_API_FIELD( DMStateChangeRecord, ui32Changed, 12 );
LOGIC_API_SIZE( DMGroundGripParams, 8 );
LOGIC_API_FIELD( DMGroundGripParams, fMaxSlope, 4 );
LOGIC_API_SIZE( DMAccelerationParams, 20 );
LOGIC_API_FIELD( DMAccelerationParams, fMaxSpeed, 12 );
LOGIC_API_FIELD( DMAccelerationParams, ui32Flags, 16 );
LOGIC_API_SIZE( DMMoveParams, 16 );
LOGIC_API_FIELD( DMMoveParams, ui32Flags, 12 );
LOGIC_API_SIZE( DMAirGripParams, 8 );
LOGIC_API_FIELD( DMAirGripParams, ui32AxisFlags, 4 );
LOGIC_API_SIZE( DMRotateParams, 16 );
LOGIC_API_FIELD( DMRotateParams, oAxis, 4 );
LOGIC_API_SIZE( DMPrimMoveParams, 4 );
LOGIC_API_SIZE( DMShakingParams, 24 );
LOGIC_API_FIELD( DMShakingParams, fDuration, 4 );
LOGIC_API_FIELD( DMShakingParams, fAmplitude, 8 );
LOGIC_API_FIELD( DMShakingParams, fFadeIn, 12 );
LOGIC_API_FIELD( DMShakingParams, fFadeOut, 16 );
LOGIC_API_FIELD( DMShakingParams, fFrequency, 20 );
LOGIC_API_SIZE( DMEnvCollParams, 32 );
LOGIC_API_FIELD( DMEnvCollParams, fScale, 16 );
LOGIC_API_FIELD( DMEnvCollParams, ui32DetectMask, 28 );
LOGIC_API_SIZE( DMEnvCollContact, 56 );
LOGIC_API_FIELD( DMEnvCollContact, oAttribs, 12 );
LOGIC_API_FIELD( DMEnvCollContact, oPoint, 44 );
LOGIC_API_SIZE( DMGrabEdgeParams, 36 );
LOGIC_API_FIELD( DMGrabEdgeParams, ui32HandTag, 8 );
LOGIC_API_FIELD( DMGrabEdgeParams, fTurnRate, 32 );
LOGIC_API_SIZE( DMClimbParams, 116 );
LOGIC_API_FIELD( DMClimbParams, afProbeOffset, 32 );
LOGIC_API_FIELD( DMClimbParams, aui32SpineBone, 64 );
LOGIC_API_FIELD( DMClimbParams, fPitchBend, 88 );
LOGIC_API_FIELD( DMClimbParams, fRollBend, 100 );
LOGIC_API_FIELD( DMClimbParams, ui32ProbeMask, 112 );
LOGIC_API_SIZE( DMAnalogMotionParams, 52 );
LOGIC_API_FIELD( DMAnalogMotionParams, fMinTurnRate, 4 );
LOGIC_API_FIELD( DMAnalogMotionParams, fSpeed, 8 );
LOGIC_API_FIELD( DMAnalogMotionParams, fMinSpeed, 12 );
LOGIC_API_FIELD( DMAnalogMotionParams, ui32Options, 16 );
LOGIC_API_FIELD( DMAnalogMotionParams, ui32InputConfigId, 20 );
LOGIC_API_FIELD( DMAnalogMotionParams, ui32ActionId, 24 );
LOGIC_API_FIELD( DMAnalogMotionParams, ui32ProjectionMode, 28 );
LOGIC_API_FIELD( DMAnalogMotionParams, oPivot, 32 );
LOGIC_API_FIELD( DMAnalogMotionParams, ui32CallbackId, 44 );
LOGIC_API_FIELD( DMAnalogMotionParams, fReleaseThreshold, 48 );
LOGIC_API_SIZE( DMAnalogMotionSpeedRecord, 4 );
LOGIC_API_SIZE( DMAnalogMotionProjectData, 24 );
LOGIC_API_FIELD( DMAnalogMotionProjectData, oMove, 8 );
LOGIC_API_FIELD( DMAnalogMotionProjectData, fRemainingAngle, 20 );

LOGIC_API_FIELD( DMWaterSimulationParams, ui32CharacterCount, 32 );
LOGIC_API_FIELD( DMGroundFogSimulationParams, ui32CharacterCount, 16 );
LOGIC_API_SIZE( DMWaterContactRecord, 12 );
LOGIC_API_SIZE( DMFloatingObjectParams, 16 );
LOGIC_API_SIZE( DMAnalogMoveParams, 32 );
LOGIC_API_FIELD( DMAnalogMoveParams, ui32Mode, 28 );
LOGIC_API_SIZE( DMAnalogMoveProjectData, 20 );
LOGIC_API_SIZE( DMAnalogRotationParams, 16 );
LOGIC_API_SIZE( DMSplineMoveParams, 60 );
LOGIC_API_FIELD( DMSplineMoveParams, ui32Options, 40 );
LOGIC_API_SIZE( DMFollowParams, 32 );
LOGIC_API_FIELD( DMFollowParams, ui32ObjUDDetectType, 28 );
LOGIC_API_SIZE( DMCameraFlexParams, 120 );
LOGIC_API_FIELD( DMCameraFlexParams, oOffset, 16 );
LOGIC_API_FIELD( DMCameraFlexParams, fHorizontalSmoothing, 40 );
LOGIC_API_FIELD( DMCameraFlexParams, ui32ActionId, 84 );
LOGIC_API_FIELD( DMCameraFlexParams, ui32Flags, 112 );
LOGIC_API_SIZE( DMCameraFlexCallbackRecord, 28 );
LOGIC_API_FIELD( DMCameraFlexCallbackRecord, oLookAt, 16 );

LOGIC_API_SIZE( DMTrackObjetParams, 24 );
LOGIC_API_FIELD( DMTrackObjetParams, oOffset, 8 );
LOGIC_API_FIELD( DMTrackObjetParams, ui32Flags, 20 );

LOGIC_API_SIZE( DMBoneTrackObjectParams, 80 );
LOGIC_API_FIELD( DMBoneTrackObjectParams, oQuery, 24 );
LOGIC_API_FIELD( DMBoneTrackObjectParams, fMaxTurn, 68 );
LOGIC_API_FIELD( DMBoneTrackObjectParams, ui32Invert, 76 );

LOGIC_API_SIZE( DMWaveParams, 40 );
LOGIC_API_FIELD( DMWaveParams, fSpeed, 24 );
LOGIC_API_FIELD( DMWaveParams, ui32Flags, 36 );

LOGIC_API_SIZE( DMConstraintRotationParams, 40 );
LOGIC_API_FIELD( DMConstraintRotationParams, oPivot, 24 );
LOGIC_API_FIELD( DMConstraintRotationParams, fRate, 36 );

LOGIC_API_SIZE( DMPFWeightTiltParams, 40 );
LOGIC_API_FIELD( DMPFWeightTiltParams, fRollDamping, 36 );

LOGIC_API_SIZE( DMQuadrupedParams, 32 );
LOGIC_API_FIELD( DMQuadrupedParams, fBoneALimit, 12 );
LOGIC_API_FIELD( DMQuadrupedParams, ui32Flags, 28 );

LOGIC_API_SIZE( DMTungParams, 60 );
LOGIC_API_FIELD( DMTungParams, fBendFactor, 36 );
LOGIC_API_FIELD( DMTungParams, ui32Shoot, 44 );
LOGIC_API_FIELD( DMTungParams, oTarget, 48 );

LOGIC_API_SIZE( DMPluginParams, 8 );

LOGIC_API_SIZE( DMRayIntersectParams, 108 );
LOGIC_API_FIELD( DMRayIntersectParams, ui32Result, 44 );
LOGIC_API_FIELD( DMRayIntersectParams, oOut, 48 );
LOGIC_API_SIZE( DMParticleLauncherParams, 124 );
LOGIC_API_FIELD( DMParticleLauncherParams, oDirection, 108 );
LOGIC_API_FIELD( DMParticleLauncherParams, ui32EmitterId, 120 );
LOGIC_API_SIZE( DMObjCollParams, 12 );
LOGIC_API_SIZE( DMEnvDetectParams, 8 );
LOGIC_API_SIZE( DMPolygonPlane, 16 );
LOGIC_API_SIZE( DMEdgeDetectParams, 16 );
LOGIC_API_FIELD( DMEdgeDetectParams, fRadius, 8 );
LOGIC_API_SIZE( DMEdgeData, 36 );
LOGIC_API_SIZE( DMEdgeParams, 12 );
LOGIC_API_SIZE( DMEdgeDownParams, 12 );
LOGIC_API_SIZE( DMRopeDetectParams, 20 );
LOGIC_API_SIZE( DMRopeDetectData, 12 );
LOGIC_API_SIZE( DMRopeSlideParams, 68 );
LOGIC_API_FIELD( DMRopeSlideParams, ui32ArmPose, 32 );
LOGIC_API_FIELD( DMRopeSlideParams, ui32HandTag, 60 );
LOGIC_API_SIZE( DMRopeSlideAttach, 8 );
LOGIC_API_SIZE( DMIKTwoJointsParams, 32 );
LOGIC_API_FIELD( DMIKTwoJointsParams, ui32Options, 20 );

#endif
