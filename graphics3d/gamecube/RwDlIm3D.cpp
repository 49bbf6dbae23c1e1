#include "graphics3d/gamecube/RwDlIm3D.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RxPipeline.h"
#include "graphics3d/gamecube/RwDlRenderState.h"
#include "graphics3d/gamecube/RwGameCube.h"
#include "graphics3d/gamecube/RxGCPipelines.h"
#include "platform/gx/GX.h"

#include <cstring>

static_assert( sizeof( RwIm3DGlobals ) == static_cast<size_t>( RWIM3D_GLOBALS_SIZE ),
			   "the engine reserves the immediate-3D globals" );

RwModuleInfo	_rwIm3DModule;
RwIm3DGlobals*	_rwIm3DGlobals = nullptr;
RwIm3DStage*	_rwDlImmPool = nullptr;

namespace {

const u32 IM3D_PLUGIN_ID	= 1;
const u32 VERTEX_STRIDE		= sizeof( RwIm3DVertex );
// Render-pipeline words of the primitive types 1 to 5 (0: none).
const s32 RENDER_WORD[]		= { -1, 3, 4, 0, 2, 1 };
// The graphics processor's primitive of each type.
const u32 GX_PRIMITIVE[]	= { 0, GX_LINES, GX_LINESTRIP, GX_TRIANGLES, GX_TRIANGLESTRIP, GX_TRIANGLEFAN, GX_POINTS };
// The platform render pipeline serves every type but the point list.
const u32 PLATFORM_RENDER_WORDS = 5;

bool ImmInstanceNode( RxPipelineNode*, const RxPipelineNodeParam* params ) {
	_rwDlImmPool = static_cast<RwIm3DStage*>( params->dataParam );
	return true;
}

void SendVertex( const RwIm3DVertex& vertex, const bool textured ) {
	GXPosition3f32( vertex.objVertex.x, vertex.objVertex.y, vertex.objVertex.z );
	GXColor4u8( vertex.color.red, vertex.color.green, vertex.color.blue, vertex.color.alpha );
	if ( textured ) {
		GXTexCoord2f32( vertex.u, vertex.v );
	}
}

// Vertices a primitive sends from count: whole triangles for a list,
// whole lines for a line list, else all.
u32 DrawnCount( const s32 type, const u32 count ) {
	if ( type == rwPRIMTYPETRILIST ) {
		return count - count % 3;
	}
	if ( type == rwPRIMTYPELINELIST ) {
		return count - count % 2;
	}
	return count;
}

bool SubmitNode( RxPipelineNode*, const RxPipelineNodeParam* ) {
	const RwIm3DStage* const stage = _rwDlImmPool;
	if ( stage == nullptr ) {
		return true;
	}
	if ( stage->primType < rwPRIMTYPELINELIST || stage->primType > rwPRIMTYPETRIFAN ) {
		_rwErrorSetCore( _rwerror( RWIM3D_ERROR_PRIMITIVE ) );
		return true;
	}
	_rw3DRenderPrimitiveInit( stage );
	const bool textured = ( stage->flags & rwIM3D_VERTEXUV ) != 0;
	const u32 count = DrawnCount( stage->primType, stage->indices != nullptr ? stage->numIndices : stage->numVertices );
	GXBegin( GX_PRIMITIVE[stage->primType], 0, static_cast<u16>( count ) );
	for ( u32 i = 0; i < count; i++ ) {
		SendVertex( stage->vertices[stage->indices != nullptr ? stage->indices[i] : i], textured );
	}
	GXEnd();
	return true;
}

RxNodeDefinition immInstance = {
	"ImmInstance.csl", ImmInstanceNode, nullptr, nullptr, nullptr, nullptr, nullptr,
	nullptr, 0, nullptr, nullptr, 0, nullptr, 0, rxNODEDEFCONST, 0, 0
};

RxNodeDefinition submitNoLight = {
	"SubmitNoLight.csl", SubmitNode, nullptr, nullptr, nullptr, nullptr, nullptr,
	nullptr, 0, nullptr, nullptr, 0, nullptr, 0, rxNODEDEFCONST, 0, 0
};

RwIm3DGlobals* Globals() {
	return _rwIm3DGlobals;
}

}	// namespace

