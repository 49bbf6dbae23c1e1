#include "framework/graphics/effects/EFProjectorMgrRW.h"

#include "datatypes/base/DTFloatToInt.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFStatic3dObj.h"
#include "framework/graphics/effects/EFEffectRenderStates.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpCollision.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpHAnim.h"
#include "graphics3d/world/RpSkin.h"

#include <cmath>

RwIm3DVertex EFProjectorMgr_SP::mIm3DBuffer[EF_PROJECTOR_BUFFER_VERTICES];
u32 EFProjectorMgr_SP::mIm3DBufferCnt = 0;

namespace {

// Fog colour of the additive and darkening blends: opaque black.
constexpr u32 FOG_BLACK				= 0xFF000000;
// The buffer is flushed before a triangle when it holds more than this.
constexpr u32 BUFFER_FLUSH_ABOVE	= EF_PROJECTOR_BUFFER_VERTICES - 3;
// Share of the way towards the rendering camera a drawn vertex moves.
constexpr f32 PULL_TOWARDS_CAMERA	= 0.002f;
// Transform flags: positions, texture coordinates and colours.
constexpr u32 TRANSFORM_FLAGS		= 25;
// Weights and bone indices per skinned vertex.
constexpr u32 SKIN_WEIGHTS			= 4;

RwV3d Midpoint( const RwV3d & a, const RwV3d & b ) {
	return { 0.5f * ( a.x + b.x ), 0.5f * ( a.y + b.y ), 0.5f * ( a.z + b.z ) };
}

typedef void ( *TrianglePiece )( _ProjectionParam & param, const RwV3d & a, const RwV3d & b, const RwV3d & c );

// Splits at the edge midpoints into (A, AB, CA), (AB, B, BC), (CA, BC, C)
// and (CA, AB, BC), in that order.
void SplitInFour( _ProjectionParam & param, const RwV3d & a, const RwV3d & b, const RwV3d & c, const TrianglePiece piece ) {
	const RwV3d ab = Midpoint( a, b );
	const RwV3d bc = Midpoint( b, c );
	const RwV3d ca = Midpoint( c, a );
	piece( param, a, ab, ca );
	piece( param, ab, b, bc );
	piece( param, ca, bc, c );
	piece( param, ca, ab, bc );
}

RwFrame * ParentFrame( const RwFrame * frame ) {
	return static_cast<RwFrame *>( frame->object.parent );
}

// bones[k] for the hierarchy's nodes: node 0's modelling matrix, and for
// k >= 1 the node's modelling matrix times its ancestors' up to node 0's
// frame (not included) or the root.
void ComputeBoneMatrices( const RpHAnimHierarchy & hierarchy, RwMatrix * bones, const u32 count ) {
	const RwFrame * const first = hierarchy.pNodeInfo[0].pFrame;
	for ( u32 k = 0; k < count; k++ ) {
		const RwFrame * frame = hierarchy.pNodeInfo[k].pFrame;
		if ( frame == nullptr ) {
			_rwMatrixSetIdentity( &bones[k] );
			continue;
		}
		bones[k] = frame->modelling;
		if ( k == 0 ) {
			continue;
		}
		for ( const RwFrame * up = ParentFrame( frame ); up != nullptr && up != first; up = ParentFrame( up ) ) {
			RwMatrix product;
			RwMatrixMultiply( &product, &bones[k], &up->modelling );
			bones[k] = product;
		}
	}
}

// A vertex skinned with up to four weights; a weight past the first stops
// the sum when it is 0.0 or names bone 0, and one naming a bone that has
// no matrix adds nothing.
RwV3d SkinVertex( const RpSkin & skin, const RwV3d & vertex, const u32 index, const RwMatrix * bones,
				  const u32 boneCount ) {
	const f32 * const weights = RpSkinGetVertexBoneWeights( &skin ) + SKIN_WEIGHTS * index;
	const u32 indices = RpSkinGetVertexBoneIndices( &skin )[index];
	const RwMatrix * const skinToBone = RpSkinGetSkinToBoneMatrices( &skin );
	RwV3d sum = { 0.0f, 0.0f, 0.0f };
	for ( u32 j = 0; j < SKIN_WEIGHTS; j++ ) {
		const u32 bone = ( indices >> ( 8 * j ) ) & 0xFF;
		const f32 weight = weights[j];
		if ( j >= 1 && ( weight == 0.0f || bone == 0 ) ) {
			break;
		}
		if ( bone >= boneCount || bone >= skin.numBones ) {
			continue;
		}
		RwV3d inBone;
		RwV3d placed;
		RwV3dTransformPoints( &inBone, &vertex, 1, &skinToBone[bone] );
		RwV3dTransformPoints( &placed, &inBone, 1, &bones[bone] );
		sum.x += weight * placed.x;
		sum.y += weight * placed.y;
		sum.z += weight * placed.z;
	}
	return sum;
}

struct ReceiverWalk {
	EFProjectorMgr_SP::_sObjectEntry const *	receiver;
	RpIntersection *							sphere;
	_ProjectionParam *							param;
	RpIntersectionCallBackGeometryTriangle		callBack;
};

}

