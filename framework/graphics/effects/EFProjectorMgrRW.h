/*
===============================================================================

	Platform part of the projector manager: draws the occurrences late in
	a camera's render, over what is already in the frame buffer.

	Each occurrence's volume is bounded by a sphere; the static world's
	triangles and the receivers' triangles that touch it are drawn again,
	textured with coordinates from the projector camera's view matrix
	(divided by depth for a perspective projector), coloured with the
	intensity 255 x the first colour value, and pulled a little towards
	the rendering camera so they win the depth test. Receiver triangles
	are split twice (16 pieces) so the texture follows curved surfaces;
	skinned receivers are intersected in their bind pose and their three
	vertices skinned with up to four weights. Triangles are batched in
	one shared buffer of 1500 vertices, up to 500 per draw.

	Blending: 0 additive, 1 darkening (the destination times one minus the
	source colour), others alpha. The first two draw with black fog when
	fog is on; the camera's fog comes back afterwards.

===============================================================================
*/
#ifndef EF_PROJECTOR_MGR_RW_H
#define EF_PROJECTOR_MGR_RW_H

#include "framework/graphics/effects/EFProjectorMgr_BC.h"
#include "graphics3d/core/RwMatrix.h"
#include "graphics3d/gamecube/RwDlIm3D.h"

struct RpAtomic;
struct RpCollisionTriangle;
struct RpIntersection;
struct RpWorldSector;

// Vertices of the shared triangle buffer.
constexpr u32 EF_PROJECTOR_BUFFER_VERTICES	= 1500;

// Projection kinds of one occurrence's drawing.
constexpr u32 EF_PROJECTION_PERSPECTIVE		= 1;
constexpr u32 EF_PROJECTION_PARALLEL		= 2;

// What every triangle callback of one occurrence needs.
struct _ProjectionParam {
	RwMatrix				oProjectorView;
	// The rendering camera's inverted view matrix: its translation is the
	// camera's position.
	RwMatrix				oInverseCameraView;
	u8						ui8Intensity;
	// Null for the static world.
	RpAtomic *				pAtomic;
	// Null unless the atomic is skinned.
	const RwMatrix *		pBones;
	u32						uiBoneCount;
	u32						uiProjectionKind;
};

class EFProjectorMgr_SP : public EFProjectorMgr_BC {
public:
	void					InitReceiver( _sObjectEntry * ) override {}
	void					TermReceiver( _sObjectEntry * ) override {}

	// Draws every occurrence, then ends the projectors.
	void					End() override;

	// Draws what the buffer holds and empties it in any case.
	static void				FlushTriBuffer();

	static RwIm3DVertex		mIm3DBuffer[EF_PROJECTOR_BUFFER_VERTICES];
	static u32				mIm3DBufferCnt;

private:
	void					DrawOccurence( const _sProjectorOccurence & occurrence );
	void					DrawReceiver( const _sObjectEntry & receiver, RpIntersection & sphere,
										  _ProjectionParam & param );

	static RpCollisionTriangle *	WorldCB( RpIntersection * intersection, RpWorldSector * sector,
											 RpCollisionTriangle * triangle, f32 distance, void * data );
	static RpCollisionTriangle *	AtomicCB( RpIntersection * intersection, RpCollisionTriangle * triangle,
											  f32 distance, void * data );
	// Two levels of splitting into four, then the drawing.
	static void				RenderOnShadowedTriangle( _ProjectionParam & param, const RwV3d & a, const RwV3d & b,
													  const RwV3d & c );
	static void				RenderOnShadowedTriangle2( _ProjectionParam & param, const RwV3d & a, const RwV3d & b,
													   const RwV3d & c );
	static void				RenderOnShadowedTriangle3( _ProjectionParam & param, const RwV3d & a, const RwV3d & b,
													   const RwV3d & c );
};

#endif
