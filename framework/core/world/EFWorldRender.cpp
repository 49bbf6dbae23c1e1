/*
	EFWorld: drawing the static world, the game objects, the sky dome and
	the environment maps for one camera, over the 3D library's render
	states.
*/
#include "framework/core/world/EFWorld.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "graphics3d/core/RwMatrix.h"
#include "graphics3d/core/RwRenderState.h"
#include "graphics3d/world/RpWorld.h"

#include <cstdint>

namespace {

// Render states and their values.
constexpr RwRenderState RS_ZTEST_ENABLE		= 6;
constexpr RwRenderState RS_ZWRITE_ENABLE	= 8;
constexpr RwRenderState RS_SRC_BLEND		= 10;
constexpr RwRenderState RS_DEST_BLEND		= 11;
constexpr RwRenderState RS_FOG_ENABLE		= 14;
constexpr RwRenderState RS_FOG_COLOR		= 15;
constexpr RwRenderState RS_CULL_MODE		= 20;

constexpr u32 CULL_NONE						= 1;
constexpr u32 BLEND_ZERO					= 1;
constexpr u32 BLEND_ONE						= 2;
constexpr u32 BLEND_INV_SRC_COLOR			= 4;
constexpr u32 BLEND_SRC_ALPHA				= 5;
constexpr u32 BLEND_INV_SRC_ALPHA			= 6;
// Additive and multiplied objects fog towards black.
constexpr u32 FOG_BLACK						= 0xFF000000;

// 3D-object states that make it transparent.
constexpr u32 TRANSPARENT_STATES			= EF_3D_OBJ_ALPHA | EF_3D_OBJ_ADDITIVE | EF_3D_OBJ_MULTIPLIED;
// Objects drawn elsewhere, or not at all.
constexpr u32 NOT_IN_OBJECT_PASS			= EF_LF_NOT_DRAWN | EF_LF_SKY_DOME;

// The low bits of a clip word that the 3D object's drawing reads.
constexpr u32 RENDER_CLIP_MASK				= 0xFFFF;

void SetState( const RwRenderState state, const u32 value ) {
	RwRenderStateSet( state, reinterpret_cast<void *>( static_cast<uintptr_t>( value ) ) );
}

// The device writes a pointer-sized value.
void * GetState( const RwRenderState state ) {
	void * value = nullptr;
	RwRenderStateGet( state, &value );
	return value;
}

u16 CameraClipWord( const EFObjClipping & clipping, const u32 camera ) {
	if ( camera >= EF_CLIP_CAMERA_SLOTS ) {
		return 0;
	}
	return static_cast<u16>( clipping.camClipState[camera].uiCamClipOps & RENDER_CLIP_MASK );
}

}

void EFWorld::RenderMap( const EFCamera & ) {
	RpWorld * const world = GetCurrentWorld();
	if ( world == nullptr ) {
		return;
	}
	void * const cull = GetState( RS_CULL_MODE );
	SetState( RS_CULL_MODE, CULL_NONE );
	RpWorldRender( world );
	RwRenderStateSet( RS_CULL_MODE, cull );
}

void EFWorld::AddSortEntry( EF3dObj & model, EFObjClipping & clipping, const f32 depth ) {
	// Past the last entry transparent objects of this pass go undrawn.
	if ( muiSortEntryCount >= EF_RENDER_SORT_ENTRIES ) {
		return;
	}
	EFRenderSortEntry & entry = maSortEntries[muiSortEntryCount++];
	entry = { nullptr, &model, &clipping, depth };
	const u32 bucket = model.muiTransparentPriority < EF_RENDER_BUCKETS ? model.muiTransparentPriority : EF_RENDER_BUCKETS - 1;
	// Far to near; equal depths keep their order of arrival.
	EFRenderSortEntry ** link = &mpBuckets[bucket];
	while ( *link != nullptr && ( *link )->fDepth >= depth ) {
		link = &( *link )->pNext;
	}
	entry.pNext = *link;
	*link = &entry;
}

