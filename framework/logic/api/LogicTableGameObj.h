/*
===============================================================================

	Layout of the table `_api_gameobj` that a module gets from the root table:
	logic states, messages, notifications, hierarchy, placement,
	bounds, groups, clipping, shadows and render settings of game
	objects.

	Slot order is the interface with the engine; every slot is one
	function pointer wide. Slots the engine does not fill hold a stub that
	returns zero.

===============================================================================
*/
#ifndef LOGIC_TABLE_GAME_OBJ_H
#define LOGIC_TABLE_GAME_OBJ_H

#include "framework/logic/api/LogicApiRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LOGIC_API_GAME_OBJ_SLOTS		85
#define LOGIC_API_GAME_OBJ_PAD_SLOTS	16

struct _api_gameobj {
	void							( *ChangeState )( u32 state );
	void							( *SetNextState )( u32 id, u32 state );
	void							( *Break )( void );
	void							( *Sleep )( u32 id, f32 seconds );
	void							( *SetLogicFlag )( u32 id, u32 bits );
	void							( *ResetLogicFlag )( u32 id, u32 bits );
	u32								( *LaunchLatant )( u32 templateId );
	void							( *SetGameObjectVisible )( u32 id, s32 visible );
	s32								( *IsGameObjectVisible )( u32 id );
	void							( *KillObject )( u32 id );
	void *							( *GetGameBuffer )( u32 bufferId, u32 size, u32 persistent );
	void							( *FreeGameBuffer )( u32 bufferId );
	void							( *SetContextFlag )( u32 id, u32 context );
	u32								( *GetContextFlag )( u32 id );
	u32								( *GetCurrentStateID )( u32 id );
	u32								( *SendMessageTo )( u32 id, ObjectRetrieverParams * params, u32 msg, u32 param, void * data );
	u32								( *GetID )( u32 id, ObjectRetrieverParams * params );
	void *							( *GetMagicPreset )( u32 id, u32 key );
	void							( *RegisterNotify )( u32 id, u32 target, u32 type, u32 userData );
	void							( *UnregisterNotify )( u32 id, u32 target, u32 type );
	void							( *UnregisterAllNotify )( u32 id );
	void							( *AddChild )( u32 parentId, u32 joint, u32 childId, u32 flags );
	void							( *LeaveParent )( u32 id, u32 flags );
	void							( *RemoveAllChildren )( u32 id, u32 flags );
	DTVector3d *					( *GetPosition )( u32 id, u32 joint, DTVector3d * out );
	DTVector3d *					( *GetLookAt )( u32 id, u32 joint, DTVector3d * out );
	DTVector3d *					( *GetLookUp )( u32 id, u32 joint, DTVector3d * out );
	DTVector3d *					( *GetLookRight )( u32 id, u32 joint, DTVector3d * out );
	void							( *Translate )( u32 id, DTVector3d * delta );
	void							( *SetTranslation )( u32 id, DTVector3d * pos );
	void							( *Rotate )( u32 id, DTVector3d * axis, f32 angle );
	void							( *RotateAround )( u32 id, DTVector3d * axis, f32 angle, DTVector3d * point );
	void							( *SetRotation )( u32 id, DTVector3d * axis, f32 angle );
	void							( *AlignAtWith )( u32 id, DTVector3d * dir );
	void							( *LookAtAlignUp )( u32 id, DTVector3d * at, DTVector3d * up );
	void							( *LookUpAlignAt )( u32 id, DTVector3d * up, DTVector3d * at );
	void							( *TakeOrientation )( u32 id, u32 sourceId, u32 joint );
	void							( *SetIdentity )( u32 id );
	void							( *TransformVector )( u32 id, DTVector3d * in, DTVector3d * out );
	void							( *InvertTransformVector )( u32 id, DTVector3d * in, DTVector3d * out );
	f32								( *GetBoundingSphereRadius )( u32 id );
	f32								( *GetPhysicBSphereRadius )( u32 id );
	f32								( *GetRenderBSphere )( u32 id, DTVector3d * centre, f32 * radius );
	void							( *SetRenderBSphere )( u32 id, DTVector3d * centre, f32 radius );
	void							( *SetGroupBitMask )( u32 id, u32 mask );
	void							( *SetGroupID )( u32 id, u32 group );
	u32								( *GetGroupBitMask )( u32 id );
	u32								( *GetGroupID )( u32 id );
	void							( *EnableClipping )( u32 id, u32 enable, u32 which );
	void							( *EnableObject )( u32 id, u32 enable );
	void							( *GetClippingParams )( u32 id, EFClippingParams * out );
	void							( *SetClippingParams )( u32 id, EFClippingParams * in, u32 recursive );
	void							( *GetProximityClippingParams )( u32 id, EFProximityClippingParams * out );
	void							( *SetProximityClippingParams )( u32 id, EFProximityClippingParams * in );
	void							( *SetShadowParams )( u32 id, _ShadowParams * in );
	u32								( *GetShadowParams )( u32 id, _ShadowParams * out );
	void							( *DisplayInfo )( u32 id, char * text, u32, u32 );
	void							( *SetTranslationSafe )( u32 id, DTVector3d * pos );
	void							( *SetLMat )( u32 id, DTMatrix * m );
	DTMatrix *						( *GetLMat )( u32 id );
	DTMatrix *						( *GetWMat )( u32 id );
	void							( *SetBoneLMat )( u32 id, u32 joint, DTMatrix * m );
	DTMatrix *						( *GetBoneLMat )( u32 id, u32 joint );
	DTMatrix *						( *GetBoneWMat )( u32 id, u32 joint );
	void							( *SetTransparentPriority )( u32 id, u32 index, u32 priority );
	u32								( *GetTransparentPriority )( u32 id, u32 index );
	u32								( *IsInCutScene )( u32 id, u32 cutScene );
	u32								( *GetNbJoints )( u32 id );
	void							( *SetTransparentType )( u32 id, u32 index, u32 type );
	void							( *Pad[LOGIC_API_GAME_OBJ_PAD_SLOTS] )( void );
};

