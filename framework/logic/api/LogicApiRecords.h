/*
===============================================================================

	Records that the engine and its logic modules exchange through the
	function tables, defined once with fixed-width fields.

	Modules see DTVector3d and DTMatrix as plain records; the engine uses
	its own classes, which have exactly these layouts (checked below).
	Engine code that works on one of the other records includes this
	definition. Sizes and offsets are checked for the host and for the
	console's 32-bit target; the three records that hold pointers differ
	between the two.

===============================================================================
*/
#ifndef LOGIC_API_RECORDS_H
#define LOGIC_API_RECORDS_H

#include "framework/logic/api/LogicApiTypes.h"

#ifdef __cplusplus
#include "datatypes/maths/DTMatrix.h"
#include "datatypes/maths/DTVector3d.h"
#else
typedef struct DTVector3d {
	f32							x;
	f32							y;
	f32							z;
} DTVector3d;

// Four rows of three floats, each followed by a word; the word after
// the right row holds the 3D library's matrix flags.
typedef struct DTMatrix {
	DTVector3d					right;
	u32							flags;
	DTVector3d					up;
	u32							pad1;
	DTVector3d					at;
	u32							pad2;
	DTVector3d					pos;
	u32							pad3;
} DTMatrix;

LOGIC_API_FIELD( DTMatrix, flags, 12 );
LOGIC_API_FIELD( DTMatrix, up, 16 );
LOGIC_API_FIELD( DTMatrix, at, 32 );
LOGIC_API_FIELD( DTMatrix, pos, 48 );
#endif

LOGIC_API_SIZE( DTVector3d, 12 );
LOGIC_API_FIELD( DTVector3d, y, 4 );
LOGIC_API_FIELD( DTVector3d, z, 8 );
LOGIC_API_SIZE( DTMatrix, 64 );