RxNodeDefinition* RxNodeDefinitionGetGameCubeImmInstance() {
	return &immInstance;
}

RxNodeDefinition* RxNodeDefinitionGetGameCubeSubmitNoLight() {
	return &submitNoLight;
}

void* _rwDlIm3DOpen( void* instance, const s32 offset, s32 ) {
	_rwIm3DModule.globalsOffset = offset;
	_rwIm3DModule.numInstances++;
	RwIm3DGlobals* const globals = reinterpret_cast<RwIm3DGlobals*>( static_cast<u8*>( instance ) + offset );
	std::memset( static_cast<void*>( globals ), 0, sizeof( RwIm3DGlobals ) );
	_rwIm3DGlobals = globals;
	RxPipeline* const transform = _rxGCCreateOneNodePipeline( &immInstance, IM3D_PLUGIN_ID );
	RxPipeline* const render = transform != nullptr ? _rxGCCreateOneNodePipeline( &submitNoLight, IM3D_PLUGIN_ID ) : nullptr;
	if ( render == nullptr ) {
		_rxPipelineDestroy( transform );
		_rwIm3DModule.numInstances--;
		_rwIm3DGlobals = nullptr;
		return nullptr;
	}
	globals->platformTransform = transform;
	globals->currentTransform = transform;
	for ( u32 i = 0; i < PLATFORM_RENDER_WORDS; i++ ) {
		globals->platformRender[i] = render;
		globals->currentRender[i] = render;
	}
	return instance;
}

void* _rwDlIm3DClose( void* instance, s32, s32 ) {
	RwIm3DGlobals* const globals = Globals();
	if ( globals != nullptr ) {
		for ( u32 i = 0; i < RWIM3D_RENDER_PIPELINES; i++ ) {
			globals->currentRender[i] = globals->platformRender[i];
		}
		_rxPipelineDestroy( globals->platformRender[0] );
		for ( u32 i = 0; i < RWIM3D_RENDER_PIPELINES; i++ ) {
			globals->platformRender[i] = nullptr;
			globals->currentRender[i] = nullptr;
		}
		_rxPipelineDestroy( globals->platformTransform );
		globals->platformTransform = nullptr;
		globals->currentTransform = nullptr;
		_rwIm3DModule.numInstances--;
		_rwIm3DGlobals = nullptr;
	}
	_rwDlImmPool = nullptr;
	return instance;
}

RwIm3DVertex* RwIm3DTransform( RwIm3DVertex* vertices, const u32 count, const RwMatrix* ltm, const u32 flags ) {
	RwIm3DGlobals* const globals = Globals();
	// A count of 65536 would be stored as 0.
	if ( count > RWIM3D_MAX_VERTICES ) {
		_rwErrorSetCore( _rwerror( RWIM3D_ERROR_TOO_MANY ) );
		return nullptr;
	}
	if ( globals == nullptr ) {
		return nullptr;
	}
	RwIm3DStage& stage = globals->stage;
	stage.numVertices = static_cast<u16>( count );
	stage.vertices = vertices;
	stage.stride = VERTEX_STRIDE;
	stage.flags = flags | rwIM3D_ALWAYS;
	stage.ltm = ltm;
	return RxPipelineExecute( globals->currentTransform, &stage, true ) != nullptr ? vertices : nullptr;
}

namespace {

bool Render( const s32 primType, RwImVertexIndex* indices, const u32 numIndices ) {
	RwIm3DGlobals* const globals = Globals();
	if ( globals == nullptr || globals->stage.vertices == nullptr ) {
		_rwErrorSetCore( _rwerror( RWIM3D_ERROR_NO_TRANSFORM ) );
		return false;
	}
	RwIm3DStage& stage = globals->stage;
	stage.primType = primType;
	stage.indices = indices;
	stage.numIndices = indices != nullptr ? DrawnCount( primType, numIndices ) : stage.numVertices;
	if ( primType < rwPRIMTYPELINELIST || primType > rwPRIMTYPETRIFAN ) {
		_rwErrorSetCore( _rwerror( RWIM3D_ERROR_PRIMITIVE ) );
		return false;
	}
	stage.pipeline = globals->currentRender[RENDER_WORD[primType]];
	return RxPipelineExecute( stage.pipeline, &stage.flags, false ) != nullptr;
}

}	// namespace