LOGIC_API_SLOT( _api_gameobj, ChangeState, 0 );
LOGIC_API_SLOT( _api_gameobj, SetNextState, 1 );
LOGIC_API_SLOT( _api_gameobj, Break, 2 );
LOGIC_API_SLOT( _api_gameobj, Sleep, 3 );
LOGIC_API_SLOT( _api_gameobj, SetLogicFlag, 4 );
LOGIC_API_SLOT( _api_gameobj, ResetLogicFlag, 5 );
LOGIC_API_SLOT( _api_gameobj, LaunchLatant, 6 );
LOGIC_API_SLOT( _api_gameobj, SetGameObjectVisible, 7 );
LOGIC_API_SLOT( _api_gameobj, IsGameObjectVisible, 8 );
LOGIC_API_SLOT( _api_gameobj, KillObject, 9 );
LOGIC_API_SLOT( _api_gameobj, GetGameBuffer, 10 );
LOGIC_API_SLOT( _api_gameobj, FreeGameBuffer, 11 );
LOGIC_API_SLOT( _api_gameobj, SetContextFlag, 12 );
LOGIC_API_SLOT( _api_gameobj, GetContextFlag, 13 );
LOGIC_API_SLOT( _api_gameobj, GetCurrentStateID, 14 );
LOGIC_API_SLOT( _api_gameobj, SendMessageTo, 15 );
LOGIC_API_SLOT( _api_gameobj, GetID, 16 );
LOGIC_API_SLOT( _api_gameobj, GetMagicPreset, 17 );
LOGIC_API_SLOT( _api_gameobj, RegisterNotify, 18 );
LOGIC_API_SLOT( _api_gameobj, UnregisterNotify, 19 );
LOGIC_API_SLOT( _api_gameobj, UnregisterAllNotify, 20 );
LOGIC_API_SLOT( _api_gameobj, AddChild, 21 );
LOGIC_API_SLOT( _api_gameobj, LeaveParent, 22 );
LOGIC_API_SLOT( _api_gameobj, RemoveAllChildren, 23 );
LOGIC_API_SLOT( _api_gameobj, GetPosition, 24 );
LOGIC_API_SLOT( _api_gameobj, GetLookAt, 25 );
LOGIC_API_SLOT( _api_gameobj, GetLookUp, 26 );
LOGIC_API_SLOT( _api_gameobj, GetLookRight, 27 );
LOGIC_API_SLOT( _api_gameobj, Translate, 28 );
LOGIC_API_SLOT( _api_gameobj, SetTranslation, 29 );
LOGIC_API_SLOT( _api_gameobj, Rotate, 30 );
LOGIC_API_SLOT( _api_gameobj, RotateAround, 31 );
LOGIC_API_SLOT( _api_gameobj, SetRotation, 32 );
LOGIC_API_SLOT( _api_gameobj, AlignAtWith, 33 );
LOGIC_API_SLOT( _api_gameobj, LookAtAlignUp, 34 );
LOGIC_API_SLOT( _api_gameobj, LookUpAlignAt, 35 );
LOGIC_API_SLOT( _api_gameobj, TakeOrientation, 36 );
LOGIC_API_SLOT( _api_gameobj, SetIdentity, 37 );
LOGIC_API_SLOT( _api_gameobj, TransformVector, 38 );
LOGIC_API_SLOT( _api_gameobj, InvertTransformVector, 39 );
LOGIC_API_SLOT( _api_gameobj, GetBoundingSphereRadius, 40 );
LOGIC_API_SLOT( _api_gameobj, GetPhysicBSphereRadius, 41 );
LOGIC_API_SLOT( _api_gameobj, GetRenderBSphere, 42 );
LOGIC_API_SLOT( _api_gameobj, SetRenderBSphere, 43 );
LOGIC_API_SLOT( _api_gameobj, SetGroupBitMask, 44 );
LOGIC_API_SLOT( _api_gameobj, SetGroupID, 45 );
LOGIC_API_SLOT( _api_gameobj, GetGroupBitMask, 46 );
LOGIC_API_SLOT( _api_gameobj, GetGroupID, 47 );
LOGIC_API_SLOT( _api_gameobj, EnableClipping, 48 );
LOGIC_API_SLOT( _api_gameobj, EnableObject, 49 );
LOGIC_API_SLOT( _api_gameobj, GetClippingParams, 50 );
LOGIC_API_SLOT( _api_gameobj, SetClippingParams, 51 );
LOGIC_API_SLOT( _api_gameobj, GetProximityClippingParams, 52 );
LOGIC_API_SLOT( _api_gameobj, SetProximityClippingParams, 53 );
LOGIC_API_SLOT( _api_gameobj, SetShadowParams, 54 );
LOGIC_API_SLOT( _api_gameobj, GetShadowParams, 55 );
LOGIC_API_SLOT( _api_gameobj, DisplayInfo, 56 );
LOGIC_API_SLOT( _api_gameobj, SetTranslationSafe, 57 );
LOGIC_API_SLOT( _api_gameobj, SetLMat, 58 );
LOGIC_API_SLOT( _api_gameobj, GetLMat, 59 );
LOGIC_API_SLOT( _api_gameobj, GetWMat, 60 );
LOGIC_API_SLOT( _api_gameobj, SetBoneLMat, 61 );
LOGIC_API_SLOT( _api_gameobj, GetBoneLMat, 62 );
LOGIC_API_SLOT( _api_gameobj, GetBoneWMat, 63 );
LOGIC_API_SLOT( _api_gameobj, SetTransparentPriority, 64 );
LOGIC_API_SLOT( _api_gameobj, GetTransparentPriority, 65 );
LOGIC_API_SLOT( _api_gameobj, IsInCutScene, 66 );
LOGIC_API_SLOT( _api_gameobj, GetNbJoints, 67 );
LOGIC_API_SLOT( _api_gameobj, SetTransparentType, 68 );
LOGIC_API_SLOT( _api_gameobj, Pad, 69 );
LOGIC_API_TABLE_SIZE( _api_gameobj, LOGIC_API_GAME_OBJ_SLOTS );

#ifdef __cplusplus
}
#endif

#endif