void EFProjectorMgr_SP::End() {
	const u32 fogOn = EFGetState( RWDL_STATE_FOG );
	const u32 fogColour = EFGetState( RWDL_STATE_FOG_COLOUR );
	for ( u32 i = 0; i < muiOccurenceCount; i++ ) {
		const _sProjectorOccurence & occurrence = maOccurences[i];
		// A shadow without a texture is never added; nothing else may
		// draw one either.
		if ( occurrence.pTexture == nullptr || occurrence.pCamera == nullptr ||
			 occurrence.pCamera->mpoRwCamera == nullptr ) {
			continue;
		}
		RwRenderStateSet( RWDL_STATE_TEXTURE_RASTER, occurrence.pTexture->raster );
		EFSetState( RWDL_STATE_TEXTURE_ADDRESS, EF_TEXTURE_ADDRESS_CLAMP );
		EFSetState( EF_STATE_VERTEX_ALPHA, 1 );
		EFSetState( RWDL_STATE_TEXTURE_FILTER, EF_TEXTURE_FILTER_LINEAR );
		switch ( occurrence.uiBlendingFunction ) {
			case EF_PROJECTOR_BLEND_ADDITIVE:
				EFSetState( RWDL_STATE_SRC_BLEND, EF_BLEND_ONE );
				EFSetState( RWDL_STATE_DST_BLEND, EF_BLEND_ONE );
				break;
			case EF_PROJECTOR_BLEND_DARKEN:
				EFSetState( RWDL_STATE_SRC_BLEND, EF_BLEND_ZERO );
				EFSetState( RWDL_STATE_DST_BLEND, EF_BLEND_INV_SRC_COLOR );
				break;
			default:
				EFSetState( RWDL_STATE_SRC_BLEND, EF_BLEND_SRC_ALPHA );
				EFSetState( RWDL_STATE_DST_BLEND, EF_BLEND_INV_SRC_ALPHA );
				break;
		}
		if ( fogOn != 0 && occurrence.uiBlendingFunction <= EF_PROJECTOR_BLEND_DARKEN ) {
			EFSetState( RWDL_STATE_FOG_COLOUR, FOG_BLACK );
		}
		EFSetState( RWDL_STATE_Z_TEST, 1 );
		EFSetState( RWDL_STATE_Z_WRITE, 0 );
		DrawOccurence( occurrence );
		EFSetState( RWDL_STATE_SRC_BLEND, EF_BLEND_SRC_ALPHA );
		EFSetState( RWDL_STATE_DST_BLEND, EF_BLEND_INV_SRC_ALPHA );
		EFSetState( RWDL_STATE_Z_WRITE, 1 );
		EFSetState( RWDL_STATE_Z_TEST, 1 );
	}
	EFSetState( RWDL_STATE_FOG_COLOUR, fogColour );
	EFSetState( RWDL_STATE_FOG, fogOn );
	EFProjectorMgr_BC::End();
}