bool RwIm3DRenderPrimitive( const s32 primType ) {
	return Render( primType, nullptr, 0 );
}

bool RwIm3DRenderIndexedPrimitive( const s32 primType, RwImVertexIndex* indices, const s32 numIndices ) {
	return Render( primType, indices, numIndices > 0 ? static_cast<u32>( numIndices ) : 0u );
}

bool RwIm3DEnd() {
	RwIm3DGlobals* const globals = Globals();
	if ( globals == nullptr || globals->stage.vertices == nullptr ) {
		return false;
	}
	globals->stage = {};
	return true;
}

RxPipeline* RwIm3DSetTransformPipeline( RxPipeline* pipeline ) {
	RwIm3DGlobals* const globals = Globals();
	if ( globals == nullptr ) {
		return nullptr;
	}
	globals->currentTransform = pipeline != nullptr ? pipeline : globals->platformTransform;
	return globals->currentTransform;
}

RxPipeline* RwIm3DSetRenderPipeline( RxPipeline* pipeline, const s32 primType ) {
	RwIm3DGlobals* const globals = Globals();
	s32 word = -1;
	if ( primType >= rwPRIMTYPELINELIST && primType <= rwPRIMTYPETRIFAN ) {
		word = RENDER_WORD[primType];
	} else if ( primType == rwPRIMTYPEPOINTLIST ) {
		word = static_cast<s32>( RWIM3D_RENDER_PIPELINES ) - 1;
	}
	if ( word < 0 ) {
		_rwErrorSetCore( _rwerror( RWIM3D_ERROR_PRIMITIVE ) );
		return nullptr;
	}
	if ( globals == nullptr ) {
		return nullptr;
	}
	globals->currentRender[word] = pipeline != nullptr ? pipeline : globals->platformRender[word];
	return globals->currentRender[word];
}

void _rw3DRenderPrimitiveInit( const RwIm3DStage* stage ) {
	_rwDlTransformSetup( stage->ltm, false );
	GXClearVtxDesc();
	GXSetVtxDesc( GX_VA_POS, GX_DIRECT );
	GXSetVtxAttrFmt( 0, GX_VA_POS, GX_POS_XYZ, GX_F32, 0 );
	GXSetVtxDesc( GX_VA_CLR0, GX_DIRECT );
	GXSetVtxAttrFmt( 0, GX_VA_CLR0, GX_CLR_RGBA, GX_RGBA8, 0 );
	GXSetNumTevStages( 1 );
	GXSetNumChans( 1 );
	GXSetChanCtrl( GX_COLOR0A0, 0, GX_SRC_VTX, GX_SRC_VTX, 0, GX_DF_NONE, GX_AF_NONE );
	if ( ( stage->flags & rwIM3D_VERTEXUV ) != 0 ) {
		GXSetVtxDesc( GX_VA_TEX0, GX_DIRECT );
		GXSetVtxAttrFmt( 0, GX_VA_TEX0, GX_TEX_ST, GX_F32, 0 );
		GXSetTevOp( GX_TEVSTAGE0, GX_MODULATE );
		GXSetNumTexGens( 1 );
		GXSetTexCoordGen2( GX_TEXCOORD0, GX_TG_MTX2x4, GX_TG_TEX0, GX_IDENTITY, 0, GX_PTIDENTITY );
		GXSetTevOrder( GX_TEVSTAGE0, GX_TEXCOORD0, GX_TEXMAP0, GX_COLOR0A0 );
		_rwDlTextureRasterFlush();
	} else {
		GXSetNumTexGens( 0 );
		GXSetTevOrder( GX_TEVSTAGE0, GX_TEXCOORD_NULL, GX_TEXMAP_NULL, GX_COLOR0A0 );
		GXSetTevOp( GX_TEVSTAGE0, GX_PASSCLR );
	}
}