#ifdef __cplusplus
extern "C" {
#endif

// Colour components from 0 to 1.
typedef struct CColor {
	f32							red;
	f32							green;
	f32							blue;
	f32							alpha;
} CColor;

// A display area as fractions of the screen.
typedef struct CRect {
	f32							x;
	f32							y;
	f32							w;
	f32							h;
} CRect;

// Quotient and remainder of the standard-library table's divisions.
typedef struct LogicApiDiv {
	s32							quot;
	s32							rem;
} LogicApiDiv;

typedef struct LogicApiLDiv {
	s32							quot;
	s32							rem;
} LogicApiLDiv;

// --- Group queries: one parameter record per query, each starting with
// the walk cursor the record carries from call to call ---

typedef struct AllRetrieverParams {
	u32							uiLastRetrieved;
} AllRetrieverParams;

typedef struct GroupIDRetrieverParams {
	u32							uiLastRetrieved;
	u32							uiGroupID;
} GroupIDRetrieverParams;

typedef struct GroupMaskRetrieverParams {
	u32							uiLastRetrieved;
	u32							uiGroupMask;
} GroupMaskRetrieverParams;

typedef struct ParentRetrieverParams {
	u32							uiLastRetrieved;
	u32							uiObjectID;
} ParentRetrieverParams;

typedef struct ChildrenRetrieverParams {
	u32							uiLastRetrieved;
	u32							uiObjectID;
} ChildrenRetrieverParams;

typedef struct NearestIDRetrieverParams {
	u32							uiLastRetrieved;
	u32							uiGroupID;
	u32							uiObjectID;
	f32							fDeltaX;
	f32							fDeltaY;
	f32							fDeltaZ;
	f32							fStartDist;
	f32							fDeltaDistForSwitch;
} NearestIDRetrieverParams;

typedef struct NearestMaskRetrieverParams {
	u32							uiLastRetrieved;
	u32							uiGroupMask;
	u32							uiObjectID;
	f32							fDeltaX;
	f32							fDeltaY;
	f32							fDeltaZ;
	f32							fStartDist;
	f32							fDeltaDistForSwitch;
} NearestMaskRetrieverParams;

typedef struct InRangeIDRetrieverParams {
	u32							uiLastRetrieved;
	u32							uiGroupID;
	u32							uiSourceID;
	f32							fDeltaX;
	f32							fDeltaY;
	f32							fDeltaZ;
	f32							fRange;
	f32							fThreshold;
} InRangeIDRetrieverParams;

typedef struct InRangeMaskRetrieverParams {
	u32							uiLastRetrieved;
	u32							uiGroupMask;
	u32							uiSourceID;
	f32							fDeltaX;
	f32							fDeltaY;
	f32							fDeltaZ;
	f32							fRange;
	f32							fThreshold;
} InRangeMaskRetrieverParams;

typedef union ObjectRetrieverParams {
	AllRetrieverParams			all;
	GroupIDRetrieverParams		groupID;
	GroupMaskRetrieverParams	groupMask;
	ParentRetrieverParams		parent;
	ChildrenRetrieverParams		children;
	NearestIDRetrieverParams	nearestID;
	NearestMaskRetrieverParams	nearestMask;
	InRangeIDRetrieverParams	inRangeID;
	InRangeMaskRetrieverParams	inRangeMask;
} ObjectRetrieverParams;

// --- Game objects ---

#define LOGIC_API_CLIP_DISTANCES	5

// A distance band: its bound and the clip operations out of every view
// and in a view.
typedef struct EFClippingDistance {
	f32							fDist;
	u32							uiOutFrustClipOps;
	u32							uiInFrustClipOps;
} EFClippingDistance;

typedef struct EFClippingParams {
	f32							fThreshold;
	EFClippingDistance			oDists[LOGIC_API_CLIP_DISTANCES];
} EFClippingParams;

typedef struct EFProximityClippingParams {
	u32							uiObjectID;
	f32							fDistance;
	f32							fThreshold;
	u32							uiProxClipOps;
} EFProximityClippingParams;

typedef struct _ShadowParams {
	u32							uiFlags;
	u32							uiDefaultLod;
	f32							fDropDownAlpha;
	f32							fDropDownReachDistance;
	f32							fDropDownScale;
	u32							uiDropDownResolution;
	u32							uiDropDownJoint;
	f32							fCastedAlpha;
	f32							fCastedReachDistance;
	u32							uiCastedResolution;
	f32							fCastedFadeStartRatio;
} _ShadowParams;

// --- Animation and graphics ---

typedef struct EFBlendParams {
	u32							uiBlendNodeID;
	f32							fTimeIn;
	f32							fBlendFactor;
	f32							fTimeOut;
	f32							fSoundCBLimit;
} EFBlendParams;

typedef struct _sPaletteTransitionData {
	u32							uiStartState;
	u32							uiEndState;
	f32							fDuration;
} _sPaletteTransitionData;

#define LOGIC_API_FADER_TEXTURES	3

// A texture fade: three source and three destination texture names and
// the data handed back with the fader's notification.
typedef struct _sTexFaderParams {
	u32							uiFlags;
	f32							fTime;
	char *						pSrcTexture[LOGIC_API_FADER_TEXTURES];
	char *						pDestTexture[LOGIC_API_FADER_TEXTURES];
	f32							fSrcStartRatio;
	f32							fSrcEndRatio;
	f32							fDestStartRatio;
	f32							fDestEndRatio;
	void *						pNotifyData;
} _sTexFaderParams;

// NbLines lines, each from pStart[i] to pEnd[i] in colours pColorStart[i]
// to pColorEnd[i].
typedef struct _LinesParams {
	DTVector3d *				pStart;
	DTVector3d *				pEnd;
	CColor *					pColorStart;
	CColor *					pColorEnd;
	u32							NbLines;
} _LinesParams;

// --- Game flow ---

typedef struct stlaunchdemoparams {
	u32							muiInactivityTimeout;
	u32							muiGameplayTimeout;
	u32							muiRunMode;
	u32							muiLanguage;
} stlaunchdemoparams;

#define LOGIC_API_TRANSITION_FILES		10
#define LOGIC_API_TRANSITION_NAME_CHARS	200

typedef struct stleveltransitionparams {
	u32							muiTransitionFlags;
	char *						mszVideoName;
	u32							muiNumberOfExternalFilesToLoad;
	char						mpszExternalFiles[LOGIC_API_TRANSITION_FILES][LOGIC_API_TRANSITION_NAME_CHARS];
} stleveltransitionparams;

// --- Physics ---

typedef struct EnvPrimAttribs {
	u32							ui32Flags;
	u32							ui32DetectedBy;
	u32							ui32UDDetectedBy;
	f32							fFriction;
	f32							fRebound;
	u16							ui16Tag;
	u16							ui16SurfaceType;
	f32							fHardness;
	f32							fAccousticOpacity;
} EnvPrimAttribs;

// What a body is told of a contact between two bodies' primitives:
// side 1 when the primitive that asked belongs to the notified body, the
// notified primitive's tag, the other owner's id and primitive tag, user
// words 7 to 10 of the primitive that asked, and both velocities.
#define EF_COL_NOTIFY_WORDS 4
typedef struct EFObjectCollisionRecord {
	u32							ui32Side;
	u32							ui32Tag;
	u32							ui32OtherId;
	u32							ui32OtherTag;
	u32							aui32Attribs[EF_COL_NOTIFY_WORDS];
	DTVector3d					oVelocity;
	DTVector3d					oOtherVelocity;
} EFObjectCollisionRecord;

typedef struct JumpOnCoorParam {
	DTVector3d					oTargetCoor;
	DTVector3d					oTargetSpeed;
	f32							fMaxSpeed;
	u32							uiFlags;
	f32							fRelHeightToReach;
	u32							uiDmAccelerationHandle;
} JumpOnCoorParam;

// A ray from oStartVector along oDeplVector, the detect masks (plain and
// user-defined) and an object id that is never hit (0 for none).
typedef struct RayIntersectIn {
	DTVector3d					oStartVector;
	DTVector3d					oDeplVector;
	u32							ui32ObjDetectType;
	u32							ui32ObjUDDetectType;
	u32							ui32EnvDetectType;
	u32							ui32EnvUDDetectType;
	u32							ui32ExcludeObjID;
} RayIntersectIn;

typedef struct RayIntersectOutObj {
	u32							ui32ObjID;
	u32							ui32TagPrim;
} RayIntersectOutObj;

typedef struct RayIntersectOutEnv {
	u16							ui16Tag;
	u16							ui16SurfaceType;
	EnvPrimAttribs				oAttribs;
} RayIntersectOutEnv;

typedef struct RayIntersectOut {
	DTVector3d					oIntersectionPoint;
	DTVector3d					oIntersectionNormal;
	union {
		RayIntersectOutObj		oOutObj;
		RayIntersectOutEnv		oOutEnv;
	}							oOutEnvObj;
} RayIntersectOut;

// What a ray query hit: a 32-bit result.
#ifdef __cplusplus
enum RayIntersectResult : u32 {
#else
typedef u32 RayIntersectResult;
enum {
#endif
	PS_RAY_NONE					= 0,
	PS_RAY_OBJ					= 1,
	PS_RAY_ENV					= 2,
	PS_RAY_MANY					= 3
};

// --- Memory card ---

// Argument of the card's error and completion callbacks.
typedef struct SG_CBParamDef {
	u32							uiState;
	u32							uiLastError;
} SG_CBParamDef;

typedef void ( *LogicSaveCallbackFn )( SG_CBParamDef * params );

#define LOGIC_API_FILE_NAME_CHARS	32

typedef struct FILEDESCRIPTOR {
	char						cName[LOGIC_API_FILE_NAME_CHARS];
	s32							iSize;
	s32							iCreateDate;
	s32							iModDate;
} FILEDESCRIPTOR;

// Card information of another console's card interface; no instance
// exists on this console.
typedef struct PS2CARDINFO {
	s32							type;
	s32							MMFree;
	s32							format;
	s32							status;
} PS2CARDINFO;

// --- Handheld link ---

typedef struct GBALink_CBConnectionParamDef {
	u8							uiSlot;
	u8							uiState;
} GBALink_CBConnectionParamDef;

typedef struct GBALink_CBCompleteParamDef {
	u32							uiData;
	u8							uiSlot;
	u8							uiState;
} GBALink_CBCompleteParamDef;

typedef void ( *LogicGBALinkConnectionFn )( GBALink_CBConnectionParamDef * params );
typedef void ( *LogicGBALinkCompleteFn )( GBALink_CBCompleteParamDef * params );

#ifdef __cplusplus
}
#endif

// --- Layouts: every field at its offset ---

LOGIC_API_SIZE( CColor, 16 );
LOGIC_API_FIELD( CColor, red, 0 );
LOGIC_API_FIELD( CColor, green, 4 );
LOGIC_API_FIELD( CColor, blue, 8 );
LOGIC_API_FIELD( CColor, alpha, 12 );
LOGIC_API_SIZE( CRect, 16 );
LOGIC_API_FIELD( CRect, x, 0 );
LOGIC_API_FIELD( CRect, y, 4 );
LOGIC_API_FIELD( CRect, w, 8 );
LOGIC_API_FIELD( CRect, h, 12 );
LOGIC_API_SIZE( LogicApiDiv, 8 );
LOGIC_API_FIELD( LogicApiDiv, quot, 0 );
LOGIC_API_FIELD( LogicApiDiv, rem, 4 );
LOGIC_API_SIZE( LogicApiLDiv, 8 );
LOGIC_API_FIELD( LogicApiLDiv, quot, 0 );
LOGIC_API_FIELD( LogicApiLDiv, rem, 4 );
LOGIC_API_SIZE( ObjectRetrieverParams, 32 );
LOGIC_API_SIZE( GroupIDRetrieverParams, 8 );
LOGIC_API_FIELD( GroupIDRetrieverParams, uiGroupID, 4 );
LOGIC_API_SIZE( GroupMaskRetrieverParams, 8 );
LOGIC_API_FIELD( GroupMaskRetrieverParams, uiGroupMask, 4 );
LOGIC_API_SIZE( ParentRetrieverParams, 8 );
LOGIC_API_FIELD( ParentRetrieverParams, uiObjectID, 4 );
LOGIC_API_SIZE( ChildrenRetrieverParams, 8 );
LOGIC_API_FIELD( ChildrenRetrieverParams, uiObjectID, 4 );
LOGIC_API_SIZE( NearestIDRetrieverParams, 32 );
LOGIC_API_FIELD( NearestIDRetrieverParams, uiGroupID, 4 );
LOGIC_API_FIELD( NearestIDRetrieverParams, uiObjectID, 8 );
LOGIC_API_FIELD( NearestIDRetrieverParams, fDeltaX, 12 );
LOGIC_API_FIELD( NearestIDRetrieverParams, fDeltaY, 16 );
LOGIC_API_FIELD( NearestIDRetrieverParams, fDeltaZ, 20 );
LOGIC_API_FIELD( NearestIDRetrieverParams, fStartDist, 24 );
LOGIC_API_FIELD( NearestIDRetrieverParams, fDeltaDistForSwitch, 28 );
LOGIC_API_SIZE( NearestMaskRetrieverParams, 32 );
LOGIC_API_FIELD( NearestMaskRetrieverParams, uiGroupMask, 4 );
LOGIC_API_FIELD( NearestMaskRetrieverParams, uiObjectID, 8 );
LOGIC_API_FIELD( NearestMaskRetrieverParams, fDeltaX, 12 );
LOGIC_API_FIELD( NearestMaskRetrieverParams, fStartDist, 24 );
LOGIC_API_FIELD( NearestMaskRetrieverParams, fDeltaDistForSwitch, 28 );
LOGIC_API_SIZE( InRangeIDRetrieverParams, 32 );
LOGIC_API_FIELD( InRangeIDRetrieverParams, uiGroupID, 4 );
LOGIC_API_FIELD( InRangeIDRetrieverParams, uiSourceID, 8 );
LOGIC_API_FIELD( InRangeIDRetrieverParams, fDeltaX, 12 );
LOGIC_API_FIELD( InRangeIDRetrieverParams, fDeltaY, 16 );
LOGIC_API_FIELD( InRangeIDRetrieverParams, fDeltaZ, 20 );
LOGIC_API_FIELD( InRangeIDRetrieverParams, fRange, 24 );
LOGIC_API_FIELD( InRangeIDRetrieverParams, fThreshold, 28 );
LOGIC_API_SIZE( InRangeMaskRetrieverParams, 32 );
LOGIC_API_FIELD( InRangeMaskRetrieverParams, uiGroupMask, 4 );
LOGIC_API_FIELD( InRangeMaskRetrieverParams, uiSourceID, 8 );
LOGIC_API_FIELD( InRangeMaskRetrieverParams, fDeltaX, 12 );
LOGIC_API_FIELD( InRangeMaskRetrieverParams, fRange, 24 );
LOGIC_API_FIELD( InRangeMaskRetrieverParams, fThreshold, 28 );
LOGIC_API_SIZE( EFClippingDistance, 12 );
LOGIC_API_FIELD( EFClippingDistance, fDist, 0 );
LOGIC_API_FIELD( EFClippingDistance, uiOutFrustClipOps, 4 );
LOGIC_API_FIELD( EFClippingDistance, uiInFrustClipOps, 8 );
LOGIC_API_SIZE( EFClippingParams, 64 );
LOGIC_API_FIELD( EFClippingParams, fThreshold, 0 );
LOGIC_API_FIELD( EFClippingParams, oDists, 4 );
LOGIC_API_SIZE( EFProximityClippingParams, 16 );
LOGIC_API_FIELD( EFProximityClippingParams, uiObjectID, 0 );
LOGIC_API_FIELD( EFProximityClippingParams, fDistance, 4 );
LOGIC_API_FIELD( EFProximityClippingParams, fThreshold, 8 );
LOGIC_API_FIELD( EFProximityClippingParams, uiProxClipOps, 12 );
LOGIC_API_SIZE( _ShadowParams, 44 );
LOGIC_API_FIELD( _ShadowParams, uiFlags, 0 );
LOGIC_API_FIELD( _ShadowParams, uiDefaultLod, 4 );
LOGIC_API_FIELD( _ShadowParams, fDropDownAlpha, 8 );
LOGIC_API_FIELD( _ShadowParams, fDropDownReachDistance, 12 );
LOGIC_API_FIELD( _ShadowParams, fDropDownScale, 16 );
LOGIC_API_FIELD( _ShadowParams, uiDropDownResolution, 20 );
LOGIC_API_FIELD( _ShadowParams, uiDropDownJoint, 24 );
LOGIC_API_FIELD( _ShadowParams, fCastedAlpha, 28 );
LOGIC_API_FIELD( _ShadowParams, fCastedReachDistance, 32 );
LOGIC_API_FIELD( _ShadowParams, uiCastedResolution, 36 );
LOGIC_API_FIELD( _ShadowParams, fCastedFadeStartRatio, 40 );
LOGIC_API_SIZE( EFBlendParams, 20 );
LOGIC_API_FIELD( EFBlendParams, uiBlendNodeID, 0 );
LOGIC_API_FIELD( EFBlendParams, fTimeIn, 4 );
LOGIC_API_FIELD( EFBlendParams, fBlendFactor, 8 );
LOGIC_API_FIELD( EFBlendParams, fTimeOut, 12 );
LOGIC_API_FIELD( EFBlendParams, fSoundCBLimit, 16 );
LOGIC_API_SIZE( _sPaletteTransitionData, 12 );
LOGIC_API_FIELD( _sPaletteTransitionData, uiStartState, 0 );
LOGIC_API_FIELD( _sPaletteTransitionData, uiEndState, 4 );
LOGIC_API_FIELD( _sPaletteTransitionData, fDuration, 8 );
LOGIC_API_SIZE( stlaunchdemoparams, 16 );
LOGIC_API_FIELD( stlaunchdemoparams, muiInactivityTimeout, 0 );
LOGIC_API_FIELD( stlaunchdemoparams, muiGameplayTimeout, 4 );
LOGIC_API_FIELD( stlaunchdemoparams, muiRunMode, 8 );
LOGIC_API_FIELD( stlaunchdemoparams, muiLanguage, 12 );
LOGIC_API_SIZE( EnvPrimAttribs, 32 );
LOGIC_API_FIELD( EnvPrimAttribs, ui32Flags, 0 );
LOGIC_API_FIELD( EnvPrimAttribs, ui32DetectedBy, 4 );
LOGIC_API_FIELD( EnvPrimAttribs, ui32UDDetectedBy, 8 );
LOGIC_API_FIELD( EnvPrimAttribs, fFriction, 12 );
LOGIC_API_FIELD( EnvPrimAttribs, fRebound, 16 );
LOGIC_API_FIELD( EnvPrimAttribs, ui16Tag, 20 );
LOGIC_API_FIELD( EnvPrimAttribs, ui16SurfaceType, 22 );
LOGIC_API_FIELD( EnvPrimAttribs, fHardness, 24 );
LOGIC_API_FIELD( EnvPrimAttribs, fAccousticOpacity, 28 );
LOGIC_API_SIZE( EFObjectCollisionRecord, 56 );
LOGIC_API_FIELD( EFObjectCollisionRecord, ui32Side, 0 );
LOGIC_API_FIELD( EFObjectCollisionRecord, ui32Tag, 4 );
LOGIC_API_FIELD( EFObjectCollisionRecord, ui32OtherId, 8 );
LOGIC_API_FIELD( EFObjectCollisionRecord, ui32OtherTag, 12 );
LOGIC_API_FIELD( EFObjectCollisionRecord, aui32Attribs, 16 );
LOGIC_API_FIELD( EFObjectCollisionRecord, oVelocity, 32 );
LOGIC_API_FIELD( EFObjectCollisionRecord, oOtherVelocity, 44 );
LOGIC_API_SIZE( JumpOnCoorParam, 40 );
LOGIC_API_FIELD( JumpOnCoorParam, oTargetCoor, 0 );
LOGIC_API_FIELD( JumpOnCoorParam, oTargetSpeed, 12 );
LOGIC_API_FIELD( JumpOnCoorParam, fMaxSpeed, 24 );
LOGIC_API_FIELD( JumpOnCoorParam, uiFlags, 28 );
LOGIC_API_FIELD( JumpOnCoorParam, fRelHeightToReach, 32 );
LOGIC_API_FIELD( JumpOnCoorParam, uiDmAccelerationHandle, 36 );
LOGIC_API_SIZE( RayIntersectIn, 44 );
LOGIC_API_FIELD( RayIntersectIn, oStartVector, 0 );
LOGIC_API_FIELD( RayIntersectIn, oDeplVector, 12 );
LOGIC_API_FIELD( RayIntersectIn, ui32ObjDetectType, 24 );
LOGIC_API_FIELD( RayIntersectIn, ui32ObjUDDetectType, 28 );
LOGIC_API_FIELD( RayIntersectIn, ui32EnvDetectType, 32 );
LOGIC_API_FIELD( RayIntersectIn, ui32EnvUDDetectType, 36 );
LOGIC_API_FIELD( RayIntersectIn, ui32ExcludeObjID, 40 );
LOGIC_API_SIZE( RayIntersectOutObj, 8 );
LOGIC_API_FIELD( RayIntersectOutObj, ui32ObjID, 0 );
LOGIC_API_FIELD( RayIntersectOutObj, ui32TagPrim, 4 );
LOGIC_API_SIZE( RayIntersectOutEnv, 36 );
LOGIC_API_FIELD( RayIntersectOutEnv, ui16Tag, 0 );
LOGIC_API_FIELD( RayIntersectOutEnv, ui16SurfaceType, 2 );
LOGIC_API_FIELD( RayIntersectOutEnv, oAttribs, 4 );
LOGIC_API_SIZE( RayIntersectOut, 60 );
LOGIC_API_FIELD( RayIntersectOut, oIntersectionPoint, 0 );
LOGIC_API_FIELD( RayIntersectOut, oIntersectionNormal, 12 );
LOGIC_API_FIELD( RayIntersectOut, oOutEnvObj, 24 );
LOGIC_API_SIZE( RayIntersectResult, 4 );
LOGIC_API_SIZE( SG_CBParamDef, 8 );
LOGIC_API_FIELD( SG_CBParamDef, uiState, 0 );
LOGIC_API_FIELD( SG_CBParamDef, uiLastError, 4 );
LOGIC_API_SIZE( FILEDESCRIPTOR, 44 );
LOGIC_API_FIELD( FILEDESCRIPTOR, cName, 0 );
LOGIC_API_FIELD( FILEDESCRIPTOR, iSize, 32 );
LOGIC_API_FIELD( FILEDESCRIPTOR, iCreateDate, 36 );
LOGIC_API_FIELD( FILEDESCRIPTOR, iModDate, 40 );
LOGIC_API_SIZE( PS2CARDINFO, 16 );
LOGIC_API_FIELD( PS2CARDINFO, type, 0 );
LOGIC_API_FIELD( PS2CARDINFO, MMFree, 4 );
LOGIC_API_FIELD( PS2CARDINFO, format, 8 );
LOGIC_API_FIELD( PS2CARDINFO, status, 12 );
LOGIC_API_SIZE( GBALink_CBConnectionParamDef, 2 );
LOGIC_API_FIELD( GBALink_CBConnectionParamDef, uiSlot, 0 );
LOGIC_API_FIELD( GBALink_CBConnectionParamDef, uiState, 1 );
LOGIC_API_SIZE( GBALink_CBCompleteParamDef, 8 );
LOGIC_API_FIELD( GBALink_CBCompleteParamDef, uiData, 0 );
LOGIC_API_FIELD( GBALink_CBCompleteParamDef, uiSlot, 4 );
LOGIC_API_FIELD( GBALink_CBCompleteParamDef, uiState, 5 );

// The records that hold pointers: console offsets, then the host's.
LOGIC_API_SIZE( _sTexFaderParams, LOGIC_API_BY_POINTER( 52, 80 ) );
LOGIC_API_FIELD( _sTexFaderParams, uiFlags, LOGIC_API_BY_POINTER( 0, 0 ) );
LOGIC_API_FIELD( _sTexFaderParams, fTime, LOGIC_API_BY_POINTER( 4, 4 ) );
LOGIC_API_FIELD( _sTexFaderParams, pSrcTexture, LOGIC_API_BY_POINTER( 8, 8 ) );
LOGIC_API_FIELD( _sTexFaderParams, pDestTexture, LOGIC_API_BY_POINTER( 20, 32 ) );
LOGIC_API_FIELD( _sTexFaderParams, fSrcStartRatio, LOGIC_API_BY_POINTER( 32, 56 ) );
LOGIC_API_FIELD( _sTexFaderParams, fSrcEndRatio, LOGIC_API_BY_POINTER( 36, 60 ) );
LOGIC_API_FIELD( _sTexFaderParams, fDestStartRatio, LOGIC_API_BY_POINTER( 40, 64 ) );
LOGIC_API_FIELD( _sTexFaderParams, fDestEndRatio, LOGIC_API_BY_POINTER( 44, 68 ) );
LOGIC_API_FIELD( _sTexFaderParams, pNotifyData, LOGIC_API_BY_POINTER( 48, 72 ) );
LOGIC_API_SIZE( _LinesParams, LOGIC_API_BY_POINTER( 20, 40 ) );
LOGIC_API_FIELD( _LinesParams, pStart, LOGIC_API_BY_POINTER( 0, 0 ) );
LOGIC_API_FIELD( _LinesParams, pEnd, LOGIC_API_BY_POINTER( 4, 8 ) );
LOGIC_API_FIELD( _LinesParams, pColorStart, LOGIC_API_BY_POINTER( 8, 16 ) );
LOGIC_API_FIELD( _LinesParams, pColorEnd, LOGIC_API_BY_POINTER( 12, 24 ) );
LOGIC_API_FIELD( _LinesParams, NbLines, LOGIC_API_BY_POINTER( 16, 32 ) );
LOGIC_API_SIZE( stleveltransitionparams, LOGIC_API_BY_POINTER( 2012, 2024 ) );
LOGIC_API_FIELD( stleveltransitionparams, muiTransitionFlags, LOGIC_API_BY_POINTER( 0, 0 ) );
LOGIC_API_FIELD( stleveltransitionparams, mszVideoName, LOGIC_API_BY_POINTER( 4, 8 ) );
LOGIC_API_FIELD( stleveltransitionparams, muiNumberOfExternalFilesToLoad, LOGIC_API_BY_POINTER( 8, 16 ) );
LOGIC_API_FIELD( stleveltransitionparams, mpszExternalFiles, LOGIC_API_BY_POINTER( 12, 20 ) );

#endif
