/*
===============================================================================

	The game-object table's frame slots (hierarchy, positions, moves,
	turns, alignment, orientation, vectors and matrices), filled into the
	table by Init_gameobj. Positioned-thing slots work on any positioned
	kind's own frame; reads of a game object take its joint frame.

===============================================================================
*/
#ifndef LOGIC_API_GAME_OBJ_FRAMES_H
#define LOGIC_API_GAME_OBJ_FRAMES_H

#include "framework/logic/api/LogicApiRecords.h"

class EFGameObject;

// The game object of id as every game-object slot finds it (0x2A000000:
// the running object; group queries: the first object found), or null.
EFGameObject *	LogicApiFindGameObject( u32 id );

void GameObjAddChild( u32 parentId, u32 joint, u32 childId, u32 flags );
void GameObjLeaveParent( u32 id, u32 flags );
void GameObjRemoveAllChildren( u32 id, u32 flags );
DTVector3d * GameObjGetPosition( u32 id, u32 joint, DTVector3d * out );
DTVector3d * GameObjGetLookAt( u32 id, u32 joint, DTVector3d * out );
DTVector3d * GameObjGetLookUp( u32 id, u32 joint, DTVector3d * out );
DTVector3d * GameObjGetLookRight( u32 id, u32 joint, DTVector3d * out );
void GameObjTranslate( u32 id, DTVector3d * delta );
void GameObjSetTranslation( u32 id, DTVector3d * pos );
void GameObjSetTranslationSafe( u32 id, DTVector3d * pos );
void GameObjRotate( u32 id, DTVector3d * axis, f32 angle );
void GameObjRotateAround( u32 id, DTVector3d * axis, f32 angle, DTVector3d * point );
void GameObjSetRotation( u32 id, DTVector3d * axis, f32 angle );
void GameObjAlignAtWith( u32 id, DTVector3d * dir );
void GameObjLookAtAlignUp( u32 id, DTVector3d * at, DTVector3d * up );
void GameObjLookUpAlignAt( u32 id, DTVector3d * up, DTVector3d * at );
void GameObjTakeOrientation( u32 id, u32 sourceId, u32 joint );
void GameObjSetIdentity( u32 id );
void GameObjTransformVector( u32 id, DTVector3d * in, DTVector3d * out );
void GameObjInvertTransformVector( u32 id, DTVector3d * in, DTVector3d * out );
void GameObjSetLMat( u32 id, DTMatrix * m );
DTMatrix * GameObjGetLMat( u32 id );
DTMatrix * GameObjGetWMat( u32 id );
void GameObjSetBoneLMat( u32 id, u32 joint, DTMatrix * m );
DTMatrix * GameObjGetBoneLMat( u32 id, u32 joint );
DTMatrix * GameObjGetBoneWMat( u32 id, u32 joint );

#endif