void EFProjectorMgr_SP::DrawOccurence( const _sProjectorOccurence & occurrence ) {
	const RwCamera * const projector = occurrence.pCamera->mpoRwCamera;
	_ProjectionParam param;
	param.oProjectorView = projector->viewMatrix;
	_rwMatrixSetIdentity( &param.oInverseCameraView );
	const RwCamera * const current = RwEngineInstance != nullptr ? RwEngineInstance->currentCamera : nullptr;
	if ( current != nullptr ) {
		RwMatrixInvert( &param.oInverseCameraView, &current->viewMatrix );
	}
	param.uiProjectionKind = projector->projectionType == rwPARALLEL ? EF_PROJECTION_PARALLEL : EF_PROJECTION_PERSPECTIVE;
	const u32 intensity = DTFloatToU32( 255.0f * occurrence.afColor[0] );
	param.ui8Intensity = static_cast<u8>( intensity > 0xFF ? 0xFF : intensity );
	param.pAtomic = nullptr;
	param.pBones = nullptr;
	param.uiBoneCount = 0;
	mIm3DBufferCnt = 0;

	const RwV3d & position = occurrence.oPosition;
	const RwV3d & farPoint = occurrence.oFarPoint;
	RpIntersection sphere;
	sphere.type = rpINTERSECTSPHERE;
	sphere.t.sphere.center = { position.x + 0.5f * ( farPoint.x - position.x ),
							   position.y + 0.5f * ( farPoint.y - position.y ),
							   position.z + 0.5f * ( farPoint.z - position.z ) };
	const RwV3d toFar = { farPoint.x - sphere.t.sphere.center.x, farPoint.y - sphere.t.sphere.center.y,
						  farPoint.z - sphere.t.sphere.center.z };
	sphere.t.sphere.radius = RwV3dLength( &toFar );

	const EFStatic3dObj * const level = gpoWorldMgr != nullptr ? gpoWorldMgr->GetStatic3dObj() : nullptr;
	if ( level != nullptr && level->GetWorld() != nullptr ) {
		RpCollisionWorldForAllIntersections( level->GetWorld(), &sphere, &WorldCB, &param );
	}
	for ( const _sObjectEntry * receiver = mpReceivers; receiver != nullptr; receiver = receiver->mpNext ) {
		if ( receiver->mpo3dObj != occurrence.pExcluded3dObj ) {
			DrawReceiver( *receiver, sphere, param );
		}
	}
	if ( mIm3DBufferCnt != 0 ) {
		FlushTriBuffer();
	}
}

void EFProjectorMgr_SP::DrawReceiver( const _sObjectEntry & receiver, RpIntersection & sphere,
									  _ProjectionParam & param ) {
	if ( receiver.mpo3dObj == nullptr || receiver.mpo3dObj->mpClump == nullptr ) {
		return;
	}
	ReceiverWalk walk = { &receiver, &sphere, &param, &AtomicCB };
	RpClumpForAllAtomics(
		receiver.mpo3dObj->mpClump,
		[]( RpAtomic * atomic, void * data ) -> RpAtomic * {
			ReceiverWalk & w = *static_cast<ReceiverWalk *>( data );
			_ProjectionParam & p = *w.param;
			p.pAtomic = atomic;
			p.pBones = nullptr;
			p.uiBoneCount = 0;
			const RpSkin * const skin = atomic->geometry != nullptr ? RpSkinGeometryGetSkin( atomic->geometry ) : nullptr;
			if ( skin == nullptr ) {
				RpAtomicForAllIntersections( atomic, w.sphere, w.callBack, &p );
				p.pAtomic = nullptr;
				return atomic;
			}
			// Bone matrices in the work memory; without a hierarchy or
			// room the atomic receives nothing.
			const RpHAnimHierarchy * const hierarchy = RpSkinAtomicGetHAnimHierarchy( atomic );
			if ( hierarchy == nullptr || hierarchy->pNodeInfo == nullptr || hierarchy->numNodes <= 0 ||
				 _WorkMem == nullptr ) {
				p.pAtomic = nullptr;
				return atomic;
			}
			const u32 nodes = static_cast<u32>( hierarchy->numNodes );
			const u32 count = skin->numBones < nodes ? skin->numBones : nodes;
			_WorkMem->Reset();
			const u32 bytes = static_cast<u32>( sizeof( RwMatrix ) ) * count;
			RwMatrix * const bones = static_cast<RwMatrix *>( _WorkMem->Get( bytes ) );
			if ( bones == nullptr ) {
				p.pAtomic = nullptr;
				return atomic;
			}
			ComputeBoneMatrices( *hierarchy, bones, count );
			p.pBones = bones;
			p.uiBoneCount = count;
			RpAtomicForAllIntersections( atomic, w.sphere, w.callBack, &p );
			_WorkMem->Release( bytes );
			p.pAtomic = nullptr;
			p.pBones = nullptr;
			p.uiBoneCount = 0;
			return atomic;
		},
		&walk );
}

