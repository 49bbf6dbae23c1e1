/*
===============================================================================

	Immediate-mode 3D: caller vertex arrays drawn without a geometry. The
	caller transforms an array (with an optional local matrix), draws
	primitives over it, indexed or not, and ends the block. Both stages
	run as pipelines; the platform's render node sets the graphics
	processor up for unlit, vertex-coloured (optionally textured) drawing
	and streams the vertices, as floats, in drawing order.

	Blocks do not nest: there is one stage record.

===============================================================================
*/
#ifndef RW_DL_IM3D_H
#define RW_DL_IM3D_H

#include "graphics3d/core/RwDevice.h"
#include "graphics3d/core/RwMatrix.h"
#include "graphics3d/core/RwPlugin.h"
#include "graphics3d/core/RwRGBA.h"
#include "graphics3d/core/RxPipelineTypes.h"

struct RwIm3DVertex {
	RwV3d	objVertex;
	RwV3d	objNormal;		// not used here
	RwRGBA	color;
	f32		u;
	f32		v;
};
static_assert( sizeof( RwIm3DVertex ) == 36, "an immediate vertex is 36 bytes" );

enum RwIm3DPrimType : s32 {
	rwPRIMTYPELINELIST	= 1,
	rwPRIMTYPEPOLYLINE	= 2,
	rwPRIMTYPETRILIST	= 3,
	rwPRIMTYPETRISTRIP	= 4,
	rwPRIMTYPETRIFAN	= 5,
	rwPRIMTYPEPOINTLIST	= 6,
};

// Transform flags: vertices carry u, v and are drawn textured.
constexpr u32 rwIM3D_VERTEXUV = 0x01;
// Flags every transform adds.
constexpr u32 rwIM3D_ALWAYS = 0x18;

// Error codes of immediate 3D (the core's plug-in).
constexpr u32 RWIM3D_ERROR_NO_TRANSFORM		= 35;
constexpr u32 RWIM3D_ERROR_PRIMITIVE		= 37;
constexpr u32 RWIM3D_ERROR_TOO_MANY			= 50;
// Vertices a block may hold: counts are 16 bits.
constexpr u32 RWIM3D_MAX_VERTICES			= 65535;

// What both pipelines work on.
struct RwIm3DStage {
	u16				numVertices;
	RwIm3DVertex*	vertices;
	u32				stride;
	u32				flags;
	const RwMatrix*	ltm;
	RxPipeline*		pipeline;		// render pipeline in use
	s32				primType;
	RwImVertexIndex* indices;		// null when not indexed
	u32				numIndices;
};

// Render pipeline words by primitive: triangle list, triangle fan,
// triangle strip, line list, poly line, point list.
constexpr u32 RWIM3D_RENDER_PIPELINES = 6;

struct RwIm3DGlobals {
	RxPipeline*		currentTransform;
	RxPipeline*		currentRender[RWIM3D_RENDER_PIPELINES];
	RxPipeline*		platformTransform;
	RxPipeline*		platformRender[RWIM3D_RENDER_PIPELINES];	// the point-list word stays null
	RwIm3DStage		stage;
};

extern RwModuleInfo		_rwIm3DModule;
extern RwIm3DGlobals*	_rwIm3DGlobals;
// The stage record the submit node draws.
extern RwIm3DStage*		_rwDlImmPool;

RxNodeDefinition*	RxNodeDefinitionGetGameCubeImmInstance();
RxNodeDefinition*	RxNodeDefinitionGetGameCubeSubmitNoLight();

// Module life with the engine (the device link registers them).
void*	_rwDlIm3DOpen( void* instance, s32 offset, s32 size );
void*	_rwDlIm3DClose( void* instance, s32 offset, s32 size );

// The vertices, or null: more than 65535 vertices ({1, 50}) or a failed
// transform pipeline.
RwIm3DVertex*	RwIm3DTransform( RwIm3DVertex* vertices, u32 count, const RwMatrix* ltm, u32 flags );
bool			RwIm3DRenderPrimitive( s32 primType );
bool			RwIm3DRenderIndexedPrimitive( s32 primType, RwImVertexIndex* indices, s32 numIndices );
bool			RwIm3DEnd();
RxPipeline*		RwIm3DSetTransformPipeline( RxPipeline* pipeline );
RxPipeline*		RwIm3DSetRenderPipeline( RxPipeline* pipeline, s32 primType );

// Graphics-processor set-up for the stage's vertices.
void			_rw3DRenderPrimitiveInit( const RwIm3DStage* stage );

#endif