void EFWorld::RenderObjects( const u32 camera ) {
	if ( mpInvCameraMatrix == nullptr ) {
		mpInvCameraMatrix = RwMatrixCreate();
	}
	EFCamera * const view = gpoGraphicsMgr != nullptr ? gpoGraphicsMgr->GetCamera( camera ) : nullptr;
	const bool hasView = mpInvCameraMatrix != nullptr && view != nullptr && view->GetFrame() != nullptr;
	if ( hasView ) {
		RwMatrixInvert( mpInvCameraMatrix, DTAsRwMatrix( view->GetFrame()->GetWMatrix() ) );
	}
	for ( EFRenderSortEntry *& bucket : mpBuckets ) {
		bucket = nullptr;
	}
	muiSortEntryCount = 0;

	for ( EFGameObject * object = mpListHeads[EF_WORLD_RENDER_LIST]; object != nullptr;
		  object = object->mpGameObjectPipeLineList[EF_WORLD_RENDER_LIST] ) {
		if ( ( object->muiLogicFlags & NOT_IN_OBJECT_PASS ) != 0 ) {
			continue;
		}
		EF3dObj * const model = object->muiNb3dObj == 1 ? object->Get3dObject( 0 ) : nullptr;
		if ( model != nullptr ) {
			if ( ( model->mui3dObjState & TRANSPARENT_STATES ) != 0 ) {
				f32 depth = 0.0f;
				DTFrame * const frame = model->GetFrame() != nullptr ? model->GetFrame() : object->GetFrame();
				if ( hasView && frame != nullptr ) {
					DTVector3d local;
					DTAsDTMatrix( mpInvCameraMatrix )->TransformPoint( *frame->GetWMatrix()->GetPos(), local );
					depth = local.z;
				}
				AddSortEntry( *model, object->moClipping, depth );
			} else {
				model->Render( CameraClipWord( object->moClipping, camera ) );
			}
		}
		object->muiFlags &= ~EF_INSTANCE_MOVED;
	}
}

void EFWorld::RenderDome( const u32 camera ) {
	EFGameObject * const dome = muiSpecialObjectId != 0 ? FindGameObject( muiSpecialObjectId ) : nullptr;
	if ( dome == nullptr ) {
		return;
	}
	void * const fog = GetState( RS_FOG_ENABLE );
	void * const zTest = GetState( RS_ZTEST_ENABLE );
	void * const zWrite = GetState( RS_ZWRITE_ENABLE );
	SetState( RS_FOG_ENABLE, 0 );
	SetState( RS_ZTEST_ENABLE, 0 );
	SetState( RS_ZWRITE_ENABLE, 0 );
	EF3dObj * const model = dome->Get3dObject( 0 );
	if ( model != nullptr ) {
		model->Render( CameraClipWord( dome->moClipping, camera ) );
	}
	RwRenderStateSet( RS_FOG_ENABLE, fog );
	RwRenderStateSet( RS_ZTEST_ENABLE, zTest );
	RwRenderStateSet( RS_ZWRITE_ENABLE, zWrite );
}

void EFWorld::RenderMapTransparent() {
	for ( EFEnvMap * map = GetFirstEnvMap(); map != nullptr; map = map->mpNext ) {
		map->Render();
	}
}

void EFWorld::RenderObjectsTransparent( const u32 camera ) {
	SetState( RS_ZWRITE_ENABLE, 0 );
	void * const cull = GetState( RS_CULL_MODE );
	SetState( RS_CULL_MODE, CULL_NONE );
	void * const fogColor = GetState( RS_FOG_COLOR );
	void * const fog = GetState( RS_FOG_ENABLE );
	const bool fogOn = fog != nullptr;
	for ( EFRenderSortEntry * const bucket : mpBuckets ) {
		for ( const EFRenderSortEntry * entry = bucket; entry != nullptr; entry = entry->pNext ) {
			EF3dObj & model = *entry->po3dObj;
			if ( ( model.mui3dObjState & EF_3D_OBJ_ALPHA ) != 0 ) {
				SetState( RS_SRC_BLEND, BLEND_SRC_ALPHA );
				SetState( RS_DEST_BLEND, BLEND_INV_SRC_ALPHA );
				if ( fogOn ) {
					RwRenderStateSet( RS_FOG_COLOR, fogColor );
				}
			} else if ( ( model.mui3dObjState & EF_3D_OBJ_ADDITIVE ) != 0 ) {
				SetState( RS_SRC_BLEND, BLEND_ONE );
				SetState( RS_DEST_BLEND, BLEND_ONE );
				if ( fogOn ) {
					SetState( RS_FOG_COLOR, FOG_BLACK );
				}
			} else if ( ( model.mui3dObjState & EF_3D_OBJ_MULTIPLIED ) != 0 ) {
				SetState( RS_SRC_BLEND, BLEND_ZERO );
				SetState( RS_DEST_BLEND, BLEND_INV_SRC_COLOR );
				if ( fogOn ) {
					SetState( RS_FOG_COLOR, FOG_BLACK );
				}
			}
			model.Render( CameraClipWord( *entry->poClipping, camera ) );
		}
	}
	RwRenderStateSet( RS_FOG_COLOR, fogColor );
	RwRenderStateSet( RS_FOG_ENABLE, fog );
	SetState( RS_ZWRITE_ENABLE, 1 );
	RwRenderStateSet( RS_CULL_MODE, cull );
}