RpCollisionTriangle * EFProjectorMgr_SP::WorldCB( RpIntersection *, RpWorldSector *, RpCollisionTriangle * triangle,
												  f32, void * data ) {
	_ProjectionParam & param = *static_cast<_ProjectionParam *>( data );
	RenderOnShadowedTriangle3( param, *triangle->vertices[0], *triangle->vertices[1], *triangle->vertices[2] );
	return triangle;
}

RpCollisionTriangle * EFProjectorMgr_SP::AtomicCB( RpIntersection *, RpCollisionTriangle * triangle, f32,
												   void * data ) {
	_ProjectionParam & param = *static_cast<_ProjectionParam *>( data );
	if ( param.pBones == nullptr ) {
		RenderOnShadowedTriangle( param, *triangle->vertices[0], *triangle->vertices[1], *triangle->vertices[2] );
		return triangle;
	}
	const RpGeometry * const geometry = param.pAtomic->geometry;
	const RpSkin * const skin = RpSkinGeometryGetSkin( geometry );
	if ( triangle->index < 0 || triangle->index >= geometry->numTriangles || skin == nullptr ) {
		return triangle;
	}
	const RpTriangle & source = geometry->triangles[triangle->index];
	const RwV3d * const vertices = geometry->morphTarget[0].verts;
	RwV3d skinned[3];
	for ( u32 i = 0; i < 3; i++ ) {
		const u32 index = source.vertIndex[i];
		if ( static_cast<s32>( index ) >= geometry->numVertices ) {
			return triangle;
		}
		skinned[i] = SkinVertex( *skin, vertices[index], index, param.pBones, param.uiBoneCount );
	}
	RenderOnShadowedTriangle3( param, skinned[0], skinned[1], skinned[2] );
	return triangle;
}

void EFProjectorMgr_SP::RenderOnShadowedTriangle( _ProjectionParam & param, const RwV3d & a, const RwV3d & b,
												  const RwV3d & c ) {
	SplitInFour( param, a, b, c, &RenderOnShadowedTriangle2 );
}

void EFProjectorMgr_SP::RenderOnShadowedTriangle2( _ProjectionParam & param, const RwV3d & a, const RwV3d & b,
												   const RwV3d & c ) {
	SplitInFour( param, a, b, c, &RenderOnShadowedTriangle3 );
}

void EFProjectorMgr_SP::RenderOnShadowedTriangle3( _ProjectionParam & param, const RwV3d & a, const RwV3d & b,
												   const RwV3d & c ) {
	RwV3d points[3] = { a, b, c };
	if ( param.pAtomic != nullptr ) {
		RwFrame * const frame = RpAtomicGetFrame( param.pAtomic );
		if ( frame != nullptr ) {
			RwV3dTransformPoints( points, points, 3, RwFrameGetLTM( frame ) );
		}
	}
	RwV3d projected[3];
	RwV3dTransformPoints( projected, points, 3, &param.oProjectorView );
	if ( param.uiProjectionKind == EF_PROJECTION_PERSPECTIVE ) {
		// A point in the projector's plane gives infinite coordinates.
		for ( RwV3d & p : projected ) {
			const f32 depth = std::fabs( p.z );
			p.x = p.x / depth;
			p.y = p.y / depth;
		}
	}
	if ( mIm3DBufferCnt > BUFFER_FLUSH_ABOVE ) {
		FlushTriBuffer();
	}
	const RwV3d & eye = param.oInverseCameraView.pos;
	const u8 intensity = param.ui8Intensity;
	for ( u32 i = 0; i < 3; i++ ) {
		const RwV3d & p = points[i];
		RwIm3DVertex & vertex = mIm3DBuffer[mIm3DBufferCnt++];
		vertex.objVertex = { p.x - PULL_TOWARDS_CAMERA * ( p.x - eye.x ), p.y - PULL_TOWARDS_CAMERA * ( p.y - eye.y ),
							 p.z - PULL_TOWARDS_CAMERA * ( p.z - eye.z ) };
		vertex.color = { intensity, intensity, intensity, intensity };
		vertex.u = projected[i].x;
		vertex.v = projected[i].y;
	}
}

void EFProjectorMgr_SP::FlushTriBuffer() {
	if ( RwIm3DTransform( mIm3DBuffer, mIm3DBufferCnt, nullptr, TRANSFORM_FLAGS ) != nullptr ) {
		RwIm3DRenderPrimitive( rwPRIMTYPETRILIST );
		RwIm3DEnd();
	}
	mIm3DBufferCnt = 0;
}
